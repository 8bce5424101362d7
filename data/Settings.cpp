#include "Settings.h"

#include <algorithm>

#include "Cp1251.h"

#include <QDir>
#include <QIODevice>
#include <QRegularExpression>
#include <QStringDecoder>

namespace zel::settings {

namespace {

QString decodeText(const QByteArray& bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(bytes.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
        return utf16.decode(bytes.mid(2));
    }
    const QByteArray text = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString decoded = utf8.decode(text);
    return utf8.hasError() ? fromCp1251(text) : decoded;
}

// A value as written: blanks around it and one pair of quotes taken away;
// "\\" and "\"" inside stand for a backslash and a quote.
QString valueOf(QString text)
{
    text = text.trimmed();
    if (text.size() >= 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"')))
        text = text.mid(1, text.size() - 2);
    QString value;
    value.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('\\') && i + 1 < text.size()
            && (text.at(i + 1) == QLatin1Char('\\') || text.at(i + 1) == QLatin1Char('"')))
            ++i;
        value += text.at(i);
    }
    return value;
}

// The program's own spelling of a section and key written in any case, so
// that "[survey] spacing" is the spacing, as Windows' INI reading has it.
QString canonicalPath(const QString& section, const QString& key)
{
    static const QString known[] = {kPortChoice, kSpacing,     kX0,          kChannels, kMinVoltage,
                                    kSpikeFactor, kMaxError,   kDefaultError, kMinError, kLanguage};
    QString path = section + QLatin1Char('/') + key;
    for (const QString& k : known)
        if (path.compare(k, Qt::CaseInsensitive) == 0)
            return k;
    for (const QString& group : {kPorts, kPortNotes, kWindows}) {
        if (section.compare(group, Qt::CaseInsensitive) == 0) {
            // Port numbers as the port map writes them: COM12.
            const bool port = group != kWindows && key.startsWith(QLatin1String("com"), Qt::CaseInsensitive);
            return group + QLatin1Char('/') + (port ? key.toUpper() : key);
        }
    }
    return path;
}

bool readIni(QIODevice& device, QSettings::SettingsMap& map)
{
    const QString text = decodeText(device.readAll());
    QString section;
    for (QStringView line : QStringView(text).split(QRegularExpression(QStringLiteral("\r\n|\n|\r")))) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            const qsizetype end = line.indexOf(QLatin1Char(']'));
            section = (end < 0 ? line.mid(1) : line.mid(1, end - 1)).trimmed().toString();
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        const QString key = line.left(eq).trimmed().toString();
        const QString path = section.isEmpty() || section.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0
            ? key
            : canonicalPath(section, key);
        // The first of a key written twice counts, as Windows takes it.
        if (!map.contains(path))
            map.insert(path, valueOf(line.mid(eq + 1).toString()));
    }
    return true;
}

QString written(const QVariant& value)
{
    QString text = value.toString();
    text.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    if (text != text.trimmed() || text.startsWith(QLatin1Char('"')))
        text = QLatin1Char('"') + text + QLatin1Char('"');
    return text;
}

bool writeIni(QIODevice& device, const QSettings::SettingsMap& map)
{
    QString text;
    QString current;
    bool first = true;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const qsizetype slash = it.key().lastIndexOf(QLatin1Char('/'));
        const QString section = slash < 0 ? QStringLiteral("General") : it.key().left(slash);
        if (first || section.compare(current, Qt::CaseInsensitive) != 0) {
            if (!first)
                text += QLatin1String("\r\n");
            text += QLatin1Char('[') + section + QLatin1String("]\r\n");
            current = section;
            first = false;
        }
        text += it.key().mid(slash + 1) + QLatin1Char('=') + written(it.value()) + QLatin1String("\r\n");
    }
    const QByteArray bytes = text.toUtf8();
    return device.write(bytes) == bytes.size();
}

} // namespace

QSettings::Format iniFormat()
{
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("ini"), readIni, writeIni, Qt::CaseInsensitive);
    return format;
}

namespace {
QString g_userSettingsFile;
}

void keepUserSettingsIn(const QString& file) { g_userSettingsFile = file; }

std::unique_ptr<QSettings> userSettings()
{
    if (!g_userSettingsFile.isEmpty())
        return std::make_unique<QSettings>(g_userSettingsFile, iniFormat());
#if defined(Q_OS_WIN)
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("ZEL-TERRAVOX"),
                                       QStringLiteral("zel-terravox"));
#else
    return std::make_unique<QSettings>(iniFormat(), QSettings::UserScope, QStringLiteral("zel-terravox"),
                                       QStringLiteral("zel-terravox"));
#endif
}

bool takeOverUserSections(const QSettings& folder, QSettings& user)
{
    const QStringList mine = user.allKeys();
    auto inUserSection = [](const QString& key) {
        for (const QString& section : kUserSections)
            if (key.startsWith(section + QLatin1Char('/'), Qt::CaseInsensitive))
                return true;
        return false;
    };
    if (std::any_of(mine.begin(), mine.end(), inUserSection))
        return false;
    bool taken = false;
    for (const QString& key : folder.allKeys()) {
        if (!inUserSection(key))
            continue;
        user.setValue(key, folder.value(key));
        taken = true;
    }
    return taken;
}

QString fileIn(const QString& dir) { return QDir(dir).filePath(QStringLiteral("Zel-Terravox.ini")); }

std::unique_ptr<QSettings> openIn(const QString& dir)
{
    return std::make_unique<QSettings>(fileIn(dir), iniFormat());
}

std::optional<QString> notWritten(QSettings& settings)
{
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return std::nullopt;
    return settings.fileName();
}

} // namespace zel::settings
