#pragma once

#include <QtGlobal>

class QSerialPort;

// Bytes that the operating system holds for an open serial device: received
// and not yet handed to it, and written and not yet sent on the line (0
// where the platform does not tell, or hands them over at once). A
// pseudo-terminal's output queue is empty as soon as the bytes are written;
// a real adapter's drains at the line speed.
qint64 systemBytesWaiting(const QSerialPort& port);

// Why opening `device` failed with Qt's `error`: the device missing, not
// readable and writable for this user, or held by another program.
enum class OpenFailure { Unknown, NoDevice, PermissionDenied, Busy };
OpenFailure openFailureOf(const QString& device, int error);
qint64 systemBytesQueued(const QSerialPort& port);
