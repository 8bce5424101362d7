#include "FakeDialogs.h"
#include "TestDumps.h"
#include "WindowInDir.h"

#include "app/Ab.h"
#include "app/HelpWindow.h"
#include "app/HtmlHlp.h"
#include "app/PlotWindows.h"
#include "app/SequenceDialog.h"
#include "app/InversionDialog.h"
#include "app/SectionWindow.h"
#include "app/SurveyDialog.h"
#include "texts/Texts.h"
#include "plots/Plots.h"
#include "app/SurveyCommands.h"
#include "app/ZelMain.h"
#include "data/DataFile.h"
#include "serial/PseudoTerminal.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QDirIterator>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QRegularExpression>
#include <QSettings>
#include <QStatusBar>
#include <QTextBrowser>

#include <QPushButton>
#include <qcustomplot.h>

#include <gtest/gtest.h>

namespace {

using zel::texts::Language;

bool russian(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x400 && c.unicode() < 0x500; });
}

// Every text of the table, each with arguments that reach all its branches.
QStringList everyTableText()
{
    using namespace zel::texts;
    QStringList texts;
    for (int id = 0; id <= int(zel::LineId::FirmwareChecksumDiffers); ++id) {
        zel::ReportLine line = zel::ReportLine::plain(zel::LineId(id), 7);
        texts << lineText(line) << hintFor(line.id).text;
        line.stamp = QStringLiteral("07.12.2026 10:11:12");
        texts << lineText(line);
    }
    for (int id = 0; id <= int(zel::ErrorId::SequenceElectrodeRange); ++id)
        texts << errorText(zel::ZelError(zel::ErrorId(id), {"1", "2", "3", "4", "5", "6"}));
    using R = zel::ComPrompt::Reason;
    for (const auto kind : {zel::ComPrompt::Kind::OpenFailed, zel::ComPrompt::Kind::ResponseTimeout,
                            zel::ComPrompt::Kind::PortInUse})
        for (const R reason : {R::NoDevice, R::PermissionDenied, R::Busy, R::Unknown})
            texts << comPromptText(zel::ComPrompt{kind, 3, reason, QStringLiteral("errno 2")});
    const auto stream = [](const QStringList& args) { return zel::ZelError(zel::ErrorId::StreamRead, args); };
    for (const auto& error : {std::optional<zel::ZelError>(), std::optional(stream({"2", "10", "", "3"})),
                              std::optional(stream({"3", "10", "-5", "3"})), std::optional(stream({"1", "0", "99", "3"}))})
        texts << fileProblem("f.zel", 10, error);
    texts << fileProblem("f.zel", 0, std::nullopt) << noFreePortsHelp() << firmwareSure()
          << firmwareModule("M", "\r") << headerRejected() << workbookNotOpened("b.xlsx") << openFolder()
          << surveyGeometryCommand() << filesWritten({"a", "b"}) << profileGraphTitle() << pseudosectionTitle()
          << logarithmicAxis() << allRecords() << saveImage() << sequenceTitle() << sequenceCount(3)
          << sequenceUploadQuestion(3) << readingKept("r.zel") << readingNotKept("full") << readingNotKeptByTool("full") << recentReadings()
          << openReadingsFolder() << noReadingsYet() << helpLink() << receivedProgress(1, 2) << sentProgress(1, 2)
          << dialogueRunning();
    for (int field = 0; field < 4; ++field)
        texts << sequenceField(field);
    return texts;
}

// What a person reads in a window and everything in it.
QStringList shownTexts(QWidget& window)
{
    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    widgets << &window;
    QStringList texts;
    for (QWidget* w : widgets) {
        texts << w->windowTitle() << w->toolTip();
        if (auto* label = qobject_cast<QLabel*>(w))
            texts << label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            texts << button->text();
        if (auto* box = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < box->count(); ++i)
                texts << box->itemText(i);
        if (auto* list = qobject_cast<QListWidget*>(w))
            for (int i = 0; i < list->count(); ++i)
                texts << list->item(i)->text();
        if (auto* browser = qobject_cast<QTextBrowser*>(w))
            texts << browser->toPlainText() << browser->documentTitle();
        if (auto* menu = qobject_cast<QMenu*>(w))
            texts << menu->title();
        if (auto* spin = qobject_cast<QDoubleSpinBox*>(w))
            texts << spin->suffix();
        if (auto* status = qobject_cast<QStatusBar*>(w))
            texts << status->currentMessage();
    }
    for (QAction* a : window.findChildren<QAction*>())
        if (a->objectName() != QLatin1String("Russian1"))  // the language named in itself
            texts << a->text() << a->toolTip();
    return texts;
}

// The texts with a Russian letter, one per line: empty when there is none.
std::string russianOf(const QStringList& texts)
{
    QStringList found;
    for (const QString& t : texts)
        if (russian(t))
            found << t;
    return found.join(QLatin1Char('\n')).toStdString();
}

} // namespace

// The English translation leaves no Russian letter in any text of the table;
// the firmware lines keep their blanks; Russian comes back whole.
TEST(Language, EveryTextOfTheTableInEnglishAndBack)
{
    ASSERT_TRUE(zel::texts::useLanguage(Language::English));
    const QStringList english = everyTableText();
    EXPECT_EQ(russianOf(english), "");
    EXPECT_EQ(zel::texts::lineText(zel::ReportLine::plain(zel::LineId::FirmwareLoaded)), " Program loaded");
    EXPECT_EQ(zel::texts::lineText(zel::ReportLine::plain(zel::LineId::FirmwareChecksumDiffers)),
              "Checksum does not match ");
    EXPECT_EQ(QCoreApplication::translate("QObject", "%n negative value(s) drawn hollow", nullptr, 1),
              "1 negative value drawn hollow");
    zel::texts::useLanguage(Language::Russian);
    EXPECT_EQ(zel::texts::lineText(zel::ReportLine::plain(zel::LineId::NoAnswer)), "Время ожидания истекло (1)");
    zel::texts::installQtTranslations(QLocale::c());
}

// zeltool's messages follow the messages' locale as POSIX orders it.
TEST(Language, EnvironmentChoosesRussianOnlyForARussianLocale)
{
    const struct {
        const char* all;
        const char* messages;
        const char* lang;
        Language expected;
    } cases[] = {
        {"", "", "ru_RU.UTF-8", Language::Russian},  {"", "", "en_GB.UTF-8", Language::English},
        {"", "", "C", Language::English},            {"C.UTF-8", "", "ru_RU.UTF-8", Language::English},
        {"", "ru_RU.UTF-8", "de_DE", Language::Russian}, {"ru_UA.UTF-8", "en_US", "C", Language::Russian},
    };
    const QByteArray kept[] = {qgetenv("LC_ALL"), qgetenv("LC_MESSAGES"), qgetenv("LANG")};
    for (const auto& c : cases) {
        qputenv("LC_ALL", c.all);
        qputenv("LC_MESSAGES", c.messages);
        qputenv("LANG", c.lang);
        EXPECT_EQ(zel::texts::languageOfEnvironment(), c.expected) << c.all << "|" << c.messages << "|" << c.lang;
    }
    qputenv("LC_ALL", kept[0]);
    qputenv("LC_MESSAGES", kept[1]);
    qputenv("LANG", kept[2]);
}

// Each Russian help topic has its English one, which links to the same
// topics and has no Russian letter.
TEST(Language, EnglishHelpTopicsBesideTheRussianOnes)
{
    const QRegularExpression link(QStringLiteral("href=\"(H\\d\\d\\.htm)\""));
    const auto links = [&](const QString& text) {
        QStringList found;
        for (auto m = link.globalMatch(text); m.hasNext();)
            found << m.next().captured(1);
        return found;
    };
    int topics = 0;
    for (QDirIterator it(":/help", {"H*.htm"}, QDir::Files); it.hasNext(); ++topics) {
        const QString russianTopic = QString::fromUtf8(zel::readWholeFile(it.next()));
        const QString englishTopic = QString::fromUtf8(zel::readWholeFile(":/help/en/" + it.fileName()));
        EXPECT_EQ(russianOf({englishTopic}), "") << it.fileName().toStdString();
        EXPECT_EQ(links(englishTopic), links(russianTopic)) << it.fileName().toStdString();
    }
    EXPECT_EQ(topics, 12);
}

class LanguageWindow : public ::testing::Test, protected WindowInDir {
protected:
    void SetUp() override
    {
        writeIni("[Ports]\nCOM3=" + pty.slavePath().toLocal8Bit() + "\n");
        start();
    }
    void TearDown() override
    {
        form.reset();
        zel::texts::useLanguage(Language::Russian);
        zel::texts::installQtTranslations(QLocale::c());
    }
    void start()
    {
        form.reset();
        form = std::make_unique<TForm1>(&dialogs, QStringList());
        form->setReadingsFolder(dir.filePath("readings"));
        form->setHelpLoader(std::make_unique<THtmlHelpLoader>([] { return std::nullopt; }));
    }

    // The files the program writes of the loaded data.
    QList<QByteArray> writtenFiles(const QString& tag)
    {
        const QString base = dir.filePath(tag);
        dialogs.fileAnswers << base + ".zel" << base + ".txt" << base + ".csv";
        form->ToolButton8Click();
        form->Save1Click();
        form->ExportCsv1->trigger();
        return {zel::readWholeFile(base + ".zel"), zel::readWholeFile(base + ".txt"), zel::readWholeFile(base + ".csv")};
    }

    zel::PseudoTerminal pty;
    FakeDialogs dialogs;
    std::unique_ptr<TForm1> form;
};

// "Help" → "Language" → "English" turns every open window English at once,
// keeps the choice for the next start, and changes no byte of a file.
TEST_F(LanguageWindow, EnglishFromTheMenuReachesEveryWindowAndNoFile)
{
    // A reading nobody answers: its list line and the hint of what to check.
    form->ToolButton2Click();
    ASSERT_EQ(listLines(*form), QStringList({"Время ожидания истекло (1)"}));
    dialogs.fileAnswers << zeltest::dataFile("sample.zel");
    form->ToolButton1Click();
    form->ShowHelpTopic(3);
    form->ProfileGraph1->trigger();
    form->Pseudosection1->trigger();
    const QList<QByteArray> russianFiles = writtenFiles("ru");

    form->English1->trigger();
    EXPECT_TRUE(form->English1->isChecked());
    EXPECT_EQ(QSettings("Zel-Terravox.ini", QSettings::IniFormat).value("Interface/Language").toString(), "en");
    EXPECT_EQ(listLines(*form).first(), "Number of measurements 15");
    EXPECT_EQ(russianOf(shownTexts(*form)), "");
    EXPECT_EQ(russianOf(shownTexts(*form->AboutBox)), "");
    {
        // The dialogs and windows made anew (they go before the form does).
        SurveyDialogInput lines;
        lines.profiles = {{1, 1}};
        TSurveyDialog geometry(lines);
        TSequenceDialog generator([](auto&, auto&) { return QString(); }, [](auto&, auto&) { return QString(); });
        TInversionDialog inversion(InversionChoice{}, {{1, 1}});
        TSectionWindow section(form->document(), dialogs, nullptr);
        EXPECT_EQ(russianOf(shownTexts(geometry) + shownTexts(generator) + shownTexts(inversion) + shownTexts(section)), "");
    }
    EXPECT_TRUE(form->HelpWindow->browser()->source().toString().endsWith("/en/H03.htm"));
    EXPECT_EQ(writtenFiles("en"), russianFiles);
    ASSERT_EQ(dialogs.fileDialogs.size(), 7);
    EXPECT_EQ(dialogs.fileDialogs.at(4).filter, "ZEL-TERRAVOX_New file (*.zel)|*.zel");
    EXPECT_EQ(dialogs.messages.size(), 0);

    // A failure's hint in English, and a file that is not a station memory.
    form->ToolButton2Click();
    EXPECT_EQ(form->StatusBar1->currentMessage().left(30), "The station does not answer: c");
    const QString junk = dir.filePath("junk.zel");
    zel::writeWholeFile(junk, "not a station memory");
    dialogs.fileAnswers << junk;
    form->ToolButton1Click();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_FALSE(russian(dialogs.messages.first().text)) << dialogs.messages.first().text.toStdString();

    // The next start speaks English from its first message; Russian comes back from the menu.
    start();
    EXPECT_TRUE(form->English1->isChecked());
    EXPECT_EQ(form->HelpLink1->text(), "<a href=\"help\">Help</a>");
    form->Russian1->trigger();
    EXPECT_EQ(form->HelpLink1->text(), "<a href=\"help\">Справка</a>");
    EXPECT_FALSE(form->StatusBar1->currentMessage().contains("missing")) << form->StatusBar1->currentMessage().toStdString();
    // The inversion's refusals, said by the window in Russian; zeltool's own words otherwise.
    EXPECT_EQ(zel::texts::inversionRefusal("fewer than 4 data"), "меньше 4 значений");
    EXPECT_EQ(zel::texts::inversionRefusal("a reason of its own"), "a reason of its own");
    EXPECT_EQ(QSettings("Zel-Terravox.ini", QSettings::IniFormat).value("Interface/Language").toString(), "ru");
    // What the program adds in English has its Russian too: plots, the generator.
    dialogs.fileAnswers << zeltest::dataFile("sample.zel");
    form->ToolButton1Click();
    form->ProfileGraph1->trigger();
    EXPECT_EQ(form->survey().profileWindow()->SaveImageButton->text(), "Сохранить изображение...");
    EXPECT_EQ(form->survey().profileWindow()->Plot->xAxis->label(), "Пикет");
    TSequenceDialog russianGenerator([](auto&, auto&) { return QString(); }, [](auto&, auto&) { return QString(); });
    EXPECT_EQ(russianGenerator.UploadButton->text(), "Записать в станцию...");
}

// A first start (no language stored) in Russian under any locale: Qt's own
// buttons, the generator's arrays and the data check's flags are Russian, and
// plot numbers have no group separator in either language.
TEST_F(LanguageWindow, FirstStartIsRussianThroughout)
{
    QDialogButtonBox close(QDialogButtonBox::Close);
    EXPECT_EQ(close.button(QDialogButtonBox::Close)->text(), "Закрыть");
    TSequenceDialog generator([](auto&, auto&) { return QString(); }, [](auto&, auto&) { return QString(); });
    EXPECT_EQ(generator.ArrayBox->itemText(2), "Диполь-диполь");
    EXPECT_EQ(zel::plotLocale(false).toString(1000.5), "1000,5");
    EXPECT_EQ(zel::plotLocale(true).toString(1000.5), "1000.5");
}

// Under a Russian locale the toolkit's own buttons speak Russian.
TEST(QtTranslations, RussianButtonsUnderARussianLocale)
{
    ASSERT_TRUE(zel::texts::installQtTranslations(QLocale(QLocale::Russian, QLocale::Russia)));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Отмена");
    zel::texts::installQtTranslations(QLocale::c());
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel");
}
