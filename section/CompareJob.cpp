#include "CompareJob.h"

namespace zel {

bool CompareJob::start(SectionInput base, SectionInput later, const inv::InversionOptions& given)
{
    inv::InversionOptions options = given;
    options.elevations = std::move(later.elevations);
    return run([this, names = std::pair(base.what, later.what), base = std::move(base.data), later = std::move(later.data),
                options](const Post& post) -> std::function<bool()> {
        auto result = std::make_shared<const inv::TimeLapseResult>(inv::invertTimeLapse(
            base, later, options,
            [&](const inv::IterationReport& r, bool second) { post([this, r, second] { emit iteration(r, second); }); },
            cancel()));
        return [this, result, names] {
            // A change stopped part way is not shown: the one before stays.
            if (result->later.cancelled)
                return false;
            m_result = result;
            m_baseName = names.first;
            m_laterName = names.second;
            return true;
        };
    });
}

} // namespace zel
