#include "Commands.h"

#include "data/DataFile.h"
#include "data/RawDump.h"
#include "data/TextTable.h"
#include "data/ZelError.h"

#include <QLocale>

namespace zeltool {

namespace {

void printLine(std::FILE* f, const QString& line)
{
    const QByteArray utf8 = line.toUtf8();
    std::fwrite(utf8.constData(), 1, std::size_t(utf8.size()), f);
    std::fputc('\n', f);
}

constexpr const char* kUsage =
    "usage: zeltool view FILE.zel\n"
    "       zeltool text FILE.zel OUT.txt\n";

// Loads and decodes a data file as "Load File" does. Throws on failure.
zel::DumpDecoding load(const QString& path, std::FILE* err)
{
    const zel::DumpDecoding d = zel::decodeDump(zel::readWholeFile(path));
    if (d.outcome != zel::DumpDecoding::Outcome::Decoded)
        throw zel::ZelError(zel::withFullStop(d.message));
    // A notice that only part of the records could be decoded.
    for (qsizetype i = 4; i < d.lines.size(); ++i)
        printLine(err, QStringLiteral("zeltool: ") + d.lines.at(i));
    return d;
}

} // namespace

int view(const QStringList& args, std::FILE* out, std::FILE* err)
{
    if (args.size() != 1) {
        std::fputs(kUsage, err);
        return 2;
    }
    const zel::DumpDecoding d = load(args.at(0), err);
    QStringList lines;
    zel::appendViewLines(d.decoded, d.count.value_or(0), zel::DateTimeSeparators::of(QLocale()), lines);
    for (const QString& line : lines)
        printLine(out, line);
    return 0;
}

int text(const QStringList& args, std::FILE* /*out*/, std::FILE* err)
{
    if (args.size() != 2) {
        std::fputs(kUsage, err);
        return 2;
    }
    const zel::DumpDecoding d = load(args.at(0), err);
    zel::writeWholeFile(args.at(1),
                        zel::textFileBytes(d.decoded, d.count.value_or(0), zel::DateTimeSeparators::of(QLocale())));
    return 0;
}

int run(const QStringList& args, std::FILE* out, std::FILE* err)
{
    if (args.isEmpty()) {
        std::fputs(kUsage, err);
        return 2;
    }
    const QString command = args.at(0);
    const QStringList rest = args.mid(1);
    try {
        if (command == QLatin1String("view"))
            return view(rest, out, err);
        if (command == QLatin1String("text"))
            return text(rest, out, err);
    } catch (const zel::ZelError& e) {
        printLine(err, QStringLiteral("zeltool: ") + zel::withFullStop(e.text()));
        return 1;
    }
    std::fputs(kUsage, err);
    return 2;
}

} // namespace zeltool
