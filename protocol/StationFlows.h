#pragma once

#include "DialogueRunner.h"
#include "Firmware.h"

#include "data/Messages.h"
#include "data/ReadingArchive.h"
#include "data/StationReading.h"
#include "data/ZelError.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// The station commands as the window and zeltool both run them: what is
// checked and prepared before the port opens, the dialogue, and what is done
// with its result before anything else.
namespace zel {

// What Read Data came to.
struct ReadOutcome {
    DialogueStatus status = DialogueStatus::Refused;
    StationReading reading;        // whole, even when the dialogue failed
    QDateTime readAt;              // when the dialogue first took the time
    QString kept;                  // the copy in the readings folder; empty when none
    std::optional<ZelError> notKept;  // why the copy could not be written
    std::optional<ZelError> error;    // what ended the dialogue (a header year that is not a number)
};
// Read Data: the dialogue, then the reading kept in the archive before
// anything else, so that it never lives only in memory.
ReadOutcome readAndKeep(DialogueRunner& runner, const ReadingArchive& archive);

// An electrode table as it goes to the station: its protocol name (of the
// file's name) and its words, read and checked whole before the port opens.
// Throws ZelError as parseElectrodeTable does.
struct TableUpload {
    QByteArray name;
    std::vector<std::uint16_t> words;
};
TableUpload tableUpload(const QString& fileName, const QByteArray& text);

// A firmware file checked before the port opens: throws ZelError NotFirmware
// or FirmwareTooLarge.
FirmwareImage checkedFirmware(const QByteArray& file);

// What an upload came to, with the list lines it added.
struct UploadOutcome {
    DialogueStatus status = DialogueStatus::Refused;
    std::vector<ReportLine> lines;
};
UploadOutcome uploadTable(DialogueRunner& runner, const TableUpload& table);
UploadOutcome uploadFirmware(DialogueRunner& runner, const FirmwareImage& firmware);

} // namespace zel
