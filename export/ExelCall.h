#pragma once

#include "SheetModel.h"

#include "data/RawDump.h"
#include "data/Record.h"
#include "data/TimeText.h"

#include <QByteArray>
#include <QLocale>

#include <cstdint>

namespace zel {

enum ExportLayout { kZelSoloLayout = 0, kTerravoxLayout = 1 };

// The heading row that opens a group of records.
void PrintLine(SheetModel& sheet, int row, const MeasurementRecord& record, int layout);

// Fills a worksheet with the records of one layout from the decoded data
// stream: the three title rows, then heading rows and data rows from row 5.
// Sets `measurementCount` to the number of whole records in the stream and
// `headers` to the stream's header lines. Throws StreamReadError when the
// stream is shorter than its header fields, and ZelError when a record's date
// or time cannot be; the rows written before stay in the sheet.
void ExelCall(int layout, const QByteArray& decoded, const QLocale& locale, SheetModel& sheet,
              std::uint16_t& measurementCount, HeaderTexts& headers);

// The date-time text of a record; throws ZelError("Invalid argument to date
// encode" / "... time encode") for a date or time that does not exist.
QString recordDateTimeText(const MeasurementRecord& record, const DateTimeText& text);

} // namespace zel
