#include "ErrorModel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <numbers>

namespace zel {

std::map<Profile, std::vector<std::size_t>> valuesByProfile(const std::vector<MeasurementRecord>& records,
                                                            const std::vector<ChannelValue>& values)
{
    std::map<Profile, std::vector<std::size_t>> by;
    for (std::size_t n = 0; n < values.size(); ++n)
        if (values[n].electrodes)
            by[profileOf(records[std::size_t(values[n].record)])].push_back(n);
    return by;
}

std::vector<ErrorPair> errorPairs(const std::vector<MeasurementRecord>& records, const std::vector<ChannelValue>& values,
                                  const Profile& profile)
{
    std::vector<std::size_t> indices;
    for (std::size_t n = 0; n < values.size(); ++n)
        if (values[n].electrodes && profile.holds(profileOf(records[std::size_t(values[n].record)])))
            indices.push_back(n);
    return errorPairs(records, values, indices, profile);
}

std::vector<ErrorPair> errorPairs(const std::vector<MeasurementRecord>& records, const std::vector<ChannelValue>& values,
                                  const std::vector<std::size_t>& indices, const Profile& profile)
{
    // A, B, M, N and the frequency: two frequencies are two readings.
    using Key = std::array<long long, 5>;
    std::map<Key, std::vector<double>> readings;
    for (const std::size_t n : indices) {
        const ChannelValue& v = values[n];
        if (!v.electrodes || !v.r || *v.r == 0)
            continue;
        const std::array<long long, 4> abmn = quadripoleKey(*v.electrodes, profile);
        readings[{abmn[0], abmn[1], abmn[2], abmn[3], records[std::size_t(v.record)].FreqIndex}].push_back(*v.r);
    }
    std::vector<ErrorPair> pairs;
    // By magnitude: a pair of opposite signs is a wiring fault the data
    // check flags, not the spread of the readings.
    auto add = [&](double r1, double r2) {
        pairs.push_back({(std::abs(r1) + std::abs(r2)) / 2, std::abs(std::abs(r1) - std::abs(r2))});
    };
    auto mean = [](const std::vector<double>& v) {
        double sum = 0;
        for (const double r : v)
            sum += r;
        return sum / double(v.size());
    };
    // The same quadripole in another order of each pair is the same reading.
    std::map<Key, std::vector<double>> byPairs;
    for (const auto& [abmn, rs] : readings) {
        for (std::size_t k = 1; k < rs.size(); ++k)
            add(rs[0], rs[k]);
        const Key key{std::min(abmn[0], abmn[1]), std::max(abmn[0], abmn[1]), std::min(abmn[2], abmn[3]),
                      std::max(abmn[2], abmn[3]), abmn[4]};
        for (const double r : rs)
            byPairs[key].push_back(std::abs(r));
    }
    for (const auto& [key, rs] : byPairs) {
        const Key reciprocal{key[2], key[3], key[0], key[1], key[4]};
        if (!(key < reciprocal))  // each pair once; a quadripole is not its own reciprocal
            continue;
        if (const auto found = byPairs.find(reciprocal); found != byPairs.end())
            add(mean(rs), mean(found->second));
    }
    return pairs;
}

std::optional<ErrorModel> fitErrorModel(const std::vector<ErrorPair>& pairs)
{
    // |r1 − r2| of two normal readings is 1.25·σ·|z|: six times its mean
    // is a 1-in-10⁶ pair, anything further a fault, not the spread.
    constexpr double kWild = 6;
    if (int(pairs.size()) < kErrorModelPairs)
        return std::nullopt;
    // Weighted least squares of d = a + b·r, with b alone when a would fall
    // below 0 and a alone when b would.
    auto solve = [&](const std::vector<double>& w, double& a, double& b) {
        double sw = 0, sr = 0, srr = 0, sd = 0, srd = 0;
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            const double r = pairs[i].resistance, d = pairs[i].difference;
            sw += w[i], sr += w[i] * r, srr += w[i] * r * r, sd += w[i] * d, srd += w[i] * r * d;
        }
        const double det = sw * srr - sr * sr;
        a = det > 0 ? (srr * sd - sr * srd) / det : 0;
        b = det > 0 ? (sw * srd - sr * sd) / det : 0;
        if (a < 0)
            a = 0, b = srr > 0 ? srd / srr : 0;
        if (b < 0)
            b = 0, a = sw > 0 ? sd / sw : 0;
    };
    std::vector<double> w(pairs.size(), 1.0);
    double a = 0, b = 0;
    solve(w, a, b);
    for (int pass = 0; pass < 20; ++pass) {
        // The spread of |r1 − r2| grows with the model's value: each pair
        // weighs by it, and a pair beyond kWild times its expected
        // difference (a loose wire, a shifted electrode) weighs nothing.
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            const double expected = std::max(a + b * pairs[i].resistance, 1e-12);
            w[i] = pairs[i].difference <= kWild * expected ? 1 / (expected * expected) : 0;
        }
        const double oldA = a, oldB = b;
        solve(w, a, b);
        if (std::abs(a - oldA) <= 1e-9 * (1 + a) && std::abs(b - oldB) <= 1e-9 * (1 + b))
            break;
    }
    const double toSigma = std::sqrt(std::numbers::pi) / 2;
    return ErrorModel{a * toSigma, b * toSigma, int(pairs.size())};
}

} // namespace zel
