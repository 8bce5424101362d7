#include "TestDumps.h"

#include "Capture.h"

#include "zeltool/Commands.h"

#include "data/DataFile.h"
#include "data/Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif


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

// The usage comes from the command table: all of it without a command, one
// command's with its options for help, one command's after a wrong call.
TEST(Zeltool, UsageAndHelpComeFromTheCommandTable)
{
    const Captured all = run({});
    EXPECT_EQ(all.status, 2);
    for (const char* command : {"view", "text", "read", "port", "xlsx", "export", "check", "sequence", "plot", "invert",
                                "protocol", "firmware"})
        EXPECT_TRUE(all.err.contains(QByteArray("zeltool ") + command + ' ')) << command;
    const Captured help = run({"help", "invert"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith("usage: zeltool invert ")) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains("--topography FILE") && help.out.contains("An elevation per electrode"));
    const Captured wrong = run({"check"});
    EXPECT_EQ(wrong.status, 2);
    EXPECT_TRUE(wrong.err.startsWith("zeltool: 1 file name(s) needed, 0 given\nusage: zeltool check ")) << wrong.err.toStdString();
    EXPECT_FALSE(wrong.err.contains("zeltool view"));
    EXPECT_EQ(run({"bogus"}).status, 2);
}

TEST(Zeltool, BadInputGivesOneLineOnStderrAndAFailingStatus)
{
    QTemporaryDir dir;
    const QString bad = dir.filePath("bad.zel");
    zel::writeWholeFile(bad, QByteArray("\x05\x00\x00\x00" "ABCDE", 9));
    Captured c = run({"view", bad});
    EXPECT_EQ(c.status, 1);
    EXPECT_TRUE(c.out.isEmpty());
    EXPECT_EQ(QString::fromUtf8(c.err),
              "zeltool: " + QDir::toNativeSeparators(bad) + ": Эта программа для \"ZEL-TERRAVOX\" версии 1XX.\n");

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

#ifndef Q_OS_WIN  // Windows names its ports itself
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
#endif

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
        {"export", "--format", "csv", "--file", "1", sample, dir.filePath("f")},
        {"export", "--format", "ohm", "--line", "9", sample, dir.filePath("g")},
    };
    for (const QStringList& args : bad) {
        c = run(args);
        EXPECT_NE(c.status, 0) << args.join(' ').toStdString();
        EXPECT_EQ(c.err.count('\n') == 1 || c.status == 2, true) << c.err.toStdString();
        EXPECT_FALSE(QFile::exists(args.last())) << args.join(' ').toStdString();
    }
}

// Calls that would destroy data, block, or write a wrong or empty file are
// refused with one line naming what is wrong; nothing is written.
TEST(Zeltool, RefusesWhatWouldLoseDataOrSayNothing)
{
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const QString data = dir.filePath("a.zel");
    zel::writeWholeFile(data, zel::readWholeFile(zeltest::dataFile("sample.zel")));
#ifndef Q_OS_WIN
    const QString fifo = dir.filePath("fifo");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
#else
    const QString fifo = dir.path();  // a folder: no regular file either
#endif
    const struct {
        QStringList args;
        int status;
        const char* says;
    } cases[] = {
        {{"export", "--format", "csv", data, data}, 1, "это входной файл"},
        {{"text", data, dir.path() + "/./a.zel"}, 1, "это входной файл"},
        {{"xlsx", "--layout", "terravox", data, data}, 1, "это входной файл"},
        {{"view", fifo}, 1, "не обычный файл"},
        {{"export", "--format", "csv", "--line", "abc", "--file", "1", data, "x.csv"}, 2, "--line abc: a whole number"},
        {{"sequence", "--array", "wenner", "--electrodes", "32", "--a-max", "2147483647", "s.txt"}, 1, "a-max = 2147483647"},
    };
    for (const auto& c : cases) {
        const Captured got = run(c.args);
        EXPECT_EQ(got.status, c.status) << c.args.join(' ').toStdString();
        EXPECT_TRUE(got.err.contains(c.says)) << got.err.toStdString();
    }
    EXPECT_EQ(zel::readWholeFile(data), zel::readWholeFile(zeltest::dataFile("sample.zel")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"a.zel"}));

#ifndef Q_OS_WIN
    // Into a device, never over it.
    EXPECT_EQ(run({"export", "--format", "csv", data, "/dev/null"}).status, 0);
    EXPECT_FALSE(QFileInfo("/dev/null").isFile());
#endif

    // A bad [Survey] value is refused, naming key, value and file, unless an
    // option replaces it; the folder's file handed it over to the user's settings.
    QSettings ini(dir.filePath("Zel-Terravox.ini"), QSettings::IniFormat);
    ini.setValue("Survey/Spacing", "2m");
    ini.sync();
    Captured got = run({"export", "--format", "res2dinv", data, "s"});
    EXPECT_EQ(got.status, 1);
    const QByteArray user = QDir::toNativeSeparators(zel::settings::userSettings()->fileName()).toUtf8();
    EXPECT_TRUE(got.err.contains(user) && got.err.contains("Spacing=2m")) << got.err.toStdString();
    const zel::MeasurementRecord r = zeltest::Record().mode(10).electrodes(0, 1, 2, 3).current(5).u(1, 100, 0);
    std::vector<zel::MeasurementRecord> twoProfiles = {r, r};
    twoProfiles[1].LineNo = 2;
    zel::writeWholeFile(data, zeltest::dump(twoProfiles));
    got = run({"export", "--format", "res2dinv", "--spacing", "2,5", data, "s"});
    EXPECT_EQ(got.status, 0) << got.err.toStdString();
    EXPECT_TRUE(QFile::exists("s_L0_F0"));  // no trailing dot without an extension
    EXPECT_TRUE(zel::readWholeFile("s_L2_F0").contains("\r\n2.5\r\n"));
    QDir::setCurrent(previous);
}
