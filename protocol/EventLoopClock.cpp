#include "EventLoopClock.h"

#include <QCoreApplication>

#include <algorithm>

namespace zel {

EventLoopClock::EventLoopClock(const bool* cancel, const bool* stop)
    : m_cancel(cancel)
    , m_stop(stop)
{
    m_timer.setObjectName(QStringLiteral("DialogueTimer"));
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(m_interval);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { expire(); });
    // The pulse runs only during a pass of a wait: an idle program is not
    // woken fifty times a second.
    m_pulse.setInterval(kPulse);
    m_pulse.setTimerType(Qt::PreciseTimer);
}

void EventLoopClock::startCount()
{
    m_deadline = now() + m_interval;
    m_timer.start(m_interval);
}

void EventLoopClock::arm(milliseconds interval)
{
    m_timer.stop();
    m_interval = interval;
    startCount();
}

void EventLoopClock::enable()
{
    if (!m_timer.isActive())
        startCount();
}

void EventLoopClock::disable() { m_timer.stop(); }

void EventLoopClock::expire()
{
    const TimePoint t = now();
    if (t < m_deadline) {
        // Woken before the deadline: count the rest, rounded up.
        m_timer.start(std::chrono::ceil<milliseconds>(m_deadline - t));
        return;
    }
    m_flag = true;
}

void EventLoopClock::processEvents()
{
    const bool flagBefore = m_flag;
    const auto start = std::chrono::steady_clock::now();
    m_pulse.start();
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    m_pulse.stop();
    const auto length = std::chrono::steady_clock::now() - start;
    if (length <= kHeldUp)
        return;
    m_heldUp += length;
    // A count that ran out while the pass was held up has the rest of it
    // still to run.
    if (m_flag && !flagBefore) {
        m_flag = false;
        m_timer.start(std::max(milliseconds(1), std::chrono::ceil<milliseconds>(m_deadline - now())));
    }
}

} // namespace zel
