#pragma once

#include "inversion/Inversion.h"

#include <QObject>

#include <atomic>
#include <memory>
#include <vector>

class QThread;

// Runs an inversion on a worker thread. The library is pure computation:
// its progress callback and cancel flag are the only contact, and what it
// reports arrives here as signals in the window's thread.
class TInversionRun : public QObject {
    Q_OBJECT
public:
    explicit TInversionRun(QObject* parent = nullptr);
    // Stops a running inversion and waits for it.
    ~TInversionRun() override;

    bool running() const { return m_running; }
    // Starts an inversion; false (and nothing started) while one runs.
    bool start(std::vector<zel::inv::Measurement> data, zel::inv::InversionOptions options);
    // The inversion ends at its next step with what it has.
    void stop();
    // Waits until the worker has ended (the window closing).
    void wait();

signals:
    void iteration(const zel::inv::IterationReport& report);
    void finished(std::shared_ptr<const zel::inv::InversionResult> result);
    // The data cannot be inverted (too few electrodes or data).
    void refused(const QString& reason);

private:
    QThread* m_thread = nullptr;
    std::atomic<bool> m_cancel{false};
    bool m_running = false;
};
