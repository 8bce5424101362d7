#pragma once

namespace zel::inv {

// K0(x) for x > 0 by the polynomial approximations of Abramowitz and Stegun
// (9.8.1, 9.8.5, 9.8.6; relative error below 2e-7): the forward response
// needs it at every node for every source and wavenumber, where
// std::cyl_bessel_k would take most of the time.
double besselK0(double x);

// K1(x) / K0(x), which the Robin condition of the far boundary needs.
double besselRatio(double x);

// K1(x), 0 where it underflows.
double besselK1(double x);

} // namespace zel::inv
