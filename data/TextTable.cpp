#include "TextTable.h"

#include "Cp1251.h"
#include "Labels.h"
#include "RawDump.h"
#include "ZelError.h"

#include <algorithm>
#include <charconv>
#include <array>
#include <cstdlib>

namespace zel {

const QString kViewHeading = QStringLiteral(
    "File  Line   Station             U[mV]             I      Metka     t[s]      Date         Frequency[Hz]  A    B   M   N");
const QString kTextFileHeading = QStringLiteral(
    "File  Line   Station             U[mV]             I      Metka     t[s]      Date         Frequency[Hz]   A   B   M   N");

namespace {

// A table line under construction. Columns count from 1 as in the layout of
// the table; the buffer is wide enough for the longest line a record can give.
class Line {
public:
    void text(const char* s)
    {
        while (*s)
            m_buf[m_len++] = char16_t(std::uint8_t(*s++));
    }
    void text(const QString& s)
    {
        for (const QChar c : s)
            m_buf[m_len++] = c.unicode();
    }
    void blanks(int n)
    {
        if (n <= 0)
            return;
        std::fill_n(m_buf.begin() + m_len, n, u' ');
        m_len += n;
    }
    // At least two digits, the form of every date and time field.
    void twoDigits(int v)
    {
        if (v >= 0 && v < 100) {
            m_buf[m_len++] = char16_t(u'0' + v / 10);
            m_buf[m_len++] = char16_t(u'0' + v % 10);
        } else {
            number(v, 0, 2);
        }
    }
    void ch(QChar c) { m_buf[m_len++] = c.unicode(); }

    // Decimal number with at least minDigits digits (leading zeros), sign first,
    // preceded by blanks up to width (never cut).
    void number(long long v, int width = 0, int minDigits = 1)
    {
        char digits[24];
        const unsigned long long mag =
            v < 0 ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
        const int n = int(std::to_chars(std::begin(digits), std::end(digits), mag).ptr - digits);
        const int zeros = std::max(minDigits - n, 0);
        blanks(width - zeros - n - (v < 0 ? 1 : 0));
        if (v < 0)
            m_buf[m_len++] = u'-';
        for (int i = 0; i < zeros; ++i)
            m_buf[m_len++] = u'0';
        for (int i = 0; i < n; ++i)
            m_buf[m_len++] = char16_t(digits[i]);
    }
    void rightAligned(const QString& s, int width)
    {
        blanks(width - int(s.size()));
        text(s);
    }
    void currentLabel(int index)
    {
        if (const char* label = currentLabelText(index))
            text(label);
        else
            text(zel::currentLabel(index));
    }
    void freqLabel(int index)
    {
        if (const char* label = freqLabelText(index))
            text(label);
        else
            rightAligned(zel::freqLabel(index), 4);
    }

    int length() const { return m_len; }
    char16_t at(int column) const { return m_buf[column - 1]; }
    void truncate(int len) { m_len = len; }
    // Deletes `count` characters from `column` on.
    void remove(int column, int count)
    {
        std::copy(m_buf.begin() + column - 1 + count, m_buf.begin() + m_len, m_buf.begin() + column - 1);
        m_len -= count;
    }
    QString toString() const { return QString(reinterpret_cast<const QChar*>(m_buf.data()), m_len); }

private:
    std::array<char16_t, 256> m_buf;  // written before read: no need to clear it
    int m_len = 0;
};

void appendVoltage(Line& line, std::int16_t u, int range, bool negate)
{
    long long v = u;
    if (negate)
        v = -v;
    if (range == 0) {
        line.number(v, 6);
        return;
    }
    // The decimal number |v| with the point set `range` places from the right.
    const bool negative = v < 0;
    unsigned long long mag = negative ? static_cast<unsigned long long>(-v) : static_cast<unsigned long long>(v);
    char digits[24];
    int n = 0;
    do {
        digits[n++] = char('0' + mag % 10);
        mag /= 10;
    } while (mag);
    while (n < range + 1)
        digits[n++] = '0';
    const int len = n + 1 + (negative ? 1 : 0);
    line.blanks(6 - len);
    if (negative)
        line.ch(QLatin1Char('-'));
    for (int i = n - 1; i >= 0; --i) {
        line.ch(QLatin1Char(digits[i]));
        if (i == range)
            line.ch(QLatin1Char('.'));
    }
}

constexpr const char* kAuto = "        Auto     ";

} // namespace

QString voltageText(std::int16_t u, int range, bool negate)
{
    if (range >= 7)
        return {};
    Line line;
    appendVoltage(line, u, range, negate);
    return line.toString();
}

QString TablTex(const MeasurementRecord& r, const DateTimeSeparators& sep)
{
    Line line;
    // File and line numbers, then the station number from column 16 on.
    line.number(r.FileNo, 4);
    line.blanks(1);
    line.number(r.LineNo, 4);
    line.blanks(9);
    line.truncate(15);
    const int stationStart = line.length();
    line.number(r.Station);
    line.blanks(3 - (line.length() - stationStart));  // a wider number keeps every digit
    line.blanks(3);

    const bool isAuto = r.Mode == 15;
    if (r.ValueKind == 1) {
        line.text("None");
        line.blanks(24);
        line.currentLabel(r.Current);
        line.blanks(9);
    } else {
        for (int ch = 0; ch < 4; ++ch) {
            if (r.Range[ch] >= 7) {
                if (ch == 0)
                    line.text("Out of range");
                else
                    line.blanks(7);
            } else {
                appendVoltage(line, r.U[ch], r.Range[ch], r.ValueKind == 3);
                line.blanks(1);
            }
        }
        // "Out of range" is 12 characters where a field is 7: take 5 characters
        // out at columns 49-53 so that the current label stays at column 50.
        // Only blanks are taken out; a value standing there is kept whole.
        if (r.Range[0] >= 7 && line.length() >= 53) {
            bool allBlank = true;
            for (int c = 49; c <= 53; ++c)
                allBlank = allBlank && line.at(c) == u' ';
            if (allBlank)
                line.remove(49, 5);
        }
        if (!isAuto) {
            line.currentLabel(r.Current);
            line.blanks(3);
        }
    }
    if (isAuto)
        line.text(kAuto);

    switch (r.ValueKind) {
    case 0:
        if (r.Mode >= 10 && r.Mode <= 13) {
            line.text("Method ");
            line.number(r.Mode - 9);
            line.blanks(8);
        } else if (isAuto) {
            line.number(r.Current, 4);
            line.blanks(3);
        } else if (r.Mode >= 1 && r.Mode <= 8) {
            line.number(r.Mode);
            line.blanks(15);
        } else {
            line.blanks(16);
        }
        break;
    case 1:
        line.blanks(10);
        break;
    case 2:
        line.text("    +     ");
        break;
    case 3:
        line.text("    -     ");
        break;
    default:
        if (isAuto)
            line.text(kAuto);
        break;
    }

    line.twoDigits(r.Day);
    line.ch(sep.date);
    line.twoDigits(r.Month);
    line.ch(sep.date);
    line.number(r.Year, 0, 2);
    line.blanks(1);
    line.twoDigits(r.Hour);
    line.ch(sep.time);
    line.twoDigits(r.Minute);
    line.ch(sep.time);
    line.twoDigits(r.Second);
    line.blanks(3);
    line.freqLabel(r.FreqIndex);

    if (carriesElectrodes(r.Mode)) {
        line.blanks(6);
        line.number(r.ElectrodeA, 0, 2);
        line.blanks(2);
        line.number(r.ElectrodeB, 0, 2);
        line.blanks(2);
        line.number(r.ElectrodeM, 0, 2);
        line.blanks(2);
        line.number(r.ElectrodeN, 0, 2);
    }
    return line.toString();
}


void appendViewLines(const QByteArray& decoded, std::uint16_t count, const DateTimeSeparators& separators,
                     QStringList& out)
{
    const HeaderTexts h = readHeaderFields(decoded);
    out.reserve(out.size() + 5 + count);
    out << fromCp1251(h.name) << fromCp1251(h.version) << fromCp1251(h.time) << kViewHeading << QString();
    for (int i = 0; i < count; ++i)
        out << TablTex(recordAt(decoded, i), separators);
}

QByteArray textFileBytes(const QByteArray& decoded, std::uint16_t count, const DateTimeSeparators& separators)
{
    static const QByteArray kCrLf("\r\n");
    const HeaderTexts h = readHeaderFields(decoded);
    QByteArray out;
    out.reserve(qsizetype(count + 5) * 124);
    out += h.name + kCrLf + h.version + kCrLf + h.time + kCrLf;
    out += toCp1251(kTextFileHeading) + kCrLf + kCrLf;
    for (int i = 0; i < count; ++i) {
        const QString line = TablTex(recordAt(decoded, i), separators);
        // Table lines are ASCII unless the locale's separators are not.
        bool ascii = true;
        for (const QChar c : line)
            ascii = ascii && c.unicode() < 0x80;
        out += ascii ? line.toLatin1() : toCp1251(line);
        out += kCrLf;
    }
    return out;
}

} // namespace zel
