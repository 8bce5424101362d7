#include "data/DataFile.h"
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
