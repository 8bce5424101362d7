#include "WorkerJob.h"

#include "texts/Texts.h"

#include "inversion/Inversion.h"

#include <QThread>

#if defined(Q_OS_LINUX)
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace zel {

namespace {

// The worker's thread and the threads it starts yield to the window: on
// Linux a thread's nice value is its own and passes to the threads it
// starts; on Windows the worker runs below normal priority (QThread).
void yieldToTheWindow()
{
#if defined(Q_OS_LINUX)
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 10);
#endif
}

} // namespace

QString refusalOf(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const inv::MemoryRefused& e) {
        return e.subject() == "this survey" ? texts::surveyNeedsMemory(e.needed(), e.available())
                                            : texts::inversionNeedsMemory(e.needed(), e.available());
    } catch (const inv::InversionRefused& e) {
        return texts::inversionRefusal(e.what());
    } catch (const std::exception& e) {  // a fault of the computation: said, and the program goes on
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("?");
    }
}

void startWorker(QThread*& thread, std::function<void()> work)
{
    thread = QThread::create([work = std::move(work)] {
        yieldToTheWindow();
        work();
    });
    thread->start(QThread::LowPriority);
}

WorkerJob::~WorkerJob()
{
    stop();
    wait();
}

void WorkerJob::wait()
{
    if (!m_thread)
        return;
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
}

void WorkerJob::dataChanged()
{
    if (m_running)
        m_changedDuringRun = true;
    if (hasResult())
        setStale(true);
}

void WorkerJob::setStale(bool stale)
{
    if (m_stale == stale)
        return;
    m_stale = stale;
    emit staleChanged(stale);
}

bool WorkerJob::run(std::function<std::function<bool()>(const Post& post)> work)
{
    if (m_running)
        return false;
    wait();  // a worker that has reported its end may still be returning
    m_cancel = false;
    m_running = true;
    m_changedDuringRun = false;
    startWorker(m_thread, [this, work = std::move(work)] {
        // Posted to this object: the calls reach it in its own thread, and
        // none arrives once it is gone.
        const Post post = [this](std::function<void()> deliver) {
            // The event loop owns the posted call and deletes it once run.
            // NOLINTNEXTLINE(clang-analyzer-cplusplus.NewDeleteLeaks)
            QMetaObject::invokeMethod(this, std::move(deliver), Qt::QueuedConnection);
        };
        try {
            std::function<bool()> done = work(post);
            post([this, done = std::move(done)] {
                m_running = false;
                if (done()) {
                    setStale(m_changedDuringRun);
                    emit finished();
                } else {
                    emit stoppedEarly();
                }
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

} // namespace zel
