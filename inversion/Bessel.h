#pragma once

namespace zel::inv {

// The modified Bessel functions of the second kind the 2.5D forward needs,
// to about 1e-15 relative, the same on every compiler and standard library
// (some have no std::cyl_bessel_k): K0 at every node for every source and
// wavenumber, K1 for its gradient, K1/K0 for the far boundary.
// K0(x) for x > 0, 0 where it underflows.
double besselK0(double x);

// K1(x) / K0(x), which the Robin condition of the far boundary needs.
double besselRatio(double x);

// K1(x), 0 where it underflows.
double besselK1(double x);

} // namespace zel::inv
