// Induced polarisation from quadripoles read at two frequencies: each
// quadripole's frequency effect and what the check finds in it, the four
// channels against consecutive dipoles, the files, and the chargeability
// section against a half-space, two layers by the image series and a
// chargeable block in noise.
#include "IpCases.h"

#include "section/Recipe.h"
#include "texts/Texts.h"
#include "survey/ErrorModel.h"
#include "survey/Exports.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <numbers>

namespace {

struct Reading {
    std::vector<zel::MeasurementRecord> records;
    std::vector<zel::ChannelValue> values;
    std::vector<zel::ValueCheck> checks;
    explicit Reading(std::vector<zel::MeasurementRecord> r) : records(std::move(r))
    {
        values = zel::surveyValues(records, {});
        checks = zel::checkValues(records, values, {});
    }
    std::vector<zel::FrequencyEffect> effects(std::optional<zel::FrequencyPair> chosen = std::nullopt) const
    {
        const auto pair = zel::frequencyPairOf(zel::profileFrequencies(records, values, {1, 1}), chosen);
        return pair ? zel::frequencyEffects(records, values, checks, {1, 1}, {}, *pair) : std::vector<zel::FrequencyEffect>{};
    }
};

zel::sim::SyntheticLine chargeableHalfSpace(double pfe)
{
    zel::sim::SyntheticLine line = zeltest::ipLine();
    line.backgroundPfe = pfe;
    return line;
}

} // namespace

TEST(FrequencyEffect, OfEachQuadripoleWithItsErrorMetalFactorAndFlags)
{
    Reading half(zel::sim::syntheticRecords(chargeableHalfSpace(5)));
    const auto effects = half.effects();
    ASSERT_EQ(effects.size(), half.values.size() / 2);
    for (const zel::FrequencyEffect& e : effects) {
        EXPECT_NEAR(e.pfe, 5, e.roundingPoints);  // the voltages' last digits, no more
        EXPECT_NEAR(e.metalFactor, 2 * std::numbers::pi * 1e3 * e.pfe / *e.low.value.rhoa, 1e-9);
        EXPECT_NEAR(e.chargeability(), 1 - *e.high.value.rhoa / *e.low.value.rhoa, 1e-12);
        EXPECT_NEAR(e.errorPoints, zel::kEffectErrorPoints + zel::kEffectErrorShare * 5, 0.01);
        EXPECT_EQ(e.flags, 0u);
    }
    // The pair: the lowest and highest held, or one chosen of those held.
    EXPECT_EQ(zel::frequencyPairOf({1, 4, 6}, std::nullopt), (zel::FrequencyPair{1, 6}));
    EXPECT_EQ(zel::frequencyPairOf({1, 4, 6}, zel::FrequencyPair{1, 4}), (zel::FrequencyPair{1, 4}));
    EXPECT_FALSE(zel::frequencyPairOf({1, 4}, zel::FrequencyPair{1, 6}));
    EXPECT_FALSE(zel::frequencyPairOf({4}, std::nullopt));
    EXPECT_TRUE(half.effects(zel::FrequencyPair{4, 1}).empty() || half.effects(zel::FrequencyPair{4, 1})[0].pfe < 0);

    // Rounding, another current, an outlier and a negative effect, each on
    // one quadripole (records 2k at the low frequency, 2k + 1 at the high).
    std::vector<zel::MeasurementRecord> records = zel::sim::syntheticRecords(chargeableHalfSpace(5));
    const int sign = records[40].U[0] < 0 ? -1 : 1;
    records[40].U[0] = std::int16_t(sign * 200), records[40].Range[0] = 0;
    records[41].U[0] = std::int16_t(sign * 190), records[41].Range[0] = 0;
    records[61].Current = std::uint8_t(records[60].Current + 1);
    records[81].U[0] = std::int16_t(records[81].U[0] / 1.3);   // an effect of about 37 %
    records[101].U[0] = std::int16_t(records[101].U[0] * 1.05);  // about 0 %, among 5 %
    records[121].U[0] = std::int16_t(records[121].U[0] * 1.2);   // about −12.5 %
    const Reading bad(records);
    std::map<int, unsigned> flagsOf;
    for (const zel::FrequencyEffect& e : bad.effects())
        if (e.flags)
            flagsOf[e.low.value.record] |= e.flags;
    EXPECT_TRUE(flagsOf[40] & zel::EffectRounding);
    EXPECT_TRUE(flagsOf[60] & zel::EffectOtherCurrents);  // and an outlier: the nominal current is off
    EXPECT_TRUE(flagsOf[80] & zel::EffectOutlier);
    EXPECT_TRUE(flagsOf[100] & zel::EffectOutlier);
    EXPECT_TRUE(flagsOf[120] & zel::EffectNegative);
    EXPECT_FALSE(flagsOf[100] & zel::EffectNegative);  // 0 % is no negative effect
    EXPECT_EQ(zel::effectFlagNames(zel::EffectOutlier | zel::EffectRounding), "outlier|rounding");
    // zeltool check names each flagged quadripole by its low reading.
    const QStringList report = zel::texts::polarisationReport(bad.records, bad.values, bad.checks,
                                                                 zel::valuesByProfile(bad.records, bad.values).at({1, 1}), {1, 1}, true);
    EXPECT_EQ(report.filter(QRegularExpression(QStringLiteral("^61 ch\\d L1 F1 .*other-currents"))).size(), 4)  // its four channels
        << report.join(QLatin1Char('\n')).toStdString();
}

TEST(FrequencyEffect, ChannelsAreCheckedAgainstConsecutiveDipoles)
{
    auto wiringFlags = [](const std::vector<zel::MeasurementRecord>& records) {
        const Reading r(records);
        int flagged = 0;
        for (const zel::ValueCheck& c : r.checks)
            flagged += (c.flags & zel::FlagWiring) != 0;
        return flagged;
    };
    // Over blocks of 10 and 1,000 ohm·m in 100 the channels fall as they should.
    const std::vector<zel::MeasurementRecord> good = zel::sim::sectionRecords(32);
    EXPECT_EQ(wiringFlags(good), 0);
    // Stacked repeats of channel 1, and channels wired backwards.
    std::vector<zel::MeasurementRecord> repeats = good, backwards = good;
    for (zel::MeasurementRecord& r : repeats)
        for (int ch = 1; ch < 4; ++ch)
            if (r.Range[std::size_t(ch)] < 7)
                r.U[std::size_t(ch)] = r.U[0], r.Range[std::size_t(ch)] = r.Range[0];
    for (zel::MeasurementRecord& r : backwards)
        if (r.Range[3] < 7) {
            std::swap(r.U[0], r.U[3]), std::swap(r.Range[0], r.Range[3]);
            std::swap(r.U[1], r.U[2]), std::swap(r.Range[1], r.Range[2]);
        }
    const int judged = int(std::count_if(good.begin(), good.end(), [](const auto& r) { return r.Range[1] < 7; }));
    EXPECT_GT(wiringFlags(repeats), 3 * judged);
    EXPECT_GT(wiringFlags(backwards), 3 * judged);
    // The check names the records in its report.
    const Reading stacked(repeats);
    const QStringList lines = zel::texts::polarisationReport(stacked.records, stacked.values, stacked.checks,
                                                                zel::valuesByProfile(stacked.records, stacked.values).at({1, 1}), {1, 1}, true);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].contains(QStringLiteral("(записи 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, …)"))) << lines[0].toStdString();
}

TEST(FrequencyEffect, FilesCarryIt)
{
    zel::sim::SyntheticLine line = zeltest::ipLine();
    line.blocks = {{20, 26, 1, 3, 100, 10}};
    const std::vector<zel::MeasurementRecord> records = zel::sim::syntheticRecords(line);
    const QList<QByteArray> csv = zel::surveyExportContents(zel::SurveyFormat::Csv, records, {}, std::nullopt, {})
                                      .files[0].second.split('\n');
    const int column = int(csv[0].split(',').indexOf("pfe_pct"));
    ASSERT_GT(column, 0);
    // Both readings of a quadripole carry its effect.
    EXPECT_EQ(csv[1].split(',')[column], csv[1 + 4].split(',')[column]);
    const QByteArray dat = zel::surveyExportContents(zel::SurveyFormat::Res2DInv, records, {}, std::nullopt, {}).files[0].second;
    EXPECT_TRUE(dat.contains("\r\n2\r\n1\r\nFrequency effect\r\n%\r\n1.22,9.76\r\n")) << dat.left(200).toStdString();
    const QList<QByteArray> rows = dat.split('\n');
    EXPECT_EQ(rows[12].trimmed().split(' ').size(), 11);  // 4, four x and z, R, the effect
    // One frequency chosen: the file of that frequency, without an IP column.
    const QByteArray high = zel::surveyExportContents(zel::SurveyFormat::Res2DInv, records, {}, std::nullopt, {{}, false, 4})
                                .files[0].second;
    EXPECT_FALSE(high.contains("Frequency effect"));
}

TEST(ChargeabilitySection, HalfSpaceTwoLayersAndABlockInNoise)
{
    auto section = [](const zeltest::IpCase& c) { return zel::invertSection(c.low.data, {}, false, {}, {}, nullptr, c.low.charges); };
    // A half-space of 5 %.
    const zeltest::IpCase half = zeltest::simulatedCase(chargeableHalfSpace(5));
    const zel::SectionRun h = section(half);
    std::vector<double> all;
    for (const auto& c : zeltest::cellEffects(h.result.mesh, h.charge->pfe(), 10))
        all.push_back(c.pfe);
    EXPECT_NEAR(zeltest::quantile(all, 0.5), 5, 0.5);
    EXPECT_GE(zeltest::quantile(all, 0.05), 4);
    EXPECT_LE(zeltest::quantile(all, 0.95), 6);

    // 2 m of 100 ohm·m without an effect over 30 ohm·m of 10 %, the image series.
    const zel::SectionRun two = section(zeltest::twoLayerCase());
    std::vector<double> top, below;
    for (const auto& c : zeltest::cellEffects(two.result.mesh, two.charge->pfe(), 7))
        (c.depth < 1 ? top : c.depth > 4 ? below : all).push_back(c.pfe);
    EXPECT_LT(zeltest::quantile(top, 0.5), 2);
    EXPECT_LT(zeltest::quantile(top, 0.75), 2);
    EXPECT_GT(zeltest::quantile(below, 0.5), 6);
    EXPECT_LT(zeltest::quantile(below, 0.5), 14);

    // A block of 10 % in 100 ohm·m, 3 % noise.
    zel::sim::SyntheticLine line = zeltest::ipLine();
    line.blocks = {{20, 26, 1, 3, 100, 10}};
    const zel::SectionRun b = section(zeltest::simulatedCase(line, 0.03));
    std::vector<double> inside, outside;
    double peak = 0, peakX = 0, peakDepth = 0;
    for (const auto& c : zeltest::cellEffects(b.result.mesh, b.charge->pfe(), 4.5)) {
        if (c.pfe > peak)
            peak = c.pfe, peakX = c.x, peakDepth = c.depth;
        if (c.x > 20 && c.x < 26 && c.depth > 1 && c.depth < 3)
            inside.push_back(c.pfe);
        else if (c.x < 19 || c.x > 27 || c.depth > 4)
            outside.push_back(c.pfe);
    }
    EXPECT_NEAR(peakX, 23, 3);
    EXPECT_NEAR(peakDepth, 2, 1.5);
    EXPECT_NEAR(zeltest::quantile(inside, 0.5), 10, 3);
    EXPECT_LT(zeltest::quantile(outside, 0.9), 1);
}
