#include "Volume.h"

#include "data/Electrodes.h"
#include "data/Interpolate.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace zel::inv {

namespace {

// The electrodes by line: each line's y and its points (x, elevation),
// sorted along it; the lines sorted across.
using Lines = std::vector<std::pair<double, std::vector<std::pair<double, double>>>>;

Lines linesOf(const std::vector<Point3>& electrodes)
{
    Lines lines;
    std::vector<Point3> sorted = electrodes;
    std::sort(sorted.begin(), sorted.end(), [](const Point3& a, const Point3& b) { return a.y < b.y; });
    for (const Point3& p : sorted) {
        if (lines.empty() || p.y - lines.back().first > kSamePosition)
            lines.push_back({p.y, {}});
        lines.back().second.emplace_back(p.x, p.z);
    }
    for (auto& line : lines)
        std::sort(line.second.begin(), line.second.end());
    return lines;
}

double surfaceOf(const Lines& lines, double x, double y)
{
    if (lines.empty())
        return 0;
    const auto after = std::lower_bound(lines.begin(), lines.end(), y, [](const auto& l, double v) { return l.first < v; });
    if (after == lines.begin())
        return interpolateClamped(lines.front().second, x);
    if (after == lines.end())
        return interpolateClamped(lines.back().second, x);
    const auto before = after - 1;
    const double share = (y - before->first) / (after->first - before->first);
    return (1 - share) * interpolateClamped(before->second, x) + share * interpolateClamped(after->second, x);
}

// The walls of parameter cells around `centres` (ascending, distinct):
// `half` either side of each, halfway between neighbours closer than that,
// the ground between others cut into cells of at most a spacing; beyond the
// outer ones, cells from a spacing wide growing by half until they reach
// `apron` past the outer walls.
std::vector<double> wallsAround(const std::vector<double>& centres, double spacing, double half, double apron)
{
    std::vector<double> before;
    for (double at = centres.front() - half, h = spacing; centres.front() - half - at < apron - 1e-9; h *= 1.5)
        before.push_back(at -= h);
    std::vector<double> walls(before.rbegin(), before.rend());
    walls.push_back(centres.front() - half);
    for (std::size_t i = 0; i + 1 < centres.size(); ++i) {
        const double gap = centres[i + 1] - centres[i];
        if (gap <= 2 * half + kSamePosition) {
            walls.push_back((centres[i] + centres[i + 1]) / 2);
            continue;
        }
        const double low = centres[i] + half, high = centres[i + 1] - half;
        const int parts = std::max(1, int(std::ceil((high - low) / spacing - 1e-9)));
        for (int s = 0; s <= parts; ++s)
            walls.push_back(low + (high - low) * s / parts);
    }
    walls.push_back(centres.back() + half);
    for (double at = centres.back() + half, h = spacing; at - centres.back() - half < apron - 1e-9; h *= 1.5)
        walls.push_back(at += h);
    return walls;
}

// Node planes at the walls and the centres, evenly between them at most
// `step` apart from the first centre to the last and a step beyond (the
// cells of an apron beyond are one cell each), then growing by `growth` on
// either side until they reach `reach` beyond the outer walls.
std::vector<double> planes(const std::vector<double>& walls, const std::vector<double>& centres, double step,
                           double reach, double growth)
{
    const double low = centres.front() - step - kSamePosition, high = centres.back() + step + kSamePosition;
    std::vector<double> fixed = walls;
    fixed.insert(fixed.end(), centres.begin(), centres.end());
    std::sort(fixed.begin(), fixed.end());
    std::vector<double> inside;
    for (std::size_t i = 0; i < fixed.size(); ++i) {
        if (!inside.empty() && fixed[i] - inside.back() <= kSamePosition)
            continue;
        if (!inside.empty() && inside.back() >= low && fixed[i] <= high) {
            const double from = inside.back(), gap = fixed[i] - from;
            const int parts = std::max(1, int(std::ceil(gap / step - 1e-9)));
            for (int s = 1; s < parts; ++s)
                inside.push_back(from + gap * s / parts);
        }
        inside.push_back(fixed[i]);
    }
    std::vector<double> before, after;
    for (double h = step * growth, at = inside.front(); inside.front() - at < reach; h *= growth)
        before.push_back(at -= h);
    for (double h = step * growth, at = inside.back(); at - inside.back() < reach; h *= growth)
        after.push_back(at += h);
    std::vector<double> all(before.rbegin(), before.rend());
    all.insert(all.end(), inside.begin(), inside.end());
    all.insert(all.end(), after.begin(), after.end());
    return all;
}

// Per gap between node planes, the parameter cell between the walls it
// lies in, or -1 outside them.
std::vector<int> wallOf(const std::vector<double>& nodePlanes, const std::vector<double>& walls)
{
    std::vector<int> out(nodePlanes.size() - 1, -1);
    for (std::size_t q = 0; q + 1 < nodePlanes.size(); ++q) {
        const double middle = (nodePlanes[q] + nodePlanes[q + 1]) / 2;
        if (middle > walls.front() && middle < walls.back())
            out[q] = int(std::upper_bound(walls.begin(), walls.end(), middle) - walls.begin()) - 1;
    }
    return out;
}

std::size_t nearestIndex(const std::vector<double>& sorted, double v)
{
    const auto at = std::lower_bound(sorted.begin(), sorted.end(), v - kSamePosition);
    return std::size_t(at - sorted.begin());
}

} // namespace

std::array<int, 3> Volume::cellIndex(int c) const
{
    const int layers = nz() - 1, across = ny() - 1;
    return {c / (layers * across), (c / layers) % across, c % layers};
}

std::array<int, 8> Volume::corners(int c) const
{
    const auto [i, j, k] = cellIndex(c);
    std::array<int, 8> out{};
    for (int a = 0; a < 8; ++a)
        out[std::size_t(a)] = node(i + (a & 1), j + ((a >> 1) & 1), k + ((a >> 2) & 1));
    return out;
}

Point3 Volume::cellCentre(int c) const
{
    Point3 sum;
    for (const int n : corners(c)) {
        sum.x += nodes[std::size_t(n)].x / 8;
        sum.y += nodes[std::size_t(n)].y / 8;
        sum.z += nodes[std::size_t(n)].z / 8;
    }
    return sum;
}

double Volume::cellDepth(int c) const
{
    const int k = cellIndex(c)[2];
    return (depths[std::size_t(k)] + depths[std::size_t(k) + 1]) / 2;
}

double Volume::cellVolume(int c) const
{
    const auto [i, j, k] = cellIndex(c);
    const auto at = [](const std::vector<double>& v, int n) { return v[std::size_t(n) + 1] - v[std::size_t(n)]; };
    return at(xs, i) * at(ys, j) * at(depths, k);
}

int Volume::cellAt(double x, double y, double depth) const
{
    auto index = [](const std::vector<double>& v, double p) {
        if (v.empty() || p < v.front() || p > v.back())
            return -1;
        return std::min(int(std::upper_bound(v.begin(), v.end(), p) - v.begin()) - 1, int(v.size()) - 2);
    };
    const int i = index(xs, x), j = index(ys, y), k = index(depths, depth);
    return i < 0 || j < 0 || k < 0 ? -1 : cell(i, j, k);
}

Point3 Volume::parameterCentre(int p) const
{
    Point3 sum;
    double total = 0;
    for (const int c : cellsOfParameter[std::size_t(p)]) {
        const Point3 m = cellCentre(c);
        const double w = cellVolume(c);
        sum = {sum.x + w * m.x, sum.y + w * m.y, sum.z + w * m.z};
        total += w;
    }
    return {sum.x / total, sum.y / total, sum.z / total};
}

double Volume::parameterDepth(int p) const
{
    return cellDepth(cellsOfParameter[std::size_t(p)].front());
}

double Volume::parameterVolume(int p) const
{
    double total = 0;
    for (const int c : cellsOfParameter[std::size_t(p)])
        total += cellVolume(c);
    return total;
}

double Volume::surfaceAt(double x, double y) const
{
    return surfaceOf(linesOf(electrodes), x, y);
}

Volume makeVolume(const std::vector<Point3>& electrodes, const VolumeOptions& options)
{
    for (const Point3& p : electrodes)
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
            throw InversionRefused("an electrode's position is not a number");
    const Lines lines = linesOf(electrodes);
    if (lines.empty())
        throw InversionRefused("no electrodes");
    Volume v;
    v.electrodes = electrodes;
    // The spacing: the shortest step between neighbours along a line.
    double spacing = 0;
    std::vector<double> xs;
    for (const auto& [y, points] : lines)
        for (std::size_t n = 0; n < points.size(); ++n) {
            xs.push_back(points[n].first);
            if (n > 0 && points[n].first - points[n - 1].first <= kSamePosition)
                throw InversionRefused("two electrodes at one place");
            if (n > 0 && (spacing == 0 || points[n].first - points[n - 1].first < spacing))
                spacing = points[n].first - points[n - 1].first;
        }
    if (spacing <= 0)
        throw InversionRefused("fewer than 2 electrodes on every line");
    v.spacing = spacing;
    std::sort(xs.begin(), xs.end());
    std::vector<double> distinctX;
    for (const double x : xs)
        if (distinctX.empty() || x - distinctX.back() > kSamePosition)
            distinctX.push_back(x);
    std::vector<double> ys;
    for (const auto& line : lines)
        ys.push_back(line.first);
    const double step = spacing / 2;
    const double extent = std::max(distinctX.back() - distinctX.front(), ys.back() - ys.front()) + spacing;
    const double reach = options.paddingLengths * extent;
    const double parameterDepth = options.parameterDepth > 0 ? options.parameterDepth : extent / 5;
    v.depths = {0};
    double h = options.firstLayer * spacing;
    while (v.depths.back() < parameterDepth - 1e-9) {
        v.depths.push_back(v.depths.back() + h);
        h *= options.layerGrowth;
    }
    // Along the lines, each electrode's cell reaches halfway to its
    // neighbours. Across, a line's cells are half a spacing wide, the ground
    // between lines has cells of its own, and the cells reach sideways past
    // the outer lines as deep as the parameter region: what lies beside the
    // survey is seen by it, and is not pushed into the lines' cells.
    double gap = spacing;
    for (std::size_t l = 0; l + 1 < ys.size(); ++l)
        gap = std::min(gap, ys[l + 1] - ys[l]);
    v.wallsX = wallsAround(distinctX, spacing, spacing / 2, 0);
    v.apron = options.apron > 0 ? options.apron : parameterDepth;
    v.wallsY = wallsAround(ys, spacing, std::min(spacing, gap) / 4, v.apron);
    v.xs = planes(v.wallsX, distinctX, step, reach, options.paddingGrowth);
    v.ys = planes(v.wallsY, ys, step, reach, options.paddingGrowth);
    v.layers = v.nz() - 1;
    const double bottom = std::max(reach, 2 * parameterDepth);
    while (v.depths.back() < bottom) {
        h *= options.paddingGrowth;
        v.depths.push_back(v.depths.back() + h);
    }

    v.reference = -1e300;
    for (const Point3& p : electrodes)
        v.reference = std::max(v.reference, p.z);
    const double deepest = v.depths.back();
    v.nodes.resize(std::size_t(v.nx()) * std::size_t(v.ny()) * std::size_t(v.nz()));
    for (int i = 0; i < v.nx(); ++i)
        for (int j = 0; j < v.ny(); ++j) {
            const double x = v.xs[std::size_t(i)], y = v.ys[std::size_t(j)];
            const double shift = surfaceOf(lines, x, y) - v.reference;
            for (int k = 0; k < v.nz(); ++k) {
                const double d = v.depths[std::size_t(k)];
                v.nodes[std::size_t(v.node(i, j, k))] = {x, y, v.reference - d + shift * (1 - d / deepest)};
            }
        }
    // The layers follow the surface: each shrinks by 1 + shift / bottom,
    // which stays positive while the ground's relief is less than the
    // volume's depth.
    for (const Point3& p : electrodes)
        if (v.reference - p.z >= deepest / 2)
            throw InversionRefused("the ground is too steep for the mesh to follow it");

    for (const Point3& p : electrodes) {
        const int i = int(nearestIndex(v.xs, p.x)), j = int(nearestIndex(v.ys, p.y));
        v.electrodeNodes.push_back(v.node(i, j, 0));
    }
    const std::vector<int> columnOf = wallOf(v.xs, v.wallsX), rowOf = wallOf(v.ys, v.wallsY);
    v.parameterOfCell.assign(std::size_t(v.cellCount()), -1);
    v.cellsOfParameter.resize(std::size_t(v.parameterColumns()) * std::size_t(v.parameterRows()) * std::size_t(v.layers));
    v.first = {v.nx(), v.ny(), 0};
    v.last = {0, 0, v.layers};
    for (int i = 0; i + 1 < v.nx(); ++i)
        for (int j = 0; j + 1 < v.ny(); ++j) {
            if (columnOf[std::size_t(i)] < 0 || rowOf[std::size_t(j)] < 0)
                continue;
            v.first = {std::min(v.first[0], i), std::min(v.first[1], j), 0};
            v.last = {std::max(v.last[0], i + 1), std::max(v.last[1], j + 1), v.layers};
            for (int k = 0; k < v.layers; ++k) {
                const int p = v.parameter(columnOf[std::size_t(i)], rowOf[std::size_t(j)], k);
                v.parameterOfCell[std::size_t(v.cell(i, j, k))] = p;
                v.cellsOfParameter[std::size_t(p)].push_back(v.cell(i, j, k));
            }
        }
    return v;
}

} // namespace zel::inv
