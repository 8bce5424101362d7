#include "Plots.h"

#include "data/DataFile.h"
#include "data/ZelError.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <qcustomplot.h>

#include <cmath>

namespace zel {

namespace {

constexpr int kColourClasses = 64;
constexpr double kMarkerSize = 7;

QCPColorGradient resistivityGradient() { return QCPColorGradient(QCPColorGradient::gpJet); }

QCPTextElement* noteBelow(QCustomPlot& plot, const QString& text)
{
    auto* note = new QCPTextElement(&plot, text, QFont(plot.font().family(), 9));
    plot.plotLayout()->addElement(plot.plotLayout()->rowCount(), 0, note);
    return note;
}

void resetPlot(QCustomPlot& plot)
{
    plot.clearGraphs();
    plot.clearItems();
    plot.clearPlottables();
    // The layout keeps only the axis rect: colour bars and notes are made anew.
    QCPLayoutGrid* layout = plot.plotLayout();
    for (int i = layout->elementCount() - 1; i >= 0; --i)
        if (QCPLayoutElement* element = layout->elementAt(i); element && element != plot.axisRect())
            layout->remove(element);
    layout->simplify();
    plot.xAxis->setScaleType(QCPAxis::stLinear);
    plot.yAxis->setScaleType(QCPAxis::stLinear);
    plot.xAxis->setTicker(QSharedPointer<QCPAxisTicker>(new QCPAxisTicker));
    plot.yAxis->setTicker(QSharedPointer<QCPAxisTicker>(new QCPAxisTicker));
    plot.yAxis->setRangeReversed(false);
    plot.xAxis2->setVisible(false);
    plot.legend->setVisible(false);
    plot.setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
}

} // namespace

QColor resistivityColour(double rhoa, double low, double high)
{
    return resistivityGradient().color(rhoa, QCPRange(low, high), true);
}

void drawProfileGraph(QCustomPlot& plot, const ProfileGraph& graph, const ProfileOptions& options)
{
    resetPlot(plot);
    plot.xAxis->setLabel(QObject::tr("Station"));
    plot.yAxis->setLabel(options.value == ProfileValue::U ? QObject::tr("U, mV") : QObject::tr("R = U / I, Ohm"));
    if (options.logarithmic) {
        plot.yAxis->setScaleType(QCPAxis::stLogarithmic);
        plot.yAxis->setTicker(QSharedPointer<QCPAxisTickerLog>(new QCPAxisTickerLog));
    }
    int colourIndex = 0;
    for (const ProfileCurve& curve : graph.curves) {
        const QColor colour = QColor::fromHsv((colourIndex++ * 67) % 360, 220, 200);
        QVector<double> x, y, plusX, plusY, minusX, minusY;
        for (const ProfilePoint& p : curve.points) {
            x << p.x;
            y << p.y;
            if (p.kind == 2)
                plusX << p.x, plusY << p.y;
            else if (p.kind == 3)
                minusX << p.x, minusY << p.y;
        }
        QCPGraph* g = plot.addGraph();
        g->setName(curve.legend);
        g->setPen(QPen(colour, 1.5));
        g->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, colour, colour, 5));
        g->setData(x, y, true);
        // "+" and "-" records: shapes of their own over the curve's markers.
        for (const auto& [xs, ys, shape] : {std::tuple{plusX, plusY, QCPScatterStyle::ssCrossSquare},
                                            std::tuple{minusX, minusY, QCPScatterStyle::ssTriangleInverted}}) {
            if (xs.isEmpty())
                continue;
            QCPGraph* marked = plot.addGraph();
            marked->setLineStyle(QCPGraph::lsNone);
            marked->setScatterStyle(QCPScatterStyle(shape, colour, Qt::white, 11));
            marked->setData(xs, ys, true);
            marked->removeFromLegend();
        }
    }
    plot.rescaleAxes();
    // Some room around the outer markers.
    const QCPRange x = plot.xAxis->range();
    plot.xAxis->setRange(x.lower - std::max(x.size() * 0.03, 0.5), x.upper + std::max(x.size() * 0.03, 0.5));
    const QCPRange y = plot.yAxis->range();
    if (options.logarithmic)
        plot.yAxis->setRange(y.lower / 1.5, y.upper * 1.5);
    else
        plot.yAxis->setRange(y.lower - std::max(y.size() * 0.05, 0.5), y.upper + std::max(y.size() * 0.05, 0.5));
    for (const ProfileMark& m : graph.marks) {
        auto* line = new QCPItemStraightLine(&plot);
        line->point1->setCoords(m.x, 0);
        line->point2->setCoords(m.x, 1);
        line->setPen(QPen(Qt::darkGray, 1, Qt::DashLine));
        auto* label = new QCPItemText(&plot);
        label->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
        label->position->setCoords(m.x, 0.02);
        label->setPositionAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->setText(QString::number(m.mark));
        label->setColor(Qt::darkGray);
    }
    plot.legend->setVisible(!graph.curves.empty());
    if (options.logarithmic && graph.leftOut > 0)
        noteBelow(plot, QObject::tr("%n value(s) not above 0 left out of the logarithmic axis", nullptr, graph.leftOut));
}

void drawPseudosection(QCustomPlot& plot, const Pseudosection& s)
{
    resetPlot(plot);
    plot.xAxis->setLabel(QObject::tr("x, m"));
    plot.yAxis->setLabel(QObject::tr("Depth, m"));
    plot.yAxis->setRangeReversed(true);  // downward

    double low = 0, high = 0;
    for (const PseudosectionPoint& p : s.points) {
        low = low == 0 ? p.rhoa : std::min(low, p.rhoa);
        high = std::max(high, p.rhoa);
    }
    if (low == high) {
        low = low > 0 ? low / 1.5 : 1;
        high = high > 0 ? high * 1.5 : 10;
    }
    // One marker graph per colour class of the logarithmic scale.
    std::vector<QVector<double>> xs(kColourClasses), ys(kColourClasses);
    const double span = std::log(high / low);
    for (const PseudosectionPoint& p : s.points) {
        const int c = std::clamp(int(std::log(p.rhoa / low) / span * kColourClasses), 0, kColourClasses - 1);
        xs[std::size_t(c)] << p.x;
        ys[std::size_t(c)] << p.depth;
    }
    for (int c = 0; c < kColourClasses; ++c) {
        if (xs[std::size_t(c)].isEmpty())
            continue;
        const QColor colour = resistivityColour(low * std::exp(span * (c + 0.5) / kColourClasses), low, high);
        QCPGraph* g = plot.addGraph();
        g->setLineStyle(QCPGraph::lsNone);
        g->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, colour, colour, kMarkerSize));
        g->setData(xs[std::size_t(c)], ys[std::size_t(c)], true);
    }
    if (!s.negative.empty()) {
        QVector<double> x, y;
        for (const PseudosectionPoint& p : s.negative)
            x << p.x, y << p.depth;
        QCPGraph* g = plot.addGraph();
        g->setLineStyle(QCPGraph::lsNone);
        g->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, QPen(Qt::gray, 1.5), Qt::NoBrush, kMarkerSize));
        g->setData(x, y, true);
    }
    plot.rescaleAxes();
    // Some room around the outer markers.
    for (QCPAxis* axis : {plot.xAxis, plot.yAxis}) {
        const QCPRange r = axis->range();
        const double pad = r.size() > 0 ? r.size() * 0.05 : 1;
        axis->setRange(r.lower - pad, r.upper + pad);
    }
    if (!s.electrodes.empty()) {
        plot.xAxis->setRange(std::min(plot.xAxis->range().lower, s.electrodes.front()),
                             std::max(plot.xAxis->range().upper, s.electrodes.back()));
        auto ticker = QSharedPointer<QCPAxisTickerText>(new QCPAxisTickerText);
        for (const double x : s.electrodes)
            ticker->addTick(x, QString());
        plot.xAxis2->setVisible(true);
        plot.xAxis2->setTicker(ticker);
        plot.xAxis2->setTickLabels(false);
        plot.xAxis2->setRange(plot.xAxis->range());
        QObject::connect(plot.xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), plot.xAxis2,
                         qOverload<const QCPRange&>(&QCPAxis::setRange));
    }

    auto* bar = new QCPColorScale(&plot);
    plot.plotLayout()->addElement(0, 1, bar);
    bar->setType(QCPAxis::atRight);
    bar->setGradient(resistivityGradient());
    bar->setDataScaleType(QCPAxis::stLogarithmic);
    bar->axis()->setTicker(QSharedPointer<QCPAxisTickerLog>(new QCPAxisTickerLog));
    bar->setDataRange(QCPRange(low, high));
    bar->axis()->setLabel(QObject::tr("Apparent resistivity, Ohm·m"));
    auto* margins = new QCPMarginGroup(&plot);
    plot.axisRect()->setMarginGroup(QCP::msBottom | QCP::msTop, margins);
    bar->setMarginGroup(QCP::msBottom | QCP::msTop, margins);

    QStringList notes;
    if (s.leftOut > 0)
        notes << QObject::tr("%n value(s) without apparent resistivity left out", nullptr, s.leftOut);
    if (!s.negative.empty())
        notes << QObject::tr("%n negative value(s) drawn hollow", nullptr, int(s.negative.size()));
    if (!notes.isEmpty()) {
        auto* note = new QCPTextElement(&plot, notes.join(QStringLiteral("; ")), QFont(plot.font().family(), 9));
        plot.plotLayout()->addElement(1, 0, note);
    }
}

void savePlot(QCustomPlot& plot, const QString& path, int width, int height)
{
    QTemporaryDir scratch;
    const QString drawn = scratch.filePath(QStringLiteral("picture.") + QFileInfo(path).suffix().toLower());
    const bool pdf = path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive);
    if (!scratch.isValid() || !(pdf ? plot.savePdf(drawn, width, height) : plot.savePng(drawn, width, height)))
        throw ZelError(ErrorId::CannotCreateFile, {QDir::toNativeSeparators(path), QString()});
    writeWholeFile(path, readWholeFile(drawn, qint64(1) << 30));
}

} // namespace zel
