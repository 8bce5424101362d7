#include "TestDumps.h"

#include "Capture.h"

#include "zeltool/Commands.h"

#include "data/DataFile.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

struct Captured {
    int status = 0;
    QByteArray out;
    QByteArray err;
};

Captured run(const QStringList& args)
{
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    Captured c;
    c.status = zeltool::run(args, out, err);
    c.out = readAllAndClose(out);
    c.err = readAllAndClose(err);
    return c;
}

} // namespace

TEST(Zeltool, ViewPrintsTheViewLinesAsUtf8)
{
    const Captured c = run({"view", zeltest::dataFile("sample.zel")});
    EXPECT_EQ(c.status, 0);
    const QList<QByteArray> lines = c.out.split('\n');
    ASSERT_EQ(lines.size(), 5 + 15 + 1);
    EXPECT_EQ(lines.at(0), "ZEL-TERRAVOX MMVII01");
    EXPECT_TRUE(lines.at(3).startsWith("File  Line   Station"));
    EXPECT_TRUE(c.err.isEmpty());
}

TEST(Zeltool, TextWritesTheSameBytesAsSaveAsText)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("out.txt");
    const Captured c = run({"text", zeltest::dataFile("sample.zel"), out});
    EXPECT_EQ(c.status, 0);
    const QByteArray written = zel::readWholeFile(out);
    EXPECT_TRUE(written.startsWith("ZEL-TERRAVOX MMVII01\r\nV2.1E1.0\r\n"));
    EXPECT_TRUE(written.endsWith("\r\n"));
    EXPECT_EQ(written.count('\n'), 5 + 15);
}

TEST(Zeltool, BadInputGivesOneLineOnStderrAndAFailingStatus)
{
    QTemporaryDir dir;
    const QString bad = dir.filePath("bad.zel");
    zel::writeWholeFile(bad, QByteArray("\x05\x00\x00\x00" "ABCDE", 9));
    Captured c = run({"view", bad});
    EXPECT_EQ(c.status, 1);
    EXPECT_TRUE(c.out.isEmpty());
    EXPECT_EQ(c.err, "zeltool: Эта программа для \"ZEL-TERRAVOX\" версии 1XX.\n");

    c = run({"view", dir.filePath("missing.zel")});
    EXPECT_EQ(c.status, 1);
    EXPECT_TRUE(c.err.startsWith("zeltool: Cannot open file"));
    EXPECT_EQ(c.err.count('\n'), 1);

    const QString target = dir.filePath("t.txt");
    c = run({"text", bad, target});
    EXPECT_EQ(c.status, 1);
    EXPECT_FALSE(QFile::exists(target));

    EXPECT_EQ(run({"frobnicate"}).status, 2);
    EXPECT_EQ(run({"view"}).status, 2);
}

TEST(Zeltool, PortGivesADeviceANumberInTheSettingsOfTheCurrentDirectory)
{
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    Captured c = run({"port", "/dev/pts/77", "station A"});
    EXPECT_EQ(c.out, "COM1\n");
    c = run({"port", "--number", "32", "/tmp/station", "simulated station"});
    EXPECT_EQ(c.out, "COM32\n");
    c = run({"port", "/dev/pts/77"});  // already numbered
    EXPECT_EQ(c.out, "COM1\n");
    EXPECT_EQ(run({"port", "--number", "33", "/x"}).status, 2);
    QSettings ini(dir.filePath("Zel-Terravox.ini"), QSettings::IniFormat);
    EXPECT_EQ(ini.value("Ports/COM32").toString(), "/tmp/station");
    EXPECT_EQ(ini.value("PortNotes/COM32").toString(), "simulated station");
    EXPECT_EQ(ini.value("PortNotes/COM1").toString(), "station A");
    QDir::setCurrent(previous);
}

// zeltool export: one file per profile where the data hold several; bad
// options give one line on stderr, a failing status and no file.
TEST(Zeltool, ExportWritesTheSurveyFilesAndRefusesBadOptions)
{
    QTemporaryDir dir;
    const QString sample = zeltest::dataFile("sample.zel");
    const QString out = dir.filePath("s.ohm");
    Captured c = run({"export", "--format", "ohm", "--spacing", "2", "--channels", "first", sample, out});
    EXPECT_EQ(c.status, 0) << c.err.toStdString();
    EXPECT_TRUE(zel::readWholeFile(out).endsWith("\r\n0\r\n"));

    const QStringList bad[] = {
        {"export", "--format", "xml", sample, dir.filePath("a")},
        {"export", "--format", "csv", "--spacing", "0", sample, dir.filePath("b")},
        {"export", "--format", "csv", "--spacing", "x", sample, dir.filePath("c")},
        {"export", "--format", "csv", "--channels", "all", sample, dir.filePath("d")},
        {"export", "--format", "res2dinv", "--line", "9", "--file", "9", sample, dir.filePath("e")},
        {"export", "--format", "csv", "--line", "1", sample, dir.filePath("f")},
    };
    for (const QStringList& args : bad) {
        c = run(args);
        EXPECT_NE(c.status, 0) << args.join(' ').toStdString();
        EXPECT_EQ(c.err.count('\n') == 1 || c.status == 2, true) << c.err.toStdString();
        EXPECT_FALSE(QFile::exists(args.last())) << args.join(' ').toStdString();
    }
}
