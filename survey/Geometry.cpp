#include "Geometry.h"

#include "data/Electrodes.h"
#include "data/Settings.h"
#include "data/ZelError.h"
#include "data/Interpolate.h"

#include <QRegularExpression>
#include <QSettings>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <map>

namespace zel {

namespace {

const QString& kSpacingKey = settings::kSpacing;
const QString& kX0Key = settings::kX0;
const QString& kChannelsKey = settings::kChannels;

// A double as the decimal digits × 10^exponent of its shortest text.
struct Decimal {
    long long digits = 0;
    int exponent = 0;
};

std::optional<Decimal> decimalOf(double v)
{
    char buf[40];
    const auto [end, ec] = std::to_chars(std::begin(buf), std::end(buf), v, std::chars_format::scientific);
    if (ec != std::errc())
        return std::nullopt;
    const char* e = std::find(static_cast<const char*>(buf), static_cast<const char*>(end), 'e');
    Decimal d;
    bool negative = false;
    for (const char* c = buf; c != e; ++c) {
        if (*c == '-')
            negative = true;
        else if (*c >= '0' && *c <= '9')
            d.digits = d.digits * 10 + (*c - '0');
        else if (*c == '.')
            d.exponent -= int(e - c - 1);  // the digits after the point
    }
    int power = 0;
    std::from_chars(e + (e[1] == '+' ? 2 : 1), end, power);
    d.exponent += power;
    if (negative)
        d.digits = -d.digits;
    return d;
}

// digits · 10^by, none when it leaves 64 bits.
std::optional<long long> scaled(long long digits, int by)
{
    for (int i = 0; i < by; ++i)
        if (__builtin_mul_overflow(digits, 10LL, &digits))
            return std::nullopt;
    return digits;
}

} // namespace

double Topography::at(double xOrElectrode) const
{
    return interpolateClamped(points, xOrElectrode);
}

std::optional<SteepStep> steepestStep(const Topography& t, double spacing)
{
    std::optional<SteepStep> steepest;
    for (std::size_t i = 0; i + 1 < t.points.size(); ++i) {
        const auto& [a, za] = t.points[i];
        const auto& [b, zb] = t.points[i + 1];
        const double run = std::abs(b - a) * (t.byElectrode ? std::abs(spacing) : 1);
        const double rise = std::abs(zb - za);
        if (run > 0 && rise > run && (!steepest || rise / run > steepest->rise / steepest->run))
            steepest = SteepStep{a, b, rise, run};
    }
    return steepest;
}

Topography parseTopography(const QByteArray& text, const QString& name)
{
    static const QRegularExpression separators(QStringLiteral("[\\s;]+"));
    Topography t;
    std::map<double, double> heightAt;
    bool first = true;
    // CR LF, LF or CR alone end a line.
    const QList<QByteArray> lines = QByteArray(text).replace("\r\n", "\n").replace('\r', '\n').split('\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QByteArray line = lines[n];
        if (line.contains('\0'))
            throw ZelError(ErrorId::TopographyLine, {name, QString::number(n + 1)});
        if (const qsizetype hash = line.indexOf('#'); hash >= 0)
            line.truncate(hash);
        line = line.trimmed();
        if (n == 0 && line.startsWith("\xEF\xBB\xBF"))
            line = line.mid(3).trimmed();
        if (line.isEmpty())
            continue;
        const QStringList f = QString::fromUtf8(line).split(separators, Qt::SkipEmptyParts);
        // A first line of column names: "electrode z", or "x z".
        if (first && f.size() == 2 && f[1].compare(QLatin1String("z"), Qt::CaseInsensitive) == 0
            && (f[0].compare(QLatin1String("electrode"), Qt::CaseInsensitive) == 0
                || f[0].compare(QLatin1String("x"), Qt::CaseInsensitive) == 0)) {
            t.byElectrode = f[0].compare(QLatin1String("electrode"), Qt::CaseInsensitive) == 0;
            first = false;
            continue;
        }
        first = false;
        const std::optional<double> a = decimalOfText(f.value(0));
        const std::optional<double> z = decimalOfText(f.value(1));
        if (f.size() != 2 || !a || !z)
            throw ZelError(ErrorId::TopographyLine, {name, QString::number(n + 1)});
        const QString what = t.byElectrode ? QStringLiteral("N = %1").arg(f[0]) : QStringLiteral("x = %1").arg(f[0]);
        if (std::abs(*a) > kMaxOffset)
            throw ZelError(ErrorId::TopographyOutOfRange,
                           {name, QString::number(n + 1), what, QString::number(-kMaxOffset, 'g', 10), QString::number(kMaxOffset, 'g', 10)});
        if (std::abs(*z) > kMaxHeight)
            throw ZelError(ErrorId::TopographyOutOfRange,
                           {name, QString::number(n + 1), QStringLiteral("z = %1").arg(f[1]), QString::number(-kMaxHeight, 'g', 10),
                            QString::number(kMaxHeight, 'g', 10)});
        // Two heights at one place: which of them is the ground?
        if (const auto [at, added] = heightAt.emplace(*a, *z); !added && at->second != *z)
            throw ZelError(ErrorId::TopographyTwice, {name, QString::number(n + 1), what});
        t.points.emplace_back(*a, *z);
    }
    if (t.points.empty())
        throw ZelError(ErrorId::TopographyEmpty, {name});
    std::stable_sort(t.points.begin(), t.points.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    t.points.erase(std::unique(t.points.begin(), t.points.end()), t.points.end());
    return t;
}

std::vector<TopographyGap> topographyGaps(const Topography& t, std::vector<double> places)
{
    std::vector<TopographyGap> gaps;
    if (t.empty() || places.empty())
        return gaps;
    std::sort(places.begin(), places.end());
    places.erase(std::unique(places.begin(), places.end()), places.end());
    const double tolerance = t.byElectrode ? 1e-9 : kSamePosition;
    const auto& first = t.points.front();
    const auto& last = t.points.back();
    if (places.front() < first.first - tolerance)
        gaps.push_back({TopographyGap::Kind::Beyond, t.byElectrode, places.front(), first.first, first.second});
    if (t.byElectrode) {
        // Runs of electrodes inside the points given without a point of their own.
        std::optional<TopographyGap> run;
        for (const double n : places) {
            const auto after = std::lower_bound(t.points.begin(), t.points.end(), std::pair(n - tolerance, -1e300));
            const bool inside = n > first.first && n < last.first;
            const bool given = after != t.points.end() && std::abs(after->first - n) <= tolerance;
            if (inside && !given) {
                if (run && run->after == after->first) {
                    run->to = n;
                } else {
                    if (run)
                        gaps.push_back(*run);
                    run = TopographyGap{TopographyGap::Kind::Between, true, n, n, 0, (after - 1)->first, after->first};
                }
            }
        }
        if (run)
            gaps.push_back(*run);
    }
    if (places.back() > last.first + tolerance)
        gaps.push_back({TopographyGap::Kind::Beyond, t.byElectrode, last.first, places.back(), last.second});
    return gaps;
}

QByteArray topographyText(const Topography& topography)
{
    QByteArray out = topography.byElectrode ? "electrode z\r\n" : "x z\r\n";
    for (const auto& [a, z] : topography.points)
        out += QByteArray::number(a, 'g', 15) + ' ' + QByteArray::number(z, 'g', 15) + "\r\n";
    return out;
}

bool SurveyGeometry::defaultSpacingUsedBy(const std::vector<Profile>& profiles) const
{
    return std::any_of(profiles.begin(), profiles.end(), [this](const Profile& p) {
        const auto line = lines.find(p);
        return line == lines.end() || !line->second.spacing;
    });
}

SurveyGeometry SurveyGeometry::of(const Profile& profile) const
{
    // The lines are not copied: a memory of thousands of profiles asks for each.
    SurveyGeometry g;
    g.spacing = spacing;
    g.x0 = x0;
    g.channels = channels;
    g.thresholds = thresholds;
    g.reversed = reversed;
    g.topography = topography;
    g.slopeDistances = slopeDistances;
    g.y = y;
    const auto found = lines.find(profile);
    if (found == lines.end())
        return g;
    const LineGeometry& own = found->second;
    g.spacing = own.spacing.value_or(spacing);
    g.x0 = own.x0.value_or(x0);
    g.reversed = own.reversed.value_or(reversed);
    g.slopeDistances = own.slopeDistances.value_or(slopeDistances);
    g.y = own.y.value_or(y);
    if (!own.topography.empty())
        g.topography = own.topography;
    return g;
}

std::optional<double> SurveyGeometry::elevation(int electrode) const
{
    if (topography.empty())
        return std::nullopt;
    return topography.at(topography.byElectrode ? double(electrode) : tapePosition(electrode));
}

double SurveyGeometry::position(int electrode) const
{
    const double s = tapePosition(electrode);
    if (!slopeDistances || topography.empty() || s == x0)
        return s;
    // The ground between x0 and s is straight between the topography's
    // points: the tape's pieces between them, each laid horizontal.
    const double step = reversed ? -spacing : spacing;
    auto onTape = [&](double a) { return topography.byElectrode ? x0 + a * step : a; };
    auto heightAt = [&](double t) { return topography.at(topography.byElectrode ? (t - x0) / step : t); };
    const double low = std::min(x0, s), high = std::max(x0, s);
    std::vector<double> breaks{low, high};
    for (const auto& point : topography.points)
        if (const double t = onTape(point.first); t > low && t < high)
            breaks.push_back(t);
    std::sort(breaks.begin(), breaks.end());
    double horizontal = 0;
    for (std::size_t i = 1; i < breaks.size(); ++i) {
        const double ds = breaks[i] - breaks[i - 1];
        const double dz = heightAt(breaks[i]) - heightAt(breaks[i - 1]);
        horizontal += std::sqrt(std::max(ds * ds - dz * dz, 0.0));
    }
    return s > x0 ? x0 + horizontal : x0 - horizontal;
}

void SurveyGeometry::requireTapeFitsGround(const Profile& profile) const
{
    if (!slopeDistances || topography.points.size() < 2)
        return;
    const double step = reversed ? -spacing : spacing;
    auto metres = [](double v) { return QString::number(v, 'g', 7); };
    for (std::size_t i = 1; i < topography.points.size(); ++i) {
        const auto& [a, za] = topography.points[i - 1];
        const auto& [b, zb] = topography.points[i];
        // The tape's length between the two points.
        const double length = std::abs(topography.byElectrode ? (b - a) * step : b - a);
        const double rise = std::abs(zb - za);
        if (rise > length + kSamePosition)
            throw ZelError(ErrorId::SlopeSteeperThanTape,
                           {QString::number(profile.line), QString::number(profile.file),
                            topography.byElectrode ? QStringLiteral("№%1").arg(a) : metres(a) + QStringLiteral(" m"),
                            topography.byElectrode ? QStringLiteral("№%1").arg(b) : metres(b) + QStringLiteral(" m"),
                            metres(rise), metres(length)});
    }
}

double SurveyGeometry::tapePosition(int electrode) const
{
    // A reversed line counts its electrodes back from x0.
    const double step = reversed ? -spacing : spacing;
    const std::optional<Decimal> a = decimalOf(x0);
    const std::optional<Decimal> d = decimalOf(step);
    if (a && d) {
        const int exponent = std::min(a->exponent, d->exponent);
        const std::optional<long long> start = scaled(a->digits, a->exponent - exponent);
        const std::optional<long long> step = scaled(d->digits, d->exponent - exponent);
        long long product = 0, sum = 0;
        if (start && step && !__builtin_mul_overflow(*step, (long long)electrode, &product)
            && !__builtin_add_overflow(*start, product, &sum)) {
            // "<digits>e<exponent>": at most 20 + 1 + 11 characters.
            std::array<char, 48> text{};
            const auto digits = std::to_chars(text.data(), text.data() + 21, sum);
            char* end = digits.ptr;
            *end++ = 'e';
            end = std::to_chars(end, text.data() + text.size(), exponent).ptr;
            double x = 0;
            if (digits.ec == std::errc() && std::from_chars(text.data(), end, x).ec == std::errc())
                return x;
        }
    }
    return x0 + electrode * step;  // digits beyond 64 bits: the binary sum
}

std::optional<double> decimalOfText(const QString& text)
{
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = t.toDouble(&ok);
    return ok && std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

QString channelGeometryName(ChannelGeometry geometry)
{
    return geometry == ChannelGeometry::FirstOnly ? QStringLiteral("first") : QStringLiteral("consecutive");
}

std::optional<ChannelGeometry> channelGeometryOfName(const QString& name)
{
    if (name == QLatin1String("consecutive"))
        return ChannelGeometry::Consecutive;
    if (name == QLatin1String("first"))
        return ChannelGeometry::FirstOnly;
    return std::nullopt;
}

SurveyGeometry readSurveyGeometry(QSettings& settings, std::vector<SurveySettingProblem>* problems)
{
    SurveyGeometry g;
    auto bad = [&](const QString& key, std::optional<std::pair<double, double>> range) {
        if (problems)
            problems->push_back({key.mid(key.indexOf(QLatin1Char('/')) + 1), settings.value(key).toString(), range});
    };
    auto number = [&](const QString& key, double& into, double low, double high) {
        if (!settings.contains(key))
            return;
        const std::optional<double> v = decimalOfText(settings.value(key).toString());
        if (v && *v >= low && *v <= high)
            into = *v;
        else
            bad(key, std::pair(low, high));
    };
    number(kSpacingKey, g.spacing, kMinSpacing, kMaxSpacing);
    number(kX0Key, g.x0, -kMaxOffset, kMaxOffset);
    number(settings::kMinVoltage, g.thresholds.minVoltage, kMinThreshold, kMaxThreshold);
    number(settings::kSpikeFactor, g.thresholds.spikeFactor, kMinSpikeFactor, kMaxThreshold);
    number(settings::kMaxError, g.thresholds.maxError, kMinThreshold, kMaxThreshold);
    number(settings::kDefaultError, g.thresholds.defaultError, kMinThreshold, kMaxThreshold);
    number(settings::kMinError, g.thresholds.minError, kMinThreshold, kMaxThreshold);
    if (settings.contains(kChannelsKey)) {
        if (const auto channels = channelGeometryOfName(settings.value(kChannelsKey).toString().trimmed()))
            g.channels = *channels;
        else
            bad(kChannelsKey, std::nullopt);
    }
    return g;
}

void writeSurveyGeometry(QSettings& settings, const SurveyGeometry& geometry)
{
    settings.setValue(kSpacingKey, QString::number(geometry.spacing, 'g', 17));
    settings.setValue(kX0Key, QString::number(geometry.x0, 'g', 17));
    settings.setValue(settings::kMinVoltage, QString::number(geometry.thresholds.minVoltage, 'g', 17));
    settings.setValue(settings::kSpikeFactor, QString::number(geometry.thresholds.spikeFactor, 'g', 17));
    settings.setValue(settings::kMaxError, QString::number(geometry.thresholds.maxError, 'g', 17));
    settings.setValue(settings::kDefaultError, QString::number(geometry.thresholds.defaultError, 'g', 17));
    settings.setValue(settings::kMinError, QString::number(geometry.thresholds.minError, 'g', 17));
    settings.setValue(kChannelsKey, channelGeometryName(geometry.channels));
    settings.sync();
}

} // namespace zel
