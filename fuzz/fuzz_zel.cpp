// A .zel image through decoding, the text table of every record and the
// workbook sheet of both layouts.
#include "data/RawDump.h"
#include "data/TextTable.h"
#include "data/ZelError.h"
#include "export/ExelCall.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray dump(reinterpret_cast<const char*>(data), qsizetype(size));
    const zel::DumpDecoding d = zel::decodeDump(dump);
    if (d.outcome != zel::DumpDecoding::Outcome::Decoded)
        return 0;
    const zel::DateTimeSeparators separators;
    QStringList lines;
    zel::appendViewLines(d.decoded, d.count.value_or(0), separators, lines);
    (void)zel::textFileBytes(d.decoded, d.count.value_or(0), separators);
    for (int layout : {zel::kZelSoloLayout, zel::kTerravoxLayout}) {
        (void)zel::ExelCall(layout, d.decoded, QLocale::c()).sheet.fittedWidths();
    }
    return 0;
}
