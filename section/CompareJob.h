#pragma once

#include "Input.h"
#include "WorkerJob.h"

#include "inversion/TimeLapse.h"

#include <memory>

namespace zel {

// A time-lapse comparison running on its worker thread: a later reading of
// a line against an earlier one, with the result it gave last.
class CompareJob : public WorkerJob {
    Q_OBJECT
public:
    using WorkerJob::WorkerJob;

    // Compares `later` against `base`, each a reading's profile as the
    // section's inversion takes it. False while one runs.
    bool start(SectionInput base, SectionInput later, const inv::InversionOptions& options);

    // The comparison shown, none before the first; the readings' names.
    std::shared_ptr<const inv::TimeLapseResult> result() const { return m_result; }
    const QString& baseName() const { return m_baseName; }
    const QString& laterName() const { return m_laterName; }

signals:
    // An iteration of the base's inversion, or (`second`) of the change's.
    void iteration(const zel::inv::IterationReport& report, bool second);

private:
    bool hasResult() const override { return m_result != nullptr; }

    QString m_baseName, m_laterName;
    std::shared_ptr<const inv::TimeLapseResult> m_result;
};

} // namespace zel
