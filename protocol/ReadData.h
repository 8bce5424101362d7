#pragma once

#include "Dialogue.h"

#include <QByteArray>

#include <cstdint>
#include <optional>

namespace zel {

constexpr milliseconds kReadFirstTimeout{1000};
constexpr milliseconds kHeaderTimeout{2000};
constexpr int kHeaderMinBytes = 20;
constexpr milliseconds kDataIdleTimeout{2000};

// What "Read Data" leaves behind: the raw dump as far as it got, the
// measurement count and the time-stamp line once the header has arrived.
struct StationReading {
    QByteArray rawDump;
    std::optional<std::uint16_t> count;
    std::optional<QByteArray> headerTime;
};

// The data request for `count` measurements: "$UD", 0, 0, high byte | 0x80, low byte.
QByteArray dataRequest(std::uint16_t count);

// Reads the station's measurement memory: handshake, "$OK" and the header
// answer, "$UD" and the data answer, "$GB". Adds the list lines of the
// command and checks the memory checksum. Done means either that the
// checksum matched (the raw dump is complete and the window decodes it) or
// that the station holds no measurements (count 0, two blocks). Throws
// ZelError when the header's year of an empty memory is not a number; the
// port is closed by then.
DialogueStatus readStationMemory(StationLink& link, DialogueClock& clock, DialogueReport& report,
                                 StationReading& reading);

} // namespace zel
