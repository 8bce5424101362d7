#include "TimeLapse.h"

#include "data/Electrodes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>

namespace zel::inv {

namespace {

std::array<long long, 4> placeOf(const Measurement& m)
{
    std::array<long long, 4> key{};
    for (std::size_t j = 0; j < 4; ++j)
        key[j] = millimetres(m.x[j]);
    return key;
}

std::string metres(double x)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g m", x);
    return text;
}

// The spacing of a reading's electrodes: the least distance between two, m.
double electrodeSpacing(const std::vector<Measurement>& data)
{
    const std::vector<double> x = electrodesOf(data);
    double least = 0;
    for (std::size_t i = 1; i < x.size(); ++i)
        if (x[i] - x[i - 1] > kSamePosition && (least == 0 || x[i] - x[i - 1] < least))
            least = x[i] - x[i - 1];
    return least;
}

bool usable(const Measurement& m)
{
    return m.rhoa >= kLeastRhoa && m.rhoa <= kLargestRhoa && std::isfinite(m.k) && m.k != 0;
}

} // namespace

CommonData commonData(const std::vector<Measurement>& base, const std::vector<Measurement>& later)
{
    CommonData out;
    std::map<std::array<long long, 4>, std::size_t> laterAt;
    for (std::size_t i = 0; i < later.size(); ++i) {
        if (usable(later[i]))
            laterAt.emplace(placeOf(later[i]), i);
        else
            ++out.unusableLater;
    }
    const std::size_t laterUsable = laterAt.size();
    for (const Measurement& m : base) {
        if (!usable(m)) {
            ++out.unusableBase;
            continue;
        }
        const auto found = laterAt.find(placeOf(m));
        if (found == laterAt.end()) {
            ++out.unmatchedBase;
            continue;
        }
        out.base.push_back(m);
        out.later.push_back(later[found->second]);
        laterAt.erase(found);  // a quadripole pairs once
    }
    out.unmatchedLater = laterUsable - out.later.size();
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
    if (!base.empty() && common.unusableBase == base.size())
        throw InversionRefused("the first reading has no value to take: every apparent resistivity is at most 0 or out of range");
    if (!later.empty() && common.unusableLater == later.size())
        throw InversionRefused("the later reading has no value to take: every apparent resistivity is at most 0 or out of range");
    const double spacingBase = electrodeSpacing(base), spacingLater = electrodeSpacing(later);
    if (std::abs(spacingBase - spacingLater) > kSamePosition)
        throw InversionRefused("the readings' electrodes lie at other spacings (" + metres(spacingBase) + " and "
                               + metres(spacingLater) + "): they are not one placing of the line");
    const std::size_t usableBase = base.size() - common.unusableBase, usableLater = later.size() - common.unusableLater;
    if (common.base.size() >= 4 && (2 * common.base.size() < usableBase || 2 * common.later.size() < usableLater))
        throw InversionRefused("the readings share only " + std::to_string(common.base.size()) + " quadripoles ("
                               + std::to_string(common.unmatchedBase) + " of " + std::to_string(usableBase)
                               + " of the first reading and " + std::to_string(common.unmatchedLater) + " of "
                               + std::to_string(usableLater)
                               + " of the later are the other's not): the line is placed otherwise in one of them");
    if (common.base.size() < 4)
        throw InversionRefused("the two readings have fewer than 4 quadripoles in common (" + std::to_string(common.base.size())
                               + "; " + std::to_string(common.unmatchedBase) + " of the first reading and "
                               + std::to_string(common.unmatchedLater) + " of the later unmatched)");
    TimeLapseResult out;
    out.unmatchedBase = common.unmatchedBase;
    out.unmatchedLater = common.unmatchedLater;
    InversionOptions first = options;
    first.base.clear();
    if (!options.elevations.empty()) {
        // The heights of the electrodes the common quadripoles use, of those given for the later reading's.
        const std::vector<double> given = electrodesOf(later), used = electrodesOf(common.base);
        first.elevations.clear();
        for (const double x : used) {
            const auto at = std::lower_bound(given.begin(), given.end(), x - kSamePosition);
            if (at == given.end() || std::abs(*at - x) > kSamePosition || std::size_t(at - given.begin()) >= options.elevations.size())
                throw InversionRefused("no height is given for the electrode at " + metres(x) + " of the first reading");
            first.elevations.push_back(options.elevations[std::size_t(at - given.begin())]);
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
    // Each quadripole's response of the base model is found by its place:
    // the inversion keeps, merges or orders its data its own way.
    std::map<std::array<long long, 4>, double> responseAt;
    for (std::size_t j = 0; j < out.base.data.size() && j < out.base.response.size(); ++j)
        responseAt.emplace(placeOf(out.base.data[j]), out.base.response[j]);
    std::vector<Measurement> difference;
    difference.reserve(common.later.size());
    for (std::size_t i = 0; i < common.later.size(); ++i) {
        const auto found = responseAt.find(placeOf(common.base[i]));
        if (found == responseAt.end())
            continue;
        difference.push_back(common.later[i]);
        difference.back().rhoa = common.later[i].rhoa / common.base[i].rhoa * found->second;
    }
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
