#include "SerialLink.h"

#include "serial/QCCom32.h"

#include <algorithm>

namespace zel {

bool SerialLink::open() { return m_com.Open(); }
void SerialLink::close() { m_com.Close(); }
bool SerialLink::send(const QByteArray& bytes) { return m_com.SendString(bytes); }
int SerialLink::inCount() { return m_com.InCount(); }

QByteArray SerialLink::take()
{
    QByteArray bytes;
    m_com.ReadResponse(bytes);
    return bytes;
}

qint64 SerialLink::outCount()
{
    const qint64 leftNs = m_com.LineTimeLeft().count();
    // A byte still on its way counts as one, however little of it is left.
    const qint64 onTheLine = leftNs > 0 ? std::max<qint64>(1, leftNs * std::max(m_com.Baud(), 1) / 10'000'000'000LL) : 0;
    return std::max<qint64>(m_com.OutCount(), onTheLine);
}

milliseconds SerialLink::lineTime(qint64 bytes) const
{
    return std::chrono::ceil<milliseconds>(T_QCCom32::LineTime(bytes, m_com.Baud()));
}

} // namespace zel
