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

WaitResult byteWait(StationLink& link, DialogueClock& clock, int n, int ms)
{
    clock.arm(ms);
    return byteWaitArmed(link, clock, n);
}

WaitResult pause(DialogueClock& clock, int ms)
{
    clock.arm(ms);
    while (!clock.timedOut()) {
        clock.processEvents();
        if (clock.cancelled())
            return WaitResult::Cancelled;
    }
    clock.lowerFlag();
    return WaitResult::Arrived;
}

void endDialogue(StationLink& link)
{
    link.send(kEndOfDialogue);
    link.close();
}

QByteArray findLinkCode(const QByteArray& answer)
{
    for (const QByteArray& code : kLinkCodes)
        if (answer.contains(code))
            return code;
    return {};
}

DialogueStatus handshake(StationLink& link, DialogueClock& clock, DialogueReport& report, int firstTimeoutMs,
                         HandshakeLines lines)
{
    const bool stamped = lines == HandshakeLines::TimeStamped;
    for (int attempts = 1;; ++attempts) {
        link.send(QByteArray(1, kWakeUp));
        const WaitResult wait = byteWait(link, clock, 2, firstTimeoutMs);
        if (wait == WaitResult::Cancelled)
            return DialogueStatus::Cancelled;
        if (wait == WaitResult::TimedOut) {
            report.addLine((stamped ? report.timeStamp() : QString()) + QStringLiteral("Время ожидания истекло (1)"));
            link.close();
            return DialogueStatus::NoAnswer;
        }
        const QByteArray answer = link.take();
        clock.disable();
        if (attempts >= kMaxWakeUps) {
            report.addLine(stamped ? report.timeStamp() + QStringLiteral(" Не установлено соединение")
                                   : QStringLiteral("Не установлено соединение"));
            link.close();
            return DialogueStatus::NoLink;
        }
        const QByteArray code = findLinkCode(answer);
        if (code.isEmpty())
            continue;
        link.send(code);
        if (pause(clock, kLinkPauseMs) == WaitResult::Cancelled)
            return DialogueStatus::Cancelled;
        return DialogueStatus::Done;
    }
}

} // namespace zel
