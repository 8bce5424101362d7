#pragma once

#include "data/Record.h"
#include "inversion/Ground.h"
#include "survey/Lines.h"
#include "survey/Spacings.h"

#include <QByteArray>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace zel::sim {

// Ways in which the simulated station misbehaves on request, as stations,
// cables and adapters do in the field.
struct Faults {
    bool silent = false;               // never answers
    int linkCode = 1;                  // which of the five link codes it answers with (1-5)
    int wrongLinkAnswers = 0;          // the first k answers to the wake-up byte hold no link code
    bool junkAroundLink = false;       // bytes before and after the link code
    QByteArray linkAnswer;             // when set, the whole answer to every wake-up byte
    int shortHeader = -1;              // the header answer has only this many bytes
    qint64 pauseAfterByte = -1;        // a pause after this many bytes of the data answer
    int pauseMs = 0;
    bool checksumOffByOne = false;     // the data answer's checksum is one too high
    qint64 hangUpAfterByte = -1;       // the line goes dead after this many bytes of the data answer
    int wrongUploadAnswers = 0;        // the first k upload frames get a wrong checksum
    bool uploadOneByte = false;        // upload frames get a one-byte answer
    bool uploadSilent = false;         // upload frames get no answer
    int uploadAnswerDelayMs = 0;       // upload frames are answered after this pause
    QByteArray hangUpOn;               // the line goes dead instead of answering: "wake", "$OK", "$DP" or "$DD"
    int extraAfterData = 0;            // bytes nobody asked for right after the data answer
    int junkAfterEnd = 0;              // bytes sent after "$GB", when the program has left
};

// Bytes the station sends, after a pause; the line may go dead after them.
struct Segment {
    QByteArray bytes;
    int delayMs = 0;
    bool hangUp = false;
};

// The station's side of the dialogue, without any I/O: it is fed the bytes
// the program sends and answers with what the station would send.
class StationModel {
public:
    // `header` is the header answer (its bytes 17-18 hold the count);
    // `records` the raw records of the memory.
    StationModel(QByteArray header, QByteArray records, Faults faults = {});

    std::vector<Segment> feed(const QByteArray& fromProgram);

    int dialoguesEnded() const { return m_dialoguesEnded; }
    int uploadFrames() const { return m_uploadFrames; }
    // The electrode table stored by "$A5EB": the protocol name and the entry
    // words as received; the firmware image committed by "$CLEA".
    const QByteArray& storedTable() const { return m_storedTable; }
    int tablesStored() const { return m_tablesStored; }
    const QByteArray& storedFirmware() const { return m_storedFirmware; }
    int firmwareCommits() const { return m_firmwareCommits; }
    int wakeUps() const { return m_wakeUps; }
    const QByteArray& received() const { return m_received; }
    const QByteArray& header() const { return m_header; }

    // The data answer for a request of `count` measurements.
    QByteArray dataAnswer(std::uint16_t count) const;

private:
    QByteArray m_header;
    QByteArray m_records;
    Faults m_faults;
    // Answers an upload frame's payload with its checksum (or a fault).
    std::vector<Segment> answerUpload(const QByteArray& payload);

    QByteArray m_pending;
    QByteArray m_lastTable;
    QByteArray m_storedTable;
    QByteArray m_lastFirmware;
    QByteArray m_storedFirmware;
    int m_uploadFrames = 0;
    int m_tablesStored = 0;
    int m_firmwareCommits = 0;
    QByteArray m_received;
    int m_wakeUps = 0;
    int m_dialoguesEnded = 0;
};

// A station memory of `count` generated measurements: every Mode and
// ValueKind, plausible voltages, currents, dates and electrode positions.
std::vector<MeasurementRecord> generateRecords(int count, std::uint32_t seed);
// A dipole-dipole line as a crew measures it: `electrodes` electrodes
// (numbers 0 …, 1 m apart unless the geometry says otherwise), a = 1–2 and
// n = 1–8 with four channels a record, 100 mA, over 100 ohm·m holding a
// 10 ohm·m block at 10–14 m and a 1,000 ohm·m block at 20–24 m, both from
// 1.5 m to 4 m deep; the voltages from the inversion's forward response.
std::vector<MeasurementRecord> sectionRecords(int electrodes);

// A synthetic line: layers and blocks of their own resistivity in a uniform
// ground, the electrodes numbered 0 … electrodes − 1 at x = number ·
// spacing, the ground at the elevations given for some electrodes (linear
// between them, beyond them the nearest one's; none: flat), measured with
// the electrode table generator's dipole-dipole table (four channels, a 1 …
// aMax, n up to nMax).
using SyntheticBlock = inv::GroundBlock;
using SyntheticLine = inv::Ground;
// A model file (inv::parseGround), at most 128 electrodes.
// Throws std::runtime_error naming the line that cannot be used.
SyntheticLine parseSyntheticLine(const QByteArray& text);
// The frequencies (FreqIndex, low and high) the station reads every
// quadripole of the line at: those of the model file, else 1.22 and 9.76 Hz
// over chargeable ground; none: one reading.
constexpr int kChargeableLow = 1;   // 1.22 Hz
constexpr int kChargeableHigh = 4;  // 9.76 Hz
std::optional<std::pair<int, int>> readingFrequencies(const SyntheticLine& line);
// The line's records: the voltages from the inversion's forward response;
// a line of spreads measured spread by spread, each a file of its own with
// its electrodes numbered from 0.
std::vector<MeasurementRecord> syntheticRecords(const SyntheticLine& line);
// The line's spreads: each file's number and its first electrode on the line.
std::vector<std::pair<int, int>> syntheticSpreads(const SyntheticLine& line);
// What the lines file beside the memory says of the line: each spread's
// spacing and X0, and the line's Y; nothing for one spread at Y = 0.
LineGeometries syntheticGeometry(const SyntheticLine& line);
// Lines measured one after the other into one memory (the stations'
// numbers running on) with what the lines file says of them.
struct SyntheticSurvey {
    std::vector<MeasurementRecord> records;
    LineGeometries lines;
};
// The spacing sheet of a line's plain soundings, a sheet a file with its
// centre; none for other lines.
SpacingSheets syntheticSpacings(const SyntheticLine& line);
SyntheticSurvey syntheticSurvey(const std::vector<SyntheticLine>& lines);
QByteArray rawRecords(const std::vector<MeasurementRecord>& records);
// The raw records followed by the station's checksum of them, high byte first.
QByteArray withChecksum(const QByteArray& records);
// A header answer of 20 bytes for `count` measurements: "ZEL-", the year's
// two digits and two characters, the eight-character version line, the count.
QByteArray makeHeader(int count, const QByteArray& yearAndTwo = "2601", const QByteArray& version = "V2.1E1.0");

// The electrode table held in upload words (name first) as text lines
// "A B M N", the sign-and-magnitude form read back.
QByteArray tableAsText(const QByteArray& stored);

} // namespace zel::sim
