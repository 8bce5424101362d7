#pragma once

// A pseudo-terminal pair: the simulated station and the tests hold the master
// side, the program opens the slave device like any serial device. POSIX only.

#include <QByteArray>
#include <QString>

namespace zel {

class PseudoTerminal {
public:
    PseudoTerminal();  // opens a pair in raw mode; see ok()
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool ok() const { return m_master >= 0; }
    int master() const { return m_master; }
    const QString& slavePath() const { return m_slavePath; }

    // The line speed the program set on its side, in bit/s (0 when unknown).
    int lineSpeed() const;
    // Closes the master side: the program's side sees the line hang up.
    void hangUp();

    // The station's side: writes every byte (waiting while the line is
    // full), and takes what the program wrote, waiting up to `timeoutMs` for
    // at least `atLeast` bytes and then taking what else is there.
    bool send(const QByteArray& bytes);
    QByteArray receive(int atLeast = 1, int timeoutMs = 2000);

private:
    int m_master = -1;
    int m_slave = -1;  // held open so that the line stays up between the program's opens
    QString m_slavePath;
};

} // namespace zel
