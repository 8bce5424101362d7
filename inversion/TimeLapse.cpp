#include "TimeLapse.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

namespace zel::inv {

namespace {

std::array<long long, 4> placeOf(const Measurement& m)
{
    std::array<long long, 4> key{};
    for (std::size_t j = 0; j < 4; ++j)
        key[j] = std::llround(m.x[j] * 1000);
    return key;
}

bool usable(const Measurement& m)
{
    return m.rhoa >= kLeastRhoa && m.rhoa <= kLargestRhoa && std::isfinite(m.k) && m.k != 0;
}

} // namespace

CommonData commonData(const std::vector<Measurement>& base, const std::vector<Measurement>& later)
{
    std::map<std::array<long long, 4>, std::size_t> laterAt;
    for (std::size_t i = 0; i < later.size(); ++i)
        if (usable(later[i]))
            laterAt.emplace(placeOf(later[i]), i);
    CommonData out;
    for (const Measurement& m : base) {
        if (!usable(m))
            continue;
        const auto found = laterAt.find(placeOf(m));
        if (found == laterAt.end())
            continue;
        out.base.push_back(m);
        out.later.push_back(later[found->second]);
        laterAt.erase(found);  // a quadripole pairs once
    }
    return out;
}

std::vector<double> apparentChange(const CommonData& data)
{
    std::vector<double> change;
    change.reserve(data.base.size());
    for (std::size_t i = 0; i < data.base.size(); ++i)
        change.push_back(100 * (data.later[i].rhoa / data.base[i].rhoa - 1));
    return change;
}

TimeLapseResult invertTimeLapse(const std::vector<Measurement>& base, const std::vector<Measurement>& later,
                                const InversionOptions& options,
                                const std::function<void(const IterationReport&, bool second)>& progress,
                                const std::atomic<bool>* cancel)
{
    const CommonData common = commonData(base, later);
    if (common.base.size() < 4)
        throw InversionRefused("the two readings have fewer than 4 quadripoles in common");
    TimeLapseResult out;
    InversionOptions first = options;
    first.base.clear();
    if (!options.elevations.empty()) {
        // The heights of the electrodes the common quadripoles use, of those given for the later reading's.
        const std::vector<double> given = electrodesOf(later), used = electrodesOf(common.base);
        first.elevations.clear();
        for (const double x : used) {
            const auto at = std::lower_bound(given.begin(), given.end(), x - 1e-3);
            first.elevations.push_back(at != given.end() && std::size_t(at - given.begin()) < options.elevations.size()
                                           ? options.elevations[std::size_t(at - given.begin())]
                                           : 0);
        }
    }
    out.base = invert(common.base, first, [&](const IterationReport& r) {
        if (progress)
            progress(r, false);
    }, cancel);
    out.apparentChange = apparentChange(common);
    if (out.base.cancelled) {
        out.later = out.base;
        out.later.cancelled = true;
        out.change.assign(out.base.resistivity.size(), 0);
        return out;
    }

    // The difference data, on the base's mesh: the same quadripoles give it.
    std::vector<Measurement> difference = common.later;
    for (std::size_t i = 0; i < difference.size(); ++i)
        difference[i].rhoa = common.later[i].rhoa / common.base[i].rhoa * out.base.response[i];
    InversionOptions second = first;
    second.base = out.base.resistivity;
    second.baseBackground = out.base.background;
    second.reference = 0;
    out.later = invert(difference, second, [&](const IterationReport& r) {
        if (progress)
            progress(r, true);
    }, cancel);
    out.change.reserve(out.base.resistivity.size());
    for (std::size_t p = 0; p < out.base.resistivity.size(); ++p)
        out.change.push_back(100 * (out.later.resistivity[p] / out.base.resistivity[p] - 1));
    return out;
}

} // namespace zel::inv
