#include "ReadData.h"

#include "data/Bytes.h"
#include "data/Cp1251.h"
#include "data/RawDump.h"
#include "data/Record.h"

namespace zel {

QByteArray dataRequest(std::uint16_t count)
{
    QByteArray r("$UD\x00\x00", 5);
    r.append(char((count >> 8) | 0x80)).append(char(count & 0xFF));
    return r;
}

namespace {

QString readLine(qsizetype bytes) { return QStringLiteral("Считано %1 байт").arg(bytes); }

// Waits for the data answer: it ends when `expected` bytes are waiting, or
// after the count has not changed for the timer's interval.
WaitResult dataWait(StationLink& link, DialogueClock& clock, DialogueReport& report, qint64 expected, qint64& seen)
{
    qint64 previous = 0;
    seen = 0;
    while (seen < expected) {
        seen = link.inCount();
        if (seen == previous) {
            clock.enable();
        } else {
            clock.disable();
            report.dataProgress(seen, expected);
        }
        clock.processEvents();
        if (clock.cancelled())
            return WaitResult::Cancelled;
        previous = seen;
        if (clock.timedOut() && seen < expected)
            return WaitResult::TimedOut;
    }
    return WaitResult::Arrived;
}

} // namespace

DialogueStatus readStationMemory(StationLink& link, DialogueClock& clock, DialogueReport& report,
                                 StationReading& reading)
{
    reading = {};
    clock.lowerFlag();
    if (!link.open()) {
        report.addLine(QStringLiteral("Невозможно открыть порт"));
        return DialogueStatus::PortNotOpened;
    }
    const DialogueStatus linked = handshake(link, clock, report, kReadFirstTimeoutMs);
    if (linked != DialogueStatus::Done)
        return linked;

    link.send("$OK");
    const WaitResult headerWait = byteWait(link, clock, kHeaderMinBytes, kHeaderTimeoutMs);
    if (headerWait == WaitResult::Cancelled)
        return DialogueStatus::Cancelled;
    if (headerWait == WaitResult::TimedOut) {
        report.addLine(QStringLiteral("Время ожидания истекло (2)"));
        link.close();
        return DialogueStatus::TimedOut;
    }
    const QByteArray header = link.take();
    const QByteArray stamp = toCp1251(report.timeStamp()).left(kHeaderTextMax);
    reading.headerTime = stamp;
    appendBlock(reading.rawDump, header);
    appendBlock(reading.rawDump, stamp);
    const std::uint16_t count = beU16(reinterpret_cast<const std::uint8_t*>(header.constData()) + 16);
    reading.count = count;

    if (count == 0) {
        endDialogue(link);
        report.addLine(readLine(header.size()));
        report.addLine(fromCp1251(stationName(header)));  // not cut to 21 characters
        report.addLine(fromCp1251(header.mid(8, 8)));
        report.addLine(report.timeStamp());
        return DialogueStatus::Done;
    }

    link.send(dataRequest(count));
    clock.arm(kDataIdleTimeoutMs);
    const qint64 expected = qint64(count) * kRawRecordSize + 2;
    qint64 seen = 0;
    const WaitResult dataArrived = dataWait(link, clock, report, expected, seen);
    if (dataArrived == WaitResult::Cancelled)
        return DialogueStatus::Cancelled;
    if (dataArrived == WaitResult::TimedOut) {
        report.addLine(QStringLiteral("Время ожидания истекло (3)"));
        endDialogue(link);
        return DialogueStatus::TimedOut;
    }

    const QByteArray data = link.take();
    appendBlock(reading.rawDump, data);
    report.addLine(readLine(data.size() + 16));
    endDialogue(link);

    // The sum covers the bytes before the last two of the count that ended the
    // wait; those two are the station's checksum, high byte first.
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.constData());
    const qint64 n = std::min<qint64>(seen, data.size());
    const std::uint16_t sum = checksumAddUint16Be({bytes, std::size_t(std::max<qint64>(n - 2, 0))});
    const bool match = n >= 2 && sum == beU16(bytes + n - 2);
    if (!match) {
        report.addLine(QStringLiteral("Не совпали контрольные суммы"));
        report.addLine(QStringLiteral("Повторите ввод"));
        return DialogueStatus::ChecksumMismatch;
    }
    return DialogueStatus::Done;
}

} // namespace zel
