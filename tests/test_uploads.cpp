#include "VirtualStation.h"

#include "data/ZelError.h"
#include "protocol/ElectrodeTable.h"
#include "protocol/Firmware.h"

#include "texts/Texts.h"

#include <gtest/gtest.h>

using zel::DialogueStatus;
using zel::ElectrodeEntry;

namespace {

std::vector<std::array<int, 4>> values(const std::vector<ElectrodeEntry>& entries)
{
    std::vector<std::array<int, 4>> v;
    v.reserve(entries.size());
    for (const auto& e : entries)
        v.push_back({e.a, e.b, e.m, e.n});
    return v;
}

QString parseError(const QByteArray& file)
{
    try {
        zel::parseElectrodeTable(file);
    } catch (const zel::ZelError& e) {
        return zel::texts::errorText(e);
    }
    return {};
}

const QByteArray kWake(1, '\x07');
const QByteArray kCode1("\x05\x6C", 2);

struct Upload {
    zel::sim::StationModel model;
    VirtualStation line;
    RecordingReport report;
    explicit Upload(const zel::sim::Faults& faults = {}, int baud = 115200)
        : model(zel::sim::makeHeader(0), {}, faults)
        , line(model, baud)
    {
    }
};

} // namespace

TEST(ElectrodeTableFile, NumbersSeparatorsAndTheRestOfTheLine)
{
    const QByteArray file = "1 2 3 4 comment 9 9\r\n"
                            "\t-5,\r\n"  // a comma is part of the number's text
                            ;
    EXPECT_EQ(parseError(file), "Invalid numeric input \"-5,\" in line 2");

    const auto entries = zel::parseElectrodeTable("1 2 3 4 comment 9 9\r\n\r\n\r\n"
                                                  "  -5\t12\r\n3\r\n4 rest\r\n"
                                                  "$1F x10 0x7f 0X0\r\n"
                                                  "+7 -0 X7F $7e\r\n");
    EXPECT_EQ(values(entries),
              (std::vector<std::array<int, 4>>{{1, 2, 3, 4}, {-5, 12, 3, 4}, {31, 16, 127, 0}, {7, 0, 127, 126}}));
    EXPECT_EQ(entries.at(1).line, 4);
    EXPECT_EQ(entries.at(2).line, 7);
}

TEST(ElectrodeTableFile, LinuxLineEndsAndTrailingBlanksGiveEveryEntryAndNoMore)
{
    EXPECT_EQ(values(zel::parseElectrodeTable("1 2 3 4\n5 6 7 8 a note\n9 10 11 12\n\n  \n")),
              (std::vector<std::array<int, 4>>{{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}}));
    EXPECT_TRUE(zel::parseElectrodeTable("").empty());
    EXPECT_TRUE(zel::parseElectrodeTable(" \r\n\t\r\n").empty());
    // A Ctrl-Z ends the table.
    EXPECT_EQ(zel::parseElectrodeTable("1 2 3 4\r\n\x1A" "5 6 7 8\r\n").size(), 1u);
    EXPECT_EQ(zel::parseElectrodeTable("1 2 3 4 \x1A 9").size(), 1u);
}

TEST(ElectrodeTableFile, EntryCutShortIsRefusedNamingItsLine)
{
    EXPECT_EQ(parseError("1 2 3 4\r\n5 6\r\n"), "Строка 2: запись неполная, нужны четыре числа A, B, M, N");
    EXPECT_EQ(parseError("1 2 3\x1A 4"), "Строка 1: запись неполная, нужны четыре числа A, B, M, N");
}

TEST(ElectrodeTableFile, ValuesOutsideTheirRangesAndBadNumbersAreRefused)
{
    EXPECT_EQ(parseError("1 2 3 4\n-256 0 0 0\n"), "Строка 2: A = -256 вне пределов от -255 до 255");
    EXPECT_EQ(parseError("0 256 0 0"), "Строка 1: B = 256 вне пределов от -255 до 255");
    EXPECT_EQ(parseError("0 0 128 0"), "Строка 1: M = 128 вне пределов от 0 до 127");
    EXPECT_EQ(parseError("0 0 0 -1"), "Строка 1: N = -1 вне пределов от 0 до 127");
    EXPECT_EQ(parseError("0 0 0 2147483648"), "Invalid numeric input \"2147483648\" in line 1");
    EXPECT_EQ(parseError("0 0 0 $123456789"), "Invalid numeric input \"$123456789\" in line 1");
    EXPECT_EQ(parseError("0 0 0 0x"), "Invalid numeric input \"0x\" in line 1");
    EXPECT_EQ(parseError("0 0 0 -"), "Invalid numeric input \"-\" in line 1");
    EXPECT_EQ(parseError("0 0 0 $FFFFFFFF"), "Строка 1: N = -1 вне пределов от 0 до 127");
    // A run of more than 32 bytes is split: its rest is the next number's text.
    EXPECT_EQ(parseError(QByteArray(33, '1') + " 0 0 0"),
              "Invalid numeric input \"" + QString(32, '1') + "\" in line 1");
}

TEST(ElectrodeTableFile, AtMost32765Entries)
{
    QByteArray file;
    for (int i = 0; i < 32765; ++i)
        file += "1 2 3 4\n";
    EXPECT_EQ(zel::parseElectrodeTable(file).size(), 32765u);
    EXPECT_EQ(parseError(file + "5 6 7 8\n"), "Строка 32766: в таблице больше 32765 записей");
}

TEST(ElectrodeFrame, WordsNameFrameAndChecksum)
{
    EXPECT_EQ(zel::electrodeWord(-5, 3), 0x0705);
    EXPECT_EQ(zel::electrodeWord(12, 4), 0x080C);
    EXPECT_EQ(zel::electrodeWord(255, 127), 0xFEFF);
    EXPECT_EQ(zel::electrodeWord(-1, 0), 0x0101);  // sign and magnitude, not two's complement
    EXPECT_EQ(zel::protocolName("/data/a.txt"), "a.txt   ");
    EXPECT_EQ(zel::protocolName("/data/profile01.txt"), "profile0");
    EXPECT_EQ(zel::protocolName("C:/data/Профиль.txt"), "\xCF\xF0\xEE\xF4\xE8\xEB\xFC.");

    const auto words = zel::electrodeWords(zel::parseElectrodeTable("-5 12 3 4\n"));
    ASSERT_EQ(words, (std::vector<std::uint16_t>{0x0705, 0x080C}));
    const QByteArray name = "a.txt   ";
    EXPECT_EQ(zel::electrodeFrame(name, words), QByteArray("$DP\x18\x00\x00\x06" "a.txt   \x07\x05\x08\x0C", 19));
    EXPECT_EQ(zel::electrodeFrame(name, {}), QByteArray("$DP\x18\x00\x00\x04" "a.txt   ", 15));
    const auto nameSum = std::uint16_t((0x612E + 0x7478 + 0x7420 + 0x2020) & 0xFFFF);
    EXPECT_EQ(zel::electrodeChecksum(name, words), std::uint16_t(nameSum + 0x0705 + 0x080C));
}

TEST(ElectrodeUpload, FrameGoesOutByteByByteAndIsConfirmed)
{
    Upload u;
    const auto words = zel::electrodeWords(zel::parseElectrodeTable("-5 12 3 4\n1 2 3 4\n"));
    EXPECT_EQ(zel::uploadElectrodeTable(u.line, u.line, u.report, "a.txt   ", words), DialogueStatus::Done);
    const QByteArrayList sent = u.line.sentBytes();
    ASSERT_EQ(sent.size(), 2 + 1 + 8 + 8 + 1);
    EXPECT_EQ(sent.at(0), kWake);
    EXPECT_EQ(sent.at(2), QByteArray("$DP\x18\x00\x00\x08", 7));
    for (int i = 3; i < 19; ++i)
        EXPECT_EQ(sent.at(i).size(), 1) << i;
    EXPECT_EQ(sent.at(11) + sent.at(12), QByteArray("\x07\x05", 2));
    EXPECT_EQ(sent.last(), "$A5EB");
    EXPECT_EQ(u.report.lines, QStringList({"Таблица записана успешно! Всего 2"}));
    EXPECT_EQ(u.model.storedTable(), QByteArray("a.txt   \x07\x05\x08\x0C\x06\x01\x08\x02", 16));
    EXPECT_FALSE(u.line.isOpen());
}

TEST(ElectrodeUpload, EmptyTableSendsTheNameOnly)
{
    Upload u;
    EXPECT_EQ(zel::uploadElectrodeTable(u.line, u.line, u.report, "a.txt   ", {}), DialogueStatus::Done);
    EXPECT_EQ(u.report.lines, QStringList({"Таблица записана успешно! Всего 0"}));
    EXPECT_EQ(u.model.storedTable(), "a.txt   ");
}

TEST(ElectrodeUpload, MatchOnALaterAttemptAndFourMismatches)
{
    const auto words = zel::electrodeWords(zel::parseElectrodeTable("1 2 3 4\n"));
    for (int wrong = 1; wrong <= 3; ++wrong) {
        zel::sim::Faults f;
        f.wrongUploadAnswers = wrong;
        Upload u(f);
        EXPECT_EQ(zel::uploadElectrodeTable(u.line, u.line, u.report, "t.txt   ", words), DialogueStatus::Done);
        EXPECT_EQ(u.model.uploadFrames(), wrong + 1);
        EXPECT_EQ(u.report.lines, QStringList({"Таблица записана успешно! Всего 1"}));
        EXPECT_EQ(u.line.sentBytes().count(QByteArray("$DP\x18\x00\x00\x06", 7)), wrong + 1);
    }
    zel::sim::Faults f;
    f.wrongUploadAnswers = 4;
    Upload u(f);
    EXPECT_EQ(zel::uploadElectrodeTable(u.line, u.line, u.report, "t.txt   ", words), DialogueStatus::ChecksumMismatch);
    EXPECT_EQ(u.model.uploadFrames(), 4);
    EXPECT_EQ(u.report.lines, QStringList({"Не совпала контрольная сумма"}));
    EXPECT_EQ(u.line.sentBytes().last(), "$GB");
    EXPECT_EQ(u.model.tablesStored(), 0);
    EXPECT_FALSE(u.line.isOpen());
}

TEST(ElectrodeUpload, NoAnswerWithin500MsAfterTheLastByte)
{
    zel::sim::Faults f;
    f.uploadOneByte = true;
    Upload u(f);
    const auto words = zel::electrodeWords(zel::parseElectrodeTable("1 2 3 4\n"));
    EXPECT_EQ(zel::uploadElectrodeTable(u.line, u.line, u.report, "t.txt   ", words), DialogueStatus::TimedOut);
    EXPECT_EQ(u.report.lines, QStringList({"Время ожидания k/s истекло (4)"}));
    EXPECT_EQ(u.line.sentBytes().last(), "$GB");
    EXPECT_EQ(u.line.tickMs() - u.line.sent.at(u.line.sent.size() - 2).atMs, 500);

    zel::sim::Faults silent;
    silent.silent = true;
    Upload none(silent);
    EXPECT_EQ(zel::uploadElectrodeTable(none.line, none.line, none.report, "t.txt   ", words), DialogueStatus::NoAnswer);
    EXPECT_EQ(none.report.lines, QStringList({"Время ожидания истекло (1)"}));
    EXPECT_EQ(none.line.tickMs(), 2000);  // the first time-out of this command
}

TEST(Uploads, StopEndsEitherUploadWithItsLineAndGoodbye)
{
    const auto words = zel::electrodeWords(zel::parseElectrodeTable("1 2 3 4\n"));
    const auto firmware = zel::firmwareImage(QByteArray("\x01\x02ZEL-TERRAV\x03", 13));
    ASSERT_TRUE(firmware);
    for (const bool table : {true, false}) {
        zel::sim::Faults f;
        f.silent = true;
        Upload u(f);
        u.line.onPass = [&](std::int64_t ms) { u.line.stop = ms >= 400; };
        const DialogueStatus status = table
            ? zel::uploadElectrodeTable(u.line, u.line, u.report, "t.txt   ", words)
            : zel::uploadFirmware(u.line, u.line, u.report, firmware->image);
        EXPECT_EQ(status, DialogueStatus::Stopped);
        EXPECT_EQ(u.report.lines, QStringList({"Остановлено пользователем"}));
        EXPECT_EQ(u.line.sentBytes().last(), "$GB");
        EXPECT_FALSE(u.line.isOpen());
    }
}

TEST(Firmware, PaddingSignatureAndModuleName)
{
    auto f = zel::firmwareImage(QByteArray("\x01\x02ZEL-TERRAV\x03", 13));
    ASSERT_TRUE(f);
    EXPECT_EQ(f->image, QByteArray("\x01\x02ZEL-TERRAV\x03\x00", 14));
    EXPECT_EQ(f->moduleName, "ZEL-TERRAVOX");
    EXPECT_TRUE(zel::firmwareImage("abcZEL-TERRAV"));  // at the very end
    EXPECT_FALSE(zel::firmwareImage("zel-terrav and ZEL-TERRA"));
    EXPECT_FALSE(zel::firmwareImage(""));

    const QByteArray image = f->image;
    EXPECT_EQ(zel::firmwareFrame(image), QByteArray("$DD\x00\x00\x00\x07", 7) + image);
    // The padding byte is the low byte of the last word.
    EXPECT_EQ(zel::firmwareChecksum(QByteArray("\x01\x02\x03\x00", 4)), 0x0102 + 0x0300);
    EXPECT_EQ(zel::firmwareFrame(QByteArray(65534, 'x')).mid(5, 2), QByteArray("\x7F\xFF", 2));
}

TEST(FirmwareUpload, OneFrameThenCommitWithTimeStampedLines)
{
    Upload u;
    const QByteArray image = zel::firmwareImage(QByteArray(999, 'a') + "ZEL-TERRAV")->image;
    EXPECT_EQ(zel::uploadFirmware(u.line, u.line, u.report, image), DialogueStatus::Done);
    const QByteArrayList sent = u.line.sentBytes();
    ASSERT_EQ(sent.size(), 4);
    EXPECT_EQ(sent.at(2), zel::firmwareFrame(image));
    EXPECT_EQ(sent.at(3), "$CLEA");
    EXPECT_EQ(u.report.lines, QStringList({"07.12.2026 10:11:12 Запись программы в EEPROM",
                                           "07.12.2026 10:11:12 Программа загружена"}));
    EXPECT_EQ(u.model.storedFirmware(), image);
    EXPECT_FALSE(u.line.isOpen());
}

TEST(FirmwareUpload, OneByteOrNoAnswerAfter3000Ms)
{
    const QByteArray image = zel::firmwareImage("ZEL-TERRAV")->image;
    zel::sim::Faults one;
    one.uploadOneByte = true;
    Upload u(one);
    EXPECT_EQ(zel::uploadFirmware(u.line, u.line, u.report, image), DialogueStatus::TimedOut);
    EXPECT_EQ(u.report.lines.last(), "07.12.2026 10:11:12 Время ожидания истекло (2), 1");
    EXPECT_EQ(u.line.tickMs() - u.line.sent.back().atMs, 3000);
    EXPECT_EQ(u.line.sentBytes().count("$CLEA"), 0);

    zel::sim::Faults silent;
    silent.uploadSilent = true;
    Upload none(silent);
    EXPECT_EQ(zel::uploadFirmware(none.line, none.line, none.report, image), DialogueStatus::TimedOut);
    EXPECT_EQ(none.report.lines.last(), "07.12.2026 10:11:12 Время ожидания истекло (2), 0");
    EXPECT_FALSE(none.line.isOpen());
}

TEST(FirmwareUpload, MismatchAndHandshakeLines)
{
    const QByteArray image = zel::firmwareImage("ZEL-TERRAV")->image;
    zel::sim::Faults wrong;
    wrong.wrongUploadAnswers = 1;
    Upload u(wrong);
    EXPECT_EQ(zel::uploadFirmware(u.line, u.line, u.report, image), DialogueStatus::ChecksumMismatch);
    EXPECT_EQ(u.report.lines.last(), "07.12.2026 10:11:12Не совпала контрольная сумма ");
    EXPECT_EQ(u.model.uploadFrames(), 1);  // no second attempt
    EXPECT_EQ(u.line.sentBytes().last(), zel::firmwareFrame(image));

    zel::sim::Faults silent;
    silent.silent = true;
    Upload quiet(silent);
    EXPECT_EQ(zel::uploadFirmware(quiet.line, quiet.line, quiet.report, image), DialogueStatus::NoAnswer);
    EXPECT_EQ(quiet.report.lines, QStringList({"07.12.2026 10:11:12Время ожидания истекло (1)"}));

    zel::sim::Faults noLink;
    noLink.wrongLinkAnswers = 10;
    Upload lost(noLink);
    EXPECT_EQ(zel::uploadFirmware(lost.line, lost.line, lost.report, image), DialogueStatus::NoLink);
    EXPECT_EQ(lost.report.lines, QStringList({"07.12.2026 10:11:12 Не установлено соединение"}));
}
