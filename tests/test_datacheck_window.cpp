#include "FakeDialogs.h"
#include "TestDumps.h"
#include "WindowInDir.h"

#include "app/DataCheckWindow.h"
#include "app/PlotWindows.h"
#include "app/SurveyCommands.h"
#include "app/ZelMain.h"
#include "data/DataFile.h"
#include "document/Document.h"

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTest>

#include <qcustomplot.h>

#include <gtest/gtest.h>

// The data check in the window: a Wenner level of five with a spike at its
// middle (the ends beside it are flagged too), every flagged value left out
// at once; on the pseudosection a click only chooses the spike, Delete takes
// it back in, Ctrl+Z undoes that (there and in the data check), Ctrl+click
// takes it back in; the exclusions live beside the file, come back with it
// and never touch its bytes.
TEST(DataCheckWindow, ExclusionsFromTheTableAndThePseudosectionLiveBesideTheFile)
{
    WindowInDir place;
    FakeDialogs dialogs;
    TForm1 form(&dialogs, QStringList());
    std::vector<zel::MeasurementRecord> level;
    level.reserve(5);
    for (int a = 0; a < 5; ++a)
        level.push_back(zeltest::Record().mode(10).profile(1, 1).electrodes(a, a + 3, a + 1, a + 2).current(5)
                            .u(1, 10000, a == 2 ? 1 : 2).u(2, 0, 9).u(3, 0, 9).u(4, 0, 9));
    const QString file = place.dir.filePath("level.zel");
    const QByteArray bytes = zeltest::dump(level);
    zel::writeWholeFile(file, bytes);
    dialogs.fileAnswers << file;
    form.ToolButton1Click();
    form.DataCheck1->trigger();
    ASSERT_NE(form.survey().dataCheckWindow(), nullptr);
    EXPECT_EQ(form.survey().dataCheckWindow()->Table->rowCount(), 3);
    EXPECT_TRUE(form.survey().dataCheckWindow()->SummaryLabel->text().startsWith("L1 F1: значений 5, отмечено 3"));
    form.survey().dataCheckWindow()->ExcludeFlaggedButton->click();
    EXPECT_EQ(zel::readWholeFile(file + ".exclude").split('\n').size(), 1 + 3 + 1);

    form.Pseudosection1->trigger();
    TPseudosectionWindow& pseudo = *form.survey().pseudosectionWindow();
    pseudo.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&pseudo));
    pseudo.Plot->replot(QCustomPlot::rpImmediateRefresh);
    QPoint spike;
    for (const zel::PseudosectionPoint& p : pseudo.section().points)
        if (zel::keyOf(pseudo.section().values[std::size_t(p.value)]) == zel::ValueKey{3, 1})
            spike = QPoint(int(pseudo.Plot->xAxis->coordToPixel(p.x)), int(pseudo.Plot->yAxis->coordToPixel(p.depth)));
    const zel::Exclusions flagged{{1, 1}, {3, 1}, {5, 1}}, spikeIn{{1, 1}, {5, 1}};
    QTest::mouseClick(pseudo.Plot, Qt::LeftButton, {}, spike);
    EXPECT_EQ(pseudo.selected(), (zel::ValueKey{3, 1}));
    EXPECT_TRUE(pseudo.SelectedLabel->text().endsWith("исключено")) << pseudo.SelectedLabel->text().toStdString();
    EXPECT_EQ(form.document().exclusions(), flagged);
    QTest::keyClick(&pseudo, Qt::Key_Delete);
    EXPECT_EQ(form.document().exclusions(), spikeIn);
    QTest::keyClick(&pseudo, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form.document().exclusions(), flagged);
    QTest::mouseClick(pseudo.Plot, Qt::LeftButton, Qt::ControlModifier, spike);
    EXPECT_EQ(form.document().exclusions(), spikeIn);
    TDataCheckWindow& check = *form.survey().dataCheckWindow();
    check.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&check));
    QTest::keyClick(&check, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form.document().exclusions(), flagged);
    pseudo.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&pseudo));
    QTest::keyClick(&pseudo, Qt::Key_Delete);  // the spike back in
    EXPECT_EQ(form.document().exclusions(), spikeIn);
    EXPECT_EQ(form.survey().dataCheckWindow()->Table->item(1, TDataCheckWindow::kExcludeColumn)->checkState(), Qt::Unchecked);

    dialogs.fileAnswers << place.dir.filePath("copy.zel") << file;
    form.ToolButton8Click();
    EXPECT_EQ(zel::readWholeFile(place.dir.filePath("copy.zel.exclude")), zel::exclusionsText({{1, 1}, {5, 1}}));
    form.ToolButton1Click();
    EXPECT_EQ(form.document().exclusions(), (zel::Exclusions{{1, 1}, {5, 1}}));
    EXPECT_EQ(zel::readWholeFile(file), bytes);
    EXPECT_TRUE(dialogs.messages.size() <= 1);  // at most "There are no free ports COM"
}

// A memory of 300 profiles: the summary scrolls, the window fits the screen
// with its table in view, and Escape closes it.
TEST(DataCheckWindow, ManyProfilesFitTheScreen)
{
    WindowInDir place;
    FakeDialogs dialogs;
    TForm1 form(&dialogs, QStringList());
    std::vector<zel::MeasurementRecord> records;
    for (int profile = 1; profile <= 300; ++profile)
        records.push_back(zeltest::Record().mode(10).profile(profile, 1).electrodes(0, 3, 1, 2).current(5)
                              .u(1, 0, 2).u(2, 0, 9).u(3, 0, 9).u(4, 0, 9));
    const QString file = place.dir.filePath("many.zel");
    zel::writeWholeFile(file, zeltest::dump(records));
    dialogs.fileAnswers << file;
    form.ToolButton1Click();
    form.DataCheck1->trigger();
    TDataCheckWindow* window = form.survey().dataCheckWindow();
    ASSERT_NE(window, nullptr);
    QCoreApplication::processEvents();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(window->minimumSizeHint().height(), screen.height());
    EXPECT_LE(window->height(), screen.height());
    EXPECT_GE(window->Table->height(), window->height() / 3);
    EXPECT_EQ(window->Table->rowCount(), 300);
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
}
