#pragma once

#include <QString>

#include <optional>

class QSettings;

namespace zel {

// Which channels of a record with electrode positions have positions of their own.
enum class ChannelGeometry {
    // Channel k (1-4) measures between M + (k-1)·d and N + (k-1)·d, d = N - M:
    // four consecutive dipoles of one current dipole.
    Consecutive,
    // Only channel 1 measures between M and N; channels 2-4 have no positions.
    FirstOnly,
};

// How electrode numbers lie on the profile: x = x0 + number · spacing, in
// metres. The channel geometry is an assumption about the station's wiring.
struct SurveyGeometry {
    double spacing = 1.0;  // > 0
    double x0 = 0.0;
    ChannelGeometry channels = ChannelGeometry::Consecutive;

    double position(int electrode) const { return x0 + electrode * spacing; }
    bool operator==(const SurveyGeometry&) const = default;
};

constexpr double kMinSpacing = 0.001;
constexpr double kMaxSpacing = 10000.0;
constexpr double kMaxOffset = 1.0e7;

// [Survey] Spacing, X0, Channels (consecutive|first) of the settings file; a
// missing or unreadable value gives the default.
SurveyGeometry readSurveyGeometry(QSettings& settings);
void writeSurveyGeometry(QSettings& settings, const SurveyGeometry& geometry);

// "consecutive" / "first", and back (none for another text).
QString channelGeometryName(ChannelGeometry geometry);
std::optional<ChannelGeometry> channelGeometryOfName(const QString& name);

} // namespace zel
