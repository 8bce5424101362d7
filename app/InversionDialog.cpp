#include "InversionDialog.h"

#include "DecimalSpinBox.h"

#include "survey/Geometry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSettings>
#include <QSpinBox>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString kLambda = QStringLiteral("Inversion/Lambda");
const QString kIterations = QStringLiteral("Inversion/MaxIterations");
const QString kRobust = QStringLiteral("Inversion/Robust");
const QString kRatio = QStringLiteral("Inversion/VerticalRatio");
const QString kUseFlagged = QStringLiteral("Inversion/UseFlagged");

// The ranges the inversion takes its options in.
constexpr double kMinLambda = 0.001, kMaxLambda = 1e6;
constexpr int kMaxIterations = 100;
constexpr double kMinRatio = 0.01, kMaxRatio = 100;

} // namespace

zel::inv::InversionOptions InversionChoice::options() const
{
    zel::inv::InversionOptions o;
    o.lambda = lambda;
    o.lambdaFloor = std::min(o.lambdaFloor, lambda);
    o.maxIterations = maxIterations;
    o.robust = robust;
    o.verticalRatio = verticalRatio;
    // One core is left to the window, which stays responsive meanwhile.
    o.threads = std::max(1, QThread::idealThreadCount() - 1);
    return o;
}

InversionChoice readInversionChoice(QSettings& settings)
{
    InversionChoice c;
    auto number = [&](const QString& key, double low, double high, double fallback) {
        const std::optional<double> v = zel::decimalOfText(settings.value(key).toString());
        return v && *v >= low && *v <= high ? *v : fallback;
    };
    auto flag = [&](const QString& key, bool fallback) {
        const QString v = settings.value(key).toString().trimmed();
        return v == QLatin1String("1") ? true : v == QLatin1String("0") ? false : fallback;
    };
    c.lambda = number(kLambda, kMinLambda, kMaxLambda, c.lambda);
    c.maxIterations = int(number(kIterations, 1, kMaxIterations, c.maxIterations));
    c.robust = flag(kRobust, c.robust);
    c.verticalRatio = number(kRatio, kMinRatio, kMaxRatio, c.verticalRatio);
    c.useFlagged = flag(kUseFlagged, c.useFlagged);
    return c;
}

void writeInversionChoice(QSettings& settings, const InversionChoice& c)
{
    settings.setValue(kLambda, QString::number(c.lambda, 'g', 15));
    settings.setValue(kIterations, QString::number(c.maxIterations));
    settings.setValue(kRobust, c.robust ? QStringLiteral("1") : QStringLiteral("0"));
    settings.setValue(kRatio, QString::number(c.verticalRatio, 'g', 15));
    settings.setValue(kUseFlagged, c.useFlagged ? QStringLiteral("1") : QStringLiteral("0"));
    settings.sync();
}

TInversionDialog::TInversionDialog(const InversionChoice& choice, const std::vector<zel::Profile>& profiles,
                                   QWidget* parent)
    : QDialog(parent), m_profiles(profiles)
{
    setObjectName(QStringLiteral("InversionDialog"));
    setWindowTitle(tr("Инверсия"));
    ProfileBox = new QComboBox(this);
    ProfileBox->setObjectName(QStringLiteral("ProfileBox"));
    for (const zel::Profile& p : profiles)
        ProfileBox->addItem(tr("L%1 F%2 (линия %1, файл %2)").arg(p.line).arg(p.file));
    const auto at = std::find(profiles.begin(), profiles.end(), choice.profile);
    ProfileBox->setCurrentIndex(at == profiles.end() ? 0 : int(at - profiles.begin()));

    LambdaEdit = new TDecimalSpinBox(this);
    LambdaEdit->setObjectName(QStringLiteral("LambdaEdit"));
    LambdaEdit->setDecimals(3);
    LambdaEdit->setRange(kMinLambda, kMaxLambda);
    LambdaEdit->setValue(choice.lambda);
    IterationsEdit = new QSpinBox(this);
    IterationsEdit->setObjectName(QStringLiteral("IterationsEdit"));
    IterationsEdit->setRange(1, kMaxIterations);
    IterationsEdit->setValue(choice.maxIterations);
    RobustBox = new QCheckBox(tr("Устойчивая (робастная) инверсия: выбросы весят меньше"), this);
    RobustBox->setObjectName(QStringLiteral("RobustBox"));
    RobustBox->setChecked(choice.robust);
    RatioEdit = new TDecimalSpinBox(this);
    RatioEdit->setObjectName(QStringLiteral("RatioEdit"));
    RatioEdit->setDecimals(2);
    RatioEdit->setRange(kMinRatio, kMaxRatio);
    RatioEdit->setValue(choice.verticalRatio);
    UseFlaggedBox = new QCheckBox(tr("Брать значения, отмеченные проверкой данных"), this);
    UseFlaggedBox->setObjectName(QStringLiteral("UseFlaggedBox"));
    UseFlaggedBox->setChecked(choice.useFlagged);

    auto* form = new QFormLayout;
    form->addRow(tr("Профиль:"), ProfileBox);
    form->addRow(tr("Сглаживание λ (начальное):"), LambdaEdit);
    form->addRow(tr("Итераций не больше:"), IterationsEdit);
    form->addRow(tr("Вертикальное / горизонтальное сглаживание:"), RatioEdit);
    form->addRow(RobustBox);
    form->addRow(UseFlaggedBox);
    auto* note = new QLabel(tr("Исключённые значения в инверсию не входят. Результат — гладкая модель, одна из многих, "
                               "согласных с данными: смотрите покрытие и расхождение."),
                            this);
    note->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

InversionChoice TInversionDialog::choice() const
{
    InversionChoice c;
    const int i = ProfileBox->currentIndex();
    if (i >= 0 && i < int(m_profiles.size()))
        c.profile = m_profiles[std::size_t(i)];
    c.lambda = LambdaEdit->value();
    c.maxIterations = IterationsEdit->value();
    c.robust = RobustBox->isChecked();
    c.verticalRatio = RatioEdit->value();
    c.useFlagged = UseFlaggedBox->isChecked();
    return c;
}
