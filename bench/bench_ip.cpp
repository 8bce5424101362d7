// Induced polarisation of lines read at two frequencies: the chargeability
// section by the linear inversion over the resistivity section's
// sensitivities against a difference inversion of the high frequency's
// reading against the low one's, on a chargeable half-space, two layers
// by the image series and a chargeable block in noise. Prints what each
// recovers and the time each adds to the resistivity inversion, on those
// and on a line of 96 electrodes.
#include "IpCases.h"

#include "inversion/TimeLapse.h"
#include "section/Recipe.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>

namespace {

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double deepestOf(const zeltest::IpCase& c)
{
    double deepest = 0;
    for (const zel::inv::Measurement& m : c.low.data)
        deepest = std::max(deepest, m.depth);
    return deepest;
}

void print(const char* name, const char* method, const std::vector<zeltest::CellEffect>& cells,
           const std::function<bool(const zeltest::CellEffect&)>& inside, double seconds, double resistivitySeconds)
{
    std::vector<double> in, out, all;
    for (const zeltest::CellEffect& c : cells) {
        all.push_back(c.pfe);
        (inside(c) ? in : out).push_back(c.pfe);
    }
    std::printf("%-10s %-10s all p5 %5.2f  median %5.2f  p95 %5.2f | inside: median %5.2f (%zu cells) | outside: median %5.2f p90 %5.2f | +%.2f s (%.0f %% of %.2f s)\n",
                name, method, zeltest::quantile(all, 0.05), zeltest::quantile(all, 0.5), zeltest::quantile(all, 0.95),
                zeltest::quantile(in, 0.5), in.size(), zeltest::quantile(out, 0.5), zeltest::quantile(out, 0.9), seconds,
                100 * seconds / resistivitySeconds, resistivitySeconds);
}

// The cells down to `depth` (0: the data's deepest median depth).
void measure(const char* name, const zeltest::IpCase& c, const std::function<bool(const zeltest::CellEffect&)>& inside,
             double depth = 0)
{
    const double deepest = depth > 0 ? depth : deepestOf(c);
    auto start = std::chrono::steady_clock::now();
    (void)zel::inv::invert(c.low.data, {});
    const double resistivity = secondsSince(start);
    start = std::chrono::steady_clock::now();
    const zel::SectionRun run = zel::invertSection(c.low.data, {}, false, {}, {}, nullptr, c.low.charges);
    const double linear = secondsSince(start) - resistivity;
    print(name, "linear", zeltest::cellEffects(run.result.mesh, run.charge->pfe(), deepest), inside, linear, resistivity);
    std::printf("%-10s %-10s chi2 %.2f after %zu iterations; resistivity chi2 %.2f\n", name, "linear", run.charge->kept().chi2,
                run.charge->iterations.size() - 1, run.result.kept().chi2);

    start = std::chrono::steady_clock::now();
    const zel::inv::TimeLapseResult lapse = zel::inv::invertTimeLapse(c.low.data, c.high.data, {});
    const double difference = secondsSince(start) - resistivity;
    std::vector<double> pfe;
    for (const double change : lapse.change)
        pfe.push_back(zel::inv::effectOfCharge(std::clamp(-change / 100, 0.0, zel::inv::kMostChargeability)));
    print(name, "difference", zeltest::cellEffects(lapse.later.mesh, pfe, deepest), inside, difference, resistivity);
    // The linear section by depth: what the depth of investigation takes.
    for (int metre = 0; metre < 2 * deepest; ++metre) {
        const double top = metre;
        std::vector<double> band;
        for (const zeltest::CellEffect& e : zeltest::cellEffects(run.result.mesh, run.charge->pfe(), 3 * deepest))
            if (e.depth >= top && e.depth < top + 1)
                band.push_back(e.pfe);
        std::printf("    %4.1f-%4.1f m: p5 %5.2f median %5.2f p95 %5.2f\n", top, top + 1, zeltest::quantile(band, 0.05),
                    zeltest::quantile(band, 0.5), zeltest::quantile(band, 0.95));
    }
    std::printf("    deepest median depth %.2f m\n", deepest);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    zel::sim::SyntheticLine half = zeltest::ipLine();
    half.backgroundPfe = 5;
    measure("half-space", zeltest::simulatedCase(half), [](const zeltest::CellEffect&) { return true; });
    measure("two layers", zeltest::twoLayerCase(), [](const zeltest::CellEffect& c) { return c.depth > 4; }, 7);
    zel::sim::SyntheticLine block = zeltest::ipLine();
    block.blocks = {{20, 26, 1, 3, 100, 10}};
    measure("block", zeltest::simulatedCase(block, 0.03), [](const zeltest::CellEffect& c) {
        return c.x > 20 && c.x < 26 && c.depth > 1 && c.depth < 3;
    });
    // The time on a longer line with a contrast of resistivity too.
    zel::sim::SyntheticLine longer = zeltest::ipLine();
    longer.electrodes = 96;
    longer.aMax = 3;
    longer.nMax = 8;
    longer.blocks = {{40, 52, 2, 5, 30, 10}};
    measure("96 el.", zeltest::simulatedCase(longer, 0.03), [](const zeltest::CellEffect& c) {
        return c.x > 40 && c.x < 52 && c.depth > 2 && c.depth < 5;
    });
    return 0;
}
