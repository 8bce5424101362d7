#include "FakeDialogs.h"
#include "StationWindow.h"
#include "WindowInDir.h"

#include "app/SequenceDialog.h"
#include "app/ZelMain.h"
#include "data/DataFile.h"
#include "serial/QCCom32.h"
#include "zeltool/Commands.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QElapsedTimer>
#include <QListWidget>
#include <QRegularExpression>
#include <QStatusBar>
#include <QThread>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QAction>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// Waits until the simulated station has written a file of its own.
QByteArray fileOfStation(const QString& path)
{
    QElapsedTimer clock;
    clock.start();
    while (!QFile::exists(path) && clock.elapsed() < 3000)
        QThread::msleep(10);
    return QFile::exists(path) ? zel::readWholeFile(path) : QByteArray("<none>");
}

// The simulated station as COM5 of the window, storing what it receives.
class UploadEndToEnd : public StationWindow {
protected:
    void start(const QStringList& extra = {})
    {
        startStation(QStringList{"--count", "1", "--table-out", tableOut(), "--firmware-out", firmwareOut()} + extra);
    }
    // The station handles what it receives in order: once a reading has
    // been answered, anything sent before it has been stored.
    void expectNothingStored()
    {
        form->ToolButton2Click();
        ASSERT_EQ(listLines(*form).value(0), "Считано 50 байт");
        EXPECT_FALSE(QFile::exists(tableOut()));
        EXPECT_FALSE(QFile::exists(firmwareOut()));
    }
    QString tableOut() const { return dir.filePath("stored-table.txt"); }
    QString firmwareOut() const { return dir.filePath("stored-firmware.bin"); }
    QString write(const char* name, const QByteArray& bytes)
    {
        QString path = dir.filePath(name);
        zel::writeWholeFile(path, bytes);
        return path;
    }
};

} // namespace

TEST_F(UploadEndToEnd, ElectrodeTableWrittenOnLinuxReachesTheStationWhole)
{
    start();
    dialogs.fileAnswers << write("profile01.txt", "-5 12 3 4\n255 -255 127 0 end of line\n0 1 2 3\n\n");
    form->ToolButton10Click();
    EXPECT_EQ(listLines(*form), QStringList({"Таблица записана успешно! Всего 3"}));
    EXPECT_EQ(dialogs.fileDialogs.at(0).filter, "File A,B,M,N|*.txt|All|*.*");
    EXPECT_EQ(fileOfStation(tableOut()), "-5 12 3 4\r\n255 -255 127 0\r\n0 1 2 3\r\n");
    EXPECT_FALSE(form->station().QCCom->Opened());
}

TEST_F(UploadEndToEnd, BadTableIsRefusedBeforeThePortOpens)
{
    start();
    form->ListBox1->addItem("earlier line");
    dialogs.fileAnswers << write("bad.txt", "1 2 3 4\n1 2 300 4\n");
    form->ToolButton10Click();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages.at(0).kind, MessageKind::Error);
    EXPECT_EQ(dialogs.messages.at(0).text, "Строка 2: M = 300 вне пределов от 0 до 127.");
    EXPECT_EQ(form->ListBox1->count(), 0);

    dialogs.fileAnswers << QString();  // cancelled: the list keeps its content
    form->ListBox1->addItem("kept");
    form->ToolButton10Click();
    EXPECT_EQ(listLines(*form), QStringList({"kept"}));
    expectNothingStored();
}

TEST_F(UploadEndToEnd, FirmwareIsConfirmedTwiceSentAndCommitted)
{
    start();
    const QByteArray image = QByteArray(4001, '\x5A') + "ZEL-TERRAV" + QByteArray(100, '\x01');  // odd length
    dialogs.yesNoAnswers << true << true;
    dialogs.fileAnswers << write("fw.bin", image);
    form->ToolButton12Click();
    const QStringList lines = listLines(*form);
    ASSERT_EQ(lines.size(), 2) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines.at(0).endsWith(" Запись программы в EEPROM"));
    EXPECT_TRUE(lines.at(1).endsWith(" Программа загружена"));
    EXPECT_EQ(dialogs.messages.at(0).text, "Вы уверены? Будьте внимательны!");
    EXPECT_EQ(dialogs.messages.at(0).kind, MessageKind::Question);
    EXPECT_EQ(dialogs.messages.at(1).text, "У Вас выбрана прошивка для модуля ZEL-TERRAVOX\rПродолжить?");
    EXPECT_EQ(dialogs.messages.at(1).kind, MessageKind::Warning);
    EXPECT_EQ(dialogs.fileDialogs.at(0).filter, "Файл прошивки (*.bin)|*.bin");
    EXPECT_EQ(fileOfStation(firmwareOut()), image + QByteArray(1, '\0'));
}

TEST_F(UploadEndToEnd, FirmwareRefusalsSendNothing)
{
    start();
    form->ListBox1->addItem("old");
    dialogs.yesNoAnswers << false;
    form->ToolButton12Click();  // "No" to the first question
    EXPECT_EQ(form->ListBox1->count(), 0);
    EXPECT_TRUE(dialogs.fileDialogs.isEmpty());

    dialogs.yesNoAnswers << true;
    dialogs.fileAnswers << write("notes.bin", "zel-terrav is not it");
    form->ToolButton12Click();
    EXPECT_EQ(dialogs.messages.last().text, "Этот файл не является программой для прибора ZEL-TERRAVOX");
    EXPECT_EQ(dialogs.messages.last().kind, MessageKind::Plain);

    dialogs.yesNoAnswers << true;
    dialogs.fileAnswers << write("huge.bin", QByteArray(65535, 'x') + "ZEL-TERRAV");
    form->ToolButton12Click();
    EXPECT_EQ(dialogs.messages.last().kind, MessageKind::Error);
    EXPECT_TRUE(dialogs.messages.last().text.startsWith("Файл прошивки слишком велик: 65546 байт"));

    dialogs.yesNoAnswers << true << false;  // "No" to the module question
    dialogs.fileAnswers << write("fw.bin", "ZEL-TERRAV");
    form->ToolButton12Click();
    EXPECT_EQ(form->ListBox1->count(), 0);

    dialogs.yesNoAnswers << true;
    dialogs.fileAnswers << dir.filePath("missing.bin");
    form->ToolButton12Click();
    EXPECT_TRUE(dialogs.messages.last().text.startsWith("Cannot open file"));

    expectNothingStored();
    EXPECT_FALSE(form->station().QCCom->Opened());
}

TEST_F(UploadEndToEnd, ZeltoolUploadsBothFiles)
{
    start();
    const QString table = write("t.txt", "1 2 3 4\r\n-1 -2 5 6\r\n");
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    std::FILE* in = std::tmpfile();
    EXPECT_EQ(zeltool::run({"protocol", "--port", dir.filePath("station"), table}, out, err, in), 0);
    EXPECT_EQ(fileOfStation(tableOut()), "1 2 3 4\r\n-1 -2 5 6\r\n");

    const QString fw = write("fw.bin", "ZEL-TERRAV firmware");
    std::fputs("y\ny\n", in);
    std::rewind(in);
    EXPECT_EQ(zeltool::run({"firmware", "--port", dir.filePath("station"), fw}, out, err, in), 0);
    EXPECT_EQ(fileOfStation(firmwareOut()), QByteArray("ZEL-TERRAV firmware\0", 20));
    std::fclose(out);
    std::fclose(err);
    std::fclose(in);
}

// A station whose UART takes the program's bytes at 9600 bit/s: the answer
// time of each upload starts only once its frame has left the line, and the
// window goes on processing events, showing how far the frame has gone.
TEST_F(UploadEndToEnd, BothUploadsAt9600BitPerSecondToAStationThatTakesBytesAtTheLineSpeed)
{
    start({"--paced-input"});
    form->ComboBox2->setCurrentIndex(0);
    form->ComboBox2Change();
    ASSERT_EQ(form->station().QCCom->Baud(), 9600);

    QByteArray table;
    for (int i = 0; i < 600; ++i)
        table += QByteArray::number(i % 200) + " 1 2 3\r\n";
    dialogs.fileAnswers << write("long.txt", table);
    form->ToolButton10Click();
    EXPECT_EQ(listLines(*form), QStringList({"Таблица записана успешно! Всего 600"}));

    const QByteArray image = "ZEL-TERRAV" + QByteArray(5000, '\x33');  // 5.2 s on the line
    dialogs.yesNoAnswers << true << true;
    dialogs.fileAnswers << write("fw5k.bin", image);
    QString progress;
    bool loadRefused = false;
    QTimer::singleShot(2000, [&] {
        progress = form->StatusBar1->currentMessage();
        loadRefused = !form->ToolButton1->isEnabled() && !form->LoadFile1->isEnabled();
    });
    form->ToolButton12Click();
    const QStringList lines = listLines(*form);
    ASSERT_EQ(lines.size(), 2) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines.at(1).endsWith(" Программа загружена"));
    EXPECT_TRUE(QRegularExpression("^Передано \\d+ из 50\\d\\d байт$").match(progress).hasMatch()) << progress.toStdString();
    EXPECT_TRUE(loadRefused);
    EXPECT_EQ(fileOfStation(firmwareOut()), image);
}

// A table of 6,000 entries (24 KB) is more than the system's queue holds for
// a station that takes bytes at the line's pace: writes find the queue full
// for a while, which is no hang-up, and the table arrives whole.
TEST_F(UploadEndToEnd, TableLargerThanTheSystemQueueReachesAStationThatTakesBytesAtTheLineSpeed)
{
    start({"--paced-input"});
    QByteArray table;
    for (int i = 0; i < 6000; ++i)
        table += QByteArray::number(i % 200 - 100) + " 1 " + QByteArray::number(i % 128) + " 3\r\n";
    dialogs.fileAnswers << write("big.txt", table);
    form->ToolButton10Click();
    EXPECT_EQ(listLines(*form), QStringList({"Таблица записана успешно! Всего 6000"}));
    EXPECT_EQ(fileOfStation(tableOut()), table);
}

// A modal window opened once the table has left the line, while the station
// takes its time over the answer, and left open past the answer time: the
// time it was open does not count, and the table is stored.
TEST_F(UploadEndToEnd, ModalWindowOpenDuringAnUploadDoesNotFailIt)
{
    start({"--paced-input", "--upload-delay-ms", "400"});
    form->ComboBox2->setCurrentIndex(0);
    form->ComboBox2Change();
    QByteArray table;
    for (int i = 0; i < 150; ++i)
        table += QByteArray::number(i % 100) + " 1 2 3\r\n";
    dialogs.fileAnswers << write("table.txt", table);
    form->show();
    bool held = false;
    const QRegularExpression allSent("^Передано (\\d+) из \\1 байт$");
    onceWhen(form.get(), [&] { return allSent.match(form->StatusBar1->currentMessage()).hasMatch(); }, [&] {
        holdModal(form.get(), 1500);
        held = true;
    });
    form->ToolButton10Click();
    EXPECT_TRUE(held);
    EXPECT_EQ(listLines(*form), QStringList({"Таблица записана успешно! Всего 150"}));
}

// A 48-electrode dipole-dipole table made in the generator, saved, and
// uploaded to the station, which stores it whole.
TEST_F(UploadEndToEnd, GeneratedTableIsSavedAndUploaded)
{
    start();
    const QString saved = dir.filePath("DD48.txt");
    dialogs.fileAnswers << saved;
    dialogs.yesNoAnswers << true;
    QString count;
    QStringList results;
    form->station().setSequenceDialogShown([&](TSequenceDialog& d) {
        // A count typed out of range takes the table away until it is valid.
        auto* typed = d.ElectrodesEdit->findChild<QLineEdit*>();
        typed->setText("2");
        EXPECT_FALSE(d.SaveButton->isEnabled() || d.UploadButton->isEnabled());
        EXPECT_TRUE(d.Preview->toPlainText().isEmpty());
        EXPECT_EQ(d.CountLabel->text(), "Электродов на линии: нужно целое число от 4 до 383.");
        d.ArrayBox->setCurrentIndex(2);
        d.ElectrodesEdit->setValue(48);
        d.AMaxEdit->setValue(2);
        d.NMaxEdit->setValue(6);
        count = d.CountLabel->text();
        EXPECT_TRUE(d.UploadButton->isEnabled());
        EXPECT_TRUE(d.SketchLabel->text().startsWith("A───B"));
        d.SaveButton->click();
        results << d.ResultLabel->text();
        d.UploadButton->click();
        results << d.ResultLabel->text();
        QTimer::singleShot(0, &d, &QDialog::reject);
    });
    form->Generator1->trigger();
    const auto expected = zel::electrodeSequence({zel::ArrayKind::DipoleDipole, 48, 1, 1, 2, 6, 1});
    EXPECT_EQ(count, QStringLiteral("Записей в таблице: %1").arg(expected.size()));
    EXPECT_EQ(zel::readWholeFile(saved), zel::electrodeTableText(expected));
    EXPECT_EQ(listLines(*form), QStringList({QStringLiteral("Таблица записана успешно! Всего %1").arg(expected.size())}));
    EXPECT_EQ(results, QStringList({"Таблица записана в файл " + QDir::toNativeSeparators(saved), listLines(*form).at(0)}));
    EXPECT_EQ(fileOfStation(tableOut()), zel::electrodeTableText(expected));
}

// The generator's upload stops from the generator: Escape stops it (the
// generator stays open, showing what came of it), a second Escape closes it,
// and the generator opens again with the fields it was closed with.
TEST_F(UploadEndToEnd, GeneratorUploadStopsWithEscapeAndItsFieldsAreKept)
{
    start({"--paced-input"});
    form->ComboBox2->setCurrentIndex(0);
    form->ComboBox2Change();
    dialogs.yesNoAnswers << true;
    bool stopShown = false, openAfterStop = false;
    QString result;
    form->station().setSequenceDialogShown([&](TSequenceDialog& d) {
        d.ElectrodesEdit->setValue(64);
        d.NMaxEdit->setValue(8);
        QTimer::singleShot(700, &d, [&] {
            stopShown = d.StopButton->isVisible();
            QTest::keyClick(&d, Qt::Key_Escape);
        });
        d.show();
        d.UploadButton->click();
        openAfterStop = d.isVisible();
        result = d.ResultLabel->text();
        QTimer::singleShot(0, &d, [&d] { QTest::keyClick(&d, Qt::Key_Escape); });
    });
    QElapsedTimer clock;
    clock.start();
    form->Generator1->trigger();
    EXPECT_LT(clock.elapsed(), 60000);  // only an Escape not heard reaches this
    EXPECT_TRUE(stopShown);
    EXPECT_TRUE(openAfterStop);
    EXPECT_EQ(result, "Остановлено пользователем");
    EXPECT_FALSE(form->station().QCCom->Opened());

    int electrodes = 0, nMax = 0;
    form->station().setSequenceDialogShown([&](TSequenceDialog& d) {
        electrodes = d.ElectrodesEdit->value();
        nMax = d.NMaxEdit->value();
        QTimer::singleShot(0, &d, &QDialog::reject);
    });
    form->Generator1->trigger();
    EXPECT_EQ(electrodes, 64);
    EXPECT_EQ(nMax, 8);
}
