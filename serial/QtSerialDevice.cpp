// The serial device on Linux: Qt's serial port, with the queue counts of the
// system's driver.
#include "SerialDevice.h"

#include <QSerialPort>

#include <cerrno>

#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// Failed reads in a row after which the line counts as hung up.
constexpr int kFailedReadsOfADeadLine = 200;

class QtSerialDevice : public SerialDevice {
public:
    QtSerialDevice()
    {
        // No limit on what the component holds: a whole memory read must fit.
        m_port.setReadBufferSize(0);
        // A line that hangs up (an unplugged USB adapter, a station that
        // goes away) fails every read from then on. After many failed reads
        // in a row, with no byte between them, it counts as dead. A single
        // failed read (a spurious wake-up with nothing to read) is no hang-up.
        connect(&m_port, &QSerialPort::readyRead, this, [this] {
            m_failedReads = 0;
            emit bytesArrived();
        });
        // A write that finds the system's queue full (a station that takes
        // bytes at the line's pace, a long table) fails with EAGAIN as a
        // resource error too; the bytes stay in the port object and go later.
        connect(&m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
            const int systemError = errno;  // the failed call's, reported at once
            if (e != QSerialPort::ReadError && e != QSerialPort::ResourceError)
                return;
            if (systemError == EAGAIN || systemError == EWOULDBLOCK)
                return;
            if (++m_failedReads == kFailedReadsOfADeadLine)
                emit lineDead();
        });
    }

    bool open(const QString& device, int baud) override
    {
        m_port.setPortName(device);
        if (!m_port.open(QIODevice::ReadWrite))
            return false;
        // A line whose settings cannot be applied stays open with what it had.
        m_port.setBaudRate(baud);
        m_port.setDataBits(QSerialPort::Data8);
        m_port.setParity(QSerialPort::NoParity);
        m_port.setStopBits(QSerialPort::OneStop);
        m_port.setFlowControl(QSerialPort::NoFlowControl);
        // A pseudo-terminal refuses the modem-line calls; the line still works.
        m_port.setDataTerminalReady(false);
        m_port.setRequestToSend(false);
        m_port.clear(QSerialPort::Input);
        m_port.clearError();
        m_failedReads = 0;
        return true;
    }
    void close() override
    {
        if (m_port.isOpen())
            m_port.close();
    }
    bool isOpen() const override { return m_port.isOpen(); }
    // The device's notifier moves arriving bytes into the port object
    // whenever events are processed; what the system still holds counts too.
    qint64 bytesWaiting() const override { return m_port.bytesAvailable() + queue(FIONREAD); }
    void drain() override
    {
        while (m_port.isOpen() && queue(FIONREAD) > 0) {
            if (!m_port.waitForReadyRead(0))
                break;
        }
    }
    QByteArray read(qint64 n) override { return m_port.read(n); }
    qint64 write(const QByteArray& bytes) override
    {
        const qint64 written = m_port.write(bytes);
        m_port.flush();  // hands the driver what it takes now, without waiting
        return written;
    }
    // A pseudo-terminal's output queue is empty as soon as the bytes are
    // written; a real adapter's drains at the line speed.
    qint64 bytesQueued() const override { return m_port.bytesToWrite() + queue(TIOCOUTQ); }
    OpenFailure openFailure(const QString& device) const override
    {
        // Qt reports a busy device as a permission error: the file's own
        // permissions tell the two apart.
        const QByteArray path = device.toLocal8Bit();
        if (::access(path.constData(), F_OK) != 0)
            return OpenFailure::NoDevice;
        if (::access(path.constData(), R_OK | W_OK) != 0)
            return OpenFailure::PermissionDenied;
        if (m_port.error() == QSerialPort::PermissionError || m_port.error() == QSerialPort::OpenError)
            return OpenFailure::Busy;
        return OpenFailure::Unknown;
    }
    QString errorString() const override { return m_port.errorString(); }

private:
    qint64 queue(unsigned long request) const
    {
        int n = 0;
        if (m_port.isOpen() && ::ioctl(int(m_port.handle()), request, &n) == 0 && n > 0)
            return n;
        return 0;
    }

    QSerialPort m_port;
    int m_failedReads = 0;
};

} // namespace

std::unique_ptr<SerialDevice> SerialDevice::make() { return std::make_unique<QtSerialDevice>(); }

bool SerialDevice::canOpen(const QString& device)
{
    QSerialPort port;
    port.setPortName(device);
    if (!port.open(QIODevice::ReadWrite))
        return false;
    port.close();
    return true;
}
