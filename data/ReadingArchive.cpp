#include "ReadingArchive.h"

#include "DataFile.h"
#include "ZelError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace zel {

namespace {

const QString kSuffix = QStringLiteral(".zel");
const QString kMismatch = QStringLiteral("-checksum-mismatch");
const QString kIncomplete = QStringLiteral("-incomplete");

// 1 for the first reading of a second, n for the one named "-n".
int sequenceOf(const QFileInfo& file)
{
    QString rest = file.completeBaseName().mid(19);
    for (const QString& mark : {kMismatch, kIncomplete})
        if (rest.startsWith(mark))
            rest = rest.mid(mark.size());
    bool ok = false;
    const int n = rest.startsWith(QLatin1Char('-')) ? rest.mid(1).toInt(&ok) : 1;
    return ok || n == 1 ? n : 1;
}

} // namespace

QString ReadingArchive::defaultFolder()
{
    // The same folder for the window and zeltool, whatever each program is called.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("zel-terravox/readings"));
}

QString ReadingArchive::keep(const QByteArray& rawDump, const QDateTime& readAt, Kind kind) const
{
    QDir dir(m_folder);
    if (!dir.mkpath(QStringLiteral(".")))
        throw ZelError(ErrorId::CannotCreateFile, {QDir::toNativeSeparators(m_folder), QString()});
    const QString mark = kind == Kind::ChecksumMismatch ? kMismatch : kind == Kind::Incomplete ? kIncomplete : QString();
    const QString base = readAt.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")) + mark;
    // Claim a free name by creating it (an empty file that no one else can
    // take), then replace it whole with the reading.
    QString path = dir.filePath(base + kSuffix);
    for (int n = 2;; ++n) {
        QFile claim(path);
        if (claim.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            break;
        if (!claim.exists() || n > 10000)
            throw ZelError(ErrorId::CannotCreateFile, {QDir::toNativeSeparators(path), claim.errorString()});
        path = dir.filePath(base + QLatin1Char('-') + QString::number(n) + kSuffix);
    }
    try {
        writeWholeFile(path, rawDump);
    } catch (const ZelError&) {
        QFile::remove(path);
        throw;
    }
    return path;
}

QStringList ReadingArchive::recent(int count) const
{
    // The names begin with the time of the reading: newest first by it, then
    // by the number of a later reading of the same second, then by the time
    // of writing.
    QFileInfoList files = QDir(m_folder).entryInfoList({QStringLiteral("*") + kSuffix}, QDir::Files);
    std::sort(files.begin(), files.end(), [](const QFileInfo& a, const QFileInfo& b) {
        const QString ta = a.fileName().left(19);
        const QString tb = b.fileName().left(19);
        if (ta != tb)
            return ta > tb;
        if (sequenceOf(a) != sequenceOf(b))
            return sequenceOf(a) > sequenceOf(b);
        return a.lastModified() > b.lastModified();
    });
    QStringList paths;
    for (qsizetype i = 0; i < files.size() && i < count; ++i)
        paths << files.at(i).filePath();
    return paths;
}

} // namespace zel
