#pragma once

// The crew's spacing sheet of soundings read as plain measurements (no
// electrode positions in the records): for each station number, AB/2 and
// MN/2 of a Schlumberger array centred on the sounding's point.
#include "Geometry.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <optional>

namespace zel {

struct SoundingSpacing {
    double ab2 = 0;  // m
    double mn2 = 0;  // m, less than ab2
    bool operator==(const SoundingSpacing&) const = default;
};

// One sheet: the spacings by station number, and the sounding's centre
// along the line (m) where the sheet gives it.
struct SpacingSheet {
    std::map<int, SoundingSpacing> stations;
    std::optional<double> centre;
    bool operator==(const SpacingSheet&) const = default;
};

// The sheets of a reading, kept beside the data file as
// "<data file>.spacings": UTF-8, a row a station ("12 40 2.5": station,
// AB/2, MN/2 in metres, a decimal point or comma); rows before any section
// are the sheet of every profile without its own; a section
// ("[Line 3 File 1]") holds a profile's own rows and its Centre=.
struct SpacingSheets {
    SpacingSheet common;
    std::map<Profile, SpacingSheet> profiles;
    // The sheet of a profile: its own rows, else the common ones; its own
    // centre, else the common one.
    SpacingSheet of(const Profile& profile) const;
    bool empty() const { return common.stations.empty() && !common.centre && profiles.empty(); }
    bool operator==(const SpacingSheets&) const = default;
};

QString spacingsFileOf(const QString& dataFile);

// Throws ZelError SpacingsFileLine naming `name` and the first row that
// cannot be used: not three numbers, a station number beyond the records'
// −32768…32767, a station given twice in one sheet, MN/2 not less than AB/2,
// a spacing not above 0 or beyond 100 km.
SpacingSheets parseSpacings(const QByteArray& text, const QString& name);
QByteArray spacingsText(const SpacingSheets& sheets);

// The sheets beside a data file; none when there is no such file.
SpacingSheets readSpacingsBeside(const QString& dataFile);
// Keeps the sheets beside a data file (none: the file is removed). Throws
// ZelError when it cannot be written.
void writeSpacingsBeside(const QString& dataFile, const SpacingSheets& sheets);

} // namespace zel
