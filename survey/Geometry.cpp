#include "Geometry.h"

#include <QSettings>

#include <cmath>

namespace zel {

namespace {

const QString kSpacingKey = QStringLiteral("Survey/Spacing");
const QString kX0Key = QStringLiteral("Survey/X0");
const QString kChannelsKey = QStringLiteral("Survey/Channels");

std::optional<double> number(QSettings& settings, const QString& key)
{
    bool ok = false;
    const double v = settings.value(key).toString().trimmed().toDouble(&ok);
    return ok && std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

} // namespace

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

SurveyGeometry readSurveyGeometry(QSettings& settings)
{
    SurveyGeometry g;
    if (const auto spacing = number(settings, kSpacingKey); spacing && *spacing >= kMinSpacing && *spacing <= kMaxSpacing)
        g.spacing = *spacing;
    if (const auto x0 = number(settings, kX0Key); x0 && std::abs(*x0) <= kMaxOffset)
        g.x0 = *x0;
    if (const auto channels = channelGeometryOfName(settings.value(kChannelsKey).toString().trimmed()))
        g.channels = *channels;
    return g;
}

void writeSurveyGeometry(QSettings& settings, const SurveyGeometry& geometry)
{
    settings.setValue(kSpacingKey, QString::number(geometry.spacing, 'g', 17));
    settings.setValue(kX0Key, QString::number(geometry.x0, 'g', 17));
    settings.setValue(kChannelsKey, channelGeometryName(geometry.channels));
    settings.sync();
}

} // namespace zel
