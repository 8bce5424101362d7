// The serial device on Windows: the Win32 communications API. Reads return
// at once with what the driver holds (no read waits on the line); writes are
// overlapped, so that a long frame leaves while the window goes on. A timer
// looks at the driver's queues while the port is open: it takes what has
// arrived into the device's own buffer, which has no limit (a driver's queue
// holds what it grants, a pseudo-terminal behind Wine 4 KiB, less than a
// memory of the station), wakes up waits when bytes arrive and notices a line
// that went away. It goes on looking while a modal window runs its own loop.
#include "SerialDevice.h"

#include <QTimer>

#include <windows.h>

#include <list>

namespace {

constexpr DWORD kQueueSize = 1 << 16;
constexpr int kPollMs = 10;
// Failed queue checks in a row after which the line counts as gone.
constexpr int kFailedChecksOfADeadLine = 20;

// One overlapped operation with its own event.
struct Overlapped {
    Overlapped() { ov.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr); }
    ~Overlapped()
    {
        if (ov.hEvent)
            CloseHandle(ov.hEvent);
    }
    Overlapped(const Overlapped&) = delete;
    Overlapped& operator=(const Overlapped&) = delete;
    OVERLAPPED ov{};
};

// A write that the driver has taken but not finished, and its bytes.
struct PendingWrite {
    QByteArray bytes;
    Overlapped op;
};

QString systemMessage(DWORD error)
{
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    QString message = n ? QString::fromWCharArray(text, int(n)).trimmed() : QStringLiteral("error %1").arg(error);
    if (text)
        LocalFree(text);
    return message;
}

HANDLE openHandle(const QString& device)
{
    return CreateFileW(reinterpret_cast<const wchar_t*>(device.utf16()), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                       OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
}

class WinSerialDevice : public SerialDevice {
public:
    WinSerialDevice()
    {
        m_poll.setInterval(kPollMs);
        connect(&m_poll, &QTimer::timeout, this, &WinSerialDevice::look);
    }
    ~WinSerialDevice() override { release(); }

    bool open(const QString& device, int baud) override
    {
        close();
        m_handle = openHandle(device);
        if (m_handle == INVALID_HANDLE_VALUE) {
            m_error = GetLastError();
            return false;
        }
        SetupComm(m_handle, kQueueSize, kQueueSize);
        // A line whose settings cannot be applied stays open with what it had.
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (GetCommState(m_handle, &dcb)) {
            dcb.BaudRate = DWORD(baud);
            dcb.ByteSize = 8;
            dcb.Parity = NOPARITY;
            dcb.StopBits = ONESTOPBIT;
            dcb.fBinary = TRUE;
            dcb.fParity = FALSE;
            dcb.fOutxCtsFlow = FALSE;
            dcb.fOutxDsrFlow = FALSE;
            dcb.fDtrControl = DTR_CONTROL_DISABLE;
            dcb.fRtsControl = RTS_CONTROL_DISABLE;
            dcb.fDsrSensitivity = FALSE;
            dcb.fOutX = FALSE;
            dcb.fInX = FALSE;
            dcb.fNull = FALSE;
            dcb.fAbortOnError = FALSE;
            SetCommState(m_handle, &dcb);
        }
        // A read returns at once with what has arrived.
        COMMTIMEOUTS timeouts{MAXDWORD, 0, 0, 0, 0};
        SetCommTimeouts(m_handle, &timeouts);
        // Some drivers (and a pseudo-terminal behind Wine) refuse the modem
        // lines; the line still works.
        EscapeCommFunction(m_handle, CLRDTR);
        EscapeCommFunction(m_handle, CLRRTS);
        PurgeComm(m_handle, PURGE_RXABORT | PURGE_RXCLEAR);
        m_received.clear();
        m_failedChecks = 0;
        m_error = 0;
        m_poll.start();
        return true;
    }

    void close() override { release(); }

    bool isOpen() const override { return m_handle != INVALID_HANDLE_VALUE; }

    qint64 bytesWaiting() const override
    {
        COMSTAT status{};
        return m_received.size() + (queues(status) ? qint64(status.cbInQue) : 0);
    }

    void drain() override
    {
        COMSTAT status{};
        while (queues(status) && status.cbInQue > 0) {
            QByteArray chunk(qsizetype(status.cbInQue), '\0');
            Overlapped op;
            DWORD got = 0;
            if (!ReadFile(m_handle, chunk.data(), DWORD(chunk.size()), &got, &op.ov)) {
                // With reads that return at once the result is there at once too.
                if (GetLastError() != ERROR_IO_PENDING || !GetOverlappedResult(m_handle, &op.ov, &got, TRUE))
                    return;
            }
            if (got == 0)
                return;
            m_received += chunk.left(qsizetype(got));
        }
    }

    QByteArray read(qint64 n) override
    {
        drain();
        QByteArray taken = m_received.left(qsizetype(n));
        m_received.remove(0, taken.size());
        return taken;
    }

    qint64 write(const QByteArray& bytes) override
    {
        if (!isOpen())
            return -1;
        reapWrites();
        m_writes.emplace_back();
        PendingWrite& w = m_writes.back();
        w.bytes = bytes;
        DWORD sent = 0;
        if (!WriteFile(m_handle, w.bytes.constData(), DWORD(w.bytes.size()), &sent, &w.op.ov)
            && GetLastError() != ERROR_IO_PENDING) {
            m_error = GetLastError();
            m_writes.pop_back();
            return -1;
        }
        return bytes.size();
    }

    qint64 bytesQueued() const override
    {
        // Bytes of writes not finished, or what the driver says it holds.
        qint64 pending = 0;
        for (const PendingWrite& w : m_writes)
            if (!HasOverlappedIoCompleted(&w.op.ov))
                pending += w.bytes.size();
        COMSTAT status{};
        return std::max(pending, queues(status) ? qint64(status.cbOutQue) : 0);
    }

    OpenFailure openFailure(const QString&) const override
    {
        switch (m_error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return OpenFailure::NoDevice;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            return OpenFailure::Busy;  // Windows refuses a port another program holds so
        default:
            return OpenFailure::Unknown;
        }
    }

    QString errorString() const override { return systemMessage(m_error); }

private:
    // Ends every write, lets the port go and stops looking at it.
    void release()
    {
        m_poll.stop();
        if (m_handle == INVALID_HANDLE_VALUE)
            return;
        CancelIo(m_handle);
        for (PendingWrite& w : m_writes) {
            DWORD done = 0;
            GetOverlappedResult(m_handle, &w.op.ov, &done, TRUE);
        }
        m_writes.clear();
        CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
    }

    // The driver's queue counts; false when the line cannot tell (it went away).
    bool queues(COMSTAT& status) const
    {
        DWORD errors = 0;
        return isOpen() && ClearCommError(m_handle, &errors, &status);
    }

    void reapWrites()
    {
        while (!m_writes.empty() && HasOverlappedIoCompleted(&m_writes.front().op.ov))
            m_writes.pop_front();
    }

    // The timer's look at the line while it is open.
    void look()
    {
        reapWrites();
        COMSTAT status{};
        if (!queues(status)) {
            if (++m_failedChecks == kFailedChecksOfADeadLine)
                emit lineDead();
            return;
        }
        m_failedChecks = 0;
        if (status.cbInQue > 0) {
            drain();
            emit bytesArrived();
        }
    }

    HANDLE m_handle = INVALID_HANDLE_VALUE;
    DWORD m_error = 0;
    QByteArray m_received;
    std::list<PendingWrite> m_writes;
    QTimer m_poll;
    int m_failedChecks = 0;
};

} // namespace

std::unique_ptr<SerialDevice> SerialDevice::make() { return std::make_unique<WinSerialDevice>(); }

bool SerialDevice::canOpen(const QString& device)
{
    const HANDLE h = openHandle(device);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(h);
    return true;
}
