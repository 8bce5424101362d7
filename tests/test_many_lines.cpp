// Lines made of many readings: the spreads of a roll-along inverted as one
// line, two readings of one line compared, parallel lines in plan view.
#include "section/AllLines.h"
#include "section/SurveyVolume.h"
#include "section/Input.h"
#include "sim/StationModel.h"

#include "data/ZelError.h"
#include "survey/Lines.h"
#include "inversion/Depth.h"
#include "inversion/Files.h"
#include "inversion/Inversion.h"
#include "inversion/TimeLapse.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

namespace {

// 48 electrodes 1 m apart over 100 ohm·m, a 10 ohm·m block at 12–18 m and a
// 1,000 ohm·m one at 30–36 m, 1.5–4.5 m deep; measured as one spread or
// as spreads of 24 moved 12 along.
zel::sim::SyntheticLine testLine(int spread)
{
    zel::sim::SyntheticLine line;
    line.electrodes = 48;
    line.blocks = {{12, 18, 1.5, 4.5, 10}, {30, 36, 1.5, 4.5, 1000}};
    line.aMax = 2;
    line.nMax = 6;
    if (spread > 0) {
        line.spreadElectrodes = spread;
        line.spreadStep = spread / 2;
    }
    return line;
}

zel::SurveyGeometry geometryOf(const zel::sim::SyntheticLine& line)
{
    zel::SurveyGeometry g;
    g.lines = zel::sim::syntheticGeometry(line);
    return g;
}

zel::inv::InversionResult invertInput(const zel::SectionInput& input)
{
    zel::inv::InversionOptions o;
    o.threads = 2;
    return zel::inv::invert(input.data, o);
}

// Three parallel lines `gap` m apart of `electrodes` 1 m apart, dipole-dipole
// a = 1, n = 1 … nMax, over 100 ohm·m with a 10 ohm·m block (from, to, top,
// bottom) under the first two: the reading and the lines' geometry.
auto parallelLines(int electrodes, int nMax, double gap, std::array<double, 4> block)
{
    std::vector<zel::sim::SyntheticLine> lines;
    for (int n = 1; n <= 3; ++n) {
        zel::sim::SyntheticLine& line = lines.emplace_back();
        line.electrodes = electrodes;
        line.aMax = 1;
        line.nMax = nMax;
        line.line = n;
        line.y = gap * (n - 1);
        line.blocks = {{block[0], block[1], block[2], block[3], n < 3 ? 10.0 : 100.0}};
    }
    return zel::sim::syntheticSurvey(lines);
}

double medianOf(std::vector<double> v)
{
    std::nth_element(v.begin(), v.begin() + std::ptrdiff_t(v.size() / 2), v.end());
    return v[v.size() / 2];
}

} // namespace

TEST(ManyLines, SpreadsOfARollAlongInvertAsTheWholeLine)
{
    const zel::sim::SyntheticLine rolled = testLine(24), whole = testLine(0);
    const std::vector<zel::MeasurementRecord> spreads = zel::sim::syntheticRecords(rolled);
    ASSERT_EQ(zel::sim::syntheticSpreads(rolled).size(), 3u);
    const zel::Profile line{1, zel::Profile::kWholeLine};
    const zel::SectionInput merged = zel::profileInput(spreads, geometryOf(rolled), line, {});
    const zel::SectionInput one = zel::profileInput(zel::sim::syntheticRecords(whole), geometryOf(whole), {1, 1}, {});

    // The electrodes by position: 48 places, though each file numbers its
    // spread from 0; the quadripoles of the overlaps once, each.
    EXPECT_EQ(zel::inv::electrodesOf(merged.data).size(), 48u);
    std::size_t values = 0;
    for (const zel::Profile p : {zel::Profile{1, 1}, zel::Profile{1, 2}, zel::Profile{1, 3}})
        values += zel::profileInput(spreads, geometryOf(rolled), p, {}).data.size();
    EXPECT_LT(merged.data.size(), values);
    EXPECT_LE(merged.data.size(), one.data.size());
    EXPECT_GT(merged.data.size(), one.data.size() * 8 / 10);

    // A quadripole of two spreads read 10 % apart: its error is their spread.
    std::vector<zel::MeasurementRecord> apart = spreads;
    const auto twice = std::find_if(apart.begin(), apart.end(), [](const zel::MeasurementRecord& r) {
        return r.FileNo == 2 && std::max<int>({r.ElectrodeA, r.ElectrodeB, r.ElectrodeN}) < 12;
    });
    ASSERT_NE(twice, apart.end());
    twice->U[0] = std::int16_t(std::lround(twice->U[0] * 1.1));
    const zel::SectionInput noisy = zel::profileInput(apart, geometryOf(rolled), line, {});
    const auto datum = std::find_if(noisy.data.begin(), noisy.data.end(), [&](const zel::inv::Measurement& m) {
        return m.x == std::array<double, 4>{twice->ElectrodeA + 12.0, twice->ElectrodeB + 12.0, twice->ElectrodeM + 12.0,
                                            twice->ElectrodeN + 12.0};
    });
    ASSERT_NE(datum, noisy.data.end());
    EXPECT_NEAR(datum->error, 0.1 / std::sqrt(2) / 1.05, 0.004);  // the standard deviation of r and 1.1 r over their mean

    const zel::inv::InversionResult a = invertInput(merged), b = invertInput(one);
    ASSERT_EQ(a.mesh.parameterCount(), b.mesh.parameterCount());
    std::vector<double> differences;
    double conductive = 1e9, resistive = 0;
    for (int p = 0; p < a.mesh.parameterCount(); ++p) {
        const zel::inv::Point c = a.mesh.cellCentre(a.mesh.cellOfParameter[std::size_t(p)]);
        if (c.z < -6)
            continue;
        differences.push_back(std::abs(std::log10(a.resistivity[std::size_t(p)] / b.resistivity[std::size_t(p)])));
        if (c.z < -2 && c.z > -4 && c.x > 13 && c.x < 17)
            conductive = std::min(conductive, a.resistivity[std::size_t(p)]);
        if (c.z < -2 && c.z > -4 && c.x > 31 && c.x < 35)
            resistive = std::max(resistive, a.resistivity[std::size_t(p)]);
    }
    EXPECT_LT(medianOf(differences), 0.03);  // 7 % in the median
    EXPECT_LT(conductive, 40);
    EXPECT_GT(resistive, 250);
}

TEST(ManyLines, ASpreadAtAnotherSpacingIsRefusedByName)
{
    const zel::sim::SyntheticLine rolled = testLine(24);
    zel::SurveyGeometry g = geometryOf(rolled);
    g.lines[{1, 2}].spacing = 2;
    try {
        zel::profileInput(zel::sim::syntheticRecords(rolled), g, {1, zel::Profile::kWholeLine}, {});
        FAIL() << "a spread at 2 m taken into a line at 1 m";
    } catch (const zel::ZelError& e) {
        EXPECT_EQ(e.id(), zel::ErrorId::WholeLineSpacing);
        EXPECT_EQ(e.args(), (QStringList{"1", "2", "2", "1", "1"}));
    }
    // Each file alone is still a line of its own.
    EXPECT_FALSE(zel::profileInput(zel::sim::syntheticRecords(rolled), g, {1, 2}, {}).data.empty());
}

// A block of 100 ohm·m at 20–28 m, 1–4 m deep, that has become 50 ohm·m
// by the second reading: the difference inversion finds −50 % there and
// nothing elsewhere the data see, beside it by more than its depth.
TEST(ManyLines, TimeLapseFindsTheBlockThatChanged)
{
    auto reading = [](double blockRho) {
        zel::sim::SyntheticLine line = testLine(0);
        line.blocks = {{20, 28, 1, 4, blockRho}};
        return zel::profileInput(zel::sim::syntheticRecords(line), {}, {1, 1}, {}).data;
    };
    zel::inv::InversionOptions o;
    o.threads = 2;
    const zel::inv::TimeLapseResult r = zel::inv::invertTimeLapse(reading(100), reading(50), o);
    ASSERT_EQ(r.change.size(), r.base.resistivity.size());
    EXPECT_LT(*std::min_element(r.apparentChange.begin(), r.apparentChange.end()), -10);
    EXPECT_LE(r.later.kept().chi2, 1.5);

    const zel::inv::Mesh& mesh = r.later.mesh;
    const auto seen = zel::inv::sensitivityDepths(mesh, zel::inv::relativeSensitivity(r.later), zel::inv::kSensitivityThreshold);
    double inBlock = 0, elsewhere = 0;
    for (int p = 0; p < mesh.parameterCount(); ++p) {
        const int cell = mesh.cellOfParameter[std::size_t(p)];
        const zel::inv::Point c = mesh.cellCentre(cell);
        const double change = r.change[std::size_t(p)];
        if (c.x > 21 && c.x < 27 && c.z < -1.5 && c.z > -3.5)
            inBlock = std::min(inBlock, change);
        // Beside the block by less than its depth, the smoothing spreads it.
        const bool near = c.x > 16 && c.x < 32 && c.z > -6.5;
        const auto column = std::min_element(seen.begin(), seen.end(), [&](const auto& a, const auto& b) {
            return std::abs(a.x - c.x) < std::abs(b.x - c.x);
        });
        if (!near && -c.z < column->depth)
            elsewhere = std::max(elsewhere, std::abs(change));
    }
    EXPECT_NEAR(inBlock, -50, 15);
    EXPECT_LT(elsewhere, 5);
}

// Three parallel lines 10 m apart, a 10 ohm·m body under the first two:
// each line is inverted, the plan view at the body's depth shows it under
// them and between them, half as much towards the third, and none beside
// it; the sections go to one 3D file; the lines file keeps each line's Y.
TEST(ManyLines, ParallelLinesGiveAPlanView)
{
    const auto [records, placed] = parallelLines(32, 6, 10, {12, 20, 1, 4});
    const zel::LineGeometries reread = zel::parseLinesFile(zel::linesFileText(placed), "lines");
    EXPECT_EQ(reread.at({3, 1}).y, 20.0);
    zel::SurveyGeometry g;
    g.lines = reread;
    zel::InversionChoice choice;
    choice.maxIterations = 4;
    const zel::LinesRun run = zel::invertLines(records, g, {}, choice, 2);
    ASSERT_EQ(run.lines.size(), 3u);
    EXPECT_TRUE(run.skipped.empty());
    EXPECT_TRUE(zel::linesApart(run.lines));

    const zel::PlanView view = zel::planView(run.lines, 2.5, 33, 21);  // every metre along, every metre across
    ASSERT_EQ(view.rho.size(), 33u * 21u);
    EXPECT_LT(view.at(5, 16), 30);    // between the first two lines, over the body
    EXPECT_GT(view.at(5, 4), 70);     // beside it
    const double towardsTheThird = view.at(15, 16);
    EXPECT_GT(towardsTheThird, view.at(5, 16));
    EXPECT_LT(towardsTheThird, view.at(20, 16));
    EXPECT_EQ(view.lines.size(), 3u);

    std::vector<std::pair<const zel::inv::InversionResult*, double>> sections;
    for (const zel::LineSection& l : run.lines)
        sections.emplace_back(&l.result, l.y);
    EXPECT_EQ(zel::inv::linesVtu(sections).count("<Piece "), 3);
}

TEST(ManyLines, ParallelLinesAsOneVolume)
{
    const auto [records, placed] = parallelLines(24, 4, 4, {8, 14, 1, 3});
    zel::SurveyGeometry g;
    g.lines = placed;
    zel::InversionChoice choice;
    choice.maxIterations = 3;
    const zel::SurveyInput input = zel::surveyInput(records, g, {}, choice);
    ASSERT_EQ(input.lines.size(), 3u);
    zel::inv::VolumeInversionOptions options = zel::volumeOptions(choice, 2);
    const zel::inv::VolumeResult result = zel::inv::invertVolume(input.data, options);
    EXPECT_LT(result.kept().chi2, result.iterations.front().chi2 / 10);
    // Under the first line the block is lower than beside it.
    const zel::inv::InversionResult section = zel::sectionUnder(result, input.lines.front());
    EXPECT_EQ(section.data.size() * 3, input.data.size());
    EXPECT_LT(zel::resistivityAtDepth(section, 11, 2), 0.5 * zel::resistivityAtDepth(section, 20, 2));
    const auto files = zel::inv::volumeFiles(result, "survey");
    ASSERT_EQ(files.size(), 4);
    EXPECT_TRUE(files[1].second.contains("x_m,y_m,z_m,depth_m,rho_ohmm,coverage\r\n"));
    EXPECT_EQ(files[0].second.count("\n12\n"), result.volume.parameterCount());  // a hexahedron each
    EXPECT_EQ(files[2].second.count("\r\n"), qsizetype(input.data.size()) + (result.misfits() ? 2 : 1));  // the verdict, the header

    // The window (every core but one) and zeltool (every core) make one model.
    zel::inv::VolumeInversionOptions alone = options;
    alone.threads = 1;
    const zel::inv::VolumeResult one = zel::inv::invertVolume(input.data, alone);
    ASSERT_EQ(one.resistivity.size(), result.resistivity.size());
    for (std::size_t p = 0; p < one.resistivity.size(); ++p)
        ASSERT_NEAR(one.resistivity[p] / result.resistivity[p], 1, 1e-9) << p;
    // The DOI index: 0 to 1, higher at the volume's bottom than at its top.
    const std::vector<double> doi = zel::inv::volumeDoiIndex(result, options);
    ASSERT_EQ(doi.size(), result.resistivity.size());
    const zel::inv::Volume& v = result.volume;
    double top = 0, bottom = 0;
    for (int i = 0; i < v.parameterColumns(); ++i)
        for (int j = 0; j < v.parameterRows(); ++j) {
            top += doi[std::size_t(v.parameter(i, j, 0))];
            bottom += doi[std::size_t(v.parameter(i, j, v.layers - 1))];
        }
    EXPECT_GT(bottom, 2 * top);
    EXPECT_LE(*std::max_element(doi.begin(), doi.end()), 1.0);

    options.memory = 1'000'000;
    try {
        zel::inv::invertVolume(input.data, options);
        ADD_FAILURE() << "a survey beyond the memory was inverted";
    } catch (const zel::inv::MemoryRefused& e) {
        EXPECT_EQ(e.subject(), "this survey");
        EXPECT_GT(e.needed(), e.available());
    }

    // Lines that make no volume, refused by name.
    const struct {
        const char* what;
        std::function<void(zel::LineGeometries&)> change;
        const char* said;
    } refusals[] = {
        {"one Y", [](zel::LineGeometries& l) { for (auto& [p, geometry] : l) geometry.y.reset(); }, "Y (0 "},
        {"crossing", [](zel::LineGeometries& l) { l.at({2, 1}).y = 0; }, "L1 F1"},
        {"not a number", [](zel::LineGeometries& l) { l.at({2, 1}).y = std::nan(""); }, "L2 F1"},
    };
    for (const auto& r : refusals) {
        zel::SurveyGeometry bad = g;
        r.change(bad.lines);
        try {
            zel::surveyInput(records, bad, {}, choice);
            ADD_FAILURE() << r.what;
        } catch (const zel::SurveyRefused& e) {
            EXPECT_TRUE(e.why().contains(QString::fromUtf8(r.said))) << r.what << ": " << e.why().toStdString();
        }
    }
}
