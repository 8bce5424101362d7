#pragma once

#include "data/Electrodes.h"

#include "Dialogue.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace zel {

// One line of an electrode table: the current electrodes A and B, the
// potential electrodes M and N, and the line of the file it stands on.
// An entry of a table file, with the line it stands on.
struct ElectrodeEntry : TableEntry {
    int line = 0;
};

constexpr int kMaxElectrodeEntries = 32765;  // the word count is 16 bits
constexpr milliseconds kUploadFirstTimeout{2000};
constexpr milliseconds kElectrodeAnswerTimeout{500};
constexpr int kUploadAttempts = 4;

// Reads an electrode table file: four integers A, B, M, N per entry
// (decimal with an optional sign, or hexadecimal after "$", "x", "X", "0x",
// "0X"), separated by any bytes up to 0x20, the rest of a line after the
// fourth number ignored, a Ctrl-Z ending the data. Throws ZelError naming the
// line for a number that cannot be read, an entry cut short by the end of the
// data, a value outside A, B -255..255 or M, N 0..127, or too many entries.
std::vector<ElectrodeEntry> parseElectrodeTable(const QByteArray& file);

// The protocol name: the file name with its extension, cut or padded with
// blanks to 8 bytes of the system's code page.
QByteArray protocolName(const QString& fileName);

// A position of A (or B) in sign-and-magnitude form in bits 0-8 below M (or
// N) in bits 9-15.
std::uint16_t electrodeWord(std::int32_t signedPosition, std::int32_t upper);

// The entry words, two per entry: (M, A), then (N, B).
std::vector<std::uint16_t> electrodeWords(const std::vector<ElectrodeEntry>& entries);

// "$DP", 0x18, 0x00, the word count (name and entries), the name, the words.
QByteArray electrodeFrame(const QByteArray& name, const std::vector<std::uint16_t>& words);
std::uint16_t electrodeChecksum(const QByteArray& name, const std::vector<std::uint16_t>& words);

// Sends the table to the station, up to four times until the station's
// checksum matches, then confirms it with "$A5EB". Adds the command's line.
DialogueStatus uploadElectrodeTable(StationLink& link, DialogueClock& clock, DialogueReport& report,
                                    const QByteArray& name, const std::vector<std::uint16_t>& words);

} // namespace zel
