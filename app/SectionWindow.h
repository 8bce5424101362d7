#pragma once

#include "InversionDialog.h"
#include "InversionRun.h"

#include "survey/Checks.h"
#include "survey/Geometry.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QCustomPlot;
class QLabel;
class QMouseEvent;
class QProgressBar;
class QPushButton;

namespace zel {
class Document;
}

// "Survey" → "Invert...": the resistivity section of one profile and, on
// its x axis below it, the measured and modelled pseudosections and their
// misfit. It runs the inversion on a worker thread with a progress bar and
// Stop, and marks itself out of date when the data, their exclusions or
// the geometry change after it.
class TSectionWindow : public QWidget {
    Q_OBJECT
public:
    // Asks for a file to write: a picture (.png, .pdf) or the model's files.
    using AskFile = std::function<QString(QWidget* parent, bool picture)>;
    TSectionWindow(zel::Document& document, QWidget* parent);

    void setAskFile(AskFile ask) { m_askFile = std::move(ask); }
    // Inverts a profile of the current data; the reason is shown when there
    // is nothing to invert. False when not started.
    bool invert(const InversionChoice& choice);
    bool running() const { return m_run.running(); }
    // Ends a running inversion at its next step.
    void stop() { m_run.stop(); }
    // Waits for the worker to end (the program closing).
    void waitForWorker() { m_run.wait(); }
    // The section shown, none before the first.
    const zel::inv::InversionResult* result() const { return m_result.get(); }
    // Whether the data changed since the section shown was inverted.
    bool stale() const { return m_stale; }
    // The value of the datum drawn at a pixel of the misfit panel; none away
    // from every point.
    std::optional<zel::ValueKey> valueAt(const QPointF& pixel) const;
    // What a hover at a pixel of the model shows: x, elevation and ρ.
    QString hoverText(const QPointF& pixel) const;

    QLabel* TitleLabel = nullptr;
    QLabel* StaleLabel = nullptr;
    QLabel* NotesLabel = nullptr;  // what the topography left to be assumed
    QLabel* ProgressLabel = nullptr;
    QLabel* HoverLabel = nullptr;
    QProgressBar* Progress = nullptr;
    QPushButton* StopButton = nullptr;
    QPushButton* AgainButton = nullptr;
    QPushButton* SaveImageButton = nullptr;
    QPushButton* SaveModelButton = nullptr;
    QCustomPlot* ModelPlot = nullptr;
    QCustomPlot* MeasuredPlot = nullptr;
    QCustomPlot* ModelledPlot = nullptr;
    QCustomPlot* MisfitPlot = nullptr;
    QWidget* Panels = nullptr;

signals:
    // A click on a misfit point: its value is to be shown in the data check.
    void valueChosen(zel::ValueKey value);
    void runningChanged(bool running);

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void iteration(const zel::inv::IterationReport& report);
    void finished(std::shared_ptr<const zel::inv::InversionResult> result);
    void refused(const QString& reason);
    void draw();
    void showRunning(bool running);
    // The progress line, in the language of the moment.
    void showProgress(std::function<QString()> text);
    void saveImage();
    void saveModel();
    void dataChanged();

    zel::Document& m_document;
    AskFile m_askFile;
    TInversionRun m_run;
    InversionChoice m_choice;                // of the section shown, or of the one running
    std::shared_ptr<const zel::inv::InversionResult> m_result;
    std::vector<zel::ValueKey> m_values;     // the value of each datum of the run
    std::vector<zel::ValueKey> m_shownValues;  // of the section shown
    std::vector<zel::TopographyGap> m_gaps;       // of the run
    std::vector<zel::TopographyGap> m_shownGaps;  // of the section shown
    QString m_what;                          // "L3 F1" of the section shown
    bool m_stale = false;
    bool m_changedDuringRun = false;
    std::function<QString()> m_progressText;
};
