// zeltool invert --3d: every line of a reading inverted into one volume,
// its files, and with --png depth slices and the section under each line.
#include "Invert.h"

#include "texts/Texts.h"

#include "inversion/Files.h"
#include "plots/Plots.h"
#include "section/SurveyVolume.h"

#include <QDir>
#include <QFileInfo>

namespace zeltool {

int invertVolume(const InvertCall& call, const LoadedData& reading, const zel::SurveyGeometry& geometry,
                 const zel::Exclusions& left)
{
    std::FILE* out = call.out;
    std::FILE* err = call.err;
    zel::SurveyRun run;
    try {
        run.input = zel::surveyInput(reading.records(), geometry, left, call.choice);
    } catch (const zel::SurveyRefused& e) {
        throw ToolError{e.why()};
    }
    for (const auto& [what, why] : run.input.skipped)
        printLine(err, QStringLiteral("zeltool: %1 left out: %2").arg(what, why));
    printLine(out, QStringLiteral("one model of %1 lines, %2 data").arg(run.input.lines.size()).arg(run.input.data.size()));
    try {
        run.result = zel::inv::invertVolume(run.input.data, zel::volumeOptions(call.choice), [&](const zel::inv::IterationReport& r) {
            printLine(out, zel::progressLine(r, true));
            std::fflush(out);
        }, call.stop.flag());
    } catch (const zel::inv::InversionStopped&) {
        return stoppedNothingWritten(err);
    } catch (const zel::inv::MemoryRefused& e) {
        throw ToolError{zel::texts::surveyNeedsMemory(e.needed(), e.available())};
    } catch (const zel::inv::InversionRefused& e) {
        throw ToolError{QStringLiteral("the survey: %1").arg(QString::fromStdString(e.what()))};
    }
    zel::inv::VolumeResult& result = run.result;
    if (result.cancelled)
        return stoppedNothingWritten(err);
    if (call.choice.doi) {
        // Two more inversions from references far below and above.
        result.doi = zel::inv::volumeDoiIndex(result, zel::volumeOptions(call.choice), [&](int which, const zel::inv::IterationReport& r) {
            printLine(out, QStringLiteral("DOI run %1 of 2: ").arg(which) + zel::progressLine(r, true));
            std::fflush(out);
        }, call.stop.flag());
        if (result.doi.empty())
            return stoppedNothingWritten(err);
    }
    const zel::inv::IterationReport& kept = result.kept();
    printLine(out, QStringLiteral("the survey: %1 data, %2 cells, %3 iterations, chi² %4, RRMS %5 %")
                       .arg(result.data.size())
                       .arg(result.volume.parameterCount())
                       .arg(result.iterations.back().number)
                       .arg(kept.chi2, 0, 'f', 2)
                       .arg(kept.rrms, 0, 'f', 2));
    if (result.misfits())
        printLine(err, QStringLiteral("zeltool: ") + QString::fromStdString(result.verdict()));
    QList<std::pair<QString, QByteArray>> files = zel::inv::volumeFiles(result, call.target);
    if (call.pictures.contains(QStringLiteral("png")) || call.pictures.contains(QStringLiteral("pdf"))) {
        const QLocale numbers = pictureNumbers();
        const QString base = zel::inv::resultBaseName(call.target);
        for (const QString& kind : call.pictures) {
            for (const double depth : zel::volumeSliceDepths(result))
                files += zel::planPicture(zel::planOf(zel::sliceAt(result, depth), run.input),
                                          QStringLiteral("%1-depth-%2m.%3").arg(base).arg(depth).arg(kind), numbers);
            for (const zel::SurveyInput::Line& line : run.input.lines) {
                const zel::inv::InversionResult section = zel::sectionUnder(result, line);
                const QString name = line.profile.wholeLine() ? QStringLiteral("L%1").arg(line.profile.line)
                                                              : QStringLiteral("L%1_F%2").arg(line.profile.line).arg(line.profile.file);
                files += zel::sectionPictures(section, QStringLiteral("%1 (3D)").arg(line.what), base + QLatin1Char('-') + name,
                                              kind, numbers, call.choice.doiThreshold);
            }
        }
    }
    return writeResult(call, files, {call.in});
}

} // namespace zeltool
