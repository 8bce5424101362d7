#pragma once

#include "Dialogue.h"

class T_QCCom32;

namespace zel {

// The serial port component as the station dialogue's line.
class SerialLink : public StationLink {
public:
    explicit SerialLink(T_QCCom32& com) : m_com(com) {}
    bool open() override;
    void close() override;
    bool send(const QByteArray& bytes) override;
    int inCount() override;
    QByteArray take() override;
    // The component's and the driver's queues, and at least the bytes the
    // line still needs time for: a driver that takes 4 KiB at once, or a
    // pseudo-terminal, would otherwise let an answer time start too soon.
    qint64 outCount() override;
    milliseconds lineTime(qint64 bytes) const override;

private:
    T_QCCom32& m_com;
};

} // namespace zel
