#include "TestDumps.h"

#include "data/RawDump.h"
#include "data/ZelError.h"
#include "export/ExelCall.h"
#include "export/SheetModel.h"

#include "texts/Texts.h"

#include <gtest/gtest.h>

using zel::CellKind;
using zel::MeasurementRecord;

namespace {

enum { A = 1, B, C, D, E, F, G, H, I, J, K, L, M, N, O, P };

const QLocale kRussian(QLocale::Russian, QLocale::Russia);

MeasurementRecord rec(int mode, int station, int kind = 0)
{
    return zeltest::Record().mode(mode).station(station).kind(kind).profile(-4, 3).current(5).frequency(6).u(1, 1234, 2);
}

QByteArray stream(const std::vector<MeasurementRecord>& records)
{
    QByteArray s = zel::headerField("name") + zel::headerField("version") + zel::headerField("stamp");
    for (const auto& r : records) {
        std::uint8_t image[48];
        zel::writeRecordImage(r, image);
        s.append(reinterpret_cast<const char*>(image), 48);
    }
    return s;
}

struct Export {
    zel::SheetExport result;
    zel::SheetModel& sheet = result.sheet;
    std::uint16_t& count = result.count;
    Export(int layout, const QByteArray& decoded) : result(zel::ExelCall(layout, decoded, kRussian)) {}
    QString text(int row, int col) const { return sheet.cell(row, col).text; }
    bool isHeading(int row) const
    {
        return sheet.styles().at(std::size_t(sheet.cell(row, A).style)).yellowFill;
    }
};

} // namespace

TEST(Export, NoRecordsLeavesTheTitleRowsAndSelectsA5)
{
    Export x(zel::kZelSoloLayout, stream({}));
    EXPECT_EQ(x.text(1, A), "name");
    EXPECT_EQ(x.text(2, A), "version");
    EXPECT_EQ(x.text(3, A), "stamp");
    EXPECT_EQ(x.sheet.cell(4, A).kind, CellKind::Empty);
    EXPECT_EQ(x.count, 0);
    EXPECT_EQ(x.sheet.selectionFirst(), (zel::CellAddress{5, A}));
    EXPECT_EQ(x.sheet.activeCell(), (zel::CellAddress{5, A}));
    EXPECT_EQ(x.sheet.styles().at(std::size_t(x.sheet.cell(5, A).style)).fontName, "Arial Black");
    EXPECT_EQ(zel::addressText({17, M}), "M17");
}

TEST(Export, TrailingPartOfARecordIsIgnoredAndTheCountSet)
{
    QByteArray s = stream({rec(1, 1), rec(2, 2), rec(3, 3)});
    s.append(47, '\x01');
    Export x(zel::kZelSoloLayout, s);
    EXPECT_EQ(x.count, 3);
    EXPECT_EQ(x.text(7, C), "3");
    EXPECT_EQ(x.sheet.cell(8, A).kind, CellKind::Empty);
    EXPECT_EQ(x.sheet.activeCell(), (zel::CellAddress{8, A}));
}

TEST(Export, WithoutDecodedDataTheStreamCannotBeRead)
{
    EXPECT_THROW(zel::ExelCall(0, QByteArray(65, '\0'), kRussian), zel::StreamReadError);
}

TEST(Export, ZelSoloHeadingsOpenAutoGroupsAndStationZero)
{
    Export x(zel::kZelSoloLayout, stream({rec(15, 4), rec(15, 5), rec(2, 6), rec(15, 7)}));
    EXPECT_TRUE(x.isHeading(5));
    EXPECT_EQ(x.text(5, C), "N");
    EXPECT_EQ(x.text(5, I), "Auto");
    EXPECT_EQ(x.text(6, C), "4");
    EXPECT_EQ(x.text(7, C), "5");
    EXPECT_EQ(x.text(8, C), "6");
    EXPECT_TRUE(x.isHeading(9));
    EXPECT_EQ(x.text(10, C), "7");
    EXPECT_FALSE(x.isHeading(6));

    Export first(zel::kZelSoloLayout, stream({rec(3, 7), rec(3, 0)}));
    EXPECT_EQ(first.text(5, C), "7");
    EXPECT_FALSE(first.isHeading(5));
    EXPECT_TRUE(first.isHeading(6));
    EXPECT_EQ(first.text(6, C), "Station");
    EXPECT_EQ(first.text(6, I), "Metka");
    EXPECT_EQ(first.text(7, C), "0");
}

TEST(Export, TerravoxHeadingsOpenEveryNewMethodAndStationZero)
{
    Export x(zel::kTerravoxLayout, stream({rec(10, 1), rec(10, 2), rec(11, 3), rec(11, 0), rec(3, 9)}));
    EXPECT_TRUE(x.isHeading(5));
    EXPECT_EQ(x.text(5, I), "Method 1");
    EXPECT_EQ(x.text(5, M), " A ");
    EXPECT_EQ(x.text(5, P), " N ");
    EXPECT_EQ(x.text(6, C), "1");
    EXPECT_EQ(x.text(7, C), "2");
    EXPECT_TRUE(x.isHeading(8));
    EXPECT_EQ(x.text(8, I), "Method 2");
    EXPECT_EQ(x.text(9, C), "3");
    EXPECT_TRUE(x.isHeading(10));
    EXPECT_EQ(x.text(11, C), "0");
    EXPECT_EQ(x.sheet.activeCell(), (zel::CellAddress{12, A}));
}

TEST(Export, EachLayoutPassesOverTheOtherLayoutsRecords)
{
    Export terravox(zel::kTerravoxLayout, stream({rec(0, 1), rec(9, 2), rec(15, 3)}));
    EXPECT_EQ(terravox.sheet.rowCount(), 5);  // the title rows and the finishing touch on A5
    EXPECT_EQ(terravox.sheet.cell(5, A).kind, CellKind::Empty);

    // The record of Mode 10 does not count as the previous mode.
    Export solo(zel::kZelSoloLayout, stream({rec(15, 1), rec(10, 2), rec(15, 3)}));
    EXPECT_TRUE(solo.isHeading(5));
    EXPECT_EQ(solo.text(6, C), "1");
    EXPECT_EQ(solo.text(7, C), "3");
    EXPECT_FALSE(solo.isHeading(7));
}

TEST(Export, VoltageTextsFollowTheirOwnRanges)
{
    MeasurementRecord r = rec(0, 1);
    r.Range[1] = 5;
    r.U[1] = 12345;
    r.Range[2] = 0;
    r.U[2] = -32768;
    r.Range[3] = 4;
    r.U[3] = 31;
    Export x(zel::kZelSoloLayout, stream({r}));
    EXPECT_EQ(x.text(5, D), " 12.34");
    EXPECT_EQ(x.text(5, E), "0.12345");
    EXPECT_EQ(x.text(5, F), "-32768");
    EXPECT_EQ(x.text(5, G), "0.0031");

    r.ValueKind = 3;
    r.Range[3] = 9;
    Export negated(zel::kZelSoloLayout, stream({r}));
    EXPECT_EQ(negated.text(5, D), "-12.34");
    EXPECT_EQ(negated.text(5, F), " 32768");
    EXPECT_EQ(negated.sheet.cell(5, G).kind, CellKind::Empty);
    EXPECT_EQ(negated.text(5, I), "-");

    r.Mode = 12;
    Export terravox(zel::kTerravoxLayout, stream({r}));
    EXPECT_EQ(terravox.text(6, G), "None");
}

TEST(Export, ZelSoloValueKinds)
{
    MeasurementRecord none = rec(4, 1, 1);
    none.Current = 8;
    MeasurementRecord plus = rec(0, 2, 2);
    MeasurementRecord timed = rec(15, 3, 0);
    timed.Current = 120;
    Export x(zel::kZelSoloLayout, stream({none, plus, timed}));
    EXPECT_EQ(x.text(5, D), "None");
    for (int col = E; col <= J; ++col)
        EXPECT_EQ(x.sheet.cell(5, col).kind, CellKind::Empty) << col;
    EXPECT_EQ(x.text(5, K), " 05.07.2007 09:08:07");
    EXPECT_EQ(x.text(5, L), "  50");
    EXPECT_EQ(x.text(6, I), "+");
    EXPECT_EQ(x.sheet.cell(6, J).kind, CellKind::Empty);
    EXPECT_EQ(x.text(6, H), "10mA ");
    EXPECT_TRUE(x.isHeading(7));
    EXPECT_EQ(x.sheet.cell(8, H).kind, CellKind::Empty);
    EXPECT_EQ(x.text(8, J), "120");

    // A heading opened by a marked record of another kind has an empty, yet framed, I.
    Export marked(zel::kZelSoloLayout, stream({rec(4, 0, 2)}));
    EXPECT_EQ(marked.sheet.cell(5, I).kind, CellKind::Empty);
    EXPECT_TRUE(marked.sheet.styles().at(std::size_t(marked.sheet.cell(5, I).style)).mediumBorder);
}

TEST(Export, TerravoxElectrodesAreNumbersAndEverythingElseText)
{
    MeasurementRecord r = rec(13, 1, 1);
    r.ElectrodeA = -1;
    r.ElectrodeB = 255;
    r.ElectrodeM = 127;
    r.ElectrodeN = 0;
    Export x(zel::kTerravoxLayout, stream({r}));
    for (int col = D; col <= G; ++col)
        EXPECT_EQ(x.sheet.cell(6, col).kind, CellKind::Empty);
    EXPECT_EQ(x.text(6, H), "10mA ");
    EXPECT_EQ(x.sheet.cell(6, M).kind, CellKind::Int32);
    EXPECT_EQ(x.sheet.cell(6, M).number, -1);
    EXPECT_EQ(x.sheet.cell(6, N).number, 255);
    EXPECT_EQ(x.sheet.cell(6, O).kind, CellKind::UInt8);
    EXPECT_EQ(x.sheet.cell(6, O).number, 127);
    EXPECT_EQ(x.sheet.cell(6, P).kind, CellKind::UInt8);
    for (int col = A; col <= L; ++col)
        EXPECT_NE(x.sheet.cell(6, col).kind, CellKind::Int32);
    EXPECT_EQ(x.text(6, B), "-4");
}

TEST(Export, MidnightShowsTheDateOnlyAndImpossibleDatesStopTheExport)
{
    MeasurementRecord midnight = rec(0, 1);
    midnight.Hour = midnight.Minute = midnight.Second = 0;
    Export x(zel::kZelSoloLayout, stream({midnight}));
    EXPECT_EQ(x.text(5, K), " 05.07.2007");

    MeasurementRecord badDate = rec(0, 2);
    badDate.Month = 13;
    const zel::SheetExport cut = zel::ExelCall(0, stream({midnight, badDate}), kRussian);
    ASSERT_TRUE(cut.error);
    EXPECT_EQ(zel::texts::errorText(*cut.error), "Invalid argument to date encode");
    EXPECT_EQ(cut.sheet.cell(5, C).text, "1");  // the row before stays

    MeasurementRecord badTime = rec(0, 2);
    badTime.Second = 60;
    EXPECT_THROW(zel::recordDateTimeText(badTime, zel::DateTimeText(kRussian)), zel::ZelError);
    badTime.Second = 0;
    badTime.Day = 30;
    badTime.Month = 2;
    EXPECT_THROW(zel::recordDateTimeText(badTime, zel::DateTimeText(kRussian)), zel::ZelError);
}

TEST(Export, HeadingCellsAreYellowBoldArialBlackFramedAndStylesAreShared)
{
    Export x(zel::kTerravoxLayout, stream({rec(10, 1), rec(11, 2), rec(12, 3)}));
    const auto& heading = x.sheet.styles().at(std::size_t(x.sheet.cell(5, P).style));
    EXPECT_TRUE(heading.yellowFill);
    EXPECT_TRUE(heading.bold);
    EXPECT_EQ(heading.fontName, "Arial Black");
    EXPECT_EQ(heading.fontSize, 10);
    EXPECT_TRUE(heading.mediumBorder);
    const auto& data = x.sheet.styles().at(std::size_t(x.sheet.cell(6, A).style));
    EXPECT_EQ(data.fontName, "Ms Sans Serif");
    EXPECT_FALSE(data.yellowFill);
    EXPECT_EQ(x.sheet.styles().size(), 2u);  // the sheet's own and the heading's

    const auto widths = x.sheet.fittedWidths();
    EXPECT_GT(widths[L - 1], widths[B - 1]);  // "Frequency [Hz]" in Arial Black is wide
    EXPECT_GT(widths[A - 1], 0.0);
}
