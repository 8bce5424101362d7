#pragma once

#include "Dialogue.h"

#include <QTimer>

namespace zel {

// The dialogue clock of the running program: its own timer, whose expiry raises the time-out flag, and the thread's event
// loop. The timer keeps a deadline on the monotonic clock and raises the
// flag only once the deadline has passed, so that no wait ends early. A pass
// sleeps in the event loop until something happens (bytes arrive, the timer
// fires, the user acts), and at the latest after a short pulse, so that a
// wait that must notice an unchanged count comes round again soon.
//
// A pass that the user holds up (a modal window with its own loop: About,
// a file dialog, the close question answered No) does not count: the clock
// stands still for its length, a time-out that fell due inside it is taken
// back, and the wait judges the line again by the bytes that arrived
// meanwhile, as if the window had never been opened.
class EventLoopClock : public DialogueClock {
public:
    static constexpr milliseconds kPulse{20};
    static constexpr milliseconds kInitialInterval{2000};
    // A pass longer than this was held up by a loop of its own.
    static constexpr milliseconds kHeldUp{250};

    // `cancel`, when given, ends the waits as soon as it is true; so does
    // `stop`, which the dialogue takes as the user's Stop.
    explicit EventLoopClock(const bool* cancel = nullptr, const bool* stop = nullptr);

    void arm(milliseconds interval) override;
    void enable() override;
    void disable() override;
    bool timedOut() const override { return m_flag; }
    void lowerFlag() override { m_flag = false; }
    void processEvents() override;
    // The monotonic clock without the time that passes were held up.
    TimePoint now() const override { return std::chrono::steady_clock::now() - m_heldUp; }
    bool cancelled() const override { return (m_cancel && *m_cancel) || stopRequested(); }
    bool stopRequested() const override { return m_stop && *m_stop; }

    QTimer& timer() { return m_timer; }
    const QTimer& pulse() const { return m_pulse; }

private:
    void startCount();
    void expire();  // the timer fired: raise the flag, or wait out the rest of the count

    QTimer m_timer;
    QTimer m_pulse;
    milliseconds m_interval = kInitialInterval;
    TimePoint m_deadline;  // on this clock's time
    std::chrono::steady_clock::duration m_heldUp{0};
    bool m_flag = false;
    const bool* m_cancel;
    const bool* m_stop;
};

} // namespace zel
