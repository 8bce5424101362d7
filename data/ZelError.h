#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <stdexcept>

namespace zel {

// Errors that end a command where they happen. The texts belong to the
// program's text table; an error here is which one and what it names.
enum class ErrorId {
    StreamRead,            // reading past the end of a raw dump or decoded data stream;
                           // for a raw dump's block: (block, position, length or "", bytes left)
    NotAnInteger,          // (text): the header's year is not a number
    HeaderTooShort,        // (size, needed)
    CannotOpenFile,        // (file, system's reason)
    FileTooLarge,          // (file, size): no data file of the station is that large
    ReadError,             // (file, system's reason)
    CannotCreateFile,      // (file, system's reason)
    WriteError,            // (file, system's reason)
    NotRegularFile,        // (file): a device, a pipe or a folder where a file is read
    OutputIsInput,         // (file): the output named is the input file itself
    TableValueOutOfRange,  // (line, name, value, low, high)
    TableEntryIncomplete,  // (line)
    InvalidNumber,         // (text, line)
    TableTooLong,          // (line, maximum)
    InvalidDate,           // a record's date does not exist
    InvalidTime,           // a record's time does not exist
    NotFirmware,           // the file lacks the station's signature
    FirmwareTooLarge,      // (size, maximum)
    NoPositions,           // no record with electrode positions to export
    EverythingLeftOut,     // (values, excluded, flagged): every value with positions was left out
    ProfileNotInData,      // (line, file)
    LineNotInData,         // (line)
    TopographyLine,        // (file, line): a line of a topography file is not two numbers
    TopographyEmpty,       // (file): a topography file without an elevation
    TopographyOutOfRange,  // (file, line, value, low, high): a position or height no line on the earth has
    TopographyTwice,       // (file, line, x): a second, other height at one place
    ElectrodesTogether,    // (line, file, electrode, electrode, x): two electrodes of a profile at one place
    LinesFileLine,         // (file, line, text): a line of the lines' geometry file that cannot be used
    SpacingsFileLine,      // (file, line, text): a row of a soundings' spacing sheet that cannot be used
    WholeLineSpacing,      // (line, file, spacing, first file, its spacing): a spread of a whole line at another spacing
    WholeLineNotPlaced,    // (line, file): a spread of a whole line without its own X0
    WholeLineOnePlace,     // (line, file, other file, x0): two spreads of a whole line at one X0
    SlopeSteeperThanTape,  // (line, file, from, to, rise, length): a piece of ground rises more than the tape laid on it
    SequenceParameter,     // (name, value, rule): a generator value out of its range
    SequenceSingleChannel, // (array): four channels for an array that has one
    SequenceEmpty,         // (electrodes): the line is too short for any entry
    SequenceTooLong,       // (entries, maximum, by how much)
    SequenceElectrodeRange,// (name, value, low, high, by how much)
};

// The window shows an error in an error message box; zeltool prints it on
// stderr.
class ZelError : public std::runtime_error {
public:
    explicit ZelError(ErrorId id, QStringList args = {})
        : std::runtime_error("zel error"), m_id(id), m_args(std::move(args)) {}
    ErrorId id() const noexcept { return m_id; }
    const QStringList& args() const noexcept { return m_args; }

private:
    ErrorId m_id;
    QStringList m_args;
};

// Reading past the end of an in-memory stream (raw dump, decoded data stream).
class StreamReadError : public ZelError {
public:
    StreamReadError() : ZelError(ErrorId::StreamRead) {}
    // A block of a raw dump (1 header, 2 time stamp, 3 records) whose length
    // field at `position` is cut off (`length` < 0 is "none") or names more
    // bytes than the `left` that follow it.
    StreamReadError(int block, qint64 position, std::optional<qint64> length, qint64 left)
        : ZelError(ErrorId::StreamRead,
                   {QString::number(block), QString::number(position), length ? QString::number(*length) : QString(),
                    QString::number(left)})
    {
    }
};

// The text of an error as the user sees it: a full stop is added when the last
// character sorts after "." in character order ("Stream read error" becomes
// "Stream read error."; a text ending in ".", "!" or ")" stays as it is).
QString withFullStop(const QString& text);

} // namespace zel
