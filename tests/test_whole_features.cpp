// Features one step beside their tested path: the plan of all lines with a
// line that does not fit or shares another's Y, time-lapse of readings that
// are not one placing of the line, a depth of investigation stopped, a set
// of result files stopped or written twice at once, and zeltool invert's
// refusals before anything is inverted.
#include "Capture.h"

#include "section/AllLines.h"
#include "section/Input.h"
#include "section/Recipe.h"
#include "sim/StationModel.h"

#include "data/ZelError.h"
#include "inversion/Depth.h"
#include "inversion/Ground.h"
#include "inversion/TimeLapse.h"
#include "survey/ErrorModel.h"
#include "survey/Exports.h"
#include "inversion/Files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>

namespace {

// A short dipole-dipole line over 100 ohm·m with a 10 ohm·m block.
zel::sim::SyntheticLine shortLine(int line = 1, double y = 0)
{
    zel::sim::SyntheticLine l;
    l.electrodes = 24;
    l.aMax = 1;
    l.nMax = 5;
    l.line = line;
    l.y = y;
    l.blocks = {{8, 14, 1, 3, 10}};
    return l;
}

zel::SectionInput inputOf(const zel::sim::SyntheticLine& line)
{
    zel::SurveyGeometry g;
    g.lines = zel::sim::syntheticGeometry(line);
    return zel::profileInput(zel::sim::syntheticRecords(line), g, {line.line, 1}, {});
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

} // namespace

// Three lines: the second at the first's Y, the third's fit made to fail.
// Neither is drawn into the plan as if it fitted; both are said, and drawn
// as traces; a depth below what the data see is said, not drawn empty.
TEST(WholeFeatures, PlanLeavesOutWhatDoesNotFitOrSharesAY)
{
    std::vector<zel::sim::SyntheticLine> lines{shortLine(1, 0), shortLine(2, 0), shortLine(3, 10)};
    const auto [records, placed] = zel::sim::syntheticSurvey(lines);
    zel::SurveyGeometry g;
    g.lines = placed;
    zel::InversionChoice choice;
    choice.maxIterations = 3;
    zel::LinesRun run = zel::invertLines(records, g, {}, choice, 2);
    ASSERT_EQ(run.lines.size(), 3u);
    for (zel::inv::IterationReport& r : run.lines[2].result.iterations)
        r.chi2 = 70;  // a line whose model does not explain its data
    ASSERT_FALSE(run.lines[2].fits());

    const zel::PlanView view = zel::planView(run.lines, 1.5);
    ASSERT_EQ(view.leftOut.size(), 2u);
    EXPECT_EQ(view.leftOut[0].first, run.lines[2].what);
    EXPECT_EQ(view.leftOut[1].first, run.lines[1].what);
    EXPECT_EQ(std::count_if(view.lines.begin(), view.lines.end(), [](const auto& l) { return l.leftOut; }), 2);
    EXPECT_FALSE(view.belowSensitivity);
    EXPECT_TRUE(zel::planView(run.lines, 500).belowSensitivity);
    // The depths of the plans come from the lines that fit.
    EXPECT_FALSE(zel::sliceDepths(run.lines).empty());
}

// Two readings of a line that are not one placing of it are refused with
// the reason, never shown as a change of the ground.
TEST(WholeFeatures, TimeLapseRefusesReadingsOfAnotherPlacing)
{
    zel::inv::InversionOptions o;
    o.threads = 2;
    o.maxIterations = 2;
    const zel::SectionInput base = inputOf(shortLine());
    struct Case {
        const char* what;
        std::vector<zel::inv::Measurement> later;
        const char* said;
    };
    std::vector<zel::inv::Measurement> negative = base.data, apart = base.data, wider = base.data,
                                       few(base.data.begin(), base.data.begin() + 3),
                                       part(base.data.begin(), base.data.begin() + std::ptrdiff_t(base.data.size() / 3));
    for (auto& m : negative)
        m.rhoa = -m.rhoa;
    for (auto& m : apart)
        for (double& x : m.x)
            x += 100;
    for (auto& m : wider)
        for (double& x : m.x)
            x *= 2;
    const std::vector<Case> cases{
        {"every value at most 0", negative, "no value to take"},
        {"another spacing", wider, "other spacings"},
        {"another place", apart, "fewer than 4 quadripoles in common (0; "},
        {"three in common", few, "fewer than 4 quadripoles in common (3; "},
        {"a third in common", part, "placed otherwise"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            zel::inv::invertTimeLapse(base.data, c.later, o);
            ADD_FAILURE() << "not refused";
        } catch (const zel::inv::InversionRefused& e) {
            EXPECT_NE(std::string(e.what()).find(c.said), std::string::npos) << e.what();
        }
    }
    // The same electrode numbers at other places: another X0.
    zel::SectionInput moved = base;
    for (auto& m : moved.data)
        for (double& x : m.x)
            x += 3;
    EXPECT_TRUE(zel::placingDiffers(base, base).isEmpty());
    EXPECT_FALSE(zel::placingDiffers(base, moved).isEmpty());
    // A pair of one placing compares, saying what it could not match.
    const zel::inv::TimeLapseResult same = zel::inv::invertTimeLapse(base.data, base.data, o);
    EXPECT_EQ(same.unmatchedBase + same.unmatchedLater, 0u);
    EXPECT_EQ(same.later.data.size(), base.data.size());
}

// Stopped during the depth of investigation, the finished section stands
// and says its index is missing.
TEST(WholeFeatures, DepthOfInvestigationStoppedKeepsTheSection)
{
    const zel::SectionInput input = inputOf(shortLine());
    zel::inv::InversionOptions o;
    o.threads = 2;
    o.maxIterations = 2;
    std::atomic<bool> cancel{false};
    const zel::SectionRun made = zel::invertSection(input.data, o, true, {}, [&](const zel::inv::DoiRun&) { cancel = true; }, &cancel);
    EXPECT_FALSE(made.result.cancelled);
    EXPECT_FALSE(made.result.iterations.empty());
    EXPECT_TRUE(made.result.doi.empty());
    EXPECT_FALSE(made.doiMissing.isEmpty());
}

// A set of files is put in place whole or not at all: stopped, nothing and
// no temporary file is left; another run writing there is waited for, then
// refused.
TEST(WholeFeatures, ResultFilesAreOneSet)
{
    QTemporaryDir dir;
    const QList<std::pair<QString, QByteArray>> files{{dir.filePath("a-model.csv"), "1"}, {dir.filePath("a.vtu"), "2"}};
    std::atomic<bool> stop{true};
    EXPECT_THROW(zel::writeExportFiles(files, &stop), zel::ExportStopped);
    EXPECT_TRUE(filesIn(dir.path()).isEmpty()) << filesIn(dir.path()).join(' ').toStdString();
    {
        QLockFile other(files[0].first + ".lock");
        ASSERT_TRUE(other.lock());
        EXPECT_THROW(zel::writeExportFiles(files), zel::ZelError);
    }
    EXPECT_EQ(zel::writeExportFiles(files).size(), 2);
    EXPECT_EQ(filesIn(dir.path()), (QStringList{"a-model.csv", "a.vtu"}));
}

// zeltool invert refuses a wrong call before it loads or inverts anything:
// a wrong call exits with 2, a folder it cannot write with 1.
TEST(WholeFeatures, InvertRefusesWrongCallsFirst)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("none.zel");
    struct Case {
        QStringList args;
        int status;
        QString said;
    };
    const std::vector<Case> cases{
        {{"--base-file", "1", missing, dir.filePath("out")}, 2, "--base-file goes with --base"},
        {{"--base", missing, "--base-file", "-1", missing, dir.filePath("out")}, 2, "a file number from 0"},
        {{"--lambda", "abc", missing, dir.filePath("out")}, 2, "--lambda abc"},
        {{missing, dir.filePath("d") + "/"}, 2, "names no file"},
        {{missing, ""}, 2, "names no file"},
        {{missing, dir.filePath("no/such/folder/out")}, 1, QDir::toNativeSeparators("no/such/folder")},
        {{"--all", "--line", "1", missing, dir.filePath("all")}, 2, "do not go with it"},
        {{"--width", "800", missing, dir.filePath("out")}, 2, "--width sizes the sheet: it goes with --sheet"},
        {{"--sheet", "--dpi", "1200", "--width", "800", "--height", "600", missing, dir.filePath("out")}, 2,
         "at 1200 dots per inch the sheet needs at least"},
        {{"--sheet", "--dpi", "2", missing, dir.filePath("out")}, 2, "a resolution from 50 to 1200"},
        {{"--sheet", "--base", missing, missing, dir.filePath("out")}, 2, "does not go with --base"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const Captured r = run(QStringList{"invert"} + c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_TRUE(QString::fromUtf8(r.err).contains(c.said)) << r.err.toStdString();
        EXPECT_FALSE(r.out.contains("Iteration"));
    }
}

// Spreads of a whole line are placed each by its own X0: one without, two
// at one X0, or one a centimetre off the spacing are refused by name; two
// swapped are told by their readings, which disagree, rather than hidden in
// errors widened to fit.
TEST(WholeFeatures, SpreadsNeverPlacedAreRefusedNotStacked)
{
    zel::sim::SyntheticLine rolled = shortLine();
    rolled.electrodes = 48;
    rolled.spreadElectrodes = 24;
    rolled.spreadStep = 12;
    const std::vector<zel::MeasurementRecord> records = zel::sim::syntheticRecords(rolled);
    const zel::LineGeometries placed = zel::sim::syntheticGeometry(rolled);
    const zel::Profile whole{1, zel::Profile::kWholeLine};
    struct Case {
        const char* what;
        std::function<void(zel::LineGeometries&)> edit;
        zel::ErrorId refused;
    };
    const std::vector<Case> cases{
        {"no X0 of its own", [](zel::LineGeometries& g) { g[{1, 2}].x0.reset(); }, zel::ErrorId::WholeLineNotPlaced},
        {"no lines file", [](zel::LineGeometries& g) { g.clear(); }, zel::ErrorId::WholeLineNotPlaced},
        {"two at one X0", [](zel::LineGeometries& g) { g[{1, 3}].x0 = g[{1, 2}].x0; }, zel::ErrorId::WholeLineOnePlace},
        {"a centimetre off", [](zel::LineGeometries& g) { *g[{1, 3}].x0 += 0.01; }, zel::ErrorId::ElectrodesTogether},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        zel::SurveyGeometry g;
        g.lines = placed;
        c.edit(g.lines);
        try {
            zel::profileInput(records, g, whole, {});
            ADD_FAILURE() << "taken";
        } catch (const zel::ZelError& e) {
            EXPECT_EQ(e.id(), c.refused);
        }
    }
    zel::SurveyGeometry g;
    g.lines = placed;
    EXPECT_EQ(zel::profileInput(records, g, whole, {}).disagreeing, 0);
    std::swap(g.lines[{1, 2}].x0, g.lines[{1, 3}].x0);
    EXPECT_GT(zel::profileInput(records, g, whole, {}).disagreeing, 0);
}

// A quadripole read at two frequencies is two readings: no repeat, no
// error pair, one frequency inverted (the lowest, or the one chosen).
TEST(WholeFeatures, TwoFrequenciesAreTwoReadings)
{
    std::vector<zel::MeasurementRecord> records = zel::sim::syntheticRecords(shortLine());
    const std::size_t once = records.size();
    for (std::size_t n = 0; n < once; ++n) {
        zel::MeasurementRecord high = records[n];
        high.FreqIndex = 4;  // 9.76 Hz, 10 % lower: a frequency effect, no error
        for (auto& u : high.U)
            u = std::int16_t(std::lround(u * 0.9));
        records.push_back(high);
        records[n].FreqIndex = 1;  // 1.22 Hz
    }
    const zel::SurveyGeometry g;
    const auto values = zel::surveyValues(records, g);
    const auto checks = zel::checkValues(records, values, g.thresholds);
    EXPECT_TRUE(std::none_of(checks.begin(), checks.end(), [](const zel::ValueCheck& c) { return c.errorPercent.has_value(); }));
    EXPECT_TRUE(zel::errorPairs(records, values, {1, 1}).empty());
    const auto summaries = zel::summarizeChecks(records, values, checks);
    ASSERT_EQ(summaries.size(), 2u);
    EXPECT_EQ(summaries[0].frequencyIndex, 1);
    EXPECT_TRUE(summaries[1].ofSeveralFrequencies);

    const zel::SectionInput low = zel::profileInput(records, g, {1, 1}, {});
    EXPECT_EQ(low.frequencies, (std::vector<double>{1.22, 9.76}));
    EXPECT_DOUBLE_EQ(low.frequency, 1.22);
    zel::ExportChoice chosen;
    chosen.frequency = 4;
    const zel::SectionInput high = zel::profileInput(records, g, {1, 1}, chosen);
    ASSERT_EQ(low.data.size(), high.data.size());
    EXPECT_NEAR(high.data[5].rhoa / low.data[5].rhoa, 0.9, 0.01);
    EXPECT_NEAR(low.data[5].error, 0.03, 1e-9);  // the default error: no repeat made one up
}

// What one command writes the other reads: a datum whose readings spread
// beyond 100 % goes into the .ohm file at an error of 1, not above.
TEST(WholeFeatures, ExportedOhmIsReadBack)
{
    std::vector<zel::InversionDatum> data = zel::asData(zel::surveyValues(zel::sim::syntheticRecords(shortLine()), {}));
    std::erase_if(data, [](const zel::InversionDatum& d) { return !d.value.electrodes || !d.value.k; });
    ASSERT_GT(data.size(), 10u);
    data[0].errorPercent = 150;
    const zel::SectionInput back = zel::ohmInput(zel::ohmFile(data, 3, 2), "back.ohm", {}, std::nullopt);
    ASSERT_EQ(back.data.size(), data.size());
    EXPECT_DOUBLE_EQ(back.data[0].error, 1.0);
}

// Electrodes of an .ohm file a millimetre and a half apart are one place,
// refused, not meshed a hundredfold finer.
TEST(WholeFeatures, OhmElectrodesCloserThanATenthOfTheSpacingAreRefused)
{
    QByteArray ohm = "5\n# x z\n0 0\n1 0\n2 0\n2.0015 0\n4 0\n1\n# a b m n rhoa\n1 2 3 5 100\n";
    EXPECT_THROW(zel::ohmInput(ohm, "near.ohm", {}, std::nullopt), zel::inv::FileRefused);
    ohm.replace("2.0015", "3");
    EXPECT_NO_THROW(zel::ohmInput(ohm, "spaced.ohm", {}, std::nullopt));
}

// A model file is taken as written or refused with the line and the reason:
// nothing in it is clamped, swapped or assumed in silence.
TEST(WholeFeatures, ModelFilesAreTakenAsWrittenOrRefused)
{
    const struct {
        const char* text;
        const char* said;  // empty: taken
    } cases[] = {
        {"block 50 40 10 6 10\n", "x from before x to"},
        {"block 40 50 6 10 10\n", ""},
        {"# nothing but a comment\n", "no model"},
        {"", "no model"},
        {"spacing 1e-9\n", "0.01 m at least"},
        {"background -5\n", "-5 ohm·m: it must be above 0"},
        {"electrodes 2000\n", "from 4 to 1024"},
        {"table 1.5 3\n", "a whole number"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            zel::inv::parseGround(c.text);
            EXPECT_STREQ(c.said, "");
        } catch (const zel::inv::FileRefused& e) {
            EXPECT_NE(std::string(e.what()).find(c.said), std::string::npos) << e.what();
            EXPECT_NE(*c.said, '\0') << e.what();
        }
    }
    // The simulator: a long line as spreads, each within the station's 128
    // electrodes; without spreads a line beyond them is refused, not cut.
    const zel::sim::SyntheticLine long_ = zel::sim::parseSyntheticLine("electrodes 504\nspreads 48 24\n");
    EXPECT_EQ(long_.electrodes, 504);
    EXPECT_EQ(zel::sim::syntheticSpreads(long_).size(), 20u);
    EXPECT_THROW(zel::sim::parseSyntheticLine("electrodes 200\n"), std::runtime_error);
}

// Slope distances: a piece of ground rising more than the tape laid on it
// is refused alike whether the topography is given by x or by electrode.
TEST(WholeFeatures, ASlopeSteeperThanItsTapeIsRefusedEitherWay)
{
    const zel::sim::SyntheticLine line = shortLine();
    const std::vector<zel::MeasurementRecord> records = zel::sim::syntheticRecords(line);
    for (const char* topography : {"x z\n0 0\n0.5 5\n23 5\n", "electrode z\n0 0\n1 5\n23 5\n"}) {
        SCOPED_TRACE(topography);
        zel::SurveyGeometry g;
        g.lines[{1, 1}].slopeDistances = true;
        g.lines[{1, 1}].topography = zel::parseTopography(topography, "t.txt");
        try {
            zel::profileInput(records, g, {1, 1}, {});
            ADD_FAILURE() << "taken";
        } catch (const zel::ZelError& e) {
            EXPECT_EQ(e.id(), zel::ErrorId::SlopeSteeperThanTape);
        }
    }
}

// Every message names the file it is about, and counts its lines as an
// editor does.
TEST(WholeFeatures, MessagesNameTheirFile)
{
    QTemporaryDir dir;
    auto write = [&](const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return dir.filePath(name);
    };
    const QString truncated = write("cut.zel", QByteArray("\x00\x00\x00\x40", 4) + QByteArray(10, 'x'));
    const QString ohm = write("data.txt", "3\n# x z\n0 0\n1 0\n2 0\n0\n");
    const QString table = write("table.txt", "0 1 2 3\nx 1 2 3\n");
    const QString model = write("model.csv", "x_m,z_m,rho_ohmm\r\n0.5,-0.5,100\r\n1.5,-0.5,-3\r\n");
    struct Case {
        QStringList args;
        QString said;
    };
    const std::vector<Case> cases{
        {{"view", truncated}, QDir::toNativeSeparators(truncated) + ": "},
        {{"invert", ohm, dir.filePath("out")}, "name it FILE.ohm"},
        {{"forward", write("m.txt", "background 100\n"), table, dir.filePath("f.ohm")}, QDir::toNativeSeparators(table) + ": "},
        {{"forward", model, write("t.txt", "0 1 2 3\n"), dir.filePath("g.ohm")}, ", line 3: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const Captured r = run(c.args);
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(QString::fromUtf8(r.err).contains(c.said)) << r.err.toStdString();
    }
}

// The depth of investigation of a half-space lies within the section, not
// on its bottom: the two runs reach deeper than the section, where their
// index rises towards 1; an index is never below 0.
TEST(WholeFeatures, DepthOfInvestigationLiesWithinTheSection)
{
    zel::sim::SyntheticLine flat = shortLine();
    flat.electrodes = 48;
    flat.aMax = 3;
    flat.nMax = 8;
    flat.blocks.clear();
    const zel::SectionInput input = inputOf(flat);
    zel::inv::InversionOptions o;
    o.threads = 2;
    o.maxIterations = 4;
    const zel::inv::InversionResult r = zel::inv::invert(input.data, o);
    const std::vector<double> index = zel::inv::doiIndex(r, o);
    ASSERT_EQ(index.size(), r.resistivity.size());
    EXPECT_GE(*std::min_element(index.begin(), index.end()), 0.0);
    const auto depths = zel::inv::doiDepths(r.mesh, index, zel::inv::kDoiThreshold);
    double bottom = 0;
    for (const int c : r.mesh.cellOfParameter)
        bottom = std::max(bottom, -r.mesh.cellCentre(c).z);
    const auto within = std::count_if(depths.begin(), depths.end(), [&](const auto& d) { return d.depth < 0.9 * bottom; });
    EXPECT_GT(within, std::ptrdiff_t(depths.size() / 2)) << "of " << depths.size() << " columns";
}

// A grid of the model too fine for the memory is refused with its size and
// the spacing that fits, and a stop asked ends it.
TEST(WholeFeatures, AGridTooLargeIsRefusedWithItsSize)
{
    zel::inv::InversionOptions o;
    o.threads = 2;
    o.maxIterations = 1;
    const zel::inv::InversionResult r = zel::inv::invert(inputOf(shortLine()).data, o);
    try {
        zel::inv::modelGridCsv(r, 0.001);
        ADD_FAILURE() << "a grid of millions of points written";
    } catch (const zel::inv::InversionRefused& e) {
        EXPECT_NE(std::string(e.what()).find("at least fits"), std::string::npos) << e.what();
    }
    const std::atomic<bool> stop{true};
    EXPECT_THROW(zel::inv::modelGridCsv(r, 0.5, &stop), zel::inv::InversionStopped);
    EXPECT_FALSE(zel::inv::modelGridCsv(r, 0.5).isEmpty());
}
