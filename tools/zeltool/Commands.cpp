#include "Commands.h"

#include "data/DataFile.h"
#include "data/RawDump.h"
#include "data/TextTable.h"
#include "data/TimeText.h"
#include "data/ZelError.h"

#include "export/ExelCall.h"
#include "export/XlsxWriter.h"
#include "protocol/EventLoopClock.h"
#include "protocol/ReadData.h"
#include "protocol/SerialLink.h"
#include "serial/PortMap.h"
#include "serial/QCCom32.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocale>
#include <QSettings>
#include <QTimer>

namespace zeltool {

namespace {

void printLine(std::FILE* f, const QString& line)
{
    const QByteArray utf8 = line.toUtf8();
    std::fwrite(utf8.constData(), 1, std::size_t(utf8.size()), f);
    std::fputc('\n', f);
}

constexpr const char* kUsage =
    "usage: zeltool view FILE.zel\n"
    "       zeltool text FILE.zel OUT.txt\n"
    "       zeltool read --port DEVICE|COMn [--baud N] OUT.zel\n"
    "       zeltool port DEVICE [NOTE]\n"
    "       zeltool xlsx --layout zel-solo|terravox FILE.zel OUT.xlsx\n";

const QString kIniName = QStringLiteral("Zel-Terravox.ini");

QSettings iniInCurrentDir() { return QSettings(QDir::current().filePath(kIniName), QSettings::IniFormat); }

// Options of the form --name value; the rest stays in `args`.
QString takeOption(QStringList& args, const QString& name)
{
    const qsizetype at = args.indexOf(name);
    if (at < 0 || at + 1 >= args.size())
        return {};
    const QString value = args.at(at + 1);
    args.remove(at, 2);
    return value;
}

// The device of a port given as a device path, or as "COMn": the number the
// window shows for it (the settings file of the current directory), or the
// platform's own device of that number.
QString deviceOfPort(const QString& port)
{
    if (port.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)) {
        bool ok = false;
        const int n = port.mid(3).toInt(&ok);
        if (ok && n >= zel::kFirstPort && n <= zel::kLastPort) {
            QSettings ini = iniInCurrentDir();
            const QString mapped = ini.value(QStringLiteral("Ports/COM%1").arg(n)).toString();
            return mapped.isEmpty() ? T_QCCom32::defaultDevicePath(n) : mapped;
        }
    }
    return port;
}

// The dialogue's lines on stdout, the progress of the data answer on stderr.
class ConsoleReport : public zel::DialogueReport {
public:
    ConsoleReport(std::FILE* out, std::FILE* err) : m_out(out), m_err(err) { m_clock.start(); }
    void addLine(const QString& line) override { printLine(m_out, line); }
    QString timeStamp() override { return zel::timeStamp(); }
    void dataProgress(qint64 arrived, qint64 expected) override
    {
        if (arrived < expected && m_clock.elapsed() - m_last < 500)
            return;
        m_last = m_clock.elapsed();
        std::fprintf(m_err, "\rreceived %lld of %lld bytes", static_cast<long long>(arrived),
                     static_cast<long long>(expected));
        if (arrived >= expected)
            std::fputc('\n', m_err);
        std::fflush(m_err);
    }

private:
    std::FILE* m_out;
    std::FILE* m_err;
    QElapsedTimer m_clock;
    qint64 m_last = -1000;
};

// Loads and decodes a data file as "Load File" does. Throws on failure.
zel::DumpDecoding load(const QString& path, std::FILE* err)
{
    const zel::DumpDecoding d = zel::decodeDump(zel::readWholeFile(path));
    if (d.outcome != zel::DumpDecoding::Outcome::Decoded)
        throw zel::ZelError(zel::withFullStop(d.message));
    // A notice that only part of the records could be decoded.
    for (qsizetype i = 4; i < d.lines.size(); ++i)
        printLine(err, QStringLiteral("zeltool: ") + d.lines.at(i));
    return d;
}

} // namespace

int view(const QStringList& args, std::FILE* out, std::FILE* err)
{
    if (args.size() != 1) {
        std::fputs(kUsage, err);
        return 2;
    }
    const zel::DumpDecoding d = load(args.at(0), err);
    QStringList lines;
    zel::appendViewLines(d.decoded, d.count.value_or(0), zel::DateTimeSeparators::of(QLocale()), lines);
    for (const QString& line : lines)
        printLine(out, line);
    return 0;
}

int text(const QStringList& args, std::FILE* /*out*/, std::FILE* err)
{
    if (args.size() != 2) {
        std::fputs(kUsage, err);
        return 2;
    }
    const zel::DumpDecoding d = load(args.at(0), err);
    zel::writeWholeFile(args.at(1),
                        zel::textFileBytes(d.decoded, d.count.value_or(0), zel::DateTimeSeparators::of(QLocale())));
    return 0;
}

int read(const QStringList& arguments, std::FILE* out, std::FILE* err)
{
    QStringList args = arguments;
    const QString port = takeOption(args, QStringLiteral("--port"));
    const QString baud = takeOption(args, QStringLiteral("--baud"));
    bool baudOk = true;
    const int speed = baud.isEmpty() ? 115200 : baud.toInt(&baudOk);
    if (port.isEmpty() || args.size() != 1 || !baudOk || speed <= 0) {
        std::fputs(kUsage, err);
        return 2;
    }
    T_QCCom32 com;
    com.setShowErrors(false);
    const QString device = deviceOfPort(port);
    com.setDeviceResolver([device](int) { return device; });
    com.setBaud(speed);

    QTimer timer;
    bool timedOut = false;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        timer.stop();
        timedOut = true;
    });
    zel::SerialLink link(com);
    zel::EventLoopClock clock(timer, timedOut);
    ConsoleReport report(out, err);
    zel::StationReading reading;
    const zel::DialogueStatus status = zel::readStationMemory(link, clock, report, reading);
    if (status == zel::DialogueStatus::PortNotOpened)
        throw zel::ZelError(QStringLiteral("cannot open %1").arg(device));
    if (status != zel::DialogueStatus::Done)
        return 1;
    if (reading.count.value_or(0) == 0) {
        printLine(err, QStringLiteral("zeltool: the station holds no measurements; nothing written"));
        return 0;
    }
    const zel::DumpDecoding d = zel::decodeDump(reading.rawDump);
    for (const QString& line : d.lines)
        printLine(out, line);
    if (d.outcome != zel::DumpDecoding::Outcome::Decoded)
        throw zel::ZelError(d.message);
    zel::writeWholeFile(args.at(0), reading.rawDump);
    return 0;
}

int port(const QStringList& args, std::FILE* out, std::FILE* err)
{
    if (args.isEmpty() || args.size() > 2) {
        std::fputs(kUsage, err);
        return 2;
    }
    QSettings ini = iniInCurrentDir();
    const zel::PortMap map(ini, {args.at(0)}, [](const QString&) { return true; });
    for (int n = zel::kFirstPort; n <= zel::kLastPort; ++n) {
        if (map.deviceOf(n) != args.at(0))
            continue;
        if (args.size() == 2) {
            ini.setValue(QStringLiteral("PortNotes/COM%1").arg(n), args.at(1));
            ini.sync();
        }
        printLine(out, QStringLiteral("COM%1").arg(n));
        return 0;
    }
    throw zel::ZelError(QStringLiteral("no free port number for %1").arg(args.at(0)));
}

int xlsx(const QStringList& arguments, std::FILE* /*out*/, std::FILE* err)
{
    QStringList args = arguments;
    const QString layoutName = takeOption(args, QStringLiteral("--layout"));
    const int layout = layoutName == QLatin1String("zel-solo") ? zel::kZelSoloLayout
        : layoutName == QLatin1String("terravox")              ? zel::kTerravoxLayout
                                                               : -1;
    if (layout < 0 || args.size() != 2) {
        std::fputs(kUsage, err);
        return 2;
    }
    const zel::DumpDecoding d = load(args.at(0), err);
    zel::SheetModel sheet;
    std::uint16_t count = 0;
    zel::HeaderTexts headers;
    QString error;
    try {
        zel::ExelCall(layout, d.decoded, QLocale(), sheet, count, headers);
    } catch (const zel::ZelError& e) {
        error = e.text();
    }
    zel::writeXlsx(sheet, args.at(1));
    if (!error.isEmpty())
        throw zel::ZelError(error);
    return 0;
}

int run(const QStringList& args, std::FILE* out, std::FILE* err)
{
    if (args.isEmpty()) {
        std::fputs(kUsage, err);
        return 2;
    }
    const QString command = args.at(0);
    const QStringList rest = args.mid(1);
    try {
        if (command == QLatin1String("view"))
            return view(rest, out, err);
        if (command == QLatin1String("text"))
            return text(rest, out, err);
        if (command == QLatin1String("read"))
            return read(rest, out, err);
        if (command == QLatin1String("port"))
            return port(rest, out, err);
        if (command == QLatin1String("xlsx"))
            return xlsx(rest, out, err);
    } catch (const zel::ZelError& e) {
        printLine(err, QStringLiteral("zeltool: ") + zel::withFullStop(e.text()));
        return 1;
    }
    std::fputs(kUsage, err);
    return 2;
}

} // namespace zeltool
