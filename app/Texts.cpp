#include "Texts.h"

#include <QCoreApplication>

namespace zel::texts {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("zel", text); }

QString body(const ReportLine& line)
{
    switch (line.id) {
    case LineId::StationText:
        return line.text;
    case LineId::PortNotOpened:
        return tr("Невозможно открыть порт");
    case LineId::NoAnswer:
        return tr("Время ожидания истекло (1)");
    case LineId::NoLink:
        return tr("Не установлено соединение");
    case LineId::HeaderTimedOut:
        return tr("Время ожидания истекло (2)");
    case LineId::BytesRead:
        return tr("Считано %1 байт").arg(line.number);
    case LineId::DataTimedOut:
        return tr("Время ожидания истекло (3)");
    case LineId::ChecksumsDiffer:
        return tr("Не совпали контрольные суммы");
    case LineId::RepeatReading:
        return tr("Повторите ввод");
    case LineId::TableAnswerTimedOut:
        return tr("Время ожидания k/s истекло (4)");
    case LineId::TableWritten:
        return tr("Таблица записана успешно! Всего %1").arg(line.number);
    case LineId::TableChecksumDiffers:
        return tr("Не совпала контрольная сумма");
    // The firmware upload's lines follow its time stamp. Most begin with a
    // blank of their own; the checksum line has none and ends in a blank.
    case LineId::FirmwareWriting:
        return tr(" Запись программы в EEPROM");
    case LineId::FirmwareAnswerTimedOut:
        return tr(" Время ожидания истекло (2), %1").arg(line.number);
    case LineId::FirmwareLoaded:
        return tr(" Программа загружена");
    case LineId::FirmwareChecksumDiffers:
        return tr("Не совпала контрольная сумма ");
    }
    return {};
}

} // namespace

QString lineText(const ReportLine& line)
{
    // Of the handshake's lines after a time stamp, the time-out follows it
    // directly and the failed connection after a blank.
    if (!line.stamp.isEmpty() && line.id == LineId::NoLink)
        return line.stamp + QLatin1Char(' ') + body(line);
    return line.stamp + body(line);
}

QString receivedProgress(qint64 arrived, qint64 expected)
{
    return tr("Принято %1 из %2 байт").arg(arrived).arg(expected);
}

QString sentProgress(qint64 sent, qint64 total) { return tr("Передано %1 из %2 байт").arg(sent).arg(total); }

QString dialogueRunning() { return tr("Идёт обмен со станцией: дождитесь его окончания"); }

} // namespace zel::texts
