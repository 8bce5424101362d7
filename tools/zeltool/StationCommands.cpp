// zeltool's commands with the station: read, protocol and firmware, and the
// COM number of a device (port).
#include "Tool.h"

#include "texts/Texts.h"

#include "data/Cp1251.h"
#include "data/DataFile.h"
#include "data/ReadingArchive.h"
#include "data/ZelError.h"
#include "protocol/DialogueRunner.h"
#include "protocol/ElectrodeTable.h"
#include "protocol/Firmware.h"
#include "protocol/ReadData.h"
#include "protocol/StationFlows.h"
#include "serial/PortMap.h"
#include "serial/QCCom32.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>

#include <csignal>

namespace zeltool {

namespace {

const QCommandLineOption kPortOption(QStringLiteral("port"), QStringLiteral("The station's line."), QStringLiteral("DEVICE|COMn"));
const QCommandLineOption kBaudOption(QStringLiteral("baud"), QStringLiteral("Line speed."), QStringLiteral("N"),
                                     QStringLiteral("115200"));

// The device of a port given as a device path, or as "COMn": the number the
// window shows for it (the settings file of the current directory).
QString deviceOfPort(const QString& port)
{
    QSettings ini = iniInCurrentDir();
    return zel::PortMap::deviceOfPort(ini, port);
}

// The dialogue's lines on stdout, each failure followed by what to check as
// the window's status bar says it; the progress of the data answer on stderr.
// The dialogue's lines on stdout, each failure followed by what to check as
// the window's status bar says it; the progress on stderr, twice a second.
class ConsolePrinter {
public:
    ConsolePrinter(zel::DialogueRunner& runner, std::FILE* out, std::FILE* err)
        : m_out(out)
        , m_err(err)
    {
        m_clock.start();
        QObject::connect(&runner, &zel::DialogueRunner::lineAdded, [this](const zel::ReportLine& line) { addLine(line); });
        QObject::connect(&runner, &zel::DialogueRunner::progress,
                         [this](qint64 done, qint64 total, bool) { progress(done, total); });
    }

private:
    void addLine(const zel::ReportLine& line)
    {
        printLine(m_out, zel::texts::lineText(line));
        if (const QString hint = zel::texts::hintFor(line.id).text; !hint.isEmpty())
            printLine(m_err, QStringLiteral("zeltool: ") + hint);
    }
    void progress(qint64 done, qint64 total)
    {
        if (done < total && m_clock.elapsed() - m_last < 500)
            return;
        m_last = m_clock.elapsed();
        std::fprintf(m_err, "\r%lld of %lld bytes", static_cast<long long>(done), static_cast<long long>(total));
        if (done >= total)
            std::fputc('\n', m_err);
        std::fflush(m_err);
    }

    std::FILE* m_out;
    std::FILE* m_err;
    QElapsedTimer m_clock;
    qint64 m_last = -1000;
};

// The serial line of --port and --baud, with the dialogue's clock and report.
// Ctrl+C during a station command stops its dialogue as the window's Stop
// does: its own line, "$GB", the port closed, and what a reading got kept.
volatile std::sig_atomic_t g_interrupted = 0;
extern "C" void onInterrupt(int) { g_interrupted = 1; }

class InterruptStops {
public:
    explicit InterruptStops(zel::DialogueRunner& runner)
        : m_previous(std::signal(SIGINT, onInterrupt))
    {
        g_interrupted = 0;
        // The dialogue's waits run the event loop: the flag is looked at there.
        m_poll.setInterval(50);
        QObject::connect(&m_poll, &QTimer::timeout, [&runner] {
            if (g_interrupted)
                runner.stop();
        });
        m_poll.start();
    }
    ~InterruptStops() { std::signal(SIGINT, m_previous == SIG_ERR ? SIG_DFL : m_previous); }
    InterruptStops(const InterruptStops&) = delete;
    InterruptStops& operator=(const InterruptStops&) = delete;

private:
    void (*m_previous)(int);
    QTimer m_poll;
};

class Session {
public:
    // The arguments of a station command (--port, --baud, `more`, one file)
    // and its line; throws naming what is wrong with the call: files, no
    // --port, a speed the station has not.
    Session(const Call& call, const QList<QCommandLineOption>& more = {})
        : m_args(call.args, QList<QCommandLineOption>{kPortOption, kBaudOption} + more)
        , m_printer(m_runner, call.out, call.err)
    {
        if (!m_args.ok(1, 1))
            throw UsageError{m_args.wrong(1, 1)};
        const QString port = m_args.value(kPortOption.names().constFirst());
        if (port.isEmpty())
            throw UsageError{QStringLiteral("--port is needed")};
        const int speed = m_args.wholeNumber(kBaudOption.names().constFirst());
        if (std::find(kLineSpeeds.begin(), kLineSpeeds.end(), speed) == kLineSpeeds.end())
            throw UsageError{QStringLiteral("--baud %1: one of 9600, 19200, 38400, 57600, 115200").arg(speed)};
        m_device = deviceOfPort(port);
        m_com.setShowErrors(false);
        m_com.setDeviceResolver([this](int) { return m_device; });
        m_com.setBaud(speed);
    }
    const Arguments& args() const { return m_args; }
    zel::DialogueRunner& runner() { return m_runner; }
    // The exit status of a dialogue that ended so.
    int exitStatus(zel::DialogueStatus status) const
    {
        if (status == zel::DialogueStatus::PortNotOpened)
            throw ToolError{QStringLiteral("cannot open %1").arg(m_device)};
        return status == zel::DialogueStatus::Done ? 0 : 1;
    }

private:
    Arguments m_args;
    QString m_device;
    T_QCCom32 m_com;
    zel::DialogueRunner m_runner{m_com};
    ConsolePrinter m_printer;
    InterruptStops m_interrupt{m_runner};
};


bool confirm(std::FILE* in, std::FILE* err, const QString& question)
{
    printLine(err, question + QStringLiteral(" [y/N]"));
    char answer[16] = {};
    if (!std::fgets(answer, sizeof answer, in))
        return false;
    return answer[0] == 'y' || answer[0] == 'Y';
}


} // namespace

int read(const Call& call)
{
    std::FILE* out = call.out;
    std::FILE* err = call.err;
    Session session(call);
    const Arguments& args = session.args();
    // A name that cannot be written is said before a transfer of minutes.
    zel::checkWritable(args.at(0));
    // Every reading is kept as the window keeps it, before anything else.
    const zel::ReadOutcome outcome = zel::readAndKeep(session.runner(), zel::ReadingArchive(zel::ReadingArchive::defaultFolder()));
    const zel::StationReading& reading = outcome.reading;
    if (outcome.notKept)
        printLine(err, QStringLiteral("zeltool: ") + zel::texts::readingNotKeptByTool(zel::texts::errorText(*outcome.notKept)));
    else if (!outcome.kept.isEmpty())
        printLine(err, QStringLiteral("zeltool: ") + zel::texts::readingKept(QDir::toNativeSeparators(outcome.kept)));
    if (outcome.error)
        throw *outcome.error;
    if (session.exitStatus(outcome.status) != 0)
        return 1;
    if (reading.count.value_or(0) == 0) {
        printLine(err, QStringLiteral("zeltool: the station holds no measurements; nothing written"));
        return 0;
    }
    const zel::DumpDecoding d = zel::decodeDump(reading.rawDump);
    for (const QString& line : zel::texts::lineTexts(d.lines))
        printLine(out, line);
    if (d.outcome != zel::DumpDecoding::Outcome::Decoded)
        throwDecodingError(d);
    zel::writeWholeFile(args.at(0), reading.rawDump);
    return 0;
}

int port(const Call& call)
{
    const QStringList& arguments = call.args;
    std::FILE* out = call.out;
    const QString numberOption = QStringLiteral("number");
    const Arguments args(arguments, {{numberOption, QStringLiteral("The COM number."), QStringLiteral("N")}});
    if (!args.ok(1, 2))
        throw UsageError{args.wrong(1, 2)};
    const int wanted = args.isSet(numberOption) ? args.wholeNumber(numberOption) : 0;
    if (args.isSet(numberOption) && (wanted < zel::kFirstPort || wanted > zel::kLastPort))
        throw UsageError{QStringLiteral("--number %1: a number from %2 to %3 is needed")
                            .arg(wanted)
                            .arg(zel::kFirstPort)
                            .arg(zel::kLastPort)};
    QSettings ini = iniInCurrentDir();
    if (wanted)
        zel::PortMap::record(ini, wanted, args.at(0));
    const zel::PortMap map(ini, {args.at(0)}, [](const QString&) { return true; });
    for (int n = zel::kFirstPort; n <= zel::kLastPort; ++n) {
        if (map.deviceOf(n) != args.at(0))
            continue;
        if (args.count() == 2)
            zel::PortMap::setNote(ini, n, args.at(1));
        printLine(out, zel::PortMap::portText(n));
        return 0;
    }
    throw ToolError{QStringLiteral("no free port number for %1").arg(args.at(0))};
}

int protocol(const Call& call)
{
    Session session(call);
    const Arguments& args = session.args();
    // The whole table is read and checked before the line is opened.
    zel::TableUpload table;
    try {
        table = zel::tableUpload(args.at(0), zel::readWholeFile(args.at(0)));
    } catch (const zel::ZelError& e) {
        throwNamingFile(args.at(0), e);
    }
    return session.exitStatus(zel::uploadTable(session.runner(), table).status);
}

int firmware(const Call& call)
{
    std::FILE* in = call.in;
    std::FILE* err = call.err;
    Session session(call, {{QStringLiteral("yes"), QStringLiteral("Ask nothing.")}});
    const Arguments& args = session.args();
    const bool yes = args.isSet(QStringLiteral("yes"));
    if (!yes && !confirm(in, err, zel::texts::firmwareSure()))
        return 1;
    const zel::FirmwareImage image = zel::checkedFirmware(zel::readWholeFile(args.at(0)));
    if (!yes && !confirm(in, err, zel::texts::firmwareModule(zel::fromCp1251(image.moduleName), QStringLiteral(". "))))
        return 1;
    return session.exitStatus(zel::uploadFirmware(session.runner(), image).status);
}

} // namespace zeltool
