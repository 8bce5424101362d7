#include "TestDumps.h"

#include "app/Texts.h"

#include "data/Bytes.h"
#include "data/RawDump.h"

namespace zeltest {

QByteArray header(int count, const QByteArray& yearAndTwo, const QByteArray& version)
{
    QByteArray h = "ZEL-" + yearAndTwo + version;
    h.append(char(count >> 8)).append(char(count & 0xFF)).append("\r\n");
    return h;
}

QByteArray rawRecords(const std::vector<zel::MeasurementRecord>& records, bool withChecksum)
{
    QByteArray out(qsizetype(records.size()) * zel::kRawRecordSize, '\0');
    for (std::size_t i = 0; i < records.size(); ++i)
        zel::encodeRawRecord(records[i], reinterpret_cast<std::uint8_t*>(out.data()) + i * zel::kRawRecordSize);
    if (withChecksum) {
        const auto sum = zel::checksumAddUint16Be(
            {reinterpret_cast<const std::uint8_t*>(out.constData()), std::size_t(out.size())});
        out.append(char(sum >> 8)).append(char(sum & 0xFF));
    }
    return out;
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

QString dataFile(const char* name) { return QStringLiteral(ZEL_TEST_DATA_DIR "/") + QLatin1String(name); }

} // namespace zeltest

QStringList lines(const zel::DumpDecoding& d) { return zel::texts::lineTexts(d.lines); }

QString message(const zel::DumpDecoding& d)
{
    if (d.error)
        return zel::texts::errorText(*d.error);
    return d.outcome == zel::DumpDecoding::Outcome::Rejected ? zel::texts::headerRejected() : QString();
}
