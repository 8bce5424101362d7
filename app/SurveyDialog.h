#pragma once

#include "survey/Geometry.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QCustomPlot;
class QDoubleSpinBox;
class QLabel;
class QPushButton;

#include <QList>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

// What "Survey geometry..." shows: the default geometry with the lines'
// own, the profiles of the reading and the one shown first.
struct SurveyDialogInput {
    zel::SurveyGeometry geometry;
    QString problem;  // which stored value could not be used
    std::vector<zel::Profile> profiles;
    std::optional<zel::Profile> current;
    // Asks for a topography file; empty for Cancel.
    std::function<QString()> askTopographyFile;
};

// "Survey geometry...": the electrode spacing, the position of electrode 0
// and the channel geometry of every profile, each kept within its range;
// each profile's own spacing, x0, direction and topography; and what the
// data check takes for suspect.
class TSurveyDialog : public QDialog {
    Q_OBJECT
public:
    explicit TSurveyDialog(const SurveyDialogInput& input, QWidget* parent = nullptr);
    // `problem`, when given, says which stored value could not be used.
    explicit TSurveyDialog(const zel::SurveyGeometry& geometry, QWidget* parent = nullptr,
                           const QString& problem = QString());
    // The default with the lines' own geometry.
    zel::SurveyGeometry geometry() const;

    QDoubleSpinBox* SpacingEdit = nullptr;
    QDoubleSpinBox* OffsetEdit = nullptr;
    QComboBox* ChannelsBox = nullptr;
    // The profile shown, and whether it has a geometry of its own.
    QComboBox* ProfileBox = nullptr;
    QCheckBox* OwnGeometryBox = nullptr;
    QDoubleSpinBox* LineSpacingEdit = nullptr;
    QDoubleSpinBox* LineOffsetEdit = nullptr;
    QDoubleSpinBox* LineYEdit = nullptr;
    QCheckBox* ReversedBox = nullptr;
    QCheckBox* SlopeBox = nullptr;  // the spacing taped along the ground
    QLabel* TopographyLabel = nullptr;
    QLabel* SteepLabel = nullptr;  // a step of the ground steeper than 45°, named
    QPushButton* TopographyButton = nullptr;
    QPushButton* NoTopographyButton = nullptr;
    QCustomPlot* TopographyPlot = nullptr;
    // What the data check takes for suspect.
    QDoubleSpinBox* MinVoltageEdit = nullptr;
    QDoubleSpinBox* SpikeFactorEdit = nullptr;
    QDoubleSpinBox* MaxErrorEdit = nullptr;
    QDoubleSpinBox* DefaultErrorEdit = nullptr;
    QDoubleSpinBox* MinErrorEdit = nullptr;
    QLabel* ProblemLabel = nullptr;

    // Reads a topography file for the profile shown; a file that cannot be
    // read is said on the problem line and changes nothing.
    bool setTopographyFile(const QString& path);

    // OK only while every field holds a number of its range; else the
    // problem line names the field.
    void accept() override;

private:
    void showProfile(int index);
    void keepProfile();
    // The lines' geometry with the fields of the profile shown.
    std::map<zel::Profile, zel::LineGeometry> linesShown() const;
    void showTopography();
    // Sized to its contents within the screen.
    void fitContents();

    QList<std::pair<QDoubleSpinBox*, QString>> m_fields;
    std::map<zel::Profile, zel::LineGeometry> m_lines;
    std::vector<zel::Profile> m_profiles;
    int m_shown = -1;
    std::function<QString()> m_askTopographyFile;
    class QScrollArea* m_scroll = nullptr;
};
