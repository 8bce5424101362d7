#include "app/SurveyDialog.h"

#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QLocale>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The interface's language for as long as it lives.
class InterfaceLocale {
public:
    explicit InterfaceLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~InterfaceLocale() { QLocale::setDefault(QLocale::c()); }
};

// What a field holds after the user selected all of it and typed `text`;
// NaN when the dialog refuses it.
double typed(QDoubleSpinBox* field, const char* text)
{
    auto* edit = field->findChild<QLineEdit*>();
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromUtf8(text));
    if (!field->hasAcceptableInput())
        return std::nan("");
    field->interpretText();
    return field->value();
}

} // namespace

// A comma and a full stop are both the decimal sign in every number field of
// the geometry dialog, under every language; neither is a group separator,
// which would make 2,5 m twenty-five.
TEST(NumberFields, CommaAndFullStopAreBothTheDecimalSign)
{
    struct Case {
        const char* text;
        double value;  // NaN: refused
    };
    const Case cases[] = {{"2,5", 2.5}, {"2.5", 2.5}, {"0,25", 0.25}, {"12", 12.0}, {"1.000", 1.0}};
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::Russian, QLocale::Russia),
                                  QLocale(QLocale::German, QLocale::Germany)}) {
        InterfaceLocale shown(locale);
        TSurveyDialog dialog(zel::SurveyGeometry{});
        for (QDoubleSpinBox* field : {dialog.SpacingEdit, dialog.OffsetEdit, dialog.MinErrorEdit}) {
            for (const Case& c : cases)
                EXPECT_DOUBLE_EQ(typed(field, c.text), c.value) << locale.name().toStdString() << " " << c.text;
            // A second decimal sign is refused as it is typed.
            EXPECT_DOUBLE_EQ(typed(field, "2,5.1"), 2.51) << locale.name().toStdString();
        }
        // A spike factor of 1 or less would flag every value.
        EXPECT_TRUE(std::isnan(typed(dialog.SpikeFactorEdit, "1")));
        EXPECT_DOUBLE_EQ(typed(dialog.SpikeFactorEdit, "1,5"), 1.5);
    }
}
