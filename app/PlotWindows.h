#pragma once

#include "UserDialogs.h"

#include "plots/Plots.h"

#include <QWidget>

#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QComboBox;
class QCustomPlot;
class QMouseEvent;
class QPushButton;
class QSettings;

namespace zel {
class Document;
}

// A non-modal window with a plot of the current data: zoom and pan with the
// mouse, a hover that shows the record's table line, "Save image..." for PNG
// and PDF. Its size and place are kept in the settings between runs.
class TPlotWindow : public QWidget {
    Q_OBJECT
public:
    // The table line of a record (from 0); the picture's file for "Save image...".
    using TableLine = std::function<QString(int record)>;
    using AskImageFile = std::function<QString()>;

    TPlotWindow(const QString& name, QSettings& settings, UserDialogs& dialogs, QWidget* parent);
    void setTableLine(TableLine line) { m_tableLine = std::move(line); }
    void setAskImageFile(AskImageFile ask) { m_askImageFile = std::move(ask); }

    // The data to draw: replaces what was drawn.
    virtual void setRecords(const std::vector<zel::MeasurementRecord>& records, const zel::SurveyGeometry& geometry) = 0;
    // Draws the document's data from now on, and again whenever they or
    // their geometry change while the window is shown (when it is shown
    // again otherwise).
    void follow(const zel::Document& document);

    QCustomPlot* Plot = nullptr;
    QPushButton* SaveImageButton = nullptr;
    // The text a hover at a pixel of the plot shows (empty away from a point).
    virtual QString hoverText(const QPointF& pixel) const = 0;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // The document's data drawn again.
    virtual void documentChanged();
    const zel::Document* document() const { return m_document; }
    // The texts that follow the language, and the plot drawn again with them.
    virtual void retranslate();
    void addControl(QWidget* control);
    QString tableLine(int record) const { return m_tableLine ? m_tableLine(record) : QString(); }

private:
    void saveImage();
    void showHover(QMouseEvent* event);

    QString m_name;
    QSettings& m_settings;
    UserDialogs& m_dialogs;
    const zel::Document* m_document = nullptr;
    bool m_stale = false;  // the document changed while the window was hidden
    TableLine m_tableLine;
    AskImageFile m_askImageFile;
    class QHBoxLayout* m_controls;
};

// "Survey" → "Profile graph".
class TProfileWindow : public TPlotWindow {
    Q_OBJECT
public:
    TProfileWindow(QSettings& settings, UserDialogs& dialogs, QWidget* parent);
    void setRecords(const std::vector<zel::MeasurementRecord>& records, const zel::SurveyGeometry& geometry) override;
    QString hoverText(const QPointF& pixel) const override;

    QComboBox* ProfileBox = nullptr;  // one profile, or all of them while they stay readable
    QComboBox* ValueBox = nullptr;
    QCheckBox* LogBox = nullptr;
    QCheckBox* AllBox = nullptr;

protected:
    void retranslate() override;

private:
    void redraw();
    void fillProfiles();
    std::vector<zel::MeasurementRecord> m_records;
    zel::ProfileGraph m_graph;
};

// "Survey" → "Pseudosection".
class TPseudosectionWindow : public TPlotWindow {
    Q_OBJECT
public:
    TPseudosectionWindow(QSettings& settings, UserDialogs& dialogs, QWidget* parent);
    void setRecords(const std::vector<zel::MeasurementRecord>& records, const zel::SurveyGeometry& geometry) override;
    QString hoverText(const QPointF& pixel) const override;
    const zel::Pseudosection& section() const { return m_section; }
    // The values the user left out: drawn crossed.
    void setExclusions(const zel::Exclusions& exclusions);
    // The value drawn at a pixel of the plot; none away from every point.
    std::optional<zel::ValueKey> valueAt(const QPointF& pixel) const;
    // The value chosen by a click, ringed, its table line below the plot.
    const std::optional<zel::ValueKey>& selected() const { return m_selected; }
    void select(const std::optional<zel::ValueKey>& value);

    QComboBox* ProfileBox = nullptr;
    QComboBox* ValueBox = nullptr;  // ρa, frequency effect or metal factor
    QLabel* SelectedLabel = nullptr;

signals:
    // Delete, Ctrl+click or the context menu on a value: its exclusion is to change.
    void exclusionAsked(zel::ValueKey value);
    // Ctrl+Z: the last change of the exclusions is to be taken back.
    void undoAsked();

protected:
    void retranslate() override;
    // With the data, the values left out.
    void documentChanged() override;

private:
    void redraw();
    void ringSelected();
    // A value's table line and its electrodes, factor and ρa.
    QString valueText(const zel::ChannelValue& value) const;
    void showMenu(const QPoint& at);
    std::vector<zel::MeasurementRecord> m_records;
    zel::SurveyGeometry m_geometry;
    zel::Exclusions m_exclusions;
    zel::Pseudosection m_section;
    std::optional<zel::ValueKey> m_selected;
    QPointF m_pressedAt;
};
