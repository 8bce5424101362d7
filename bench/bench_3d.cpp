// The survey in 3D: five parallel lines of 48 electrodes 4 m apart, lines
// 5 m apart, dipole-dipole n = 1–6 with 3 % noise, inverted as one volume
// and line by line in 2D, in the same run. Data of each case are the 3D
// forward's on the volume's own cells.
//   contact  100 / 20 ohm·m, the contact along the lines between lines 2
//            and 3: under line 2, which is nearer the truth?
//   body     a 10 ohm·m body between lines 2 and 3, under none, 3–6 m deep:
//            is it found between them at its depth?
//   layers   a 2D ground (a conductive block across every line): do the
//            volume's sections under the lines agree with the 2D sections?
// Each case prints the wall times, χ², the peak memory and its figure.
// Arguments: the cases to run (all without); --pictures DIR draws the
// contact case's depth slice and section under line 2 from the volume
// beside the All-lines plan and line 2's own section.
#include "inversion/Depth.h"
#include "inversion/Inversion.h"
#include "inversion/VolumeForward.h"
#include "inversion/VolumeInversion.h"
#include "plots/Plots.h"
#include "section/AllLines.h"
#include "section/SurveyVolume.h"
#include "survey/Exports.h"

#include <QApplication>
#include <QString>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <numbers>
#include <random>
#include <string>

using namespace zel::inv;

namespace {

constexpr int kLines = 5, kElectrodes = 48;
constexpr double kSpacing = 4, kLineGap = 5, kNoise = 0.03;

// "VmHWM:" the peak resident memory, "VmRSS:" what is held now, MB.
double statusMegabytes(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string key;
    double kb = 0;
    while (status >> key)
        if (key == field && status >> kb)
            break;
    return kb / 1024;
}
double peakMegabytes() { return statusMegabytes("VmHWM:"); }

double seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

Point3 electrode(int line, int i) { return {kSpacing * i, kLineGap * line, 0}; }

double geometricFactor(const std::array<Point3, 4>& e)
{
    auto r = [&](int a, int b) { return std::hypot(e[std::size_t(a)].x - e[std::size_t(b)].x, e[std::size_t(a)].y - e[std::size_t(b)].y); };
    return 2 * std::numbers::pi / (1 / r(0, 2) - 1 / r(1, 2) - 1 / r(0, 3) + 1 / r(1, 3));
}

// The survey's data over a ground of resistivity rho(x, y, depth), with noise.
std::vector<SurveyMeasurement> surveyData(const std::function<double(double, double, double)>& rho)
{
    std::vector<SurveyMeasurement> data;
    std::vector<Point3> electrodes;
    for (int l = 0; l < kLines; ++l)
        for (int i = 0; i < kElectrodes; ++i)
            electrodes.push_back(electrode(l, i));
    VolumeOptions options;
    options.parameterDepth = 20;
    const Volume volume = makeVolume(electrodes, options);
    std::vector<Configuration> configurations;
    for (int l = 0; l < kLines; ++l)
        for (int n = 1; n <= 6; ++n)
            for (int a = 0; a + n + 2 < kElectrodes; ++a) {
                SurveyMeasurement m;
                m.at = {electrode(l, a + 1), electrode(l, a), electrode(l, a + n + 1), electrode(l, a + n + 2)};
                m.k = geometricFactor(m.at);
                m.error = kNoise;
                m.depth = 0.416 * (n + 2) * kSpacing / 2;
                data.push_back(m);
                const int base = l * kElectrodes;
                configurations.push_back({{base + a + 1, base + a, base + a + n + 1, base + a + n + 2}, m.k});
            }
    std::vector<double> model(std::size_t(volume.cellCount()));
    for (int c = 0; c < volume.cellCount(); ++c) {
        const Point3 m = volume.cellCentre(c);
        model[std::size_t(c)] = rho(m.x, m.y, volume.cellDepth(c));
    }
    VolumeForward forward(volume, configurations);
    forward.solve(model, false);
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0, kNoise);
    for (std::size_t d = 0; d < data.size(); ++d)
        data[d].rhoa = forward.apparentResistivity()[d] * (1 + noise(random));
    return data;
}

// The line's data as a 2D inversion takes them.
std::vector<Measurement> lineData(const std::vector<SurveyMeasurement>& data, double y)
{
    std::vector<Measurement> line;
    for (const SurveyMeasurement& m : data)
        if (std::abs(m.at[0].y - y) < 1e-3)
            line.push_back(alongLine(m));
    return line;
}

struct Run {
    VolumeResult volume;
    std::vector<InversionResult> lines;
    double volumeSeconds = 0, linesSeconds = 0, peak = 0;
};

Run runBoth(const std::vector<SurveyMeasurement>& data)
{
    Run r;
    auto started = std::chrono::steady_clock::now();
    for (int l = 0; l < kLines; ++l)
        r.lines.push_back(invert(lineData(data, kLineGap * l), InversionOptions{}));
    r.linesSeconds = seconds(started);
    // The peak from here on: the data's mesh is gone, and its peak is not
    // the inversion's (Linux: "5" resets the peak to what is held).
    const std::size_t estimate = volumeMemoryNeeded(data, VolumeInversionOptions{});
    std::ofstream("/proc/self/clear_refs") << "5";
    const double held = statusMegabytes("VmRSS:");
    started = std::chrono::steady_clock::now();
    r.volume = invertVolume(data, VolumeInversionOptions{}, [](const IterationReport& i) {
        std::printf("    3D iteration %d: chi2 %.2f, %.1f s\n", i.number, i.chi2, i.seconds);
        std::fflush(stdout);
    });
    r.volumeSeconds = seconds(started);
    r.peak = peakMegabytes() - held;
    std::printf("  All lines %.1f s (chi2 %.2f … %.2f); one 3D model %.1f s = %.1f× (goal ≤ 15×), %d iterations, chi2 %.2f (goal ≤ 1.5), "
                "peak %.0f MB above what was held (goal ≤ 2048; estimated %.0f MB)\n",
                r.linesSeconds, r.lines.front().kept().chi2, r.lines.back().kept().chi2, r.volumeSeconds,
                r.volumeSeconds / r.linesSeconds, int(r.volume.iterations.size()) - 1, r.volume.kept().chi2, r.peak,
                double(estimate) / 1e6 * 1e6 / 1048576);
    std::printf("  3D parts: forward %d solves %.1f s, sensitivities %.1f s, solver %.1f s; %d parameters, %zu nodes (%d × %d × %d)\n",
                r.volume.times.forwardSolves, r.volume.times.forward, r.volume.times.jacobian, r.volume.times.solver,
                r.volume.volume.parameterCount(), r.volume.volume.nodes.size(), r.volume.volume.nx(), r.volume.volume.ny(), r.volume.volume.nz());
    return r;
}

// The median |log10 ρ / ρtrue| under the line at y, to `deepest` m: of the
// volume's cells on the line, and of the line's 2D section.
std::pair<double, double> underLine(const Run& r, int line, double deepest, const std::function<double(double, double, double)>& rho)
{
    const double y = kLineGap * line;
    std::vector<double> volume, section;
    const Volume& v = r.volume.volume;
    for (int p = 0; p < v.parameterCount(); ++p) {
        const Point3 c = v.parameterCentre(p);
        const double depth = v.parameterDepth(p);
        if (std::abs(c.y - y) < 1e-3 && depth < deepest)
            volume.push_back(std::abs(std::log10(r.volume.resistivity[std::size_t(p)] / rho(c.x, y, depth))));
    }
    const InversionResult& s = r.lines[std::size_t(line)];
    for (int p = 0; p < s.mesh.parameterCount(); ++p) {
        const Point c = s.mesh.cellCentre(s.mesh.cellOfParameter[std::size_t(p)]);
        const double depth = -c.z;
        if (depth < deepest)
            section.push_back(std::abs(std::log10(s.resistivity[std::size_t(p)] / rho(c.x, y, depth))));
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v.empty() ? 0.0 : v[v.size() / 2];
    };
    return {median(volume), median(section)};
}

QString picturesFolder;

// The contact case's pictures: at a depth of 4 m the volume's slice and the
// All-lines plan, and under line 2 the volume's section and its own.
void drawContact(const Run& r)
{
    zel::SurveyInput input;
    std::vector<zel::LineSection> sections;
    for (int l = 0; l < kLines; ++l) {
        const QString what = QStringLiteral("L%1").arg(l + 1);
        input.lines.push_back({zel::Profile{l + 1, zel::Profile::kWholeLine}, what, kLineGap * l, 0, kSpacing * (kElectrodes - 1)});
        zel::LineSection s{zel::Profile{l + 1, zel::Profile::kWholeLine}, kLineGap * l, what, r.lines[std::size_t(l)], {}};
        s.sensitivity = sensitivityDepths(s.result.mesh, relativeSensitivity(s.result), kSensitivityThreshold);
        sections.push_back(std::move(s));
    }
    const QLocale numbers = QLocale::c();
    const double depth = 4;
    QList<std::pair<QString, QByteArray>> files;
    files += zel::planPicture(zel::planOf(zel::sliceAt(r.volume, depth), input), picturesFolder + "/volume-contact-slice.png", numbers);
    files += zel::planPicture(zel::planView(sections, depth), picturesFolder + "/volume-contact-all-lines.png", numbers);
    files += zel::sectionPictures(zel::sectionUnder(r.volume, input.lines[1]), QStringLiteral("L2 in the 3D model"),
                                  picturesFolder + "/volume-contact-L2-3d", QStringLiteral("png"), numbers, kDoiThreshold);
    files += zel::sectionPictures(r.lines[1], QStringLiteral("L2 alone (2D)"), picturesFolder + "/volume-contact-L2-2d",
                                  QStringLiteral("png"), numbers, kDoiThreshold);
    for (const QString& written : zel::writeExportFiles(files))
        std::printf("  %s\n", qPrintable(written));
}

void contact()
{
    std::printf("contact  100 / 20 ohm·m along the lines, between lines 2 and 3\n");
    auto rho = [](double, double y, double) { return y < 1.5 * kLineGap ? 100.0 : 20.0; };
    const Run r = runBoth(surveyData(rho));
    const auto [volume, section] = underLine(r, 1, 15, rho);
    std::printf("  under line 2, median |log10 rho/true| to 15 m: 3D %.3f, its 2D section %.3f (goal: 3D nearer)\n", volume, section);
    if (!picturesFolder.isEmpty())
        drawContact(r);
}

void body()
{
    std::printf("body     10 ohm·m in 100, between lines 2 and 3, 3–6 m deep\n");
    auto rho = [](double x, double y, double depth) {
        return std::abs(x - 94) < 8 && std::abs(y - 1.5 * kLineGap) < 1.5 && depth > 3 && depth < 6 ? 10.0 : 100.0;
    };
    const Run r = runBoth(surveyData(rho));
    const Volume& v = r.volume.volume;
    int lowest = 0;
    for (int p = 1; p < v.parameterCount(); ++p)
        if (r.volume.resistivity[std::size_t(p)] < r.volume.resistivity[std::size_t(lowest)])
            lowest = p;
    const Point3 c = v.parameterCentre(lowest);
    std::printf("  the lowest resistivity, %.1f ohm·m, at x %.1f, y %.1f, depth %.1f m (the body: x 94, y %.1f, depth 4.5)\n",
                r.volume.resistivity[std::size_t(lowest)], c.x, c.y, v.parameterDepth(lowest), 1.5 * kLineGap);
}

void layers()
{
    std::printf("layers   a 2D ground: a 20 ohm·m block 60–120 m, 3–10 m deep, across every line, in 100\n");
    auto rho = [](double x, double, double depth) { return x > 60 && x < 120 && depth > 3 && depth < 10 ? 20.0 : 100.0; };
    const Run r = runBoth(surveyData(rho));
    std::vector<double> ratios;
    const Volume& v = r.volume.volume;
    for (int l = 0; l < kLines; ++l) {
        const InversionResult& s = r.lines[std::size_t(l)];
        for (int p = 0; p < v.parameterCount(); ++p) {
            const Point3 c = v.parameterCentre(p);
            if (std::abs(c.y - kLineGap * l) > 1e-3 || v.parameterDepth(p) > 12)
                continue;
            const int cell = s.mesh.cellAt({c.x, -v.parameterDepth(p)});
            if (cell < 0 || s.mesh.parameterOfCell[std::size_t(cell)] < 0)
                continue;
            ratios.push_back(std::abs(std::log(r.volume.resistivity[std::size_t(p)] / s.resistivity[std::size_t(s.mesh.parameterOfCell[std::size_t(cell)])])));
        }
    }
    std::sort(ratios.begin(), ratios.end());
    std::printf("  the volume's sections under the lines against the 2D sections, to 12 m: median difference %.1f %% (goal ≤ 10 %%)\n",
                100 * std::expm1(ratios[ratios.size() / 2]));
}

// What surveys of lines 5 m apart, electrodes 4 m apart, dipole-dipole
// n = 1–6 take: nodes, parameters and the memory estimate.
void sizes()
{
    std::printf("sizes    lines × electrodes: nodes, parameter cells, data, estimated peak\n");
    for (const auto [lines, electrodes] : {std::pair{5, 48}, {10, 48}, {5, 96}, {10, 96}, {20, 96}, {32, 64}}) {
        std::vector<SurveyMeasurement> data;
        for (int l = 0; l < lines; ++l)
            for (int n = 1; n <= 6; ++n)
                for (int a = 0; a + n + 2 < electrodes; ++a) {
                    SurveyMeasurement m;
                    m.at = {Point3{kSpacing * (a + 1), kLineGap * l, 0}, Point3{kSpacing * a, kLineGap * l, 0},
                            Point3{kSpacing * (a + n + 1), kLineGap * l, 0}, Point3{kSpacing * (a + n + 2), kLineGap * l, 0}};
                    m.k = geometricFactor(m.at);
                    m.rhoa = 100;
                    m.depth = 0.416 * (n + 2) * kSpacing / 2;
                    data.push_back(m);
                }
        std::vector<Point3> points;
        for (int l = 0; l < lines; ++l)
            for (int i = 0; i < electrodes; ++i)
                points.push_back({kSpacing * i, kLineGap * l, 0});
        VolumeOptions o;
        o.parameterDepth = kParameterDepthFactor * 0.416 * 8 * kSpacing / 2;
        const Volume v = makeVolume(points, o);
        std::printf("  %2d × %3d: %7zu nodes, %6d cells, %6zu data, %6.1f GB\n", lines, electrodes, v.nodes.size(),
                    v.parameterCount(), data.size(), double(volumeMemoryNeeded(data, VolumeInversionOptions{})) / 1e9);
    }
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::vector<const char*> asked;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--pictures") == 0 && i + 1 < argc)
            picturesFolder = QString::fromLocal8Bit(argv[++i]);
        else
            asked.push_back(argv[i]);
    }
    const std::vector<std::pair<const char*, void (*)()>> cases{{"contact", contact}, {"body", body}, {"layers", layers}, {"sizes", sizes}};
    for (const auto& [name, run] : cases) {
        bool wanted = asked.empty();
        for (const char* a : asked)
            wanted = wanted || std::strcmp(a, name) == 0;
        if (wanted)
            run();
    }
    return 0;
}
