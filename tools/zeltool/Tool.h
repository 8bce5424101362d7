#pragma once

// What zeltool's commands share: their arguments, their errors, the data
// file and the survey's geometry as the options and the files beside the
// data give them.
#include "data/RawDump.h"
#include "protocol/ElectrodeTable.h"
#include "document/Document.h"
#include "survey/Checks.h"
#include "survey/Geometry.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QSettings>
#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

namespace zeltool {

// A command as it was called: its arguments (the command's name left out)
// and the streams it reads and writes.
struct Call {
    QStringList args;
    std::FILE* in;
    std::FILE* out;
    std::FILE* err;
};

// A failure of zeltool's own, in its own words (exit status 1).
struct ToolError {
    QString text;
};

// A wrong call: an option whose value cannot be, named with its value, or
// files missing (exit status 2, with the command's usage).
struct UsageError {
    QString text;
};

// --help of a command: the options it takes, to be described.
struct HelpAsked {
    QList<QCommandLineOption> options;
};

void printLine(std::FILE* f, const QString& line);

// A subcommand's options and positional arguments.
class Arguments {
public:
    Arguments(const QStringList& args, const QList<QCommandLineOption>& options)
    {
        if (args.contains(QStringLiteral("--help")))
            throw HelpAsked{options};
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


// Ctrl+C (and SIGTERM) while a command runs: from construction to
// destruction they only raise a flag, which the command looks at where it
// can stop whole; the handlers before are put back on every path out.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;
    const std::atomic<bool>* flag() const;
    bool raised() const { return *flag(); }
    // Lowers the flag: what stopped has been handled, the next Ctrl+C stops
    // what follows.
    void reset();

private:
    void (*m_interrupt)(int);
    void (*m_terminate)(int);
};

// A data file loaded as the window loads it, into a document: decoded, with
// the exclusions and the lines' geometry kept beside it, and what of those
// could not be used.
struct LoadedData {
    std::unique_ptr<zel::Document> document;
    int badExclusionsLine = 0;                // the exclusions file's first line that does not match
    std::optional<zel::ZelError> badLines;    // the lines file, or a topography file, cannot be used

    const zel::Reading& reading() const { return document->reading(); }
    const std::vector<zel::MeasurementRecord>& records() const { return document->records(); }
};
// Throws `e` of the file `path` as zeltool says it: with the file's name.
[[noreturn]] void throwNamingFile(const QString& path, const zel::ZelError& e);
// An electrode table file's entries; its faults said with the file's name.
std::vector<zel::ElectrodeEntry> electrodeTableOf(const QString& path);
// Loads a data file as "Load File" does. Throws when it does not decode,
// naming the file.
LoadedData load(const QString& path, std::FILE* err);
// The error that ended a decoding that did not succeed.
[[noreturn]] void throwDecodingError(const zel::DumpDecoding& d);
QSettings iniInCurrentDir();

// The options of the survey geometry (export, check, plot, invert) and of
// the data check's thresholds.
extern const QString kSpacing, kX0, kChannels, kLine, kFile;
extern const QList<QCommandLineOption> kGeometryOptions;
extern const QString kMinVoltage, kSpikeFactor, kMaxError, kDefaultError, kMinError;
extern const QList<QCommandLineOption> kCheckOptions;
extern const QString kExclude, kDropFlagged, kIgnoreExclusions;

// The options, else the profile's own of the lines file beside the data
// file, else [Survey] of the settings file here, else the defaults. A bad
// value in the settings file that no option replaces is refused, naming the
// key, the value and the file; so is a lines file that cannot be used.
zel::SurveyGeometry surveyGeometryOf(const Arguments& args, const LoadedData* data = nullptr);
// Says on `err` when the default spacing placed the electrodes of the data
// (no --spacing, and a profile without a spacing of its own).
void sayDefaultSpacing(const Arguments& args, const LoadedData& data, const zel::SurveyGeometry& geometry, std::FILE* err);
// Refuses a profile of --line and --file that the data do not have.
void requireProfile(const std::vector<zel::MeasurementRecord>& records, const std::optional<zel::Profile>& profile);
// What a file of exclusions that does not match the data stops.
enum class BadExclusions {
    Refuse,  // a file of values for an inversion: the values would go in unchecked
    Say,     // a listing: said, and the values listed without it
};
// The values the user left out: of --exclude FILE, else of the exclusions
// file beside the data file when there is one (unless --ignore-exclusions).
// A file that does not match the data is refused when named; found beside
// the data, it is refused or said as `bad` has it.
zel::Exclusions exclusionsOf(const Arguments& args, const LoadedData& data, std::FILE* err, BadExclusions bad);
// The profile of --line and --file, none when neither is given.
std::optional<zel::Profile> profileOf(const Arguments& args);
// The station's frequency (a record's FreqIndex) that `text`, Hz, names; a
// UsageError naming --`option` and the station's frequencies for another.
int stationFrequency(const QString& option, const QString& text);

// The commands, by theme: files (view, text, xlsx), the survey (export,
// check, plot, sequence, invert, forward) and the station (read, port, protocol,
// firmware).
int view(const Call& call);
int text(const Call& call);
int xlsx(const Call& call);
int exportSurvey(const Call& call);
int check(const Call& call);
int plot(const Call& call);
int sequence(const Call& call);
int invert(const Call& call);
int forward(const Call& call);
int sounding(const Call& call);
int read(const Call& call);
int port(const Call& call);
int protocol(const Call& call);
int firmware(const Call& call);

} // namespace zeltool
