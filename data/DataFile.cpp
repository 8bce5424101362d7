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
        throw ZelError(ErrorId::CannotOpenFile, {QDir::toNativeSeparators(path), file.errorString()});
    if (file.size() > maxSize)
        throw ZelError(ErrorId::FileTooLarge, {QDir::toNativeSeparators(path), QString::number(file.size())});
    QByteArray bytes = file.read(maxSize + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > maxSize)
        throw ZelError(ErrorId::ReadError, {QDir::toNativeSeparators(path), file.errorString()});
    return bytes;
}

void writeWholeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw ZelError(ErrorId::CannotCreateFile, {QDir::toNativeSeparators(path), file.errorString()});
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw ZelError(ErrorId::WriteError, {QDir::toNativeSeparators(path), file.errorString()});
}

} // namespace zel
