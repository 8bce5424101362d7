#include "data/DataFile.h"
#include "data/ReadingArchive.h"
#include "data/ZelError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/Texts.h"

#include <gtest/gtest.h>

namespace {

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

TEST(DataFile, WritesAndReadsBytesUnchanged)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.zel");
    QByteArray bytes(1000, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 7);
    zel::writeWholeFile(path, bytes);
    EXPECT_EQ(zel::readWholeFile(path), bytes);
    zel::writeWholeFile(path, QByteArray());  // an empty raw dump gives an empty file
    EXPECT_EQ(QFile(path).size(), 0);
}

TEST(DataFile, MissingFileErrorNamesTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("missing.zel");
    try {
        zel::readWholeFile(path);
        FAIL() << "no error";
    } catch (const zel::ZelError& e) {
        EXPECT_TRUE(zel::texts::errorText(e).startsWith("Cannot open file \"" + QDir::toNativeSeparators(path) + "\"."))
            << zel::texts::errorText(e).toStdString();
    }
}

TEST(DataFile, OversizedFileIsRefusedBeforeReading)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("big.zel");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.resize(4096));
    f.close();
    EXPECT_THROW(zel::readWholeFile(path, 4095), zel::ZelError);
    EXPECT_EQ(zel::readWholeFile(path, 4096).size(), 4096);
}

TEST(DataFile, FailedWriteLeavesTheEarlierFileAndNoTemporaryFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("kept.txt");
    zel::writeWholeFile(path, "good");
    // A directory cannot be replaced by a file: the write fails after nothing.
    const QString blocked = dir.filePath("sub");
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    EXPECT_THROW(zel::writeWholeFile(blocked, "new"), zel::ZelError);
    EXPECT_THROW(zel::writeWholeFile(dir.filePath("no/such/dir/x.txt"), "new"), zel::ZelError);
    EXPECT_EQ(contents(path), "good");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"kept.txt"}));
}

// Kept readings: named from their time, a second one of the same second
// numbered, a mismatch marked; listed newest first; a folder that cannot be
// made is a clear error.
TEST(ReadingArchive, NamesOrderAndFailure)
{
    QTemporaryDir dir;
    const zel::ReadingArchive archive(dir.filePath("readings"));
    const QDateTime at(QDate(2026, 12, 7), QTime(10, 11, 12));
    const QString first = archive.keep("one", at, false);
    const QString second = archive.keep("two", at, false);
    const QString bad = archive.keep("bad", at.addSecs(60), true);
    EXPECT_TRUE(first.endsWith("/readings/2026-12-07_10-11-12.zel"));
    EXPECT_TRUE(second.endsWith("/readings/2026-12-07_10-11-12-2.zel"));
    EXPECT_TRUE(bad.endsWith("/readings/2026-12-07_10-12-12-checksum-mismatch.zel"));
    EXPECT_EQ(zel::readWholeFile(second), "two");
    EXPECT_EQ(archive.recent(10), QStringList({bad, second, first}));
    EXPECT_EQ(archive.recent(2), QStringList({bad, second}));

    zel::writeWholeFile(dir.filePath("file"), "x");
    EXPECT_THROW(zel::ReadingArchive(dir.filePath("file/readings")).keep("x", at, false), zel::ZelError);
}
