#include "Lines.h"

#include "data/DataFile.h"
#include "data/ZelError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace zel {

namespace {

const QRegularExpression& sectionPattern()
{
    static const QRegularExpression re(QStringLiteral("^\\[\\s*line\\s+(-?\\d+)\\s+file\\s+(\\d+)\\s*\\]$"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re;
}

QByteArray number(double v)
{
    return QByteArray::number(v, 'g', 15);
}

} // namespace

QString linesFileOf(const QString& dataFile)
{
    return dataFile + QStringLiteral(".survey");
}

LineGeometries parseLinesFile(const QByteArray& text, const QString& name)
{
    LineGeometries lines;
    LineGeometry* current = nullptr;
    const QList<QByteArray> rows = QByteArray(text).replace("\r\n", "\n").replace('\r', '\n').split('\n');
    for (qsizetype n = 0; n < rows.size(); ++n) {
        QString row = QString::fromUtf8(rows[n]).trimmed();
        if (n == 0 && row.startsWith(QChar(0xFEFF)))
            row = row.mid(1).trimmed();
        auto refuse = [&] { throw ZelError(ErrorId::LinesFileLine, {name, QString::number(n + 1), row.left(80)}); };
        if (row.isEmpty() || row.startsWith(QLatin1Char(';')) || row.startsWith(QLatin1Char('#')))
            continue;
        if (row.contains(QChar(0)))
            refuse();
        if (const QRegularExpressionMatch m = sectionPattern().match(row); m.hasMatch()) {
            const int line = m.captured(1).toInt();
            const int file = m.captured(2).toInt();
            if (line < -128 || line > 127 || file > 255)
                refuse();
            current = &lines[Profile{line, file}];
            continue;
        }
        const qsizetype eq = row.indexOf(QLatin1Char('='));
        if (!current || eq <= 0)
            refuse();
        const QString key = row.left(eq).trimmed().toLower();
        const QString value = row.mid(eq + 1).trimmed();
        auto numberIn = [&](double low, double high) {
            const std::optional<double> v = decimalOfText(value);
            if (!v || *v < low || *v > high)
                refuse();
            return *v;
        };
        if (key == QLatin1String("spacing"))
            current->spacing = numberIn(kMinSpacing, kMaxSpacing);
        else if (key == QLatin1String("y"))
            current->y = numberIn(-kMaxOffset, kMaxOffset);
        else if (key == QLatin1String("x0"))
            current->x0 = numberIn(-kMaxOffset, kMaxOffset);
        else if (key == QLatin1String("reversed") && (value == QLatin1String("0") || value == QLatin1String("1")))
            current->reversed = value == QLatin1String("1");
        else if (key == QLatin1String("slopedistances") && (value == QLatin1String("0") || value == QLatin1String("1")))
            current->slopeDistances = value == QLatin1String("1");
        else if (key == QLatin1String("topography") && !value.isEmpty())
            current->topographyFile = value;
        else
            refuse();
    }
    return lines;
}

QByteArray linesFileText(const LineGeometries& lines)
{
    QByteArray out;
    for (const auto& [profile, line] : lines) {
        if (line.empty())
            continue;
        if (!out.isEmpty())
            out += "\r\n";
        out += "[Line " + QByteArray::number(profile.line) + " File " + QByteArray::number(profile.file) + "]\r\n";
        if (line.spacing)
            out += "Spacing=" + number(*line.spacing) + "\r\n";
        if (line.x0)
            out += "X0=" + number(*line.x0) + "\r\n";
        if (line.y)
            out += "Y=" + number(*line.y) + "\r\n";
        if (line.reversed)
            out += QByteArray("Reversed=") + (*line.reversed ? "1" : "0") + "\r\n";
        if (!line.topographyFile.isEmpty())
            out += "Topography=" + line.topographyFile.toUtf8() + "\r\n";
        if (line.slopeDistances)
            out += QByteArray("SlopeDistances=") + (*line.slopeDistances ? "1" : "0") + "\r\n";
    }
    return out;
}

LineGeometries readLinesBeside(const QString& dataFile)
{
    const QString file = linesFileOf(dataFile);
    if (dataFile.isEmpty() || !QFileInfo::exists(file))
        return {};
    LineGeometries lines = parseLinesFile(readWholeFile(file), QDir::toNativeSeparators(file));
    const QDir dir = QFileInfo(dataFile).dir();
    for (auto& [profile, line] : lines)
        if (!line.topographyFile.isEmpty()) {
            const QString path = dir.filePath(line.topographyFile);
            line.topography = parseTopography(readWholeFile(path), QDir::toNativeSeparators(path));
        }
    return lines;
}

LineGeometries writeLinesBeside(const QString& dataFile, LineGeometries lines)
{
    const QFileInfo data(dataFile);
    const QDir dir = data.dir();
    for (auto& [profile, line] : lines) {
        if (line.topography.empty()) {
            line.topographyFile.clear();
            continue;
        }
        if (line.topographyFile.isEmpty())
            line.topographyFile = QStringLiteral("%1.L%2F%3.topography.txt").arg(data.fileName()).arg(profile.line).arg(profile.file);
        // The elevations go beside the data unless a file of that name
        // already holds them; another file of that name is never replaced.
        const QString path = dir.filePath(line.topographyFile);
        if (QFileInfo::exists(path)) {
            try {
                if (parseTopography(readWholeFile(path), path) == line.topography)
                    continue;
            } catch (const ZelError&) {
            }
            line.topographyFile = QStringLiteral("%1.L%2F%3.topography.txt").arg(data.fileName()).arg(profile.line).arg(profile.file);
        }
        writeWholeFile(dir.filePath(line.topographyFile), topographyText(line.topography));
    }
    const QByteArray text = linesFileText(lines);
    if (text.isEmpty())
        QFile::remove(linesFileOf(dataFile));
    else
        writeWholeFile(linesFileOf(dataFile), text);
    return lines;
}

} // namespace zel
