#include "SystemQueue.h"

#include <QSerialPort>

#ifdef Q_OS_UNIX
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_UNIX
constexpr unsigned long kInputQueue = FIONREAD;
constexpr unsigned long kOutputQueue = TIOCOUTQ;
#else
constexpr unsigned long kInputQueue = 0;  // the platform does not tell
constexpr unsigned long kOutputQueue = 0;
#endif

qint64 queueCount([[maybe_unused]] const QSerialPort& port, [[maybe_unused]] unsigned long request)
{
#ifdef Q_OS_UNIX
    int n = 0;
    if (port.isOpen() && ::ioctl(int(port.handle()), request, &n) == 0 && n > 0)
        return n;
#endif
    return 0;
}

} // namespace

OpenFailure openFailureOf([[maybe_unused]] const QString& device, int error)
{
#ifdef Q_OS_UNIX
    // Qt reports a busy device as a permission error: the file's own
    // permissions tell the two apart.
    const QByteArray path = device.toLocal8Bit();
    if (::access(path.constData(), F_OK) != 0)
        return OpenFailure::NoDevice;
    if (::access(path.constData(), R_OK | W_OK) != 0)
        return OpenFailure::PermissionDenied;
    if (error == QSerialPort::PermissionError || error == QSerialPort::OpenError)
        return OpenFailure::Busy;
#else
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return OpenFailure::NoDevice;
    case QSerialPort::PermissionError:
        return OpenFailure::Busy;  // Windows refuses a port another program holds so
    default:
        break;
    }
#endif
    return OpenFailure::Unknown;
}

qint64 systemBytesWaiting(const QSerialPort& port) { return queueCount(port, kInputQueue); }

qint64 systemBytesQueued(const QSerialPort& port) { return queueCount(port, kOutputQueue); }
