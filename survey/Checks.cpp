#include "Checks.h"

#include "data/Statistics.h"

#include <QList>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <numbers>

namespace zel {

namespace {

using Pair = std::pair<int, int>;
Pair sorted(int a, int b) { return {std::min(a, b), std::max(a, b)}; }

// The values of one profile that are judged, as indices into the values.
void checkProfile(const std::vector<std::size_t>& profile, const std::vector<ChannelValue>& values,
                  const CheckThresholds& t, std::vector<ValueCheck>& checks)
{
    auto numbers = [&](std::size_t i) { return values[i].electrodes->number; };
    // A reading of U = 0 measured nothing: it takes no part in the estimates
    // of its repeats and reciprocals.
    auto measured = [&](std::size_t i) { return *values[i].r != 0; };

    // Repeats: the same A, B, M, N.
    std::map<std::array<int, 4>, std::vector<std::size_t>> repeats;
    for (const std::size_t i : profile)
        if (measured(i))
            repeats[numbers(i)].push_back(i);
    // Of this profile's values only: sized to the memory, it would make the
    // check quadratic in the profiles.
    std::map<std::size_t, double> repeatError;
    for (const auto& [abmn, same] : repeats) {
        if (same.size() < 2)
            continue;
        double mean = 0;
        for (const std::size_t i : same)
            mean += *values[i].r;
        mean /= double(same.size());
        double squares = 0;
        for (const std::size_t i : same)
            squares += (*values[i].r - mean) * (*values[i].r - mean);
        if (mean == 0)
            continue;
        const double percent = std::sqrt(squares / double(same.size() - 1)) / std::abs(mean) * 100;
        for (const std::size_t i : same)
            repeatError[i] = percent;
    }

    // Reciprocals: current and potential pairs swapped, each in either order.
    std::map<std::pair<Pair, Pair>, std::vector<std::size_t>> byPairs;
    for (const std::size_t i : profile) {
        const auto n = numbers(i);
        if (measured(i))
            byPairs[{sorted(n[0], n[1]), sorted(n[2], n[3])}].push_back(i);
    }
    for (const std::size_t i : profile) {
        if (!measured(i))
            continue;
        const auto n = numbers(i);
        const auto found = byPairs.find({sorted(n[2], n[3]), sorted(n[0], n[1])});
        std::optional<double> error;
        if (found != byPairs.end()) {
            double r2 = 0;
            int count = 0;
            for (const std::size_t j : found->second)
                if (j != i)  // an array whose pairs coincide is not its own reciprocal
                    r2 += *values[j].r, ++count;
            const double r1 = *values[i].r;
            if (count > 0) {
                r2 /= count;
                // By reciprocity both resistances have the same sign: a pair of
                // opposite signs has a wire or an electrode swapped.
                if ((r1 > 0) != (r2 > 0))
                    checks[i].flags |= FlagError;
                // The relative error of one reading: the two readings'
                // standard deviation, |r1 - r2| / √2, over their mean.
                const double mean = (r1 + r2) / 2;
                if (mean != 0)
                    error = std::abs(r1 - r2) / std::numbers::sqrt2 / std::abs(mean) * 100;
            }
        }
        if (error)
            checks[i].errorPercent = error;
        else if (const auto repeat = repeatError.find(i); repeat != repeatError.end())
            checks[i].errorPercent = repeat->second;
        if (checks[i].errorPercent && *checks[i].errorPercent > t.maxError)
            checks[i].flags |= FlagError;
    }

    // Spikes: within one array shape, ordered by A.
    std::map<std::array<int, 3>, std::vector<std::size_t>> shapes;
    for (const std::size_t i : profile) {
        const auto n = numbers(i);
        shapes[{n[1] - n[0], n[2] - n[0], n[3] - n[0]}].push_back(i);
    }
    auto positive = [&](std::size_t i) { return values[i].rhoa && *values[i].rhoa > 0; };
    for (auto& [shape, level] : shapes) {
        if (std::count_if(level.begin(), level.end(), positive) < 3)
            continue;
        std::stable_sort(level.begin(), level.end(), [&](std::size_t a, std::size_t b) { return numbers(a)[0] < numbers(b)[0]; });
        for (std::size_t p = 0; p < level.size(); ++p) {
            if (!positive(level[p]))
                continue;
            std::vector<double> around;
            for (std::size_t q = p >= 2 ? p - 2 : 0; q <= p + 2 && q < level.size(); ++q)
                if (q != p && positive(level[q]))
                    around.push_back(*values[level[q]].rhoa);
            if (around.empty())
                continue;
            const double ratio = *values[level[p]].rhoa / median(std::move(around));
            if (ratio > t.spikeFactor || ratio < 1 / t.spikeFactor)
                checks[level[p]].flags |= FlagSpike;
        }
    }
}

} // namespace

std::vector<ValueCheck> checkValues(const std::vector<MeasurementRecord>& records,
                                    const std::vector<ChannelValue>& values, const CheckThresholds& thresholds)
{
    std::vector<ValueCheck> checks(values.size());
    std::map<std::pair<Profile, int>, std::vector<std::size_t>> profiles;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const ChannelValue& v = values[i];
        if (!v.electrodes || !v.r)
            continue;
        const double u = std::abs(*v.u);
        if (u == 0)
            checks[i].flags |= FlagZero;
        else if (u < thresholds.minVoltage)
            checks[i].flags |= FlagLowSignal;
        if (v.rhoa && *v.rhoa < 0)
            checks[i].flags |= FlagNegative;
        const MeasurementRecord& r = records[std::size_t(v.record)];
        profiles[{profileOf(r), r.FreqIndex}].push_back(i);
    }
    // Wiring: the channels of each record against consecutive dipoles.
    std::map<int, std::vector<std::size_t>> byRecord;
    for (std::size_t i = 0; i < values.size(); ++i)
        if (values[i].electrodes && values[i].r)
            byRecord[values[i].record].push_back(i);
    for (const auto& [record, indices] : byRecord) {
        std::vector<const ChannelValue*> channels;
        for (const std::size_t i : indices)
            channels.push_back(&values[i]);
        const std::optional<double> fall = channelFall(channels);
        if (fall && (*fall < kLeastChannelFall || *fall > kMostChannelFall))
            for (const std::size_t i : indices)
                checks[i].flags |= FlagWiring;
    }
    // Each frequency of a profile alone: a quadripole read at two
    // frequencies is two readings, not a repeat whose difference is error.
    for (const auto& [profile, indices] : profiles)
        checkProfile(indices, values, thresholds, checks);
    return checks;
}

std::optional<double> channelFall(const std::vector<const ChannelValue*>& channels)
{
    // Least squares of log |r| on log |k|: the fall is minus its slope.
    std::vector<std::pair<double, double>> points;
    for (const ChannelValue* v : channels)
        if (v->k && v->r && *v->r != 0 && *v->k != 0)
            points.emplace_back(std::log(std::abs(*v->k)), std::log(std::abs(*v->r)));
    if (points.size() < 2)
        return std::nullopt;
    double mk = 0, mr = 0;
    for (const auto& [k, r] : points)
        mk += k, mr += r;
    mk /= double(points.size());
    mr /= double(points.size());
    double skk = 0, skr = 0;
    for (const auto& [k, r] : points)
        skk += (k - mk) * (k - mk), skr += (k - mk) * (r - mr);
    // Factors within 10 % of each other cannot tell a fall from noise.
    constexpr double kLeastSpread = 0.1;
    if (skk < kLeastSpread * kLeastSpread)
        return std::nullopt;
    return -skr / skk;
}

std::vector<CheckSummary> summarizeChecks(const std::vector<MeasurementRecord>& records,
                                          const std::vector<ChannelValue>& values,
                                          const std::vector<ValueCheck>& checks)
{
    std::vector<CheckSummary> out;
    std::map<std::pair<Profile, int>, std::size_t> at;
    std::map<Profile, int> frequencies;
    std::vector<std::vector<double>> errors;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const ChannelValue& v = values[i];
        if (!v.electrodes || !v.r)
            continue;
        const MeasurementRecord& r = records[std::size_t(v.record)];
        const Profile profile = profileOf(r);
        const auto [it, added] = at.try_emplace({profile, r.FreqIndex}, out.size());
        if (added) {
            out.push_back({profile, 0, 0, {}, std::nullopt, r.FreqIndex, false});
            errors.emplace_back();
            ++frequencies[profile];
        }
        CheckSummary& s = out[it->second];
        ++s.values;
        s.flagged += checks[i].flags != 0;
        for (int bit = 0; bit < kCheckFlags; ++bit)
            s.byFlag[std::size_t(bit)] += (checks[i].flags >> bit) & 1u;
        if (checks[i].errorPercent)
            errors[it->second].push_back(*checks[i].errorPercent);
    }
    for (std::size_t p = 0; p < out.size(); ++p) {
        if (!errors[p].empty())
            out[p].medianError = median(std::move(errors[p]));
        out[p].ofSeveralFrequencies = frequencies[out[p].profile] > 1;
    }
    // A profile's frequencies together, the lowest first, the profiles in
    // the order the memory holds them.
    std::map<Profile, std::size_t> firstOf;
    for (std::size_t p = 0; p < out.size(); ++p)
        firstOf.try_emplace(out[p].profile, p);
    std::stable_sort(out.begin(), out.end(), [&](const CheckSummary& a, const CheckSummary& b) {
        return std::pair(firstOf.at(a.profile), a.frequencyIndex) < std::pair(firstOf.at(b.profile), b.frequencyIndex);
    });
    return out;
}

QStringList flagCounts(const CheckSummary& summary, const std::function<QString(CheckFlag)>& nameOf)
{
    QStringList counts;
    for (int bit = 0; bit < kCheckFlags; ++bit)
        counts << QStringLiteral("%1 %2").arg(nameOf(CheckFlag(1u << bit))).arg(summary.byFlag[std::size_t(bit)]);
    return counts;
}

QByteArray flagName(CheckFlag flag)
{
    switch (flag) {
    case FlagZero:
        return "zero";
    case FlagLowSignal:
        return "low-signal";
    case FlagNegative:
        return "negative";
    case FlagSpike:
        return "spike";
    case FlagError:
        return "error";
    case FlagWiring:
        return "wiring";
    }
    return {};
}

QByteArray flagNames(unsigned flags, bool excluded)
{
    static const char* const names[kCheckFlags] = {"zero", "low-signal", "negative", "spike", "error", "wiring"};
    QByteArray out;
    for (int bit = 0; bit < kCheckFlags; ++bit) {
        if (!(flags & (1u << bit)))
            continue;
        if (!out.isEmpty())
            out += '|';
        out += names[bit];
    }
    if (excluded)
        out += out.isEmpty() ? "excluded" : "|excluded";
    return out;
}

QString exclusionsFileOf(const QString& dataFile) { return dataFile + QStringLiteral(".exclude"); }

QByteArray exclusionsText(const Exclusions& exclusions)
{
    QByteArray out = "# ZEL-TERRAVOX: values left out of the inversion files (index channel)\r\n";
    for (const auto& [index, channel] : exclusions)
        out += QByteArray::number(index) + ' ' + QByteArray::number(channel) + "\r\n";
    return out;
}

ExclusionsRead parseExclusions(const QByteArray& text, int records)
{
    ExclusionsRead read;
    // Lines end in CR LF, LF or CR, whichever editor wrote the file; a byte
    // order mark before the first is no part of it.
    QByteArray lf = text.startsWith("\xEF\xBB\xBF") ? text.mid(3) : text;
    lf.replace("\r\n", "\n").replace('\r', '\n');
    const QList<QByteArray> lines = lf.split('\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QByteArray line = lines[n].trimmed();
        if (line.contains('\0'))
            return {{}, int(n + 1)};
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QList<QByteArray> fields = line.simplified().split(' ');
        bool indexOk = false, channelOk = false;
        const int index = fields.size() == 2 ? fields[0].toInt(&indexOk) : 0;
        const int channel = fields.size() == 2 ? fields[1].toInt(&channelOk) : 0;
        if (!indexOk || !channelOk || index < 1 || index > records || channel < 1 || channel > 4)
            return {{}, int(n + 1)};
        read.exclusions.insert({index, channel});
    }
    return read;
}

} // namespace zel
