#pragma once

#include "SheetModel.h"

#include "data/RawDump.h"
#include "data/Record.h"
#include "data/TimeText.h"
#include "data/ZelError.h"

#include <QByteArray>
#include <QLocale>

#include <cstdint>
#include <optional>

namespace zel {

enum ExportLayout { kZelSoloLayout = 0, kTerravoxLayout = 1 };

// The heading row that opens a group of records.
void PrintLine(SheetModel& sheet, int row, const MeasurementRecord& record, int layout);

// A worksheet filled from the decoded data stream, with what the export
// learnt of the stream on the way.
struct SheetExport {
    SheetModel sheet;
    std::uint16_t count = 0;  // the whole records in the stream
    HeaderTexts headers;      // the stream's header lines
    std::optional<ZelError> error;  // a record whose date or time cannot be ended the export there
};

// Fills a worksheet with the records of one layout from the decoded data
// stream: the three title rows, then heading rows and data rows from row 5.
// Throws StreamReadError when the stream is shorter than its header fields.
// A record whose date or time cannot be ends the export with `error` set; the
// rows written before it stay in the sheet.
SheetExport ExelCall(int layout, const QByteArray& decoded, const QLocale& locale);

// The date-time text of a record; throws ZelError (InvalidDate, InvalidTime)
// for a date or time that does not exist.
QString recordDateTimeText(const MeasurementRecord& record, const DateTimeText& text);

} // namespace zel
