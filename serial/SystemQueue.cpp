#include "SystemQueue.h"

#include <QSerialPort>

#ifdef Q_OS_UNIX
#include <sys/ioctl.h>
#endif

qint64 systemBytesWaiting(const QSerialPort& port)
{
#ifdef Q_OS_UNIX
    int n = 0;
    if (port.isOpen() && ::ioctl(int(port.handle()), FIONREAD, &n) == 0 && n > 0)
        return n;
#else
    Q_UNUSED(port);
#endif
    return 0;
}
