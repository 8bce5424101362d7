#include "StationFlows.h"

#include "ElectrodeTable.h"

namespace zel {

namespace {

// Runs an upload, keeping the lines it adds.
template <class Upload>
UploadOutcome collecting(DialogueRunner& runner, Upload&& upload)
{
    UploadOutcome outcome;
    const QMetaObject::Connection keep = QObject::connect(
        &runner, &DialogueRunner::lineAdded, [&outcome](const ReportLine& line) { outcome.lines.push_back(line); });
    try {
        outcome.status = upload();
    } catch (...) {
        QObject::disconnect(keep);
        throw;
    }
    QObject::disconnect(keep);
    return outcome;
}

} // namespace

ReadOutcome readAndKeep(DialogueRunner& runner, const ReadingArchive& archive)
{
    ReadOutcome outcome;
    try {
        outcome.status = runner.readData(outcome.reading, outcome.readAt);
    } catch (const ZelError& e) {
        outcome.error = e;
    }
    try {
        outcome.kept = keepStationReading(archive, outcome.reading, outcome.status, outcome.readAt);
    } catch (const ZelError& e) {
        outcome.notKept = e;
    }
    return outcome;
}

TableUpload tableUpload(const QString& fileName, const QByteArray& text)
{
    return {protocolName(fileName), electrodeWords(parseElectrodeTable(text))};
}

FirmwareImage checkedFirmware(const QByteArray& file)
{
    const std::optional<FirmwareImage> firmware = firmwareImage(file);
    if (!firmware)
        throw ZelError(ErrorId::NotFirmware);
    checkFirmwareSize(*firmware);
    return *firmware;
}

UploadOutcome uploadTable(DialogueRunner& runner, const TableUpload& table)
{
    return collecting(runner, [&] { return runner.uploadTable(table.name, table.words); });
}

UploadOutcome uploadFirmware(DialogueRunner& runner, const FirmwareImage& firmware)
{
    return collecting(runner, [&] { return runner.uploadFirmware(firmware.image); });
}

} // namespace zel
