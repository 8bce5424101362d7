#pragma once

#include "Inversion.h"

#include <atomic>
#include <functional>
#include <vector>

namespace zel::inv {

// The quadripoles two readings of one line both hold (the same A, B, M, N
// to the millimetre, each with an apparent resistivity an inversion takes),
// in one order: base[i] and later[i] are one quadripole.
struct CommonData {
    std::vector<Measurement> base, later;
    // Of each reading, the quadripoles an inversion takes that the other
    // reading lacks, and those it cannot take (ρa not above 0 or out of range).
    std::size_t unmatchedBase = 0, unmatchedLater = 0;
    std::size_t unusableBase = 0, unusableLater = 0;
};
CommonData commonData(const std::vector<Measurement>& base, const std::vector<Measurement>& later);

// The change of apparent resistivity of each common quadripole, %:
// 100 · (ρa later / ρa base − 1).
std::vector<double> apparentChange(const CommonData& data);

// A time-lapse inversion: the first reading inverted, then the second
// against it (LaBrecque & Yang's difference inversion). Its data are the
// later apparent resistivities over the base ones times the base model's
// response, log dₜ − log d₀ + log f(m₀), so that what both readings share
// in error cancels; it starts from the base model and smooths the change
// from it. Each cell's change is 100 · (ρ later / ρ base − 1).
struct TimeLapseResult {
    InversionResult base;    // the first reading's model, of the common data
    InversionResult later;   // the second's: its misfit is that of the difference data
    std::vector<double> change;          // per parameter cell, %
    std::vector<double> apparentChange;  // per common datum (base.data's order), %
    std::size_t unmatchedBase = 0, unmatchedLater = 0;  // quadripoles of one reading only
};

// `options.elevations` are those of the later reading's electrodes.
// `progress` hears both inversions' iterations, `second` false for the
// first; `cancel` ends either as invert() does (a stopped first inversion
// throws InversionStopped: there is nothing to compare against). Throws
// InversionRefused, with the reason, when a reading has no value to take,
// when the readings' electrodes lie at other spacings, when fewer than half
// of either reading's quadripoles are the other's (another placing of the
// line: its change would be fake), when they have fewer than 4 in common,
// and when a common electrode has no height among those given; and what
// invert() throws.
TimeLapseResult invertTimeLapse(const std::vector<Measurement>& base, const std::vector<Measurement>& later,
                                const InversionOptions& options,
                                const std::function<void(const IterationReport&, bool second)>& progress = {},
                                const std::atomic<bool>* cancel = nullptr);

} // namespace zel::inv
