#include "ReadData.h"

#include "data/Bytes.h"
#include "data/Cp1251.h"
#include "data/RawDump.h"
#include "data/Record.h"

#include <QtEndian>

namespace zel {

QByteArray dataRequest(std::uint16_t count)
{
    QByteArray r("$UD\x00\x00", 5);
    r.append(char((count >> 8) | 0x80)).append(char(count & 0xFF));
    return r;
}

std::optional<QByteArray> incompleteDump(const StationReading& reading)
{
    if (!reading.arrivedBeforeTimeout)
        return std::nullopt;
    QByteArray dump = reading.rawDump;
    appendBlock(dump, *reading.arrivedBeforeTimeout);
    return dump;
}

QString keepStationReading(const ReadingArchive& archive, const StationReading& reading, DialogueStatus status,
                           const QDateTime& readAt)
{
    if (status == DialogueStatus::Done && reading.count.value_or(0) > 0)
        return archive.keep(reading.rawDump, readAt);
    if (status == DialogueStatus::ChecksumMismatch)
        return archive.keep(reading.rawDump, readAt, ReadingArchive::Kind::ChecksumMismatch);
    if (const std::optional<QByteArray> cut = incompleteDump(reading))
        return archive.keep(*cut, readAt, ReadingArchive::Kind::Incomplete);
    return {};
}

namespace {

// Waits for the data answer: it ends when `expected` bytes are waiting,
// after the count has not changed for the timer's interval, or when the
// whole answer has taken far longer than the line needs for it.
WaitResult dataWait(StationLink& link, DialogueClock& clock, DialogueReport& report, qint64 expected, qint64& seen)
{
    const DialogueClock::TimePoint deadline = clock.now() + kDataLineTimes * link.lineTime(expected) + kDataSlack;
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
        if ((clock.timedOut() || clock.now() >= deadline) && seen < expected)
            return WaitResult::TimedOut;
    }
    return WaitResult::Arrived;
}

// Discards what arrives until the line has been quiet for kQuietLine: the
// rest of an answer that a stopped reading left behind must not be taken for
// the link code or the header of a new one.
WaitResult quietLine(StationLink& link, DialogueClock& clock)
{
    const DialogueClock::TimePoint bound = clock.now() + kQuietLineBound;
    link.take();
    DialogueClock::TimePoint quietSince = clock.now();
    while (clock.now() - quietSince < kQuietLine) {
        if (clock.now() >= bound)
            return WaitResult::TimedOut;
        clock.processEvents();
        if (clock.cancelled())
            return WaitResult::Cancelled;
        if (link.inCount() > 0) {
            link.take();
            quietSince = clock.now();
        }
    }
    return WaitResult::Arrived;
}

// The reading once the port is open.
DialogueStatus readOverOpenPort(StationLink& link, DialogueClock& clock, DialogueReport& report, PortSession& port,
                                StationReading& reading)
{
    switch (quietLine(link, clock)) {
    case WaitResult::Cancelled:
        return DialogueStatus::Cancelled;
    case WaitResult::TimedOut:
        report.addLine(ReportLine::plain(LineId::LineNotQuiet));
        return DialogueStatus::LineNotQuiet;
    case WaitResult::Arrived:
        break;
    }
    const DialogueStatus linked = handshake(link, clock, report, kReadFirstTimeout);
    if (linked != DialogueStatus::Done)
        return linked;

    link.send("$OK");
    const WaitResult headerWait = byteWait(link, clock, report, kHeaderMinBytes, kHeaderTimeout);
    if (headerWait != WaitResult::Arrived)
        return failedWait(headerWait, report, ReportLine::plain(LineId::HeaderTimedOut));
    const QByteArray header = link.take();
    if (!headerAccepted(header)) {
        // Not the station's memory header (the rest of an earlier answer, a
        // device that is not the station): nothing of it is kept.
        port.sayGoodbye();
        report.addLine(ReportLine::plain(LineId::NotAMemoryHeader));
        return DialogueStatus::NotAMemoryHeader;
    }
    const QByteArray stamp = toCp1251(report.timeStamp()).left(kHeaderTextMax);
    reading.headerTime = stamp;
    appendBlock(reading.rawDump, header);
    appendBlock(reading.rawDump, stamp);
    const std::uint16_t count = qFromBigEndian<quint16>(header.constData() + 16);
    reading.count = count;

    if (count == 0) {
        port.sayGoodbye();
        report.addLine(ReportLine::plain(LineId::BytesRead, header.size()));
        report.addLine(ReportLine::station(fromCp1251(stationName(header))));  // not cut to 21 characters
        report.addLine(ReportLine::station(fromCp1251(header.mid(8, 8))));
        report.addLine(ReportLine::station(report.timeStamp()));
        return DialogueStatus::Done;
    }

    link.send(dataRequest(count));
    // A reading the user stops keeps what arrived of the data answer, as a
    // time-out does.
    if (waitSent(link, clock, report) == WaitResult::Cancelled) {
        if (clock.stopRequested())
            reading.arrivedBeforeTimeout = link.take();
        return DialogueStatus::Cancelled;
    }
    clock.arm(kDataIdleTimeout);
    const qint64 expected = qint64(count) * kRawRecordSize + 2;
    qint64 seen = 0;
    const WaitResult dataArrived = dataWait(link, clock, report, expected, seen);
    if (dataArrived != WaitResult::Arrived) {
        if (dataArrived == WaitResult::TimedOut || clock.stopRequested())
            reading.arrivedBeforeTimeout = link.take();
        if (dataArrived == WaitResult::TimedOut)
            port.sayGoodbye();
        return failedWait(dataArrived, report, ReportLine::plain(LineId::DataTimedOut));
    }

    const QByteArray data = link.take();
    appendBlock(reading.rawDump, data);
    report.addLine(ReportLine::plain(LineId::BytesRead, data.size() + 16));
    port.sayGoodbye();

    // The sum covers the bytes before the last two of the count that ended the
    // wait; those two are the station's checksum, high byte first.
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.constData());
    const qint64 n = std::min<qint64>(seen, data.size());
    const std::uint16_t sum = checksumAddUint16Be({bytes, std::size_t(std::max<qint64>(n - 2, 0))});
    const bool match = n >= 2 && sum == qFromBigEndian<quint16>(bytes + n - 2);
    if (!match) {
        report.addLine(ReportLine::plain(LineId::ChecksumsDiffer));
        report.addLine(ReportLine::plain(LineId::RepeatReading));
        return DialogueStatus::ChecksumMismatch;
    }
    return DialogueStatus::Done;
}

} // namespace

DialogueStatus readStationMemory(StationLink& link, DialogueClock& clock, DialogueReport& report,
                                 StationReading& reading)
{
    reading = {};
    PortSession port(link, clock);
    if (!port.opened()) {
        report.addLine(ReportLine::plain(LineId::PortNotOpened));
        return DialogueStatus::PortNotOpened;
    }
    return port.ended(report, readOverOpenPort(link, clock, report, port, reading));
}

} // namespace zel
