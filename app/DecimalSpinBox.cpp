#include "DecimalSpinBox.h"

#include "texts/Texts.h"

#include <QEvent>

TDecimalSpinBox::TDecimalSpinBox(QWidget* parent)
    : QDoubleSpinBox(parent)
{
    followLanguage();
}

void TDecimalSpinBox::followLanguage()
{
    QLocale numbers = zel::texts::numberLocale();
    numbers.setNumberOptions(numbers.numberOptions() | QLocale::RejectGroupSeparator | QLocale::OmitGroupSeparator);
    if (locale() != numbers)
        setLocale(numbers);
}

void TDecimalSpinBox::changeEvent(QEvent* event)
{
    // The change of language arrives once every translator is in.
    if (event->type() == QEvent::LanguageChange)
        followLanguage();
    QDoubleSpinBox::changeEvent(event);
}

QString TDecimalSpinBox::withLocaleDecimalSign(QString text) const
{
    const QString sign = locale().decimalPoint();
    text.replace(QLatin1Char(','), sign);
    text.replace(QLatin1Char('.'), sign);
    return text;
}

QValidator::State TDecimalSpinBox::validate(QString& text, int& pos) const
{
    // Two decimal signs are no number, whichever they are.
    QString asTyped = withLocaleDecimalSign(text);
    if (asTyped.count(locale().decimalPoint()) > 1)
        return QValidator::Invalid;
    return QDoubleSpinBox::validate(asTyped, pos);
}

double TDecimalSpinBox::valueFromText(const QString& text) const
{
    return QDoubleSpinBox::valueFromText(withLocaleDecimalSign(text));
}

void TDecimalSpinBox::fixup(QString& text) const
{
    text = withLocaleDecimalSign(text);
    QDoubleSpinBox::fixup(text);
}
