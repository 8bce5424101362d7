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

} // namespace zeltest

// What the window shows of a decoding: its list lines, and the text of its
// message box (empty when it succeeded).
QStringList lines(const zel::DumpDecoding& d);
QString message(const zel::DumpDecoding& d);
