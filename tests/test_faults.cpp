// Faults of the field and of the laptop: a station that hangs up or says too
// much, a line that goes away, a full disk, corrupt and unreadable files. In
// every case a clear line or message, the port closed, the program alive and
// nothing lost.
#include "FakeDialogs.h"

#include <QtEndian>
#include "StationWindow.h"
#include "TestDumps.h"
#include "WindowInDir.h"

#include "app/ZelMain.h"
#include "data/Bytes.h"
#include "data/DataFile.h"
#include "data/RawDump.h"
#include "data/ReadingArchive.h"
#include "texts/Texts.h"
#include "serial/QCCom32.h"
#include "sim/StationModel.h"

#include <QComboBox>
#include <QLabel>
#include <QStatusBar>
#include <QCoreApplication>
#include <QThread>
#include <QToolButton>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

class Faults : public StationWindow {
protected:
    void expectAliveAndClosed()
    {
        EXPECT_FALSE(form->station().QCCom->Opened());
        EXPECT_FALSE(form->DialogueRunning());
        form->ToolButton6Click();  // the window still answers
    }
};

// Waits until bytes wait in the input of a serial device, without taking them.
bool lineHasInput(const QString& device, int timeoutMs)
{
    const int fd = ::open(device.toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return false;
    pollfd p{fd, POLLIN, 0};
    const bool ready = ::poll(&p, 1, timeoutMs) > 0 && (p.revents & POLLIN);
    ::close(fd);
    return ready;
}

// A tmpfs of a few KiB that is full after a few writes; unmounted at the end.
class TinyDisk {
public:
    explicit TinyDisk(const QString& path) : m_path(path)
    {
        QDir().mkpath(path);
        m_mounted = ::mount("tmpfs", path.toLocal8Bit().constData(), "tmpfs", 0, "size=16k") == 0;
    }
    ~TinyDisk()
    {
        if (m_mounted)
            ::umount(m_path.toLocal8Bit().constData());
    }
    bool mounted() const { return m_mounted; }
    QString filePath(const QString& name) const { return m_path + QLatin1Char('/') + name; }

private:
    QString m_path;
    bool m_mounted = false;
};

} // namespace

TEST_F(Faults, HangUpDuringTheHandshake)
{
    startStation({"--hangup-on", "wake"});
    form->ToolButton2Click();
    EXPECT_EQ(listLines(*form), QStringList({"Время ожидания истекло (1)"}));
    EXPECT_EQ(form->StatusBar1->currentMessage(),
              "Станция не отвечает: проверьте кабель и питание станции, выбранный порт и скорость, установленную на "
              "станции.");
    expectAliveAndClosed();
}

TEST_F(Faults, HangUpDuringTheTableUpload)
{
    startStation({"--hangup-on", "table"});
    const QString table = dir.filePath("t.txt");
    zel::writeWholeFile(table, "1 2 3 4\n");
    dialogs.fileAnswers << table;
    form->ToolButton10Click();
    EXPECT_EQ(listLines(*form), QStringList({"Время ожидания k/s истекло (4)"}));
    expectAliveAndClosed();
}

TEST_F(Faults, HangUpDuringTheFirmwareUpload)
{
    startStation({"--hangup-on", "firmware"});
    const QString fw = dir.filePath("fw.bin");
    zel::writeWholeFile(fw, QByteArray(3000, 'x') + "ZEL-TERRAV");
    dialogs.yesNoAnswers << true << true;
    dialogs.fileAnswers << fw;
    form->ToolButton12Click();
    const QStringList lines = listLines(*form);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines.at(1).endsWith(" Время ожидания истекло (2), 0")) << lines.at(1).toStdString();
    expectAliveAndClosed();
}

// Bytes nobody asked for: once the whole answer has been counted they are
// left in the line; when they come with its last bytes, the count that ended
// the wait places the checksum wrongly and the reading fails clearly.
TEST_F(Faults, StationThatSendsMoreThanAskedGivesAClearOutcome)
{
    startStation({"--count", "100", "--extra-after-data", "40", "--pause-after", "3202", "--pause-ms", "300"});
    form->ToolButton2Click();
    QStringList lines = listLines(*form);
    ASSERT_EQ(lines.size(), 5) << lines.join('\n').toStdString();
    EXPECT_EQ(lines.at(0), "Считано 3218 байт");
    expectAliveAndClosed();

    form.reset();
    sim.reset();
    // Unpaced, the last data byte and the extra bytes go out in one write.
    startStation({"--count", "100", "--extra-after-data", "40", "--pause-after", "3201", "--pause-ms", "300", "--no-pace"});
    form->ToolButton2Click();
    lines = listLines(*form);
    EXPECT_EQ(lines, QStringList({"Считано 3258 байт", "Не совпали контрольные суммы", "Повторите ввод"}));
    expectAliveAndClosed();
}

TEST_F(Faults, BytesAfterTheEndOfDialogueDoNotDisturbTheNextReading)
{
    startStation({"--count", "10", "--junk-after-end", "50"});
    form->ToolButton2Click();
    EXPECT_EQ(form->ListBox1->count(), 5);
    ASSERT_TRUE(lineHasInput(sim->device(), 2000));  // the junk waits in the line now
    form->ToolButton2Click();
    EXPECT_EQ(listLines(*form).at(0), "Считано 338 байт");
    EXPECT_EQ(form->ListBox1->count(), 5);
    expectAliveAndClosed();
}

TEST_F(Faults, LineThatWentAwayWhileIdle)
{
    startStation({"--count", "10"});
    sim.reset();  // the station's line is gone
    form->ToolButton2Click();
    EXPECT_EQ(listLines(*form), QStringList({"Невозможно открыть порт"}));
    // The station program's own first words, the reason in the interface's language.
    EXPECT_TRUE(dialogs.messages.last().text.startsWith("Error opening COM5: устройство не найдено ("));
    expectAliveAndClosed();
}

TEST_F(Faults, FullDiskLeavesTheEarlierFilesAndReportsTheError)
{
    TinyDisk disk(dir.filePath("disk"));
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    form = std::make_unique<TForm1>(&dialogs, QStringList());
    const QString big = dir.filePath("big.zel");
    zel::writeWholeFile(big, zeltest::dump(zeltest::header(1000), "stamp",
                                           zel::sim::rawRecords(zel::sim::generateRecords(1000, 5))));
    dialogs.fileAnswers << big;
    form->ToolButton1Click();
    ASSERT_TRUE(form->ToolButton8->isEnabled());

    for (const char* name : {"reading.zel", "table.txt", "book.xlsx"}) {
        const QString target = disk.filePath(name);
        zel::writeWholeFile(target, "earlier");
        dialogs.messages.clear();
        dialogs.fileAnswers << target;
        if (QByteArray(name).endsWith(".zel"))
            form->ToolButton8Click();
        else if (QByteArray(name).endsWith(".txt"))
            form->Save1Click();
        else
            form->ToolButton5Click();
        ASSERT_EQ(dialogs.messages.size(), 1) << name;
        EXPECT_EQ(dialogs.messages.at(0).kind, MessageKind::Error);
        EXPECT_TRUE(dialogs.messages.at(0).text.contains(QDir::toNativeSeparators(target)))
            << dialogs.messages.at(0).text.toStdString();
        EXPECT_EQ(zel::readWholeFile(target), "earlier") << name;
    }
    EXPECT_EQ(QDir(disk.filePath("")).entryList(QDir::Files).size(), 3);  // no temporary file left
    EXPECT_TRUE(form->ToolButton8->isEnabled());                          // the reading is still there
}

// Files smaller than the write buffer fail at the last moment: the earlier
// file stays, the system's reason is given, and no kept reading is left empty.
TEST(FullDisk, SmallFilesFailWithTheSystemsReason)
{
    QTemporaryDir dir;
    TinyDisk disk(dir.filePath("disk"));
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    const QString target = disk.filePath("table.txt");
    zel::writeWholeFile(target, "earlier");
    QFile filler(disk.filePath("filler"));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    while (filler.write(QByteArray(512, 'f')) == 512) {
    }
    filler.close();
    for (const QByteArray& bytes : {QByteArray("x"), QByteArray(3000, 'y')}) {
        try {
            zel::writeWholeFile(target, bytes);
            ADD_FAILURE() << bytes.size() << " bytes written on a full disk";
        } catch (const zel::ZelError& e) {
            // The system's reason, as Qt says it in the language chosen (an earlier test may have chosen Russian).
            EXPECT_TRUE(zel::texts::errorText(e).contains(QCoreApplication::translate("QIODevice", "No space left on device")))
                << zel::texts::errorText(e).toStdString();
        }
        EXPECT_EQ(zel::readWholeFile(target), "earlier");
    }
    const zel::ReadingArchive archive(disk.filePath("readings"));
    EXPECT_THROW(archive.keep("reading", QDateTime::currentDateTime()), zel::ZelError);
    EXPECT_EQ(QDir(disk.filePath("readings")).entryList(QDir::Files), QStringList());
}

TEST_F(Faults, LengthFieldsClaimingGigabytesAreRefusedAtOnce)
{
    form = std::make_unique<TForm1>(&dialogs, QStringList());
    dialogs.messages.clear();  // no free port here
    QByteArray corrupt;
    zel::appendBlock(corrupt, zeltest::header(5));
    zel::appendBlock(corrupt, "stamp");
    std::uint8_t huge[4];
    qToLittleEndian<qint32>(0x7FFFFFF0, huge);
    corrupt.append(reinterpret_cast<const char*>(huge), 4).append("records");
    const QString path = dir.filePath("corrupt.zel");
    zel::writeWholeFile(path, corrupt);
    dialogs.fileAnswers << path;
    form->ToolButton1Click();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages.at(0).text.startsWith("Stream read error.\n\n"));
    EXPECT_FALSE(form->ToolButton6->isEnabled());
}

TEST_F(Faults, UnreadableFileKeepsTheDataInTheWindow)
{
    form = std::make_unique<TForm1>(&dialogs, QStringList());
    dialogs.messages.clear();  // no free port here
    dialogs.fileAnswers << zeltest::dataFile("sample.zel");
    form->ToolButton1Click();
    const QStringList before = listLines(*form);
    QDir(dir.path()).mkdir("folder.zel");
    dialogs.fileAnswers << dir.filePath("folder.zel");
    form->ToolButton1Click();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages.at(0).kind, MessageKind::Error);
    EXPECT_EQ(listLines(*form), before);
    EXPECT_TRUE(form->ToolButton6->isEnabled());
}
