#include "SimProcess.h"

#include "Capture.h"

#include "zeltool/Commands.h"

#include "data/DataFile.h"
#include "data/RawDump.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

    r = zeltoolRun({"read", "--port", dir.filePath("nothing-here"), out});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.startsWith("zeltool: cannot open"));
    EXPECT_EQ(zeltoolRun({"read", out}).status, 2);
}
