#include "VirtualStation.h"

#include "data/RawDump.h"
#include "data/ZelError.h"
#include "protocol/EventLoopClock.h"
#include "protocol/ReadData.h"

#include <gtest/gtest.h>

using zel::DialogueStatus;
using namespace std::chrono_literals;

namespace {

struct Reading {
    zel::sim::StationModel model;
    VirtualStation line;
    RecordingReport report;
    zel::StationReading reading;
    DialogueStatus status = DialogueStatus::Refused;

    Reading(int count, const zel::sim::Faults& faults = {}, const QByteArray& header = {})
        : model(header.isEmpty() ? zel::sim::makeHeader(count) : header,
                zel::sim::rawRecords(zel::sim::generateRecords(count, 3)), faults)
        , line(model)
    {
    }
    DialogueStatus run()
    {
        status = zel::readStationMemory(line, line, report, reading);
        return status;
    }
    std::int64_t sentAt(const QByteArray& bytes) const
    {
        for (const auto& s : line.sent)
            if (s.bytes == bytes)
                return s.atMs;
        return -1;
    }
};

const QByteArray kWake(1, '\x07');
const QByteArray kCode1("\x05\x6C", 2);

QList<QByteArray> blocksOf(const QByteArray& dump)
{
    QList<QByteArray> blocks;
    zel::BlockReader reader(dump);
    for (;;) {
        try {
            blocks << reader.readBlock();
        } catch (const zel::ZelError&) {
            return blocks;
        }
    }
}

} // namespace

TEST(ReadData, HundredMeasurementsStepByStep)
{
    Reading r(100);
    ASSERT_EQ(r.run(), DialogueStatus::Done);
    EXPECT_EQ(r.line.sentBytes(),
              QByteArrayList({kWake, kCode1, "$OK", QByteArray("$UD\x00\x00\x80\x64", 7), "$GB"}));
    EXPECT_EQ(r.report.lines, QStringList({"Считано 3218 байт"}));
    EXPECT_EQ(r.sentAt("$OK") - r.sentAt(kCode1), 500);  // the pause after the echo
    EXPECT_FALSE(r.line.isOpen());
    EXPECT_EQ(r.reading.count, 100);

    const auto blocks = blocksOf(r.reading.rawDump);
    ASSERT_EQ(blocks.size(), 3);
    EXPECT_EQ(blocks.at(0), zel::sim::makeHeader(100));
    EXPECT_EQ(blocks.at(1), "07.12.2026 10:11:12");
    EXPECT_EQ(blocks.at(2), r.model.dataAnswer(100));
    EXPECT_EQ(zel::decodeDump(r.reading.rawDump).outcome, zel::DumpDecoding::Outcome::Decoded);
    for (const auto& s : r.line.sent)
        EXPECT_FALSE(s.bytes.endsWith('\r') || s.bytes.endsWith('\n'));
}

TEST(ReadData, DataRequestSetsTheTopBitOfTheCount)
{
    EXPECT_EQ(zel::dataRequest(300), QByteArray("$UD\x00\x00\x81\x2C", 7));
    EXPECT_EQ(zel::dataRequest(65535), QByteArray("$UD\x00\x00\xFF\xFF", 7));
    Reading r(300);
    ASSERT_EQ(r.run(), DialogueStatus::Done);
    EXPECT_EQ(r.line.sentBytes().at(3), QByteArray("$UD\x00\x00\x81\x2C", 7));
    EXPECT_EQ(r.report.lines, QStringList({"Считано 9618 байт"}));
}

TEST(ReadData, EmptyMemoryEndsAfterTheHeaderWithFourLines)
{
    QByteArray header = zel::sim::makeHeader(0) + "ABCD";  // 24 bytes
    Reading r(0, {}, header);
    ASSERT_EQ(r.run(), DialogueStatus::Done);
    EXPECT_EQ(r.line.sentBytes(), QByteArrayList({kWake, kCode1, "$OK", "$GB"}));
    EXPECT_EQ(r.report.lines,
              QStringList({"Считано 24 байт", "ZEL-TERRAVOX MMXXVI01", "V2.1E1.0", "07.12.2026 10:11:12"}));
    const auto blocks = blocksOf(r.reading.rawDump);
    ASSERT_EQ(blocks.size(), 2);
    EXPECT_EQ(blocks.at(0), header);
    EXPECT_EQ(r.reading.count, 0);
}

TEST(ReadData, ChecksumOffByOneKeepsTheThreeBlocks)
{
    zel::sim::Faults f;
    f.checksumOffByOne = true;
    Reading r(100, f);
    EXPECT_EQ(r.run(), DialogueStatus::ChecksumMismatch);
    EXPECT_EQ(r.report.lines,
              QStringList({"Считано 3218 байт", "Не совпали контрольные суммы", "Повторите ввод"}));
    EXPECT_EQ(blocksOf(r.reading.rawDump).size(), 3);
    EXPECT_EQ(r.line.sentBytes().last(), "$GB");
    EXPECT_FALSE(r.line.isOpen());
}

TEST(ReadData, PauseInTheDataAnswerUpToTwoSecondsIsWaitedFor)
{
    zel::sim::Faults f;
    f.pauseAfterByte = 1000;
    f.pauseMs = 1500;
    Reading ok(100, f);
    EXPECT_EQ(ok.run(), DialogueStatus::Done);

    f.pauseMs = 1990;
    Reading still(100, f);
    EXPECT_EQ(still.run(), DialogueStatus::Done);

    f.pauseMs = 2100;
    Reading late(100, f);
    EXPECT_EQ(late.run(), DialogueStatus::TimedOut);
    EXPECT_EQ(late.report.lines, QStringList({"Время ожидания истекло (3)"}));
    EXPECT_EQ(late.line.sentBytes().last(), "$GB");
    EXPECT_FALSE(late.line.isOpen());
    EXPECT_EQ(blocksOf(late.reading.rawDump).size(), 2);
}

TEST(ReadData, StationThatNeverStartsItsDataAnswerTimesOutAfterTwoSeconds)
{
    zel::sim::Faults f;
    f.hangUpAfterByte = 0;
    Reading r(100, f);
    EXPECT_EQ(r.run(), DialogueStatus::TimedOut);
    EXPECT_EQ(r.line.tickMs() - r.sentAt(QByteArray("$UD\x00\x00\x80\x64", 7)), 2000);
}

// A line that delivers a byte a second never goes idle for two seconds: the
// wait ends at three times the line time of the answer and ten seconds
// more, and what arrived is kept for the incomplete reading.
TEST(ReadData, TricklingDataAnswerEndsAtThreeLineTimesAndTenSeconds)
{
    Reading r(100);
    r.line.trickleUs = 1'000'000;
    EXPECT_EQ(r.run(), DialogueStatus::TimedOut);
    EXPECT_EQ(r.report.lines, QStringList({"Время ожидания истекло (3)"}));
    const std::int64_t waited = r.line.tickMs() - r.sentAt(QByteArray("$UD\x00\x00\x80\x64", 7));
    const std::int64_t limit = 3 * r.line.lineTime(100 * 32 + 2).count() + 10000;
    EXPECT_GE(waited, limit);
    EXPECT_LE(waited, limit + 2);
    ASSERT_TRUE(r.reading.arrivedBeforeTimeout);
    const QList<QByteArray> cut = blocksOf(*zel::incompleteDump(r.reading));
    ASSERT_EQ(cut.size(), 3);
    EXPECT_EQ(cut.at(2), *r.reading.arrivedBeforeTimeout);
    EXPECT_GT(cut.at(2).size(), 5);
}

TEST(ReadData, HangUpInTheMiddleOfTheData)
{
    zel::sim::Faults f;
    f.hangUpAfterByte = 2000;
    Reading r(100, f);
    EXPECT_EQ(r.run(), DialogueStatus::TimedOut);
    EXPECT_EQ(r.report.lines, QStringList({"Время ожидания истекло (3)"}));
    EXPECT_FALSE(r.line.isOpen());
}

TEST(ReadData, SilentStationGetsOneWakeUpByte)
{
    zel::sim::Faults f;
    f.silent = true;
    Reading r(100, f);
    EXPECT_EQ(r.run(), DialogueStatus::NoAnswer);
    EXPECT_EQ(r.line.sentBytes(), QByteArrayList({kWake}));
    EXPECT_EQ(r.report.lines, QStringList({"Время ожидания истекло (1)"}));
    EXPECT_EQ(r.line.tickMs() - r.sentAt(kWake), 1000);
    EXPECT_FALSE(r.line.isOpen());
}

// The rest of a stopped reading still coming in: the wake-up byte goes out
// only after the line has been quiet for 300 ms, and a line that does not go
// quiet within 10 s ends the reading before anything is sent.
TEST(ReadData, WakeUpWaitsForAQuietLine)
{
    struct Case {
        std::int64_t streamUntilMs;
        DialogueStatus status;
        std::int64_t wakeUpAtMs;
    };
    for (const Case c : {Case{0, DialogueStatus::Done, 300}, Case{4000, DialogueStatus::Done, 4300},
                         Case{20000, DialogueStatus::LineNotQuiet, -1}}) {
        Reading r(50);
        r.line.leftover(c.streamUntilMs);
        EXPECT_EQ(r.run(), c.status) << c.streamUntilMs;
        EXPECT_NEAR(double(r.sentAt(kWake)), double(c.wakeUpAtMs), 1.0) << c.streamUntilMs;
        if (c.status == DialogueStatus::Done)
            EXPECT_EQ(blocksOf(r.reading.rawDump).value(2), r.model.dataAnswer(50));
        else
            EXPECT_EQ(r.report.lines, QStringList({"Линия не затихает: станция продолжает передачу"}));
    }
}

// An answer to "$OK" that is not a memory header (bytes of an earlier answer,
// another device) ends the reading with its own line and keeps nothing.
TEST(ReadData, AnswerThatIsNotAMemoryHeaderKeepsNothing)
{
    for (const QByteArray& header : {QByteArray(20, '\x55'), QByteArray("XYZ-2601V2.1Q1.0\x00\x05\r\n", 20)}) {
        Reading r(5, {}, header);
        EXPECT_EQ(r.run(), DialogueStatus::NotAMemoryHeader);
        EXPECT_EQ(r.report.lines, QStringList({"Ответ станции не является заголовком памяти"}));
        EXPECT_TRUE(r.reading.rawDump.isEmpty());
        EXPECT_FALSE(r.reading.count.has_value());
        EXPECT_EQ(r.line.sentBytes().last(), "$GB");
        EXPECT_FALSE(r.line.isOpen());
    }
}

TEST(ReadData, TenWakeUpBytesWithoutALinkCode)
{
    zel::sim::Faults f;
    f.wrongLinkAnswers = 100;
    Reading r(100, f);
    EXPECT_EQ(r.run(), DialogueStatus::NoLink);
    EXPECT_EQ(r.line.sentBytes(), QByteArrayList(10, kWake));
    EXPECT_EQ(r.report.lines, QStringList({"Не установлено соединение"}));
    EXPECT_FALSE(r.line.isOpen());
}

TEST(ReadData, LinkCodeOnTheThirdWakeUpByte)
{
    zel::sim::Faults f;
    f.wrongLinkAnswers = 2;
    Reading r(10, f);
    EXPECT_EQ(r.run(), DialogueStatus::Done);
    EXPECT_EQ(r.line.sentBytes().mid(0, 4), QByteArrayList({kWake, kWake, kWake, kCode1}));
}

TEST(ReadData, LinkCodeFoundAnywhereAndTableOrderDecides)
{
    zel::sim::Faults f;
    f.linkAnswer = QByteArray("\x33\x44\x01\x5A", 4);
    Reading r(10, f);
    EXPECT_EQ(r.run(), DialogueStatus::Done);
    EXPECT_EQ(r.line.sentBytes().at(1), QByteArray("\x01\x5A", 2));

    f.linkAnswer = QByteArray("\x00\xE6\x05\x6C", 4);
    Reading both(10, f);
    EXPECT_EQ(both.run(), DialogueStatus::Done);
    EXPECT_EQ(both.line.sentBytes().at(1), kCode1);

    EXPECT_EQ(zel::findLinkCode(QByteArray("\x00\x73\x02\xB5", 4)), QByteArray("\x02\xB5", 2));
    EXPECT_TRUE(zel::findLinkCode(QByteArray("\x05\x00\x6C", 3)).isEmpty());
}

TEST(ReadData, ShortHeaderTimesOutWithoutTheEndOfDialogue)
{
    zel::sim::Faults f;
    f.shortHeader = 19;
    Reading r(100, f);
    EXPECT_EQ(r.run(), DialogueStatus::TimedOut);
    EXPECT_EQ(r.report.lines, QStringList({"Время ожидания истекло (2)"}));
    EXPECT_EQ(r.line.sentBytes(), QByteArrayList({kWake, kCode1, "$OK"}));
    EXPECT_FALSE(r.line.isOpen());
    EXPECT_TRUE(r.reading.rawDump.isEmpty());
}

TEST(ReadData, PortThatDoesNotOpen)
{
    Reading r(100);
    r.line.failOpen = true;
    EXPECT_EQ(r.run(), DialogueStatus::PortNotOpened);
    EXPECT_EQ(r.report.lines, QStringList({"Невозможно открыть порт"}));
    EXPECT_TRUE(r.line.sent.empty());
}

TEST(ReadData, TimeStampBlockHoldsAtMost21Characters)
{
    Reading r(1);
    r.report.stamp = "Monday, 7 December 2026 10:11:12";
    ASSERT_EQ(r.run(), DialogueStatus::Done);
    EXPECT_EQ(blocksOf(r.reading.rawDump).at(1), "Monday, 7 December 20");
    EXPECT_EQ(r.reading.headerTime, "Monday, 7 December 20");
}

TEST(ReadData, CancelledWhenTheWindowClosesDuringTheWait)
{
    Reading r(100);
    r.line.onPass = [&](std::int64_t ms) {
        if (ms == 700)
            r.line.cancel = true;
    };
    EXPECT_EQ(r.run(), DialogueStatus::Cancelled);
    EXPECT_LE(r.line.tickMs(), 701);
}

// Stop ends the reading wherever it is, as a time-out would: its own line,
// "$GB", the port closed; stopped in the data answer, what arrived is kept.
TEST(ReadData, StopEndsTheReadingAndKeepsWhatArrived)
{
    struct Case {
        std::int64_t atMs;
        bool keepsData;
    };
    for (const Case c : {Case{300, false}, Case{2000, true}, Case{5000, true}}) {
        Reading r(3000);
        r.line.onPass = [&](std::int64_t ms) {
            if (ms == c.atMs)
                r.line.stop = true;
        };
        EXPECT_EQ(r.run(), DialogueStatus::Stopped) << c.atMs;
        EXPECT_LE(r.line.tickMs(), c.atMs + 1);
        EXPECT_EQ(r.report.lines.last(), "Остановлено пользователем");
        EXPECT_EQ(r.line.sentBytes().last(), "$GB");
        EXPECT_FALSE(r.line.isOpen());
        EXPECT_EQ(bool(r.reading.arrivedBeforeTimeout), c.keepsData) << c.atMs;
        if (c.keepsData) {
            EXPECT_EQ(blocksOf(*zel::incompleteDump(r.reading)).size(), 3);
        }
    }
}

TEST(Dialogue, ByteWaitTimeOutWinsOnTheSamePassAndPauseLowersTheFlag)
{
    zel::sim::StationModel model(zel::sim::makeHeader(0), {});
    VirtualStation line(model);
    ASSERT_TRUE(line.open());
    line.send(QByteArray(1, '\x07'));  // answered with 2 bytes after 174 us
    RecordingReport report;
    EXPECT_EQ(zel::byteWait(line, line, report, 2, 1ms), zel::WaitResult::TimedOut);
    EXPECT_TRUE(line.timedOut());
    line.lowerFlag();
    EXPECT_EQ(zel::pause(line, 500ms), zel::WaitResult::Arrived);
    EXPECT_FALSE(line.timedOut());
    EXPECT_EQ(line.tickMs(), 501);
}

TEST(SimulatedStation, MemoryOfMoreThan32767MeasurementsIsSentWhole)
{
    zel::sim::StationModel model(zel::sim::makeHeader(40000), zel::sim::rawRecords(zel::sim::generateRecords(40000, 1)));
    const auto segments = model.feed(zel::dataRequest(40000));
    ASSERT_EQ(segments.size(), 1u);
    EXPECT_EQ(segments.at(0).bytes.size(), 40000 * 32 + 2);
    // A request whose low 15 bits name another count gets that many.
    EXPECT_EQ(model.feed(zel::dataRequest(100)).at(0).bytes.size(), 100 * 32 + 2);
}

// A dialogue timer left running by an earlier command may expire while the
// port opens (its Abort/Retry box processes events): the handshake still
// gets its whole first time-out.
TEST(Dialogue, TimeOutLeftOverFromAnEarlierCommandIsGoneOnceThePortOpens)
{
    Reading r(5);
    r.line.onOpen = [&] {
        r.line.arm(0ms);
        r.line.processEvents();
    };
    EXPECT_EQ(r.run(), DialogueStatus::Done);
    EXPECT_EQ(r.report.lines, QStringList({"Считано 178 байт"}));
}

// The program's dialogue timer never ends a wait before its interval.
// The clock never expires early, and wakes the program only while a wait
// runs: no timer of it is left running between waits.
TEST(Dialogue, EventLoopClockNeverExpiresEarly)
{
    zel::EventLoopClock clock;
    EXPECT_FALSE(clock.pulse().isActive());
    for (const auto interval : {30ms, 200ms, 450ms}) {
        clock.lowerFlag();
        const auto start = std::chrono::steady_clock::now();
        clock.arm(interval);
        while (!clock.timedOut())
            clock.processEvents();
        EXPECT_GE(std::chrono::steady_clock::now() - start, interval);
        EXPECT_FALSE(clock.timer().isActive());
        EXPECT_FALSE(clock.pulse().isActive());
    }
}
