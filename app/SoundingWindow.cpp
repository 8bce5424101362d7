#include "SoundingWindow.h"

#include "texts/Texts.h"

#include "data/ZelError.h"
#include "document/Document.h"
#include "plots/Plots.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <qcustomplot.h>

#include <cmath>

namespace {

enum Column { RhoColumn, ThicknessColumn, RangeColumn, ConductanceColumn, ColumnCount };

// `significant` digits without an exponent: a field crew reads 1420, not 1.42E+03.
QString decimal(double v, int significant = 4)
{
    const int decimals = v == 0 || !std::isfinite(v) ? 0 : std::max(0, significant - 1 - int(std::floor(std::log10(std::abs(v)))));
    return zel::texts::numberLocale().toString(v, 'f', std::min(decimals, 6));
}

} // namespace

TSoundingWindow::TSoundingWindow(QSettings& settings, UserDialogs& dialogs, QWidget* parent)
    : TPlotWindow(QStringLiteral("SoundingWindow"), settings, dialogs, parent)
    , m_dialogs(dialogs)
{
    SoundingBox = new QComboBox(this);
    SoundingBox->setObjectName(QStringLiteral("SoundingBox"));
    addControl(SoundingBox);
    SpacingsButton = new QPushButton(this);
    SpacingsButton->setObjectName(QStringLiteral("SpacingsButton"));
    addControl(SpacingsButton);

    // The curve and the section as tabs, the layers beside them.
    auto* outer = static_cast<QVBoxLayout*>(layout());
    outer->removeWidget(Plot);
    Tabs = new QTabWidget(this);
    Tabs->setObjectName(QStringLiteral("Tabs"));
    Tabs->addTab(Plot, QString());
    SectionPlot = new QCustomPlot(this);
    SectionPlot->setObjectName(QStringLiteral("SectionPlot"));
    Tabs->addTab(SectionPlot, QString());
    LayersTable = new QTableWidget(0, ColumnCount, this);
    LayersTable->setObjectName(QStringLiteral("LayersTable"));
    LayersTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    LayersTable->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    AddLayerButton = new QPushButton(this);
    AddLayerButton->setObjectName(QStringLiteral("AddLayerButton"));
    RemoveLayerButton = new QPushButton(this);
    RemoveLayerButton->setObjectName(QStringLiteral("RemoveLayerButton"));
    FewestButton = new QPushButton(this);
    FewestButton->setObjectName(QStringLiteral("FewestButton"));
    StateLabel = new QLabel(this);
    StateLabel->setObjectName(QStringLiteral("StateLabel"));
    StateLabel->setWordWrap(true);
    StateLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {AddLayerButton, RemoveLayerButton, FewestButton})
        buttons->addWidget(b);
    auto* side = new QVBoxLayout;
    side->addWidget(LayersTable, 1);
    side->addLayout(buttons);
    side->addWidget(StateLabel);
    SectionStateLabel = new QLabel(this);
    SectionStateLabel->setObjectName(QStringLiteral("SectionStateLabel"));
    SectionStateLabel->setWordWrap(true);
    StopButton = new QPushButton(this);
    StopButton->setObjectName(QStringLiteral("StopButton"));
    StopButton->hide();
    auto* sectionState = new QHBoxLayout;
    sectionState->addWidget(SectionStateLabel, 1);
    sectionState->addWidget(StopButton);
    auto* main = new QVBoxLayout;
    main->addWidget(Tabs, 1);
    main->addLayout(sectionState);
    auto* row = new QHBoxLayout;
    row->addLayout(main, 3);
    row->addLayout(side, 2);
    outer->addLayout(row, 1);

    connect(SoundingBox, &QComboBox::currentIndexChanged, this, &TSoundingWindow::interpretChosen);
    connect(SpacingsButton, &QPushButton::clicked, this, &TSoundingWindow::editSpacings);
    connect(AddLayerButton, &QPushButton::clicked, this, [this] { refit(LayersTable->rowCount() + 1); });
    connect(RemoveLayerButton, &QPushButton::clicked, this, [this] {
        // The chosen layer goes (else the deepest), and what it held with it.
        const int gone = LayersTable->currentRow() >= 0 ? LayersTable->currentRow() : LayersTable->rowCount() - 1;
        if (LayersTable->rowCount() > 1) {
            LayersTable->removeRow(gone);
            refit(LayersTable->rowCount());
        }
    });
    connect(FewestButton, &QPushButton::clicked, this, [this] {
        if (!m_result)
            return;
        m_result->layered = zel::inv::fitFewestLayers(m_result->input.data);
        fillTable();
        drawCurve();
    });
    // A value typed is held; its box taken off frees it. Either fits again.
    connect(LayersTable, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (m_filling || item->column() > ThicknessColumn)
            return;
        if (const auto typed = zel::decimalOfText(item->text()); typed && *typed > 0
            && std::abs(*typed - item->data(Qt::UserRole).toDouble()) > 1e-9 * *typed) {
            const QSignalBlocker quiet(LayersTable);
            item->setCheckState(Qt::Checked);
        }
        refit(LayersTable->rowCount());
    });
    m_sectionJob = new zel::SoundingSectionJob(this);
    connect(m_sectionJob, &zel::SoundingSectionJob::progress, this, [this](int done, int total) {
        SectionStateLabel->setText(tr("Разрез: зондирования интерпретированы в %1 профилях из %2…").arg(done).arg(total));
    });
    connect(m_sectionJob, &zel::WorkerJob::finished, this, [this] { sectionEnded({}); });
    connect(m_sectionJob, &zel::WorkerJob::stoppedEarly, this, [this] {
        sectionEnded(tr("Разрез остановлен; он будет построен, когда вкладка откроется снова."));
        if (!m_sectionJob->running())
            m_sectionStale = true;
    });
    connect(m_sectionJob, &zel::WorkerJob::refused, this, &TSoundingWindow::sectionEnded);
    connect(StopButton, &QPushButton::clicked, this, [this] {
        m_sectionStale = false;
        m_sectionJob->stop();
    });
    connect(Tabs, &QTabWidget::currentChanged, this, [this] {
        if (Tabs->currentWidget() == SectionPlot && m_sectionStale)
            drawSection();
    });
    TSoundingWindow::retranslate();
}

void TSoundingWindow::retranslate()
{
    TPlotWindow::retranslate();
    SectionPlot->setLocale(Plot->locale());
    setWindowTitle(tr("Зондирование"));
    Tabs->setTabText(0, tr("Кривая"));
    Tabs->setTabText(1, tr("Разрез по зондированиям"));
    SpacingsButton->setText(tr("Лист разносов..."));
    SpacingsButton->setToolTip(tr("AB/2 и MN/2 каждой станции для измерений без положений электродов"));
    AddLayerButton->setText(tr("Добавить слой"));
    RemoveLayerButton->setText(tr("Удалить слой"));
    FewestButton->setText(tr("Подобрать число слоёв"));
    FewestButton->setToolTip(tr("Наименьшее число слоёв, которое объясняет данные; закреплённое отпускается"));
    StopButton->setText(tr("Стоп"));
    StopButton->setToolTip(tr("Остановить интерпретацию зондирований для разреза"));
    LayersTable->setHorizontalHeaderLabels({tr("ρ, Ом·м"), tr("h, м"), tr("ρ от – до"), tr("S = h/ρ, См")});
    LayersTable->horizontalHeaderItem(RhoColumn)->setToolTip(tr("Отметка: значение закреплено при подборе"));
    LayersTable->horizontalHeaderItem(ThicknessColumn)->setToolTip(tr("Отметка: значение закреплено при подборе"));
    fillTable();
    drawCurve();
    if (!m_sectionJob->running())
        showSection();
}

void TSoundingWindow::documentChanged()
{
    if (document()) {
        m_sheets = document()->spacings();
        m_sheetProblem = document()->spacingsRefusal();
    }
    TPlotWindow::documentChanged();
}

void TSoundingWindow::setSpacings(const zel::SpacingSheets& sheets, const QString& problem)
{
    if (sheets == m_sheets && problem == m_sheetProblem)
        return;
    m_sheets = sheets;
    m_sheetProblem = problem;
    m_sectionStale = true;
    interpretChosen();
    if (Tabs->currentWidget() == SectionPlot)
        drawSection();
}

void TSoundingWindow::setRecords(const std::vector<zel::MeasurementRecord>& records, const zel::SurveyGeometry& geometry)
{
    m_records = records;
    m_geometry = geometry;
    const QVariant chosen = SoundingBox->currentData();
    {
        const QSignalBlocker quiet(SoundingBox);
        SoundingBox->clear();
        for (const zel::Profile& p : zel::profilesOf(m_records))
            SoundingBox->addItem(zel::profileName(p), QVariant::fromValue(QPoint(p.line, p.file)));
        SoundingBox->setCurrentIndex(std::max(0, SoundingBox->findData(chosen)));
    }
    m_sectionStale = true;
    interpretChosen();
    if (Tabs->currentWidget() == SectionPlot)
        drawSection();
}

void TSoundingWindow::interpretChosen()
{
    m_result.reset();
    m_refusal.clear();
    if (const QVariant data = SoundingBox->currentData(); data.isValid()) {
        const QPoint p = data.toPoint();
        try {
            m_result = zel::interpretSounding(zel::soundingInput(m_records, m_geometry, {p.x(), p.y()}, {}, m_sheets));
        } catch (const zel::SoundingRefused& e) {
            m_refusal = QString::fromStdString(e.what());
        } catch (const zel::ZelError& e) {
            m_refusal = zel::withFullStop(zel::texts::errorText(e));
        }
    }
    fillTable();
    drawCurve();
}

std::vector<zel::inv::LayerFix> TSoundingWindow::heldLayers() const
{
    std::vector<zel::inv::LayerFix> held(std::size_t(LayersTable->rowCount()));
    for (int row = 0; row < LayersTable->rowCount(); ++row)
        for (const int column : {RhoColumn, ThicknessColumn}) {
            const QTableWidgetItem* item = LayersTable->item(row, column);
            if (!item || item->checkState() != Qt::Checked)
                continue;
            const auto value = zel::decimalOfText(item->text());
            if (!value || !(*value > 0))
                continue;
            (column == RhoColumn ? held[std::size_t(row)].rho : held[std::size_t(row)].thickness) = *value;
        }
    return held;
}

void TSoundingWindow::refit(int layers)
{
    if (!m_result || layers < 1)
        return;
    std::vector<zel::inv::LayerFix> held = heldLayers();
    held.resize(std::size_t(layers));
    held.back().thickness.reset();  // the deepest reaches down without end
    m_result->layered = zel::inv::fitLayers(m_result->input.data, layers, held);
    fillTable();
    // What the user held stays ticked.
    {
        const QSignalBlocker quiet(LayersTable);
        for (std::size_t i = 0; i < held.size() && int(i) < LayersTable->rowCount(); ++i) {
            if (held[i].rho)
                LayersTable->item(int(i), RhoColumn)->setCheckState(Qt::Checked);
            if (held[i].thickness && LayersTable->item(int(i), ThicknessColumn)->flags() & Qt::ItemIsEditable)
                LayersTable->item(int(i), ThicknessColumn)->setCheckState(Qt::Checked);
        }
    }
    drawCurve();
}

void TSoundingWindow::fillTable()
{
    m_filling = true;
    const QSignalBlocker quiet(LayersTable);
    LayersTable->setRowCount(0);
    const bool any = m_result.has_value();
    for (QPushButton* b : {AddLayerButton, RemoveLayerButton, FewestButton})
        b->setEnabled(any);
    if (!any) {
        StateLabel->setText((m_refusal.isEmpty() ? tr("В данных нет профилей.") : m_refusal)
                            + (m_sheetProblem.isEmpty() ? QString() : QStringLiteral("\n") + m_sheetProblem));
        m_filling = false;
        return;
    }
    const zel::inv::LayeredFit& fit = m_result->layered;
    AddLayerButton->setEnabled(fit.earth.rho.size() < 8);
    RemoveLayerButton->setEnabled(fit.earth.rho.size() > 1);
    LayersTable->setRowCount(int(fit.earth.rho.size()));
    for (std::size_t i = 0; i < fit.earth.rho.size(); ++i) {
        const int row = int(i);
        const bool last = i == fit.earth.thickness.size();
        auto* rho = new QTableWidgetItem(decimal(fit.earth.rho[i]));
        rho->setData(Qt::UserRole, fit.earth.rho[i]);
        rho->setCheckState(Qt::Unchecked);
        LayersTable->setItem(row, RhoColumn, rho);
        auto* h = new QTableWidgetItem(last ? QStringLiteral("∞") : decimal(fit.earth.thickness[i]));
        if (last) {
            h->setFlags(Qt::ItemIsEnabled);
        } else {
            h->setData(Qt::UserRole, fit.earth.thickness[i]);
            h->setCheckState(Qt::Unchecked);
        }
        LayersTable->setItem(row, ThicknessColumn, h);
        for (const int column : {RangeColumn, ConductanceColumn}) {
            auto* item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            LayersTable->setItem(row, column, item);
        }
        LayersTable->item(row, RangeColumn)->setText(decimal(fit.rhoRange[i][0], 3) + QStringLiteral(" – ") + decimal(fit.rhoRange[i][1], 3));
        if (!last) {
            // Where ρ and h are equivalent, the data fix S = h/ρ and T = h·ρ.
            LayersTable->item(row, ConductanceColumn)->setText(decimal(fit.earth.thickness[i] / fit.earth.rho[i], 3));
            LayersTable->item(row, ConductanceColumn)->setToolTip(
                tr("T = h·ρ = %1 Ом·м²").arg(decimal(fit.earth.thickness[i] * fit.earth.rho[i], 3)));
        }
    }
    StateLabel->setText(tr("%1 в точке %2 м: %3 измерений; слоёв %4, χ² %5, RRMS %6 %; гладкая модель: RRMS %7 %")
                            .arg(m_result->input.what, zel::texts::numberLocale().toString(m_result->input.centre, 'g', 10))
                            .arg(m_result->input.data.size())
                            .arg(fit.earth.rho.size())
                            .arg(zel::texts::numberLocale().toString(fit.chi2, 'f', 2), zel::texts::numberLocale().toString(fit.rrms, 'f', 2),
                                 zel::texts::numberLocale().toString(m_result->smooth.rrms, 'f', 2))
                        + (m_result->input.notPositive > 0
                               ? QStringLiteral("\n") + tr("Измерений с ρк ≤ 0 не взято: %1 (перепутаны провода?).").arg(m_result->input.notPositive)
                               : QString())
                        + (m_sheetProblem.isEmpty() ? QString() : QStringLiteral("\n") + m_sheetProblem));
    m_filling = false;
}

void TSoundingWindow::drawCurve()
{
    if (!m_result) {
        Plot->clearPlottables();
        Plot->clearItems();
        Plot->replot();
        return;
    }
    zel::drawSounding(*Plot, m_result->input.data, m_result->layered, m_result->smooth,
                      zel::soundingTitle(*m_result, Plot->locale()));
    Plot->replot();
}

void TSoundingWindow::drawSection()
{
    // Every sounding's inversions run on the worker. One under way on what
    // has since changed is stopped, and the section begun again at its end.
    if (m_sectionJob->running()) {
        m_sectionJob->stop();
        return;
    }
    m_sectionStale = false;
    m_sectionJob->start(m_records, m_geometry, m_sheets);
    StopButton->show();
    SectionStateLabel->setText(tr("Разрез: зондирования интерпретируются…"));
}

void TSoundingWindow::sectionEnded(const QString& why)
{
    StopButton->hide();
    if (m_sectionStale && Tabs->currentWidget() == SectionPlot) {
        drawSection();
        return;
    }
    if (!why.isEmpty()) {  // stopped or refused: what was drawn stays
        SectionStateLabel->setText(why);
        SectionStateLabel->setToolTip({});
        return;
    }
    showSection();
}

void TSoundingWindow::showSection()
{
    const auto result = m_sectionJob->result();
    if (!result)
        return;
    if (result->section) {
        zel::drawSoundingSection(*SectionPlot, *result->section,
                                 document() ? QFileInfo(document()->path()).fileName() : QString());
    } else {
        SectionPlot->clearPlottables();
        SectionPlot->clearItems();
    }
    SectionPlot->replot();
    // Profiles that are no sounding are left out: the curve tab says why,
    // and the tooltip here.
    QString state = result->section
        ? tr("Разрез: зондирований %1.").arg(result->soundings.size())
        : tr("Разрез строится по двум зондированиям и более в разных точках; их здесь %1.").arg(result->soundings.size());
    if (!result->leftOut.isEmpty())
        state += QStringLiteral(" ") + tr("Профили, которые не зондирования: %1.").arg(result->leftOut.size());
    SectionStateLabel->setText(state);
    SectionStateLabel->setToolTip(result->leftOut.join(QStringLiteral("\n")));
}

QString TSoundingWindow::hoverText(const QPointF& pixel) const
{
    if (!m_result || Tabs->currentWidget() != Plot)
        return {};
    const auto& data = m_result->input.data;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const double ab2 = std::abs(data[i].x[1] - data[i].x[0]) / 2, mn2 = std::abs(data[i].x[3] - data[i].x[2]) / 2;
        const QPointF at(Plot->xAxis->coordToPixel(ab2), Plot->yAxis->coordToPixel(data[i].rhoa));
        if (QLineF(at, pixel).length() <= 8)
            return tr("AB/2 = %1 м, MN/2 = %2 м: ρк = %3 Ом·м; слоистая модель %4, гладкая %5")
                .arg(decimal(ab2), decimal(mn2), decimal(data[i].rhoa), decimal(m_result->layered.response[i]),
                     decimal(m_result->smooth.response[i]));
    }
    return {};
}

void TSoundingWindow::editSpacings()
{
    if (const auto edited = m_dialogs.editSpacings(this, m_sheets))
        emit spacingsEdited(*edited);
}
