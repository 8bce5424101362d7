#include "Settings.h"

#include <QDir>

namespace zel::settings {

QString fileIn(const QString& dir) { return QDir(dir).filePath(QStringLiteral("Zel-Terravox.ini")); }

std::unique_ptr<QSettings> openIn(const QString& dir)
{
    return std::make_unique<QSettings>(fileIn(dir), QSettings::IniFormat);
}

std::optional<QString> notWritten(QSettings& settings)
{
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return std::nullopt;
    return settings.fileName();
}

} // namespace zel::settings
