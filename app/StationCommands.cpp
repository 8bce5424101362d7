// The station commands (Read Data and both uploads) and the port and speed
// they use; the dialogues themselves run in the dialogue runner.
#include "StationCommands.h"

#include "CommandHost.h"
#include "SequenceDialog.h"

#include "data/Cp1251.h"
#include "data/DataFile.h"
#include "data/ReadingArchive.h"
#include "document/Document.h"
#include "protocol/DialogueRunner.h"
#include "protocol/ElectrodeTable.h"
#include "protocol/Firmware.h"
#include "protocol/ReadData.h"
#include "protocol/StationFlows.h"
#include "serial/QCCom32.h"

#include <QComboBox>
#include <QDir>
#include <QSettings>
#include <QTimer>

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

TStationCommands::TStationCommands(TCommandHost& host, QComboBox* ports, QComboBox* speeds,
                                   std::optional<QStringList> serialDevices, QObject* parent)
    : QObject(parent)
    , m_host(host)
    , m_ports(ports)
    , m_speeds(speeds)
    , m_serialDevices(std::move(serialDevices))
{
    m_tableDialog.options.filter = QStringLiteral("File A,B,M,N|*.txt|All|*.*");
    QCCom = new T_QCCom32(this);
    m_comPrompts = std::make_unique<WindowComPrompts>(m_host.dialogs(), m_host.dialogParent());
    QCCom->setPrompts(m_comPrompts.get());
    Runner = new zel::DialogueRunner(*QCCom, this);
    Timer1 = &Runner->clock().timer();
    connect(Runner, &zel::DialogueRunner::started, this, [this] {
        m_state = m_dialogueState;
        m_hint.reset();
        emit dialogueStarted();
    });
    connect(Runner, &zel::DialogueRunner::lineAdded, this, [this](const zel::ReportLine& line) {
        m_host.addReportLine(line);
        if (!zel::texts::hintFor(line.id).text.isEmpty())
            m_hint = line.id;
    });
    connect(Runner, &zel::DialogueRunner::progress, this, [this](qint64 done, qint64 total, bool sending) {
        emit progress(sending ? zel::texts::sentProgress(done, total) : zel::texts::receivedProgress(done, total),
                      total > 0 ? int(done * 1000 / total) : 0);
    });
    connect(Runner, &zel::DialogueRunner::finished, this, [this] {
        m_state = WindowState::Idle;
        emit dialogueEnded();
    });
    connect(m_ports, &QComboBox::activated, this, &TStationCommands::portChosen);
    connect(m_speeds, &QComboBox::activated, this, &TStationCommands::speedChosen);
}

TStationCommands::~TStationCommands() = default;

void TStationCommands::setUp()
{
    QCCom->setBaud(9600);
    QCCom->setEndOfResponse({});

    fillPortList();
    QCCom->setDeviceResolver([this](int port) { return m_portMap ? m_portMap->deviceOf(port) : QString(); });
    m_ports->setCurrentIndex(m_ports->count() - 1);
    // A stored index that names no entry (a port gone since) keeps the last entry.
    const std::optional<int> stored = zel::PortMap::storedChoice(m_host.settings());
    if (stored && *stored >= 0 && *stored < m_ports->count())
        m_ports->setCurrentIndex(*stored);
    if (m_ports->currentIndex() < 0) {
        m_host.dialogs().showMessage(m_host.dialogParent(), MessageKind::Plain, kApplicationTitle,
                                     QStringLiteral("There are no free ports COM\n\n") + zel::texts::noFreePortsHelp());
    } else {
        QCCom->setPort(selectedPortNumber());
        storePortIndex();
        m_speeds->setCurrentIndex(4);
        QCCom->setBaud(m_speeds->currentText().toInt());
    }
}

void TStationCommands::closeDown()
{
    m_closed = true;
    Runner->closeDown();
    QCCom->SendString("$GB");  // goes out only when a dialogue left the port open
    QCCom->Close();
    Timer1->stop();
}

void TStationCommands::stop() { Runner->stop(); }

void TStationCommands::runDialogue(WindowState state, const std::function<void()>& dialogue)
{
    m_dialogueState = state;
    dialogue();
}

void TStationCommands::read()
{
    if (m_host.refuseDuringDialogue(true))
        return;
    zel::Document& doc = m_host.document();
    doc.clear();
    m_host.clearList();
    zel::ReadOutcome outcome;
    runDialogue(WindowState::Reading, [&] { outcome = zel::readAndKeep(*Runner, m_host.readings()); });
    if (m_closed)
        return;
    // What the reading left is the current data, whole, even when it failed;
    // it was kept before anything else. A copy that could not be kept does
    // not fail the reading: the status bar says so.
    doc.setStationReading(outcome.reading, outcome.kept);
    if (outcome.notKept)
        m_host.showStatus(zel::texts::readingNotKept(zel::texts::errorText(*outcome.notKept)));
    else if (!outcome.kept.isEmpty() && !m_hint)
        m_host.showStatus(zel::texts::readingKept(QDir::toNativeSeparators(outcome.kept)));
    if (outcome.error)
        m_host.showError(zel::texts::errorText(*outcome.error));
    else if (outcome.status == zel::DialogueStatus::Done && doc.reading().count > 0)
        m_host.showDecoding(doc.decode());
}

void TStationCommands::uploadTableFile()
{
    if (m_host.refuseDuringDialogue(true) || !m_tableDialog.Execute(m_host.dialogs(), m_host.dialogParent()))
        return;
    m_host.clearList();
    m_host.guarded([this] {
        // The whole table is read and checked before the port is opened.
        uploadTable(zel::tableUpload(m_tableDialog.FileName(), zel::readWholeFile(m_tableDialog.FileName())));
    });
}

zel::UploadOutcome TStationCommands::uploadTable(const zel::TableUpload& table)
{
    zel::UploadOutcome outcome;
    runDialogue(WindowState::Uploading, [&] { outcome = zel::uploadTable(*Runner, table); });
    return outcome;
}

void TStationCommands::showGenerator()
{
    if (m_host.refuseDuringDialogue())
        return;
    UserDialogs& dialogs = m_host.dialogs();
    auto save = [this, &dialogs](const std::vector<zel::TableEntry>& entries, const QString& name) {
        const QString path = dialogs.saveFileName(m_host.dialogParent(), newFileOptions(m_tableDialog.options.filter, QStringLiteral("txt"),
                                                                                  QDir::current().filePath(name)));
        bool written = false;
        if (!path.isEmpty())
            m_host.guarded([&] {
                zel::writeWholeFile(path, zel::electrodeTableText(entries));
                written = true;
            });
        return written ? zel::texts::sequenceSaved(QDir::toNativeSeparators(path)) : QString();
    };
    auto upload = [this, &dialogs](const std::vector<zel::TableEntry>& entries, const QString& name) {
        if (m_host.refuseDuringDialogue(true)
            || !dialogs.askYesNo(m_host.dialogParent(), MessageKind::Question, kApplicationTitle,
                                 zel::texts::sequenceUploadQuestion(qsizetype(entries.size()))))
            return QString();
        m_host.clearList();
        // The table goes the way of a file: the station gets what the reader
        // takes. What the upload came to is shown in the generator too.
        QStringList lines;
        m_host.guarded([&] {
            const zel::UploadOutcome outcome = uploadTable(zel::tableUpload(name, zel::electrodeTableText(entries)));
            for (const zel::ReportLine& line : outcome.lines)
                lines << zel::texts::lineText(line);
        });
        return lines.join(QLatin1Char('\n'));
    };
    TSequenceDialog dialog(save, upload, m_host.dialogParent());
    dialog.setStop([this] { stop(); });
    if (m_generatorOptions)
        dialog.setOptions(*m_generatorOptions);
    if (m_sequenceDialogShown)
        m_sequenceDialogShown(dialog);
    dialog.exec();
    m_generatorOptions = dialog.options();
}

void TStationCommands::uploadFirmware()
{
    if (m_host.refuseDuringDialogue(true))
        return;
    UserDialogs& dialogs = m_host.dialogs();
    m_host.showStatus(QString());
    m_host.clearList();
    if (!dialogs.askYesNo(m_host.dialogParent(), MessageKind::Question, kApplicationTitle, zel::texts::firmwareSure()))
        return;
    m_firmwareDialog.options.filter = tr("Файл прошивки (*.bin)|*.bin");
    if (!m_firmwareDialog.Execute(dialogs, m_host.dialogParent()))
        return;
    m_host.guarded([&] {
        std::optional<zel::FirmwareImage> firmware;
        try {
            firmware = zel::checkedFirmware(zel::readWholeFile(m_firmwareDialog.FileName()));
        } catch (const zel::ZelError& e) {
            if (e.id() != zel::ErrorId::NotFirmware)
                throw;
            // Not the station's firmware: a plain message, as the station program says it.
            dialogs.showMessage(m_host.dialogParent(), MessageKind::Plain, kApplicationTitle, zel::texts::errorText(e));
            return;
        }
        // The CR of the question is the station program's own line break.
        if (!dialogs.askYesNo(m_host.dialogParent(), MessageKind::Warning, kApplicationTitle,
                              zel::texts::firmwareModule(zel::fromCp1251(firmware->moduleName), QStringLiteral("\r"))))
            return;
        runDialogue(WindowState::Uploading, [&] { zel::uploadFirmware(*Runner, *firmware); });
    });
}

void TStationCommands::fillPortList()
{
    m_ports->clear();
    const QStringList devices = m_serialDevices ? *m_serialDevices : zel::PortMap::systemCandidates();
    m_portMap = std::make_unique<zel::PortMap>(m_host.settings(), devices, &zel::PortMap::probe);
    for (const zel::PortEntry& entry : m_portMap->openable()) {
        m_ports->addItem(entry.text(), entry.number);
        m_ports->setItemData(m_ports->count() - 1, entry.toolTip(), Qt::ToolTipRole);
    }
}

int TStationCommands::selectedPortNumber() const { return m_ports->currentData().toInt(); }

void TStationCommands::storePortIndex()
{
    zel::PortMap::storeChoice(m_host.settings(), m_ports->currentIndex());
    m_host.saveSettings();
}

void TStationCommands::showPortChoiceOfComponent()
{
    const int port = m_ports->findData(QCCom->Port());
    if (port >= 0)
        m_ports->setCurrentIndex(port);
    const int speed = m_speeds->findText(QString::number(QCCom->Baud()));
    if (speed >= 0)
        m_speeds->setCurrentIndex(speed);
}

void TStationCommands::portChosen()
{
    // The port is not changed under a running dialogue.
    if (m_host.refuseDuringDialogue())
        return showPortChoiceOfComponent();
    QCCom->setPort(selectedPortNumber());
    storePortIndex();
}

void TStationCommands::speedChosen()
{
    if (m_host.refuseDuringDialogue())
        return showPortChoiceOfComponent();
    QCCom->setBaud(m_speeds->currentText().toInt());
}
