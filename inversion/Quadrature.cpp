#include "Quadrature.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zel::inv {

namespace {

// Newton's iterations on a Legendre root: far more than it ever takes.
constexpr int kNewtonSteps = 100;
constexpr double kRootTolerance = 1e-15;

} // namespace

void gaussLegendre(int n, std::vector<double>& nodes, std::vector<double>& weights)
{
    nodes.assign(std::size_t(n), 0);
    weights.assign(std::size_t(n), 0);
    for (int i = 0; i < n; ++i) {
        double x = std::cos(std::numbers::pi * (i + 0.75) / (n + 0.5));
        double dp = 0;
        for (int step = 0; step < kNewtonSteps; ++step) {
            double p0 = 1, p1 = x;
            for (int j = 2; j <= n; ++j) {
                const double p2 = ((2 * j - 1) * x * p1 - (j - 1) * p0) / j;
                p0 = p1;
                p1 = p2;
            }
            dp = n * (x * p1 - p0) / (x * x - 1);
            const double dx = p1 / dp;
            x -= dx;
            if (std::abs(dx) < kRootTolerance)
                break;
        }
        // From [-1, 1] to [0, 1].
        nodes[std::size_t(i)] = (1 - x) / 2;
        weights[std::size_t(i)] = 1 / ((1 - x * x) * dp * dp);
    }
}

void gaussLaguerre(int n, std::vector<double>& nodes, std::vector<double>& weights)
{
    // Newton's method on the Laguerre polynomial L_n from the usual
    // asymptotic first guesses, each root from the two before it.
    nodes.assign(std::size_t(n), 0);
    weights.assign(std::size_t(n), 0);
    double z = 0;
    for (int i = 0; i < n; ++i) {
        if (i == 0)
            z = 3.0 / (1 + 2.4 * n);
        else if (i == 1)
            z += 15.0 / (1 + 2.5 * n);
        else
            z += (1 + 2.55 * (i - 1)) / (1.9 * (i - 1)) * (z - nodes[std::size_t(i - 2)]);
        double lower = 0, derivative = 0;  // L_{n-1}(z), L_n'(z)
        for (int step = 0; step < kNewtonSteps; ++step) {
            double p1 = 1, p2 = 0;
            for (int j = 1; j <= n; ++j) {
                const double p3 = p2;
                p2 = p1;
                p1 = ((2 * j - 1 - z) * p2 - (j - 1) * p3) / j;
            }
            lower = p2;
            derivative = n * (p1 - p2) / z;
            const double dz = p1 / derivative;
            z -= dz;
            if (std::abs(dz) <= kRootTolerance * std::max(1.0, z))
                break;
        }
        nodes[std::size_t(i)] = z;
        weights[std::size_t(i)] = -1 / (derivative * n * lower);
    }
}

Wavenumbers wavenumbers(double rMin, int legendre, int laguerre)
{
    Wavenumbers w;
    const double k0 = 1 / (2 * rMin);
    std::vector<double> t, wt;
    gaussLegendre(legendre, t, wt);
    for (std::size_t i = 0; i < t.size(); ++i) {
        w.k.push_back(k0 * t[i] * t[i]);
        w.weight.push_back(wt[i] * 2 * k0 * t[i]);
    }
    gaussLaguerre(laguerre, t, wt);
    for (std::size_t i = 0; i < t.size(); ++i) {
        w.k.push_back(k0 + t[i] / rMin);
        w.weight.push_back(wt[i] * std::exp(t[i]) / rMin);
    }
    return w;
}

} // namespace zel::inv
