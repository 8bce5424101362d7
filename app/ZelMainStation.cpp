// The station commands (Read Data and both uploads) and the port and speed
// they use; the dialogues themselves run in the dialogue runner.
#include "ZelMain.h"

#include "SequenceDialog.h"

#include "data/Cp1251.h"
#include "data/DataFile.h"
#include "data/Settings.h"
#include "document/Document.h"
#include "protocol/DialogueRunner.h"
#include "protocol/ElectrodeTable.h"
#include "protocol/Firmware.h"
#include "protocol/ReadData.h"
#include "protocol/StationFlows.h"
#include "serial/QCCom32.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QSettings>
#include <QStatusBar>
#include <QToolButton>

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

void TForm1::setUpPort()
{
    QCCom = new T_QCCom32(this);
    m_comPrompts = std::make_unique<WindowComPrompts>(*m_dialogs, this);
    QCCom->setPrompts(m_comPrompts.get());
    Runner = new zel::DialogueRunner(*QCCom, this);
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

bool TForm1::refuseDuringDialogue(bool station)
{
    if (station && inversionRunning()) {
        StatusBar1->showMessage(zel::texts::inversionRunning(), 5000);
        return true;
    }
    if (m_state == WindowState::Idle)
        return false;
    StatusBar1->showMessage(zel::texts::dialogueRunning(), 3000);
    return true;
}

void TForm1::ToolButton2Click()
{
    if (refuseDuringDialogue(true))
        return;
    Doc->clear();
    ListBox1->clear();
    zel::ReadOutcome outcome;
    runDialogue(WindowState::Reading, [&] { outcome = zel::readAndKeep(*Runner, m_readings); });
    if (m_closed)
        return;
    // What the reading left is the current data, whole, even when it failed;
    // it was kept before anything else. A copy that could not be kept does
    // not fail the reading: the status bar says so.
    Doc->setStationReading(outcome.reading, outcome.kept);
    if (outcome.notKept)
        StatusBar1->showMessage(zel::texts::readingNotKept(zel::texts::errorText(*outcome.notKept)));
    else if (!outcome.kept.isEmpty() && !m_hintLine)
        StatusBar1->showMessage(zel::texts::readingKept(QDir::toNativeSeparators(outcome.kept)));
    if (outcome.error)
        ShowError(zel::texts::errorText(*outcome.error));
    else if (outcome.status == zel::DialogueStatus::Done && Data().count > 0)
        ReadDump();
}

void TForm1::ToolButton10Click()
{
    if (refuseDuringDialogue(true) || !OpenDialog2.Execute(*m_dialogs, this))
        return;
    ListBox1->clear();
    guarded([this] {
        // The whole table is read and checked before the port is opened.
        uploadTable(zel::tableUpload(OpenDialog2.FileName(), zel::readWholeFile(OpenDialog2.FileName())));
    });
}

zel::UploadOutcome TForm1::uploadTable(const zel::TableUpload& table)
{
    zel::UploadOutcome outcome;
    runDialogue(WindowState::Uploading, [&] { outcome = zel::uploadTable(*Runner, table); });
    return outcome;
}

void TForm1::Generator1Click()
{
    if (refuseDuringDialogue())
        return;
    auto save = [this](const std::vector<zel::TableEntry>& entries, const QString& name) {
        const QString path = m_dialogs->saveFileName(this, newFileOptions(OpenDialog2.options.filter, QStringLiteral("txt"),
                                                                          QDir::current().filePath(name)));
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
        if (refuseDuringDialogue(true)
            || !m_dialogs->askYesNo(this, MessageKind::Question, kApplicationTitle,
                                    zel::texts::sequenceUploadQuestion(qsizetype(entries.size()))))
            return QString();
        ListBox1->clear();
        // The table goes the way of a file: the station gets what the reader
        // takes. What the upload came to is shown in the generator too.
        QStringList lines;
        guarded([&] {
            const zel::UploadOutcome outcome = uploadTable(zel::tableUpload(name, zel::electrodeTableText(entries)));
            for (const zel::ReportLine& line : outcome.lines)
                lines << zel::texts::lineText(line);
        });
        return lines.join(QLatin1Char('\n'));
    };
    TSequenceDialog dialog(save, upload, this);
    dialog.setStop([this] { StopButton1Click(); });
    if (m_generatorOptions)
        dialog.setOptions(*m_generatorOptions);
    if (m_sequenceDialogShown)
        m_sequenceDialogShown(dialog);
    dialog.exec();
    m_generatorOptions = dialog.options();
}

void TForm1::ToolButton12Click()
{
    if (refuseDuringDialogue(true))
        return;
    StatusBar1->clearMessage();
    ListBox1->clear();
    if (!m_dialogs->askYesNo(this, MessageKind::Question, kApplicationTitle, zel::texts::firmwareSure()))
        return;
    OpenDialog3.options.filter = tr("Файл прошивки (*.bin)|*.bin");
    if (!OpenDialog3.Execute(*m_dialogs, this))
        return;
    guarded([this] {
        std::optional<zel::FirmwareImage> firmware;
        try {
            firmware = zel::checkedFirmware(zel::readWholeFile(OpenDialog3.FileName()));
        } catch (const zel::ZelError& e) {
            if (e.id() != zel::ErrorId::NotFirmware)
                throw;
            // Not the station's firmware: a plain message, as the station program says it.
            m_dialogs->showMessage(this, MessageKind::Plain, kApplicationTitle, zel::texts::errorText(e));
            return;
        }
        // The CR of the question is the station program's own line break.
        if (!m_dialogs->askYesNo(this, MessageKind::Warning, kApplicationTitle,
                                 zel::texts::firmwareModule(zel::fromCp1251(firmware->moduleName), QStringLiteral("\r"))))
            return;
        runDialogue(WindowState::Uploading, [&] { zel::uploadFirmware(*Runner, *firmware); });
    });
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
