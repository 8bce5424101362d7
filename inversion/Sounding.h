#pragma once

#include "GaussNewton.h"

#include <array>
#include <optional>
#include <vector>

namespace zel::inv {

// A horizontally layered earth: the layers' resistivities from the top
// down, ohm·m, and the thicknesses of all but the last, which reaches down
// without end.
struct LayeredEarth {
    std::vector<double> rho;
    std::vector<double> thickness;  // m, one fewer than rho
};

// The resistivity transform T(λ) of a layered earth (Pekeris's recurrence
// from the deepest layer up): the potential of a unit current at the
// surface is V(r) = 1/(2π) ∫ T(λ) J0(λr) dλ; T = ρ over a half-space.
double resistivityTransform(const LayeredEarth& earth, double lambda);

// The potential at distance r (m) from a unit current (1 A) at the surface,
// V: the half-space of the top layer in closed form, the layers below it by
// Guptasarma and Singh's 61-point J0 filter (Geophysical Prospecting 1997)
// of T(λ) − ρ1, so that a half-space is exact.
double surfacePotential(const LayeredEarth& earth, double r);

// The apparent resistivity of four electrodes A, B, M, N on the surface at
// x along a line over the layered earth: K·(V_AM − V_BM − V_AN + V_BN).
// None-like NaN when the geometric factor is not defined (coinciding
// electrodes, or terms that cancel).
double soundingRhoa(const LayeredEarth& earth, const std::array<double, 4>& x);

// One reading of a sounding: its electrodes along the line, its apparent
// resistivity and relative error.
struct SoundingDatum {
    std::array<double, 4> x{};  // A, B, M, N, m
    double rhoa = 0;            // ohm·m
    double error = 0.03;        // relative
};

// What a layer of a layered fit is held at: its resistivity or thickness
// (none: free).
struct LayerFix {
    std::optional<double> rho, thickness;
};

// A layered model fitted to a sounding, with each parameter's range (one
// standard error of its logarithm from the covariance, as low and high
// values), the model's response to each datum, χ² and the RRMS misfit, %.
struct LayeredFit {
    LayeredEarth earth;
    std::vector<std::array<double, 2>> rhoRange, thicknessRange;
    std::vector<double> response;
    double chi2 = 0;
    double rrms = 0;
    int iterations = 0;
};

// Levenberg–Marquardt in log ρ and log h of `layers` layers, from a model
// whose boundaries divide the depths the spacings reach evenly on a
// logarithmic scale and whose resistivities are the apparent ones there;
// `fixed` (one per layer, or empty) holds some at their values. Every
// value, held or fitted, is kept within the bounds below.
constexpr double kLeastLayerRho = 1e-4, kMostLayerRho = 1e8;  // ohm·m
constexpr double kThinnestLayer = 1e-3, kThickestLayer = 1e5;  // m
LayeredFit fitLayers(const std::vector<SoundingDatum>& data, int layers, const std::vector<LayerFix>& fixed = {});
// The fewest layers, up to `most`, whose fit explains the data (χ² at most
// kSoundingTargetChi2); else the one of the least χ² per degree of freedom.
constexpr double kSoundingTargetChi2 = 1;
LayeredFit fitFewestLayers(const std::vector<SoundingDatum>& data, int most = 5);

// ∂ log ρa / ∂ log ρ of each datum and layer of a layered earth (its
// thicknesses held), by the recurrence's partial derivatives chained from
// the top down and the filter, each distance's potential once.
Sensitivities soundingSensitivities(const std::vector<SoundingDatum>& data, const LayeredEarth& earth);

// A smooth model: kSmoothLayers layers thickening downward by a constant
// factor from a sixth of the shortest spacing's depth to twice the deepest,
// first-order smoothing between neighbours, inverted by the Gauss–Newton of
// the sections with its λ schedule, from the median apparent resistivity.
constexpr int kSmoothLayers = 30;
struct SmoothFit {
    LayeredEarth earth;
    std::vector<double> response;
    double chi2 = 0;
    double rrms = 0;
    int iterations = 0;
};
SmoothFit smoothSounding(const std::vector<SoundingDatum>& data);

} // namespace zel::inv
