#include "Firmware.h"

#include <QtEndian>

#include "data/Bytes.h"
#include "data/ZelError.h"

namespace zel {

const QByteArray kFirmwareSignature("ZEL-TERRAV");

std::optional<FirmwareImage> firmwareImage(const QByteArray& file)
{
    FirmwareImage f;
    f.image = file;
    if (f.image.size() % 2)
        f.image.append('\0');
    const qsizetype at = f.image.indexOf(kFirmwareSignature);
    if (at < 0)
        return std::nullopt;
    f.moduleName = f.image.mid(at, kFirmwareSignature.size()) + "OX";
    return f;
}

void checkFirmwareSize(const FirmwareImage& firmware)
{
    if (firmware.image.size() > kMaxFirmwareImage)
        throw ZelError(ErrorId::FirmwareTooLarge,
                       {QString::number(firmware.image.size()), QString::number(kMaxFirmwareImage)});
}

QByteArray firmwareFrame(const QByteArray& image)
{
    const auto words = std::uint16_t(image.size() / 2);
    QByteArray frame("$DD\x00\x00", 5);
    frame.append(char(words >> 8)).append(char(words & 0xFF));
    return frame + image;
}

std::uint16_t firmwareChecksum(const QByteArray& image)
{
    return checksumAddUint16Be({reinterpret_cast<const std::uint8_t*>(image.constData()), std::size_t(image.size())});
}

DialogueStatus uploadFirmware(StationLink& link, DialogueClock& clock, DialogueReport& report, const QByteArray& image)
{
    const QByteArray frame = firmwareFrame(image);
    const std::uint16_t sum = firmwareChecksum(image);
    // Every line of this command begins with the time stamp.
    auto line = [&report](LineId id, qint64 number = 0) { return ReportLine{id, number, {}, report.timeStamp()}; };

    PortSession port(link, clock);
    if (!port.opened())
        return DialogueStatus::PortNotOpened;
    return port.ended(report, [&] {
        const DialogueStatus linked = handshake(link, clock, report, kFirmwareFirstTimeout, HandshakeLines::TimeStamped);
        if (linked != DialogueStatus::Done)
            return linked;

        link.send(frame);
        report.addLine(line(LineId::FirmwareWriting));
        // The answer time counts from the moment the frame has left the line.
        if (waitSent(link, clock, report) == WaitResult::Cancelled)
            return DialogueStatus::Cancelled;
        clock.lowerFlag();
        clock.arm(kFirmwareAnswerTimeout);
        // The station needs a moment before it answers; the answer time runs on.
        WaitResult wait = settle(clock, kFirmwareSettle);
        if (wait == WaitResult::Arrived)
            wait = byteWaitArmed(link, clock, 2);
        if (wait != WaitResult::Arrived)
            return failedWait(wait, report, line(LineId::FirmwareAnswerTimedOut, link.inCount()));
        const QByteArray answer = link.take();
        if (answer.size() >= 2 && qFromBigEndian<quint16>(answer.constData()) == sum) {
            link.send("$CLEA");
            report.addLine(line(LineId::FirmwareLoaded));
            return DialogueStatus::Done;
        }
        report.addLine(line(LineId::FirmwareChecksumDiffers));
        return DialogueStatus::ChecksumMismatch;
    }());
}

} // namespace zel
