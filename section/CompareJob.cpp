#include "CompareJob.h"

#include "SectionJob.h"

#include <QThread>

namespace zel {

CompareJob::CompareJob(QObject* parent) : QObject(parent) {}

CompareJob::~CompareJob()
{
    stop();
    wait();
}

bool CompareJob::start(SectionInput base, SectionInput later, const inv::InversionOptions& given)
{
    if (m_running)
        return false;
    wait();
    inv::InversionOptions options = given;
    options.elevations = std::move(later.elevations);
    m_runningNames[0] = base.what;
    m_runningNames[1] = later.what;
    m_cancel = false;
    m_running = true;
    startWorker(m_thread, [this, base = std::move(base.data), later = std::move(later.data), options] {
        auto post = [this](auto deliver) {
            // NOLINTNEXTLINE(clang-analyzer-cplusplus.NewDeleteLeaks)
            QMetaObject::invokeMethod(this, std::move(deliver), Qt::QueuedConnection);
        };
        try {
            auto result = std::make_shared<const inv::TimeLapseResult>(inv::invertTimeLapse(
                base, later, options,
                [&](const inv::IterationReport& r, bool second) { post([this, r, second] { emit iteration(r, second); }); },
                &m_cancel));
            post([this, result] {
                m_running = false;
                if (result->later.cancelled) {
                    emit stoppedEarly();
                    return;
                }
                m_result = result;
                m_baseName = m_runningNames[0];
                m_laterName = m_runningNames[1];
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

void CompareJob::stop()
{
    m_cancel = true;
}

void CompareJob::wait()
{
    if (!m_thread)
        return;
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
}

} // namespace zel
