#pragma once

#include "Plots.h"

#include <QByteArray>
#include <QList>
#include <QLocale>
#include <QRectF>
#include <QString>

#include <optional>
#include <vector>

class QCustomPlot;

namespace zel {

// A picture's size in pixels and its resolution: the fonts are drawn at
// their size in points at that resolution, and the layout follows them.
struct SheetSize {
    int width = 1600;
    int height = 1200;
    int dpi = 150;
    bool operator==(const SheetSize&) const = default;
};
// The sizes a sheet may be asked for: pictures smaller or larger are not a
// report's, and fonts below a few pixels cannot be read.
constexpr int kLeastSheetSide = 200, kLargestSheetSide = 10000;
constexpr int kLeastSheetDpi = 50, kLargestSheetDpi = 1200;
// Why a size cannot be drawn; empty when it can.
QString sheetSizeProblem(const SheetSize& size);

// The sheet of a section as put in a report: the resistivity section with
// the title (what was inverted, its fit, the verdict), and below it on the
// same x the measured and modelled apparent resistivities and their misfit.
struct SectionSheet {
    const inv::InversionResult* result = nullptr;  // the section (or one iteration's)
    QString title;
    std::optional<ColourScale> scale;  // none: the section's and its data's own
    bool contours = false;
    double doiThreshold = inv::kDoiThreshold;
};

// A text the sheet drew and where, in the picture's pixels: for checking
// that nothing touches the edge or another text.
struct SheetText {
    QString what;
    QRectF rect;
};

// The sheet as PNG or PDF of `size`; `texts`, when given, is filled with
// every title, axis title and row of tick labels drawn. Empty when the
// picture cannot be made (more pixels than the memory holds).
QByteArray sheetPicture(const SectionSheet& sheet, const SheetSize& size, bool pdf, const QLocale& numbers,
                        std::vector<SheetText>* texts = nullptr);

// Panels stacked above each other share their x axis' place: each laid out
// at its size with its own margins, then all given the widest left margin
// and colour bar, so that no axis title or tick label is cut.
void alignPanels(const QList<QCustomPlot*>& panels);

// `text` broken into lines at spaces, none wider than `width` pixels in `font`.
QString wrapText(const QString& text, const QFont& font, int width);

} // namespace zel
