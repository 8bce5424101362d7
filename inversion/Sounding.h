#pragma once

#include <array>
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

} // namespace zel::inv
