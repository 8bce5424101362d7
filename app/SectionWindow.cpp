#include "SectionWindow.h"

#include "CompareWindow.h"

#include "DecimalSpinBox.h"
#include "ElidedLabel.h"
#include "Screens.h"

#include "texts/Texts.h"

#include "data/DataFile.h"
#include "data/Interpolate.h"
#include "data/Settings.h"
#include "data/ZelError.h"
#include "document/Document.h"
#include "inversion/Files.h"
#include "section/Recipe.h"
#include "section/SectionJob.h"
#include "plots/Sheet.h"
#include "survey/Exports.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

#include <qcustomplot.h>

#include <cmath>

namespace {

constexpr double kClickPixels = 8;
// The least height of a panel, pixels: its title, axes and a few rows of data.
constexpr int kLeastPanelHeight = 140;
// Where the split between the section and the data is kept.
const QString kPanelsKey = QStringLiteral("SectionWindow/Panels");
// The progress bar's steps from the starting model's χ² to the target.
constexpr int kProgressSteps = 1000;

} // namespace

TSectionWindow::TSectionWindow(zel::Document& document, UserDialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), m_document(document), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("SectionWindow"));
    auto named = [this](auto* widget, const char* name) {
        widget->setObjectName(QLatin1String(name));
        return widget;
    };
    TitleLabel = named(new QLabel(this), "TitleLabel");
    TitleLabel->setWordWrap(true);
    VerdictLabel = named(new QLabel(this), "VerdictLabel");
    VerdictLabel->setStyleSheet(QStringLiteral("background: #ffe0d8; color: #900000; padding: 4px"));
    VerdictLabel->setWordWrap(true);
    VerdictLabel->hide();
    StaleLabel = named(new QLabel(this), "StaleLabel");
    StaleLabel->setStyleSheet(QStringLiteral("background: #fff0c0; color: #902000; padding: 4px; font-weight: bold"));
    StaleLabel->setWordWrap(true);
    StaleLabel->hide();
    NotesLabel = named(new QLabel(this), "NotesLabel");
    NotesLabel->setWordWrap(true);
    NotesLabel->setStyleSheet(QStringLiteral("background: #f4f4d0; color: #504000; padding: 3px"));
    NotesLabel->hide();
    Progress = named(new QProgressBar(this), "Progress");
    Progress->setRange(0, kProgressSteps);
    Progress->setTextVisible(false);
    ProgressLabel = named(new TElidedLabel(this), "ProgressLabel");
    StopButton = named(new QPushButton(this), "StopButton");
    AgainButton = named(new QPushButton(this), "AgainButton");
    SaveImageButton = named(new QPushButton(this), "SaveImageButton");
    SaveModelButton = named(new QPushButton(this), "SaveModelButton");
    CompareButton = named(new QPushButton(this), "CompareButton");
    HoverLabel = named(new TElidedLabel(this), "HoverLabel");

    // The colour scale, the vertical exaggeration, contours and the iteration shown.
    LowEdit = named(new TDecimalSpinBox(this), "LowEdit");
    HighEdit = named(new TDecimalSpinBox(this), "HighEdit");
    for (QDoubleSpinBox* edit : {LowEdit, HighEdit}) {
        edit->setRange(0.01, zel::inv::kLargestRhoa);
        edit->setDecimals(2);
        edit->setKeyboardTracking(false);
    }
    ScaleTypeBox = named(new QComboBox(this), "ScaleTypeBox");
    ScaleTypeBox->addItems({QString(), QString()});
    HoldBox = named(new QCheckBox(this), "HoldBox");
    ExaggerationBox = named(new QComboBox(this), "ExaggerationBox");
    for (const int ratio : {1, 2, 5, 10, 0})
        ExaggerationBox->addItem(QString(), ratio);
    ContoursBox = named(new QCheckBox(this), "ContoursBox");
    IterationSlider = named(new QSlider(Qt::Horizontal, this), "IterationSlider");
    IterationSlider->setRange(0, 0);
    IterationSlider->setPageStep(1);
    IterationSlider->setMinimumWidth(100);
    IterationLabel = named(new QLabel(this), "IterationLabel");

    // The section above, the data below in tabs, each at a height a crew
    // can read on a laptop; the split between them is the user's, kept.
    Panels = named(new QSplitter(Qt::Vertical, this), "Panels");
    Panels->setChildrenCollapsible(false);
    ModelScroll = named(new QScrollArea(Panels), "ModelScroll");
    ModelScroll->setWidgetResizable(true);
    ModelScroll->setFrameShape(QFrame::NoFrame);
    DataTabs = named(new QTabWidget(Panels), "DataTabs");
    for (auto [plot, name] : {std::pair{&ModelPlot, "ModelPlot"}, {&MeasuredPlot, "MeasuredPlot"},
                              {&ModelledPlot, "ModelledPlot"}, {&MisfitPlot, "MisfitPlot"}, {&ChargePlot, "ChargePlot"}}) {
        *plot = named(new QCustomPlot, name);
        // Its own least size, not its title's width: a long title never
        // widens the window beyond the screen.
        (*plot)->setMinimumSize(200, kLeastPanelHeight);
        if (*plot == ModelPlot)
            ModelScroll->setWidget(ModelPlot);
        else
            DataTabs->addTab(*plot, QString());
    }
    Panels->setStretchFactor(0, 3);
    Panels->setStretchFactor(1, 2);
    Panels->restoreState(zel::settings::userSettings()->value(kPanelsKey).toByteArray());
    connect(Panels, &QSplitter::splitterMoved, this, [this] { zel::settings::userSettings()->setValue(kPanelsKey, Panels->saveState()); });
    // One x axis for the four: a zoom or a pan of one moves them all.
    const QList<QCustomPlot*> all = {ModelPlot, MeasuredPlot, ModelledPlot, MisfitPlot, ChargePlot};
    for (QCustomPlot* from : all)
        connect(from->xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this, [all, from](const QCPRange& r) {
            for (QCustomPlot* to : all)
                if (to != from && to->xAxis->range() != r) {
                    to->xAxis->setRange(r);
                    to->replot(QCustomPlot::rpQueuedReplot);
                }
        });
    // True to scale (or exaggerated so many times) whatever the panel's size
    // and zoom: before each drawing, and again when its layout changed the panel.
    connect(ModelPlot, &QCustomPlot::beforeReplot, this, &TSectionWindow::keepToScale);
    connect(ModelPlot, &QCustomPlot::afterLayout, this, &TSectionWindow::keepToScale);
    for (QCustomPlot* plot : all)
        connect(plot, &QCustomPlot::mouseMove, this, [this, plot](QMouseEvent* e) { showHoverAt(plot, e->position()); });
    for (QCustomPlot* plot : {MeasuredPlot, ModelledPlot, MisfitPlot}) {
        connect(plot, &QCustomPlot::mousePress, this, [this](QMouseEvent* e) { setProperty("pressedAt", e->position()); });
        connect(plot, &QCustomPlot::mouseRelease, this, [this, plot](QMouseEvent* e) {
            // A click, not a drag: the value of the datum under it.
            if (QLineF(property("pressedAt").toPointF(), e->position()).length() > kClickPixels)
                return;
            if (const auto value = valueAt(*plot, e->position()))
                emit valueChosen(*value);
        });
    }

    auto* top = new QHBoxLayout;
    top->addWidget(TitleLabel, 1);
    top->addWidget(AgainButton);
    top->addWidget(SaveImageButton);
    top->addWidget(SaveModelButton);
    top->addWidget(CompareButton);
    // The progress, the colour scale, and how the section is viewed: three
    // rows, so that a laptop's screen holds them in larger fonts too.
    auto* progress = new QHBoxLayout;
    progress->addWidget(Progress, 1);
    progress->addWidget(ProgressLabel, 3);
    progress->addWidget(StopButton);
    auto* scaleRow = new QHBoxLayout;
    m_scaleLabel = new QLabel(this);
    m_exaggerationLabel = new QLabel(this);
    scaleRow->addWidget(m_scaleLabel);
    scaleRow->addWidget(LowEdit);
    scaleRow->addWidget(new QLabel(QStringLiteral("–"), this));
    scaleRow->addWidget(HighEdit);
    scaleRow->addWidget(ScaleTypeBox);
    scaleRow->addWidget(HoldBox);
    scaleRow->addStretch(1);
    auto* viewRow = new QHBoxLayout;
    viewRow->addWidget(m_exaggerationLabel);
    viewRow->addWidget(ExaggerationBox);
    viewRow->addWidget(ContoursBox);
    viewRow->addSpacing(12);
    viewRow->addWidget(IterationLabel);
    viewRow->addWidget(IterationSlider, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(VerdictLabel);
    layout->addWidget(StaleLabel);
    layout->addWidget(NotesLabel);
    layout->addLayout(progress);
    layout->addLayout(scaleRow);
    layout->addLayout(viewRow);
    layout->addWidget(Panels, 1);
    layout->addWidget(HoverLabel);

    zel::SectionJob& section = job();
    connect(&section, &zel::SectionJob::started, this, &TSectionWindow::started);
    connect(&section, &zel::SectionJob::iteration, this, &TSectionWindow::iteration);
    connect(&section, &zel::SectionJob::depthIteration, this, [this](int run, const zel::inv::IterationReport& r) {
        Progress->setValue(kProgressSteps * (run - 1) / 2 + std::min(r.number, 10) * kProgressSteps / 20);
        showProgress([run, r] { return tr("Глубинность исследования, инверсия %1 из 2: %2").arg(run).arg(zel::progressLine(r)); });
    });
    connect(&section, &zel::SectionJob::finished, this, &TSectionWindow::finished);
    connect(&section, &zel::SectionJob::refused, this, &TSectionWindow::refused);
    connect(&section, &zel::SectionJob::stoppedEarly, this, &TSectionWindow::stoppedEarly);
    connect(&section, &zel::SectionJob::staleChanged, StaleLabel, &QWidget::setVisible);
    // What a hover said of the data before they changed no longer holds.
    connect(&section, &zel::SectionJob::staleChanged, this, &TSectionWindow::clearHover);
    connect(StopButton, &QPushButton::clicked, this, &TSectionWindow::stop);
    connect(AgainButton, &QPushButton::clicked, this, [this] { invert(job().choice()); });
    connect(SaveImageButton, &QPushButton::clicked, this, &TSectionWindow::saveImage);
    connect(SaveModelButton, &QPushButton::clicked, this, &TSectionWindow::saveModel);
    connect(CompareButton, &QPushButton::clicked, this, &TSectionWindow::compareWith);
    for (QDoubleSpinBox* edit : {LowEdit, HighEdit})
        connect(edit, &QDoubleSpinBox::valueChanged, this, [this] {
            if (!m_settingScale)
                draw();
        });
    connect(ScaleTypeBox, &QComboBox::currentIndexChanged, this, [this] { draw(); });
    connect(ContoursBox, &QCheckBox::toggled, this, [this] { draw(); });
    connect(ExaggerationBox, &QComboBox::currentIndexChanged, this, [this] { draw(); });
    connect(IterationSlider, &QSlider::valueChanged, this, [this] { drawIteration(); });

    fitToScreen(*this, QSize(1000, 800));
    retranslate();
    showRunning(false);
}

zel::SectionJob& TSectionWindow::job() const { return m_document.section(); }
bool TSectionWindow::running() const { return job().running(); }
void TSectionWindow::stop() { job().stop(); }
bool TSectionWindow::stale() const { return job().stale(); }
const zel::inv::InversionResult* TSectionWindow::result() const { return job().result().get(); }

zel::ColourScale TSectionWindow::colourScale() const
{
    // Ends given the wrong way round are taken the right way; ends that
    // meet are a decade apart.
    const double low = std::min(LowEdit->value(), HighEdit->value());
    const double high = std::max(LowEdit->value(), HighEdit->value());
    return {low, high > low ? high : low * 10, ScaleTypeBox->currentIndex() == 0};
}

void TSectionWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // Taller or lower panels have other ticks: their margins follow.
    if (m_view) {
        alignPanels(ModelPlot->xAxis->range());
        fitModelHeight();
    }
}

void TSectionWindow::closeEvent(QCloseEvent* event)
{
    job().stop();
    QWidget::closeEvent(event);
}

void TSectionWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void TSectionWindow::retranslate()
{
    setWindowTitle(tr("Разрез сопротивлений"));
    StaleLabel->setText(tr("Данные изменились после этой инверсии: разрез устарел. «Инверсия заново» пересчитает его."));
    StopButton->setText(tr("Стоп"));
    AgainButton->setText(tr("Инверсия заново"));
    SaveImageButton->setText(zel::texts::saveImage());
    SaveModelButton->setText(tr("Сохранить модель..."));
    CompareButton->setText(tr("Сравнить с..."));
    CompareButton->setToolTip(tr("Изменение во времени: этот профиль против более раннего измерения той же линии"));
    m_scaleLabel->setText(tr("Шкала, Ом·м:"));
    ScaleTypeBox->setItemText(0, tr("логарифмическая"));
    ScaleTypeBox->setItemText(1, tr("линейная"));
    HoldBox->setText(tr("держать между инверсиями"));
    HoldBox->setToolTip(tr("Следующая инверсия рисуется в той же шкале: разрезы можно сравнивать"));
    m_exaggerationLabel->setText(tr("Вертикальный масштаб:"));
    for (int i = 0; i < ExaggerationBox->count(); ++i) {
        const int ratio = ExaggerationBox->itemData(i).toInt();
        ExaggerationBox->setItemText(i, ratio == 0 ? tr("по окну") : QStringLiteral("%1:1").arg(ratio));
    }
    ContoursBox->setText(tr("Изолинии"));
    DataTabs->setTabText(0, tr("Измеренные ρк"));
    DataTabs->setTabText(1, tr("Модельные ρк"));
    DataTabs->setTabText(2, tr("Расхождение"));
    DataTabs->setTabText(3, tr("Частотный эффект"));
    for (QCustomPlot* plot : {ModelPlot, MeasuredPlot, ModelledPlot, MisfitPlot, ChargePlot})
        plot->setToolTip(tr("Перетаскивание сдвигает, колесо мыши увеличивает; «Вертикальный масштаб» возвращает весь разрез"));
    const QLocale numbers = zel::texts::numberLocale();
    for (QDoubleSpinBox* edit : {LowEdit, HighEdit})
        edit->setLocale(numbers);
    for (QCustomPlot* plot : {ModelPlot, MeasuredPlot, ModelledPlot, MisfitPlot, ChargePlot})
        plot->setLocale(numbers);
    if (m_progressText)
        ProgressLabel->setText(m_progressText());
    drawIteration();
    if (m_hoverPanel)
        HoverLabel->setText(hoverText(m_hoverPanel, m_hoverPixel));
}

bool TSectionWindow::invert(const InversionChoice& choice)
{
    show();
    raise();
    return m_document.invert(choice);
}

void TSectionWindow::started()
{
    show();
    m_firstChi2 = 0;
    Progress->setValue(0);
    clearHover();
    showProgress([what = zel::profileName(job().choice().profile)] { return tr("%1: сетка строится...").arg(what); });
    showRunning(true);
}

void TSectionWindow::iteration(const zel::inv::IterationReport& r)
{
    // The bar shows how far χ² has come from the starting model's towards
    // its target, on a logarithmic scale: an inversion that stops early at
    // the target ends it full.
    if (r.number == 0)
        m_firstChi2 = r.chi2;
    const double whole = std::log(m_firstChi2 / zel::inv::kTargetChi2);
    const double share = whole > 0 ? std::log(m_firstChi2 / std::max(r.chi2, zel::inv::kTargetChi2)) / whole : 1;
    Progress->setValue(int(std::clamp(share, 0.0, 1.0) * kProgressSteps));
    showProgress([r] { return zel::progressLine(r); });
}

void TSectionWindow::finished()
{
    const auto result = job().result();
    showRunning(false);
    clearHover();
    if (result->cancelled)
        showProgress([] { return tr("Остановлено: показана модель итерации с наименьшим χ²."); });
    else if (!job().doiRefused().isEmpty())
        showProgress([this] { return tr("Глубинность исследования не посчитана: %1").arg(job().doiRefused()); });
    else
        showProgress([result] { return zel::progressLine(result->iterations.back()); });
    // A held scale stays; else the scale is the new section's and its data's.
    if (!HoldBox->isChecked()) {
        const auto [low, high] = zel::sectionRange(*result, true);
        setScale({low, high, ScaleTypeBox->currentIndex() == 0});
    }
    QSignalBlocker quiet(IterationSlider);
    IterationSlider->setRange(0, int(result->iterations.size()) - 1);
    IterationSlider->setValue(int(result->best));
    drawIteration();
}

void TSectionWindow::setScale(const zel::ColourScale& scale)
{
    m_settingScale = true;
    LowEdit->setValue(scale.low);
    HighEdit->setValue(scale.high);
    m_settingScale = false;
    QSignalBlocker quiet(ScaleTypeBox);
    ScaleTypeBox->setCurrentIndex(scale.logarithmic ? 0 : 1);
}

void TSectionWindow::refused(const QString& reason)
{
    show();
    showRunning(false);
    showProgress([reason] { return tr("Инверсия невозможна: %1").arg(reason); });
}

void TSectionWindow::stoppedEarly()
{
    showRunning(false);
    showProgress([] { return tr("Остановлено до первой модели."); });
}

void TSectionWindow::showProgress(std::function<QString()> text)
{
    m_progressText = std::move(text);
    ProgressLabel->setText(m_progressText());
}

void TSectionWindow::showRunning(bool running)
{
    const bool result = !running && job().result() != nullptr;
    Progress->setVisible(running);
    StopButton->setVisible(running);
    for (QWidget* w : std::initializer_list<QWidget*>{AgainButton, SaveImageButton, SaveModelButton, CompareButton, IterationSlider})
        w->setEnabled(result);
    emit runningChanged(running);
}

void TSectionWindow::drawIteration()
{
    const auto result = job().result();
    if (!result) {
        m_view.reset();
        return;
    }
    const auto index = std::size_t(std::clamp(IterationSlider->value(), 0, int(result->iterations.size()) - 1));
    m_view = index == result->best ? result : std::make_shared<const zel::inv::InversionResult>(result->atIteration(index));
    const zel::inv::IterationReport& r = result->iterations[index];
    const QLocale numbers = zel::texts::numberLocale();
    IterationLabel->setText(tr("Итерация %1 из %2, χ² %3").arg(r.number).arg(result->iterations.back().number).arg(numbers.toString(r.chi2, 'f', 2)));
    IterationLabel->setToolTip(index == result->best ? tr("Модель этой итерации — модель разреза: у неё наименьший χ²")
                                                     : tr("Модель разреза — итерации %1, с наименьшим χ²").arg(result->kept().number));
    draw();
}

void TSectionWindow::draw()
{
    StaleLabel->setVisible(job().stale());
    if (!m_view)
        return;
    const zel::SectionInput& shown = job().shown();
    QStringList notes;
    for (const zel::TopographyGap& gap : shown.gaps)
        notes << zel::texts::topographyGap(gap);
    NotesLabel->setText(notes.join(QLatin1Char('\n')));
    NotesLabel->setVisible(!notes.isEmpty());
    const zel::inv::InversionResult& r = *m_view;
    const QLocale numbers = zel::texts::numberLocale();
    // The figures of the iteration shown; the verdict once, in its banner.
    const QString title = zel::sectionTitle(shown.what, r, numbers, false);
    TitleLabel->setText(title + (r.leftOut > 0 ? tr("; не взято значений ρк не больше 0 или вне 1e-4–1e8 Ом·м: %1").arg(r.leftOut) : QString()));
    const QString verdict = zel::sectionVerdict(r, numbers);
    VerdictLabel->setText(verdict.isEmpty() ? QString() : zel::withFullStop(verdict.left(1).toUpper() + verdict.mid(1)));
    VerdictLabel->setVisible(!verdict.isEmpty());
    const zel::ColourScale scale = colourScale();
    zel::drawSection(*ModelPlot, *m_view, zel::wrapSectionTitle(*ModelPlot, title, std::max(457, ModelPlot->width())),
                     scale, ContoursBox->isChecked(), job().choice().doiThreshold);
    // The section's view holds the whole line; the panels below take it.
    const QCPRange x = ModelPlot->xAxis->range();
    m_top = ModelPlot->yAxis->range().upper;
    m_wholeWidth = x.size();
    m_wholeHeight = ModelPlot->yAxis->range().size();
    fitModelHeight();
    const bool response = m_view->response.size() == m_view->data.size();
    zel::drawResponse(*MeasuredPlot, *m_view, zel::ResponsePanel::Measured, scale);
    if (response) {
        zel::drawResponse(*ModelledPlot, *m_view, zel::ResponsePanel::Modelled, scale);
        zel::drawResponse(*MisfitPlot, *m_view, zel::ResponsePanel::Misfit, scale);
    }
    // The frequency effect of the cells, of a profile read at two frequencies.
    const bool charge = !m_view->chargeability.empty();
    DataTabs->setTabVisible(3, charge);
    if (charge)
        zel::drawChargeSection(*ChargePlot, *m_view, QString(), job().choice().doiThreshold);
    alignPanels(x);
}

void TSectionWindow::alignPanels(const QCPRange& x)
{
    const QList<QCustomPlot*> panels = {ModelPlot, MeasuredPlot, ModelledPlot, MisfitPlot, ChargePlot};
    for (QCustomPlot* plot : panels)
        plot->xAxis->setRange(x);
    zel::alignPanels(panels);
    for (QCustomPlot* plot : panels)
        plot->replot();
}

void TSectionWindow::fitModelHeight()
{
    // Fitted to the panel: the section takes the room it is given. At a
    // ratio, the whole line across the panel and the whole depth at that
    // ratio down it: a section taller than its room scrolls.
    const int ratio = ExaggerationBox->currentData().toInt();
    ModelScroll->setVerticalScrollBarPolicy(ratio > 0 ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
    int least = kLeastPanelHeight;
    const QRect rect = ModelPlot->axisRect()->rect();
    if (ratio > 0 && m_view && rect.width() > 0 && m_wholeWidth > 0) {
        const double metresDown = m_wholeHeight * ratio;
        const int around = ModelPlot->height() - rect.height();
        least = std::max(least, around + int(std::ceil(rect.width() * metresDown / m_wholeWidth)));
    }
    if (std::abs(ModelPlot->minimumHeight() - least) > 1)
        ModelPlot->setMinimumHeight(least);
}

void TSectionWindow::keepToScale()
{
    const int ratio = ExaggerationBox->currentData().toInt();
    const QRect rect = ModelPlot->axisRect()->rect();
    const QCPRange x = ModelPlot->xAxis->range();
    if (ratio <= 0 || !m_view || rect.width() <= 0 || rect.height() <= 0 || x.size() <= 0)
        return;
    // As many metres down the panel as across it, divided by the exaggeration;
    // the surface stays at the top.
    const double span = x.size() * rect.height() / rect.width() / ratio;
    const QCPRange wanted(m_top - span, m_top);
    const QCPRange now = ModelPlot->yAxis->range();
    if (std::abs(now.lower - wanted.lower) > 1e-9 * span || std::abs(now.upper - wanted.upper) > 1e-9 * span) {
        ModelPlot->yAxis->setRange(wanted);
        // Laid out already: the axis' ticks are made again for the new range.
        ModelPlot->axisRect()->update(QCPLayoutElement::upPreparation);
    }
}

std::optional<std::size_t> TSectionWindow::datumAt(const QCustomPlot& panel, const QPointF& pixel) const
{
    if (!m_view)
        return std::nullopt;
    double best = kClickPixels * kClickPixels;
    std::optional<std::size_t> found;
    for (std::size_t d = 0; d < m_view->data.size(); ++d) {
        const zel::inv::Point p = zel::responsePoint(m_view->data[d]);
        const double dx = panel.xAxis->coordToPixel(p.x) - pixel.x();
        const double dy = panel.yAxis->coordToPixel(p.z) - pixel.y();
        if (dx * dx + dy * dy <= best) {
            best = dx * dx + dy * dy;
            found = d;
        }
    }
    return found;
}

std::optional<zel::ValueKey> TSectionWindow::valueAt(const QPointF& pixel) const { return valueAt(*MisfitPlot, pixel); }

std::optional<zel::ValueKey> TSectionWindow::valueAt(const QCustomPlot& panel, const QPointF& pixel) const
{
    const auto datum = datumAt(panel, pixel);
    const std::vector<zel::ValueKey>& values = job().shown().values;
    if (!datum)
        return std::nullopt;
    const int tag = m_view->data[*datum].tag;
    if (tag < 0 || tag >= int(values.size()))
        return std::nullopt;
    return values[std::size_t(tag)];
}

void TSectionWindow::clearHover()
{
    m_hoverPanel = nullptr;
    HoverLabel->setText(QString());
}

void TSectionWindow::showHoverAt(const QCustomPlot* panel, const QPointF& pixel)
{
    m_hoverPanel = panel;
    m_hoverPixel = pixel;
    HoverLabel->setText(hoverText(panel, pixel));
}

QString TSectionWindow::hoverText(const QCustomPlot* panel, const QPointF& pixel) const
{
    if (!m_view || !panel)
        return QString();
    const QLocale n = zel::texts::numberLocale();
    auto metres = [&](double v) { return n.toString(v, 'f', 2); };
    auto ohmMetres = [&](double v) { return n.toString(v, 'g', 4); };
    const double x = panel->xAxis->pixelToCoord(pixel.x());
    const double z = panel->yAxis->pixelToCoord(pixel.y());
    if (panel == ModelPlot) {
        const zel::inv::Mesh& mesh = m_view->mesh;
        const int cell = mesh.cellAt({x, z});
        const int parameter = cell < 0 ? -1 : mesh.parameterOfCell[std::size_t(cell)];
        if (parameter < 0)
            return tr("x = %1 м, высота %2 м").arg(metres(x), metres(z));
        std::vector<std::pair<double, double>> surface;
        surface.reserve(mesh.columns.size());
        for (int i = 0; i < int(mesh.columns.size()); ++i)
            surface.emplace_back(mesh.columns[std::size_t(i)], mesh.nodes[std::size_t(mesh.node(i, 0))].z);
        QString text = tr("x = %1 м, высота %2 м, глубина %3 м, ρ = %4 Ом·м")
                           .arg(metres(x), metres(z), metres(zel::interpolateClamped(surface, x) - z),
                                ohmMetres(m_view->resistivity[std::size_t(parameter)]));
        if (m_view->doi.size() == m_view->resistivity.size())
            text += tr(", индекс DOI %1").arg(zel::texts::numberLocale().toString(m_view->doi[std::size_t(parameter)], 'f', 2));
        return text;
    }
    const auto datum = datumAt(*panel, pixel);
    if (!datum)
        return tr("x = %1 м, псевдоглубина %2 м").arg(metres(x), metres(z));
    const zel::inv::Point at = zel::responsePoint(m_view->data[*datum]);
    QString text = tr("x = %1 м, псевдоглубина %2 м: ρк измеренное %3 Ом·м")
                       .arg(metres(at.x), metres(at.z), ohmMetres(m_view->data[*datum].rhoa));
    if (m_view->response.size() == m_view->data.size())
        text += tr(", модельное %1 Ом·м, расхождение %2 %")
                    .arg(ohmMetres(m_view->response[*datum]), n.toString(m_view->misfitPercent(*datum), 'f', 1));
    return text;
}

QByteArray TSectionWindow::picture(const PictureSize& size, bool pdf) const
{
    // The sheet zeltool draws, of the section shown: its iteration, colour
    // scale and contours.
    if (!m_view)
        return QByteArray();
    zel::SectionSheet sheet;
    sheet.result = m_view.get();
    sheet.title = zel::sectionTitle(job().shown().what, *m_view, zel::texts::numberLocale());
    sheet.scale = colourScale();
    sheet.contours = ContoursBox->isChecked();
    sheet.doiThreshold = job().choice().doiThreshold;
    return zel::sheetPicture(sheet, size, pdf, zel::texts::numberLocale());
}

void TSectionWindow::saveImage()
{
    const std::optional<PictureSize> size = m_dialogs.askPictureSize(this, m_pictureSize);
    if (!size)
        return;
    m_pictureSize = *size;
    const QString path = m_askFile ? m_askFile(this, Saved::Picture) : QString();
    if (path.isEmpty())
        return;
    try {
        const QByteArray bytes = picture(*size, path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive));
        if (bytes.isEmpty())
            throw zel::ZelError(zel::ErrorId::CannotCreateFile, {QDir::toNativeSeparators(path), QString()});
        zel::writeWholeFile(path, bytes);
        HoverLabel->setText(zel::texts::fileWritten(QDir::toNativeSeparators(path)));
    } catch (const zel::ZelError& e) {
        m_dialogs.showMessage(this, MessageKind::Error, windowTitle(), zel::withFullStop(zel::texts::errorText(e)));
    }
}

void TSectionWindow::saveModel()
{
    const auto result = job().result();
    const QString path = result && m_askFile ? m_askFile(this, Saved::Model) : QString();
    if (path.isEmpty())
        return;
    try {
        QStringList written = zel::writeExportFiles(zel::inv::resultFiles(*result, path));
        for (QString& p : written)
            p = QDir::toNativeSeparators(p);
        HoverLabel->setText(zel::texts::modelFilesWritten(written));
    } catch (const zel::ZelError& e) {
        m_dialogs.showMessage(this, MessageKind::Error, windowTitle(), zel::withFullStop(zel::texts::errorText(e)));
    } catch (const zel::inv::InversionRefused& e) {  // a grid too large for the memory
        m_dialogs.showMessage(this, MessageKind::Error, windowTitle(), zel::withFullStop(QString::fromStdString(e.what())));
    }
}

void TSectionWindow::compareWith()
{
    if (!job().result() || m_document.busy())
        return;
    FileDialogOptions o;
    o.filter = tr("Данные станции (*.zel)|*.zel|pyGIMLi/BERT (*.ohm)|*.ohm");
    const QString path = m_dialogs.openFileName(this, o);
    if (path.isEmpty())
        return;
    const InversionChoice& choice = job().choice();
    const zel::ExportChoice left = choice.dataChoice(m_document.exclusions());
    auto refuse = [&](const QString& why) {
        m_dialogs.showMessage(this, MessageKind::Information, windowTitle(), zel::withFullStop(why));
    };
    try {
        // The earlier reading's same profile, with its own lines and exclusions.
        zel::SectionInput base;
        if (path.endsWith(QLatin1String(".ohm"), Qt::CaseInsensitive)) {
            base = zel::ohmInput(zel::readWholeFile(path), QFileInfo(path).fileName(), m_document.geometry().thresholds, std::nullopt);
        } else {
            zel::Document earlier;
            if (earlier.load(zel::readWholeFile(path), path).outcome != zel::DumpDecoding::Outcome::Decoded)
                return refuse(tr("«%1» не читается как данные станции").arg(QDir::toNativeSeparators(path)));
            // What lies beside it is part of that reading: a file that does
            // not fit would compare other values than the crew kept.
            if (!earlier.besideRefused().isEmpty())
                return refuse(tr("Прежнее измерение «%1» не сравнивается: %2")
                                  .arg(QDir::toNativeSeparators(path), earlier.besideRefused()));
            const zel::ExportChoice earlierLeft = choice.dataChoice(earlier.exclusions());
            base = zel::profileInput(earlier.records(), earlier.geometry(), choice.profile, earlierLeft);
            if (base.data.empty())
                return refuse(zel::whyNoData(earlier.records(), earlier.geometry(), choice.profile, earlierLeft));
            base.what = QFileInfo(path).fileName() + QLatin1Char(' ') + base.what;
        }
        zel::SectionInput later = zel::profileInput(m_document.records(), m_document.geometry(), choice.profile, left);
        if (later.data.empty())
            return refuse(zel::whyNoData(m_document.records(), m_document.geometry(), choice.profile, left));
        if (const QString why = zel::placingDiffers(base, later); !why.isEmpty())
            return refuse(why);
        if (!m_document.path().isEmpty())
            later.what = QFileInfo(m_document.path()).fileName() + QLatin1Char(' ') + later.what;
        if (!m_compare)
            m_compare = new TCompareWindow(m_document.comparison(), m_dialogs, [this](QWidget*) { return m_askFile ? m_askFile(m_compare, Saved::Change) : QString(); }, this);
        m_compare->show();
        m_compare->raise();
        m_compare->compare(std::move(base), std::move(later), choice.options(zel::windowThreads()));
    } catch (const zel::ZelError& e) {
        refuse(zel::texts::errorText(e));
    } catch (const zel::inv::FileRefused& e) {
        refuse(QStringLiteral("%1, %2: %3").arg(QDir::toNativeSeparators(path)).arg(e.line()).arg(QString::fromStdString(e.what())));
    }
}
