#include "Mesh.h"

#include "data/Interpolate.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace zel::inv {

namespace {

// Positive when a, b, c turn anticlockwise.
double orientedArea(const Point& a, const Point& b, const Point& c)
{
    return ((b.x - a.x) * (c.z - a.z) - (c.x - a.x) * (b.z - a.z)) / 2;
}

double triangleArea(const Point& a, const Point& b, const Point& c)
{
    return std::abs(orientedArea(a, b, c));
}

} // namespace

std::array<Point, 4> Mesh::cellCorners(int c) const
{
    const int i = c / cellRows();
    const int j = c % cellRows();
    return {nodes[std::size_t(node(i, j))], nodes[std::size_t(node(i, j + 1))], nodes[std::size_t(node(i + 1, j + 1))],
            nodes[std::size_t(node(i + 1, j))]};
}

Point Mesh::cellCentre(int c) const
{
    const auto p = cellCorners(c);
    return {(p[0].x + p[1].x + p[2].x + p[3].x) / 4, (p[0].z + p[1].z + p[2].z + p[3].z) / 4};
}

double Mesh::cellArea(int c) const
{
    const auto p = cellCorners(c);
    return triangleArea(p[0], p[1], p[2]) + triangleArea(p[0], p[2], p[3]);
}

double surfaceAt(const std::vector<double>& electrodeX, const std::vector<double>& elevations, double x)
{
    if (elevations.empty() || electrodeX.empty() || elevations.size() != electrodeX.size())
        return 0;
    std::vector<std::pair<double, double>> points;
    points.reserve(electrodeX.size());
    for (std::size_t n = 0; n < electrodeX.size(); ++n)
        points.emplace_back(electrodeX[n], elevations[n]);
    std::sort(points.begin(), points.end());
    return interpolateClamped(points, x);
}

int Mesh::cellAt(const Point& p) const
{
    const auto after = std::upper_bound(columns.begin(), columns.end(), p.x);
    if (after == columns.begin() || after == columns.end())
        return -1;
    const int i = int(after - columns.begin()) - 1;
    const double t = (p.x - columns[std::size_t(i)]) / (columns[std::size_t(i) + 1] - columns[std::size_t(i)]);
    // A row's elevation at x: the rows follow the topography.
    auto rowZ = [&](int j) {
        return (1 - t) * nodes[std::size_t(node(i, j))].z + t * nodes[std::size_t(node(i + 1, j))].z;
    };
    for (int j = 0; j < cellRows(); ++j)
        if (p.z <= rowZ(j) && p.z >= rowZ(j + 1))
            return cell(i, j);
    return -1;
}

Mesh makeMesh(const std::vector<double>& electrodeX, const std::vector<double>& elevations, const MeshOptions& o)
{
    for (const double v : electrodeX)
        if (!std::isfinite(v))
            throw InversionRefused("an electrode's position is not a number");
    std::vector<double> e = electrodeX;
    std::sort(e.begin(), e.end());
    e.erase(std::unique(e.begin(), e.end()), e.end());
    if (e.size() < 2 || e.size() != electrodeX.size())
        throw InversionRefused("the electrodes must be at least two, each at its own position");
    double spacing = e.back() - e.front();
    for (std::size_t n = 1; n < e.size(); ++n)
        spacing = std::min(spacing, e[n] - e[n - 1]);
    const double length = e.back() - e.front();
    const double step = spacing / std::max(1, o.cellsPerSpacing);

    Mesh m;
    m.electrodeX = electrodeX;
    std::vector<double>& x = m.columns;
    x.push_back(e.front());
    for (std::size_t n = 1; n < e.size(); ++n) {
        const double gap = e[n] - e[n - 1];
        if (gap <= 8 * spacing) {
            const int parts = std::max(o.cellsPerSpacing, int(std::ceil(gap / step - 1e-9)));
            for (int p = 1; p < parts; ++p)
                x.push_back(e[n - 1] + gap * p / parts);
        } else {
            // A remote electrode: cells growing from both ends towards the
            // middle of the gap, as in the padding.
            std::vector<double> fromLeft, fromRight;
            double w = step, left = e[n - 1], right = e[n];
            while (right - left > 2 * w * o.paddingGrowth) {
                left += w;
                right -= w;
                fromLeft.push_back(left);
                fromRight.push_back(right);
                w *= o.paddingGrowth;
            }
            x.insert(x.end(), fromLeft.begin(), fromLeft.end());
            x.push_back((left + right) / 2);
            x.insert(x.end(), fromRight.rbegin(), fromRight.rend());
        }
        x.push_back(e[n]);
    }
    // The padding sideways: cells growing geometrically to the far boundary.
    const double reach = o.paddingLengths * std::max(length, spacing);
    std::vector<double> left, right;
    for (double w = step, at = e.front(); at > e.front() - reach;) {
        w *= o.paddingGrowth;
        at -= w;
        left.push_back(at);
    }
    for (double w = step, at = e.back(); at < e.back() + reach;) {
        w *= o.paddingGrowth;
        at += w;
        right.push_back(at);
    }
    // Known edges inside the line become columns of their own.
    for (const double v : o.verticals) {
        const auto at = std::lower_bound(x.begin(), x.end(), v);
        if (std::isfinite(v) && at != x.begin() && at != x.end() && *at - v > 1e-6 * spacing && v - *(at - 1) > 1e-6 * spacing)
            x.insert(at, v);
    }
    x.insert(x.begin(), left.rbegin(), left.rend());
    x.insert(x.end(), right.begin(), right.end());

    // Layers: thin at the surface, growing to the parameter depth, then the padding.
    const double parameterDepth = o.parameterDepth > 0 ? o.parameterDepth : 3 * spacing;
    std::vector<double>& d = m.depths;
    d.push_back(0);
    double dz = o.firstLayer * spacing;
    while (d.back() < parameterDepth - 1e-9 * parameterDepth) {
        d.push_back(d.back() + dz);
        dz *= o.layerGrowth;
    }
    const double bottom = std::max(reach, 5 * parameterDepth);
    while (d.back() < bottom) {
        dz *= o.paddingGrowth;
        d.push_back(d.back() + dz);
    }
    for (const double level : o.levels) {
        const auto at = std::lower_bound(d.begin(), d.end(), level);
        if (level > 0 && level < d.back() && std::abs(*at - level) > 1e-9 * d.back()
            && std::abs(*(at - 1) - level) > 1e-9 * d.back())
            d.insert(at, level);
    }
    const int parameterRowsAfter = int(std::lower_bound(d.begin(), d.end(), parameterDepth - 1e-9 * parameterDepth) - d.begin());

    // Nodes: the surface follows the topography, the shift below the
    // highest electrode fading to none at the bottom. Laid out from that
    // height, the mesh is the same whatever the heights are counted from.
    const double deepest = d.back();
    if (elevations.size() == electrodeX.size() && !elevations.empty()) {
        for (const double z : elevations)
            if (!std::isfinite(z))
                throw InversionRefused("an electrode's height is not a number");
        m.reference = *std::max_element(elevations.begin(), elevations.end());
    }
    m.nodes.reserve(x.size() * d.size());
    for (const double xi : x) {
        const double shift = surfaceAt(electrodeX, elevations, xi) - m.reference;
        for (const double dj : d)
            m.nodes.push_back({xi, m.reference + shift * (1 - dj / deepest) - dj});
    }
    const int columns = int(x.size());
    for (int i = 0; i < columns; ++i)
        for (int j = 0; j + 1 < m.rows(); ++j)
            if (!(m.nodes[std::size_t(m.node(i, j))].z > m.nodes[std::size_t(m.node(i, j + 1))].z))
                throw InversionRefused("the ground is too steep for the mesh: its rows would cross");
    for (int i = 0; i + 1 < columns; ++i) {
        for (int j = 0; j < m.cellRows(); ++j) {
            const int c = m.cell(i, j);
            const int a = m.node(i, j), b = m.node(i, j + 1), cc = m.node(i + 1, j + 1), dd = m.node(i + 1, j);
            m.triangles.push_back({a, b, cc});
            m.triangles.push_back({a, cc, dd});
            // Anticlockwise in (x, z): a cell turned inside out has no area of its own.
            for (const auto& t : {std::array{a, b, cc}, std::array{a, cc, dd}})
                if (!(orientedArea(m.nodes[std::size_t(t[0])], m.nodes[std::size_t(t[1])], m.nodes[std::size_t(t[2])]) > 0))
                    throw InversionRefused("the ground is too steep for the mesh: a cell would turn inside out");
            m.cellOfTriangle.push_back(c);
            m.cellOfTriangle.push_back(c);
        }
    }
    m.parameterOfCell.assign(std::size_t(m.cellCount()), -1);
    for (int i = 0; i + 1 < columns; ++i) {
        const double centre = (x[std::size_t(i)] + x[std::size_t(i) + 1]) / 2;
        if (centre < e.front() || centre > e.back())
            continue;
        for (int j = 0; j < parameterRowsAfter; ++j) {
            m.parameterOfCell[std::size_t(m.cell(i, j))] = int(m.cellOfParameter.size());
            m.cellOfParameter.push_back(m.cell(i, j));
        }
    }
    for (const double xe : electrodeX) {
        const auto at = std::lower_bound(x.begin(), x.end(), xe);
        m.electrodeNodes.push_back(m.node(int(at - x.begin()), 0));
    }
    return m;
}

} // namespace zel::inv
