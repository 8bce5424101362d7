#include "Sounding.h"

#include "Input.h"

#include "data/Electrodes.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace zel {

SoundingInput soundingInput(const std::vector<MeasurementRecord>& records, const SurveyGeometry& geometry,
                            const Profile& profile, const ExportChoice& choice)
{
    const std::vector<ChannelValue> values = surveyValues(records, geometry);
    const std::vector<ValueCheck> checks = checkValues(records, values, geometry.thresholds);
    const std::vector<InversionDatum> data = inversionData(records, values, checks, profile, choice);
    SoundingInput out;
    out.what = profileName(profile);
    if (data.empty())
        throw SoundingRefused(out.what.toStdString() + ": no value with electrode positions, current and voltage");
    const auto& first = data.front().value.electrodes->x;
    out.centre = (first[0] + first[1]) / 2;
    std::set<long long> spacings;
    for (const InversionDatum& d : data) {
        const auto& x = d.value.electrodes->x;
        const double ab = (x[0] + x[1]) / 2, mn = (x[2] + x[3]) / 2;
        if (std::abs(ab - out.centre) > kSamePosition || std::abs(mn - out.centre) > kSamePosition)
            throw SoundingRefused(out.what.toStdString() + ": the quadripole A " + std::to_string(d.value.electrodes->number[0])
                                  + " B " + std::to_string(d.value.electrodes->number[1]) + " M "
                                  + std::to_string(d.value.electrodes->number[2]) + " N "
                                  + std::to_string(d.value.electrodes->number[3])
                                  + " is not centred where the first one is: not a sounding");
        if (!(*d.value.rhoa > 0))
            continue;  // a reading of a swapped wire: no layered earth gives it
        out.data.push_back({{x[0] - out.centre, x[1] - out.centre, x[2] - out.centre, x[3] - out.centre},
                            *d.value.rhoa,
                            d.errorFraction(geometry.thresholds.defaultError, geometry.thresholds.minError)});
        spacings.insert(std::llround(std::abs(x[1] - x[0]) / 2 / kSamePosition));
    }
    if (spacings.size() < 3)
        throw SoundingRefused(out.what.toStdString() + ": fewer than three spacings AB/2: not a sounding");
    std::sort(out.data.begin(), out.data.end(), [](const inv::SoundingDatum& a, const inv::SoundingDatum& b) {
        return std::pair(std::abs(a.x[1] - a.x[0]), std::abs(a.x[3] - a.x[2]))
            < std::pair(std::abs(b.x[1] - b.x[0]), std::abs(b.x[3] - b.x[2]));
    });
    return out;
}

} // namespace zel
