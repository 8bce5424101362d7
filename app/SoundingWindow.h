#pragma once

#include "PlotWindows.h"

#include "section/Sounding.h"
#include "section/SoundingJob.h"
#include "survey/Spacings.h"

#include <optional>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;
class QTabWidget;

// "Survey" → "Sounding": a profile's vertical electrical sounding as its
// curve on log–log axes (each MN segment apart) with the layered and the
// smooth model; the layered model's layers in a table, where a value typed
// is held (its box ticked), a layer is added or removed, and the curve is
// fitted again at once. A second tab draws the section of every sounding of
// the reading, interpreted on the worker with progress and Stop. Plain
// measurements take the spacing sheet beside the data file, edited here.
class TSoundingWindow : public TPlotWindow {
    Q_OBJECT
public:
    TSoundingWindow(QSettings& settings, UserDialogs& dialogs, QWidget* parent);
    void setRecords(const std::vector<zel::MeasurementRecord>& records, const zel::SurveyGeometry& geometry) override;
    QString hoverText(const QPointF& pixel) const override;
    // The sounding shown, interpreted; none when the profile is no sounding
    // (StateLabel says why).
    const std::optional<zel::SoundingResult>& result() const { return m_result; }
    // The sheet the plain soundings take (the document's).
    const zel::SpacingSheets& spacings() const { return m_sheets; }

    QComboBox* SoundingBox = nullptr;
    QTabWidget* Tabs = nullptr;
    QCustomPlot* SectionPlot = nullptr;
    QTableWidget* LayersTable = nullptr;  // ρ and h of each layer, ticked: held; range, S and T
    QPushButton* AddLayerButton = nullptr;
    QPushButton* RemoveLayerButton = nullptr;
    QPushButton* FewestButton = nullptr;  // the fewest layers the data need, nothing held
    QPushButton* SpacingsButton = nullptr;
    QLabel* StateLabel = nullptr;
    QLabel* SectionStateLabel = nullptr;  // the section's progress, or what it holds
    QPushButton* StopButton = nullptr;    // ends the section's interpretation where it is

    // The section's interpretation of every sounding runs.
    bool sectionRunning() const { return m_sectionJob->running(); }

    // The layered model fitted again with `layers` layers and what the table holds.
    void refit(int layers);
    // The sheet the plain soundings take, or why the one beside the data
    // could not be used; every sounding is interpreted again.
    void setSpacings(const zel::SpacingSheets& sheets, const QString& problem);

signals:
    // The user edited the sheet: the document keeps it beside the data.
    void spacingsEdited(const zel::SpacingSheets& sheets);

protected:
    void retranslate() override;
    void documentChanged() override;

private:
    void interpretChosen();
    void fillTable();
    void drawCurve();
    void drawSection();
    // The section's run ended: whole (`why` empty), or stopped or refused.
    void sectionEnded(const QString& why);
    // The last section made, drawn in the interface's language.
    void showSection();
    void editSpacings();
    std::vector<zel::inv::LayerFix> heldLayers() const;

    UserDialogs& m_dialogs;
    std::vector<zel::MeasurementRecord> m_records;
    zel::SurveyGeometry m_geometry;
    zel::SpacingSheets m_sheets;
    QString m_sheetProblem;  // a sheet beside the data that cannot be used
    std::optional<zel::SoundingResult> m_result;
    QString m_refusal;
    bool m_sectionStale = true;
    zel::SoundingSectionJob* m_sectionJob = nullptr;
    bool m_filling = false;
};
