// Survey → Invert...: the inversion on its worker thread, the section window
// and the geometry of each profile kept with the reading.
#include "FakeDialogs.h"
#include "TestDumps.h"
#include "WindowInDir.h"

#include "app/CompareWindow.h"
#include "app/DataCheckWindow.h"
#include "app/DecimalSpinBox.h"
#include "app/ElidedLabel.h"
#include "app/LinesWindow.h"
#include "app/SectionWindow.h"
#include "app/CommandHost.h"
#include "app/SurveyCommands.h"
#include "app/ZelMain.h"
#include "data/DataFile.h"
#include "document/Document.h"
#include "plots/Plots.h"
#include "sim/StationModel.h"
#include "inversion/Chargeability.h"
#include "survey/Checks.h"
#include "survey/Lines.h"
#include "survey/Values.h"
#include "texts/Texts.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <qcustomplot.h>

#include <gtest/gtest.h>

namespace {

// The line of the window's inversion: 64 electrodes, or 40 where the
// sanitizers make every step many times slower.
#if defined(ZEL_SANITIZED)
constexpr int kLine = 40;
#else
constexpr int kLine = 64;
#endif
// Along the line, in its electrode spacings: the block and a place beside it.
// (whole electrodes: the line's shares rounded down).
constexpr int kBlockFrom = kLine * 20 / 64, kBlockTo = kLine * 28 / 64, kBeside = kLine * 45 / 64;
constexpr double kBlockAt = (kBlockFrom + kBlockTo) / 2.0;

// The title drawn above a plot.
QString plotTitle(const QCustomPlot& plot)
{
    for (int i = 0; i < plot.plotLayout()->elementCount(); ++i)
        if (auto* text = qobject_cast<QCPTextElement*>(plot.plotLayout()->elementAt(i)))
            return text->text();
    return {};
}

} // namespace

// A line over a conductive block: the window stays
// responsive while it is inverted, refuses a second inversion and station
// commands meanwhile, draws the block in the low colours at its place, marks
// itself stale when an exclusion changes, and Stop ends a rerun at its next
// step; a misfit point clicked is the value the data check then selects.
TEST(SectionWindow, InvertsOnAWorkerAndFollowsTheData)
{
    WindowInDir place;
    FakeDialogs dialogs;
    TForm1 form(&dialogs, QStringList());
    zel::sim::SyntheticLine line;
    line.electrodes = kLine;
    line.blocks = {{kBlockFrom, kBlockTo, 0.8, 2, 10}};
    line.aMax = 1;
    const double end = kLine - 1;
    line.elevations = {{0, 10}, {end, 4}};  // a slope, 6 m down along the line
    const QString file = place.dir.filePath("line.zel");
    zel::writeWholeFile(file, zeltest::dump(zel::sim::syntheticRecords(line)));
    dialogs.fileAnswers << file;
    form.ToolButton1Click();
    zel::LineGeometry slope;
    slope.topography = zel::parseTopography(QByteArray("electrode z\n0 10\n") + QByteArray::number(kLine - 1) + " 4\n", "t");
    form.document().setLines({{zel::Profile{1, 1}, slope}});

    InversionChoice choice;
    choice.profile = {1, 1};
    choice.maxIterations = 3;
    dialogs.inversionAnswers << choice;
    form.Invert1->trigger();
    ASSERT_NE(form.survey().sectionWindow(), nullptr);
    ASSERT_TRUE(form.survey().sectionWindow()->running());
    EXPECT_EQ(dialogs.shownProfiles, (std::vector<zel::Profile>{zel::Profile{1, 1}}));

    // A timer's events delivered while the inversion runs: a window that
    // waited for the computation would deliver none before it ended,
    // however fast or busy the machine.
    int ticksWhileRunning = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (form.survey().sectionWindow()->running())
            ++ticksWhileRunning;
    });
    tick.start(10);
    QTest::qWait(30);
    dialogs.shownInversion.reset();
    form.Invert1->trigger();
    EXPECT_FALSE(dialogs.shownInversion);
    form.ToolButton2Click();
    EXPECT_EQ(form.StatusBar1->currentMessage(), zel::texts::inversionRunning());
    ASSERT_TRUE(waitUntil([&] { return !form.survey().sectionWindow()->running(); }));
    tick.stop();
    EXPECT_GE(ticksWhileRunning, 2);

    TSectionWindow& w = *form.survey().sectionWindow();
    ASSERT_NE(w.result(), nullptr);
    EXPECT_FALSE(w.result()->cancelled);
    EXPECT_TRUE(w.TitleLabel->text().startsWith("L1 F1: ")) << w.TitleLabel->text().toStdString();
    EXPECT_FALSE(w.StaleLabel->isVisibleTo(&w));
    const QImage image = w.ModelPlot->toPixmap(900, 300).toImage();
    // 1.4 m below the ground, in the block and beside it.
    const auto pixelAt = [&](double x) {
        return image.pixel(int(w.ModelPlot->xAxis->coordToPixel(x)), int(w.ModelPlot->yAxis->coordToPixel(10 - 6 * x / end - 1.4)));
    };
    const QRgb block = pixelAt(kBlockAt), beside = pixelAt(kBeside);
    EXPECT_GT(qBlue(block), qRed(block) + 50);
    EXPECT_GT(qRed(beside), qBlue(beside));
    // In English the section speaks English; the README's pictures of both when asked for.
    const QByteArray pictures = qgetenv("ZEL_SCREENSHOTS");
    if (!pictures.isEmpty())
        w.grab().save(QString::fromLocal8Bit(pictures) + "/section-window-ru.png");
    form.English1->trigger();
    EXPECT_TRUE(w.TitleLabel->text().startsWith("L1 F1: 2 iterations")) << w.TitleLabel->text().toStdString();
    EXPECT_EQ(w.AgainButton->text(), "Invert again");
    EXPECT_TRUE(w.ProgressLabel->text().startsWith("Iteration 2: ")) << w.ProgressLabel->text().toStdString();
    if (!pictures.isEmpty())
        w.grab().save(QString::fromLocal8Bit(pictures) + "/section-window-en.png");
    form.Russian1->trigger();

    // A misfit point clicked: its value, selected in the data check.
    w.resize(1000, 800);
    QTest::qWait(20);
    w.MisfitPlot->replot(QCustomPlot::rpImmediateRefresh);
    const zel::inv::Point at = zel::responsePoint(w.result()->data[5]);
    const QPoint pixel(int(w.MisfitPlot->xAxis->coordToPixel(at.x)), int(w.MisfitPlot->yAxis->coordToPixel(at.z)));
    const std::optional<zel::ValueKey> value = w.valueAt(pixel);
    ASSERT_TRUE(value);
    QTest::mouseClick(w.MisfitPlot, Qt::LeftButton, {}, pixel);
    ASSERT_NE(form.survey().dataCheckWindow(), nullptr);
    const QList<QTableWidgetItem*> selected = form.survey().dataCheckWindow()->Table->selectedItems();
    ASSERT_FALSE(selected.isEmpty());
    EXPECT_EQ(form.survey().dataCheckWindow()->Table->item(selected.first()->row(), 0)->text(), QString::number(value->first));

    // A hover over a datum gives its ρa measured and modelled and the misfit,
    // in Russian numbers, and follows a change of language at once.
    w.MeasuredPlot->replot(QCustomPlot::rpImmediateRefresh);
    const QPointF over(w.MeasuredPlot->xAxis->coordToPixel(at.x), w.MeasuredPlot->yAxis->coordToPixel(at.z));
    const QString hover = w.hoverText(w.MeasuredPlot, over);
    EXPECT_TRUE(hover.contains("ρк измеренное") && hover.contains("модельное") && hover.contains("расхождение")) << hover.toStdString();
    EXPECT_FALSE(hover.contains(QRegularExpression("\\d\\.\\d"))) << hover.toStdString();
    w.showHoverAt(w.MeasuredPlot, over);
    form.English1->trigger();
    EXPECT_TRUE(w.HoverLabel->text().contains("ρa measured")) << w.HoverLabel->text().toStdString();
    form.Russian1->trigger();
    // True to scale: as many metres down the model panel as across it.
    const QRect rect = w.ModelPlot->axisRect()->rect();
    EXPECT_NEAR(w.ModelPlot->yAxis->range().size() / w.ModelPlot->xAxis->range().size(), double(rect.height()) / rect.width(), 0.02);
    // At 5:1 on a laptop's screen the whole section still shows, its panel
    // taller than its room and scrolled; the data panels keep a readable height.
    auto* cells = qobject_cast<QCPColorMap*>(w.ModelPlot->plottable(0));
    ASSERT_NE(cells, nullptr);
    const QCPRange depth = cells->data()->valueRange();
    w.resize(1366 - 8, 728 - 34);
    w.ExaggerationBox->setCurrentIndex(w.ExaggerationBox->findData(5));
    QTest::qWait(50);
    w.ModelPlot->replot(QCustomPlot::rpImmediateRefresh);
    const QCPRange down = w.ModelPlot->yAxis->range();
    EXPECT_LE(down.lower, depth.lower + 0.01 * depth.size());
    EXPECT_GE(down.upper, depth.upper);
    const QRect five = w.ModelPlot->axisRect()->rect();
    EXPECT_NEAR(5 * down.size() / w.ModelPlot->xAxis->range().size(), double(five.height()) / five.width(), 0.02);
    EXPECT_GT(w.ModelPlot->height(), w.ModelScroll->viewport()->height());
    for (QCustomPlot* data : {w.MeasuredPlot, w.ModelledPlot, w.MisfitPlot})
        EXPECT_GE(data->axisRect()->height(), 60) << data->objectName().toStdString();
    if (const QByteArray pictures = qgetenv("ZEL_SCREENSHOTS"); !pictures.isEmpty())
        w.grab().save(QString::fromLocal8Bit(pictures) + "/section-5-to-1.png");
    w.ExaggerationBox->setCurrentIndex(w.ExaggerationBox->findData(1));
    // An earlier iteration can be looked at; the picture has the size asked.
    w.IterationSlider->setValue(0);
    EXPECT_TRUE(w.IterationLabel->text().startsWith("Итерация 0 из")) << w.IterationLabel->text().toStdString();
    const QImage picture = QImage::fromData(w.picture({800, 600, 100}, false));
    EXPECT_EQ(picture.size(), QSize(800, 600));
    EXPECT_NEAR(picture.dotsPerMeterX(), 100 / 0.0254, 1);

    // A held colour scale stays through an exclusion and the run after it.
    w.HoldBox->setChecked(true);
    w.ScaleTypeBox->setCurrentIndex(1);
    w.LowEdit->setValue(5);
    w.HighEdit->setValue(500);
    const zel::ColourScale held{5, 500, false};
    EXPECT_EQ(w.colourScale(), held);

    // An exclusion makes the section stale; Invert again runs anew, and Stop ends it.
    form.document().setExcluded(*value, true);
    EXPECT_TRUE(w.StaleLabel->isVisibleTo(&w));
    int reported = -1;
    w.AgainButton->click();
    ASSERT_TRUE(w.running());
    ASSERT_TRUE(waitUntil([&] {
        reported = w.Progress->value();
        return reported >= 1 || !w.running();
    }));
    // Closing the program asks first; No keeps it and the inversion running.
    dialogs.messages.clear();
    dialogs.yesNoAnswers << false;
    EXPECT_FALSE(form.close());
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(w.running());
    // Stop is looked at inside every solve: it ends the run within seconds,
    // also on a busy machine under the sanitizers.
    QElapsedTimer stopping;
    stopping.start();
    w.StopButton->click();
    ASSERT_TRUE(waitUntil([&] { return !w.running(); }, 5000)) << stopping.elapsed() << " ms";
    EXPECT_TRUE(w.result()->cancelled);
    EXPECT_LE(w.result()->iterations.back().number, reported + 1);
    EXPECT_FALSE(w.StaleLabel->isVisibleTo(&w));
    EXPECT_EQ(w.colourScale(), held);

    // Stopped before its first model, a run leaves the section shown.
    const auto shown = w.result();
    w.AgainButton->click();
    w.StopButton->click();
    ASSERT_TRUE(waitUntil([&] { return !w.running(); }, 5000)) << stopping.elapsed() << " ms";
    if (w.result() == shown)
        EXPECT_EQ(w.ProgressLabel->text(), "Остановлено до первой модели.");
    else  // its first solve was done before Stop came
        EXPECT_EQ(w.result()->iterations.size(), 1u);
    EXPECT_TRUE(w.SaveImageButton->isVisible());

    // Closing the section window stops its run: nothing would show what it
    // gives, and the station commands would be refused for it.
    const auto before = w.result();
    w.AgainButton->click();
    ASSERT_TRUE(w.running());
    w.close();
    ASSERT_TRUE(waitUntil([&] { return !form.document().busy(); }));
    EXPECT_TRUE(w.result() == before || w.result()->cancelled);
    EXPECT_FALSE(form.survey().inversionRunning());
}

// The profiles' own geometry is loaded with the reading, written by the
// geometry dialog beside it, and goes with Save File under a new name.
TEST(SectionWindow, LinesGeometryTravelsWithTheReading)
{
    WindowInDir place;
    FakeDialogs dialogs;
    TForm1 form(&dialogs, QStringList());
    const auto record = zeltest::Record().mode(10).profile(3, 1).electrodes(0, 1, 2, 3).current(5).u(1, 100, 0);
    const QString file = place.dir.filePath("r.zel");
    zel::writeWholeFile(file, zeltest::dump({record}));
    zel::writeWholeFile(place.dir.filePath("levels.txt"), "electrode z\r\n0 10\r\n3 7\r\n");
    zel::writeWholeFile(file + ".survey", "[Line 3 File 1]\r\nSpacing=5\r\nTopography=levels.txt\r\n");
    dialogs.fileAnswers << file;
    form.ToolButton1Click();
    ASSERT_EQ(form.document().lines().size(), 1u);
    EXPECT_EQ(form.document().lines().at({3, 1}).topography.points.size(), 2u);

    // The dialog shows the lines and the profiles; what it gives is kept beside the file.
    zel::SurveyGeometry chosen;
    chosen.lines = form.document().lines();
    chosen.lines[{3, 1}].reversed = true;
    dialogs.geometryAnswers << chosen;
    form.SurveyGeometry1->trigger();
    EXPECT_EQ(dialogs.shownGeometry.lines.at({3, 1}).spacing, 5);
    EXPECT_EQ(dialogs.shownProfiles, (std::vector<zel::Profile>{zel::Profile{3, 1}}));
    EXPECT_EQ(zel::readWholeFile(file + ".survey"), "[Line 3 File 1]\r\nSpacing=5\r\nReversed=1\r\nTopography=levels.txt\r\n");

    QDir(place.dir.path()).mkdir("copy");
    const QString copy = place.dir.filePath("copy/c.zel");
    dialogs.fileAnswers << copy;
    form.ToolButton8Click();
    dialogs.fileAnswers << copy;
    form.ToolButton1Click();
    EXPECT_EQ(form.document().lines().at({3, 1}).reversed, true);
    EXPECT_EQ(form.document().lines().at({3, 1}).topography.at(1), 9);

    // What lies beside a file and does not fit it is said and not applied.
    zel::writeWholeFile(copy + ".survey", "[Line 3 File 1]\r\nSpacing=none\r\n");
    zel::writeWholeFile(copy + ".exclude", "# values left out\r\n99 1\r\n");
    dialogs.messages.clear();
    dialogs.fileAnswers << copy;
    form.ToolButton1Click();
    EXPECT_TRUE(form.document().lines().empty());
    EXPECT_TRUE(form.document().exclusions().empty());
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_TRUE(dialogs.messages.at(0).text.contains("c.zel.exclude")) << dialogs.messages.at(0).text.toStdString();
    EXPECT_TRUE(dialogs.messages.at(1).text.contains("c.zel.survey")) << dialogs.messages.at(1).text.toStdString();

    // A station reading's geometry goes beside its kept copy.
    zel::Document doc;
    const QString kept = place.dir.filePath("kept.zel");
    doc.setStationReading({}, kept);
    doc.setLines(chosen.lines);
    EXPECT_TRUE(zel::readWholeFile(kept + ".survey").contains("Reversed=1"));
}

// An export that would write nothing says why before a file is asked for,
// by the library's rule: values with positions all left out are not "no
// positions".
TEST(SectionWindow, ExportWithEverythingLeftOutSaysSoBeforeAskingForAFile)
{
    WindowInDir place;
    FakeDialogs dialogs;
    TForm1 form(&dialogs, QStringList());
    const QString file = place.dir.filePath("r.zel");
    zel::writeWholeFile(file, zeltest::dump({zeltest::Record().mode(10).profile(1, 1).electrodes(0, 1, 2, 3).current(5).u(1, 100, 0)}));
    dialogs.fileAnswers << file;
    form.ToolButton1Click();
    form.document().setExcluded({1, 1}, true);
    dialogs.messages.clear();
    const qsizetype asked = dialogs.fileDialogs.size();
    form.ExportOhm1->trigger();
    EXPECT_EQ(dialogs.fileDialogs.size(), asked);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages.at(0).text.contains("оставлены в стороне")) << dialogs.messages.at(0).text.toStdString();
}

// A short line is drawn whole, every electrode in view; a model that does
// not explain its data says so once, in the window's red line.
TEST(SectionWindow, ShortLineDrawnWholeAndAMisfitSaid)
{
    WindowInDir place;
    FakeDialogs dialogs;
    TForm1 form(&dialogs, QStringList());
    zel::sim::SyntheticLine line;
    line.electrodes = 9;
    line.spacing = 2.5;
    line.aMax = 1;
    line.nMax = 4;
    std::vector<zel::MeasurementRecord> records = zel::sim::syntheticRecords(line);
    for (const bool wild : {false, true}) {
        if (wild)
            for (std::size_t r = 0; r < records.size(); r += 2)
                for (std::int16_t& u : records[r].U)
                    u = std::int16_t(std::clamp(u * 40, -30000, 30000));
        const QString file = place.dir.filePath(wild ? "wild.zel" : "short.zel");
        zel::writeWholeFile(file, zeltest::dump(records));
        dialogs.fileAnswers << file;
        form.ToolButton1Click();
        zel::LineGeometry spaced;
        spaced.spacing = 2.5;
        form.document().setLines({{zel::Profile{1, 1}, spaced}});
        InversionChoice choice;
        choice.profile = {1, 1};
        choice.maxIterations = 3;
        dialogs.inversionAnswers << choice;
        form.Invert1->trigger();
        ASSERT_NE(form.survey().sectionWindow(), nullptr);
        TSectionWindow& w = *form.survey().sectionWindow();
        ASSERT_TRUE(waitUntil([&] { return !w.running(); }));
        ASSERT_NE(w.result(), nullptr) << w.ProgressLabel->text().toStdString();
        for (QCustomPlot* plot : {w.ModelPlot, w.MeasuredPlot, w.MisfitPlot}) {
            EXPECT_LT(plot->xAxis->range().lower, 0) << plot->objectName().toStdString();
            EXPECT_GT(plot->xAxis->range().upper, 20) << plot->objectName().toStdString();
        }
        const QString verdict = zel::sectionVerdict(*w.result(), zel::texts::numberLocale());
        EXPECT_EQ(verdict.isEmpty(), !wild) << verdict.toStdString();
        if (wild) {
            // The verdict said once, in its banner, not in the title, the
            // progress line or the plot: the window keeps within a laptop's
            // screen, in either language, with the model's long paths said
            // and the data changed since.
            EXPECT_TRUE(w.VerdictLabel->isVisibleTo(&w));
            EXPECT_TRUE(w.VerdictLabel->text().contains(verdict.mid(1))) << w.VerdictLabel->text().toStdString();
            for (const QString& other : {w.TitleLabel->text(), w.ProgressLabel->text(), plotTitle(*w.ModelPlot)})
                EXPECT_FALSE(other.contains(verdict.mid(1))) << other.toStdString();
            // Russian numbers in the words as on the axes: a decimal comma.
            EXPECT_FALSE(w.TitleLabel->text().contains(QRegularExpression("\\d\\.\\d"))) << w.TitleLabel->text().toStdString();
            const QString deep = place.dir.filePath(QString("a-folder-named-at-length-by-the-crew/").repeated(6));
            QDir().mkpath(deep);
            w.setAskFile([&](QWidget*, TSectionWindow::Saved) { return deep + "section"; });
            w.SaveModelButton->click();
            EXPECT_TRUE(w.HoverLabel->text().contains("section-model.csv")) << w.HoverLabel->text().toStdString();
            form.document().setExcluded(zel::ValueKey{0, 1}, true);
            EXPECT_TRUE(w.StaleLabel->isVisibleTo(&w));
            for (QAction* language : {form.English1, form.Russian1}) {
                language->trigger();
                EXPECT_EQ(needsMoreThanALaptop(w), "") << language->text().toStdString();
                RecordProperty("least_width_" + language->objectName().toStdString(), w.minimumSizeHint().width());
                if (const QByteArray pictures = qgetenv("ZEL_SCREENSHOTS"); !pictures.isEmpty()) {
                    w.resize(1280 - 8, 680 - 34);
                    QTest::qWait(50);
                    w.grab().save(QString::fromLocal8Bit(pictures) + "/failed-fit-" + language->objectName() + ".png");
                }
            }
        }
    }
}

// The depth of investigation asked in the Invert dialog: the window draws
// its line; stopped during its two runs, the finished section stays and the
// window says the index is missing.
TEST(SectionWindow, DepthOfInvestigationThroughTheWindow)
{
    WindowInDir place;
    FakeDialogs dialogs;
    TForm1 form(&dialogs, QStringList());
    zel::sim::SyntheticLine line;
    line.electrodes = 24;
    line.aMax = 1;
    line.nMax = 6;
    line.blocks = {{8, 14, 1, 3, 10}};
    const QString file = place.dir.filePath("doi.zel");
    zel::writeWholeFile(file, zeltest::dump(zel::sim::syntheticRecords(line)));
    dialogs.fileAnswers << file;
    form.ToolButton1Click();
    InversionChoice choice;
    choice.profile = {1, 1};
    choice.maxIterations = 3;
    choice.doi = true;
    for (const bool stopped : {false, true}) {
        SCOPED_TRACE(stopped ? "stopped" : "whole");
        dialogs.inversionAnswers << choice;
        QMetaObject::Connection stopper;
        if (stopped)
            stopper = QObject::connect(&form.document().section(), &zel::SectionJob::depthIteration,
                                       [&] { form.document().section().stop(); });
        form.Invert1->trigger();
        TSectionWindow& w = *form.survey().sectionWindow();
        ASSERT_TRUE(waitUntil([&] { return !w.running(); }));
        QObject::disconnect(stopper);
        ASSERT_NE(w.result(), nullptr);
        EXPECT_FALSE(w.result()->cancelled);
        EXPECT_EQ(w.result()->doi.empty(), stopped);
        // The dashed line's label: by the index, else by the sensitivity.
        bool byIndex = false;
        for (int i = 0; i < w.ModelPlot->itemCount(); ++i)
            if (auto* label = qobject_cast<QCPItemText*>(w.ModelPlot->item(i)))
                byIndex = byIndex || label->text() == QStringLiteral("DOI");
        EXPECT_EQ(byIndex, !stopped);
        if (stopped) {
            EXPECT_TRUE(w.ProgressLabel->text().startsWith(QStringLiteral("Глубинность исследования не посчитана")))
                << w.ProgressLabel->text().toStdString();
        }
    }
}

// A line read at two frequencies over a chargeable block: asked for its
// frequency effect, the window shows the chargeability in a tab of its own,
// highest over the block; asked for the resistivity alone, no such tab.
TEST(SectionWindow, FrequencyEffectInAPanelOfItsOwn)
{
    WindowInDir place;
    FakeDialogs dialogs;
    TForm1 form(&dialogs, QStringList());
    zel::sim::SyntheticLine line;
    line.electrodes = 24;
    line.aMax = 1;
    line.nMax = 6;
    line.blocks = {{8, 14, 1, 3, 100, 10}};
    const QString file = place.dir.filePath("ip.zel");
    zel::writeWholeFile(file, zeltest::dump(zel::sim::syntheticRecords(line)));
    dialogs.fileAnswers << file;
    form.ToolButton1Click();
    InversionChoice choice;
    choice.profile = {1, 1};
    choice.maxIterations = 3;
    for (const bool ip : {true, false}) {
        SCOPED_TRACE(ip ? "with the effect" : "without");
        choice.ip = ip;
        dialogs.inversionAnswers << choice;
        form.Invert1->trigger();
        TSectionWindow& w = *form.survey().sectionWindow();
        ASSERT_TRUE(waitUntil([&] { return !w.running(); }));
        ASSERT_NE(w.result(), nullptr);
        EXPECT_EQ(w.DataTabs->isTabVisible(3), ip);
        EXPECT_EQ(w.result()->chargeability.empty(), !ip);
        if (!ip)
            continue;
        const auto& r = *w.result();
        const auto peak = std::max_element(r.chargeability.begin(), r.chargeability.end()) - r.chargeability.begin();
        const zel::inv::Point at = r.mesh.cellCentre(r.mesh.cellOfParameter[std::size_t(peak)]);
        EXPECT_NEAR(at.x, 11, 3);
        EXPECT_GT(zel::inv::effectOfCharge(r.chargeability[std::size_t(peak)]), 5);
    }
}

// A memory of three spreads of one line is offered and inverted as the
// whole line; "Compare with..." an earlier reading of the line, where the
// block was twice as resistive, shows the block's change.
TEST(SectionWindow, SpreadsInvertAsOneLineAndCompareWithAnEarlierReading)
{
    WindowInDir place;
    FakeDialogs dialogs;
    TForm1 form(&dialogs, QStringList());
    zel::sim::SyntheticLine line;
    line.electrodes = 32;
    line.aMax = 1;
    line.nMax = 6;
    line.spreadElectrodes = 16;
    line.spreadStep = 8;
    const QString later = place.dir.filePath("later.zel"), earlier = place.dir.filePath("earlier.zel");
    for (const auto& [file, rho] : {std::pair(later, 50.0), std::pair(earlier, 100.0)}) {
        line.blocks = {{12, 18, 1, 3, rho}};
        zel::writeWholeFile(file, zeltest::dump(zel::sim::syntheticRecords(line)));
        zel::writeLinesBeside(file, zel::sim::syntheticGeometry(line));
    }
    dialogs.fileAnswers << later;
    form.ToolButton1Click();
    const zel::Profile whole{1, zel::Profile::kWholeLine};
    InversionChoice choice;
    choice.profile = whole;
    choice.maxIterations = 4;
    dialogs.inversionAnswers << choice;
    form.Invert1->trigger();
    EXPECT_EQ(dialogs.shownProfiles, (std::vector<zel::Profile>{whole, {1, 1}, {1, 2}, {1, 3}}));
    ASSERT_NE(form.survey().sectionWindow(), nullptr);
    TSectionWindow& w = *form.survey().sectionWindow();
    ASSERT_TRUE(waitUntil([&] { return !w.running(); }));
    ASSERT_NE(w.result(), nullptr);
    EXPECT_TRUE(w.TitleLabel->text().startsWith(zel::profileName(whole) + ": ")) << w.TitleLabel->text().toStdString();
    EXPECT_EQ(zel::inv::electrodesOf(w.result()->data).size(), 32u);

    dialogs.fileAnswers << earlier;
    w.CompareButton->click();
    ASSERT_NE(w.compareWindow(), nullptr);
    TCompareWindow& compared = *w.compareWindow();
    ASSERT_TRUE(waitUntil([&] { return !compared.job().running(); }));
    ASSERT_NE(compared.job().result(), nullptr) << compared.ProgressLabel->text().toStdString();
    const std::vector<double>& change = compared.job().result()->change;
    EXPECT_LT(*std::min_element(change.begin(), change.end()), -30);
    EXPECT_TRUE(compared.job().laterName().startsWith("later.zel ")) << compared.job().laterName().toStdString();
    EXPECT_EQ(needsMoreThanALaptop(compared), "");
    // The files are offered beside the reading, the change by a name of its own.
    QDir(place.dir.path()).mkpath("elsewhere");
    QDir::setCurrent(place.dir.filePath("elsewhere"));
    w.SaveModelButton->click();
    compared.SaveButton->click();
    ASSERT_GE(dialogs.fileDialogs.size(), 2);
    const QString model = dialogs.fileDialogs.at(dialogs.fileDialogs.size() - 2).fileName;
    const QString changed = dialogs.fileDialogs.last().fileName;
    EXPECT_EQ(QFileInfo(model).absolutePath(), QFileInfo(later).absolutePath());
    EXPECT_EQ(QFileInfo(changed).absolutePath(), QFileInfo(later).absolutePath());
    EXPECT_NE(QFileInfo(model).fileName(), QFileInfo(changed).fileName());
    QDir::setCurrent(place.dir.path());
    const QByteArray pictures = qgetenv("ZEL_SCREENSHOTS");
    if (!pictures.isEmpty()) {
        compared.grab().save(QString::fromLocal8Bit(pictures) + "/time-lapse-ru.png");
        form.English1->trigger();
        QTest::qWait(20);
        compared.grab().save(QString::fromLocal8Bit(pictures) + "/time-lapse-en.png");
        form.Russian1->trigger();
    }
}

// Survey → All lines: three parallel lines, each with its Y beside the
// reading, inverted one after the other and shown in plan at a depth the
// data see, the body under the first two lines drawn between them.
TEST(SectionWindow, AllLinesInvertedAndShownInPlan)
{
    WindowInDir place;
    FakeDialogs dialogs;
    TForm1 form(&dialogs, QStringList());
    std::vector<zel::sim::SyntheticLine> lines;
    for (int n = 1; n <= 3; ++n) {
        zel::sim::SyntheticLine& line = lines.emplace_back();
        line.electrodes = 24;
        line.aMax = 1;
        line.nMax = 6;
        line.line = n;
        line.y = 8.0 * (n - 1);
        line.blocks = {{9, 15, 1, 3, n < 3 ? 10.0 : 100.0}};
    }
    const auto [records, placed] = zel::sim::syntheticSurvey(lines);
    const QString file = place.dir.filePath("lines.zel");
    zel::writeWholeFile(file, zeltest::dump(records));
    zel::writeLinesBeside(file, placed);
    dialogs.fileAnswers << file;
    form.ToolButton1Click();
    form.AllLines1->trigger();
    TLinesWindow* w = form.survey().linesWindow();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(waitUntil([&] { return !w->job().running(); }));
    ASSERT_NE(w->job().result(), nullptr) << w->ProgressLabel->text().toStdString();
    EXPECT_EQ(w->job().result()->lines.size(), 3u);
    EXPECT_FALSE(w->NotesLabel->isVisibleTo(w)) << w->NotesLabel->text().toStdString();
    EXPECT_GT(w->DepthEdit->value(), 0.5);
    EXPECT_EQ(needsMoreThanALaptop(*w), "");
    // A change of language says the run again and keeps the plan's depth.
    w->DepthEdit->setValue(w->DepthEdit->value() * 0.8);
    const double depth = w->DepthEdit->value();
    form.English1->trigger();
    form.Russian1->trigger();
    EXPECT_DOUBLE_EQ(w->DepthEdit->value(), depth);
    // The plan the window draws: low between the first two lines over the
    // body, high beside it.
    EXPECT_EQ(w->PlanPlot->plottableCount(), 4);  // the colour map and the three lines
    auto* map = qobject_cast<QCPColorMap*>(w->PlanPlot->plottable(0));
    ASSERT_NE(map, nullptr);
    EXPECT_LT(map->data()->data(12, 4), 40);
    EXPECT_GT(map->data()->data(2, 4), 60);

    // The jobs are the document's, one at a time: Invert is refused while
    // All lines runs, and quitting then asks first.
    w->DepthEdit->setValue(w->DepthEdit->value());
    form.AllLines1->trigger();
    ASSERT_TRUE(w->job().running());
    dialogs.inversionAnswers << InversionChoice{};
    form.Invert1->trigger();
    EXPECT_EQ(form.StatusBar1->currentMessage(), zel::texts::inversionRunning());
    EXPECT_FALSE(form.document().section().running());
    const qsizetype said = dialogs.messages.size();
    form.close();
    ASSERT_EQ(dialogs.messages.size(), said + 1);
    EXPECT_EQ(dialogs.messages.last().text, zel::texts::stopInversionAndClose());
    EXPECT_TRUE(form.document().busy() || !w->job().stale());  // "No": nothing stopped
    // Closing the lines window stops its run, and the program is free again.
    w->close();
    ASSERT_TRUE(waitUntil([&] { return !form.document().busy(); }));
    EXPECT_FALSE(form.survey().inversionRunning());
    // What the data change makes stale is said beside the plan.
    form.document().setExcluded(zel::keyOf(zel::surveyValues(records, form.document().geometry()).front()), true);
    EXPECT_TRUE(w->job().stale());
    EXPECT_TRUE(w->NotesLabel->text().contains(QStringLiteral("устарел"))) << w->NotesLabel->text().toStdString();

    // The same lines as one 3D model: its depth slice, the section under a
    // chosen line, its files; the body again between the first two lines.
    form.document().setExcluded(zel::keyOf(zel::surveyValues(records, form.document().geometry()).front()), false);
    w->ModeBox->setCurrentIndex(TLinesWindow::OneVolume);
    w->InvertButton->click();
    ASSERT_TRUE(waitUntil([&] { return !w->volumeJob().running(); }));
    ASSERT_NE(w->volumeJob().result(), nullptr) << w->ProgressLabel->text().toStdString();
    EXPECT_EQ(w->LineBox->count(), 3);
    EXPECT_TRUE(w->SectionPlot->isVisibleTo(w));
    EXPECT_GT(w->SectionPlot->plottableCount(), 0);
    EXPECT_EQ(w->PlanPlot->plottableCount(), 4);
    EXPECT_EQ(needsMoreThanALaptop(*w), "");
    w->DepthSlider->setValue(w->DepthSlider->maximum());
    EXPECT_GT(w->DepthEdit->value(), 2.0);
    dialogs.fileAnswers << place.dir.filePath("survey.csv");
    w->SaveButton->click();
    EXPECT_TRUE(QFile::exists(place.dir.filePath("survey.vtu"))) << w->ProgressLabel->text().toStdString();
    EXPECT_TRUE(QFile::exists(place.dir.filePath("survey-model.csv")));
    // Back to the lines one by one: their own run and notes again.
    w->ModeBox->setCurrentIndex(TLinesWindow::OneByOne);
    EXPECT_TRUE(w->ProgressLabel->text().startsWith(QStringLiteral("Обращено линий"))) << w->ProgressLabel->text().toStdString();
    EXPECT_FALSE(w->SectionPlot->isVisibleTo(w));
    w->ModeBox->setCurrentIndex(TLinesWindow::OneVolume);
    EXPECT_TRUE(w->ProgressLabel->text().startsWith(QStringLiteral("3D-модель"))) << w->ProgressLabel->text().toStdString();
    const QByteArray pictures = qgetenv("ZEL_SCREENSHOTS");
    if (!pictures.isEmpty()) {
        w->grab().save(QString::fromLocal8Bit(pictures) + "/volume-ru.png");
        form.English1->trigger();
        QTest::qWait(20);
        w->grab().save(QString::fromLocal8Bit(pictures) + "/volume-en.png");
        form.Russian1->trigger();
        w->ModeBox->setCurrentIndex(TLinesWindow::OneByOne);
        form.English1->trigger();
        QTest::qWait(20);
        w->grab().save(QString::fromLocal8Bit(pictures) + "/plan-view-en.png");
        form.Russian1->trigger();
    }
}
