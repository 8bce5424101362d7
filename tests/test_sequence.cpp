#include "Capture.h"
#ifndef Q_OS_WIN
#include "SimProcess.h"
#endif

#include "texts/Texts.h"
#include "data/DataFile.h"
#include "data/ZelError.h"
#include "protocol/ElectrodeTable.h"
#include "survey/Sequence.h"
#include "zeltool/Commands.h"

#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <climits>

using zel::ArrayKind;
using zel::SequenceOptions;
using zel::TableEntry;

namespace {

QString refusal(const SequenceOptions& o)
{
    try {
        zel::electrodeSequence(o);
    } catch (const zel::ZelError& e) {
        return zel::texts::errorText(e);
    }
    return {};
}

} // namespace

// Each array's first entries and its count against the formulas.
TEST(Sequence, ArraysAndTheirCounts)
{
    const int count = 48;
    const struct {
        ArrayKind array;
        int aMax, nMax;
        std::vector<TableEntry> first;
        long long expected;
    } cases[] = {
        {ArrayKind::Wenner, 3, 1, {{1, 4, 2, 3}, {2, 5, 3, 4}}, (48 - 3) + (48 - 6) + (48 - 9)},
        {ArrayKind::Schlumberger, 2, 3, {{1, 4, 2, 3}, {2, 5, 3, 4}}, 0},
        {ArrayKind::DipoleDipole, 2, 6, {{1, 2, 3, 4}, {2, 3, 4, 5}}, 0},
    };
    for (const auto& c : cases) {
        long long expected = c.expected;
        if (c.array != ArrayKind::Wenner) {
            for (int a = 1; a <= c.aMax; ++a)
                for (int n = 1; n <= c.nMax; ++n)
                    expected += std::max(0, count - (c.array == ArrayKind::Schlumberger ? (2 * n + 1) : (n + 2)) * a);
        }
        const auto entries = zel::electrodeSequence({c.array, count, 1, 1, c.aMax, c.nMax, 1});
        EXPECT_EQ(qsizetype(entries.size()), expected) << zel::arrayName(c.array).toStdString();
        EXPECT_EQ(std::vector<TableEntry>(entries.begin(), entries.begin() + 2), c.first);
    }
    // Order: a, then n, then the first electrode: the second level of dipole-dipole a = 1.
    const auto dd = zel::electrodeSequence({ArrayKind::DipoleDipole, 10, 1, 1, 1, 2, 1});
    EXPECT_EQ(dd.at(7), (TableEntry{1, 2, 4, 5}));
    EXPECT_EQ(zel::electrodeTableText({{-5, 12, 3, 4}, {1, 2, 3, 4}}), "-5 12 3 4\r\n1 2 3 4\r\n");
}

// Four channels: one entry per current dipole and first dipole for n = 1, 5,
// 9, ..., whose fourth dipole still lies on the line.
TEST(Sequence, FourChannelDipoleDipole)
{
    const auto entries = zel::electrodeSequence({ArrayKind::DipoleDipole, 12, 1, 1, 1, 8, 4});
    // n = 1: A = i, B = i+1, M = i+2, N = i+3, the fourth dipole to i+6 <= 12: i = 1..6;
    // n = 5: M = i+6, fourth N = i+10 <= 12: i = 1, 2.
    ASSERT_EQ(entries.size(), 8u);
    EXPECT_EQ(entries.at(0), (TableEntry{1, 2, 3, 4}));
    EXPECT_EQ(entries.at(6), (TableEntry{1, 2, 7, 8}));
}

TEST(Sequence, EveryLimitIsRefusedSayingWhichAndByHowMuch)
{
    const struct {
        SequenceOptions options;
        const char* says;
    } cases[] = {
        {{ArrayKind::Wenner, 32, 1, 1, 1, 1, 4}, "одноканальная"},
        {{ArrayKind::DipoleDipole, 3, 1, 1, 1, 1, 1}, "electrodes = 3"},
        {{ArrayKind::DipoleDipole, 32, 1, 3, 2, 1, 1}, "a-max = 2"},
        {{ArrayKind::Wenner, 6, 1, 2, 2, 1, 1}, "из 6 электродов"},
        // The largest excess is named: moving the line by it fits every entry.
        {{ArrayKind::DipoleDipole, 130, 1, 1, 1, 1, 1}, "Электрод N = 130 вне пределов от 0 до 127 на 3"},
        {{ArrayKind::DipoleDipole, 64, 99, 1, 1, 1, 1}, "Электрод N = 162 вне пределов от 0 до 127 на 35"},
        {{ArrayKind::Wenner, 20, 250, 1, 1, 1, 1}, "Электрод N = 268 вне пределов от 0 до 127 на 141"},
        {{ArrayKind::DipoleDipole, 1000, 1, 1, 40, 30, 1}, "записей, а станция принимает не больше 32765"},
        // Values far past the station's ranges: refused at once, no overflow.
        {{ArrayKind::Wenner, 32, 1, 1, INT_MAX, 1, 1}, "a-max = 2147483647"},
        {{ArrayKind::DipoleDipole, 32, 1, INT_MAX, INT_MAX, 1, 1}, "a-min = 2147483647"},
        {{ArrayKind::Schlumberger, 32, 1, 1, 1, INT_MAX, 1}, "n-max = 2147483647"},
        {{ArrayKind::DipoleDipole, 1024, INT_MAX, 1, 1, 1, 1}, "first = 2147483647"},
        {{ArrayKind::DipoleDipole, 1024, INT_MIN, 1, 1, 1, 1}, "first = -2147483648"},
        {{ArrayKind::DipoleDipole, INT_MAX, 1, 1, 1, 1, 1}, "electrodes = 2147483647"},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(refusal(c.options).contains(QString::fromUtf8(c.says))) << refusal(c.options).toStdString();
    // -1 as the first electrode is a valid A; M may not be below 0.
    EXPECT_TRUE(refusal({ArrayKind::DipoleDipole, 100, -3, 1, 1, 1, 1}).contains("M = -1 вне пределов от 0 до 127 на 1"));
}

// zeltool writes the same file; the program's own reader takes it back whole,
// and the simulated station stores it whole.
TEST(Sequence, GeneratedTableIsReadBackAndStoredByTheStation)
{
    QTemporaryDir dir;
    const QString table = dir.filePath("dd48.txt");
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    ASSERT_EQ(zeltool::run({"sequence", "--array", "dipole-dipole", "--electrodes", "48", "--a-max", "2", "--n-max", "6",
                            table},
                           out, err),
              0);
    const auto expected = zel::electrodeSequence({ArrayKind::DipoleDipole, 48, 1, 1, 2, 6, 1});
    EXPECT_EQ(zel::readWholeFile(table), zel::electrodeTableText(expected));
    const auto read = zel::parseElectrodeTable(zel::readWholeFile(table));
    ASSERT_EQ(read.size(), expected.size());
    EXPECT_EQ(read.back().a, expected.back().a);
    EXPECT_EQ(read.back().n, expected.back().n);

#ifndef Q_OS_WIN  // the simulated station serves a pseudo-terminal
    const QString stored = dir.filePath("stored.txt");
    SimProcess sim(dir.filePath("station"), {"--table-out", stored});
    ASSERT_TRUE(sim.ok());
    EXPECT_EQ(zeltool::run({"protocol", "--port", dir.filePath("station"), table}, out, err), 0);
    for (int i = 0; i < 300 && !QFile::exists(stored); ++i)
        QThread::msleep(10);
    EXPECT_EQ(zel::readWholeFile(stored), zel::electrodeTableText(expected));
#endif

    EXPECT_NE(zeltool::run({"sequence", "--array", "wenner", "--electrodes", "32", "--channels", "4", dir.filePath("w.txt")},
                           out, err),
              0);
    EXPECT_FALSE(QFile::exists(dir.filePath("w.txt")));
    std::fclose(out);
    std::fclose(err);
}

// Reciprocals follow the entries in their order; an entry whose A or B
// cannot be a potential electrode has none; the count limit takes them in.
TEST(Sequence, ReciprocalsAfterTheEntries)
{
    SequenceOptions o{ArrayKind::DipoleDipole, 6, -1, 1, 1, 1, 1, true};
    const auto entries = zel::electrodeSequence(o);
    const std::vector<TableEntry> normal = {{-1, 0, 1, 2}, {0, 1, 2, 3}, {1, 2, 3, 4}};
    ASSERT_EQ(entries.size(), 5u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(entries[i], normal[i]);
    EXPECT_EQ(entries[3], (TableEntry{2, 3, 0, 1}));
    EXPECT_EQ(entries[4], (TableEntry{3, 4, 1, 2}));
    // 16,410 entries fit; with their 16,410 reciprocals they do not.
    EXPECT_EQ(zel::electrodeSequence({ArrayKind::DipoleDipole, 128, 0, 1, 5, 87, 1, false}).size(), 16410u);
    EXPECT_TRUE(refusal({ArrayKind::DipoleDipole, 128, 0, 1, 5, 87, 1, true}).contains("32820")) << refusal({ArrayKind::DipoleDipole, 128, 0, 1, 5, 87, 1, true}).toStdString();
    EXPECT_EQ(run({"sequence", "--array", "wenner", "--electrodes", "6", "--first", "0", "--reciprocals",
                   QDir::temp().filePath("zel-reciprocals.txt")}).status, 0);
    EXPECT_EQ(zel::readWholeFile(QDir::temp().filePath("zel-reciprocals.txt")), "0 3 1 2\r\n1 4 2 3\r\n2 5 3 4\r\n1 2 0 3\r\n2 3 1 4\r\n3 4 2 5\r\n");
}
