#pragma once

#include "Exports.h"

#include <optional>
#include <vector>

namespace zel {

// Induced polarisation from a quadripole read at two frequencies: the
// apparent resistivity falls with frequency over chargeable ground
// (disseminated sulphides, clays, contamination), and the percent frequency
// effect PFE = 100 · (ρa low − ρa high) / ρa high measures it.

// The two frequencies (records' FreqIndex) a frequency effect compares.
struct FrequencyPair {
    int low = 0;
    int high = 0;
    bool operator==(const FrequencyPair&) const = default;
};

// The frequencies (FreqIndex, ascending) of a profile's invertible values.
std::vector<int> profileFrequencies(const std::vector<MeasurementRecord>& records,
                                    const std::vector<ChannelValue>& values, const Profile& profile);
// The pair of `held`: the chosen one when both of it are held, else none;
// without a choice the lowest and the highest; none for fewer than two.
std::optional<FrequencyPair> frequencyPairOf(const std::vector<int>& held, const std::optional<FrequencyPair>& chosen);
// "1.22, 9.76" of the frequencies' indices.
QString frequencyList(const std::vector<int>& frequencies);

// What the data check finds suspect in a frequency effect.
enum EffectFlag : unsigned {
    EffectOutlier = 1u << 0,        // far from its neighbours of the same array shape
    EffectNegative = 1u << 1,       // below −kEffectNegativePoints and beyond twice its error
    EffectRounding = 1u << 2,       // the voltages' last digits alone move it by kEffectRoundingPoints or more
    EffectOtherCurrents = 1u << 3,  // the two readings carry other current labels
};
constexpr int kEffectFlags = 4;

// A frequency effect this far from the median of its four neighbours in one
// array shape (two on each side, more on one at the ends; shapes of fewer
// than four effects are not judged), percentage points, or three times its
// error or half that median when more, is an outlier: the edge of a
// chargeable body moves neighbours of one level apart by a few points.
constexpr double kEffectOutlierPoints = 3;
// A dipole-dipole array sees chargeable ground beside its dipoles with a
// negative sensitivity: apparent effects down to about −1 % are the
// ground's own (−0.7 % beside a block of 10 %); below that and beyond twice
// its error, an effect is flagged.
constexpr double kEffectNegativePoints = 1;
// The rounding of the two voltages to their last digit moves the effect by
// up to this much, percentage points, before it is flagged: a raw value of
// 200 at range 0 is already 0.25 % of the reading.
constexpr double kEffectRoundingPoints = 0.25;
// The error of an effect whose readings have no estimate of their own:
// this many percentage points and this share of the effect. Both readings
// come from one placing of the electrodes in one go: what spoils a reading
// (the electrodes' places, their contact) spoils both alike and cancels.
constexpr double kEffectErrorPoints = 0.2;
constexpr double kEffectErrorShare = 0.03;

// One quadripole's frequency effect.
struct FrequencyEffect {
    InversionDatum low, high;    // the readings (means of repeats) at each frequency
    double pfe = 0;              // %
    double errorPoints = 0;      // its standard error, percentage points
    double roundingPoints = 0;   // the most the voltages' rounding moves it, points
    double metalFactor = 0;      // 2π·10³ · PFE / ρa low
    unsigned flags = 0;          // EffectFlag
    // The apparent chargeability PFE / (100 + PFE) = 1 − ρa high / ρa low,
    // and its error.
    double chargeability() const { return pfe / (100 + pfe); }
    double chargeabilityError() const { return 100 * errorPoints / ((100 + pfe) * (100 + pfe)); }
};

// The frequency effects of one profile at `pair`: each quadripole read at
// both, in the order of the low frequency's data (inversionData with the
// choice's exclusions). The error of each from its readings' estimates
// (repeats, reciprocals, the error model) where both have one:
// 100 · ρa low / ρa high · √(e low² + e high²); else the defaults above;
// never below its rounding.
std::vector<FrequencyEffect> frequencyEffects(const std::vector<MeasurementRecord>& records,
                                              const std::vector<ChannelValue>& values,
                                              const std::vector<ValueCheck>& checks, const Profile& profile,
                                              const ExportChoice& choice, const FrequencyPair& pair);

// A profile's frequency effects from its values at `indices` (as
// valuesByProfile finds them: a memory of thousands of profiles is not
// searched once a profile), at its lowest and highest frequency or
// `chosen`; no pair and no effects where it does not hold two.
struct ProfileEffects {
    std::optional<FrequencyPair> pair;
    std::vector<FrequencyEffect> effects;
};
ProfileEffects profileEffects(const std::vector<MeasurementRecord>& records, const std::vector<ChannelValue>& values,
                              const std::vector<ValueCheck>& checks, const std::vector<std::size_t>& indices,
                              const Profile& profile, const std::optional<FrequencyPair>& chosen = std::nullopt);

// What the check found in one profile's frequency effects.
struct EffectSummary {
    Profile profile;
    FrequencyPair pair;
    int quadripoles = 0;
    double medianPfe = 0;
    std::array<int, kEffectFlags> byFlag{};
};
EffectSummary summarizeEffects(const Profile& profile, const FrequencyPair& pair,
                               const std::vector<FrequencyEffect>& effects);
// "outlier|negative", as the CSV and zeltool name them.
QByteArray effectFlagNames(unsigned flags);

// The frequency effect of each value (surveyValues' order) whose
// quadripole has one, at each profile's lowest and highest frequency (or
// `chosen`): the values of both frequencies carry it. None elsewhere.
std::vector<std::optional<double>> valueEffects(const std::vector<MeasurementRecord>& records,
                                                const std::vector<ChannelValue>& values,
                                                const std::vector<ValueCheck>& checks,
                                                const std::optional<FrequencyPair>& chosen = std::nullopt);

} // namespace zel
