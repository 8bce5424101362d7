#include "RawDump.h"

#include <QtEndian>

#include "Bytes.h"
#include "Cp1251.h"
#include "Record.h"
#include "Roman.h"
#include "ZelError.h"

namespace zel {

void appendBlock(QByteArray& dump, const QByteArray& block)
{
    std::uint8_t len[4];
    qToLittleEndian<qint32>(std::int32_t(block.size()), len);
    dump.append(reinterpret_cast<const char*>(len), 4);
    dump.append(block);
}

QByteArray BlockReader::readBlock()
{
    ++m_block;
    if (m_dump.size() - m_pos < 4)
        throw StreamReadError(m_block, m_pos, std::nullopt, m_dump.size() - m_pos);
    const std::int32_t len = qFromLittleEndian<qint32>(reinterpret_cast<const std::uint8_t*>(m_dump.constData() + m_pos));
    if (len < 0 || len > m_dump.size() - m_pos - 4)
        throw StreamReadError(m_block, m_pos, len, m_dump.size() - m_pos - 4);
    QByteArray block = m_dump.mid(m_pos + 4, len);
    m_pos += 4 + len;
    return block;
}

namespace {

bool equalsIgnoringAsciiCase(const QByteArray& text, qsizetype from, const char* expected)
{
    const QByteArray want(expected);
    if (text.size() < from + want.size())
        return false;
    return text.mid(from, want.size()).compare(want, Qt::CaseInsensitive) == 0;
}


} // namespace

bool headerAccepted(const QByteArray& header)
{
    return equalsIgnoringAsciiCase(header, 12, "E1") || equalsIgnoringAsciiCase(header, 0, "ZEL");
}

namespace {

// The year within the century: characters 5-6 as a decimal integer; leading
// blanks and a sign are taken as an integer conversion takes them.
int headerYear(const QByteArray& header)
{
    const QByteArray text = header.mid(4, 2);
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == ' ')
        ++i;
    if (i < text.size() && (text.at(i) == '+' || text.at(i) == '-'))
        ++i;
    const qsizetype firstDigit = i;
    while (i < text.size() && text.at(i) >= '0' && text.at(i) <= '9')
        ++i;
    if (i == firstDigit || i != text.size())
        throw ZelError(ErrorId::NotAnInteger, {fromCp1251(text)});
    return text.trimmed().toInt();
}

} // namespace

QByteArray stationName(const QByteArray& header)
{
    return QByteArray("ZEL-TERRAVOX ") + IntToRoman(2000 + headerYear(header)).toLatin1() + header.mid(6, 2);
}

QByteArray headerField(const QByteArray& text)
{
    QByteArray field(kHeaderFieldSize, '\0');
    const QByteArray t = text.left(kHeaderTextMax);
    field[0] = char(t.size());
    std::copy(t.begin(), t.end(), field.begin() + 1);
    return field;
}

DumpDecoding decodeDump(const QByteArray& rawDump)
{
    DumpDecoding d;
    try {
        BlockReader reader(rawDump);
        // An empty dump (nothing read yet, an empty file) has an empty header.
        const QByteArray header = rawDump.isEmpty() ? QByteArray() : reader.readBlock();
        if (!headerAccepted(header)) {
            d.outcome = DumpDecoding::Outcome::Rejected;
            return d;
        }
        const QByteArray stamp = reader.readBlock();
        if (header.size() < kMinHeaderSize)
            throw ZelError(ErrorId::HeaderTooShort, {QString::number(header.size()), QString::number(kMinHeaderSize)});

        const auto* h = reinterpret_cast<const std::uint8_t*>(header.constData());
        const std::uint16_t count = qFromBigEndian<quint16>(h + 16);
        d.lines << ReportLine::plain(LineId::MeasurementCount, count);
        d.count = count;

        HeaderTexts texts;
        texts.time = stamp.left(kHeaderTextMax);
        texts.name = stationName(header).left(kHeaderTextMax);
        texts.version = header.mid(8, 8);
        d.headers = texts;
        for (const QByteArray* text : {&texts.name, &texts.version, &texts.time})
            d.lines << ReportLine::station(fromCp1251(*text));

        d.decoded += headerField(texts.name);
        d.decoded += headerField(texts.version);
        d.decoded += headerField(texts.time);

        const QByteArray records = reader.readBlock();
        const int whole = int(std::min<qsizetype>(count, records.size() / kRawRecordSize));
        if (whole < count) {
            ReportLine partial = ReportLine::plain(LineId::PartialRecords, whole);
            partial.of = count;
            d.lines << partial;
            d.count = std::uint16_t(whole);
        }
        const qsizetype start = d.decoded.size();
        d.decoded.resize(start + qsizetype(whole) * kRecordImageSize);
        const auto* raw = reinterpret_cast<const std::uint8_t*>(records.constData());
        auto* out = reinterpret_cast<std::uint8_t*>(d.decoded.data() + start);
        for (int i = 0; i < whole; ++i)
            writeRecordImage(decodeRawRecord(raw + qsizetype(i) * kRawRecordSize), out + qsizetype(i) * kRecordImageSize);
        d.outcome = DumpDecoding::Outcome::Decoded;
    } catch (const ZelError& e) {
        d.outcome = DumpDecoding::Outcome::Failed;
        d.error = e;
    }
    return d;
}

HeaderTexts readHeaderFields(const QByteArray& decoded)
{
    if (decoded.size() < kHeaderFieldsSize)
        throw StreamReadError();
    auto field = [&](int i) {
        const char* p = decoded.constData() + i * kHeaderFieldSize;
        const int len = std::min<int>(std::uint8_t(p[0]), kHeaderTextMax);
        return QByteArray(p + 1, len);
    };
    return HeaderTexts{field(0), field(1), field(2)};
}

int recordsIn(const QByteArray& decoded)
{
    return decoded.size() < kHeaderFieldsSize ? 0 : int((decoded.size() - kHeaderFieldsSize) / kRecordImageSize);
}

MeasurementRecord recordAt(const QByteArray& decoded, int index)
{
    const qsizetype offset = kHeaderFieldsSize + qsizetype(index) * kRecordImageSize;
    if (index < 0 || decoded.size() - offset < kRecordImageSize)
        throw StreamReadError();
    return readRecordImage(reinterpret_cast<const std::uint8_t*>(decoded.constData() + offset));
}

} // namespace zel
