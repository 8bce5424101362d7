#include "Plots.h"
#include "Sheet.h"

#include "data/DataFile.h"
#include "inversion/Chargeability.h"
#include "inversion/Sounding.h"
#include "data/ZelError.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <functional>
#include <map>
#include <memory>
#include <numbers>
#include <set>
#include <tuple>

namespace zel {

namespace {

constexpr int kColourClasses = 64;
constexpr double kMarkerSize = 7;
constexpr int kLegendEntries = 12;
constexpr double kMarkSpacing = 16;  // pixels between two mark lines: room for a number

QCPColorGradient resistivityGradient() { return QCPColorGradient(QCPColorGradient::gpJet); }

// A marker drawn once and copied to every point of its colour class: a
// pseudosection of a whole memory replots quickly.
// A marker drawn once and stamped at every point: tens of thousands of
// outlined circles stroked one by one would make every zoom slow.
QPixmap stamp(double size, const std::function<void(QPainter&, const QRectF&)>& paint)
{
    const int side = int(std::ceil(size)) + 2;
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter, QRectF(1, 1, size, size));
    return pixmap;
}

QPixmap discOf(const QColor& colour)
{
    const int size = int(kMarkerSize) + 1;
    QPixmap disc(size, size);
    disc.fill(Qt::transparent);
    QPainter painter(&disc);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(0.5, 0.5, kMarkerSize, kMarkerSize));
    return disc;
}

QCPTextElement* noteBelow(QCustomPlot& plot, const QString& text)
{
    auto* note = new QCPTextElement(&plot, text, QFont(plot.font().family(), 9));
    plot.plotLayout()->addElement(plot.plotLayout()->rowCount(), 0, note);
    return note;
}

void resetPlot(QCustomPlot& plot)
{
    // What an earlier drawing tied to the x axis goes with it.
    QObject::disconnect(plot.xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), &plot, nullptr);
    QObject::disconnect(plot.xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), plot.xAxis2, nullptr);
    QObject::disconnect(&plot, &QCustomPlot::afterLayout, plot.xAxis, nullptr);
    plot.clearGraphs();
    plot.clearItems();
    plot.clearPlottables();
    // The layout keeps only the axis rect: colour bars and notes are made anew.
    QCPLayoutGrid* layout = plot.plotLayout();
    // A legend drawn below the axes goes back inside them, as made.
    for (int i = layout->elementCount() - 1; i >= 0; --i)
        if (QCPLayoutElement* element = layout->elementAt(i); element == plot.legend) {
            layout->take(element);
            plot.legend->setWrap(0);
            plot.legend->setFillOrder(QCPLayoutGrid::foRowsFirst);
            plot.axisRect()->insetLayout()->addElement(plot.legend, Qt::AlignRight | Qt::AlignTop);
        } else if (element && element != plot.axisRect()) {
            layout->remove(element);
        }
    layout->simplify();
    plot.xAxis->setScaleType(QCPAxis::stLinear);
    plot.yAxis->setScaleType(QCPAxis::stLinear);
    // A range left from an earlier drawing decides which sign a logarithmic
    // axis looks for when it is fitted to the data: start from a positive one.
    plot.xAxis->setRange(0, 1);
    plot.yAxis->setRange(1, 10);
    plot.xAxis->setTicker(QSharedPointer<QCPAxisTicker>(new QCPAxisTicker));
    plot.yAxis->setTicker(QSharedPointer<QCPAxisTicker>(new QCPAxisTicker));
    plot.yAxis->setRangeReversed(false);
    plot.xAxis2->setVisible(false);
    plot.legend->setVisible(false);
    plot.setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    plot.setPlottingHint(QCP::phFastPolylines, true);
}

// A number as the plot's language writes it: the shortest plain decimal,
// with the language's decimal sign.
QString localDecimal(const QLocale& numbers, double value, int significant = 15)
{
    return QString::fromLatin1(plainDecimal(value, significant, false)).replace(QLatin1Char('.'), numbers.decimalPoint());
}

// A logarithmic axis marked 1, 2, 5 in each decade of the range it shows,
// zoomed or not: across one or two decades QCustomPlot's logarithmic ticker
// falls back to even steps and leaves 10 unlabelled. Within one decade the
// marks are round linear steps. Labels are plain decimals in the plot's
// language.
class DecadeTicker : public QCPAxisTicker {
protected:
    QVector<double> createTickVector(double, const QCPRange& range) override
    {
        const std::vector<double> ticks = scaleTicks({range.lower, range.upper, true}, 12);
        return {ticks.begin(), ticks.end()};
    }
    int getSubTickCount(double) override { return 0; }
    QString getTickLabel(double tick, const QLocale& locale, QChar, int) override { return localDecimal(locale, tick, 4); }
};

// The pixels a colour bar's label takes along the bar: room for one line of text.
constexpr int kBarLabelPixels = 26;

// A colour bar's axis marks the values of `ticks`, a label at every one
// that fits in `pixels` of bar, the others unlabelled: labels never overlap.
void markBar(QCPAxis& axis, const std::vector<double>& ticks, int pixels)
{
    auto ticker = QSharedPointer<QCPAxisTickerText>::create();
    const int room = std::max(2, pixels / kBarLabelPixels);
    const std::size_t every = (ticks.size() + std::size_t(room) - 1) / std::size_t(room);
    for (std::size_t i = 0; i < ticks.size(); ++i)
        ticker->addTick(ticks[i], i % std::max<std::size_t>(every, 1) == 0 ? localDecimal(axis.parentPlot()->locale(), ticks[i], 4) : QString());
    axis.setTicker(ticker);
}

// The bar's labels thinned to the height the plot is drawn at (a window's
// panel, or a picture of another size), before each drawing: the bar takes
// that height less the title's and the x axis' room.
void followHeight(QCustomPlot& plot, QCPColorScale& bar, const std::vector<double>& ticks)
{
    constexpr int kAroundTheBar = 70;
    markBar(*bar.axis(), ticks, plot.viewport().height() - kAroundTheBar);
    QObject::connect(&plot, &QCustomPlot::beforeReplot, &bar, [&plot, &bar, ticks] {
        markBar(*bar.axis(), ticks, plot.viewport().height() - kAroundTheBar);
    });
}

// The colour bar of resistivities beside the axis rectangle, its height kept
// to the rectangle's; its labels thinned to the height it is laid out at.
void addResistivityBar(QCustomPlot& plot, const ColourScale& scale, const QString& label,
                       const QCPColorGradient& gradient = resistivityGradient())
{
    auto* bar = new QCPColorScale(&plot);
    plot.plotLayout()->addElement(0, 1, bar);
    bar->setType(QCPAxis::atRight);
    bar->setGradient(gradient);
    bar->setDataScaleType(scale.logarithmic ? QCPAxis::stLogarithmic : QCPAxis::stLinear);
    bar->setDataRange(QCPRange(scale.low, scale.high));
    bar->axis()->setLabel(label);
    const std::vector<double> ticks = scaleTicks(scale, 12);
    followHeight(plot, *bar, ticks);
    auto* margins = new QCPMarginGroup(&plot);
    plot.axisRect()->setMarginGroup(QCP::msBottom | QCP::msTop, margins);
    bar->setMarginGroup(QCP::msBottom | QCP::msTop, margins);
}

// The share of a colour scale a value stands at: 0 at its low end, 1 at its high.
double shareOf(const ColourScale& scale, double value)
{
    return scale.logarithmic ? std::log(value / scale.low) / std::log(scale.high / scale.low)
                             : (value - scale.low) / (scale.high - scale.low);
}

// The values of a colour map's grid smoothed over about `cellsX` × `cellsZ`
// samples (a cell of the section), in log10 where `logarithmic`, by a
// Gaussian that leaves out what lies outside the section (NaN); then taken
// at every second sample. Contours on it run smoothly across the cells
// rather than along their edges.
QCPColorMapData smoothedGrid(QCPColorMapData& grid, double cellsX, double cellsZ, bool logarithmic)
{
    const int nx = grid.keySize(), nz = grid.valueSize();
    std::vector<double> values(std::size_t(nx) * std::size_t(nz));
    auto at = [nz](int ix, int iz) { return std::size_t(ix) * std::size_t(nz) + std::size_t(iz); };
    for (int ix = 0; ix < nx; ++ix)
        for (int iz = 0; iz < nz; ++iz) {
            const double v = grid.cell(ix, iz);
            values[at(ix, iz)] = logarithmic ? (v > 0 ? std::log10(v) : std::nan("")) : v;
        }
    // One pass along each axis, each with its weights, NaN left out.
    auto pass = [&](double sigma, bool alongX) {
        const int reach = std::max(1, int(std::ceil(2 * sigma)));
        std::vector<double> weights;
        for (int k = -reach; k <= reach; ++k)
            weights.push_back(std::exp(-0.5 * k * k / (sigma * sigma)));
        std::vector<double> out(values.size(), std::nan(""));
        for (int ix = 0; ix < nx; ++ix)
            for (int iz = 0; iz < nz; ++iz) {
                if (std::isnan(values[at(ix, iz)]))
                    continue;
                double sum = 0, weight = 0;
                for (std::size_t w = 0; w < weights.size(); ++w) {
                    const int k = int(w) - reach;
                    const int jx = alongX ? ix + k : ix, jz = alongX ? iz : iz + k;
                    if (jx < 0 || jx >= nx || jz < 0 || jz >= nz || std::isnan(values[at(jx, jz)]))
                        continue;
                    sum += weights[w] * values[at(jx, jz)];
                    weight += weights[w];
                }
                out[at(ix, iz)] = sum / weight;
            }
        values = std::move(out);
    };
    pass(std::max(1.0, cellsX), true);
    pass(std::max(1.0, cellsZ), false);
    QCPColorMapData smooth((nx + 1) / 2, (nz + 1) / 2, grid.keyRange(), grid.valueRange());
    for (int ix = 0; ix < smooth.keySize(); ++ix)
        for (int iz = 0; iz < smooth.valueSize(); ++iz) {
            const double v = values[at(std::min(nx - 1, 2 * ix), std::min(nz - 1, 2 * iz))];
            smooth.setCell(ix, iz, logarithmic ? std::pow(10.0, v) : v);
        }
    return smooth;
}

// Contour lines of the values sampled on a colour map's grid at `levels`,
// by marching squares; cells with a corner outside the section (NaN) have
// none. Each level one curve, its segments apart, drawn black on a white
// halo (seen on the dark ends of the scale as on its light middle), its
// value written where it crosses the middle of its run.
void addContours(QCustomPlot& plot, QCPColorMapData& grid, const std::vector<double>& levels, bool logarithmic)
{
    const int nx = grid.keySize(), nz = grid.valueSize();
    auto value = [&](int ix, int iz) {
        const double v = grid.cell(ix, iz);
        return logarithmic ? std::log10(v) : v;
    };
    for (const double level : levels) {
        const double l = logarithmic ? std::log10(level) : level;
        QVector<double> xs, zs;
        auto cross = [&](int ax, int az, double va, int bx, int bz, double vb) {
            const double t = (l - va) / (vb - va);
            double x0 = 0, z0 = 0, x1 = 0, z1 = 0;
            grid.cellToCoord(ax, az, &x0, &z0);
            grid.cellToCoord(bx, bz, &x1, &z1);
            return QPointF(x0 + t * (x1 - x0), z0 + t * (z1 - z0));
        };
        for (int ix = 0; ix + 1 < nx; ++ix)
            for (int iz = 0; iz + 1 < nz; ++iz) {
                const double v[4] = {value(ix, iz), value(ix + 1, iz), value(ix + 1, iz + 1), value(ix, iz + 1)};
                if (std::isnan(v[0]) || std::isnan(v[1]) || std::isnan(v[2]) || std::isnan(v[3]))
                    continue;
                const int corner[4][2] = {{ix, iz}, {ix + 1, iz}, {ix + 1, iz + 1}, {ix, iz + 1}};
                // The edges the level crosses, in order round the cell; two or four.
                QVector<QPointF> points;
                for (int e = 0; e < 4; ++e) {
                    const int f = (e + 1) % 4;
                    if ((v[e] < l) != (v[f] < l))
                        points << cross(corner[e][0], corner[e][1], v[e], corner[f][0], corner[f][1], v[f]);
                }
                for (int p = 0; p + 1 < points.size(); p += 2) {
                    xs << points[p].x() << points[p + 1].x() << qQNaN();
                    zs << points[p].y() << points[p + 1].y() << qQNaN();
                }
            }
        if (xs.isEmpty())
            continue;
        for (const QPen& pen : {QPen(QColor(255, 255, 255, 200), 2.6), QPen(Qt::black, 1.0)}) {
            auto* curve = new QCPCurve(plot.xAxis, plot.yAxis);
            curve->setData(xs, zs);
            curve->setPen(pen);
        }
        // The label at the segment nearest the middle of the level's run along x.
        std::vector<std::pair<double, double>> along;
        for (int i = 0; i + 1 < xs.size(); i += 3)
            along.emplace_back(xs[i], zs[i]);
        if (along.empty())
            continue;
        std::nth_element(along.begin(), along.begin() + std::ptrdiff_t(along.size() / 2), along.end());
        const auto [lx, lz] = along[along.size() / 2];
        auto* label = new QCPItemText(&plot);
        label->position->setCoords(lx, lz);
        label->setText(localDecimal(plot.locale(), level, 3));
        label->setFont(QFont(plot.font().family(), 7));
        label->setBrush(QColor(255, 255, 255, 210));
        label->setPadding(QMargins(1, 0, 1, 0));
        label->setClipToAxisRect(true);
    }
}

// Many markers are drawn without antialiasing: a replot after a zoom stays quick.
void markersForCount(QCustomPlot& plot, std::size_t count)
{
    constexpr std::size_t kSmoothMarkers = 5000;
    if (count > kSmoothMarkers)
        plot.setNotAntialiasedElements(QCP::aeScatters);
    else
        plot.setAntialiasedElements(QCP::aeScatters);
}

// Markers on a curve of many points: about one per few pixels of what is in
// view, all of them once the user has zoomed in far enough.
void thinMarkers(QCustomPlot& plot)
{
    const double width = std::max(plot.axisRect()->width(), 100);
    for (int i = 0; i < plot.graphCount(); ++i) {
        QCPGraph* g = plot.graph(i);
        if (g->lineStyle() == QCPGraph::lsNone)
            continue;
        bool found = false;
        const QCPRange keys = g->getKeyRange(found);
        const double shown = found && keys.size() > 0 ? std::min(1.0, plot.xAxis->range().size() / keys.size()) : 1.0;
        const double visible = g->data()->size() * shown;
        g->setScatterSkip(int(visible / (width / 4)));
    }
}

// Marks as dashed lines with their number at the top, at most one in every
// kMarkSpacing pixels of the view, placed again whenever the plot is laid
// out (a zoom, a resize, a picture of another size): the numbers never
// overlap, and a memory full of marks draws as fast as one with a few.
void placeMarksOnEveryLayout(QCustomPlot& plot, std::vector<ProfileMark> marks)
{
    if (marks.empty())
        return;
    std::sort(marks.begin(), marks.end(), [](const ProfileMark& a, const ProfileMark& b) { return a.x < b.x; });
    auto placed = std::make_shared<std::vector<QCPAbstractItem*>>();
    QObject::connect(&plot, &QCustomPlot::afterLayout, plot.xAxis, [&plot, marks = std::move(marks), placed] {
        for (QCPAbstractItem* item : *placed)
            plot.removeItem(item);
        placed->clear();
        const QCPRange view = plot.xAxis->range();
        double lastPixel = -1e9;
        for (const ProfileMark& m : marks) {
            const double pixel = plot.xAxis->coordToPixel(m.x);
            if (!view.contains(m.x) || pixel - lastPixel < kMarkSpacing)
                continue;
            lastPixel = pixel;
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
            placed->push_back(line);
            placed->push_back(label);
        }
    });
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
        g->setPen(QPen(colour, 1));  // a one-pixel pen: wide pens are slow on long curves
        g->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, colour, colour, 5));
        g->setData(x, y);
        // "+" and "-" records: shapes of their own over the curve's markers.
        for (const auto& [xs, ys, shape] : {std::tuple{plusX, plusY, QCPScatterStyle::ssCrossSquare},
                                            std::tuple{minusX, minusY, QCPScatterStyle::ssTriangleInverted}}) {
            if (xs.isEmpty())
                continue;
            QCPGraph* marked = plot.addGraph();
            marked->setLineStyle(QCPGraph::lsNone);
            marked->setScatterStyle(QCPScatterStyle(shape, colour, Qt::white, 11));
            marked->setData(xs, ys);
            marked->removeFromLegend();
        }
    }
    plot.rescaleAxes();
    std::size_t points = 0;
    for (const ProfileCurve& curve : graph.curves)
        points += curve.points.size();
    markersForCount(plot, points);
    QObject::connect(plot.xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), &plot,
                     [&plot] { thinMarkers(plot); });
    // Some room around the outer markers.
    const QCPRange x = plot.xAxis->range();
    plot.xAxis->setRange(x.lower - std::max(x.size() * 0.03, 0.5), x.upper + std::max(x.size() * 0.03, 0.5));
    const QCPRange y = plot.yAxis->range();
    if (options.logarithmic)
        plot.yAxis->setRange(y.lower / 1.5, y.upper * 1.5);
    else
        plot.yAxis->setRange(y.lower - std::max(y.size() * 0.05, 0.5), y.upper + std::max(y.size() * 0.05, 0.5));
    placeMarksOnEveryLayout(plot, graph.marks);
    // The legend names what fits beside the plot; a note says how many more curves there are.
    for (int i = 0, named = 0; i < plot.graphCount(); ++i) {
        QCPGraph* g = plot.graph(i);
        if (g->name().isEmpty())
            continue;
        if (++named > kLegendEntries)
            g->removeFromLegend();
    }
    if (const int unnamed = int(graph.curves.size()) - kLegendEntries; unnamed > 0)
        noteBelow(plot, QObject::tr("The legend names %1 of %n curve(s)", nullptr, int(graph.curves.size())).arg(kLegendEntries));
    plot.legend->setVisible(!graph.curves.empty());
    if (options.logarithmic && graph.leftOut > 0)
        noteBelow(plot, QObject::tr("%n value(s) not above 0 left out of the logarithmic axis", nullptr, graph.leftOut));
    // An empty graph says why it is empty.
    if (points == 0 && graph.leftOut == 0)
        noteBelow(plot, QObject::tr("Nothing to draw: no plain measurement here; measurements with electrode "
                                    "positions are shown by the pseudosection"));
}

QLocale plotLocale(bool english)
{
    QLocale numbers = english ? QLocale(QLocale::English, QLocale::UnitedKingdom) : QLocale(QLocale::Russian, QLocale::Russia);
    numbers.setNumberOptions(numbers.numberOptions() | QLocale::OmitGroupSeparator);
    return numbers;
}

void drawPseudosection(QCustomPlot& plot, const Pseudosection& s)
{
    resetPlot(plot);
    plot.xAxis->setLabel(QObject::tr("x, m"));
    // The median depth of investigation of each array, not a true depth.
    plot.yAxis->setLabel(QObject::tr("Pseudo-depth, m"));
    plot.yAxis->setRangeReversed(true);  // downward

    // The colours span what is kept (flagged values included): a value the
    // user left out, often the wild one, must not stretch the scale over the
    // ground's contrasts. With everything left out, everything counts.
    auto kept = [&](const PseudosectionPoint& p) {
        return std::size_t(p.value) >= s.excluded.size() || !s.excluded[std::size_t(p.value)];
    };
    const bool anyKept = std::any_of(s.points.begin(), s.points.end(), kept);
    // Apparent resistivities on a logarithmic scale; a frequency effect or
    // metal factor on a linear one from 0.
    const bool logarithmic = s.shown == PseudoValue::Rhoa;
    double low = 0, high = 0;
    for (const PseudosectionPoint& p : s.points) {
        if (anyKept && !kept(p))
            continue;
        low = low == 0 && logarithmic ? p.rhoa : std::min(low, p.rhoa);
        high = std::max(high, p.rhoa);
    }
    if (low == high) {
        low = low > 0 ? low / 1.5 : logarithmic ? 1 : 0;
        high = high > 0 ? high * 1.5 : logarithmic ? 10 : 1;
    }
    // One marker graph per colour class of the scale.
    std::vector<QVector<double>> xs(kColourClasses), ys(kColourClasses);
    const double span = logarithmic ? std::log(high / low) : high - low;
    auto along = [&](double v) { return logarithmic ? std::log(v / low) / span : (v - low) / span; };
    for (const PseudosectionPoint& p : s.points) {
        const int c = std::clamp(int(along(p.rhoa) * kColourClasses), 0, kColourClasses - 1);
        xs[std::size_t(c)] << p.x;
        ys[std::size_t(c)] << p.depth;
    }
    for (int c = 0; c < kColourClasses; ++c) {
        if (xs[std::size_t(c)].isEmpty())
            continue;
        const double share = (c + 0.5) / kColourClasses;
        const QColor colour = logarithmic ? resistivityColour(low * std::exp(span * share), low, high)
                                          : resistivityGradient().color(share, QCPRange(0, 1), false);
        QCPGraph* g = plot.addGraph();
        g->setLineStyle(QCPGraph::lsNone);
        g->setScatterStyle(QCPScatterStyle(discOf(colour)));
        g->setData(xs[std::size_t(c)], ys[std::size_t(c)]);
    }
    if (!s.negative.empty()) {
        QVector<double> x, y;
        for (const PseudosectionPoint& p : s.negative)
            x << p.x, y << p.depth;
        QCPGraph* g = plot.addGraph();
        g->setLineStyle(QCPGraph::lsNone);
        g->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, QPen(Qt::gray, 1.5), Qt::NoBrush, kMarkerSize));
        g->setData(x, y);
    }
    // What the data check flagged is outlined; what the user left out is crossed.
    QVector<double> flaggedX, flaggedY, excludedX, excludedY;
    for (const auto* points : {&s.points, &s.negative})
        for (const PseudosectionPoint& p : *points) {
            const auto i = std::size_t(p.value);
            if (i < s.excluded.size() && s.excluded[i])
                excludedX << p.x, excludedY << p.depth;
            else if (i < s.flags.size() && s.flags[i] != 0)
                flaggedX << p.x, flaggedY << p.depth;
        }
    const QPixmap ring = stamp(kMarkerSize + 5, [](QPainter& p, const QRectF& r) {
        p.setPen(QPen(Qt::black, 1.5));
        p.drawEllipse(r.adjusted(0.75, 0.75, -0.75, -0.75));
    });
    const QPixmap cross = stamp(kMarkerSize + 3, [](QPainter& p, const QRectF& r) {
        p.setPen(QPen(Qt::black, 2));
        p.drawLine(r.topLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomLeft());
    });
    for (const auto& [xs, ys, style] : {std::tuple{flaggedX, flaggedY, QCPScatterStyle(ring)},
                                        std::tuple{excludedX, excludedY, QCPScatterStyle(cross)}}) {
        if (xs.isEmpty())
            continue;
        QCPGraph* g = plot.addGraph();
        g->setLineStyle(QCPGraph::lsNone);
        g->setScatterStyle(style);
        g->setData(xs, ys);
    }
    plot.rescaleAxes();
    markersForCount(plot, s.points.size() + s.negative.size());
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

    addResistivityBar(plot, {low, high, logarithmic},
                      logarithmic                        ? QObject::tr("Apparent resistivity, Ohm·m")
                          : s.shown == PseudoValue::Pfe ? QObject::tr("Frequency effect, %")
                                                        : QObject::tr("Metal factor"));

    QStringList notes;
    if (s.leftOut > 0)
        notes << (logarithmic ? QObject::tr("%n value(s) without apparent resistivity left out", nullptr, s.leftOut)
                              : QObject::tr("%n value(s) without a reading at a second frequency left out", nullptr, s.leftOut));
    if (!s.negative.empty())
        notes << QObject::tr("%n negative value(s) drawn hollow", nullptr, int(s.negative.size()));
    if (!notes.isEmpty()) {
        auto* note = new QCPTextElement(&plot, notes.join(QStringLiteral("; ")), QFont(plot.font().family(), 9));
        plot.plotLayout()->addElement(1, 0, note);
    }
    // Which profile, and the geometry its positions and depths follow: two
    // pictures of one file drawn with other spacings never look alike unsaid.
    if (!s.values.empty() || !s.electrodes.empty()) {
        plot.plotLayout()->insertRow(0);
        plot.plotLayout()->addElement(0, 0, new QCPTextElement(&plot, pseudosectionCaption(s, plot.locale()), QFont(plot.font().family(), 10)));
    }
}

QString pseudosectionCaption(const Pseudosection& s, const QLocale& numbers)
{
    if (s.profile.wholeLine())
        return QObject::tr("Line %1, all its files: electrode spacing %2 m, each file from its own X0")
            .arg(s.profile.line)
            .arg(localDecimal(numbers, s.geometry.spacing));
    return QObject::tr("Line %1, file %2: electrode spacing %3 m, electrode 0 at x = %4 m")
        .arg(s.profile.line)
        .arg(s.profile.file)
        .arg(localDecimal(numbers, s.geometry.spacing), localDecimal(numbers, s.geometry.x0));
}

std::vector<double> scaleTicks(const ColourScale& scale, int count)
{
    count = std::max(count, 2);
    const double low = std::min(scale.low, scale.high), high = std::max(scale.low, scale.high);
    std::vector<double> ticks;
    if (scale.logarithmic && low > 0) {
        // 1, 2, 5 in each decade; only the decades' 1 when those are too
        // many, and every second, third... decade beyond that.
        const int first = int(std::floor(std::log10(low))), last = int(std::ceil(std::log10(high)));
        for (const std::vector<double>& steps : {std::vector<double>{1, 2, 5}, std::vector<double>{1}}) {
            ticks.clear();
            for (int d = first; d <= last; ++d)
                for (const double s : steps)
                    if (const double v = s * std::pow(10.0, d); v >= low * (1 - 1e-9) && v <= high * (1 + 1e-9))
                        ticks.push_back(v);
            if (int(ticks.size()) <= count)
                break;
        }
        if (int(ticks.size()) > count) {
            const std::size_t every = (ticks.size() + std::size_t(count) - 1) / std::size_t(count);
            std::vector<double> thinned;
            for (std::size_t i = 0; i < ticks.size(); i += every)
                thinned.push_back(ticks[i]);
            ticks = thinned;
        }
        if (ticks.size() >= 2)
            return ticks;
    }
    // Round steps of 1, 2 or 5 times a power of ten: the widest that gives
    // at most `count` ticks and at least two.
    const double raw = (high - low) / double(count - 1);
    if (!(raw > 0))
        return {low};
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = raw <= power ? power : raw <= 2 * power ? 2 * power : raw <= 5 * power ? 5 * power : 10 * power;
    for (int narrower = 0; narrower < 4; ++narrower) {
        ticks.clear();
        for (double v = std::ceil(low / step - 1e-9) * step; v <= high * (1 + 1e-12) + 1e-12 && int(ticks.size()) <= count; v += step)
            ticks.push_back(std::abs(v) < step * 1e-9 ? 0 : v);
        if (ticks.size() >= 2)
            break;
        // 10 → 5 → 2 → 1: the next round step down.
        const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
        step = mantissa > 4 ? step / 2.5 : step / 2;
    }
    return ticks;
}

void drawErrorPairs(QCustomPlot& plot, const std::vector<ProfileErrors>& profiles, const QLocale& numbers)
{
    resetPlot(plot);
    plot.xAxis->setLabel(QObject::tr("|R|, Ohm"));
    plot.yAxis->setLabel(QObject::tr("|ΔR|, Ohm"));
    for (QCPAxis* axis : {plot.xAxis, plot.yAxis}) {
        axis->setScaleType(QCPAxis::stLogarithmic);
        axis->setTicker(QSharedPointer<QCPAxisTickerLog>(new QCPAxisTickerLog));
    }
    double low = 1e300, high = 0, lowest = 1e300, highest = 0;
    int colourIndex = 0;
    for (const ProfileErrors& p : profiles) {
        const QColor colour = QColor::fromHsv((colourIndex++ * 67) % 360, 220, 200);
        QVector<double> x, y;
        for (const ErrorPair& e : p.pairs)
            if (e.resistance > 0 && e.difference > 0) {  // a difference of 0 has no place on a log axis
                x << e.resistance, y << e.difference;
                low = std::min(low, e.resistance), high = std::max(high, e.resistance);
                lowest = std::min(lowest, e.difference), highest = std::max(highest, e.difference);
            }
        QCPGraph* points = plot.addGraph();
        points->setData(x, y);
        points->setLineStyle(QCPGraph::lsNone);
        points->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, colour, 4));
        points->setName(p.name);
        if (!p.model || x.isEmpty())
            continue;
        QVector<double> lx, ly;
        const double meanOfTwo = 2 / std::sqrt(std::numbers::pi);
        for (int k = 0; k <= 40; ++k) {
            const double r = low * std::pow(high / low, k / 40.0);
            lx << r, ly << meanOfTwo * (p.model->a + p.model->b * r);
        }
        QCPGraph* line = plot.addGraph();
        line->setData(lx, ly);
        line->setPen(QPen(colour, 2));
        line->setName(QObject::tr("%1: a = %2 Ohm, b = %3 %")
                          .arg(p.name, numbers.toString(p.model->a, 'g', 3), numbers.toString(100 * p.model->b, 'f', 2)));
    }
    if (high > 0) {
        plot.xAxis->setRange(low / 1.5, high * 1.5);
        plot.yAxis->setRange(lowest / 2, highest * 2);
    }
    plot.legend->setVisible(colourIndex > 0);
    plot.legend->setFont(QFont(plot.font().family(), 7));
}

namespace {

// Blue where a value falls, red where it rises, white where it stays: a
// misfit or a change on a scale even about 0.
QCPColorGradient changeGradient()
{
    QCPColorGradient gradient;
    gradient.setColorStopAt(0, QColor(30, 60, 200));
    gradient.setColorStopAt(0.5, Qt::white);
    gradient.setColorStopAt(1, QColor(200, 30, 30));
    return gradient;
}

// The section's cells coloured by `values` (one a parameter cell) on
// `scale`, with its bar labelled `barLabel`, the depth of investigation,
// the surface, the electrodes and the title: drawSection()'s drawing.
void drawCells(QCustomPlot& plot, const inv::InversionResult& r, const std::vector<double>& values, const QString& title,
               const ColourScale& scale, QCPColorGradient gradient, const QString& barLabel, bool contours,
               double doiThreshold)
{
    plot.xAxis->setLabel(QObject::tr("x, m"));
    plot.yAxis->setLabel(QObject::tr("Elevation, m"));
    const inv::Mesh& mesh = r.mesh;
    if (mesh.parameterCount() == 0)
        return;
    // The extent of the parameter cells.
    double x0 = 1e300, x1 = -1e300, z0 = 1e300, z1 = -1e300;
    for (const int c : mesh.cellOfParameter)
        for (const inv::Point& p : mesh.cellCorners(c)) {
            x0 = std::min(x0, p.x), x1 = std::max(x1, p.x);
            z0 = std::min(z0, p.z), z1 = std::max(z1, p.z);
        }
    // The depth of investigation: by the DOI index where it was computed,
    // else by the sensitivity; the cells below it are paled.
    const bool byIndex = r.doi.size() == std::size_t(mesh.parameterCount());
    const std::vector<double> sensitivity = byIndex ? std::vector<double>{} : inv::relativeSensitivity(r);
    const std::vector<inv::ColumnDepth> seen = byIndex ? inv::doiDepths(mesh, r.doi, doiThreshold)
                                                       : inv::sensitivityDepths(mesh, sensitivity, inv::kSensitivityThreshold);
    std::vector<double> seenDepth(mesh.columns.size(), 1e300);
    for (std::size_t i = 0, k = 0; i + 1 < mesh.columns.size() && k < seen.size(); ++i)
        if (std::abs((mesh.columns[i] + mesh.columns[i + 1]) / 2 - seen[k].x) < 1e-9)
            seenDepth[i] = seen[k++].depth;
    // The cells sampled on a grid: a column by x, a cell of it by the
    // elevation of its rows there (the rows follow the topography).
    constexpr int kNx = 600, kNz = 240;
    auto* map = new QCPColorMap(plot.xAxis, plot.yAxis);
    auto* pale = new QCPColorMap(plot.xAxis, plot.yAxis);
    for (QCPColorMap* m : {map, pale}) {
        m->data()->setSize(kNx, kNz);
        m->data()->setRange(QCPRange(x0, x1), QCPRange(z0, z1));
        m->setInterpolate(false);
    }
    const std::vector<double>& cx = mesh.columns;
    for (int ix = 0; ix < kNx; ++ix)
        for (int iz = 0; iz < kNz; ++iz) {
            double x = 0, z = 0;
            map->data()->cellToCoord(ix, iz, &x, &z);
            double value = std::nan(""), paleness = std::nan("");
            if (const int c = mesh.cellAt({x, z}); c >= 0)
                if (const int p = mesh.parameterOfCell[std::size_t(c)]; p >= 0) {
                    value = values[std::size_t(p)];
                    paleness = mesh.depths[std::size_t(c % mesh.cellRows())] >= seenDepth[std::size_t(c / mesh.cellRows())] - 1e-9 ? 1 : 0;
                }
            map->data()->setCell(ix, iz, value);
            pale->data()->setCell(ix, iz, paleness);
        }
    gradient.setNanHandling(QCPColorGradient::nhTransparent);
    map->setGradient(gradient);
    map->setDataScaleType(scale.logarithmic ? QCPAxis::stLogarithmic : QCPAxis::stLinear);
    map->setDataRange(QCPRange(scale.low, scale.high));
    if (contours) {
        // Smoothed over about a cell of the parameter region: lines, not the cells' stairs.
        int columns = 0;
        for (std::size_t i = 0; i + 1 < cx.size(); ++i)
            columns += cx[i] >= x0 - 1e-9 && cx[i + 1] <= x1 + 1e-9 ? 1 : 0;
        int rows = 0;
        const int middle = std::max(0, int(cx.size()) / 2 - 1);
        for (int row = 0; row < mesh.cellRows(); ++row)
            rows += mesh.parameterOfCell[std::size_t(mesh.cell(middle, row))] >= 0 ? 1 : 0;
        QCPColorMapData smooth = smoothedGrid(*map->data(), double(kNx) / std::max(1, columns),
                                              double(kNz) / std::max(1, rows), scale.logarithmic);
        addContours(plot, smooth, scaleTicks(scale, 12), scale.logarithmic);
    }
    QCPColorGradient veil;
    veil.setColorStopAt(0, QColor(255, 255, 255, 0));
    veil.setColorStopAt(1, QColor(255, 255, 255, 170));
    veil.setNanHandling(QCPColorGradient::nhTransparent);
    pale->setGradient(veil);
    pale->setDataRange(QCPRange(0, 1));

    QVector<double> dx, dz;
    for (const inv::ColumnDepth& c : seen)
        dx << c.x, dz << c.z;
    QCPGraph* depthLine = plot.addGraph();
    depthLine->setData(dx, dz);
    depthLine->setPen(QPen(Qt::black, 1.5, Qt::DashLine));
    if (!seen.empty()) {
        auto* label = new QCPItemText(&plot);
        label->position->setCoords(seen.front().x, seen.front().z);
        label->setPositionAlignment(Qt::AlignLeft | Qt::AlignBottom);
        label->setBrush(QColor(255, 255, 255, 200));
        label->setPadding(QMargins(2, 0, 2, 0));
        label->setText(byIndex ? QObject::tr("DOI") : QObject::tr("depth of sensitivity"));
        label->setFont(QFont(plot.font().family(), 8));
    }

    // The surface and the electrodes on it.
    QVector<double> sx, sz, ex, ez;
    for (int i = 0; i < int(cx.size()); ++i)
        if (cx[std::size_t(i)] >= x0 && cx[std::size_t(i)] <= x1)
            sx << cx[std::size_t(i)], sz << mesh.nodes[std::size_t(mesh.node(i, 0))].z;
    for (const int node : mesh.electrodeNodes)
        ex << mesh.nodes[std::size_t(node)].x, ez << mesh.nodes[std::size_t(node)].z;
    QCPGraph* surface = plot.addGraph();
    surface->setData(sx, sz);
    surface->setPen(QPen(Qt::black, 1.5));
    QCPGraph* electrodes = plot.addGraph();
    electrodes->setData(ex, ez);
    electrodes->setLineStyle(QCPGraph::lsNone);
    electrodes->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssTriangleInverted, QPen(Qt::black), QBrush(Qt::white), 7));

    addResistivityBar(plot, scale, barLabel, gradient);
    plot.plotLayout()->insertRow(0);
    plot.plotLayout()->addElement(0, 0, new QCPTextElement(&plot, title, sectionTitleFont(plot)));
    // The whole line in view: every electrode and the parameter region, with a margin.
    double left = x0, right = x1, top = z1;
    for (int i = 0; i < ex.size(); ++i)
        left = std::min(left, ex[i]), right = std::max(right, ex[i]), top = std::max(top, ez[i]);
    const double margin = 0.03 * (right - left);
    plot.xAxis->setRange(left - margin, right + margin);
    plot.yAxis->setRange(z0 - 0.02 * (top - z0), top + 0.05 * (top - z0));
}

} // namespace

void drawSection(QCustomPlot& plot, const inv::InversionResult& r, const QString& title,
                 std::optional<ColourScale> given, bool contours, double doiThreshold)
{
    resetPlot(plot);
    const ColourScale scale = given ? *given : r.mesh.parameterCount() == 0 ? ColourScale{1, 10, true} : [&] {
        const auto [low, high] = sectionRange(r, false);
        return ColourScale{low, high, true};
    }();
    drawCells(plot, r, r.resistivity, title, scale, resistivityGradient(), QObject::tr("Resistivity, Ohm·m"), contours,
              doiThreshold);
}

double changeScale(const std::vector<double>& change)
{
    double widest = 10;
    for (const double c : change)
        widest = std::max(widest, std::min(100.0, std::abs(c)));
    return widest;
}

void drawChangeSection(QCustomPlot& plot, const inv::TimeLapseResult& r, const QString& title)
{
    resetPlot(plot);
    if (r.later.mesh.parameterCount() == 0 || r.change.size() != std::size_t(r.later.mesh.parameterCount()))
        return;
    const double widest = changeScale(r.change);
    drawCells(plot, r.later, r.change, title, {-widest, widest, false}, changeGradient(),
              QObject::tr("Change of resistivity, %"), false, 0.1);
}

void drawSounding(QCustomPlot& plot, const std::vector<inv::SoundingDatum>& data, const inv::LayeredFit& layered,
                  const inv::SmoothFit& smooth, const QString& title)
{
    resetPlot(plot);
    plot.xAxis->setLabel(QObject::tr("AB/2, depth, m"));
    plot.yAxis->setLabel(QObject::tr("Apparent resistivity, Ohm·m"));
    for (QCPAxis* axis : {plot.xAxis, plot.yAxis}) {
        axis->setScaleType(QCPAxis::stLogarithmic);
        axis->setTicker(QSharedPointer<QCPAxisTickerLog>(new QCPAxisTickerLog));
    }
    // The measured points, a graph per MN segment; the responses in AB/2
    // order. Where MN grows with AB at one ratio (Wenner: MN = AB/3) the
    // points are one curve, not a segment each.
    auto spacings = [&](std::size_t i) {
        const auto& x = data[i].x;
        return std::pair(std::abs(x[1] - x[0]) / 2, std::abs(x[3] - x[2]) / 2);
    };
    bool oneRatio = false;
    if (!data.empty()) {
        const auto [firstAb2, firstMn2] = spacings(0);
        std::set<double> mns;
        oneRatio = true;
        for (std::size_t i = 0; i < data.size() && oneRatio; ++i) {
            const auto [ab2, mn2] = spacings(i);
            oneRatio = std::abs(mn2 * firstAb2 - firstMn2 * ab2) <= 1e-6 * ab2 * firstAb2;
            mns.insert(mn2);
        }
        oneRatio = oneRatio && mns.size() > 1;
    }
    std::map<double, std::pair<QVector<double>, QVector<double>>> segments;
    std::vector<std::array<double, 3>> responses;  // AB/2, layered, smooth
    for (std::size_t i = 0; i < data.size(); ++i) {
        const auto [ab2, mn2] = spacings(i);
        auto& segment = segments[oneRatio ? 0.0 : mn2];
        segment.first << ab2;
        segment.second << data[i].rhoa;
        if (i < layered.response.size() && i < smooth.response.size())
            responses.push_back({ab2, layered.response[i], smooth.response[i]});
    }
    const QList<QCPScatterStyle::ScatterShape> shapes = {QCPScatterStyle::ssCircle, QCPScatterStyle::ssSquare,
                                                         QCPScatterStyle::ssTriangle, QCPScatterStyle::ssDiamond};
    int shape = 0;
    for (const auto& [mn2, points] : segments) {
        QCPGraph* g = plot.addGraph();
        g->setLineStyle(QCPGraph::lsNone);
        g->setScatterStyle(QCPScatterStyle(shapes[shape++ % shapes.size()], Qt::black, 7));
        g->setData(points.first, points.second);
        g->setName(oneRatio ? QObject::tr("Measured, MN = AB/%1").arg(localDecimal(plot.locale(), spacings(0).first / spacings(0).second, 3))
                            : QObject::tr("Measured, MN/2 = %1 m").arg(localDecimal(plot.locale(), mn2, 3)));
    }
    std::sort(responses.begin(), responses.end());
    for (const auto& [column, colour, style, name] :
         {std::tuple{1, QColor(Qt::red), Qt::SolidLine, QObject::tr("Layered model's response")},
          std::tuple{2, QColor(Qt::blue), Qt::DashLine, QObject::tr("Smooth model's response")}}) {
        QVector<double> x, y;
        for (const auto& r : responses)
            x << r[0], y << r[std::size_t(column)];
        QCPGraph* g = plot.addGraph();
        g->setPen(QPen(colour, 1.5, style));
        g->setData(x, y, true);
        g->setName(name);
    }
    // The models as steps of ρ against depth, to the deepest AB/2.
    const double deepest = responses.empty() ? 10 : responses.back()[0];
    auto steps = [&](const inv::LayeredEarth& e, const QColor& colour, Qt::PenStyle style, const QString& name) {
        QVector<double> x, y;
        double top = std::max(deepest * 1e-3, responses.empty() ? 0.1 : responses.front()[0] / 10);
        for (std::size_t i = 0; i < e.rho.size(); ++i) {
            const double bottom = i < e.thickness.size() ? top + e.thickness[i] : deepest;
            x << top << std::max(bottom, top);
            y << e.rho[i] << e.rho[i];
            top = bottom;
        }
        auto* curve = new QCPCurve(plot.xAxis, plot.yAxis);
        curve->setData(x, y);
        curve->setPen(QPen(colour, 2.5, style));
        curve->setName(name);
    };
    steps(layered.earth, QColor(200, 0, 0, 120), Qt::SolidLine, QObject::tr("Layered model (ρ against depth)"));
    steps(smooth.earth, QColor(0, 0, 200, 120), Qt::DotLine, QObject::tr("Smooth model (ρ against depth)"));
    plot.rescaleAxes();
    for (QCPAxis* axis : {plot.xAxis, plot.yAxis})
        axis->setRange(axis->range().lower / 1.3, axis->range().upper * 1.3);
    for (QCPAxis* axis : {plot.xAxis, plot.yAxis})
        axis->setTicker(QSharedPointer<DecadeTicker>::create());
    // The legend below the axes, in three columns: inside them it would
    // hide the curve on a small window.
    plot.legend->setVisible(true);
    plot.legend->setFont(QFont(plot.font().family(), 8));
    plot.axisRect()->insetLayout()->take(plot.legend);
    plot.plotLayout()->addElement(plot.plotLayout()->rowCount(), 0, plot.legend);
    plot.legend->setWrap(3);
    plot.legend->setFillOrder(QCPLayoutGrid::foColumnsFirst, true);
    plot.plotLayout()->setRowStretchFactor(plot.plotLayout()->rowCount() - 1, 0.001);
    plot.plotLayout()->insertRow(0);
    plot.plotLayout()->addElement(0, 0, new QCPTextElement(&plot, title, QFont(plot.font().family(), 10)));
}

QString soundingTitle(const SoundingResult& r, const QLocale& numbers)
{
    return QObject::tr("%1 at %2 m: %n layer(s), RRMS %3 %", nullptr, int(r.layered.earth.rho.size()))
        .arg(r.input.what, localDecimal(numbers, r.input.centre, 6), numbers.toString(r.layered.rrms, 'f', 2));
}

void drawSoundingSection(QCustomPlot& plot, const SoundingSection& section, const QString& title)
{
    resetPlot(plot);
    plot.xAxis->setLabel(QObject::tr("x along the line, m"));
    plot.yAxis->setLabel(QObject::tr("Depth, m"));
    plot.yAxis->setRangeReversed(true);
    if (section.x.size() < 2 || section.depth.size() < 2)
        return;
    double low = std::numeric_limits<double>::max(), high = 0;
    for (const double r : section.rho)
        low = std::min(low, r), high = std::max(high, r);
    const ColourScale scale{low, high > low * 1.01 ? high : low * 10, true};
    auto* map = new QCPColorMap(plot.xAxis, plot.yAxis);
    map->data()->setSize(int(section.x.size()), int(section.depth.size()));
    map->data()->setRange(QCPRange(section.x.front(), section.x.back()),
                          QCPRange(section.depth.front(), section.depth.back()));
    for (std::size_t r = 0; r < section.depth.size(); ++r)
        for (std::size_t c = 0; c < section.x.size(); ++c)
            map->data()->setCell(int(c), int(r), section.at(r, c));
    map->setGradient(resistivityGradient());
    map->setInterpolate(true);
    map->setDataScaleType(QCPAxis::stLogarithmic);
    map->setDataRange(QCPRange(scale.low, scale.high));
    // Each sounding: its centre, its name, and the layered model's
    // boundaries as short bars; equal boundaries of neighbours with as many
    // layers are joined.
    const double bar = (section.x.back() - section.x.front()) / double(std::max<std::size_t>(section.soundings.size(), 2)) / 4;
    for (std::size_t i = 0; i < section.soundings.size(); ++i) {
        const SoundingSection::Column& s = section.soundings[i];
        QCPGraph* centre = plot.addGraph();
        centre->setData(QVector<double>{s.centre, s.centre}, QVector<double>{0, section.depth.back()});
        centre->setPen(QPen(Qt::black, 1, Qt::DotLine));
        auto* label = new QCPItemText(&plot);
        label->position->setCoords(s.centre, 0);
        label->setPositionAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->setText(s.what);
        label->setFont(QFont(plot.font().family(), 8));
        for (std::size_t b = 0; b < s.boundaries.size(); ++b) {
            QCPGraph* g = plot.addGraph();
            g->setPen(QPen(Qt::black, 2));
            QVector<double> x{s.centre - bar, s.centre + bar}, z{s.boundaries[b], s.boundaries[b]};
            if (i + 1 < section.soundings.size() && section.soundings[i + 1].boundaries.size() == s.boundaries.size())
                x << section.soundings[i + 1].centre - bar, z << section.soundings[i + 1].boundaries[b];
            g->setData(x, z, true);
        }
    }
    plot.xAxis->setRange(section.x.front(), section.x.back());
    plot.yAxis->setRange(section.depth.front(), section.depth.back());
    addResistivityBar(plot, scale, QObject::tr("Resistivity, Ohm·m"));
    plot.plotLayout()->insertRow(0);
    plot.plotLayout()->addElement(0, 0,
                                  new QCPTextElement(&plot, QObject::tr("%1: %n sounding(s), smooth models; layered boundaries in black",
                                                                        nullptr, int(section.soundings.size()))
                                                                .arg(title),
                                                     QFont(plot.font().family(), 10)));
}

void drawChargeSection(QCustomPlot& plot, const inv::InversionResult& r, const QString& title, double doiThreshold)
{
    resetPlot(plot);
    if (r.mesh.parameterCount() == 0 || r.chargeability.size() != std::size_t(r.mesh.parameterCount()))
        return;
    std::vector<double> pfe;
    pfe.reserve(r.chargeability.size());
    for (const double m : r.chargeability)
        pfe.push_back(inv::effectOfCharge(m));
    // From no effect to the 99th percentile, at least 1 %: a lone cell at
    // the edge does not pale the whole section.
    std::vector<double> sorted = pfe;
    std::sort(sorted.begin(), sorted.end());
    const double high = std::max(1.0, sorted[std::size_t(0.99 * double(sorted.size() - 1))]);
    drawCells(plot, r, pfe, title, {0, high, false}, resistivityGradient(), QObject::tr("Frequency effect, %"), false,
              doiThreshold);
}

void drawPlanView(QCustomPlot& plot, const PlanView& view, std::optional<ColourScale> given)
{
    resetPlot(plot);
    plot.xAxis->setLabel(QObject::tr("x along the lines, m"));
    plot.yAxis->setLabel(QObject::tr("y across the lines, m"));
    if (view.x.empty() || view.y.empty())
        return;
    double low = std::numeric_limits<double>::max(), high = 0;
    for (const double r : view.rho)
        if (r > 0)
            low = std::min(low, r), high = std::max(high, r);
    const ColourScale scale = given ? *given : high > 0 ? ColourScale{low, high > low ? high : low * 10, true} : ColourScale{1, 10, true};
    const double halfRow = view.y.size() > 1 ? (view.y[1] - view.y[0]) / 2 : 1;
    auto* map = new QCPColorMap(plot.xAxis, plot.yAxis);
    map->data()->setSize(int(view.x.size()), int(view.y.size()));
    map->data()->setRange(QCPRange(view.x.front(), view.x.back()),
                          view.y.size() > 1 ? QCPRange(view.y.front(), view.y.back())
                                            : QCPRange(view.y.front() - halfRow, view.y.front() + halfRow));
    for (std::size_t j = 0; j < view.y.size(); ++j)
        for (std::size_t i = 0; i < view.x.size(); ++i)
            map->data()->setCell(int(i), int(j), view.at(j, i));
    QCPColorGradient gradient = resistivityGradient();
    gradient.setNanHandling(QCPColorGradient::nhTransparent);
    map->setGradient(gradient);
    map->setInterpolate(true);
    map->setDataScaleType(scale.logarithmic ? QCPAxis::stLogarithmic : QCPAxis::stLinear);
    map->setDataRange(QCPRange(scale.low, scale.high));
    for (const PlanView::Line& line : view.lines) {
        QCPGraph* g = plot.addGraph();
        g->setData(QVector<double>{line.from, line.to}, QVector<double>{line.y, line.y});
        g->setPen(line.leftOut ? QPen(Qt::darkGray, 1.5, Qt::DashLine) : QPen(Qt::black, 1.5));
        auto* label = new QCPItemText(&plot);
        label->position->setCoords(line.from, line.y);
        label->setPositionAlignment(Qt::AlignLeft | Qt::AlignBottom);
        label->setText(line.leftOut ? QObject::tr("%1 (left out)").arg(line.what) : line.what);
        label->setColor(line.leftOut ? Qt::darkGray : Qt::black);
        label->setFont(QFont(plot.font().family(), 8));
    }
    addResistivityBar(plot, scale, QObject::tr("Resistivity, Ohm·m"));
    plot.plotLayout()->insertRow(0);
    QString title = QObject::tr("%1 m below the ground").arg(localDecimal(plot.locale(), view.depth, 4));
    if (view.belowSensitivity || high <= 0)
        title += QStringLiteral(" — ") + QObject::tr("below every line's depth of sensitivity: the data see nothing here");
    plot.plotLayout()->addElement(0, 0, new QCPTextElement(&plot, title, QFont(plot.font().family(), 10)));
    const double pad = std::max(halfRow, 0.05 * (view.x.back() - view.x.front()));
    plot.xAxis->setRange(view.x.front() - pad, view.x.back() + pad);
    plot.yAxis->setRange((view.y.size() > 1 ? view.y.front() : view.y.front() - halfRow) - pad,
                         (view.y.size() > 1 ? view.y.back() : view.y.front() + halfRow) + pad);
}

QString changeTitle(const QString& later, const QString& base, const inv::TimeLapseResult& r, const QLocale& numbers)
{
    return sectionTitle(QObject::tr("%1 against %2").arg(later, base), r.later, numbers);
}

QString sectionVerdict(const inv::InversionResult& r, const QLocale& numbers)
{
    if (!r.misfits())
        return QString();
    return QObject::tr("the model does not explain the data: χ² %1 (at most %2 for a fit), RRMS %3 % (at most %4 "
                       "times the data's median error of %5 %)")
        .arg(numbers.toString(r.kept().chi2, 'f', 2), numbers.toString(inv::kHonestChi2), numbers.toString(r.kept().rrms, 'f', 2),
             numbers.toString(inv::kHonestRrmsFactor), numbers.toString(r.medianErrorPercent(), 'f', 2));
}

QString sectionTitle(const QString& what, const inv::InversionResult& r, const QLocale& numbers, bool verdict)
{
    if (r.iterations.empty())
        return what;
    const inv::IterationReport& kept = r.kept();
    const int last = r.iterations.back().number;
    QString title;
    if (r.best != r.lowest()) {
        // An earlier iteration looked at: its own figures, and which is the section.
        title = QObject::tr("%1: iteration %2 of %3, RRMS %4 %, χ² %5 (the section is iteration %6, of the lowest χ²)")
                    .arg(what)
                    .arg(kept.number)
                    .arg(last)
                    .arg(numbers.toString(kept.rrms, 'f', 2), numbers.toString(kept.chi2, 'f', 2))
                    .arg(r.iterations[r.lowest()].number);
    } else {
        title = QObject::tr("%1: %n iteration(s), RRMS %2 %, χ² %3", nullptr, last)
                    .arg(what, numbers.toString(kept.rrms, 'f', 2), numbers.toString(kept.chi2, 'f', 2));
        if (kept.number != last)
            title += QObject::tr(" (the model of iteration %1, the lowest χ²)").arg(kept.number);
    }
    if (verdict && r.misfits())
        title += QStringLiteral(" — ") + sectionVerdict(r, numbers);
    return title;
}

std::pair<double, double> sectionRange(const inv::InversionResult& r, bool withData)
{
    double low = 1e300, high = 0;
    auto take = [&](double v) {
        if (v > 0)
            low = std::min(low, v), high = std::max(high, v);
    };
    for (const double v : r.resistivity)
        take(v);
    for (std::size_t d = 0; withData && d < r.data.size(); ++d)
        take(r.data[d].rhoa), take(r.response[d]);
    if (high == 0)
        return {1, 10};
    if (!(high > low))
        return {low / 1.5, high * 1.5};
    return {low, high};
}

namespace {

// Each datum a disc at its pseudosection point, coloured by its value: on
// `colours` (apparent resistivities), or with `even` on a scale even about 0
// wide enough for the largest value up to ±100 % and never narrower than
// ±`least` %, with a grey ground that keeps a white disc in sight.
void drawPoints(QCustomPlot& plot, const std::vector<inv::Measurement>& data, const std::vector<double>& values,
                bool even, double least, const ColourScale& colours, const QString& barLabel, const QString& title)
{
    resetPlot(plot);
    // The title says what and by what depth: a low panel has no room for
    // the pseudo-depth's title along its axis.
    plot.xAxis->setLabel(QObject::tr("x, m"));
    plot.yAxis->setRangeReversed(true);
    double worst = least;
    for (std::size_t d = 0; even && d < values.size(); ++d)
        worst = std::max(worst, std::min(100.0, std::abs(values[d])));
    QCPColorGradient gradient = even ? changeGradient() : resistivityGradient();
    const QCPRange scale = even ? QCPRange(-worst, worst) : QCPRange(colours.low, colours.high);
    std::vector<QVector<double>> xs(kColourClasses), ys(kColourClasses);
    for (std::size_t d = 0; d < data.size() && d < values.size(); ++d) {
        const double value = values[d];
        const double share = even ? (value - scale.lower) / scale.size() : shareOf(colours, value);
        // Beyond the scale (a held one), or no number at all: its end's colour.
        const auto c = share >= 1 ? std::size_t(kColourClasses - 1)
            : share > 0           ? std::size_t(share * kColourClasses)
                                  : std::size_t(0);
        const inv::Point at = responsePoint(data[d]);
        xs[c] << at.x;
        ys[c] << at.z;
    }
    for (std::size_t c = 0; c < xs.size(); ++c) {
        if (xs[c].isEmpty())
            continue;
        const double share = (double(c) + 0.5) / kColourClasses;
        const double value = even || !colours.logarithmic ? scale.lower + share * scale.size()
                                                          : scale.lower * std::pow(scale.upper / scale.lower, share);
        QCPGraph* g = plot.addGraph();
        g->setLineStyle(QCPGraph::lsNone);
        g->setScatterStyle(QCPScatterStyle(discOf(gradient.color(value, scale, !even && colours.logarithmic))));
        g->setData(xs[c], ys[c]);
    }
    plot.rescaleAxes();
    for (QCPAxis* axis : {plot.xAxis, plot.yAxis}) {
        const QCPRange rg = axis->range();
        const double pad = rg.size() > 0 ? rg.size() * 0.05 : 1;
        axis->setRange(rg.lower - pad, rg.upper + pad);
    }
    // A low panel: a round step that gives about three labels on the
    // pseudo-depth, its multiples when zoomed out.
    const std::vector<double> depths = scaleTicks({plot.yAxis->range().lower, plot.yAxis->range().upper, false}, 3);
    if (depths.size() >= 2) {
        auto step = QSharedPointer<QCPAxisTickerFixed>::create();
        step->setTickStep(depths[1] - depths[0]);
        step->setScaleStrategy(QCPAxisTickerFixed::ssMultiples);
        plot.yAxis->setTicker(step);
        // As many labels as the panel's height has room for, two lines apart.
        QObject::connect(&plot, &QCustomPlot::beforeReplot, plot.yAxis, [&plot, step] {
            // The panel's height less what its titles and axes took at the
            // last layout: the axis' length at the size about to be drawn.
            const int around = plot.plotLayout()->outerRect().height() - plot.axisRect()->height();
            const int length = plot.viewport().height() - around;
            const int line = QFontMetrics(plot.yAxis->tickLabelFont()).height();
            step->setTickCount(std::clamp((length - line) / (2 * line), 1, 5));
        });
    }
    plot.axisRect()->setBackground(even ? QBrush(QColor(225, 225, 225)) : QBrush(Qt::NoBrush));
    if (even) {
        auto* bar = new QCPColorScale(&plot);
        plot.plotLayout()->addElement(0, 1, bar);
        bar->setGradient(gradient);
        bar->setDataRange(scale);
        bar->axis()->setLabel(barLabel);
        const std::vector<double> ticks = scaleTicks({-worst, worst, false}, 9);
        followHeight(plot, *bar, ticks);
        auto* margins = new QCPMarginGroup(&plot);
        plot.axisRect()->setMarginGroup(QCP::msBottom | QCP::msTop, margins);
        bar->setMarginGroup(QCP::msBottom | QCP::msTop, margins);
    } else {
        addResistivityBar(plot, colours, barLabel);
    }
    plot.plotLayout()->insertRow(0);
    plot.plotLayout()->addElement(0, 0, new QCPTextElement(&plot, title, QFont(plot.font().family(), 9)));
}

} // namespace

void drawResponse(QCustomPlot& plot, const inv::InversionResult& r, ResponsePanel panel, const ColourScale& colours)
{
    std::vector<double> values;
    values.reserve(r.data.size());
    for (std::size_t d = 0; d < r.data.size(); ++d)
        values.push_back(panel == ResponsePanel::Measured ? r.data[d].rhoa
                         : panel == ResponsePanel::Modelled ? r.response[d]
                                                            : r.misfitPercent(d));
    const bool misfit = panel == ResponsePanel::Misfit;
    const QString titles[] = {QObject::tr("Measured apparent resistivity ρa (Ohm·m) by pseudo-depth (m)"),
                              QObject::tr("Modelled apparent resistivity ρa (Ohm·m) by pseudo-depth (m)"),
                              QObject::tr("Misfit (model − measured) / measured (%) by pseudo-depth (m)")};
    drawPoints(plot, r.data, values, misfit, 5, colours, misfit ? QObject::tr("%") : QObject::tr("Ohm·m"), titles[int(panel)]);
}

void drawApparentChange(QCustomPlot& plot, const inv::TimeLapseResult& r)
{
    drawPoints(plot, r.base.data, r.apparentChange, true, 10, {}, QObject::tr("%"),
               QObject::tr("Change of apparent resistivity, later against base (%), by pseudo-depth (m)"));
}

inv::Point responsePoint(const inv::Measurement& m)
{
    // Halfway between the centres of AB and MN, at the median depth of
    // investigation (else a fifth of the array's length).
    const double x = ((m.x[0] + m.x[1]) / 2 + (m.x[2] + m.x[3]) / 2) / 2;
    const auto [lo, hi] = std::minmax_element(m.x.begin(), m.x.end());
    return {x, m.depth > 0 ? m.depth : (*hi - *lo) / 5};
}

QFont sectionTitleFont(const QCustomPlot& plot) { return QFont(plot.font().family(), 10); }

QString wrapSectionTitle(const QCustomPlot& plot, const QString& title, int width)
{
    return wrapText(title, sectionTitleFont(plot), width * 7 / 8);
}

QByteArray plotPicture(QCustomPlot& plot, const QString& path, int width, int height)
{
    // A plot never shown is laid out at the picture's size first.
    if (!plot.isVisible())
        plot.setViewport(QRect(0, 0, width, height));
    plot.replot(QCustomPlot::rpImmediateRefresh);
    QTemporaryDir scratch;
    const QString drawn = scratch.filePath(QStringLiteral("picture.") + QFileInfo(path).suffix().toLower());
    const bool pdf = path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive);
    if (!scratch.isValid() || !(pdf ? plot.savePdf(drawn, width, height) : plot.savePng(drawn, width, height)))
        throw ZelError(ErrorId::CannotCreateFile, {QDir::toNativeSeparators(path), QString()});
    return readWholeFile(drawn, qint64(1) << 30);
}

QList<std::pair<QString, QByteArray>> sectionPictures(const inv::InversionResult& result, const QString& title,
                                                      const QString& base, const QString& kind, const QLocale& numbers,
                                                      double doiThreshold)
{
    QCustomPlot picture;
    picture.setLocale(numbers);
    drawSection(picture, result, wrapSectionTitle(picture, title, kSectionPictureWidth),
                std::nullopt, false, doiThreshold);
    const QString path = base + QLatin1Char('.') + kind;
    QList<std::pair<QString, QByteArray>> files{{path, plotPicture(picture, path, kSectionPictureWidth, kSectionPictureHeight)}};
    if (!result.chargeability.empty()) {
        QCustomPlot charge;
        charge.setLocale(numbers);
        drawChargeSection(charge, result, wrapSectionTitle(charge, title, kSectionPictureWidth), doiThreshold);
        const QString pfe = base + QStringLiteral("-pfe.") + kind;
        files.append({pfe, plotPicture(charge, pfe, kSectionPictureWidth, kSectionPictureHeight)});
    }
    return files;
}

QList<std::pair<QString, QByteArray>> changePictures(const inv::TimeLapseResult& result, const QString& title,
                                                     const QString& base, const QString& kind, const QLocale& numbers)
{
    QCustomPlot picture;
    picture.setLocale(numbers);
    drawChangeSection(picture, result, wrapSectionTitle(picture, title, kSectionPictureWidth));
    const QString path = base + QLatin1Char('.') + kind;
    QList<std::pair<QString, QByteArray>> files{{path, plotPicture(picture, path, kSectionPictureWidth, kSectionPictureHeight)}};
    QCustomPlot apparent;
    apparent.setLocale(numbers);
    drawApparentChange(apparent, result);
    const QString pseudo = base + QStringLiteral("-apparent-change.") + kind;
    files.append({pseudo, plotPicture(apparent, pseudo, kSectionPictureWidth, kApparentChangePictureHeight)});
    return files;
}

QList<std::pair<QString, QByteArray>> planPicture(const PlanView& view, const QString& path, const QLocale& numbers)
{
    QCustomPlot picture;
    picture.setLocale(numbers);
    drawPlanView(picture, view);
    return {{path, plotPicture(picture, path, kPlanPictureWidth, kPlanPictureHeight)}};
}

void savePlot(QCustomPlot& plot, const QString& path, int width, int height)
{
    writeWholeFile(path, plotPicture(plot, path, width, height));
}

} // namespace zel
