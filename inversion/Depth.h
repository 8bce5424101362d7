#pragma once

#include "Inversion.h"

#include <atomic>
#include <functional>
#include <vector>

namespace zel::inv {

// The DOI index (Oldenburg and Li, 1999) at which a section is no longer
// taken for what the data say, by default.
constexpr double kDoiThreshold = 0.1;
// The two inversions of the DOI index reach this many times deeper than
// the section they index.
constexpr double kDoiRegionFactor = 2;
// The share of the largest sensitivity per area below which a cell is taken
// for one the data hardly see.
constexpr double kSensitivityThreshold = 0.01;

// The Oldenburg–Li index of every parameter cell of `result`: the data
// inverted twice more, from reference models at `low` and `high` times the
// background and drawn towards them (on the same mesh, side by side where
// the cores and the memory allow), and per cell
//   R = (log ρ_low − log ρ_high) / (log ρ_ref,low − log ρ_ref,high),
// averaged with its neighbours and scaled by the section's largest (as
// Marescot and others, 2003): near 0 where the data fix the model, near 1
// where only the reference does, never below 0. The two runs reach
// kDoiRegionFactor times deeper than the section, so that on a half-space
// the index rises to 1 at their bottom; the section's cells take the index
// at their centres. `progress` hears each run's iterations (run 1 or 2);
// `cancel` ends both, and then the index is empty.
struct DoiRun {
    int run = 0;
    IterationReport report;
};
std::vector<double> doiIndex(const InversionResult& result, const InversionOptions& options,
                             const std::function<void(const DoiRun&)>& progress = {},
                             const std::atomic<bool>* cancel = nullptr, double low = 0.1, double high = 10);

// Each parameter cell's summed absolute sensitivity per area, as a share of
// the largest of the section: the cheaper measure of how well the data see
// a cell, from the kept model's sensitivities.
std::vector<double> relativeSensitivity(const InversionResult& result);

// Per column of parameter cells (the mesh's order of columns), the depth of
// investigation, m: the top of the lowest run of cells the data do not see
// (an index at `threshold` or above; a relative sensitivity below
// `threshold`), the column's full depth when they see its lowest cell.
struct ColumnDepth {
    double x = 0;      // the column's middle, m
    double depth = 0;  // m below the surface
    double z = 0;      // its elevation, m
};
std::vector<ColumnDepth> doiDepths(const Mesh& mesh, const std::vector<double>& index, double threshold);
std::vector<ColumnDepth> sensitivityDepths(const Mesh& mesh, const std::vector<double>& sensitivity, double threshold);

} // namespace zel::inv
