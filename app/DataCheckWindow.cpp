#include "DataCheckWindow.h"

#include "Screens.h"

#include "texts/Texts.h"

#include "document/Document.h"
#include "plots/Plots.h"
#include "section/Input.h"
#include "survey/ErrorModel.h"
#include "survey/Exports.h"

#include <QEvent>
#include <QScrollArea>
#include <QShortcut>
#include <QShowEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <qcustomplot.h>

namespace {

// A cell that sorts by its number, not by its text.
QTableWidgetItem* numberItem(double value, const QString& text = QString())
{
    auto* item = new QTableWidgetItem;
    item->setData(Qt::DisplayRole, text.isEmpty() ? QVariant(value) : QVariant(text));
    item->setData(Qt::UserRole, value);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

// The flags in the interface's language (the CSV keeps their own names).
QString flagTexts(unsigned flags)
{
    QStringList texts;
    for (int bit = 0; bit < zel::kCheckFlags; ++bit) {
        if (!(flags & (1u << bit)))
            continue;
        switch (zel::CheckFlag(1u << bit)) {
        case zel::FlagZero: texts << TDataCheckWindow::tr("ноль"); break;
        case zel::FlagLowSignal: texts << TDataCheckWindow::tr("слабый сигнал"); break;
        case zel::FlagNegative: texts << TDataCheckWindow::tr("отрицательное"); break;
        case zel::FlagSpike: texts << TDataCheckWindow::tr("выброс"); break;
        case zel::FlagError: texts << TDataCheckWindow::tr("погрешность"); break;
        case zel::FlagWiring: texts << TDataCheckWindow::tr("каналы"); break;
        }
    }
    return texts.join(QStringLiteral(", "));
}

// The row's value: index and channel, kept in the first cell.
zel::ValueKey keyOfRow(const QTableWidget& table, int row)
{
    const QPoint p = table.item(row, 0)->data(Qt::UserRole + 1).toPoint();
    return {p.x(), p.y()};
}

} // namespace

TDataCheckWindow::TDataCheckWindow(zel::Document& document, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_document(document)
{
    setObjectName(QStringLiteral("DataCheckWindow"));
    SummaryLabel = new QLabel(this);
    SummaryLabel->setObjectName(QStringLiteral("SummaryLabel"));
    SummaryLabel->setWordWrap(true);
    Table = new QTableWidget(0, kExcludeColumn + 1, this);
    Table->setObjectName(QStringLiteral("Table"));
    Table->verticalHeader()->hide();
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    ExcludeFlaggedButton = new QPushButton(this);
    ExcludeFlaggedButton->setObjectName(QStringLiteral("ExcludeFlaggedButton"));
    IncludeAllButton = new QPushButton(this);
    IncludeAllButton->setObjectName(QStringLiteral("IncludeAllButton"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ExcludeFlaggedButton);
    buttons->addWidget(IncludeAllButton);
    buttons->addStretch(1);
    // A summary line per profile: a memory of hundreds of profiles scrolls
    // in a strip of its own and leaves the table its room.
    SummaryArea = new QScrollArea(this);
    SummaryArea->setObjectName(QStringLiteral("SummaryArea"));
    SummaryArea->setWidget(SummaryLabel);
    SummaryArea->setWidgetResizable(true);
    SummaryArea->setFrameShape(QFrame::NoFrame);
    SummaryArea->setMaximumHeight(160);
    SummaryArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ErrorPlot = new QCustomPlot(this);
    ErrorPlot->setObjectName(QStringLiteral("ErrorPlot"));
    ErrorPlot->setMinimumSize(280, 160);
    ErrorPlot->setMaximumHeight(200);
    auto* top = new QHBoxLayout;
    top->addWidget(SummaryArea, 1);
    top->addWidget(ErrorPlot, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Table, 1);
    layout->addLayout(buttons);

    connect(Table, &QTableWidget::itemChanged, this, &TDataCheckWindow::boxChanged);
    connect(ExcludeFlaggedButton, &QPushButton::clicked, this, &TDataCheckWindow::excludeFlagged);
    connect(IncludeAllButton, &QPushButton::clicked, this, [this] { m_document.setExclusions({}); });
    connect(&m_document, &zel::Document::changed, this, [this] {
        m_chosen.clear();
        refresh();
    });
    connect(&m_document, &zel::Document::exclusionsChanged, this, &TDataCheckWindow::showExclusions);
    connect(&m_document, &zel::Document::geometryChanged, this, &TDataCheckWindow::refresh);
    // As large as it is meant to be, never larger than the screen, and on it.
    fitToScreen(*this, QSize(900, 500));
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
    // Ctrl+Z takes back the last change of the exclusions, made here or in the pseudosection.
    auto* undo = new QShortcut(QKeySequence::Undo, this);
    connect(undo, &QShortcut::activated, this, [this] { m_document.undoExclusion(); });
    retranslate();
}

void TDataCheckWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void TDataCheckWindow::retranslate()
{
    setWindowTitle(tr("Проверка данных"));
    Table->setHorizontalHeaderLabels({tr("№"), tr("Линия"), tr("Файл"), tr("Канал"), QStringLiteral("A"),
                                      QStringLiteral("B"), QStringLiteral("M"), QStringLiteral("N"),
                                      tr("ρк, Ом·м"), tr("Погр., %"), tr("Признаки"), tr("Исключить")});
    ExcludeFlaggedButton->setText(tr("Исключить все отмеченные"));
    IncludeAllButton->setText(tr("Включить все"));
    refresh();
}

void TDataCheckWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_stale)
        refresh();
}

void TDataCheckWindow::refresh()
{
    m_stale = !isVisible();
    if (m_stale)
        return;
    const std::vector<zel::MeasurementRecord> records = m_document.records();
    const zel::SurveyGeometry geometry = m_document.geometry();
    const std::vector<zel::ChannelValue> values = zel::surveyValues(records, geometry);
    const std::vector<zel::ValueCheck> checks = zel::checkValues(records, values, geometry.thresholds);
    const zel::Exclusions& excluded = m_document.exclusions();

    QStringList summary;
    std::vector<zel::ProfileErrors> errors;
    const auto byProfile = zel::valuesByProfile(records, values);
    const std::vector<zel::CheckSummary> summaries = zel::summarizeChecks(records, values, checks);
    for (std::size_t k = 0; k < summaries.size(); ++k) {
        const zel::CheckSummary& s = summaries[k];
        summary << zel::texts::checkSummary(s.profile.line, s.profile.file, s.values, s.flagged,
                                            zel::flagCounts(s, [](zel::CheckFlag f) { return flagTexts(f); }),
                                            s.medianError)
                       + (s.ofSeveralFrequencies ? zel::texts::atFrequency(*zel::frequencyHertz(s.frequencyIndex)) : QString());
        // The error model once a profile, after its last frequency.
        if (k + 1 < summaries.size() && summaries[k + 1].profile == s.profile)
            continue;
        zel::ProfileErrors e{zel::profileName(s.profile), zel::errorPairs(records, values, byProfile.at(s.profile), s.profile), std::nullopt};
        e.model = zel::fitErrorModel(e.pairs);
        if (e.model)
            summary << zel::texts::errorModelLine(s.profile.line, s.profile.file, e.model->pairs, e.model->a, e.model->b);
        summary << zel::texts::polarisationReport(records, values, checks, byProfile.at(s.profile), s.profile, false);
        if (!e.pairs.empty())
            errors.push_back(std::move(e));
    }
    zel::drawErrorPairs(*ErrorPlot, errors, zel::texts::numberLocale());
    ErrorPlot->setVisible(!errors.empty());
    ErrorPlot->replot();
    SummaryLabel->setText(summary.isEmpty() ? tr("Нет значений с положениями электродов.") : summary.join(QLatin1Char('\n')));

    const QSignalBlocker quiet(Table);
    Table->setSortingEnabled(false);
    Table->setRowCount(0);
    m_flagged.clear();
    for (std::size_t i = 0; i < values.size(); ++i) {
        const zel::ChannelValue& v = values[i];
        const bool out = excluded.count(zel::keyOf(v)) > 0;
        if (checks[i].flags != 0)
            m_flagged.push_back(zel::keyOf(v));
        if (checks[i].flags == 0 && !out && m_chosen.count(zel::keyOf(v)) == 0)
            continue;
        const zel::MeasurementRecord& r = records[std::size_t(v.record)];
        const int row = Table->rowCount();
        Table->insertRow(row);
        const auto& n = v.electrodes->number;
        const double cells[] = {double(v.record + 1), double(r.LineNo), double(r.FileNo), double(v.channel),
                                double(n[0]), double(n[1]), double(n[2]), double(n[3])};
        for (int c = 0; c < 8; ++c)
            Table->setItem(row, c, numberItem(cells[c]));
        Table->item(row, 0)->setData(Qt::UserRole + 1, QPoint(v.record + 1, v.channel));
        Table->setItem(row, 8, v.rhoa ? numberItem(*v.rhoa, zel::texts::numberLocale().toString(*v.rhoa, 'g', 6)) : numberItem(0, QStringLiteral("-")));
        Table->setItem(row, 9, checks[i].errorPercent ? numberItem(*checks[i].errorPercent, zel::texts::numberLocale().toString(*checks[i].errorPercent, 'f', 2))
                                                      : numberItem(-1, QStringLiteral("-")));
        auto* flags = new QTableWidgetItem(flagTexts(checks[i].flags));
        flags->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        Table->setItem(row, 10, flags);
        auto* box = new QTableWidgetItem;
        box->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        box->setCheckState(out ? Qt::Checked : Qt::Unchecked);
        Table->setItem(row, kExcludeColumn, box);
    }
    Table->setSortingEnabled(true);
    Table->resizeColumnsToContents();
    ExcludeFlaggedButton->setEnabled(!m_flagged.empty());
    IncludeAllButton->setEnabled(!excluded.empty());
}

void TDataCheckWindow::selectValue(const zel::ValueKey& value)
{
    show();
    raise();
    if (m_chosen.insert(value).second)
        refresh();
    for (int row = 0; row < Table->rowCount(); ++row)
        if (keyOfRow(*Table, row) == value) {
            Table->selectRow(row);
            Table->scrollToItem(Table->item(row, 0));
            return;
        }
}

void TDataCheckWindow::showExclusions()
{
    // A value left out elsewhere (the pseudosection) that has no row yet needs one.
    const zel::Exclusions& excluded = m_document.exclusions();
    int shown = 0;
    {
        const QSignalBlocker quiet(Table);
        for (int row = 0; row < Table->rowCount(); ++row) {
            const bool out = excluded.count(keyOfRow(*Table, row)) > 0;
            shown += out;
            Table->item(row, kExcludeColumn)->setCheckState(out ? Qt::Checked : Qt::Unchecked);
        }
    }
    IncludeAllButton->setEnabled(!excluded.empty());
    if (shown != int(excluded.size()))
        refresh();
}

void TDataCheckWindow::boxChanged(QTableWidgetItem* item)
{
    if (item->column() != kExcludeColumn)
        return;
    m_document.setExcluded(keyOfRow(*Table, item->row()), item->checkState() == Qt::Checked);
}

void TDataCheckWindow::excludeFlagged()
{
    zel::Exclusions all = m_document.exclusions();
    all.insert(m_flagged.begin(), m_flagged.end());
    m_document.setExclusions(std::move(all));
}
