// zeltool sounding: a vertical electrical sounding of a profile, its curve,
// its layered model (the fewest layers that explain it, with their ranges)
// and its smooth model.
#include "Tool.h"

#include "texts/Texts.h"

#include "data/DataFile.h"
#include "plots/Plots.h"
#include "section/Sounding.h"
#include "survey/Exports.h"
#include "survey/Plots.h"

#include <QDir>

#include <qcustomplot.h>

namespace zeltool {

namespace {

QByteArray number(double v) { return zel::plainDecimal(v, 6, false); }

} // namespace

int sounding(const Call& call)
{
    const Arguments args(call.args,
                         QList<QCommandLineOption>{{QStringLiteral("png"), QStringLiteral("Draw the curve and the models as OUT-curve.png too.")},
                                                   {QStringLiteral("pdf"), QStringLiteral("Draw them as OUT-curve.pdf too.")}}
                             + kGeometryOptions + kCheckOptions);
    if (!args.ok(2, 2))
        throw UsageError{args.wrong(2, 2)};
    const QString target = args.at(1);
    zel::refuseOutputOverInput(args.at(0), target);
    const LoadedData data = load(args.at(0), call.err);
    const zel::SurveyGeometry geometry = surveyGeometryOf(args, &data);
    const std::vector<zel::MeasurementRecord>& records = data.records();
    const std::optional<zel::Profile> chosen = profileOf(args);
    requireProfile(records, chosen);
    const auto withPositions = zel::pseudosectionProfiles(records);
    if (withPositions.empty())
        throw zel::ZelError(zel::ErrorId::NoPositions);
    const zel::Profile profile = chosen.value_or(withPositions.front());
    zel::SoundingInput input;
    try {
        input = zel::soundingInput(records, geometry, profile, {});
    } catch (const zel::SoundingRefused& e) {
        throw ToolError{QString::fromStdString(e.what())};
    }
    const zel::inv::LayeredFit layered = zel::inv::fitFewestLayers(input.data);
    const zel::inv::SmoothFit smooth = zel::inv::smoothSounding(input.data);

    QByteArray curve = "ab2_m,mn2_m,rhoa_ohmm,model_rhoa_ohmm,smooth_rhoa_ohmm\r\n";
    for (std::size_t i = 0; i < input.data.size(); ++i) {
        const auto& x = input.data[i].x;
        curve += number(std::abs(x[1] - x[0]) / 2) + ',' + number(std::abs(x[3] - x[2]) / 2) + ','
            + number(input.data[i].rhoa) + ',' + number(layered.response[i]) + ',' + number(smooth.response[i]) + "\r\n";
    }
    // Each layer with its range, and where a layer is thin the conductance
    // S = h/ρ and the transverse resistance T = h·ρ that the data fix
    // better than h and ρ alone.
    QByteArray layers = "top_m,bottom_m,rho_ohmm,rho_low_ohmm,rho_high_ohmm,thickness_low_m,thickness_high_m,s_siemens,t_ohmm2\r\n";
    double top = 0;
    for (std::size_t i = 0; i < layered.earth.rho.size(); ++i) {
        const bool last = i == layered.earth.thickness.size();
        const double rho = layered.earth.rho[i];
        const double h = last ? 0 : layered.earth.thickness[i];
        layers += number(top) + ',' + (last ? QByteArray() : number(top + h)) + ',' + number(rho) + ','
            + number(layered.rhoRange[i][0]) + ',' + number(layered.rhoRange[i][1]) + ','
            + (last ? QByteArray(",") : number(layered.thicknessRange[i][0]) + ',' + number(layered.thicknessRange[i][1])) + ','
            + (last ? QByteArray(",") : number(h / rho) + ',' + number(h * rho)) + "\r\n";
        top += h;
    }
    QByteArray smoothCsv = "top_m,bottom_m,rho_ohmm\r\n";
    top = 0;
    for (std::size_t i = 0; i < smooth.earth.rho.size(); ++i) {
        const bool last = i == smooth.earth.thickness.size();
        const double h = last ? 0 : smooth.earth.thickness[i];
        smoothCsv += number(top) + ',' + (last ? QByteArray() : number(top + h)) + ',' + number(smooth.earth.rho[i]) + "\r\n";
        top += h;
    }
    const QString base = target.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive) ? target.chopped(4) : target;
    QList<std::pair<QString, QByteArray>> files = {{base + QStringLiteral("-curve.csv"), curve},
                                                   {base + QStringLiteral("-layers.csv"), layers},
                                                   {base + QStringLiteral("-smooth.csv"), smoothCsv}};
    for (const QString& kind : {QStringLiteral("png"), QStringLiteral("pdf")}) {
        if (!args.isSet(kind))
            continue;
        QCustomPlot picture;
        picture.setLocale(zel::plotLocale(zel::texts::currentLanguage() == zel::texts::Language::English));
        zel::drawSounding(picture, input.data, layered, smooth,
                          QStringLiteral("%1: %2 layers, RRMS %3 %").arg(input.what).arg(layered.earth.rho.size()).arg(layered.rrms, 0, 'f', 2));
        const QString path = base + QStringLiteral("-curve.") + kind;
        files.append({path, zel::plotPicture(picture, path, zel::kSectionPictureWidth, zel::kSectionPictureHeight + 200)});
    }
    for (const auto& [path, bytes] : files)
        zel::refuseOutputOverInput(args.at(0), path);
    printLine(call.out, QStringLiteral("%1: a sounding at x = %2 m, %3 data; %4 layers, chi² %5, RRMS %6 %; smooth: chi² %7, RRMS %8 %")
                            .arg(input.what)
                            .arg(input.centre)
                            .arg(input.data.size())
                            .arg(layered.earth.rho.size())
                            .arg(layered.chi2, 0, 'f', 2)
                            .arg(layered.rrms, 0, 'f', 2)
                            .arg(smooth.chi2, 0, 'f', 2)
                            .arg(smooth.rrms, 0, 'f', 2));
    for (const QString& path : zel::writeExportFiles(files))
        printLine(call.out, QDir::toNativeSeparators(path));
    sayDefaultSpacing(args, data, geometry, call.err);
    return 0;
}

} // namespace zeltool
