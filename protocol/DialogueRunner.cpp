#include "DialogueRunner.h"

#include "ElectrodeTable.h"
#include "Firmware.h"

#include "data/TimeText.h"

#include <QLocale>

namespace zel {

DialogueRunner::DialogueRunner(T_QCCom32& port, QObject* parent)
    : QObject(parent)
    , m_link(port)
    , m_clock(&m_closing, &m_stop)
{
}

void DialogueRunner::stop()
{
    if (m_running)
        m_stop = true;
}

QString DialogueRunner::timeStamp()
{
    const QDateTime now = QDateTime::currentDateTime();
    if (!m_firstStampAt.isValid())
        m_firstStampAt = now;
    return zel::timeStamp(now, QLocale());
}

template <class Dialogue>
DialogueStatus DialogueRunner::run(Dialogue&& dialogue)
{
    m_stop = false;
    m_firstStampAt = {};
    m_running = true;
    emit started();
    auto status = DialogueStatus::Refused;
    try {
        status = dialogue();
    } catch (...) {
        m_running = false;
        emit finished(status);
        throw;
    }
    m_running = false;
    emit finished(status);
    return status;
}

DialogueStatus DialogueRunner::readData(StationReading& reading, QDateTime& readAt)
{
    struct StampAtEnd {
        DialogueRunner& runner;
        QDateTime& readAt;
        ~StampAtEnd()
        {
            readAt = runner.m_firstStampAt.isValid() ? runner.m_firstStampAt : QDateTime::currentDateTime();
        }
    } stamp{*this, readAt};
    return run([&] { return readStationMemory(m_link, m_clock, *this, reading); });
}

DialogueStatus DialogueRunner::uploadTable(const QByteArray& name, const std::vector<std::uint16_t>& words)
{
    return run([&] { return uploadElectrodeTable(m_link, m_clock, *this, name, words); });
}

DialogueStatus DialogueRunner::uploadFirmware(const QByteArray& image)
{
    return run([&] { return zel::uploadFirmware(m_link, m_clock, *this, image); });
}

} // namespace zel
