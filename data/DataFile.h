#pragma once

#include <QByteArray>
#include <QString>

namespace zel {

// A raw dump, header answer and time stamp included, is at most a few MiB
// (65,535 records are 2 MiB); a larger file is not a data file of the station.
constexpr qint64 kMaxDataFileSize = 64 * 1024 * 1024;

// Reads a whole file. Throws ZelError naming the file when it cannot be
// opened or read, or when it is larger than maxSize.
QByteArray readWholeFile(const QString& path, qint64 maxSize = kMaxDataFileSize);

// Writes a whole file through a temporary file that replaces the target only
// when everything was written: a failed write leaves an existing file as it was.
// Throws ZelError naming the file.
void writeWholeFile(const QString& path, const QByteArray& bytes);

} // namespace zel
