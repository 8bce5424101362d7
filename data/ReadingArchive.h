#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace zel {

// Every reading kept as it arrived, one data file each, in a folder of the
// user's: a reading that took minutes never lives only in memory. Files are
// named from the time of the reading ("2026-12-07_10-11-12.zel"); a reading
// whose checksum did not match is kept for diagnosis with
// "-checksum-mismatch" in its name, one that broke off with what arrived
// and "-incomplete". Nothing here ever deletes a reading.
class ReadingArchive {
public:
    enum class Kind { Complete, ChecksumMismatch, Incomplete };

    explicit ReadingArchive(QString folder) : m_folder(std::move(folder)) {}

    // The folder "zel-terravox/readings" in the user's data folder.
    static QString defaultFolder();

    const QString& folder() const { return m_folder; }

    // Writes the raw dump through a temporary file and returns its path; a
    // second reading of the same second gets "-2", "-3", ... The name is
    // claimed by creating it exclusively, so two programs keeping readings
    // of the same second never write the same file. Throws ZelError when the
    // folder or the file cannot be written.
    QString keep(const QByteArray& rawDump, const QDateTime& readAt, Kind kind = Kind::Complete) const;

    // The kept readings, newest first, at most `count`.
    QStringList recent(int count) const;

private:
    QString m_folder;
};

} // namespace zel
