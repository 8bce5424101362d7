#include "InversionDialog.h"

#include "DecimalSpinBox.h"

#include "texts/Texts.h"

#include "section/Input.h"
#include "survey/Values.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

TInversionDialog::TInversionDialog(const InversionChoice& choice, const std::vector<zel::Profile>& profiles,
                                   QWidget* parent, const std::vector<int>& frequencies)
    : QDialog(parent), m_profiles(profiles)
{
    setObjectName(QStringLiteral("InversionDialog"));
    setWindowTitle(tr("Инверсия"));
    ProfileBox = new QComboBox(this);
    ProfileBox->setObjectName(QStringLiteral("ProfileBox"));
    for (const zel::Profile& p : profiles)
        ProfileBox->addItem(p.wholeLine() ? zel::profileName(p) : tr("L%1 F%2 (линия %1, файл %2)").arg(p.line).arg(p.file));
    const auto at = std::find(profiles.begin(), profiles.end(), choice.profile);
    ProfileBox->setCurrentIndex(at == profiles.end() ? 0 : int(at - profiles.begin()));

    LambdaEdit = new TDecimalSpinBox(this);
    LambdaEdit->setObjectName(QStringLiteral("LambdaEdit"));
    LambdaEdit->setDecimals(3);
    LambdaEdit->setRange(zel::kLambdaRange.low, zel::kLambdaRange.high);
    LambdaEdit->setValue(choice.lambda);
    IterationsEdit = new QSpinBox(this);
    IterationsEdit->setObjectName(QStringLiteral("IterationsEdit"));
    IterationsEdit->setRange(int(zel::kIterationsRange.low), int(zel::kIterationsRange.high));
    IterationsEdit->setValue(choice.maxIterations);
    RobustBox = new QCheckBox(tr("Устойчивая (робастная) инверсия: выбросы весят меньше"), this);
    RobustBox->setObjectName(QStringLiteral("RobustBox"));
    RobustBox->setChecked(choice.robust);
    RatioEdit = new TDecimalSpinBox(this);
    RatioEdit->setObjectName(QStringLiteral("RatioEdit"));
    RatioEdit->setDecimals(2);
    RatioEdit->setRange(zel::kVerticalRatioRange.low, zel::kVerticalRatioRange.high);
    RatioEdit->setValue(choice.verticalRatio);
    UseFlaggedBox = new QCheckBox(tr("Брать значения, отмеченные проверкой данных"), this);
    UseFlaggedBox->setObjectName(QStringLiteral("UseFlaggedBox"));
    UseFlaggedBox->setChecked(choice.useFlagged);

    DoiBox = new QCheckBox(tr("Глубинность исследования (индекс DOI): ещё две инверсии"), this);
    DoiBox->setObjectName(QStringLiteral("DoiBox"));
    DoiBox->setChecked(choice.doi);
    DoiThresholdEdit = new TDecimalSpinBox(this);
    DoiThresholdEdit->setObjectName(QStringLiteral("DoiThresholdEdit"));
    DoiThresholdEdit->setDecimals(2);
    DoiThresholdEdit->setSingleStep(0.05);
    DoiThresholdEdit->setRange(zel::kDoiThresholdRange.low, zel::kDoiThresholdRange.high);
    DoiThresholdEdit->setValue(choice.doiThreshold);
    DoiThresholdEdit->setEnabled(choice.doi);
    connect(DoiBox, &QCheckBox::toggled, DoiThresholdEdit, &QWidget::setEnabled);

    // A quadripole read at two frequencies is two readings: one frequency is
    // inverted, the lowest of the profile unless another is chosen.
    FrequencyBox = new QComboBox(this);
    FrequencyBox->setObjectName(QStringLiteral("FrequencyBox"));
    FrequencyBox->addItem(tr("наименьшая в профиле"));
    for (const int f : frequencies) {
        FrequencyBox->addItem(tr("%1 Гц").arg(zel::texts::numberLocale().toString(zel::frequencyHertz(f).value_or(0))), f);
        if (choice.frequency == f)
            FrequencyBox->setCurrentIndex(FrequencyBox->count() - 1);
    }

    IpBox = new QCheckBox(tr("Частотный эффект (ВП): заряжаемость по двум частотам"), this);
    IpBox->setToolTip(tr("Сопротивление на наименьшей частоте профиля, затем заряжаемость ячеек по частотному "
                         "эффекту против наибольшей"));
    IpBox->setObjectName(QStringLiteral("IpBox"));
    IpBox->setChecked(choice.ip);
    FrequencyBox->setEnabled(!choice.ip);
    connect(IpBox, &QCheckBox::toggled, FrequencyBox, [this](bool ip) { FrequencyBox->setEnabled(!ip); });

    auto* form = new QFormLayout;
    form->addRow(tr("Профиль:"), ProfileBox);
    if (frequencies.size() > 1) {
        form->addRow(tr("Частота:"), FrequencyBox);
        form->addRow(IpBox);
    } else {
        FrequencyBox->hide();
        IpBox->hide();
    }
    form->addRow(tr("Сглаживание λ (начальное):"), LambdaEdit);
    form->addRow(tr("Итераций не больше:"), IterationsEdit);
    form->addRow(tr("Вертикальное / горизонтальное сглаживание:"), RatioEdit);
    form->addRow(RobustBox);
    form->addRow(UseFlaggedBox);
    form->addRow(DoiBox);
    form->addRow(tr("Контур индекса DOI:"), DoiThresholdEdit);
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
    c.doi = DoiBox->isChecked();
    c.doiThreshold = DoiThresholdEdit->value();
    c.ip = IpBox->isVisibleTo(this) && IpBox->isChecked();
    if (FrequencyBox->isVisibleTo(this) && FrequencyBox->currentIndex() > 0 && !c.ip)
        c.frequency = FrequencyBox->currentData().toInt();
    return c;
}
