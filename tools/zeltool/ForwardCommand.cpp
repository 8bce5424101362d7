// zeltool forward: the apparent resistivities an electrode table would
// measure over a known ground, for planning a line.
#include "Tool.h"

#include "data/DataFile.h"
#include "data/Interpolate.h"
#include "data/ZelError.h"
#include "inversion/Files.h"
#include "inversion/Ground.h"
#include "protocol/ElectrodeTable.h"
#include "survey/Exports.h"
#include "survey/Geometry.h"
#include "survey/Values.h"

#include <QDir>

#include <cmath>
#include <map>
#include <random>

namespace zeltool {

int forward(const Call& call)
{
    std::FILE* out = call.out;
    std::FILE* err = call.err;
    const QString noise = QStringLiteral("noise"), channels = QStringLiteral("channels"),
                  topography = QStringLiteral("topography");
    const Arguments args(call.args,
                         QList<QCommandLineOption>{
                             {noise, QStringLiteral("Gaussian noise of this many % on each value (0)."), QStringLiteral("P")},
                             {channels, QStringLiteral("Dipoles an entry of the table measures: 1, or 4 consecutive ones (1)."), QStringLiteral("N")},
                             {kSpacing, QStringLiteral("Electrode spacing for a model CSV, m (1)."), QStringLiteral("S")},
                             {kX0, QStringLiteral("Position of electrode 0 for a model CSV, m (0)."), QStringLiteral("X")},
                             {topography, QStringLiteral("Heights of the electrodes for a model CSV: x z, or electrode z."), QStringLiteral("FILE")}});
    if (!args.ok(3, 3))
        throw UsageError{args.wrong(3, 3)};
    const QString modelPath = args.at(0), tablePath = args.at(1), target = args.at(2);
    auto number = [&](const QString& option, double fallback, double low, double high) {
        if (!args.isSet(option))
            return fallback;
        const std::optional<double> v = zel::decimalOfText(args.value(option));
        if (!v || !(*v >= low && *v <= high))
            throw ToolError{QStringLiteral("--%1 %2: a number from %3 to %4 is needed").arg(option, args.value(option)).arg(low).arg(high)};
        return *v;
    };
    const double noisePercent = number(noise, 0, 0, 100);
    const int dipoles = int(number(channels, 1, 1, 4));
    if (dipoles != 1 && dipoles != 4)
        throw ToolError{QStringLiteral("--channels %1: 1 or 4 is needed").arg(args.value(channels))};
    zel::refuseOutputOverInput(modelPath, target);
    zel::refuseOutputOverInput(tablePath, target);

    // The ground: a model file, or a model CSV of an inversion.
    const QByteArray modelText = zel::readWholeFile(modelPath);
    const bool csv = modelPath.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
    zel::inv::Ground ground;
    zel::inv::ModelCells cells;
    std::optional<zel::Topography> heights;
    double spacing = 1, x0 = 0;
    try {
        if (csv) {
            cells = zel::inv::parseModelCsv(modelText);
            spacing = number(kSpacing, 1, 1e-3, 1e4);
            x0 = number(kX0, 0, -1e6, 1e6);
            if (args.isSet(topography))
                heights = zel::parseTopography(zel::readWholeFile(args.value(topography)),
                                               QDir::toNativeSeparators(args.value(topography)));
        } else {
            ground = zel::inv::parseGround(modelText.toStdString());
            spacing = ground.spacing;
        }
    } catch (const zel::inv::FileRefused& e) {
        throw ToolError{QStringLiteral("%1, line %2: %3").arg(QDir::toNativeSeparators(modelPath)).arg(e.line()).arg(QString::fromStdString(e.what()))};
    }

    // The table's electrodes, each at its number's place along the line.
    const std::vector<zel::ElectrodeEntry> entries = electrodeTableOf(tablePath);
    std::map<int, int> indexOf;  // electrode number → its place among the electrodes
    std::vector<std::array<int, 4>> quadripoles;
    int remote = 0;
    for (const zel::ElectrodeEntry& e : entries)
        for (int k = 0; k < dipoles; ++k) {
            const std::array<int, 4> q{e.a, e.b, e.m + k * (e.n - e.m), e.n + k * (e.n - e.m)};
            if (std::min({q[0], q[1], q[2], q[3]}) < 0) {
                remote += k == 0;
                continue;
            }
            quadripoles.push_back(q);
            for (const int n : q)
                indexOf.emplace(n, 0);
        }
    if (remote > 0)
        printLine(err, QStringLiteral("zeltool: %1 entries with a negative electrode number left out").arg(remote));
    std::vector<double> x, z;
    for (auto& [n, index] : indexOf) {
        index = int(x.size());
        x.push_back(x0 + n * spacing);
        z.push_back(csv ? (heights ? heights->at(heights->byElectrode ? double(n) : x.back()) : 0)
                        : zel::interpolateClamped(ground.elevations, double(n)));
    }
    std::vector<zel::inv::Configuration> configurations;
    std::vector<std::array<int, 4>> kept;
    for (const auto& q : quadripoles) {
        std::array<double, 4> qx{}, qz{};
        for (std::size_t j = 0; j < 4; ++j)
            qx[j] = x[std::size_t(indexOf[q[j]])], qz[j] = z[std::size_t(indexOf[q[j]])];
        if (const std::optional<double> k = zel::geometricFactor(qx, qz)) {
            configurations.push_back({{indexOf[q[0]], indexOf[q[1]], indexOf[q[2]], indexOf[q[3]]}, *k});
            kept.push_back(q);
        }
    }
    if (configurations.empty())
        throw ToolError{QStringLiteral("%1: no entry of the table makes a measurement").arg(QDir::toNativeSeparators(tablePath))};

    std::vector<double> rhoa;
    try {
        if (csv) {
            rhoa = zel::inv::forwardResponse(x, z, configurations, [&](double at, double depth) {
                return cells.at({at, zel::inv::surfaceAt(x, z, at) - depth});
            });
        } else {
            rhoa = zel::inv::forwardResponse(x, z, configurations, [&](double at, double depth) { return ground.rhoAt(at, depth); },
                                             ground.levels(), ground.verticals());
        }
    } catch (const zel::inv::InversionRefused& e) {
        throw ToolError{QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(modelPath), QString::fromStdString(e.what()))};
    }

    // The data as the station would give them at 100 mA, with the noise asked.
    std::mt19937 random(1);
    std::normal_distribution<double> gauss(0, noisePercent / 100);
    std::vector<zel::InversionDatum> data;
    for (std::size_t d = 0; d < configurations.size(); ++d) {
        zel::ChannelValue v;
        zel::ArrayElectrodes e;
        e.number = kept[d];
        for (std::size_t j = 0; j < 4; ++j)
            e.x[j] = x[std::size_t(configurations[d].abmn[j])];
        if (std::any_of(z.begin(), z.end(), [](double h) { return h != 0; })) {
            std::array<double, 4> ez{};
            for (std::size_t j = 0; j < 4; ++j)
                ez[j] = z[std::size_t(configurations[d].abmn[j])];
            e.z = ez;
        }
        v.electrodes = e;
        v.k = configurations[d].k;
        v.rhoa = rhoa[d] * (1 + gauss(random));
        v.r = *v.rhoa / *v.k;
        v.i = 100;
        v.u = *v.r * *v.i;
        data.push_back({v, noisePercent > 0 ? std::optional(noisePercent) : std::nullopt});
    }
    const zel::SurveyGeometry defaults;
    zel::writeWholeFile(target, zel::ohmFile(data, defaults.thresholds.defaultError, defaults.thresholds.minError));
    printLine(out, QStringLiteral("%1 data over %2 electrodes: apparent resistivity %3–%4 ohm·m")
                       .arg(data.size())
                       .arg(x.size())
                       .arg(*std::min_element(rhoa.begin(), rhoa.end()), 0, 'g', 4)
                       .arg(*std::max_element(rhoa.begin(), rhoa.end()), 0, 'g', 4));
    printLine(out, QDir::toNativeSeparators(target));
    return 0;
}

} // namespace zeltool
