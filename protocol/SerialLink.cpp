#include "SerialLink.h"

#include "serial/QCCom32.h"

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

} // namespace zel
