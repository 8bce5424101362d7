#pragma once

#include "Values.h"

#include <QByteArray>
#include <QStringList>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace zel {

// What the data check finds suspect in a value.
enum CheckFlag : unsigned {
    FlagZero = 1u << 0,       // U = 0 (r = 0)
    FlagLowSignal = 1u << 1,  // 0 < |U| below the minimum voltage
    FlagNegative = 1u << 2,   // apparent resistivity below 0
    FlagSpike = 1u << 3,      // far from its neighbours of the same array shape
    FlagError = 1u << 4,      // its error estimate above the maximum error
    FlagWiring = 1u << 5,     // its record's channels do not fall as consecutive dipoles do
};
constexpr int kCheckFlags = 6;

// The channels of a record are taken for consecutive dipoles of one current
// dipole: their resistances then fall with the geometric factor, as 1/k
// over a half-space and close to it over any ground. The fall is the slope
// of log |r| on log k over the record's channels; one outside these bounds
// contradicts the wiring (stacked repeats of one dipole fall not at all,
// channels wired backwards rise).
constexpr double kLeastChannelFall = 0.3;
constexpr double kMostChannelFall = 3;
// The fall of the resistances of one record's channels with their
// geometric factors (as above); none for fewer than two channels with a
// resistance and a factor, or factors too alike to tell.
std::optional<double> channelFall(const std::vector<const ChannelValue*>& channels);

// The check of one value: its flags and its error estimate in %.
struct ValueCheck {
    unsigned flags = 0;
    std::optional<double> errorPercent;
};

// The checks of `values` (surveyValues of `records`), one per value in the
// same order. Only values with positions and a resistance are judged; the
// others get neither flags nor an estimate.
// Both estimates are the relative error of one reading, in %:
// - Repeat error: values of one profile with the same A, B, M, N: sample
//   standard deviation / |mean| of r, the same for each of them.
// - Reciprocal error: a value whose reciprocal (M, N as the current pair and
//   A, B as the potential pair, each pair in either order) is in the
//   profile: |r1 - r2| / √2 / |(r1 + r2) / 2|, signs kept, r2 the mean r of
//   its reciprocals (for 100 and 102 mV both give 1.40 %). A pair of
//   opposite signs is flagged as an error: reciprocity gives both one sign.
// A value's estimate is its reciprocal error, else its repeat error. Every
// measured value counts, excluded or not; a reading of U = 0 takes no part.
// - Spike: in a profile, values of one array shape (B - A, M - A, N - A)
//   ordered by A; a positive apparent resistivity whose ratio to the median
//   of the positive ones among the up to two values on each side is beyond
//   the spike factor. Shapes with fewer than three positive values are not judged.
// - Wiring: every value of a record whose channels' fall (channelFall) is
//   outside kLeastChannelFall–kMostChannelFall.
std::vector<ValueCheck> checkValues(const std::vector<MeasurementRecord>& records,
                                    const std::vector<ChannelValue>& values, const CheckThresholds& thresholds);

// What the check found in one profile: its judged values, how many carry
// any flag and each flag, and the median of their error estimates.
struct CheckSummary {
    Profile profile;
    int values = 0;
    int flagged = 0;
    std::array<int, kCheckFlags> byFlag{};  // in the order of CheckFlag's bits
    std::optional<double> medianError;
    int frequencyIndex = 0;             // the records' FreqIndex: each frequency is summed up alone
    bool ofSeveralFrequencies = false;  // its profile was read at more than one frequency
};
std::vector<CheckSummary> summarizeChecks(const std::vector<MeasurementRecord>& records,
                                          const std::vector<ChannelValue>& values,
                                          const std::vector<ValueCheck>& checks);

// "zero|spike", and "excluded" after them when the value is left out.
QByteArray flagNames(unsigned flags, bool excluded = false);
// The name of one flag ("low-signal").
QByteArray flagName(CheckFlag flag);
// Each flag's count in a summary, "<name> <count>", under the name `nameOf`
// gives it, in the order of the flags' bits.
QStringList flagCounts(const CheckSummary& summary, const std::function<QString(CheckFlag)>& nameOf);

// Values the user left out of the inversion files: the CSV's index (the
// record's place from 1) and channel.
using ValueKey = std::pair<int, int>;
using Exclusions = std::set<ValueKey>;
inline ValueKey keyOf(const ChannelValue& v) { return {v.record + 1, v.channel}; }

// The exclusions file beside a data file: "<data file>.exclude".
QString exclusionsFileOf(const QString& dataFile);
// A comment line, then one "index channel" a line, CR LF.
QByteArray exclusionsText(const Exclusions& exclusions);
// The exclusions of a file's text for a memory of `records` records. A line
// that is not two whole numbers, or names an index or channel out of range,
// is refused with its line number (from 1): none of the file is taken then.
struct ExclusionsRead {
    Exclusions exclusions;
    int badLine = 0;  // 0 when every line was good
};
ExclusionsRead parseExclusions(const QByteArray& text, int records);

// What an export leaves out, besides values that cannot be inverted.
struct ExportChoice {
    Exclusions exclusions;
    bool dropFlagged = false;  // every flagged value too
    // The frequency (a record's FreqIndex) an inversion file takes of a
    // profile read at several; none: the lowest the profile holds.
    std::optional<int> frequency;
};

} // namespace zel
