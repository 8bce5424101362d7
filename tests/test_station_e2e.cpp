#include "FakeDialogs.h"
#include "StationWindow.h"
#include "TestDumps.h"
#include "WindowInDir.h"
#include "Capture.h"

#include "zeltool/Commands.h"

#include "app/ZelMain.h"
#include "data/DataFile.h"
#include "data/RawDump.h"
#include "serial/QCCom32.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QListWidget>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

// The window with the simulated station as COM5.
class StationEndToEnd : public StationWindow {
protected:
    void startStation(const QStringList& args) { StationWindow::startStation(args, "[PortNotes]\nCOM5=simulated station\n"); }
};

} // namespace

TEST_F(StationEndToEnd, ReadDataFillsTheWindowAsAfterLoadingAFile)
{
    startStation({"--count", "100", "--once"});
    form->ToolButton2Click();
    const QStringList lines = listLines(*form);
    ASSERT_EQ(lines.size(), 5) << lines.join('\n').toStdString();
    EXPECT_EQ(lines.at(0), "Считано 3218 байт");
    EXPECT_EQ(lines.at(1), "Количество измерений 100");
    EXPECT_EQ(lines.at(2), "ZEL-TERRAVOX MMXXVI01");
    EXPECT_EQ(lines.at(3), "V2.1E1.0");
    EXPECT_TRUE(form->ToolButton6->isEnabled());
    EXPECT_TRUE(form->ToolButton8->isEnabled());
    EXPECT_FALSE(form->station().QCCom->Opened());
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_TRUE(sim->process().waitForFinished(3000));  // it saw "$GB"

    form->ToolButton6Click();
    EXPECT_EQ(form->ListBox1->count(), 105);
    // A reading's workbook is offered under the time of the reading.
    form->ToolButton5Click();  // cancelled
    EXPECT_TRUE(QRegularExpression("/ZEL-SOLO \\d\\d\\.\\d\\d\\.\\d{4} \\d\\d-\\d\\d-\\d\\d\\.xlsx$").match(dialogs.fileDialogs.last().fileName).hasMatch())
        << dialogs.fileDialogs.last().fileName.toStdString();

    const QString saved = dir.filePath("reading.zel");
    dialogs.fileAnswers << saved;
    form->ToolButton8Click();
    const zel::DumpDecoding again = zel::decodeDump(zel::readWholeFile(saved));
    EXPECT_EQ(again.outcome, zel::DumpDecoding::Outcome::Decoded);
    EXPECT_EQ(again.count, 100);
}

TEST_F(StationEndToEnd, HangUpInTheMiddleOfTheDataEndsWithTimeOutThree)
{
    startStation({"--count", "200", "--hangup-after", "1000"});
    form->setReadingsFolder(dir.filePath("readings"));
    QElapsedTimer clock;
    clock.start();
    form->ToolButton2Click();
    EXPECT_EQ(listLines(*form), QStringList({"Время ожидания истекло (3)"}));
    // What arrived is kept, marked incomplete, with the bytes of the data answer as its record block.
    const QStringList kept = form->readings().recent(10);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_TRUE(kept.at(0).endsWith("-incomplete.zel"));
    const qsizetype arrived = zeltest::recordBlock(zel::readWholeFile(kept.at(0))).size();  // a hang-up may drop what the line still held
    EXPECT_TRUE(arrived > 0 && arrived <= 1000) << arrived;
    // The line stays; the status bar says what to check, beside a link to the help.
    EXPECT_TRUE(form->StatusBar1->currentMessage().startsWith("Передача данных прервалась: проверьте кабель"));
    EXPECT_TRUE(form->HelpLink1->isVisibleTo(form.get()));
    EXPECT_FALSE(form->station().QCCom->Opened());
    EXPECT_FALSE(form->ToolButton6->isEnabled());
    // Only a hang-up missed, waiting for ever, reaches this.
    EXPECT_LT(clock.elapsed(), 60000);
}

TEST_F(StationEndToEnd, WrongChecksumLeavesTheDataCommandsDisabled)
{
    startStation({"--count", "20", "--bad-checksum"});
    form->ToolButton2Click();
    EXPECT_EQ(listLines(*form), QStringList({"Считано 658 байт", "Не совпали контрольные суммы", "Повторите ввод"}));
    EXPECT_FALSE(form->ToolButton8->isEnabled());
}

// While the station is read, nothing that touches the data, the port or the
// station can start: a click that still arrives changes nothing.
TEST_F(StationEndToEnd, OnlyOneDialogueAtATimeAndNothingElseTouchesTheData)
{
    startStation({"--count", "300", "--pause-after", "2000", "--pause-ms", "1500"});
    const QString other = dir.filePath("other.zel");
    QFile::copy(QStringLiteral(ZEL_TEST_DATA_DIR "/sample.zel"), other);
    dialogs.fileAnswers << other;
    int refusedAt = -1;
    QStringList enabled;
    QTimer::singleShot(1000, [&] {
        EXPECT_TRUE(form->DialogueRunning());
        for (QAction* a : form->findChildren<QAction*>())
            if (a->isEnabled() && !a->text().isEmpty() && !a->menu())
                enabled << a->text();
        for (QWidget* w : form->ToolBar1->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (w->isEnabled() && (qobject_cast<QToolButton*>(w) || qobject_cast<QComboBox*>(w)))
                enabled << w->objectName();
        form->ToolButton2Click();  // refused: returns at once
        form->ToolButton1Click();  // Load File refused: no dialog, the data stays the reading's
        form->ComboBox2->setCurrentIndex(0);
        form->ComboBox2Change();  // refused: the speed stays
        refusedAt = form->ListBox1->count();
    });
    form->ToolButton2Click();
    EXPECT_EQ(enabled, QStringList({"Open readings folder", "Survey geometry...", "Contents", "About", "Русский",
                                    "English"}));
    EXPECT_EQ(refusedAt, 0);
    EXPECT_EQ(dialogs.fileAnswers, QStringList({other}));
    EXPECT_EQ(form->station().QCCom->Baud(), 115200);
    EXPECT_EQ(form->ComboBox2->currentText(), "115200");
    EXPECT_EQ(listLines(*form).at(0), "Считано 9618 байт");
    EXPECT_EQ(form->Data().count, 300);
    EXPECT_EQ(form->ListBox1->count(), 5);
    EXPECT_FALSE(form->DialogueRunning());
    EXPECT_TRUE(form->ToolButton1->isEnabled());
    EXPECT_TRUE(form->LoadFile1->isEnabled());
    EXPECT_TRUE(form->ToolButton8->isEnabled());
}

// Stop (and closing the window, once the user agrees) ends a reading in the
// data wait at once: "$GB", the port closed, its own line, and what arrived
// kept as an incomplete reading. A refused close leaves the reading running.
TEST_F(StationEndToEnd, StopOrClosingDuringTheDataWaitEndsTheReadingAndKeepsWhatArrived)
{
    for (const bool closing : {false, true}) {
        startStation({"--count", "100", "--pause-after", "100", "--pause-ms", "10000"});
        form->setReadingsFolder(dir.filePath(closing ? "closed" : "stopped"));
        form->show();
        bool stopShown = false;
        QTimer::singleShot(1000, [&] {
            stopShown = form->StopButton1->isVisible();
            if (closing) {
                form->close();  // refused: the reading goes on
                dialogs.yesNoAnswers = {true};
                form->close();
            } else {
                form->StopButton1->click();
            }
        });
        QElapsedTimer clock;
        clock.start();
        form->ToolButton2Click();
        EXPECT_LT(clock.elapsed(), 60000);  // only a Stop not heard reaches this
        EXPECT_TRUE(stopShown);
        EXPECT_FALSE(form->StopButton1->isVisible());
        EXPECT_FALSE(form->station().QCCom->Opened());
        EXPECT_EQ(listLines(*form).last(), "Остановлено пользователем");
        const QStringList kept = form->readings().recent(10);
        ASSERT_EQ(kept.size(), 1);
        EXPECT_TRUE(kept.at(0).endsWith("-incomplete.zel"));
        EXPECT_EQ(closing ? 2 : 0, dialogs.messages.size());
        QCoreApplication::processEvents();
        EXPECT_EQ(form->isVisible(), !closing);
        form.reset();
        sim.reset();
    }
}

// The station goes on sending a memory whose reading was stopped. Read Data
// at once waits until the line is quiet, and then reads the whole memory.
TEST_F(StationEndToEnd, ReadingRightAfterStopReadsTheWholeMemory)
{
    startStation({"--count", "1000", "--seed", "5", "--memory-out", dir.filePath("memory.zel")});
    form->setReadingsFolder(dir.filePath("readings"));
    form->show();
    QTimer::singleShot(1000, form.get(), [&] { form->StopButton1->click(); });
    form->ToolButton2Click();
    ASSERT_EQ(listLines(*form).last(), "Остановлено пользователем");

    form->ToolButton2Click();
    const QStringList lines = listLines(*form);
    EXPECT_EQ(lines.value(0), "Считано 32018 байт") << lines.join('\n').toStdString();
    const QByteArray memory = zel::readWholeFile(dir.filePath("memory.zel"));
    EXPECT_EQ(zel::BlockReader(form->Data().rawDump).readBlock(), zel::BlockReader(memory).readBlock());
    EXPECT_EQ(form->Data().rawDump.right(32002), memory.right(32002));
}

// A modal window left open during the data wait, longer than the station's
// answer time, while the station pauses: the time it was open does not count,
// and the reading ends with the station's whole memory.
TEST_F(StationEndToEnd, ModalWindowOpenDuringTheReadingDoesNotFailIt)
{
    startStation({"--count", "40", "--seed", "3", "--pause-after", "200", "--pause-ms", "1500", "--memory-out",
                  dir.filePath("memory.zel")});
    form->ComboBox2->setCurrentIndex(0);
    form->ComboBox2Change();
    ASSERT_EQ(form->station().QCCom->Baud(), 9600);
    form->show();
    bool held = false;
    onceWhen(form.get(), [&] { return form->ProgressBar1->isVisible() && form->ProgressBar1->value() > 0; }, [&] {
        QTimer::singleShot(300, form.get(), [&] {  // the station is pausing now
            holdModal(form.get(), 2500);
            held = true;
        });
    });
    form->ToolButton2Click();
    EXPECT_TRUE(held);
    EXPECT_EQ(listLines(*form).value(0), "Считано 1298 байт") << listLines(*form).join('\n').toStdString();
    EXPECT_EQ(zel::BlockReader(form->Data().rawDump).readBlock(),
              zel::BlockReader(zel::readWholeFile(dir.filePath("memory.zel"))).readBlock());
    EXPECT_EQ(form->Data().rawDump.right(1282), zel::readWholeFile(dir.filePath("memory.zel")).right(1282));
}

// A reading whose checksum matches is kept at once in the readings folder,
// named from its time; one whose checksum does not is kept for diagnosis. The
// newest open from "File" → "Recent readings".
TEST_F(StationEndToEnd, EveryReadingIsKeptAtOnceAndOpensFromRecentReadings)
{
    startStation({"--count", "20"});
    form->setReadingsFolder(dir.filePath("readings"));
    form->ToolButton2Click();
    QStringList kept = form->readings().recent(10);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_TRUE(QRegularExpression(R"(/readings/\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d\.zel$)").match(kept.at(0)).hasMatch())
        << kept.at(0).toStdString();
    EXPECT_EQ(zel::readWholeFile(kept.at(0)), form->Data().rawDump);
    EXPECT_TRUE(form->StatusBar1->currentMessage().startsWith("Чтение сохранено: "));

    form.reset();
    sim.reset();
    startStation({"--count", "20", "--bad-checksum"});
    form->setReadingsFolder(dir.filePath("readings"));
    form->ToolButton2Click();
    kept = form->readings().recent(10);
    ASSERT_EQ(kept.size(), 2);
    EXPECT_TRUE(kept.at(0).endsWith("-checksum-mismatch.zel")) << kept.at(0).toStdString();

    // Opening the older one from the menu loads it as "Load File" does.
    form->OpenDataFile(kept.at(1));
    EXPECT_EQ(listLines(*form).value(0), "Количество измерений 20");
    EXPECT_TRUE(form->ToolButton6->isEnabled());
}

// Read Data in the window and "zeltool read" run the same flow: against the
// same station they list the same lines and keep the same file.
TEST_F(StationEndToEnd, WindowAndZeltoolReadAlike)
{
    const QList<QStringList> stations = {{"--count", "100", "--once"}, {"--count", "20", "--bad-checksum", "--once"}};
    for (const QStringList& args : stations) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const QString readings = dir.filePath("readings-" + QString::number(args.size()));
        startStation(args);
        form->setReadingsFolder(readings);
        form->ToolButton2Click();
        const QStringList windowLines = listLines(*form);
        const QStringList windowKept = form->readings().recent(10);
        TearDown();

        sim = std::make_unique<SimProcess>(dir.filePath("station"), args);
        ASSERT_TRUE(sim->ok());
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        zeltool::run({"read", "--port", dir.filePath("station"), "--baud", "115200", dir.filePath("tool.zel")}, out, err);
        const QStringList toolLines = QString::fromUtf8(readAllAndClose(out)).split('\n', Qt::SkipEmptyParts);
        const QString toolErr = QString::fromUtf8(readAllAndClose(err));
        sim.reset();

        // The lines alike but for the time of reading.
        const QRegularExpression time("\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d");
        EXPECT_EQ(toolLines.join('\n').replace(time, "T"), windowLines.join('\n').replace(time, "T")) << toolErr.toStdString();
        ASSERT_EQ(windowKept.size(), 1);
        const QRegularExpressionMatch kept = QRegularExpression("(/\\S+\\.zel)").match(toolErr);
        ASSERT_TRUE(kept.hasMatch()) << toolErr.toStdString();
        EXPECT_EQ(QFileInfo(kept.captured(1)).fileName().section(' ', 1),
                  QFileInfo(windowKept.at(0)).fileName().section(' ', 1));
        // The same header and records; only the time of reading differs.
        const QByteArray toolDump = zel::readWholeFile(kept.captured(1)), windowDump = zel::readWholeFile(windowKept.at(0));
        EXPECT_EQ(toolDump.size(), windowDump.size());
        EXPECT_EQ(toolDump.left(24), windowDump.left(24));
        EXPECT_EQ(zeltest::recordBlock(toolDump), zeltest::recordBlock(windowDump));
    }
}
