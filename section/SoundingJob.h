#pragma once

#include "Sounding.h"
#include "WorkerJob.h"

#include <memory>
#include <optional>

namespace zel {

// Every sounding of a reading interpreted and set along the line as a
// section, on the worker thread: tens of soundings take a second or more.
struct SoundingSectionResult {
    std::vector<SoundingResult> soundings;
    QStringList leftOut;                    // profiles that are no sounding, said why
    std::optional<SoundingSection> section;  // none for fewer than two centres
    QString refusal;                         // why there is no section
};

class SoundingSectionJob : public WorkerJob {
    Q_OBJECT
public:
    using WorkerJob::WorkerJob;

    // False while one runs.
    bool start(std::vector<MeasurementRecord> records, SurveyGeometry geometry, SpacingSheets sheets);
    // The section shown, none before the first.
    std::shared_ptr<const SoundingSectionResult> result() const { return m_result; }

signals:
    // Soundings interpreted, `done` of `total` profiles.
    void progress(int done, int total);

private:
    bool hasResult() const override { return m_result != nullptr; }

    std::shared_ptr<const SoundingSectionResult> m_result;
};

} // namespace zel
