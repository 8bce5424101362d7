#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace zel {

// The serial line as the station dialogue sees it.
class StationLink {
public:
    virtual ~StationLink() = default;
    virtual bool open() = 0;
    virtual void close() = 0;
    virtual bool send(const QByteArray& bytes) = 0;  // the bytes, nothing added
    virtual int inCount() = 0;                       // bytes waiting
    virtual QByteArray take() = 0;                   // every byte waiting now
};

// The dialogue timer (Timer1) with its time-out flag, and the event
// processing of every waiting pass.
class DialogueClock {
public:
    virtual ~DialogueClock() = default;
    // Stops the timer, sets its interval and starts a fresh count.
    virtual void arm(int ms) = 0;
    // Starts a stopped timer with a fresh count of its interval; a running one goes on.
    virtual void enable() = 0;
    virtual void disable() = 0;
    // The time-out flag, raised when the timer expires during processEvents().
    virtual bool timedOut() const = 0;
    virtual void lowerFlag() = 0;
    // One pass of a wait: lets pending events be processed. It may block
    // until something happens, but comes back soon even when nothing does.
    virtual void processEvents() = 0;
    // A millisecond tick counter.
    virtual std::int64_t tickMs() const = 0;
    // True when the dialogue must end at once (the window is closing).
    virtual bool cancelled() const { return false; }
};

// Where a dialogue reports: lines of the main list, and progress.
class DialogueReport {
public:
    virtual ~DialogueReport() = default;
    virtual void addLine(const QString& line) = 0;
    virtual QString timeStamp() = 0;  // the user's date and time now
    virtual void dataProgress(qint64 arrived, qint64 expected) { Q_UNUSED(arrived); Q_UNUSED(expected); }
    // Bytes of a long frame that have left so far.
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
};

// The five link codes with which the station answers the wake-up byte, in
// the order in which they are looked for.
extern const QByteArray kLinkCodes[5];
constexpr char kWakeUp = 0x07;
extern const QByteArray kEndOfDialogue;  // "$GB"

constexpr int kLinkPauseMs = 500;

enum class WaitResult { Arrived, TimedOut, Cancelled };

// Waits until at least n bytes are waiting; the timer is armed with ms.
WaitResult byteWait(StationLink& link, DialogueClock& clock, int n, int ms);
// Waits as byteWait without arming the timer again.
WaitResult byteWaitArmed(StationLink& link, DialogueClock& clock, int n);
// Lets ms pass, processing events; leaves the flag lowered.
WaitResult pause(DialogueClock& clock, int ms);

// Ends a dialogue: "$GB", then the port closed.
void endDialogue(StationLink& link);

// The first link code, in table order, anywhere in the answer; empty when none.
QByteArray findLinkCode(const QByteArray& answer);

// How a command words the handshake's failure lines.
enum class HandshakeLines {
    Plain,       // "Время ожидания истекло (1)", "Не установлено соединение"
    TimeStamped, // the time stamp directly before the first, and with a blank before the second
};

// Wake-up byte, link code, echo and the 500 ms pause after it. On failure it
// has added the command's line for it and closed the port.
DialogueStatus handshake(StationLink& link, DialogueClock& clock, DialogueReport& report, int firstTimeoutMs,
                         HandshakeLines lines = HandshakeLines::Plain);

} // namespace zel
