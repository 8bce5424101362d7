#include "TestDumps.h"

#include "texts/Texts.h"

#include "data/RawDump.h"
#include "sim/StationModel.h"

namespace zeltest {

QByteArray header(int count, const QByteArray& yearAndTwo, const QByteArray& version)
{
    return zel::sim::makeHeader(count, yearAndTwo, version);
}

QByteArray rawRecords(const std::vector<zel::MeasurementRecord>& records, bool withChecksum)
{
    const QByteArray raw = zel::sim::rawRecords(records);
    return withChecksum ? zel::sim::withChecksum(raw) : raw;
}

QByteArray dump(const QByteArray& header, const QByteArray& stamp, const QByteArray& records)
{
    QByteArray d;
    zel::appendBlock(d, header);
    zel::appendBlock(d, stamp);
    zel::appendBlock(d, records);
    return d;
}

QByteArray dump(const std::vector<zel::MeasurementRecord>& records)
{
    return dump(header(int(records.size())), "05.07.2007 10:11:12", rawRecords(records));
}

QByteArray recordBlock(const QByteArray& dump)
{
    zel::BlockReader blocks(dump);
    blocks.readBlock();
    blocks.readBlock();
    return blocks.readBlock();
}

QString dataFile(const char* name) { return QStringLiteral(ZEL_TEST_DATA_DIR "/") + QLatin1String(name); }

Record::Record() { taken(2007, 7, 5, 9, 8, 7); }

Record& Record::mode(int mode)
{
    m_r.Mode = std::uint8_t(mode);
    return *this;
}

Record& Record::kind(int kind)
{
    m_r.ValueKind = std::uint8_t(kind);
    return *this;
}

Record& Record::station(int station)
{
    m_r.Station = std::int16_t(station);
    return *this;
}

Record& Record::profile(int line, int file)
{
    m_r.LineNo = decltype(m_r.LineNo)(line);
    m_r.FileNo = decltype(m_r.FileNo)(file);
    return *this;
}

Record& Record::current(int code)
{
    m_r.Current = std::uint16_t(code);
    return *this;
}

Record& Record::frequency(int index)
{
    m_r.FreqIndex = std::uint8_t(index);
    return *this;
}

Record& Record::electrodes(int a, int b, int m, int n)
{
    m_r.ElectrodeA = decltype(m_r.ElectrodeA)(a);
    m_r.ElectrodeB = decltype(m_r.ElectrodeB)(b);
    m_r.ElectrodeM = decltype(m_r.ElectrodeM)(m);
    m_r.ElectrodeN = decltype(m_r.ElectrodeN)(n);
    return *this;
}

Record& Record::u(int channel, int value, int range)
{
    m_r.U[std::size_t(channel - 1)] = std::int16_t(value);
    m_r.Range[std::size_t(channel - 1)] = std::uint8_t(range);
    return *this;
}

Record& Record::taken(int year, int month, int day, int hour, int minute, int second)
{
    m_r.Year = std::uint16_t(year);
    m_r.Month = std::uint8_t(month);
    m_r.Day = std::uint8_t(day);
    m_r.Hour = std::uint8_t(hour);
    m_r.Minute = std::uint8_t(minute);
    m_r.Second = std::uint8_t(second);
    return *this;
}

} // namespace zeltest

QStringList lines(const zel::DumpDecoding& d) { return zel::texts::lineTexts(d.lines); }

QString message(const zel::DumpDecoding& d)
{
    if (d.error)
        return zel::texts::errorText(*d.error);
    return d.outcome == zel::DumpDecoding::Outcome::Rejected ? zel::texts::headerRejected() : QString();
}
