#include "SequenceDialog.h"

#include "Screens.h"

#include "texts/Texts.h"

#include "data/ZelError.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

constexpr int kPreviewLines = 12;

QSpinBox* spin(QWidget* parent, const char* name, int low, int high, int value)
{
    auto* s = new QSpinBox(parent);
    s->setObjectName(QLatin1String(name));
    s->setRange(low, high);
    s->setValue(value);
    return s;
}

} // namespace

QString arraySketch(zel::ArrayKind array, int n)
{
    const QString a = QStringLiteral("───");
    const QString na = a.repeated(std::clamp(n, 1, 4));
    switch (array) {
    case zel::ArrayKind::Wenner:
        return QStringLiteral("A") + a + QStringLiteral("M") + a + QStringLiteral("N") + a + QStringLiteral("B");
    case zel::ArrayKind::Schlumberger:
        return QStringLiteral("A") + na + QStringLiteral("M") + a + QStringLiteral("N") + na + QStringLiteral("B");
    case zel::ArrayKind::DipoleDipole:
        break;
    }
    return QStringLiteral("A") + a + QStringLiteral("B") + na + QStringLiteral("M") + a + QStringLiteral("N");
}

TSequenceDialog::TSequenceDialog(Action save, Action upload, QWidget* parent)
    : QDialog(parent)
    , m_save(std::move(save))
    , m_upload(std::move(upload))
{
    setObjectName(QStringLiteral("SequenceDialog"));
    setWindowTitle(zel::texts::sequenceTitle());
    ArrayBox = new QComboBox(this);
    ArrayBox->setObjectName(QStringLiteral("ArrayBox"));
    ArrayBox->addItem(tr("Веннер"), int(zel::ArrayKind::Wenner));
    ArrayBox->addItem(tr("Веннер–Шлюмберже"), int(zel::ArrayKind::Schlumberger));
    ArrayBox->addItem(tr("Диполь-диполь"), int(zel::ArrayKind::DipoleDipole));
    ArrayBox->setCurrentIndex(2);
    ElectrodesEdit = spin(this, "ElectrodesEdit", 4, 383, 32);
    // The first number and the multiples within the station's electrode numbers.
    FirstEdit = spin(this, "FirstEdit", zel::kFirstCurrentElectrode, zel::kLastPotentialElectrode, 1);
    AMinEdit = spin(this, "AMinEdit", 1, zel::kLastPotentialElectrode, 1);
    AMaxEdit = spin(this, "AMaxEdit", 1, zel::kLastPotentialElectrode, 1);
    NMaxEdit = spin(this, "NMaxEdit", 1, zel::kLastPotentialElectrode, 6);
    ChannelsBox = new QComboBox(this);
    ChannelsBox->setObjectName(QStringLiteral("ChannelsBox"));
    ChannelsBox->addItem(QStringLiteral("1"), 1);
    ChannelsBox->addItem(QStringLiteral("4"), 4);

    auto* form = new QFormLayout;
    form->addRow(zel::texts::sequenceField(0), ArrayBox);
    form->addRow(zel::texts::sequenceField(1), ElectrodesEdit);
    form->addRow(zel::texts::sequenceField(2), FirstEdit);
    form->addRow(QStringLiteral("a-min:"), AMinEdit);
    form->addRow(QStringLiteral("a-max:"), AMaxEdit);
    form->addRow(QStringLiteral("n-max:"), NMaxEdit);
    form->addRow(zel::texts::sequenceField(3), ChannelsBox);
    ReciprocalsBox = new QCheckBox(tr("Взаимные измерения (M, N, A, B) после таблицы"), this);
    ReciprocalsBox->setObjectName(QStringLiteral("ReciprocalsBox"));
    form->addRow(QString(), ReciprocalsBox);

    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    SketchLabel = new QLabel(this);
    SketchLabel->setObjectName(QStringLiteral("SketchLabel"));
    SketchLabel->setFont(fixed);
    CountLabel = new QLabel(this);
    CountLabel->setObjectName(QStringLiteral("CountLabel"));
    CountLabel->setWordWrap(true);
    Preview = new QPlainTextEdit(this);
    Preview->setObjectName(QStringLiteral("Preview"));
    Preview->setReadOnly(true);
    Preview->setFont(fixed);

    SaveButton = new QPushButton(tr("Сохранить..."), this);
    UploadButton = new QPushButton(tr("Записать в станцию..."), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(SaveButton, QDialogButtonBox::ActionRole);
    buttons->addButton(UploadButton, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    ResultLabel = new QLabel(this);
    ResultLabel->setObjectName(QStringLiteral("ResultLabel"));
    ResultLabel->setWordWrap(true);
    StopButton = new QPushButton(zel::texts::stopCommand(), this);
    StopButton->setObjectName(QStringLiteral("StopButton"));
    StopButton->hide();
    buttons->addButton(StopButton, QDialogButtonBox::ActionRole);
    connect(StopButton, &QPushButton::clicked, this, [this] {
        if (m_uploading && m_stop)
            m_stop();
    });
    connect(SaveButton, &QPushButton::clicked, this, [this] {
        if (m_entries && m_save)
            ResultLabel->setText(m_save(*m_entries, tableName()));
    });
    // An upload runs while the generator stays open: the last attempt's
    // result goes at once, Stop is offered, the table cannot change meanwhile.
    connect(UploadButton, &QPushButton::clicked, this, [this] {
        if (!m_entries || !m_upload)
            return;
        const std::vector<zel::TableEntry> entries = *m_entries;
        ResultLabel->clear();
        m_uploading = true;
        StopButton->show();
        for (QWidget* w : {static_cast<QWidget*>(SaveButton), static_cast<QWidget*>(UploadButton)})
            w->setEnabled(false);
        const QString result = m_upload(entries, tableName());
        m_uploading = false;
        StopButton->hide();
        SaveButton->setEnabled(m_entries.has_value());
        UploadButton->setEnabled(m_entries.has_value());
        ResultLabel->setText(result);
    });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(SketchLabel);
    layout->addWidget(CountLabel);
    layout->addWidget(Preview, 1);
    layout->addWidget(ResultLabel);
    layout->addWidget(buttons);

    // Every keystroke counts: a number typed out of a field's range leaves
    // its value unchanged, and must not leave the old table on offer.
    for (QSpinBox* s : {ElectrodesEdit, FirstEdit, AMinEdit, AMaxEdit, NMaxEdit}) {
        connect(s, &QSpinBox::valueChanged, this, &TSequenceDialog::update);
        connect(s->findChild<QLineEdit*>(), &QLineEdit::textChanged, this, &TSequenceDialog::update);
    }
    connect(ArrayBox, &QComboBox::currentIndexChanged, this, &TSequenceDialog::update);
    connect(ChannelsBox, &QComboBox::currentIndexChanged, this, &TSequenceDialog::update);
    connect(ReciprocalsBox, &QCheckBox::toggled, this, &TSequenceDialog::update);
    fitToScreen(*this, QSize(520, 560));
    update();
}

zel::SequenceOptions TSequenceDialog::options() const
{
    return {zel::ArrayKind(ArrayBox->currentData().toInt()),
            ElectrodesEdit->value(),
            FirstEdit->value(),
            AMinEdit->value(),
            AMaxEdit->value(),
            NMaxEdit->value(),
            ChannelsBox->currentData().toInt(),
            ReciprocalsBox->isChecked()};
}

void TSequenceDialog::setOptions(const zel::SequenceOptions& o)
{
    ArrayBox->setCurrentIndex(ArrayBox->findData(int(o.array)));
    ElectrodesEdit->setValue(o.electrodes);
    FirstEdit->setValue(o.first);
    AMinEdit->setValue(o.aMin);
    AMaxEdit->setValue(o.aMax);
    NMaxEdit->setValue(o.nMax);
    ChannelsBox->setCurrentIndex(ChannelsBox->findData(o.channels));
    ReciprocalsBox->setChecked(o.reciprocals);
    update();
}

void TSequenceDialog::reject()
{
    // Escape stops an upload first; the generator closes on the next one.
    if (m_uploading) {
        if (m_stop)
            m_stop();
        return;
    }
    QDialog::reject();
}

QString TSequenceDialog::tableName() const
{
    static const char* const prefixes[] = {"WE", "WS", "DD"};
    return QStringLiteral("%1%2.txt").arg(QLatin1String(prefixes[ArrayBox->currentIndex()])).arg(ElectrodesEdit->value());
}

void TSequenceDialog::update()
{
    const zel::SequenceOptions o = options();
    NMaxEdit->setEnabled(o.array != zel::ArrayKind::Wenner);
    SketchLabel->setText(arraySketch(o.array, o.array == zel::ArrayKind::Wenner ? 1 : std::min(o.nMax, 2)));
    ResultLabel->clear();
    m_entries.reset();
    QString refused;
    const std::pair<QSpinBox*, QString> fields[] = {
        {ElectrodesEdit, zel::texts::sequenceField(1)}, {FirstEdit, zel::texts::sequenceField(2)},
        {AMinEdit, QStringLiteral("a-min:")}, {AMaxEdit, QStringLiteral("a-max:")}, {NMaxEdit, QStringLiteral("n-max:")}};
    for (const auto& [edit, field] : fields)
        if (refused.isEmpty() && edit->isEnabled() && !edit->hasAcceptableInput())
            refused = zel::texts::sequenceValueNeeded(field, edit->minimum(), edit->maximum());
    if (refused.isEmpty()) {
        try {
            m_entries = zel::electrodeSequence(o);
        } catch (const zel::ZelError& e) {
            refused = zel::withFullStop(zel::texts::errorText(e));
        }
    }
    if (m_entries) {
        CountLabel->setText(zel::texts::sequenceCount(qsizetype(m_entries->size())));
        const std::vector<zel::TableEntry> first(m_entries->begin(),
                                                 m_entries->begin() + std::min<qsizetype>(kPreviewLines, m_entries->size()));
        Preview->setPlainText(QString::fromLatin1(zel::electrodeTableText(first)).remove(QLatin1Char('\r')));
    } else {
        CountLabel->setText(refused);
        Preview->clear();
    }
    SaveButton->setEnabled(m_entries.has_value() && !m_uploading);
    UploadButton->setEnabled(m_entries.has_value() && !m_uploading);
}
