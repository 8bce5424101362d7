#pragma once

#include "Values.h"

#include <cmath>
#include <map>
#include <optional>
#include <vector>

namespace zel {

// Two readings of one quadripole that tell its error: repeats (the same A,
// B, M, N) or reciprocals (current and potential pairs swapped).
struct ErrorPair {
    double resistance = 0;  // |mean r| of the two, ohm
    double difference = 0;  // |r1 − r2|, ohm
};

// The pairs of one profile: in a group of repeats each reading after the
// first with the first; a quadripole and its reciprocal by their means, the
// pair counted once. A quadripole read at two frequencies is two readings,
// never a pair. Readings of U = 0 take no part.
std::vector<ErrorPair> errorPairs(const std::vector<MeasurementRecord>& records, const std::vector<ChannelValue>& values,
                                  const Profile& profile);
// The same of the values at `indices`, the profile's found already: a
// memory of thousands of profiles is not searched once a profile.
std::vector<ErrorPair> errorPairs(const std::vector<MeasurementRecord>& records, const std::vector<ChannelValue>& values,
                                  const std::vector<std::size_t>& indices, const Profile& profile);
// The values with electrodes of each profile, as indices, in one pass.
std::map<Profile, std::vector<std::size_t>> valuesByProfile(const std::vector<MeasurementRecord>& records,
                                                            const std::vector<ChannelValue>& values);

// How a reading's error grows with its resistance: err = a + b·|r|, the
// standard deviation of one reading in ohm.
struct ErrorModel {
    double a = 0;  // ohm
    double b = 0;  // a fraction of |r|
    int pairs = 0;
    // The relative error of a reading of resistance r, %.
    double percentAt(double r) const { return r != 0 ? (a + b * std::abs(r)) / std::abs(r) * 100 : 0; }
};

// The fewest pairs an error model is fitted to.
constexpr int kErrorModelPairs = 10;

// The error model of `pairs`: least squares of |r1 − r2| on |r|, weighted
// by the spread expected at each |r|, pairs beyond six times their expected
// difference (wild ones) left out, then scaled from the mean difference of two readings
// to one reading's standard deviation (|r1 − r2| of normal errors has mean
// 2σ/√π). a and b at least 0. None for fewer than kErrorModelPairs pairs.
std::optional<ErrorModel> fitErrorModel(const std::vector<ErrorPair>& pairs);

} // namespace zel
