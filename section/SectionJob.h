#pragma once

#include "Input.h"
#include "Options.h"
#include "WorkerJob.h"

#include "survey/Checks.h"

#include <QObject>

#include <exception>
#include <functional>
#include <memory>
#include <vector>

namespace zel {

// The inversion of the current reading: the one running on its worker
// thread and the section it gave last, with whether the data changed since.
// The inversion library is pure computation; its progress callback and
// cancel flag are its only contact, and what it reports arrives here as
// signals in the owner's thread, so every window follows one job.
class SectionJob : public WorkerJob {
    Q_OBJECT
public:
    explicit SectionJob(QObject* parent = nullptr);
    // Stops a running inversion and waits for it.
    ~SectionJob() override;

    // Inverts a profile of a reading with the values `exclusions` leave. False
    // (and refused() says why) when there is nothing to invert, and while one
    // runs.
    bool start(const std::vector<MeasurementRecord>& records, const SurveyGeometry& geometry,
               const Exclusions& exclusions, const InversionChoice& choice);

    // Of the one running, else of the section shown.
    const InversionChoice& choice() const { return m_choice; }
    // The section shown, none before the first.
    std::shared_ptr<const inv::InversionResult> result() const { return m_result; }
    // What the section shown was made of: its name, the value of each datum,
    // what the topography left to be assumed (its data are the result's).
    const SectionInput& shown() const { return m_shown; }
    // Why the section shown has no DOI index that was asked for (the
    // memory); empty when it has it, or was stopped.
    const QString& doiRefused() const { return m_doiRefused; }

signals:
    void iteration(const zel::inv::IterationReport& report);
    // An iteration of one of the two inversions of the depth of investigation.
    void depthIteration(int run, const zel::inv::IterationReport& report);

private:
    bool hasResult() const override { return m_result != nullptr; }

    InversionChoice m_choice;
    SectionInput m_input;   // of the one running, less its data
    SectionInput m_shown;   // of the section shown
    std::shared_ptr<const inv::InversionResult> m_result;
    QString m_doiRefused;
};

} // namespace zel
