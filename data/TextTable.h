#pragma once

#include "Record.h"
#include "TimeText.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace zel {

// Column headings of the table in the list ("View") and in the text file.
extern const QString kViewHeading;
extern const QString kTextFileHeading;

// One fixed-width table line for a measurement record.
QString TablTex(const MeasurementRecord& record, const DateTimeSeparators& separators);

// The voltage of one channel, "." as decimal point, with `range` digits after
// it and negated when `negate` (the "-" mark); empty when out of range (7+).
QString voltageText(std::int16_t u, int range, bool negate);

// What "View" lists: the three header lines, the heading, an empty line and
// one table line per record. Lines are appended to `out` one by one, so that
// a stream read error (a stream shorter than `count` records, or no decoded
// data at all) leaves the lines made before it.
void appendViewLines(const QByteArray& decoded, std::uint16_t count, const DateTimeSeparators& separators,
                     QStringList& out);

// The bytes of "Save as text": header lines as the station sent them, the
// heading, an empty line and the table, Windows-1251, CR LF after every line.
QByteArray textFileBytes(const QByteArray& decoded, std::uint16_t count, const DateTimeSeparators& separators);

} // namespace zel
