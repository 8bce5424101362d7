#include "Tool.h"

#include "texts/Texts.h"

#include "data/DataFile.h"
#include "data/Settings.h"
#include "data/ZelError.h"
#include "survey/Exports.h"
#include "survey/Lines.h"
#include "survey/Values.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>

#include <csignal>

namespace zeltool {

namespace {
std::atomic<bool> g_stopAsked{false};
extern "C" void onStopSignal(int) { g_stopAsked = true; }
} // namespace

StopSignals::StopSignals()
{
    g_stopAsked = false;
    m_interrupt = std::signal(SIGINT, onStopSignal);
    m_terminate = std::signal(SIGTERM, onStopSignal);
}

StopSignals::~StopSignals()
{
    std::signal(SIGINT, m_interrupt == SIG_ERR ? SIG_DFL : m_interrupt);
    std::signal(SIGTERM, m_terminate == SIG_ERR ? SIG_DFL : m_terminate);
}

const std::atomic<bool>* StopSignals::flag() const { return &g_stopAsked; }

void StopSignals::reset() { g_stopAsked = false; }

void printLine(std::FILE* f, const QString& line)
{
    const QByteArray utf8 = line.toUtf8();
    std::fwrite(utf8.constData(), 1, std::size_t(utf8.size()), f);
    std::fputc('\n', f);
}

QSettings iniInCurrentDir() { return QSettings(zel::settings::fileIn(QDir::currentPath()), zel::settings::iniFormat()); }

// The error that ended a decoding that did not succeed.
[[noreturn]] void throwDecodingError(const zel::DumpDecoding& d)
{
    if (d.error)
        throw *d.error;
    throw ToolError{zel::texts::headerRejected()};
}

void throwNamingFile(const QString& path, const zel::ZelError& e)
{
    // The errors of opening and reading a file name it already.
    if (e.id() == zel::ErrorId::CannotOpenFile || e.id() == zel::ErrorId::ReadError || e.id() == zel::ErrorId::NotRegularFile)
        throw e;
    throw ToolError{QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), zel::texts::errorText(e))};
}

std::vector<zel::ElectrodeEntry> electrodeTableOf(const QString& path)
{
    try {
        return zel::parseElectrodeTable(zel::readWholeFile(path));
    } catch (const zel::ZelError& e) {
        throwNamingFile(path, e);
    }
}

// Loads and decodes a data file as "Load File" does. Throws on failure.
LoadedData load(const QString& path, std::FILE* err)
{
    LoadedData data{std::make_unique<zel::Document>(), 0, std::nullopt};
    QObject::connect(data.document.get(), &zel::Document::exclusionsRefused, [&data](int line) { data.badExclusionsLine = line; });
    QObject::connect(data.document.get(), &zel::Document::linesRefused, [&data](const zel::ZelError& e) { data.badLines = e; });
    const QByteArray bytes = zel::readWholeFile(path);
    const zel::DumpDecoding d = data.document->load(bytes, path);
    QObject::disconnect(data.document.get(), nullptr, nullptr, nullptr);
    if (d.outcome != zel::DumpDecoding::Outcome::Decoded) {
        // Which file did not decode: a command may read two. A text whose
        // first line is a count is an .ohm file named otherwise.
        const QString why = d.error ? zel::texts::errorText(*d.error) : zel::texts::headerRejected();
        static const QRegularExpression count(QStringLiteral("^\\s*\\d+\\s*(#[^\\n]*)?\\r?\\n"));
        const bool ohm = count.match(QString::fromLatin1(bytes.left(200))).hasMatch();
        throw ToolError{QStringLiteral("%1: %2%3")
                            .arg(QDir::toNativeSeparators(path), why,
                                 ohm ? QStringLiteral(" (it reads as an .ohm file: name it FILE.ohm)") : QString())};
    }
    // A notice that only part of the records could be decoded.
    for (qsizetype i = 4; i < d.lines.size(); ++i)
        printLine(err, QStringLiteral("zeltool: ") + zel::texts::lineText(d.lines.at(i)));
    return data;
}

// The options of the survey geometry, shared by export and plot.
const QString kSpacing = QStringLiteral("spacing"), kX0 = QStringLiteral("x0"), kChannels = QStringLiteral("channels"),
              kLine = QStringLiteral("line"), kFile = QStringLiteral("file"), kSlopeDistances = QStringLiteral("slope-distances");
const QList<QCommandLineOption> kGeometryOptions = {
    {kSpacing, QStringLiteral("Electrode spacing, m."), QStringLiteral("S")},
    {kX0, QStringLiteral("Position of electrode 0, m."), QStringLiteral("X")},
    {kSlopeDistances, QStringLiteral("The spacing was taped along the ground: horizontal positions from the heights.")},
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
zel::SurveyGeometry surveyGeometryOf(const Arguments& args, const LoadedData* data)
{
    // The user's settings, taken over once from the settings file here.
    const std::unique_ptr<QSettings> user = zel::settings::userSettings();
    zel::settings::takeOverUserSections(iniInCurrentDir(), *user);
    QSettings& ini = *user;
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
    geometry.slopeDistances = args.isSet(kSlopeDistances);
    if (data) {
        if (data->badLines)
            throw *data->badLines;
        geometry.lines = data->document->lines();
        // An option holds for every line.
        for (auto& [profile, line] : geometry.lines) {
            if (args.isSet(kSpacing))
                line.spacing.reset();
            if (args.isSet(kX0))
                line.x0.reset();
            if (args.isSet(kSlopeDistances))
                line.slopeDistances.reset();
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

void sayDefaultSpacing(const Arguments& args, const LoadedData& data, const zel::SurveyGeometry& geometry, std::FILE* err)
{
    if (!args.isSet(kSpacing) && geometry.defaultSpacingUsedBy(zel::profilesOf(data.records())))
        printLine(err, QStringLiteral("zeltool: ") + zel::texts::defaultSpacingUsed(geometry.spacing));
}

// Refuses a profile of --line and --file that the data do not have.
void requireProfile(const std::vector<zel::MeasurementRecord>& records, const std::optional<zel::Profile>& profile)
{
    if (!profile)
        return;
    const auto all = zel::profilesOf(records);
    if (std::none_of(all.begin(), all.end(), [&](const zel::Profile& p) { return profile->holds(p); }))
        throw zel::notInData(*profile);
}

const QString kExclude = QStringLiteral("exclude"), kDropFlagged = QStringLiteral("drop-flagged"),
              kIgnoreExclusions = QStringLiteral("ignore-exclusions");

// The values the user left out: of --exclude FILE, else of the exclusions
// file beside the data file when there is one (unless --ignore-exclusions).
// A file that does not match the data is refused when named; found beside
// the data, it is refused or said as `bad` has it.
zel::Exclusions exclusionsOf(const Arguments& args, const LoadedData& data, std::FILE* err, BadExclusions bad)
{
    const bool named = args.isSet(kExclude);
    if (!named && args.isSet(kIgnoreExclusions))
        return {};
    int badLine = data.badExclusionsLine;
    const QString path = named ? args.value(kExclude) : zel::exclusionsFileOf(data.document->path());
    if (named) {
        const zel::ExclusionsRead read = zel::parseExclusions(zel::readWholeFile(path), int(data.records().size()));
        if (read.badLine == 0)
            return read.exclusions;
        badLine = read.badLine;
    } else if (badLine == 0) {
        return data.document->exclusions();
    }
    const QString problem = zel::texts::exclusionsBadLine(QDir::toNativeSeparators(path), badLine);
    if (named)
        throw ToolError{problem};
    if (bad == BadExclusions::Refuse)
        throw ToolError{problem + QStringLiteral(" (--ignore-exclusions exports without it)")};
    printLine(err, QStringLiteral("zeltool: ") + problem);
    return {};
}

// The profile of --line and --file, none when neither is given; --line
// alone is the whole line, its files' spreads together.
int stationFrequency(const QString& option, const QString& text)
{
    const std::optional<double> hz = zel::decimalOfText(text);
    if (const std::optional<int> f = hz ? zel::frequencyIndexOf(*hz) : std::nullopt)
        return *f;
    QStringList known;
    for (int f = 0; zel::frequencyHertz(f); ++f)
        known << QString::number(*zel::frequencyHertz(f));
    throw UsageError{QStringLiteral("--%1 %2: one of the station's frequencies is needed (%3 Hz; 0 for DC)")
                         .arg(option, text, known.join(QStringLiteral(", ")))};
}

std::optional<zel::Profile> profileOf(const Arguments& args)
{
    if (args.isSet(kFile) && !args.isSet(kLine))
        throw UsageError{QStringLiteral("--file goes with --line")};
    if (!args.isSet(kLine))
        return std::nullopt;
    return zel::Profile{args.wholeNumber(kLine), args.isSet(kFile) ? args.wholeNumber(kFile) : zel::Profile::kWholeLine};
}

} // namespace zeltool
