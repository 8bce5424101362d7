// zeltool invert --base: a later reading of a line against a first one by a
// difference inversion, the change said and its files written.
#include "Invert.h"

#include "texts/Texts.h"

#include "inversion/Files.h"
#include "inversion/TimeLapse.h"
#include "plots/Plots.h"

#include <algorithm>

namespace zeltool {

int invertPair(const InvertCall& call, const zel::SectionInput& base, const zel::SectionInput& later,
               const zel::inv::InversionOptions& options, const QStringList& inputs)
{
    std::FILE* out = call.out;
    std::FILE* err = call.err;
    zel::inv::TimeLapseResult pair;
    bool stopped = false;
    try {
        pair = zel::inv::invertTimeLapse(base.data, later.data, options, [&](const zel::inv::IterationReport& r, bool second) {
            printLine(out, (second ? QStringLiteral("change ") : QStringLiteral("base ")) + zel::progressLine(r, true));
            std::fflush(out);
        }, call.stop.flag());
        stopped = pair.later.cancelled;
    } catch (const zel::inv::InversionStopped&) {
        stopped = true;
    } catch (const zel::inv::MemoryRefused& e) {
        throw ToolError{QStringLiteral("%1: %2").arg(later.what, zel::texts::inversionNeedsMemory(e.needed(), e.available()))};
    } catch (const zel::inv::InversionRefused& e) {
        throw ToolError{QStringLiteral("%1 against %2: %3").arg(later.what, base.what, QString::fromStdString(e.what()))};
    }
    if (stopped) {
        return stoppedNothingWritten(err);
    }
    const auto [low, high] = std::minmax_element(pair.change.begin(), pair.change.end());
    printLine(out, QStringLiteral("%1 against %2: %3 quadripoles in common; base chi² %4, change chi² %5, RRMS %6 %; "
                                  "resistivity changed by %7 % to %8 %")
                       .arg(later.what, base.what)
                       .arg(pair.base.data.size())
                       .arg(pair.base.kept().chi2, 0, 'f', 2)
                       .arg(pair.later.kept().chi2, 0, 'f', 2)
                       .arg(pair.later.kept().rrms, 0, 'f', 2)
                       .arg(*low, 0, 'f', 1)
                       .arg(*high, 0, 'f', 1));
    if (pair.unmatchedBase > 0 || pair.unmatchedLater > 0)
        printLine(err, QStringLiteral("zeltool: quadripoles of one reading only, left out: %1 of %2 in %3, %4 of %5 in %6")
                           .arg(pair.unmatchedBase).arg(base.data.size()).arg(base.what)
                           .arg(pair.unmatchedLater).arg(later.data.size()).arg(later.what));
    if (pair.later.misfits())
        printLine(err, QStringLiteral("zeltool: the change: ") + QString::fromStdString(pair.later.verdict()));
    QList<std::pair<QString, QByteArray>> files;
    if (!buildFiles(call, [&] { files = zel::inv::timeLapseFiles(pair, call.target, call.grid, call.stop.flag()); }))
        return 1;
    const QLocale numbers = pictureNumbers();
    for (const QString& kind : call.pictures)
        files += zel::changePictures(pair, zel::changeTitle(later.what, base.what, pair), zel::inv::resultBaseName(call.target),
                                     kind, numbers);
    return writeResult(call, files, inputs);
}

} // namespace zeltool
