#include "SurveyDialog.h"

#include "DecimalSpinBox.h"
#include "Screens.h"

#include "data/DataFile.h"
#include "data/ZelError.h"
#include "texts/Texts.h"

#include <qcustomplot.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

TSurveyDialog::TSurveyDialog(const zel::SurveyGeometry& geometry, QWidget* parent, const QString& problem)
    : TSurveyDialog(SurveyDialogInput{geometry, problem, {}, {}, {}}, parent)
{
}

TSurveyDialog::TSurveyDialog(const SurveyDialogInput& input, QWidget* parent)
    : QDialog(parent), m_lines(input.geometry.lines), m_profiles(input.profiles),
      m_askTopographyFile(input.askTopographyFile)
{
    const zel::SurveyGeometry& geometry = input.geometry;
    const QString& problem = input.problem;
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

    // The default geometry, one profile's own, and the data check's thresholds.
    auto* defaults = new QGroupBox(tr("По умолчанию (все профили)"), this);
    auto* defaultForm = new QFormLayout(defaults);
    auto* form = new QFormLayout;
    auto row = [&](const QString& label, QWidget* field, QFormLayout* into) {
        into->addRow(label, field);
        if (auto* number = qobject_cast<QDoubleSpinBox*>(field))
            m_fields.append({number, label});
    };
    row(tr("Шаг электродов:"), SpacingEdit, defaultForm);
    row(tr("Положение электрода 0 (x0):"), OffsetEdit, defaultForm);
    row(tr("Каналы:"), ChannelsBox, defaultForm);

    // One profile's own geometry.
    ProfileBox = new QComboBox(this);
    ProfileBox->setObjectName(QStringLiteral("ProfileBox"));
    for (const zel::Profile& p : m_profiles)
        ProfileBox->addItem(tr("L%1 F%2 (линия %1, файл %2)").arg(p.line).arg(p.file));
    OwnGeometryBox = new QCheckBox(tr("Своя геометрия (иначе — как по умолчанию)"), this);
    OwnGeometryBox->setObjectName(QStringLiteral("OwnGeometryBox"));
    auto lineNumber = [this](const char* name, double low, double high) {
        auto* edit = new TDecimalSpinBox(this);
        edit->setObjectName(QLatin1String(name));
        edit->setDecimals(3);
        edit->setRange(low, high);
        edit->setSuffix(tr(" м"));
        return edit;
    };
    LineSpacingEdit = lineNumber("LineSpacingEdit", zel::kMinSpacing, zel::kMaxSpacing);
    LineOffsetEdit = lineNumber("LineOffsetEdit", -zel::kMaxOffset, zel::kMaxOffset);
    LineYEdit = lineNumber("LineYEdit", -zel::kMaxOffset, zel::kMaxOffset);
    LineYEdit->setToolTip(tr("Где линия лежит поперёк площади: параллельные линии — каждая на своём Y"));
    ReversedBox = new QCheckBox(tr("Обратное направление: электрод 0 в дальнем конце, x = x0 − n · шаг"), this);
    ReversedBox->setObjectName(QStringLiteral("ReversedBox"));
    SteepLabel = new QLabel(this);
    SteepLabel->setObjectName(QStringLiteral("SteepLabel"));
    SteepLabel->setWordWrap(true);
    SteepLabel->setStyleSheet(QStringLiteral("color: #b05000"));
    SteepLabel->hide();
    TopographyLabel = new QLabel(this);
    TopographyLabel->setObjectName(QStringLiteral("TopographyLabel"));
    TopographyLabel->setWordWrap(true);
    TopographyButton = new QPushButton(tr("Файл рельефа..."), this);
    TopographyButton->setObjectName(QStringLiteral("TopographyButton"));
    NoTopographyButton = new QPushButton(tr("Без рельефа"), this);
    NoTopographyButton->setObjectName(QStringLiteral("NoTopographyButton"));
    SlopeBox = new QCheckBox(tr("Шаг измерен вдоль склона (лентой по земле): x по горизонтали — из высот"), this);
    SlopeBox->setObjectName(QStringLiteral("SlopeBox"));
    TopographyPlot = new QCustomPlot(this);
    TopographyPlot->setObjectName(QStringLiteral("TopographyPlot"));
    TopographyPlot->setMinimumHeight(110);
    TopographyPlot->xAxis->setLabel(tr("x или электрод"));
    TopographyPlot->yAxis->setLabel(tr("z, м"));
    auto* lineForm = new QFormLayout;
    lineForm->addRow(tr("Профиль:"), ProfileBox);
    lineForm->addRow(OwnGeometryBox);
    row(tr("Шаг электродов профиля:"), LineSpacingEdit, lineForm);
    row(tr("x0 профиля:"), LineOffsetEdit, lineForm);
    row(tr("Y профиля (поперёк площади):"), LineYEdit, lineForm);
    lineForm->addRow(ReversedBox);
    auto* topographyButtons = new QHBoxLayout;
    topographyButtons->addWidget(TopographyLabel, 1);
    topographyButtons->addWidget(TopographyButton);
    topographyButtons->addWidget(NoTopographyButton);
    lineForm->addRow(tr("Рельеф:"), topographyButtons);
    lineForm->addRow(SteepLabel);
    lineForm->addRow(SlopeBox);
    lineForm->addRow(TopographyPlot);
    auto* lineGroup = new QGroupBox(tr("Геометрия профиля"), this);
    lineGroup->setObjectName(QStringLiteral("LineGroup"));
    lineGroup->setLayout(lineForm);
    lineGroup->setVisible(!m_profiles.empty());
    connect(ProfileBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        keepProfile();
        showProfile(index);
    });
    connect(OwnGeometryBox, &QCheckBox::toggled, this, [this](bool own) {
        for (QWidget* w : {static_cast<QWidget*>(LineSpacingEdit), static_cast<QWidget*>(LineOffsetEdit),
                           static_cast<QWidget*>(ReversedBox)})
            w->setEnabled(own);
        if (!own) {
            LineSpacingEdit->setValue(SpacingEdit->value());
            LineOffsetEdit->setValue(OffsetEdit->value());
            ReversedBox->setChecked(false);
        }
    });
    // The preview follows the profile's spacing, x0 and direction as they are typed.
    for (QDoubleSpinBox* edit : {LineSpacingEdit, LineOffsetEdit})
        connect(edit, &QDoubleSpinBox::valueChanged, this, &TSurveyDialog::showTopography);
    connect(ReversedBox, &QCheckBox::toggled, this, &TSurveyDialog::showTopography);
    connect(TopographyButton, &QPushButton::clicked, this, [this] {
        if (m_askTopographyFile)
            if (const QString path = m_askTopographyFile(); !path.isEmpty())
                setTopographyFile(path);
    });
    connect(NoTopographyButton, &QPushButton::clicked, this, [this] {
        if (m_shown < 0)
            return;
        zel::LineGeometry& line = m_lines[m_profiles[std::size_t(m_shown)]];
        line.topography = {};
        line.topographyFile.clear();
        showTopography();
    });

    row(tr("Слабый сигнал, |U| меньше:"), MinVoltageEdit, form);
    row(tr("Выброс, отношение к соседям больше:"), SpikeFactorEdit, form);
    row(tr("Погрешность, больше:"), MaxErrorEdit, form);
    row(tr("Погрешность без оценки (.ohm):"), DefaultErrorEdit, form);
    row(tr("Наименьшая погрешность (.ohm):"), MinErrorEdit, form);

    auto* note = new QLabel(tr("Положение электрода с номером n: x = x0 + n · шаг; отрицательные номера A и B лежат "
                               "левее нуля. Геометрия каналов — допущение о подключении станции: сверьте её с "
                               "документацией станции. Своя геометрия профиля хранится рядом с файлом данных "
                               "(«файл.zel.survey»)."),
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

    // Everything but OK and Cancel scrolls: with a topography's preview the
    // dialog is taller than a laptop's screen leaves, and its buttons stay in view.
    auto* body = new QWidget(this);
    auto* bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    bodyLayout->addWidget(ProblemLabel);
    bodyLayout->addWidget(defaults);
    bodyLayout->addWidget(lineGroup);
    bodyLayout->addLayout(form);
    bodyLayout->addWidget(note);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("Scroll"));
    m_scroll->setWidget(body);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_scroll, 1);
    layout->addWidget(buttons);

    if (!m_profiles.empty()) {
        const auto current = input.current ? std::find(m_profiles.begin(), m_profiles.end(), *input.current)
                                           : m_profiles.end();
        const int first = current == m_profiles.end() ? 0 : int(current - m_profiles.begin());
        ProfileBox->setCurrentIndex(first);
        showProfile(first);
    }
    fitContents();
}

void TSurveyDialog::fitContents()
{
    // As tall as the contents want, as far as the screen allows; the rest
    // scrolls. Never narrower than the contents: nothing is cut at the right.
    const QWidget* body = m_scroll->widget();
    m_scroll->setMinimumWidth(body->minimumSizeHint().width() + m_scroll->verticalScrollBar()->sizeHint().width());
    const QSize wanted(std::max(body->sizeHint().width() + m_scroll->verticalScrollBar()->sizeHint().width(), width()),
                       body->sizeHint().height() + layout()->contentsMargins().top() + layout()->contentsMargins().bottom()
                           + layout()->spacing() + 40);
    fitToScreen(*this, wanted);
}

void TSurveyDialog::showProfile(int index)
{
    m_shown = index >= 0 && index < int(m_profiles.size()) ? index : -1;
    if (m_shown < 0)
        return;
    const auto found = m_lines.find(m_profiles[std::size_t(m_shown)]);
    const zel::LineGeometry line = found == m_lines.end() ? zel::LineGeometry{} : found->second;
    const bool own = line.spacing || line.x0 || line.reversed;
    OwnGeometryBox->setChecked(own);
    emit OwnGeometryBox->toggled(own);
    LineSpacingEdit->setValue(line.spacing.value_or(SpacingEdit->value()));
    LineOffsetEdit->setValue(line.x0.value_or(OffsetEdit->value()));
    ReversedBox->setChecked(line.reversed.value_or(false));
    LineYEdit->setValue(line.y.value_or(0));
    SlopeBox->setChecked(line.slopeDistances.value_or(false));
    showTopography();
}

std::map<zel::Profile, zel::LineGeometry> TSurveyDialog::linesShown() const
{
    std::map<zel::Profile, zel::LineGeometry> lines = m_lines;
    if (m_shown < 0)
        return lines;
    zel::LineGeometry& line = lines[m_profiles[std::size_t(m_shown)]];
    if (OwnGeometryBox->isChecked()) {
        line.spacing = LineSpacingEdit->value();
        line.x0 = LineOffsetEdit->value();
        line.reversed = ReversedBox->isChecked();
    } else {
        line.spacing.reset();
        line.x0.reset();
        line.reversed.reset();
    }
    // Y = 0 is the survey's own line: a parallel line gets a Y of its own.
    if (LineYEdit->value() != 0)
        line.y = LineYEdit->value();
    else
        line.y.reset();
    if (SlopeBox->isChecked() && !line.topography.empty())
        line.slopeDistances = true;
    else
        line.slopeDistances.reset();
    return lines;
}

void TSurveyDialog::keepProfile()
{
    m_lines = linesShown();
}

void TSurveyDialog::showTopography()
{
    TopographyPlot->clearGraphs();
    const auto found = m_shown < 0 ? m_lines.end() : m_lines.find(m_profiles[std::size_t(m_shown)]);
    const bool has = found != m_lines.end() && !found->second.topography.empty();
    NoTopographyButton->setEnabled(has);
    SlopeBox->setEnabled(has);
    TopographyPlot->setVisible(has);
    if (!has) {
        TopographyLabel->setText(tr("нет (ровная линия)"));
        SteepLabel->hide();
        return;
    }
    const zel::Topography& t = found->second.topography;
    TopographyLabel->setText(tr("%1: %n точек, %2", nullptr, int(t.points.size())).arg(found->second.topographyFile)
                                 .arg(t.byElectrode ? tr("по номерам электродов") : tr("по x, м")));
    // A step steeper than any line is laid on: most likely a wrong height, named.
    const auto step = zel::steepestStep(t, LineSpacingEdit->value());
    if (step) {
        const QLocale n = zel::texts::numberLocale();
        const QString between = t.byElectrode ? tr("между электродами %1 и %2").arg(n.toString(step->from), n.toString(step->to))
                                              : tr("между x = %1 и %2 м").arg(n.toString(step->from), n.toString(step->to));
        SteepLabel->setText(tr("Рельеф круче 45°: %1 перепад %2 м на %3 м. Проверьте высоты в файле рельефа.")
                                .arg(between, n.toString(step->rise, 'g', 4), n.toString(step->run, 'g', 4)));
    }
    SteepLabel->setVisible(step.has_value());
    // Along the line in metres: a topography by electrode numbers is placed
    // by the profile's spacing and x0 as the dialog shows them.
    QCPGraph* graph = TopographyPlot->addGraph();
    graph->setPen(QPen(QColor(110, 80, 40), 2));
    graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, 4));
    const double spacing = LineSpacingEdit->value(), x0 = LineOffsetEdit->value();
    const double direction = ReversedBox->isChecked() ? -1 : 1;
    for (const auto& [x, z] : t.points)
        graph->addData(t.byElectrode ? x0 + direction * x * spacing : x, z);
    TopographyPlot->setLocale(zel::texts::numberLocale());
    TopographyPlot->xAxis->setLabel(tr("x, м"));
    TopographyPlot->xAxis->ticker()->setTickCount(6);
    TopographyPlot->yAxis->ticker()->setTickCount(3);
    TopographyPlot->rescaleAxes();
    TopographyPlot->replot();
    if (isVisible())
        fitContents();
}

bool TSurveyDialog::setTopographyFile(const QString& path)
{
    if (m_shown < 0)
        return false;
    try {
        const zel::Topography t = zel::parseTopography(zel::readWholeFile(path), QDir::toNativeSeparators(path));
        zel::LineGeometry& line = m_lines[m_profiles[std::size_t(m_shown)]];
        line.topography = t;
        line.topographyFile = QFileInfo(path).fileName();
        ProblemLabel->hide();
    } catch (const zel::ZelError& e) {
        ProblemLabel->setText(zel::texts::errorText(e));
        ProblemLabel->show();
        return false;
    }
    showTopography();
    return true;
}

zel::SurveyGeometry TSurveyDialog::geometry() const
{
    zel::SurveyGeometry g;
    g.spacing = SpacingEdit->value();
    g.x0 = OffsetEdit->value();
    g.channels = zel::ChannelGeometry(ChannelsBox->currentData().toInt());
    g.thresholds = {MinVoltageEdit->value(), SpikeFactorEdit->value(), MaxErrorEdit->value(), DefaultErrorEdit->value(),
                    MinErrorEdit->value()};
    for (const auto& [profile, line] : linesShown())
        if (!line.empty())
            g.lines.emplace(profile, line);
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
