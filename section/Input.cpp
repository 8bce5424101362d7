#include "Input.h"

#include "texts/Texts.h"

#include "data/ZelError.h"
#include "inversion/Files.h"
#include "survey/Checks.h"
#include "survey/Values.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <iterator>

namespace zel {

namespace {

// The module's texts: translated in the context of the namespace.
QString tr(const char* text) { return QCoreApplication::translate("zel", text); }

} // namespace

std::vector<inv::Measurement> measurementsOf(const std::vector<InversionDatum>& data, double defaultErrorPercent,
                                             double minErrorPercent)
{
    std::vector<inv::Measurement> out;
    out.reserve(data.size());
    for (std::size_t n = 0; n < data.size(); ++n) {
        const InversionDatum& d = data[n];
        const ChannelValue& v = d.value;
        if (!v.electrodes || !v.k || !v.rhoa)
            continue;
        inv::Measurement m;
        m.tag = int(n);
        m.x = v.electrodes->x;
        m.k = *v.k;
        m.rhoa = *v.rhoa;
        m.error = d.errorFraction(defaultErrorPercent, minErrorPercent);
        m.voltage = v.u ? std::abs(*v.u) : 0;
        m.depth = v.depth.value_or(0);
        out.push_back(m);
    }
    return out;
}

std::vector<double> elevationsAt(const Topography& topography, const std::vector<double>& electrodeX,
                                 const std::vector<int>& electrodeNumbers)
{
    std::vector<double> elevations;
    elevations.reserve(electrodeX.size());
    for (std::size_t e = 0; e < electrodeX.size(); ++e)
        elevations.push_back(topography.at(topography.byElectrode && e < electrodeNumbers.size()
                                               ? double(electrodeNumbers[e])
                                               : electrodeX[e]));
    return elevations;
}

QString placingDiffers(const SectionInput& base, const SectionInput& later)
{
    auto places = [](const SectionInput& input) {
        std::map<int, double> at;
        const std::vector<double> x = inv::electrodesOf(input.data);
        if (x.size() != input.electrodeNumbers.size())
            return std::map<int, double>{};
        for (std::size_t e = 0; e < x.size(); ++e)
            if (!at.emplace(input.electrodeNumbers[e], x[e]).second)
                return std::map<int, double>{};  // one number at two places: the numbers do not tell
        return at;
    };
    const std::map<int, double> first = places(base), second = places(later);
    for (const auto& [number, x] : first) {
        const auto found = second.find(number);
        if (found != second.end() && std::abs(found->second - x) > inv::kSamePosition)
            return tr("электрод %1 стоит при x = %2 м в первом измерении и при x = %3 м во втором: "
                      "измерения размечены по-разному (X0 или шаг), их разность не изменение земли")
                .arg(number)
                .arg(x)
                .arg(found->second);
    }
    return {};
}

void addCharges(SectionInput& input, const std::vector<MeasurementRecord>& records,
                const std::vector<ChannelValue>& values, const std::vector<ValueCheck>& checks,
                const Profile& profile, const ExportChoice& choice, const FrequencyPair& pair)
{
    input.lowHertz = frequencyHertz(pair.low).value_or(0);
    input.highHertz = frequencyHertz(pair.high).value_or(0);
    std::map<ValueKey, std::size_t> tagOf;
    for (std::size_t t = 0; t < input.values.size(); ++t)
        tagOf.emplace(input.values[t], t);
    input.charges.assign(input.values.size(), std::nullopt);
    for (const FrequencyEffect& e : frequencyEffects(records, values, checks, profile, choice, pair))
        if (const auto found = tagOf.find(keyOf(e.low.value)); found != tagOf.end())
            input.charges[found->second] = inv::ApparentCharge{found->second, e.chargeability(), e.chargeabilityError()};
}

QString profileName(const Profile& profile)
{
    if (profile.wholeLine())
        return tr("L%1, вся линия").arg(profile.line);
    return QStringLiteral("L%1 F%2").arg(profile.line).arg(profile.file);
}

SectionInput profileInput(const std::vector<MeasurementRecord>& records, const SurveyGeometry& geometry,
                          const Profile& profile, const ExportChoice& choice)
{
    const std::vector<ChannelValue> values = surveyValues(records, geometry);
    return profileInput(records, values, checkValues(records, values, geometry.thresholds), geometry, profile, choice);
}

SectionInput profileInput(const std::vector<MeasurementRecord>& records, const std::vector<ChannelValue>& values,
                          const std::vector<ValueCheck>& checks, const SurveyGeometry& geometry, const Profile& profile,
                          const ExportChoice& choice)
{
    requirePlacedSpreads(records, geometry, profile);
    const std::vector<InversionDatum> chosen = inversionData(records, values, checks, profile, choice);
    SectionInput out;
    out.what = profileName(profile);
    std::set<int> read;
    for (const ChannelValue& v : values)
        if (v.electrodes && profile.holds(profileOf(records[std::size_t(v.record)])))
            read.insert(records[std::size_t(v.record)].FreqIndex);
    for (const int f : read)
        out.frequencies.push_back(frequencyHertz(f).value_or(0));
    // The frequency taken: every datum is of one (inversionData).
    for (const InversionDatum& d : chosen) {
        out.frequency = frequencyHertz(records[std::size_t(d.value.record)].FreqIndex).value_or(0);
        break;
    }
    out.disagreeing = int(std::count_if(chosen.begin(), chosen.end(), [](const InversionDatum& d) { return d.disagrees; }));
    out.data = measurementsOf(chosen, geometry.thresholds.defaultError, geometry.thresholds.minError);
    for (inv::Measurement& m : out.data) {
        out.values.push_back(keyOf(chosen[std::size_t(m.tag)].value));
        m.tag = int(out.values.size()) - 1;
    }
    // Two electrodes at one place (a spacing below a millimetre, or ground
    // steeper than the tape measured) cannot be told apart by the data. Along
    // a whole line each file numbers its own spread: one place holds an
    // electrode of each file that reaches it.
    auto together = [&](int file, double x, int a, int b) {
        return ZelError(ErrorId::ElectrodesTogether,
                        {QString::number(profile.line), QString::number(file), QString::number(std::min(a, b)),
                         QString::number(std::max(a, b)), QString::fromLatin1(plainDecimal(x, 7, false))});
    };
    std::map<double, std::pair<int, std::optional<double>>> electrodes;  // x: number, elevation
    std::map<std::pair<int, double>, int> numbers;                      // file and x: number
    for (const InversionDatum& d : chosen) {
        const ArrayElectrodes& e = *d.value.electrodes;
        const int file = records[std::size_t(d.value.record)].FileNo;
        for (std::size_t j = 0; j < 4; ++j) {
            electrodes.emplace(e.x[j], std::pair(e.number[j], e.z ? std::optional((*e.z)[j]) : std::nullopt));
            const auto [at, added] = numbers.emplace(std::pair(file, e.x[j]), e.number[j]);
            if (!added && at->second != e.number[j])
                throw together(file, e.x[j], at->second, e.number[j]);
        }
    }
    // A tenth of the spacing apart is one place: a spread placed a
    // centimetre off its neighbour's electrodes would be refused here, not
    // meshed a hundredfold finer.
    const double spacing = chosen.empty() ? 0
        : geometry.of(profile.wholeLine() ? profileOf(records[std::size_t(chosen.front().value.record)]) : profile).spacing;
    for (auto at = electrodes.begin(); at != electrodes.end() && std::next(at) != electrodes.end(); ++at)
        if (const auto next = std::next(at); onePlace(next->first - at->first, spacing))
            throw together(profile.wholeLine() ? 0 : profile.file, at->first, at->second.first, next->second.first);
    const bool topography = !electrodes.empty() && electrodes.begin()->second.second.has_value();
    for (const double x : inv::electrodesOf(out.data)) {
        const auto found = electrodes.find(x);
        out.electrodeNumbers.push_back(found == electrodes.end() ? 0 : found->second.first);
        if (topography)
            out.elevations.push_back(found == electrodes.end() ? 0 : found->second.second.value_or(0));
    }
    // What each file's topography leaves to be assumed for its electrodes.
    std::map<Profile, std::set<int>> used;
    for (const InversionDatum& d : chosen)
        if (profile.wholeLine())
            for (const int n : d.value.electrodes->number)
                used[profileOf(records[std::size_t(d.value.record)])].insert(n);
    if (!profile.wholeLine())
        used[profile].insert(out.electrodeNumbers.begin(), out.electrodeNumbers.end());
    for (const auto& [file, numbersUsed] : used) {
        const SurveyGeometry line = geometry.of(file);
        std::vector<double> places;
        places.reserve(numbersUsed.size());
        for (const int n : numbersUsed)
            places.push_back(line.topography.byElectrode ? double(n) : line.tapePosition(n));
        for (const TopographyGap& gap : topographyGaps(line.topography, places))
            if (std::find(out.gaps.begin(), out.gaps.end(), gap) == out.gaps.end())
                out.gaps.push_back(gap);
    }
    return out;
}

QString whyNoData(const std::vector<MeasurementRecord>& records, const SurveyGeometry& geometry,
                  const Profile& profile, const ExportChoice& choice)
{
    bool positions = false, measured = false, factor = false;
    for (const ChannelValue& v : surveyValues(records, geometry)) {
        if (!profile.holds(profileOf(records[std::size_t(v.record)])))
            continue;
        positions = positions || v.electrodes.has_value();
        measured = measured || (v.electrodes && v.u && v.i);
        factor = factor || (v.electrodes && v.u && v.i && v.k);
    }
    const QString what = profileName(profile);
    if (!positions)
        return tr("в профиле %1 нет значений с положениями электродов").arg(what);
    if (!measured)
        return tr("в профиле %1 нет значений с током и напряжением").arg(what);
    if (!factor)
        return tr("в профиле %1 ни для одного значения нельзя вычислить геометрический коэффициент: "
                  "электроды стоят в одном месте (например, B = M)").arg(what);
    return choice.dropFlagged
        ? tr("в профиле %1 все значения исключены или отмечены проверкой данных").arg(what)
        : tr("в профиле %1 все значения исключены").arg(what);
}

SectionInput ohmInput(const QByteArray& text, const QString& name, const CheckThresholds& thresholds,
                      const std::optional<Topography>& topography)
{
    const inv::OhmData file = inv::parseOhm(text, thresholds.defaultError, thresholds.minError);
    SectionInput out;
    out.what = name;
    out.data = file.data;
    out.poles = file.poles;
    // Each electrode of the data is one of the file's: its number (from 1)
    // and its z there.
    const std::vector<double> x = inv::electrodesOf(out.data);
    bool raised = false;
    std::vector<double> z;
    for (const double xe : x) {
        int number = 0;
        double elevation = 0;
        for (std::size_t e = 0; e < file.electrodeX.size(); ++e)
            if (std::abs(file.electrodeX[e] - xe) <= inv::kSamePosition) {
                number = int(e) + 1;
                elevation = file.electrodeZ[e];
            }
        out.electrodeNumbers.push_back(number);
        z.push_back(elevation);
        raised = raised || elevation != 0;
    }
    if (topography) {
        out.elevations = elevationsAt(*topography, x, out.electrodeNumbers);
        out.gaps = topographyGaps(*topography, topography->byElectrode
                                                   ? std::vector<double>(out.electrodeNumbers.begin(), out.electrodeNumbers.end())
                                                   : x);
    } else if (raised) {
        out.elevations = std::move(z);
    }
    return out;
}

QString progressLine(const inv::IterationReport& r, bool plain)
{
    if (plain)
        return QStringLiteral("iteration %1: chi² %2 (target %3), RRMS %4 %, lambda %5, %6 s")
            .arg(r.number)
            .arg(r.chi2, 0, 'f', 2)
            .arg(inv::kTargetChi2, 0, 'g', 3)
            .arg(r.rrms, 0, 'f', 2)
            .arg(r.lambda, 0, 'g', 3)
            .arg(r.seconds, 0, 'f', 1);
    const QLocale n = texts::numberLocale();
    return tr("Итерация %1: χ² %2 (цель %3), RRMS %4 %, λ %5, %6 с")
        .arg(r.number)
        .arg(n.toString(r.chi2, 'f', 2), n.toString(inv::kTargetChi2, 'g', 3), n.toString(r.rrms, 'f', 2),
             n.toString(r.lambda, 'g', 3), n.toString(r.seconds, 'f', 1));
}

} // namespace zel
