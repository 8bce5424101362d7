#include "InversionRun.h"

#include "texts/Texts.h"

#include <QThread>

#if defined(Q_OS_LINUX)
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

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

TInversionRun::TInversionRun(QObject* parent) : QObject(parent) {}

TInversionRun::~TInversionRun()
{
    stop();
    wait();
}

bool TInversionRun::start(std::vector<zel::inv::Measurement> data, zel::inv::InversionOptions options)
{
    if (m_running)
        return false;
    wait();  // a worker that has reported its end may still be returning
    m_cancel = false;
    m_running = true;
    m_thread = QThread::create([this, data = std::move(data), options = std::move(options)] {
        // The reports are posted to this object: they reach it in its own
        // thread, and none arrives once it is gone.
        yieldToTheWindow();
        auto post = [this](auto deliver) {
            // The event loop owns the posted call and deletes it once run.
            // NOLINTNEXTLINE(clang-analyzer-cplusplus.NewDeleteLeaks)
            QMetaObject::invokeMethod(this, std::move(deliver), Qt::QueuedConnection);
        };
        try {
            auto result = std::make_shared<const zel::inv::InversionResult>(zel::inv::invert(
                data, options, [&](const zel::inv::IterationReport& r) { post([this, r] { emit iteration(r); }); },
                &m_cancel));
            post([this, result] {
                m_running = false;
                emit finished(result);
            });
        } catch (const zel::inv::MemoryRefused& e) {
            post([this, reason = zel::texts::inversionNeedsMemory(e.needed(), e.available())] {
                m_running = false;
                emit refused(reason);
            });
        } catch (const zel::inv::InversionRefused& e) {
            post([this, reason = QString::fromStdString(e.what())] {
                m_running = false;
                emit refused(reason);
            });
        } catch (const std::exception& e) {  // a fault of the computation: said, and the program goes on
            post([this, reason = QString::fromLocal8Bit(e.what())] {
                m_running = false;
                emit refused(reason);
            });
        }
    });
    m_thread->start(QThread::LowPriority);
    return true;
}

void TInversionRun::stop()
{
    m_cancel = true;
}

void TInversionRun::wait()
{
    if (!m_thread)
        return;
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
}
