#include "SoundingJob.h"

namespace zel {

bool SoundingSectionJob::start(std::vector<MeasurementRecord> records, SurveyGeometry geometry, SpacingSheets sheets)
{
    return run([this, records = std::move(records), geometry = std::move(geometry),
                sheets = std::move(sheets)](const Post& post) -> std::function<bool()> {
        auto result = std::make_shared<SoundingSectionResult>();
        result->soundings = everySounding(
            records, geometry, sheets, &result->leftOut,
            [&](int done, int total) { post([this, done, total] { emit progress(done, total); }); }, cancel());
        try {
            result->section = soundingSection(result->soundings);
        } catch (const SoundingRefused& e) {
            result->refusal = QString::fromStdString(e.what());
        }
        return [this, result = std::shared_ptr<const SoundingSectionResult>(std::move(result))] {
            m_result = result;
            return true;
        };
    });
}

} // namespace zel
