#include "FakeDialogs.h"
#include "serial/PseudoTerminal.h"
#include "TestDumps.h"
#include "WindowInDir.h"

#include "app/ZelMain.h"
#include "serial/QCCom32.h"

#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <QTimer>
#include <QListWidget>
#include <QSerialPort>
#include <QSettings>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class PortChoice : public ::testing::Test, protected WindowInDir {
protected:
    QByteArray portsSection() const
    {
        return "[Ports]\nCOM1=" + com1.slavePath().toLocal8Bit() + "\nCOM3=" + com3.slavePath().toLocal8Bit()
            + "\nCOM4=" + com4.slavePath().toLocal8Bit() + "\n";
    }
    void start() { form = std::make_unique<TForm1>(&dialogs, QStringList()); }
    QStringList entries() const
    {
        QStringList t;
        for (int i = 0; i < form->ComboBox1->count(); ++i)
            t << form->ComboBox1->itemText(i);
        return t;
    }
    int storedIndex() const
    {
        return QSettings(dir.filePath("Zel-Terravox.ini"), QSettings::IniFormat).value("Path/COM", -1).toInt();
    }

    zel::PseudoTerminal com1, com3, com4;
    FakeDialogs dialogs;
    std::unique_ptr<TForm1> form;
};

} // namespace

TEST_F(PortChoice, WithoutAStoredChoiceTheLastPortIsSelectedAndStored)
{
    writeIni(portsSection());
    start();
    EXPECT_EQ(entries(), QStringList({"COM1", "COM3", "COM4"}));
    EXPECT_EQ(form->ComboBox1->currentText(), "COM4");
    EXPECT_EQ(form->station().QCCom->Port(), 4);
    EXPECT_EQ(storedIndex(), 2);
    EXPECT_EQ(form->ComboBox1->itemData(2, Qt::ToolTipRole).toString(), com4.slavePath());
    EXPECT_EQ(form->ComboBox2->currentText(), "115200");
    EXPECT_EQ(form->station().QCCom->Baud(), 115200);
    EXPECT_FALSE(form->station().QCCom->Opened());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(PortChoice, StoredIndexIsRestored)
{
    writeIni(portsSection() + "[Path]\nCOM=0\n");
    start();
    EXPECT_EQ(form->ComboBox1->currentText(), "COM1");
    EXPECT_EQ(form->station().QCCom->Port(), 1);
}

TEST_F(PortChoice, StoredIndexThatNamesNoEntryOrGarbageFallsBackToTheLastPort)
{
    for (const char* value : {"7", "-1", "abc", ""}) {
        writeIni(portsSection() + "[Path]\nCOM=" + value + "\n");
        start();
        EXPECT_EQ(form->ComboBox1->currentText(), "COM4") << value;
        EXPECT_EQ(storedIndex(), 2) << value;
        form.reset();
    }
}

TEST_F(PortChoice, PortHeldByAnotherProgramIsMissing)
{
    QSerialPort other;
    other.setPortName(com3.slavePath());
    ASSERT_TRUE(other.open(QIODevice::ReadWrite));
    writeIni(portsSection());
    start();
    EXPECT_EQ(entries(), QStringList({"COM1", "COM4"}));
}

TEST_F(PortChoice, ChoosingPortAndSpeedSetsTheComponentWithoutOpening)
{
    writeIni(portsSection());
    start();
    form->ComboBox1->setCurrentIndex(1);
    form->ComboBox1Change();
    EXPECT_EQ(form->station().QCCom->Port(), 3);
    EXPECT_EQ(storedIndex(), 1);
    form->ComboBox2->setCurrentIndex(0);
    form->ComboBox2Change();
    EXPECT_EQ(form->station().QCCom->Baud(), 9600);
    EXPECT_FALSE(form->station().QCCom->Opened());
    EXPECT_TRUE(com3.receive(1, 50).isEmpty());
}

TEST_F(PortChoice, ClosingSendsTheEndOfDialogueOnlyWhenThePortIsOpen)
{
    writeIni(portsSection());
    start();
    form->close();
    EXPECT_TRUE(com4.receive(1, 100).isEmpty());
    form.reset();

    start();
    ASSERT_TRUE(form->station().QCCom->Open());
    form->close();
    EXPECT_EQ(com4.receive(3), "$GB");
    EXPECT_FALSE(form->station().QCCom->Opened());
}

TEST_F(PortChoice, WithoutAFreePortReadingIsDisabledButFilesStillWork)
{
    writeIni("[Path]\nCOM=1\n[Ports]\nCOM1=" + dir.filePath("unplugged").toLocal8Bit() + "\n");
    start();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages.at(0).kind, MessageKind::Plain);
    const QStringList paragraphs = dialogs.messages.at(0).text.split("\n\n");
    EXPECT_EQ(paragraphs.at(0), "There are no free ports COM");
    EXPECT_TRUE(paragraphs.value(1).contains("dialout") && paragraphs.value(1).contains("работает и без порта"));
    EXPECT_FALSE(form->ToolButton2->isEnabled());
    EXPECT_FALSE(form->ComboBox1->isEnabled());
    EXPECT_FALSE(form->ComboBox2->isEnabled());
    EXPECT_TRUE(form->Read1->isEnabled());
    EXPECT_EQ(form->station().QCCom->Port(), 1);
    EXPECT_EQ(form->station().QCCom->Baud(), 9600);

    dialogs.fileAnswers << zeltest::dataFile("sample.zel");
    form->ToolButton1Click();
    EXPECT_EQ(form->ListBox1->count(), 4);
    EXPECT_TRUE(form->ToolButton6->isEnabled());

    // The menu item still reads, on COM1: its device does not open, the user aborts.
    form->ToolButton2Click();
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_TRUE(dialogs.messages.at(1).text.startsWith("Error opening COM1: "));
    EXPECT_EQ(form->ListBox1->count(), 1);
    EXPECT_EQ(form->ListBox1->item(0)->text(), "Невозможно открыть порт");
    EXPECT_FALSE(form->ToolButton6->isEnabled());
}

// Escape in the Abort/Retry box of a port that does not open gives up, so
// that the box cannot keep coming back.
TEST(QtDialogs, EscapeAnswersAbortRetryWithAbort)
{
    QtUserDialogs dialogs;
    QTimer escape;
    QObject::connect(&escape, &QTimer::timeout, [] {
        if (QWidget* box = QApplication::activeModalWidget())
            QTest::keyClick(box, Qt::Key_Escape);
    });
    escape.start(20);
    EXPECT_FALSE(dialogs.askRetry(nullptr, "ZEL-TERRAVOXNew", "Error opening COM5: "));
}

// A settings file that cannot be written is said once, not ignored; the
// choices still take effect for the run.
TEST(SettingsFile, ThatCannotBeWrittenIsSaidOnce)
{
    WindowInDir place;
    ASSERT_TRUE(QDir(place.dir.path()).mkdir("Zel-Terravox.ini"));  // not writable as a file, even by root
    FakeDialogs dialogs;
    TForm1 form(&dialogs, QStringList());
    form.SetLanguage(zel::texts::Language::English);
    form.SetLanguage(zel::texts::Language::Russian);
    ASSERT_EQ(dialogs.messages.size(), 2);  // "There are no free ports COM", then this
    EXPECT_EQ(dialogs.messages.at(1).kind, MessageKind::Warning);
    EXPECT_TRUE(dialogs.messages.at(1).text.contains(QDir::toNativeSeparators(place.dir.filePath("Zel-Terravox.ini"))));
    EXPECT_TRUE(form.Russian1->isChecked());
}
