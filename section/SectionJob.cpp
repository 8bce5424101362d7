#include "SectionJob.h"

#include "texts/Texts.h"

#include "data/ZelError.h"

#include <QThread>

#include <algorithm>

namespace zel {

SectionJob::SectionJob(QObject* parent) : WorkerJob(parent) {}

SectionJob::~SectionJob()
{
    stop();
    wait();
}

bool SectionJob::start(const std::vector<MeasurementRecord>& records, const SurveyGeometry& geometry,
                       const Exclusions& exclusions, const InversionChoice& choice)
{
    if (running())
        return false;
    SectionInput input;
    try {
        input = profileInput(records, geometry, choice.profile, {exclusions, !choice.useFlagged});
    } catch (const ZelError& e) {
        emit refused(texts::errorText(e));
        return false;
    }
    if (input.data.empty()) {
        emit refused(whyNoData(records, geometry, choice.profile, {exclusions, !choice.useFlagged}));
        return false;
    }
    inv::InversionOptions options = choice.options(std::max(1, QThread::idealThreadCount() - 1));
    options.elevations = std::move(input.elevations);
    m_choice = choice;
    m_input = std::move(input);
    std::vector<inv::Measurement> data = std::move(m_input.data);
    m_input.data.clear();
    m_changedDuringRun = false;
    return run([this, data = std::move(data), options = std::move(options),
                doi = choice.doi](const Post& post) -> std::function<bool()> {
        auto result = std::make_shared<inv::InversionResult>(inv::invert(
            data, options, [&](const inv::IterationReport& r) { post([this, r] { emit iteration(r); }); }, cancel()));
        QString doiRefused;
        if (doi && !result->cancelled) {
            // The section stands without its index when the two more
            // inversions cannot be had; the window says why.
            try {
                result->doi = inv::doiIndex(*result, options, [&](const inv::DoiRun& r) {
                    post([this, r] { emit depthIteration(r.run, r.report); });
                }, cancel());
            } catch (const inv::MemoryRefused& e) {
                doiRefused = texts::inversionNeedsMemory(e.needed(), e.available());
            }
            result->cancelled = *cancel();
        }
        return [this, result = std::shared_ptr<const inv::InversionResult>(std::move(result)), doiRefused] {
            m_result = result;
            m_shown = std::move(m_input);
            m_doiRefused = doiRefused;
            setStale(m_changedDuringRun);
            return true;
        };
    });
}

void SectionJob::dataChanged()
{
    if (running())
        m_changedDuringRun = true;
    if (m_result)
        setStale(true);
}

void SectionJob::setStale(bool stale)
{
    if (m_stale == stale)
        return;
    m_stale = stale;
    emit staleChanged(stale);
}

} // namespace zel
