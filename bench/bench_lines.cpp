// Lines made of many readings at full size: a 96-electrode model measured
// as three 48-electrode spreads overlapping by 24 against the 96-electrode
// line; a block going from 100 to 50 ohm·m between two readings of that
// line; five parallel lines of 48 electrodes inverted for a plan view.
// Prints the agreement, the change found and the times.
#include "section/AllLines.h"
#include "section/Input.h"
#include "sim/StationModel.h"

#include "inversion/Depth.h"
#include "inversion/TimeLapse.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace {

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

zel::sim::SyntheticLine line96()
{
    zel::sim::SyntheticLine line;
    line.electrodes = 96;
    line.blocks = {{20, 28, 2, 6, 10}, {60, 68, 2, 6, 1000}};
    return line;
}

zel::SectionInput inputOf(const zel::sim::SyntheticLine& line, const zel::Profile& profile)
{
    zel::SurveyGeometry g;
    g.lines = zel::sim::syntheticGeometry(line);
    return zel::profileInput(zel::sim::syntheticRecords(line), g, profile, {});
}

void rollAlong()
{
    zel::sim::SyntheticLine rolled = line96();
    rolled.spreadElectrodes = 48;
    rolled.spreadStep = 24;
    const zel::SectionInput spreads = inputOf(rolled, {1, zel::Profile::kWholeLine}), whole = inputOf(line96(), {1, 1});
    auto start = std::chrono::steady_clock::now();
    const zel::inv::InversionResult a = zel::inv::invert(spreads.data, {});
    const double ta = secondsSince(start);
    start = std::chrono::steady_clock::now();
    const zel::inv::InversionResult b = zel::inv::invert(whole.data, {});
    const double tb = secondsSince(start);
    std::vector<double> differences;
    for (int p = 0; p < a.mesh.parameterCount() && a.mesh.parameterCount() == b.mesh.parameterCount(); ++p)
        if (a.mesh.cellCentre(a.mesh.cellOfParameter[std::size_t(p)]).z > -8)
            differences.push_back(std::abs(std::log10(a.resistivity[std::size_t(p)] / b.resistivity[std::size_t(p)])));
    std::sort(differences.begin(), differences.end());
    std::printf("roll-along: 3 spreads of 48, %zu data (whole line %zu); chi² %.2f / %.2f; %.1f / %.1f s\n",
                spreads.data.size(), whole.data.size(), a.kept().chi2, b.kept().chi2, ta, tb);
    if (!differences.empty())
        std::printf("  cells above 8 m: |log10 ratio| median %.3f, p90 %.3f\n", differences[differences.size() / 2],
                    differences[differences.size() * 9 / 10]);
}

void timeLapse()
{
    zel::sim::SyntheticLine before = line96(), after = line96();
    before.blocks = after.blocks = {{40, 52, 1.5, 5, 100}};
    after.blocks[0].rho = 50;
    const auto start = std::chrono::steady_clock::now();
    const zel::inv::TimeLapseResult r = zel::inv::invertTimeLapse(inputOf(before, {1, 1}).data, inputOf(after, {1, 1}).data, {});
    const double t = secondsSince(start);
    const zel::inv::Mesh& mesh = r.later.mesh;
    const auto seen = zel::inv::sensitivityDepths(mesh, zel::inv::relativeSensitivity(r.later), zel::inv::kSensitivityThreshold);
    // Elsewhere: beside the block by more than its depth (5 m), and by more than twice it.
    double inBlock = 0, elsewhere = 0, farther = 0;
    for (int p = 0; p < mesh.parameterCount(); ++p) {
        const zel::inv::Point c = mesh.cellCentre(mesh.cellOfParameter[std::size_t(p)]);
        const double change = r.change[std::size_t(p)];
        if (c.x > 41 && c.x < 51 && c.z < -2 && c.z > -4.5)
            inBlock = std::min(inBlock, change);
        const auto column = std::min_element(seen.begin(), seen.end(), [&](const auto& a, const auto& b) {
            return std::abs(a.x - c.x) < std::abs(b.x - c.x);
        });
        if (!(c.x > 35 && c.x < 57 && c.z > -8) && column != seen.end() && -c.z < column->depth)
            elsewhere = std::max(elsewhere, std::abs(change));
        if (!(c.x > 30 && c.x < 62 && c.z > -11) && column != seen.end() && -c.z < column->depth)
            farther = std::max(farther, std::abs(change));
    }
    std::printf("time-lapse, 96 electrodes, a block 100 -> 50 ohm·m: %.1f %% in the block; above the depth of "
                "sensitivity at most %.1f %% beyond its depth beside it, %.1f %% beyond twice it; chi² %.2f; %.1f s\n",
                inBlock, elsewhere, farther, r.later.kept().chi2, t);
}

void parallelLines()
{
    std::vector<zel::MeasurementRecord> records;
    zel::SurveyGeometry g;
    for (int n = 1; n <= 5; ++n) {
        zel::sim::SyntheticLine line;
        line.electrodes = 48;
        line.line = n;
        line.y = 5.0 * (n - 1);
        line.blocks = {{18, 30, 1.5, 5, n <= 3 ? 10.0 : 100.0}};
        for (const zel::MeasurementRecord& r : zel::sim::syntheticRecords(line))
            records.push_back(r);
        g.lines.merge(zel::sim::syntheticGeometry(line));
    }
    const auto start = std::chrono::steady_clock::now();
    const zel::LinesRun run = zel::invertLines(records, g, {}, {}, 0);
    const double t = secondsSince(start);
    const zel::PlanView view = zel::planView(run.lines, 3, 97, 41);
    std::printf("parallel lines: %zu of 48 electrodes in %.1f s; plan at 3 m: %.0f ohm·m over the body at y 5, "
                "%.0f beside it, %.0f at y 15\n", run.lines.size(), t, view.at(10, 48), view.at(10, 10), view.at(30, 48));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    rollAlong();
    timeLapse();
    parallelLines();
    return 0;
}
