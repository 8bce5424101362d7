#include "Sounding.h"

#include "Input.h"

#include "data/Electrodes.h"
#include "data/ZelError.h"
#include "inversion/GaussNewton.h"
#include "texts/Texts.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <set>

namespace zel {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("zel", text); }

// Plain readings placed by the crew's sheet: channel 1 of each record of
// Mode 0–9, as a Schlumberger array about the sheet's centre. Repeats of a
// station are one quadripole.
void placeBySheet(const std::vector<MeasurementRecord>& records, std::vector<ChannelValue>& values,
                  const Profile& profile, const SpacingSheet& sheet, double centre, const QString& what)
{
    if (sheet.stations.empty())
        throw SoundingRefused(tr("%1: у простых измерений нет положений электродов: дайте AB/2 и MN/2 каждой станции "
                                 "(лист разносов)")
                                  .arg(what));
    std::set<int> missing;
    for (ChannelValue& v : values) {
        const MeasurementRecord& rec = records[std::size_t(v.record)];
        if (v.channel != 1 || rec.Mode > 9 || !profile.holds(profileOf(rec)))
            continue;
        const auto s = sheet.stations.find(rec.Station);
        if (s == sheet.stations.end()) {
            missing.insert(rec.Station);
            continue;
        }
        ArrayElectrodes e;
        e.number = {rec.Station, rec.Station, rec.Station, rec.Station};
        e.x = {centre - s->second.ab2, centre + s->second.ab2, centre - s->second.mn2, centre + s->second.mn2};
        v.electrodes = e;
        v.k = geometricFactor(e.x);
        v.depth = medianDepth(e.x);
        if (v.k && v.r)
            v.rhoa = *v.k * *v.r;
    }
    if (!missing.empty()) {
        QStringList list;
        for (const int station : missing)
            list << QString::number(station);
        throw SoundingRefused(tr("%1: в листе разносов нет AB/2 и MN/2 для станций %2").arg(what, list.join(QStringLiteral(", "))));
    }
}

} // namespace

bool plainSounding(const std::vector<MeasurementRecord>& records, const Profile& profile)
{
    bool plain = false;
    for (const MeasurementRecord& r : records)
        if (profile.holds(profileOf(r))) {
            if (carriesElectrodes(r.Mode))
                return false;
            plain = plain || r.Mode <= 9;
        }
    return plain;
}

SoundingInput soundingInput(const std::vector<MeasurementRecord>& records, const SurveyGeometry& geometry,
                            const Profile& profile, const ExportChoice& choice, const SpacingSheets& sheets)
{
    SoundingInput out;
    out.profile = profile;
    out.what = profileName(profile);
    std::vector<ChannelValue> values = surveyValues(records, geometry);
    if (plainSounding(records, profile)) {
        const SpacingSheet sheet = sheets.of(profile);
        placeBySheet(records, values, profile, sheet, sheet.centre.value_or(geometry.of(profile).x0), out.what);
    }
    const std::vector<ValueCheck> checks = checkValues(records, values, geometry.thresholds);
    const std::vector<InversionDatum> data = inversionData(records, values, checks, profile, choice);
    if (data.empty())
        throw SoundingRefused(tr("%1: нет значений с положениями электродов, током и напряжением").arg(out.what));
    const auto& first = data.front().value.electrodes->x;
    out.centre = (first[0] + first[1]) / 2;
    std::set<long long> spacings;
    for (const InversionDatum& d : data) {
        const auto& x = d.value.electrodes->x;
        const double ab = (x[0] + x[1]) / 2, mn = (x[2] + x[3]) / 2;
        if (std::abs(ab - out.centre) > kSamePosition || std::abs(mn - out.centre) > kSamePosition)
            throw SoundingRefused(tr("%1: центр установки A %2 B %3 M %4 N %5 не совпадает с центром первой: "
                                     "это не зондирование")
                                      .arg(out.what)
                                      .arg(d.value.electrodes->number[0])
                                      .arg(d.value.electrodes->number[1])
                                      .arg(d.value.electrodes->number[2])
                                      .arg(d.value.electrodes->number[3]));
        if (!(*d.value.rhoa > 0)) {
            ++out.notPositive;  // a reading of a swapped wire: no layered earth gives it
            continue;
        }
        out.data.push_back({{x[0] - out.centre, x[1] - out.centre, x[2] - out.centre, x[3] - out.centre},
                            *d.value.rhoa,
                            d.errorFraction(geometry.thresholds.defaultError, geometry.thresholds.minError)});
        spacings.insert(std::llround(std::abs(x[1] - x[0]) / 2 / kSamePosition));
    }
    if (spacings.size() < 3)
        throw SoundingRefused(tr("%1: меньше трёх разносов AB/2: это не зондирование").arg(out.what));
    std::sort(out.data.begin(), out.data.end(), [](const inv::SoundingDatum& a, const inv::SoundingDatum& b) {
        return std::pair(std::abs(a.x[1] - a.x[0]), std::abs(a.x[3] - a.x[2]))
            < std::pair(std::abs(b.x[1] - b.x[0]), std::abs(b.x[3] - b.x[2]));
    });
    return out;
}

SoundingResult interpretSounding(SoundingInput input)
{
    SoundingResult r;
    r.layered = inv::fitFewestLayers(input.data);
    r.smooth = inv::smoothSounding(input.data);
    r.input = std::move(input);
    return r;
}

std::vector<SoundingResult> everySounding(const std::vector<MeasurementRecord>& records, const SurveyGeometry& geometry,
                                          const SpacingSheets& sheets, QStringList* leftOut,
                                          const SoundingSteps& step, const std::atomic<bool>* cancel)
{
    std::vector<SoundingResult> out;
    const auto profiles = profilesOf(records);
    const int total = static_cast<int>(profiles.size());
    int done = 0;
    for (const Profile& profile : profiles) {
        if (cancel && *cancel)
            throw inv::InversionStopped();
        try {
            out.push_back(interpretSounding(soundingInput(records, geometry, profile, {}, sheets)));
        } catch (const SoundingRefused& e) {
            if (leftOut)
                leftOut->append(QString::fromStdString(e.what()));
        } catch (const ZelError& e) {  // a profile whose geometry cannot be used
            if (leftOut)
                leftOut->append(profileName(profile) + QStringLiteral(": ") + withFullStop(texts::errorText(e)));
        }
        if (step)
            step(++done, total);
    }
    return out;
}

namespace {

QByteArray number(double v) { return plainDecimal(v, 6, false); }

} // namespace

QByteArray soundingCurveCsv(const SoundingResult& result)
{
    QByteArray curve = "ab2_m,mn2_m,rhoa_ohmm,model_rhoa_ohmm,smooth_rhoa_ohmm\r\n";
    const auto& data = result.input.data;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const auto& x = data[i].x;
        curve += number(std::abs(x[1] - x[0]) / 2) + ',' + number(std::abs(x[3] - x[2]) / 2) + ','
            + number(data[i].rhoa) + ',' + number(result.layered.response.at(i)) + ','
            + number(result.smooth.response.at(i)) + "\r\n";
    }
    return curve;
}

QByteArray soundingLayersCsv(const inv::LayeredFit& layered)
{
    // Each layer with its range, and where a layer is thin the conductance
    // S = h/ρ and the transverse resistance T = h·ρ that the data fix
    // better than h and ρ alone.
    QByteArray layers =
        "top_m,bottom_m,rho_ohmm,rho_low_ohmm,rho_high_ohmm,thickness_low_m,thickness_high_m,s_siemens,t_ohmm2\r\n";
    double top = 0;
    for (std::size_t i = 0; i < layered.earth.rho.size(); ++i) {
        const bool last = i == layered.earth.thickness.size();
        const double rho = layered.earth.rho[i];
        const double h = last ? 0 : layered.earth.thickness[i];
        layers += number(top) + ',' + (last ? QByteArray() : number(top + h)) + ',' + number(rho) + ','
            + number(layered.rhoRange.at(i)[0]) + ',' + number(layered.rhoRange.at(i)[1]) + ','
            + (last ? QByteArray(",")
                    : number(layered.thicknessRange.at(i)[0]) + ',' + number(layered.thicknessRange.at(i)[1]))
            + ',' + (last ? QByteArray(",") : number(h / rho) + ',' + number(h * rho)) + "\r\n";
        top += h;
    }
    return layers;
}

QByteArray soundingSmoothCsv(const inv::SmoothFit& smooth)
{
    QByteArray out = "top_m,bottom_m,rho_ohmm\r\n";
    double top = 0;
    for (std::size_t i = 0; i < smooth.earth.rho.size(); ++i) {
        const bool last = i == smooth.earth.thickness.size();
        const double h = last ? 0 : smooth.earth.thickness[i];
        out += number(top) + ',' + (last ? QByteArray() : number(top + h)) + ',' + number(smooth.earth.rho[i]) + "\r\n";
        top += h;
    }
    return out;
}

namespace {

// log ρ of a smooth model at a depth: linear between its layers' middles
// (the last one's taken a layer as thick as the one above it below its
// top), each layer's own above the first middle and below the last.
double logRhoAt(const inv::LayeredEarth& earth, double depth)
{
    std::vector<double> middles;
    double top = 0;
    for (const double h : earth.thickness) {
        middles.push_back(top + h / 2);
        top += h;
    }
    middles.push_back(top + (earth.thickness.empty() ? 1 : earth.thickness.back()) / 2);
    const auto after = std::upper_bound(middles.begin(), middles.end(), depth);
    if (after == middles.begin())
        return std::log(earth.rho.front());
    if (after == middles.end())
        return std::log(earth.rho.back());
    const std::size_t i = std::size_t(after - middles.begin());
    const double t = (depth - middles[i - 1]) / (middles[i] - middles[i - 1]);
    return (1 - t) * std::log(earth.rho[i - 1]) + t * std::log(earth.rho[i]);
}

} // namespace

SoundingSection soundingSection(const std::vector<SoundingResult>& soundings, int columns, int rows)
{
    if (soundings.size() < 2)
        throw SoundingRefused(tr("для разреза нужны два зондирования или больше"));
    std::vector<const SoundingResult*> byCentre;
    double deepest = 0;
    for (const SoundingResult& s : soundings) {
        byCentre.push_back(&s);
        for (const inv::SoundingDatum& d : s.input.data)
            deepest = std::max(deepest, medianDepth(d.x).value_or(0));
    }
    std::sort(byCentre.begin(), byCentre.end(),
              [](const SoundingResult* a, const SoundingResult* b) { return a->input.centre < b->input.centre; });
    for (std::size_t i = 1; i < byCentre.size(); ++i)
        if (std::abs(byCentre[i]->input.centre - byCentre[i - 1]->input.centre) <= kSamePosition)
            throw SoundingRefused(tr("%1 и %2 стоят в одной точке: в разрезе у каждого зондирования своя точка "
                                     "(X0 в геометрии линий или Centre= в листе разносов)")
                                      .arg(byCentre[i - 1]->input.what, byCentre[i]->input.what));
    SoundingSection out;
    // Half the mean distance between centres beyond the first and the last:
    // their names and boundaries stay inside the picture.
    const double margin = (byCentre.back()->input.centre - byCentre.front()->input.centre) / double(byCentre.size() - 1) / 2;
    const double from = byCentre.front()->input.centre - margin, to = byCentre.back()->input.centre + margin;
    columns = std::max(columns, 2);
    rows = std::max(rows, 2);
    for (int c = 0; c < columns; ++c)
        out.x.push_back(from + (to - from) * c / (columns - 1));
    for (int r = 0; r < rows; ++r)
        out.depth.push_back(deepest * r / (rows - 1));
    out.rho.resize(out.x.size() * out.depth.size());
    std::size_t right = 1;
    for (std::size_t c = 0; c < out.x.size(); ++c) {
        while (right + 1 < byCentre.size() && byCentre[right]->input.centre < out.x[c])
            ++right;
        const SoundingResult& a = *byCentre[right - 1];
        const SoundingResult& b = *byCentre[right];
        const double t = std::clamp((out.x[c] - a.input.centre) / (b.input.centre - a.input.centre), 0.0, 1.0);
        for (std::size_t r = 0; r < out.depth.size(); ++r)
            out.rho[r * out.x.size() + c] = std::exp((1 - t) * logRhoAt(a.smooth.earth, out.depth[r])
                                                     + t * logRhoAt(b.smooth.earth, out.depth[r]));
    }
    for (const SoundingResult* s : byCentre) {
        SoundingSection::Column column{s->input.what, s->input.centre, {}, s->layered.rrms};
        double top = 0;
        for (const double h : s->layered.earth.thickness)
            column.boundaries.push_back(top += h);
        out.soundings.push_back(std::move(column));
    }
    return out;
}

QByteArray soundingSectionCsv(const SoundingSection& section)
{
    QByteArray out = "x_m,depth_m,rho_ohmm\r\n";
    for (std::size_t c = 0; c < section.x.size(); ++c)
        for (std::size_t r = 0; r < section.depth.size(); ++r)
            out += number(section.x[c]) + ',' + number(section.depth[r]) + ',' + number(section.at(r, c)) + "\r\n";
    return out;
}

} // namespace zel
