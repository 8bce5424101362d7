#pragma once

#include "InversionDialog.h"
#include "UserDialogs.h"

#include "plots/Plots.h"
#include "survey/Checks.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class TElidedLabel;
class TCompareWindow;
class QComboBox;
class QCPRange;
class QCustomPlot;
class QDoubleSpinBox;
class QLabel;
class QMouseEvent;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QSlider;
class QSplitter;
class QTabWidget;

namespace zel {
class Document;
class SectionJob;
}

// "Survey" → "Invert...": the resistivity section of one profile and, on
// its x axis below it, the measured and modelled pseudosections and their
// misfit. It follows the document's inversion: its progress with Stop, the
// section it gave and whether the data changed since. The colour scale can
// be set and held between runs, the section drawn true to scale or
// exaggerated, with contours, at any of its iterations.
class TSectionWindow : public QWidget {
    Q_OBJECT
public:
    // What a file asked for holds: a picture (.png, .pdf), the model's files
    // or a comparison's change.
    enum class Saved { Picture, Model, Change };
    // Asks for a file to write.
    using AskFile = std::function<QString(QWidget* parent, Saved saved)>;
    TSectionWindow(zel::Document& document, UserDialogs& dialogs, QWidget* parent);

    void setAskFile(AskFile ask) { m_askFile = std::move(ask); }
    // Inverts a profile of the current data; the reason is shown when there
    // is nothing to invert. False when not started.
    bool invert(const InversionChoice& choice);
    bool running() const;
    // Ends a running inversion at its next step.
    void stop();
    // The section shown, none before the first.
    const zel::inv::InversionResult* result() const;
    // Whether the data changed since the section shown was inverted.
    bool stale() const;
    // The colour scale the section and its apparent resistivities are drawn on.
    zel::ColourScale colourScale() const;
    // The value of the datum drawn at a pixel of the misfit panel; none away
    // from every point.
    std::optional<zel::ValueKey> valueAt(const QPointF& pixel) const;
    // What a hover at a pixel of a panel shows: in the model x, elevation,
    // depth and ρ; in the data panels x and pseudo-depth, and at a datum its
    // measured and modelled ρa and the misfit.
    QString hoverText(const QCustomPlot* panel, const QPointF& pixel) const;
    // Shows in the hover line what a hover at a pixel of a panel shows.
    void showHoverAt(const QCustomPlot* panel, const QPointF& pixel);
    // Empties the hover line: the data it spoke of changed.
    void clearHover();
    // The panels drawn as one picture of `size`: PNG or PDF by `pdf`.
    QByteArray picture(const PictureSize& size, bool pdf) const;

    QLabel* TitleLabel = nullptr;
    // That the section shown does not explain the data, said once, with its figures.
    QLabel* VerdictLabel = nullptr;
    QLabel* StaleLabel = nullptr;
    QLabel* NotesLabel = nullptr;  // what the topography left to be assumed
    TElidedLabel* ProgressLabel = nullptr;
    TElidedLabel* HoverLabel = nullptr;
    QProgressBar* Progress = nullptr;
    QPushButton* StopButton = nullptr;
    QPushButton* AgainButton = nullptr;
    QPushButton* SaveImageButton = nullptr;
    QPushButton* SaveModelButton = nullptr;
    QPushButton* CompareButton = nullptr;
    // The comparison with an earlier reading, once one was asked for.
    TCompareWindow* compareWindow() const { return m_compare; }
    QDoubleSpinBox* LowEdit = nullptr;      // the colour scale's ends, ohm·m
    QDoubleSpinBox* HighEdit = nullptr;
    QComboBox* ScaleTypeBox = nullptr;      // logarithmic, linear
    QCheckBox* HoldBox = nullptr;           // the scale kept for the next run
    QComboBox* ExaggerationBox = nullptr;   // vertical exaggeration; 0: fit the panel
    QCheckBox* ContoursBox = nullptr;
    QSlider* IterationSlider = nullptr;
    QLabel* IterationLabel = nullptr;
    QCustomPlot* ModelPlot = nullptr;
    QCustomPlot* MeasuredPlot = nullptr;
    QCustomPlot* ModelledPlot = nullptr;
    QCustomPlot* MisfitPlot = nullptr;
    QCustomPlot* ChargePlot = nullptr;  // the frequency effect of the cells, when inverted
    QSplitter* Panels = nullptr;     // the section above, the data's tabs below
    QScrollArea* ModelScroll = nullptr;  // scrolls a section exaggerated taller than its room
    QTabWidget* DataTabs = nullptr;  // measured, modelled, misfit

private:
    QLabel* m_scaleLabel = nullptr;
    QLabel* m_exaggerationLabel = nullptr;

signals:
    // A click on a misfit point: its value is to be shown in the data check.
    void valueChosen(zel::ValueKey value);
    void runningChanged(bool running);

protected:
    void changeEvent(QEvent* event) override;
    // Closing the window stops its run: nothing would show what it gives.
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    zel::SectionJob& job() const;
    void retranslate();
    void started();
    void iteration(const zel::inv::IterationReport& report);
    void finished();
    void refused(const QString& reason);
    void stoppedEarly();
    void draw();
    void drawIteration();
    void keepToScale();
    // The section's panel as tall as its exaggeration needs for the whole depth.
    void fitModelHeight();
    // The four panels on the x range `x`, their axes starting and ending alike.
    void alignPanels(const QCPRange& x);
    void showRunning(bool running);
    // The progress line, in the language of the moment.
    void showProgress(std::function<QString()> text);
    void setScale(const zel::ColourScale& scale);
    void saveImage();
    void saveModel();
    void compareWith();
    // The datum drawn nearest a pixel of a data panel, within a click's
    // reach, and the value it came from.
    std::optional<std::size_t> datumAt(const QCustomPlot& panel, const QPointF& pixel) const;
    std::optional<zel::ValueKey> valueAt(const QCustomPlot& panel, const QPointF& pixel) const;

    zel::Document& m_document;
    UserDialogs& m_dialogs;
    AskFile m_askFile;
    TCompareWindow* m_compare = nullptr;
    PictureSize m_pictureSize;
    // The section drawn: the kept model, or an earlier iteration's.
    std::shared_ptr<const zel::inv::InversionResult> m_view;
    double m_top = 0;        // the model panel's upper edge, m, as drawn
    double m_wholeWidth = 0, m_wholeHeight = 0;  // the whole section's extent across and down, m, as drawn
    double m_firstChi2 = 0;  // of the run's starting model, for the progress bar
    bool m_settingScale = false;
    std::function<QString()> m_progressText;
    const QCustomPlot* m_hoverPanel = nullptr;
    QPointF m_hoverPixel;
};
