#pragma once

// Apparent resistivities from closed forms, made outside the program's own
// forward: the tests and benchmarks measure the inversion against them.
#include <cmath>
#include <numbers>

namespace zeltest {

// 2π / (1/AM − 1/BM − 1/AN + 1/BN) of four electrodes at a, b, m, n on a line.
inline double geometricFactor(double a, double b, double m, double n)
{
    return 2 * std::numbers::pi / (1 / std::abs(a - m) - 1 / std::abs(b - m) - 1 / std::abs(a - n) + 1 / std::abs(b - n));
}

// Two layers: ρ1 above depth h, ρ2 below; the image series of the potential.
inline double twoLayerRhoa(double rho1, double rho2, double h, double a, double b, double m, double n)
{
    const double k = (rho2 - rho1) / (rho2 + rho1);
    const int terms = k == 0 ? 0 : int(std::log(1e-14) / std::log(std::abs(k))) + 1;
    auto g = [&](double r) {
        double sum = 1 / r;
        for (int i = 1; i <= terms; ++i)
            sum += 2 * std::pow(k, i) / std::hypot(r, 2 * i * h);
        return sum;
    };
    const double r = std::abs(a - m), s = std::abs(a - n), t = std::abs(b - m), u = std::abs(b - n);
    return rho1 * geometricFactor(a, b, m, n) / (2 * std::numbers::pi) * (g(r) - g(s) - g(t) + g(u));
}

} // namespace zeltest
