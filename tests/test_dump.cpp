#include "TestDumps.h"

#include <QtEndian>

#include "data/Bytes.h"
#include "data/DataFile.h"
#include "data/RawDump.h"
#include "data/Record.h"
#include "data/ZelError.h"

#include <gtest/gtest.h>

using zel::DumpDecoding;
using Outcome = zel::DumpDecoding::Outcome;

namespace {

zel::MeasurementRecord recordOfStation(int station) { return zeltest::Record().station(station); }

zel::MeasurementRecord imageAt(const QByteArray& decoded, int i) { return zel::recordAt(decoded, i); }

QByteArray lengthField(std::int32_t v)
{
    std::uint8_t b[4];
    qToLittleEndian<qint32>(v, b);
    return QByteArray(reinterpret_cast<const char*>(b), 4);
}

} // namespace

TEST(DecodeDump, SampleFileListsCountAndHeaderLinesAndDecodesEveryRecord)
{
    const DumpDecoding d = zel::decodeDump(zel::readWholeFile(zeltest::dataFile("sample.zel")));
    ASSERT_EQ(d.outcome, Outcome::Decoded);
    EXPECT_EQ(lines(d), QStringList({"Количество измерений 15", "ZEL-TERRAVOX MMVII01", "V2.1E1.0",
                                    "05.07.2007 10:11:12"}));
    EXPECT_EQ(d.count, 15);
    EXPECT_EQ(d.decoded.size(), 66 + 15 * 48);
    EXPECT_EQ(zel::readHeaderFields(d.decoded).name, "ZEL-TERRAVOX MMVII01");
    EXPECT_EQ(imageAt(d.decoded, 3).Mode, 11);
    EXPECT_EQ(imageAt(d.decoded, 3).ElectrodeA, -2);
    EXPECT_EQ(imageAt(d.decoded, 11).Station, -1234);
}

TEST(DecodeDump, NoMeasurementsGivesTheFourLinesAndOnlyTheHeaderFields)
{
    const DumpDecoding d = zel::decodeDump(zeltest::dump(zeltest::header(0), "stamp", ""));
    ASSERT_EQ(d.outcome, Outcome::Decoded);
    EXPECT_EQ(lines(d).size(), 4);
    EXPECT_EQ(lines(d).at(0), "Количество измерений 0");
    EXPECT_EQ(d.decoded.size(), 66);
}

TEST(DecodeDump, HeaderCheckTakesSignatureOrVersionMarkIgnoringCase)
{
    QByteArray lower = zeltest::header(0, "0701", "V2.1XX.0");
    lower.replace(0, 3, "zel");
    EXPECT_EQ(zel::decodeDump(zeltest::dump(lower, "", "")).outcome, Outcome::Decoded);

    QByteArray markOnly = zeltest::header(0, "0701", "V2.1e1.0");
    markOnly.replace(0, 3, "ABC");
    EXPECT_EQ(zel::decodeDump(zeltest::dump(markOnly, "", "")).outcome, Outcome::Decoded);

    QByteArray neither = zeltest::header(0, "0701", "V2.1XX.0");
    neither.replace(0, 3, "ABC");
    const DumpDecoding d = zel::decodeDump(zeltest::dump(neither, "", ""));
    EXPECT_EQ(d.outcome, Outcome::Rejected);
    EXPECT_EQ(message(d), "Эта программа для \"ZEL-TERRAVOX\" версии 1XX");
    EXPECT_TRUE(lines(d).isEmpty());
    EXPECT_TRUE(d.decoded.isEmpty());

    EXPECT_EQ(zel::decodeDump(QByteArray()).outcome, Outcome::Rejected);
}

TEST(DecodeDump, NameLineTimeStampAndVersionAreCutTo21Characters)
{
    const DumpDecoding d =
        zel::decodeDump(zeltest::dump(zeltest::header(0, "28AB"), "123456789012345678901234567890", ""));
    ASSERT_EQ(d.outcome, Outcome::Decoded);
    EXPECT_EQ(d.headers->name, "ZEL-TERRAVOX MMXXVIII");  // "AB" falls beyond 21 characters
    EXPECT_EQ(d.headers->time, "123456789012345678901");
    EXPECT_EQ(d.headers->version, "V2.1E1.0");
}

TEST(DecodeDump, RecordBlockLongerThanTheCountIgnoresTheRest)
{
    const auto records = zeltest::rawRecords({recordOfStation(5), recordOfStation(6)});
    const DumpDecoding d = zel::decodeDump(zeltest::dump(zeltest::header(1), "", records));
    ASSERT_EQ(d.outcome, Outcome::Decoded);
    EXPECT_EQ(d.decoded.size(), 66 + 48);
    EXPECT_EQ(imageAt(d.decoded, 0).Station, 5);
}

TEST(DecodeDump, ShortRecordBlockDecodesTheWholeRecordsAndSaysSo)
{
    QByteArray records = zeltest::rawRecords({recordOfStation(1), recordOfStation(2)}, false);
    records.chop(1);
    const DumpDecoding d = zel::decodeDump(zeltest::dump(zeltest::header(3), "", records));
    ASSERT_EQ(d.outcome, Outcome::Decoded);
    EXPECT_EQ(d.count, 1);
    EXPECT_EQ(lines(d).size(), 5);
    EXPECT_EQ(lines(d).at(4), "Блок записей неполный: декодировано измерений 1 из 3");
    EXPECT_EQ(d.decoded.size(), 66 + 48);
}

TEST(DecodeDump, BlocksThatEndEarlyAreStreamReadErrors)
{
    const QByteArray good = zeltest::dump({recordOfStation(1)});

    // The header block claims more bytes than follow: nothing listed.
    DumpDecoding d = zel::decodeDump(lengthField(100) + "ZEL-0701");
    EXPECT_EQ(d.outcome, Outcome::Failed);
    EXPECT_EQ(message(d), "Stream read error");
    EXPECT_TRUE(lines(d).isEmpty());

    // No record block: the four lines stay, then the error.
    QByteArray twoBlocks;
    zel::appendBlock(twoBlocks, zeltest::header(1));
    zel::appendBlock(twoBlocks, "stamp");
    d = zel::decodeDump(twoBlocks);
    EXPECT_EQ(d.outcome, Outcome::Failed);
    EXPECT_EQ(message(d), "Stream read error");
    EXPECT_EQ(lines(d).size(), 4);

    // Every cut of a good dump inside a length field or a block fails cleanly.
    for (qsizetype cut = 0; cut < good.size(); ++cut) {
        const DumpDecoding part = zel::decodeDump(good.left(cut));
        EXPECT_NE(part.outcome, Outcome::Decoded) << "cut at " << cut;
    }
}

TEST(DecodeDump, CorruptLengthFieldsAreRefusedWithoutAllocating)
{
    for (std::int32_t len : {-1, -2147483647 - 1, 2147483647, 1 << 30}) {
        const DumpDecoding d = zel::decodeDump(lengthField(len) + zeltest::header(0));
        EXPECT_EQ(d.outcome, Outcome::Failed) << len;
        EXPECT_EQ(message(d), "Stream read error");
    }
    QByteArray withHugeRecords;
    zel::appendBlock(withHugeRecords, zeltest::header(2));
    zel::appendBlock(withHugeRecords, "");
    withHugeRecords += lengthField(2147483647);
    EXPECT_EQ(zel::decodeDump(withHugeRecords).outcome, Outcome::Failed);
}

TEST(DecodeDump, ShortHeaderThatPassesTheCheckIsAClearError)
{
    const DumpDecoding d = zel::decodeDump(zeltest::dump("ZEL-0701", "", ""));
    EXPECT_EQ(d.outcome, Outcome::Failed);
    EXPECT_EQ(message(d), "Заголовок данных неполный: 8 байт вместо 18");
    EXPECT_TRUE(lines(d).isEmpty());
}

TEST(DecodeDump, YearThatIsNotANumberStopsAfterTheCountLine)
{
    const DumpDecoding d = zel::decodeDump(zeltest::dump(zeltest::header(0, "X701"), "", ""));
    EXPECT_EQ(d.outcome, Outcome::Failed);
    EXPECT_EQ(message(d), "'X7' is not a valid integer value");
    EXPECT_EQ(lines(d), QStringList({"Количество измерений 0"}));

    EXPECT_EQ(zel::decodeDump(zeltest::dump(zeltest::header(0, " 701"), "", "")).headers->name,
              "ZEL-TERRAVOX MMVII01");
    EXPECT_EQ(zel::decodeDump(zeltest::dump(zeltest::header(0, "7 01"), "", "")).outcome, Outcome::Failed);
}

TEST(HeaderFields, StreamShorterThanTheThreeFieldsIsAReadError)
{
    EXPECT_THROW(zel::readHeaderFields(QByteArray(65, '\0')), zel::StreamReadError);
    QByteArray fields = zel::headerField("abc") + zel::headerField("") + zel::headerField(QByteArray(30, 'x'));
    const auto h = zel::readHeaderFields(fields);
    EXPECT_EQ(h.name, "abc");
    EXPECT_EQ(h.version, "");
    EXPECT_EQ(h.time, QByteArray(21, 'x'));
    fields[0] = char(200);  // a corrupt length byte reads no further than the field
    EXPECT_EQ(zel::readHeaderFields(fields).name.size(), 21);
}

TEST(Checksum, SumsBigEndianWordsModulo65536)
{
    const std::uint8_t bytes[] = {0xFF, 0xFF, 0x00, 0x02, 0x12};
    EXPECT_EQ(zel::checksumAddUint16Be(bytes), 0x0001);
    EXPECT_EQ(zel::checksumAddUint16Be(std::span(bytes, 4), 0x0010), 0x0011);
}
