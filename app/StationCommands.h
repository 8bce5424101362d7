#pragma once

#include "UserDialogs.h"

#include "data/Messages.h"
#include "serial/ComPrompts.h"
#include "serial/PortMap.h"
#include "survey/Sequence.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QTimer;
class T_QCCom32;
class TCommandHost;
class TSequenceDialog;

namespace zel {
class DialogueRunner;
struct ReportLine;
struct TableUpload;
struct UploadOutcome;
}

// What the window is doing; every control's enabled state follows from it.
enum class WindowState {
    Idle,       // waiting for a command
    Reading,    // "Read Data" talks to the station
    Uploading,  // an electrode table or firmware goes to the station
};

// The station commands (Read Data, both uploads, the generator's upload) and
// the port and speed they use. The dialogues run in the dialogue runner; this
// object says what they come to in the window's list and status bar.
class TStationCommands : public QObject {
    Q_OBJECT
public:
    // `ports` and `speeds` are the window's lists of them; `serialDevices`
    // replaces the devices found on this machine (tests).
    TStationCommands(TCommandHost& host, QComboBox* ports, QComboBox* speeds,
                     std::optional<QStringList> serialDevices, QObject* parent = nullptr);
    ~TStationCommands() override;

    // The port list and the stored choice, once the settings are there.
    void setUp();
    void read();             // Read Data
    void uploadTableFile();  // Save protocol: an electrode table from a file
    void uploadFirmware();   // Save To EEPROM
    void showGenerator();    // "Service" → "Electrode table generator..."
    // Stop (or Escape) during a dialogue: it ends as a time-out would, with
    // its own list line, and a reading keeps what arrived.
    void stop();
    void portChosen();   // the port list's choice
    void speedChosen();  // the speed list's choice
    // The window closes: a dialogue left open hears "$GB", the port closes.
    void closeDown();

    WindowState state() const { return m_state; }
    bool running() const { return m_state != WindowState::Idle; }
    // The failure of the last dialogue whose hint the status bar shows.
    const std::optional<zel::LineId>& hint() const { return m_hint; }
    // Tests reach the generator while it is open.
    void setSequenceDialogShown(std::function<void(TSequenceDialog&)> shown) { m_sequenceDialogShown = std::move(shown); }

    T_QCCom32* QCCom = nullptr;             // the serial port component
    zel::DialogueRunner* Runner = nullptr;  // runs the station dialogues over QCCom
    QTimer* Timer1 = nullptr;               // the dialogue timer, owned by the dialogue clock

signals:
    void dialogueStarted();
    // Data arrive or go out: `text` for the status bar, `permille` of the whole.
    void progress(const QString& text, int permille);
    void dialogueEnded();

private:
    // "Save protocol" of an electrode table read and checked before the port opens.
    zel::UploadOutcome uploadTable(const zel::TableUpload& table);
    // Runs a station dialogue in `state`; the runner's signals show it.
    void runDialogue(WindowState state, const std::function<void()>& dialogue);
    void fillPortList();
    int selectedPortNumber() const;
    void storePortIndex();
    void showPortChoiceOfComponent();

    TCommandHost& m_host;
    QComboBox* m_ports;
    QComboBox* m_speeds;
    std::optional<QStringList> m_serialDevices;
    std::unique_ptr<zel::ComPrompts> m_comPrompts;
    std::unique_ptr<zel::PortMap> m_portMap;  // port numbers and their devices
    TFileDialog m_tableDialog;     // an electrode table to upload
    TFileDialog m_firmwareDialog;  // a firmware image
    std::function<void(TSequenceDialog&)> m_sequenceDialogShown;
    std::optional<zel::SequenceOptions> m_generatorOptions;  // the generator's fields when it was last closed
    std::optional<zel::LineId> m_hint;
    WindowState m_state = WindowState::Idle;
    WindowState m_dialogueState = WindowState::Idle;  // the state of the dialogue about to start
    bool m_closed = false;
};
