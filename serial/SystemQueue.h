#pragma once

#include <QtGlobal>

class QSerialPort;

// Bytes that the operating system holds for an open serial device and has
// not yet handed to it (0 where the platform hands them over at once).
qint64 systemBytesWaiting(const QSerialPort& port);
