#pragma once

#include "Dialogue.h"

#include "data/ReadingArchive.h"
#include "data/StationReading.h"

#include <QByteArray>
#include <QDateTime>

#include <cstdint>
#include <optional>

namespace zel {

constexpr milliseconds kReadFirstTimeout{1000};
constexpr milliseconds kHeaderTimeout{2000};
constexpr int kHeaderMinBytes = 20;
constexpr milliseconds kDataIdleTimeout{2000};
// A data answer that keeps trickling ends all the same once it has taken
// three times its line time and this much more.
constexpr int kDataLineTimes = 3;
constexpr milliseconds kDataSlack{10000};
// Before the wake-up byte the line must have been quiet this long (a station
// still sending a memory whose reading was stopped goes on for a while),
// within the longer bound.
constexpr milliseconds kQuietLine{300};
constexpr milliseconds kQuietLineBound{10000};

// The raw dump of a reading whose data answer broke off: header, time stamp
// and what arrived as the record block. None for a reading that did not
// break off in the data answer.
std::optional<QByteArray> incompleteDump(const StationReading& reading);

// The data request for `count` measurements: "$UD", 0, 0, high byte | 0x80, low byte.
QByteArray dataRequest(std::uint16_t count);

// Reads the station's measurement memory: handshake, "$OK" and the header
// answer, "$UD" and the data answer, "$GB". Adds the list lines of the
// command and checks the memory checksum. Done means either that the
// checksum matched (the raw dump is complete and the window decodes it) or
// that the station holds no measurements (count 0, two blocks). Throws
// ZelError when the header's year of an empty memory is not a number; the
// port is closed by then.
// Keeps a reading in the archive, as the window and zeltool both do: one
// whose checksum matched, one whose checksum did not (marked so), and what
// arrived of one that broke off in the data answer (marked incomplete).
// Returns the path kept, empty when there was nothing to keep (an empty
// memory, or a dialogue that ended before the data answer). Throws ZelError
// when the file cannot be written.
QString keepStationReading(const ReadingArchive& archive, const StationReading& reading, DialogueStatus status,
                           const QDateTime& readAt);

DialogueStatus readStationMemory(StationLink& link, DialogueClock& clock, DialogueReport& report,
                                 StationReading& reading);

} // namespace zel
