#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>

namespace zel {

// What "Read Data" leaves behind: the raw dump as far as it got, the
// measurement count and the time-stamp line once the header has arrived.
struct StationReading {
    QByteArray rawDump;
    std::optional<std::uint16_t> count;
    std::optional<QByteArray> headerTime;
    // The part of the data answer that arrived before its wait timed out;
    // none when the wait did not time out.
    std::optional<QByteArray> arrivedBeforeTimeout;
};

} // namespace zel
