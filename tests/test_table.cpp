#include "data/Labels.h"
#include "data/Roman.h"
#include "TestDumps.h"

#include "data/Cp1251.h"
#include "data/DataFile.h"
#include "data/RawDump.h"
#include "data/TextTable.h"
#include "data/TimeText.h"
#include "data/ZelError.h"

#include <gtest/gtest.h>

using zel::MeasurementRecord;

namespace {

const zel::DateTimeSeparators kRussian{QLatin1Char('.'), QLatin1Char(':')};

MeasurementRecord plain() { return zeltest::Record().profile(2, 1).station(3).current(5).frequency(6); }

// Columns counted from 1, as the table's layout names them.
QString cols(const QString& line, int from, int to) { return line.mid(from - 1, to - from + 1); }

} // namespace

TEST(TablTex, PlainRecordColumns)
{
    MeasurementRecord r = plain();
    r.Range[0] = 2;
    r.U[0] = 12345;
    r.Range[2] = 3;
    r.U[2] = 7;
    r.Range[1] = 0;
    r.U[1] = -200;
    const QString line = zel::TablTex(r, kRussian);
    EXPECT_EQ(cols(line, 1, 4), "   1");
    EXPECT_EQ(cols(line, 6, 9), "   2");
    EXPECT_EQ(cols(line, 10, 15), QString(6, QLatin1Char(' ')));
    EXPECT_EQ(cols(line, 16, 18), "3  ");
    EXPECT_EQ(cols(line, 22, 27), "123.45");
    EXPECT_EQ(cols(line, 29, 34), "  -200");
    EXPECT_EQ(cols(line, 36, 41), " 0.007");
    EXPECT_EQ(cols(line, 43, 48), "     0");
    EXPECT_EQ(cols(line, 50, 54), "10mA ");
    EXPECT_EQ(cols(line, 58, 73), QString(16, ' '));
    EXPECT_EQ(cols(line, 74, 83), "05.07.2007");
    EXPECT_EQ(cols(line, 85, 92), "09:08:07");
    EXPECT_EQ(cols(line, 96, 99), "  50");
    EXPECT_EQ(line.size(), 99);
}

TEST(TablTex, NegatedVoltagesAndMarks)
{
    MeasurementRecord r = plain();
    r.ValueKind = 3;
    r.Range[1] = 2;
    r.U[1] = -200;
    QString line = zel::TablTex(r, kRussian);
    EXPECT_EQ(cols(line, 29, 34), "  2.00");
    EXPECT_EQ(cols(line, 58, 67), "    -     ");
    EXPECT_EQ(cols(line, 68, 77), "05.07.2007");  // six characters shorter from the mark on

    r.ValueKind = 2;
    EXPECT_EQ(cols(zel::TablTex(r, kRussian), 58, 67), "    +     ");

    r = plain();
    r.Mode = 8;
    EXPECT_EQ(cols(zel::TablTex(r, kRussian), 58, 73), "8" + QString(15, ' '));
    r.Mode = 9;  // a mark the table does not show
    EXPECT_EQ(cols(zel::TablTex(r, kRussian), 58, 73), QString(16, ' '));
    EXPECT_EQ(zel::TablTex(r, kRussian).size(), 99);

    r = plain();
    r.ValueKind = 1;
    r.Current = 8;
    line = zel::TablTex(r, kRussian);
    EXPECT_EQ(cols(line, 22, 49), "None" + QString(24, ' '));
    EXPECT_EQ(cols(line, 50, 54), "100mA");
    EXPECT_EQ(cols(line, 74, 83), "05.07.2007");
}

TEST(TablTex, OutOfRangeChannels)
{
    MeasurementRecord r = plain();
    r.Range[0] = 7;
    r.Range[1] = 8;
    r.Range[2] = 15;
    r.Range[3] = 9;
    QString line = zel::TablTex(r, kRussian);
    EXPECT_EQ(cols(line, 22, 49), "Out of range" + QString(16, ' '));
    EXPECT_EQ(cols(line, 50, 54), "10mA ");
    EXPECT_EQ(line.size(), 99);

    // A later channel with a value keeps its digits when channel 1 is out of range.
    r.Range[3] = 0;
    r.U[3] = -32768;
    line = zel::TablTex(r, kRussian);
    EXPECT_TRUE(line.contains("-32768 10mA")) << line.toStdString();
    r.Range[3] = 9;
    r.Range[1] = 0;
    r.U[1] = 250;
    line = zel::TablTex(r, kRussian);
    EXPECT_EQ(cols(line, 22, 40), "Out of range   250 ");
    EXPECT_EQ(cols(line, 50, 54), "10mA ");
}

TEST(TablTex, AutoModeShowsTheTimeUnderItsHeading)
{
    MeasurementRecord r = plain();
    r.Mode = 15;
    r.Current = 120;
    const QString line = zel::TablTex(r, kRussian);
    EXPECT_EQ(cols(line, 50, 57), QString(8, ' '));
    EXPECT_EQ(cols(line, 58, 61), "Auto");
    EXPECT_EQ(cols(line, 68, 70), "120");
    EXPECT_EQ(cols(line, 74, 83), "05.07.2007");
    // Under any other kind of value the Auto text stands in the mark field too.
    r.ValueKind = 7;
    EXPECT_EQ(cols(zel::TablTex(r, kRussian), 58, 78), "Auto             Auto");
}

TEST(TablTex, MethodsCarryTheElectrodes)
{
    MeasurementRecord r = plain();
    r.Mode = 11;
    r.ElectrodeA = -2;
    r.ElectrodeB = 30;
    r.ElectrodeM = 1;
    r.ElectrodeN = 5;
    QString line = zel::TablTex(r, kRussian);
    EXPECT_EQ(cols(line, 58, 73), "Method 2        ");
    EXPECT_EQ(line.mid(105), "-02  30  01  05");
    r.Mode = 14;
    line = zel::TablTex(r, kRussian);
    EXPECT_EQ(cols(line, 58, 73), QString(16, ' '));
    EXPECT_EQ(line.mid(99), "      -02  30  01  05");
}

TEST(TablTex, WideStationKeepsEveryDigitAndMissingLabelsShowPlaceholders)
{
    MeasurementRecord r = plain();
    r.Station = -1234;
    r.FreqIndex = 200;
    r.Current = 17;
    const QString line = zel::TablTex(r, kRussian);
    EXPECT_EQ(cols(line, 16, 20), "-1234");
    EXPECT_TRUE(line.contains("?17  ")) << line.toStdString();
    EXPECT_TRUE(line.endsWith("?200")) << line.toStdString();
}

TEST(TablTex, SeparatorsComeFromTheLocale)
{
    MeasurementRecord r = plain();
    const auto us = zel::DateTimeSeparators::of(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(us.date, QLatin1Char('/'));
    EXPECT_EQ(us.time, QLatin1Char(':'));
    EXPECT_EQ(cols(zel::TablTex(r, us), 74, 92), "05/07/2007 09:08:07");
    EXPECT_EQ(zel::DateTimeSeparators::of(QLocale(QLocale::Russian, QLocale::Russia)).date, QLatin1Char('.'));
    EXPECT_EQ(zel::DateTimeSeparators::of(QLocale(QLocale::German, QLocale::Germany)).date, QLatin1Char('.'));
}

TEST(TimeText, StampHasNoTimeZone)
{
    const QDateTime when(QDate(2026, 12, 7), QTime(10, 11, 12));
    EXPECT_EQ(zel::timeStamp(when, QLocale(QLocale::Russian, QLocale::Russia)), "07.12.2026 10:11:12");
    EXPECT_FALSE(zel::longTimeFormat(QLocale(QLocale::English, QLocale::UnitedStates)).contains('t'));
    const QLocale ru(QLocale::Russian, QLocale::Russia);
    const zel::DateTimeText dateTime(ru);
    EXPECT_EQ(dateTime(when.date(), when.time()), " 07.12.2026 10:11:12");
    EXPECT_EQ(dateTime(QDate(2007, 7, 5), QTime(0, 0)), " 05.07.2007");

    // A locale whose short date has no separator: the stamp, the table and
    // the workbook all write the date as dd.MM.yyyy.
    const QLocale c = QLocale::c();
    EXPECT_EQ(zel::timeStamp(when, c), "07.12.2026 10:11:12");
    EXPECT_EQ(zel::DateTimeText(c)(when.date(), when.time()), " 07.12.2026 10:11:12");
    EXPECT_EQ(zel::DateTimeSeparators::of(c).date, QLatin1Char('.'));
}

TEST(TextTable, SampleFileGivesTheGoldenTextFileByteForByte)
{
    const zel::DumpDecoding d = zel::decodeDump(zel::readWholeFile(zeltest::dataFile("sample.zel")));
    ASSERT_EQ(d.outcome, zel::DumpDecoding::Outcome::Decoded);
    const QByteArray expected = zel::readWholeFile(zeltest::dataFile("sample.txt"));
    ASSERT_FALSE(expected.contains('\0'));
    EXPECT_EQ(zel::textFileBytes(d.decoded, *d.count, kRussian), expected);
}

TEST(TextTable, ViewListsHeaderHeadingEmptyLineAndRecords)
{
    const zel::DumpDecoding d = zel::decodeDump(zel::readWholeFile(zeltest::dataFile("sample.zel")));
    QStringList lines;
    zel::appendViewLines(d.decoded, *d.count, kRussian, lines);
    ASSERT_EQ(lines.size(), 5 + 15);
    EXPECT_EQ(lines.at(0), "ZEL-TERRAVOX MMVII01");
    EXPECT_EQ(lines.at(3), zel::kViewHeading);
    EXPECT_EQ(lines.at(4), "");
    EXPECT_EQ(zel::kViewHeading.size(), 120);
    EXPECT_EQ(zel::kTextFileHeading.size(), 120);

    // The text file holds the same table, with its own heading and CR LF endings.
    const QList<QByteArray> fileLines = zel::textFileBytes(d.decoded, *d.count, kRussian).split('\n');
    ASSERT_EQ(fileLines.size(), lines.size() + 1);
    for (qsizetype i = 5; i < lines.size(); ++i)
        EXPECT_EQ(fileLines.at(i), lines.at(i).toLatin1() + '\r');
}

TEST(TextTable, WithoutDataOrWithTooFewRecordsReadingFails)
{
    QStringList lines;
    EXPECT_THROW(zel::appendViewLines(QByteArray(), 0, kRussian, lines), zel::StreamReadError);
    EXPECT_TRUE(lines.isEmpty());
    EXPECT_THROW(zel::textFileBytes(QByteArray(), 0, kRussian), zel::StreamReadError);

    const zel::DumpDecoding d = zel::decodeDump(zeltest::dump({plain()}));
    EXPECT_THROW(zel::appendViewLines(d.decoded, 2, kRussian, lines), zel::StreamReadError);
    EXPECT_EQ(lines.size(), 6);  // the header lines, heading, empty line and the one record
}

TEST(TextTable, StationBytesAreWrittenAsTheStationSentThem)
{
    QByteArray h = zeltest::header(0, "07\xC0\xC1", "\xC2\xC3\x98" "1E1.0");
    const zel::DumpDecoding d = zel::decodeDump(zeltest::dump(h, "\xD0\xD1", ""));
    const QByteArray text = zel::textFileBytes(d.decoded, 0, kRussian);
    EXPECT_TRUE(text.startsWith("ZEL-TERRAVOX MMVII\xC0\xC1\r\n\xC2\xC3\x98" "1E1.0\r\n\xD0\xD1\r\n"));
    EXPECT_EQ(lines(d).at(1), "ZEL-TERRAVOX MMVIIАБ");
}

TEST(FullStop, AddedWhenTheLastCharacterSortsAfterTheFullStop)
{
    EXPECT_EQ(zel::withFullStop("Stream read error"), "Stream read error.");
    EXPECT_EQ(zel::withFullStop("done."), "done.");
    EXPECT_EQ(zel::withFullStop("done!"), "done!");
    EXPECT_EQ(zel::withFullStop("version 1XX"), "version 1XX.");
    EXPECT_EQ(zel::withFullStop("code 7"), "code 7.");
    EXPECT_EQ(zel::withFullStop("a-"), "a-");
    EXPECT_EQ(zel::withFullStop(""), "");
}

// Every text file and list line depends on the Windows-1251 codec: it must be
// there, never replaced by another code page.
TEST(Cp1251, CodecIsPresentAndRoundTripsCyrillic)
{
    ASSERT_TRUE(zel::cp1251Available());
    EXPECT_EQ(zel::toCp1251(QStringLiteral("Считано ё")), QByteArray("\xD1\xF7\xE8\xF2\xE0\xED\xEE \xB8"));
    EXPECT_EQ(zel::fromCp1251("\xC0\xE1\xE2"), QStringLiteral("Абв"));
}

TEST(Roman, YearsOfTheStationAndTheEdges)
{
    EXPECT_EQ(zel::IntToRoman(2000), "MM");
    EXPECT_EQ(zel::IntToRoman(2004), "MMIV");
    EXPECT_EQ(zel::IntToRoman(2007), "MMVII");
    EXPECT_EQ(zel::IntToRoman(2008), "MMVIII");
    EXPECT_EQ(zel::IntToRoman(2049), "MMXLIX");
    EXPECT_EQ(zel::IntToRoman(2099), "MMXCIX");
    EXPECT_EQ(zel::IntToRoman(1999), "MCMXCIX");
    EXPECT_EQ(zel::IntToRoman(3999), "MMMCMXCIX");
    EXPECT_EQ(zel::IntToRoman(444), "CDXLIV");
    EXPECT_EQ(zel::IntToRoman(0), "");
}

TEST(Labels, TablesAndVisiblePlaceholders)
{
    EXPECT_EQ(zel::freqLabel(0), "  DC");
    EXPECT_EQ(zel::freqLabel(10), "2500");
    EXPECT_EQ(zel::currentLabel(0), " 5mA ");
    EXPECT_EQ(zel::currentLabel(4), " 5mA ");
    EXPECT_EQ(zel::currentLabel(16), " 2A  ");
    EXPECT_EQ(zel::freqLabel(11), " ?11");
    EXPECT_EQ(zel::currentLabel(17), "?17  ");
    EXPECT_EQ(zel::currentLabel(65535), "?65535");
}
