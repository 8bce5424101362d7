// zeltool sounding: a vertical electrical sounding of a profile, its curve,
// its layered model (the fewest layers that explain it, with their ranges)
// and its smooth model; with --all every sounding of the memory and the
// section of their smooth models.
#include "Invert.h"
#include "Tool.h"

#include "texts/Texts.h"

#include "data/DataFile.h"
#include "plots/Plots.h"
#include "section/Sounding.h"
#include "survey/Exports.h"
#include "survey/Plots.h"
#include "survey/Spacings.h"

#include <QDir>

#include <qcustomplot.h>

namespace zeltool {

namespace {

QString soundingSummary(const zel::SoundingResult& r)
{
    return QStringLiteral("%1: a sounding at x = %2 m, %3 data; %4 layers, chi² %5, RRMS %6 %; smooth: chi² %7, RRMS %8 %")
        .arg(r.input.what)
        .arg(r.input.centre)
        .arg(r.input.data.size())
        .arg(r.layered.earth.rho.size())
        .arg(r.layered.chi2, 0, 'f', 2)
        .arg(r.layered.rrms, 0, 'f', 2)
        .arg(r.smooth.chi2, 0, 'f', 2)
        .arg(r.smooth.rrms, 0, 'f', 2)
        + (r.input.notPositive > 0
               ? QStringLiteral("; %1 readings of rhoa <= 0 left out (a swapped wire?)").arg(r.input.notPositive)
               : QString());
}

QLocale pictureLocale()
{
    return zel::plotLocale(zel::texts::currentLanguage() == zel::texts::Language::English);
}

// The files of one sounding named after `base`, its pictures where asked.
void addSoundingFiles(QList<std::pair<QString, QByteArray>>& files, const QString& base, const zel::SoundingResult& r,
                      const Arguments& args)
{
    files.append({{base + QStringLiteral("-curve.csv"), zel::soundingCurveCsv(r)},
                  {base + QStringLiteral("-layers.csv"), zel::soundingLayersCsv(r.layered)},
                  {base + QStringLiteral("-smooth.csv"), zel::soundingSmoothCsv(r.smooth)}});
    for (const QString& kind : {QStringLiteral("png"), QStringLiteral("pdf")}) {
        if (!args.isSet(kind))
            continue;
        QCustomPlot picture;
        picture.setLocale(pictureLocale());
        zel::drawSounding(picture, r.input.data, r.layered, r.smooth,
                          zel::soundingTitle(r, picture.locale()));
        const QString path = base + QStringLiteral("-curve.") + kind;
        files.append({path, zel::plotPicture(picture, path, zel::kSectionPictureWidth, zel::kSectionPictureHeight + 200)});
    }
}

zel::SpacingSheets spacingSheets(const Arguments& args)
{
    if (!args.isSet(QStringLiteral("spacings")))
        return zel::readSpacingsBeside(args.at(0));
    const QString file = args.value(QStringLiteral("spacings"));
    return zel::parseSpacings(zel::readWholeFile(file), QDir::toNativeSeparators(file));
}

int soundingAll(const Call& call, const Arguments& args, const LoadedData& data, const zel::SurveyGeometry& geometry,
                const zel::SpacingSheets& sheets)
{
    const QString folder = args.at(1);
    requireWritableTarget(folder, true);
    const std::vector<zel::MeasurementRecord>& records = data.records();
    QStringList leftOut;
    const std::vector<zel::SoundingResult> soundings = zel::everySounding(records, geometry, sheets, &leftOut);
    for (const QString& why : leftOut)
        printLine(call.err, QStringLiteral("zeltool: left out: %1").arg(why));
    QList<std::pair<QString, QByteArray>> files;
    for (const zel::SoundingResult& s : soundings) {
        printLine(call.out, soundingSummary(s));
        addSoundingFiles(files,
                         QDir(folder).filePath(QStringLiteral("L%1F%2").arg(s.input.profile.line).arg(s.input.profile.file)),
                         s, args);
    }
    if (soundings.empty())
        throw ToolError{QStringLiteral("no profile of %1 is a sounding").arg(QDir::toNativeSeparators(args.at(0)))};
    if (soundings.size() < 2) {
        printLine(call.err, QStringLiteral("zeltool: one sounding: no section"));
    } else {
        zel::SoundingSection section;
        try {
            section = zel::soundingSection(soundings);
        } catch (const zel::SoundingRefused& e) {
            throw ToolError{QString::fromStdString(e.what())};
        }
        files.append({QDir(folder).filePath(QStringLiteral("section.csv")), zel::soundingSectionCsv(section)});
        for (const QString& kind : {QStringLiteral("png"), QStringLiteral("pdf")}) {
            if (!args.isSet(kind))
                continue;
            QCustomPlot picture;
            picture.setLocale(pictureLocale());
            zel::drawSoundingSection(picture, section, QDir::toNativeSeparators(QFileInfo(args.at(0)).fileName()));
            const QString path = QDir(folder).filePath(QStringLiteral("section.") + kind);
            files.append({path, zel::plotPicture(picture, path, zel::kSectionPictureWidth, zel::kSectionPictureHeight)});
        }
    }
    for (const auto& [path, bytes] : files)
        zel::refuseOutputOverInput(args.at(0), path);
    for (const QString& path : zel::writeExportFiles(files))
        printLine(call.out, QDir::toNativeSeparators(path));
    // The electrodes' spacing places readings with positions; plain ones
    // take the sheet's metres.
    if (std::any_of(soundings.begin(), soundings.end(),
                    [&](const zel::SoundingResult& r) { return !zel::plainSounding(records, r.input.profile); }))
        sayDefaultSpacing(args, data, geometry, call.err);
    return 0;
}

} // namespace

int sounding(const Call& call)
{
    const Arguments args(call.args,
                         QList<QCommandLineOption>{{QStringLiteral("png"), QStringLiteral("Draw the curve and the models as OUT-curve.png too.")},
                                                   {QStringLiteral("pdf"), QStringLiteral("Draw them as OUT-curve.pdf too.")},
                                                   {QStringLiteral("all"), QStringLiteral("Every sounding of the memory, and their section, into OUTDIR.")},
                                                   {QStringLiteral("spacings"), QStringLiteral("AB/2 and MN/2 of each station of plain records."), QStringLiteral("FILE")}}
                             + kGeometryOptions + kCheckOptions);
    if (!args.ok(2, 2))
        throw UsageError{args.wrong(2, 2)};
    const std::optional<zel::Profile> chosen = profileOf(args);
    if (args.isSet(QStringLiteral("all")) && chosen)
        throw UsageError{QStringLiteral("--all takes every profile: it does not go with --line")};
    const QString target = args.at(1);
    zel::refuseOutputOverInput(args.at(0), target);
    const LoadedData data = load(args.at(0), call.err);
    const zel::SurveyGeometry geometry = surveyGeometryOf(args, &data);
    const zel::SpacingSheets sheets = spacingSheets(args);
    if (args.isSet(QStringLiteral("all")))
        return soundingAll(call, args, data, geometry, sheets);
    const std::vector<zel::MeasurementRecord>& records = data.records();
    requireProfile(records, chosen);
    // Unless one is chosen, the first profile with positions, else the
    // first of plain measurements.
    std::optional<zel::Profile> profile = chosen;
    if (const auto withPositions = zel::pseudosectionProfiles(records); !profile && !withPositions.empty())
        profile = withPositions.front();
    for (const zel::Profile& p : zel::profilesOf(records))
        if (!profile && zel::plainSounding(records, p))
            profile = p;
    if (!profile)
        throw zel::ZelError(zel::ErrorId::NoPositions);
    zel::SoundingResult result;
    try {
        result = zel::interpretSounding(zel::soundingInput(records, geometry, *profile, {}, sheets));
    } catch (const zel::SoundingRefused& e) {
        throw ToolError{QString::fromStdString(e.what())};
    }
    const QString base = target.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive) ? target.chopped(4) : target;
    QList<std::pair<QString, QByteArray>> files;
    addSoundingFiles(files, base, result, args);
    for (const auto& [path, bytes] : files)
        zel::refuseOutputOverInput(args.at(0), path);
    printLine(call.out, soundingSummary(result));
    for (const QString& path : zel::writeExportFiles(files))
        printLine(call.out, QDir::toNativeSeparators(path));
    if (!zel::plainSounding(records, *profile))
        sayDefaultSpacing(args, data, geometry, call.err);
    return 0;
}

} // namespace zeltool
