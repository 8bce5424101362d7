#pragma once

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QThread>

// The simulated station as a process of its own, reachable through a
// symbolic link to its line.
class SimProcess {
public:
    SimProcess(const QString& link, const QStringList& args)
        : m_link(link)
    {
        m_process.setProgram(QStringLiteral(ZEL_STATION_SIM));
        m_process.setArguments(QStringList{"--link", link} + args);
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start();
        if (m_process.waitForStarted(5000) && m_process.waitForReadyRead(5000))
            m_device = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    }
    ~SimProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();  // SIGTERM, by process id
            if (!m_process.waitForFinished(3000))
                m_process.kill();
        }
    }
    bool ok() const { return !m_device.isEmpty() && QFileInfo(m_link).isSymLink(); }
    const QString& device() const { return m_device; }
    QProcess& process() { return m_process; }

private:
    QString m_link;
    QString m_device;
    QProcess m_process;
};
