#pragma once

#include "section/AllLines.h"

#include <QWidget>

class QCustomPlot;
class QLabel;
class QPushButton;
class TDecimalSpinBox;

// Survey → All lines: every line of the reading inverted one after the
// other with progress and Stop, then a plan view at a chosen depth below
// the ground, interpolated between the lines, with the lines drawn.
class TLinesWindow : public QWidget {
    Q_OBJECT
public:
    TLinesWindow(zel::LinesJob& job, QWidget* parent);

    bool invert(std::vector<zel::MeasurementRecord> records, zel::SurveyGeometry geometry, zel::Exclusions exclusions,
                const zel::InversionChoice& choice, int threads);
    zel::LinesJob& job() { return m_job; }

    QLabel* ProgressLabel = nullptr;
    QLabel* NotesLabel = nullptr;
    QPushButton* StopButton = nullptr;
    TDecimalSpinBox* DepthEdit = nullptr;
    QCustomPlot* PlanPlot = nullptr;

protected:
    void changeEvent(QEvent* event) override;
    // Closing the window stops its run: nothing would show what it gives.
    void closeEvent(QCloseEvent* event) override;

private:
    void retranslate();
    // What the run gave: its notes, its plan; a new run's at its own depth.
    void showRun(bool newRun);
    void draw();

    QLabel* m_depthLabel = nullptr;
    zel::LinesJob& m_job;  // the document's
    QStringList m_runNotes;  // what the last run left out
};
