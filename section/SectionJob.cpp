#include "SectionJob.h"

#include "Recipe.h"

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
        input = profileInput(records, geometry, choice.profile, choice.dataChoice(exclusions));
    } catch (const ZelError& e) {
        emit refused(texts::errorText(e));
        return false;
    }
    if (input.data.empty()) {
        emit refused(whyNoData(records, geometry, choice.profile, choice.dataChoice(exclusions)));
        return false;
    }
    inv::InversionOptions options = choice.options(windowThreads());
    options.elevations = std::move(input.elevations);
    m_choice = choice;
    m_input = std::move(input);
    std::vector<inv::Measurement> data = std::move(m_input.data);
    m_input.data.clear();
    return run([this, data = std::move(data), options = std::move(options),
                doi = choice.doi](const Post& post) -> std::function<bool()> {
        SectionRun made = invertSection(
            data, options, doi, [&](const inv::IterationReport& r) { post([this, r] { emit iteration(r); }); },
            [&](const inv::DoiRun& r) { post([this, r] { emit depthIteration(r.run, r.report); }); }, cancel());
        auto result = std::make_shared<const inv::InversionResult>(std::move(made.result));
        return [this, result, doiMissing = made.doiMissing] {
            m_result = result;
            m_shown = std::move(m_input);
            m_doiRefused = doiMissing;
            return true;
        };
    });
}

} // namespace zel
