#pragma once

#include "survey/ErrorModel.h"
#include "survey/Plots.h"
#include "inversion/Depth.h"
#include "inversion/Inversion.h"
#include "inversion/Sounding.h"
#include "inversion/TimeLapse.h"
#include "section/AllLines.h"
#include "section/Sounding.h"

#include <QColor>
#include <QLocale>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

class QCustomPlot;

namespace zel {

struct ProfileOptions {
    ProfileValue value = ProfileValue::U;
    bool logarithmic = false;
    bool allRecords = false;
};

// Draws the profile graph: one curve per line, file and channel with a
// legend, "+" and "-" records as markers of their own, marks as labelled
// vertical lines, a logarithmic axis that says how many values it left out.
void drawProfileGraph(QCustomPlot& plot, const ProfileGraph& graph, const ProfileOptions& options);

// Draws the pseudosection: apparent resistivity on a logarithmic colour
// scale with a colour bar, depth downward, electrode positions as ticks on
// top, negative values as hollow grey markers, and what was left out below.
void drawPseudosection(QCustomPlot& plot, const Pseudosection& section);
// How a plot writes its numbers in the interface's language: a decimal point
// in English, a comma in Russian, never a group separator ("1,000" would be
// one in Russian).
QLocale plotLocale(bool english);

// The pseudosection's caption: its line and file, the spacing and x0.
QString pseudosectionCaption(const Pseudosection& section, const QLocale& numbers = QLocale::c());

// The colour the pseudosection gives an apparent resistivity in [low, high].
QColor resistivityColour(double rhoa, double low, double high);

// Writes the plot as PNG or PDF (by the file's extension) of the given size,
// through a temporary file, so that a failed picture leaves an earlier one
// whole. Throws ZelError when it cannot be written.
void savePlot(QCustomPlot& plot, const QString& path, int width, int height);
// The picture savePlot would write to `path` (.png or .pdf), as bytes.
QByteArray plotPicture(QCustomPlot& plot, const QString& path, int width, int height);

// The colour scale of resistivities: its ends, ohm·m, and whether it is
// logarithmic.
struct ColourScale {
    double low = 1;
    double high = 10;
    bool logarithmic = true;
    bool operator==(const ColourScale&) const = default;
};
// The values a colour scale marks (its bar's ticks and the contour levels):
// 1, 2, 5 in each decade of a logarithmic scale (fewer across many decades),
// round steps on a linear one; at most `count` of them, at least two.
std::vector<double> scaleTicks(const ColourScale& scale, int count);

// The repeat and reciprocal pairs of each profile, |r1 − r2| against |r|
// on logarithmic axes, and where a profile has an error model the mean
// difference of two readings that it gives, 2/√π·(a + b·|r|).
struct ProfileErrors {
    QString name;  // "L1 F1"
    std::vector<ErrorPair> pairs;
    std::optional<ErrorModel> model;
};
void drawErrorPairs(QCustomPlot& plot, const std::vector<ProfileErrors>& profiles, const QLocale& numbers = QLocale::c());

// The resistivity section of an inversion: the model on the colour scale
// with its bar in ohm·m, the surface and the electrodes on top, `title`
// above; in view every electrode and the parameter region, with a margin.
// `scale`: none, the model's own, logarithmic. `contours`: lines at the
// scale's ticks. The depth of investigation as a dashed line with the cells
// below it paled: where the result has the DOI index, where it reaches
// `doiThreshold`; else where the sensitivity falls below its threshold.
void drawSection(QCustomPlot& plot, const inv::InversionResult& result, const QString& title,
                 std::optional<ColourScale> scale = std::nullopt, bool contours = false,
                 double doiThreshold = inv::kDoiThreshold);
// A section's title: what was inverted, its iterations, the RRMS and χ² of
// the model kept (and which iteration that is, when not the last; of an
// earlier iteration looked at, its own figures), and with `verdict` the
// verdict when that model does not explain the data; numbers as `numbers`
// writes them.
QString sectionTitle(const QString& what, const inv::InversionResult& result, const QLocale& numbers = QLocale::c(),
                     bool verdict = true);
// That the model does not explain the data, with its χ², RRMS and the data's
// median error; empty when it does.
QString sectionVerdict(const inv::InversionResult& result, const QLocale& numbers = QLocale::c());
// The resistivities a section's colours span: the model's, and with
// `withData` the measured and modelled apparent resistivities too.
std::pair<double, double> sectionRange(const inv::InversionResult& result, bool withData);

// Below a section, on its x axis: the data inverted, the model's response to
// them (both on the colour scale of `range`) and the misfit, %, on a scale
// even about 0; each datum a disc at its pseudosection point.
enum class ResponsePanel { Measured, Modelled, Misfit };
void drawResponse(QCustomPlot& plot, const inv::InversionResult& result, ResponsePanel panel,
                  const ColourScale& scale);
// A time-lapse pair: the change of resistivity, %, of each cell on a scale
// even about 0 (blue where it fell, red where it rose), drawn as
// drawSection() draws a model; and the change of apparent resistivity of
// each quadripole both readings hold, at its pseudosection point.
void drawChangeSection(QCustomPlot& plot, const inv::TimeLapseResult& result, const QString& title);
void drawApparentChange(QCustomPlot& plot, const inv::TimeLapseResult& result);
// A sounding on log–log axes: the apparent resistivity measured against
// AB/2, each MN segment its own markers, the layered and the smooth
// models' responses as lines, and both models as ρ against depth (steps).
void drawSounding(QCustomPlot& plot, const std::vector<inv::SoundingDatum>& data, const inv::LayeredFit& layered,
                  const inv::SmoothFit& smooth, const QString& title);

// The title of a sounding's picture: its name, the layered model's layers
// and misfit.
QString soundingTitle(const SoundingResult& result, const QLocale& numbers = QLocale::c());
// Soundings along a line: the section of their smooth models on a
// logarithmic colour scale, depth downward, each centre marked with its
// name and the layered model's boundaries.
void drawSoundingSection(QCustomPlot& plot, const SoundingSection& section, const QString& title);

// The frequency effect of an induced-polarisation section's cells, %, on a
// linear scale of its own from 0, drawn and paled below the depth of
// investigation as drawSection() draws a model.
void drawChargeSection(QCustomPlot& plot, const inv::InversionResult& result, const QString& title,
                       double doiThreshold = inv::kDoiThreshold);
// A change section's title: the later reading against the base, and the
// difference inversion's iterations and fit as sectionTitle() says them.
QString changeTitle(const QString& later, const QString& base, const inv::TimeLapseResult& result,
                    const QLocale& numbers = QLocale::c());

// A plan view of parallel lines at one depth: the resistivity between the
// lines on a logarithmic colour scale (`scale` none: the view's own), the
// lines drawn as black lines with their names, x along and y across.
void drawPlanView(QCustomPlot& plot, const PlanView& view, std::optional<ColourScale> scale = std::nullopt);

// The pictures saved of a result, the same from the window and zeltool:
// `base`.<kind> (png or pdf) of a section at 1200×500 (with a
// chargeability, `base`-pfe.<kind> of its frequency effect); of a comparison the
// change section and beside it `base`-apparent-change.<kind> of the
// apparent change at 1200×400; of a plan view 1000×800.
constexpr int kSectionPictureWidth = 1200, kSectionPictureHeight = 500;
constexpr int kApparentChangePictureHeight = 400;
constexpr int kPlanPictureWidth = 1000, kPlanPictureHeight = 800;
QList<std::pair<QString, QByteArray>> sectionPictures(const inv::InversionResult& result, const QString& title,
                                                      const QString& base, const QString& kind, const QLocale& numbers,
                                                      double doiThreshold);
QList<std::pair<QString, QByteArray>> changePictures(const inv::TimeLapseResult& result, const QString& title,
                                                     const QString& base, const QString& kind, const QLocale& numbers);
QList<std::pair<QString, QByteArray>> planPicture(const PlanView& view, const QString& path, const QLocale& numbers);

// The font of a section's title above its plot, and a title broken into
// lines of at most 7/8 of `width` pixels in it: pictures and windows alike.
QFont sectionTitleFont(const QCustomPlot& plot);
QString wrapSectionTitle(const QCustomPlot& plot, const QString& title, int width);

// Where a datum is drawn: x halfway between the centres of AB and MN, z its
// pseudo-depth (downwards, positive).
inv::Point responsePoint(const inv::Measurement& datum);

} // namespace zel
