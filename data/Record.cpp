#include "Record.h"

#include <QtEndian>

#include "Bytes.h"

#include <cstring>

namespace zel {

namespace {

// A and B are 9-bit two's complement numbers: the sign bit sits in bit 0 of
// the byte that carries M (or N) in its upper seven bits.
std::int32_t nineBitSigned(std::uint8_t signByte, std::uint8_t low)
{
    return (signByte & 1) ? std::int32_t(low) - 256 : std::int32_t(low);
}

std::uint8_t nineBitSignBit(std::int32_t v) { return (v < 0) ? 1 : 0; }

} // namespace

MeasurementRecord decodeRawRecord(const std::uint8_t* p)
{
    MeasurementRecord r;
    r.LineNo = std::int8_t(p[0]);
    r.FileNo = p[1];
    r.Station = qFromBigEndian<qint16>(p + 2);
    r.Mode = p[4] >> 4;
    r.ValueKind = p[4] & 0x0F;
    r.FreqIndex = p[5];
    r.Current = qFromBigEndian<quint16>(p + 6);
    r.ElectrodeM = p[8] >> 1;
    r.ElectrodeA = nineBitSigned(p[8], p[9]);
    r.ElectrodeN = p[10] >> 1;
    r.ElectrodeB = nineBitSigned(p[10], p[11]);
    r.Range[0] = p[12] >> 4;
    r.Range[1] = p[12] & 0x0F;
    r.Range[2] = p[13] >> 4;
    r.Range[3] = p[13] & 0x0F;
    for (int i = 0; i < 4; ++i)
        r.U[i] = qFromBigEndian<qint16>(p + 14 + 2 * i);
    r.Aux1 = qFromBigEndian<quint16>(p + 22);
    r.Aux2 = qFromBigEndian<quint16>(p + 24);
    r.Year = std::uint16_t(p[26] + 2000);
    r.Month = p[27];
    r.Day = p[28];
    r.Hour = p[29];
    r.Minute = p[30];
    r.Second = p[31];
    return r;
}

void encodeRawRecord(const MeasurementRecord& r, std::uint8_t* p)
{
    p[0] = std::uint8_t(r.LineNo);
    p[1] = r.FileNo;
    qToBigEndian<quint16>(std::uint16_t(r.Station), p + 2);
    p[4] = std::uint8_t(((r.Mode & 0x0F) << 4) | (r.ValueKind & 0x0F));
    p[5] = r.FreqIndex;
    qToBigEndian<quint16>(r.Current, p + 6);
    p[8] = std::uint8_t(((r.ElectrodeM & 0x7F) << 1) | nineBitSignBit(r.ElectrodeA));
    p[9] = std::uint8_t(r.ElectrodeA);
    p[10] = std::uint8_t(((r.ElectrodeN & 0x7F) << 1) | nineBitSignBit(r.ElectrodeB));
    p[11] = std::uint8_t(r.ElectrodeB);
    p[12] = std::uint8_t(((r.Range[0] & 0x0F) << 4) | (r.Range[1] & 0x0F));
    p[13] = std::uint8_t(((r.Range[2] & 0x0F) << 4) | (r.Range[3] & 0x0F));
    for (int i = 0; i < 4; ++i)
        qToBigEndian<quint16>(std::uint16_t(r.U[i]), p + 14 + 2 * i);
    qToBigEndian<quint16>(r.Aux1, p + 22);
    qToBigEndian<quint16>(r.Aux2, p + 24);
    p[26] = std::uint8_t(r.Year - 2000);
    p[27] = r.Month;
    p[28] = r.Day;
    p[29] = r.Hour;
    p[30] = r.Minute;
    p[31] = r.Second;
}

void writeRecordImage(const MeasurementRecord& r, std::uint8_t* q)
{
    std::memset(q, 0, kRecordImageSize);
    q[0] = std::uint8_t(r.LineNo);
    q[1] = r.FileNo;
    qToLittleEndian<quint16>(std::uint16_t(r.Station), q + 2);
    q[4] = r.Mode;
    q[5] = r.ValueKind;
    q[6] = r.FreqIndex;
    qToLittleEndian<quint16>(r.Current, q + 8);
    q[10] = r.ElectrodeM;
    qToLittleEndian<qint32>(r.ElectrodeA, q + 12);
    q[16] = r.ElectrodeN;
    qToLittleEndian<qint32>(r.ElectrodeB, q + 20);
    for (int i = 0; i < 4; ++i) {
        q[24 + i] = r.Range[i];
        qToLittleEndian<quint16>(std::uint16_t(r.U[i]), q + 28 + 2 * i);
    }
    qToLittleEndian<quint16>(r.Aux1, q + 36);
    qToLittleEndian<quint16>(r.Aux2, q + 38);
    qToLittleEndian<quint16>(r.Year, q + 40);
    q[42] = r.Month;
    q[43] = r.Day;
    q[44] = r.Hour;
    q[45] = r.Minute;
    q[46] = r.Second;
}

MeasurementRecord readRecordImage(const std::uint8_t* q)
{
    MeasurementRecord r;
    r.LineNo = std::int8_t(q[0]);
    r.FileNo = q[1];
    r.Station = std::int16_t(qFromLittleEndian<quint16>(q + 2));
    r.Mode = q[4];
    r.ValueKind = q[5];
    r.FreqIndex = q[6];
    r.Current = qFromLittleEndian<quint16>(q + 8);
    r.ElectrodeM = q[10];
    r.ElectrodeA = qFromLittleEndian<qint32>(q + 12);
    r.ElectrodeN = q[16];
    r.ElectrodeB = qFromLittleEndian<qint32>(q + 20);
    for (int i = 0; i < 4; ++i) {
        r.Range[i] = q[24 + i];
        r.U[i] = std::int16_t(qFromLittleEndian<quint16>(q + 28 + 2 * i));
    }
    r.Aux1 = qFromLittleEndian<quint16>(q + 36);
    r.Aux2 = qFromLittleEndian<quint16>(q + 38);
    r.Year = qFromLittleEndian<quint16>(q + 40);
    r.Month = q[42];
    r.Day = q[43];
    r.Hour = q[44];
    r.Minute = q[45];
    r.Second = q[46];
    return r;
}

} // namespace zel
