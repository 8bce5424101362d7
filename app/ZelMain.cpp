#include "ZelMain.h"

#include "Ab.h"
#include "HelpWindow.h"
#include "HtmlHlp.h"
#include "PlotWindows.h"
#include "SequenceDialog.h"
#include "Images.h"
#include "texts/Texts.h"

#include "data/Cp1251.h"
#include "data/DataFile.h"
#include "data/Settings.h"
#include "export/ExelCall.h"
#include "export/XlsxWriter.h"
#include "data/TextTable.h"
#include "data/TimeText.h"
#include "data/ZelError.h"
#include "protocol/ElectrodeTable.h"
#include "document/Document.h"
#include "protocol/DialogueRunner.h"
#include "protocol/EventLoopClock.h"
#include "protocol/Firmware.h"
#include "protocol/ReadData.h"
#include "protocol/SerialLink.h"
#include "survey/Exports.h"
#include "serial/QCCom32.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QShortcut>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

const QString kApplicationTitle = QStringLiteral("ZEL-TERRAVOXNew");

namespace {

// The serial component's dialogs, shown by the window.
class WindowComPrompts : public zel::ComPrompts {
public:
    WindowComPrompts(UserDialogs& dialogs, QWidget* window) : m_dialogs(dialogs), m_window(window) {}
    Answer abortRetry(const zel::ComPrompt& prompt) override
    {
        return m_dialogs.askRetry(m_window, kApplicationTitle, zel::texts::comPromptText(prompt)) ? Answer::Retry
                                                                                                  : Answer::Abort;
    }
    void message(const zel::ComPrompt& prompt) override
    {
        m_dialogs.showMessage(m_window, MessageKind::Plain, kApplicationTitle, zel::texts::comPromptText(prompt));
    }

private:
    UserDialogs& m_dialogs;
    QWidget* m_window;
};

} // namespace

QRect fitIntoScreen(const QRect& wanted, const QRect& available, const QMargins& frame)
{
    const QRect room = available.marginsRemoved(frame);
    QRect fitted(wanted.topLeft(), wanted.size().boundedTo(room.size()));
    fitted.moveLeft(std::clamp(fitted.left(), room.left(), room.right() - fitted.width() + 1));
    fitted.moveTop(std::clamp(fitted.top(), room.top(), room.bottom() - fitted.height() + 1));
    return fitted;
}

QString fileNameOfStamp(const QString& prefix, const QByteArray& stamp, const char* extension)
{
    QString time = zel::fromCp1251(stamp);
    for (QChar& c : time)
        if (!c.isLetterOrNumber() && c != QLatin1Char(' ') && c != QLatin1Char('.') && c != QLatin1Char('-'))
            c = QLatin1Char('-');
    return (prefix + QLatin1Char(' ') + time.trimmed()).trimmed() + QLatin1Char('.') + QLatin1String(extension);
}

void TToolBar::mouseReleaseEvent(QMouseEvent* event)
{
    emit mouseUp(event->button(), event->modifiers());
    QWidget::mouseReleaseEvent(event);
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

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    buildToolBar();
    column->addWidget(ToolBar1);

    auto* panel = new QFrame(central);
    panel->setObjectName(QStringLiteral("Panel1"));
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    ListBox1 = new QListWidget(panel);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    // The table lines up only in a fixed-pitch font: Courier New, else the
    // first fixed-pitch family this system has, else its fixed font.
    QFont listFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const QStringList families = QFontDatabase::families();
    for (const char* family : {"Courier New", "Consolas", "Lucida Console", "DejaVu Sans Mono", "Liberation Mono"}) {
        if (families.contains(QLatin1String(family), Qt::CaseInsensitive)) {
            listFont = QFont(QLatin1String(family));
            break;
        }
    }
    listFont.setStyleHint(QFont::TypeWriter);
    listFont.setFixedPitch(true);
    listFont.setPixelSize(13);
    ListBox1->setFont(listFont);
    ListBox1->setUniformItemSizes(true);
    ListBox1->setStyleSheet(QStringLiteral("QListWidget::item { height: 16px; padding: 0px; }"));
    panelLayout->addWidget(ListBox1);
    column->addWidget(panel, 1);
    setCentralWidget(central);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setFixedHeight(19);
    setStatusBar(StatusBar1);
    ProgressBar1 = new QProgressBar(StatusBar1);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setMaximumHeight(15);
    ProgressBar1->setFixedWidth(200);
    ProgressBar1->setTextVisible(false);
    StatusBar1->addPermanentWidget(ProgressBar1);
    ProgressBar1->hide();
    StopButton1 = new QToolButton(StatusBar1);
    StopButton1->setObjectName(QStringLiteral("StopButton1"));
    StopButton1->setMaximumHeight(17);
    StopButton1->setText(zel::texts::stopCommand());
    StatusBar1->addPermanentWidget(StopButton1);
    StopButton1->hide();
    connect(StopButton1, &QToolButton::clicked, this, &TForm1::StopButton1Click);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] {
        if (DialogueRunning())
            StopButton1Click();
    });
    HelpLink1 = new QLabel(zel::texts::helpLink(), StatusBar1);
    HelpLink1->setObjectName(QStringLiteral("HelpLink1"));
    StatusBar1->addPermanentWidget(HelpLink1);
    HelpLink1->hide();
    connect(HelpLink1, &QLabel::linkActivated, this, [this] {
        if (m_hintLine)
            ShowHelpTopic(zel::texts::hintFor(*m_hintLine).topic);
    });

    Doc = new zel::Document(this);
    connect(Doc, &zel::Document::changed, this, [this] {
        UpdateActions();
        refreshPlots();
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

void TForm1::buildMenu()
{
    auto add = [this](QMenu* menu, const char* name, const QString& caption, void (TForm1::*handler)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    // The captions' first letters are underlined: Alt+F, Alt+E, Alt+S, Alt+H.
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    Read1 = add(file, "Read1", QStringLiteral("Read Data"), &TForm1::ToolButton2Click);
    LoadFile1 = add(file, "LoadFile1", QStringLiteral("Load File *zel"), &TForm1::ToolButton1Click);
    SaveFile1 = add(file, "SaveFile1", QStringLiteral("Save File *zel"), &TForm1::ToolButton8Click);
    View1 = add(file, "View1", QStringLiteral("View"), &TForm1::ToolButton6Click);
    Save1 = add(file, "Save1", QStringLiteral("Save as text"), &TForm1::Save1Click);
    file->addSeparator();
    RecentReadings1 = file->addMenu(zel::texts::recentReadings());
    RecentReadings1->setObjectName(QStringLiteral("RecentReadings1"));
    connect(RecentReadings1, &QMenu::aboutToShow, this, &TForm1::fillRecentReadings);
    ReadingsFolder1 = add(file, "ReadingsFolder1", zel::texts::openReadingsFolder(), &TForm1::OpenReadingsFolder);
    QMenu* exel = menuBar()->addMenu(QStringLiteral("&Exel"));
    ZELSOLO1 = add(exel, "ZELSOLO1", QStringLiteral("ZEL-SOLO"), &TForm1::ToolButton5Click);
    TERRAVOX1 = add(exel, "TERRAVOX1", QStringLiteral("TERRAVOX"), &TForm1::ToolButton9Click);
    QMenu* survey = menuBar()->addMenu(QStringLiteral("S&urvey"));
    SurveyGeometry1 = add(survey, "SurveyGeometry1", zel::texts::surveyGeometryCommand(), &TForm1::SurveyGeometry1Click);
    survey->addSeparator();
    ExportCsv1 = add(survey, "ExportCsv1", QStringLiteral("Export CSV..."), &TForm1::ExportCsv1Click);
    ExportRes2DInv1 = add(survey, "ExportRes2DInv1", QStringLiteral("Export Res2DInv..."), &TForm1::ExportRes2DInv1Click);
    ExportOhm1 = add(survey, "ExportOhm1", QStringLiteral("Export pyGIMLi/BERT..."), &TForm1::ExportOhm1Click);
    survey->addSeparator();
    ProfileGraph1 = add(survey, "ProfileGraph1", QStringLiteral("Profile graph"), &TForm1::ProfileGraph1Click);
    Pseudosection1 = add(survey, "Pseudosection1", QStringLiteral("Pseudosection"), &TForm1::Pseudosection1Click);
    QMenu* service = menuBar()->addMenu(QStringLiteral("&Service"));
    EEPROM1 = add(service, "EEPROM1", QStringLiteral("EEPROM"), &TForm1::ToolButton12Click);
    Generator1 = add(service, "Generator1", QStringLiteral("Electrode table generator..."), &TForm1::Generator1Click);
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    Contens1 = add(help, "Contens1", QStringLiteral("Contents"), &TForm1::Contens1Click);
    help->addSeparator();
    About2 = add(help, "About2", QStringLiteral("About"), &TForm1::About2Click);
    // Each language is named in itself, so that a user who reads only one finds it.
    Language1 = help->addMenu(QStringLiteral("Language"));
    Language1->setObjectName(QStringLiteral("Language1"));
    m_languages = new QActionGroup(this);
    Russian1 = add(Language1, "Russian1", QStringLiteral("Русский"), &TForm1::Russian1Click);
    English1 = add(Language1, "English1", QStringLiteral("English"), &TForm1::English1Click);
    for (QAction* a : {Russian1, English1}) {
        a->setCheckable(true);
        m_languages->addAction(a);
    }
    Russian1->setChecked(true);
    LoadFile1->setShortcut(QKeySequence::Open);
    SaveFile1->setShortcut(QKeySequence::Save);
    Contens1->setShortcut(QKeySequence::HelpContents);
}

void TForm1::buildToolBar()
{
    ToolBar1 = new TToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setFixedHeight(30);
    auto* row = new QHBoxLayout(ToolBar1);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    auto button = [this, row](const char* name, const QString& hint, int image, void (TForm1::*handler)()) {
        auto* b = new QToolButton(ToolBar1);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(hint);
        b->setIcon(toolImage(image));
        b->setIconSize(QSize(16, 16));
        b->setAutoRaise(true);
        b->setFixedSize(28, 25);
        connect(b, &QToolButton::clicked, this, handler);
        row->addWidget(b);
        return b;
    };
    auto separator = [this, row](const char* name, int width) {
        auto* s = new QWidget(ToolBar1);
        s->setObjectName(QLatin1String(name));
        s->setFixedWidth(width);
        row->addWidget(s);
        return s;
    };
    auto combo = [this, row](const char* name, const QString& hint) {
        auto* c = new QComboBox(ToolBar1);
        c->setObjectName(QLatin1String(name));
        c->setToolTip(hint);
        c->setEditable(false);
        c->setFixedWidth(80);
        row->addWidget(c);
        return c;
    };

    ToolButton2 = button("ToolButton2", QStringLiteral("Read Data"), 0, &TForm1::ToolButton2Click);
    ToolButton1 = button("ToolButton1", QStringLiteral("Load File *zel"), 4, &TForm1::ToolButton1Click);
    ToolButton8 = button("ToolButton8", QStringLiteral("Save File *zel"), 7, &TForm1::ToolButton8Click);
    ToolButton4 = separator("ToolButton4", 16);
    ComboBox1 = combo("ComboBox1", QStringLiteral("Port"));
    ToolButton7 = separator("ToolButton7", 13);
    ComboBox2 = combo("ComboBox2", QStringLiteral("Speed"));
    ToolButton6 = button("ToolButton6", QStringLiteral("View"), 1, &TForm1::ToolButton6Click);
    ToolButton3 = button("ToolButton3", QStringLiteral("Save as text"), 5, &TForm1::Save1Click);
    ToolButton5 = button("ToolButton5", QStringLiteral("ZEL-SOLO"), 10, &TForm1::ToolButton5Click);
    ToolButton9 = button("ToolButton9", QStringLiteral("TERRAVOX"), 9, &TForm1::ToolButton9Click);
    ToolButton10 = button("ToolButton10", QStringLiteral("Save protocol"), 2, &TForm1::ToolButton10Click);
    ToolButton11 = separator("ToolButton11", 40);
    ToolButton12 = button("ToolButton12", QStringLiteral("Save To EEPROM"), 8, &TForm1::ToolButton12Click);
    row->addStretch(1);

    for (const int speed : kLineSpeeds)
        ComboBox2->addItem(QString::number(speed));
    ComboBox2->setCurrentIndex(-1);
    connect(ComboBox1, &QComboBox::activated, this, &TForm1::ComboBox1Change);
    connect(ComboBox2, &QComboBox::activated, this, &TForm1::ComboBox2Change);
    connect(ToolBar1, &TToolBar::mouseUp, this, &TForm1::ToolBar1MouseUp);
}

template <class F>
void TForm1::guarded(F&& command)
{
    try {
        command();
    } catch (const zel::ZelError& e) {
        ShowError(zel::texts::errorText(e));
    } catch (const std::exception& e) {
        ShowError(QString::fromLocal8Bit(e.what()));
    }
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

void TForm1::UpdateActions()
{
    const bool idle = m_state == WindowState::Idle;
    // The five data commands' buttons need decoded data; their menu items
    // stay usable whenever no dialogue runs.
    for (QToolButton* b : {ToolButton3, ToolButton5, ToolButton9, ToolButton6, ToolButton8})
        b->setEnabled(idle && Doc->decoded());
    // Without a free port at start the button and both lists stay disabled;
    // the menu item still tries.
    for (QWidget* w : std::initializer_list<QWidget*>{ToolButton2, ComboBox1, ComboBox2})
        w->setEnabled(idle && ComboBox1->count() > 0);
    for (QToolButton* b : {ToolButton1, ToolButton10, ToolButton12})
        b->setEnabled(idle);
    for (QAction* a : {Read1, LoadFile1, SaveFile1, View1, Save1, ZELSOLO1, TERRAVOX1, EEPROM1, Generator1})
        a->setEnabled(idle);
    RecentReadings1->setEnabled(idle);
    // The survey exports need decoded data.
    for (QAction* a : {ExportCsv1, ExportRes2DInv1, ExportOhm1, ProfileGraph1, Pseudosection1})
        a->setEnabled(idle && Doc->decoded());
}

void TForm1::FormCreate()
{
    ComboBox1->setCurrentIndex(-1);
    Ini = new QSettings(zel::settings::fileIn(QDir::currentPath()), QSettings::IniFormat, this);
    // The language chosen in an earlier run, before the first message.
    if (const auto language = zel::texts::storedLanguage(*Ini))
        applyLanguage(*language);
    else
        zel::texts::installProgramTranslations(zel::texts::Language::Russian);

    QCCom = new T_QCCom32(this);
    m_comPrompts = std::make_unique<WindowComPrompts>(*m_dialogs, this);
    QCCom->setPrompts(m_comPrompts.get());
    Runner = new zel::DialogueRunner(*QCCom, &m_closed, this);
    Timer1 = &Runner->clock().timer();
    connect(Runner, &zel::DialogueRunner::started, this, &TForm1::dialogueStarted);
    connect(Runner, &zel::DialogueRunner::lineAdded, this, &TForm1::dialogueLine);
    connect(Runner, &zel::DialogueRunner::progress, this, &TForm1::dialogueProgress);
    connect(Runner, &zel::DialogueRunner::finished, this, &TForm1::dialogueFinished);
    QCCom->setBaud(9600);
    QCCom->setEndOfResponse({});

    fillPortList();
    QCCom->setDeviceResolver([this](int port) { return Ports ? Ports->deviceOf(port) : QString(); });
    ComboBox1->setCurrentIndex(ComboBox1->count() - 1);
    // A stored index that names no entry (a port gone since) keeps the last entry.
    const std::optional<int> stored = zel::PortMap::storedChoice(*Ini);
    if (stored && *stored >= 0 && *stored < ComboBox1->count())
        ComboBox1->setCurrentIndex(*stored);
    if (ComboBox1->currentIndex() < 0) {
        m_dialogs->showMessage(this, MessageKind::Plain, kApplicationTitle,
                               QStringLiteral("There are no free ports COM\n\n") + zel::texts::noFreePortsHelp());
    } else {
        QCCom->setPort(selectedPortNumber());
        storePortIndex();
        ComboBox2->setCurrentIndex(4);
        QCCom->setBaud(ComboBox2->currentText().toInt());
    }

    const QString startDir = QDir::currentPath();
    SaveDialog1.options.initialDir = startDir;
    OpenDialog1.options.initialDir = startDir;
    UpdateActions();
}

void TForm1::FormClose()
{
    m_closed = true;
    QCCom->SendString("$GB");  // goes out only when a dialogue left the port open
    QCCom->Close();
    Timer1->stop();
}

void TForm1::closeEvent(QCloseEvent* event)
{
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

void TForm1::StopButton1Click() { Runner->stop(); }

void TForm1::runDialogue(WindowState state, const std::function<void()>& dialogue)
{
    m_dialogueState = state;
    dialogue();
}

void TForm1::dialogueStarted()
{
    m_state = m_dialogueState;
    m_hintLine.reset();
    HelpLink1->hide();
    StatusBar1->clearMessage();
    UpdateActions();
    StopButton1->show();
}

void TForm1::dialogueLine(const zel::ReportLine& line)
{
    AddReportLine(line);
    if (!zel::texts::hintFor(line.id).text.isEmpty())
        m_hintLine = line.id;
}

void TForm1::dialogueProgress(qint64 done, qint64 total, bool sending)
{
    StatusBar1->showMessage(sending ? zel::texts::sentProgress(done, total) : zel::texts::receivedProgress(done, total));
    ProgressBar1->setRange(0, 1000);
    ProgressBar1->setValue(total > 0 ? int(done * 1000 / total) : 0);
    ProgressBar1->show();
}

void TForm1::dialogueFinished()
{
    m_state = WindowState::Idle;
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

bool TForm1::refuseDuringDialogue()
{
    if (m_state == WindowState::Idle)
        return false;
    StatusBar1->showMessage(zel::texts::dialogueRunning(), 3000);
    return true;
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
        if (showDecoding(Doc->load(std::move(bytes), path), path))
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
    guarded([this] { zel::writeWholeFile(SaveDialog1.FileName(), Data().rawDump); });
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

void TForm1::ToolButton2Click()
{
    if (refuseDuringDialogue())
        return;
    Doc->clear();
    ListBox1->clear();
    zel::StationReading reading;
    auto status = zel::DialogueStatus::Refused;
    QString error;
    QDateTime readAt;
    runDialogue(WindowState::Reading, [&] {
        try {
            status = Runner->readData(reading, readAt);
        } catch (const zel::ZelError& e) {
            error = zel::texts::errorText(e);
        }
    });
    if (m_closed)
        return;
    // Before anything else: a reading never lives only in memory. What it
    // left is the current data, whole, even when it failed.
    Doc->setStationReading(reading, keepReading(reading, status, readAt));
    if (!error.isEmpty())
        ShowError(error);
    else if (status == zel::DialogueStatus::Done && Data().count > 0)
        ReadDump();
}

QString TForm1::keepReading(const zel::StationReading& reading, zel::DialogueStatus status, const QDateTime& readAt)
{
    // A failure here does not fail the reading; the status bar says so.
    try {
        const QString kept = zel::keepStationReading(m_readings, reading, status, readAt);
        if (!kept.isEmpty() && !m_hintLine)
            StatusBar1->showMessage(zel::texts::readingKept(QDir::toNativeSeparators(kept)));
        return kept;
    } catch (const zel::ZelError& e) {
        StatusBar1->showMessage(zel::texts::readingNotKept(zel::texts::errorText(e)));
        return {};
    }
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
        const QString dir = SaveDialog2.FileName().isEmpty() ? QDir::currentPath()
                                                             : QFileInfo(SaveDialog2.FileName()).absolutePath();
        SaveDialog2.options.filter = tr("Книга Excel (*.xlsx)|*.xlsx");
        SaveDialog2.options.defaultExt = QStringLiteral("xlsx");
        SaveDialog2.options.overwritePrompt = true;
        SaveDialog2.FileName() = QDir(dir).filePath(workbookName(layout, headers.time));
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

zel::SurveyGeometry TForm1::surveyGeometry(QString* problem)
{
    std::vector<zel::SurveySettingProblem> problems;
    const zel::SurveyGeometry geometry = zel::readSurveyGeometry(*Ini, &problems);
    QStringList texts;
    for (const zel::SurveySettingProblem& p : problems)
        texts << zel::texts::surveySettingProblem(QDir::toNativeSeparators(Ini->fileName()), p.key, p.value, p.range);
    if (!texts.isEmpty()) {
        texts << zel::texts::surveyDefaultUsed();
        StatusBar1->showMessage(texts.join(QStringLiteral("; ")));
        if (problem)
            *problem = texts.join(QLatin1Char('\n'));
    }
    return geometry;
}

void TForm1::SurveyGeometry1Click()
{
    QString problem;
    const zel::SurveyGeometry stored = surveyGeometry(&problem);
    if (const auto chosen = m_dialogs->editSurveyGeometry(this, stored, problem)) {
        zel::writeSurveyGeometry(*Ini, *chosen);
        saveSettings();
    }
}

void TForm1::ProfileGraph1Click() { showPlotWindow(ProfileWindow); }
void TForm1::Pseudosection1Click() { showPlotWindow(PseudosectionWindow); }

template <class Window>
void TForm1::showPlotWindow(Window*& window)
{
    if (!window) {
        window = new Window(*Ini, this);
        // A hover decodes the one record it shows.
        window->setTableLine([this](int record) {
            if (record < 0 || record >= zel::recordsIn(Data().decoded))
                return QString();
            return zel::TablTex(zel::recordAt(Data().decoded, record), zel::DateTimeSeparators::of(QLocale()));
        });
        window->setAskImageFile([this, w = window] {
            FileDialogOptions o;
            o.filter = QStringLiteral("PNG (*.png)|*.png|PDF (*.pdf)|*.pdf");
            o.defaultExt = QStringLiteral("png");
            o.overwritePrompt = true;
            o.fileName = QDir::current().filePath(fileNameOfStamp(QStringLiteral("Plot"), Data().header.time, "png"));
            // The dialog belongs to the plot window, which stays in front.
            return m_dialogs->saveFileName(w, o);
        });
    }
    window->setRecords(Doc->records(), surveyGeometry());
    window->show();
    window->raise();
}

void TForm1::refreshPlots()
{
    // Open plots follow the current data.
    const std::vector<zel::MeasurementRecord> records = Doc->records();
    for (TPlotWindow* window : std::initializer_list<TPlotWindow*>{ProfileWindow, PseudosectionWindow})
        if (window && window->isVisible())
            window->setRecords(records, surveyGeometry());
}

void TForm1::ExportCsv1Click() { ExportSurvey(zel::SurveyFormat::Csv); }
void TForm1::ExportRes2DInv1Click() { ExportSurvey(zel::SurveyFormat::Res2DInv); }
void TForm1::ExportOhm1Click() { ExportSurvey(zel::SurveyFormat::Ohm); }

void TForm1::ExportSurvey(zel::SurveyFormat format)
{
    if (refuseDuringDialogue() || !Doc->decoded())
        return;
    guarded([&] {
        const std::vector<zel::MeasurementRecord> records = Doc->records();
        const zel::SurveyGeometry geometry = surveyGeometry();
        // The inversion formats need positions: say so before a file is asked for.
        if (format != zel::SurveyFormat::Csv
            && std::none_of(records.begin(), records.end(), [](const auto& r) { return zel::carriesElectrodes(r.Mode); })) {
            m_dialogs->showMessage(this, MessageKind::Information, kApplicationTitle,
                                   zel::texts::errorText(zel::ZelError(zel::ErrorId::NoPositions)) + QLatin1Char('.'));
            return;
        }
        static const struct {
            const char* filter;
            const char* ext;
        } kinds[] = {{"CSV (*.csv)|*.csv", "csv"}, {"Res2DInv (*.dat)|*.dat", "dat"}, {"pyGIMLi/BERT (*.ohm)|*.ohm", "ohm"}};
        const auto& kind = kinds[int(format)];
        const QString dir = SaveDialog3.FileName().isEmpty() ? QDir::currentPath()
                                                             : QFileInfo(SaveDialog3.FileName()).absolutePath();
        SaveDialog3.options.filter = QLatin1String(kind.filter);
        SaveDialog3.options.defaultExt = QLatin1String(kind.ext);
        SaveDialog3.options.overwritePrompt = true;
        SaveDialog3.FileName() = QDir(dir).filePath(fileNameOfStamp(QStringLiteral("Survey"), Data().header.time, kind.ext));
        if (!SaveDialog3.Execute(*m_dialogs, this))
            return;
        const auto files = zel::surveyExport(format, records, geometry, std::nullopt, SaveDialog3.FileName());
        QStringList written;
        for (const auto& [path, bytes] : files) {
            zel::writeWholeFile(path, bytes);
            written << QDir::toNativeSeparators(path);
        }
        // One file per profile: the user is told which.
        if (written.size() > 1)
            m_dialogs->showMessage(this, MessageKind::Information, kApplicationTitle, zel::texts::filesWritten(written));
        else if (!written.isEmpty())
            StatusBar1->showMessage(zel::texts::fileWritten(written.first()));
    });
}

void TForm1::ToolButton10Click()
{
    if (refuseDuringDialogue() || !OpenDialog2.Execute(*m_dialogs, this))
        return;
    ListBox1->clear();
    guarded([this] {
        // The whole table is read and checked before the port is opened.
        uploadTable(zel::protocolName(OpenDialog2.FileName()), zel::readWholeFile(OpenDialog2.FileName()));
    });
}

void TForm1::uploadTable(const QByteArray& name, const QByteArray& table)
{
    const auto words = zel::electrodeWords(zel::parseElectrodeTable(table));
    runDialogue(WindowState::Uploading, [&] { Runner->uploadTable(name, words); });
}

void TForm1::Generator1Click()
{
    if (refuseDuringDialogue())
        return;
    auto save = [this](const std::vector<zel::TableEntry>& entries, const QString& name) {
        OpenDialog2.options.defaultExt = QStringLiteral("txt");
        OpenDialog2.FileName() = QDir::current().filePath(name);
        FileDialogOptions o = OpenDialog2.options;
        o.overwritePrompt = true;
        const QString path = m_dialogs->saveFileName(this, o);
        bool written = false;
        if (!path.isEmpty())
            guarded([&] {
                zel::writeWholeFile(path, zel::electrodeTableText(entries));
                written = true;
            });
        return written ? zel::texts::sequenceSaved(QDir::toNativeSeparators(path)) : QString();
    };
    // The upload's result, as the main list shows it, is shown in the generator too.
    auto upload = [this](const std::vector<zel::TableEntry>& entries, const QString& name) {
        if (refuseDuringDialogue()
            || !m_dialogs->askYesNo(this, MessageKind::Question, kApplicationTitle,
                                    zel::texts::sequenceUploadQuestion(qsizetype(entries.size()))))
            return QString();
        ListBox1->clear();
        // The table goes the way of a file: the station gets what the reader takes.
        guarded([&] { uploadTable(zel::protocolName(name), zel::electrodeTableText(entries)); });
        QStringList lines;
        for (int i = 0; i < ListBox1->count(); ++i)
            lines << ListBox1->item(i)->text();
        return lines.join(QLatin1Char('\n'));
    };
    TSequenceDialog dialog(save, upload, this);
    if (m_sequenceDialogShown)
        m_sequenceDialogShown(dialog);
    dialog.exec();
}

void TForm1::ToolButton12Click()
{
    if (refuseDuringDialogue())
        return;
    StatusBar1->clearMessage();
    ListBox1->clear();
    if (!m_dialogs->askYesNo(this, MessageKind::Question, kApplicationTitle, zel::texts::firmwareSure()))
        return;
    OpenDialog3.options.filter = tr("Файл прошивки (*.bin)|*.bin");
    if (!OpenDialog3.Execute(*m_dialogs, this))
        return;
    guarded([this] {
        const auto firmware = zel::firmwareImage(zel::readWholeFile(OpenDialog3.FileName()));
        if (!firmware) {
            m_dialogs->showMessage(this, MessageKind::Plain, kApplicationTitle,
                                   zel::texts::errorText(zel::ZelError(zel::ErrorId::NotFirmware)));
            return;
        }
        zel::checkFirmwareSize(*firmware);
        // The CR of the question is the station program's own line break.
        if (!m_dialogs->askYesNo(this, MessageKind::Warning, kApplicationTitle,
                                 zel::texts::firmwareModule(zel::fromCp1251(firmware->moduleName), QStringLiteral("\r"))))
            return;
        runDialogue(WindowState::Uploading, [&] { Runner->uploadFirmware(firmware->image); });
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

void TForm1::RetranslateUi()
{
    for (int i = 0; i < ListBox1->count(); ++i) {
        QListWidgetItem* item = ListBox1->item(i);
        const QVariant line = item->data(Qt::UserRole);
        if (line.isValid())
            item->setText(zel::texts::lineText(line.value<zel::ReportLine>()));
    }
    RecentReadings1->setTitle(zel::texts::recentReadings());
    ReadingsFolder1->setText(zel::texts::openReadingsFolder());
    SurveyGeometry1->setText(zel::texts::surveyGeometryCommand());
    HelpLink1->setText(zel::texts::helpLink());
    StopButton1->setText(zel::texts::stopCommand());
    StopButton1->setToolTip(QStringLiteral("Esc"));
    const bool english = zel::texts::currentLanguage() == zel::texts::Language::English;
    (english ? English1 : Russian1)->setChecked(true);
    // A message in the other language goes; the hint of a failure stays, translated.
    StatusBar1->clearMessage();
    showHint();
}
void TForm1::fillPortList()
{
    ComboBox1->clear();
    const QStringList devices = m_serialDevices ? *m_serialDevices : zel::PortMap::systemCandidates();
    Ports = std::make_unique<zel::PortMap>(*Ini, devices, &zel::PortMap::probe);
    for (const zel::PortEntry& entry : Ports->openable()) {
        ComboBox1->addItem(entry.text(), entry.number);
        ComboBox1->setItemData(ComboBox1->count() - 1, entry.toolTip(), Qt::ToolTipRole);
    }
}

int TForm1::selectedPortNumber() const { return ComboBox1->currentData().toInt(); }

void TForm1::storePortIndex()
{
    zel::PortMap::storeChoice(*Ini, ComboBox1->currentIndex());
    saveSettings();
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

void TForm1::showPortChoiceOfComponent()
{
    const int port = ComboBox1->findData(QCCom->Port());
    if (port >= 0)
        ComboBox1->setCurrentIndex(port);
    const int speed = ComboBox2->findText(QString::number(QCCom->Baud()));
    if (speed >= 0)
        ComboBox2->setCurrentIndex(speed);
}

void TForm1::ComboBox1Change()
{
    // The port is not changed under a running dialogue.
    if (refuseDuringDialogue())
        return showPortChoiceOfComponent();
    QCCom->setPort(selectedPortNumber());
    storePortIndex();
}

void TForm1::ComboBox2Change()
{
    if (refuseDuringDialogue())
        return showPortChoiceOfComponent();
    QCCom->setBaud(ComboBox2->currentText().toInt());
}

void TForm1::ToolBar1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    const bool shiftAlt = modifiers.testFlag(Qt::ShiftModifier) && modifiers.testFlag(Qt::AltModifier);
    if (button != Qt::LeftButton || !shiftAlt)
        return;
    ToolButton1->setVisible(!ToolButton1->isVisibleTo(ToolBar1));
    ToolButton8->setVisible(!ToolButton8->isVisibleTo(ToolBar1));
}
