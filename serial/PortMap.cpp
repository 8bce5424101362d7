#include "PortMap.h"

#include "data/Settings.h"

#include "QCCom32.h"
#include "SerialDevice.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

#ifdef Q_OS_WIN
#include <windows.h>

#include <vector>
#else
#include <QSerialPortInfo>
#endif

#include <algorithm>

namespace zel {

namespace {

const QString& kChoiceKey = settings::kPortChoice;
const QString& kPortsGroup = settings::kPorts;
const QString& kNotesGroup = settings::kPortNotes;

QString keyOf(const QString& group, int number) { return group + QLatin1Char('/') + PortMap::portText(number); }

#ifndef Q_OS_WIN
QString canonical(const QString& path)
{
    const QString c = QFileInfo(path).canonicalFilePath();
    return c.isEmpty() ? path : c;
}


QMap<int, QString> readGroup(QSettings& settings, const QString& group)
{
    QMap<int, QString> values;
    settings.beginGroup(group);
    for (const QString& key : settings.childKeys()) {
        const std::optional<int> n = PortMap::numberOfText(key);
        const QString value = settings.value(key).toString().trimmed();
        if (n && !value.isEmpty())
            values.insert(*n, value);
    }
    settings.endGroup();
    return values;
}
#endif

} // namespace

PortMap::PortMap(QSettings& settings, const QStringList& candidates, const CanOpen& canOpen)
#ifndef Q_OS_WIN
    : m_devices(readGroup(settings, kPortsGroup))
    , m_notes(readGroup(settings, kNotesGroup))
#endif
{
#ifdef Q_OS_WIN
    // The system's own numbers: only the ports it names are tried, since
    // opening a name that is no port, or a Bluetooth port, can take seconds.
    Q_UNUSED(settings);
    for (int n = kFirstPort; n <= kLastPort; ++n) {
        const QString device = T_QCCom32::defaultDevicePath(n);
        m_devices.insert(n, device);
        if (candidates.contains(portText(n), Qt::CaseInsensitive) && canOpen(device))
            m_openable.append({n, device, {}});
    }
#else
    QStringList numbered;
    for (const QString& device : std::as_const(m_devices))
        numbered << canonical(device);

    QMap<int, bool> opensNow;
    for (const QString& device : candidates) {
        const QString c = canonical(device);
        if (numbered.contains(c))
            continue;
        if (!canOpen(device))
            continue;
        int free = kFirstPort;
        while (free <= kLastPort && m_devices.contains(free))
            ++free;
        if (free > kLastPort)
            break;
        m_devices.insert(free, device);
        numbered << c;
        opensNow.insert(free, true);
        record(settings, free, device);
    }

    for (auto it = m_devices.cbegin(); it != m_devices.cend(); ++it) {
        if (opensNow.value(it.key()) || canOpen(it.value()))
            m_openable.append({it.key(), it.value(), m_notes.value(it.key())});
    }
#endif
}

QString PortEntry::text() const { return PortMap::portText(number); }

QString PortMap::deviceOf(int number) const { return m_devices.value(number); }

QString PortMap::settingsFile(const QString& dir) { return settings::fileIn(dir); }

std::optional<int> PortMap::storedChoice(QSettings& settings)
{
    bool ok = false;
    const int index = settings.value(kChoiceKey).toString().trimmed().toInt(&ok);
    return ok ? std::optional<int>(index) : std::nullopt;
}

void PortMap::storeChoice(QSettings& settings, int index)
{
    settings.setValue(kChoiceKey, index);
    settings.sync();
}

QString PortMap::portText(int number) { return QStringLiteral("COM%1").arg(number); }

std::optional<int> PortMap::numberOfText(const QString& text)
{
    if (!text.startsWith(QLatin1String("COM"), Qt::CaseInsensitive))
        return std::nullopt;
    bool ok = false;
    const int n = text.mid(3).toInt(&ok);
    return (ok && n >= kFirstPort && n <= kLastPort) ? std::optional<int>(n) : std::nullopt;
}

void PortMap::record(QSettings& settings, int number, const QString& device)
{
    settings.setValue(keyOf(kPortsGroup, number), device);
    settings.sync();
}

void PortMap::setNote(QSettings& settings, int number, const QString& note)
{
    settings.setValue(keyOf(kNotesGroup, number), note);
    settings.sync();
}

QString PortMap::recordedDevice(QSettings& settings, int number)
{
    return settings.value(keyOf(kPortsGroup, number)).toString().trimmed();
}

QString PortMap::deviceOfPort(QSettings& settings, const QString& port)
{
    const std::optional<int> n = numberOfText(port);
    if (!n)
        return port;
    const QString recorded = recordedDevice(settings, *n);
    return recorded.isEmpty() ? T_QCCom32::defaultDevicePath(*n) : recorded;
}

QStringList PortMap::systemCandidates()
{
    QStringList devices;
#ifdef Q_OS_WIN
    // The names of the system's devices ("COM3", "LPT1", ...): the COM ports
    // among them, as "COMn".
    std::vector<wchar_t> names(1 << 16);
    DWORD length = 0;
    while ((length = QueryDosDeviceW(nullptr, names.data(), DWORD(names.size()))) == 0
           && GetLastError() == ERROR_INSUFFICIENT_BUFFER && names.size() < (1u << 22))
        names.resize(names.size() * 2);
    for (const wchar_t* name = names.data(); name < names.data() + length && *name; name += wcslen(name) + 1) {
        const QString text = QString::fromWCharArray(name);
        if (const std::optional<int> n = numberOfText(text); n && text.mid(3) == QString::number(*n))
            devices << portText(*n);
    }
#else
    const QDir dev(QStringLiteral("/dev"));
    for (const QString& name :
         dev.entryList({QStringLiteral("ttyS*"), QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*")}, QDir::System))
        devices << dev.filePath(name);
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        if (!devices.contains(info.systemLocation()))
            devices << info.systemLocation();
    QCollator natural;
    natural.setNumericMode(true);
    std::sort(devices.begin(), devices.end(), [&](const QString& a, const QString& b) { return natural.compare(a, b) < 0; });
#endif
    return devices;
}

bool PortMap::probe(const QString& device) { return SerialDevice::canOpen(device); }

} // namespace zel
