#include "LinesWindow.h"

#include "DecimalSpinBox.h"
#include "Screens.h"

#include "texts/Texts.h"

#include "plots/Plots.h"

#include <qcustomplot.h>

#include <algorithm>

#include <QCloseEvent>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TLinesWindow::TLinesWindow(zel::LinesJob& job, QWidget* parent) : QWidget(parent, Qt::Window), m_job(job)
{
    setObjectName(QStringLiteral("LinesWindow"));
    auto named = [](auto* widget, const char* name) {
        widget->setObjectName(QLatin1String(name));
        return widget;
    };
    ProgressLabel = named(new QLabel(this), "ProgressLabel");
    ProgressLabel->setWordWrap(true);
    NotesLabel = named(new QLabel(this), "NotesLabel");
    NotesLabel->setWordWrap(true);
    NotesLabel->setStyleSheet(QStringLiteral("background: #f4f4d0; color: #504000; padding: 3px"));
    NotesLabel->hide();
    StopButton = named(new QPushButton(this), "StopButton");
    DepthEdit = named(new TDecimalSpinBox(this), "DepthEdit");
    DepthEdit->setRange(0.01, 10000);
    DepthEdit->setDecimals(2);
    DepthEdit->setValue(1);
    m_depthLabel = new QLabel(this);
    PlanPlot = named(new QCustomPlot(this), "PlanPlot");
    PlanPlot->setMinimumSize(200, 300);

    auto* running = new QHBoxLayout;
    running->addWidget(ProgressLabel, 1);
    running->addWidget(StopButton);
    auto* depth = new QHBoxLayout;
    depth->addWidget(m_depthLabel);
    depth->addWidget(DepthEdit);
    depth->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(running);
    layout->addWidget(NotesLabel);
    layout->addLayout(depth);
    layout->addWidget(PlanPlot, 1);
    fitToScreen(*this, QSize(900, 700));

    connect(StopButton, &QPushButton::clicked, &m_job, &zel::WorkerJob::stop);
    connect(DepthEdit, &QDoubleSpinBox::valueChanged, this, &TLinesWindow::draw);
    connect(&m_job, &zel::LinesJob::started, this, [this] {
        StopButton->setVisible(true);
        ProgressLabel->setText(tr("Инверсия линий..."));
    });
    connect(&m_job, &zel::LinesJob::iteration, this, [this](int line, int count, const zel::inv::IterationReport& r) {
        ProgressLabel->setText(tr("Линия %1 из %2. ").arg(line + 1).arg(count) + zel::progressLine(r));
    });
    connect(&m_job, &zel::LinesJob::finished, this, [this] { showRun(true); });
    connect(&m_job, &zel::LinesJob::staleChanged, this, &TLinesWindow::draw);
    connect(&m_job, &zel::LinesJob::stoppedEarly, this, [this] {
        StopButton->setVisible(false);
        ProgressLabel->setText(tr("Остановлено: показаны линии прежней инверсии, если она была."));
    });
    connect(&m_job, &zel::LinesJob::refused, this, [this](const QString& reason) {
        StopButton->setVisible(false);
        ProgressLabel->setText(reason);
    });
    StopButton->setVisible(false);
    retranslate();
}

bool TLinesWindow::invert(std::vector<zel::MeasurementRecord> records, zel::SurveyGeometry geometry,
                          zel::Exclusions exclusions, const zel::InversionChoice& choice, int threads)
{
    return m_job.start(std::move(records), std::move(geometry), std::move(exclusions), choice, threads);
}

void TLinesWindow::closeEvent(QCloseEvent* event)
{
    job().stop();
    QWidget::closeEvent(event);
}

void TLinesWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void TLinesWindow::retranslate()
{
    setWindowTitle(tr("Все линии"));
    StopButton->setText(tr("Стоп"));
    m_depthLabel->setText(tr("Глубина плана, м:"));
    // The run said again in the new language; the plan stays at its depth.
    if (m_job.result())
        showRun(false);
}

void TLinesWindow::showRun(bool newRun)
{
    StopButton->setVisible(false);
    const auto run = m_job.result();
    if (!run)
        return;
    m_runNotes.clear();
    for (const auto& [what, why] : run->skipped)
        m_runNotes << tr("%1 не обращена: %2").arg(what, why);
    if (!zel::linesApart(run->lines))
        m_runNotes << tr("Все линии лежат на одном Y: задайте каждой линии её Y в геометрии линий, чтобы увидеть план.");
    const auto fitting = std::count_if(run->lines.begin(), run->lines.end(), [](const zel::LineSection& l) { return l.fits(); });
    ProgressLabel->setText(tr("Обращено линий: %1, из них объясняют данные: %2.").arg(run->lines.size()).arg(fitting));
    // A depth the data see: the second of the four the slices take.
    const std::vector<double> depths = zel::sliceDepths(run->lines);
    if (newRun && depths.size() > 1) {
        const QSignalBlocker quiet(DepthEdit);
        DepthEdit->setValue(depths[1]);
    }
    draw();
}

void TLinesWindow::draw()
{
    const auto run = m_job.result();
    if (!run)
        return;
    PlanPlot->setLocale(zel::plotLocale(zel::texts::currentLanguage() == zel::texts::Language::English));
    const zel::PlanView view = zel::planView(run->lines, DepthEdit->value());
    zel::drawPlanView(*PlanPlot, view);
    PlanPlot->replot();
    // What the plan leaves out is said beside it, never drawn as if it fitted.
    QStringList notes = m_runNotes;
    for (const auto& [what, why] : view.leftOut)
        notes << tr("%1 не в плане: %2").arg(what, why);
    if (m_job.stale())
        notes << tr("Данные изменились после этой инверсии: план устарел.");
    NotesLabel->setText(notes.join(QLatin1Char('\n')));
    NotesLabel->setVisible(!notes.isEmpty());
}
