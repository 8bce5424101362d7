#pragma once

#include <cstdint>

namespace zel {

constexpr int kRawRecordSize = 32;     // one measurement in the station's memory
constexpr int kRecordImageSize = 48;   // one measurement in the decoded data stream
constexpr int kHeaderFieldSize = 22;   // length byte + 21 characters
constexpr int kHeaderFieldsSize = 3 * kHeaderFieldSize;

// One decoded measurement.
struct MeasurementRecord {
    std::int8_t LineNo = 0;
    std::uint8_t FileNo = 0;
    std::int16_t Station = 0;
    std::uint8_t Mode = 0;       // 0 plain, 1-9 mark, 10-14 method 1-5 with electrodes, 15 Auto
    std::uint8_t ValueKind = 0;  // 0 plain, 1 no voltages, 2 "+", 3 "-" (voltages negated)
    std::uint8_t FreqIndex = 0;
    std::uint16_t Current = 0;   // current label index; with Mode 15 a time in seconds
    std::uint8_t ElectrodeM = 0;
    std::int32_t ElectrodeA = 0;
    std::uint8_t ElectrodeN = 0;
    std::int32_t ElectrodeB = 0;
    std::uint8_t Range[4] = {};  // Range1..Range4: power of ten dividing U; 7 or more = out of range
    std::int16_t U[4] = {};      // U1..U4
    std::uint16_t Aux1 = 0;
    std::uint16_t Aux2 = 0;
    std::uint16_t Year = 2000;
    std::uint8_t Month = 1;
    std::uint8_t Day = 1;
    std::uint8_t Hour = 0;
    std::uint8_t Minute = 0;
    std::uint8_t Second = 0;

    bool operator==(const MeasurementRecord&) const = default;
};

// Decodes one 32-byte raw record of the station's memory (big-endian, packed bit fields).
MeasurementRecord decodeRawRecord(const std::uint8_t* raw);
// Encodes a record back into the station's 32-byte form (the simulated station and tests use it).
void encodeRawRecord(const MeasurementRecord& r, std::uint8_t* raw);

// The 48-byte little-endian image of a record in the decoded data stream.
void writeRecordImage(const MeasurementRecord& r, std::uint8_t* image);
MeasurementRecord readRecordImage(const std::uint8_t* image);

// Modes 10 to 14 are the TERRAVOX measurements: they carry the electrode
// numbers A, B, M, N (and fill the TERRAVOX layout of a workbook).
constexpr bool carriesElectrodes(int mode) { return mode >= 10 && mode <= 14; }

} // namespace zel
