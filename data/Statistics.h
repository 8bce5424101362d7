#pragma once

#include <algorithm>
#include <vector>

namespace zel {

// The median of values (the mean of the middle two of an even count; 0 of
// none); the values are taken by copy and sorted.
inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

} // namespace zel
