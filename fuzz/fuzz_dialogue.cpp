// "Read Data", the electrode upload and the firmware upload against a
// station whose every answer, and when it comes, is the fuzzer's choice.
// Virtual time: no pass waits for real time.
#include "data/ZelError.h"
#include "protocol/ElectrodeTable.h"
#include "protocol/Firmware.h"
#include "protocol/ReadData.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <deque>

namespace {

class FuzzedStation : public zel::StationLink, public zel::DialogueClock, public zel::DialogueReport {
public:
    explicit FuzzedStation(FuzzedDataProvider& fdp) : m_fdp(fdp) {}

    bool open() override
    {
        if (m_fdp.ConsumeIntegralInRange<int>(0, 15) == 0)
            return false;
        m_open = true;
        return true;
    }
    void close() override { m_open = false; }
    bool send(const QByteArray& bytes) override
    {
        if (!m_open)
            return false;
        m_sent += bytes.size();
        // An answer of the fuzzer's length, after a delay of its choice, at 115200 bit/s.
        std::int64_t t = std::max(m_now, m_last) + m_fdp.ConsumeIntegralInRange<std::int64_t>(0, 2500);
        const std::string answer = m_fdp.ConsumeRandomLengthString(4096);
        for (const char c : answer) {
            m_incoming.push_back({t, c});
            t += m_fdp.ConsumeBool() ? 1 : 0;
        }
        m_last = t;
        return true;
    }
    int inCount() override
    {
        if (!m_open)
            return 0;
        int n = 0;
        for (const auto& [at, c] : m_incoming) {
            if (at > m_now)
                break;
            ++n;
        }
        return n;
    }
    QByteArray take() override
    {
        QByteArray bytes;
        for (int n = inCount(); n > 0; --n) {
            bytes.append(m_incoming.front().second);
            m_incoming.pop_front();
        }
        return bytes;
    }

    void arm(int ms) override
    {
        m_interval = ms;
        m_deadline = m_now + ms;
        m_running = true;
    }
    void enable() override
    {
        if (!m_running)
            arm(m_interval);
    }
    void disable() override { m_running = false; }
    bool timedOut() const override { return m_flag; }
    void lowerFlag() override { m_flag = false; }
    void processEvents() override
    {
        // On to the next thing that happens: a byte arriving or the timer.
        std::int64_t next = m_now + 1000;
        for (const auto& [at, c] : m_incoming)
            if (at > m_now) {
                next = std::min(next, at);
                break;
            }
        if (m_running)
            next = std::min(next, m_deadline);
        m_now = std::max(m_now + 1, next);
        if (m_running && m_now >= m_deadline) {
            m_running = false;
            m_flag = true;
        }
        if (++m_passes > 2'000'000)
            __builtin_trap();  // a wait that never ends
    }
    std::int64_t tickMs() const override { return m_now; }

    void addLine(const QString& line) override { m_lines += line.size(); }
    QString timeStamp() override { return QStringLiteral("07.12.2026 10:11:12"); }

    bool isOpen() const { return m_open; }

private:
    FuzzedDataProvider& m_fdp;
    std::deque<std::pair<std::int64_t, char>> m_incoming;
    std::int64_t m_now = 0;
    std::int64_t m_last = 0;
    std::int64_t m_deadline = 0;
    int m_interval = 2000;
    bool m_running = false;
    bool m_flag = false;
    bool m_open = false;
    std::int64_t m_passes = 0;
    qsizetype m_sent = 0;
    qsizetype m_lines = 0;
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
