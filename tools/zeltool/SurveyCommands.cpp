// zeltool's commands on the survey: export, check, plot, sequence and invert.
#include "Tool.h"

#include "texts/Texts.h"

#include "data/DataFile.h"
#include "data/ZelError.h"
#include "inversion/Files.h"
#include "inversion/TimeLapse.h"
#include "section/AllLines.h"
#include "section/Input.h"
#include "section/Options.h"
#include "plots/Plots.h"
#include "survey/ErrorModel.h"
#include "survey/Exports.h"
#include "survey/Plots.h"
#include "survey/Sequence.h"

#include <qcustomplot.h>

#include <QDir>
#include <QFileInfo>

#include <atomic>
#include <csignal>
#include <map>

namespace zeltool {

int exportSurvey(const Call& call)
{
    const QStringList& arguments = call.args;
    std::FILE* out = call.out;
    std::FILE* err = call.err;
    const QString format = QStringLiteral("format"), frequency = QStringLiteral("frequency");
    const Arguments args(arguments,
                         QList<QCommandLineOption>{
                             {format, QStringLiteral("csv, res2dinv or ohm."), QStringLiteral("NAME")},
                             {frequency, QStringLiteral("Of a profile read at several frequencies, the one the inversion files take, Hz (the lowest; a Res2DInv file of the lowest carries the frequency effect against the highest)."), QStringLiteral("HZ")},
                             {kExclude, QStringLiteral("The values to leave out."), QStringLiteral("FILE")},
                             {kDropFlagged, QStringLiteral("Leave out every flagged value too.")},
                             {kIgnoreExclusions, QStringLiteral("Leave out nothing of the exclusions file beside the data.")}}
                             + kGeometryOptions + kCheckOptions);
    if (!args.ok(2, 2))
        throw UsageError{args.wrong(2, 2)};
    const QString name = args.value(format);
    const std::optional<zel::SurveyFormat> kind = name == QLatin1String("csv") ? std::optional(zel::SurveyFormat::Csv)
        : name == QLatin1String("res2dinv")                                  ? std::optional(zel::SurveyFormat::Res2DInv)
        : name == QLatin1String("ohm")                                       ? std::optional(zel::SurveyFormat::Ohm)
                                                                             : std::nullopt;
    if (!kind)
        throw ToolError{QStringLiteral("unknown format \"%1\": csv, res2dinv or ohm").arg(name)};
    const std::optional<zel::Profile> profile = profileOf(args);
    const LoadedData data = load(args.at(0), err);
    const zel::SurveyGeometry geometry = surveyGeometryOf(args, &data);
    const std::vector<zel::MeasurementRecord>& records = data.records();
    const zel::ExportChoice choice{exclusionsOf(args, data, err, BadExclusions::Refuse), args.isSet(kDropFlagged),
                                   args.isSet(frequency) ? std::optional(stationFrequency(frequency, args.value(frequency))) : std::nullopt};
    const auto files = zel::surveyExport(*kind, records, geometry, profile, args.at(1), choice);
    for (const auto& [path, bytes] : files)
        zel::refuseOutputOverInput(args.at(0), path);
    const QStringList written = zel::writeExportFiles(files);
    if (written.size() > 1)
        for (const QString& path : written)
            printLine(out, path);
    sayDefaultSpacing(args, data, geometry, err);
    return 0;
}

int check(const Call& call)
{
    const QStringList& arguments = call.args;
    std::FILE* out = call.out;
    std::FILE* err = call.err;
    const Arguments args(arguments, kGeometryOptions + kCheckOptions);
    if (!args.ok(1, 1))
        throw UsageError{args.wrong(1, 1)};
    const std::optional<zel::Profile> profile = profileOf(args);
    const LoadedData data = load(args.at(0), err);
    const zel::SurveyGeometry geometry = surveyGeometryOf(args, &data);
    const std::vector<zel::MeasurementRecord>& records = data.records();
    requireProfile(records, profile);
    const zel::Exclusions excluded = exclusionsOf(args, data, err, BadExclusions::Say);
    std::vector<zel::ChannelValue> values = zel::surveyValues(records, geometry);
    if (profile)
        std::erase_if(values, [&](const zel::ChannelValue& v) { return !profile->holds(zel::profileOf(records[std::size_t(v.record)])); });
    const std::vector<zel::ValueCheck> checks = zel::checkValues(records, values, geometry.thresholds);
    // The flags under the names of the CSV's column: a script reads them.
    const auto byProfile = zel::valuesByProfile(records, values);
    const std::vector<zel::CheckSummary> summaries = zel::summarizeChecks(records, values, checks);
    for (std::size_t k = 0; k < summaries.size(); ++k) {
        const zel::CheckSummary& s = summaries[k];
        printLine(out, zel::texts::checkSummary(s.profile.line, s.profile.file, s.values, s.flagged,
                                                zel::flagCounts(s, [](zel::CheckFlag f) { return QString::fromLatin1(zel::flagName(f)); }),
                                                s.medianError)
                           + (s.ofSeveralFrequencies ? zel::texts::atFrequency(*zel::frequencyHertz(s.frequencyIndex)) : QString()));
        // The error model once a profile, after its last frequency.
        if (k + 1 < summaries.size() && summaries[k + 1].profile == s.profile)
            continue;
        if (const auto model = zel::fitErrorModel(zel::errorPairs(records, values, byProfile.at(s.profile), s.profile)))
            printLine(out, zel::texts::errorModelLine(s.profile.line, s.profile.file, model->pairs, model->a, model->b));
        for (const QString& line : zel::texts::polarisationReport(records, values, checks, byProfile.at(s.profile), s.profile, true))
            printLine(out, line);
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
    sayDefaultSpacing(args, data, geometry, err);
    return 0;
}

int plot(const Call& call)
{
    const QStringList& arguments = call.args;
    std::FILE* err = call.err;
    const QString kind = QStringLiteral("kind"), value = QStringLiteral("value"), log = QStringLiteral("log"),
                  width = QStringLiteral("width"), height = QStringLiteral("height");
    const Arguments args(arguments,
                         QList<QCommandLineOption>{
                             {kind, QStringLiteral("profile or pseudosection."), QStringLiteral("NAME")},
                             {value, QStringLiteral("u or r of a profile; of a pseudosection rhoa, pfe (the frequency effect) or metal (the metal factor)."), QStringLiteral("NAME")},
                             {log, QStringLiteral("A logarithmic value axis.")},
                             {width, QStringLiteral("Width in pixels."), QStringLiteral("W"), QStringLiteral("1000")},
                             {height, QStringLiteral("Height in pixels."), QStringLiteral("H"), QStringLiteral("700")}}
                             + kGeometryOptions);
    if (!args.ok(2, 2))
        throw UsageError{args.wrong(2, 2)};
    const QString kindName = args.value(kind);
    if (kindName != QLatin1String("profile") && kindName != QLatin1String("pseudosection"))
        throw UsageError{QStringLiteral("--kind %1: profile or pseudosection").arg(kindName)};
    const bool pseudo = kindName == QLatin1String("pseudosection");
    const QString valueName = args.isSet(value) ? args.value(value) : pseudo ? QStringLiteral("rhoa") : QStringLiteral("u");
    const std::map<QString, zel::PseudoValue> pseudoValues = {{QStringLiteral("rhoa"), zel::PseudoValue::Rhoa},
                                                             {QStringLiteral("pfe"), zel::PseudoValue::Pfe},
                                                             {QStringLiteral("metal"), zel::PseudoValue::MetalFactor}};
    if (!pseudo && valueName != QLatin1String("u") && valueName != QLatin1String("r"))
        throw UsageError{QStringLiteral("--value %1: u or r").arg(valueName)};
    if (pseudo && !pseudoValues.count(valueName))
        throw UsageError{QStringLiteral("--value %1: rhoa, pfe or metal for a pseudosection").arg(valueName)};
    const int w = args.wholeNumber(width);
    const int h = args.wholeNumber(height);
    if (w < 100 || h < 100 || w > 10000 || h > 10000)
        throw UsageError{QStringLiteral("--width %1 --height %2: from 100 to 10000 pixels each").arg(w).arg(h)};
    const QString target = args.at(1);
    if (!target.endsWith(QLatin1String(".png"), Qt::CaseInsensitive) && !target.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        throw ToolError{QStringLiteral("%1: the picture is written as .png or .pdf").arg(target)};
    zel::refuseOutputOverInput(args.at(0), target);
    const std::optional<zel::Profile> profile = profileOf(args);
    const LoadedData data = load(args.at(0), err);
    const zel::SurveyGeometry geometry = surveyGeometryOf(args, &data);
    const std::vector<zel::MeasurementRecord>& records = data.records();
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
        if (withPositions.empty()
            || (profile && std::none_of(withPositions.begin(), withPositions.end(), [&](const zel::Profile& p) { return profile->holds(p); })))
            throw zel::ZelError(zel::ErrorId::NoPositions);
        const zel::Pseudosection section = zel::pseudosection(records, geometry, profile.value_or(withPositions.front()),
                                                              {}, pseudoValues.at(valueName));
        if (section.points.empty() && section.negative.empty())
            throw ToolError{QStringLiteral("nothing to draw: no value of %1 has %2")
                                .arg(zel::profileName(section.profile),
                                     valueName == QLatin1String("rhoa") ? QStringLiteral("an apparent resistivity")
                                                                        : QStringLiteral("a frequency effect (a reading at two frequencies)"))};
        zel::drawPseudosection(picture, section);
    }
    zel::savePlot(picture, target, w, h);
    sayDefaultSpacing(args, data, geometry, err);
    return 0;
}

int sequence(const Call& call)
{
    const QStringList& arguments = call.args;
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
        throw UsageError{args.wrong(1, 1)};
    if (!args.isSet(QStringLiteral("electrodes")))
        throw UsageError{QStringLiteral("--electrodes is needed")};
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

} // namespace zeltool
