#pragma once

#include <QString>

#include <map>
#include <optional>
#include <utility>
#include <vector>

class QSettings;

namespace zel {

// Which channels of a record with electrode positions have positions of their own.
enum class ChannelGeometry {
    // Channel k (1-4) measures between M + (k-1)·d and N + (k-1)·d, d = N - M:
    // four consecutive dipoles of one current dipole.
    Consecutive,
    // Only channel 1 measures between M and N; channels 2-4 have no positions.
    FirstOnly,
};

// Records of one line and file form one profile. A line measured as several
// spreads (a roll-along: each file one spread, placed by its own X0) is one
// profile too when asked for: its file is kWholeLine.
struct Profile {
    static constexpr int kWholeLine = -1;
    int line = 0;
    int file = 0;
    bool wholeLine() const { return file == kWholeLine; }
    // True for this profile's own records' profile: this one, or for a whole
    // line any file of the line.
    bool holds(const Profile& of) const { return of == *this || (wholeLine() && of.line == line); }
    bool operator==(const Profile&) const = default;
    bool operator<(const Profile& o) const { return line != o.line ? line < o.line : file < o.file; }
};

// The ground's elevation along a line: points (x in metres, or electrode
// numbers, and z in metres) sorted by the first; linear between them,
// beyond them the nearest one's.
struct Topography {
    bool byElectrode = false;
    std::vector<std::pair<double, double>> points;
    bool empty() const { return points.empty(); }
    double at(double xOrElectrode) const;
    bool operator==(const Topography&) const = default;
};

// A step of the ground between two neighbouring points of a topography that
// rises more than it runs (steeper than 45°): no survey line is laid on such
// ground, so it is most likely a wrong height. `from` and `to` are its points
// as the topography gives them (electrode numbers or x, m), `rise` and `run`
// in metres, the run of electrode numbers by `spacing`.
struct SteepStep {
    double from = 0, to = 0;
    double rise = 0, run = 0;
};
// The steepest such step of `t`; none where every step is gentler.
std::optional<SteepStep> steepestStep(const Topography& t, double spacing);

// A topography file: two columns a line, blanks, tabs or semicolons between
// them, a comma or a full stop for the decimal sign, "#" comments; a first
// line "electrode z" means electrode numbers in the first column, otherwise
// (or after "x z") x in metres. Throws ZelError naming `name`, the line
// (from 1) and what is wrong: a line that is not two numbers, a position
// beyond ±kMaxOffset or a height beyond ±kMaxHeight, a second other height
// at one place, no height at all.
Topography parseTopography(const QByteArray& text, const QString& name);
// The file again: "x z" or "electrode z" and a point a line, CR LF.
QByteArray topographyText(const Topography& topography);

// What a topography leaves to be assumed for a line's electrodes: an end
// of the line beyond its first or last point, taken flat at that point's
// height; with heights by electrode number, electrodes between the points
// given, taken on the straight line between the points beside them.
struct TopographyGap {
    enum class Kind { Beyond, Between };
    Kind kind = Kind::Beyond;
    bool byElectrode = false;  // the places below are electrode numbers, else x in m
    double from = 0, to = 0;   // the electrodes or the stretch of the line
    double height = 0;         // Beyond: the height taken, m
    double before = 0, after = 0;  // Between: the points given on either side
    bool operator==(const TopographyGap&) const = default;
};
// The gaps for electrodes at `places` (electrode numbers for a topography
// by electrode, else x along the tape), in any order.
std::vector<TopographyGap> topographyGaps(const Topography& topography, std::vector<double> places);

// What one profile has of its own; the rest is the survey's default.
struct LineGeometry {
    std::optional<double> spacing;
    std::optional<double> x0;
    std::optional<bool> reversed;
    QString topographyFile;  // a file beside the data; empty: a flat line
    Topography topography;   // its points
    // The spacing was taped along the ground: the horizontal positions
    // follow from the heights.
    std::optional<bool> slopeDistances;
    // m: where the line lies across the survey, for parallel lines.
    std::optional<double> y;
    bool empty() const { return !spacing && !x0 && !reversed && !slopeDistances && !y && topographyFile.isEmpty(); }
    bool operator==(const LineGeometry&) const = default;
};

// How electrode numbers lie on the profile: x = x0 + number · spacing, in
// metres (x0 − number · spacing on a reversed line, electrode 0 at its far
// end). The channel geometry is an assumption about the station's wiring.
// What the data check takes for suspect ([Survey] of the settings file).
struct CheckThresholds {
    double minVoltage = 0.1;    // mV: |U| below it is a low signal
    double spikeFactor = 3;     // a ratio to the neighbours' median beyond it (or its inverse) is a spike
    double maxError = 5;        // %: an error estimate above it is flagged
    double defaultError = 3;    // %: the error of a value without an estimate or an error model, in the .ohm file
    // %: the least error any value is given in the .ohm file and the
    // inversion: two equal readings estimate 0 %, which no measurement has
    // and an inversion cannot divide by.
    double minError = 2;
    bool operator==(const CheckThresholds&) const = default;
};

struct SurveyGeometry {
    double spacing = 1.0;  // > 0
    double x0 = 0.0;
    ChannelGeometry channels = ChannelGeometry::Consecutive;
    CheckThresholds thresholds{};
    bool reversed = false;
    Topography topography{};  // empty: a flat line
    // x0 ± n · spacing is measured along the ground (a tape laid on the
    // slope): positions are the horizontal distances that follow from the
    // heights. Without a topography the two are one.
    bool slopeDistances = false;
    // m across the survey: parallel lines lie at their own y.
    double y = 0;
    // The profiles that have a geometry of their own.
    std::map<Profile, LineGeometry> lines{};

    // The geometry of one profile: this one with what the profile has of
    // its own, and no lines.
    SurveyGeometry of(const Profile& profile) const;
    // True when one of `profiles` has no spacing of its own: the default
    // spacing places its electrodes.
    bool defaultSpacingUsedBy(const std::vector<Profile>& profiles) const;

    // x0 ± electrode · spacing, summed as the decimals the user gave (the
    // shortest texts of x0 and spacing) and rounded once: 0 + 3 · 0.1 is
    // the double of 0.3, and 1000000 + 1 · 0.01 stays apart from 1000000.
    double tapePosition(int electrode) const;
    // Where the electrode lies horizontally: its tape position, or with
    // slope distances x0 ± the horizontal length of the tape from x0 to it,
    // each straight piece of ground of length ds rising dz lying
    // √(ds² − dz²) (none where it rises more than the tape measured).
    double position(int electrode) const;
    // With slope distances, each piece of ground between the topography's
    // points rises less than the tape laid along it: throws ZelError
    // SlopeSteeperThanTape naming `profile` and the piece otherwise. The same
    // rule whether the topography is by x or by electrode.
    void requireTapeFitsGround(const Profile& profile) const;
    // The ground's elevation at an electrode; none on a flat line.
    std::optional<double> elevation(int electrode) const;
    bool operator==(const SurveyGeometry&) const = default;
};

constexpr double kMinSpacing = 0.001;
// Every threshold of the data check is a number above 0.
constexpr double kMinThreshold = 1e-6;
constexpr double kMaxThreshold = 1e6;
// A spike factor of 1 or less would flag every value: it starts above 1.
constexpr double kMinSpikeFactor = 1.01;
constexpr double kMaxSpacing = 10000.0;
constexpr double kMaxOffset = 1.0e7;
// Heights a line on the earth has, m: above the highest mountain, below the deepest mine.
constexpr double kMaxHeight = 1.0e4;

// A value of [Survey] that cannot be used: its key ("Spacing", "X0",
// "Channels"), the text written, and the range of numbers needed (none: a
// channel geometry name is needed).
struct SurveySettingProblem {
    QString key;
    QString value;
    std::optional<std::pair<double, double>> range;
    bool operator==(const SurveySettingProblem&) const = default;
};

// [Survey] Spacing, X0, Channels (consecutive|first) of the settings file.
// A missing value gives the default; so does a bad one, which is also added
// to `problems`. A comma is read as the decimal point ("1,5" is 1.5).
SurveyGeometry readSurveyGeometry(QSettings& settings, std::vector<SurveySettingProblem>* problems = nullptr);
// The numbers of the geometry as the settings file and the dialog take them:
// a full stop or a comma as the decimal point; none for anything else.
std::optional<double> decimalOfText(const QString& text);
void writeSurveyGeometry(QSettings& settings, const SurveyGeometry& geometry);

// "consecutive" / "first", and back (none for another text).
QString channelGeometryName(ChannelGeometry geometry);
std::optional<ChannelGeometry> channelGeometryOfName(const QString& name);

} // namespace zel
