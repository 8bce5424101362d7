// The inversion of a line of 64 electrodes at 2 m (dipole-dipole and
// Wenner–Schlumberger, a = 1–4, n = 1–6) and of 128 electrodes of the same,
// over a conductive and a resistive block: the forward response, the
// sensitivities, each iteration, the iterations and the peak memory.
// Goals on two cores: 64 electrodes ≤ 5 s, 128 ≤ 30 s, peak ≤ 500 MB.
// With --memory N: the memory estimate of a line of N electrodes against
// its measured peak.
#include "inversion/Depth.h"
#include "inversion/Forward.h"
#include "inversion/Inversion.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <functional>
#include <algorithm>
#include <numbers>
#include <random>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// A memory figure of this process from /proc/self/status, MB (Linux):
// "VmHWM:" its peak resident memory, "VmRSS:" what it holds now.
double statusMegabytes(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::stod(line.substr(field.size())) / 1024;
    return 0;
}

double peakMegabytes() { return statusMegabytes("VmHWM:"); }

double factor(double a, double b, double m, double n)
{
    return 2 * std::numbers::pi / (1 / std::abs(a - m) - 1 / std::abs(b - m) - 1 / std::abs(a - n) + 1 / std::abs(b - n));
}

double ground(double x, double z, double length)
{
    if (z < -3 && z > -9 && x > 0.3 * length && x < 0.4 * length)
        return 10;
    if (z < -3 && z > -9 && x > 0.6 * length && x < 0.7 * length)
        return 1000;
    return 100;
}

// The line's data over `ground` (x, z → ohm·m) from a finer mesh, with 3 % noise.
std::vector<zel::inv::Measurement> lineData(int electrodes, const std::function<double(double, double)>& ground)
{
    const double spacing = 2;
    std::vector<double> x(static_cast<std::size_t>(electrodes));
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = double(i) * spacing;
    std::vector<zel::inv::Configuration> configurations;
    auto add = [&](int a, int b, int m, int n) {
        if (std::max({a, b, m, n}) < electrodes)
            configurations.push_back({{a, b, m, n}, factor(x[std::size_t(a)], x[std::size_t(b)], x[std::size_t(m)], x[std::size_t(n)])});
    };
    for (int a = 1; a <= 4; ++a)
        for (int n = 1; n <= 6; ++n)
            for (int i = 0; i < electrodes; ++i) {
                add(i, i + a, i + a + n * a, i + 2 * a + n * a);        // dipole-dipole
                add(i, i + 2 * n * a + a, i + n * a, i + n * a + a);    // Wenner–Schlumberger
            }
    // The data from a finer mesh, with 3 % noise.
    zel::inv::MeshOptions fine;
    fine.cellsPerSpacing = 4;
    fine.firstLayer = 0.125;
    fine.parameterDepth = 20;
    const zel::inv::Mesh fineMesh = zel::inv::makeMesh(x, {}, fine);
    std::vector<double> rho(std::size_t(fineMesh.cellCount()));
    for (int c = 0; c < fineMesh.cellCount(); ++c)
        rho[std::size_t(c)] = ground(fineMesh.cellCentre(c).x, fineMesh.cellCentre(c).z);
    zel::inv::ForwardModel synthetic(fineMesh, configurations);
    synthetic.solve(rho, false);
    std::mt19937 random(1);
    std::normal_distribution<double> noise(0, 0.03);
    std::vector<zel::inv::Measurement> data;
    for (std::size_t d = 0; d < configurations.size(); ++d) {
        const auto& c = configurations[d].abmn;
        zel::inv::Measurement m;
        m.x = {x[std::size_t(c[0])], x[std::size_t(c[1])], x[std::size_t(c[2])], x[std::size_t(c[3])]};
        m.k = configurations[d].k;
        m.rhoa = synthetic.apparentResistivity()[d] * (1 + noise(random));
        m.error = 0.03;
        m.depth = 0.2 * std::abs(m.x[3] - m.x[0]);
        data.push_back(m);
    }
    return data;
}

// The baseline's time of a line of `electrodes` (bench/inversion-baseline.txt),
// 0 when it has none.
double baselineSeconds(int electrodes)
{
    std::ifstream file(ZEL_BENCH_BASELINE);
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        int count = 0;
        double seconds = 0;
        if (fields >> count >> seconds && count == electrodes)
            return seconds;
    }
    return 0;
}

int run(int electrodes, double goal)
{
    const double length = 2.0 * (electrodes - 1);
    const std::vector<zel::inv::Measurement> data =
        lineData(electrodes, [&](double x, double z) { return ground(x, z, length); });
    std::vector<double> x(static_cast<std::size_t>(electrodes));
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = 2.0 * double(i);
    std::vector<zel::inv::Configuration> configurations;
    configurations.reserve(data.size());
    for (const auto& m : data)
        configurations.push_back({{int(std::lround(m.x[0] / 2)), int(std::lround(m.x[1] / 2)), int(std::lround(m.x[2] / 2)),
                                   int(std::lround(m.x[3] / 2))},
                                  m.k});

    // The forward response and the sensitivities of the inversion's own mesh, once.
    const zel::inv::Mesh mesh = zel::inv::makeMesh(x, {}, [&] {
        zel::inv::MeshOptions o;
        double deepest = 0;
        for (const auto& m : data)
            deepest = std::max(deepest, m.depth);
        o.parameterDepth = 1.2 * deepest;
        return o;
    }());
    double forwardSeconds = 0, jacobianSeconds = 0;
    std::size_t wavenumbers = 0;
    {
        zel::inv::ForwardModel forward(mesh, configurations);
        const auto t = Clock::now();
        forward.solve(std::vector<double>(std::size_t(mesh.cellCount()), 100.0));
        forwardSeconds = seconds(t);
        const auto u = Clock::now();
        forward.jacobian();
        jacobianSeconds = seconds(u);
        wavenumbers = forward.transform().k.size();
    }
    auto t = Clock::now();
    const zel::inv::InversionResult result = zel::inv::invert(data, {});
    const double total = seconds(t);
    const int iterations = result.iterations.back().number;
    std::printf("%d electrodes, %zu data, %d cells (%zu nodes), %zu wavenumbers\n", electrodes, data.size(),
                mesh.parameterCount(), mesh.nodes.size(), wavenumbers);
    std::printf("  forward response      %7.3f s\n", forwardSeconds);
    std::printf("  sensitivities         %7.3f s\n", jacobianSeconds);
    for (const auto& r : result.iterations)
        std::printf("  iteration %2d  chi2 %8.2f  RRMS %6.2f %%  lambda %6.2f  at %6.2f s\n", r.number, r.chi2, r.rrms,
                    r.lambda, r.seconds);
    const zel::inv::InversionTimes& times = result.times;
    std::printf("  parts: mesh %.2f s, %d forward solves %.2f s, sensitivities %.2f s, solver %.2f s, coverage %.2f s\n",
                times.mesh, times.forwardSolves, times.forward, times.jacobian, times.solver, times.output);
    std::printf("  inversion             %7.3f s, %d iterations, %.2f s an iteration  goal < %.0f s%s\n", total, iterations,
                iterations > 0 ? total / iterations : total, goal, total <= goal ? "" : "  MISSED");
    if (const double before = baselineSeconds(electrodes); before > 0)
        std::printf("  against the baseline  %7.2f of its %.1f s\n", total / before, before);
    return total <= goal ? 0 : 1;
}

// The memory estimate against the measured peak: one iteration on a line of
// `electrodes` at 1 m, dipole-dipole a = 1, n = 1–6 (400 electrodes: 2,370
// data). One line a process, so that the peak is this line's.
int memory(int electrodes)
{
    std::vector<zel::inv::Measurement> data;
    std::mt19937 random(1);
    std::normal_distribution<double> noise(0, 0.03);
    for (int n = 1; n <= 6; ++n)
        for (int i = 0; i + n + 2 < electrodes; ++i) {
            zel::inv::Measurement m;
            m.x = {double(i), double(i + 1), double(i + 1 + n), double(i + 2 + n)};
            m.k = factor(m.x[0], m.x[1], m.x[2], m.x[3]);
            m.rhoa = 100 * (1 + noise(random));
            m.depth = 0.416 * (n + 1);
            data.push_back(m);
        }
    const double before = statusMegabytes("VmRSS:");
    zel::inv::InversionOptions options;
    options.maxIterations = 1;
    const auto t = Clock::now();
    const zel::inv::InversionResult result = zel::inv::invert(data, options);
    const double estimate = double(zel::inv::memoryNeeded(result.mesh, result.data, options.threads)) / 1e6;
    const double peak = peakMegabytes() - before;
    std::printf("%d electrodes, %zu data, %d cells, %zu nodes: estimate %.0f MB, measured peak %.0f MB (%+.0f %%), %.1f s\n",
                electrodes, data.size(), result.mesh.parameterCount(), result.mesh.nodes.size(), estimate, peak,
                100 * (estimate / peak - 1), seconds(t));
    return 0;
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::size_t(std::lround(p / 100 * double(v.size() - 1)))];
}

// How well the two-block line of `electrodes` comes out: each block's median,
// the conductor's value 6 m under its bottom, the span (p1–p99) of cells
// 12–20 m deep away from the blocks and of cells near the line's ends.
int quality(int electrodes)
{
    const double length = 2.0 * (electrodes - 1);
    const auto t = Clock::now();
    const zel::inv::InversionResult r =
        zel::inv::invert(lineData(electrodes, [&](double x, double z) { return ground(x, z, length); }), {});
    const double total = seconds(t);
    std::vector<double> conductor, resistor, deep, ends;
    double under = 0, underDistance = 1e300;
    for (int p = 0; p < r.mesh.parameterCount(); ++p) {
        const auto c = r.mesh.cellCentre(r.mesh.cellOfParameter[std::size_t(p)]);
        const double rho = r.resistivity[std::size_t(p)];
        const double depth = -c.z;
        const bool inConductor = c.x > 0.3 * length && c.x < 0.4 * length;
        const bool inResistor = c.x > 0.6 * length && c.x < 0.7 * length;
        if (depth > 3 && depth < 9 && inConductor)
            conductor.push_back(rho);
        if (depth > 3 && depth < 9 && inResistor)
            resistor.push_back(rho);
        const double distance = std::hypot(c.x - 0.35 * length, depth - 15);
        if (distance < underDistance)
            underDistance = distance, under = rho;
        const bool away = (c.x < 0.3 * length - 5 || c.x > 0.4 * length + 5) && (c.x < 0.6 * length - 5 || c.x > 0.7 * length + 5);
        if (depth > 12 && depth < 20 && away)
            deep.push_back(rho);
        if (depth < 12 && (c.x < 0.1 * length || c.x > 0.9 * length))
            ends.push_back(rho);
    }
    std::printf("%d electrodes, %zu data: chi2 %.2f after %d iterations, %.1f s\n", electrodes, r.data.size(), r.kept().chi2,
                r.iterations.back().number, total);
    std::printf("  10 ohm·m block median %.1f, 1000 ohm·m block median %.0f, conductor at 15 m %.1f\n",
                percentile(conductor, 50), percentile(resistor, 50), under);
    std::printf("  12-20 m away from the blocks p1-p99 %.0f-%.0f, line ends above 12 m p1-p99 %.0f-%.0f\n",
                percentile(deep, 1), percentile(deep, 99), percentile(ends, 1), percentile(ends, 99));
    return 0;
}

// The depth of investigation of the two-block line: the Oldenburg–Li index
// at the blocks and 12–20 m deep, and the depths where it and the relative
// sensitivity reach their thresholds in the line's middle.
int doi(int electrodes)
{
    const double length = 2.0 * (electrodes - 1);
    const auto data = lineData(electrodes, [&](double x, double z) { return ground(x, z, length); });
    auto t = Clock::now();
    zel::inv::InversionResult r = zel::inv::invert(data, {});
    const double first = seconds(t);
    t = Clock::now();
    r.doi = zel::inv::doiIndex(r, {}, [](const zel::inv::DoiRun& run) {
        std::printf("  run %d iteration %d chi2 %.2f\n", run.run, run.report.number, run.report.chi2);
    });
    const double extra = seconds(t);
    std::vector<double> blocks, deep;
    for (int p = 0; p < r.mesh.parameterCount(); ++p) {
        const auto c = r.mesh.cellCentre(r.mesh.cellOfParameter[std::size_t(p)]);
        const bool inBlock = (c.x > 0.3 * length && c.x < 0.4 * length) || (c.x > 0.6 * length && c.x < 0.7 * length);
        if (-c.z > 3 && -c.z < 9 && inBlock)
            blocks.push_back(std::abs(r.doi[std::size_t(p)]));
        if (-c.z > 12 && -c.z < 20 && c.x > 0.2 * length && c.x < 0.8 * length)
            deep.push_back(std::abs(r.doi[std::size_t(p)]));
    }
    std::printf("%d electrodes: inversion %.1f s, the two more %.1f s\n", electrodes, first, extra);
    std::printf("  DOI index in the blocks p50/p99 %.3f/%.3f, 12-20 m deep p1/p50 %.3f/%.3f\n", percentile(blocks, 50),
                percentile(blocks, 99), percentile(deep, 1), percentile(deep, 50));
    const auto byIndex = zel::inv::doiDepths(r.mesh, r.doi, zel::inv::kDoiThreshold);
    const auto bySensitivity =
        zel::inv::sensitivityDepths(r.mesh, zel::inv::relativeSensitivity(r), zel::inv::kSensitivityThreshold);
    for (std::size_t i = 0; i < byIndex.size(); i += byIndex.size() / 8)
        std::printf("  x %6.1f: DOI %.1f m, sensitivity %.1f m\n", byIndex[i].x, byIndex[i].depth, bySensitivity[i].depth);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc > 2 && std::string(argv[1]) == "--memory")
        return memory(std::stoi(argv[2]));
    if (argc > 2 && std::string(argv[1]) == "--doi")
        return doi(std::stoi(argv[2]));
    if (argc > 2 && std::string(argv[1]) == "--quality")
        return quality(std::stoi(argv[2]));
    const bool large = !(argc > 1 && std::string(argv[1]) == "--small");
    int missed = run(64, 5);
    if (large)
        missed += run(128, 30);
    const double peak = peakMegabytes();
    std::printf("peak memory           %7.0f MB  goal < 500 MB%s\n", peak, peak < 500 ? "" : "  MISSED");
    return missed + (peak < 500 ? 0 : 1) > 0 ? 1 : 0;
}
