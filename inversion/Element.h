#pragma once

#include "Mesh.h"

#include <array>
#include <cmath>

namespace zel::inv {

// A linear triangle of the 2.5D equation −∇·σ∇ũ + σk²ũ = source. Its
// element matrix is σ (S + k² M): S = (b bᵀ + c cᵀ) / (4 · area) from the
// shape functions' gradients (b, c, times twice the area), M the consistent
// mass matrix area / 12 · (1 + δij). Assembly, the secondary field's source
// and the sensitivities all take it from here.
struct Element {
    std::array<int, 3> node{};
    std::array<double, 3> b{}, c{};
    double area = 0;

    Element() = default;
    Element(const std::array<int, 3>& nodes, const std::array<Point, 3>& corners);

    // Entry (i, j) of S + k² M.
    double matrix(int i, int j, double k2) const
    {
        const auto a = std::size_t(i), e = std::size_t(j);
        return (b[a] * b[e] + c[a] * c[e]) / (4 * area) + k2 * area / 12 * (i == j ? 2 : 1);
    }
    // uᵀ (S + k² M) v of nodal values u and v, the bilinear form the
    // adjoint sensitivities sum: S through the gradients of u and v.
    double form(const std::array<double, 3>& u, const std::array<double, 3>& v, double k2) const
    {
        const double gux = b[0] * u[0] + b[1] * u[1] + b[2] * u[2], guz = c[0] * u[0] + c[1] * u[1] + c[2] * u[2];
        const double gvx = b[0] * v[0] + b[1] * v[1] + b[2] * v[2], gvz = c[0] * v[0] + c[1] * v[1] + c[2] * v[2];
        const double mass = area / 12 * (u[0] * v[0] + u[1] * v[1] + u[2] * v[2] + (u[0] + u[1] + u[2]) * (v[0] + v[1] + v[2]));
        return (gux * gvx + guz * gvz) / (4 * area) + k2 * mass;
    }
};

inline Element::Element(const std::array<int, 3>& nodes, const std::array<Point, 3>& p) : node(nodes)
{
    for (std::size_t i = 0; i < 3; ++i) {
        const Point& pj = p[(i + 1) % 3];
        const Point& pk = p[(i + 2) % 3];
        b[i] = pj.z - pk.z;
        c[i] = pk.x - pj.x;
    }
    area = std::abs((p[1].x - p[0].x) * (p[2].z - p[0].z) - (p[2].x - p[0].x) * (p[1].z - p[0].z)) / 2;
}

} // namespace zel::inv
