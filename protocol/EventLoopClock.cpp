#include "EventLoopClock.h"

#include <QCoreApplication>

namespace zel {

EventLoopClock::EventLoopClock(QTimer& timer, bool& flag, const bool* cancel)
    : m_timer(timer)
    , m_flag(flag)
    , m_cancel(cancel)
{
    m_pulse.setInterval(kPulseMs);
    m_pulse.setTimerType(Qt::PreciseTimer);
    m_pulse.start();
    m_ticks.start();
}

void EventLoopClock::arm(int ms)
{
    m_timer.stop();
    m_timer.setInterval(ms);
    m_timer.start();
}

void EventLoopClock::enable()
{
    if (!m_timer.isActive())
        m_timer.start();
}

void EventLoopClock::disable() { m_timer.stop(); }

void EventLoopClock::processEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

} // namespace zel
