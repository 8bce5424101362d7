#pragma once

#include <algorithm>
#include <utility>
#include <vector>

namespace zel {

// The value at x of points (x, value) sorted by x: linear between them,
// beyond them the nearest one's; 0 without points. A line's heights between
// the electrodes a topography names, and the surface of a section.
inline double interpolateClamped(const std::vector<std::pair<double, double>>& sorted, double x)
{
    if (sorted.empty())
        return 0;
    if (x <= sorted.front().first)
        return sorted.front().second;
    if (x >= sorted.back().first)
        return sorted.back().second;
    const auto after = std::upper_bound(sorted.begin(), sorted.end(), x,
                                        [](double value, const auto& point) { return value < point.first; });
    const auto before = after - 1;
    const double t = (x - before->first) / (after->first - before->first);
    return before->second + t * (after->second - before->second);
}

} // namespace zel
