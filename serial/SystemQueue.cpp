#include "SystemQueue.h"

#include <QSerialPort>

#ifdef Q_OS_UNIX
#include <sys/ioctl.h>
#endif

namespace {

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

qint64 systemBytesWaiting(const QSerialPort& port)
{
#ifdef Q_OS_UNIX
    return queueCount(port, FIONREAD);
#else
    return queueCount(port, 0);
#endif
}

qint64 systemBytesQueued(const QSerialPort& port)
{
#ifdef Q_OS_UNIX
    return queueCount(port, TIOCOUTQ);
#else
    return queueCount(port, 0);
#endif
}
