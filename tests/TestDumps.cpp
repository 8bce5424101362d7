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

} // namespace zeltest

QStringList lines(const zel::DumpDecoding& d) { return zel::texts::lineTexts(d.lines); }

QString message(const zel::DumpDecoding& d)
{
    if (d.error)
        return zel::texts::errorText(*d.error);
    return d.outcome == zel::DumpDecoding::Outcome::Rejected ? zel::texts::headerRejected() : QString();
}
