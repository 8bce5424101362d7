#pragma once

#include "Mesh.h"

#include <array>
#include <cmath>

namespace zel::inv {

// A linear triangle of the 2.5D equation −∇·σ∇ũ + σk²ũ = source. Its
// element matrix is σ (S + k² M): S = (b bᵀ + c cᵀ) / (4 · area) from the
// shape functions' gradients (b, c, times twice the area), M the consistent
// mass matrix area / 12 · (1 + δij). Assembly, the secondary field's source
// and the sensitivities' cell matrices all take it from here.
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
