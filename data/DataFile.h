#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

namespace zel {

// A raw dump, header answer and time stamp included, is at most a few MiB
// (65,535 records are 2 MiB); a larger file is not a data file of the station.
constexpr qint64 kMaxDataFileSize = 64 * 1024 * 1024;

// Reads a whole regular file. Throws ZelError naming the file when it cannot
// be opened or read, when it is larger than maxSize, or when it is a device,
// a pipe or a folder (a pipe with no writer would wait for ever).
QByteArray readWholeFile(const QString& path, qint64 maxSize = kMaxDataFileSize);

// Writes a whole file through a temporary file that replaces the target only
// when every byte reached the disk: a failed write (a full disk included)
// leaves an existing file as it was. An existing target that is a device or a
// pipe is written into directly, never replaced. Throws ZelError naming the
// file and the system's reason.
void writeWholeFile(const QString& path, const QByteArray& bytes);

// Why a write to `file` failed: Qt's words, or the system's (`systemError`,
// the errno right after the failing call) where Qt has none, as when the
// system's last flush finds the disk full and Qt says "Unknown error".
QString writeFailure(const QFileDevice& file, int systemError);

// Throws ZelError, as writeWholeFile would, when `path` cannot be written:
// checked before a long transfer whose result goes there. Changes nothing.
void checkWritable(const QString& path);

// Throws ZelError when `output` is the very file `input` (the same file under
// any name or link): writing it would destroy what is being read.
void refuseOutputOverInput(const QString& input, const QString& output);

} // namespace zel
