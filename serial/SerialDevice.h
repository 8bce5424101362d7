#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

// Why opening a device failed: missing, not readable and writable for this
// user, or held by another program.
enum class OpenFailure { Unknown, NoDevice, PermissionDenied, Busy };

// One serial device of the operating system, as the component uses it:
// opened at a speed with 8 data bits, no parity, one stop bit, no flow
// control and DTR and RTS held off, its input discarded; bytes handed over
// without waiting and counted where they wait. On Linux it is Qt's serial
// port; on Windows the Win32 communications API.
class SerialDevice : public QObject {
    Q_OBJECT
public:
    virtual bool open(const QString& device, int baud) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Received bytes not yet read: what the device object holds and what the
    // system still holds for it.
    virtual qint64 bytesWaiting() const = 0;
    // Takes what the system holds into the device object, without waiting.
    virtual void drain() = 0;
    // At most `n` of the received bytes.
    virtual QByteArray read(qint64 n) = 0;
    // Hands the bytes to the system without waiting for the line; how many
    // were accepted (-1 for none).
    virtual qint64 write(const QByteArray& bytes) = 0;
    // Bytes written that have not left on the line yet.
    virtual qint64 bytesQueued() const = 0;
    // Why the last open failed, and the system's words for it.
    virtual OpenFailure openFailure(const QString& device) const = 0;
    virtual QString errorString() const = 0;

    // The platform's device of this machine.
    static std::unique_ptr<SerialDevice> make();
    // Opens and closes the device at once: true when it could be opened now.
    static bool canOpen(const QString& device);

signals:
    void bytesArrived();
    // The line went away: every read fails (an unplugged adapter).
    void lineDead();
};
