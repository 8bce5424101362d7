#pragma once

// How a section is made, the same in the window and in zeltool: the
// inversion, then the depth of investigation when asked, with one policy
// for a depth of investigation that cannot be had.
#include "inversion/Depth.h"
#include "inversion/Inversion.h"

#include <QString>

#include <atomic>
#include <functional>
#include <vector>

namespace zel {

// A section and, when its depth of investigation was asked and is missing,
// why (the memory, or stopped): the finished section stands without it.
struct SectionRun {
    inv::InversionResult result;
    QString doiMissing;
};

// Inverts `data`, then, when `doi` and the inversion ran to its end, the
// two more inversions of the DOI index. `cancel` during the inversion ends
// it with what it has (result.cancelled); during the DOI runs it keeps the
// finished section, with doiMissing saying so. Throws what the inversion
// throws (InversionStopped before the first model, MemoryRefused,
// InversionRefused).
SectionRun invertSection(const std::vector<inv::Measurement>& data, const inv::InversionOptions& options, bool doi,
                         const std::function<void(const inv::IterationReport&)>& progress,
                         const std::function<void(const inv::DoiRun&)>& depthProgress,
                         const std::atomic<bool>* cancel);

// The threads of an inversion on the worker of a window: every core, the
// worker and its threads below the window's priority, which stays
// responsive (a crew's two-core laptop inverts at full speed).
int windowThreads();

} // namespace zel
