#include "Options.h"

#include <QSettings>

#include <algorithm>

namespace zel {

namespace {

const QString kLambda = QStringLiteral("Inversion/Lambda");
const QString kIterations = QStringLiteral("Inversion/MaxIterations");
const QString kRobust = QStringLiteral("Inversion/Robust");
const QString kRatio = QStringLiteral("Inversion/VerticalRatio");
const QString kUseFlagged = QStringLiteral("Inversion/UseFlagged");
const QString kDoi = QStringLiteral("Inversion/Doi");
const QString kDoiThreshold = QStringLiteral("Inversion/DoiThreshold");

} // namespace

inv::InversionOptions InversionChoice::options(int threads) const
{
    inv::InversionOptions o;
    o.lambda = lambda;
    o.lambdaFloor = std::min(o.lambdaFloor, lambda);
    o.maxIterations = maxIterations;
    o.robust = robust;
    o.verticalRatio = verticalRatio;
    o.threads = threads;
    return o;
}

InversionChoice readInversionChoice(QSettings& settings)
{
    InversionChoice c;
    auto number = [&](const QString& key, OptionRange range, double fallback) {
        const std::optional<double> v = decimalOfText(settings.value(key).toString());
        return v && range.holds(*v) ? *v : fallback;
    };
    auto flag = [&](const QString& key, bool fallback) {
        const QString v = settings.value(key).toString().trimmed();
        return v == QLatin1String("1") ? true : v == QLatin1String("0") ? false : fallback;
    };
    c.lambda = number(kLambda, kLambdaRange, c.lambda);
    c.maxIterations = int(number(kIterations, kIterationsRange, c.maxIterations));
    c.robust = flag(kRobust, c.robust);
    c.verticalRatio = number(kRatio, kVerticalRatioRange, c.verticalRatio);
    c.useFlagged = flag(kUseFlagged, c.useFlagged);
    c.doi = flag(kDoi, c.doi);
    c.doiThreshold = number(kDoiThreshold, kDoiThresholdRange, c.doiThreshold);
    return c;
}

void writeInversionChoice(QSettings& settings, const InversionChoice& c)
{
    settings.setValue(kLambda, QString::number(c.lambda, 'g', 15));
    settings.setValue(kIterations, QString::number(c.maxIterations));
    settings.setValue(kRobust, c.robust ? QStringLiteral("1") : QStringLiteral("0"));
    settings.setValue(kRatio, QString::number(c.verticalRatio, 'g', 15));
    settings.setValue(kUseFlagged, c.useFlagged ? QStringLiteral("1") : QStringLiteral("0"));
    settings.setValue(kDoi, c.doi ? QStringLiteral("1") : QStringLiteral("0"));
    settings.setValue(kDoiThreshold, QString::number(c.doiThreshold, 'g', 15));
    settings.sync();
}

} // namespace zel
