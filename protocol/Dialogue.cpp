#include "Dialogue.h"

namespace zel {

const QByteArray kLinkCodes[5] = {
    QByteArray("\x05\x6C", 2), QByteArray("\x02\xB5", 2), QByteArray("\x01\x5A", 2),
    QByteArray("\x00\xE6", 2), QByteArray("\x00\x73", 2),
};
const QByteArray kEndOfDialogue("$GB");

namespace {

constexpr int kMaxWakeUps = 10;  // nine answers are looked at, the tenth is read only

} // namespace

WaitResult waitSent(StationLink& link, DialogueClock& clock, DialogueReport& report)
{
    const qint64 total = link.outCount();
    if (total <= 0)
        return WaitResult::Arrived;
    // A line that does not drain (an adapter held by flow control) gets its
    // line time and the slack; the answer time then starts all the same.
    const DialogueClock::TimePoint deadline = clock.now() + link.lineTime(total) + kDrainSlack;
    for (qint64 left = total; left > 0 && clock.now() < deadline; left = link.outCount()) {
        if (total >= kLongFrame)
            report.sendProgress(total - left, total);
        clock.processEvents();
        if (clock.cancelled())
            return WaitResult::Cancelled;
    }
    if (total >= kLongFrame)
        report.sendProgress(total - link.outCount(), total);
    return WaitResult::Arrived;
}

WaitResult byteWaitArmed(StationLink& link, DialogueClock& clock, int n)
{
    for (;;) {
        const int count = link.inCount();
        clock.processEvents();
        if (clock.cancelled())
            return WaitResult::Cancelled;
        // A time-out on this pass wins, even when the count has reached n.
        if (clock.timedOut())
            return WaitResult::TimedOut;
        if (count >= n)
            return WaitResult::Arrived;
    }
}

WaitResult byteWait(StationLink& link, DialogueClock& clock, DialogueReport& report, int n, milliseconds timeout)
{
    if (waitSent(link, clock, report) == WaitResult::Cancelled)
        return WaitResult::Cancelled;
    clock.arm(timeout);
    return byteWaitArmed(link, clock, n);
}

WaitResult pause(DialogueClock& clock, milliseconds length)
{
    clock.arm(length);
    while (!clock.timedOut()) {
        clock.processEvents();
        if (clock.cancelled())
            return WaitResult::Cancelled;
    }
    clock.lowerFlag();
    return WaitResult::Arrived;
}

WaitResult settle(DialogueClock& clock, milliseconds length)
{
    const DialogueClock::TimePoint end = clock.now() + length;
    while (clock.now() < end) {
        clock.processEvents();
        if (clock.cancelled())
            return WaitResult::Cancelled;
    }
    return WaitResult::Arrived;
}

PortSession::PortSession(StationLink& link, DialogueClock& clock)
    : m_link(link)
    , m_clock(clock)
{
    m_opened = m_link.open();
    clock.disable();
    clock.lowerFlag();
}

PortSession::~PortSession() { m_link.close(); }

void PortSession::sayGoodbye() { m_link.send(kEndOfDialogue); }

DialogueStatus PortSession::ended(DialogueReport& report, DialogueStatus status)
{
    if (status != DialogueStatus::Cancelled || !m_clock.stopRequested())
        return status;
    sayGoodbye();
    report.addLine(ReportLine::plain(LineId::StoppedByUser));
    return DialogueStatus::Stopped;
}

QByteArray findLinkCode(const QByteArray& answer)
{
    for (const QByteArray& code : kLinkCodes)
        if (answer.contains(code))
            return code;
    return {};
}

DialogueStatus failedWait(WaitResult wait, DialogueReport& report, const ReportLine& line)
{
    if (wait == WaitResult::Cancelled)
        return DialogueStatus::Cancelled;
    report.addLine(line);
    return DialogueStatus::TimedOut;
}

DialogueStatus handshake(StationLink& link, DialogueClock& clock, DialogueReport& report, milliseconds firstTimeout,
                         HandshakeLines lines)
{
    auto line = [&](LineId id) {
        return ReportLine{id, 0, {}, lines == HandshakeLines::TimeStamped ? report.timeStamp() : QString()};
    };
    for (int attempts = 1;; ++attempts) {
        link.send(QByteArray(1, kWakeUp));
        const WaitResult wait = byteWait(link, clock, report, 2, firstTimeout);
        if (wait == WaitResult::Cancelled)
            return DialogueStatus::Cancelled;
        if (wait == WaitResult::TimedOut) {
            report.addLine(line(LineId::NoAnswer));
            return DialogueStatus::NoAnswer;
        }
        const QByteArray answer = link.take();
        clock.disable();
        if (attempts >= kMaxWakeUps) {
            report.addLine(line(LineId::NoLink));
            return DialogueStatus::NoLink;
        }
        const QByteArray code = findLinkCode(answer);
        if (code.isEmpty())
            continue;
        link.send(code);
        if (pause(clock, kLinkPause) == WaitResult::Cancelled)
            return DialogueStatus::Cancelled;
        return DialogueStatus::Done;
    }
}

} // namespace zel
