#pragma once

#include "Inversion.h"

#include <atomic>
#include <functional>
#include <vector>

namespace zel::inv {

// Induced polarisation lowers a chargeable ground's resistivity at the
// higher frequency: ρ high = ρ low · (1 − m), m its chargeability (Seigel
// 1959). A quadripole's apparent chargeability m_a = 1 − ρa high / ρa low
// = PFE / (100 + PFE) is then, to first order, the sum of the cells'
// chargeabilities weighted by the resistivity section's sensitivities
// ∂ log ρa / ∂ log ρ: m_a = J m (Oldenburg & Li 1994). The chargeability
// section is that linear problem inverted with the section's own
// smoothness.

// One datum's apparent chargeability and its standard error.
struct ApparentCharge {
    std::size_t datum = 0;  // its place in the resistivity section's data
    double value = 0;
    double error = 0;
};

// The most chargeability a cell is given: at 1 the ground would not
// conduct at the high frequency at all.
constexpr double kMostChargeability = 0.99;

// The frequency effect of a chargeability, %: 100 m / (1 − m), and back.
inline double effectOfCharge(double m) { return 100 * m / (1 - m); }
inline double chargeOfEffect(double pfe) { return pfe / (100 + pfe); }

struct ChargeabilityResult {
    std::vector<double> chargeability;  // per parameter cell, 0 … kMostChargeability
    std::vector<ApparentCharge> data;   // the data inverted
    std::vector<double> response;       // the model's apparent chargeability of each
    std::vector<IterationReport> iterations;
    std::size_t best = 0;               // the iteration kept: the lowest χ²
    bool cancelled = false;
    double seconds = 0;

    const IterationReport& kept() const { return iterations[best]; }
    // Each cell's frequency effect, %.
    std::vector<double> pfe() const;
};

// The chargeability section under `section`, a resistivity section made
// with its sensitivities kept (keepSensitivities), from the apparent
// chargeabilities of some of its data. The regularisation, iterations and
// robust weights are those of `options`. `progress` hears each iteration;
// `cancel` ends it with the best model so far. Throws InversionRefused for
// a section without its sensitivities or fewer than 4 data.
ChargeabilityResult invertChargeability(const InversionResult& section, const std::vector<ApparentCharge>& data,
                                        const InversionOptions& options,
                                        const std::function<void(const IterationReport&)>& progress = {},
                                        const std::atomic<bool>* cancel = nullptr);

} // namespace zel::inv
