// The survey exports of a full memory: 32,766 records with positions, four
// channels each (131,064 values), written as CSV, Res2DInv and pyGIMLi/BERT
// files, and the data check of every value. Goal: each under 0.3 s. Then
// the data check of 65,535 records in thousands of profiles, as zeltool
// check makes it: under 0.5 s.
#include "survey/ErrorModel.h"
#include "survey/Exports.h"
#include "data/NumericLocale.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    zel::keepFullStopInNumbers();
    constexpr int kRecords = 32766;
    std::vector<zel::MeasurementRecord> records;
    records.reserve(kRecords);
    for (int i = 0; i < kRecords; ++i) {
        zel::MeasurementRecord r;
        r.Mode = 10 + i % 5;
        r.LineNo = 1;
        r.FileNo = 1;
        r.Station = std::int16_t(i % 1000);
        r.ElectrodeA = i % 100;
        r.ElectrodeB = r.ElectrodeA + 1 + i % 3;
        r.ElectrodeM = std::uint8_t(r.ElectrodeB + 1 + i % 7);
        r.ElectrodeN = std::uint8_t(r.ElectrodeM + 1 + i % 2);
        r.Current = std::uint16_t(i % 17);
        for (int ch = 0; ch < 4; ++ch) {
            r.Range[ch] = std::uint8_t(ch);
            r.U[ch] = std::int16_t(1000 + i % 20000 - 10000);
        }
        r.Year = 2025;
        r.Month = 12;
        r.Day = 26;
        records.push_back(r);
    }
    const zel::SurveyGeometry geometry;
    const struct {
        const char* name;
        zel::SurveyFormat format;
    } formats[] = {{"CSV", zel::SurveyFormat::Csv},
                   {"Res2DInv", zel::SurveyFormat::Res2DInv},
                   {"pyGIMLi/BERT .ohm", zel::SurveyFormat::Ohm}};
    int failures = 0;
    for (const auto& f : formats) {
        double best = 1e99;
        qsizetype bytes = 0;
        for (int run = 0; run < 3; ++run) {
            QElapsedTimer t;
            t.start();
            const auto files = zel::surveyExport(f.format, records, geometry, std::nullopt, QStringLiteral("out"), {});
            best = std::min(best, double(t.nsecsElapsed()) / 1e9);
            bytes = files.at(0).second.size();
        }
        std::printf("%-18s %7.3f s for %d values (%lld bytes)  goal < 0.3 s%s\n", f.name, best, kRecords * 4,
                    static_cast<long long>(bytes), best < 0.3 ? "" : "  MISSED");
        failures += best >= 0.3;
    }
    // The check alone: flags, repeat, reciprocal and spike tests of every value.
    const std::vector<zel::ChannelValue> values = zel::surveyValues(records, geometry);
    double best = 1e99;
    std::size_t flagged = 0;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer t;
        t.start();
        const auto checks = zel::checkValues(records, values, geometry.thresholds);
        best = std::min(best, double(t.nsecsElapsed()) / 1e9);
        flagged = std::size_t(std::count_if(checks.begin(), checks.end(), [](const auto& c) { return c.flags != 0; }));
    }
    std::printf("%-18s %7.3f s for %zu values (%zu flagged)  goal < 0.3 s%s\n", "data check", best, values.size(),
                flagged, best < 0.3 ? "" : "  MISSED");
    failures += best >= 0.3;

    // zeltool check of a memory of 65,535 records in thousands of profiles:
    // the checks, the summary of each profile and frequency, and each
    // profile's error model, its values found once for all.
    std::vector<zel::MeasurementRecord> scattered;
    scattered.reserve(65535);
    for (int i = 0; i < 65535; ++i) {
        zel::MeasurementRecord r = records[std::size_t(i % kRecords)];
        r.LineNo = std::uint8_t(1 + i % 100);
        r.FileNo = std::uint8_t(1 + (i / 100) % 50);
        r.FreqIndex = std::uint8_t(i % 3);
        scattered.push_back(r);
    }
    const std::vector<zel::ChannelValue> many = zel::surveyValues(scattered, geometry);
    best = 1e99;
    std::size_t summaries = 0, models = 0;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer t;
        t.start();
        const auto checks = zel::checkValues(scattered, many, geometry.thresholds);
        const auto by = zel::valuesByProfile(scattered, many);
        const auto summary = zel::summarizeChecks(scattered, many, checks);
        models = 0;
        for (const auto& [profile, indices] : by)
            models += zel::fitErrorModel(zel::errorPairs(scattered, many, indices, profile)).has_value();
        best = std::min(best, double(t.nsecsElapsed()) / 1e9);
        summaries = summary.size();
    }
    std::printf("%-18s %7.3f s for %zu values in %zu profile frequencies (%zu error models)  goal < 0.5 s%s\n",
                "check, profiles", best, many.size(), summaries, models, best < 0.5 ? "" : "  MISSED");
    failures += best >= 0.5;
    return failures;
}
