#include "Exports.h"

#include "ErrorModel.h"
#include "Polarisation.h"

#include "data/DataFile.h"
#include "data/Electrodes.h"

#include "data/ZelError.h"

#include <QDate>
#include <QTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <map>
#include <set>

namespace zel {

namespace {

const QByteArray kCrLf = "\r\n";

void appendInt(QByteArray& out, long long v)
{
    char buf[24];
    out.append(buf, std::to_chars(std::begin(buf), std::end(buf), v).ptr - buf);
}

// The digits of plainDecimal into `buf`; returns their end.
char* writePlainDecimal(char* buf, char* bufEnd, double value, int significant, bool withPoint)
{
    if (!std::isfinite(value))
        return buf;
    const int exponent = value == 0 ? 0 : int(std::floor(std::log10(std::abs(value))));
    const int decimals = std::clamp(significant - 1 - exponent, 1, 30);
    char* end = std::to_chars(buf, bufEnd, value, std::chars_format::fixed, decimals).ptr;
    while (end[-1] == '0')
        --end;
    if (end[-1] == '.') {
        if (withPoint)
            *end++ = '0';
        else
            --end;
    }
    // No "-0": a value that rounds to nothing has no sign.
    if (buf[0] == '-' && std::all_of(buf + 1, end, [](char c) { return c == '0' || c == '.'; })) {
        std::copy(buf + 1, end, buf);
        --end;
    }
    return end;
}

void appendPlainDecimal(QByteArray& out, double value, int significant = 7, bool withPoint = true)
{
    char buf[400];
    out.append(buf, writePlainDecimal(buf, std::end(buf), value, significant, withPoint) - buf);
}

// An electrode position: the shortest plain decimal that reads back to the
// same double, never with an exponent ("1000000.01", "512345.25").
void appendPosition(QByteArray& out, double x, bool withPoint = true)
{
    char buf[400];
    char* end = std::to_chars(std::begin(buf), std::end(buf), x == 0 ? 0.0 : x, std::chars_format::fixed).ptr;
    if (withPoint && std::find(buf, end, '.') == end) {
        *end++ = '.';
        *end++ = '0';
    }
    out.append(buf, end - buf);
}

void appendOptional(QByteArray& out, const std::optional<double>& v)
{
    if (v)
        appendPlainDecimal(out, *v, 7, false);
}

void appendDigits(QByteArray& out, int value, int width)
{
    char buf[12];
    const int n = int(std::to_chars(std::begin(buf), std::end(buf), value).ptr - buf);
    for (int i = n; i < width; ++i)
        out += '0';
    out.append(buf, n);
}

// ISO 8601 without a zone ("2025-12-26T12:22:01"); nothing for a time that cannot be.
void appendIsoTime(QByteArray& out, const MeasurementRecord& r)
{
    if (!QDate::isValid(r.Year, r.Month, r.Day) || !QTime::isValid(r.Hour, r.Minute, r.Second))
        return;
    appendDigits(out, r.Year, 4);
    out += '-';
    appendDigits(out, r.Month, 2);
    out += '-';
    appendDigits(out, r.Day, 2);
    out += 'T';
    appendDigits(out, r.Hour, 2);
    out += ':';
    appendDigits(out, r.Minute, 2);
    out += ':';
    appendDigits(out, r.Second, 2);
}

} // namespace

QByteArray plainDecimal(double value, int significant, bool withPoint)
{
    QByteArray text;
    appendPlainDecimal(text, value, significant, withPoint);
    return text;
}

std::vector<Profile> profilesOf(const std::vector<MeasurementRecord>& records)
{
    std::set<Profile> seen;
    for (const MeasurementRecord& r : records)
        seen.insert(profileOf(r));
    return {seen.begin(), seen.end()};
}

QByteArray csvFile(const std::vector<MeasurementRecord>& records, const std::vector<ChannelValue>& values,
                   const std::vector<ValueCheck>& checks, const std::vector<bool>& excluded)
{
    // Elevations only where a line has a topography: a flat survey keeps its columns.
    const bool elevations = std::any_of(values.begin(), values.end(), [](const ChannelValue& v) {
        return v.electrodes && v.electrodes->z;
    });
    QByteArray out = QByteArray("index,line,file,station,mode,kind,channel,a,b,m,n,xa,xb,xm,xn,")
        + (elevations ? "za,zb,zm,zn," : "") + "u_mV,i_mA,r_ohm,k_m,rhoa_ohmm,depth_m,freq_Hz,pfe_pct,time,err_pct,flags" + kCrLf;
    // The frequency effect of each quadripole read at two frequencies, on
    // the rows of both.
    const std::vector<std::optional<double>> effects = valueEffects(records, values, checks);
    out.reserve(qsizetype(values.size()) * 130 + out.size());
    for (std::size_t n = 0; n < values.size(); ++n) {
        const ChannelValue& v = values[n];
        const MeasurementRecord& r = records[std::size_t(v.record)];
        for (const long long number : {v.record + 1LL, (long long)r.LineNo, (long long)r.FileNo, (long long)r.Station,
                                       (long long)r.Mode, (long long)r.ValueKind, (long long)v.channel}) {
            appendInt(out, number);
            out += ',';
        }
        for (std::size_t j = 0; j < 4; ++j) {
            if (v.electrodes)
                appendInt(out, v.electrodes->number[j]);
            out += ',';
        }
        for (std::size_t j = 0; j < 4; ++j) {
            if (v.electrodes)
                appendPosition(out, v.electrodes->x[j], false);
            out += ',';
        }
        for (std::size_t j = 0; elevations && j < 4; ++j) {
            if (v.electrodes && v.electrodes->z)
                appendPosition(out, (*v.electrodes->z)[j], false);
            out += ',';
        }
        // The voltage with the channel's own decimals, as the table shows it.
        char buf[40];
        out.append(buf, std::to_chars(std::begin(buf), std::end(buf), *v.u, std::chars_format::fixed,
                                      r.Range[v.channel - 1]).ptr - buf);
        out += ',';
        appendOptional(out, v.i);
        out += ',';
        appendOptional(out, v.r);
        out += ',';
        appendOptional(out, v.k);
        out += ',';
        appendOptional(out, v.rhoa);
        out += ',';
        appendOptional(out, v.depth);
        out += ',';
        appendOptional(out, frequencyHertz(r.FreqIndex));
        out += ',';
        appendOptional(out, effects[n]);
        out += ',';
        appendIsoTime(out, r);
        out += ',';
        if (n < checks.size())
            appendOptional(out, checks[n].errorPercent);
        out += ',';
        out += flagNames(n < checks.size() ? checks[n].flags : 0, n < excluded.size() && excluded[n]);
        out += kCrLf;
    }
    return out;
}

std::vector<ChannelValue> invertibleValues(const std::vector<MeasurementRecord>& records,
                                           const std::vector<ChannelValue>& values, const Profile& profile)
{
    std::vector<ChannelValue> out;
    for (const ChannelValue& v : values)
        // U = 0 exactly is no measurement: nothing for an inversion to fit.
        if (v.electrodes && v.r && v.k && *v.u != 0 && profile.holds(profileOf(records[std::size_t(v.record)])))
            out.push_back(v);
    return out;
}

namespace {

bool invertible(const ChannelValue& v) { return v.electrodes && v.r && v.k && *v.u != 0; }

// The error a reading without an estimate of its own is taken to have when
// readings of one quadripole are compared, %: the default error of a value.
constexpr double kLeastAgreement = CheckThresholds{}.defaultError;

// The invertible values of each profile, as indices into the values, found
// in one pass: a memory of thousands of profiles is not searched once a profile.
std::map<Profile, std::vector<std::size_t>> invertibleByProfile(const std::vector<MeasurementRecord>& records,
                                                                const std::vector<ChannelValue>& values)
{
    std::map<Profile, std::vector<std::size_t>> by;
    for (std::size_t n = 0; n < values.size(); ++n) {
        if (!invertible(values[n]))
            continue;
        by[profileOf(records[std::size_t(values[n].record)])].push_back(n);
    }
    return by;
}

// The data of the invertible values at `indices`. Along a whole line the
// files' positions are taken to the millimetre, so that one electrode place
// of two spreads is one place, and a quadripole measured in two spreads has
// the spread of its readings for its error.
std::vector<InversionDatum> inversionDataOf(const std::vector<MeasurementRecord>& records,
                                            const std::vector<ChannelValue>& values,
                                            const std::vector<ValueCheck>& checks,
                                            const std::vector<std::size_t>& indices, const Profile& profile,
                                            const ExportChoice& choice)
{
    std::vector<InversionDatum> data;
    std::vector<int> counts;
    std::vector<double> squares;  // Σ r² of each datum's readings
    std::map<std::array<long long, 4>, std::size_t> datumOf;
    // One frequency: the one chosen, else the lowest the profile holds. Two
    // frequencies of one quadripole are two readings, never a repeat.
    int frequency = choice.frequency.value_or(std::numeric_limits<int>::max());
    if (!choice.frequency)
        for (const std::size_t n : indices)
            frequency = std::min<int>(frequency, records[std::size_t(values[n].record)].FreqIndex);
    for (const std::size_t n : indices) {
        ChannelValue v = values[n];
        if (records[std::size_t(v.record)].FreqIndex != frequency)
            continue;
        if (choice.exclusions.count(keyOf(v)) || (choice.dropFlagged && checks[n].flags != 0))
            continue;
        if (profile.wholeLine())
            for (double& x : v.electrodes->x)
                x = double(millimetres(x)) * kSamePosition;
        const auto [at, added] = datumOf.try_emplace(quadripoleKey(*v.electrodes, profile), data.size());
        if (added) {
            data.push_back({v, checks[n].errorPercent});
            counts.push_back(1);
            squares.push_back(*v.r * *v.r);
            continue;
        }
        // A repeat: its sums now, the means below.
        InversionDatum& d = data[at->second];
        *d.value.r += *v.r;
        *d.value.u += *v.u;
        if (d.value.i && v.i)
            *d.value.i += *v.i;
        if (checks[n].errorPercent)
            d.errorPercent = std::max(d.errorPercent.value_or(0), *checks[n].errorPercent);
        ++counts[at->second];
        squares[at->second] += *v.r * *v.r;
    }
    for (std::size_t j = 0; j < data.size(); ++j) {
        if (counts[j] == 1)
            continue;
        ChannelValue& v = data[j].value;
        const double c = counts[j];
        *v.r /= c;
        *v.u /= c;
        if (v.i)
            *v.i /= c;
        v.rhoa = *v.k * *v.r;
        if (profile.wholeLine() && *v.r != 0) {
            // The readings' standard deviation, as a share of their mean:
            // the error of the mean where the readings agree within three
            // times their own errors; beyond, the spreads disagree (placed
            // wrongly, a bad electrode) and the datum says so rather than
            // taking an error wide enough to fit anything.
            const double spread = 100 * std::sqrt(std::max(0.0, (squares[j] - c * *v.r * *v.r) / (c - 1))) / std::abs(*v.r);
            const double own = std::max(data[j].errorPercent.value_or(0), kLeastAgreement);
            if (spread > 3 * own)
                data[j].disagrees = true;
            else
                data[j].errorPercent = std::max(data[j].errorPercent.value_or(0), spread);
        }
    }
    // Values without an estimate of their own take the profile's error
    // model, where its repeats and reciprocals are enough to fit one.
    if (const std::optional<ErrorModel> model = fitErrorModel(errorPairs(records, values, indices, profile)))
        for (InversionDatum& d : data)
            if (!d.errorPercent)
                d.errorPercent = model->percentAt(*d.value.r);
    return data;
}

// The frequency effects of a profile's file data, where the profile was
// read at two frequencies or more, the data are of the lowest of the pair
// and every one of them was read at the highest too: a Res2DInv file holds
// an IP value for every datum or for none.
std::optional<FileEffects> effectsOf(const std::vector<MeasurementRecord>& records, const std::vector<ChannelValue>& values,
                                     const std::vector<ValueCheck>& checks, const Profile& profile,
                                     const ExportChoice& choice, const std::vector<InversionDatum>& data)
{
    const std::optional<FrequencyPair> pair = frequencyPairOf(profileFrequencies(records, values, profile), std::nullopt);
    if (!pair || (choice.frequency && *choice.frequency != pair->low))
        return std::nullopt;
    std::map<std::array<long long, 4>, double> effectOf;
    for (const FrequencyEffect& e : frequencyEffects(records, values, checks, profile, choice, *pair))
        effectOf[quadripoleKey(*e.low.value.electrodes, profile)] = e.pfe;
    FileEffects effects{{}, *frequencyHertz(pair->low), *frequencyHertz(pair->high)};
    for (const InversionDatum& d : data) {
        const auto found = effectOf.find(quadripoleKey(*d.value.electrodes, profile));
        if (found == effectOf.end())
            return std::nullopt;
        effects.pfe.push_back(found->second);
    }
    return effects;
}

} // namespace

std::vector<InversionDatum> inversionData(const std::vector<MeasurementRecord>& records,
                                          const std::vector<ChannelValue>& values,
                                          const std::vector<ValueCheck>& checks, const Profile& profile,
                                          const ExportChoice& choice)
{
    std::vector<std::size_t> indices;
    for (std::size_t n = 0; n < values.size(); ++n)
        if (invertible(values[n]) && profile.holds(profileOf(records[std::size_t(values[n].record)])))
            indices.push_back(n);
    return inversionDataOf(records, values, checks, indices, profile, choice);
}

ZelError notInData(const Profile& profile)
{
    if (profile.wholeLine())
        return ZelError(ErrorId::LineNotInData, {QString::number(profile.line)});
    return ZelError(ErrorId::ProfileNotInData, {QString::number(profile.line), QString::number(profile.file)});
}

std::vector<Profile> profileChoices(const std::vector<Profile>& profiles)
{
    std::vector<Profile> out;
    out.reserve(profiles.size());
    for (std::size_t i = 0; i < profiles.size(); ++i) {
        if ((i == 0 || profiles[i - 1].line != profiles[i].line) && i + 1 < profiles.size()
            && profiles[i + 1].line == profiles[i].line)
            out.push_back({profiles[i].line, Profile::kWholeLine});
        out.push_back(profiles[i]);
    }
    return out;
}

void requirePlacedSpreads(const std::vector<MeasurementRecord>& records, const SurveyGeometry& geometry,
                       const Profile& profile)
{
    if (!profile.wholeLine()) {
        geometry.of(profile).requireTapeFitsGround(profile);
        return;
    }
    std::optional<std::pair<Profile, double>> first;
    std::map<long long, Profile> placedAt;  // each spread's X0, mm
    std::vector<Profile> files;
    for (const Profile& p : profilesOf(records))
        if (profile.holds(p))
            files.push_back(p);
    for (const Profile& p : files) {
        geometry.of(p).requireTapeFitsGround(p);
        const auto own = geometry.lines.find(p);
        if (files.size() > 1) {
            if (own == geometry.lines.end() || !own->second.x0)
                throw ZelError(ErrorId::WholeLineNotPlaced, {QString::number(p.line), QString::number(p.file)});
            const auto [at, added] = placedAt.emplace(millimetres(*own->second.x0), p);
            if (!added)
                throw ZelError(ErrorId::WholeLineOnePlace, {QString::number(p.line), QString::number(at->second.file),
                                                            QString::number(p.file),
                                                            QString::fromLatin1(plainDecimal(*own->second.x0, 7, false))});
        }
        const double spacing = geometry.of(p).spacing;
        if (!first) {
            first.emplace(p, spacing);
        } else if (std::abs(spacing - first->second) > 1e-9 * first->second) {
            auto metres = [](double v) { return QString::fromLatin1(plainDecimal(v, 7, false)); };
            throw ZelError(ErrorId::WholeLineSpacing, {QString::number(p.line), QString::number(p.file), metres(spacing),
                                                       QString::number(first->first.file), metres(first->second)});
        }
    }
}

std::vector<InversionDatum> asData(const std::vector<ChannelValue>& values)
{
    std::vector<InversionDatum> data;
    data.reserve(values.size());
    for (const ChannelValue& v : values)
        data.push_back({v, std::nullopt});
    return data;
}

namespace {

// The distinct electrodes of inversion data by position, with their
// elevations where the line has a topography.
std::map<double, std::optional<double>> electrodesOf(const std::vector<InversionDatum>& data)
{
    std::map<double, std::optional<double>> electrodes;
    for (const InversionDatum& d : data)
        for (std::size_t j = 0; j < 4; ++j) {
            const ArrayElectrodes& e = *d.value.electrodes;
            electrodes.emplace(e.x[j], e.z ? std::optional((*e.z)[j]) : std::nullopt);
        }
    return electrodes;
}

} // namespace

QByteArray res2dinvFile(const Profile& profile, const std::vector<InversionDatum>& data, const FileEffects* effects)
{
    const std::map<double, std::optional<double>> electrodes = electrodesOf(data);
    // The unit spacing: the smallest gap between distinct electrode positions.
    double unit = 0;
    for (auto it = electrodes.begin(); it != electrodes.end() && std::next(it) != electrodes.end(); ++it)
        if (const double gap = std::next(it)->first - it->first; unit == 0 || gap < unit)
            unit = gap;
    const bool topography = !electrodes.empty() && electrodes.begin()->second.has_value();

    QByteArray out = "ZEL-TERRAVOX line " + QByteArray::number(profile.line)
        + (profile.wholeLine() ? QByteArray(", all files") : " file " + QByteArray::number(profile.file)) + kCrLf;
    out += plainDecimal(unit) + kCrLf;
    out += "11" + kCrLf + "0" + kCrLf;
    out += "Type of measurement (0=app. resistivity,1=resistance)" + kCrLf + "1" + kCrLf;
    out += QByteArray::number(qsizetype(data.size())) + kCrLf;
    // x-locations are true horizontal distances.
    out += "2" + kCrLf;
    if (effects) {
        out += "1" + kCrLf + "Frequency effect" + kCrLf + "%" + kCrLf;
        out += plainDecimal(effects->lowHertz, 7, false) + ',' + plainDecimal(effects->highHertz, 7, false) + kCrLf;
    } else {
        out += "0" + kCrLf;
    }
    for (std::size_t n = 0; n < data.size(); ++n) {
        out += '4';
        for (const double x : data[n].value.electrodes->x) {
            out += ' ';
            appendPosition(out, x);
            out += " 0.0";
        }
        out += ' ';
        appendPlainDecimal(out, *data[n].value.r);
        if (effects) {
            out += ' ';
            out += plainDecimal(effects->pfe[n], 6);
        }
        out += kCrLf;
    }
    if (topography) {
        // The elevations of the electrodes in a list of their own, at the
        // same true horizontal distances as the data.
        out += "Topography in separate list" + kCrLf + "2" + kCrLf;
        out += QByteArray::number(qsizetype(electrodes.size())) + kCrLf;
        for (const auto& [x, z] : electrodes) {
            appendPosition(out, x);
            out += ' ';
            appendPosition(out, *z);
            out += kCrLf;
        }
        out += "1" + kCrLf;  // the first electrode of the list is the first of the line
    } else {
        out += "0" + kCrLf;
    }
    out += "0" + kCrLf + "0" + kCrLf + "0" + kCrLf;
    return out;
}

QByteArray ohmFile(const std::vector<InversionDatum>& data, double defaultErrorPercent, double minErrorPercent)
{
    const std::map<double, std::optional<double>> electrodes = electrodesOf(data);
    std::vector<double> positions;
    positions.reserve(electrodes.size());
    for (const auto& e : electrodes)
        positions.push_back(e.first);
    auto indexOf = [&](double x) {
        return long(std::lower_bound(positions.begin(), positions.end(), x) - positions.begin()) + 1;
    };

    QByteArray out = QByteArray::number(qsizetype(positions.size())) + "# Number of electrodes" + kCrLf;
    out += "# x z" + kCrLf;
    for (const auto& [x, z] : electrodes) {
        appendPosition(out, x);
        out += ' ';
        if (z)
            appendPosition(out, *z);
        else
            out += "0.0";
        out += kCrLf;
    }
    out += QByteArray::number(qsizetype(data.size())) + "# Number of data" + kCrLf;
    out += "# a b m n r u/mV i/mA k rhoa err" + kCrLf;
    for (const InversionDatum& d : data) {
        const ChannelValue& v = d.value;
        for (const double x : v.electrodes->x) {
            appendInt(out, indexOf(x));
            out += ' ';
        }
        for (const double x : {*v.r, *v.u, *v.i, *v.k, *v.rhoa}) {
            appendPlainDecimal(out, x);
            out += ' ';
        }
        // The relative error as a fraction, as pyGIMLi reads the column err.
        appendPlainDecimal(out, d.errorFraction(defaultErrorPercent, minErrorPercent));
        out += kCrLf;
    }
    out += "0" + kCrLf;
    return out;
}

SurveyExportContents surveyExportContents(SurveyFormat format, const std::vector<MeasurementRecord>& records,
                                          const SurveyGeometry& geometry, std::optional<Profile> chosen,
                                          const ExportChoice& choice)
{
    const std::vector<ChannelValue> values = surveyValues(records, geometry);
    const std::vector<ValueCheck> checks = checkValues(records, values, geometry.thresholds);
    const std::vector<Profile> all = profilesOf(records);
    if (chosen && std::none_of(all.begin(), all.end(), [&](const Profile& p) { return chosen->holds(p); }))
        throw notInData(*chosen);
    if (chosen)
        requirePlacedSpreads(records, geometry, *chosen);
    if (format == SurveyFormat::Csv && !chosen) {
        std::vector<bool> excluded(values.size());
        if (!choice.exclusions.empty())
            for (std::size_t n = 0; n < values.size(); ++n)
                excluded[n] = choice.exclusions.count(keyOf(values[n])) > 0;
        return {{{std::nullopt, csvFile(records, values, checks, excluded)}}};
    }
    if (format == SurveyFormat::Csv) {
        std::vector<ChannelValue> shown;
        std::vector<ValueCheck> shownChecks;
        std::vector<bool> excluded;
        for (std::size_t n = 0; n < values.size(); ++n) {
            if (chosen && !chosen->holds(profileOf(records[std::size_t(values[n].record)])))
                continue;
            shown.push_back(values[n]);
            shownChecks.push_back(checks[n]);
            excluded.push_back(choice.exclusions.count(keyOf(values[n])) > 0);
        }
        return {{{std::nullopt, csvFile(records, shown, shownChecks, excluded)}}};
    }

    auto byProfile = invertibleByProfile(records, values);
    if (chosen && chosen->wholeLine()) {
        std::vector<std::size_t>& line = byProfile[*chosen];
        for (const auto& [p, indices] : byProfile)
            if (chosen->holds(p) && p != *chosen)
                line.insert(line.end(), indices.begin(), indices.end());
        std::sort(line.begin(), line.end());
    }
    std::vector<std::pair<Profile, std::vector<InversionDatum>>> profiles;
    int candidates = 0, excluded = 0, flagged = 0;
    for (const Profile& p : chosen ? std::vector<Profile>{*chosen} : all) {
        const auto found = byProfile.find(p);
        if (found == byProfile.end())
            continue;
        for (const std::size_t n : found->second) {
            ++candidates;
            if (choice.exclusions.count(keyOf(values[n])))
                ++excluded;
            else if (choice.dropFlagged && checks[n].flags != 0)
                ++flagged;
        }
        if (std::vector<InversionDatum> d = inversionDataOf(records, values, checks, found->second, p, choice); !d.empty())
            profiles.emplace_back(p, std::move(d));
    }
    // Values there were, but the user left every one out: say so, and how.
    if (profiles.empty() && candidates > 0)
        throw ZelError(ErrorId::EverythingLeftOut,
                       {QString::number(candidates), QString::number(excluded), QString::number(flagged)});
    if (profiles.empty())
        throw ZelError(ErrorId::NoPositions);

    SurveyExportContents contents;
    for (const auto& [profile, ofProfile] : profiles) {
        if (format == SurveyFormat::Res2DInv) {
            const std::optional<FileEffects> effects = effectsOf(records, values, checks, profile, choice, ofProfile);
            contents.files.emplace_back(profile, res2dinvFile(profile, ofProfile, effects ? &*effects : nullptr));
        } else {
            contents.files.emplace_back(profile, ohmFile(ofProfile, geometry.thresholds.defaultError, geometry.thresholds.minError));
        }
    }
    return contents;
}

QList<std::pair<QString, QByteArray>> exportFiles(const SurveyExportContents& contents, const QString& out)
{
    QList<std::pair<QString, QByteArray>> files;
    const QFileInfo target(out);
    for (const auto& [profile, bytes] : contents.files) {
        const QString path = contents.files.size() == 1 || !profile
            ? out
            : target.dir().filePath(QStringLiteral("%1_L%2_F%3")
                                        .arg(target.completeBaseName())
                                        .arg(profile->line)
                                        .arg(profile->file)
                                    + (target.suffix().isEmpty() ? QString() : QLatin1Char('.') + target.suffix()));
        files.append({path, bytes});
    }
    return files;
}

QList<std::pair<QString, QByteArray>> surveyExport(SurveyFormat format, const std::vector<MeasurementRecord>& records,
                                                   const SurveyGeometry& geometry, std::optional<Profile> chosen,
                                                   const QString& out, const ExportChoice& choice)
{
    return exportFiles(surveyExportContents(format, records, geometry, chosen, choice), out);
}

QStringList writeExportFiles(const QList<std::pair<QString, QByteArray>>& files, const std::atomic<bool>* cancel)
{
    if (cancel && *cancel)
        throw ExportStopped();
    if (files.size() == 1) {
        writeWholeFile(files.at(0).first, files.at(0).second);
        return {files.at(0).first};
    }
    // Each file into a temporary file beside it, closed at once (a memory of
    // a thousand profiles would hold a thousand files open otherwise); the
    // temporary files go again if any one cannot be written.
    for (const auto& [path, bytes] : files) {
        const QFileInfo target(path);
        if (target.exists() && !target.isFile())
            throw ZelError(ErrorId::NotRegularFile, {QDir::toNativeSeparators(path)});
    }
    // One run at a time writes a set into one place: a second waits a
    // little, then is refused rather than mixing its files with the first's.
    QLockFile lock(files.at(0).first + QStringLiteral(".lock"));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(3000))
        throw ZelError(ErrorId::CannotCreateFile,
                       {QDir::toNativeSeparators(files.at(0).first),
                        lock.error() == QLockFile::LockFailedError ? QStringLiteral("another run is writing these files")
                                                                   : QStringLiteral("its lock file cannot be made")});
    QStringList staged;
    auto discard = [&] {
        for (const QString& t : staged)
            QFile::remove(t);
    };
    try {
        for (const auto& [path, bytes] : files) {
            QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
            file.setAutoRemove(false);
            const QString name = QDir::toNativeSeparators(path);
            if (!file.open())
                throw ZelError(ErrorId::CannotCreateFile, {name, file.errorString()});
            staged << file.fileName();
            errno = 0;
            if (file.write(bytes) != bytes.size() || !file.flush())
                throw ZelError(ErrorId::WriteError, {name, writeFailure(file, errno)});
            // A temporary file is the owner's alone: the file put in place
            // keeps the permissions of the one it replaces, else the usual ones.
            const QFileInfo old(path);
            file.setPermissions(old.exists() ? old.permissions()
                                             : QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser
                                                   | QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther);
            errno = 0;
            file.close();
            if (file.error() != QFileDevice::NoError)
                throw ZelError(ErrorId::WriteError, {name, writeFailure(file, errno)});
            if (cancel && *cancel)
                throw ExportStopped();
        }
        QStringList written;
        for (qsizetype n = 0; n < files.size(); ++n) {
            const QString& path = files.at(n).first;
            if (QFile::exists(path) && !QFile::remove(path))
                throw ZelError(ErrorId::CannotCreateFile, {QDir::toNativeSeparators(path), QString()});
            QFile moved(staged.at(n));
            if (!moved.rename(path))
                throw ZelError(ErrorId::WriteError, {QDir::toNativeSeparators(path), moved.errorString()});
            written << path;
        }
        return written;
    } catch (...) {
        discard();
        throw;
    }
}

} // namespace zel
