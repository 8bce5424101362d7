// "Read Data" of a full memory from the simulated station at 115200 bit/s:
// wall time against the time the bytes need on the line, and the CPU time
// the program spends waiting. Usage: zel-bench-read [count] [baud]
#include "protocol/EventLoopClock.h"
#include "data/NumericLocale.h"
#include "protocol/ReadData.h"
#include "protocol/SerialLink.h"
#include "serial/QCCom32.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <sys/resource.h>

namespace {

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

class QuietReport : public zel::DialogueReport {
public:
    void addLine(const zel::ReportLine&) override {}
    QString timeStamp() override { return QStringLiteral("07.12.2026 10:11:12"); }
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    zel::keepFullStopInNumbers();
    const int count = argc > 1 ? std::atoi(argv[1]) : 32766;
    const int baud = argc > 2 ? std::atoi(argv[2]) : 115200;

    QTemporaryDir dir;
    const QString link = dir.filePath("station");
    QProcess sim;
    sim.start(QStringLiteral(ZEL_STATION_SIM), {"--link", link, "--count", QString::number(count), "--once"});
    if (!sim.waitForStarted() || !sim.waitForReadyRead(5000)) {
        std::fprintf(stderr, "cannot start the simulated station\n");
        return 1;
    }

    T_QCCom32 com;
    com.setShowErrors(false);
    com.setDeviceResolver([&](int) { return QString(link); });
    com.setBaud(baud);
    zel::SerialLink line(com);
    zel::EventLoopClock clock;
    QuietReport report;
    zel::StationReading reading;

    const double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    const zel::DialogueStatus status = zel::readStationMemory(line, clock, report, reading);
    const double wallS = double(wall.elapsed()) / 1000.0;
    const double cpuS = cpuSeconds() - cpu0;

    const double bytes = double(count) * 32 + 2;
    const double lineS = bytes * 10 / baud;
    const double goalS = 1.01 * (lineS + 0.5) + 0.6;
    std::printf("measurements          %d (%.0f bytes) at %d bit/s\n", count, bytes, baud);
    std::printf("status                %s\n", status == zel::DialogueStatus::Done ? "read, checksum matched" : "FAILED");
    std::printf("line time             %8.2f s\n", lineS);
    std::printf("wall time             %8.2f s   (goal <= %.2f s)\n", wallS, goalS);
    std::printf("program CPU time      %8.3f s   (%.2f %% of wall; goal <= 2 %%)\n", cpuS, 100 * cpuS / wallS);
    sim.waitForFinished(3000);
    return status == zel::DialogueStatus::Done ? 0 : 1;
}
