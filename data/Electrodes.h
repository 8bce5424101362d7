#pragma once

#include <algorithm>
#include <cmath>

namespace zel {

// How near two electrodes are taken for one, m: a tape reads millimetres.
constexpr double kSamePosition = 1e-3;
// A position in whole millimetres, the key two readings of one place share.
inline long long millimetres(double x) { return std::llround(x / kSamePosition); }
// Two electrodes of a line of `spacing` that lie closer than a tenth of it
// (or a millimetre) cannot be told apart by the data, and a mesh that kept
// them apart would grow a hundredfold: they are one place, to be refused.
constexpr double kNearShareOfSpacing = 0.1;
inline bool onePlace(double distance, double spacing)
{
    return std::abs(distance) <= std::max(kSamePosition, kNearShareOfSpacing * spacing);
}

// The station's electrode numbers: the current electrodes A and B from -255
// to 255, the potential electrodes M and N from 0 to 127.
constexpr int kFirstCurrentElectrode = -255;
constexpr int kLastCurrentElectrode = 255;
constexpr int kFirstPotentialElectrode = 0;
constexpr int kLastPotentialElectrode = 127;

// One entry of an electrode table: the current electrodes A, B and the
// potential electrodes M, N of one measurement.
struct TableEntry {
    int a = 0;
    int b = 0;
    int m = 0;
    int n = 0;
    bool operator==(const TableEntry&) const = default;
};

} // namespace zel
