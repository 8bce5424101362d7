// zeltool's commands on data files: view, text and xlsx.
#include "Tool.h"

#include "data/DataFile.h"
#include "data/TextTable.h"
#include "data/TimeText.h"
#include "export/ExelCall.h"
#include "export/XlsxWriter.h"

#include <QLocale>

namespace zeltool {

int view(const Call& call)
{
    const QStringList& arguments = call.args;
    std::FILE* out = call.out;
    std::FILE* err = call.err;
    const Arguments args(arguments, {});
    if (!args.ok(1, 1))
        throw UsageError{args.wrong(1, 1)};
    const LoadedData d = load(args.at(0), err);
    QStringList lines;
    zel::appendViewLines(d.reading().decoded, d.reading().count, zel::DateTimeSeparators::of(QLocale()), lines);
    for (const QString& line : lines)
        printLine(out, line);
    return 0;
}

int text(const Call& call)
{
    const QStringList& arguments = call.args;
    std::FILE* err = call.err;
    const Arguments args(arguments, {});
    if (!args.ok(2, 2))
        throw UsageError{args.wrong(2, 2)};
    zel::refuseOutputOverInput(args.at(0), args.at(1));
    const LoadedData d = load(args.at(0), err);
    zel::writeWholeFile(args.at(1),
                        zel::textFileBytes(d.reading().decoded, d.reading().count, zel::DateTimeSeparators::of(QLocale())));
    return 0;
}

int xlsx(const Call& call)
{
    const QStringList& arguments = call.args;
    std::FILE* err = call.err;
    const Arguments args(arguments, {{QStringLiteral("layout"), QStringLiteral("The workbook's layout."), QStringLiteral("NAME")}});
    if (!args.ok(2, 2))
        throw UsageError{args.wrong(2, 2)};
    const QString layoutName = args.value(QStringLiteral("layout"));
    const int layout = layoutName == QLatin1String("zel-solo") ? zel::kZelSoloLayout
        : layoutName == QLatin1String("terravox")              ? zel::kTerravoxLayout
                                                               : -1;
    if (layout < 0)
        throw UsageError{QStringLiteral("--layout %1: zel-solo or terravox").arg(layoutName)};
    zel::refuseOutputOverInput(args.at(0), args.at(1));
    const LoadedData d = load(args.at(0), err);
    const zel::SheetExport exported = zel::ExelCall(layout, d.reading().decoded, QLocale());
    zel::writeXlsx(exported.sheet, args.at(1));
    if (exported.error)
        throw *exported.error;
    return 0;
}

} // namespace zeltool
