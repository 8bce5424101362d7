#include "data/Bytes.h"

#include <QtEndian>
#include "data/Record.h"

#include <gtest/gtest.h>

#include <array>

using zel::MeasurementRecord;

namespace {

MeasurementRecord decodeWith(std::initializer_list<std::pair<int, std::uint8_t>> bytes)
{
    std::array<std::uint8_t, 32> raw{};
    raw[26] = 7;
    for (auto [at, v] : bytes)
        raw[std::size_t(at)] = v;
    return zel::decodeRawRecord(raw.data());
}

} // namespace

TEST(RawRecord, ElectrodesShareTheirSignBitWithMAndN)
{
    auto r = decodeWith({{8, 0x03}, {9, 0xFE}});
    EXPECT_EQ(r.ElectrodeM, 1);
    EXPECT_EQ(r.ElectrodeA, -2);
    r = decodeWith({{8, 0x02}, {9, 0xFE}});
    EXPECT_EQ(r.ElectrodeM, 1);
    EXPECT_EQ(r.ElectrodeA, 254);
    r = decodeWith({{10, 0xFF}, {11, 0x00}});
    EXPECT_EQ(r.ElectrodeN, 127);
    EXPECT_EQ(r.ElectrodeB, -256);
}

TEST(RawRecord, ModeAndKindNibblesYearAndSignedVoltage)
{
    const auto r = decodeWith({{4, 0xF2}, {14, 0xFF}, {15, 0x38}, {26, 0x07}, {12, 0x7A}, {13, 0x3F}});
    EXPECT_EQ(r.Mode, 15);
    EXPECT_EQ(r.ValueKind, 2);
    EXPECT_EQ(r.U[0], -200);
    EXPECT_EQ(r.Year, 2007);
    EXPECT_EQ(r.Range[0], 7);
    EXPECT_EQ(r.Range[1], 10);
    EXPECT_EQ(r.Range[2], 3);
    EXPECT_EQ(r.Range[3], 15);
}

TEST(RawRecord, BigEndianFieldsAndSignedLineNumber)
{
    const auto r = decodeWith({{0, 0x80}, {1, 0xFF}, {2, 0x80}, {3, 0x00}, {6, 0x01}, {7, 0x2C},
                               {22, 0xAB}, {23, 0xCD}, {24, 0x00}, {25, 0x01}});
    EXPECT_EQ(r.LineNo, -128);
    EXPECT_EQ(r.FileNo, 255);
    EXPECT_EQ(r.Station, -32768);
    EXPECT_EQ(r.Current, 300);
    EXPECT_EQ(r.Aux1, 0xABCD);
    EXPECT_EQ(r.Aux2, 1);
}

TEST(RecordImage, HoldsEveryFieldAtItsOffsetWithZeroPadding)
{
    MeasurementRecord r;
    r.LineNo = -3;
    r.FileNo = 200;
    r.Station = -2;
    r.Mode = 11;
    r.ValueKind = 3;
    r.FreqIndex = 10;
    r.Current = 65535;
    r.ElectrodeM = 127;
    r.ElectrodeA = -256;
    r.ElectrodeN = 5;
    r.ElectrodeB = 255;
    r.Range[0] = 1;
    r.Range[3] = 15;
    r.U[0] = -32768;
    r.U[3] = 32767;
    r.Aux1 = 0x1234;
    r.Aux2 = 0x5678;
    r.Year = 2255;
    r.Month = 12;
    r.Day = 31;
    r.Hour = 23;
    r.Minute = 59;
    r.Second = 58;
    std::array<std::uint8_t, 48> image;
    image.fill(0xEE);
    zel::writeRecordImage(r, image.data());
    EXPECT_EQ(image[0], 0xFD);
    EXPECT_EQ(qFromLittleEndian<quint16>(&image[2]), 0xFFFE);
    EXPECT_EQ(image[4], 11);
    EXPECT_EQ(image[5], 3);
    EXPECT_EQ(image[6], 10);
    EXPECT_EQ(qFromLittleEndian<qint32>(&image[12]), -256);
    EXPECT_EQ(qFromLittleEndian<qint32>(&image[20]), 255);
    EXPECT_EQ(qFromLittleEndian<quint16>(&image[40]), 2255);
    EXPECT_EQ(image[46], 58);
    for (int zero : {7, 11, 17, 18, 19, 47})
        EXPECT_EQ(image[std::size_t(zero)], 0) << "offset " << zero;
    EXPECT_EQ(zel::readRecordImage(image.data()), r);

    std::array<std::uint8_t, 32> raw{};
    zel::encodeRawRecord(r, raw.data());
    EXPECT_EQ(zel::decodeRawRecord(raw.data()), r);
}
