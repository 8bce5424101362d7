#pragma once

#include "Input.h"

#include "inversion/TimeLapse.h"

#include <QObject>

#include <atomic>
#include <memory>

class QThread;

namespace zel {

// A time-lapse comparison running on its worker thread: a later reading of
// a line against an earlier one, with the result it gave last. As with the
// section's inversion, what the computation reports arrives as signals in
// the owner's thread.
class CompareJob : public QObject {
    Q_OBJECT
public:
    explicit CompareJob(QObject* parent = nullptr);
    // Stops a running comparison and waits for it.
    ~CompareJob() override;

    bool running() const { return m_running; }
    // Compares `later` against `base`, each a reading's profile as the
    // section's inversion takes it. False while one runs.
    bool start(SectionInput base, SectionInput later, const inv::InversionOptions& options);
    void stop();
    void wait();

    // The comparison shown, none before the first; the readings' names.
    std::shared_ptr<const inv::TimeLapseResult> result() const { return m_result; }
    const QString& baseName() const { return m_baseName; }
    const QString& laterName() const { return m_laterName; }

signals:
    void started();
    // An iteration of the base's inversion, or (`second`) of the change's.
    void iteration(const zel::inv::IterationReport& report, bool second);
    void finished();
    void refused(const QString& reason);
    // Stopped before a model of the change: the comparison shown stays.
    void stoppedEarly();

private:
    QThread* m_thread = nullptr;
    std::atomic<bool> m_cancel{false};
    bool m_running = false;
    QString m_baseName, m_laterName, m_runningNames[2];
    std::shared_ptr<const inv::TimeLapseResult> m_result;
};

} // namespace zel
