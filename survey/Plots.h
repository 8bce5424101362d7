#pragma once

#include "Checks.h"
#include "Exports.h"

#include <QString>

#include <optional>
#include <vector>

namespace zel {

// What the profile graph shows: plain measurements (and, on request, all)
// along the line, x = station, y = u (mV) or r = u/i (ohm).
enum class ProfileValue { U, R };

struct ProfilePoint {
    double x = 0;
    double y = 0;
    int record = 0;  // from 0, for the table line a hover shows
    int kind = 0;    // ValueKind: 2 "+", 3 "-" get marker shapes of their own
};

// One curve per line, file and channel: "L3 F1 ch2".
struct ProfileCurve {
    Profile profile;
    int channel = 1;
    QString legend;
    std::vector<ProfilePoint> points;
};

// A mark (Mode 1-8) at its station.
struct ProfileMark {
    double x = 0;
    int mark = 0;
};

struct ProfileGraph {
    std::vector<ProfileCurve> curves;
    std::vector<ProfileMark> marks;
    int leftOut = 0;  // values a logarithmic axis cannot show (not positive)
};

// More profiles than this are drawn one at a time: a graph of all of them
// has more curves than anyone can tell apart.
constexpr int kReadableProfiles = 8;

// The graph of every profile, or of `only` one of them (its curves and marks).
ProfileGraph profileGraph(const std::vector<MeasurementRecord>& records, ProfileValue value, bool logarithmic,
                          bool allRecords, const std::optional<Profile>& only = std::nullopt);

// What the pseudosection of one profile shows: each value with an apparent
// resistivity at x halfway between the AB and MN centres and y = its median
// depth; negative ones apart (drawn hollow), and the count of values without
// an apparent resistivity.
struct PseudosectionPoint {
    double x = 0;
    double depth = 0;
    double rhoa = 0;  // the value shown: ρa, or the frequency effect or metal factor
    int value = 0;    // index into Pseudosection::values
};

// What a pseudosection shows of each point: the apparent resistivity, or
// of a profile read at two frequencies the frequency effect, %, or the
// metal factor of each quadripole (at the lowest and highest frequency).
enum class PseudoValue { Rhoa, Pfe, MetalFactor };

struct Pseudosection {
    Profile profile;
    PseudoValue shown = PseudoValue::Rhoa;
    SurveyGeometry geometry;                // the positions and factors drawn come from it
    std::vector<ChannelValue> values;       // the profile's values with positions
    std::vector<PseudosectionPoint> points;    // the value above 0
    std::vector<PseudosectionPoint> negative;  // below 0
    int leftOut = 0;                           // no value (no current, coinciding electrodes, no second frequency)
    std::vector<double> electrodes;            // the distinct electrode positions, ascending
    std::vector<unsigned> flags;               // the data check's flags of each value
    std::vector<bool> excluded;                // each value left out by the user
};

// The profiles that have values with positions.
std::vector<Profile> pseudosectionProfiles(const std::vector<MeasurementRecord>& records);
// Of the frequency effect and the metal factor, the points are the low
// frequency's readings.
Pseudosection pseudosection(const std::vector<MeasurementRecord>& records, const SurveyGeometry& geometry,
                            const Profile& profile, const Exclusions& exclusions = {},
                            PseudoValue shown = PseudoValue::Rhoa);

} // namespace zel
