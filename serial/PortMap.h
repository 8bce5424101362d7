#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QSettings;

namespace zel {

// One entry of the port list: "COM" + number, the device behind it, and a
// note written beside it in the settings file (shown with the device).
struct PortEntry {
    int number = 0;
    QString device;
    QString note;
    QString text() const;  // "COM" + number
    QString toolTip() const { return note.isEmpty() ? device : device + QStringLiteral(" (") + note + QLatin1Char(')'); }
};

constexpr int kFirstPort = 1;
constexpr int kLastPort = 32;

// Port numbers COM1 to COM32 and the serial devices behind them. On Windows
// the numbers are the system's own. Elsewhere every serial device that can be
// opened gets a number once, the lowest free one, recorded in the settings
// file's [Ports] section so that it keeps it from run to run; a device path
// written there by hand is offered under its number too. [PortNotes] may name
// what stands behind a number (for example a simulated station).
class PortMap {
public:
    using CanOpen = std::function<bool(const QString& device)>;

    // The settings file "Zel-Terravox.ini" in `dir`.
    static QString settingsFile(const QString& dir);
    // The chosen entry of the port list: [Path] COM, its index in the list.
    static std::optional<int> storedChoice(QSettings& settings);
    static void storeChoice(QSettings& settings, int index);
    // "COM" + number as the list shows it, and back (none for another text).
    static QString portText(int number);
    static std::optional<int> numberOfText(const QString& text);
    // Records a device under a number in [Ports], and a note in [PortNotes].
    static void record(QSettings& settings, int number, const QString& device);
    static void setNote(QSettings& settings, int number, const QString& note);
    // The device recorded under a number; empty when none.
    static QString recordedDevice(QSettings& settings, int number);
    // The device of a port given as "COMn" (the device recorded under that
    // number, else the platform's own device of it) or as a device path.
    static QString deviceOfPort(QSettings& settings, const QString& port);

    // Reads the recorded numbers, numbers the openable devices among
    // `candidates` that have none, and lists the ports that open now.
    PortMap(QSettings& settings, const QStringList& candidates, const CanOpen& canOpen);

    const QList<PortEntry>& openable() const { return m_openable; }
    QString deviceOf(int number) const;  // empty when the number names no device

    // The serial devices of this machine worth trying (on Windows the
    // names of the COM ports the system has, "COMn").
    static QStringList systemCandidates();
    // Opens and closes the device at once: true when it could be opened now.
    static bool probe(const QString& device);

private:
    QMap<int, QString> m_devices;
    QMap<int, QString> m_notes;
    QList<PortEntry> m_openable;
};

} // namespace zel
