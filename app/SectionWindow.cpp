#include "SectionWindow.h"

#include "texts/Texts.h"

#include "data/DataFile.h"
#include "data/Interpolate.h"
#include "data/ZelError.h"
#include "document/Document.h"
#include "inversion/Files.h"
#include "plots/Plots.h"
#include "survey/Exports.h"

#include <QBuffer>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <qcustomplot.h>

#include <cmath>

namespace {

constexpr double kClickPixels = 8;
// The panels' left margin and colour bars' width, pixels: the four share x.
constexpr int kPanelLeft = 70;
constexpr int kPanelBar = 110;

QString profileName(const zel::Profile& p)
{
    return QStringLiteral("L%1 F%2").arg(p.line).arg(p.file);
}

} // namespace

TSectionWindow::TSectionWindow(zel::Document& document, QWidget* parent)
    : QWidget(parent, Qt::Window), m_document(document)
{
    setObjectName(QStringLiteral("SectionWindow"));
    TitleLabel = new QLabel(this);
    TitleLabel->setObjectName(QStringLiteral("TitleLabel"));
    TitleLabel->setWordWrap(true);
    StaleLabel = new QLabel(this);
    StaleLabel->setObjectName(QStringLiteral("StaleLabel"));
    StaleLabel->setStyleSheet(QStringLiteral("background: #fff0c0; color: #902000; padding: 4px; font-weight: bold"));
    StaleLabel->hide();
    NotesLabel = new QLabel(this);
    NotesLabel->setObjectName(QStringLiteral("NotesLabel"));
    NotesLabel->setWordWrap(true);
    NotesLabel->setStyleSheet(QStringLiteral("background: #f4f4d0; color: #504000; padding: 3px"));
    NotesLabel->hide();
    Progress = new QProgressBar(this);
    Progress->setObjectName(QStringLiteral("Progress"));
    ProgressLabel = new QLabel(this);
    ProgressLabel->setObjectName(QStringLiteral("ProgressLabel"));
    StopButton = new QPushButton(this);
    StopButton->setObjectName(QStringLiteral("StopButton"));
    AgainButton = new QPushButton(this);
    AgainButton->setObjectName(QStringLiteral("AgainButton"));
    SaveImageButton = new QPushButton(this);
    SaveImageButton->setObjectName(QStringLiteral("SaveImageButton"));
    SaveModelButton = new QPushButton(this);
    SaveModelButton->setObjectName(QStringLiteral("SaveModelButton"));
    HoverLabel = new QLabel(this);
    HoverLabel->setObjectName(QStringLiteral("HoverLabel"));

    Panels = new QWidget(this);
    Panels->setObjectName(QStringLiteral("Panels"));
    auto* panels = new QVBoxLayout(Panels);
    panels->setContentsMargins(0, 0, 0, 0);
    panels->setSpacing(2);
    for (auto [plot, name, stretch] : {std::tuple{&ModelPlot, "ModelPlot", 3}, {&MeasuredPlot, "MeasuredPlot", 2},
                                       {&ModelledPlot, "ModelledPlot", 2}, {&MisfitPlot, "MisfitPlot", 2}}) {
        *plot = new QCustomPlot(Panels);
        (*plot)->setObjectName(QLatin1String(name));
        (*plot)->setMinimumHeight(90);
        panels->addWidget(*plot, stretch);
    }
    // One x axis for the four: a zoom or a pan of one moves them all.
    const QList<QCustomPlot*> all = {ModelPlot, MeasuredPlot, ModelledPlot, MisfitPlot};
    for (QCustomPlot* from : all)
        connect(from->xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this, [all, from](const QCPRange& r) {
            for (QCustomPlot* to : all)
                if (to != from && to->xAxis->range() != r) {
                    to->xAxis->setRange(r);
                    to->replot(QCustomPlot::rpQueuedReplot);
                }
        });
    connect(ModelPlot, &QCustomPlot::mouseMove, this,
            [this](QMouseEvent* e) { HoverLabel->setText(hoverText(e->position())); });
    for (QCustomPlot* plot : {MeasuredPlot, ModelledPlot, MisfitPlot}) {
        connect(plot, &QCustomPlot::mousePress, this, [this](QMouseEvent* e) { setProperty("pressedAt", e->position()); });
        connect(plot, &QCustomPlot::mouseRelease, this, [this, plot](QMouseEvent* e) {
            // A click, not a drag: the value of the datum under it.
            const QPointF at = property("pressedAt").toPointF();
            if (QLineF(at, e->position()).length() > kClickPixels)
                return;
            const double x = plot->xAxis->pixelToCoord(e->position().x());
            const double z = plot->yAxis->pixelToCoord(e->position().y());
            // The same datum in whichever panel: found by its place in the misfit panel.
            const QPointF pixel(MisfitPlot->xAxis->coordToPixel(x), MisfitPlot->yAxis->coordToPixel(z));
            if (const auto value = valueAt(pixel))
                emit valueChosen(*value);
        });
        connect(plot, &QCustomPlot::mouseMove, this, [this, plot](QMouseEvent* e) {
            const double x = plot->xAxis->pixelToCoord(e->position().x());
            HoverLabel->setText(tr("x = %1 м").arg(x, 0, 'f', 2));
        });
    }

    auto* top = new QHBoxLayout;
    top->addWidget(TitleLabel, 1);
    top->addWidget(AgainButton);
    top->addWidget(SaveImageButton);
    top->addWidget(SaveModelButton);
    auto* progress = new QHBoxLayout;
    progress->addWidget(Progress, 1);
    progress->addWidget(ProgressLabel, 2);
    progress->addWidget(StopButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(StaleLabel);
    layout->addWidget(NotesLabel);
    layout->addLayout(progress);
    layout->addWidget(Panels, 1);
    layout->addWidget(HoverLabel);

    connect(&m_run, &TInversionRun::iteration, this, &TSectionWindow::iteration);
    connect(&m_run, &TInversionRun::finished, this, &TSectionWindow::finished);
    connect(&m_run, &TInversionRun::refused, this, &TSectionWindow::refused);
    connect(StopButton, &QPushButton::clicked, this, [this] { m_run.stop(); });
    connect(AgainButton, &QPushButton::clicked, this, [this] { invert(m_choice); });
    connect(SaveImageButton, &QPushButton::clicked, this, &TSectionWindow::saveImage);
    connect(SaveModelButton, &QPushButton::clicked, this, &TSectionWindow::saveModel);
    connect(&m_document, &zel::Document::changed, this, &TSectionWindow::dataChanged);
    connect(&m_document, &zel::Document::exclusionsChanged, this, &TSectionWindow::dataChanged);
    connect(&m_document, &zel::Document::geometryChanged, this, &TSectionWindow::dataChanged);

    resize(1000, 800);
    retranslate();
    showRunning(false);
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
    const QLocale locale = zel::plotLocale(zel::texts::currentLanguage() == zel::texts::Language::English);
    for (QCustomPlot* plot : {ModelPlot, MeasuredPlot, ModelledPlot, MisfitPlot})
        plot->setLocale(locale);
    if (m_progressText)
        ProgressLabel->setText(m_progressText());
    if (m_result)
        draw();
}

bool TSectionWindow::invert(const InversionChoice& choice)
{
    if (m_run.running())
        return false;
    const std::vector<zel::MeasurementRecord> records = m_document.records();
    show();
    raise();
    zel::inv::ProfileData data;
    try {
        data = zel::inv::profileData(records, m_document.geometry(), choice.profile, {m_document.exclusions(), !choice.useFlagged});
    } catch (const zel::ZelError& e) {
        refused(zel::texts::errorText(e));
        return false;
    }
    if (data.data.empty()) {
        refused(tr("в профиле %1 нет значений для инверсии (с положениями, током и напряжением, не исключённых)")
                    .arg(profileName(choice.profile)));
        return false;
    }
    zel::inv::InversionOptions options = choice.options();
    options.elevations = std::move(data.elevations);
    m_choice = choice;
    m_values = std::move(data.values);
    m_gaps = std::move(data.gaps);
    m_changedDuringRun = false;
    Progress->setRange(0, choice.maxIterations);
    Progress->setValue(0);
    showProgress([what = profileName(choice.profile), count = data.data.size()] {
        return tr("%1: %2 значений, сетка строится...").arg(what).arg(count);
    });
    m_run.start(std::move(data.data), std::move(options));
    showRunning(true);
    return true;
}

void TSectionWindow::iteration(const zel::inv::IterationReport& r)
{
    Progress->setValue(r.number);
    showProgress([r] {
        return tr("Итерация %1: χ² %2, RRMS %3 %, λ %4, %5 с")
            .arg(r.number)
            .arg(r.chi2, 0, 'f', 2)
            .arg(r.rrms, 0, 'f', 2)
            .arg(r.lambda, 0, 'g', 3)
            .arg(r.seconds, 0, 'f', 1);
    });
}

void TSectionWindow::finished(std::shared_ptr<const zel::inv::InversionResult> result)
{
    m_result = std::move(result);
    m_shownValues = m_values;
    m_shownGaps = m_gaps;
    m_what = profileName(m_choice.profile);
    m_stale = m_changedDuringRun;
    showRunning(false);
    if (m_result->cancelled)
        showProgress([] { return tr("Остановлено: показана модель итерации с наименьшим χ²."); });
    else if (m_result->misfits())
        showProgress([result = m_result] { return zel::sectionVerdict(*result); });
    draw();
}

void TSectionWindow::refused(const QString& reason)
{
    showRunning(false);
    showProgress([reason] { return tr("Инверсия невозможна: %1").arg(reason); });
}

void TSectionWindow::showProgress(std::function<QString()> text)
{
    m_progressText = std::move(text);
    ProgressLabel->setText(m_progressText());
}

void TSectionWindow::showRunning(bool running)
{
    Progress->setVisible(running);
    StopButton->setVisible(running);
    AgainButton->setEnabled(!running && m_result != nullptr);
    SaveImageButton->setEnabled(!running && m_result != nullptr);
    SaveModelButton->setEnabled(!running && m_result != nullptr);
    emit runningChanged(running);
}

void TSectionWindow::dataChanged()
{
    if (m_run.running())
        m_changedDuringRun = true;
    if (m_result && !m_stale) {
        m_stale = true;
        StaleLabel->show();
    }
}

void TSectionWindow::draw()
{
    StaleLabel->setVisible(m_stale);
    if (!m_result)
        return;
    QStringList notes;
    for (const zel::TopographyGap& gap : m_shownGaps)
        notes << zel::texts::topographyGap(gap);
    NotesLabel->setText(notes.join(QLatin1Char('\n')));
    NotesLabel->setVisible(!notes.isEmpty());
    const zel::inv::InversionResult& r = *m_result;
    const QString title = zel::sectionTitle(m_what, r);
    TitleLabel->setText(title + (r.leftOut > 0 ? tr("; не взято значений ρa не больше 0 или вне 1e-4–1e8 Ом·м: %1").arg(r.leftOut) : QString()));
    const auto range = zel::sectionRange(r, true);
    zel::drawSection(*ModelPlot, r, title, range);
    // The section's view holds the whole line; the panels below take it.
    const QCPRange x = ModelPlot->xAxis->range();
    const bool response = r.response.size() == r.data.size();
    zel::drawResponse(*MeasuredPlot, r, zel::ResponsePanel::Measured, range);
    if (response) {
        zel::drawResponse(*ModelledPlot, r, zel::ResponsePanel::Modelled, range);
        zel::drawResponse(*MisfitPlot, r, zel::ResponsePanel::Misfit, range);
    }
    for (QCustomPlot* plot : {ModelPlot, MeasuredPlot, ModelledPlot, MisfitPlot}) {
        zel::alignPanel(*plot, kPanelLeft, kPanelBar);
        plot->xAxis->setRange(x);
        plot->replot();
    }
}

std::optional<zel::ValueKey> TSectionWindow::valueAt(const QPointF& pixel) const
{
    if (!m_result)
        return std::nullopt;
    double best = kClickPixels * kClickPixels;
    std::optional<zel::ValueKey> found;
    for (const zel::inv::Measurement& m : m_result->data) {
        const zel::inv::Point p = zel::responsePoint(m);
        const double dx = MisfitPlot->xAxis->coordToPixel(p.x) - pixel.x();
        const double dy = MisfitPlot->yAxis->coordToPixel(p.z) - pixel.y();
        if (dx * dx + dy * dy <= best && m.tag >= 0 && m.tag < int(m_shownValues.size())) {
            best = dx * dx + dy * dy;
            found = m_shownValues[std::size_t(m.tag)];
        }
    }
    return found;
}

QString TSectionWindow::hoverText(const QPointF& pixel) const
{
    if (!m_result)
        return QString();
    const zel::inv::Mesh& mesh = m_result->mesh;
    const double x = ModelPlot->xAxis->pixelToCoord(pixel.x());
    const double z = ModelPlot->yAxis->pixelToCoord(pixel.y());
    const int cell = mesh.cellAt({x, z});
    const int parameter = cell < 0 ? -1 : mesh.parameterOfCell[std::size_t(cell)];
    if (parameter < 0)
        return QString();
    std::vector<std::pair<double, double>> surface;
    surface.reserve(mesh.columns.size());
    for (int i = 0; i < int(mesh.columns.size()); ++i)
        surface.emplace_back(mesh.columns[std::size_t(i)], mesh.nodes[std::size_t(mesh.node(i, 0))].z);
    return tr("x = %1 м, высота %2 м, глубина %3 м, ρ = %4 Ом·м")
        .arg(x, 0, 'f', 2)
        .arg(z, 0, 'f', 2)
        .arg(zel::interpolateClamped(surface, x) - z, 0, 'f', 2)
        .arg(m_result->resistivity[std::size_t(parameter)], 0, 'g', 4);
}

void TSectionWindow::saveImage()
{
    const QString path = m_askFile ? m_askFile(this, true) : QString();
    if (path.isEmpty())
        return;
    try {
        QByteArray bytes;
        if (path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) {
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            QPdfWriter pdf(&buffer);
            pdf.setPageSize(QPageSize(QSizeF(Panels->width(), Panels->height()), QPageSize::Point));
            pdf.setPageMargins(QMarginsF());
            pdf.setResolution(72);
            QPainter painter(&pdf);
            Panels->render(&painter);
        } else {
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            Panels->grab().save(&buffer, "PNG");
        }
        if (bytes.isEmpty())
            throw zel::ZelError(zel::ErrorId::CannotCreateFile, {QDir::toNativeSeparators(path), QString()});
        zel::writeWholeFile(path, bytes);
        HoverLabel->setText(zel::texts::fileWritten(QDir::toNativeSeparators(path)));
    } catch (const zel::ZelError& e) {
        QMessageBox::critical(this, windowTitle(), zel::withFullStop(zel::texts::errorText(e)));
    }
}

void TSectionWindow::saveModel()
{
    const QString path = m_result && m_askFile ? m_askFile(this, false) : QString();
    if (path.isEmpty())
        return;
    try {
        QStringList written = zel::writeExportFiles(zel::inv::resultFiles(*m_result, path));
        for (QString& p : written)
            p = QDir::toNativeSeparators(p);
        HoverLabel->setText(zel::texts::filesWritten(written));
    } catch (const zel::ZelError& e) {
        QMessageBox::critical(this, windowTitle(), zel::withFullStop(zel::texts::errorText(e)));
    }
}
