#pragma once

#include "SheetModel.h"

#include <QString>

namespace zel {

// Writes the sheet as an .xlsx workbook of one worksheet. The workbook is
// made in a temporary file first and replaces `path` only when complete, so
// an existing file is never left half-written. Throws ZelError naming the file.
void writeXlsx(const SheetModel& sheet, const QString& path);

} // namespace zel
