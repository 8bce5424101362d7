#include "Document.h"

#include "survey/Values.h"

namespace zel {

std::vector<MeasurementRecord> Document::records() const
{
    return m_reading.decodedWhole ? recordsOf(m_reading.decoded) : std::vector<MeasurementRecord>();
}

void Document::clear()
{
    m_reading = {};
    m_origin = ReadingOrigin::None;
    m_path.clear();
    emit changed();
}

DumpDecoding Document::load(QByteArray rawDump, const QString& path)
{
    m_reading = Reading{std::move(rawDump), {}, 0, {}, false};
    m_origin = ReadingOrigin::File;
    m_path = path;
    return decode();
}

void Document::setStationReading(const StationReading& reading, const QString& kept)
{
    m_reading = {};
    m_reading.rawDump = reading.rawDump;
    m_reading.count = reading.count.value_or(0);
    m_reading.header.time = reading.headerTime.value_or(QByteArray());
    m_origin = ReadingOrigin::Station;
    m_path = kept;
    emit changed();
}

DumpDecoding Document::decode()
{
    DumpDecoding d = decodeDump(m_reading.rawDump);
    // What the header gave stays where the decoding did not get that far.
    m_reading.decoded = std::move(d.decoded);
    m_reading.count = d.count.value_or(m_reading.count);
    m_reading.header = d.headers.value_or(m_reading.header);
    m_reading.decodedWhole = d.outcome == DumpDecoding::Outcome::Decoded;
    d.decoded = {};
    emit changed();
    return d;
}

void Document::setCountAndHeader(std::uint16_t count, const HeaderTexts& header)
{
    m_reading.count = count;
    m_reading.header = header;
}

} // namespace zel
