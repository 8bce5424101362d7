#pragma once

// How a section is made, the same in the window and in zeltool: the
// inversion, then the depth of investigation when asked, with one policy
// for a depth of investigation that cannot be had.
#include "inversion/Chargeability.h"
#include "inversion/Depth.h"
#include "inversion/Inversion.h"

#include <QString>

#include <atomic>
#include <functional>
#include <optional>
#include <vector>

namespace zel {

// A section and, when its depth of investigation was asked and is missing,
// why (the memory, or stopped): the finished section stands without it.
struct SectionRun {
    inv::InversionResult result;
    QString doiMissing;
    // The chargeability section, when apparent chargeabilities were given
    // and the inversion ran to its end.
    std::optional<inv::ChargeabilityResult> charge;
};

// Inverts `data`, then, when `doi` and the inversion ran to its end, the
// two more inversions of the DOI index. `cancel` during the inversion ends
// it with what it has (result.cancelled); during the DOI runs it keeps the
// finished section, with doiMissing saying so. Throws what the inversion
// throws (InversionStopped before the first model, MemoryRefused,
// InversionRefused).
// With `charges` (by each datum's tag, SectionInput::charges), the
// chargeability section follows the resistivity section, before the DOI
// runs, from its sensitivities; `chargeProgress` hears its iterations.
SectionRun invertSection(const std::vector<inv::Measurement>& data, const inv::InversionOptions& options, bool doi,
                         const std::function<void(const inv::IterationReport&)>& progress,
                         const std::function<void(const inv::DoiRun&)>& depthProgress,
                         const std::atomic<bool>* cancel,
                         const std::vector<std::optional<inv::ApparentCharge>>& charges = {},
                         const std::function<void(const inv::IterationReport&)>& chargeProgress = {});

// The threads of an inversion on the worker of a window: every core, the
// worker and its threads below the window's priority, which stays
// responsive (a crew's two-core laptop inverts at full speed).
int windowThreads();

} // namespace zel
