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
#include "inversion/TimeLapse.h"
#include "survey/Exports.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>

#include <algorithm>

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
        const char* said;
    };
    const std::vector<Case> cases{
        {{"--base-file", "1", missing, dir.filePath("out")}, 2, "--base-file goes with --base"},
        {{"--base", missing, "--base-file", "-1", missing, dir.filePath("out")}, 2, "a file number from 0"},
        {{"--lambda", "abc", missing, dir.filePath("out")}, 2, "--lambda abc"},
        {{missing, dir.filePath("d") + "/"}, 2, "names no file"},
        {{missing, ""}, 2, "names no file"},
        {{missing, dir.filePath("no/such/folder/out")}, 1, "no/such/folder"},
        {{"--all", "--line", "1", missing, dir.filePath("all")}, 2, "do not go with it"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const Captured r = run(QStringList{"invert"} + c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_TRUE(r.err.contains(c.said)) << r.err.toStdString();
        EXPECT_FALSE(r.out.contains("Iteration"));
    }
}
