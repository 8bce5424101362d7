// The layered earth's forward response of a sounding against the half-space
// in closed form, two layers by the image series and three layers by an
// independent quadrature of the Hankel integral.
#include "Analytic.h"
#include "Capture.h"
#include "TestDumps.h"

#include "data/DataFile.h"

#include "inversion/Sounding.h"
#include "section/Sounding.h"
#include "sim/StationModel.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <random>
#include <vector>

namespace {

// Schlumberger spreads: AB/2 from 1.5 to 120 m, 20 to a decade's 1.3, at MN/2.
std::vector<std::array<double, 4>> schlumberger(double mn2)
{
    std::vector<std::array<double, 4>> out;
    for (int k = 0; 1.5 * std::pow(1.3, k) <= 120; ++k)
        if (const double ab2 = 1.5 * std::pow(1.3, k); ab2 > 2 * mn2)
            out.push_back({-ab2, ab2, -mn2, mn2});
    return out;
}

// V(r) of a unit current by Simpson's rule on ∫ (T(λ) − ρ1) J0(λr) dλ, the
// kernel decaying as exp(−2λh1): a quadrature that shares nothing with the
// filter.
double quadraturePotential(const zel::inv::LayeredEarth& earth, double r)
{
    const double top = earth.rho.front();
    const double end = 40 / earth.thickness.front();
    const int steps = 40000;
    const double h = end / steps;
    double sum = 0;
    for (int i = 0; i <= steps; ++i) {
        const double lambda = i * h;
        const double f = (zel::inv::resistivityTransform(earth, lambda) - top) * std::cyl_bessel_j(0.0, lambda * r);
        sum += f * (i == 0 || i == steps ? 1 : i % 2 ? 4 : 2);
    }
    return (top / r + sum * h / 3) / (2 * std::numbers::pi);
}

} // namespace

TEST(SoundingForward, HalfSpaceTwoLayersAndThreeLayers)
{
    for (const auto& x : schlumberger(0.5))
        EXPECT_NEAR(zel::inv::soundingRhoa({{100}, {}}, x), 100, 1e-9);  // to rounding
    EXPECT_NEAR(zel::inv::soundingRhoa({{37}, {}}, {0, 30, 10, 20}), 37, 1e-9);  // Wenner

    // Two layers against the image series: a conductive and a resistive base.
    for (const double rho2 : {10.0, 1000.0})
        for (const double mn2 : {0.5, 2.0})
            for (const auto& x : schlumberger(mn2)) {
                const double expected = zeltest::twoLayerRhoa(100, rho2, 5, x[0], x[1], x[2], x[3]);
                EXPECT_NEAR(zel::inv::soundingRhoa({{100, rho2}, {5}}, x) / expected, 1, 1e-3)
                    << "rho2 " << rho2 << " AB/2 " << x[1] << " MN/2 " << mn2;
            }

    // H-type, 100 / 10 / 1000 ohm·m, 4 and 8 m: the potential against quadrature.
    const zel::inv::LayeredEarth h{{100, 10, 1000}, {4, 8}};
    for (const double r : {0.5, 2.0, 10.0, 40.0, 120.0})
        EXPECT_NEAR(zel::inv::surfacePotential(h, r) / quadraturePotential(h, r), 1, 1e-3) << "r " << r;
}

namespace {

// A Schlumberger sounding at MN 1 and 4 m (AB/2 1.5–120 m) over `earth`,
// its apparent resistivities by `rhoaOf`, each times 1 + noise·N(0, 1).
std::vector<zel::inv::SoundingDatum> sounding(const std::function<double(const std::array<double, 4>&)>& rhoaOf,
                                              double noise = 0, unsigned seed = 1)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> normal;
    std::vector<zel::inv::SoundingDatum> data;
    for (const double mn2 : {0.5, 2.0})
        for (const auto& x : schlumberger(mn2))
            if (mn2 == 0.5 ? x[1] <= 20 : x[1] >= 10)  // the segments overlap at 10–20 m
                data.push_back({x, rhoaOf(x) * (1 + noise * normal(random)), 0.02});
    return data;
}

} // namespace

TEST(SoundingInversion, FewestLayersWithTheirRanges)
{
    // Two layers, 100 over 10 ohm·m at 5 m, by the image series, 1 % noise.
    const auto two = sounding([](const auto& x) { return zeltest::twoLayerRhoa(100, 10, 5, x[0], x[1], x[2], x[3]); }, 0.01);
    const zel::inv::LayeredFit fit = zel::inv::fitFewestLayers(two);
    ASSERT_EQ(fit.earth.rho.size(), 2u);
    EXPECT_NEAR(fit.earth.rho[0] / 100, 1, 0.05);
    EXPECT_NEAR(fit.earth.thickness[0] / 5, 1, 0.10);
    EXPECT_NEAR(fit.earth.rho[1] / 10, 1, 0.10);
    EXPECT_LE(fit.rrms, 2);
    EXPECT_LT(fit.rhoRange[0][0], fit.earth.rho[0]);
    EXPECT_GT(fit.rhoRange[0][1], fit.earth.rho[0]);

    // H-type, 100 / 10 / 1000 ohm·m at 4 and 8 m: three layers, the
    // conductor's conductance h/ρ (0.8 S) within 20 %.
    const zel::inv::LayeredEarth h{{100, 10, 1000}, {4, 8}};
    const auto three = sounding([&](const auto& x) { return zel::inv::soundingRhoa(h, x); }, 0.01, 2);
    const zel::inv::LayeredFit found = zel::inv::fitFewestLayers(three);
    ASSERT_EQ(found.earth.rho.size(), 3u);
    EXPECT_NEAR(found.earth.thickness[1] / found.earth.rho[1] / 0.8, 1, 0.20);
    EXPECT_NEAR(found.earth.rho[0] / 100, 1, 0.10);

    // A layer held: the second's resistivity at its true value.
    const zel::inv::LayeredFit held = zel::inv::fitLayers(two, 2, {{}, {10.0, std::nullopt}});
    EXPECT_DOUBLE_EQ(held.earth.rho[1], 10);
    EXPECT_NEAR(held.earth.thickness[0] / 5, 1, 0.10);

    // Whatever a user types and holds, the fit and its figures stay numbers.
    for (const double rho : {1e-300, 1e-9, 1e12, 1e300})
        for (const double thickness : {1e-300, 1e-6, 1e9, 1e300}) {
            const zel::inv::LayeredFit odd = zel::inv::fitLayers(two, 3, {{rho, thickness}, {}, {}});
            bool finite = std::isfinite(odd.chi2) && std::isfinite(odd.rrms);
            for (const double v : odd.response)
                finite = finite && std::isfinite(v) && v > 0;
            for (const auto& range : odd.rhoRange)
                finite = finite && std::isfinite(range[0]) && std::isfinite(range[1]);
            EXPECT_TRUE(finite) << rho << " " << thickness;
        }
}

TEST(SoundingInversion, SmoothModelFollowsTheLayers)
{
    // Its sensitivities against central differences of the forward, H-type.
    const zel::inv::LayeredEarth h{{100, 10, 1000, 50}, {4, 8, 20}};
    const auto data = sounding([&](const auto& x) { return zel::inv::soundingRhoa(h, x); });
    const zel::inv::Sensitivities J = zel::inv::soundingSensitivities(data, h);
    for (std::size_t k = 0; k < h.rho.size(); ++k) {
        zel::inv::LayeredEarth up = h, down = h;
        up.rho[k] *= std::exp(1e-4), down.rho[k] *= std::exp(-1e-4);
        for (std::size_t i = 0; i < data.size(); ++i) {
            const double fd = (std::log(zel::inv::soundingRhoa(up, data[i].x)) - std::log(zel::inv::soundingRhoa(down, data[i].x))) / 2e-4;
            EXPECT_NEAR(J(Eigen::Index(i), Eigen::Index(k)), fd, 1e-3) << "layer " << k << " datum " << i;
        }
    }

    const auto two = sounding([](const auto& x) { return zeltest::twoLayerRhoa(100, 10, 5, x[0], x[1], x[2], x[3]); }, 0.01);
    const zel::inv::SmoothFit smooth = zel::inv::smoothSounding(two);
    ASSERT_EQ(smooth.earth.rho.size(), std::size_t(zel::inv::kSmoothLayers));
    EXPECT_LE(smooth.chi2, 2);
    // The resistivity at a depth: the layer that holds it.
    auto at = [&](double depth) {
        double top = 0;
        for (std::size_t i = 0; i < smooth.earth.thickness.size(); ++i) {
            if (depth < top + smooth.earth.thickness[i])
                return smooth.earth.rho[i];
            top += smooth.earth.thickness[i];
        }
        return smooth.earth.rho.back();
    };
    EXPECT_NEAR(at(1) / 100, 1, 0.15);
    EXPECT_NEAR(at(20) / 10, 1, 0.3);
}

TEST(SoundingInversion, FoundInTheStationsRecords)
{
    // A Schlumberger sounding as the station stores it: M and N at 64 and
    // 65, A and B moved outward, one channel, 100 mA.
    const zel::inv::LayeredEarth earth{{100, 10}, {5}};
    std::vector<zel::MeasurementRecord> records;
    for (const int k : {1, 2, 3, 5, 7, 10, 15, 20, 30, 45, 60, 80, 100, 120}) {
        zel::MeasurementRecord r;
        r.LineNo = 1, r.FileNo = 1, r.Mode = 10, r.Current = 8;  // 100 mA
        r.ElectrodeA = std::int16_t(64 - k), r.ElectrodeB = std::int16_t(65 + k), r.ElectrodeM = 64, r.ElectrodeN = 65;
        const std::array<double, 4> x{64.0 - k, 65.0 + k, 64, 65};
        const double mv = zel::inv::soundingRhoa(earth, x) / zeltest::geometricFactor(x[0], x[1], x[2], x[3]) * 100;
        r.Range[0] = 4, r.Range[1] = r.Range[2] = r.Range[3] = 7;
        while (std::abs(mv) * std::pow(10.0, r.Range[0]) > 30000)
            --r.Range[0];
        r.U[0] = std::int16_t(std::lround(mv * std::pow(10.0, r.Range[0])));
        records.push_back(r);
    }
    zel::SurveyGeometry geometry;
    geometry.channels = zel::ChannelGeometry::FirstOnly;
    const zel::SoundingInput input = zel::soundingInput(records, geometry, {1, 1}, {});
    EXPECT_DOUBLE_EQ(input.centre, 64.5);
    ASSERT_EQ(input.data.size(), 14u);
    // Two layers found, 100 over 10 ohm·m at 5 m, each within 5 %.
    auto expectTheTwoLayers = [](const std::vector<zel::inv::SoundingDatum>& data) {
        const zel::inv::LayeredFit fit = zel::inv::fitFewestLayers(data);
        ASSERT_EQ(fit.earth.rho.size(), 2u);
        EXPECT_NEAR(fit.earth.rho[0] / 100, 1, 0.05);
        EXPECT_NEAR(fit.earth.thickness[0] / 5, 1, 0.05);
        EXPECT_NEAR(fit.earth.rho[1] / 10, 1, 0.05);
    };
    expectTheTwoLayers(input.data);
    // The simulated station's sounding over the same earth, read as it stores it.
    const zel::sim::SyntheticLine simulated =
        zel::sim::parseSyntheticLine("electrodes 128\nbackground 100\nlayer 5 10\nsounding\n");
    const zel::SoundingInput read = zel::soundingInput(zel::sim::syntheticRecords(simulated), {}, {1, 1}, {});
    const zel::inv::LayeredFit again = zel::inv::fitFewestLayers(read.data);
    ASSERT_EQ(again.earth.rho.size(), 2u);
    EXPECT_NEAR(again.earth.thickness[0] / 5, 1, 0.05);
    EXPECT_NEAR(again.earth.rho[1] / 10, 1, 0.05);
    // The same as Wenner soundings: MN grows with AB, one midpoint.
    const zel::SoundingInput wenner = zel::soundingInput(
        zel::sim::syntheticRecords(zel::sim::parseSyntheticLine("electrodes 128\nbackground 100\nlayer 5 10\nsounding\nwenner\n")),
        {}, {1, 1}, {});
    ASSERT_GE(wenner.data.size(), 10u);
    expectTheTwoLayers(wenner.data);

    // A dipole-dipole line is no sounding, and is refused as one.
    EXPECT_THROW(zel::soundingInput(zel::sim::sectionRecords(32), {}, {1, 1}, {}), zel::SoundingRefused);

    // zeltool sounding writes the curve, the layers with their ranges and the smooth model.
    QTemporaryDir dir;
    const QString file = dir.filePath("ves.zel");
    zel::writeWholeFile(file, zeltest::dump(records));
    const Captured c = run({"sounding", "--channels", "first", file, dir.filePath("ves")});
    ASSERT_EQ(c.status, 0) << c.err.toStdString();
    EXPECT_TRUE(c.out.startsWith("L1 F1: a sounding at x = 64.5 m, 14 data; 2 layers")) << c.out.toStdString();
    const QList<QByteArray> layers = zel::readWholeFile(dir.filePath("ves-layers.csv")).split('\n');
    EXPECT_TRUE(layers[0].startsWith("top_m,bottom_m,rho_ohmm,rho_low_ohmm,rho_high_ohmm"));
    EXPECT_EQ(layers.size(), 4);  // the header, two layers, the end
    EXPECT_EQ(zel::readWholeFile(dir.filePath("ves-curve.csv")).count('\n'), 15);
    EXPECT_EQ(zel::readWholeFile(dir.filePath("ves-smooth.csv")).count('\n'), 1 + zel::inv::kSmoothLayers);
    // A reading of a swapped wire is left out, and said.
    std::vector<zel::MeasurementRecord> swapped = records;
    swapped[5].U[0] = std::int16_t(-swapped[5].U[0]);
    EXPECT_EQ(zel::soundingInput(swapped, geometry, {1, 1}, {}).notPositive, 1);
    zel::writeWholeFile(file, zeltest::dump(swapped));
    const Captured one = run({"sounding", "--channels", "first", file, dir.filePath("ves")});
    EXPECT_TRUE(one.out.contains("13 data;") && one.out.contains("1 readings of rhoa <= 0 left out")) << one.out.toStdString();
    zel::writeWholeFile(dir.filePath("line.zel"), zeltest::dump(zel::sim::sectionRecords(32)));
    const Captured line = run({"sounding", dir.filePath("line.zel"), dir.filePath("no")});
    EXPECT_EQ(line.status, 1);
    EXPECT_TRUE(line.err.contains("A 0 B 1 M 2 N 3")) << line.err.toStdString();
}

TEST(SoundingSheets, RowsRefusedAndEachProfilesSheet)
{
    for (const char* row : {"1 2", "x 2 1", "1 2 2", "1 2 0", "70000 2 1", "1 2 1\n1 3 1", "Centre=abc",
                            "[Line 1 File 1]\n[Line 1 File 1]", "1 200000 1"}) {
        try {
            zel::parseSpacings(QByteArray("# sheet\n") + row, "sheet");
            ADD_FAILURE() << row;
        } catch (const zel::ZelError& e) {
            EXPECT_EQ(e.id(), zel::ErrorId::SpacingsFileLine) << row;
        }
    }
    const zel::SpacingSheets sheets =
        zel::parseSpacings("1 1,5 0,5\r\n2\t2.5\t0.5\n\n[Line 2 File 1]\nCentre=120\n[line 3 file 1]\n1 3 1\n", "sheet");
    EXPECT_EQ(zel::parseSpacings(zel::spacingsText(sheets), "again"), sheets);
    EXPECT_EQ(sheets.of({1, 1}).stations.at(1), (zel::SoundingSpacing{1.5, 0.5}));
    EXPECT_EQ(sheets.of({2, 1}).stations.size(), 2u);  // the common rows, its own centre
    EXPECT_EQ(sheets.of({2, 1}).centre, 120.0);
    EXPECT_EQ(sheets.of({3, 1}).stations.size(), 1u);
}

TEST(SoundingSheets, PlainRecordsGiveTheSameLayers)
{
    // The two-layer case read as plain measurements: AB/2 1.5–120 m at MN
    // 1 and 4 m from the crew's sheet, the image series with 1 % noise.
    zel::SpacingSheets sheets;
    zel::SpacingSheet& sheet = sheets.common;
    int station = 1;
    for (const double mn2 : {0.5, 2.0})
        for (const auto& x : schlumberger(mn2))
            if (mn2 == 0.5 ? x[1] <= 20 : x[1] >= 10)
                sheet.stations[station++] = {x[1], mn2};
    sheet.centre = 250;
    std::mt19937 random(3);
    std::normal_distribution<double> normal;
    std::vector<zel::MeasurementRecord> records;
    for (const auto& [number, s] : sheet.stations) {
        const std::array<double, 4> x{-s.ab2, s.ab2, -s.mn2, s.mn2};
        const double rhoa = zeltest::twoLayerRhoa(100, 10, 5, x[0], x[1], x[2], x[3]) * (1 + 0.01 * normal(random));
        zel::MeasurementRecord r;
        r.LineNo = 1, r.FileNo = 1, r.Station = std::int16_t(number), r.Current = 8;  // 100 mA
        const double mv = rhoa / zeltest::geometricFactor(x[0], x[1], x[2], x[3]) * 100;
        r.Range[0] = 4, r.Range[1] = r.Range[2] = r.Range[3] = 7;
        while (std::abs(mv) * std::pow(10.0, r.Range[0]) > 30000)
            --r.Range[0];
        r.U[0] = std::int16_t(std::lround(mv * std::pow(10.0, r.Range[0])));
        records.push_back(r);
    }
    records.push_back(records[3]);  // a repeat of a station: one datum
    const zel::SoundingInput input = zel::soundingInput(records, {}, {1, 1}, {}, sheets);
    EXPECT_DOUBLE_EQ(input.centre, 250);
    EXPECT_EQ(input.data.size(), sheet.stations.size());
    // Two layers found, 100 over 10 ohm·m at 5 m, each within 5 %.
    auto expectTheTwoLayers = [](const std::vector<zel::inv::SoundingDatum>& data) {
        const zel::inv::LayeredFit fit = zel::inv::fitFewestLayers(data);
        ASSERT_EQ(fit.earth.rho.size(), 2u);
        EXPECT_NEAR(fit.earth.rho[0] / 100, 1, 0.05);
        EXPECT_NEAR(fit.earth.thickness[0] / 5, 1, 0.05);
        EXPECT_NEAR(fit.earth.rho[1] / 10, 1, 0.05);
    };
    expectTheTwoLayers(input.data);

    // Without a sheet, or with a station it lacks, the sounding is refused by name.
    auto refusal = [&](const zel::SpacingSheets& given) {
        try {
            zel::soundingInput(records, {}, {1, 1}, {}, given);
        } catch (const zel::SoundingRefused& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    EXPECT_NE(refusal({}).find("AB/2"), std::string::npos);
    zel::SpacingSheets short_ = sheets;
    short_.common.stations.erase(7);
    EXPECT_NE(refusal(short_).find(" 7"), std::string::npos) << refusal(short_);
}

TEST(SoundingSheets, ManySoundingsAlongALine)
{
    // Three plain soundings 20 m apart, the middle one over a resistive
    // block: zeltool finds them through the sheet beside the memory, a
    // third layer under the middle one alone, and draws their section.
    const zel::sim::SyntheticLine line =
        zel::sim::parseSyntheticLine("electrodes 128\nbackground 100\nlayer 5 10\nblock 60 70 3 12 1000\nsounding 3 20\nplain\n");
    QTemporaryDir dir;
    const QString file = dir.filePath("ves.zel");
    zel::writeWholeFile(file, zeltest::dump(zel::sim::syntheticRecords(line)));
    zel::writeSpacingsBeside(file, zel::sim::syntheticSpacings(line));
    const Captured c = run({"sounding", "--all", file, dir.filePath("out")});
    ASSERT_EQ(c.status, 0) << c.err.toStdString();
    const QList<QByteArray> said = c.out.split('\n');
    ASSERT_GE(said.size(), 3);
    EXPECT_TRUE(said[0].startsWith("L1 F1: a sounding at x = 44.5 m, 23 data; 2 layers")) << c.out.toStdString();
    EXPECT_TRUE(said[1].startsWith("L1 F2: a sounding at x = 64.5 m, 23 data; 3 layers")) << c.out.toStdString();
    EXPECT_TRUE(said[2].startsWith("L1 F3: a sounding at x = 84.5 m, 23 data; 2 layers")) << c.out.toStdString();
    const QList<QByteArray> section = zel::readWholeFile(dir.filePath("out/section.csv")).trimmed().split('\n');
    EXPECT_EQ(section.size(), 1 + 200 * 120);

    // The section through each centre is that sounding's smooth model.
    std::vector<zel::SoundingResult> results;
    for (const int f : {1, 2})
        results.push_back(zel::interpretSounding(zel::soundingInput(zel::sim::syntheticRecords(line), {}, {1, f}, {},
                                                                    zel::sim::syntheticSpacings(line))));
    const zel::SoundingSection two = zel::soundingSection(results, 3, 40);
    ASSERT_EQ(two.x.size(), 3u);
    EXPECT_DOUBLE_EQ(two.x[1], 54.5);
    EXPECT_NEAR(two.at(0, 0), results[0].smooth.earth.rho.front(), 1e-9);
    EXPECT_GT(two.at(15, 2), 3 * two.at(15, 0));  // the block beneath the second
    results[1].input.centre = results[0].input.centre;
    EXPECT_THROW(zel::soundingSection(results), zel::SoundingRefused);

    // A sounding with positions needs no sheet; one of plain records does.
    const Captured noSheet = run({"sounding", "--spacings", dir.filePath("none.txt"), file, dir.filePath("x")});
    EXPECT_EQ(noSheet.status, 1);
}
