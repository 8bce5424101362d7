#include "CompareWindow.h"

#include "ElidedLabel.h"
#include "Screens.h"
#include "UserDialogs.h"

#include "texts/Texts.h"

#include "data/DataFile.h"
#include "data/ZelError.h"
#include "inversion/Files.h"
#include "plots/Plots.h"
#include "plots/Sheet.h"

#include <qcustomplot.h>

#include <QDir>
#include <QCloseEvent>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TCompareWindow::TCompareWindow(zel::CompareJob& job, UserDialogs& dialogs, AskFile askFile, QWidget* parent)
    : QWidget(parent, Qt::Window), m_job(job), m_dialogs(dialogs), m_askFile(std::move(askFile))
{
    setObjectName(QStringLiteral("CompareWindow"));
    auto named = [](auto* widget, const char* name) {
        widget->setObjectName(QLatin1String(name));
        return widget;
    };
    TitleLabel = named(new QLabel(this), "TitleLabel");
    TitleLabel->setWordWrap(true);
    ProgressLabel = named(new TElidedLabel(this), "ProgressLabel");
    StopButton = named(new QPushButton(this), "StopButton");
    SaveButton = named(new QPushButton(this), "SaveButton");
    ChangePlot = named(new QCustomPlot(this), "ChangePlot");
    ApparentPlot = named(new QCustomPlot(this), "ApparentPlot");
    // Their own least sizes, not their titles' widths: the window stays on the screen.
    ChangePlot->setMinimumSize(200, 260);
    ApparentPlot->setMinimumSize(200, 160);

    auto* top = new QHBoxLayout;
    top->addWidget(TitleLabel, 1);
    top->addWidget(SaveButton);
    auto* running = new QHBoxLayout;
    running->addWidget(ProgressLabel, 1);
    running->addWidget(StopButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(running);
    layout->addWidget(ChangePlot, 3);
    layout->addWidget(ApparentPlot, 2);
    fitToScreen(*this, QSize(1000, 700));

    connect(StopButton, &QPushButton::clicked, &m_job, &zel::WorkerJob::stop);
    connect(SaveButton, &QPushButton::clicked, this, &TCompareWindow::save);
    connect(&m_job, &zel::CompareJob::started, this, [this] {
        StopButton->setVisible(true);
        SaveButton->setEnabled(false);
        showProgress([] { return tr("Инверсия первого измерения..."); });
    });
    connect(&m_job, &zel::CompareJob::iteration, this, [this](const zel::inv::IterationReport& r, bool second) {
        showProgress([r, second] { return (second ? tr("Изменение: ") : tr("Первое измерение: ")) + zel::progressLine(r); });
    });
    auto ended = [this](std::function<QString()> text) {
        StopButton->setVisible(false);
        SaveButton->setEnabled(m_job.result() != nullptr);
        showProgress(std::move(text));
    };
    connect(&m_job, &zel::CompareJob::finished, this, [this, ended] {
        ended([] { return QString(); });
        draw();
    });
    connect(&m_job, &zel::CompareJob::staleChanged, this, &TCompareWindow::draw);
    connect(&m_job, &zel::CompareJob::stoppedEarly, this, [ended] { ended([] { return tr("Остановлено: сравнение не закончено."); }); });
    connect(&m_job, &zel::CompareJob::refused, this, [ended](const QString& reason) {
        ended([reason] { return tr("Сравнение невозможно: %1").arg(reason); });
    });
    StopButton->setVisible(false);
    SaveButton->setEnabled(false);
    retranslate();
}

bool TCompareWindow::compare(zel::SectionInput base, zel::SectionInput later, const zel::inv::InversionOptions& options)
{
    return m_job.start(std::move(base), std::move(later), options);
}

void TCompareWindow::closeEvent(QCloseEvent* event)
{
    job().stop();
    QWidget::closeEvent(event);
}

void TCompareWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void TCompareWindow::retranslate()
{
    setWindowTitle(tr("Изменение во времени"));
    StopButton->setText(tr("Стоп"));
    SaveButton->setText(tr("Сохранить изменение..."));
    if (m_progressText)
        ProgressLabel->setText(m_progressText());
    draw();
}

void TCompareWindow::showProgress(std::function<QString()> text)
{
    m_progressText = std::move(text);
    ProgressLabel->setText(m_progressText());
}

void TCompareWindow::draw()
{
    const auto result = m_job.result();
    if (!result)
        return;
    const QLocale numbers = zel::plotLocale(zel::texts::currentLanguage() == zel::texts::Language::English);
    for (QCustomPlot* plot : {ChangePlot, ApparentPlot})
        plot->setLocale(numbers);
    // The verdict above; the title on the picture, which is saved with it.
    QStringList said;
    said << tr("Общих квадруполей: %1; только в первом измерении: %2, только во втором: %3.")
                .arg(result->base.data.size())
                .arg(result->unmatchedBase)
                .arg(result->unmatchedLater);
    if (m_job.stale())
        said << tr("Данные изменились после этого сравнения: оно устарело.");
    if (const QString verdict = zel::sectionVerdict(result->later, numbers); !verdict.isEmpty())
        said << verdict;
    TitleLabel->setText(said.join(QLatin1Char('\n')));
    TitleLabel->setVisible(true);
    zel::drawChangeSection(*ChangePlot, *result,
                           zel::wrapSectionTitle(*ChangePlot, zel::changeTitle(m_job.laterName(), m_job.baseName(), *result, numbers),
                                                std::max(457, ChangePlot->width())));
    zel::drawApparentChange(*ApparentPlot, *result);
    ChangePlot->replot();
    ApparentPlot->replot();
}

void TCompareWindow::save()
{
    const auto result = m_job.result();
    const QString path = result && m_askFile ? m_askFile(this) : QString();
    if (path.isEmpty())
        return;
    try {
        auto files = zel::inv::timeLapseFiles(*result, path);
        const QLocale numbers = zel::plotLocale(zel::texts::currentLanguage() == zel::texts::Language::English);
        files += zel::changePictures(*result, zel::changeTitle(m_job.laterName(), m_job.baseName(), *result, numbers),
                                     zel::inv::resultBaseName(path), QStringLiteral("png"), numbers);
        QStringList written = zel::writeExportFiles(files);
        for (QString& p : written)
            p = QDir::toNativeSeparators(p);
        showProgress([written] { return zel::texts::modelFilesWritten(written); });
    } catch (const zel::ZelError& e) {
        m_dialogs.showMessage(this, MessageKind::Error, windowTitle(), zel::withFullStop(zel::texts::errorText(e)));
    } catch (const zel::inv::InversionRefused& e) {  // a grid too large for the memory
        m_dialogs.showMessage(this, MessageKind::Error, windowTitle(), zel::withFullStop(QString::fromStdString(e.what())));
    }
}
