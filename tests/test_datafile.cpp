#include "data/DataFile.h"
#include "data/ReadingArchive.h"
#include "data/ZelError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "texts/Texts.h"

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
    using Kind = zel::ReadingArchive::Kind;
    const QString first = archive.keep("one", at);
    const QString second = archive.keep("two", at);
    const QString bad = archive.keep("bad", at.addSecs(60), Kind::ChecksumMismatch);
    const QString cut = archive.keep("cut", at.addSecs(120), Kind::Incomplete);
    EXPECT_TRUE(first.endsWith("/readings/2026-12-07_10-11-12.zel"));
    EXPECT_TRUE(second.endsWith("/readings/2026-12-07_10-11-12-2.zel"));
    EXPECT_TRUE(bad.endsWith("/readings/2026-12-07_10-12-12-checksum-mismatch.zel"));
    EXPECT_EQ(zel::readWholeFile(second), "two");
    EXPECT_TRUE(cut.endsWith("/readings/2026-12-07_10-13-12-incomplete.zel"));
    EXPECT_EQ(archive.recent(10), QStringList({cut, bad, second, first}));
    EXPECT_EQ(archive.recent(2), QStringList({cut, bad}));

    // A name another program has just claimed (created, still empty) is
    // never written over: the reading takes the next number.
    QFile claimed(dir.filePath("readings/2026-12-07_10-11-12-3.zel"));
    ASSERT_TRUE(claimed.open(QIODevice::WriteOnly));
    claimed.close();
    const QString fourth = archive.keep("four", at);
    EXPECT_TRUE(fourth.endsWith("-4.zel"));
    EXPECT_EQ(QFile(claimed.fileName()).size(), 0);

    zel::writeWholeFile(dir.filePath("file"), "x");
    EXPECT_THROW(zel::ReadingArchive(dir.filePath("file/readings")).keep("x", at), zel::ZelError);
}

#ifndef Q_OS_WIN  // links, pipes and /dev/null are Unix's
// Where the output is the input (by another name, too), or is no regular
// file, nothing is replaced; a pipe is never read (it would wait for ever).
TEST(DataFile, InputAndOutputThatAreNotPlainFiles)
{
    QTemporaryDir dir;
    const QString data = dir.filePath("a.zel");
    zel::writeWholeFile(data, "data");
    const QString link = dir.filePath("link.zel");
    ASSERT_TRUE(QFile::link(data, link));
    const QString hard = dir.filePath("hard.zel");
    ASSERT_EQ(::link(data.toLocal8Bit().constData(), hard.toLocal8Bit().constData()), 0);
    for (const QString& same : {data, link, hard, dir.path() + "/./a.zel"})
        EXPECT_THROW(zel::refuseOutputOverInput(data, same), zel::ZelError) << same.toStdString();
    EXPECT_NO_THROW(zel::refuseOutputOverInput(data, dir.filePath("b.zel")));
    EXPECT_NO_THROW(zel::refuseOutputOverInput(data, dir.filePath("new/b.zel")));

    zel::writeWholeFile("/dev/null", "table");  // written into, not replaced
    EXPECT_TRUE(QFileInfo("/dev/null").isFile() == false && QFileInfo("/dev/null").exists());
    const QString fifo = dir.filePath("fifo");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    EXPECT_THROW(zel::readWholeFile(fifo), zel::ZelError);
    EXPECT_THROW(zel::readWholeFile(dir.path()), zel::ZelError);
}
#endif
