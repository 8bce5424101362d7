#pragma once

#include "Dialogue.h"
#include "EventLoopClock.h"
#include "ReadData.h"
#include "SerialLink.h"

#include <QDateTime>
#include <QObject>

#include <vector>

class T_QCCom32;

namespace zel {

// Runs the station commands over the serial port component: Read Data and
// both uploads, one at a time, each as the steps of its dialogue with the
// station. What a dialogue reports goes out as signals (its list lines, its
// progress, its start and end), so that whoever shows it needs no part in
// the dialogue; stop() ends a running one as a time-out would.
class DialogueRunner : public QObject, private DialogueReport {
    Q_OBJECT
public:
    explicit DialogueRunner(T_QCCom32& port, QObject* parent = nullptr);

    bool running() const { return m_running; }
    // The user's Stop: the running dialogue ends with its own list line,
    // "$GB" and the port closed; nothing when none runs.
    void stop();
    // The program closes: a running dialogue ends at once, and none runs again.
    void closeDown() { m_closing = true; }
    // The dialogue timer.
    EventLoopClock& clock() { return m_clock; }

    // Read Data. `readAt` is when the dialogue first took the time: the time
    // of the reading. Throws ZelError as readStationMemory does.
    DialogueStatus readData(StationReading& reading, QDateTime& readAt);
    DialogueStatus uploadTable(const QByteArray& name, const std::vector<std::uint16_t>& words);
    DialogueStatus uploadFirmware(const QByteArray& image);

signals:
    void started();
    void lineAdded(const zel::ReportLine& line);
    // How far the data answer has arrived (`sending` false) or a long frame
    // has left (`sending` true).
    void progress(qint64 done, qint64 total, bool sending);
    void finished(zel::DialogueStatus status);

private:
    template <class Dialogue>
    DialogueStatus run(Dialogue&& dialogue);

    void addLine(const ReportLine& line) override { emit lineAdded(line); }
    QString timeStamp() override;
    void dataProgress(qint64 arrived, qint64 expected) override { emit progress(arrived, expected, false); }
    void sendProgress(qint64 sent, qint64 total) override { emit progress(sent, total, true); }

    SerialLink m_link;
    bool m_stop = false;
    bool m_closing = false;
    EventLoopClock m_clock;
    bool m_running = false;
    QDateTime m_firstStampAt;
};

} // namespace zel
