#include "Spacings.h"

#include "data/DataFile.h"
#include "data/ZelError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

#include <cmath>

namespace zel {

namespace {

constexpr double kLongestSpacing = 100000.0;

QByteArray number(double v)
{
    return QByteArray::number(v, 'g', QLocale::FloatingPointShortest);  // read back as the same double
}

void writeSheet(QByteArray& out, const SpacingSheet& sheet)
{
    if (sheet.centre)
        out += "Centre=" + number(*sheet.centre) + "\r\n";
    for (const auto& [station, s] : sheet.stations)
        out += QByteArray::number(station) + ' ' + number(s.ab2) + ' ' + number(s.mn2) + "\r\n";
}

} // namespace

SpacingSheet SpacingSheets::of(const Profile& profile) const
{
    const auto own = profiles.find(profile);
    if (own == profiles.end())
        return common;
    SpacingSheet sheet = own->second;
    if (sheet.stations.empty())
        sheet.stations = common.stations;
    if (!sheet.centre)
        sheet.centre = common.centre;
    return sheet;
}

QString spacingsFileOf(const QString& dataFile)
{
    return dataFile + QStringLiteral(".spacings");
}

SpacingSheets parseSpacings(const QByteArray& text, const QString& name)
{
    static const QRegularExpression section(QStringLiteral("^\\[\\s*line\\s+(-?\\d+)\\s+file\\s+(\\d+)\\s*\\]$"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression blanks(QStringLiteral("[\\s;\\t]+"));
    SpacingSheets sheets;
    SpacingSheet* current = &sheets.common;
    const QList<QByteArray> rows = QByteArray(text).replace("\r\n", "\n").replace('\r', '\n').split('\n');
    for (qsizetype n = 0; n < rows.size(); ++n) {
        QString row = QString::fromUtf8(rows[n]).trimmed();
        if (n == 0 && row.startsWith(QChar(0xFEFF)))
            row = row.mid(1).trimmed();
        auto refuse = [&] { throw ZelError(ErrorId::SpacingsFileLine, {name, QString::number(n + 1), row.left(80)}); };
        if (row.isEmpty() || row.startsWith(QLatin1Char('#')) || row.startsWith(QLatin1Char(';')))
            continue;
        if (row.contains(QChar(0)))
            refuse();
        if (const QRegularExpressionMatch m = section.match(row); m.hasMatch()) {
            const int line = m.captured(1).toInt();
            const int file = m.captured(2).toInt();
            if (line < -128 || line > 127 || file > 255 || sheets.profiles.count(Profile{line, file}))
                refuse();
            current = &sheets.profiles[Profile{line, file}];
            continue;
        }
        if (row.startsWith(QLatin1String("centre"), Qt::CaseInsensitive) && row.contains(QLatin1Char('='))) {
            const std::optional<double> c = decimalOfText(row.mid(row.indexOf(QLatin1Char('=')) + 1).trimmed());
            if (!c || std::abs(*c) > kMaxOffset || current->centre)
                refuse();
            current->centre = *c;
            continue;
        }
        const QStringList fields = row.split(blanks, Qt::SkipEmptyParts);
        if (fields.size() != 3)
            refuse();
        bool ok = false;
        const int station = fields[0].toInt(&ok);
        const std::optional<double> ab2 = decimalOfText(fields[1]);
        const std::optional<double> mn2 = decimalOfText(fields[2]);
        if (!ok || station < -32768 || station > 32767 || !ab2 || !mn2 || !(*mn2 > 0) || !(*mn2 < *ab2)
            || *ab2 > kLongestSpacing || current->stations.count(station))
            refuse();
        current->stations[station] = {*ab2, *mn2};
    }
    return sheets;
}

QByteArray spacingsText(const SpacingSheets& sheets)
{
    QByteArray out = "# station AB/2 MN/2, m\r\n";
    writeSheet(out, sheets.common);
    for (const auto& [profile, sheet] : sheets.profiles) {
        out += "\r\n[Line " + QByteArray::number(profile.line) + " File " + QByteArray::number(profile.file) + "]\r\n";
        writeSheet(out, sheet);
    }
    return out;
}

SpacingSheets readSpacingsBeside(const QString& dataFile)
{
    const QString file = spacingsFileOf(dataFile);
    if (dataFile.isEmpty() || !QFileInfo::exists(file))
        return {};
    return parseSpacings(readWholeFile(file), QDir::toNativeSeparators(file));
}

void writeSpacingsBeside(const QString& dataFile, const SpacingSheets& sheets)
{
    if (sheets.empty())
        QFile::remove(spacingsFileOf(dataFile));
    else
        writeWholeFile(spacingsFileOf(dataFile), spacingsText(sheets));
}

} // namespace zel
