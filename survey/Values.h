#pragma once

#include "Geometry.h"

#include "data/Record.h"

#include <array>
#include <optional>
#include <vector>

namespace zel {

// The four electrodes of one measured dipole: their numbers and positions.
struct ArrayElectrodes {
    std::array<int, 4> number{};     // A, B, M, N
    std::array<double, 4> x{};       // their positions, metres
    std::optional<std::array<double, 4>> z;  // their elevations, metres, on a line with topography
};

// The profile a record belongs to: its line and file.
inline Profile profileOf(const MeasurementRecord& record) { return {record.LineNo, record.FileNo}; }

// What makes two readings of one profile one quadripole: the electrodes'
// numbers within a file; along a whole line, where each file numbers its
// own spread, their positions to the millimetre.
std::array<long long, 4> quadripoleKey(const ArrayElectrodes& electrodes, const Profile& profile);

// What one channel of one record measured, and what follows from it. A
// value that does not exist is empty: no voltage for a channel out of range
// or a record without voltages, no current for Auto or an unknown label, no
// geometry for a channel without positions or with coinciding electrodes.
struct ChannelValue {
    int record = 0;   // the record's place in the memory, from 0
    int channel = 1;  // 1-4
    std::optional<ArrayElectrodes> electrodes;
    std::optional<double> u;      // mV, as the table shows it
    std::optional<double> i;      // mA
    std::optional<double> r;      // u / i, ohm
    std::optional<double> k;      // geometric factor, m
    std::optional<double> rhoa;   // apparent resistivity k · r, ohm·m (signs kept)
    std::optional<double> depth;  // median depth of investigation, m
};

// The current of a label index in mA; none above index 16.
std::optional<double> currentMilliamps(int index);
// The frequency of a label index in Hz (0 for DC); none above index 10.
std::optional<double> frequencyHertz(int index);
// The label index of a frequency in Hz, within a per cent of it (the
// labels round: 19.5 Hz); none for a frequency the station does not have.
std::optional<int> frequencyIndexOf(double hertz);

// The geometric factor 2π / (1/AM − 1/BM − 1/AN + 1/BN) of four electrodes
// on a line; none when two that form a distance coincide, when A and B or M
// and N coincide, or when the sum is 0 within the rounding of its terms.
std::optional<double> geometricFactor(const std::array<double, 4>& x);
// The same over uneven ground: the straight distances between electrodes at
// x along the line and elevations z.
std::optional<double> geometricFactor(const std::array<double, 4>& x, const std::array<double, 4>& z);

// The median depth of investigation of a four-electrode array over a
// homogeneous half-space (Edwards 1977): the depth above which half of the
// measured signal arises. Each current-potential pair at distance L adds
// ±(1/L − 1/√(L² + 4z²)) from the layers above z; the depth is where the sum
// reaches half of its whole. None where the geometric factor is none.
std::optional<double> medianDepth(const std::array<double, 4>& x);

// The electrodes of a channel of a record with positions (Mode 10-14), in
// the geometry of the record's profile; none
// for other records, for channels the geometry gives no positions, and for
// channels whose M or N falls beyond the station's electrodes 0-127.
std::optional<ArrayElectrodes> channelElectrodes(const MeasurementRecord& record, int channel,
                                                 const SurveyGeometry& geometry);

// Every measured value of the records: one per record and channel with a
// voltage, in memory order.
std::vector<ChannelValue> surveyValues(const std::vector<MeasurementRecord>& records, const SurveyGeometry& geometry);

// The records of a decoded data stream.
std::vector<MeasurementRecord> recordsOf(const QByteArray& decoded);

} // namespace zel
