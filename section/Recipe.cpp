#include "Recipe.h"

#include "texts/Texts.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>

namespace zel {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("zel", text); }

} // namespace

SectionRun invertSection(const std::vector<inv::Measurement>& data, const inv::InversionOptions& options, bool doi,
                         const std::function<void(const inv::IterationReport&)>& progress,
                         const std::function<void(const inv::DoiRun&)>& depthProgress,
                         const std::atomic<bool>* cancel,
                         const std::vector<std::optional<inv::ApparentCharge>>& charges,
                         const std::function<void(const inv::IterationReport&)>& chargeProgress)
{
    SectionRun run;
    inv::InversionOptions asked = options;
    asked.keepSensitivities = !charges.empty();
    run.result = inv::invert(data, asked, progress, cancel);
    if (run.result.cancelled)
        return run;
    if (!charges.empty()) {
        // The data the section took (the tags of those it kept) that have
        // an apparent chargeability.
        std::vector<inv::ApparentCharge> taken;
        for (std::size_t i = 0; i < run.result.data.size(); ++i) {
            const int tag = run.result.data[i].tag;
            if (tag >= 0 && std::size_t(tag) < charges.size() && charges[std::size_t(tag)]) {
                taken.push_back(*charges[std::size_t(tag)]);
                taken.back().datum = i;
            }
        }
        run.charge = inv::invertChargeability(run.result, taken, options, chargeProgress, cancel);
        run.result.sensitivities.reset();
        if (run.charge->cancelled)
            return run;
    }
    if (!doi)
        return run;
    try {
        run.result.doi = inv::doiIndex(run.result, options, depthProgress, cancel);
    } catch (const inv::MemoryRefused& e) {
        run.doiMissing = texts::inversionNeedsMemory(e.needed(), e.available());
        return run;
    }
    if (run.result.doi.empty())
        run.doiMissing = tr("остановлено до конца");
    return run;
}

int windowThreads() { return std::max(1, QThread::idealThreadCount()); }

} // namespace zel
