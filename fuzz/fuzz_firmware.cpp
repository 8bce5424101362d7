// A firmware file through the signature check, the frame and the checksum.
#include "protocol/Firmware.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray file(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto image = zel::firmwareImage(file);
    if (!image)
        return 0;
    if (image->image.size() % 2 || image->moduleName != "ZEL-TERRAVOX")
        __builtin_trap();
    if (image->image.size() <= zel::kMaxFirmwareImage) {
        const QByteArray frame = zel::firmwareFrame(image->image);
        if (frame.size() != 7 + image->image.size())
            __builtin_trap();
        (void)zel::firmwareChecksum(image->image);
    }
    return 0;
}
