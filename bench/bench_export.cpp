// Export of 32,766 records in each layout to a workbook file: time and peak
// memory of ours, against openpyxl writing the same cells and styles.
// Usage: zel-bench-export            (runs both layouts, each in a process of its own)
//        zel-bench-export LAYOUT OUT.xlsx [CELLS.tsv]   (one export; writes the cells for openpyxl)
#include "data/RawDump.h"
#include "data/NumericLocale.h"
#include "export/ExelCall.h"
#include "export/XlsxWriter.h"
#include "sim/StationModel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

constexpr int kRecords = 32766;

QByteArray decodedStream(int layout)
{
    auto records = zel::sim::generateRecords(kRecords, 11);
    for (std::size_t i = 0; i < records.size(); ++i)
        records[i].Mode = std::uint8_t(layout == zel::kTerravoxLayout ? 10 + i / 40 % 5 : (i / 40 % 11 == 10 ? 15 : i / 40 % 11));
    QByteArray s = zel::headerField("ZEL-TERRAVOX MMXXVI01") + zel::headerField("V2.1E1.0")
        + zel::headerField("07.12.2026 10:11:12");
    for (const auto& r : records) {
        std::uint8_t image[zel::kRecordImageSize];
        zel::writeRecordImage(r, image);
        s.append(reinterpret_cast<const char*>(image), zel::kRecordImageSize);
    }
    return s;
}

void writeCells(const zel::SheetModel& sheet, const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return;
    for (const auto& s : sheet.styles())
        f.write(QStringLiteral("S\t%1\t%2\t%3\t%4\t%5\n")
                    .arg(s.fontName)
                    .arg(int(s.bold))
                    .arg(s.fontSize)
                    .arg(int(s.yellowFill))
                    .arg(int(s.mediumBorder))
                    .toUtf8());
    for (int row = 1; row <= sheet.rowCount(); ++row)
        for (int col = 1; col <= zel::SheetModel::kColumns; ++col) {
            const auto& c = sheet.cell(row, col);
            if (c.kind == zel::CellKind::Empty && c.style == 0)
                continue;
            const char kind = c.kind == zel::CellKind::Text ? 't' : c.kind == zel::CellKind::Empty ? 'e' : 'n';
            const QString value = c.kind == zel::CellKind::Text ? c.text : QString::number(c.number);
            f.write(QStringLiteral("C\t%1\t%2\t%3\t%4\t%5\n").arg(row).arg(col).arg(QChar(kind)).arg(c.style).arg(value).toUtf8());
        }
    const auto widths = sheet.fittedWidths();
    for (int col = 0; col < zel::SheetModel::kColumns; ++col)
        f.write(QStringLiteral("W\t%1\t%2\n").arg(col + 1).arg(widths[std::size_t(col)]).toUtf8());
}

int oneExport(int layout, const QString& out, const QString& cells)
{
    const QByteArray decoded = decodedStream(layout);
    QElapsedTimer t;
    t.start();
    const zel::SheetModel sheet = zel::ExelCall(layout, decoded, QLocale(QLocale::Russian, QLocale::Russia)).sheet;
    const double fillMs = double(t.nsecsElapsed()) / 1e6;
    zel::writeXlsx(sheet, out);
    const double ms = double(t.nsecsElapsed()) / 1e6;
    std::fprintf(stderr, "sheet model %.1f ms, workbook file %.1f ms\n", fillMs, ms - fillMs);
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    std::printf("%.1f %ld %d\n", ms, u.ru_maxrss, sheet.rowCount());
    if (!cells.isEmpty())
        writeCells(sheet, cells);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    zel::keepFullStopInNumbers();
    const QStringList args = QCoreApplication::arguments();
    if (args.size() >= 3)
        return oneExport(args.at(1).toInt(), args.at(2), args.value(3));

    QTemporaryDir dir;
    for (int layout : {zel::kZelSoloLayout, zel::kTerravoxLayout}) {
        const QString name = layout == zel::kZelSoloLayout ? QStringLiteral("ZEL-SOLO") : QStringLiteral("TERRAVOX");
        // Three runs of ours, each a process of its own: best and worst time.
        QStringList f;
        double worstMs = 0;
        for (int run = 0; run < 3; ++run) {
            QProcess ours;
            ours.start(QCoreApplication::applicationFilePath(),
                       {QString::number(layout), dir.filePath("ours.xlsx"), dir.filePath("cells.tsv")});
            ours.waitForFinished(-1);
            const QStringList figures = QString::fromLatin1(ours.readAllStandardOutput()).split(QLatin1Char(' '));
            worstMs = std::max(worstMs, figures.value(0).toDouble());
            if (f.isEmpty() || figures.value(0).toDouble() < f.value(0).toDouble())
                f = figures;
        }
        QProcess py;
        py.start(QStringLiteral(ZEL_PYTHON),
                 {QStringLiteral(ZEL_OPENPYXL_SCRIPT), dir.filePath("cells.tsv"), dir.filePath("openpyxl.xlsx")});
        py.waitForFinished(-1);
        const QStringList p = QString::fromLatin1(py.readAllStandardOutput()).split(QLatin1Char(' '));
        const double oursMs = f.value(0).toDouble();
        const double pyMs = p.value(0).toDouble();
        std::printf("%s: %d records, %s rows\n", qPrintable(name), kRecords, qPrintable(f.value(2).trimmed()));
        std::printf("  ours       %8.1f ms   peak %6.1f MB   (goals < 1000 ms, < 100 MB; worst of 3 runs %.1f ms)\n",
                    oursMs, f.value(1).toDouble() / 1024.0, worstMs);
        std::printf("  openpyxl   %8.1f ms   peak %6.1f MB\n", pyMs, p.value(1).toDouble() / 1024.0);
        std::printf("  ratio      %8.1f x   (goal >= 10 x)\n", oursMs > 0 ? pyMs / oursMs : 0.0);
    }
    return 0;
}
