// The inversion's benchmark on two-block lines (a 10 and a 1,000 ohm·m
// block in 100 ohm·m, data from a finer mesh with 3 % noise): 64 electrodes
// at 2 m with dipole-dipole and Wenner–Schlumberger, and with
// dipole-dipole alone; 128 with both; 48 over a hill; 400 at 1 m with
// dipole-dipole a = 1. For each, each part's time, the iterations, chi²,
// the peak memory and the ratio to the times in inversion-baseline.txt; on
// the 128-electrode line, how soon Stop ends a run.
// --small: the first line alone. --line NAME: that line.
// --memory N: the memory estimate of a line of N electrodes against its
// measured peak. --quality N, --doi N: how well the blocks come out.
// --window: the 64-electrode line with its depth of investigation as
// zeltool inverts it and as the window's worker does, side by side.
// --supernodal (before the others): the lines with the supernodal factorisation.
// --factor3d: both factorisations of a volume's system, the 48-electrode
// line's mesh extruded across five lines 4 m apart (about 70,000 nodes):
// one factorisation, and 240 sources solved on it.
#include "section/Recipe.h"
#include "section/WorkerJob.h"

#include "inversion/Depth.h"
#include "inversion/Factor.h"
#include "inversion/Forward.h"
#include "inversion/Inversion.h"

#include <QThread>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <functional>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <numbers>
#include <random>
#include <string>
#include <thread>

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


// A line of the benchmark: its electrodes, their spacing and heights, and
// the configurations measured on it.
struct Line {
    std::string name;
    std::vector<double> x, elevations;
    std::vector<zel::inv::Configuration> configurations;
    double goal = 0;  // seconds
};

double surface(const Line& line, double x)
{
    return line.elevations.empty() ? 0 : zel::inv::surfaceAt(line.x, line.elevations, x);
}

// `electrodes` at `spacing` with dipole-dipole (a = 1 to aMax, n = 1–6)
// and, with `schlumberger`, Wenner–Schlumberger of the same a and n.
Line makeLine(std::string name, int electrodes, double spacing, int aMax, bool schlumberger, double goal)
{
    Line line{std::move(name), {}, {}, {}, goal};
    for (int i = 0; i < electrodes; ++i)
        line.x.push_back(spacing * i);
    auto add = [&](int a, int b, int m, int n) {
        if (std::max({a, b, m, n}) < electrodes)
            line.configurations.push_back({{a, b, m, n},
                                           factor(line.x[std::size_t(a)], line.x[std::size_t(b)], line.x[std::size_t(m)],
                                                  line.x[std::size_t(n)])});
    };
    for (int a = 1; a <= aMax; ++a)
        for (int n = 1; n <= 6; ++n)
            for (int i = 0; i < electrodes; ++i) {
                add(i, i + a, i + a + n * a, i + 2 * a + n * a);  // dipole-dipole
                if (schlumberger)
                    add(i, i + 2 * n * a + a, i + n * a, i + n * a + a);  // Wenner–Schlumberger
            }
    return line;
}

// The line's data over `ground` (x, depth below the surface → ohm·m) from
// a finer mesh, with 3 % noise.
std::vector<zel::inv::Measurement> lineData(const Line& line, const std::function<double(double, double)>& ground)
{
    zel::inv::MeshOptions fine;
    fine.cellsPerSpacing = line.x.size() > 200 ? 2 : 4;
    fine.firstLayer = 0.125;
    fine.parameterDepth = 20;
    const zel::inv::Mesh fineMesh = zel::inv::makeMesh(line.x, line.elevations, fine);
    std::vector<double> rho(std::size_t(fineMesh.cellCount()));
    for (int c = 0; c < fineMesh.cellCount(); ++c) {
        const auto centre = fineMesh.cellCentre(c);
        rho[std::size_t(c)] = ground(centre.x, surface(line, centre.x) - centre.z);
    }
    zel::inv::ForwardModel synthetic(fineMesh, line.configurations);
    synthetic.solve(rho, false);
    std::mt19937 random(1);
    std::normal_distribution<double> noise(0, 0.03);
    std::vector<zel::inv::Measurement> data;
    for (std::size_t d = 0; d < line.configurations.size(); ++d) {
        const auto& c = line.configurations[d].abmn;
        zel::inv::Measurement m;
        m.x = {line.x[std::size_t(c[0])], line.x[std::size_t(c[1])], line.x[std::size_t(c[2])], line.x[std::size_t(c[3])]};
        m.k = line.configurations[d].k;
        m.rhoa = synthetic.apparentResistivity()[d] * (1 + noise(random));
        m.error = 0.03;
        m.depth = 0.2 * std::abs(m.x[3] - m.x[0]);
        data.push_back(m);
    }
    return data;
}

// The two-block ground of a line `length` long, the blocks 3–9 m deep at
// a spacing of 2 m (scaled with the spacing).
std::function<double(double, double)> twoBlocks(double length, double spacing)
{
    return [=](double x, double depth) {
        const double top = 1.5 * spacing, bottom = 4.5 * spacing;
        if (depth > top && depth < bottom && x > 0.3 * length && x < 0.4 * length)
            return 10.0;
        if (depth > top && depth < bottom && x > 0.6 * length && x < 0.7 * length)
            return 1000.0;
        return 100.0;
    };
}

// The benchmark's lines: 64 electrodes with both arrays and with
// dipole-dipole alone, 128 with both, 48 over a hill 12 m high, and a long
// line of 400 electrodes at 1 m (dipole-dipole a = 1, as a roll-along).
std::vector<Line> lines()
{
    std::vector<Line> all{makeLine("64-both", 64, 2, 4, true, 2), makeLine("64-dd", 64, 2, 4, false, 2),
                          makeLine("128-both", 128, 2, 4, true, 10), makeLine("48-hill", 48, 2, 4, false, 2),
                          makeLine("400-dd", 400, 1, 1, false, 30)};
    Line& hill = all[3];
    const double middle = hill.x.back() / 2;
    for (const double x : hill.x)
        hill.elevations.push_back(100 + 12 * std::exp(-std::pow((x - middle) / (middle / 2), 2)));
    return all;
}

zel::inv::FactorKind g_factor = zel::inv::FactorKind::Simplicial;

// The baseline's time of a line (bench/inversion-baseline.txt), 0 when it
// has none.
double baselineSeconds(const std::string& name)
{
    std::ifstream file(ZEL_BENCH_BASELINE);
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string label;
        double seconds = 0;
        if (fields >> label >> seconds && label == name)
            return seconds;
    }
    return 0;
}

// One line's inversion, in a process of its own so that the peak memory is
// its own: each part's time, the iterations, chi², the peak and the ratio to
// the baseline; on the 128-electrode line also how soon Stop ends a run.
int run(const Line& line)
{
    const double length = line.x.back() - line.x.front();
    const std::vector<zel::inv::Measurement> data = lineData(line, twoBlocks(length, line.x[1] - line.x[0]));
    zel::inv::InversionOptions options;
    options.elevations = line.elevations;
    options.factor = g_factor;
    // The peak from here on: the data's finer mesh is gone, and its peak
    // is not the inversion's (Linux: "5" resets the peak to what is held).
    std::ofstream("/proc/self/clear_refs") << "5";
    const auto t = Clock::now();
    const zel::inv::InversionResult result = zel::inv::invert(data, options);
    const double total = seconds(t);
    const double peak = peakMegabytes();
    const zel::inv::InversionTimes& times = result.times;
    std::printf("%-9s %4zu electrodes, %4zu data, %5d cells, %6zu nodes\n", line.name.c_str(), line.x.size(), data.size(),
                result.mesh.parameterCount(), result.mesh.nodes.size());
    std::printf("  parts: mesh %.2f s, %d forward solves %.2f s, sensitivities %.2f s, solver %.2f s, coverage %.2f s\n",
                times.mesh, times.forwardSolves, times.forward, times.jacobian, times.solver, times.output);
    std::printf("  inversion %7.2f s, %d iterations, chi2 %.2f, peak %.0f MB  goal < %.0f s%s\n", total,
                result.iterations.back().number, result.kept().chi2, peak, line.goal, total <= line.goal ? "" : "  MISSED");
    if (const double baseline = baselineSeconds(line.name); baseline > 0)
        std::printf("  against the baseline  %.2f of its %.1f s\n", total / baseline, baseline);
    if (line.name == "128-both") {
        // Stop asked a third of the way through.
        std::atomic<bool> cancel{false};
        Clock::time_point asked;
        std::thread stopper([&] {
            std::this_thread::sleep_for(std::chrono::duration<double>(total / 3));
            asked = Clock::now();
            cancel = true;
        });
        zel::inv::invert(data, options, {}, &cancel);
        stopper.join();
        std::printf("  Stop asked at %.2f s ended the run %.3f s later\n", total / 3, seconds(asked));
    }
    std::fflush(stdout);
    return total <= line.goal ? 0 : 1;
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
        zel::inv::invert(lineData(makeLine("", electrodes, 2, 4, true, 0), twoBlocks(length, 2)), {});
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
    const auto data = lineData(makeLine("", electrodes, 2, 4, true, 0), twoBlocks(length, 2));
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

// The 64-electrode line with its depth of investigation: in the caller on
// every core, as zeltool runs it, and on the window's worker below normal
// priority with the window's threads; the best of three of each.
// A volume's system: the node columns and rows of a 48-electrode line's
// mesh, extruded across five lines 4 m apart (a node plane between lines,
// padding growing by half outwards past 40 m); each hexahedron couples its
// eight corners (the 27-point pattern of trilinear elements) and a little
// mass keeps it positive definite.
Eigen::SparseMatrix<double> volumeSystem()
{
    std::vector<double> x(48);
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = 2.0 * double(i);
    zel::inv::MeshOptions o;
    const zel::inv::Mesh mesh = zel::inv::makeMesh(x, {}, o);
    std::vector<double> y;
    for (int i = 0; i <= 4 * 2; ++i)
        y.push_back(2.0 * i);
    for (double step = 2, edge = y.back(); edge < 40; step *= 1.5) {
        edge += step;
        y.push_back(edge);
        y.insert(y.begin(), y.front() - step);
    }
    const int nx = int(mesh.columns.size()), ny = int(y.size()), nz = mesh.rows();
    auto node = [&](int i, int j, int k) { return (i * ny + j) * nz + k; };
    std::vector<Eigen::Triplet<double>> entries;
    for (int i = 0; i + 1 < nx; ++i)
        for (int j = 0; j + 1 < ny; ++j)
            for (int k = 0; k + 1 < nz; ++k) {
                std::array<int, 8> corner{};
                for (int c = 0; c < 8; ++c)
                    corner[std::size_t(c)] = node(i + (c & 1), j + ((c >> 1) & 1), k + ((c >> 2) & 1));
                for (const int a : corner)
                    for (const int b : corner)
                        entries.emplace_back(a, b, a == b ? 7.0 + 1e-6 : -1.0);
            }
    const int n = nx * ny * nz;
    Eigen::SparseMatrix<double> A(n, n);
    A.setFromTriplets(entries.begin(), entries.end());
    return A;
}

int factor3d()
{
    const Eigen::SparseMatrix<double> A = volumeSystem();
    std::printf("a volume of %lld nodes, %lld entries\n", static_cast<long long>(A.rows()), static_cast<long long>(A.nonZeros()));
    std::fflush(stdout);
    for (const auto kind : {zel::inv::FactorKind::Supernodal, zel::inv::FactorKind::Simplicial}) {
        zel::inv::Factor factor(kind);
        auto t = Clock::now();
        if (!factor.factorize(A))
            return 1;
        const double first = seconds(t);
        t = Clock::now();
        factor.factorize(A);
        const double again = seconds(t);
        zel::inv::NodeBlock block(A.rows(), zel::inv::kSourceBlock);
        t = Clock::now();
        for (int b = 0; b < 240 / int(zel::inv::kSourceBlock) + 1; ++b) {
            block.setZero();
            for (Eigen::Index c = 0; c < zel::inv::kSourceBlock; ++c)
                block((b * 97 + c * 31) % A.rows(), c) = 1;
            factor.solve(block);
        }
        std::printf("  %-10s factor %.2f s (the first with its order), refactor %.2f s, 240 sources %.2f s, L %.0f MB\n",
                    kind == zel::inv::FactorKind::Supernodal ? "supernodal" : "simplicial", first, again, seconds(t),
                    double(factor.nonZeros()) * 12 / 1e6);
        std::fflush(stdout);
    }
    return 0;
}

int window()
{
    const Line line = lines().front();
    const auto data = lineData(line, twoBlocks(line.x.back(), 2));
    auto once = [&](bool worker) {
        zel::inv::InversionOptions options;
        options.threads = worker ? zel::windowThreads() : 0;
        const auto t = Clock::now();
        auto work = [&] { zel::invertSection(data, options, true, {}, {}, nullptr); };
        if (worker) {
            QThread* thread = nullptr;
            zel::startWorker(thread, work);
            thread->wait();
            delete thread;
        } else {
            work();
        }
        return seconds(t);
    };
    double tool = 1e300, shown = 1e300;
    for (int i = 0; i < 3; ++i) {
        tool = std::min(tool, once(false));
        shown = std::min(shown, once(true));
    }
    std::printf("%s with DOI: zeltool %.2f s, the window's worker (%d threads) %.2f s: %.2f x zeltool's  goal <= 1.15\n",
                line.name.c_str(), tool, zel::windowThreads(), shown, shown / tool);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    const char* program = argv[0];
    if (argc > 1 && std::string(argv[1]) == "--supernodal") {
        g_factor = zel::inv::FactorKind::Supernodal;
        --argc;
        ++argv;
    }
    if (argc > 1 && std::string(argv[1]) == "--window")
        return window();
    if (argc > 1 && std::string(argv[1]) == "--factor3d")
        return factor3d();
    if (argc > 2 && std::string(argv[1]) == "--memory")
        return memory(std::stoi(argv[2]));
    if (argc > 2 && std::string(argv[1]) == "--doi")
        return doi(std::stoi(argv[2]));
    if (argc > 2 && std::string(argv[1]) == "--quality")
        return quality(std::stoi(argv[2]));
    const std::vector<Line> all = lines();
    if (argc > 2 && std::string(argv[1]) == "--line") {
        for (const Line& line : all)
            if (line.name == argv[2])
                return run(line);
        std::fprintf(stderr, "no line %s\n", argv[2]);
        return 2;
    }
    // Each line in a process of its own; --small: the 64-electrode line alone.
    const bool small = argc > 1 && std::string(argv[1]) == "--small";
    int missed = 0;
    for (const Line& line : all) {
        if (small && line.name != "64-both")
            continue;
        const std::string command = std::string("\"") + program + "\" "
            + (g_factor == zel::inv::FactorKind::Supernodal ? "--supernodal " : "") + "--line " + line.name;
        missed += std::system(command.c_str()) != 0 ? 1 : 0;
    }
    return missed > 0 ? 1 : 0;
}
