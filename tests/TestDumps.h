#pragma once

#include "data/RawDump.h"
#include "data/Record.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace zeltest {

// A station header of 20 bytes: "ZEL-", year digits, two characters, the
// eight-character version line (with "E1" at 13-14) and the count.
QByteArray header(int count, const QByteArray& yearAndTwo = "0701", const QByteArray& version = "V2.1E1.0");

// 32-byte raw records of the given records, optionally followed by the checksum.
QByteArray rawRecords(const std::vector<zel::MeasurementRecord>& records, bool withChecksum = true);

// A raw dump of header, time stamp and record block.
QByteArray dump(const QByteArray& header, const QByteArray& stamp, const QByteArray& records);
QByteArray dump(const std::vector<zel::MeasurementRecord>& records);

// The third block of a raw dump: the data answer as it arrived.
QByteArray recordBlock(const QByteArray& dump);

QString dataFile(const char* name);  // a file of tests/data

// A measurement record as a test writes it: a plain measurement taken on
// 05.07.2007 at 09:08:07, every other field 0 until a setter gives it.
class Record {
public:
    Record();
    Record& mode(int mode);
    Record& kind(int kind);
    Record& station(int station);
    Record& profile(int line, int file);
    Record& current(int code);
    Record& frequency(int index);
    Record& electrodes(int a, int b, int m, int n);
    Record& u(int channel, int value, int range);  // channel 1 to 4
    Record& taken(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
    operator zel::MeasurementRecord() const { return m_r; }

private:
    zel::MeasurementRecord m_r;
};

} // namespace zeltest

// What the window shows of a decoding: its list lines, and the text of its
// message box (empty when it succeeded).
QStringList lines(const zel::DumpDecoding& d);
QString message(const zel::DumpDecoding& d);
