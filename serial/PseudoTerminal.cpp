#include "PseudoTerminal.h"

#include <QDeadlineTimer>

#include <cerrno>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace zel {

PseudoTerminal::PseudoTerminal()
{
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    m_slavePath = QString::fromLocal8Bit(name);
    termios t{};
    if (::tcgetattr(m_slave, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(m_slave, TCSANOW, &t);
    }
}

PseudoTerminal::~PseudoTerminal()
{
    hangUp();
}

void PseudoTerminal::hangUp()
{
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
    m_master = m_slave = -1;
}

bool PseudoTerminal::send(const QByteArray& bytes)
{
    qsizetype done = 0;
    while (m_master >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
            pollfd p{m_master, POLLOUT, 0};
            ::poll(&p, 1, 100);
            continue;
        }
        if (n <= 0)
            return false;
        done += n;
    }
    return done == bytes.size();
}

QByteArray PseudoTerminal::receive(int atLeast, int timeoutMs)
{
    QByteArray got;
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        // Waits for bytes until the deadline, or takes what is there once enough has come.
        const int wait = got.size() >= atLeast ? 0 : int(deadline.remainingTime());
        pollfd p{m_master, POLLIN, 0};
        if (m_master < 0 || ::poll(&p, 1, wait) <= 0 || !(p.revents & POLLIN))
            return got;
        char buf[4096];
        const ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n <= 0)
            return got;
        got.append(buf, n);
    }
}

int PseudoTerminal::lineSpeed() const
{
    termios t{};
    if (m_master < 0 || ::tcgetattr(m_master, &t) != 0)
        return 0;
    switch (::cfgetospeed(&t)) {
    case B1200: return 1200;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    case B230400: return 230400;
    default: return 0;
    }
}

} // namespace zel
