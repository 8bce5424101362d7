#include "DataFile.h"

#include "ZelError.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace zel {

QByteArray readWholeFile(const QString& path, qint64 maxSize)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ZelError(QStringLiteral("Cannot open file \"%1\". %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    if (file.size() > maxSize)
        throw ZelError(QStringLiteral("Файл \"%1\" слишком велик (%2 байт) для файла данных станции")
                           .arg(QDir::toNativeSeparators(path))
                           .arg(file.size()));
    QByteArray bytes = file.read(maxSize + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > maxSize)
        throw ZelError(QStringLiteral("Read error in file \"%1\". %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    return bytes;
}

void writeWholeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw ZelError(QStringLiteral("Cannot create file \"%1\". %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw ZelError(QStringLiteral("Write error in file \"%1\". %2").arg(QDir::toNativeSeparators(path), file.errorString()));
}

} // namespace zel
