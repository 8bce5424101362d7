// An electrode table file through reading, the entry words and the frame.
#include "data/ZelError.h"
#include "protocol/ElectrodeTable.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray file(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const auto entries = zel::parseElectrodeTable(file);
        const auto words = zel::electrodeWords(entries);
        const QByteArray name = zel::protocolName(QStringLiteral("table.txt"));
        const QByteArray frame = zel::electrodeFrame(name, words);
        if (frame.size() != 15 + qsizetype(words.size()) * 2)
            __builtin_trap();
        (void)zel::electrodeChecksum(name, words);
        for (const auto& e : entries)
            if (e.a < -255 || e.a > 255 || e.b < -255 || e.b > 255 || e.m < 0 || e.m > 127 || e.n < 0 || e.n > 127)
                __builtin_trap();  // the reader lets no value outside its range through
    } catch (const zel::ZelError&) {
        // a refused file
    }
    return 0;
}
