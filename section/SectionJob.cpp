#include "SectionJob.h"

#include "texts/Texts.h"

#include "data/ZelError.h"

#include <QThread>

#include <algorithm>

namespace zel {

SectionJob::SectionJob(QObject* parent) : QObject(parent) {}

SectionJob::~SectionJob()
{
    stop();
    wait();
}

bool SectionJob::start(const std::vector<MeasurementRecord>& records, const SurveyGeometry& geometry,
                       const Exclusions& exclusions, const InversionChoice& choice)
{
    if (m_running)
        return false;
    SectionInput input;
    try {
        input = profileInput(records, geometry, choice.profile, {exclusions, !choice.useFlagged});
    } catch (const ZelError& e) {
        emit refused(texts::errorText(e));
        return false;
    }
    if (input.data.empty()) {
        emit refused(whyNoData(records, geometry, choice.profile, {exclusions, !choice.useFlagged}));
        return false;
    }
    wait();  // a worker that has reported its end may still be returning
    inv::InversionOptions options = choice.options(std::max(1, QThread::idealThreadCount() - 1));
    options.elevations = std::move(input.elevations);
    m_choice = choice;
    m_input = std::move(input);
    std::vector<inv::Measurement> data = std::move(m_input.data);
    m_input.data.clear();
    m_changedDuringRun = false;
    m_cancel = false;
    m_running = true;
    startWorker(m_thread, [this, data = std::move(data), options = std::move(options), doi = choice.doi] {
        // The reports are posted to this object: they reach it in its own
        // thread, and none arrives once it is gone.
        auto post = [this](auto deliver) {
            // The event loop owns the posted call and deletes it once run.
            // NOLINTNEXTLINE(clang-analyzer-cplusplus.NewDeleteLeaks)
            QMetaObject::invokeMethod(this, std::move(deliver), Qt::QueuedConnection);
        };
        try {
            auto result = std::make_shared<inv::InversionResult>(inv::invert(
                data, options, [&](const inv::IterationReport& r) { post([this, r] { emit iteration(r); }); },
                &m_cancel));
            QString doiRefused;
            if (doi && !result->cancelled) {
                // The section stands without its index when the two more
                // inversions cannot be had; the window says why.
                try {
                    result->doi = inv::doiIndex(*result, options, [&](const inv::DoiRun& r) {
                        post([this, r] { emit depthIteration(r.run, r.report); });
                    }, &m_cancel);
                } catch (const inv::MemoryRefused& e) {
                    doiRefused = texts::inversionNeedsMemory(e.needed(), e.available());
                }
                result->cancelled = m_cancel;
            }
            post([this, result = std::shared_ptr<const inv::InversionResult>(std::move(result)), doiRefused] {
                m_running = false;
                m_result = result;
                m_shown = std::move(m_input);
                m_doiRefused = doiRefused;
                setStale(m_changedDuringRun);
                emit finished();
            });
        } catch (const inv::InversionStopped&) {
            post([this] {
                m_running = false;
                emit stoppedEarly();
            });
        } catch (...) {
            post([this, reason = refusalOf(std::current_exception())] {
                m_running = false;
                emit refused(reason);
            });
        }
    });
    emit started();
    return true;
}

void SectionJob::stop()
{
    m_cancel = true;
}

void SectionJob::wait()
{
    if (!m_thread)
        return;
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
}

void SectionJob::dataChanged()
{
    if (m_running)
        m_changedDuringRun = true;
    if (m_result)
        setStale(true);
}

void SectionJob::setStale(bool stale)
{
    if (m_stale == stale)
        return;
    m_stale = stale;
    emit staleChanged(stale);
}

} // namespace zel
