#pragma once

#include "ComPrompts.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <array>
#include <chrono>
#include <functional>
#include <memory>

class QTimer;
class SerialDevice;

// The line speeds the station can be set to, as the speed list offers them.
constexpr std::array<int, 5> kLineSpeeds = {9600, 19200, 38400, 57600, 115200};

// The program's only access to a serial line: opens the device of port number
// `Port` at `Baud` with 8 data bits, no parity, one stop bit, no flow control
// and DTR and RTS held off; writes byte strings; counts and hands over the
// bytes received. Received bytes are drained from the operating system into
// the component as they arrive, so that a whole memory read of the station
// (2 MiB for 65,535 records) waits without a byte lost.
class T_QCCom32 : public QObject {
    Q_OBJECT
    Q_PROPERTY(int ResponseTime READ ResponseTime WRITE setResponseTime)
    Q_PROPERTY(bool TimedOut READ TimedOut)
    Q_PROPERTY(int Baud READ Baud WRITE setBaud)
    Q_PROPERTY(int Port READ Port WRITE setPort)
    Q_PROPERTY(int InCount READ InCount)
    Q_PROPERTY(int OutCount READ OutCount)
    Q_PROPERTY(QByteArray EndOfResponse READ EndOfResponse WRITE setEndOfResponse)
    Q_PROPERTY(bool ShowErrors READ ShowErrors WRITE setShowErrors)
    Q_PROPERTY(bool Opened READ Opened)
    Q_PROPERTY(bool InUse READ InUse)

public:
    // Maps a port number to the device to open ("COM12" on Windows, a device
    // path elsewhere).
    using DeviceResolver = std::function<QString(int port)>;

    explicit T_QCCom32(QObject* owner = nullptr);
    ~T_QCCom32() override;

    int ResponseTime() const;
    void setResponseTime(int ms);
    bool TimedOut() const { return m_timedOut; }
    int Baud() const { return m_baud; }
    void setBaud(int baud);  // re-opens an open port at the new speed
    int Port() const { return m_port; }
    void setPort(int port);  // re-opens an open port on the new device
    int InCount() const;
    int OutCount() const;
    QByteArray EndOfResponse() const { return m_endOfResponse; }
    void setEndOfResponse(const QByteArray& terminator) { m_endOfResponse = terminator; }
    bool ShowErrors() const { return m_showErrors; }
    void setShowErrors(bool show) { m_showErrors = show; }
    bool Opened() const;
    bool InUse() const { return m_inUse; }

    // Bytes written that have not yet left on the line: the component's
    // buffer and the driver's queue.
    // How long the line still needs for the bytes written so far, at 10 bits
    // a byte at Baud, counted from the start of each write (a driver that
    // takes bytes faster than the line carries them does not tell).
    std::chrono::nanoseconds LineTimeLeft() const;
    // How long a line at `baud` takes for `bytes`: 10 bits a byte (start bit,
    // 8 data bits, stop bit).
    static std::chrono::nanoseconds LineTime(qint64 bytes, int baud);

    void setPrompts(zel::ComPrompts* prompts) { m_prompts = prompts; }
    void setDeviceResolver(DeviceResolver resolver) { m_resolver = std::move(resolver); }
    // The platform's own device name of a port number ("COM12" on Windows).
    static QString defaultDevicePath(int port);

    bool Open();
    void Close();
    // Writes exactly the string's bytes and returns when the driver has
    // taken what it takes at once; the rest leaves from the component's
    // buffer while events are processed. True when all bytes were accepted.
    bool SendString(const QByteArray& bytes);
    // Immediate mode (no terminator): everything waiting now. Terminator
    // mode: waits, processing events, until the terminator has arrived.
    void ReadResponse(QByteArray& response);

signals:
    void OnTimeout(T_QCCom32* sender);

protected:
    virtual void DoTimeout();

private slots:
    void closeDeadLine();  // a line that hung up

private:
    void TimerExpired();
    QString devicePath(int port) const;
    zel::ComPrompt openFailure() const;  // the prompt after a failed open, with the system's reason

    std::unique_ptr<SerialDevice> m_device;
    QTimer* m_responseTimer = nullptr;
    zel::ComPrompts* m_prompts = nullptr;
    DeviceResolver m_resolver;
    int m_port = 1;
    int m_baud = 115200;
    QByteArray m_endOfResponse;
    bool m_timedOut = false;
    bool m_showErrors = true;
    bool m_inUse = false;
    std::chrono::steady_clock::time_point m_lineFreeAt;  // when the bytes written so far have left
};
