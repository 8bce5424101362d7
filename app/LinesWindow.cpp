#include "LinesWindow.h"

#include "DecimalSpinBox.h"
#include "Screens.h"

#include "texts/Texts.h"

#include "plots/Plots.h"

#include <qcustomplot.h>

#include <algorithm>

#include "data/ZelError.h"
#include "inversion/Files.h"
#include "survey/Exports.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QSlider>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TLinesWindow::TLinesWindow(zel::LinesJob& job, zel::VolumeJob& volume, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_job(job)
    , m_volume(volume)
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
    PlanPlot->setMinimumSize(200, 240);
    ModeBox = named(new QComboBox(this), "ModeBox");
    ModeBox->addItems({QString(), QString()});
    InvertButton = named(new QPushButton(this), "InvertButton");
    m_modeLabel = new QLabel(this);
    DepthSlider = named(new QSlider(Qt::Horizontal, this), "DepthSlider");
    LineBox = named(new QComboBox(this), "LineBox");
    SectionPlot = named(new QCustomPlot(this), "SectionPlot");
    SectionPlot->setMinimumSize(200, 180);
    SaveButton = named(new QPushButton(this), "SaveButton");
    m_lineLabel = new QLabel(this);

    auto* modeRow = new QHBoxLayout;
    modeRow->addWidget(m_modeLabel);
    modeRow->addWidget(ModeBox);
    modeRow->addWidget(InvertButton);
    modeRow->addStretch(1);
    auto* running = new QHBoxLayout;
    running->addWidget(ProgressLabel, 1);
    running->addWidget(StopButton);
    auto* depth = new QHBoxLayout;
    depth->addWidget(m_depthLabel);
    depth->addWidget(DepthEdit);
    depth->addWidget(DepthSlider, 1);
    // The section under a line and the model's files: of a 3D model only.
    m_volumeOnly = new QWidget(this);
    auto* line = new QHBoxLayout;
    line->addWidget(m_lineLabel);
    line->addWidget(LineBox);
    line->addStretch(1);
    line->addWidget(SaveButton);
    auto* volumeLayout = new QVBoxLayout(m_volumeOnly);
    volumeLayout->setContentsMargins(0, 0, 0, 0);
    volumeLayout->addLayout(line);
    volumeLayout->addWidget(SectionPlot, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(modeRow);
    layout->addLayout(running);
    layout->addWidget(NotesLabel);
    layout->addLayout(depth);
    layout->addWidget(PlanPlot, 3);
    layout->addWidget(m_volumeOnly, 2);
    m_volumeOnly->hide();
    DepthSlider->hide();
    fitToScreen(*this, QSize(900, 700));

    connect(StopButton, &QPushButton::clicked, &m_job, &zel::WorkerJob::stop);
    connect(StopButton, &QPushButton::clicked, &m_volume, &zel::WorkerJob::stop);
    connect(InvertButton, &QPushButton::clicked, this, &TLinesWindow::invertAsked);
    connect(DepthEdit, &QDoubleSpinBox::valueChanged, this, &TLinesWindow::draw);
    // Each mode shows its own last result and what it said of it.
    connect(ModeBox, &QComboBox::currentIndexChanged, this, [this] {
        if (!this->running() && this->mode() == OneVolume && m_volume.result())
            showVolume(false);
        else if (!this->running() && this->mode() == OneByOne && m_job.result())
            showRun(false);
        else
            draw();
    });
    connect(LineBox, &QComboBox::currentIndexChanged, this, &TLinesWindow::draw);
    connect(SaveButton, &QPushButton::clicked, this, &TLinesWindow::saveVolume);
    // The slider steps through the volume's layers: each step a layer's middle.
    connect(DepthSlider, &QSlider::valueChanged, this, [this](int layer) {
        const auto run = m_volume.result();
        if (!run || layer < 0 || layer >= run->result.volume.layers)
            return;
        const auto& depths = run->result.volume.depths;
        DepthEdit->setValue((depths[std::size_t(layer)] + depths[std::size_t(layer) + 1]) / 2);
    });
    connect(&m_volume, &zel::VolumeJob::started, this, [this] {
        StopButton->setVisible(true);
        ProgressLabel->setText(tr("Одна 3D-модель всех линий..."));
    });
    connect(&m_volume, &zel::VolumeJob::iteration, this, [this](const zel::inv::IterationReport& r) {
        ProgressLabel->setText(tr("3D-модель. ") + zel::progressLine(r));
    });
    connect(&m_volume, &zel::VolumeJob::finished, this, [this] { showVolume(true); });
    connect(&m_volume, &zel::VolumeJob::staleChanged, this, &TLinesWindow::draw);
    connect(&m_volume, &zel::VolumeJob::stoppedEarly, this, [this] {
        StopButton->setVisible(false);
        ProgressLabel->setText(tr("Остановлено до первой модели: показана прежняя, если она была."));
    });
    connect(&m_volume, &zel::VolumeJob::refused, this, [this](const QString& reason) {
        StopButton->setVisible(false);
        ProgressLabel->setText(reason);
    });
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
    if (running())
        return false;
    if (mode() == OneVolume)
        return m_volume.start(std::move(records), std::move(geometry), std::move(exclusions), choice, threads);
    return m_job.start(std::move(records), std::move(geometry), std::move(exclusions), choice, threads);
}

TLinesWindow::Mode TLinesWindow::mode() const
{
    return ModeBox->currentIndex() == 1 ? OneVolume : OneByOne;
}

void TLinesWindow::closeEvent(QCloseEvent* event)
{
    job().stop();
    m_volume.stop();
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
    m_modeLabel->setText(tr("Обратить:"));
    ModeBox->setItemText(0, tr("линии по одной"));
    ModeBox->setItemText(1, tr("одна 3D-модель"));
    InvertButton->setText(tr("Обратить"));
    m_lineLabel->setText(tr("Разрез под линией:"));
    SaveButton->setText(tr("Сохранить модель..."));
    // The run said again in the new language; the plan stays at its depth.
    if (m_job.result())
        showRun(false);
    if (m_volume.result())
        showVolume(false);
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
    const bool volume = mode() == OneVolume;
    m_volumeOnly->setVisible(volume);
    DepthSlider->setVisible(volume);
    if (volume) {
        drawVolume();
        return;
    }
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

void TLinesWindow::showVolume(bool newRun)
{
    StopButton->setVisible(false);
    const auto run = m_volume.result();
    if (!run)
        return;
    const zel::inv::VolumeResult& r = run->result;
    m_volumeNotes.clear();
    for (const auto& [what, why] : run->input.skipped)
        m_volumeNotes << tr("%1 не в модели: %2").arg(what, why);
    if (r.misfits())
        m_volumeNotes << QString::fromStdString(r.verdict());
    ProgressLabel->setText(tr("3D-модель %1 линий: %2 данных, %3 ячеек, χ² %4, RRMS %5 %%6.")
                               .arg(run->input.lines.size())
                               .arg(r.data.size())
                               .arg(r.volume.parameterCount())
                               .arg(zel::texts::numberLocale().toString(r.kept().chi2, 'f', 2), zel::texts::numberLocale().toString(r.kept().rrms, 'f', 2))
                               .arg(r.cancelled ? tr(", остановлено до конца") : QString()));
    {
        const QSignalBlocker quietLines(LineBox);
        const QSignalBlocker quietSlider(DepthSlider);
        const int chosen = LineBox->currentIndex();
        LineBox->clear();
        for (const zel::SurveyInput::Line& l : run->input.lines)
            LineBox->addItem(l.what);
        LineBox->setCurrentIndex(std::clamp(chosen, 0, LineBox->count() - 1));
        DepthSlider->setRange(0, r.volume.layers - 1);
    }
    const std::vector<double> depths = zel::volumeSliceDepths(r);
    if (newRun && depths.size() > 1) {
        const QSignalBlocker quiet(DepthEdit);
        DepthEdit->setValue(depths[1]);
    }
    draw();
}

void TLinesWindow::drawVolume()
{
    const auto run = m_volume.result();
    if (!run)
        return;
    const zel::inv::VolumeResult& r = run->result;
    const QLocale numbers = zel::plotLocale(zel::texts::currentLanguage() == zel::texts::Language::English);
    PlanPlot->setLocale(numbers);
    zel::drawPlanView(*PlanPlot, zel::planOf(zel::sliceAt(r, DepthEdit->value()), run->input));
    PlanPlot->replot();
    {
        const QSignalBlocker quiet(DepthSlider);
        int layer = 0;
        while (layer + 1 < r.volume.layers && r.volume.depths[std::size_t(layer) + 1] < DepthEdit->value())
            ++layer;
        DepthSlider->setValue(layer);
    }
    const int line = LineBox->currentIndex();
    if (line >= 0 && line < int(run->input.lines.size())) {
        const zel::inv::InversionResult section = zel::sectionUnder(r, run->input.lines[std::size_t(line)]);
        SectionPlot->setLocale(numbers);
        zel::drawSection(*SectionPlot, section, zel::sectionTitle(tr("%1 в 3D-модели").arg(LineBox->currentText()), section, numbers, false));
        SectionPlot->replot();
    }
    QStringList notes = m_volumeNotes;
    if (m_volume.stale())
        notes << tr("Данные изменились после этой инверсии: модель устарела.");
    NotesLabel->setText(notes.join(QLatin1Char('\n')));
    NotesLabel->setVisible(!notes.isEmpty());
}

void TLinesWindow::saveVolume()
{
    const auto run = m_volume.result();
    const QString path = run && m_askFile ? m_askFile(this) : QString();
    if (path.isEmpty())
        return;
    try {
        QStringList written = zel::writeExportFiles(zel::inv::volumeFiles(run->result, path));
        for (QString& p : written)
            p = QDir::toNativeSeparators(p);
        ProgressLabel->setText(zel::texts::modelFilesWritten(written));
    } catch (const zel::ZelError& e) {
        ProgressLabel->setText(zel::withFullStop(zel::texts::errorText(e)));
    }
}
