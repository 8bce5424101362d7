// The window: its command groups wired to the document and to the list and
// status bar, help, About, the language and closing. The widgets are laid out
// in ZelMainForm.
#include "ZelMain.h"

#include "Ab.h"
#include "FileCommands.h"
#include "HelpWindow.h"
#include "HtmlHlp.h"
#include "Images.h"
#include "NumberLocale.h"
#include "Screens.h"
#include "SurveyCommands.h"

#include "data/Settings.h"
#include "document/Document.h"
#include "export/ExelCall.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QToolButton>

TForm1::TForm1(UserDialogs* dialogs, std::optional<QStringList> serialDevices, QWidget* parent)
    : QMainWindow(parent)
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
    m_document = new zel::Document(this);
    m_files = new TFileCommands(*this, this);
    m_survey = new TSurveyCommands(*this, this);
    buildToolBar();
    m_station = new TStationCommands(*this, ComboBox1, ComboBox2, std::move(serialDevices), this);
    buildMenu();
    buildListAndStatusBar();
    // The form's place and size, wide enough for a row of the table where the
    // screen allows, moved and shrunk into a smaller screen so that the
    // status bar, where progress shows, stays in sight.
    const int row = rowWidth(QString(kWidestRow, QLatin1Char('0'))) + ListBox1->verticalScrollBar()->sizeHint().width() + 2 * ListBox1->frameWidth();
    const QRect available = screen() ? screen()->availableGeometry() : QRect(0, 0, 1920, 1080);
    setGeometry(fitIntoScreen(QRect(190, 110, std::max(997, row), 696), available, kTypicalFrame));
    followProgramLanguage();
    connect(m_station, &TStationCommands::dialogueStarted, this, &TForm1::dialogueStarted);
    connect(m_station, &TStationCommands::progress, this, &TForm1::dialogueProgress);
    connect(m_station, &TStationCommands::dialogueEnded, this, &TForm1::dialogueEnded);
    connect(m_document, &zel::Document::changed, this, &TForm1::UpdateActions);
    connect(m_document, &zel::Document::exclusionsNotKept, this,
            [this](const zel::ZelError& e) { showError(zel::texts::errorText(e)); });
    connect(m_document, &zel::Document::linesNotKept, this, [this](const zel::ZelError& e) { showError(zel::texts::errorText(e)); });
    connect(m_document, &zel::Document::spacingsNotKept, this, [this](const zel::ZelError& e) { showError(zel::texts::errorText(e)); });
    // What lies beside a loaded file and cannot be used is said; the file is not applied.
    connect(m_document, &zel::Document::exclusionsRefused, this, [this](int line) {
        m_dialogs->showMessage(this, MessageKind::Warning, kApplicationTitle,
                               zel::texts::exclusionsBadLine(QDir::toNativeSeparators(zel::exclusionsFileOf(m_document->path())), line));
    });
    connect(m_document, &zel::Document::spacingsRefused, this, [this](const zel::ZelError& e) {
        m_dialogs->showMessage(this, MessageKind::Warning, kApplicationTitle, zel::withFullStop(zel::texts::errorText(e)));
    });
    connect(m_document, &zel::Document::linesRefused, this, [this](const zel::ZelError& e) {
        m_dialogs->showMessage(this, MessageKind::Warning, kApplicationTitle,
                               zel::texts::errorText(e) + QStringLiteral("\n\n") + zel::texts::surveyDefaultUsed());
    });

    FormCreate();
    AboutBox = new TAboutBox(this);
    m_helpLoader = std::make_unique<THtmlHelpLoader>();
}

TForm1::~TForm1()
{
    if (!m_closed)
        FormClose();
}

const zel::Reading& TForm1::Data() const { return m_document->reading(); }

void TForm1::setHelpLoader(std::unique_ptr<THtmlHelpLoader> loader) { m_helpLoader = std::move(loader); }

void TForm1::FormCreate()
{
    ComboBox1->setCurrentIndex(-1);
    m_ini = new QSettings(zel::settings::fileIn(QDir::currentPath()), zel::settings::iniFormat(), this);
    // The survey's defaults follow the user, not the folder the program starts
    // in; a folder's file that has them hands them over the first time.
    m_user = zel::settings::userSettings();
    if (zel::settings::takeOverUserSections(*m_ini, *m_user))
        saveSettings();
    // The language chosen in an earlier run, before the first message.
    if (const auto language = zel::texts::storedLanguage(*m_ini))
        applyLanguage(*language);
    else
        zel::texts::useLanguage(zel::texts::Language::Russian);  // Qt's own dialogs in Russian too
    m_station->setUp();
    UpdateActions();
}

void TForm1::FormClose()
{
    m_closed = true;
    m_station->closeDown();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    // A running job (a section, a comparison, all lines) stops on the user's word.
    if (m_survey->inversionRunning() && !m_closed) {
        if (!m_dialogs->askYesNo(this, MessageKind::Question, windowTitle(), zel::texts::stopInversionAndClose())) {
            event->ignore();
            return;
        }
        m_survey->stopInversion();
    }
    // A running dialogue is stopped first, so that the station hears "$GB"
    // and what a reading got is kept; the window closes when it has ended.
    if (DialogueRunning() && !m_closed) {
        event->ignore();
        if (!m_closeAfterDialogue
            && m_dialogs->askYesNo(this, MessageKind::Question, kApplicationTitle, zel::texts::stopAndClose())) {
            m_closeAfterDialogue = true;
            m_station->stop();
        }
        return;
    }
    if (!m_closed)
        FormClose();
    event->accept();
}

void TForm1::ToolButton1Click() { m_files->load(); }
void TForm1::ToolButton2Click() { m_station->read(); }
void TForm1::ToolButton5Click() { m_files->workbook(zel::kZelSoloLayout); }
void TForm1::ToolButton6Click() { m_files->view(); }
void TForm1::ToolButton8Click() { m_files->saveData(); }
void TForm1::ToolButton9Click() { m_files->workbook(zel::kTerravoxLayout); }
void TForm1::ToolButton10Click() { m_station->uploadTableFile(); }
void TForm1::ToolButton12Click() { m_station->uploadFirmware(); }
void TForm1::Save1Click() { m_files->saveText(); }
void TForm1::ComboBox1Change() { m_station->portChosen(); }
void TForm1::ComboBox2Change() { m_station->speedChosen(); }
void TForm1::OpenDataFile(const QString& path) { m_files->openDataFile(path); }
bool TForm1::ReadDump(const QString& source) { return showDecoding(m_document->decode(), source); }

void TForm1::clearList() { ListBox1->clear(); }

void TForm1::addLines(const QStringList& lines)
{
    addRows(lines);
}

void TForm1::addReportLine(const zel::ReportLine& line)
{
    // The item keeps the line itself, so that it can be shown again in another language.
    addRows({zel::texts::lineText(line)});
    ListBox1->item(ListBox1->count() - 1)->setData(Qt::UserRole, QVariant::fromValue(line));
}

bool TForm1::showDecoding(const zel::DumpDecoding& d, const QString& source)
{
    for (const zel::ReportLine& line : d.lines)
        addReportLine(line);
    const zel::Reading& data = m_document->reading();
    // A file says which file and what was wrong with it, below the message.
    const QString problem = source.isEmpty() || data.decodedWhole
        ? QString()
        : zel::texts::fileProblem(QDir::toNativeSeparators(source), data.rawDump.size(), d.error);
    const QString more = problem.isEmpty() ? QString() : QStringLiteral("\n\n") + problem;
    if (d.outcome == zel::DumpDecoding::Outcome::Rejected)
        m_dialogs->showMessage(this, MessageKind::Plain, kApplicationTitle, zel::texts::headerRejected() + more);
    else if (d.error)
        showError(zel::withFullStop(zel::texts::errorText(*d.error)) + more);
    return data.decodedWhole;
}

void TForm1::showStatus(const QString& text, int timeoutMs) { StatusBar1->showMessage(text, timeoutMs); }

void TForm1::showError(const QString& text)
{
    m_dialogs->showMessage(this, MessageKind::Error, kApplicationTitle, zel::withFullStop(text));
}

bool TForm1::refuseDuringDialogue(bool station)
{
    if (station && m_survey->inversionRunning()) {
        StatusBar1->showMessage(zel::texts::inversionRunning(), 5000);
        return true;
    }
    if (DialogueRunning())
        StatusBar1->showMessage(zel::texts::dialogueRunning(), 3000);
    return DialogueRunning();
}

void TForm1::saveSettings()
{
    // A settings file that cannot be written is said once a run: the
    // choices then last only until the program ends.
    auto file = zel::settings::notWritten(*m_ini);
    if (!file)
        file = zel::settings::notWritten(*m_user);
    if (file && !m_settingsNotWrittenSaid) {
        m_settingsNotWrittenSaid = true;
        m_dialogs->showMessage(this, MessageKind::Warning, kApplicationTitle,
                               zel::texts::settingsNotWritten(QDir::toNativeSeparators(*file)));
    }
}

void TForm1::dialogueStarted()
{
    HelpLink1->hide();
    StatusBar1->clearMessage();
    UpdateActions();
    StopButton1->show();
}

void TForm1::dialogueProgress(const QString& text, int permille)
{
    StatusBar1->showMessage(text);
    ProgressBar1->setRange(0, 1000);
    ProgressBar1->setValue(permille);
    ProgressBar1->show();
}

void TForm1::dialogueEnded()
{
    UpdateActions();
    ProgressBar1->hide();
    StopButton1->hide();
    StatusBar1->clearMessage();
    // What to check after a failure stays until the next command.
    showHint();
    // A window closed during the dialogue closes once it has ended.
    if (m_closeAfterDialogue)
        QMetaObject::invokeMethod(this, "close", Qt::QueuedConnection);
}

void TForm1::showHint()
{
    if (!m_station->hint())
        return;
    StatusBar1->showMessage(zel::texts::hintFor(*m_station->hint()).text);
    HelpLink1->show();
}

void TForm1::Contens1Click() { ShowHelpTopic(1); }

void TForm1::ShowHelpTopic(int topic)
{
    // The topic in the help viewer, from the help file of the language;
    // without a viewer (or without the file) in the program's own help.
    const bool english = zel::texts::currentLanguage() == zel::texts::Language::English;
    if (m_helpLoader->HtmlHelp(this, helpTopicText(english ? kEnglishHelpFile : kHelpFile, topic), THtmlHelpLoader::kDisplayTopic, 0) != 0)
        return;
    if (!HelpWindow)
        HelpWindow = new THelpWindow(this);
    HelpWindow->showTopic(topic);
}

void TForm1::About2Click() { AboutBox->exec(); }

void TForm1::SetLanguage(zel::texts::Language language)
{
    zel::texts::storeLanguage(*m_ini, language);
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
    if (!translated && language == zel::texts::Language::English)
        StatusBar1->showMessage(QStringLiteral("The English translation is missing from this build."));
}
