// "Read Data", the electrode upload and the firmware upload against a
// station whose every answer, and when it comes, is the fuzzer's choice.
// Virtual time: no pass waits for real time.
#include "data/ZelError.h"
#include "protocol/ElectrodeTable.h"
#include "protocol/Firmware.h"
#include "protocol/ReadData.h"
#include "sim/VirtualLine.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>

namespace {

class FuzzedStation : public zel::sim::VirtualLine, public zel::DialogueReport {
public:
    explicit FuzzedStation(FuzzedDataProvider& fdp) : m_fdp(fdp) {}

    bool open() override { return m_fdp.ConsumeIntegralInRange<int>(0, 15) != 0 && VirtualLine::open(); }
    bool send(const QByteArray& bytes) override
    {
        if (!isOpen())
            return false;
        // An answer of the fuzzer's length, after a delay and at a pace of its choice.
        std::int64_t t = std::max(nowUs(), lastArrivalUs()) + m_fdp.ConsumeIntegralInRange<std::int64_t>(0, 2'500'000);
        for (const char c : m_fdp.ConsumeRandomLengthString(4096)) {
            deliver(t, c);
            t += m_fdp.ConsumeBool() ? 1000 : 0;
        }
        return !bytes.isEmpty();
    }
    // A pass moves on to the next thing that happens: a byte or the timer.
    void processEvents() override
    {
        const std::int64_t next = nextEventUs();
        advanceTo(std::max(nowUs() + 1000, next));
        if (++m_passes > 2'000'000)
            __builtin_trap();  // a wait that never ends
    }

    void addLine(const zel::ReportLine&) override {}
    QString timeStamp() override { return QStringLiteral("07.12.2026 10:11:12"); }

private:
    FuzzedDataProvider& m_fdp;
    std::int64_t m_passes = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider fdp(data, size);
    FuzzedStation station(fdp);
    switch (fdp.ConsumeIntegralInRange<int>(0, 2)) {
    case 0: {
        zel::StationReading reading;
        try {
            zel::readStationMemory(station, station, station, reading);
        } catch (const zel::ZelError&) {
            // a year in the header that is not a number
        }
        break;
    }
    case 1: {
        std::vector<std::uint16_t> words(fdp.ConsumeIntegralInRange<std::size_t>(0, 64) * 2);
        for (auto& w : words)
            w = fdp.ConsumeIntegral<std::uint16_t>();
        zel::uploadElectrodeTable(station, station, station, "fuzz.txt", words);
        break;
    }
    default: {
        QByteArray image(qsizetype(fdp.ConsumeIntegralInRange<int>(0, 256)) * 2, '\x5A');
        zel::uploadFirmware(station, station, station, image);
        break;
    }
    }
    if (station.isOpen())
        __builtin_trap();  // every ending closes the port
    return 0;
}
