#pragma once

#include "Dialogue.h"

#include <QObject>

class T_QCCom32;

namespace zel {

// The serial port component as the station dialogue's line.
class SerialLink : public StationLink {
public:
    // `report`, when given, hears how far a long frame has gone out.
    explicit SerialLink(T_QCCom32& com, DialogueReport* report = nullptr);
    ~SerialLink() override;
    bool open() override;
    void close() override;
    bool send(const QByteArray& bytes) override;
    int inCount() override;
    QByteArray take() override;

private:
    T_QCCom32& m_com;
    QMetaObject::Connection m_progress;
};

} // namespace zel
