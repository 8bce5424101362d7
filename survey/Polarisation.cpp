#include "Polarisation.h"

#include "ErrorModel.h"
#include "data/Statistics.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <set>

namespace zel {

namespace {

// How far the rounding of a reading's voltage to its last digit moves it,
// as a share: half a digit of the raw value.
double roundingShare(const MeasurementRecord& r, int channel)
{
    const int raw = std::abs(int(r.U[std::size_t(channel - 1)]));
    return raw > 0 ? 0.5 / raw : 1.0;
}

std::array<long long, 4> keyOf(const InversionDatum& d, const Profile& profile)
{
    return quadripoleKey(*d.value.electrodes, profile);
}

} // namespace

std::vector<int> profileFrequencies(const std::vector<MeasurementRecord>& records,
                                    const std::vector<ChannelValue>& values, const Profile& profile)
{
    std::set<int> held;
    for (const ChannelValue& v : invertibleValues(records, values, profile))
        held.insert(records[std::size_t(v.record)].FreqIndex);
    return {held.begin(), held.end()};
}

std::optional<FrequencyPair> frequencyPairOf(const std::vector<int>& held, const std::optional<FrequencyPair>& chosen)
{
    auto holds = [&](int f) { return std::find(held.begin(), held.end(), f) != held.end(); };
    if (chosen)
        return chosen->low != chosen->high && holds(chosen->low) && holds(chosen->high) ? chosen : std::nullopt;
    if (held.size() < 2)
        return std::nullopt;
    return FrequencyPair{*std::min_element(held.begin(), held.end()), *std::max_element(held.begin(), held.end())};
}

QString frequencyList(const std::vector<int>& frequencies)
{
    QStringList hz;
    for (const int f : frequencies)
        hz << QString::number(frequencyHertz(f).value_or(-1));
    return hz.join(QStringLiteral(", "));
}

std::vector<FrequencyEffect> frequencyEffects(const std::vector<MeasurementRecord>& records,
                                              const std::vector<ChannelValue>& values,
                                              const std::vector<ValueCheck>& checks, const Profile& profile,
                                              const ExportChoice& choice, const FrequencyPair& pair)
{
    ExportChoice at = choice;
    at.frequency = pair.low;
    const std::vector<InversionDatum> low = inversionData(records, values, checks, profile, at);
    at.frequency = pair.high;
    const std::vector<InversionDatum> high = inversionData(records, values, checks, profile, at);
    std::map<std::array<long long, 4>, const InversionDatum*> highOf;
    for (const InversionDatum& d : high)
        highOf.try_emplace(keyOf(d, profile), &d);

    std::vector<FrequencyEffect> effects;
    for (const InversionDatum& l : low) {
        const auto found = highOf.find(keyOf(l, profile));
        if (found == highOf.end())
            continue;
        const InversionDatum& h = *found->second;
        const double rl = *l.value.rhoa, rh = *h.value.rhoa;
        if (rl == 0 || rh == 0 || (rl > 0) != (rh > 0))
            continue;  // no ratio: a reading of no signal or of a swapped wire
        FrequencyEffect e{l, h};
        e.pfe = 100 * (rl - rh) / rh;
        const MeasurementRecord& recordLow = records[std::size_t(l.value.record)];
        const MeasurementRecord& recordHigh = records[std::size_t(h.value.record)];
        e.roundingPoints = 100 * rl / rh * (roundingShare(recordLow, l.value.channel) + roundingShare(recordHigh, h.value.channel));
        if (l.errorPercent && h.errorPercent)
            e.errorPoints = 100 * rl / rh * std::hypot(*l.errorPercent, *h.errorPercent) / 100;
        else
            e.errorPoints = kEffectErrorPoints + kEffectErrorShare * std::abs(e.pfe);
        e.errorPoints = std::max(e.errorPoints, e.roundingPoints / std::numbers::sqrt3);
        e.metalFactor = 2 * std::numbers::pi * 1e3 * e.pfe / rl;
        if (e.roundingPoints >= kEffectRoundingPoints)
            e.flags |= EffectRounding;
        if (e.pfe < -std::max(2 * e.errorPoints, kEffectNegativePoints))
            e.flags |= EffectNegative;
        // The ratio of two readings under other nominal currents holds the
        // currents' own error: the label says what was set, not what flowed.
        if (recordLow.Current != recordHigh.Current)
            e.flags |= EffectOtherCurrents;
        effects.push_back(e);
    }

    // Outliers: within one array shape, ordered by A, against the median of
    // up to two neighbours on each side.
    std::map<std::array<int, 3>, std::vector<std::size_t>> shapes;
    for (std::size_t i = 0; i < effects.size(); ++i) {
        const auto& n = effects[i].low.value.electrodes->number;
        shapes[{n[1] - n[0], n[2] - n[0], n[3] - n[0]}].push_back(i);
    }
    for (auto& [shape, level] : shapes) {
        if (level.size() < 4)
            continue;
        std::stable_sort(level.begin(), level.end(), [&](std::size_t a, std::size_t b) {
            return effects[a].low.value.electrodes->x[0] < effects[b].low.value.electrodes->x[0];
        });
        for (std::size_t p = 0; p < level.size(); ++p) {
            // Four neighbours, two on each side, more on one side at the
            // level's ends: the median of two would follow an outlier.
            const std::size_t from = std::min(p >= 2 ? p - 2 : 0, level.size() >= 5 ? level.size() - 5 : 0);
            std::vector<double> around;
            for (std::size_t q = from; q < from + 5 && q < level.size(); ++q)
                if (q != p)
                    around.push_back(effects[level[q]].pfe);
            FrequencyEffect& e = effects[level[p]];
            const double expected = median(around);
            if (std::abs(e.pfe - expected) > std::max({kEffectOutlierPoints, 3 * e.errorPoints, std::abs(expected) / 2}))
                e.flags |= EffectOutlier;
        }
    }
    return effects;
}

EffectSummary summarizeEffects(const Profile& profile, const FrequencyPair& pair,
                               const std::vector<FrequencyEffect>& effects)
{
    EffectSummary s{profile, pair, int(effects.size())};
    std::vector<double> pfe;
    for (const FrequencyEffect& e : effects) {
        pfe.push_back(e.pfe);
        for (int bit = 0; bit < kEffectFlags; ++bit)
            s.byFlag[std::size_t(bit)] += (e.flags >> bit) & 1u;
    }
    if (!pfe.empty())
        s.medianPfe = median(std::move(pfe));
    return s;
}

QByteArray effectFlagNames(unsigned flags)
{
    static const char* const names[kEffectFlags] = {"outlier", "negative", "rounding", "other-currents"};
    QByteArray out;
    for (int bit = 0; bit < kEffectFlags; ++bit)
        if (flags & (1u << bit))
            out += (out.isEmpty() ? "" : "|") + QByteArray(names[bit]);
    return out;
}

ProfileEffects profileEffects(const std::vector<MeasurementRecord>& records, const std::vector<ChannelValue>& values,
                              const std::vector<ValueCheck>& checks, const std::vector<std::size_t>& indices,
                              const Profile& profile, const std::optional<FrequencyPair>& chosen)
{
    std::vector<ChannelValue> own;
    std::vector<ValueCheck> ownChecks;
    own.reserve(indices.size());
    ownChecks.reserve(indices.size());
    for (const std::size_t i : indices) {
        own.push_back(values[i]);
        ownChecks.push_back(i < checks.size() ? checks[i] : ValueCheck{});
    }
    ProfileEffects out;
    out.pair = frequencyPairOf(profileFrequencies(records, own, profile), chosen);
    if (out.pair)
        out.effects = frequencyEffects(records, own, ownChecks, profile, {}, *out.pair);
    return out;
}

std::vector<std::optional<double>> valueEffects(const std::vector<MeasurementRecord>& records,
                                                const std::vector<ChannelValue>& values,
                                                const std::vector<ValueCheck>& checks,
                                                const std::optional<FrequencyPair>& chosen)
{
    std::vector<std::optional<double>> out(values.size());
    for (const auto& [profile, indices] : valuesByProfile(records, values)) {
        // A profile read at one frequency has no effect: its values are not
        // copied to find that out (most memories are of one frequency).
        const int first = indices.empty() ? 0 : records[std::size_t(values[indices.front()].record)].FreqIndex;
        if (!chosen && std::all_of(indices.begin(), indices.end(), [&](std::size_t i) {
                return records[std::size_t(values[i].record)].FreqIndex == first;
            }))
            continue;
        const ProfileEffects found = profileEffects(records, values, checks, indices, profile, chosen);
        if (!found.pair)
            continue;
        // Every reading of the quadripole at either frequency, repeats too.
        std::map<std::array<long long, 4>, double> effectOf;
        for (const FrequencyEffect& e : found.effects)
            effectOf[keyOf(e.low, profile)] = e.pfe;
        for (const std::size_t i : indices) {
            const MeasurementRecord& r = records[std::size_t(values[i].record)];
            if (r.FreqIndex != found.pair->low && r.FreqIndex != found.pair->high)
                continue;
            if (const auto at = effectOf.find(quadripoleKey(*values[i].electrodes, profile)); at != effectOf.end())
                out[i] = at->second;
        }
    }
    return out;
}

} // namespace zel
