// zeltool invert --all: every line of a reading inverted into one folder,
// each line's files and warnings, the sections placed in 3D and plan views
// at four depths between the lines.
#include "Invert.h"

#include "texts/Texts.h"

#include "inversion/Files.h"
#include "plots/Plots.h"
#include "section/AllLines.h"

#include <QDir>

namespace zeltool {

int invertAll(const InvertCall& call, const LoadedData& reading, const zel::SurveyGeometry& geometry,
              const zel::Exclusions& left)
{
    std::FILE* out = call.out;
    std::FILE* err = call.err;
    const QDir folder(call.target);
    const std::vector<zel::Profile> lines = zel::surveyLines(reading.records());
    const zel::LinesRun run = zel::invertLines(reading.records(), geometry, left, call.choice, 0, [&](int line, int count, const zel::inv::IterationReport& r) {
        printLine(out, QStringLiteral("%1 (%2 of %3) ").arg(zel::profileName(lines[std::size_t(line)])).arg(line + 1).arg(count)
                           + zel::progressLine(r, true));
        std::fflush(out);
    }, call.stop.flag());
    if (run.cancelled) {
        return stoppedNothingWritten(err);
    }
    for (const auto& [what, why] : run.skipped)
        printLine(err, QStringLiteral("zeltool: %1 left out: %2").arg(what, why));
    if (run.lines.empty())
        throw ToolError{QStringLiteral("no line could be inverted")};
    QList<std::pair<QString, QByteArray>> files;
    const QLocale numbers = pictureNumbers();
    std::vector<std::pair<const zel::inv::InversionResult*, double>> placed;
    for (const zel::LineSection& line : run.lines) {
        if (call.stop.raised()) {
            return stoppedNothingWritten(err);
        }
        const zel::inv::InversionResult& result = line.result;
        const zel::inv::IterationReport& kept = result.kept();
        printLine(out, QStringLiteral("%1 at y %2 m: %3 data, chi² %4, RRMS %5 %%6")
                           .arg(line.what).arg(line.y).arg(result.data.size())
                           .arg(kept.chi2, 0, 'f', 2).arg(kept.rrms, 0, 'f', 2)
                           .arg(result.leftOut > 0 ? QStringLiteral("; %1 left out: not above 0 or outside %2–%3 ohm·m")
                                                         .arg(result.leftOut).arg(zel::inv::kLeastRhoa).arg(zel::inv::kLargestRhoa)
                                                   : QString()));
        // Each line's warnings, as the single line says them.
        if (result.misfits())
            printLine(err, QStringLiteral("zeltool: %1: %2").arg(line.what, QString::fromStdString(result.verdict())));
        const QString name = folder.filePath(line.profile.wholeLine() ? QStringLiteral("L%1").arg(line.profile.line)
                                                                      : QStringLiteral("L%1_F%2").arg(line.profile.line).arg(line.profile.file));
        if (!buildFiles(call, [&] { files += zel::inv::resultFiles(result, name, call.grid, line.y, call.stop.flag()); }))
            return 1;
        files += sectionPicturesOf(call, result, line.what, name);
        placed.emplace_back(&result, line.y);
    }
    files.append({folder.filePath(QStringLiteral("lines.vtu")), zel::inv::linesVtu(placed)});
    if (zel::linesApart(run.lines)) {
        bool said = false;
        for (const double depth : zel::sliceDepths(run.lines)) {
            const zel::PlanView view = zel::planView(run.lines, depth);
            for (const auto& [what, why] : view.leftOut)
                if (!said)
                    printLine(err, QStringLiteral("zeltool: %1 is not in the plans: %2").arg(what, why));
            said = true;
            files += zel::planPicture(view, folder.filePath(QStringLiteral("depth-%1m.png").arg(depth)), numbers);
        }
        if (!said)
            printLine(err, QStringLiteral("zeltool: no line fits its data: no plan view"));
    } else {
        printLine(err, QStringLiteral("zeltool: the lines lie at one y: no plan view (give each line its Y in the lines file)"));
    }
    return writeResult(call, files, {call.in});
}

} // namespace zeltool
