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

private:
    T_QCCom32& m_com;
};

} // namespace zel
