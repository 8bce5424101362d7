#include "SimProcess.h"
#include "TestDumps.h"

#include "Capture.h"

#include "zeltool/Commands.h"

#include "data/DataFile.h"
#include "section/Input.h"
#include "data/RawDump.h"
#include "data/ReadingArchive.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>

#include <csignal>
#include <cstdio>

namespace {

struct ToolRun {
    int status;
    QByteArray out;
    QByteArray err;
};

ToolRun zeltoolRun(const QStringList& args)
{
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const int status = zeltool::run(args, out, err);
    return {status, readAllAndClose(out), readAllAndClose(err)};
}

} // namespace

TEST(ZeltoolRead, WritesTheReadingOnAChecksumMatch)
{
    QTemporaryDir dir;
    SimProcess sim(dir.filePath("station"), {"--count", "50", "--once"});
    ASSERT_TRUE(sim.ok());
    const QString out = dir.filePath("r.zel");
    const ToolRun r = zeltoolRun({"read", "--port", dir.filePath("station"), "--baud", "57600", out});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    const QList<QByteArray> lines = r.out.split('\n');
    EXPECT_EQ(lines.at(0), "Считано 1618 байт");
    EXPECT_EQ(lines.at(1), "Количество измерений 50");
    EXPECT_TRUE(r.err.contains("1602 of 1602 bytes"));
    const zel::DumpDecoding d = zel::decodeDump(zel::readWholeFile(out));
    EXPECT_EQ(d.outcome, zel::DumpDecoding::Outcome::Decoded);
    // Kept as the window keeps it, and said where.
    const QStringList kept = zel::ReadingArchive(zel::ReadingArchive::defaultFolder()).recent(1);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_TRUE(r.err.contains(QDir::toNativeSeparators(kept.at(0)).toUtf8()));
    EXPECT_EQ(zel::readWholeFile(kept.at(0)), zel::readWholeFile(out));
}

// Ctrl+C during a reading stops it as the window's Stop does: its line, and
// what arrived kept as an incomplete reading.
TEST(ZeltoolRead, InterruptStopsTheReadingAndKeepsWhatArrived)
{
    QTemporaryDir dir;
    SimProcess sim(dir.filePath("station"), {"--count", "100", "--pause-after", "100", "--pause-ms", "10000"});
    ASSERT_TRUE(sim.ok());
    QTimer::singleShot(1000, [] { std::raise(SIGINT); });
    const ToolRun r = zeltoolRun({"read", "--port", dir.filePath("station"), dir.filePath("r.zel")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.contains("Остановлено пользователем")) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains("-incomplete.zel")) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("r.zel")));
}

// A reading that breaks off keeps what arrived; an output that cannot be
// written is refused before the station is asked for anything.
TEST(ZeltoolRead, KeepsWhatArrivedAndChecksTheOutputFirst)
{
    QTemporaryDir dir;
    SimProcess sim(dir.filePath("station"), {"--count", "50", "--hangup-after", "600"});
    ASSERT_TRUE(sim.ok());
    ToolRun r = zeltoolRun({"read", "--port", dir.filePath("station"), dir.filePath("no/such/folder/r.zel")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.startsWith("zeltool: Cannot create file")) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());

    r = zeltoolRun({"read", "--port", dir.filePath("station"), dir.filePath("r.zel")});
    EXPECT_EQ(r.status, 1);
    // The list's line on stdout, what to check on stderr.
    EXPECT_EQ(r.out, "Время ожидания истекло (3)\n");
    EXPECT_TRUE(r.err.contains("zeltool: Передача данных прервалась")) << r.err.toStdString();
    const QRegularExpressionMatch kept = QRegularExpression("Чтение сохранено: (\\S+-incomplete\\.zel)").match(QString::fromUtf8(r.err));
    ASSERT_TRUE(kept.hasMatch()) << r.err.toStdString();
    const qsizetype arrived = zeltest::recordBlock(zel::readWholeFile(kept.captured(1))).size();  // a hang-up may drop what the line still held
    EXPECT_TRUE(arrived > 0 && arrived <= 600) << arrived;
    EXPECT_FALSE(QFile::exists(dir.filePath("r.zel")));
}

TEST(ZeltoolRead, FailsWithoutWritingOnAWrongChecksumOrNoPort)
{
    QTemporaryDir dir;
    SimProcess sim(dir.filePath("station"), {"--count", "5", "--bad-checksum"});
    ASSERT_TRUE(sim.ok());
    const QString out = dir.filePath("r.zel");
    ToolRun r = zeltoolRun({"read", "--port", dir.filePath("station"), out});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.contains("Не совпали контрольные суммы"));
    EXPECT_FALSE(QFile::exists(out));

    EXPECT_TRUE(r.err.contains("-checksum-mismatch.zel"));

    r = zeltoolRun({"read", "--port", dir.filePath("nothing-here"), out});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.startsWith("zeltool: cannot open"));
    EXPECT_EQ(zeltoolRun({"read", out}).status, 2);
    r = zeltoolRun({"read", "--port", dir.filePath("station"), "--baud", "12345", out});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.startsWith("zeltool: --baud 12345: one of 9600,"));
}

// A line over a synthetic model with a slope, read from the simulated
// station and given its spacing and topography beside the data, becomes a
// section with the conductive block at its place under the ground.
TEST(ZeltoolRead, LineReadFromTheStationIsInverted)
{
    QTemporaryDir dir;
    zel::writeWholeFile(dir.filePath("block.model"), "electrodes 24\nspacing 2\nbackground 100\n"
                                                     "block 18 28 1 3 10   # x, depth below the ground, ohm-m\n"
                                                     "elevation 0 50\nelevation 23 44\ntable 1 8\n");
    SimProcess sim(dir.filePath("station"), {"--model", dir.filePath("block.model"), "--once"});
    ASSERT_TRUE(sim.ok());
    const QString line = dir.filePath("line.zel");
    ASSERT_EQ(zeltoolRun({"read", "--port", dir.filePath("station"), line}).status, 0);
    zel::writeWholeFile(line + ".survey", "[Line 1 File 1]\r\nSpacing=2\r\nTopography=levels.txt\r\n");
    zel::writeWholeFile(dir.filePath("levels.txt"), "electrode z\r\n0 50\r\n23 44\r\n");
    const ToolRun r = zeltoolRun({"invert", line, dir.filePath("section")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("L1 F1: ")) << r.out.toStdString();
    for (const char* file : {"section-model.csv", "section-response.csv", "section.vtu"})
        EXPECT_TRUE(QFile::exists(dir.filePath(file))) << file;
    // The resistivity of the cell nearest to a point 2 m below the ground.
    const QList<QByteArray> rows = zel::readWholeFile(dir.filePath("section-model.csv")).trimmed().split('\n');
    auto rhoAt = [&](double x) {
        const double z = 50 - 6 * x / 46 - 2;
        double best = 1e300, rho = 0;
        for (qsizetype i = 1; i < rows.size(); ++i) {
            const QList<QByteArray> f = rows[i].trimmed().split(',');
            const double d = std::hypot(f[0].toDouble() - x, f[1].toDouble() - z);
            if (d < best)
                best = d, rho = f[2].toDouble();
        }
        return rho;
    };
    EXPECT_LT(rhoAt(23), 50);
    EXPECT_GT(rhoAt(38), 70);
}

// The simulated station's memory of a line measured as three spreads, kept
// with where they lie, is inverted as one line; two readings of a line
// whose block has grown more conductive give its change.
TEST(ZeltoolRead, SpreadsInvertAsOneLineAndTwoReadingsCompare)
{
    QTemporaryDir dir;
    const QByteArray model = "electrodes 32\nbackground 100\ntable 1 6\n";
    zel::writeWholeFile(dir.filePath("roll.model"), model + "block 12 18 1 3 10\nspreads 16 8\n");
    zel::writeWholeFile(dir.filePath("before.model"), model + "block 12 18 1 3 100\n");
    zel::writeWholeFile(dir.filePath("after.model"), model + "block 12 18 1 3 50\n");
    for (const char* name : {"roll", "before", "after"}) {
        SimProcess sim(dir.filePath(name), {"--model", dir.filePath(QString(name) + ".model"), "--memory-out",
                                            dir.filePath(QString(name) + ".zel")});
        ASSERT_TRUE(sim.ok()) << name;
    }
    EXPECT_TRUE(zel::readWholeFile(dir.filePath("roll.zel.survey")).contains("[Line 1 File 3]\r\nSpacing=1\r\nX0=16\r\n"));
    ToolRun r = zeltoolRun({"invert", "--line", "1", dir.filePath("roll.zel"), dir.filePath("line")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains((zel::profileName({1, zel::Profile::kWholeLine}) + ": ").toUtf8())) << r.out.toStdString();
    // Electrodes at 0–31 m along the line, though each file numbers its spread 0–15.
    double farthest = 0;
    for (const QByteArray& row : zel::readWholeFile(dir.filePath("line-response.csv")).trimmed().split('\n').mid(1))
        for (const QByteArray& x : row.split(',').mid(0, 4))
            farthest = std::max(farthest, x.toDouble());
    EXPECT_EQ(farthest, 31);

    r = zeltoolRun({"invert", "--base", dir.filePath("before.zel"), dir.filePath("after.zel"), dir.filePath("change")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("after.zel L1 F1 against before.zel L1 F1: ")) << r.out.toStdString();
    const QList<QByteArray> rows = zel::readWholeFile(dir.filePath("change-change.csv")).trimmed().split('\n');
    ASSERT_GT(rows.size(), 10);
    EXPECT_EQ(rows[0].trimmed(), "x_m,z_m,rho_base_ohmm,rho_ohmm,change_pct");
    double least = 0;
    for (qsizetype i = 1; i < rows.size(); ++i)
        least = std::min(least, rows[i].trimmed().split(',')[4].toDouble());
    EXPECT_LT(least, -30);
    EXPECT_TRUE(QFile::exists(dir.filePath("change-apparent-change.csv")));
}
