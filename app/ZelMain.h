#pragma once

#include "CommandHost.h"
#include "StationCommands.h"
#include "ToolBar.h"
#include "UserDialogs.h"

#include "data/RawDump.h"
#include "data/ReadingArchive.h"

#include <QMainWindow>

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
class QStatusBar;
class QToolButton;
class TAboutBox;
class TFileCommands;
class THelpWindow;
class THtmlHelpLoader;
class TSurveyCommands;

// The main window: it shows the current reading (the document) in its list
// and wires its menus and buttons to the command groups: files, station and
// survey. Every control's enabled state follows from the station's state.
class TForm1 : public QMainWindow, private TCommandHost {
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
    QMenu* RecentReadings1 = nullptr;  // the last kept readings, newest first
    QAction* ReadingsFolder1 = nullptr;
    QAction* SurveyGeometry1 = nullptr;
    QAction* ExportCsv1 = nullptr;
    QAction* ExportRes2DInv1 = nullptr;
    QAction* ExportOhm1 = nullptr;
    QAction* Generator1 = nullptr;  // "Service" → "Electrode table generator..."
    QAction* ProfileGraph1 = nullptr;
    QAction* Pseudosection1 = nullptr;
    QAction* DataCheck1 = nullptr;  // "Survey" → "Data check..."
    QAction* Invert1 = nullptr;     // "Survey" → "Invert..."
    QAction* AllLines1 = nullptr;   // "Survey" → "All lines"
    QAction* Sounding1 = nullptr;   // "Survey" → "Sounding"

    // The current reading, and the command groups that act on it.
    zel::Document& document() override { return *m_document; }
    const zel::Reading& Data() const;
    TFileCommands& files() { return *m_files; }
    TStationCommands& station() { return *m_station; }
    TSurveyCommands& survey() { return *m_survey; }
    // True while a station command talks to the station.
    bool DialogueRunning() const { return m_station->running(); }

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
    void Contens1Click();
    void About2Click();
    void ComboBox1Change();
    void ComboBox2Change();
    void ToolBar1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    // Shows every text in `language` at once and keeps the choice in the settings.
    void SetLanguage(zel::texts::Language language);

    // Decodes the raw dump of the current data, lists the count and header
    // lines; true when decoded. `source` names the file it came from.
    bool ReadDump(const QString& source = {});
    // Loads a data file as Load File does, without asking for it (a .zel
    // file opened from the desktop).
    void OpenDataFile(const QString& path);
    static constexpr int kRecentReadings = 10;
    // The characters of the table's widest row (View).
    static constexpr int kWidestRow = 124;
    // Where every reading is kept (tests give a folder of their own).
    void setReadingsFolder(const QString& folder) { m_readings = zel::ReadingArchive(folder); }
    zel::ReadingArchive& readings() override { return m_readings; }
    // Enables every control as the window's state, the current data and the
    // port list allow.
    void UpdateActions();
    // The help viewer loader (tests give one with a stand-in viewer).
    void setHelpLoader(std::unique_ptr<THtmlHelpLoader> loader);
    THtmlHelpLoader& helpLoader() { return *m_helpLoader; }
    // A help topic (H01 the contents) in the help viewer or the program's own help.
    void ShowHelpTopic(int topic);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // What the command groups use of the window.
    QWidget* dialogParent() override { return this; }
    UserDialogs& dialogs() override { return *m_dialogs; }
    QSettings& settings() override { return *m_ini; }
    QSettings& userSettings() override { return *m_user; }
    void clearList() override;
    void addLines(const QStringList& lines) override;
    void addReportLine(const zel::ReportLine& line) override;
    bool showDecoding(const zel::DumpDecoding& decoding, const QString& source = {}) override;
    void showStatus(const QString& text, int timeoutMs = 0) override;
    void showError(const QString& text) override;
    bool refuseDuringDialogue(bool station = false) override;
    void saveSettings() override;

    void buildMenu();
    void buildToolBar();
    void buildListAndStatusBar();
    // The width of a list row.
    int rowWidth(const QString& row) const;
    // Lists `lines`, every row as wide as the widest listed.
    void addRows(const QStringList& lines);
    // The texts of the window that follow the language: the list's report
    // lines, the status bar's hint, the menu items from the text table.
    void RetranslateUi();
    // Puts the program into `language` without keeping the choice.
    void applyLanguage(zel::texts::Language language);
    void showHint();
    // A station dialogue starts, goes on, ends: the stop button, the
    // progress bar and the hint of a failure show it.
    void dialogueStarted();
    void dialogueProgress(const QString& text, int permille);
    void dialogueEnded();

    std::unique_ptr<UserDialogs> m_ownDialogs;
    UserDialogs* m_dialogs = nullptr;
    QSettings* m_ini = nullptr;  // the settings file "Zel-Terravox.ini"
    std::unique_ptr<QSettings> m_user;  // the user's own settings
    zel::Document* m_document = nullptr;
    TFileCommands* m_files = nullptr;
    TStationCommands* m_station = nullptr;
    TSurveyCommands* m_survey = nullptr;
    std::unique_ptr<THtmlHelpLoader> m_helpLoader;
    zel::ReadingArchive m_readings{zel::ReadingArchive::defaultFolder()};
    QActionGroup* m_languages = nullptr;  // one of "Русский" and "English" is checked
    bool m_closed = false;
    bool m_closeAfterDialogue = false;  // the window was closed during a dialogue
    bool m_settingsNotWrittenSaid = false;
    int m_rowWidth = 0;  // of the widest row listed
};
