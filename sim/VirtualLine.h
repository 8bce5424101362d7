#pragma once

#include "protocol/Dialogue.h"

#include <cstdint>
#include <deque>

namespace zel::sim {

// A serial line and the dialogue timer on virtual time: the bytes of the
// station arrive at set moments, and the timer expires when the clock passes
// its deadline. How the station answers and how far a pass moves the clock
// are left to the line's users (the tests' station model, the fuzzer).
class VirtualLine : public StationLink, public DialogueClock {
public:
    // StationLink: the line opens with its receive queue discarded.
    bool open() override;
    void close() override { m_open = false; }
    int inCount() override;
    QByteArray take() override;
    bool isOpen() const { return m_open; }

    // DialogueClock
    void arm(milliseconds interval) override;
    void enable() override;
    void disable() override { m_running = false; }
    bool timedOut() const override { return m_flag; }
    void lowerFlag() override { m_flag = false; }
    TimePoint now() const override { return TimePoint(std::chrono::microseconds(m_nowUs)); }
    std::int64_t tickMs() const { return m_nowUs / 1000; }

protected:
    std::int64_t nowUs() const { return m_nowUs; }
    // When the last byte scheduled so far arrives.
    std::int64_t lastArrivalUs() const { return m_lastArrivalUs; }
    void deliver(std::int64_t atUs, char byte);
    // The next moment something happens after now: a byte or the timer; -1 for nothing.
    std::int64_t nextEventUs() const;
    // Moves the clock on; the timer expires (stops, raises the flag) when its deadline is passed.
    void advanceTo(std::int64_t us);

private:
    std::deque<std::pair<std::int64_t, char>> m_incoming;
    std::int64_t m_nowUs = 0;
    std::int64_t m_lastArrivalUs = 0;
    std::int64_t m_deadlineUs = 0;
    milliseconds m_interval{2000};
    bool m_running = false;
    bool m_flag = false;
    bool m_open = false;
};

} // namespace zel::sim
