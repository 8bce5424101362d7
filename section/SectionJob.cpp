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
        const std::vector<ChannelValue> values = surveyValues(records, geometry);
        const std::vector<ValueCheck> checks = checkValues(records, values, geometry.thresholds);
        ExportChoice asked = choice.dataChoice(exclusions);
        // The frequency effect where the profile has two frequencies: the
        // resistivity at the lowest, the effect against the highest.
        const std::optional<FrequencyPair> pair = choice.ip
            ? frequencyPairOf(profileFrequencies(records, values, choice.profile), std::nullopt)
            : std::nullopt;
        if (pair)
            asked.frequency = pair->low;
        input = profileInput(records, values, checks, geometry, choice.profile, asked);
        if (pair)
            addCharges(input, records, values, checks, choice.profile, asked, *pair);
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
    return run([this, data = std::move(data), options = std::move(options), charges = m_input.charges,
                doi = choice.doi](const Post& post) -> std::function<bool()> {
        SectionRun made = invertSection(
            data, options, doi, [&](const inv::IterationReport& r) { post([this, r] { emit iteration(r); }); },
            [&](const inv::DoiRun& r) { post([this, r] { emit depthIteration(r.run, r.report); }); }, cancel(),
            charges);
        if (made.charge && !made.charge->cancelled)
            made.result.chargeability = made.charge->chargeability;
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
