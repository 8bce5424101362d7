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
                         const std::atomic<bool>* cancel)
{
    SectionRun run;
    run.result = inv::invert(data, options, progress, cancel);
    if (!doi || run.result.cancelled)
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
