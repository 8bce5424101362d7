#include "app/InversionDialog.h"
#include "app/NumberLocale.h"
#include "app/SurveyDialog.h"
#include "texts/Texts.h"

#include "data/DataFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTemporaryDir>

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

// The dialogs write their numbers in the program's language whatever the
// system's locale: 1.000 m in English is one metre, not a thousand, on a
// Russian or German system; a decimal comma in Russian under LANG=C.
TEST(NumberFields, WrittenInTheProgramsLanguageOnAnySystem)
{
    using zel::texts::Language;
    followProgramLanguage();
    for (const QLocale& system : {QLocale::c(), QLocale(QLocale::Russian, QLocale::Russia), QLocale(QLocale::German, QLocale::Germany)}) {
        InterfaceLocale shown(system);
        for (const Language language : {Language::English, Language::Russian}) {
            zel::texts::useLanguage(language);
            const QString point = language == Language::English ? "." : ",";
            TSurveyDialog geometry(zel::SurveyGeometry{});
            TInversionDialog inversion(InversionChoice{}, {{1, 1}});
            geometry.show();
            inversion.show();
            QCoreApplication::processEvents();
            const std::string at = system.name().toStdString() + (language == Language::English ? " English" : " Russian");
            EXPECT_TRUE(geometry.SpacingEdit->text().startsWith("1" + point + "0")) << at << " " << geometry.SpacingEdit->text().toStdString();
            EXPECT_TRUE(inversion.LambdaEdit->text().startsWith("20" + point + "0")) << at << " " << inversion.LambdaEdit->text().toStdString();
        }
    }
    zel::texts::useLanguage(Language::Russian);
}

// A profile's own geometry in the dialog: kept while another profile is
// shown, given back only where the profile has something of its own; a
// topography file that cannot be read is said and changes nothing.
TEST(SurveyDialog, EachProfileKeepsItsOwnGeometry)
{
    QTemporaryDir dir;
    const QString good = dir.filePath("levels.txt"), bad = dir.filePath("bad.txt");
    zel::writeWholeFile(good, "electrode z\n0 10\n9 1\n");
    zel::writeWholeFile(bad, "0 10\nhill\n");
    SurveyDialogInput input;
    input.profiles = {{1, 1}, {2, 1}};
    input.current = zel::Profile{2, 1};
    input.geometry.spacing = 2;
    TSurveyDialog dialog(input);
    EXPECT_EQ(dialog.ProfileBox->currentIndex(), 1);
    EXPECT_FALSE(dialog.LineSpacingEdit->isEnabled());
    EXPECT_EQ(dialog.LineSpacingEdit->value(), 2);  // the default's, shown

    dialog.OwnGeometryBox->setChecked(true);
    dialog.LineSpacingEdit->setValue(5);
    dialog.ReversedBox->setChecked(true);
    EXPECT_FALSE(dialog.setTopographyFile(bad));
    EXPECT_TRUE(dialog.ProblemLabel->text().contains("bad.txt")) << dialog.ProblemLabel->text().toStdString();
    EXPECT_FALSE(dialog.SlopeBox->isEnabled());  // no ground to measure along yet
    EXPECT_TRUE(dialog.setTopographyFile(good));
    ASSERT_TRUE(dialog.SlopeBox->isEnabled());
    dialog.SlopeBox->setChecked(true);
    dialog.ProfileBox->setCurrentIndex(0);  // away and back
    EXPECT_FALSE(dialog.OwnGeometryBox->isChecked());
    dialog.ProfileBox->setCurrentIndex(1);
    EXPECT_EQ(dialog.LineSpacingEdit->value(), 5);

    const zel::SurveyGeometry g = dialog.geometry();
    ASSERT_EQ(g.lines.size(), 1u);
    const zel::LineGeometry& own = g.lines.at({2, 1});
    EXPECT_EQ(own.spacing, 5);
    EXPECT_EQ(own.x0, 0);
    EXPECT_EQ(own.reversed, true);
    EXPECT_EQ(own.topographyFile, "levels.txt");
    EXPECT_EQ(own.slopeDistances, true);
    EXPECT_EQ(g.of({2, 1}).elevation(9), 1);
    EXPECT_FALSE(dialog.SteepLabel->isVisibleTo(&dialog));  // 9 m over 45 m

    // A 225 m drop between two electrodes 10 m apart is named, whole in the
    // dialog, whose right edge is not cut.
    const QString cliff = dir.filePath("cliff.txt");
    zel::writeWholeFile(cliff, "electrode z\n0 250\n3 250\n4 25\n9 20\n");
    dialog.LineSpacingEdit->setValue(10);
    ASSERT_TRUE(dialog.setTopographyFile(cliff));
    dialog.show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(dialog.SteepLabel->isVisibleTo(&dialog));
    EXPECT_TRUE(dialog.SteepLabel->text().contains("электродами 3 и 4") && dialog.SteepLabel->text().contains("225 м на 10 м"))
        << dialog.SteepLabel->text().toStdString();
    const QWidget* body = dialog.findChild<QScrollArea*>("Scroll")->widget();
    EXPECT_GE(body->width(), body->minimumSizeHint().width());
    EXPECT_EQ(zel::steepestStep({false, {{0, 10}, {5, 14}, {6, 30}}}, 1)->rise, 16);  // by x, m

    dialog.OwnGeometryBox->setChecked(false);
    dialog.NoTopographyButton->click();
    EXPECT_TRUE(dialog.geometry().lines.empty());
}
