#include "TestDumps.h"

#include "data/DataFile.h"
#include "data/Settings.h"
#include "data/ZelError.h"
#include "sim/StationModel.h"
#include "section/Options.h"
#include "survey/Exports.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using zel::ChannelGeometry;
using zel::MeasurementRecord;
using zel::SurveyGeometry;

namespace {

constexpr double pi = std::numbers::pi;

std::array<double, 4> abmn(double a, double b, double m, double n) { return {a, b, m, n}; }

// 10 mA; 123.45 mV on channel 1, 10, 20 and 30 mV on the others.
MeasurementRecord withPositions(int a, int b, int m, int n, int line = 1, int file = 1)
{
    return zeltest::Record()
        .mode(10)
        .profile(line, file)
        .electrodes(a, b, m, n)
        .current(5)
        .u(1, 12345, 2)
        .u(2, 100, 1)
        .u(3, 200, 1)
        .u(4, 300, 1)
        .taken(2025, 12, 26, 12, 22, 1);
}

} // namespace

// The closed forms of the common arrays, with a = 2 m.
TEST(Survey, GeometricFactorsOfTheCommonArrays)
{
    const double a = 2;
    const struct {
        const char* name;
        std::array<double, 4> x;
        double k;
    } cases[] = {
        {"Wenner", abmn(0, 3 * a, a, 2 * a), 2 * pi * a},
        {"Schlumberger n=2", abmn(0, 5 * a, 2 * a, 3 * a), pi * 2 * 3 * a},
        {"Schlumberger n=4", abmn(0, 9 * a, 4 * a, 5 * a), pi * 4 * 5 * a},
        {"dipole-dipole n=1", abmn(0, a, 2 * a, 3 * a), -pi * 1 * 2 * 3 * a},
        {"dipole-dipole n=3", abmn(0, a, 4 * a, 5 * a), -pi * 3 * 4 * 5 * a},
        {"left of zero", abmn(-20, -20 + 3 * a, -20 + a, -20 + 2 * a), 2 * pi * a},
    };
    for (const auto& c : cases) {
        const auto k = zel::geometricFactor(c.x);
        ASSERT_TRUE(k) << c.name;
        EXPECT_NEAR(*k, c.k, 1e-9) << c.name;
    }
    EXPECT_FALSE(zel::geometricFactor(abmn(0, 3, 0, 2)));  // A on M
    EXPECT_FALSE(zel::geometricFactor(abmn(1, 1, 2, 3)));  // A on B: the sum is 0
    EXPECT_FALSE(zel::medianDepth(abmn(0, 3, 3, 2)));
}

// Edwards' median depths, from the sensitivity of each electrode pair.
TEST(Survey, MedianDepthOfInvestigation)
{
    const double a = 3;
    EXPECT_NEAR(*zel::medianDepth(abmn(0, 3 * a, a, 2 * a)), 0.519 * a, 0.002 * a);
    const double dipoleDipole[] = {0.416, 0.697, 0.962, 1.220, 1.476, 1.730};
    for (int n = 1; n <= 6; ++n)
        EXPECT_NEAR(*zel::medianDepth(abmn(0, a, (n + 1) * a, (n + 2) * a)), dipoleDipole[n - 1] * a, 0.002 * a) << n;
    const double schlumberger[] = {0.925, 1.318, 1.706, 2.093, 2.478};
    for (int n = 2; n <= 6; ++n)
        EXPECT_NEAR(*zel::medianDepth(abmn(0, (2 * n + 1) * a, n * a, (n + 1) * a)), schlumberger[n - 2] * a, 0.002 * a)
            << n;
}

// Voltage, current, resistance and the channels' electrodes of a record.
TEST(Survey, ValuesPerRecordAndChannel)
{
    MeasurementRecord r = withPositions(-5, -4, 1, 2);
    SurveyGeometry g{2.0, 10.0, ChannelGeometry::Consecutive};
    auto v = zel::surveyValues({r}, g);
    ASSERT_EQ(v.size(), 4u);
    EXPECT_DOUBLE_EQ(*v[0].u, 123.45);
    EXPECT_DOUBLE_EQ(*v[0].i, 10);
    EXPECT_DOUBLE_EQ(*v[0].r, 12.345);
    EXPECT_EQ(v[0].electrodes->number, (std::array<int, 4>{-5, -4, 1, 2}));
    EXPECT_EQ(v[0].electrodes->x, (std::array<double, 4>{0, 2, 12, 14}));
    EXPECT_EQ(v[3].electrodes->number, (std::array<int, 4>{-5, -4, 4, 5}));  // the fourth dipole along
    EXPECT_DOUBLE_EQ(*v[3].rhoa, *v[3].k * *v[3].r);

    g.channels = ChannelGeometry::FirstOnly;
    v = zel::surveyValues({r}, g);
    EXPECT_TRUE(v[0].electrodes && v[0].k);
    EXPECT_FALSE(v[1].electrodes || v[1].k || v[1].rhoa);
    EXPECT_TRUE(v[1].r);

    r.ValueKind = 3;  // "-": negated as the table shows it
    r.Range[2] = 7;   // out of range: no value
    r.Current = 17;   // no label: no current
    v = zel::surveyValues({r}, g);
    ASSERT_EQ(v.size(), 3u);
    EXPECT_DOUBLE_EQ(*v[0].u, -123.45);
    EXPECT_FALSE(v[0].i || v[0].r || v[0].rhoa);
    r.ValueKind = 1;
    EXPECT_TRUE(zel::surveyValues({r}, g).empty());
    r.ValueKind = 0;
    r.Mode = 15;  // Auto: the current field holds a time
    r.Current = 5;
    EXPECT_FALSE(zel::surveyValues({r}, g)[0].i);
}

TEST(Survey, PlainDecimalsNeverUseAnExponent)
{
    const struct {
        double value;
        const char* text;
    } cases[] = {{-10, "-10.0"}, {0.0000213, "0.0000213"}, {2e-05, "0.00002"}, {0, "0.0"},
                 {1234567.891, "1234567.9"}, {6.283185307179586, "6.283185"}, {-0.0000001, "-0.0000001"}};
    for (const auto& c : cases)
        EXPECT_EQ(zel::plainDecimal(c.value), c.text) << c.value;
    EXPECT_EQ(zel::plainDecimal(1000, 7, false), "1000");
}

// The settings file as people write it, in Notepad or by hand: any case of
// sections and keys, a comma in a number, quotes, Windows-1251, UTF-16 and
// UTF-8 with their byte order marks, CR LF, LF or CR line ends.
TEST(Survey, SettingsFileIsReadAsWindowsReadsItsIniFiles)
{
    const QByteArray cp1251Note("\xF1\xF2\xE0\xED\xF6\xE8\xFF");  // "станция"
    struct Case {
        QByteArray bytes;
        double spacing;
        QString note;
    };
    auto utf16 = [](const QString& text) {
        return QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    };
    const Case cases[] = {
        {"[Survey]\r\nSpacing=2,5\r\n", 2.5, {}},
        {"[survey]\nspacing = 2.5\n[PORTNOTES]\ncom5=станция\n", 2.5, "станция"},
        {"[SURVEY]\rSPACING=\"2,5\"\r[PortNotes]\rCOM5=" + cp1251Note + "\r", 2.5, "станция"},
        {"\xEF\xBB\xBF[Survey]\r\nSpacing=3\r\n", 3.0, {}},
        {utf16("[Survey]\r\nSpacing=3,25\r\n[PortNotes]\r\nCOM5=станция, у дороги\r\n"), 3.25, "станция, у дороги"},
        {"; comment\r\n[Survey]\r\nSpacing=4\r\nSpacing=5\r\n", 4.0, {}},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        zel::writeWholeFile(zel::settings::fileIn(dir.path()), c.bytes);
        const auto ini = zel::settings::openIn(dir.path());
        std::vector<zel::SurveySettingProblem> problems;
        EXPECT_EQ(zel::readSurveyGeometry(*ini, &problems).spacing, c.spacing) << c.bytes.toStdString();
        EXPECT_TRUE(problems.empty()) << c.bytes.toStdString();
        EXPECT_EQ(ini->value("PortNotes/COM5").toString(), c.note);
    }
    // What the program writes it reads back the same: backslashes, quotes, blanks.
    QTemporaryDir dir;
    const QString device = QStringLiteral("\\\\.\\COM12");
    {
        const auto ini = zel::settings::openIn(dir.path());
        ini->setValue("Ports/COM12", device);
        ini->setValue("PortNotes/COM12", " \"adapter\", left ");
        EXPECT_FALSE(zel::settings::notWritten(*ini));
    }
    const auto again = zel::settings::openIn(dir.path());
    EXPECT_EQ(again->value("Ports/COM12").toString(), device);
    EXPECT_EQ(again->value("PortNotes/COM12").toString(), " \"adapter\", left ");
    EXPECT_EQ(again->childKeys().size(), 0);
    again->beginGroup("Ports");
    EXPECT_EQ(again->childKeys(), QStringList({"COM12"}));
}

// The survey's defaults live in the user's settings: a folder's settings
// file hands its [Survey] and [Inversion] over once, and never again.
TEST(Survey, UserSettingsTakeTheSurveyOverFromAFolderOnce)
{
    QTemporaryDir a, b;
    zel::writeWholeFile(zel::settings::fileIn(a.path()), "[Path]\r\nCOM=2\r\n[Survey]\r\nSpacing=2\r\n[Inversion]\r\nLambda=30\r\n");
    zel::writeWholeFile(zel::settings::fileIn(b.path()), "[Survey]\r\nSpacing=5\r\n");
    const auto user = zel::settings::userSettings();
    EXPECT_FALSE(zel::settings::takeOverUserSections(*zel::settings::openIn(QDir::tempPath() + "/no-such-folder"), *user));
    EXPECT_TRUE(zel::settings::takeOverUserSections(*zel::settings::openIn(a.path()), *user));
    EXPECT_FALSE(zel::settings::takeOverUserSections(*zel::settings::openIn(b.path()), *user));
    EXPECT_FALSE(zel::settings::notWritten(*user));
    const auto again = zel::settings::userSettings();
    EXPECT_EQ(zel::readSurveyGeometry(*again).spacing, 2.0);
    EXPECT_EQ(again->value("Inversion/Lambda").toString(), "30");
    EXPECT_FALSE(again->contains("Path/COM"));  // the port stays the folder's
}

// Bad values fall back to the defaults and are named; a comma is a decimal point.
TEST(Survey, GeometrySettingFallsBackToTheDefaultsAndNamesBadValues)
{
    QTemporaryDir dir;
    QSettings ini(dir.filePath("Zel-Terravox.ini"), QSettings::IniFormat);
    std::vector<zel::SurveySettingProblem> problems;
    EXPECT_EQ(zel::readSurveyGeometry(ini, &problems), SurveyGeometry());
    EXPECT_TRUE(problems.empty());
    for (const char* bad : {"2m", "0", "-1", "nan", "inf", ""}) {
        ini.setValue("Survey/Spacing", bad);
        problems.clear();
        EXPECT_EQ(zel::readSurveyGeometry(ini, &problems), SurveyGeometry()) << bad;
        ASSERT_EQ(problems.size(), 1u) << bad;
        EXPECT_EQ(problems[0].key, "Spacing");
        EXPECT_EQ(problems[0].value, bad);
    }
    ini.setValue("Survey/Spacing", "1,5");
    ini.setValue("Survey/X0", "2e7");
    ini.setValue("Survey/Channels", "bogus");
    problems.clear();
    EXPECT_EQ(zel::readSurveyGeometry(ini, &problems).spacing, 1.5);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].key, "X0");
    EXPECT_EQ(problems[1].key, "Channels");
    EXPECT_FALSE(problems[1].range);
    const SurveyGeometry g{2.5, -10, ChannelGeometry::FirstOnly};
    zel::writeSurveyGeometry(ini, g);
    EXPECT_EQ(zel::readSurveyGeometry(ini), g);
}

// Arrays that measure nothing, and dipoles beyond the station's electrodes,
// give no k and never reach an inversion file; neither does U = 0.
TEST(Survey, DegenerateArraysHaveNoGeometricFactor)
{
    const struct {
        int a, b, m, n;
        bool k1, k4;  // a k on channel 1, on channel 4
    } cases[] = {
        {0, 3, 1, 1, false, false},  // M = N
        {2, 2, 5, 6, false, false},  // A = B
        {0, 10, 5, 5, false, false},
        {9, 10, 127, 0, true, false}, // channel dipoles at -127, -254, -381
        {0, 1, 120, 122, true, false}, // channel 4 at 126, 128
        {0, 1, 2, 3, true, true},
    };
    for (const auto& c : cases) {
        const MeasurementRecord r = withPositions(c.a, c.b, c.m, c.n);
        const auto v = zel::surveyValues({r}, SurveyGeometry{});
        ASSERT_EQ(v.size(), 4u);
        EXPECT_EQ(bool(v[0].k), c.k1) << c.a << c.b << c.m << c.n;
        EXPECT_EQ(bool(v[3].k), c.k4) << c.a << c.b << c.m << c.n;
        for (const auto& value : v) {
            EXPECT_EQ(bool(value.k), bool(value.rhoa) && bool(value.depth));
            if (value.electrodes) {
                for (const int e : {value.electrodes->number[2], value.electrodes->number[3]})
                    EXPECT_TRUE(e >= 0 && e <= 127);
            }
        }
    }
    MeasurementRecord zero = withPositions(0, 1, 2, 3);
    for (int ch = 0; ch < 4; ++ch) {
        zero.U[ch] = 0;
        zero.Range[ch] = 0;
    }
    const auto values = zel::surveyValues({zero, withPositions(1, 2, 2, 2)}, SurveyGeometry{});
    EXPECT_TRUE(zel::invertibleValues({zero, withPositions(1, 2, 2, 2)}, values, {1, 1}).empty());
    const QByteArray csv = zel::csvFile({zero, withPositions(1, 2, 2, 2)}, values);
    EXPECT_EQ(csv.count("\r\n"), 1 + 8);  // every value stays in the CSV
    EXPECT_FALSE(csv.contains("e+"));
}

// Positions are written exactly: far from 0, with a fine spacing.
TEST(Survey, PositionsAreWrittenWhole)
{
    const struct {
        double spacing, x0;
        int m;
        const char* row;  // the start of the .dat data line
    } cases[] = {
        {0.01, 1000000, 2, "4 1000000.0 0.0 1000000.01 0.0 1000000.02 0.0 1000000.03 0.0 "},
        {1, 512345.25, 2, "4 512345.25 0.0 512346.25 0.0 512347.25 0.0 512348.25 0.0 "},
        {0.1, 0, 2, "4 0.0 0.0 0.1 0.0 0.2 0.0 0.3 0.0 "},
        {0.001, -10000000, 2, "4 -10000000.0 0.0 -9999999.999 0.0 -9999999.998 0.0 -9999999.997 0.0 "},
    };
    for (const auto& c : cases) {
        const SurveyGeometry g{c.spacing, c.x0, ChannelGeometry::FirstOnly};
        const std::vector<MeasurementRecord> records = {withPositions(0, 1, c.m, c.m + 1)};
        const QByteArray dat = zel::res2dinvFile({1, 1}, zel::asData(zel::invertibleValues(records, zel::surveyValues(records, g), {1, 1})));
        EXPECT_TRUE(dat.contains(c.row)) << dat.toStdString();
        for (int e = -256; e < 256; e += 17)
            EXPECT_NEAR(g.position(e), c.x0 + e * c.spacing, 1e-6) << e;
    }
}

// Golden files of the three formats from a small memory of two profiles.
TEST(Survey, ExportsMatchTheirGoldenFiles)
{
    MeasurementRecord plain;
    plain.Station = 7;
    plain.Current = 2;
    plain.FreqIndex = 6;
    plain.U[0] = 5;
    plain.Range[0] = 0;
    for (int ch = 1; ch < 4; ++ch)
        plain.Range[ch] = 9;
    plain.Year = 2025;
    const std::vector<MeasurementRecord> records = {plain, withPositions(1, 2, 3, 4), withPositions(2, 3, 4, 5),
                                                    withPositions(1, 2, 3, 4, 2, 1)};
    QTemporaryDir dir;
    const SurveyGeometry g{2.0, 0.0, ChannelGeometry::Consecutive};
    const struct {
        zel::SurveyFormat format;
        const char* out;
        QStringList golden;
    } cases[] = {
        {zel::SurveyFormat::Csv, "s.csv", {"survey.csv"}},
        {zel::SurveyFormat::Res2DInv, "s.dat", {"survey_L1_F1.dat", "survey_L2_F1.dat"}},
        {zel::SurveyFormat::Ohm, "s.ohm", {"survey_L1_F1.ohm", "survey_L2_F1.ohm"}},
    };
    for (const auto& c : cases) {
        const auto files = zel::surveyExport(c.format, records, g, std::nullopt, dir.filePath(c.out), {});
        ASSERT_EQ(files.size(), c.golden.size()) << c.out;
        for (qsizetype i = 0; i < files.size(); ++i)
            EXPECT_EQ(files.at(i).second, zel::readWholeFile(zeltest::dataFile(qPrintable(c.golden.at(i)))))
                << c.golden.at(i).toStdString();
    }
    EXPECT_TRUE(zel::surveyExport(zel::SurveyFormat::Res2DInv, records, g, std::nullopt, dir.filePath("s.dat"), {})
                    .at(1)
                    .first.endsWith("/s_L2_F1.dat"));
    EXPECT_EQ(zel::surveyExport(zel::SurveyFormat::Ohm, records, g, zel::Profile{2, 1}, dir.filePath("one.ohm"), {})
                  .at(0)
                  .first,
              dir.filePath("one.ohm"));
    EXPECT_THROW(zel::surveyExport(zel::SurveyFormat::Ohm, {plain}, g, std::nullopt, "x.ohm", {}), zel::ZelError);
    EXPECT_THROW(zel::surveyExport(zel::SurveyFormat::Csv, records, g, zel::Profile{9, 9}, "x.csv", {}), zel::ZelError);
}

// The depth of investigation is asked for and its contour kept between
// runs; a threshold out of its range falls back to the default.
TEST(Survey, InversionChoiceKeepsTheDepthOfInvestigation)
{
    QTemporaryDir dir;
    QSettings ini(dir.filePath("Zel-Terravox.ini"), QSettings::IniFormat);
    zel::InversionChoice chosen;
    chosen.doi = true;
    chosen.doiThreshold = 0.2;
    zel::writeInversionChoice(ini, chosen);
    EXPECT_TRUE(zel::readInversionChoice(ini).doi);
    EXPECT_EQ(zel::readInversionChoice(ini).doiThreshold, 0.2);
    for (const char* bad : {"0", "1,5", "x"}) {
        ini.setValue("Inversion/DoiThreshold", bad);
        EXPECT_EQ(zel::readInversionChoice(ini).doiThreshold, zel::inv::kDoiThreshold) << bad;
    }
}
