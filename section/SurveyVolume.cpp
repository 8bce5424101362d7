#include "SurveyVolume.h"

#include "AllLines.h"
#include "Input.h"

#include "data/Electrodes.h"
#include "data/ZelError.h"
#include "texts/Texts.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace zel {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("zel", text); }

// A number of metres as the window shows it.
QString metres(double v) { return QString::number(v, 'g', 6); }

} // namespace

SurveyInput surveyInput(const std::vector<MeasurementRecord>& records, const SurveyGeometry& geometry,
                        const Exclusions& exclusions, const InversionChoice& choice)
{
    SurveyInput survey;
    const std::vector<Profile> lines = surveyLines(records);
    const std::vector<Profile> files = profilesOf(records);
    const ExportChoice left = choice.dataChoice(exclusions);
    const std::vector<ChannelValue> values = surveyValues(records, geometry);
    const std::vector<ValueCheck> checks = checkValues(records, values, geometry.thresholds);
    for (const Profile& p : lines) {
        SurveyInput::Line line{p, profileName(p), lineY(geometry, files, p), 0, 0};
        if (!std::isfinite(line.y))
            throw SurveyRefused(tr("Y линии %1 — не число: дайте ей Y в файле линий").arg(line.what));
        SectionInput input;
        try {
            input = profileInput(records, values, checks, geometry, p, left);
        } catch (const ZelError& e) {
            survey.skipped.emplace_back(line.what, texts::errorText(e));
            continue;
        }
        if (input.data.empty()) {
            survey.skipped.emplace_back(line.what, whyNoData(records, geometry, p, left));
            continue;
        }
        const std::vector<double> electrodes = inv::electrodesOf(input.data);
        auto heightAt = [&](double x) {
            const auto at = std::lower_bound(electrodes.begin(), electrodes.end(), x - kSamePosition) - electrodes.begin();
            return input.elevations.empty() ? 0.0 : input.elevations[std::size_t(at)];
        };
        line.from = electrodes.front();
        line.to = electrodes.back();
        for (const inv::Measurement& m : input.data) {
            inv::SurveyMeasurement s;
            for (std::size_t i = 0; i < 4; ++i)
                s.at[i] = {m.x[i], line.y, heightAt(m.x[i])};
            s.k = m.k;
            s.rhoa = m.rhoa;
            s.error = m.error;
            s.voltage = m.voltage;
            s.depth = m.depth;
            s.tag = int(survey.data.size());
            survey.data.push_back(s);
        }
        survey.lines.push_back(line);
    }
    if (survey.lines.empty())
        throw SurveyRefused(tr("ни одной линии с данными"));
    const auto [low, high] = std::minmax_element(survey.lines.begin(), survey.lines.end(),
                                                 [](const auto& a, const auto& b) { return a.y < b.y; });
    if (high->y - low->y <= kSamePosition)
        throw SurveyRefused(tr("все линии лежат на одном Y (%1 м): дайте каждой линии её Y в файле линий").arg(metres(low->y)));
    // Lines along x at their own Y: two over one stretch of one Y cross.
    for (std::size_t a = 0; a < survey.lines.size(); ++a)
        for (std::size_t b = a + 1; b < survey.lines.size(); ++b) {
            const auto& la = survey.lines[a];
            const auto& lb = survey.lines[b];
            if (std::abs(la.y - lb.y) <= kSamePosition && la.from < lb.to && lb.from < la.to)
                throw SurveyRefused(
                    tr("линии %1 и %2 пересекаются: обе на Y %3 м вдоль %4–%5 м. Одну модель дают параллельные линии, каждая на своём Y "
                       "(пересекающиеся и непараллельные линии — в следующих версиях)")
                        .arg(la.what, lb.what, metres(la.y), metres(std::max(la.from, lb.from)), metres(std::min(la.to, lb.to))));
        }
    return survey;
}

inv::VolumeInversionOptions volumeOptions(const InversionChoice& choice, int threads)
{
    inv::VolumeInversionOptions o;
    static_cast<inv::GaussNewtonOptions&>(o) = choice.options(threads);
    return o;
}

inv::InversionResult sectionUnder(const inv::VolumeResult& result, const SurveyInput::Line& line)
{
    inv::InversionResult r;
    const inv::Volume& v = result.volume;
    inv::Mesh& mesh = r.mesh;
    int row = 0;
    while (row + 1 < v.parameterRows() && v.wallsY[std::size_t(row) + 1] < line.y)
        ++row;
    mesh.columns = v.wallsX;
    mesh.depths.assign(v.depths.begin(), v.depths.begin() + v.layers + 1);
    mesh.reference = v.reference;
    for (const double x : mesh.columns)
        for (const double depth : mesh.depths)
            mesh.nodes.push_back({x, v.surfaceAt(x, line.y) - depth});
    for (int i = 0; i + 1 < int(mesh.columns.size()); ++i)
        for (int k = 0; k < v.layers; ++k) {
            const int cell = mesh.cell(i, k);
            mesh.triangles.push_back({mesh.node(i, k), mesh.node(i + 1, k), mesh.node(i + 1, k + 1)});
            mesh.triangles.push_back({mesh.node(i, k), mesh.node(i + 1, k + 1), mesh.node(i, k + 1)});
            mesh.cellOfTriangle.insert(mesh.cellOfTriangle.end(), {cell, cell});
            const int p = v.parameter(i, row, k);
            mesh.cellOfParameter.push_back(cell);
            r.resistivity.push_back(result.resistivity[std::size_t(p)]);
            r.coverage.push_back(result.coverage[std::size_t(p)]);
            if (result.doi.size() == result.resistivity.size())
                r.doi.push_back(result.doi[std::size_t(p)]);
        }
    mesh.parameterOfCell.resize(mesh.cellOfParameter.size());
    for (std::size_t p = 0; p < mesh.cellOfParameter.size(); ++p)
        mesh.parameterOfCell[std::size_t(mesh.cellOfParameter[p])] = int(p);
    for (std::size_t d = 0; d < result.data.size(); ++d) {
        const inv::SurveyMeasurement& m = result.data[d];
        if (std::abs(m.at[0].y - line.y) > kSamePosition || m.at[0].x < line.from - kSamePosition || m.at[0].x > line.to + kSamePosition)
            continue;
        r.data.push_back(inv::alongLine(m));
        r.response.push_back(result.response[d]);
    }
    mesh.electrodeX = inv::electrodesOf(r.data);
    for (const double x : mesh.electrodeX) {
        const auto at = std::lower_bound(mesh.columns.begin(), mesh.columns.end(), x - kSamePosition) - mesh.columns.begin();
        mesh.electrodeNodes.push_back(mesh.node(int(at), 0));
    }
    r.iterations = result.iterations;
    r.best = result.best;
    r.cancelled = result.cancelled;
    r.background = result.background;
    return r;
}

PlanView planOf(const VolumeSlice& slice, const SurveyInput& input)
{
    PlanView view;
    view.depth = slice.depth;
    view.x = slice.x;
    view.y = slice.y;
    view.rho = slice.rho;
    for (const SurveyInput::Line& l : input.lines)
        view.lines.push_back({l.y, l.from, l.to, l.what, false});
    return view;
}

VolumeSlice sliceAt(const inv::VolumeResult& result, double depth)
{
    VolumeSlice slice;
    slice.depth = depth;
    const inv::Volume& v = result.volume;
    for (int i = 0; i < v.parameterColumns(); ++i)
        slice.x.push_back((v.wallsX[std::size_t(i)] + v.wallsX[std::size_t(i) + 1]) / 2);
    for (int j = 0; j < v.parameterRows(); ++j)
        slice.y.push_back((v.wallsY[std::size_t(j)] + v.wallsY[std::size_t(j) + 1]) / 2);
    int k = 0;
    while (k + 1 < v.layers && v.depths[std::size_t(k) + 1] < depth)
        ++k;
    const bool inside = depth >= 0 && depth <= v.depths[std::size_t(v.layers)];
    for (int j = 0; j < v.parameterRows(); ++j)
        for (int i = 0; i < v.parameterColumns(); ++i)
            slice.rho.push_back(inside ? result.resistivity[std::size_t(v.parameter(i, j, k))] : std::nan(""));
    return slice;
}

std::vector<double> volumeSliceDepths(const inv::VolumeResult& result)
{
    const inv::Volume& v = result.volume;
    const double half = v.depths[std::size_t(v.layers)] / 2;
    std::vector<double> depths;
    for (int k = 1; k <= 4; ++k)
        depths.push_back(roundedDepth(half * k / 4));
    return depths;
}

bool VolumeJob::start(std::vector<MeasurementRecord> records, SurveyGeometry geometry, Exclusions exclusions,
                      InversionChoice choice, int threads)
{
    return run([this, records = std::move(records), geometry = std::move(geometry), exclusions = std::move(exclusions),
                choice, threads](const Post& post) -> std::function<bool()> {
        auto made = std::make_shared<SurveyRun>();
        made->input = surveyInput(records, geometry, exclusions, choice);
        made->result = inv::invertVolume(made->input.data, volumeOptions(choice, threads), [&](const inv::IterationReport& r) {
            post([this, r] { emit iteration(r); });
        }, cancel());
        std::shared_ptr<const SurveyRun> result = std::move(made);
        return [this, result] {
            // Stopped part way, the model of the lowest χ² so far is shown.
            m_result = result;
            return true;
        };
    });
}

} // namespace zel
