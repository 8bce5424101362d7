// The window's data commands (files, view, text, workbooks), help, About and
// language; the form's widgets, the station commands and the survey menu
// live in ZelMainForm, ZelMainStation and ZelMainSurvey.
#include "ZelMain.h"


#include "Ab.h"
#include "HelpWindow.h"
#include "HtmlHlp.h"
#include "Images.h"
#include "SectionWindow.h"

#include "data/Cp1251.h"
#include "data/DataFile.h"
#include "data/Settings.h"
#include "data/TextTable.h"
#include "data/ZelError.h"
#include "document/Document.h"
#include "export/ExelCall.h"
#include "export/XlsxWriter.h"
#include "protocol/DialogueRunner.h"
#include "serial/QCCom32.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>

const QString kApplicationTitle = QStringLiteral("ZEL-TERRAVOXNew");

QString fileNameOfStamp(const QString& prefix, const QByteArray& stamp, const char* extension)
{
    QString time = zel::fromCp1251(stamp);
    for (QChar& c : time)
        if (!c.isLetterOrNumber() && c != QLatin1Char(' ') && c != QLatin1Char('.') && c != QLatin1Char('-'))
            c = QLatin1Char('-');
    return (prefix + QLatin1Char(' ') + time.trimmed()).trimmed() + QLatin1Char('.') + QLatin1String(extension);
}

TForm1::TForm1(UserDialogs* dialogs, std::optional<QStringList> serialDevices, QWidget* parent)
    : QMainWindow(parent)
    , m_serialDevices(std::move(serialDevices))
{
    if (!dialogs) {
        m_ownDialogs = std::make_unique<QtUserDialogs>();
        dialogs = m_ownDialogs.get();
    }
    m_dialogs = dialogs;

    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("ZEL - TERRAVOX"));
    setWindowIcon(emblemIcon());
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    // The form's place and size, moved and shrunk into a smaller screen so
    // that the status bar, where progress shows, stays in sight.
    const QRect available = screen() ? screen()->availableGeometry() : QRect(0, 0, 1920, 1080);
    setGeometry(fitIntoScreen(QRect(190, 110, 997, 696), available, kTypicalFrame));

    buildMenu();
    buildToolBar();
    buildListAndStatusBar();

    Doc = new zel::Document(this);
    connect(Doc, &zel::Document::changed, this, &TForm1::UpdateActions);
    connect(Doc, &zel::Document::exclusionsNotKept, this,
            [this](const zel::ZelError& e) { ShowError(zel::texts::errorText(e)); });
    connect(Doc, &zel::Document::linesNotKept, this, [this](const zel::ZelError& e) { ShowError(zel::texts::errorText(e)); });
    // What lies beside a loaded file and cannot be used is said; the file is not applied.
    connect(Doc, &zel::Document::exclusionsRefused, this, [this](int line) {
        m_dialogs->showMessage(this, MessageKind::Warning, kApplicationTitle,
                               zel::texts::exclusionsBadLine(QDir::toNativeSeparators(zel::exclusionsFileOf(Doc->path())), line));
    });
    connect(Doc, &zel::Document::linesRefused, this, [this](const zel::ZelError& e) {
        m_dialogs->showMessage(this, MessageKind::Warning, kApplicationTitle,
                               zel::texts::errorText(e) + QStringLiteral("\n\n") + zel::texts::surveyDefaultUsed());
    });

    OpenDialog2.options.filter = QStringLiteral("File A,B,M,N|*.txt|All|*.*");
    SaveDialog1.save = true;
    SaveDialog2.save = true;
    SaveDialog3.save = true;  // an export asks before it replaces a file

    FormCreate();
    AboutBox = new TAboutBox(this);
    m_helpLoader = std::make_unique<THtmlHelpLoader>();
}

const zel::Reading& TForm1::Data() const { return Doc->reading(); }

void TForm1::setHelpLoader(std::unique_ptr<THtmlHelpLoader> loader) { m_helpLoader = std::move(loader); }

TForm1::~TForm1()
{
    if (!m_closed)
        FormClose();
}


void TForm1::ShowError(const QString& text)
{
    m_dialogs->showMessage(this, MessageKind::Error, kApplicationTitle, zel::withFullStop(text));
}

void TForm1::AddLine(const QString& line) { ListBox1->addItem(line); }

void TForm1::AddReportLine(const zel::ReportLine& line)
{
    // The item keeps the line itself, so that it can be shown again in another language.
    auto* item = new QListWidgetItem(zel::texts::lineText(line), ListBox1);
    item->setData(Qt::UserRole, QVariant::fromValue(line));
}

void TForm1::showHint()
{
    if (!m_hintLine)
        return;
    StatusBar1->showMessage(zel::texts::hintFor(*m_hintLine).text);
    HelpLink1->show();
}

void TForm1::FormCreate()
{
    ComboBox1->setCurrentIndex(-1);
    Ini = new QSettings(zel::settings::fileIn(QDir::currentPath()), zel::settings::iniFormat(), this);
    // The language chosen in an earlier run, before the first message.
    if (const auto language = zel::texts::storedLanguage(*Ini))
        applyLanguage(*language);
    else
        zel::texts::useLanguage(zel::texts::Language::Russian);  // Qt's own dialogs in Russian too
    setUpPort();

    const QString startDir = QDir::currentPath();
    SaveDialog1.options.initialDir = startDir;
    OpenDialog1.options.initialDir = startDir;
    UpdateActions();
}

void TForm1::FormClose()
{
    m_closed = true;
    Runner->closeDown();
    QCCom->SendString("$GB");  // goes out only when a dialogue left the port open
    QCCom->Close();
    Timer1->stop();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    // A running inversion is stopped on the user's word: what it has is
    // lost, and nothing of it was written.
    if (inversionRunning() && !m_closed) {
        if (!m_dialogs->askYesNo(this, MessageKind::Question, kApplicationTitle, zel::texts::stopInversionAndClose())) {
            event->ignore();
            return;
        }
        SectionWindow->stop();
        SectionWindow->waitForWorker();
    }
    // A running dialogue is stopped first, so that the station hears "$GB"
    // and what a reading got is kept; the window closes when it has ended.
    if (DialogueRunning() && !m_closed) {
        event->ignore();
        if (!m_closeAfterDialogue
            && m_dialogs->askYesNo(this, MessageKind::Question, kApplicationTitle,
                                   zel::texts::stopAndClose())) {
            m_closeAfterDialogue = true;
            StopButton1Click();
        }
        return;
    }
    if (!m_closed)
        FormClose();
    event->accept();
}

bool TForm1::ReadDump(const QString& source) { return showDecoding(Doc->decode(), source); }

bool TForm1::showDecoding(const zel::DumpDecoding& d, const QString& source)
{
    for (const zel::ReportLine& line : d.lines)
        AddReportLine(line);
    const zel::Reading& data = Doc->reading();
    // A file says which file and what was wrong with it, below the message.
    const QString problem = source.isEmpty() || data.decodedWhole
        ? QString()
        : zel::texts::fileProblem(QDir::toNativeSeparators(source), data.rawDump.size(), d.error);
    const QString more = problem.isEmpty() ? QString() : QStringLiteral("\n\n") + problem;
    if (d.outcome == zel::DumpDecoding::Outcome::Rejected)
        m_dialogs->showMessage(this, MessageKind::Plain, kApplicationTitle, zel::texts::headerRejected() + more);
    else if (d.error)
        ShowError(zel::withFullStop(zel::texts::errorText(*d.error)) + more);
    return data.decodedWhole;
}

void TForm1::ToolButton1Click()
{
    if (refuseDuringDialogue())
        return;
    OpenDialog1.options.filter = tr("Файл ZEL-TERRAVOX (*.zel)|*.zel");
    OpenDialog1.options.defaultExt = QStringLiteral("zel");
    if (!OpenDialog1.Execute(*m_dialogs, this))
        return;
    LoadFile(OpenDialog1.FileName());
}

void TForm1::LoadFile(const QString& path)
{
    guarded([&] {
        // A file that cannot be read leaves the current data as it is.
        QByteArray bytes = zel::readWholeFile(path);
        ListBox1->clear();
        if (!showDecoding(Doc->load(std::move(bytes), path), path))
            return;
        StatusBar1->showMessage(zel::texts::fileLoaded(QDir::toNativeSeparators(path), Data().count));
    });
}

void TForm1::ToolButton8Click()
{
    if (refuseDuringDialogue())
        return;
    SaveDialog1.options.overwritePrompt = true;
    SaveDialog1.options.filter = tr("Файл ZEL-TERRAVOX_New (*.zel)|*.zel");
    SaveDialog1.options.defaultExt = QStringLiteral("zel");
    SaveDialog1.suggestExtension();
    if (!SaveDialog1.Execute(*m_dialogs, this))
        return;
    guarded([this] {
        zel::writeWholeFile(SaveDialog1.FileName(), Data().rawDump);
        Doc->savedAs(SaveDialog1.FileName());
    });
}

void TForm1::ToolButton6Click()
{
    if (refuseDuringDialogue())
        return;
    guarded([this] {
        QStringList lines;
        QString error;
        try {
            Doc->setCountAndHeader(Data().count, zel::readHeaderFields(Data().decoded));
            zel::appendViewLines(Data().decoded, Data().count, zel::DateTimeSeparators::of(QLocale()), lines);
        } catch (const zel::ZelError& e) {
            error = zel::texts::errorText(e);
        }
        if (!lines.isEmpty()) {
            ListBox1->clear();
            ListBox1->addItems(lines);
        }
        if (!error.isEmpty())
            ShowError(error);
    });
}

void TForm1::Save1Click()
{
    if (refuseDuringDialogue())
        return;
    SaveDialog1.options.overwritePrompt = true;
    SaveDialog1.options.filter = tr("Текстовый файл (*.txt)|*.txt");
    SaveDialog1.options.defaultExt = QStringLiteral("txt");
    // The name chosen last for a data file is offered as a text file: Enter
    // can never replace a .zel file with a table.
    SaveDialog1.suggestExtension();
    if (!SaveDialog1.Execute(*m_dialogs, this))
        return;
    guarded([this] {
        // The table is made first: without decoded data no file is created.
        const QByteArray bytes =
            zel::textFileBytes(Data().decoded, Data().count, zel::DateTimeSeparators::of(QLocale()));
        zel::writeWholeFile(SaveDialog1.FileName(), bytes);
    });
}

void TForm1::OpenRecentReading(const QString& path) { OpenDataFile(path); }

void TForm1::OpenDataFile(const QString& path)
{
    if (refuseDuringDialogue())
        return;
    OpenDialog1.FileName() = path;
    LoadFile(path);
}

void TForm1::OpenReadingsFolder()
{
    QDir().mkpath(m_readings.folder());
    if (!m_dialogs->openDocument(m_readings.folder()))
        m_dialogs->showMessage(this, MessageKind::Information, kApplicationTitle,
                               zel::texts::folderNotOpened(QDir::toNativeSeparators(m_readings.folder())));
}

void TForm1::fillRecentReadings()
{
    RecentReadings1->clear();
    const QStringList recent = m_readings.recent(kRecentReadings);
    for (const QString& path : recent) {
        QAction* a = RecentReadings1->addAction(QFileInfo(path).fileName());
        a->setData(path);
        connect(a, &QAction::triggered, this, [this, path] { OpenRecentReading(path); });
    }
    if (recent.isEmpty())
        RecentReadings1->addAction(zel::texts::noReadingsYet())->setEnabled(false);
}

void TForm1::ToolButton5Click() { ExelCall(zel::kZelSoloLayout); }
void TForm1::ToolButton9Click() { ExelCall(zel::kTerravoxLayout); }

namespace {

// "ZEL-SOLO 07.12.2026 10-11-12.xlsx": the layout and the reading's time stamp.
QString workbookName(int layout, const QByteArray& stamp)
{
    return fileNameOfStamp(layout == zel::kTerravoxLayout ? QStringLiteral("TERRAVOX") : QStringLiteral("ZEL-SOLO"),
                           stamp, "xlsx");
}

} // namespace

void TForm1::ExelCall(int layout)
{
    if (refuseDuringDialogue())
        return;
    guarded([&] {
        // Without decoded data the export ends here, before any file is made.
        const zel::HeaderTexts headers = zel::readHeaderFields(Data().decoded);
        SaveDialog2.offerNew(tr("Книга Excel (*.xlsx)|*.xlsx"), QStringLiteral("xlsx"), workbookName(layout, headers.time));
        if (!SaveDialog2.Execute(*m_dialogs, this))
            return;
        const zel::SheetExport exported = zel::ExelCall(layout, Data().decoded, QLocale());
        Doc->setCountAndHeader(exported.count, exported.headers);
        const QString book = SaveDialog2.FileName();
        zel::writeXlsx(exported.sheet, book);
        // Without a spreadsheet application the workbook is there all the same: say where.
        if (!m_dialogs->openDocument(book)
            && m_dialogs->askWithButton(this, MessageKind::Information, kApplicationTitle,
                                        zel::texts::workbookNotOpened(QDir::toNativeSeparators(book)),
                                        zel::texts::openFolder()))
            m_dialogs->openDocument(QFileInfo(book).absolutePath());
        if (exported.error)
            ShowError(zel::texts::errorText(*exported.error));
    });
}

void TForm1::Contens1Click() { ShowHelpTopic(1); }

void TForm1::ShowHelpTopic(int topic)
{
    // The topic in the help viewer; without a viewer (or without the help
    // file) in the program's own help. The help file is Russian: in English
    // the program's own help shows the topic.
    const bool english = zel::texts::currentLanguage() == zel::texts::Language::English;
    if (!english
        && m_helpLoader->HtmlHelp(this, helpTopicText(kHelpFile, topic), THtmlHelpLoader::kDisplayTopic, 0) != 0)
        return;
    if (!HelpWindow)
        HelpWindow = new THelpWindow(this);
    HelpWindow->showTopic(topic);
}

void TForm1::About2Click() { AboutBox->exec(); }

void TForm1::Russian1Click() { SetLanguage(zel::texts::Language::Russian); }
void TForm1::English1Click() { SetLanguage(zel::texts::Language::English); }

void TForm1::SetLanguage(zel::texts::Language language)
{
    zel::texts::storeLanguage(*Ini, language);
    saveSettings();
    applyLanguage(language);
}

void TForm1::applyLanguage(zel::texts::Language language)
{
    const bool translated = zel::texts::useLanguage(language);
    // The widgets' LanguageChange events are posted: deliver them now, so
    // that every open window speaks the new language when this returns.
    // The window itself only changes its language here.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    RetranslateUi();
    if (!translated)
        StatusBar1->showMessage(QStringLiteral("The English translation is missing from this build."));
}

void TForm1::saveSettings()
{
    // A settings file that cannot be written is said once a run: the
    // choices then last only until the program ends.
    if (const auto file = zel::settings::notWritten(*Ini); file && !m_settingsNotWrittenSaid) {
        m_settingsNotWrittenSaid = true;
        m_dialogs->showMessage(this, MessageKind::Warning, kApplicationTitle,
                               zel::texts::settingsNotWritten(QDir::toNativeSeparators(*file)));
    }
}

