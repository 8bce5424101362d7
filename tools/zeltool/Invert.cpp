// zeltool invert: the options, the data of one profile (or of an .ohm file)
// and its section with its files; --base and --all go to their own files.
#include "Invert.h"

#include "texts/Texts.h"

#include "data/DataFile.h"
#include "data/ZelError.h"
#include "inversion/Files.h"
#include "plots/Plots.h"
#include "section/Recipe.h"
#include "survey/Exports.h"
#include "survey/Polarisation.h"
#include "survey/Values.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>

namespace zeltool {

int stoppedNothingWritten(std::FILE* err)
{
    printLine(err, QStringLiteral("zeltool: stopped by the user; nothing written"));
    return 1;
}

QLocale pictureNumbers()
{
    return zel::plotLocale(zel::texts::currentLanguage() == zel::texts::Language::English);
}

QList<std::pair<QString, QByteArray>> sectionPicturesOf(const InvertCall& call, const zel::inv::InversionResult& result,
                                                        const QString& what, const QString& base)
{
    const QLocale numbers = pictureNumbers();
    const QString title = zel::sectionTitle(what, result, numbers);
    QList<std::pair<QString, QByteArray>> files;
    for (const QString& kind : call.pictures) {
        if (!call.sheet) {
            files += zel::sectionPictures(result, title, base, kind, numbers, call.choice.doiThreshold);
            continue;
        }
        zel::SectionSheet sheet;
        sheet.result = &result;
        sheet.title = title;
        sheet.doiThreshold = call.choice.doiThreshold;
        const QByteArray drawn = zel::sheetPicture(sheet, *call.sheet, kind == QLatin1String("pdf"), numbers);
        if (drawn.isEmpty())
            throw ToolError{QStringLiteral("the sheet of %1×%2 pixels could not be drawn: more than the memory holds")
                                .arg(call.sheet->width).arg(call.sheet->height)};
        files.append({base + QLatin1Char('.') + kind, drawn});
    }
    return files;
}

int writeResult(const InvertCall& call, const QList<std::pair<QString, QByteArray>>& files, const QStringList& inputs)
{
    for (const auto& [path, bytes] : files)
        for (const QString& input : inputs)
            zel::refuseOutputOverInput(input, path);
    QStringList written;
    try {
        written = zel::writeExportFiles(files, call.stop.flag());
    } catch (const zel::ExportStopped&) {
        return stoppedNothingWritten(call.err);
    }
    for (const QString& path : written)
        printLine(call.out, QDir::toNativeSeparators(path));
    return 0;
}

bool buildFiles(const InvertCall& call, const std::function<void()>& build)
{
    try {
        build();
    } catch (const zel::inv::InversionStopped&) {
        stoppedNothingWritten(call.err);
        return false;
    } catch (const zel::inv::InversionRefused& e) {
        throw ToolError{QString::fromStdString(e.what())};
    }
    return true;
}

void requireWritableTarget(const QString& target, bool folder)
{
    const QFileInfo info(target);
    if (!folder && (target.isEmpty() || info.fileName().isEmpty() || target.endsWith(QLatin1Char('/'))
                    || target.endsWith(QLatin1Char('\\'))))
        throw UsageError{QStringLiteral("OUT \"%1\" names no file: the files are named after it (OUT-model.csv, …)").arg(target)};
    if (folder && target.isEmpty())
        throw UsageError{QStringLiteral("OUTDIR names no folder")};
    const QString place = folder ? target : info.absolutePath();
    if (folder && !QDir().mkpath(place))
        throw zel::ZelError(zel::ErrorId::CannotCreateFile, {QDir::toNativeSeparators(place), QString()});
    // A file made and removed again: the folder takes files.
    QTemporaryFile probe(QDir(place).filePath(QStringLiteral(".zeltool-XXXXXX")));
    if (!probe.open())
        throw zel::ZelError(zel::ErrorId::CannotCreateFile, {QDir::toNativeSeparators(folder ? place : target), probe.errorString()});
}

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

void sayInput(const zel::SectionInput& input, std::FILE* err)
{
    for (const zel::TopographyGap& gap : input.gaps)
        printLine(err, QStringLiteral("zeltool: ") + zel::texts::topographyGap(gap));
    if (!input.charges.empty())
        printLine(err, QStringLiteral("zeltool: %1: the resistivity at %2 Hz, the frequency effect against %3 Hz")
                           .arg(input.what)
                           .arg(input.lowHertz)
                           .arg(input.highHertz));
    else if (input.frequencies.size() > 1) {
        QStringList read;
        for (const double f : input.frequencies)
            read << QString::number(f);
        printLine(err, QStringLiteral("zeltool: %1 was read at %2 Hz: inverting %3 Hz (--frequency chooses another)")
                           .arg(input.what, read.join(QStringLiteral(", ")))
                           .arg(input.frequency));
    }
    if (input.disagreeing > 0)
        printLine(err, QStringLiteral("zeltool: %1: %2 quadripoles read in two spreads disagree beyond their errors "
                                      "(is each spread's X0 right?)")
                           .arg(input.what)
                           .arg(input.disagreeing));
}

namespace {

// The section of one profile, said and written with its pictures.
int invertProfile(const InvertCall& call, const zel::SectionInput& input, const zel::inv::InversionOptions& options)
{
    const QString& what = input.what;
    const std::vector<zel::inv::Measurement>& data = input.data;
    std::FILE* out = call.out;
    std::FILE* err = call.err;
    zel::SectionRun made;
    try {
        made = zel::invertSection(
            data, options, call.choice.doi,
            [&](const zel::inv::IterationReport& r) {
                printLine(out, zel::progressLine(r, true));
                std::fflush(out);
            },
            [&](const zel::inv::DoiRun& r) {
                printLine(out, QStringLiteral("doi %1 of 2, ").arg(r.run) + zel::progressLine(r.report, true));
                std::fflush(out);
            },
            call.stop.flag(), input.charges,
            [&](const zel::inv::IterationReport& r) {
                printLine(out, QStringLiteral("pfe, ") + zel::progressLine(r, true));
                std::fflush(out);
            });
    } catch (const zel::inv::InversionStopped&) {
        made.result.cancelled = true;  // before the first model: nothing to write
    } catch (const zel::inv::MemoryRefused& e) {
        throw ToolError{QStringLiteral("%1: %2").arg(what, zel::texts::inversionNeedsMemory(e.needed(), e.available()))};
    } catch (const zel::inv::InversionRefused& e) {
        throw ToolError{QStringLiteral("%1: %2 (%3 data, %4 left out: not above 0 or outside %5–%6 ohm·m)")
                            .arg(what, QString::fromStdString(e.what()))
                            .arg(data.size())
                            .arg(std::count_if(data.begin(), data.end(), [](const auto& m) {
                                return !(m.rhoa >= zel::inv::kLeastRhoa && m.rhoa <= zel::inv::kLargestRhoa);
                            }))
                            .arg(zel::inv::kLeastRhoa)
                            .arg(zel::inv::kLargestRhoa)};
    }
    if (made.charge && !made.charge->cancelled)
        made.result.chargeability = made.charge->chargeability;
    const zel::inv::InversionResult& result = made.result;
    if (result.cancelled || (made.charge && made.charge->cancelled)) {
        return stoppedNothingWritten(err);
    }
    // The section is whole without its depth of investigation: it is
    // written, and the depth said missing; a second Ctrl+C stops the writing.
    if (!made.doiMissing.isEmpty()) {
        printLine(err, QStringLiteral("zeltool: the depth of investigation is missing: ") + made.doiMissing);
        call.stop.reset();
    }
    const zel::inv::IterationReport& kept = result.kept();
    const int iterationsRun = result.iterations.back().number;
    printLine(out, QStringLiteral("%1: %2 data, %3 cells, %4, chi² %5, RRMS %6 %%7%8")
                       .arg(what)
                       .arg(result.data.size())
                       .arg(result.mesh.parameterCount())
                       .arg(iterationsRun == 1 ? QStringLiteral("1 iteration") : QStringLiteral("%1 iterations").arg(iterationsRun))
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
    if (made.charge) {
        std::vector<double> pfe = made.charge->pfe();
        std::sort(pfe.begin(), pfe.end());
        printLine(out, QStringLiteral("%1: frequency effect %2/%3 Hz of %4 quadripoles: chi² %5, RRMS %6 points of "
                                      "chargeability; the section's effect %7 % in the median, %8–%9 % (p5–p95)")
                           .arg(what)
                           .arg(input.lowHertz)
                           .arg(input.highHertz)
                           .arg(made.charge->data.size())
                           .arg(made.charge->kept().chi2, 0, 'f', 2)
                           .arg(made.charge->kept().rrms, 0, 'f', 2)
                           .arg(pfe[pfe.size() / 2], 0, 'f', 2)
                           .arg(pfe[pfe.size() / 20], 0, 'f', 2)
                           .arg(pfe[pfe.size() * 19 / 20], 0, 'f', 2));
    }
    printLine(out, depthSummary(QStringLiteral("depth of sensitivity (%1 % of the largest)").arg(100 * zel::inv::kSensitivityThreshold),
                                zel::inv::sensitivityDepths(result.mesh, zel::inv::relativeSensitivity(result),
                                                            zel::inv::kSensitivityThreshold)));
    if (!result.doi.empty())
        printLine(out, depthSummary(QStringLiteral("depth of investigation (DOI index %1)").arg(call.choice.doiThreshold),
                                    zel::inv::doiDepths(result.mesh, result.doi, call.choice.doiThreshold)));
    QList<std::pair<QString, QByteArray>> files;
    if (!buildFiles(call, [&] { files = zel::inv::resultFiles(result, call.target, call.grid, 0, call.stop.flag()); }))
        return 1;
    files += sectionPicturesOf(call, result, what, zel::inv::resultBaseName(call.target));
    return writeResult(call, files, {call.in});
}

} // namespace

int invert(const Call& c)
{
    const QString topography = QStringLiteral("topography"), lambda = QStringLiteral("lambda"),
                  iterations = QStringLiteral("max-iterations"), robust = QStringLiteral("robust"),
                  ratio = QStringLiteral("vertical-ratio"), doi = QStringLiteral("doi"),
                  doiThreshold = QStringLiteral("doi-threshold"), gridSpacing = QStringLiteral("grid-spacing"),
                  baseOption = QStringLiteral("base"), baseFileOption = QStringLiteral("base-file"),
                  allOption = QStringLiteral("all"), volumeOption = QStringLiteral("3d"), frequencyOption = QStringLiteral("frequency"),
                  ipOption = QStringLiteral("ip"), frequenciesOption = QStringLiteral("frequencies"),
                  sheetOption = QStringLiteral("sheet"), widthOption = QStringLiteral("width"),
                  heightOption = QStringLiteral("height"), dpiOption = QStringLiteral("dpi");
    const zel::InversionChoice defaults;
    const Arguments args(c.args,
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
                             {baseFileOption, QStringLiteral("The file of the line in the first reading, from 0 (that of --file; without it and without --file, the whole line)."), QStringLiteral("F")},
                             {frequencyOption, QStringLiteral("Of a profile read at several frequencies, the one to invert, Hz (the lowest)."), QStringLiteral("HZ")},
                             {ipOption, QStringLiteral("Of a profile read at two frequencies, the frequency effect too: the resistivity at the low frequency, then the chargeability from its sensitivities (OUT-model.csv, .vtu and .xyz gain chargeability and pfe_pct; --png draws OUT-pfe.png).")},
                             {frequenciesOption, QStringLiteral("The two frequencies --ip compares, Hz (the lowest and the highest the profile holds)."), QStringLiteral("LOW,HIGH")},
                             {allOption, QStringLiteral("Invert every line into the folder OUT: each line's files, lines.vtu in 3D and plan views at four depths.")},
                             {volumeOption, QStringLiteral("Invert every line of FILE.zel into one 3D model: OUT.vtu, OUT-model.csv, OUT-response.csv, OUT.xyz; with --png, depth slices and the section under each line.")},
                             {QStringLiteral("png"), QStringLiteral("Draw the section as OUT.png too.")},
                             {QStringLiteral("pdf"), QStringLiteral("Draw the section as OUT.pdf too.")},
                             {sheetOption, QStringLiteral("Draw the pictures as a report's sheet: the section, the measured and modelled data and the misfit (OUT.png without --pdf).")},
                             {widthOption, QStringLiteral("The sheet's width, pixels (%1).").arg(zel::SheetSize{}.width), QStringLiteral("W")},
                             {heightOption, QStringLiteral("The sheet's height, pixels (%1).").arg(zel::SheetSize{}.height), QStringLiteral("H")},
                             {dpiOption, QStringLiteral("The sheet's resolution, dots per inch (%1): the size of its texts.").arg(zel::SheetSize{}.dpi), QStringLiteral("D")}}
                             + kGeometryOptions + kCheckOptions);
    if (!args.ok(2, 2))
        throw UsageError{args.wrong(2, 2)};
    const QString in = args.at(0);
    const QString target = args.at(1);
    // A wrong value of an option is a wrong call, as a wrong --line is.
    auto number = [&](const QString& option, double& into, zel::OptionRange range) {
        if (!args.isSet(option))
            return;
        const std::optional<double> v = zel::decimalOfText(args.value(option));
        if (!v || !range.holds(*v))
            throw UsageError{QStringLiteral("--%1 %2: a number from %3 to %4 is needed").arg(option, args.value(option)).arg(range.low).arg(range.high)};
        into = *v;
    };
    StopSignals stop;
    InvertCall call{args, {}, 0, {}, {}, in, target, c.out, c.err, stop};
    zel::InversionChoice& choice = call.choice;
    number(lambda, choice.lambda, zel::kLambdaRange);
    number(ratio, choice.verticalRatio, zel::kVerticalRatioRange);
    double maxIterations = choice.maxIterations;
    number(iterations, maxIterations, zel::kIterationsRange);
    choice.maxIterations = int(maxIterations);
    number(doiThreshold, choice.doiThreshold, zel::kDoiThresholdRange);
    number(gridSpacing, call.grid, zel::kGridSpacingRange);
    if (args.isSet(frequencyOption))
        choice.frequency = stationFrequency(frequencyOption, args.value(frequencyOption));
    const bool ip = args.isSet(ipOption);
    std::optional<zel::FrequencyPair> asked;
    if (args.isSet(frequenciesOption)) {
        const QStringList two = args.value(frequenciesOption).split(QLatin1Char(','));
        if (!ip)
            throw UsageError{QStringLiteral("--frequencies goes with --ip")};
        if (two.size() != 2)
            throw UsageError{QStringLiteral("--frequencies %1: two frequencies, LOW,HIGH, are needed").arg(args.value(frequenciesOption))};
        asked = zel::FrequencyPair{stationFrequency(frequenciesOption, two[0]), stationFrequency(frequenciesOption, two[1])};
        if (!(asked->low < asked->high))
            throw UsageError{QStringLiteral("--frequencies %1: the low one first, then a higher one").arg(args.value(frequenciesOption))};
    }
    if (ip && args.isSet(frequencyOption))
        throw UsageError{QStringLiteral("--ip inverts the low frequency of its pair: --frequency does not go with it (--frequencies chooses the pair)")};
    choice.doi = args.isSet(doi);
    choice.robust = args.isSet(robust);
    choice.useFlagged = !args.isSet(kDropFlagged);
    for (const QString& kind : {QStringLiteral("png"), QStringLiteral("pdf")})
        if (args.isSet(kind))
            call.pictures << kind;
    if (args.isSet(sheetOption)) {
        if (args.isSet(baseOption))
            throw UsageError{QStringLiteral("--sheet draws one section with its data: it does not go with --base")};
        zel::SheetSize size;
        for (auto [option, into] : {std::pair{widthOption, &size.width}, {heightOption, &size.height}, {dpiOption, &size.dpi}})
            if (args.isSet(option))
                *into = args.wholeNumber(option);
        if (const QString problem = zel::sheetSizeProblem(size); !problem.isEmpty())
            throw UsageError{QStringLiteral("--sheet %1×%2 at %3 dpi: %4").arg(size.width).arg(size.height).arg(size.dpi).arg(problem)};
        call.sheet = size;
        if (call.pictures.isEmpty())
            call.pictures << QStringLiteral("png");
    } else {
        for (const QString& option : {widthOption, heightOption, dpiOption})
            if (args.isSet(option))
                throw UsageError{QStringLiteral("--%1 sizes the sheet: it goes with --sheet").arg(option)};
    }
    if (args.isSet(baseFileOption) && !args.isSet(baseOption))
        throw UsageError{QStringLiteral("--base-file goes with --base")};
    const std::optional<int> baseFile = args.isSet(baseFileOption) ? std::optional(args.wholeNumber(baseFileOption)) : std::nullopt;
    if (baseFile && *baseFile < 0)
        throw UsageError{QStringLiteral("--base-file %1: a file number from 0 is needed (without --base-file the first reading's profile is that of --line and --file)").arg(*baseFile)};
    const bool all = args.isSet(allOption);
    if (all && (args.isSet(kLine) || args.isSet(kFile) || args.isSet(baseOption)))
        throw UsageError{QStringLiteral("--all inverts every line: --line, --file and --base do not go with it")};
    const bool ohm = in.endsWith(QLatin1String(".ohm"), Qt::CaseInsensitive);
    if (all && ohm)
        throw UsageError{QStringLiteral("--all inverts the lines of a .zel file")};
    if (ip && (all || ohm || args.isSet(baseOption) || args.isSet(volumeOption)))
        throw UsageError{QStringLiteral("--ip inverts one profile of a .zel file: --all, --3d, --base and an .ohm file do not go with it")};
    const bool volume = args.isSet(volumeOption);
    if (volume && (all || args.isSet(kLine) || args.isSet(kFile) || args.isSet(baseOption) || args.isSet(sheetOption)))
        throw UsageError{QStringLiteral("--3d inverts every line into one model: --all, --line, --file, --base and --sheet do not go with it")};
    if (volume && ohm)
        throw UsageError{QStringLiteral("--3d inverts the lines of a .zel file")};
    requireWritableTarget(target, all);
    zel::refuseOutputOverInput(in, target);

    std::optional<LoadedData> loaded;
    if (!ohm)
        loaded = load(in, c.err);
    zel::SurveyGeometry geometry = surveyGeometryOf(args, loaded ? &*loaded : nullptr);
    if (all || volume) {
        const zel::Exclusions left = exclusionsOf(args, *loaded, c.err, BadExclusions::Refuse);
        return all ? invertAll(call, *loaded, geometry, left) : invertVolume(call, *loaded, geometry, left);
    }
    std::optional<zel::Topography> given;  // --topography, over the line's own
    if (args.isSet(topography)) {
        const QString file = args.value(topography);
        given = zel::parseTopography(zel::readWholeFile(file), QDir::toNativeSeparators(file));
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
                printLine(c.err, QStringLiteral("zeltool: %1 data with a pole electrode left out").arg(input.poles));
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
                printLine(c.err, QStringLiteral("zeltool: inverting L%1 F%2, the first of %3 profiles; --line (and --file) choose another")
                                     .arg(profile->line).arg(profile->file).arg(withPositions.size()));
        }
        if (file)
            profile->file = *file;
        requireProfile(records, profile);
        const zel::ExportChoice exported = choice.dataChoice(exclusionsOf(args, *reading, c.err, BadExclusions::Refuse));
        // The topography given is the line's own: positions (taped along
        // the slope), factors and heights all follow it.
        if (given)
            for (const zel::Profile& p : zel::profilesOf(records))
                if (profile->holds(p))
                    geometry.lines[p].topography = *given;
        if (!ip) {
            input = zel::profileInput(records, geometry, *profile, exported);
        } else {
            // The resistivity at the pair's low frequency, and the
            // frequency effect of each of its quadripoles.
            const std::vector<zel::ChannelValue> values = zel::surveyValues(records, geometry);
            const std::vector<zel::ValueCheck> checks = zel::checkValues(records, values, geometry.thresholds);
            const std::vector<int> held = zel::profileFrequencies(records, values, *profile);
            const std::optional<zel::FrequencyPair> pair = zel::frequencyPairOf(held, asked);
            if (!pair)
                throw ToolError{QStringLiteral("--ip: %1 was read at %2 Hz: %3")
                                    .arg(zel::profileName(*profile), zel::frequencyList(held),
                                         asked ? QStringLiteral("not at both frequencies asked")
                                               : QStringLiteral("its frequency effect needs two frequencies")) };
            zel::ExportChoice low = exported;
            low.frequency = pair->low;
            input = zel::profileInput(records, values, checks, geometry, *profile, low);
            zel::addCharges(input, records, values, checks, *profile, low, *pair);
        }
        if (input.data.empty())
            throw ToolError{zel::whyNoData(records, geometry, *profile, exported)};
        return input;
    };
    zel::SectionInput input = inputOf(in, loaded ? &*loaded : nullptr, geometry, std::nullopt);
    sayInput(input, c.err);
    zel::inv::InversionOptions options = choice.options();
    options.elevations = input.elevations;

    int status = 0;
    if (args.isSet(baseOption)) {
        const QString basePath = args.value(baseOption);
        std::optional<LoadedData> baseReading;
        if (!basePath.endsWith(QLatin1String(".ohm"), Qt::CaseInsensitive))
            baseReading = load(basePath, c.err);
        const zel::SurveyGeometry baseGeometry = surveyGeometryOf(args, baseReading ? &*baseReading : nullptr);
        zel::SectionInput base = inputOf(basePath, baseReading ? &*baseReading : nullptr, baseGeometry, baseFile);
        sayInput(base, c.err);
        if (choice.doi)
            printLine(c.err, QStringLiteral("zeltool: the DOI index is not computed for a time-lapse pair; the depth of sensitivity is"));
        zel::refuseOutputOverInput(basePath, target);
        if (const QString why = zel::placingDiffers(base, input); !why.isEmpty())
            throw ToolError{QStringLiteral("%1 against %2: %3").arg(input.what, base.what, why)};
        // Two readings of one profile are told apart by their files.
        if (base.what == input.what) {
            base.what = QFileInfo(basePath).fileName() + QLatin1Char(' ') + base.what;
            input.what = QFileInfo(in).fileName() + QLatin1Char(' ') + input.what;
        }
        status = invertPair(call, base, input, options, {in, basePath});
    } else {
        status = invertProfile(call, input, options);
    }
    if (status == 0 && loaded)
        sayDefaultSpacing(args, *loaded, geometry, c.err);
    return status;
}

} // namespace zeltool
