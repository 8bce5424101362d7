#pragma once

#include "data/Messages.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <cstdint>

namespace zel {

using std::chrono::milliseconds;
using namespace std::chrono_literals;

// The serial line as the station dialogue sees it.
class StationLink {
public:
    virtual ~StationLink() = default;
    virtual bool open() = 0;
    virtual void close() = 0;
    // Hands the bytes to the line, nothing added; true when all were taken.
    virtual bool send(const QByteArray& bytes) = 0;
    virtual int inCount() = 0;                       // bytes waiting
    virtual QByteArray take() = 0;                   // every byte waiting now
    // Bytes handed to the line that have not left it yet: what the line's
    // buffers hold, and at least what the line needs time for at its speed.
    virtual qint64 outCount() { return 0; }
    // How long the line takes to carry `bytes` at its speed.
    virtual milliseconds lineTime(qint64 bytes) const
    {
        Q_UNUSED(bytes);
        return 0ms;
    }
};

// The dialogue timer with its time-out flag, the event processing of every
// waiting pass, and a monotonic clock.
class DialogueClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~DialogueClock() = default;
    // Stops the timer, sets its interval and starts a fresh count.
    virtual void arm(milliseconds interval) = 0;
    // Starts a stopped timer with a fresh count of its interval; a running one goes on.
    virtual void enable() = 0;
    virtual void disable() = 0;
    // The time-out flag, raised when the timer expires during processEvents(),
    // never before its interval has passed.
    virtual bool timedOut() const = 0;
    virtual void lowerFlag() = 0;
    // One pass of a wait: lets pending events be processed. It may block
    // until something happens, but comes back soon even when nothing does.
    virtual void processEvents() = 0;
    virtual TimePoint now() const = 0;
    // True when the dialogue must end at once (the window is closing, or the
    // user stopped it).
    virtual bool cancelled() const { return false; }
    // True when the user asked the dialogue to stop: it then ends as a
    // time-out would, with its own list line and "$GB".
    virtual bool stopRequested() const { return false; }
};

// Where a dialogue reports: lines of the main list, and progress.
class DialogueReport {
public:
    virtual ~DialogueReport() = default;
    virtual void addLine(const ReportLine& line) = 0;
    virtual QString timeStamp() = 0;  // the user's date and time now
    virtual void dataProgress(qint64 arrived, qint64 expected) { Q_UNUSED(arrived); Q_UNUSED(expected); }
    // Bytes of a long frame that have left on the line so far.
    virtual void sendProgress(qint64 sent, qint64 total) { Q_UNUSED(sent); Q_UNUSED(total); }
};

// How a dialogue ended.
enum class DialogueStatus {
    Done,              // the command did its work
    PortNotOpened,
    NoAnswer,          // "Время ожидания истекло (1)"
    NoLink,            // "Не установлено соединение"
    TimedOut,          // a later time-out of the command
    ChecksumMismatch,
    Refused,           // the user or a check stopped it before the port was opened
    Cancelled,         // the window closed during the dialogue
    Stopped,           // the user stopped it: "Остановлено пользователем"
    LineNotQuiet,      // bytes kept coming before the wake-up byte
    NotAMemoryHeader,  // the answer to "$OK" is not a memory header
};

// The five link codes with which the station answers the wake-up byte, in
// the order in which they are looked for.
extern const QByteArray kLinkCodes[5];
constexpr char kWakeUp = 0x07;
extern const QByteArray kEndOfDialogue;  // "$GB"

constexpr milliseconds kLinkPause{500};
// What is allowed beyond a frame's line time for the line's buffers to drain.
constexpr milliseconds kDrainSlack{2000};
// Frames from this size on report how far they have gone out.
constexpr qint64 kLongFrame = 512;

enum class WaitResult { Arrived, TimedOut, Cancelled };

// Waits until what was sent has left the line (see StationLink::outCount),
// for at most its line time and kDrainSlack, processing events and reporting
// the progress of a long frame. An answer time starts only after this.
WaitResult waitSent(StationLink& link, DialogueClock& clock, DialogueReport& report);
// Waits until what was sent has left, then until at least n bytes are
// waiting; the timer is armed with `timeout` once the bytes have left.
WaitResult byteWait(StationLink& link, DialogueClock& clock, DialogueReport& report, int n, milliseconds timeout);
// Waits as byteWait without arming the timer again.
WaitResult byteWaitArmed(StationLink& link, DialogueClock& clock, int n);
// Lets `length` pass, processing events; leaves the flag lowered.
WaitResult pause(DialogueClock& clock, milliseconds length);
// Lets `length` pass by the clock, processing events, without touching the timer.
WaitResult settle(DialogueClock& clock, milliseconds length);

// The port of one station command: opened at the start with the timer
// stopped and the flag lowered (a time-out left over from an earlier command,
// or raised while the port's own dialogs waited, is gone), and closed on
// every ending when the session ends.
class PortSession {
public:
    PortSession(StationLink& link, DialogueClock& clock);
    ~PortSession();
    PortSession(const PortSession&) = delete;
    PortSession& operator=(const PortSession&) = delete;

    bool opened() const { return m_opened; }
    // Ends the station's dialogue with "$GB" before the port closes.
    void sayGoodbye();
    // The status a command ends with: a dialogue the user stopped says so in
    // the list and ends the station's side with "$GB".
    DialogueStatus ended(DialogueReport& report, DialogueStatus status);

private:
    StationLink& m_link;
    DialogueClock& m_clock;
    bool m_opened = false;
};

// The first link code, in table order, anywhere in the answer; empty when none.
QByteArray findLinkCode(const QByteArray& answer);

// How a command words the handshake's failure lines.
enum class HandshakeLines {
    Plain,       // "Время ожидания истекло (1)", "Не установлено соединение"
    TimeStamped, // the time stamp before each of them
};

// Wake-up byte, link code, echo and the 500 ms pause after it. On failure it
// has added the command's line for it.
DialogueStatus handshake(StationLink& link, DialogueClock& clock, DialogueReport& report, milliseconds firstTimeout,
                         HandshakeLines lines = HandshakeLines::Plain);

// The status of a wait that did not end in arrival; adds `line` for a time-out.
DialogueStatus failedWait(WaitResult wait, DialogueReport& report, const ReportLine& line);

} // namespace zel
