#pragma once

#include "Messages.h"
#include "ZelError.h"

#include <QByteArray>
#include <QList>

#include <cstdint>
#include <optional>

namespace zel {

// Header lines of the current data as the station sent them (Windows-1251
// bytes, at most 21 each): station name line, version line, time stamp.
struct HeaderTexts {
    QByteArray name;
    QByteArray version;
    QByteArray time;
};

// The current data of the window: the raw dump as read or loaded and what
// decoding it gave. It is replaced whole, so that its parts always come from
// one reading or one file.
struct Reading {
    QByteArray rawDump;   // header answer, time stamp, data answer
    QByteArray decoded;   // header fields and 48-byte record images
    std::uint16_t count = 0;
    HeaderTexts header;   // HeaderName, HeaderVersion, HeaderTime
    bool decodedWhole = false;  // the raw dump was decoded: the data commands apply
};

constexpr int kHeaderTextMax = 21;
constexpr int kMinHeaderSize = 18;  // the measurement count sits in bytes 17-18

// A header answer of the station's memory: the version mark "E1" at
// characters 13-14, or the signature "ZEL" at 1-3 (either case).
bool headerAccepted(const QByteArray& header);

// The raw dump is three blocks, each a 4-byte little-endian signed length and
// that many bytes: header answer, time stamp, data answer.
void appendBlock(QByteArray& dump, const QByteArray& block);

// Reads blocks from a raw dump without ever reading past its end: a missing
// length, a negative length or a length beyond the bytes that follow is a
// stream read error, and nothing is allocated before the length is checked.
class BlockReader {
public:
    explicit BlockReader(const QByteArray& dump) : m_dump(dump) {}
    QByteArray readBlock();

private:
    const QByteArray& m_dump;
    qsizetype m_pos = 0;
    int m_block = 0;
};

// What decoding a raw dump produced: the list lines in order, the decoded data
// stream, and how it ended. Lines and values set before a failure stay valid,
// as the window keeps what was listed before an error.
struct DumpDecoding {
    enum class Outcome { Decoded, Rejected, Failed };
    Outcome outcome = Outcome::Failed;
    QList<ReportLine> lines;
    std::optional<ZelError> error;  // Failed: what stopped the decoding
    QByteArray decoded;         // the decoded data stream
    std::optional<std::uint16_t> count;  // set once the header has been read
    std::optional<HeaderTexts> headers;  // set once the header lines are made
};

// Checks the header, lists the count and header lines and decodes every raw
// record into its 48-byte image.
DumpDecoding decodeDump(const QByteArray& rawDump);

// The station name line of a header: "ZEL-TERRAVOX ", the year (2000 + the
// number in characters 5-6) in Roman numerals and characters 7-8; not cut.
// Throws ZelError when characters 5-6 are not a number.
QByteArray stationName(const QByteArray& header);

// Builds a 22-byte header field: a length byte and 21 characters.
QByteArray headerField(const QByteArray& text);

// The header fields and record images of a decoded data stream. Reading fails
// with a stream read error when the stream is shorter than asked.
HeaderTexts readHeaderFields(const QByteArray& decoded);
int recordsIn(const QByteArray& decoded);  // whole records after the header fields
// The record `index` (from 0) of a decoded data stream; a stream read error
// when the stream holds no whole record there.
struct MeasurementRecord;
MeasurementRecord recordAt(const QByteArray& decoded, int index);

} // namespace zel
