#pragma once

#include "texts/Texts.h"
#include "UserDialogs.h"

#include "data/RawDump.h"
#include "data/ReadingArchive.h"
#include "serial/ComPrompts.h"
#include "serial/PortMap.h"
#include "survey/Sequence.h"

#include <QByteArray>
#include <QMainWindow>
#include <QMargins>
#include <QRect>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;
class QListWidget;
class QMenu;
class QProgressBar;
class QSettings;
class T_QCCom32;
class TAboutBox;
class TPlotWindow;
class TSequenceDialog;
class TProfileWindow;
class TDataCheckWindow;
class TPseudosectionWindow;
class TSectionWindow;
class THelpWindow;
class THtmlHelpLoader;
class QStatusBar;
class QTimer;
class QToolButton;

namespace zel {
class DialogueRunner;
class Document;
enum class SurveyFormat;
struct SurveyGeometry;
enum class DialogueStatus;
struct StationReading;
struct TableUpload;
struct UploadOutcome;
}

// The caption of the program's message boxes, as the task bar names it.
extern const QString kApplicationTitle;

// A window frame's title bar and borders, as most desktops draw them.
inline const QMargins kTypicalFrame{4, 30, 4, 4};

// The window's geometry `wanted` (without its frame) moved, and shrunk where
// it must, so that the window with its frame lies within `available`.
QRect fitIntoScreen(const QRect& wanted, const QRect& available, const QMargins& frame);

// A file name offered for what a reading gives: "ZEL-SOLO 07.12.2026 10-11-12.xlsx".
QString fileNameOfStamp(const QString& prefix, const QByteArray& stamp, const char* extension);

// The free area of the toolbar reports a released mouse button.
class TToolBar : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
signals:
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// What the window is doing; every control's enabled state follows from it
// (see TForm1::UpdateActions).
enum class WindowState {
    Idle,       // waiting for a command
    Reading,    // "Read Data" talks to the station
    Uploading,  // an electrode table or firmware goes to the station
};

// The main window: it shows the current reading (Doc) and runs every command
// from one of its handlers, the station dialogues through Runner.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // `dialogs` answers the window's modal dialogs (QtUserDialogs when null);
    // `serialDevices` replaces the devices found on this machine (tests).
    explicit TForm1(UserDialogs* dialogs = nullptr, std::optional<QStringList> serialDevices = std::nullopt,
                    QWidget* parent = nullptr);
    ~TForm1() override;

    // Controls, named as on the form.
    TToolBar* ToolBar1 = nullptr;
    QToolButton* ToolButton1 = nullptr;   // Load File *zel
    QToolButton* ToolButton2 = nullptr;   // Read Data
    QToolButton* ToolButton3 = nullptr;   // Save as text
    QWidget* ToolButton4 = nullptr;       // separator
    QToolButton* ToolButton5 = nullptr;   // ZEL-SOLO
    QToolButton* ToolButton6 = nullptr;   // View
    QWidget* ToolButton7 = nullptr;       // separator
    QToolButton* ToolButton8 = nullptr;   // Save File *zel
    QToolButton* ToolButton9 = nullptr;   // TERRAVOX
    QToolButton* ToolButton10 = nullptr;  // Save protocol
    QWidget* ToolButton11 = nullptr;      // separator
    QToolButton* ToolButton12 = nullptr;  // Save To EEPROM
    QComboBox* ComboBox1 = nullptr;       // Port
    QComboBox* ComboBox2 = nullptr;       // Speed
    QListWidget* ListBox1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;  // in the status bar while data arrives
    QToolButton* StopButton1 = nullptr;    // beside the progress bar while a dialogue runs; Escape too
    QLabel* HelpLink1 = nullptr;           // beside a hint after a failed dialogue: its help topic
    QTimer* Timer1 = nullptr;             // the dialogue timer, owned by the dialogue clock
    TFileDialog SaveDialog1;
    TFileDialog OpenDialog1;
    TFileDialog OpenDialog2;
    TFileDialog OpenDialog3;
    TFileDialog SaveDialog2;  // where a workbook goes
    TFileDialog SaveDialog3;  // where a survey export goes
    TAboutBox* AboutBox = nullptr;
    THelpWindow* HelpWindow = nullptr;  // the program's own help, made on first use

    // Menu items.
    QAction* Read1 = nullptr;
    QAction* LoadFile1 = nullptr;
    QAction* SaveFile1 = nullptr;
    QAction* View1 = nullptr;
    QAction* Save1 = nullptr;
    QAction* ZELSOLO1 = nullptr;
    QAction* TERRAVOX1 = nullptr;
    QAction* EEPROM1 = nullptr;
    QAction* Contens1 = nullptr;
    QAction* About2 = nullptr;
    QMenu* Language1 = nullptr;  // "Help" → "Language": "Русский", "English"
    QAction* Russian1 = nullptr;
    QAction* English1 = nullptr;
    QMenu* RecentReadings1 = nullptr;     // the last kept readings, newest first
    QAction* SurveyGeometry1 = nullptr;
    QAction* ExportCsv1 = nullptr;
    QAction* ExportRes2DInv1 = nullptr;
    QAction* ExportOhm1 = nullptr;
    QAction* Generator1 = nullptr;
    QAction* ProfileGraph1 = nullptr;
    QAction* Pseudosection1 = nullptr;
    QAction* DataCheck1 = nullptr;  // "Survey" → "Data check..."
    QAction* Invert1 = nullptr;     // "Survey" → "Invert..."
    TProfileWindow* ProfileWindow = nullptr;            // made on first use
    TPseudosectionWindow* PseudosectionWindow = nullptr;
    TDataCheckWindow* DataCheckWindow = nullptr;       // made on first use
    TSectionWindow* SectionWindow = nullptr;           // made on first use
    QAction* ReadingsFolder1 = nullptr;

    T_QCCom32* QCCom = nullptr;          // the serial port component
    zel::DialogueRunner* Runner = nullptr;  // runs the station dialogues over QCCom
    zel::Document* Doc = nullptr;           // the current reading
    QSettings* Ini = nullptr;            // the settings file "Zel-Terravox.ini"
    std::unique_ptr<zel::PortMap> Ports; // port numbers and their devices

    // The current data, replaced whole by a reading or a loaded file.
    const zel::Reading& Data() const;
    WindowState State() const { return m_state; }

    // Handlers.
    void FormCreate();
    void FormClose();
    void ToolButton1Click();   // Load File
    void ToolButton2Click();   // Read Data
    void ToolButton5Click();   // spreadsheet, ZEL-SOLO layout
    void ToolButton6Click();   // View
    void ToolButton8Click();   // Save File
    void ToolButton9Click();   // spreadsheet, TERRAVOX layout
    void ToolButton10Click();  // Save protocol
    void ToolButton12Click();  // Save To EEPROM
    void Save1Click();         // Save as text
    void SurveyGeometry1Click();
    void ExportCsv1Click();
    void ExportRes2DInv1Click();
    void ExportOhm1Click();
    void ProfileGraph1Click();
    void Pseudosection1Click();
    void DataCheck1Click();
    void Invert1Click();
    void Generator1Click();  // "Service" → "Electrode table generator..."
    // Tests reach the generator while it is open.
    void setSequenceDialogShown(std::function<void(TSequenceDialog&)> shown) { m_sequenceDialogShown = std::move(shown); }
    void Contens1Click();
    void About2Click();
    void Russian1Click();
    void English1Click();
    // Shows every text in `language` at once and keeps the choice in the settings.
    void SetLanguage(zel::texts::Language language);
    // Stop (or Escape) during a station dialogue: it ends as a time-out
    // would, with its own list line, and a reading keeps what arrived.
    void StopButton1Click();
    void ComboBox1Change();
    void ComboBox2Change();
    void ToolBar1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

    // Decodes the raw dump of the current data, lists the count and header
    // lines; true when decoded. `source` names the file it came from.
    bool ReadDump(const QString& source = {});
    // Writes the survey values in a format for inversion programs (or CSV).
    void ExportSurvey(zel::SurveyFormat format);
    // "Load File" of a chosen file.
    void LoadFile(const QString& path);
    // "File" → "Recent readings" → a kept reading, and "Open readings folder".
    void OpenRecentReading(const QString& path);
    // Loads a data file as Load File does, without asking for it: a kept
    // reading, or a file named on the command line (a .zel file opened from
    // the desktop).
    void OpenDataFile(const QString& path);
    void OpenReadingsFolder();
    static constexpr int kRecentReadings = 10;
    // Where every reading is kept (tests give a folder of their own).
    void setReadingsFolder(const QString& folder) { m_readings = zel::ReadingArchive(folder); }
    const zel::ReadingArchive& readings() const { return m_readings; }
    // Writes the records of one layout (0 ZEL-SOLO, 1 TERRAVOX) into a workbook
    // and opens it.
    void ExelCall(int layout);
    // Enables every control as the window's state, the current data and the
    // port list allow.
    void UpdateActions();
    void AddLine(const QString& line);
    // A line the core reports, shown in the current language.
    void AddReportLine(const zel::ReportLine& line);
    // An error that a command does not handle itself.
    void ShowError(const QString& text);
    // The help viewer loader (tests give one with a stand-in viewer).
    void setHelpLoader(std::unique_ptr<THtmlHelpLoader> loader);
    // A help topic (H01 the contents) in the help viewer or the program's own help.
    void ShowHelpTopic(int topic);
    THtmlHelpLoader& helpLoader() { return *m_helpLoader; }
    // True while a station command talks to the station.
    bool DialogueRunning() const { return m_state != WindowState::Idle; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenu();
    void buildToolBar();
    void buildListAndStatusBar();
    // The serial component, its dialogue runner and the port list, as the
    // form's creation sets them up.
    void setUpPort();
    // The texts of the window that follow the language: the list's report
    // lines, the status bar's hint, the menu items from the text table.
    void RetranslateUi();
    // Puts the program into `language` without keeping the choice.
    void applyLanguage(zel::texts::Language language);
    void showHint();
    template <class F>
    void guarded(F&& command);

    void fillPortList();
    void fillRecentReadings();
    template <class Window>
    void showPlotWindow(Window*& window);
    TSectionWindow& sectionWindow();
    // The profile the user looks at among `profiles`: the pseudosection's,
    // else the one inverted last; none for neither.
    std::optional<zel::Profile> currentProfile(const std::vector<zel::Profile>& profiles) const;
    bool inversionRunning() const;
    // The survey geometry: the settings file's, read again into the document
    // (a stored value that cannot be used is said in the status bar and in
    // `problem`, and the default serves until a valid one is saved), with
    // each profile's own.
    zel::SurveyGeometry surveyGeometry(QString* problem = nullptr);
    // "Save protocol" of an electrode table read and checked before the port opens.
    zel::UploadOutcome uploadTable(const zel::TableUpload& table);
    bool showDecoding(const zel::DumpDecoding& d, const QString& source);
    // Runs a station dialogue in `state`; the runner's signals show it.
    void runDialogue(WindowState state, const std::function<void()>& dialogue);
    void dialogueStarted();
    void dialogueLine(const zel::ReportLine& line);
    void dialogueProgress(qint64 done, qint64 total, bool sending);
    void dialogueFinished();
    // Refuses a command while a dialogue runs, and a station command
    // (`station`) while an inversion runs too; true when refused.
    bool refuseDuringDialogue(bool station = false);
    void showPortChoiceOfComponent();
    int selectedPortNumber() const;
    void storePortIndex();
    // Writes the settings file now; says once a run when it cannot.
    void saveSettings();

    std::unique_ptr<UserDialogs> m_ownDialogs;
    UserDialogs* m_dialogs = nullptr;
    std::unique_ptr<zel::ComPrompts> m_comPrompts;
    std::optional<QStringList> m_serialDevices;
    std::unique_ptr<THtmlHelpLoader> m_helpLoader;
    zel::ReadingArchive m_readings{zel::ReadingArchive::defaultFolder()};
    QActionGroup* m_languages = nullptr;  // one of "Русский" and "English" is checked
    std::optional<zel::LineId> m_hintLine;  // the failure whose hint the status bar shows
    std::function<void(TSequenceDialog&)> m_sequenceDialogShown;
    std::optional<zel::SequenceOptions> m_generatorOptions;  // the generator's fields when it was last closed
    std::optional<zel::Profile> m_invertedProfile;           // the profile inverted last
    WindowState m_state = WindowState::Idle;
    bool m_closed = false;
    WindowState m_dialogueState = WindowState::Idle;  // the state of the dialogue about to start
    bool m_closeAfterDialogue = false;  // the window was closed during a dialogue
    bool m_settingsNotWrittenSaid = false;
};

// Runs a command; an error it does not handle itself is shown.
template <class F>
inline void TForm1::guarded(F&& command)
{
    try {
        command();
    } catch (const zel::ZelError& e) {
        ShowError(zel::texts::errorText(e));
    } catch (const std::exception& e) {
        ShowError(QString::fromLocal8Bit(e.what()));
    }
}
