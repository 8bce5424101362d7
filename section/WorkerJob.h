#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <exception>
#include <functional>

class QThread;

namespace zel {

// Why an inversion could not be had, from what it threw: the memory it
// needs, what it refused, a fault of the computation.
QString refusalOf(const std::exception_ptr& error);
// Runs `work` on a new worker thread, below the window's priority, in `thread`.
void startWorker(QThread*& thread, std::function<void()> work);

// A computation on a worker thread whose reports reach the owner's thread
// as signals: its progress through the calls `post` is given, its end as
// finished(), stoppedEarly() or refused().
class WorkerJob : public QObject {
    Q_OBJECT
public:
    explicit WorkerJob(QObject* parent = nullptr) : QObject(parent) {}
    // Stops a running computation and waits for it.
    ~WorkerJob() override;

    bool running() const { return m_running; }
    // The data, their exclusions or the geometry changed since the result
    // shown was computed.
    bool stale() const { return m_stale; }
    // The reading's data, exclusions or geometry changed.
    void dataChanged();
    // The computation ends at its next step with what it has.
    void stop() { m_cancel = true; }
    void wait();

signals:
    void started();
    void finished();
    void refused(const QString& reason);
    // Stopped before there was anything to show: what was shown stays.
    void stoppedEarly();
    void staleChanged(bool stale);

protected:
    // Runs a call in the owner's thread, later.
    using Post = std::function<void(std::function<void()>)>;
    // Starts `work` unless one runs. It returns what to do in the owner's
    // thread at its end: keep its result and say whether it is whole
    // (finished) or was stopped first (stoppedEarly).
    bool run(std::function<std::function<bool()>(const Post& post)> work);
    const std::atomic<bool>* cancel() const { return &m_cancel; }

    // Whether a result is shown, for staleness: none before the first.
    virtual bool hasResult() const = 0;

private:
    void setStale(bool stale);

    QThread* m_thread = nullptr;
    bool m_stale = false;
    bool m_changedDuringRun = false;
    std::atomic<bool> m_cancel{false};
    bool m_running = false;
};

} // namespace zel
