#include "Firmware.h"

#include "data/Bytes.h"

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
    clock.lowerFlag();
    if (!link.open())
        return DialogueStatus::PortNotOpened;
    const DialogueStatus linked = handshake(link, clock, report, 2000, HandshakeLines::TimeStamped);
    if (linked != DialogueStatus::Done)
        return linked;

    link.send(frame);
    report.addLine(report.timeStamp() + QStringLiteral(" Запись программы в EEPROM"));
    clock.lowerFlag();
    clock.arm(kFirmwareAnswerTimeoutMs);
    // The station needs a moment before it answers; the 3000 ms run on.
    const std::int64_t start = clock.tickMs();
    while (clock.tickMs() - start < kFirmwareSettleMs) {
        clock.processEvents();
        if (clock.cancelled())
            return DialogueStatus::Cancelled;
    }
    const WaitResult wait = byteWaitArmed(link, clock, 2);
    if (wait == WaitResult::Cancelled)
        return DialogueStatus::Cancelled;
    if (wait == WaitResult::TimedOut) {
        report.addLine(report.timeStamp() + QStringLiteral(" Время ожидания истекло (2), ") + QString::number(link.inCount()));
        link.close();
        return DialogueStatus::TimedOut;
    }
    const QByteArray answer = link.take();
    const bool match = answer.size() >= 2 && beU16(reinterpret_cast<const std::uint8_t*>(answer.constData())) == sum;
    if (match) {
        link.send("$CLEA");
        report.addLine(report.timeStamp() + QStringLiteral(" Программа загружена"));
    } else {
        report.addLine(report.timeStamp() + QStringLiteral("Не совпала контрольная сумма "));
    }
    link.close();
    return match ? DialogueStatus::Done : DialogueStatus::ChecksumMismatch;
}

} // namespace zel
