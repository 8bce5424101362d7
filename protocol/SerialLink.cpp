#include "SerialLink.h"

#include "serial/QCCom32.h"

namespace zel {

SerialLink::SerialLink(T_QCCom32& com, DialogueReport* report)
    : m_com(com)
{
    if (report)
        m_progress = QObject::connect(&com, &T_QCCom32::sendProgress,
                                      [report](qint64 sent, qint64 total) { report->sendProgress(sent, total); });
}

SerialLink::~SerialLink() { QObject::disconnect(m_progress); }

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
