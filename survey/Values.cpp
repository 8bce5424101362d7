#include "Values.h"

#include "data/Electrodes.h"
#include "data/RawDump.h"

#include <QByteArray>

#include <cmath>
#include <map>
#include <numbers>

namespace zel {

namespace {

constexpr std::array<double, 17> kCurrentsMilliamps = {5, 1, 1.5, 2, 5, 10, 20, 50, 100,
                                                        200, 500, 750, 1000, 1250, 1500, 1750, 2000};
constexpr std::array<double, 11> kFrequenciesHertz = {0, 1.22, 2.44, 4.88, 9.76, 19.5, 50, 100, 625, 1250, 2500};

constexpr int kOutOfRange = 7;

// The current-potential pairs of the geometric sum, with their signs: AM +, BM −, AN −, BN +.
struct Pair {
    int current;
    int potential;
    double sign;
};
constexpr std::array<Pair, 4> kPairs = {{{0, 2, 1.0}, {1, 2, -1.0}, {0, 3, -1.0}, {1, 3, 1.0}}};

// A geometric sum this small against its largest term is zero but for the
// rounding of its four terms: the array measures nothing.
constexpr double kZeroSum = 1e-9;

// 1/AM − 1/BM − 1/AN + 1/BN; none when a distance is 0, when A and B or M
// and N coincide, or when the terms cancel to within rounding. `distance`
// gives the distance between two of the four electrodes.
template <typename Distance>
std::optional<double> geometricSum(Distance distance)
{
    if (distance(0, 1) == 0 || distance(2, 3) == 0)
        return std::nullopt;
    double sum = 0;
    double largest = 0;
    for (const Pair& p : kPairs) {
        const double d = distance(p.current, p.potential);
        if (d == 0)
            return std::nullopt;
        sum += p.sign / d;
        largest = std::max(largest, 1 / d);
    }
    if (!(std::abs(sum) > kZeroSum * largest))
        return std::nullopt;
    return sum;
}

std::optional<double> geometricSum(const std::array<double, 4>& x)
{
    return geometricSum([&](int a, int b) { return std::abs(x[std::size_t(a)] - x[std::size_t(b)]); });
}

// The electrode numbers of a channel, as channelElectrodes documents them.
std::optional<std::array<int, 4>> channelNumbers(const MeasurementRecord& r, int channel, const SurveyGeometry& g)
{
    if (!carriesElectrodes(r.Mode) || channel < 1 || channel > 4)
        return std::nullopt;
    if (channel > 1 && g.channels == ChannelGeometry::FirstOnly)
        return std::nullopt;
    const int d = int(r.ElectrodeN) - int(r.ElectrodeM);
    const int shift = (channel - 1) * d;
    const std::array<int, 4> n = {int(r.ElectrodeA), int(r.ElectrodeB), int(r.ElectrodeM) + shift,
                                  int(r.ElectrodeN) + shift};
    for (const int potential : {n[2], n[3]})
        if (potential < kFirstPotentialElectrode || potential > kLastPotentialElectrode)
            return std::nullopt;  // beyond the station's electrodes: no such dipole
    return n;
}

// Positions of electrode numbers, each worked out once.
class PositionTable {
public:
    explicit PositionTable(const SurveyGeometry& g) : m_geometry(g) {}
    double operator()(int electrode)
    {
        const auto [it, added] = m_known.try_emplace(electrode);
        if (added)
            it->second = m_geometry.position(electrode);
        return it->second;
    }

private:
    const SurveyGeometry& m_geometry;
    std::map<int, double> m_known;
};

} // namespace

std::optional<double> currentMilliamps(int index)
{
    return index >= 0 && index < int(kCurrentsMilliamps.size()) ? std::optional(kCurrentsMilliamps[std::size_t(index)])
                                                                : std::nullopt;
}

std::optional<double> frequencyHertz(int index)
{
    return index >= 0 && index < int(kFrequenciesHertz.size()) ? std::optional(kFrequenciesHertz[std::size_t(index)])
                                                               : std::nullopt;
}

std::optional<int> frequencyIndexOf(double hertz)
{
    for (std::size_t f = 0; f < kFrequenciesHertz.size(); ++f)
        if (std::abs(hertz - kFrequenciesHertz[f]) <= 0.01 * std::max(1.0, hertz))
            return int(f);
    return std::nullopt;
}

std::optional<double> geometricFactor(const std::array<double, 4>& x)
{
    const std::optional<double> sum = geometricSum(x);
    if (!sum || *sum == 0)
        return std::nullopt;
    return 2 * std::numbers::pi / *sum;
}

std::optional<double> geometricFactor(const std::array<double, 4>& x, const std::array<double, 4>& z)
{
    const std::optional<double> sum = geometricSum([&](int a, int b) {
        return std::hypot(x[std::size_t(a)] - x[std::size_t(b)], z[std::size_t(a)] - z[std::size_t(b)]);
    });
    if (!sum || *sum == 0)
        return std::nullopt;
    return 2 * std::numbers::pi / *sum;
}

std::optional<double> medianDepth(const std::array<double, 4>& x)
{
    const std::optional<double> whole = geometricSum(x);
    if (!whole || *whole == 0)
        return std::nullopt;
    // The share of the signal that arises above z: 0 at the surface, 1 deep down.
    auto shareAbove = [&](double z) {
        double sum = 0;
        for (const Pair& p : kPairs) {
            const double l = std::abs(x[std::size_t(p.current)] - x[std::size_t(p.potential)]);
            sum += p.sign * (1 / l - 1 / std::sqrt(l * l + 4 * z * z));
        }
        return sum / *whole;
    };
    double longest = 0;
    for (const Pair& p : kPairs)
        longest = std::max(longest, std::abs(x[std::size_t(p.current)] - x[std::size_t(p.potential)]));
    double low = 0;
    double high = longest;
    while (shareAbove(high) < 0.5) {
        high *= 2;
        if (high > longest * 1e6)
            return std::nullopt;
    }
    // Halving to a billionth of the array: far finer than any electrode position.
    while (high - low > longest * 1e-9) {
        const double mid = (low + high) / 2;
        (shareAbove(mid) < 0.5 ? low : high) = mid;
    }
    return (low + high) / 2;
}

std::optional<ArrayElectrodes> channelElectrodes(const MeasurementRecord& r, int channel, const SurveyGeometry& g)
{
    const SurveyGeometry line = g.of(profileOf(r));
    const std::optional<std::array<int, 4>> numbers = channelNumbers(r, channel, line);
    if (!numbers)
        return std::nullopt;
    ArrayElectrodes e;
    e.number = *numbers;
    for (std::size_t j = 0; j < 4; ++j)
        e.x[j] = line.position(e.number[j]);
    if (!line.topography.empty()) {
        e.z.emplace();
        for (std::size_t j = 0; j < 4; ++j)
            (*e.z)[j] = *line.elevation(e.number[j]);
    }
    return e;
}

namespace {

// What the values of one profile share: its geometry, its electrodes'
// positions and the arrays' factors, each worked out once.
class ProfileSolver {
public:
    explicit ProfileSolver(SurveyGeometry geometry) : m_geometry(std::move(geometry)), m_position(m_geometry) {}
    ProfileSolver(const ProfileSolver&) = delete;  // its position table refers to its geometry
    ProfileSolver& operator=(const ProfileSolver&) = delete;
    const SurveyGeometry& geometry() const { return m_geometry; }

    // The electrodes, factor and depth of an array of electrode numbers.
    void place(const std::array<int, 4>& numbers, ChannelValue& v)
    {
        ArrayElectrodes e;
        e.number = numbers;
        for (std::size_t j = 0; j < 4; ++j)
            e.x[j] = m_position(numbers[j]);
        const Solved& solved = solve(numbers);
        v.k = solved.k;
        v.depth = solved.depth;
        if (!m_geometry.topography.empty()) {
            // Over uneven ground the factor takes the straight distances
            // between the electrodes; the depth stays that of a flat line.
            e.z.emplace();
            for (std::size_t j = 0; j < 4; ++j)
                (*e.z)[j] = elevation(numbers[j]);
            v.k = v.k ? geometricFactor(e.x, *e.z) : std::nullopt;
        }
        v.electrodes = e;
    }

private:
    struct Solved {
        std::optional<double> k;
        std::optional<double> depth;
    };

    // The geometric factor and the depth of a flat line depend only on the
    // array's shape, the distances in electrode numbers times the spacing
    // (free of the rounding of positions far from 0), which repeats along a
    // profile: each shape is solved once.
    const Solved& solve(const std::array<int, 4>& n)
    {
        std::array<int, 4> relative;
        for (std::size_t j = 0; j < 4; ++j)
            relative[j] = n[j] - n[0];
        const auto [it, added] = m_shapes.try_emplace(relative);
        if (added) {
            std::array<double, 4> shape;
            for (std::size_t j = 0; j < 4; ++j)
                shape[j] = relative[j] * m_geometry.spacing;
            it->second.k = geometricFactor(shape);
            if (it->second.k)
                it->second.depth = medianDepth(shape);
        }
        return it->second;
    }

    double elevation(int electrode)
    {
        const auto [it, added] = m_elevations.try_emplace(electrode);
        if (added)
            it->second = *m_geometry.elevation(electrode);
        return it->second;
    }

    SurveyGeometry m_geometry;
    PositionTable m_position;
    std::map<std::array<int, 4>, Solved> m_shapes;
    std::map<int, double> m_elevations;
};

} // namespace

std::vector<ChannelValue> surveyValues(const std::vector<MeasurementRecord>& records, const SurveyGeometry& geometry)
{
    std::map<Profile, ProfileSolver> profiles;
    auto solverOf = [&](const MeasurementRecord& r) -> ProfileSolver& {
        const Profile p = profileOf(r);
        auto it = profiles.find(p);
        if (it == profiles.end())
            it = profiles.try_emplace(p, geometry.of(p)).first;
        return it->second;
    };
    std::vector<ChannelValue> values;
    values.reserve(records.size() * 4);
    for (std::size_t n = 0; n < records.size(); ++n) {
        const MeasurementRecord& r = records[n];
        if (r.ValueKind == 1)
            continue;  // no voltages were measured
        const std::optional<double> i = r.Mode == 15 ? std::nullopt : currentMilliamps(r.Current);
        for (int ch = 1; ch <= 4; ++ch) {
            const int range = r.Range[ch - 1];
            if (range >= kOutOfRange)
                continue;
            ChannelValue v;
            v.record = int(n);
            v.channel = ch;
            v.u = r.U[ch - 1] / std::pow(10.0, range) * (r.ValueKind == 3 ? -1 : 1);
            v.i = i;
            if (i && *i != 0)
                v.r = *v.u / *i;
            if (carriesElectrodes(r.Mode)) {
                ProfileSolver& solver = solverOf(r);
                if (const std::optional<std::array<int, 4>> numbers = channelNumbers(r, ch, solver.geometry())) {
                    solver.place(*numbers, v);
                    if (v.k && v.r)
                        v.rhoa = *v.k * *v.r;
                }
            }
            values.push_back(v);
        }
    }
    return values;
}

std::vector<MeasurementRecord> recordsOf(const QByteArray& decoded)
{
    const int n = recordsIn(decoded);
    std::vector<MeasurementRecord> records;
    records.reserve(std::size_t(n));
    for (int i = 0; i < n; ++i)
        records.push_back(recordAt(decoded, i));
    return records;
}

std::array<long long, 4> quadripoleKey(const ArrayElectrodes& e, const Profile& profile)
{
    std::array<long long, 4> key{};
    for (std::size_t j = 0; j < 4; ++j)
        key[j] = profile.wholeLine() ? millimetres(e.x[j]) : e.number[j];
    return key;
}

} // namespace zel
