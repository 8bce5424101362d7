#include "Sheet.h"

#include <QBuffer>
#include <QImage>
#include <QPdfWriter>

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace zel {

namespace {

// The space QCustomPlot leaves beyond an axis' title, pixels.
constexpr int kAxisPadding = 5;
// The panels' shares of the sheet's height, the section's first.
constexpr int kSheetShares[] = {5, 2, 2, 2};
// The least sheet, in the pixels fonts are measured in, that holds every text.
constexpr QSize kLeastSheetLayout(640, 500);

// QCustomPlot keeps where it drew an axis' tick labels and title in the
// axis' painter, which it does not show: read through a member pointer.
struct AxisPainterOf : QCPAxis {
    static const QCPAxisPainterPrivate& of(const QCPAxis& axis) { return *(axis.*(&AxisPainterOf::mAxisPainter)); }
};

QCPColorScale* colourBarOf(const QCustomPlot& plot)
{
    for (int i = 0; i < plot.plotLayout()->elementCount(); ++i)
        if (auto* bar = qobject_cast<QCPColorScale*>(plot.plotLayout()->elementAt(i)))
            return bar;
    return nullptr;
}

// What a replot lays out, without drawing: margins from the tick labels and
// titles in the plot's fonts, then the elements placed in the viewport.
void layOut(QCustomPlot& plot)
{
    // Room at the sides for the end ticks' labels, which stand out half
    // their width; little above, where only half a tick label stands out.
    const int line = QFontMetrics(plot.yAxis->tickLabelFont()).height();
    plot.axisRect()->setMinimumMargins(QMargins(15, line / 2, 15, 0));
    QCPLayoutGrid& grid = *plot.plotLayout();
    grid.setOuterRect(plot.viewport());
    for (const auto phase : {QCPLayoutElement::upPreparation, QCPLayoutElement::upMargins, QCPLayoutElement::upLayout})
        grid.update(phase);
}

// The resolution fonts are laid out at when no device is named: the screen's.
double layoutDpi()
{
    return QImage(1, 1, QImage::Format_RGB32).logicalDpiY();
}

void addText(std::vector<SheetText>& texts, const QString& what, QRect rect, QPointF at, double scale)
{
    if (rect.isEmpty())
        return;
    const QRectF r(rect);
    texts.push_back({what, QRectF((r.topLeft() + at) * scale, r.size() * scale)});
}

// Every text a laid-out panel drew: its titles and each axis' tick labels and title.
void collectTexts(const QCustomPlot& plot, QPointF at, double scale, std::vector<SheetText>& texts)
{
    for (int i = 0; i < plot.plotLayout()->elementCount(); ++i)
        if (auto* title = qobject_cast<QCPTextElement*>(plot.plotLayout()->elementAt(i)))
            addText(texts, title->text(), QFontMetrics(title->font()).boundingRect(title->rect(), title->textFlags(), title->text()), at, scale);
    QList<QCPAxis*> axes = plot.axisRect()->axes();
    if (QCPColorScale* bar = colourBarOf(plot))
        axes << bar->axis();
    for (const QCPAxis* axis : axes) {
        if (!axis->visible())
            continue;
        const QCPAxisPainterPrivate& drawn = AxisPainterOf::of(*axis);
        if (axis->tickLabels())
            addText(texts, QStringLiteral("ticks of ") + axis->label(), drawn.tickLabelsSelectionBox(), at, scale);
        if (!axis->label().isEmpty()) {
            // The title's own extent along its axis, centred as it is drawn.
            const QRect box = drawn.labelSelectionBox();
            const QRect text = QFontMetrics(axis->labelFont()).boundingRect(QRect(), Qt::AlignCenter, axis->label());
            const bool across = axis->orientation() == Qt::Vertical;
            const int length = across ? text.width() : text.height();
            const QRect title = across ? QRect(box.left(), box.center().y() - length / 2, box.width(), length)
                                       : QRect(box.center().x() - text.width() / 2, box.top(), text.width(), box.height());
            addText(texts, axis->label(), title, at, scale);
        }
    }
}

// The data's discs drawn as shapes, not as the window's stamped pixmaps: a
// picture enlarged for its resolution keeps them round and sharp.
void vectorMarkers(QCustomPlot& plot)
{
    for (int i = 0; i < plot.graphCount(); ++i) {
        QCPGraph& graph = *plot.graph(i);
        const QCPScatterStyle style = graph.scatterStyle();
        if (style.shape() != QCPScatterStyle::ssPixmap)
            continue;
        const QImage stamp = style.pixmap().toImage();
        const QColor colour = stamp.pixelColor(stamp.width() / 2, stamp.height() / 2);
        graph.setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, colour, colour, stamp.width() - 1));
    }
}

// The heights of the panels stacked in `room` pixels: each its titles' and
// x axis' own, the rest shared out, the section's five parts to each data
// panel's two; no data panel lower than a few lines, where its ticks and
// colour bar still read.
std::vector<int> panelHeights(const std::vector<std::unique_ptr<QCustomPlot>>& plots, int width, int room)
{
    constexpr int kTrial = 1000;
    std::vector<int> around;
    int shares = 0, free = room;
    for (std::size_t i = 0; i < plots.size(); ++i) {
        plots[i]->setViewport(QRect(0, 0, width, kTrial));
        layOut(*plots[i]);
        around.push_back(kTrial - plots[i]->axisRect()->height());
        free -= around.back();
        shares += kSheetShares[i];
    }
    const int line = QFontMetrics(plots.front()->font()).height();
    std::vector<int> heights;
    int taken = 0;
    for (std::size_t i = 1; i < plots.size(); ++i) {
        heights.push_back(around[i] + std::max(5 * line / 2, free * kSheetShares[i] / shares));
        taken += heights.back();
    }
    heights.insert(heights.begin(), std::max(room - taken, around.front() + 5 * line / 2));
    return heights;
}

} // namespace

QString sheetSizeProblem(const SheetSize& size)
{
    if (size.width < kLeastSheetSide || size.width > kLargestSheetSide || size.height < kLeastSheetSide
        || size.height > kLargestSheetSide)
        return QObject::tr("a picture from %1 to %2 pixels a side is needed").arg(kLeastSheetSide).arg(kLargestSheetSide);
    if (size.dpi < kLeastSheetDpi || size.dpi > kLargestSheetDpi)
        return QObject::tr("a resolution from %1 to %2 dots per inch is needed").arg(kLeastSheetDpi).arg(kLargestSheetDpi);
    // The sheet's texts keep their size in points: a small picture at a high
    // resolution has no room for them.
    const double inches = 1 / layoutDpi();
    const int leastWidth = int(std::ceil(kLeastSheetLayout.width() * inches * size.dpi));
    const int leastHeight = int(std::ceil(kLeastSheetLayout.height() * inches * size.dpi));
    if (size.width < leastWidth || size.height < leastHeight)
        return QObject::tr("at %1 dots per inch the sheet needs at least %2 × %3 pixels").arg(size.dpi).arg(leastWidth).arg(leastHeight);
    return QString();
}

QString wrapText(const QString& text, const QFont& font, int width)
{
    const QFontMetrics metrics(font);
    QStringList lines;
    QString line;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width) {
            lines << line;
            line = word;
        } else {
            line = longer;
        }
    }
    if (!line.isEmpty())
        lines << line;
    return lines.join(QLatin1Char('\n'));
}

namespace {

// A vertical axis' title longer than the axis is cut: it says only its unit
// ("Resistivity, Ohm·m" becomes "Ohm·m"; the panel's title says what), and
// whole again once there is room.
void fitTitle(QCPAxis& axis, int length)
{
    QString full = axis.label();
    if (full == axis.property("shortTitle").toString())
        full = axis.property("fullTitle").toString();
    const QString unit = full.section(QStringLiteral(", "), -1);
    axis.setProperty("fullTitle", full);
    axis.setProperty("shortTitle", unit);
    const bool fits = QFontMetrics(axis.labelFont()).horizontalAdvance(full) <= length;
    axis.setLabel(fits ? full : unit);
}

} // namespace

void alignPanels(const QList<QCustomPlot*>& panels)
{
    // Each panel's own needs, from its fonts and tick labels at its size.
    int left = 0, bar = 0;
    std::vector<std::pair<int, int>> needs;
    for (QCustomPlot* plot : panels) {
        QCPColorScale* colours = colourBarOf(*plot);
        plot->yAxis->setPadding(kAxisPadding);
        if (colours)
            colours->axis()->setPadding(kAxisPadding);
        plot->axisRect()->setAutoMargins(QCP::msAll);
        layOut(*plot);
        // Titles fitted to the axes' lengths as laid out, then laid out again.
        fitTitle(*plot->yAxis, plot->axisRect()->height());
        if (colours)
            fitTitle(*colours->axis(), colours->rect().height());
        layOut(*plot);
        needs.emplace_back(plot->axisRect()->margins().left(), colours ? colours->outerRect().width() : 0);
        left = std::max(left, needs.back().first);
        bar = std::max(bar, needs.back().second);
    }
    // The narrower ones padded out to the widest: the axes start and end alike.
    for (int i = 0; i < panels.size(); ++i) {
        QCustomPlot& plot = *panels[i];
        const auto [ownLeft, ownBar] = needs[std::size_t(i)];
        plot.yAxis->setPadding(kAxisPadding + left - ownLeft);
        if (QCPColorScale* colours = colourBarOf(plot))
            colours->axis()->setPadding(kAxisPadding + bar - ownBar);
        layOut(plot);
        if (!colourBarOf(plot)) {
            QMargins least = plot.axisRect()->minimumMargins();
            least.setRight(bar);
            plot.axisRect()->setMinimumMargins(least);
        }
    }
}

QByteArray sheetPicture(const SectionSheet& sheet, const SheetSize& asked, bool pdf, const QLocale& numbers,
                        std::vector<SheetText>* texts)
{
    const inv::InversionResult& r = *sheet.result;
    const SheetSize size{std::clamp(asked.width, kLeastSheetSide, kLargestSheetSide),
                         std::clamp(asked.height, kLeastSheetSide, kLargestSheetSide),
                         std::clamp(asked.dpi, kLeastSheetDpi, kLargestSheetDpi)};
    // The sheet is laid out in the pixels fonts are measured in, and drawn
    // enlarged to the picture's resolution: a 9-point label is 9 points on paper.
    const double base = layoutDpi();
    const double scale = size.dpi / base;
    const int width = int(size.width / scale), height = int(size.height / scale);

    std::vector<std::unique_ptr<QCustomPlot>> plots;
    auto panel = [&] {
        plots.push_back(std::make_unique<QCustomPlot>());
        plots.back()->setLocale(numbers);
        return plots.back().get();
    };
    QCustomPlot& model = *panel();
    const QFont font = model.font();
    // No text touches the picture's edge: a border of half a line all round.
    const int border = QFontMetrics(font).height() / 2 + 2;
    const int inner = width - 2 * border;
    const int gap = border / 2;
    const ColourScale colours = sheet.scale ? *sheet.scale : [&] {
        const auto [low, high] = sectionRange(r, true);
        return ColourScale{low, high, true};
    }();
    drawSection(model, r, wrapSectionTitle(model, sheet.title, inner), colours, sheet.contours,
                sheet.doiThreshold);
    const QCPRange x = model.xAxis->range();
    const bool response = r.response.size() == r.data.size();
    for (const ResponsePanel kind : {ResponsePanel::Measured, ResponsePanel::Modelled, ResponsePanel::Misfit}) {
        if (kind != ResponsePanel::Measured && !response)
            continue;
        QCustomPlot& data = *panel();
        drawResponse(data, r, kind, colours);
        vectorMarkers(data);
        data.xAxis->setRange(x);
        data.xAxis->setLabel(QString());  // said once, below the last panel
    }
    plots.back()->xAxis->setLabel(model.xAxis->label());
    const std::vector<int> heights = panelHeights(plots, inner, height - 2 * border - gap * int(plots.size() - 1));
    std::vector<int> tops;
    QList<QCustomPlot*> all;
    for (std::size_t i = 0, y = std::size_t(border); i < plots.size(); ++i) {
        tops.push_back(int(y));
        y += std::size_t(heights[i] + gap);
        plots[i]->setViewport(QRect(0, 0, inner, heights[i]));
        plots[i]->replot();  // the ticks and the colour bars' labels thinned to this height
        all << plots[i].get();
    }
    alignPanels(all);

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    auto paint = [&](QCPPainter& painter) {
        for (std::size_t i = 0; i < plots.size(); ++i) {
            painter.save();
            painter.translate(border, tops[i]);
            plots[i]->toPainter(&painter, inner, heights[i]);
            painter.restore();
        }
    };
    if (pdf) {
        // The page's units are the layout's pixels: fonts in points come out
        // the size they were measured at.
        QPdfWriter writer(&buffer);
        writer.setResolution(int(std::lround(base)));
        writer.setPageSize(QPageSize(QSizeF(size.width * 72.0 / size.dpi, size.height * 72.0 / size.dpi), QPageSize::Point));
        writer.setPageMargins(QMarginsF());
        writer.setCreator(QStringLiteral("ZEL-TERRAVOX"));
        QCPPainter painter(&writer);
        painter.setMode(QCPPainter::pmVectorized);
        painter.setMode(QCPPainter::pmNoCaching);
        paint(painter);
    } else {
        QImage image(size.width, size.height, QImage::Format_RGB32);
        if (image.isNull())
            return QByteArray();  // more than the memory holds
        image.fill(Qt::white);
        {
            QCPPainter painter(&image);
            painter.scale(scale, scale);
            paint(painter);
        }
        // The resolution is written into the file once drawn: set before, it
        // would size the fonts a second time.
        const int dotsPerMetre = int(std::lround(size.dpi / 0.0254));
        image.setDotsPerMeterX(dotsPerMetre);
        image.setDotsPerMeterY(dotsPerMetre);
        image.save(&buffer, "PNG");
    }
    if (texts)
        for (std::size_t i = 0; i < plots.size(); ++i)
            collectTexts(*plots[i], QPointF(border, tops[i]), scale, *texts);
    return bytes;
}

} // namespace zel
