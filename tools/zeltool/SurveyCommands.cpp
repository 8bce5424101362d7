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

namespace zeltool {

int exportSurvey(const Call& call)
{
    const QStringList& arguments = call.args;
    std::FILE* out = call.out;
    std::FILE* err = call.err;
    const QString format = QStringLiteral("format");
    const Arguments args(arguments,
                         QList<QCommandLineOption>{
                             {format, QStringLiteral("csv, res2dinv or ohm."), QStringLiteral("NAME")},
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
    const zel::ExportChoice choice{exclusionsOf(args, data, err, BadExclusions::Refuse), args.isSet(kDropFlagged)};
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

namespace {

// Ctrl+C during an inversion: it stops at its next step.
std::atomic<bool> g_stopInversion{false};
extern "C" void onInterruptInversion(int) { g_stopInversion = true; }

// A depth along the line: its median and its range, m.
QString depthSummary(const QString& what, const std::vector<zel::inv::ColumnDepth>& columns)
{
    std::vector<double> depths;
    depths.reserve(columns.size());
    for (const zel::inv::ColumnDepth& c : columns)
        depths.push_back(c.depth);
    if (depths.empty())
        return what + QStringLiteral(": none");
    std::sort(depths.begin(), depths.end());
    return QStringLiteral("%1: %2 m in the median, %3–%4 m along the line")
        .arg(what)
        .arg(depths[depths.size() / 2], 0, 'f', 1)
        .arg(depths.front(), 0, 'f', 1)
        .arg(depths.back(), 0, 'f', 1);
}

// A time-lapse pair inverted, its summary said and its files written
// (none when stopped: status 1).
int invertPair(const zel::SectionInput& first, const QString& what, const std::vector<zel::inv::Measurement>& data,
               const zel::inv::InversionOptions& options, const QString& target, double grid, bool png, bool pdf,
               const QStringList& inputs, std::FILE* out, std::FILE* err)
{
    g_stopInversion = false;
    const auto previous = std::signal(SIGINT, onInterruptInversion);
    zel::inv::TimeLapseResult pair;
    bool stopped = false;
    try {
        pair = zel::inv::invertTimeLapse(first.data, data, options, [&](const zel::inv::IterationReport& r, bool second) {
            printLine(out, (second ? QStringLiteral("change ") : QStringLiteral("base ")) + zel::progressLine(r, true));
            std::fflush(out);
        }, &g_stopInversion);
        stopped = pair.later.cancelled;
    } catch (const zel::inv::InversionStopped&) {
        stopped = true;
    } catch (const zel::inv::MemoryRefused& e) {
        std::signal(SIGINT, previous == SIG_ERR ? SIG_DFL : previous);
        throw ToolError{QStringLiteral("%1: %2").arg(what, zel::texts::inversionNeedsMemory(e.needed(), e.available()))};
    } catch (const zel::inv::InversionRefused& e) {
        std::signal(SIGINT, previous == SIG_ERR ? SIG_DFL : previous);
        throw ToolError{QStringLiteral("%1 against %2: %3").arg(what, first.what, QString::fromStdString(e.what()))};
    }
    std::signal(SIGINT, previous == SIG_ERR ? SIG_DFL : previous);
    if (stopped) {
        printLine(err, QStringLiteral("zeltool: stopped by the user; nothing written"));
        return 1;
    }
    const auto [low, high] = std::minmax_element(pair.change.begin(), pair.change.end());
    printLine(out, QStringLiteral("%1 against %2: %3 quadripoles in common; base chi² %4, change chi² %5, RRMS %6 %; "
                                  "resistivity changed by %7 % to %8 %")
                       .arg(what, first.what)
                       .arg(pair.base.data.size())
                       .arg(pair.base.kept().chi2, 0, 'f', 2)
                       .arg(pair.later.kept().chi2, 0, 'f', 2)
                       .arg(pair.later.kept().rrms, 0, 'f', 2)
                       .arg(*low, 0, 'f', 1)
                       .arg(*high, 0, 'f', 1));
    if (pair.later.misfits())
        printLine(err, QStringLiteral("zeltool: the change: ") + QString::fromStdString(pair.later.verdict()));
    QList<std::pair<QString, QByteArray>> files = zel::inv::timeLapseFiles(pair, target, grid);
    for (const auto& [kind, asked] : {std::pair(QStringLiteral("png"), png), std::pair(QStringLiteral("pdf"), pdf)}) {
        if (!asked)
            continue;
        QCustomPlot picture;
        picture.setLocale(zel::plotLocale(zel::texts::currentLanguage() == zel::texts::Language::English));
        zel::drawChangeSection(picture, pair, zel::changeTitle(what, first.what, pair));
        const QString path = zel::inv::resultBaseName(target) + QLatin1Char('.') + kind;
        files.append({path, zel::plotPicture(picture, path, 1200, 500)});
        // The change of apparent resistivity as a pseudosection beside it.
        QCustomPlot apparent;
        apparent.setLocale(picture.locale());
        zel::drawApparentChange(apparent, pair);
        const QString pseudo = zel::inv::resultBaseName(target) + QStringLiteral("-apparent-change.") + kind;
        files.append({pseudo, zel::plotPicture(apparent, pseudo, 1200, 400)});
    }
    for (const auto& [path, bytes] : files)
        for (const QString& input : inputs)
            zel::refuseOutputOverInput(input, path);
    for (const QString& path : zel::writeExportFiles(files))
        printLine(out, QDir::toNativeSeparators(path));
    return 0;
}

// Every line of a reading inverted into the folder `target`: each line's
// files, the sections placed in 3D, and plan views at four depths when the
// lines lie apart (none when stopped: status 1).
int invertAll(const LoadedData& reading, const zel::SurveyGeometry& geometry, const zel::Exclusions& left,
              const zel::InversionChoice& choice, const QString& target, double grid, bool png, const QString& in,
              std::FILE* out, std::FILE* err)
{
    if (!QDir().mkpath(target))
        throw zel::ZelError(zel::ErrorId::CannotCreateFile, {QDir::toNativeSeparators(target), QString()});
    const QDir folder(target);
    g_stopInversion = false;
    const auto previous = std::signal(SIGINT, onInterruptInversion);
    const std::vector<zel::Profile> lines = zel::surveyLines(reading.records());
    const zel::LinesRun run = zel::invertLines(reading.records(), geometry, left, choice, 0, [&](int line, int count, const zel::inv::IterationReport& r) {
        printLine(out, QStringLiteral("%1 (%2 of %3) ").arg(zel::profileName(lines[std::size_t(line)])).arg(line + 1).arg(count)
                           + zel::progressLine(r, true));
        std::fflush(out);
    }, &g_stopInversion);
    std::signal(SIGINT, previous == SIG_ERR ? SIG_DFL : previous);
    if (run.cancelled) {
        printLine(err, QStringLiteral("zeltool: stopped by the user; nothing written"));
        return 1;
    }
    for (const auto& [what, why] : run.skipped)
        printLine(err, QStringLiteral("zeltool: %1 left out: %2").arg(what, why));
    if (run.lines.empty())
        throw ToolError{QStringLiteral("no line could be inverted")};
    QList<std::pair<QString, QByteArray>> files;
    const QLocale numbers = zel::plotLocale(zel::texts::currentLanguage() == zel::texts::Language::English);
    std::vector<std::pair<const zel::inv::InversionResult*, double>> placed;
    for (const zel::LineSection& line : run.lines) {
        const zel::inv::IterationReport& kept = line.result.kept();
        printLine(out, QStringLiteral("%1 at y %2 m: %3 data, chi² %4, RRMS %5 %")
                           .arg(line.what).arg(line.y).arg(line.result.data.size())
                           .arg(kept.chi2, 0, 'f', 2).arg(kept.rrms, 0, 'f', 2));
        const QString name = folder.filePath(line.profile.wholeLine() ? QStringLiteral("L%1").arg(line.profile.line)
                                                                      : QStringLiteral("L%1_F%2").arg(line.profile.line).arg(line.profile.file));
        files += zel::inv::resultFiles(line.result, name, grid, line.y);
        if (png) {
            QCustomPlot picture;
            picture.setLocale(numbers);
            zel::drawSection(picture, line.result, zel::sectionTitle(line.what, line.result, numbers), std::nullopt, false, choice.doiThreshold);
            files.append({name + QStringLiteral(".png"), zel::plotPicture(picture, name + QStringLiteral(".png"), 1200, 500)});
        }
        placed.emplace_back(&line.result, line.y);
    }
    files.append({folder.filePath(QStringLiteral("lines.vtu")), zel::inv::linesVtu(placed)});
    if (zel::linesApart(run.lines)) {
        for (const double depth : zel::sliceDepths(run.lines)) {
            QCustomPlot picture;
            picture.setLocale(numbers);
            zel::drawPlanView(picture, zel::planView(run.lines, depth));
            const QString path = folder.filePath(QStringLiteral("depth-%1m.png").arg(depth));
            files.append({path, zel::plotPicture(picture, path, 1000, 800)});
        }
    } else {
        printLine(err, QStringLiteral("zeltool: the lines lie at one y: no plan view (give each line its Y in the lines file)"));
    }
    for (const auto& [path, bytes] : files)
        zel::refuseOutputOverInput(in, path);
    for (const QString& path : zel::writeExportFiles(files))
        printLine(out, QDir::toNativeSeparators(path));
    return 0;
}

} // namespace

int invert(const Call& call)
{
    const QStringList& arguments = call.args;
    std::FILE* out = call.out;
    std::FILE* err = call.err;
    const QString topography = QStringLiteral("topography"), lambda = QStringLiteral("lambda"),
                  iterations = QStringLiteral("max-iterations"), robust = QStringLiteral("robust"),
                  ratio = QStringLiteral("vertical-ratio"), doi = QStringLiteral("doi"),
                  doiThreshold = QStringLiteral("doi-threshold"), gridSpacing = QStringLiteral("grid-spacing"),
                  baseOption = QStringLiteral("base"), baseFileOption = QStringLiteral("base-file"),
                  allOption = QStringLiteral("all");
    const zel::InversionChoice defaults;
    const Arguments args(arguments,
                         QList<QCommandLineOption>{
                             {kExclude, QStringLiteral("The values to leave out."), QStringLiteral("FILE")},
                             {kDropFlagged, QStringLiteral("Leave out every flagged value too.")},
                             {kIgnoreExclusions, QStringLiteral("Leave out nothing of the exclusions file beside the data.")},
                             {topography, QStringLiteral("An elevation per electrode: x z, or electrode z."), QStringLiteral("FILE")},
                             {lambda, QStringLiteral("The regularisation at the start (%1).").arg(defaults.lambda), QStringLiteral("L")},
                             {iterations, QStringLiteral("At most this many iterations (%1).").arg(defaults.maxIterations), QStringLiteral("N")},
                             {robust, QStringLiteral("Weigh outliers down.")},
                             {ratio, QStringLiteral("Vertical against horizontal smoothness (%1).").arg(defaults.verticalRatio), QStringLiteral("R")},
                             {doi, QStringLiteral("The depth of investigation by the DOI index: two more inversions.")},
                             {doiThreshold, QStringLiteral("The DOI index taken for the depth of investigation (%1).").arg(defaults.doiThreshold), QStringLiteral("T")},
                             {gridSpacing, QStringLiteral("The spacing of OUT-grid.csv, m (half the electrode spacing)."), QStringLiteral("S")},
                             {baseOption, QStringLiteral("A first reading of the line (FILE.zel or FILE.ohm): the change from it, by a difference inversion."), QStringLiteral("FILE")},
                             {baseFileOption, QStringLiteral("The file of the line in the first reading (that of --file)."), QStringLiteral("F")},
                             {allOption, QStringLiteral("Invert every line into the folder OUT: each line's files, lines.vtu in 3D and plan views at four depths.")},
                             {QStringLiteral("png"), QStringLiteral("Draw the section as OUT.png too.")},
                             {QStringLiteral("pdf"), QStringLiteral("Draw the section as OUT.pdf too.")}}
                             + kGeometryOptions + kCheckOptions);
    if (!args.ok(2, 2))
        throw UsageError{args.wrong(2, 2)};
    const QString in = args.at(0);
    const QString target = args.at(1);
    const bool ohm = in.endsWith(QLatin1String(".ohm"), Qt::CaseInsensitive);
    std::optional<LoadedData> loaded;
    if (!ohm)
        loaded = load(in, err);
    zel::SurveyGeometry geometry = surveyGeometryOf(args, loaded ? &*loaded : nullptr);
    std::optional<zel::Topography> given;  // --topography, over the line's own
    if (args.isSet(topography)) {
        const QString file = args.value(topography);
        given = zel::parseTopography(zel::readWholeFile(file), QDir::toNativeSeparators(file));
    }
    zel::InversionChoice choice;
    auto number = [&](const QString& option, double& into, zel::OptionRange range) {
        if (!args.isSet(option))
            return;
        const std::optional<double> v = zel::decimalOfText(args.value(option));
        if (!v || !range.holds(*v))
            throw ToolError{QStringLiteral("--%1 %2: a number from %3 to %4 is needed").arg(option, args.value(option)).arg(range.low).arg(range.high)};
        into = *v;
    };
    number(lambda, choice.lambda, zel::kLambdaRange);
    number(ratio, choice.verticalRatio, zel::kVerticalRatioRange);
    double maxIterations = choice.maxIterations;
    number(iterations, maxIterations, zel::kIterationsRange);
    choice.maxIterations = int(maxIterations);
    number(doiThreshold, choice.doiThreshold, zel::kDoiThresholdRange);
    double grid = 0;  // the default
    number(gridSpacing, grid, zel::kGridSpacingRange);
    choice.doi = args.isSet(doi);
    choice.robust = args.isSet(robust);
    choice.useFlagged = !args.isSet(kDropFlagged);

    if (args.isSet(allOption)) {
        if (!loaded)
            throw UsageError{QStringLiteral("--all inverts the lines of a .zel file")};
        if (args.isSet(kLine) || args.isSet(kFile) || args.isSet(baseOption))
            throw UsageError{QStringLiteral("--all inverts every line: --line, --file and --base do not go with it")};
        const zel::Exclusions left = exclusionsOf(args, *loaded, err, BadExclusions::Refuse);
        return invertAll(*loaded, geometry, left, choice, target, grid, args.isSet(QStringLiteral("png")), in, out, err);
    }
    // A reading's data: an .ohm file's, or a profile of a .zel file (the
    // one of --line and --file, else the first; `file` another file of that
    // line), with the geometry of the reading.
    auto inputOf = [&](const QString& path, const LoadedData* reading, const zel::SurveyGeometry& lines,
                       std::optional<int> file) {
        zel::SectionInput input;
        if (!reading) {
            try {
                input = zel::ohmInput(zel::readWholeFile(path), QDir::toNativeSeparators(path), lines.thresholds, given);
            } catch (const zel::inv::FileRefused& e) {
                throw ToolError{QStringLiteral("%1, line %2: %3").arg(QDir::toNativeSeparators(path)).arg(e.line()).arg(QString::fromStdString(e.what()))};
            }
            if (input.poles > 0)
                printLine(err, QStringLiteral("zeltool: %1 data with a pole electrode left out").arg(input.poles));
            return input;
        }
        zel::SurveyGeometry geometry = lines;
        std::optional<zel::Profile> profile = profileOf(args);
        const std::vector<zel::MeasurementRecord>& records = reading->records();
        const auto withPositions = zel::pseudosectionProfiles(records);
        if (withPositions.empty())
            throw zel::ZelError(zel::ErrorId::NoPositions);
        if (!profile) {
            profile = withPositions.front();
            if (withPositions.size() > 1 && !file)
                printLine(err, QStringLiteral("zeltool: inverting L%1 F%2, the first of %3 profiles; --line (and --file) choose another")
                                   .arg(profile->line).arg(profile->file).arg(withPositions.size()));
        }
        if (file)
            profile->file = *file;
        requireProfile(records, profile);
        const zel::ExportChoice exported{exclusionsOf(args, *reading, err, BadExclusions::Refuse), args.isSet(kDropFlagged)};
        // The topography given is the line's own: positions (taped along
        // the slope), factors and heights all follow it.
        if (given)
            for (const zel::Profile& p : zel::profilesOf(records))
                if (profile->holds(p))
                    geometry.lines[p].topography = *given;
        input = zel::profileInput(records, geometry, *profile, exported);
        if (input.data.empty())
            throw ToolError{zel::whyNoData(records, geometry, *profile, exported)};
        return input;
    };
    zel::SectionInput input = inputOf(in, loaded ? &*loaded : nullptr, geometry, std::nullopt);
    for (const zel::TopographyGap& gap : input.gaps)
        printLine(err, QStringLiteral("zeltool: ") + zel::texts::topographyGap(gap));
    const QString what = input.what;
    const std::vector<zel::inv::Measurement>& data = input.data;
    zel::inv::InversionOptions options = choice.options();
    options.elevations = std::move(input.elevations);

    zel::refuseOutputOverInput(in, target);
    if (args.isSet(baseOption)) {
        const QString basePath = args.value(baseOption);
        std::optional<LoadedData> baseReading;
        if (!basePath.endsWith(QLatin1String(".ohm"), Qt::CaseInsensitive))
            baseReading = load(basePath, err);
        const zel::SurveyGeometry baseGeometry = surveyGeometryOf(args, baseReading ? &*baseReading : nullptr);
        const std::optional<int> baseFile = args.isSet(baseFileOption) ? std::optional(args.wholeNumber(baseFileOption)) : std::nullopt;
        const zel::SectionInput first = inputOf(basePath, baseReading ? &*baseReading : nullptr, baseGeometry, baseFile);
        if (choice.doi)
            printLine(err, QStringLiteral("zeltool: the DOI index is not computed for a time-lapse pair; the depth of sensitivity is"));
        zel::refuseOutputOverInput(basePath, target);
        // Two readings of one profile are told apart by their files.
        zel::SectionInput named = first;
        QString later = input.what;
        if (named.what == later) {
            named.what = QFileInfo(basePath).fileName() + QLatin1Char(' ') + named.what;
            later = QFileInfo(in).fileName() + QLatin1Char(' ') + later;
        }
        return invertPair(named, later, data, options, target, grid, args.isSet(QStringLiteral("png")),
                          args.isSet(QStringLiteral("pdf")), {in, basePath}, out, err);
    }
    g_stopInversion = false;
    const auto previous = std::signal(SIGINT, onInterruptInversion);
    zel::inv::InversionResult result;
    try {
        result = zel::inv::invert(data, options, [&](const zel::inv::IterationReport& r) {
            printLine(out, zel::progressLine(r, true));
            std::fflush(out);
        }, &g_stopInversion);
    } catch (const zel::inv::InversionStopped&) {
        result.cancelled = true;  // before the first model: nothing to write
    } catch (const zel::inv::MemoryRefused& e) {
        std::signal(SIGINT, previous == SIG_ERR ? SIG_DFL : previous);
        throw ToolError{QStringLiteral("%1: %2").arg(what, zel::texts::inversionNeedsMemory(e.needed(), e.available()))};
    } catch (const zel::inv::InversionRefused& e) {
        std::signal(SIGINT, previous == SIG_ERR ? SIG_DFL : previous);
        throw ToolError{QStringLiteral("%1: %2 (%3 data, %4 left out: not above 0 or outside %5–%6 ohm·m)")
                            .arg(what, QString::fromStdString(e.what()))
                            .arg(data.size())
                            .arg(std::count_if(data.begin(), data.end(), [](const auto& m) {
                                return !(m.rhoa >= zel::inv::kLeastRhoa && m.rhoa <= zel::inv::kLargestRhoa);
                            }))
                            .arg(zel::inv::kLeastRhoa)
                            .arg(zel::inv::kLargestRhoa)};
    }
    if (choice.doi && !result.cancelled) {
        try {
            result.doi = zel::inv::doiIndex(result, options, [&](const zel::inv::DoiRun& r) {
                printLine(out, QStringLiteral("doi %1 of 2, ").arg(r.run) + zel::progressLine(r.report, true));
                std::fflush(out);
            }, &g_stopInversion);
        } catch (const zel::inv::MemoryRefused& e) {
            std::signal(SIGINT, previous == SIG_ERR ? SIG_DFL : previous);
            throw ToolError{QStringLiteral("%1: the depth of investigation: %2")
                                .arg(what, zel::texts::inversionNeedsMemory(e.needed(), e.available()))};
        }
        result.cancelled = g_stopInversion;
    }
    std::signal(SIGINT, previous == SIG_ERR ? SIG_DFL : previous);
    if (result.cancelled) {
        printLine(err, QStringLiteral("zeltool: stopped by the user; nothing written"));
        return 1;
    }
    const zel::inv::IterationReport& kept = result.kept();
    printLine(out, QStringLiteral("%1: %2 data, %3 cells, %4 iterations, chi² %5, RRMS %6 %%7%8")
                       .arg(what)
                       .arg(result.data.size())
                       .arg(result.mesh.parameterCount())
                       .arg(result.iterations.back().number)
                       .arg(kept.chi2, 0, 'f', 2)
                       .arg(kept.rrms, 0, 'f', 2)
                       .arg(kept.number != result.iterations.back().number
                                ? QStringLiteral(" (the model of iteration %1, the lowest chi²)").arg(kept.number)
                                : QString())
                       .arg(result.leftOut > 0 ? QStringLiteral("; %1 left out: not above 0 or outside %2–%3 ohm·m")
                                                     .arg(result.leftOut)
                                                     .arg(zel::inv::kLeastRhoa)
                                                     .arg(zel::inv::kLargestRhoa)
                                               : QString()));
    if (result.misfits())
        printLine(err, QStringLiteral("zeltool: ") + QString::fromStdString(result.verdict()));
    printLine(out, depthSummary(QStringLiteral("depth of sensitivity (%1 % of the largest)").arg(100 * zel::inv::kSensitivityThreshold),
                                zel::inv::sensitivityDepths(result.mesh, zel::inv::relativeSensitivity(result),
                                                            zel::inv::kSensitivityThreshold)));
    if (!result.doi.empty())
        printLine(out, depthSummary(QStringLiteral("depth of investigation (DOI index %1)").arg(choice.doiThreshold),
                                    zel::inv::doiDepths(result.mesh, result.doi, choice.doiThreshold)));
    const QString base = zel::inv::resultBaseName(target);
    QList<std::pair<QString, QByteArray>> files = zel::inv::resultFiles(result, target, grid);
    for (const QString& kind : {QStringLiteral("png"), QStringLiteral("pdf")}) {
        if (!args.isSet(kind))
            continue;
        QCustomPlot picture;
        picture.setLocale(zel::plotLocale(zel::texts::currentLanguage() == zel::texts::Language::English));
        zel::drawSection(picture, result, zel::sectionTitle(what, result), std::nullopt, false, choice.doiThreshold);
        const QString path = base + QLatin1Char('.') + kind;
        files.append({path, zel::plotPicture(picture, path, 1200, 500)});
    }
    for (const auto& [path, bytes] : files)
        zel::refuseOutputOverInput(in, path);
    for (const QString& path : zel::writeExportFiles(files))
        printLine(out, QDir::toNativeSeparators(path));
    if (loaded)
        sayDefaultSpacing(args, *loaded, geometry, err);
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
    for (const zel::CheckSummary& s : zel::summarizeChecks(records, values, checks)) {
        printLine(out, zel::texts::checkSummary(s.profile.line, s.profile.file, s.values, s.flagged,
                                                zel::flagCounts(s, [](zel::CheckFlag f) { return QString::fromLatin1(zel::flagName(f)); }),
                                                s.medianError));
        if (const auto model = zel::fitErrorModel(zel::errorPairs(records, values, s.profile)))
            printLine(out, zel::texts::errorModelLine(s.profile.line, s.profile.file, model->pairs, model->a, model->b));
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
                             {value, QStringLiteral("u or r."), QStringLiteral("NAME"), QStringLiteral("u")},
                             {log, QStringLiteral("A logarithmic value axis.")},
                             {width, QStringLiteral("Width in pixels."), QStringLiteral("W"), QStringLiteral("1000")},
                             {height, QStringLiteral("Height in pixels."), QStringLiteral("H"), QStringLiteral("700")}}
                             + kGeometryOptions);
    if (!args.ok(2, 2))
        throw UsageError{args.wrong(2, 2)};
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
        const zel::Pseudosection section = zel::pseudosection(records, geometry, profile.value_or(withPositions.front()));
        if (section.points.empty() && section.negative.empty())
            throw ToolError{QStringLiteral("nothing to draw: no value of %1 has an apparent resistivity")
                                .arg(zel::profileName(section.profile))};
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
