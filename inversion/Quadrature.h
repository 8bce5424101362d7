#pragma once

#include <vector>

namespace zel::inv {

// Points of the inverse cosine transform of the 2.5D problem: below
// k0 = 1 / (2 rmin), Gauss–Legendre in t with k = k0 t² (which takes the
// logarithmic behaviour of K0 at 0); above it, Gauss–Laguerre.
constexpr int kLegendrePoints = 8;
constexpr int kLaguerrePoints = 8;

// The wavenumbers of the 2.5D transform and their weights, so that
// u(r) = (2/π) Σ w ũ(k).
struct Wavenumbers {
    std::vector<double> k;
    std::vector<double> weight;
};
Wavenumbers wavenumbers(double rMin, int legendre = kLegendrePoints, int laguerre = kLaguerrePoints);

// Gauss–Legendre nodes and weights on [0, 1]; Gauss–Laguerre for the weight e^-t on [0, ∞).
void gaussLegendre(int n, std::vector<double>& nodes, std::vector<double>& weights);
void gaussLaguerre(int n, std::vector<double>& nodes, std::vector<double>& weights);

} // namespace zel::inv
