#include "Plots.h"

#include "Polarisation.h"

#include <map>
#include <set>

namespace zel {

ProfileGraph profileGraph(const std::vector<MeasurementRecord>& records, ProfileValue value, bool logarithmic,
                          bool allRecords, const std::optional<Profile>& only)
{
    ProfileGraph graph;
    const auto shown = [&only](const MeasurementRecord& r) {
        return !only || only->holds(profileOf(r));
    };
    std::map<std::tuple<int, int, int>, std::size_t> curveOf;  // line, file, channel
    for (const ChannelValue& v : surveyValues(records, SurveyGeometry())) {
        const MeasurementRecord& r = records[std::size_t(v.record)];
        if ((!allRecords && r.Mode > 9) || !shown(r))
            continue;
        const std::optional<double> y = value == ProfileValue::U ? v.u : v.r;
        if (!y)
            continue;
        if (logarithmic && *y <= 0) {
            ++graph.leftOut;
            continue;
        }
        const auto key = std::make_tuple(int(r.LineNo), int(r.FileNo), v.channel);
        auto [it, added] = curveOf.try_emplace(key, graph.curves.size());
        if (added) {
            ProfileCurve c;
            c.profile = profileOf(r);
            c.channel = v.channel;
            c.legend = QStringLiteral("L%1 F%2 ch%3").arg(r.LineNo).arg(r.FileNo).arg(v.channel);
            graph.curves.push_back(std::move(c));
        }
        graph.curves[it->second].points.push_back({double(r.Station), *y, v.record, r.ValueKind});
    }
    for (const MeasurementRecord& r : records)
        if (r.Mode >= 1 && r.Mode <= 8 && shown(r))
            graph.marks.push_back({double(r.Station), r.Mode});
    return graph;
}

std::vector<Profile> pseudosectionProfiles(const std::vector<MeasurementRecord>& records)
{
    std::vector<MeasurementRecord> withPositions;
    for (const MeasurementRecord& r : records)
        if (carriesElectrodes(r.Mode))
            withPositions.push_back(r);
    return profilesOf(withPositions);
}

Pseudosection pseudosection(const std::vector<MeasurementRecord>& records, const SurveyGeometry& geometry,
                            const Profile& profile, const Exclusions& exclusions, PseudoValue shown)
{
    Pseudosection s;
    s.profile = profile;
    s.shown = shown;
    // The profile's own spacing and x0 in its caption; a whole line's are its first file's.
    s.geometry = geometry.of(profile);
    if (profile.wholeLine())
        for (const Profile& p : profilesOf(records))
            if (profile.holds(p)) {
                s.geometry = geometry.of(p);
                break;
            }
    std::set<double> electrodes;
    const std::vector<ChannelValue> values = surveyValues(records, geometry);
    const std::vector<ValueCheck> checks = checkValues(records, values, geometry.thresholds);
    // The frequency effect and metal factor of each low-frequency reading.
    std::map<ValueKey, std::pair<double, double>> effectOf;
    std::optional<int> low;
    if (shown != PseudoValue::Rhoa)
        if (const auto pair = frequencyPairOf(profileFrequencies(records, values, profile), std::nullopt)) {
            low = pair->low;
            for (const FrequencyEffect& e : frequencyEffects(records, values, checks, profile, {}, *pair))
                effectOf[keyOf(e.low.value)] = {e.pfe, e.metalFactor};
        }
    for (std::size_t n = 0; n < values.size(); ++n) {
        const ChannelValue& v = values[n];
        const MeasurementRecord& r = records[std::size_t(v.record)];
        if (!v.electrodes || !profile.holds(profileOf(r)) || (shown != PseudoValue::Rhoa && low && r.FreqIndex != *low))
            continue;
        const int index = int(s.values.size());
        s.values.push_back(v);
        s.flags.push_back(checks[n].flags);
        s.excluded.push_back(exclusions.count(keyOf(v)) > 0);
        const auto& x = v.electrodes->x;
        electrodes.insert(x.begin(), x.end());
        std::optional<double> value = v.rhoa;
        if (shown != PseudoValue::Rhoa) {
            const auto found = effectOf.find(keyOf(v));
            value = found == effectOf.end() ? std::nullopt
                : std::optional(shown == PseudoValue::Pfe ? found->second.first : found->second.second);
        }
        // An apparent resistivity of 0 measured nothing; an effect of 0 is
        // ground without one.
        if (!value || !v.depth || (shown == PseudoValue::Rhoa && *value == 0)) {
            ++s.leftOut;
            continue;
        }
        const PseudosectionPoint p{((x[0] + x[1]) / 2 + (x[2] + x[3]) / 2) / 2, *v.depth, *value, index};
        (*value >= 0 ? s.points : s.negative).push_back(p);
    }
    s.electrodes.assign(electrodes.begin(), electrodes.end());
    return s;
}

} // namespace zel
