#include "VirtualLine.h"

#include <algorithm>

namespace zel::sim {

bool VirtualLine::open()
{
    m_open = true;
    while (!m_incoming.empty() && m_incoming.front().first <= m_nowUs)
        m_incoming.pop_front();
    return true;
}

int VirtualLine::inCount()
{
    if (!m_open)
        return 0;
    int n = 0;
    for (const auto& [at, byte] : m_incoming) {
        if (at > m_nowUs)
            break;
        ++n;
    }
    return n;
}

QByteArray VirtualLine::take()
{
    QByteArray bytes;
    for (int n = inCount(); n > 0; --n) {
        bytes.append(m_incoming.front().second);
        m_incoming.pop_front();
    }
    return bytes;
}

void VirtualLine::arm(milliseconds interval)
{
    m_interval = interval;
    m_deadlineUs = m_nowUs + std::chrono::microseconds(interval).count();
    m_running = true;
}

void VirtualLine::enable()
{
    if (!m_running)
        arm(m_interval);
}

void VirtualLine::deliver(std::int64_t atUs, char byte)
{
    m_incoming.push_back({atUs, byte});
    m_lastArrivalUs = std::max(m_lastArrivalUs, atUs);
}

std::int64_t VirtualLine::nextEventUs() const
{
    std::int64_t next = -1;
    for (const auto& [at, byte] : m_incoming) {
        if (at > m_nowUs) {
            next = at;
            break;
        }
    }
    if (m_running && (next < 0 || m_deadlineUs < next))
        next = m_deadlineUs;
    return next;
}

void VirtualLine::advanceTo(std::int64_t us)
{
    m_nowUs = std::max(m_nowUs, us);
    if (m_running && m_nowUs >= m_deadlineUs) {
        m_running = false;  // the expiry handler stops the timer and raises the flag
        m_flag = true;
    }
}

} // namespace zel::sim
