// Decoding and rendering a full station memory (65,535 records), and filling
// the main list with the "View" lines. Prints the figures.
#include "BestOf.h"
#include "data/NumericLocale.h"
#include "app/ZelMain.h"
#include "data/RawDump.h"
#include "data/Record.h"
#include "data/TextTable.h"
#include "sim/StationModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QByteArray fullMemory(int count)
{
    QByteArray dump;
    zel::appendBlock(dump, zel::sim::makeHeader(count));
    zel::appendBlock(dump, "05.07.2007 10:11:12");
    zel::appendBlock(dump, zel::sim::rawRecords(zel::sim::generateRecords(count, 7)));
    return dump;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    zel::keepFullStopInNumbers();
    constexpr int kCount = 65535;
    const QByteArray dump = fullMemory(kCount);
    const zel::DateTimeSeparators sep;

    zel::DumpDecoding decoded;
    const double decodeMs = bestOf(5, [&] { decoded = zel::decodeDump(dump); });
    // The first View of a run also pays for fresh pages of memory (cold); a
    // later View reuses the memory the previous list gave back (warm).
    QStringList lines;
    QElapsedTimer cold;
    cold.start();
    zel::appendViewLines(decoded.decoded, *decoded.count, sep, lines);
    const double coldMs = double(cold.nsecsElapsed()) / 1e6;
    double renderMs = 1e99;
    for (int i = 0; i < 5; ++i) {
        lines = QStringList();
        renderMs = std::min(renderMs, bestOf(1, [&] { zel::appendViewLines(decoded.decoded, *decoded.count, sep, lines); }));
    }
    std::vector<zel::MeasurementRecord> records;
    records.reserve(kCount);
    for (int i = 0; i < kCount; ++i)
        records.push_back(zel::readRecordImage(reinterpret_cast<const std::uint8_t*>(decoded.decoded.constData()) + 66 + 48 * i));
    qsizetype total = 0;
    const double tablTexMs = bestOf(5, [&] {
        for (const auto& r : records)
            total += zel::TablTex(r, sep).size();
    });
    const double textMs = bestOf(5, [&] { (void)zel::textFileBytes(decoded.decoded, *decoded.count, sep); });

    TForm1 form;
    form.show();
    QApplication::processEvents();
    const double listMs = bestOf(5, [&] {
        form.ListBox1->clear();
        form.ListBox1->addItems(lines);
        QApplication::processEvents();
    });

    std::printf("records                         %d\n", kCount);
    std::printf("decode (ReadDump)               %8.2f ms\n", decodeMs);
    std::printf("TablTex of every record         %8.2f ms   (%lld characters)\n", tablTexMs, static_cast<long long>(total / 5));
    std::printf("decode + TablTex                %8.2f ms   (goal < 25 ms)\n", decodeMs + tablTexMs);
    std::printf("View lines kept in a list       %8.2f ms   (first View of a run: %.2f ms)\n", renderMs, coldMs);
    std::printf("Save as text bytes              %8.2f ms\n", textMs);
    std::printf("fill ListBox1 with View lines   %8.2f ms   (goal < 200 ms)\n", listMs);
    return 0;
}
