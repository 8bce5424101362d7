#pragma once

#include "Factor.h"
#include "GaussNewton.h"
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

// The parameter region reaches this many times the data's deepest median
// depth: deep enough for the depth of investigation to show within it on
// long arrays (1.2 left the DOI contour on the section's bottom), at 1.1–1.2
// times the time of 1.2 measured on lines of 64 and 128 electrodes.
constexpr double kParameterDepthFactor = 2;

struct InversionOptions : GaussNewtonOptions {
    // A time-lapse inversion's base: the first reading's model on the same
    // mesh, per parameter cell, ohm·m, and its padding's resistivity. The
    // inversion starts from it and smooths the change from it rather than
    // the model (LaBrecque & Yang's difference inversion). Empty: none.
    std::vector<double> base;
    double baseBackground = 0;
    std::vector<double> elevations;  // per electrode, in the order of electrodes(); empty: flat
    MeshOptions mesh;
    FactorKind factor = FactorKind::Simplicial;  // how the forward's systems are factorised
};

// A line's inversion: its mesh, its data and what the fit made of them.
struct InversionResult : Fit {
    Mesh mesh;
    // Per parameter cell, the depth-of-investigation index (0: the data fix
    // the cell, 1: they say nothing of it); empty when it was not computed.
    std::vector<double> doi;
    // Per parameter cell, the chargeability of an induced-polarisation
    // section (Chargeability.h); empty when none was made.
    std::vector<double> chargeability;
    std::vector<Measurement> data;    // the data inverted
    int leftOut = 0;                  // apparent resistivities left out: not above 0, or outside kLeastRhoa–kLargestRhoa

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

// The roughness of a section's model: first differences between
// neighbouring parameter cells, weighted as the integral of the squared
// gradient over the cells, vertical ones times `verticalRatio`.
Smoothness smoothness(const Mesh& mesh, double verticalRatio);
// The least gap between neighbouring electrodes (ascending positions).
double smallestSpacing(const std::vector<double>& electrodes);

// The memory an inversion of `data` on `mesh` takes at its peak, bytes.
std::size_t memoryNeeded(const Mesh& mesh, const std::vector<Measurement>& data, int threads,
                         FactorKind factor = FactorKind::Simplicial);

// The electrodes of the data: their distinct positions, ascending.
std::vector<double> electrodesOf(const std::vector<Measurement>& data);

// The line's section by GaussNewton over the 2.5D forward on a mesh under
// the line, from the median apparent resistivity (or the reference, or the
// time-lapse base). `progress` hears every iteration; `cancel` ends the
// inversion with what it has, or throws InversionStopped when it has no
// model yet. Throws InversionRefused for data it cannot invert, and
// MemoryRefused, before it starts, for a line the memory cannot hold (or
// when the memory runs out all the same).
InversionResult invert(const std::vector<Measurement>& data, const InversionOptions& options,
                       const std::function<void(const IterationReport&)>& progress = {},
                       const std::atomic<bool>* cancel = nullptr);

} // namespace zel::inv
