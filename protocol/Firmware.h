#pragma once

#include "Dialogue.h"

#include <QByteArray>

#include <cstdint>
#include <optional>

namespace zel {

extern const QByteArray kFirmwareSignature;  // "ZEL-TERRAV"
constexpr qsizetype kMaxFirmwareImage = 65534;  // the word count is 16 bits
constexpr milliseconds kFirmwareFirstTimeout{2000};
constexpr milliseconds kFirmwareAnswerTimeout{3000};
constexpr milliseconds kFirmwareSettle{100};

// A firmware file ready to send: padded to an even length, with the module
// name ("ZEL-TERRAVOX") found at the signature.
struct FirmwareImage {
    QByteArray image;
    QByteArray moduleName;
};

// Pads the file's bytes to an even length and looks for the signature;
// nothing when the file is not firmware of the station.
std::optional<FirmwareImage> firmwareImage(const QByteArray& file);

// Refuses (ZelError FirmwareTooLarge) an image whose word count would wrap:
// the station would get another program.
void checkFirmwareSize(const FirmwareImage& firmware);

// "$DD", 0x00, 0x00, the word count, the image.
QByteArray firmwareFrame(const QByteArray& image);
std::uint16_t firmwareChecksum(const QByteArray& image);

// Sends the image in one frame and commits it with "$CLEA" when the station's
// checksum matches. Every line begins with the time stamp.
DialogueStatus uploadFirmware(StationLink& link, DialogueClock& clock, DialogueReport& report, const QByteArray& image);

} // namespace zel
