#include "PlotWindows.h"

#include "Screens.h"

#include "texts/Texts.h"

#include "data/Settings.h"
#include "data/ZelError.h"
#include "document/Document.h"
#include "section/Input.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QToolTip>
#include <QVBoxLayout>

#include <qcustomplot.h>

namespace {

constexpr double kHoverPixels = 8;

// The nearest of `points` to `pixel` within kHoverPixels, or -1.
template <class Points, class Coords>
int nearest(const Points& points, const QPointF& pixel, Coords&& coords)
{
    int best = -1;
    double bestDistance = kHoverPixels * kHoverPixels;
    for (int i = 0; i < int(points.size()); ++i) {
        const QPointF p = coords(points[std::size_t(i)]);
        const double d = (p.x() - pixel.x()) * (p.x() - pixel.x()) + (p.y() - pixel.y()) * (p.y() - pixel.y());
        if (d <= bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

} // namespace

TPlotWindow::TPlotWindow(const QString& name, QSettings& settings, UserDialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_name(name)
    , m_settings(settings)
    , m_dialogs(dialogs)
{
    setObjectName(name);
    Plot = new QCustomPlot(this);
    Plot->setObjectName(QStringLiteral("Plot"));
    SaveImageButton = new QPushButton(zel::texts::saveImage(), this);
    SaveImageButton->setObjectName(QStringLiteral("SaveImageButton"));
    m_controls = new QHBoxLayout;
    m_controls->addStretch(1);
    m_controls->addWidget(SaveImageButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_controls);
    layout->addWidget(Plot, 1);
    connect(SaveImageButton, &QPushButton::clicked, this, &TPlotWindow::saveImage);
    connect(Plot, &QCustomPlot::mouseMove, this, &TPlotWindow::showHover);

    // The place and size as Base64 text, as a line of the settings file
    // holds it; taken only while a screen still shows the window there.
    const QByteArray kept = QByteArray::fromBase64(
        m_settings.value(zel::settings::kWindows + QLatin1Char('/') + m_name).toString().toLatin1());
    restorePlace(*this, kept, QSize(900, 600));
}

void TPlotWindow::follow(const zel::Document& document)
{
    m_document = &document;
    for (auto signal : {&zel::Document::changed, &zel::Document::geometryChanged})
        connect(&document, signal, this, [this] {
            m_stale = !isVisible();
            if (!m_stale)
                documentChanged();
        });
    documentChanged();
}

void TPlotWindow::documentChanged()
{
    if (m_document)
        setRecords(m_document->records(), m_document->geometry());
}

void TPlotWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_stale) {
        m_stale = false;
        documentChanged();
    }
}

void TPlotWindow::addControl(QWidget* control) { m_controls->insertWidget(m_controls->count() - 2, control); }

void TPlotWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void TPlotWindow::retranslate()
{
    SaveImageButton->setText(zel::texts::saveImage());
    // The numbers of the axes as the interface's language writes them: a
    // decimal point in English whatever the desktop's locale.
    const bool english = zel::texts::currentLanguage() == zel::texts::Language::English;
    Plot->setLocale(zel::plotLocale(english));
}

void TPlotWindow::closeEvent(QCloseEvent* event)
{
    m_settings.setValue(zel::settings::kWindows + QLatin1Char('/') + m_name, QString::fromLatin1(saveGeometry().toBase64()));
    m_settings.sync();
    QWidget::closeEvent(event);
}

void TPlotWindow::saveImage()
{
    const QString path = m_askImageFile ? m_askImageFile() : QString();
    if (path.isEmpty())
        return;
    try {
        zel::savePlot(*Plot, path, Plot->width(), Plot->height());
    } catch (const zel::ZelError& e) {
        m_dialogs.showMessage(this, MessageKind::Error, windowTitle(), zel::withFullStop(zel::texts::errorText(e)));
    }
}

void TPlotWindow::showHover(QMouseEvent* event)
{
    const QString text = hoverText(event->position());
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPosition().toPoint(), text, Plot);
}

TProfileWindow::TProfileWindow(QSettings& settings, UserDialogs& dialogs, QWidget* parent)
    : TPlotWindow(QStringLiteral("ProfileWindow"), settings, dialogs, parent)
{
    ProfileBox = new QComboBox(this);
    ProfileBox->setObjectName(QStringLiteral("ProfileBox"));
    ValueBox = new QComboBox(this);
    ValueBox->setObjectName(QStringLiteral("ValueBox"));
    ValueBox->addItem(QString(), int(zel::ProfileValue::U));
    ValueBox->addItem(QString(), int(zel::ProfileValue::R));
    LogBox = new QCheckBox(this);
    LogBox->setObjectName(QStringLiteral("LogBox"));
    AllBox = new QCheckBox(this);
    AllBox->setObjectName(QStringLiteral("AllBox"));
    for (QWidget* w : std::initializer_list<QWidget*>{ProfileBox, ValueBox, LogBox, AllBox})
        addControl(w);
    connect(ProfileBox, &QComboBox::currentIndexChanged, this, &TProfileWindow::redraw);
    connect(ValueBox, &QComboBox::currentIndexChanged, this, &TProfileWindow::redraw);
    connect(LogBox, &QCheckBox::toggled, this, &TProfileWindow::redraw);
    connect(AllBox, &QCheckBox::toggled, this, &TProfileWindow::redraw);
    TProfileWindow::retranslate();
}

void TProfileWindow::retranslate()
{
    TPlotWindow::retranslate();
    setWindowTitle(zel::texts::profileGraphTitle());
    LogBox->setText(zel::texts::logarithmicAxis());
    ValueBox->setItemText(0, tr("U, мВ"));
    ValueBox->setItemText(1, tr("R = U / I, Ом"));
    AllBox->setText(zel::texts::allRecords());
    fillProfiles();
    redraw();
}

void TProfileWindow::setRecords(const std::vector<zel::MeasurementRecord>& records, const zel::SurveyGeometry&)
{
    m_records = records;
    fillProfiles();
    redraw();
}

void TProfileWindow::fillProfiles()
{
    // The profile shown stays chosen while the new data have it.
    const QVariant chosen = ProfileBox->currentData();
    const QSignalBlocker quiet(ProfileBox);
    ProfileBox->clear();
    const std::vector<zel::Profile> profiles = zel::profilesOf(m_records);
    if (profiles.size() > 1 && profiles.size() <= std::size_t(zel::kReadableProfiles))
        ProfileBox->addItem(zel::texts::allProfiles());
    for (const zel::Profile& p : profiles)
        ProfileBox->addItem(QStringLiteral("L%1 F%2").arg(p.line).arg(p.file), QVariant::fromValue(QPoint(p.line, p.file)));
    const int again = chosen.isValid() ? ProfileBox->findData(chosen) : -1;
    ProfileBox->setCurrentIndex(std::max(again, 0));
}

void TProfileWindow::redraw()
{
    const zel::ProfileOptions options{zel::ProfileValue(ValueBox->currentData().toInt()), LogBox->isChecked(),
                                      AllBox->isChecked()};
    std::optional<zel::Profile> only;
    if (const QVariant p = ProfileBox->currentData(); p.isValid())
        only = zel::Profile{p.toPoint().x(), p.toPoint().y()};
    m_graph = zel::profileGraph(m_records, options.value, options.logarithmic, options.allRecords, only);
    zel::drawProfileGraph(*Plot, m_graph, options);
    Plot->replot();
}

QString TProfileWindow::hoverText(const QPointF& pixel) const
{
    for (const zel::ProfileCurve& curve : m_graph.curves) {
        const int i = nearest(curve.points, pixel, [&](const zel::ProfilePoint& p) {
            return QPointF(Plot->xAxis->coordToPixel(p.x), Plot->yAxis->coordToPixel(p.y));
        });
        if (i >= 0)
            return curve.legend + QLatin1Char('\n') + tableLine(curve.points[std::size_t(i)].record);
    }
    return {};
}

TPseudosectionWindow::TPseudosectionWindow(QSettings& settings, UserDialogs& dialogs, QWidget* parent)
    : TPlotWindow(QStringLiteral("PseudosectionWindow"), settings, dialogs, parent)
{
    ProfileBox = new QComboBox(this);
    ProfileBox->setObjectName(QStringLiteral("ProfileBox"));
    addControl(ProfileBox);
    connect(ProfileBox, &QComboBox::currentIndexChanged, this, &TPseudosectionWindow::redraw);
    // Of a profile read at two frequencies, its frequency effect or metal factor.
    ValueBox = new QComboBox(this);
    ValueBox->setObjectName(QStringLiteral("ValueBox"));
    for (const zel::PseudoValue v : {zel::PseudoValue::Rhoa, zel::PseudoValue::Pfe, zel::PseudoValue::MetalFactor})
        ValueBox->addItem(QString(), int(v));
    addControl(ValueBox);
    connect(ValueBox, &QComboBox::currentIndexChanged, this, &TPseudosectionWindow::redraw);
    SelectedLabel = new QLabel(this);
    SelectedLabel->setObjectName(QStringLiteral("SelectedLabel"));
    SelectedLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout()->addWidget(SelectedLabel);
    // A click chooses a value and shows it; Ctrl+click, Delete or the context
    // menu leave it out (or take it back), so a click that only meant to
    // bring the window forward changes nothing. A drag pans as before.
    connect(Plot, &QCustomPlot::mousePress, this, [this](QMouseEvent* e) { m_pressedAt = e->position(); });
    connect(Plot, &QCustomPlot::mouseRelease, this, [this](QMouseEvent* e) {
        if (e->button() != Qt::LeftButton || (e->position() - m_pressedAt).manhattanLength() > 3)
            return;
        const auto value = valueAt(e->position());
        select(value);
        if (value && (e->modifiers() & Qt::ControlModifier))
            emit exclusionAsked(*value);
    });
    Plot->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Plot, &QWidget::customContextMenuRequested, this, &TPseudosectionWindow::showMenu);
    auto* remove = new QShortcut(QKeySequence::Delete, this);
    connect(remove, &QShortcut::activated, this, [this] {
        if (m_selected)
            emit exclusionAsked(*m_selected);
    });
    auto* undo = new QShortcut(QKeySequence::Undo, this);
    connect(undo, &QShortcut::activated, this, &TPseudosectionWindow::undoAsked);
    TPseudosectionWindow::retranslate();
}

void TPseudosectionWindow::retranslate()
{
    TPlotWindow::retranslate();
    setWindowTitle(zel::texts::pseudosectionTitle());
    ValueBox->setItemText(0, tr("ρк"));
    ValueBox->setItemText(1, tr("частотный эффект, %"));
    ValueBox->setItemText(2, tr("металл-фактор"));
    redraw();
}

void TPseudosectionWindow::setRecords(const std::vector<zel::MeasurementRecord>& records,
                                      const zel::SurveyGeometry& geometry)
{
    m_records = records;
    m_geometry = geometry;
    const QString chosen = ProfileBox->currentText();
    {
        const QSignalBlocker quiet(ProfileBox);
        ProfileBox->clear();
        for (const zel::Profile& p : zel::profileChoices(zel::pseudosectionProfiles(records)))
            ProfileBox->addItem(zel::profileName(p), QVariant::fromValue(QPoint(p.line, p.file)));
        const int again = ProfileBox->findText(chosen);
        ProfileBox->setCurrentIndex(again >= 0 ? again : 0);
    }
    redraw();
}

void TPseudosectionWindow::redraw()
{
    const QPoint p = ProfileBox->currentData().toPoint();
    m_section = ProfileBox->count() > 0 ? zel::pseudosection(m_records, m_geometry, {p.x(), p.y()}, m_exclusions,
                                                             zel::PseudoValue(ValueBox->currentData().toInt()))
                                        : zel::Pseudosection();
    zel::drawPseudosection(*Plot, m_section);
    ringSelected();
    Plot->replot();
}

void TPseudosectionWindow::select(const std::optional<zel::ValueKey>& value)
{
    m_selected = value;
    ringSelected();
    Plot->replot();
}

void TPseudosectionWindow::ringSelected()
{
    if (QCPGraph* old = Plot->findChild<QCPGraph*>(QStringLiteral("SelectedRing")))
        Plot->removeGraph(old);
    QString text;
    for (const auto* points : {&m_section.points, &m_section.negative})
        for (const zel::PseudosectionPoint& p : *points) {
            const zel::ChannelValue& v = m_section.values[std::size_t(p.value)];
            if (!m_selected || zel::keyOf(v) != *m_selected)
                continue;
            QCPGraph* ring = Plot->addGraph();
            ring->setObjectName(QStringLiteral("SelectedRing"));
            ring->setLineStyle(QCPGraph::lsNone);
            ring->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, QPen(Qt::black, 2), Qt::NoBrush, 15));
            ring->setData({p.x}, {p.depth});
            text = valueText(v) + (m_exclusions.count(*m_selected) ? tr(" — исключено") : QString());
        }
    SelectedLabel->setText(text.isEmpty() ? tr("Щелчок выбирает значение; Delete, Ctrl+щелчок или меню исключают его, Ctrl+Z отменяет.")
                                          : text);
}

void TPseudosectionWindow::showMenu(const QPoint& at)
{
    const auto value = valueAt(at);
    select(value);
    QMenu menu(this);
    if (value) {
        const bool excluded = m_exclusions.count(*value) > 0;
        menu.addAction(excluded ? tr("Вернуть в инверсию") : tr("Исключить из инверсии"), this, [this, v = *value] { emit exclusionAsked(v); });
    }
    menu.addAction(tr("Отменить последнее исключение"), QKeySequence::Undo, this, &TPseudosectionWindow::undoAsked);
    menu.exec(Plot->mapToGlobal(at));
}

void TPseudosectionWindow::documentChanged()
{
    if (!document())
        return;
    m_exclusions = document()->exclusions();
    TPlotWindow::documentChanged();
}

void TPseudosectionWindow::setExclusions(const zel::Exclusions& exclusions)
{
    m_exclusions = exclusions;
    // The view stays where the user has moved it.
    const QCPRange x = Plot->xAxis->range(), y = Plot->yAxis->range();
    redraw();
    Plot->xAxis->setRange(x);
    Plot->yAxis->setRange(y);
    Plot->replot();
}

std::optional<zel::ValueKey> TPseudosectionWindow::valueAt(const QPointF& pixel) const
{
    for (const auto* points : {&m_section.points, &m_section.negative}) {
        const int i = nearest(*points, pixel, [&](const zel::PseudosectionPoint& p) {
            return QPointF(Plot->xAxis->coordToPixel(p.x), Plot->yAxis->coordToPixel(p.depth));
        });
        if (i >= 0)
            return zel::keyOf(m_section.values[std::size_t((*points)[std::size_t(i)].value)]);
    }
    return std::nullopt;
}

QString TPseudosectionWindow::hoverText(const QPointF& pixel) const
{
    for (const auto* points : {&m_section.points, &m_section.negative}) {
        const int i = nearest(*points, pixel, [&](const zel::PseudosectionPoint& p) {
            return QPointF(Plot->xAxis->coordToPixel(p.x), Plot->yAxis->coordToPixel(p.depth));
        });
        if (i < 0)
            continue;
        return valueText(m_section.values[std::size_t((*points)[std::size_t(i)].value)]);
    }
    return {};
}

QString TPseudosectionWindow::valueText(const zel::ChannelValue& v) const
{
    const auto& n = v.electrodes->number;
    const QLocale numbers = Plot->locale();
    return tableLine(v.record)
        + tr("\nкан.%1  a %2  b %3  m %4  n %5  k %6 м  ρк %7 Ом·м")
              .arg(v.channel)
              .arg(n[0])
              .arg(n[1])
              .arg(n[2])
              .arg(n[3])
              .arg(numbers.toString(*v.k, 'g', 6), numbers.toString(*v.rhoa, 'g', 6));
}
