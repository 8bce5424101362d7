#pragma once

#include <QDoubleSpinBox>

// A number field that takes a comma and a full stop alike as the decimal
// sign, whatever the interface's language: "2,5" and "2.5" are both two and a
// half metres. Neither is ever a group separator, which would silently make
// "2,5" twenty-five. It writes its number as the program's language does,
// whatever the system's locale, and follows a change of language.
class TDecimalSpinBox : public QDoubleSpinBox {
    Q_OBJECT
public:
    explicit TDecimalSpinBox(QWidget* parent = nullptr);

    QValidator::State validate(QString& text, int& pos) const override;
    double valueFromText(const QString& text) const override;
    void fixup(QString& text) const override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void followLanguage();
    // The text with either sign as the locale's decimal sign.
    QString withLocaleDecimalSign(QString text) const;
};
