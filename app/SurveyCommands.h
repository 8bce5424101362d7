#pragma once

#include "UserDialogs.h"

#include "survey/Values.h"

#include <QObject>

#include <optional>
#include <vector>

class QAction;
class TCommandHost;
class TDataCheckWindow;
class TProfileWindow;
class TPseudosectionWindow;
class TSoundingWindow;
class TSectionWindow;
class TLinesWindow;

namespace zel {
enum class SurveyFormat;
struct SurveyGeometry;
}

// The survey menu of the current reading: the geometry of the line, the files
// for inversion programs, the plot windows, the data check and the inversion.
// The windows it opens follow the document; they are made on first use.
class TSurveyCommands : public QObject {
    Q_OBJECT
public:
    explicit TSurveyCommands(TCommandHost& host, QObject* parent = nullptr);

    void editGeometry();                        // "Survey geometry..."
    void exportSurvey(zel::SurveyFormat format);  // "Export CSV/Res2DInv/pyGIMLi..."
    void showProfileGraph();
    void showPseudosection();
    void showSounding();                        // "Sounding"
    void showDataCheck();
    void invert();                              // "Invert..."
    void invertAllLines();                      // "All lines"

    // The survey geometry: the settings file's, read again into the
    // document (a stored value that cannot be used is said in the status bar
    // and in `problem`, and the default serves until a valid one is saved),
    // with each profile's own.
    zel::SurveyGeometry geometry(QString* problem = nullptr);

    // One of the document's jobs runs (the section, a comparison, all lines).
    bool inversionRunning() const;
    // Stops the running jobs and waits for their workers (the window closes).
    void stopInversion();

    // The windows, once made (tests look into them).
    TProfileWindow* profileWindow() const { return m_profile; }
    TPseudosectionWindow* pseudosectionWindow() const { return m_pseudosection; }
    TSoundingWindow* soundingWindow() const { return m_sounding; }
    TDataCheckWindow* dataCheckWindow() const { return m_dataCheck; }
    TSectionWindow* sectionWindow() const { return m_section; }
    TLinesWindow* linesWindow() const { return m_lines; }

private:
    template <class Window>
    void showPlotWindow(Window*& window);
    TSectionWindow& section();
    // Asks for a file to write, offered as `name` in the reading's folder.
    QString askNewFile(QWidget* parent, const QString& filter, const QString& ext, const QString& name);
    // The profile the user looks at among `profiles`: the pseudosection's,
    // else the one inverted last; none for neither.
    std::optional<zel::Profile> currentProfile(const std::vector<zel::Profile>& profiles) const;

    TCommandHost& m_host;
    TFileDialog m_exportDialog;  // remembers the folder of the last export
    TProfileWindow* m_profile = nullptr;
    TPseudosectionWindow* m_pseudosection = nullptr;
    TSoundingWindow* m_sounding = nullptr;
    TDataCheckWindow* m_dataCheck = nullptr;
    TSectionWindow* m_section = nullptr;
    TLinesWindow* m_lines = nullptr;
    std::optional<zel::Profile> m_invertedProfile;  // the profile inverted last
    QString m_lastFolder;  // where a picture or model was written last
};
