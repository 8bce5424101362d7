#pragma once

#include "section/AllLines.h"
#include "section/SurveyVolume.h"

#include <QWidget>

#include <functional>

class QComboBox;
class QCustomPlot;
class QLabel;
class QPushButton;
class QSlider;
class TDecimalSpinBox;

// Survey → All lines: every line of the reading inverted, with progress and
// Stop, either one line after the other (a plan view at a chosen depth
// below the ground, interpolated between the lines) or all lines as one 3D
// model (its depth slices, chosen by a slider or a depth, and the section
// under a chosen line cut from the volume); the lines drawn on the plan.
class TLinesWindow : public QWidget {
    Q_OBJECT
public:
    enum Mode { OneByOne, OneVolume };
    // Asks for the name of the model's files; empty: none.
    using AskFile = std::function<QString(QWidget* parent)>;
    TLinesWindow(zel::LinesJob& job, zel::VolumeJob& volume, QWidget* parent);

    // Inverts the lines as ModeBox says; false when one runs.
    bool invert(std::vector<zel::MeasurementRecord> records, zel::SurveyGeometry geometry, zel::Exclusions exclusions,
                const zel::InversionChoice& choice, int threads);
    zel::LinesJob& job() { return m_job; }
    zel::VolumeJob& volumeJob() { return m_volume; }
    bool running() const { return m_job.running() || m_volume.running(); }
    Mode mode() const;
    void setAskFile(AskFile ask) { m_askFile = std::move(ask); }

    QLabel* ProgressLabel = nullptr;
    QLabel* NotesLabel = nullptr;
    QPushButton* StopButton = nullptr;
    QComboBox* ModeBox = nullptr;
    QPushButton* InvertButton = nullptr;
    TDecimalSpinBox* DepthEdit = nullptr;
    QSlider* DepthSlider = nullptr;
    QCustomPlot* PlanPlot = nullptr;
    QComboBox* LineBox = nullptr;
    QCustomPlot* SectionPlot = nullptr;
    QPushButton* SaveButton = nullptr;

signals:
    // Invert pressed: the reading's lines again, in the mode chosen.
    void invertAsked();

protected:
    void changeEvent(QEvent* event) override;
    // Closing the window stops its run: nothing would show what it gives.
    void closeEvent(QCloseEvent* event) override;

private:
    void retranslate();
    // What the run gave: its notes, its plan; a new run's at its own depth.
    void showRun(bool newRun);
    void showVolume(bool newRun);
    void draw();
    void drawVolume();
    void saveVolume();

    QLabel* m_depthLabel = nullptr;
    QLabel* m_modeLabel = nullptr;
    QLabel* m_lineLabel = nullptr;
    QWidget* m_volumeOnly = nullptr;
    zel::LinesJob& m_job;      // the document's
    zel::VolumeJob& m_volume;  // the document's
    QStringList m_runNotes;    // what the last run of the lines one by one left out
    QStringList m_volumeNotes;  // what the last 3D model left out, and its verdict
    AskFile m_askFile;
};
