#include "FakeDialogs.h"
#include "serial/PseudoTerminal.h"
#include "TestDumps.h"
#include "WindowInDir.h"

#include "texts/Texts.h"
#include "app/DataCheckWindow.h"
#include "app/PlotWindows.h"
#include "app/SoundingWindow.h"
#include "app/SurveyCommands.h"
#include "app/Ab.h"
#include "app/HelpWindow.h"
#include "app/Screens.h"
#include "sim/StationModel.h"
#include "app/InversionDialog.h"
#include "app/SurveyDialog.h"
#include "app/SequenceDialog.h"
#include "app/SectionWindow.h"
#include "app/ZelMain.h"
#include "document/Document.h"
#include "data/DataFile.h"
#include "data/Settings.h"
#include "data/TextTable.h"

#include <QComboBox>
#include <QListWidget>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include <qcustomplot.h>

#include <gtest/gtest.h>

namespace {

bool dataButtonsEnabled(const TForm1& f, bool expected)
{
    for (QToolButton* b : {f.ToolButton3, f.ToolButton5, f.ToolButton9, f.ToolButton6, f.ToolButton8})
        if (b->isEnabled() != expected)
            return false;
    return true;
}

class MainWindow : public ::testing::Test, protected WindowInDir {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        writeIni("[Ports]\nCOM3=" + pty.slavePath().toLocal8Bit() + "\n");
        form = std::make_unique<TForm1>(&dialogs, QStringList());
    }
    void TearDown() override
    {
        form.reset();
        QLocale::setDefault(QLocale::c());
    }

    void load(const QString& path)
    {
        dialogs.fileAnswers << path;
        form->ToolButton1Click();
    }

    zel::PseudoTerminal pty;
    FakeDialogs dialogs;
    std::unique_ptr<TForm1> form;
};

} // namespace

TEST_F(MainWindow, LayoutCaptionMenuAndToolbar)
{
    EXPECT_EQ(form->windowTitle(), "ZEL - TERRAVOX");
    QStringList menus;
    for (QAction* a : form->menuBar()->actions())
        menus << a->text();
    // The captions, with the letter that Alt opens them by.
    EXPECT_EQ(menus, QStringList({"&File", "&Exel", "S&urvey", "&Service", "&Help"}));
    EXPECT_EQ(form->LoadFile1->shortcut(), QKeySequence(QKeySequence::Open));
    EXPECT_EQ(form->SaveFile1->shortcut(), QKeySequence(QKeySequence::Save));
    EXPECT_EQ(form->Contens1->shortcut(), QKeySequence(QKeySequence::HelpContents));
    EXPECT_EQ(form->Read1->text(), "Read Data");
    EXPECT_EQ(form->Save1->text(), "Save as text");
    EXPECT_EQ(form->EEPROM1->text(), "EEPROM");
    EXPECT_EQ(form->ToolButton10->toolTip(), "Save protocol");
    EXPECT_EQ(form->ToolButton12->toolTip(), "Save To EEPROM");
    EXPECT_EQ(form->ComboBox1->toolTip(), "Port");
    EXPECT_EQ(form->ComboBox2->toolTip(), "Speed");
    EXPECT_EQ(form->ComboBox2->currentText(), "115200");
    EXPECT_TRUE(form->ListBox1->font().fixedPitch());
    EXPECT_FALSE(form->station().Timer1->isActive());
    EXPECT_EQ(form->station().Timer1->interval(), 2000);

    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    const int lefts[] = {0, 28, 56, 100, 193, 273, 301, 329, 357, 385, 453};
    const QWidget* controls[] = {form->ToolButton2, form->ToolButton1, form->ToolButton8, form->ComboBox1,
                                 form->ComboBox2,   form->ToolButton6, form->ToolButton3, form->ToolButton5,
                                 form->ToolButton9, form->ToolButton10, form->ToolButton12};
    for (std::size_t i = 0; i < std::size(lefts); ++i)
        EXPECT_EQ(controls[i]->x(), lefts[i]) << controls[i]->objectName().toStdString();
    for (QToolButton* b : form->ToolBar1->findChildren<QToolButton*>())
        EXPECT_FALSE(b->icon().isNull()) << b->objectName().toStdString();
}

TEST_F(MainWindow, DataCommandsDisabledAtStartStationCommandsEnabled)
{
    EXPECT_TRUE(dataButtonsEnabled(*form, false));
    EXPECT_TRUE(form->ToolButton2->isEnabled());
    EXPECT_TRUE(form->ToolButton1->isEnabled());
    EXPECT_TRUE(form->ToolButton10->isEnabled());
    EXPECT_TRUE(form->ToolButton12->isEnabled());
    EXPECT_TRUE(form->View1->isEnabled());  // menu items stay enabled
}

TEST_F(MainWindow, LoadFileListsCountAndHeaderAndEnablesTheDataCommands)
{
    load(zeltest::dataFile("sample.zel"));
    EXPECT_EQ(listLines(*form), QStringList({"Количество измерений 15", "ZEL-TERRAVOX MMVII01", "V2.1E1.0",
                                            "05.07.2007 10:11:12"}));
    EXPECT_TRUE(dataButtonsEnabled(*form, true));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(dialogs.fileDialogs.at(0).filter, "Файл ZEL-TERRAVOX (*.zel)|*.zel");
    EXPECT_EQ(dialogs.fileDialogs.at(0).defaultExt, "zel");
    EXPECT_EQ(form->StatusBar1->currentMessage(),
              "Загружен файл " + QDir::toNativeSeparators(zeltest::dataFile("sample.zel")) + ": измерений 15");

    form->ToolButton6Click();
    const QStringList lines = listLines(*form);
    ASSERT_EQ(lines.size(), 20);
    EXPECT_EQ(lines.at(3), zel::kViewHeading);
    EXPECT_EQ(lines.at(5).left(30), "   1    1      1     123.45  0");
    // A row wider than the list scrolls sideways, whole: A B M N stay readable.
    form->resize(500, 400);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    EXPECT_GT(form->ListBox1->horizontalScrollBar()->maximum(), 0);
    const QFontMetrics metrics(form->ListBox1->font());
    EXPECT_GE(form->ListBox1->visualItemRect(form->ListBox1->item(5)).width(), metrics.horizontalAdvance(lines.at(3)));
}

TEST_F(MainWindow, SaveFileAfterLoadWritesAnIdenticalFile)
{
    load(zeltest::dataFile("sample.zel"));
    const QString out = dir.filePath("copy.zel");
    dialogs.fileAnswers << out;
    form->ToolButton8Click();
    EXPECT_EQ(zel::readWholeFile(out), zel::readWholeFile(zeltest::dataFile("sample.zel")));
    EXPECT_TRUE(dialogs.fileDialogs.last().overwritePrompt);
    EXPECT_EQ(dialogs.fileDialogs.last().filter, "Файл ZEL-TERRAVOX_New (*.zel)|*.zel");
}

TEST_F(MainWindow, SaveAsTextWritesTheGoldenTable)
{
    load(zeltest::dataFile("sample.zel"));
    const QString out = dir.filePath("table.txt");
    dialogs.fileAnswers << out;
    form->Save1Click();
    EXPECT_EQ(zel::readWholeFile(out), zel::readWholeFile(zeltest::dataFile("sample.txt")));
    EXPECT_EQ(dialogs.fileDialogs.last().filter, "Текстовый файл (*.txt)|*.txt");
    // The shared dialog offers the name chosen last with the command's own
    // extension, so that Enter never puts a table over a data file.
    form->ToolButton8Click();  // cancelled
    EXPECT_EQ(dialogs.fileDialogs.last().fileName, dir.filePath("table.zel"));
    dialogs.fileAnswers << dir.filePath("reading.zel");
    form->ToolButton8Click();
    form->Save1Click();  // cancelled
    EXPECT_EQ(dialogs.fileDialogs.last().fileName, dir.filePath("reading.txt"));
    // The electrode table's "All" shows files without a dot too.
    EXPECT_EQ(qtNameFilters("File A,B,M,N|*.txt|All|*.*"), QStringList({"File A,B,M,N (*.txt)", "All (*)"}));
}

TEST_F(MainWindow, RejectedHeaderDisablesAndErrorsShowTheTitleAndFullStop)
{
    load(zeltest::dataFile("sample.zel"));
    const QString bad = dir.filePath("bad.zel");
    zel::writeWholeFile(bad, QByteArray());
    load(bad);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages.at(0).kind, MessageKind::Plain);
    EXPECT_TRUE(dialogs.messages.at(0).text.startsWith("Эта программа для \"ZEL-TERRAVOX\" версии 1XX\n\n"));
    EXPECT_TRUE(dataButtonsEnabled(*form, false));
    EXPECT_TRUE(listLines(*form).isEmpty());

    form->ToolButton6Click();  // View through the menu without data
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages.at(1).kind, MessageKind::Error);
    EXPECT_EQ(dialogs.messages.at(1).caption, "ZEL-TERRAVOXNew");
    EXPECT_EQ(dialogs.messages.at(1).text, "Stream read error.");

    const QString txt = dir.filePath("none.txt");
    dialogs.fileAnswers << txt;
    form->Save1Click();
    EXPECT_EQ(dialogs.messages.last().text, "Stream read error.");
    EXPECT_FALSE(QFile::exists(txt));
}

TEST_F(MainWindow, UnreadableFileKeepsTheDataAlreadyLoaded)
{
    load(zeltest::dataFile("sample.zel"));
    const QStringList before = listLines(*form);
    load(dir.filePath("missing.zel"));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages.at(0).text.startsWith("Cannot open file"));
    EXPECT_EQ(listLines(*form), before);
    EXPECT_TRUE(dataButtonsEnabled(*form, true));
    const QString out = dir.filePath("still.zel");
    dialogs.fileAnswers << out;
    form->ToolButton8Click();
    EXPECT_EQ(zel::readWholeFile(out), zel::readWholeFile(zeltest::dataFile("sample.zel")));
}

TEST_F(MainWindow, TruncatedFileListsWhatItCanAndReportsTheReadError)
{
    const QByteArray good = zel::readWholeFile(zeltest::dataFile("sample.zel"));
    const QString cut = dir.filePath("cut.zel");
    zel::writeWholeFile(cut, good.left(4 + 20 + 4 + 19 + 2));  // inside the record block's length
    load(cut);
    EXPECT_EQ(listLines(*form).size(), 4);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages.at(0).text.startsWith("Stream read error.\n\n"));
    EXPECT_TRUE(dataButtonsEnabled(*form, false));
}

// A file that is not a station memory: the message stays, and below it the
// file and what was wrong with it.
TEST_F(MainWindow, FileThatIsNotAStationMemorySaysWhichAndWhy)
{
    const QByteArray good = zel::readWholeFile(zeltest::dataFile("sample.zel"));
    const struct {
        const char* name;
        QByteArray bytes;
        QString message;
    } cases[] = {
        {"notes.zel", "Hello, this is a text file\n",
         "Stream read error.\n\nФайл «%1» не похож на память станции: блок 1 (заголовок) с байта 0 объявляет длину "
         "1819043144 байт, а за ней в файле 23 байт."},
        {"empty.zel", "", "Эта программа для \"ZEL-TERRAVOX\" версии 1XX\n\nФайл «%1» пуст."},
        {"cut.zel", good.left(4 + 20 + 4 + 19 + 2),
         "Stream read error.\n\nФайл «%1» слишком короткий: он кончается на байте 49, где должна стоять длина блока 3 "
         "(записи измерений)."},
        {"other.zel", QByteArray("\x04\x00\x00\x00" "ABCD", 8),
         "Эта программа для \"ZEL-TERRAVOX\" версии 1XX\n\nФайл «%1» не похож на память станции: в его заголовке нет "
         "ни «ZEL», ни «E1»."},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(c.name);
        zel::writeWholeFile(path, c.bytes);
        dialogs.messages.clear();
        load(path);
        ASSERT_EQ(dialogs.messages.size(), 1) << c.name;
        EXPECT_EQ(dialogs.messages.at(0).text, c.message.arg(QDir::toNativeSeparators(path))) << c.name;
    }
}

TEST_F(MainWindow, CancelledDialogsChangeNothing)
{
    load(zeltest::dataFile("sample.zel"));
    const QStringList before = listLines(*form);
    load(QString());
    form->ToolButton8Click();
    form->Save1Click();
    EXPECT_EQ(listLines(*form), before);
    EXPECT_TRUE(dataButtonsEnabled(*form, true));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(MainWindow, ShiftAltClickOnTheFreeToolbarAreaTogglesLoadAndSave)
{
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    const QPoint free(form->ToolBar1->width() - 10, 10);
    QTest::mouseClick(form->ToolBar1, Qt::LeftButton, Qt::NoModifier, free);
    QTest::mouseClick(form->ToolBar1, Qt::LeftButton, Qt::ShiftModifier, free);
    QTest::mouseClick(form->ToolBar1, Qt::RightButton, Qt::ShiftModifier | Qt::AltModifier, free);
    EXPECT_TRUE(form->ToolButton1->isVisible());
    EXPECT_TRUE(form->ToolButton8->isVisible());

    QTest::mouseClick(form->ToolBar1, Qt::LeftButton, Qt::ShiftModifier | Qt::AltModifier, free);
    EXPECT_FALSE(form->ToolButton1->isVisible());
    EXPECT_FALSE(form->ToolButton8->isVisible());
    EXPECT_TRUE(form->LoadFile1->isVisible());

    QTest::mouseClick(form->ToolBar1, Qt::LeftButton, Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier,
                      free);
    EXPECT_TRUE(form->ToolButton1->isVisible());
    EXPECT_TRUE(form->ToolButton8->isVisible());
}

TEST_F(MainWindow, SpreadsheetCommandsWriteTheWorkbookAndOpenIt)
{
    dialogs.fileAnswers << dir.filePath("none.xlsx");
    form->ToolButton5Click();  // through the menu, before any data
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages.at(0).text, "Stream read error.");
    EXPECT_TRUE(dialogs.fileDialogs.isEmpty());  // nothing asked
    EXPECT_EQ(QDir(dir.path()).entryList({"*.xlsx"}), QStringList());  // and no workbook anywhere here
    dialogs.fileAnswers.clear();
    dialogs.messages.clear();

    load(zeltest::dataFile("sample.zel"));
    const QString book = dir.filePath("solo.xlsx");
    dialogs.fileAnswers << book;
    form->ToolButton5Click();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_TRUE(dialogs.fileDialogs.last().fileName.endsWith("/sample ZEL-SOLO.xlsx"));  // after the file loaded
    EXPECT_EQ(dialogs.fileDialogs.last().filter, "Книга Excel (*.xlsx)|*.xlsx");
    EXPECT_TRUE(QFile::exists(book));
    EXPECT_EQ(dialogs.openedDocuments, QStringList({book}));
    EXPECT_EQ(form->Data().count, 15);

    dialogs.fileAnswers << QString();  // cancelled
    form->ToolButton9Click();
    EXPECT_TRUE(dialogs.fileDialogs.last().fileName.contains("TERRAVOX"));
    EXPECT_EQ(dialogs.openedDocuments.size(), 1);

    // No spreadsheet application: the box names the written file and offers its folder.
    dialogs.documentsOpen = false;
    dialogs.buttonAnswers << true;
    const QString second = dir.filePath("second.xlsx");
    dialogs.fileAnswers << second;
    form->ToolButton5Click();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages.at(0).text.contains(QDir::toNativeSeparators(second)));
    EXPECT_TRUE(dialogs.messages.at(0).text.contains("LibreOffice Calc"));
    EXPECT_EQ(dialogs.openedDocuments.mid(1), QStringList({second, QFileInfo(second).absolutePath()}));
    // Nor anything for folders: the readings folder is named instead.
    form->ReadingsFolder1->trigger();
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_TRUE(dialogs.messages.at(1).text.startsWith("Чтения хранятся в папке "));

#ifndef Q_OS_WIN
    // The desktop's opener starts whatever the file; the program asks
    // xdg-mime first and never starts the opener for nothing.
    QDir(dir.path()).mkpath("bin");
    for (const auto& [name, script] : {std::pair{"xdg-mime", "#!/bin/sh\nexit 0\n"},
                                       std::pair{"xdg-open", "#!/bin/sh\ntouch \"$0.ran\"\n"}}) {
        zel::writeWholeFile(dir.filePath(QStringLiteral("bin/") + name), script);
        QFile::setPermissions(dir.filePath(QStringLiteral("bin/") + name), QFile::ReadOwner | QFile::ExeOwner);
    }
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", dir.filePath("bin").toLocal8Bit() + ":" + path);
    EXPECT_FALSE(QtUserDialogs().openDocument(second));
    qputenv("PATH", path);
    EXPECT_FALSE(QFile::exists(dir.filePath("bin/xdg-open.ran")));
#endif
}

TEST_F(MainWindow, WorkbookThatCannotBeWrittenIsReportedAndTheOldOneKept)
{
    load(zeltest::dataFile("sample.zel"));
    const QString book = dir.filePath("kept.xlsx");
    zel::writeWholeFile(book, "old");
    dialogs.fileAnswers << dir.filePath("no/such/dir/book.xlsx");
    form->ToolButton9Click();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages.at(0).kind, MessageKind::Error);
    EXPECT_TRUE(dialogs.messages.at(0).text.startsWith("Cannot create file"));
    EXPECT_TRUE(dialogs.openedDocuments.isEmpty());
    EXPECT_EQ(zel::readWholeFile(book), "old");
}

// Every window and dialog fits a laptop's screen less its taskbar
// (1366×768 and 1280×720), frame and all, and opens inside the screen it is
// on: the section window, the data check where it once opened below the
// screen's edge, and the geometry dialog with a topography's preview.
TEST_F(MainWindow, EveryWindowFitsALaptopScreen)
{
    zel::sim::SyntheticLine line;
    line.electrodes = 8;
    line.aMax = 1;
    const QString file = dir.filePath("line.zel");
    zel::writeWholeFile(file, zeltest::dump(zel::sim::syntheticRecords(line)));
    zel::writeWholeFile(file + ".survey", "[Line 1 File 1]\r\nTopography=t.txt\r\n");
    zel::writeWholeFile(dir.filePath("t.txt"), "electrode z\r\n0 246.5\r\n7 240\r\n");
    load(file);
    form->DataCheck1->trigger();
    form->Pseudosection1->trigger();
    form->ProfileGraph1->trigger();
    form->Sounding1->trigger();
    form->ShowHelpTopic(3);
    SurveyDialogInput input;
    input.geometry.lines = form->document().lines();
    input.profiles = {{1, 1}};
    TSurveyDialog geometry(input, form.get());
    geometry.show();
    ASSERT_TRUE(geometry.TopographyPlot->isVisible());
    TInversionDialog inversion(InversionChoice{}, {{1, 1}}, form.get());
    TSequenceDialog sequence([](auto&, auto&) { return QString(); }, [](auto&, auto&) { return QString(); }, form.get());
    TSectionWindow section(form->document(), dialogs, form.get());
    const QList<QWidget*> windows = {form.get(), form->AboutBox, form->HelpWindow, form->survey().dataCheckWindow(),
                                     form->survey().pseudosectionWindow(), form->survey().profileWindow(),
                                     form->survey().soundingWindow(), &geometry,
                                     &inversion, &sequence, &section};
    const QRect here = QGuiApplication::primaryScreen()->availableGeometry();
    for (QWidget* w : windows) {
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(needsMoreThanALaptop(*w), "");
        EXPECT_TRUE(here.contains(w->geometry())) << w->objectName().toStdString();
    }
    // The data check that opened 900×500 at y = 283 goes up into a 1366×768 screen.
    EXPECT_EQ(fitIntoScreen(QRect(233, 283, 900, 500), QRect(0, 0, 1366, 728)), QRect(233, 224, 900, 500));
}

// The form's place and size where they fit; moved, then shrunk, into a smaller
// screen, so that the status bar stays in sight.
TEST(WindowGeometry, FitsTheFormIntoTheAvailableScreen)
{
    const QRect form(190, 110, 997, 696);
    const QMargins frame(4, 30, 4, 4);
    const struct {
        QRect available;
        QRect expected;
    } cases[] = {
        {QRect(0, 0, 1920, 1040), form},                          // fits as it is
        {QRect(0, 0, 1366, 738), QRect(190, 38, 997, 696)},       // a laptop with a task bar: moved up
        {QRect(0, 32, 1366, 736), QRect(190, 68, 997, 696)},      // a panel at the top
        {QRect(0, 0, 1024, 600), QRect(23, 30, 997, 566)},        // moved left and shrunk
        {QRect(0, 0, 800, 600), QRect(4, 30, 792, 566)},          // shrunk both ways
    };
    for (const auto& c : cases) {
        const QRect fitted = fitIntoScreen(form, c.available, frame);
        EXPECT_EQ(fitted, c.expected) << c.available.width() << "x" << c.available.height();
        EXPECT_TRUE(c.available.contains(fitted.marginsAdded(frame)));
    }
}

// The survey menu: the geometry kept in the user's [Survey], the exports enabled with
// decoded data, a data set without positions refused by the inversion formats.
TEST_F(MainWindow, SurveyGeometryAndExports)
{
    EXPECT_FALSE(form->ExportCsv1->isEnabled());
    dialogs.geometryAnswers << zel::SurveyGeometry{2.5, -5.0, zel::ChannelGeometry::FirstOnly};
    form->SurveyGeometry1->trigger();
    const std::unique_ptr<QSettings> user = zel::settings::userSettings();
    QSettings& ini = *user;
    EXPECT_EQ(ini.value("Survey/Spacing").toString(), "2.5");
    EXPECT_FALSE(QSettings(dir.filePath("Zel-Terravox.ini"), QSettings::IniFormat).contains("Survey/Spacing"));
    EXPECT_EQ(ini.value("Survey/Channels").toString(), "first");
    form->SurveyGeometry1->trigger();  // shown with what is kept; cancelled
    EXPECT_EQ(dialogs.shownGeometry, (zel::SurveyGeometry{2.5, -5.0, zel::ChannelGeometry::FirstOnly}));
    EXPECT_TRUE(dialogs.shownGeometryProblem.isEmpty());
    // A value written by hand that cannot be used: said in the status bar and
    // the dialog, the default used meanwhile; a comma is a decimal point.
    ini.setValue("Survey/Spacing", "2m");
    ini.setValue("Survey/X0", "-5,5");
    ini.sync();
    form->SurveyGeometry1->trigger();
    EXPECT_EQ(dialogs.shownGeometry, (zel::SurveyGeometry{1.0, -5.5, zel::ChannelGeometry::FirstOnly}));
    EXPECT_TRUE(dialogs.shownGeometryProblem.contains("[Survey] Spacing=2m")) << dialogs.shownGeometryProblem.toStdString();
    EXPECT_TRUE(form->StatusBar1->currentMessage().contains(QDir::toNativeSeparators(ini.fileName()) + ": неверное значение [Survey] Spacing=2m"));
    zel::writeSurveyGeometry(ini, {2.5, -5.0, zel::ChannelGeometry::FirstOnly});

    load(zeltest::dataFile("sample.zel"));
    ASSERT_TRUE(form->ExportRes2DInv1->isEnabled());
    const QString dat = dir.filePath("line.dat");
    dialogs.fileAnswers << dat;
    form->ExportRes2DInv1->trigger();
    EXPECT_TRUE(dialogs.fileDialogs.last().fileName.endsWith("/sample Survey.dat"));
    EXPECT_TRUE(dialogs.fileDialogSaves.last() && dialogs.fileDialogs.last().overwritePrompt);  // asks before replacing
    EXPECT_EQ(dialogs.fileDialogs.last().filter, "Res2DInv (*.dat)|*.dat");
    // Electrode 30 at -5 + 30 · 2.5 m.
    EXPECT_TRUE(zel::readWholeFile(dat).contains(" 70.0 0.0 "));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    // The reading has no spacing of its own: the message says the default placed it.
    EXPECT_EQ(form->StatusBar1->currentMessage(), "Записан файл " + QDir::toNativeSeparators(dat)
                                                       + "; расстояние между электродами 2,5 м: значение по умолчанию, для этого чтения не задано");

    // Only plain measurements: nothing to invert, said before a file is asked for.
    std::vector<zel::MeasurementRecord> plain(3);
    for (auto& r : plain)
        r.Year = 2025;
    const QString noPositions = dir.filePath("plain.zel");
    zel::writeWholeFile(noPositions, zeltest::dump(plain));
    load(noPositions);
    const qsizetype asked = dialogs.fileDialogs.size();
    form->ExportOhm1->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages.at(0).text.contains("положениями электродов"));
    EXPECT_EQ(dialogs.fileDialogs.size(), asked);
}
