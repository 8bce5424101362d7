#include "QCCom32.h"

#include "SerialDevice.h"

#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <climits>

namespace {

// Terminator mode reads into a buffer that starts at this size.
constexpr int kInitialReadBuffer = 81904;

} // namespace

T_QCCom32::T_QCCom32(QObject* owner)
    : QObject(owner)
    , m_device(SerialDevice::make())
    , m_responseTimer(new QTimer(this))
{
    m_responseTimer->setSingleShot(true);
    m_responseTimer->setInterval(1000);
    connect(m_responseTimer, &QTimer::timeout, this, &T_QCCom32::TimerExpired);
    // A line that went away is closed, so that waits see no more bytes and
    // time out instead of spinning on the dead device.
    connect(m_device.get(), &SerialDevice::lineDead, this, &T_QCCom32::closeDeadLine, Qt::QueuedConnection);
}

T_QCCom32::~T_QCCom32()
{
    delete m_responseTimer;
    m_responseTimer = nullptr;
    Close();
}

int T_QCCom32::ResponseTime() const { return m_responseTimer ? m_responseTimer->interval() : 0; }

void T_QCCom32::setResponseTime(int ms)
{
    if (m_responseTimer)
        m_responseTimer->setInterval(ms);
}

void T_QCCom32::setBaud(int baud)
{
    if (baud == m_baud)
        return;
    m_baud = baud;
    if (Opened()) {
        Close();
        Open();
    }
}

void T_QCCom32::setPort(int port)
{
    if (port == m_port)
        return;
    m_port = port;
    if (Opened()) {
        Close();
        Open();
    }
}

bool T_QCCom32::Opened() const { return m_device->isOpen(); }

QString T_QCCom32::defaultDevicePath(int port)
{
#ifdef Q_OS_WIN
    return QStringLiteral("\\\\.\\COM%1").arg(port);
#else
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
#endif
}

QString T_QCCom32::devicePath(int port) const
{
    const QString path = m_resolver ? m_resolver(port) : QString();
    return path.isEmpty() ? defaultDevicePath(port) : path;
}

bool T_QCCom32::Open()
{
    if (Opened())
        Close();
    for (;;) {
        if (m_device->open(devicePath(m_port), m_baud))
            break;
        if (!m_showErrors)
            return false;
        const auto answer = m_prompts ? m_prompts->abortRetry(openFailure()) : zel::ComPrompts::Answer::Abort;
        if (answer == zel::ComPrompts::Answer::Abort)
            return false;
    }
    m_lineFreeAt = {};
    return true;
}

zel::ComPrompt T_QCCom32::openFailure() const
{
    using Reason = zel::ComPrompt::Reason;
    zel::ComPrompt prompt{zel::ComPrompt::Kind::OpenFailed, m_port, Reason::Unknown, {}};
    const QString device = devicePath(m_port);
    switch (m_device->openFailure(device)) {
    case OpenFailure::NoDevice: prompt.reason = Reason::NoDevice; break;
    case OpenFailure::PermissionDenied: prompt.reason = Reason::PermissionDenied; break;
    case OpenFailure::Busy: prompt.reason = Reason::Busy; break;
    case OpenFailure::Unknown: break;
    }
    prompt.detail = device + QStringLiteral(": ") + m_device->errorString();
    return prompt;
}

void T_QCCom32::closeDeadLine() { m_device->close(); }

void T_QCCom32::Close() { m_device->close(); }

int T_QCCom32::InCount() const
{
    if (!Opened())
        return 0;
    const qint64 n = m_device->bytesWaiting();
    return int(std::min<qint64>(n, INT_MAX));
}

int T_QCCom32::OutCount() const
{
    if (!Opened())
        return 0;
    const qint64 n = m_device->bytesQueued();
    return int(std::min<qint64>(n, INT_MAX));
}

std::chrono::nanoseconds T_QCCom32::LineTime(qint64 bytes, int baud)
{
    return std::chrono::nanoseconds(bytes * 10 * 1'000'000'000LL / std::max(baud, 1));
}

std::chrono::nanoseconds T_QCCom32::LineTimeLeft() const
{
    const auto now = std::chrono::steady_clock::now();
    return Opened() && m_lineFreeAt > now ? m_lineFreeAt - now : std::chrono::nanoseconds(0);
}

bool T_QCCom32::SendString(const QByteArray& bytes)
{
    if (!Opened())
        return false;
    if (bytes.isEmpty())
        return true;
    const qint64 written = m_device->write(bytes);
    if (written > 0) {
        // The line carries 10 bits a byte; a write that follows another
        // starts when the one before it has left.
        const auto now = std::chrono::steady_clock::now();
        m_lineFreeAt = std::max(m_lineFreeAt, now) + LineTime(written, m_baud);
    }
    return written == bytes.size();
}

void T_QCCom32::ReadResponse(QByteArray& response)
{
    response.clear();
    if (m_inUse) {
        if (m_showErrors && m_prompts)
            m_prompts->message({zel::ComPrompt::Kind::PortInUse, m_port, {}, {}});
        return;
    }
    m_inUse = true;
    if (Opened()) {
        if (m_endOfResponse.isEmpty()) {
            m_device->drain();
            const int n = InCount();
            if (n > 0)
                response = m_device->read(n);
        } else {
            response.reserve(kInitialReadBuffer);
            QEventLoop loop;
            bool done = false;
            while (!done) {
                m_timedOut = false;
                m_responseTimer->start();
                for (;;) {
                    m_device->drain();
                    const int n = InCount();
                    if (n > 0)
                        response += m_device->read(n);
                    if (response.contains(m_endOfResponse)) {
                        done = true;
                        break;
                    }
                    if (m_timedOut || !Opened())
                        break;
                    loop.processEvents(QEventLoop::WaitForMoreEvents);
                }
                if (m_responseTimer)
                    m_responseTimer->stop();
                if (done)
                    break;
                // Without the dialog (or on a line that went away) the wait ends here.
                if (!m_showErrors || !m_prompts || !Opened()
                    || m_prompts->abortRetry({zel::ComPrompt::Kind::ResponseTimeout, m_port, {}, {}})
                           == zel::ComPrompts::Answer::Abort)
                    done = true;
            }
        }
    }
    m_inUse = false;
}

void T_QCCom32::TimerExpired()
{
    m_timedOut = true;
    if (m_responseTimer)
        m_responseTimer->stop();
    DoTimeout();
}

void T_QCCom32::DoTimeout() { emit OnTimeout(this); }
