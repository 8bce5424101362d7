#pragma once

#include "Dialogue.h"

#include <QElapsedTimer>
#include <QTimer>

namespace zel {

// The dialogue clock of the running program: the window's dialogue timer,
// whose expiry handler raises `flag`, and the thread's event loop. A pass
// sleeps in the event loop until something happens (bytes arrive, the timer
// fires, the user acts), and at the latest after a short pulse, so that a
// wait that must notice an unchanged count comes round again soon.
class EventLoopClock : public DialogueClock {
public:
    static constexpr int kPulseMs = 20;

    // `cancel`, when given, ends the waits as soon as it is true.
    EventLoopClock(QTimer& timer, bool& flag, const bool* cancel = nullptr);

    void arm(int ms) override;
    void enable() override;
    void disable() override;
    bool timedOut() const override { return m_flag; }
    void lowerFlag() override { m_flag = false; }
    void processEvents() override;
    std::int64_t tickMs() const override { return m_ticks.elapsed(); }
    bool cancelled() const override { return m_cancel && *m_cancel; }

private:
    QTimer& m_timer;
    bool& m_flag;
    const bool* m_cancel;
    QTimer m_pulse;
    QElapsedTimer m_ticks;
};

} // namespace zel
