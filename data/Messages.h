#pragma once

#include <QString>

namespace zel {

// What a command adds to the main list. The texts belong to the program's
// text table; a line here is only which one and its numbers.
enum class LineId {
    StationText,            // a text of the station or the reading, shown as it is
    MeasurementCount,       // "Количество измерений <number>"
    PartialRecords,         // "Блок записей неполный: декодировано измерений <number> из <of>"
    PortNotOpened,          // "Невозможно открыть порт"
    NoAnswer,               // "Время ожидания истекло (1)"
    NoLink,                 // "Не установлено соединение"
    HeaderTimedOut,         // "Время ожидания истекло (2)"
    BytesRead,              // "Считано <number> байт"
    DataTimedOut,           // "Время ожидания истекло (3)"
    ChecksumsDiffer,        // "Не совпали контрольные суммы"
    RepeatReading,          // "Повторите ввод"
    TableAnswerTimedOut,    // "Время ожидания k/s истекло (4)"
    TableWritten,           // "Таблица записана успешно! Всего <number>"
    TableChecksumDiffers,   // "Не совпала контрольная сумма"
    FirmwareWriting,        // "Запись программы в EEPROM"
    FirmwareAnswerTimedOut, // "Время ожидания истекло (2), <number>"
    FirmwareLoaded,         // "Программа загружена"
    FirmwareChecksumDiffers,// "Не совпала контрольная сумма "
    StoppedByUser,          // "Остановлено пользователем"
    LineNotQuiet,           // the line did not go quiet before the wake-up byte
    NotAMemoryHeader,       // the answer to "$OK" is not a memory header
};

struct ReportLine {
    LineId id = LineId::StationText;
    qint64 number = 0;
    QString text;   // LineId::StationText only
    QString stamp;  // the time stamp that begins the firmware upload's lines; empty otherwise
    qint64 of = 0;  // LineId::PartialRecords: the count the header claims
    bool operator==(const ReportLine&) const = default;

    static ReportLine plain(LineId id, qint64 number = 0) { return ReportLine{id, number, {}, {}, 0}; }
    static ReportLine station(const QString& text) { return ReportLine{LineId::StationText, 0, text, {}, 0}; }
};

// What the serial component asks or tells the user; the texts belong to the
// program's text table.
struct ComPrompt {
    enum class Kind {
        OpenFailed,       // "Error opening COM<port>: " (Abort, Retry)
        ResponseTimeout,  // "Timeout waiting for response." (Abort, Retry)
        PortInUse,        // "Port is in use -- operation aborted" (OK)
    };
    // Why the system refused to open the port.
    enum class Reason {
        Unknown,           // `detail` holds the system's own words
        NoDevice,          // nothing at that device path (adapter unplugged)
        PermissionDenied,  // the user may not open serial devices
        Busy,              // another program holds the port
    };
    Kind kind = Kind::OpenFailed;
    int port = 0;
    Reason reason = Reason::Unknown;
    QString detail;  // the device and the system's words
};

} // namespace zel
