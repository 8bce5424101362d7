// The geometry of each profile: the lines file beside the data, the
// topography under it, what the exports and zeltool make of them.
#include "Capture.h"
#include "TestDumps.h"

#include "data/DataFile.h"
#include "data/ZelError.h"
#include "inversion/Files.h"
#include "section/Input.h"
#include "survey/Exports.h"
#include "survey/Lines.h"
#include "survey/Values.h"
#include "texts/Texts.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

zel::MeasurementRecord dipole(int a, int line, int file = 1)
{
    return zeltest::Record().mode(10).profile(line, file).electrodes(a, a + 1, a + 2, a + 3).current(5)
        .u(1, 1000, 2).u(2, 0, 9).u(3, 0, 9).u(4, 0, 9);
}

// The lines of a CSV column by its header name.
QStringList column(const QByteArray& csv, const QByteArray& name)
{
    const QList<QByteArray> rows = csv.trimmed().split('\n');
    const int at = int(rows[0].trimmed().split(',').indexOf(name));
    QStringList out;
    for (qsizetype r = 1; at >= 0 && r < rows.size(); ++r)
        out << QString::fromLatin1(rows[r].trimmed().split(',').value(at));
    return out;
}

} // namespace

TEST(Lines, FileIsReadWrittenAndRefusedByLine)
{
    const QByteArray text = "\xEF\xBB\xBF; the crew's lines\r\n[Line 3 File 1]\r\nSpacing=5\r\nX0=100\r\nReversed=1\r\n"
                            "Topography=line3-levels.txt\r\n\r\n[line -2 file 7]\r\nx0 = 2,5\r\n";
    const zel::LineGeometries lines = zel::parseLinesFile(text, "f");
    ASSERT_EQ(lines.size(), 2u);
    const zel::LineGeometry& l3 = lines.at({3, 1});
    EXPECT_EQ(l3.spacing, 5);
    EXPECT_EQ(l3.x0, 100);
    EXPECT_EQ(l3.reversed, true);
    EXPECT_EQ(l3.topographyFile, "line3-levels.txt");
    EXPECT_EQ(lines.at({-2, 7}).x0, 2.5);
    EXPECT_FALSE(lines.at({-2, 7}).spacing);
    EXPECT_EQ(zel::parseLinesFile(zel::linesFileText(lines), "f"), lines);
    EXPECT_TRUE(zel::linesFileText(lines).startsWith("[Line -2 File 7]\r\nX0=2.5\r\n\r\n[Line 3 File 1]\r\n"));

    const struct {
        const char* text;
        int line;
    } bad[] = {{"Spacing=5\r\n", 1},                    // a key before any profile
               {"[Line 1 File 1]\r\nSpacing=0\r\n", 2},  // out of range
               {"[Line 1 File 1]\r\nReversed=yes\r\n", 2},
               {"[Line 1 File 1]\r\nColour=red\r\n", 2},
               {"[Line 1 File 1]\r\n\r\n[Line 1]\r\n", 3}};
    for (const auto& b : bad) {
        try {
            zel::parseLinesFile(b.text, "f");
            ADD_FAILURE() << b.text;
        } catch (const zel::ZelError& e) {
            EXPECT_EQ(e.id(), zel::ErrorId::LinesFileLine);
            EXPECT_EQ(e.args().value(1), QString::number(b.line)) << b.text;
        }
    }
}

// A line's own spacing, x0 and direction over the default; a reversed line
// counts back from x0, and its arrays keep their factors.
TEST(Lines, ProfileGeometryOverTheDefault)
{
    zel::SurveyGeometry g;
    g.spacing = 2;
    g.x0 = 10;
    zel::LineGeometry own;
    own.x0 = 100;
    own.reversed = true;
    g.lines[{2, 1}] = own;
    const std::vector<zel::MeasurementRecord> records = {dipole(0, 1), dipole(0, 2)};
    const std::vector<zel::ChannelValue> v = zel::surveyValues(records, g);
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[0].electrodes->x, (std::array<double, 4>{10, 12, 14, 16}));
    EXPECT_EQ(v[1].electrodes->x, (std::array<double, 4>{100, 98, 96, 94}));
    EXPECT_DOUBLE_EQ(*v[0].k, *v[1].k);
    EXPECT_EQ(g.of({2, 1}).position(3), 94);
    EXPECT_EQ(g.of({1, 1}).position(3), 16);
}

// Topography in the three exports: the CSV gains za..zn only then, .ohm
// gives each electrode its elevation, and Res2DInv's topography list holds
// every electrode's elevation at its x.
TEST(Lines, TopographyInTheExports)
{
    zel::SurveyGeometry g;
    const std::vector<zel::MeasurementRecord> records = {dipole(0, 1), dipole(1, 1), dipole(0, 2)};
    const QByteArray flat = zel::surveyExport(zel::SurveyFormat::Csv, records, g, std::nullopt, "s.csv", {}).at(0).second;
    EXPECT_FALSE(flat.split('\n').at(0).contains("za"));

    zel::LineGeometry own;
    own.topography = zel::parseTopography("electrode z\n0 100\n4 96\n", "t");
    own.topographyFile = "t.txt";
    g.lines[{1, 1}] = own;
    const QByteArray csv = zel::surveyExport(zel::SurveyFormat::Csv, records, g, std::nullopt, "s.csv", {}).at(0).second;
    EXPECT_EQ(column(csv, "za"), (QStringList{"100", "99", ""}));
    EXPECT_EQ(column(csv, "zn"), (QStringList{"97", "96", ""}));
    // Over uneven ground the factor takes the straight distances.
    const std::vector<zel::ChannelValue> v = zel::surveyValues(records, g);
    EXPECT_DOUBLE_EQ(*v[0].k, *zel::geometricFactor({0, 1, 2, 3}, {100, 99, 98, 97}));
    EXPECT_GT(std::abs(*v[0].k), std::abs(*v[2].k));

    const QByteArray ohm = zel::surveyExport(zel::SurveyFormat::Ohm, records, g, zel::Profile{1, 1}, "s.ohm", {}).at(0).second;
    EXPECT_TRUE(ohm.contains("# x z\r\n0.0 100.0\r\n1.0 99.0\r\n2.0 98.0\r\n3.0 97.0\r\n4.0 96.0\r\n")) << ohm.toStdString();
    const zel::inv::OhmData back = zel::inv::parseOhm(ohm, 3, 2);
    EXPECT_EQ(back.electrodeZ, (std::vector<double>{100, 99, 98, 97, 96}));

    const QByteArray dat = zel::surveyExport(zel::SurveyFormat::Res2DInv, records, g, zel::Profile{1, 1}, "s.dat", {}).at(0).second;
    const QList<QByteArray> rows = dat.split('\n');
    const qsizetype at = rows.indexOf("Topography in separate list\r");
    ASSERT_GT(at, 0) << dat.toStdString();
    EXPECT_EQ(rows[at + 1].trimmed(), "2");  // true horizontal distances, as the data lines
    ASSERT_EQ(rows[at + 2].trimmed().toInt(), 5);
    for (int e = 0; e < 5; ++e)
        EXPECT_EQ(rows[at + 3 + e].trimmed(), QByteArray::number(e) + ".0 " + QByteArray::number(100 - e) + ".0");
    EXPECT_EQ(rows[at + 8].trimmed(), "1");
    const QByteArray flatDat = zel::surveyExport(zel::SurveyFormat::Res2DInv, records, g, zel::Profile{2, 1}, "s.dat", {}).at(0).second;
    EXPECT_FALSE(flatDat.contains("Topography"));
    EXPECT_TRUE(flatDat.endsWith("\r\n0\r\n0\r\n0\r\n0\r\n"));
}

// Kept beside another data file, the lines take their topography along; a
// different file of that name there is never replaced.
TEST(Lines, KeptBesideADataFileWithTheirTopography)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("b");
    const QString a = dir.filePath("a.zel"), b = dir.filePath("b/a.zel");
    zel::writeWholeFile(dir.filePath("levels.txt"), "x z\r\n0 5\r\n10 7\r\n");
    zel::writeWholeFile(dir.filePath("b/levels.txt"), "x z\r\n0 1\r\n");
    zel::writeWholeFile(zel::linesFileOf(a), "[Line 1 File 1]\r\nSpacing=2\r\nTopography=levels.txt\r\n");
    zel::LineGeometries lines = zel::readLinesBeside(a);
    EXPECT_EQ(lines.at({1, 1}).topography.points.size(), 2u);

    const zel::LineGeometries kept = zel::writeLinesBeside(b, lines);
    EXPECT_EQ(kept.at({1, 1}).topographyFile, "a.zel.L1F1.topography.txt");
    EXPECT_EQ(zel::readWholeFile(dir.filePath("b/levels.txt")), "x z\r\n0 1\r\n");
    EXPECT_EQ(zel::readLinesBeside(b), kept);
    // Nothing of their own: no lines file.
    zel::writeLinesBeside(b, {});
    EXPECT_FALSE(QFile::exists(zel::linesFileOf(b)));

    zel::writeWholeFile(dir.filePath("levels.txt"), "x z\r\n0 5\r\nten 7\r\n");
    EXPECT_THROW(zel::readLinesBeside(a), zel::ZelError);
}

// zeltool takes the lines file beside the data; an option holds for every
// line over it.
TEST(Lines, ZeltoolPrecedenceOptionOverLineOverDefault)
{
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const QString data = dir.filePath("d.zel");
    zel::writeWholeFile(data, zeltest::dump({dipole(0, 1), dipole(0, 2)}));
    zel::writeWholeFile("Zel-Terravox.ini", "[Survey]\r\nSpacing=3\r\n");
    zel::writeWholeFile(zel::linesFileOf(data), "[Line 2 File 1]\r\nSpacing=5\r\nX0=1\r\n");
    auto xa = [&](const QStringList& options) {
        const Captured c = run(QStringList{"export", "--format", "csv"} + options + QStringList{data, "o.csv"});
        EXPECT_EQ(c.status, 0) << c.err.toStdString();
        return column(zel::readWholeFile("o.csv"), "xb");
    };
    EXPECT_EQ(xa({}), (QStringList{"3", "6"}));
    EXPECT_EQ(xa({"--spacing", "4"}), (QStringList{"4", "5"}));
    // Line 1 has no spacing of its own: the default placed it, and that is
    // said; an option, or a spacing for every line, leaves nothing to say.
    const QString kDefaultSaid = "расстояние между электродами 3 м: значение по умолчанию";
    EXPECT_TRUE(QString::fromUtf8(run({"export", "--format", "csv", data, "o.csv"}).err).contains(kDefaultSaid));
    EXPECT_FALSE(run({"export", "--format", "csv", "--spacing", "3", data, "o.csv"}).err.contains("по умолчанию"));
    zel::writeWholeFile(zel::linesFileOf(data), "[Line 1 File 1]\r\nSpacing=3\r\n[Line 2 File 1]\r\nSpacing=5\r\n");
    EXPECT_FALSE(run({"export", "--format", "csv", data, "o.csv"}).err.contains("по умолчанию"));
    zel::writeWholeFile(zel::linesFileOf(data), "[Line 2 File 1]\r\nSpacing=-5\r\n");
    const Captured bad = run({"export", "--format", "csv", data, "o.csv"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_TRUE(bad.err.contains("d.zel.survey")) << bad.err.toStdString();
    QDir::setCurrent(previous);
}

// What a topography leaves to be assumed: ends of the line beyond its
// points (level at the nearest point's height), electrodes between the ones
// given; a topography that covers the line leaves nothing.
TEST(Lines, TopographyGapsAreNamed)
{
    using Gap = zel::TopographyGap;
    const zel::Topography byX = zel::parseTopography("x z\n10 250\n30 255\n", "t");
    EXPECT_EQ(zel::topographyGaps(byX, {0, 10, 20, 30, 47}),
              (std::vector<Gap>{{Gap::Kind::Beyond, false, 0, 10, 250}, {Gap::Kind::Beyond, false, 30, 47, 255}}));
    EXPECT_TRUE(zel::topographyGaps(byX, {10, 20, 30}).empty());
    const zel::Topography byNumber = zel::parseTopography("electrode z\n1 10\n2 11\n3 12\n10 20\n11 21\n", "t");
    EXPECT_EQ(zel::topographyGaps(byNumber, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}),
              (std::vector<Gap>{{Gap::Kind::Between, true, 4, 9, 0, 3, 10}, {Gap::Kind::Beyond, true, 11, 12, 21}}));
    EXPECT_EQ(zel::texts::topographyGap({Gap::Kind::Between, true, 4, 9, 0, 3, 10}),
              "у электродов 4–9 нет своей высоты: они взяты на прямой между электродами 3 и 10");

    // zeltool says them beside its inversion.
    QTemporaryDir dir;
    QByteArray ohm = "8\n# x z\n";
    for (int e = 0; e < 8; ++e)
        ohm += QByteArray::number(e * 2) + " 0\n";
    QByteArray rows;
    int count = 0;
    for (int i = 0; i < 5; ++i)
        for (int n = 1; n <= 2 && i + n + 2 < 8; ++n, ++count)
            rows += QByteArray::number(i + 1) + ' ' + QByteArray::number(i + 2) + ' ' + QByteArray::number(i + 2 + n) + ' '
                + QByteArray::number(i + 3 + n) + " 100\n";
    ohm += QByteArray::number(count) + "\n# a b m n rhoa\n" + rows;
    zel::writeWholeFile(dir.filePath("l.ohm"), ohm);
    zel::writeWholeFile(dir.filePath("t.txt"), "x z\n0 250\n6 251\n");
    const Captured c = run({"invert", "--max-iterations", "1", "--topography", dir.filePath("t.txt"), dir.filePath("l.ohm"), dir.filePath("o")});
    EXPECT_TRUE(QString::fromUtf8(c.err).contains("x от 6 до 14 м взят ровным на высоте 251 м")) << c.err.toStdString();
}

// A spacing taped along the slope: on ground rising 3 m every 5 m of tape
// the electrodes stand 4 m apart horizontally, from x0 either way, and the
// arrays' factors take the 5 m between them; the lines file keeps the choice.
TEST(Lines, SlopeDistancesGiveHorizontalPositions)
{
    for (const QByteArray& levels : {QByteArray("electrode z\n0 100\n10 130\n"), QByteArray("x z\n0 100\n50 130\n")}) {
        zel::SurveyGeometry g;
        g.spacing = 5;
        g.topography = zel::parseTopography(levels, "t");
        g.slopeDistances = true;
        for (const int n : {0, 1, 4, 10})
            EXPECT_NEAR(g.position(n), 4 * n, 1e-9) << levels.toStdString() << n;
        EXPECT_NEAR(*g.elevation(4), 112, 1e-9);
        // Beyond the topography the ground is level: the tape lies flat.
        EXPECT_NEAR(g.position(12), 40 + 10, 1e-9);
        g.slopeDistances = false;
        EXPECT_DOUBLE_EQ(g.position(4), 20);
    }
    zel::SurveyGeometry reversed;
    reversed.spacing = 5;
    reversed.x0 = 100;
    reversed.reversed = true;
    reversed.topography = zel::parseTopography("electrode z\n0 100\n10 130\n", "t");
    reversed.slopeDistances = true;
    EXPECT_NEAR(reversed.position(3), 88, 1e-9);

    zel::LineGeometry taped;
    taped.slopeDistances = true;
    taped.topography = zel::parseTopography("electrode z\n0 100\n10 130\n", "t");
    zel::SurveyGeometry survey;
    survey.spacing = 5;
    survey.lines[{1, 1}] = taped;
    const auto e = zel::channelElectrodes(dipole(0, 1), 1, survey);
    ASSERT_TRUE(e && e->z);
    EXPECT_NEAR(e->x[3], 12, 1e-9);
    const auto values = zel::surveyValues({dipole(0, 1)}, survey);
    ASSERT_TRUE(values.at(0).k);
    EXPECT_NEAR(std::abs(*values.at(0).k), 6 * std::numbers::pi * 5, 1e-6);  // dipole-dipole a = 5 m, n = 1
    EXPECT_EQ(zel::linesFileText({{zel::Profile{1, 1}, taped}}), "[Line 1 File 1]\r\nSlopeDistances=1\r\n");
    EXPECT_EQ(zel::parseLinesFile("[Line 1 File 1]\r\nSlopeDistances=1\r\n", "f").at({1, 1}).slopeDistances, true);

    // A step the tape could not climb (10 m up along 5 m of tape): refused, naming the piece.
    taped.topography = zel::parseTopography("electrode z\n0 100\n1 100\n2 110\n", "t");
    survey.lines[{1, 1}] = taped;
    try {
        zel::profileInput({dipole(0, 1)}, survey, {1, 1}, {});
        ADD_FAILURE() << "not refused";
    } catch (const zel::ZelError& e) {
        EXPECT_EQ(e.id(), zel::ErrorId::SlopeSteeperThanTape);
        EXPECT_EQ(e.args(), (QStringList{"1", "1", "№1", "№2", "10", "5"}));
    }
}
