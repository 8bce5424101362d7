#include "ElectrodeTable.h"

#include <QtEndian>

#include "data/Bytes.h"
#include "data/Cp1251.h"
#include "data/ZelError.h"

#include <QFileInfo>

#include <charconv>

namespace zel {

namespace {

constexpr char kCtrlZ = 0x1A;
constexpr int kMaxNumberText = 32;

// Walks through the bytes of a table file, counting lines: a line ends with
// LF, CR LF, or a CR alone.
class TableReader {
public:
    explicit TableReader(const QByteArray& data) : m_data(data) {}

    // No byte left, or a Ctrl-Z: the end of the data.
    bool atEnd() const { return m_pos >= m_data.size() || m_data.at(m_pos) == kCtrlZ; }
    int line() const { return m_line; }

    void skipSeparators()
    {
        while (!atEnd() && std::uint8_t(m_data.at(m_pos)) <= 0x20)
            advance();
    }

    // The text of the next number: a run of at most 32 bytes above 0x20.
    // Empty when the data ends first.
    QByteArray numberText()
    {
        skipSeparators();
        const qsizetype start = m_pos;
        while (!atEnd() && m_pos - start < kMaxNumberText && std::uint8_t(m_data.at(m_pos)) > 0x20)
            advance();
        return m_data.mid(start, m_pos - start);
    }

    // Skips the rest of the line after the fourth number.
    void skipRestOfLine()
    {
        while (!atEnd()) {
            const char c = m_data.at(m_pos);
            advance();
            if (c == '\n')
                return;
            if (c == '\r') {
                if (!atEnd() && m_data.at(m_pos) == '\n')
                    advance();
                return;
            }
        }
    }

private:
    void advance()
    {
        const char c = m_data.at(m_pos++);
        if (c == '\n' || (c == '\r' && (m_pos >= m_data.size() || m_data.at(m_pos) != '\n')))
            ++m_line;
    }

    const QByteArray& m_data;
    qsizetype m_pos = 0;
    int m_line = 1;
};

// One to eight hexadecimal digits of either case, taken as a 32-bit pattern.
bool parseHex(const QByteArray& digits, std::int32_t& value)
{
    if (digits.isEmpty() || digits.size() > 8)
        return false;
    std::uint32_t v = 0;
    const char* end = digits.constData() + digits.size();
    const auto [ptr, ec] = std::from_chars(digits.constData(), end, v, 16);
    if (ec != std::errc() || ptr != end)
        return false;
    value = std::int32_t(v);
    return true;
}

// Decimal digits with an optional "+" or "-", within the signed 32-bit range.
bool parseNumber(const QByteArray& text, std::int32_t& value)
{
    if (text.startsWith("0x") || text.startsWith("0X"))
        return parseHex(text.mid(2), value);
    if (text.startsWith('$') || text.startsWith('x') || text.startsWith('X'))
        return parseHex(text.mid(1), value);
    // from_chars takes a "-" but no "+"; a sign must be followed by a digit.
    const bool plus = text.startsWith('+');
    const char* begin = text.constData() + (plus ? 1 : 0);
    const char* end = text.constData() + text.size();
    const char* digits = !plus && begin != end && *begin == '-' ? begin + 1 : begin;
    if (digits == end || *digits < '0' || *digits > '9')
        return false;
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    return ec == std::errc() && ptr == end;
}

void checkRange(const char* name, std::int32_t value, std::int32_t low, std::int32_t high, int line)
{
    if (value < low || value > high)
        throw ZelError(ErrorId::TableValueOutOfRange,
                       {QString::number(line), QLatin1String(name), QString::number(value), QString::number(low),
                        QString::number(high)});
}

} // namespace

std::vector<ElectrodeEntry> parseElectrodeTable(const QByteArray& file)
{
    std::vector<ElectrodeEntry> entries;
    TableReader reader(file);
    for (;;) {
        // Blank lines and blanks after the last entry end the table.
        reader.skipSeparators();
        if (reader.atEnd())
            break;
        ElectrodeEntry e;
        e.line = reader.line();
        int* fields[4] = {&e.a, &e.b, &e.m, &e.n};
        for (int* field : fields) {
            const int numberLine = reader.line();
            const QByteArray text = reader.numberText();
            if (text.isEmpty())
                throw ZelError(ErrorId::TableEntryIncomplete, {QString::number(e.line)});
            if (!parseNumber(text, *field))
                throw ZelError(ErrorId::InvalidNumber, {fromCp1251(text), QString::number(numberLine)});
        }
        reader.skipRestOfLine();
        checkRange("A", e.a, kFirstCurrentElectrode, kLastCurrentElectrode, e.line);
        checkRange("B", e.b, kFirstCurrentElectrode, kLastCurrentElectrode, e.line);
        checkRange("M", e.m, kFirstPotentialElectrode, kLastPotentialElectrode, e.line);
        checkRange("N", e.n, kFirstPotentialElectrode, kLastPotentialElectrode, e.line);
        if (int(entries.size()) == kMaxElectrodeEntries)
            throw ZelError(ErrorId::TableTooLong, {QString::number(e.line), QString::number(kMaxElectrodeEntries)});
        entries.push_back(e);
    }
    return entries;
}

QByteArray protocolName(const QString& fileName)
{
    QByteArray name = toCp1251(QFileInfo(fileName).fileName()).left(8);
    while (name.size() < 8)
        name.append(' ');
    return name;
}

std::uint16_t electrodeWord(std::int32_t signedPosition, std::int32_t upper)
{
    const std::uint32_t low = signedPosition >= 0 ? std::uint32_t(signedPosition) : 256u + std::uint32_t(-signedPosition);
    return std::uint16_t((std::uint32_t(upper) << 9) | low);
}

std::vector<std::uint16_t> electrodeWords(const std::vector<ElectrodeEntry>& entries)
{
    std::vector<std::uint16_t> words;
    words.reserve(entries.size() * 2);
    for (const ElectrodeEntry& e : entries) {
        words.push_back(electrodeWord(e.a, e.m));
        words.push_back(electrodeWord(e.b, e.n));
    }
    return words;
}

QByteArray electrodeFrame(const QByteArray& name, const std::vector<std::uint16_t>& words)
{
    const auto count = std::uint16_t(4 + words.size());  // the name's four words and two per entry
    QByteArray frame("$DP\x18\x00", 5);
    frame.append(char(count >> 8)).append(char(count & 0xFF));
    frame += name;
    for (const std::uint16_t w : words)
        frame.append(char(w >> 8)).append(char(w & 0xFF));
    return frame;
}

std::uint16_t electrodeChecksum(const QByteArray& name, const std::vector<std::uint16_t>& words)
{
    std::uint16_t sum = checksumAddUint16Be({reinterpret_cast<const std::uint8_t*>(name.constData()), std::size_t(name.size())});
    for (const std::uint16_t w : words)
        sum = std::uint16_t(sum + w);
    return sum;
}

namespace {

enum class Attempt { Matched, Mismatched, TimedOut, Cancelled };

// One attempt: the frame (its header in one piece, then every byte as a
// string of its own), then the station's checksum within the answer time,
// which starts once the frame has left the line.
Attempt sendFrameOnce(StationLink& link, DialogueClock& clock, DialogueReport& report, const QByteArray& frame,
                      std::uint16_t sum)
{
    link.send(frame.left(7));
    for (qsizetype i = 7; i < frame.size(); ++i)
        link.send(frame.mid(i, 1));
    clock.disable();
    switch (byteWait(link, clock, report, 2, kElectrodeAnswerTimeout)) {
    case WaitResult::Cancelled:
        return Attempt::Cancelled;
    case WaitResult::TimedOut:
        return Attempt::TimedOut;
    case WaitResult::Arrived:
        break;
    }
    const QByteArray answer = link.take();
    return answer.size() >= 2 && qFromBigEndian<quint16>(answer.constData()) == sum ? Attempt::Matched
                                                                                     : Attempt::Mismatched;
}


} // namespace

DialogueStatus uploadElectrodeTable(StationLink& link, DialogueClock& clock, DialogueReport& report,
                                    const QByteArray& name, const std::vector<std::uint16_t>& words)
{
    PortSession port(link, clock);
    if (!port.opened())
        return DialogueStatus::PortNotOpened;
    return port.ended(report, [&] {
        const DialogueStatus linked = handshake(link, clock, report, kUploadFirstTimeout);
        if (linked != DialogueStatus::Done)
            return linked;

        const QByteArray frame = electrodeFrame(name, words);
        const std::uint16_t sum = electrodeChecksum(name, words);
        for (int attempt = 1; attempt <= kUploadAttempts; ++attempt) {
            switch (sendFrameOnce(link, clock, report, frame, sum)) {
            case Attempt::Cancelled:
                return DialogueStatus::Cancelled;
            case Attempt::TimedOut:
                report.addLine(ReportLine::plain(LineId::TableAnswerTimedOut));
                port.sayGoodbye();
                return DialogueStatus::TimedOut;
            case Attempt::Matched:
                link.send("$A5EB");
                report.addLine(ReportLine::plain(LineId::TableWritten, qint64(words.size() / 2)));
                return DialogueStatus::Done;
            case Attempt::Mismatched:
                break;
            }
        }
        port.sayGoodbye();
        report.addLine(ReportLine::plain(LineId::TableChecksumDiffers));
        return DialogueStatus::ChecksumMismatch;
    }());
}

} // namespace zel
