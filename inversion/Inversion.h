#pragma once

#include "Factor.h"
#include "Mesh.h"

#include <array>
#include <atomic>
#include <functional>
#include <stdexcept>
#include <string>
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

// The apparent resistivities an inversion takes, ohm·m; others are left
// out as the negative ones are (a reading's mistake, not ground).
constexpr double kLeastRhoa = 1e-4;
constexpr double kLargestRhoa = 1e8;

// A fit is taken for one that explains the data while χ² stays at most this
// and the RRMS within this many times the data's median error.
constexpr double kHonestChi2 = 2;
// The χ² an inversion aims at: the data explained within their errors.
constexpr double kTargetChi2 = 1;
// The parameter region reaches this many times the data's deepest median
// depth: deep enough for the depth of investigation to show within it on
// long arrays (1.2 left the DOI contour on the section's bottom), at 1.1–1.2
// times the time of 1.2 measured on lines of 64 and 128 electrodes.
constexpr double kParameterDepthFactor = 2;
constexpr double kHonestRrmsFactor = 2;

struct InversionOptions {
    double lambda = 20;          // regularisation at the start
    double lambdaFloor = 2;      // it is lowered towards this while χ² falls
    int maxIterations = 20;
    bool robust = false;         // iteratively reweighted data (L1-like) for outliers
    double verticalRatio = 1;    // weight of vertical against horizontal smoothness
    // A reference model, ohm·m (0: none): the inversion starts from it and a
    // smallness term draws every cell towards it where the data say little.
    double reference = 0;
    double smallness = 0.1;      // weight of that term: per cell its area over the spacing squared, times this
    // A time-lapse inversion's base: the first reading's model on the same
    // mesh, per parameter cell, ohm·m, and its padding's resistivity. The
    // inversion starts from it and smooths the change from it rather than
    // the model (LaBrecque & Yang's difference inversion). Empty: none.
    std::vector<double> base;
    double baseBackground = 0;
    std::vector<double> elevations;  // per electrode, in the order of electrodes(); empty: flat
    MeshOptions mesh;
    int threads = 0;             // 0: every core
    FactorKind factor = FactorKind::Simplicial;  // how the forward's systems are factorised
    std::size_t memory = 0;      // bytes it may take; 0: what the computer has free
};

// What one iteration came to; iteration 0 is the starting model.
struct IterationReport {
    int number = 0;
    double chi2 = 0;
    double rrms = 0;    // %, of the apparent resistivities
    double lambda = 0;
    double seconds = 0;  // since the start of the inversion
};

// Where an inversion's time went, seconds: the mesh and the memory count,
// the forward solves (each model's response and fields), the sensitivities,
// the normal equations' solver, and the model's coverage at the end.
struct InversionTimes {
    double mesh = 0;
    double forward = 0;
    double jacobian = 0;
    double solver = 0;
    double output = 0;
    int forwardSolves = 0;
};

struct InversionResult {
    Mesh mesh;
    std::vector<double> resistivity;  // per parameter cell, ohm·m
    std::vector<double> coverage;     // per parameter cell: log10 of the summed absolute sensitivity
    double background = 0;            // the padding's resistivity (the starting model)
    // Per parameter cell, the depth-of-investigation index (0: the data fix
    // the cell, 1: they say nothing of it); empty when it was not computed.
    std::vector<double> doi;
    std::vector<Measurement> data;    // the data inverted
    std::vector<double> response;     // the model's apparent resistivity of each
    std::vector<IterationReport> iterations;
    // Each iteration's model and its response to the data, ohm·m: what an
    // earlier iteration looked like can be seen again.
    std::vector<std::vector<float>> models, responses;
    std::size_t best = 0;             // the iteration whose model this is: the lowest χ², or the one looked at
    // The iteration of the lowest χ² (the first of equals): the model an inversion keeps.
    std::size_t lowest() const;
    int leftOut = 0;                  // apparent resistivities left out: not above 0, or outside kLeastRhoa–kLargestRhoa
    bool cancelled = false;
    InversionTimes times;

    // The iteration of the model kept.
    const IterationReport& kept() const { return iterations[best]; }
    // The result as it stood after iteration `index` of `iterations`: its
    // model and response, and that iteration as the one kept (the coverage
    // stays the kept model's).
    InversionResult atIteration(std::size_t index) const;
    // The data's median relative error, %.
    double medianErrorPercent() const;
    // The model does not explain the data: its χ² above kHonestChi2, or its
    // RRMS above kHonestRrmsFactor times the data's median error.
    bool misfits() const;
    // What misfits() finds, said with its figures; empty for a model that
    // explains the data.
    std::string verdict() const;

    // How far the model's response to a datum is from it, % of the datum.
    double misfitPercent(std::size_t datum) const { return (response[datum] - data[datum].rhoa) / data[datum].rhoa * 100; }
};

// A line too large for the memory: what the inversion needs (0: not known,
// the memory ran out before it was counted) and what the computer has free,
// bytes.
class MemoryRefused : public InversionRefused {
public:
    MemoryRefused(std::size_t needed, std::size_t available);
    std::size_t needed() const { return m_needed; }
    std::size_t available() const { return m_available; }

private:
    std::size_t m_needed, m_available;
};

// Stopped by the user before the starting model's response was known:
// there is no model to show.
class InversionStopped : public std::runtime_error {
public:
    InversionStopped() : std::runtime_error("stopped before the first model") {}
};

// The memory an inversion of `data` on `mesh` takes at its peak, bytes.
std::size_t memoryNeeded(const Mesh& mesh, const std::vector<Measurement>& data, int threads,
                         FactorKind factor = FactorKind::Simplicial);

// The electrodes of the data: their distinct positions, ascending.
std::vector<double> electrodesOf(const std::vector<Measurement>& data);

// Gauss–Newton on m = log ρ of the parameter cells: minimises
// ‖Wd (log d − log f(m))‖² + λ ‖Wm m‖², Wm the first differences between
// neighbouring cells. Starts from the median apparent resistivity; each step
// by diagonally preconditioned conjugate gradients on the normal equations
// to a residual of 1 %, with a line search; λ
// lowered towards its floor while χ² falls. Stops at χ² ≤ 1, when an
// iteration lowers the objective by less than 2 %, or after the iterations
// allowed, and keeps the model of the lowest χ². `progress` hears every
// iteration; `cancel` is looked at inside every solve, the sensitivities
// and the normal equations' solver and ends the inversion with what it has,
// without solving again, or throws InversionStopped when it has no model
// yet. Throws InversionRefused for data it cannot invert, and
// MemoryRefused, before it starts, for a line the memory cannot hold (or
// when the memory runs out all the same).
InversionResult invert(const std::vector<Measurement>& data, const InversionOptions& options,
                       const std::function<void(const IterationReport&)>& progress = {},
                       const std::atomic<bool>* cancel = nullptr);

} // namespace zel::inv
