#pragma once

#include "Mesh.h"

#include <array>
#include <atomic>
#include <functional>
#include <stdexcept>
#include <vector>

namespace zel::inv {

// One datum to invert: the positions of A, B, M, N along the line, its
// geometric factor and apparent resistivity, its relative error and what
// else is known of it.
struct Measurement {
    std::array<double, 4> x{};  // m
    double k = 0;               // m
    double rhoa = 0;            // ohm·m
    double error = 0.03;        // relative, as a fraction
    double voltage = 0;         // |U|, mV; 0: not known
    double depth = 0;           // median depth of investigation, m; 0: not known
    int tag = -1;               // the caller's own number of the datum, carried into the result
};

struct InversionOptions {
    double lambda = 20;          // regularisation at the start
    double lambdaFloor = 2;      // it is lowered towards this while χ² falls
    int maxIterations = 20;
    bool robust = false;         // iteratively reweighted data (L1-like) for outliers
    double verticalRatio = 1;    // weight of vertical against horizontal smoothness
    std::vector<double> elevations;  // per electrode, in the order of electrodes(); empty: flat
    MeshOptions mesh;
    int threads = 0;             // 0: every core
};

// What one iteration came to; iteration 0 is the starting model.
struct IterationReport {
    int number = 0;
    double chi2 = 0;
    double rrms = 0;    // %, of the apparent resistivities
    double lambda = 0;
    double seconds = 0;  // since the start of the inversion
};

struct InversionResult {
    Mesh mesh;
    std::vector<double> resistivity;  // per parameter cell, ohm·m
    std::vector<double> coverage;     // per parameter cell: log10 of the summed absolute sensitivity
    double background = 0;            // the padding's resistivity (the starting model)
    std::vector<Measurement> data;    // the data inverted
    std::vector<double> response;     // the model's apparent resistivity of each
    std::vector<IterationReport> iterations;
    int leftOut = 0;                  // negative or zero apparent resistivities left out
    bool cancelled = false;

    // How far the model's response to a datum is from it, % of the datum.
    double misfitPercent(std::size_t datum) const { return (response[datum] - data[datum].rhoa) / data[datum].rhoa * 100; }
};

// Why data cannot be inverted (too few electrodes or data).
class InversionRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The electrodes of the data: their distinct positions, ascending.
std::vector<double> electrodesOf(const std::vector<Measurement>& data);

// Gauss–Newton on m = log ρ of the parameter cells: minimises
// ‖Wd (log d − log f(m))‖² + λ ‖Wm m‖², Wm the first differences between
// neighbouring cells. Starts from the median apparent resistivity; each step
// by conjugate gradients on the normal equations, with a line search; λ
// lowered towards its floor while χ² falls. Stops at χ² ≤ 1, when an
// iteration lowers the objective by less than 2 %, or after the iterations
// allowed. `progress` hears every iteration; `cancel` is looked at between
// steps and ends the inversion with what it has.
InversionResult invert(const std::vector<Measurement>& data, const InversionOptions& options,
                       const std::function<void(const IterationReport&)>& progress = {},
                       const std::atomic<bool>* cancel = nullptr);

} // namespace zel::inv
