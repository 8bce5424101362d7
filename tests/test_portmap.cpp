#include "Pty.h"

#include "serial/PortMap.h"

#include <QFile>
#include <QSerialPort>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QStringList texts(const zel::PortMap& map)
{
    QStringList t;
    for (const auto& e : map.openable())
        t << e.text();
    return t;
}

class PortNumbers : public ::testing::Test {
protected:
    QString iniPath() const { return dir.filePath("Zel-Terravox.ini"); }
    QTemporaryDir dir;
    Pty a, b, c;
};

} // namespace

TEST_F(PortNumbers, OpenableDevicesGetTheLowestFreeNumbersAndKeepThem)
{
    {
        QSettings ini(iniPath(), QSettings::IniFormat);
        ini.setValue("Ports/COM2", "/dev/hand-written-but-absent");
        const zel::PortMap map(ini, {a.path(), "/dev/ttyS-none", b.path()}, &zel::PortMap::probe);
        EXPECT_EQ(texts(map), QStringList({"COM1", "COM3"}));
        EXPECT_EQ(map.deviceOf(1), a.path());
        EXPECT_EQ(map.deviceOf(3), b.path());
        EXPECT_EQ(map.openable().at(1).toolTip(), b.path());
    }
    // Next run: the devices are found in another order, one more is plugged in.
    QSettings ini(iniPath(), QSettings::IniFormat);
    const zel::PortMap map(ini, {c.path(), b.path(), a.path()}, &zel::PortMap::probe);
    EXPECT_EQ(map.deviceOf(1), a.path());
    EXPECT_EQ(map.deviceOf(3), b.path());
    EXPECT_EQ(map.deviceOf(4), c.path());
    EXPECT_EQ(texts(map), QStringList({"COM1", "COM3", "COM4"}));
    EXPECT_EQ(ini.value("Ports/COM4").toString(), c.path());
}

TEST_F(PortNumbers, HandWrittenLinksAreOfferedAndNotNumberedTwice)
{
    const QString link = dir.filePath("station");
    ASSERT_TRUE(QFile::link(a.path(), link));
    QSettings ini(iniPath(), QSettings::IniFormat);
    ini.setValue("Ports/COM9", link);
    ini.setValue("PortNotes/COM9", "simulated station");
    const zel::PortMap map(ini, {a.path()}, &zel::PortMap::probe);
    EXPECT_EQ(texts(map), QStringList({"COM9"}));
    EXPECT_EQ(map.openable().at(0).toolTip(), link + " (simulated station)");
}

TEST_F(PortNumbers, ADeviceHeldByAnotherProgramIsNotListed)
{
    QSerialPort other;
    other.setPortName(b.path());
    ASSERT_TRUE(other.open(QIODevice::ReadWrite));
    QSettings ini(iniPath(), QSettings::IniFormat);
    ini.setValue("Ports/COM1", a.path());
    ini.setValue("Ports/COM2", b.path());
    const zel::PortMap map(ini, {}, &zel::PortMap::probe);
    EXPECT_EQ(texts(map), QStringList({"COM1"}));
}

TEST_F(PortNumbers, GarbageInTheSectionIsPassedOver)
{
    QFile f(iniPath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Ports]\nCOM0=/x\nCOM33=/y\nfoo=bar\nCOMx=/z\nCOM5=\n=\n[[[\n\x01\x02\n");
    f.close();
    QSettings ini(iniPath(), QSettings::IniFormat);
    const zel::PortMap map(ini, {a.path()}, &zel::PortMap::probe);
    EXPECT_EQ(texts(map), QStringList({"COM1"}));
}

TEST_F(PortNumbers, AtMostThirtyTwoNumbers)
{
    QSettings ini(iniPath(), QSettings::IniFormat);
    for (int n = 1; n <= 32; ++n)
        ini.setValue(QStringLiteral("Ports/COM%1").arg(n), QStringLiteral("/dev/absent%1").arg(n));
    const zel::PortMap map(ini, {a.path()}, &zel::PortMap::probe);
    EXPECT_TRUE(map.openable().isEmpty());
}
