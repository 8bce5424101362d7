#pragma once

#include "survey/Checks.h"
#include "survey/Geometry.h"

#include <QWidget>

#include <functional>
#include <set>

class QCustomPlot;
class QLabel;
class QScrollArea;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace zel {
class Document;
}

// "Survey" → "Data check...": the values the data check flags (and those
// left out), one a row with a box that leaves it out of the inversion
// files; a summary of each profile above them. It follows the current data.
class TDataCheckWindow : public QWidget {
    Q_OBJECT
public:
    TDataCheckWindow(zel::Document& document, QWidget* parent);

    // Checks the current data again (new data, another geometry or
    // thresholds); a hidden window does so when it is shown.
    void refresh();
    // Shows a value's row, selected, whether or not the check flags it.
    void selectValue(const zel::ValueKey& value);

    QLabel* SummaryLabel = nullptr;
    QScrollArea* SummaryArea = nullptr;
    // The repeat and reciprocal pairs and each profile's error model.
    QCustomPlot* ErrorPlot = nullptr;
    QTableWidget* Table = nullptr;
    QPushButton* ExcludeFlaggedButton = nullptr;
    QPushButton* IncludeAllButton = nullptr;

    static constexpr int kExcludeColumn = 11;

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void retranslate();
    void showExclusions();
    void boxChanged(QTableWidgetItem* item);
    void excludeFlagged();

    zel::Document& m_document;
    std::vector<zel::ValueKey> m_flagged;  // every flagged value
    std::set<zel::ValueKey> m_chosen;      // values shown besides the flagged and excluded
    bool m_stale = true;                   // checked again when next shown
};
