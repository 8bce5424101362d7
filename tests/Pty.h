#pragma once

// A pseudo-terminal standing in for a serial device: the test holds the
// master side, the program opens the slave device by its path.

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

#include <cerrno>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

class Pty {
public:
    Pty()
    {
        int slave = -1;
        char name[256] = {};
        if (::openpty(&m_master, &slave, name, nullptr, nullptr) == 0) {
            m_path = QString::fromLocal8Bit(name);
            termios t{};
            ::tcgetattr(slave, &t);
            ::cfmakeraw(&t);
            ::tcsetattr(slave, TCSANOW, &t);
            // Keep the slave side open so that the line does not hang up
            // between the program's opens and closes.
            m_slave = slave;
        }
    }
    ~Pty()
    {
        if (m_master >= 0)
            ::close(m_master);
        if (m_slave >= 0)
            ::close(m_slave);
    }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    bool ok() const { return m_master >= 0; }
    const QString& path() const { return m_path; }
    int master() const { return m_master; }

    // Writes all bytes to the program's side (blocking while the line is full).
    bool send(const QByteArray& bytes)
    {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            done += n;
        }
        return true;
    }

    // What the program wrote, waiting up to `ms` for at least `atLeast` bytes.
    QByteArray receive(int atLeast = 1, int ms = 2000)
    {
        QByteArray got;
        QElapsedTimer clock;
        clock.start();
        const int flags = ::fcntl(m_master, F_GETFL);
        ::fcntl(m_master, F_SETFL, flags | O_NONBLOCK);
        while (clock.elapsed() < ms) {
            char buf[4096];
            const ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n > 0) {
                got.append(buf, n);
                if (got.size() >= atLeast)
                    break;
            } else {
                ::usleep(1000);
            }
        }
        // Take what else is there already.
        for (;;) {
            char buf[4096];
            const ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n <= 0)
                break;
            got.append(buf, n);
        }
        ::fcntl(m_master, F_SETFL, flags);
        return got;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};
