// The plots of a full memory: a pseudosection of 32,766 records with four
// channels (131,064 points) and a profile graph of 32,766 plain records, each
// rendered to PNG (goal < 0.5 s), and a replot after a zoom (goal < 50 ms).
#include "BestOf.h"
#include "data/NumericLocale.h"

#include "plots/Plots.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <qcustomplot.h>

#include <cstdio>

namespace {

constexpr int kRecords = 32766;

std::vector<zel::MeasurementRecord> memory(bool positions)
{
    std::vector<zel::MeasurementRecord> records;
    records.reserve(kRecords);
    for (int i = 0; i < kRecords; ++i) {
        zel::MeasurementRecord r;
        r.Mode = positions ? 12 : 0;
        r.LineNo = 1;
        r.FileNo = 1;
        r.Station = std::int16_t(i);
        const int a = 1 + i % 6;                 // dipole length
        const int n = 1 + (i / 6) % 6;           // level
        r.ElectrodeA = (i / 36) % 90;
        r.ElectrodeB = r.ElectrodeA + a;
        r.ElectrodeM = std::uint8_t(r.ElectrodeB + n * a);
        r.ElectrodeN = std::uint8_t(r.ElectrodeM + a);
        r.Current = 5;
        for (int ch = 0; ch < 4; ++ch) {
            r.Range[ch] = 2;
            r.U[ch] = std::int16_t(-(100 + (i * 37 + ch * 101) % 20000));
        }
        r.Year = 2025;
        records.push_back(r);
    }
    return records;
}

template <class F>
double bestSeconds(int runs, F&& f)
{
    return bestOf(runs, std::forward<F>(f)) / 1000;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    zel::keepFullStopInNumbers();
    QTemporaryDir dir;
    int missed = 0;
    auto report = [&](const char* what, double seconds, double goal) {
        std::printf("%-40s %8.3f s  goal < %.3f s%s\n", what, seconds, goal, seconds < goal ? "" : "  MISSED");
        missed += seconds >= goal;
    };

    const auto withPositions = memory(true);
    const zel::SurveyGeometry geometry;
    const zel::Pseudosection section = zel::pseudosection(withPositions, geometry, {1, 1});
    std::printf("pseudosection points: %zu\n", section.points.size() + section.negative.size());
    QCustomPlot pseudo;
    report("pseudosection, data to PNG", bestSeconds(3, [&] {
               zel::drawPseudosection(pseudo, zel::pseudosection(withPositions, geometry, {1, 1}));
               zel::savePlot(pseudo, dir.filePath("p.png"), 1000, 700);
           }), 0.5);
    pseudo.resize(1000, 700);
    pseudo.replot(QCustomPlot::rpImmediateRefresh);
    const QCPRange all = pseudo.xAxis->range();
    report("pseudosection, replot after a zoom", bestSeconds(5, [&] {
               pseudo.xAxis->setRange(all);
               pseudo.xAxis->scaleRange(0.8);  // one wheel step from the whole view
               pseudo.replot(QCustomPlot::rpImmediateRefresh);
           }), 0.05);

    const auto plain = memory(false);
    QCustomPlot profile;
    const zel::ProfileOptions options;
    report("profile graph, data to PNG", bestSeconds(3, [&] {
               zel::drawProfileGraph(profile, zel::profileGraph(plain, options.value, false, false), options);
               zel::savePlot(profile, dir.filePath("g.png"), 1000, 700);
           }), 0.5);
    profile.resize(1000, 700);
    profile.replot(QCustomPlot::rpImmediateRefresh);
    const QCPRange whole = profile.xAxis->range();
    report("profile graph, replot after a zoom", bestSeconds(5, [&] {
               profile.xAxis->setRange(whole);
               profile.xAxis->scaleRange(0.8);
               profile.replot(QCustomPlot::rpImmediateRefresh);
           }), 0.05);

    // A memory of many short profiles, a mark on every fifth record: the
    // window shows one profile at a time, or all of up to eight of them.
    std::vector<zel::MeasurementRecord> profiles = memory(false);
    for (std::size_t i = 0; i < profiles.size(); ++i) {
        profiles[i].LineNo = std::uint8_t(1 + (i / 50) % 200);
        profiles[i].FileNo = std::uint8_t(1 + i / 10000);
        profiles[i].Mode = i % 5 == 0 ? std::uint8_t(1 + i % 8) : 0;
    }
    std::printf("profiles in the memory: %zu\n", zel::profilesOf(profiles).size());
    QCustomPlot many;
    report("profile graph, 656 profiles: one to PNG", bestSeconds(3, [&] {
               const auto first = zel::profilesOf(profiles).front();
               zel::drawProfileGraph(many, zel::profileGraph(profiles, options.value, false, false, first), options);
               zel::savePlot(many, dir.filePath("m.png"), 1000, 700);
           }), 0.5);
    for (auto& r : profiles) {
        r.LineNo = std::uint8_t(1 + r.Station * zel::kReadableProfiles / kRecords);
        r.FileNo = 1;
        r.Mode = r.Station % 3 == 0 ? std::uint8_t(1 + r.Station % 8) : 0;
    }
    report("profile graph, 8 profiles with marks: all to PNG", bestSeconds(3, [&] {
               zel::drawProfileGraph(many, zel::profileGraph(profiles, options.value, false, false), options);
               zel::savePlot(many, dir.filePath("a.png"), 1000, 700);
           }), 0.5);
    return missed;
}
