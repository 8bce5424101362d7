#include "Commands.h"

#include "inversion/Files.h"

#include "data/DataFile.h"
#include "data/Settings.h"
#include "data/RawDump.h"
#include "data/TextTable.h"
#include "data/TimeText.h"
#include "data/ZelError.h"

#include "export/ExelCall.h"
#include "export/XlsxWriter.h"
#include "data/Cp1251.h"
#include "protocol/ElectrodeTable.h"
#include "protocol/DialogueRunner.h"
#include "protocol/EventLoopClock.h"
#include "protocol/Firmware.h"
#include "protocol/ReadData.h"
#include "protocol/SerialLink.h"
#include "serial/PortMap.h"
#include "serial/QCCom32.h"
#include "survey/Exports.h"
#include "survey/Lines.h"
#include "survey/Sequence.h"
#include "data/ReadingArchive.h"

#include "plots/Plots.h"

#include <qcustomplot.h>

#include "texts/Texts.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QLocale>
#include <QSettings>
#include <QTimer>

#include <atomic>
#include <csignal>

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
    "       zeltool port [--number N] DEVICE [NOTE]\n"
    "       zeltool xlsx --layout zel-solo|terravox FILE.zel OUT.xlsx\n"
    "       zeltool export --format csv|res2dinv|ohm [--spacing S] [--x0 X] [--channels consecutive|first]\n"
    "                      [--line L --file F] [--exclude FILE | --ignore-exclusions] [--drop-flagged] [THRESHOLDS]\n"
    "                      FILE.zel OUT\n"
    "       zeltool check [--spacing S] [--x0 X] [--channels consecutive|first] [--line L --file F]\n"
    "                     [THRESHOLDS] FILE.zel\n"
    "         THRESHOLDS: [--min-voltage MV] [--spike-factor F] [--max-error P] [--default-error P] [--min-error P]\n"
    "       zeltool sequence --array wenner|schlumberger|dipole-dipole --electrodes COUNT [--first F]\n"
    "                        [--a-min A] [--a-max A] [--n-max N] [--channels 1|4] [--reciprocals] OUT.txt\n"
    "       zeltool plot --kind profile|pseudosection [--value u|r] [--log] [--line L --file F]\n"
    "                    [--spacing S] [--x0 X] [--channels consecutive|first]\n"
    "                    [--width W --height H] FILE.zel OUT.png|OUT.pdf\n"
    "       zeltool invert [--line L --file F] [--spacing S] [--x0 X] [--channels consecutive|first]\n"
    "                      [--exclude FILE | --ignore-exclusions] [--drop-flagged] [THRESHOLDS] [--topography FILE]\n"
    "                      [--lambda L] [--max-iterations N] [--robust] [--vertical-ratio R] [--png] [--pdf]\n"
    "                      FILE.zel|FILE.ohm OUT\n"
    "       zeltool protocol --port DEVICE|COMn [--baud N] TABLE.txt\n"
    "       zeltool firmware --port DEVICE|COMn [--baud N] [--yes] FILE.bin\n";

// The usage text on stderr, after what was wrong when it is known; the
// exit status of a wrong call.
int usage(std::FILE* err, const QString& wrong = QString())
{
    if (!wrong.isEmpty())
        printLine(err, QStringLiteral("zeltool: ") + wrong);
    std::fputs(kUsage, err);
    return 2;
}

// A failure of zeltool's own, in its own words.
struct ToolError {
    QString text;
};

// A wrong call: an option whose value cannot be, named with its value.
struct UsageError {
    QString text;
};

QSettings iniInCurrentDir() { return QSettings(zel::settings::fileIn(QDir::currentPath()), zel::settings::iniFormat()); }

// A subcommand's options and positional arguments.
class Arguments {
public:
    Arguments(const QStringList& args, const QList<QCommandLineOption>& options)
    {
        m_parser.addOptions(options);
        for (const QCommandLineOption& o : options)
            m_names += o.names();
        m_ok = m_parser.parse(QStringList{QStringLiteral("zeltool")} + args);
    }
    // True when every option was known and the positional arguments number
    // from `least` to `most`.
    bool ok(qsizetype least, qsizetype most) const
    {
        const qsizetype n = m_parser.positionalArguments().size();
        return m_ok && n >= least && n <= most;
    }
    // What was wrong with the call: an unknown option, a missing value, or
    // the number of files.
    QString wrong(qsizetype least, qsizetype most) const
    {
        if (!m_ok)
            return m_parser.errorText();
        const qsizetype n = m_parser.positionalArguments().size();
        if (n < least)
            return QStringLiteral("%1 file name(s) needed, %2 given").arg(least).arg(n);
        if (n > most)
            return QStringLiteral("at most %1 file name(s), %2 given").arg(most).arg(n);
        return {};
    }
    QString value(const QString& name) const { return m_parser.value(name); }
    // The whole number of an option; throws naming the option when it is not one.
    int wholeNumber(const QString& name) const
    {
        bool ok = false;
        const int v = m_parser.value(name).toInt(&ok);
        if (!ok)
            throw UsageError{QStringLiteral("--%1 %2: a whole number is needed").arg(name, m_parser.value(name))};
        return v;
    }
    // False for an option the command does not take.
    bool isSet(const QString& name) const { return m_names.contains(name) && m_parser.isSet(name); }
    QString at(qsizetype i) const { return m_parser.positionalArguments().value(i); }
    qsizetype count() const { return m_parser.positionalArguments().size(); }

private:
    QCommandLineParser m_parser;
    QStringList m_names;
    bool m_ok = false;
};

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
            printLine(m_out, hint);
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

// The error that ended a decoding that did not succeed.
[[noreturn]] void throwDecodingError(const zel::DumpDecoding& d)
{
    if (d.error)
        throw *d.error;
    throw ToolError{zel::texts::headerRejected()};
}

// Loads and decodes a data file as "Load File" does. Throws on failure.
zel::DumpDecoding load(const QString& path, std::FILE* err)
{
    zel::DumpDecoding d = zel::decodeDump(zel::readWholeFile(path));
    if (d.outcome != zel::DumpDecoding::Outcome::Decoded)
        throwDecodingError(d);
    // A notice that only part of the records could be decoded.
    for (qsizetype i = 4; i < d.lines.size(); ++i)
        printLine(err, QStringLiteral("zeltool: ") + zel::texts::lineText(d.lines.at(i)));
    return d;
}

// The options of the survey geometry, shared by export and plot.
const QString kSpacing = QStringLiteral("spacing"), kX0 = QStringLiteral("x0"), kChannels = QStringLiteral("channels"),
              kLine = QStringLiteral("line"), kFile = QStringLiteral("file");
const QList<QCommandLineOption> kGeometryOptions = {
    {kSpacing, QStringLiteral("Electrode spacing, m."), QStringLiteral("S")},
    {kX0, QStringLiteral("Position of electrode 0, m."), QStringLiteral("X")},
    {kChannels, QStringLiteral("consecutive or first."), QStringLiteral("NAME")},
    {kLine, QStringLiteral("The profile's line."), QStringLiteral("L")},
    {kFile, QStringLiteral("The profile's file."), QStringLiteral("F")},
};

// The thresholds of the data check, shared by check and export.
const QString kMinVoltage = QStringLiteral("min-voltage"), kSpikeFactor = QStringLiteral("spike-factor"),
              kMaxError = QStringLiteral("max-error"), kDefaultError = QStringLiteral("default-error"),
              kMinError = QStringLiteral("min-error");
const QList<QCommandLineOption> kCheckOptions = {
    {kMinVoltage, QStringLiteral("Below this |U|, mV, a low signal."), QStringLiteral("MV")},
    {kSpikeFactor, QStringLiteral("Beyond this ratio to the neighbours, a spike."), QStringLiteral("F")},
    {kMaxError, QStringLiteral("Above this error estimate, %, an error."), QStringLiteral("P")},
    {kDefaultError, QStringLiteral("The error, %, of a value without an estimate in .ohm."), QStringLiteral("P")},
    {kMinError, QStringLiteral("The least error, %, of any value in .ohm."), QStringLiteral("P")},
};

// The options, else the profile's own of the lines file beside the data
// file, else [Survey] of the settings file here, else the defaults. A bad
// value in the settings file that no option replaces is refused, naming the
// key, the value and the file; so is a lines file that cannot be used.
zel::SurveyGeometry surveyGeometryOf(const Arguments& args, const QString& dataFile = QString())
{
    QSettings ini = iniInCurrentDir();
    std::vector<zel::SurveySettingProblem> problems;
    zel::SurveyGeometry geometry = zel::readSurveyGeometry(ini, &problems);
    for (const zel::SurveySettingProblem& p : problems) {
        static const QMap<QString, QString> optionOfKey = {
            {QStringLiteral("Spacing"), kSpacing},         {QStringLiteral("X0"), kX0},
            {QStringLiteral("Channels"), kChannels},       {QStringLiteral("MinVoltage"), kMinVoltage},
            {QStringLiteral("SpikeFactor"), kSpikeFactor}, {QStringLiteral("MaxError"), kMaxError},
            {QStringLiteral("DefaultError"), kDefaultError}, {QStringLiteral("MinError"), kMinError}};
        if (!args.isSet(optionOfKey.value(p.key)))
            throw ToolError{zel::texts::surveySettingProblem(QDir::toNativeSeparators(ini.fileName()), p.key, p.value, p.range)};
    }
    auto number = [&](const QString& option, double& into, double low, double high) {
        if (!args.isSet(option))
            return;
        const std::optional<double> v = zel::decimalOfText(args.value(option));
        if (!v || !(*v >= low && *v <= high))
            throw ToolError{QStringLiteral("--%1 %2: a number from %3 to %4 is needed")
                                .arg(option, args.value(option))
                                .arg(low)
                                .arg(high)};
        into = *v;
    };
    number(kSpacing, geometry.spacing, zel::kMinSpacing, zel::kMaxSpacing);
    number(kX0, geometry.x0, -zel::kMaxOffset, zel::kMaxOffset);
    if (!dataFile.isEmpty()) {
        geometry.lines = zel::readLinesBeside(dataFile);
        // An option holds for every line.
        for (auto& [profile, line] : geometry.lines) {
            if (args.isSet(kSpacing))
                line.spacing.reset();
            if (args.isSet(kX0))
                line.x0.reset();
        }
    }
    zel::CheckThresholds& t = geometry.thresholds;
    for (const auto& [option, into] : {std::pair{kMinVoltage, &t.minVoltage}, std::pair{kMaxError, &t.maxError},
                                       std::pair{kDefaultError, &t.defaultError}, std::pair{kMinError, &t.minError}})
        number(option, *into, zel::kMinThreshold, zel::kMaxThreshold);
    number(kSpikeFactor, t.spikeFactor, zel::kMinSpikeFactor, zel::kMaxThreshold);
    if (args.isSet(kChannels)) {
        const auto g = zel::channelGeometryOfName(args.value(kChannels));
        if (!g)
            throw ToolError{QStringLiteral("--channels %1: consecutive or first").arg(args.value(kChannels))};
        geometry.channels = *g;
    }
    return geometry;
}

// Refuses a profile of --line and --file that the data do not have.
void requireProfile(const std::vector<zel::MeasurementRecord>& records, const std::optional<zel::Profile>& profile)
{
    if (!profile)
        return;
    const auto all = zel::profilesOf(records);
    if (std::find(all.begin(), all.end(), *profile) == all.end())
        throw zel::ZelError(zel::ErrorId::ProfileNotInData, {QString::number(profile->line), QString::number(profile->file)});
}

const QString kExclude = QStringLiteral("exclude"), kDropFlagged = QStringLiteral("drop-flagged"),
              kIgnoreExclusions = QStringLiteral("ignore-exclusions");

// What a file of exclusions that does not match the data stops.
enum class BadExclusions {
    Refuse,  // a file of values for an inversion: the values would go in unchecked
    Say,     // a listing: said, and the values listed without it
};

// The values the user left out: of --exclude FILE, else of the exclusions
// file beside the data file when there is one (unless --ignore-exclusions).
// A file that does not match the data is refused when named; found beside
// the data, it is refused or said as `bad` has it.
zel::Exclusions exclusionsOf(const Arguments& args, const QString& dataFile, int records, std::FILE* err,
                             BadExclusions bad)
{
    const bool named = args.isSet(kExclude);
    const QString path = named ? args.value(kExclude) : zel::exclusionsFileOf(dataFile);
    if (!named && (!QFileInfo::exists(path) || args.isSet(kIgnoreExclusions)))
        return {};
    const zel::ExclusionsRead read = zel::parseExclusions(zel::readWholeFile(path), records);
    if (read.badLine == 0)
        return read.exclusions;
    const QString problem = zel::texts::exclusionsBadLine(QDir::toNativeSeparators(path), read.badLine);
    if (named)
        throw ToolError{problem};
    if (bad == BadExclusions::Refuse)
        throw ToolError{problem + QStringLiteral(" (--ignore-exclusions exports without it)")};
    printLine(err, QStringLiteral("zeltool: ") + problem);
    return {};
}

// The profile of --line and --file, none when neither is given.
std::optional<zel::Profile> profileOf(const Arguments& args)
{
    if (args.isSet(kLine) != args.isSet(kFile))
        throw UsageError{QStringLiteral("--line and --file go together")};
    if (!args.isSet(kLine))
        return std::nullopt;
    return zel::Profile{args.wholeNumber(kLine), args.wholeNumber(kFile)};
}

} // namespace

int view(const QStringList& arguments, std::FILE* out, std::FILE* err)
{
    const Arguments args(arguments, {});
    if (!args.ok(1, 1))
        return usage(err, args.wrong(1, 1));
    const zel::DumpDecoding d = load(args.at(0), err);
    QStringList lines;
    zel::appendViewLines(d.decoded, d.count.value_or(0), zel::DateTimeSeparators::of(QLocale()), lines);
    for (const QString& line : lines)
        printLine(out, line);
    return 0;
}

int text(const QStringList& arguments, std::FILE* /*out*/, std::FILE* err)
{
    const Arguments args(arguments, {});
    if (!args.ok(2, 2))
        return usage(err, args.wrong(2, 2));
    zel::refuseOutputOverInput(args.at(0), args.at(1));
    const zel::DumpDecoding d = load(args.at(0), err);
    zel::writeWholeFile(args.at(1),
                        zel::textFileBytes(d.decoded, d.count.value_or(0), zel::DateTimeSeparators::of(QLocale())));
    return 0;
}

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
    // The line of --port and --baud; throws naming a speed the station has not.
    Session(const Arguments& args, std::FILE* out, std::FILE* err)
        : m_printer(m_runner, out, err)
    {
        const QString port = args.value(kPortOption.names().constFirst());
        const int speed = args.wholeNumber(kBaudOption.names().constFirst());
        if (std::find(kLineSpeeds.begin(), kLineSpeeds.end(), speed) == kLineSpeeds.end())
            throw UsageError{QStringLiteral("--baud %1: one of 9600, 19200, 38400, 57600, 115200").arg(speed)};
        m_valid = !port.isEmpty();
        m_device = deviceOfPort(port);
        m_com.setShowErrors(false);
        m_com.setDeviceResolver([this](int) { return m_device; });
        m_com.setBaud(speed);
    }
    bool valid() const { return m_valid; }
    zel::DialogueRunner& runner() { return m_runner; }
    // The exit status of a dialogue that ended so.
    int exitStatus(zel::DialogueStatus status) const
    {
        if (status == zel::DialogueStatus::PortNotOpened)
            throw ToolError{QStringLiteral("cannot open %1").arg(m_device)};
        return status == zel::DialogueStatus::Done ? 0 : 1;
    }

private:
    bool m_valid = false;
    QString m_device;
    T_QCCom32 m_com;
    zel::DialogueRunner m_runner{m_com};
    ConsolePrinter m_printer;
    InterruptStops m_interrupt{m_runner};
};

int read(const QStringList& arguments, std::FILE* out, std::FILE* err)
{
    const Arguments args(arguments, {kPortOption, kBaudOption});
    if (!args.ok(1, 1))
        return usage(err, args.wrong(1, 1));
    Session session(args, out, err);
    if (!session.valid())
        return usage(err, QStringLiteral("--port is needed"));
    // A name that cannot be written is said before a transfer of minutes.
    zel::checkWritable(args.at(0));
    zel::StationReading reading;
    QDateTime readAt;
    const zel::DialogueStatus status = session.runner().readData(reading, readAt);
    // Every reading is kept as the window keeps it, before anything else.
    try {
        const QString kept = zel::keepStationReading(zel::ReadingArchive(zel::ReadingArchive::defaultFolder()), reading,
                                                     status, readAt);
        if (!kept.isEmpty())
            printLine(err, QStringLiteral("zeltool: ") + zel::texts::readingKept(QDir::toNativeSeparators(kept)));
    } catch (const zel::ZelError& e) {
        printLine(err, QStringLiteral("zeltool: ") + zel::texts::readingNotKeptByTool(zel::texts::errorText(e)));
    }
    if (session.exitStatus(status) != 0)
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

int port(const QStringList& arguments, std::FILE* out, std::FILE* err)
{
    const QString numberOption = QStringLiteral("number");
    const Arguments args(arguments, {{numberOption, QStringLiteral("The COM number."), QStringLiteral("N")}});
    if (!args.ok(1, 2))
        return usage(err, args.wrong(1, 2));
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

int xlsx(const QStringList& arguments, std::FILE* /*out*/, std::FILE* err)
{
    const Arguments args(arguments, {{QStringLiteral("layout"), QStringLiteral("The workbook's layout."), QStringLiteral("NAME")}});
    if (!args.ok(2, 2))
        return usage(err, args.wrong(2, 2));
    const QString layoutName = args.value(QStringLiteral("layout"));
    const int layout = layoutName == QLatin1String("zel-solo") ? zel::kZelSoloLayout
        : layoutName == QLatin1String("terravox")              ? zel::kTerravoxLayout
                                                               : -1;
    if (layout < 0)
        throw UsageError{QStringLiteral("--layout %1: zel-solo or terravox").arg(layoutName)};
    zel::refuseOutputOverInput(args.at(0), args.at(1));
    const zel::DumpDecoding d = load(args.at(0), err);
    const zel::SheetExport exported = zel::ExelCall(layout, d.decoded, QLocale());
    zel::writeXlsx(exported.sheet, args.at(1));
    if (exported.error)
        throw *exported.error;
    return 0;
}

int exportSurvey(const QStringList& arguments, std::FILE* out, std::FILE* err)
{
    const QString format = QStringLiteral("format");
    const Arguments args(arguments,
                         QList<QCommandLineOption>{
                             {format, QStringLiteral("csv, res2dinv or ohm."), QStringLiteral("NAME")},
                             {kExclude, QStringLiteral("The values to leave out."), QStringLiteral("FILE")},
                             {kDropFlagged, QStringLiteral("Leave out every flagged value too.")},
                             {kIgnoreExclusions, QStringLiteral("Leave out nothing of the exclusions file beside the data.")}}
                             + kGeometryOptions + kCheckOptions);
    if (!args.ok(2, 2))
        return usage(err, args.wrong(2, 2));
    const QString name = args.value(format);
    const std::optional<zel::SurveyFormat> kind = name == QLatin1String("csv") ? std::optional(zel::SurveyFormat::Csv)
        : name == QLatin1String("res2dinv")                                  ? std::optional(zel::SurveyFormat::Res2DInv)
        : name == QLatin1String("ohm")                                       ? std::optional(zel::SurveyFormat::Ohm)
                                                                             : std::nullopt;
    if (!kind)
        throw ToolError{QStringLiteral("unknown format \"%1\": csv, res2dinv or ohm").arg(name)};
    const zel::SurveyGeometry geometry = surveyGeometryOf(args, args.at(0));
    const std::optional<zel::Profile> profile = profileOf(args);

    const zel::DumpDecoding d = load(args.at(0), err);
    const std::vector<zel::MeasurementRecord> records = zel::recordsOf(d.decoded);
    const zel::ExportChoice choice{exclusionsOf(args, args.at(0), int(records.size()), err, BadExclusions::Refuse),
                                   args.isSet(kDropFlagged)};
    const auto files = zel::surveyExport(*kind, records, geometry, profile, args.at(1), choice);
    for (const auto& [path, bytes] : files)
        zel::refuseOutputOverInput(args.at(0), path);
    const QStringList written = zel::writeExportFiles(files);
    if (written.size() > 1)
        for (const QString& path : written)
            printLine(out, path);
    return 0;
}

// Ctrl+C during an inversion: it stops at its next step.
std::atomic<bool> g_stopInversion{false};
extern "C" void onInterruptInversion(int) { g_stopInversion = true; }

// The elevation of each electrode (in the order of zel::inv::electrodesOf)
// at the positions `x`, from the z of the file's electrodes at the same x.
std::vector<double> elevationsAt(const std::vector<double>& x, const zel::inv::OhmData& file)
{
    std::vector<double> z;
    bool any = false;
    for (const double xe : x) {
        double found = 0;
        for (std::size_t e = 0; e < file.electrodeX.size(); ++e)
            if (std::abs(file.electrodeX[e] - xe) <= 1e-3)
                found = file.electrodeZ[e];
        any = any || found != 0;
        z.push_back(found);
    }
    return any ? z : std::vector<double>{};
}

int invert(const QStringList& arguments, std::FILE* out, std::FILE* err)
{
    const QString topography = QStringLiteral("topography"), lambda = QStringLiteral("lambda"),
                  iterations = QStringLiteral("max-iterations"), robust = QStringLiteral("robust"),
                  ratio = QStringLiteral("vertical-ratio");
    const Arguments args(arguments,
                         QList<QCommandLineOption>{
                             {kExclude, QStringLiteral("The values to leave out."), QStringLiteral("FILE")},
                             {kDropFlagged, QStringLiteral("Leave out every flagged value too.")},
                             {kIgnoreExclusions, QStringLiteral("Leave out nothing of the exclusions file beside the data.")},
                             {topography, QStringLiteral("An elevation per electrode: x z, or electrode z."), QStringLiteral("FILE")},
                             {lambda, QStringLiteral("The regularisation at the start (20)."), QStringLiteral("L")},
                             {iterations, QStringLiteral("At most this many iterations (20)."), QStringLiteral("N")},
                             {robust, QStringLiteral("Weigh outliers down.")},
                             {ratio, QStringLiteral("Vertical against horizontal smoothness (1)."), QStringLiteral("R")},
                             {QStringLiteral("png"), QStringLiteral("Draw the section as OUT.png too.")},
                             {QStringLiteral("pdf"), QStringLiteral("Draw the section as OUT.pdf too.")}}
                             + kGeometryOptions + kCheckOptions);
    if (!args.ok(2, 2))
        return usage(err, args.wrong(2, 2));
    const QString in = args.at(0);
    const QString target = args.at(1);
    const bool ohm = in.endsWith(QLatin1String(".ohm"), Qt::CaseInsensitive);
    const zel::SurveyGeometry geometry = surveyGeometryOf(args, ohm ? QString() : in);
    zel::inv::InversionOptions options;
    auto positive = [&](const QString& option, double& into, double low, double high) {
        if (!args.isSet(option))
            return;
        const std::optional<double> v = zel::decimalOfText(args.value(option));
        if (!v || *v < low || *v > high)
            throw ToolError{QStringLiteral("--%1 %2: a number from %3 to %4 is needed").arg(option, args.value(option)).arg(low).arg(high)};
        into = *v;
    };
    positive(lambda, options.lambda, 0.001, 1e6);
    options.lambdaFloor = std::min(options.lambdaFloor, options.lambda);
    positive(ratio, options.verticalRatio, 0.01, 100);
    double maxIterations = options.maxIterations;
    positive(iterations, maxIterations, 1, 100);
    options.maxIterations = int(maxIterations);
    options.robust = args.isSet(robust);

    std::vector<zel::inv::Measurement> data;
    std::vector<std::pair<double, int>> numberAt;  // an electrode's x and number, for "electrode z"
    QString what;
    if (ohm) {
        const zel::inv::OhmData file =
            zel::inv::parseOhm(zel::readWholeFile(in), geometry.thresholds.defaultError, geometry.thresholds.minError);
        data = file.data;
        options.elevations = elevationsAt(zel::inv::electrodesOf(data), file);
        for (std::size_t e = 0; e < file.electrodeX.size(); ++e)
            numberAt.emplace_back(file.electrodeX[e], int(e) + 1);
        what = QDir::toNativeSeparators(in);
        if (file.poles > 0)
            printLine(err, QStringLiteral("zeltool: %1 data with a pole electrode left out").arg(file.poles));
    } else {
        std::optional<zel::Profile> profile = profileOf(args);
        const zel::DumpDecoding d = load(in, err);
        const std::vector<zel::MeasurementRecord> records = zel::recordsOf(d.decoded);
        requireProfile(records, profile);
        const auto withPositions = zel::pseudosectionProfiles(records);
        if (withPositions.empty())
            throw zel::ZelError(zel::ErrorId::NoPositions);
        if (!profile) {
            profile = withPositions.front();
            if (withPositions.size() > 1)
                printLine(err, QStringLiteral("zeltool: inverting L%1 F%2, the first of %3 profiles; --line and --file choose another")
                                   .arg(profile->line).arg(profile->file).arg(withPositions.size()));
        }
        const zel::ExportChoice choice{exclusionsOf(args, in, int(records.size()), err, BadExclusions::Refuse),
                                       args.isSet(kDropFlagged)};
        zel::inv::ProfileData profileData = zel::inv::profileData(records, geometry, *profile, choice);
        data = std::move(profileData.data);
        options.elevations = std::move(profileData.elevations);
        const std::vector<double> x = zel::inv::electrodesOf(data);
        for (std::size_t e = 0; e < x.size(); ++e)
            numberAt.emplace_back(x[e], profileData.electrodeNumbers[e]);
        what = QStringLiteral("L%1 F%2").arg(profile->line).arg(profile->file);
    }
    if (args.isSet(topography)) {
        const std::vector<double> x = zel::inv::electrodesOf(data);
        std::vector<int> numbers;
        for (const double xe : x) {
            const auto found = std::find_if(numberAt.begin(), numberAt.end(), [&](const auto& p) { return std::abs(p.first - xe) <= 1e-3; });
            numbers.push_back(found == numberAt.end() ? 0 : found->second);
        }
        const QString file = args.value(topography);
        options.elevations = zel::inv::elevationsAt(zel::parseTopography(zel::readWholeFile(file), QDir::toNativeSeparators(file)), x, numbers);
    }

    zel::refuseOutputOverInput(in, target);
    g_stopInversion = false;
    const auto previous = std::signal(SIGINT, onInterruptInversion);
    zel::inv::InversionResult result;
    try {
        result = zel::inv::invert(data, options, [&](const zel::inv::IterationReport& r) {
            printLine(out, QStringLiteral("iteration %1: chi² %2, RRMS %3 %, lambda %4, %5 s")
                               .arg(r.number)
                               .arg(r.chi2, 0, 'f', 2)
                               .arg(r.rrms, 0, 'f', 2)
                               .arg(r.lambda, 0, 'g', 3)
                               .arg(r.seconds, 0, 'f', 1));
            std::fflush(out);
        }, &g_stopInversion);
    } catch (const zel::inv::InversionRefused& e) {
        std::signal(SIGINT, previous == SIG_ERR ? SIG_DFL : previous);
        throw ToolError{QStringLiteral("%1: %2 (%3 data, %4 negative left out)")
                            .arg(what, QString::fromStdString(e.what()))
                            .arg(data.size())
                            .arg(std::count_if(data.begin(), data.end(), [](const auto& m) { return !(m.rhoa > 0); }))};
    }
    std::signal(SIGINT, previous == SIG_ERR ? SIG_DFL : previous);
    if (result.cancelled) {
        printLine(err, QStringLiteral("zeltool: stopped by the user; nothing written"));
        return 1;
    }
    const zel::inv::IterationReport& last = result.iterations.back();
    printLine(out, QStringLiteral("%1: %2 data, %3 cells, %4 iterations, chi² %5, RRMS %6 %%7")
                       .arg(what)
                       .arg(result.data.size())
                       .arg(result.mesh.parameterCount())
                       .arg(last.number)
                       .arg(last.chi2, 0, 'f', 2)
                       .arg(last.rrms, 0, 'f', 2)
                       .arg(result.leftOut > 0 ? QStringLiteral("; %1 negative left out").arg(result.leftOut) : QString()));
    const QString base = zel::inv::resultBaseName(target);
    QList<std::pair<QString, QByteArray>> files = zel::inv::resultFiles(result, target);
    for (const QString& kind : {QStringLiteral("png"), QStringLiteral("pdf")}) {
        if (!args.isSet(kind))
            continue;
        QCustomPlot picture;
        picture.setLocale(zel::plotLocale(zel::texts::currentLanguage() == zel::texts::Language::English));
        zel::drawSection(picture, result, zel::sectionTitle(what, result));
        const QString path = base + QLatin1Char('.') + kind;
        files.append({path, zel::plotPicture(picture, path, 1200, 500)});
    }
    for (const auto& [path, bytes] : files)
        zel::refuseOutputOverInput(in, path);
    for (const QString& path : zel::writeExportFiles(files))
        printLine(out, QDir::toNativeSeparators(path));
    return 0;
}

int check(const QStringList& arguments, std::FILE* out, std::FILE* err)
{
    const Arguments args(arguments, kGeometryOptions + kCheckOptions);
    if (!args.ok(1, 1))
        return usage(err, args.wrong(1, 1));
    const zel::SurveyGeometry geometry = surveyGeometryOf(args, args.at(0));
    const std::optional<zel::Profile> profile = profileOf(args);
    const zel::DumpDecoding d = load(args.at(0), err);
    std::vector<zel::MeasurementRecord> records = zel::recordsOf(d.decoded);
    requireProfile(records, profile);
    const zel::Exclusions excluded = exclusionsOf(args, args.at(0), int(records.size()), err, BadExclusions::Say);
    std::vector<zel::ChannelValue> values = zel::surveyValues(records, geometry);
    if (profile)
        std::erase_if(values, [&](const zel::ChannelValue& v) { return zel::profileOf(records[std::size_t(v.record)]) != *profile; });
    const std::vector<zel::ValueCheck> checks = zel::checkValues(records, values, geometry.thresholds);
    for (const zel::CheckSummary& s : zel::summarizeChecks(records, values, checks)) {
        QStringList kinds;
        for (int bit = 0; bit < zel::kCheckFlags; ++bit)
            kinds << QStringLiteral("%1 %2").arg(QString::fromLatin1(zel::flagName(zel::CheckFlag(1u << bit))))
                         .arg(s.byFlag[std::size_t(bit)]);
        printLine(out, QStringLiteral("L%1 F%2: %3 values, %4 flagged (%5), median error %6")
                           .arg(s.profile.line)
                           .arg(s.profile.file)
                           .arg(s.values)
                           .arg(s.flagged)
                           .arg(kinds.join(QStringLiteral(", ")),
                                s.medianError ? QString::fromLatin1(zel::plainDecimal(*s.medianError, 3, false)) + QStringLiteral(" %")
                                              : QStringLiteral("none")));
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (checks[i].flags == 0)
            continue;
        const zel::ChannelValue& v = values[i];
        const auto& r = records[std::size_t(v.record)];
        const auto& n = v.electrodes->number;
        printLine(out, QStringLiteral("%1 ch%2 L%3 F%4  a %5 b %6 m %7 n %8  rhoa %9  err %10  %11")
                           .arg(v.record + 1)
                           .arg(v.channel)
                           .arg(r.LineNo)
                           .arg(r.FileNo)
                           .arg(n[0])
                           .arg(n[1])
                           .arg(n[2])
                           .arg(n[3])
                           .arg(v.rhoa ? QString::fromLatin1(zel::plainDecimal(*v.rhoa, 6, false)) : QStringLiteral("-"),
                                checks[i].errorPercent ? QString::fromLatin1(zel::plainDecimal(*checks[i].errorPercent, 3, false)) + QStringLiteral(" %")
                                                       : QStringLiteral("-"),
                                QString::fromLatin1(zel::flagNames(checks[i].flags, excluded.count(zel::keyOf(v)) > 0))));
    }
    return 0;
}

int plot(const QStringList& arguments, std::FILE* /*out*/, std::FILE* err)
{
    const QString kind = QStringLiteral("kind"), value = QStringLiteral("value"), log = QStringLiteral("log"),
                  width = QStringLiteral("width"), height = QStringLiteral("height");
    const Arguments args(arguments,
                         QList<QCommandLineOption>{
                             {kind, QStringLiteral("profile or pseudosection."), QStringLiteral("NAME")},
                             {value, QStringLiteral("u or r."), QStringLiteral("NAME"), QStringLiteral("u")},
                             {log, QStringLiteral("A logarithmic value axis.")},
                             {width, QStringLiteral("Width in pixels."), QStringLiteral("W"), QStringLiteral("1000")},
                             {height, QStringLiteral("Height in pixels."), QStringLiteral("H"), QStringLiteral("700")}}
                             + kGeometryOptions);
    if (!args.ok(2, 2))
        return usage(err, args.wrong(2, 2));
    const QString kindName = args.value(kind);
    const QString valueName = args.value(value);
    if (kindName != QLatin1String("profile") && kindName != QLatin1String("pseudosection"))
        throw UsageError{QStringLiteral("--kind %1: profile or pseudosection").arg(kindName)};
    if (valueName != QLatin1String("u") && valueName != QLatin1String("r"))
        throw UsageError{QStringLiteral("--value %1: u or r").arg(valueName)};
    const int w = args.wholeNumber(width);
    const int h = args.wholeNumber(height);
    if (w < 100 || h < 100 || w > 10000 || h > 10000)
        throw UsageError{QStringLiteral("--width %1 --height %2: from 100 to 10000 pixels each").arg(w).arg(h)};
    const QString target = args.at(1);
    if (!target.endsWith(QLatin1String(".png"), Qt::CaseInsensitive) && !target.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        throw ToolError{QStringLiteral("%1: the picture is written as .png or .pdf").arg(target)};
    zel::refuseOutputOverInput(args.at(0), target);
    const zel::SurveyGeometry geometry = surveyGeometryOf(args, args.at(0));
    const std::optional<zel::Profile> profile = profileOf(args);

    const zel::DumpDecoding d = load(args.at(0), err);
    std::vector<zel::MeasurementRecord> records = zel::recordsOf(d.decoded);
    requireProfile(records, profile);

    QCustomPlot picture;
    picture.setLocale(zel::plotLocale(zel::texts::currentLanguage() == zel::texts::Language::English));
    if (kindName == QLatin1String("profile")) {
        // Every profile while they stay readable in one graph; else the first
        // that has something to draw, and the user is told how to choose another.
        std::optional<zel::Profile> only = profile;
        const zel::ProfileOptions options{valueName == QLatin1String("r") ? zel::ProfileValue::R : zel::ProfileValue::U,
                                          args.isSet(log), false};
        const auto empty = [](const zel::ProfileGraph& g) {
            return std::all_of(g.curves.begin(), g.curves.end(), [](const auto& c) { return c.points.empty(); });
        };
        const zel::ProfileGraph whole = zel::profileGraph(records, options.value, options.logarithmic, false, only);
        std::set<std::pair<int, int>> drawable;
        for (const zel::ProfileCurve& c : whole.curves)
            if (!c.points.empty())
                drawable.insert({c.profile.line, c.profile.file});
        if (!only && drawable.size() > std::size_t(zel::kReadableProfiles)) {
            only = zel::Profile{drawable.begin()->first, drawable.begin()->second};
            std::fprintf(err, "zeltool: drawing L%d F%d, the first of %zu profiles with plain measurements; --line and "
                              "--file choose another\n",
                         only->line, only->file, drawable.size());
        }
        const zel::ProfileGraph graph =
            only == profile ? whole : zel::profileGraph(records, options.value, options.logarithmic, false, only);
        if (empty(graph)) {
            // Why there is nothing: measurements with positions belong to the pseudosection.
            const bool positions = !zel::pseudosectionProfiles(records).empty();
            throw ToolError{positions && !std::any_of(records.begin(), records.end(), [](const auto& r) { return r.Mode <= 9; })
                                ? QStringLiteral("nothing to draw: no plain measurements; the pseudosection shows this "
                                                 "memory (--kind pseudosection)")
                                : QStringLiteral("nothing to draw: no plain measurement%1 has a value%2")
                                      .arg(only ? QStringLiteral(" of L%1 F%2").arg(only->line).arg(only->file) : QString(),
                                           options.logarithmic ? QStringLiteral(" above 0") : QString())};
        }
        zel::drawProfileGraph(picture, graph, options);
    } else {
        const auto withPositions = zel::pseudosectionProfiles(records);
        if (withPositions.empty() || (profile && std::find(withPositions.begin(), withPositions.end(), *profile) == withPositions.end()))
            throw zel::ZelError(zel::ErrorId::NoPositions);
        const zel::Pseudosection section = zel::pseudosection(records, geometry, profile.value_or(withPositions.front()));
        if (section.points.empty() && section.negative.empty())
            throw ToolError{QStringLiteral("nothing to draw: no value of L%1 F%2 has an apparent resistivity")
                                .arg(section.profile.line)
                                .arg(section.profile.file)};
        zel::drawPseudosection(picture, section);
    }
    zel::savePlot(picture, target, w, h);
    return 0;
}

int sequence(const QStringList& arguments, std::FILE* /*out*/, std::FILE* err)
{
    const QString array = QStringLiteral("array");
    const QStringList numbers = {QStringLiteral("electrodes"), QStringLiteral("first"), QStringLiteral("a-min"),
                                 QStringLiteral("a-max"), QStringLiteral("n-max"), QStringLiteral("channels")};
    QList<QCommandLineOption> options = {{array, QStringLiteral("wenner, schlumberger or dipole-dipole."), QStringLiteral("NAME")}};
    for (const QString& name : numbers)
        options.append({name, name, QStringLiteral("N")});
    options.append({QStringLiteral("reciprocals"), QStringLiteral("The reciprocal of each entry after the entries.")});
    const Arguments args(arguments, options);
    zel::SequenceOptions o;
    if (!args.ok(1, 1))
        return usage(err, args.wrong(1, 1));
    if (!args.isSet(QStringLiteral("electrodes")))
        return usage(err, QStringLiteral("--electrodes is needed"));
    if (!zel::arrayOfName(args.value(array), o.array))
        throw ToolError{QStringLiteral("--array %1: wenner, schlumberger or dipole-dipole").arg(args.value(array))};
    int* fields[] = {&o.electrodes, &o.first, &o.aMin, &o.aMax, &o.nMax, &o.channels};
    for (qsizetype i = 0; i < numbers.size(); ++i)
        if (args.isSet(numbers.at(i)))
            *fields[i] = args.wholeNumber(numbers.at(i));
    if (!args.isSet(QStringLiteral("a-max")))
        o.aMax = std::max(o.aMax, o.aMin);
    o.reciprocals = args.isSet(QStringLiteral("reciprocals"));
    zel::writeWholeFile(args.at(0), zel::electrodeTableText(zel::electrodeSequence(o)));
    return 0;
}

int protocol(const QStringList& arguments, std::FILE* out, std::FILE* err)
{
    const Arguments args(arguments, {kPortOption, kBaudOption});
    if (!args.ok(1, 1))
        return usage(err, args.wrong(1, 1));
    Session session(args, out, err);
    if (!session.valid())
        return usage(err, QStringLiteral("--port is needed"));
    // The whole table is read and checked before the line is opened.
    const QByteArray name = zel::protocolName(args.at(0));
    const auto words = zel::electrodeWords(zel::parseElectrodeTable(zel::readWholeFile(args.at(0))));
    return session.exitStatus(session.runner().uploadTable(name, words));
}

namespace {

bool confirm(std::FILE* in, std::FILE* err, const QString& question)
{
    printLine(err, question + QStringLiteral(" [y/N]"));
    char answer[16] = {};
    if (!std::fgets(answer, sizeof answer, in))
        return false;
    return answer[0] == 'y' || answer[0] == 'Y';
}

} // namespace

int firmware(const QStringList& arguments, std::FILE* in, std::FILE* out, std::FILE* err)
{
    const Arguments args(arguments, {kPortOption, kBaudOption, {QStringLiteral("yes"), QStringLiteral("Ask nothing.")}});
    const bool yes = args.isSet(QStringLiteral("yes"));
    if (!args.ok(1, 1))
        return usage(err, args.wrong(1, 1));
    Session session(args, out, err);
    if (!session.valid())
        return usage(err, QStringLiteral("--port is needed"));
    if (!yes && !confirm(in, err, zel::texts::firmwareSure()))
        return 1;
    const auto image = zel::firmwareImage(zel::readWholeFile(args.at(0)));
    if (!image)
        throw zel::ZelError(zel::ErrorId::NotFirmware);
    zel::checkFirmwareSize(*image);
    if (!yes
        && !confirm(in, err, zel::texts::firmwareModule(zel::fromCp1251(image->moduleName), QStringLiteral(". "))))
        return 1;
    return session.exitStatus(session.runner().uploadFirmware(image->image));
}

int run(const QStringList& args, std::FILE* out, std::FILE* err, std::FILE* in)
{
    if (args.isEmpty())
        return usage(err);
    const QString& command = args.at(0);
    const QStringList rest = args.mid(1);
    try {
        using Command = int (*)(const QStringList&, std::FILE*, std::FILE*);
        static const std::pair<const char*, Command> commands[] = {
            {"view", view},         {"text", text},         {"read", read},
            {"port", port},         {"xlsx", xlsx},         {"sequence", sequence},
            {"plot", plot}, {"check", check},         {"export", exportSurvey}, {"protocol", protocol},
            {"invert", invert},
        };
        for (const auto& [name, handler] : commands)
            if (command == QLatin1String(name))
                return handler(rest, out, err);
        if (command == QLatin1String("firmware"))
            return firmware(rest, in, out, err);
    } catch (const zel::ZelError& e) {
        printLine(err, QStringLiteral("zeltool: ") + zel::withFullStop(zel::texts::errorText(e)));
        return 1;
    } catch (const ToolError& e) {
        printLine(err, QStringLiteral("zeltool: ") + zel::withFullStop(e.text));
        return 1;
    } catch (const UsageError& e) {
        return usage(err, e.text);
    }
    return usage(err);
}

} // namespace zeltool
