#include "ExelCall.h"

#include "data/Cp1251.h"
#include "data/Labels.h"
#include "data/TextTable.h"
#include "data/TimeText.h"
#include "data/ZelError.h"

#include <optional>

namespace zel {

namespace {

enum Column { A = 1, B, C, D, E, F, G, H, I, J, K, L, M, N, O, P };

constexpr int kFirstDataRow = 5;

bool isZelSoloMode(int mode) { return (mode >= 0 && mode <= 9) || mode == 15; }

void writeCommonColumns(SheetModel& sheet, int row, const MeasurementRecord& r)
{
    sheet.setText(row, A, QString::number(r.FileNo));
    sheet.setText(row, B, QString::number(r.LineNo));
    sheet.setText(row, C, QString::number(r.Station));
}

void zelSoloRow(SheetModel& sheet, int& row, std::optional<int>& previousMode, const MeasurementRecord& r,
                const DateTimeText& dateTime)
{
    const bool isAuto = r.Mode == 15;
    if ((isAuto && previousMode != 15) || r.Station == 0) {
        PrintLine(sheet, row, r, kZelSoloLayout);
        ++row;
    }
    writeCommonColumns(sheet, row, r);
    previousMode = r.Mode;
    if (r.ValueKind != 1) {
        for (int ch = 0; ch < 4; ++ch)
            sheet.setText(row, D + ch, voltageText(r.U[ch], r.Range[ch], r.ValueKind == 3));
        sheet.setText(row, H, isAuto ? QString() : currentLabel(r.Current));
    }
    switch (r.ValueKind) {
    case 0:
        sheet.setText(row, I, (r.Mode >= 1 && r.Mode <= 9) ? QString::number(r.Mode) : QString());
        sheet.setText(row, J, isAuto ? QString::number(r.Current) : QString());
        break;
    case 1:
        sheet.setText(row, D, QStringLiteral("None"));
        break;
    case 2:
        sheet.setText(row, I, QStringLiteral("+"));
        break;
    case 3:
        sheet.setText(row, I, QStringLiteral("-"));
        break;
    default:
        break;
    }
    sheet.setText(row, K, recordDateTimeText(r, dateTime));
    sheet.setText(row, L, freqLabel(r.FreqIndex));
    ++row;
}

void terravoxRow(SheetModel& sheet, int& row, std::optional<int>& previousMode, const MeasurementRecord& r,
                 const DateTimeText& dateTime)
{
    if (previousMode != r.Mode || r.Station == 0) {
        PrintLine(sheet, row, r, kTerravoxLayout);
        ++row;
    }
    writeCommonColumns(sheet, row, r);
    previousMode = r.Mode;
    if (r.ValueKind != 1) {
        for (int ch = 0; ch < 4; ++ch) {
            const QString v = voltageText(r.U[ch], r.Range[ch], r.ValueKind == 3);
            sheet.setText(row, D + ch, v.isEmpty() ? QStringLiteral("None") : v);
        }
    }
    sheet.setText(row, H, currentLabel(r.Current));
    sheet.setText(row, K, recordDateTimeText(r, dateTime));
    sheet.setText(row, L, freqLabel(r.FreqIndex));
    sheet.setInt32(row, M, r.ElectrodeA);
    sheet.setInt32(row, N, r.ElectrodeB);
    sheet.setUInt8(row, O, r.ElectrodeM);
    sheet.setUInt8(row, P, r.ElectrodeN);
    ++row;
}

} // namespace

QString recordDateTimeText(const MeasurementRecord& r, const DateTimeText& dateTime)
{
    const QDate date(r.Year, r.Month, r.Day);
    if (!date.isValid())
        throw ZelError(ErrorId::InvalidDate);
    const QTime time(r.Hour, r.Minute, r.Second);
    if (!time.isValid())
        throw ZelError(ErrorId::InvalidTime);
    return dateTime(date, time);
}

void PrintLine(SheetModel& sheet, int row, const MeasurementRecord& record, int layout)
{
    static const QStringList kHeadings = {
        QStringLiteral("File"),    QStringLiteral("Line"),    QStringLiteral("Station"), QStringLiteral("U1 [mV]"),
        QStringLiteral("U2 [mV]"), QStringLiteral("U3 [mV]"), QStringLiteral("U4 [mV]"), QStringLiteral("I "),
        QStringLiteral("Metka"),   QStringLiteral("t [s]"),   QStringLiteral("  Date  "), QStringLiteral("Frequency [Hz]"),
        QStringLiteral(" A "),     QStringLiteral(" B "),     QStringLiteral(" M "),     QStringLiteral(" N "),
    };
    const int last = layout == kTerravoxLayout ? P : L;
    for (int col = A; col <= last; ++col)
        sheet.setText(row, col, kHeadings.at(col - 1));
    if (record.Mode == 15)
        sheet.setText(row, C, QStringLiteral("N"));

    if (record.Mode <= 9)
        sheet.setText(row, I, record.ValueKind == 0 ? QStringLiteral("Metka") : QString());
    else if (carriesElectrodes(record.Mode))
        sheet.setText(row, I, QStringLiteral("Method %1").arg(record.Mode - 9));
    else if (record.Mode == 15)
        sheet.setText(row, I, QStringLiteral("Auto"));

    for (int col = A; col <= last; ++col) {
        sheet.select({row, col}, {row, col});
        sheet.formatHeading(row, col);
    }
}

SheetExport ExelCall(int layout, const QByteArray& decoded, const QLocale& locale)
{
    SheetExport out;
    SheetModel& sheet = out.sheet;
    out.headers = readHeaderFields(decoded);
    sheet.setText(1, A, fromCp1251(out.headers.name));
    sheet.setText(2, A, fromCp1251(out.headers.version));
    sheet.setText(3, A, fromCp1251(out.headers.time));

    const DateTimeText dateTime(locale);
    int row = kFirstDataRow;
    std::optional<int> previousMode;
    const int n = recordsIn(decoded);
    out.count = std::uint16_t(n);
    const auto* images = reinterpret_cast<const std::uint8_t*>(decoded.constData()) + kHeaderFieldsSize;
    try {
        for (int i = 0; i < n; ++i) {
            const MeasurementRecord r = readRecordImage(images + qsizetype(i) * kRecordImageSize);
            if (layout == kZelSoloLayout && isZelSoloMode(r.Mode))
                zelSoloRow(sheet, row, previousMode, r, dateTime);
            else if (layout == kTerravoxLayout && carriesElectrodes(r.Mode))
                terravoxRow(sheet, row, previousMode, r, dateTime);
        }
    } catch (const ZelError& e) {
        out.error = e;  // the rows before the faulty record stay, as the user sees them
        return out;
    }

    sheet.select({kFirstDataRow, A}, {row, M});
    sheet.setFontName(kFirstDataRow, A, QStringLiteral("Arial Black"));
    sheet.select({row, A}, {row, A});
    return out;
}

} // namespace zel
