#pragma once

#include "Geometry.h"

#include <QByteArray>
#include <QString>

#include <map>

namespace zel {

// The geometry each profile of a reading has of its own, kept beside the
// data file as "<data file>.survey": UTF-8, CR LF, a section a profile
// ("[Line 3 File 1]") with Spacing, X0, Y (where the line lies across the
// survey, m), Reversed (0 or 1), Topography (a
// file beside the data) and SlopeDistances (0 or 1: the spacing taped along
// the ground), each optional.
using LineGeometries = std::map<Profile, LineGeometry>;

QString linesFileOf(const QString& dataFile);

// The file's sections as written; topography files are named, not read.
// Throws ZelError LinesFileLine naming `name` and the first line that
// cannot be used (an unknown line, a number out of range).
LineGeometries parseLinesFile(const QByteArray& text, const QString& name);
// The file again, the profiles in order; profiles with nothing of their own
// are left out.
QByteArray linesFileText(const LineGeometries& lines);

// The lines' geometry beside a data file with their topography files read;
// none when there is no such file. Throws ZelError for a file that cannot be
// read or used (the lines file or a topography file it names).
LineGeometries readLinesBeside(const QString& dataFile);
// Keeps the lines' geometry beside a data file, whole: the topography files
// it names beside it (an existing file of that name with other elevations
// is kept, and the line's elevations go to a file of a name of their own),
// then the lines file, or none when no line has a geometry of its own. The
// lines as kept, with the topography files' names. Throws ZelError when a
// file cannot be written.
LineGeometries writeLinesBeside(const QString& dataFile, LineGeometries lines);

} // namespace zel
