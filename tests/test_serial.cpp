#include "serial/PseudoTerminal.h"

#include "serial/QCCom32.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include "texts/Texts.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

class ScriptedPrompts : public zel::ComPrompts {
public:
    QStringList shown;
    std::function<Answer(const QString&)> answer = [](const QString&) { return Answer::Abort; };
    Answer abortRetry(const zel::ComPrompt& prompt) override
    {
        shown << zel::texts::comPromptText(prompt);
        return answer(shown.last());
    }
    void message(const zel::ComPrompt& prompt) override { shown << zel::texts::comPromptText(prompt); }
};

// Lets the event loop run until `done` or `ms` have passed.
template <class F>
bool waitUntil(F&& done, int ms = 3000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

class SerialOnPty : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.ok());
        com.setDeviceResolver([this](int port) { return port == 7 ? pty.slavePath() : QString(); });
        com.setPrompts(&prompts);
        com.setPort(7);
    }

    zel::PseudoTerminal pty;
    ScriptedPrompts prompts;
    T_QCCom32 com;
};

} // namespace

TEST_F(SerialOnPty, ClosedPortCountsNothingAndSendsNothing)
{
    EXPECT_FALSE(com.Opened());
    EXPECT_EQ(com.InCount(), 0);
    EXPECT_EQ(com.OutCount(), 0);
    EXPECT_FALSE(com.SendString("$GB"));
    QByteArray r = "x";
    com.ReadResponse(r);
    EXPECT_TRUE(r.isEmpty());
    EXPECT_TRUE(pty.receive(1, 100).isEmpty());
    com.Close();  // closing a closed port does nothing
}

TEST_F(SerialOnPty, SendsExactlyTheBytesAndReadsWhatWaitsZeroBytesIncluded)
{
    ASSERT_TRUE(com.Open());
    EXPECT_TRUE(com.Opened());
    const QByteArray request("$UD\x00\x00\x80\x64", 7);
    EXPECT_TRUE(com.SendString(request));
    EXPECT_EQ(pty.receive(7), request);

    QByteArray r;
    com.ReadResponse(r);
    EXPECT_TRUE(r.isEmpty());

    const QByteArray answer("\x00\x05\x6C\x00", 4);
    ASSERT_TRUE(pty.send(answer));
    ASSERT_TRUE(waitUntil([&] { return com.InCount() == 4; }));
    com.ReadResponse(r);
    EXPECT_EQ(r, answer);
    EXPECT_EQ(com.InCount(), 0);
    com.Close();
    EXPECT_FALSE(com.Opened());
}

TEST_F(SerialOnPty, SettingTheSameSpeedOrPortKeepsTheLineAsItIs)
{
    ASSERT_TRUE(com.Open());
    ASSERT_TRUE(pty.send("abc"));
    ASSERT_TRUE(waitUntil([&] { return com.InCount() == 3; }));
    com.setBaud(com.Baud());
    com.setPort(7);
    EXPECT_TRUE(com.Opened());
    EXPECT_EQ(com.InCount(), 3);

    com.setBaud(9600);  // re-opened at the new speed: what waited is discarded
    EXPECT_TRUE(com.Opened());
    EXPECT_EQ(com.Baud(), 9600);
    EXPECT_EQ(com.InCount(), 0);
    ASSERT_TRUE(pty.send("de"));
    ASSERT_TRUE(waitUntil([&] { return com.InCount() == 2; }));

    com.setPort(8);  // no device behind 8: the re-open fails, the user aborts
    EXPECT_FALSE(com.Opened());
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.shown.at(0).startsWith("Error opening COM8: "));
}

TEST_F(SerialOnPty, SpeedChangeOnAClosedPortDoesNotOpenIt)
{
    com.setBaud(19200);
    EXPECT_FALSE(com.Opened());
    EXPECT_EQ(com.Baud(), 19200);
}

TEST_F(SerialOnPty, HoldsAWholeMemoryReadArrivingWhileNothingReads)
{
    ASSERT_TRUE(com.Open());
    constexpr int kBytes = 65535 * 32 + 2;  // 2,097,122
    QByteArray burst(kBytes, '\0');
    for (int i = 0; i < kBytes; ++i)
        burst[i] = char((i * 31) ^ (i >> 8));
    std::thread writer([&] { pty.send(burst); });
    // The event loop runs as during a dialogue's wait; nothing takes the bytes.
    const bool all = waitUntil([&] { return com.InCount() == kBytes; }, 20000);
    writer.join();
    ASSERT_TRUE(all) << com.InCount();
    QByteArray r;
    com.ReadResponse(r);
    EXPECT_EQ(r.size(), kBytes);
    EXPECT_TRUE(r == burst);
}

TEST_F(SerialOnPty, OpenFailureAsksAbortOrRetryUntilThePortOpens)
{
    QTemporaryDir dir;
    const QString link = dir.filePath("station");
    com.setDeviceResolver([&](int) { return QString(link); });
    int asked = 0;
    prompts.answer = [&](const QString&) {
        if (++asked == 2)
            QFile::link(pty.slavePath(), link);  // the cable is plugged in now
        return zel::ComPrompts::Answer::Retry;
    };
    EXPECT_TRUE(com.Open());
    ASSERT_EQ(prompts.shown.size(), 2);
    EXPECT_TRUE(prompts.shown.at(1).startsWith("Error opening COM7: no such device (" + link + ": "));
    com.Close();

    QFile::remove(link);
    prompts.shown.clear();
    com.setShowErrors(false);
    EXPECT_FALSE(com.Open());  // one attempt, no dialog
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(SerialOnPty, PortHeldByAnotherProgramDoesNotOpen)
{
    QSerialPort other;
    other.setPortName(pty.slavePath());
    ASSERT_TRUE(other.open(QIODevice::ReadWrite));
    EXPECT_FALSE(com.Open());
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.shown.at(0).startsWith("Error opening COM7: the port is busy: another program holds it ("));
    other.close();
    EXPECT_TRUE(com.Open());

    // Root may open every device: the text for a user outside the dialout group.
    const QString denied = zel::texts::comPromptText(
        {zel::ComPrompt::Kind::OpenFailed, 3, zel::ComPrompt::Reason::PermissionDenied, "/dev/ttyUSB0: Permission denied"});
    EXPECT_EQ(denied, "Error opening COM3: permission denied (/dev/ttyUSB0: Permission denied). Your user must be in "
                      "the group dialout: sudo adduser $USER dialout, then log out and in again.");
}

TEST_F(SerialOnPty, TerminatorModeWaitsForTheTerminatorAndRefusesANestedRead)
{
    ASSERT_TRUE(com.Open());
    com.setEndOfResponse("\r");
    com.setResponseTime(2000);
    QByteArray nested = "unchanged";
    QTimer::singleShot(20, [&] { com.ReadResponse(nested); });
    QTimer::singleShot(60, [&] { pty.send("OK 12\r tail"); });
    QByteArray r;
    com.ReadResponse(r);
    EXPECT_TRUE(r.startsWith("OK 12\r"));
    EXPECT_TRUE(nested.isEmpty());
    EXPECT_EQ(prompts.shown, QStringList({"Port is in use -- operation aborted"}));
    EXPECT_FALSE(com.InUse());
}

TEST_F(SerialOnPty, TerminatorModeTimeOutAsksAbortOrRetry)
{
    ASSERT_TRUE(com.Open());
    com.setEndOfResponse("\r");
    com.setResponseTime(50);
    int timeouts = 0;
    QObject::connect(&com, &T_QCCom32::OnTimeout, [&](T_QCCom32* sender) {
        EXPECT_EQ(sender, &com);
        ++timeouts;
    });
    int asked = 0;
    prompts.answer = [&](const QString&) {
        return ++asked < 2 ? zel::ComPrompts::Answer::Retry : zel::ComPrompts::Answer::Abort;
    };
    pty.send("part");
    QByteArray r;
    com.ReadResponse(r);
    EXPECT_EQ(r, "part");  // Abort keeps what arrived
    EXPECT_EQ(prompts.shown, QStringList({"Timeout waiting for response.", "Timeout waiting for response."}));
    EXPECT_EQ(timeouts, 2);
    EXPECT_TRUE(com.TimedOut());
}

TEST(SerialDevices, PortNumbersNameThePlatformsDevices)
{
#ifdef Q_OS_WIN
    EXPECT_EQ(T_QCCom32::defaultDevicePath(12), "\\\\.\\COM12");
#else
    EXPECT_EQ(T_QCCom32::defaultDevicePath(12), "/dev/ttyS11");
#endif
    T_QCCom32 com;
    EXPECT_EQ(com.Port(), 1);
    EXPECT_EQ(com.Baud(), 115200);
    EXPECT_EQ(com.ResponseTime(), 1000);
    EXPECT_TRUE(com.ShowErrors());
}
