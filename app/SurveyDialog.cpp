#include "SurveyDialog.h"

#include "DecimalSpinBox.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

TSurveyDialog::TSurveyDialog(const zel::SurveyGeometry& geometry, QWidget* parent, const QString& problem)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("SurveyDialog"));
    setWindowTitle(tr("Геометрия съёмки"));

    SpacingEdit = new TDecimalSpinBox(this);
    SpacingEdit->setObjectName(QStringLiteral("SpacingEdit"));
    SpacingEdit->setDecimals(3);
    SpacingEdit->setRange(zel::kMinSpacing, zel::kMaxSpacing);
    SpacingEdit->setSuffix(tr(" м"));
    SpacingEdit->setValue(geometry.spacing);

    OffsetEdit = new TDecimalSpinBox(this);
    OffsetEdit->setObjectName(QStringLiteral("OffsetEdit"));
    OffsetEdit->setDecimals(3);
    OffsetEdit->setRange(-zel::kMaxOffset, zel::kMaxOffset);
    OffsetEdit->setSuffix(tr(" м"));
    OffsetEdit->setValue(geometry.x0);

    ChannelsBox = new QComboBox(this);
    ChannelsBox->setObjectName(QStringLiteral("ChannelsBox"));
    ChannelsBox->addItem(tr("четыре диполя подряд: канал k между M + (k−1)·d и N + (k−1)·d, d = N − M"),
                         int(zel::ChannelGeometry::Consecutive));
    ChannelsBox->addItem(tr("только первый канал: у каналов 2–4 положений нет"), int(zel::ChannelGeometry::FirstOnly));
    ChannelsBox->setCurrentIndex(geometry.channels == zel::ChannelGeometry::FirstOnly ? 1 : 0);

    auto threshold = [this](const char* name, double value, int decimals, const QString& suffix) {
        auto* edit = new TDecimalSpinBox(this);
        edit->setObjectName(QLatin1String(name));
        edit->setDecimals(decimals);
        edit->setRange(std::max(zel::kMinThreshold, std::pow(10.0, -decimals)), zel::kMaxThreshold);
        edit->setSuffix(suffix);
        edit->setValue(value);
        return edit;
    };
    const zel::CheckThresholds& t = geometry.thresholds;
    MinVoltageEdit = threshold("MinVoltageEdit", t.minVoltage, 3, tr(" мВ"));
    SpikeFactorEdit = threshold("SpikeFactorEdit", t.spikeFactor, 2, QString());
    SpikeFactorEdit->setMinimum(zel::kMinSpikeFactor);
    MaxErrorEdit = threshold("MaxErrorEdit", t.maxError, 2, QStringLiteral(" %"));
    DefaultErrorEdit = threshold("DefaultErrorEdit", t.defaultError, 2, QStringLiteral(" %"));
    MinErrorEdit = threshold("MinErrorEdit", t.minError, 2, QStringLiteral(" %"));

    auto* form = new QFormLayout;
    auto row = [&](const QString& label, QWidget* field) {
        form->addRow(label, field);
        if (auto* number = qobject_cast<QDoubleSpinBox*>(field))
            m_fields.append({number, label});
    };
    row(tr("Шаг электродов:"), SpacingEdit);
    row(tr("Положение электрода 0 (x0):"), OffsetEdit);
    row(tr("Каналы:"), ChannelsBox);
    row(tr("Слабый сигнал, |U| меньше:"), MinVoltageEdit);
    row(tr("Выброс, отношение к соседям больше:"), SpikeFactorEdit);
    row(tr("Погрешность, больше:"), MaxErrorEdit);
    row(tr("Погрешность без оценки (.ohm):"), DefaultErrorEdit);
    row(tr("Наименьшая погрешность (.ohm):"), MinErrorEdit);

    auto* note = new QLabel(tr("Положение электрода с номером n: x = x0 + n · шаг; отрицательные номера A и B лежат "
                               "левее нуля. Геометрия каналов — допущение о подключении станции: сверьте её с "
                               "документацией станции."),
                            this);
    note->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    ProblemLabel = new QLabel(problem, this);
    ProblemLabel->setObjectName(QStringLiteral("ProblemLabel"));
    ProblemLabel->setWordWrap(true);
    ProblemLabel->setStyleSheet(QStringLiteral("color: #b00000"));
    ProblemLabel->setVisible(!problem.isEmpty());

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ProblemLabel);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

zel::SurveyGeometry TSurveyDialog::geometry() const
{
    zel::SurveyGeometry g;
    g.spacing = SpacingEdit->value();
    g.x0 = OffsetEdit->value();
    g.channels = zel::ChannelGeometry(ChannelsBox->currentData().toInt());
    g.thresholds = {MinVoltageEdit->value(), SpikeFactorEdit->value(), MaxErrorEdit->value(), DefaultErrorEdit->value(),
                    MinErrorEdit->value()};
    return g;
}

void TSurveyDialog::accept()
{
    for (const auto& [edit, label] : m_fields) {
        if (!edit->hasAcceptableInput()) {
            ProblemLabel->setText(tr("%1 нужно число от %2 до %3.")
                                      .arg(label)
                                      .arg(edit->minimum())
                                      .arg(edit->maximum()));
            ProblemLabel->show();
            edit->setFocus();
            return;
        }
    }
    QDialog::accept();
}
