#include "DataFile.h"

#include "ZelError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace zel {

namespace {

QString nativeName(const QString& path) { return QDir::toNativeSeparators(path); }

// Something that exists under the name and is not a regular file (nor a link to one).
bool isSpecialFile(const QFileInfo& info) { return info.exists() && !info.isFile(); }

// Writes into an existing device or pipe as it is, unbuffered so that a
// failed write is seen at once.
void writeIntoSpecialFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw ZelError(ErrorId::CannotCreateFile, {nativeName(path), file.errorString()});
    if (file.write(bytes) != bytes.size())
        throw ZelError(ErrorId::WriteError, {nativeName(path), file.errorString()});
}

} // namespace

QByteArray readWholeFile(const QString& path, qint64 maxSize)
{
    if (isSpecialFile(QFileInfo(path)))
        throw ZelError(ErrorId::NotRegularFile, {nativeName(path)});
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ZelError(ErrorId::CannotOpenFile, {nativeName(path), file.errorString()});
    if (file.size() > maxSize)
        throw ZelError(ErrorId::FileTooLarge, {nativeName(path), QString::number(file.size())});
    QByteArray bytes = file.read(maxSize + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > maxSize)
        throw ZelError(ErrorId::ReadError, {nativeName(path), file.errorString()});
    return bytes;
}

void writeWholeFile(const QString& path, const QByteArray& bytes)
{
    const QFileInfo info(path);
    if (isSpecialFile(info) && !info.isDir()) {
        writeIntoSpecialFile(path, bytes);
        return;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw ZelError(ErrorId::CannotCreateFile, {nativeName(path), file.errorString()});
    // A small file stays in the write buffer until commit(), which does not
    // tell a failed flush (a full disk) from success: flush first and look.
    // Without commit() the temporary file is removed and the target kept.
    if (file.write(bytes) != bytes.size() || !file.flush())
        throw ZelError(ErrorId::WriteError, {nativeName(path), writeFailure(file, errno)});
    errno = 0;
    if (!file.commit())
        throw ZelError(ErrorId::WriteError, {nativeName(path), writeFailure(file, errno)});
}

QString writeFailure(const QFileDevice& file, int systemError)
{
    QString qt = file.errorString();
    if (systemError != 0 && (qt.isEmpty() || qt == QLatin1String("Unknown error")))
        return QString::fromLocal8Bit(std::strerror(systemError));
    return qt;
}

void checkWritable(const QString& path)
{
    const QFileInfo info(path);
    if (isSpecialFile(info) && !info.isDir()) {
        // Opening a pipe to try it would wait for a reader.
        if (!info.isWritable())
            throw ZelError(ErrorId::CannotCreateFile, {nativeName(path), QString()});
        return;
    }
    // The temporary file the write would make, made and removed again: an
    // existing file stays as it is.
    QSaveFile probe(path);
    if (!probe.open(QIODevice::WriteOnly))
        throw ZelError(ErrorId::CannotCreateFile, {nativeName(path), probe.errorString()});
    probe.cancelWriting();
}

void refuseOutputOverInput(const QString& input, const QString& output)
{
    std::error_code error;
    if (std::filesystem::equivalent(input.toStdU16String(), output.toStdU16String(), error))
        throw ZelError(ErrorId::OutputIsInput, {nativeName(output)});
}

} // namespace zel
