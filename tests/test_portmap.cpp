#include "serial/PseudoTerminal.h"

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
    zel::PseudoTerminal a, b, c;
};

} // namespace

TEST_F(PortNumbers, OpenableDevicesGetTheLowestFreeNumbersAndKeepThem)
{
    {
        QSettings ini(iniPath(), QSettings::IniFormat);
        ini.setValue("Ports/COM2", "/dev/hand-written-but-absent");
        const zel::PortMap map(ini, {a.slavePath(), "/dev/ttyS-none", b.slavePath()}, &zel::PortMap::probe);
        EXPECT_EQ(texts(map), QStringList({"COM1", "COM3"}));
        EXPECT_EQ(map.deviceOf(1), a.slavePath());
        EXPECT_EQ(map.deviceOf(3), b.slavePath());
        EXPECT_EQ(map.openable().at(1).toolTip(), b.slavePath());
    }
    // Next run: the devices are found in another order, one more is plugged in.
    QSettings ini(iniPath(), QSettings::IniFormat);
    const zel::PortMap map(ini, {c.slavePath(), b.slavePath(), a.slavePath()}, &zel::PortMap::probe);
    EXPECT_EQ(map.deviceOf(1), a.slavePath());
    EXPECT_EQ(map.deviceOf(3), b.slavePath());
    EXPECT_EQ(map.deviceOf(4), c.slavePath());
    EXPECT_EQ(texts(map), QStringList({"COM1", "COM3", "COM4"}));
    EXPECT_EQ(ini.value("Ports/COM4").toString(), c.slavePath());
}

TEST_F(PortNumbers, HandWrittenLinksAreOfferedAndNotNumberedTwice)
{
    const QString link = dir.filePath("station");
    ASSERT_TRUE(QFile::link(a.slavePath(), link));
    QSettings ini(iniPath(), QSettings::IniFormat);
    ini.setValue("Ports/COM9", link);
    ini.setValue("PortNotes/COM9", "simulated station");
    const zel::PortMap map(ini, {a.slavePath()}, &zel::PortMap::probe);
    EXPECT_EQ(texts(map), QStringList({"COM9"}));
    EXPECT_EQ(map.openable().at(0).toolTip(), link + " (simulated station)");
}

TEST_F(PortNumbers, ADeviceHeldByAnotherProgramIsNotListed)
{
    QSerialPort other;
    other.setPortName(b.slavePath());
    ASSERT_TRUE(other.open(QIODevice::ReadWrite));
    QSettings ini(iniPath(), QSettings::IniFormat);
    ini.setValue("Ports/COM1", a.slavePath());
    ini.setValue("Ports/COM2", b.slavePath());
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
    const zel::PortMap map(ini, {a.slavePath()}, &zel::PortMap::probe);
    EXPECT_EQ(texts(map), QStringList({"COM1"}));
}

TEST_F(PortNumbers, AtMostThirtyTwoNumbers)
{
    QSettings ini(iniPath(), QSettings::IniFormat);
    for (int n = 1; n <= 32; ++n)
        ini.setValue(QStringLiteral("Ports/COM%1").arg(n), QStringLiteral("/dev/absent%1").arg(n));
    const zel::PortMap map(ini, {a.slavePath()}, &zel::PortMap::probe);
    EXPECT_TRUE(map.openable().isEmpty());
}
