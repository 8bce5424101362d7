#include "AllLines.h"

#include <QCoreApplication>

#include "texts/Texts.h"

#include "data/ZelError.h"
#include "inversion/Depth.h"
#include "survey/Plots.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <set>

namespace zel {

namespace {

// The module's texts: translated in the context of the namespace.
QString tr(const char* text) { return QCoreApplication::translate("zel", text); }

} // namespace

std::vector<Profile> surveyLines(const std::vector<MeasurementRecord>& records)
{
    const std::vector<Profile> files = pseudosectionProfiles(records);
    std::vector<Profile> lines;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const bool several = (i > 0 && files[i - 1].line == files[i].line)
            || (i + 1 < files.size() && files[i + 1].line == files[i].line);
        const Profile p = several ? Profile{files[i].line, Profile::kWholeLine} : files[i];
        if (lines.empty() || lines.back() != p)
            lines.push_back(p);
    }
    return lines;
}

double lineY(const SurveyGeometry& geometry, const std::vector<Profile>& files, const Profile& line)
{
    const auto first = std::find_if(files.begin(), files.end(), [&](const Profile& f) { return line.holds(f); });
    return geometry.of(first == files.end() ? line : *first).y;
}

LinesRun invertLines(const std::vector<MeasurementRecord>& records, const SurveyGeometry& geometry,
                     const Exclusions& exclusions, const InversionChoice& choice, int threads,
                     const std::function<void(int line, int count, const inv::IterationReport&)>& progress,
                     const std::atomic<bool>* cancel)
{
    LinesRun run;
    const std::vector<Profile> lines = surveyLines(records);
    const std::vector<Profile> files = profilesOf(records);
    const ExportChoice left = choice.dataChoice(exclusions);
    // The memory's values and checks once, for every line.
    const std::vector<ChannelValue> values = surveyValues(records, geometry);
    const std::vector<ValueCheck> checks = checkValues(records, values, geometry.thresholds);
    for (std::size_t i = 0; i < lines.size() && !(cancel && *cancel); ++i) {
        const Profile& p = lines[i];
        LineSection line{p, lineY(geometry, files, p), profileName(p), {}, {}};
        try {
            SectionInput input = profileInput(records, values, checks, geometry, p, left);
            if (input.data.empty()) {
                run.skipped.emplace_back(line.what, whyNoData(records, geometry, p, left));
                continue;
            }
            inv::InversionOptions options = choice.options(threads);
            options.elevations = std::move(input.elevations);
            line.result = inv::invert(input.data, options, [&](const inv::IterationReport& r) {
                if (progress)
                    progress(int(i), int(lines.size()), r);
            }, cancel);
        } catch (const inv::InversionStopped&) {
            break;
        } catch (const ZelError& e) {
            run.skipped.emplace_back(line.what, texts::errorText(e));
            continue;
        } catch (const inv::MemoryRefused& e) {
            run.skipped.emplace_back(line.what, texts::inversionNeedsMemory(e.needed(), e.available()));
            continue;
        } catch (const inv::InversionRefused& e) {
            run.skipped.emplace_back(line.what, texts::inversionRefusal(e.what()));
            continue;
        } catch (const std::bad_alloc&) {
            run.skipped.emplace_back(line.what, tr("не хватает памяти"));
            continue;
        } catch (const std::exception& e) {
            // A system that cannot be factorised, or a fault of this line's
            // data: the other lines go on.
            run.skipped.emplace_back(line.what, QString::fromStdString(e.what()));
            continue;
        }
        if (line.result.cancelled && line.result.iterations.empty())
            break;
        line.sensitivity = inv::sensitivityDepths(line.result.mesh, inv::relativeSensitivity(line.result),
                                                  inv::kSensitivityThreshold);
        run.lines.push_back(std::move(line));
    }
    run.cancelled = cancel && *cancel;
    return run;
}

double resistivityAtDepth(const inv::InversionResult& r, double x, double depth)
{
    const inv::Mesh& mesh = r.mesh;
    const std::vector<double>& cx = mesh.columns;
    const auto right = std::upper_bound(cx.begin(), cx.end(), x);
    if (right == cx.begin() || right == cx.end() || mesh.parameterCount() == 0)
        return std::nan("");
    const int i = int(right - cx.begin()) - 1;
    const double share = (x - cx[std::size_t(i)]) / (cx[std::size_t(i) + 1] - cx[std::size_t(i)]);
    const double ground = mesh.nodes[std::size_t(mesh.node(i, 0))].z * (1 - share)
        + mesh.nodes[std::size_t(mesh.node(i + 1, 0))].z * share;
    const int cell = mesh.cellAt({x, ground - depth});
    const int p = cell < 0 ? -1 : mesh.parameterOfCell[std::size_t(cell)];
    return p < 0 ? std::nan("") : r.resistivity[std::size_t(p)];
}

PlanView planView(const std::vector<LineSection>& given, double depth, int columns, int rows)
{
    PlanView view;
    view.depth = depth;
    // The lines across that fit their data, each Y once; the others said.
    std::vector<const LineSection*> lines;
    std::vector<const LineSection*> traces;  // left out, drawn as their trace
    for (const LineSection& l : given) {
        if (l.result.mesh.parameterCount() == 0) {
            view.leftOut.emplace_back(l.what, tr("нет разреза"));
        } else if (!l.fits()) {
            view.leftOut.emplace_back(l.what, tr("её модель не объясняет данные (χ² %1)")
                                                  .arg(l.result.kept().chi2, 0, 'f', 2));
            traces.push_back(&l);
        } else {
            lines.push_back(&l);
        }
    }
    std::stable_sort(lines.begin(), lines.end(), [](const LineSection* a, const LineSection* b) { return a->y < b->y; });
    for (std::size_t i = 1; i < lines.size();) {
        if (lines[i]->y == lines[i - 1]->y) {
            view.leftOut.emplace_back(lines[i]->what, tr("она лежит на Y линии %1 (%2 м)").arg(lines[i - 1]->what).arg(lines[i]->y));
            traces.push_back(lines[i]);
            lines.erase(lines.begin() + std::ptrdiff_t(i));
        } else {
            ++i;
        }
    }
    for (const LineSection* l : traces) {
        const std::vector<double> x = inv::electrodesOf(l->result.data);
        if (!x.empty())
            view.lines.push_back({l->y, x.front(), x.back(), l->what, true});
    }
    if (lines.empty())
        return view;
    double deepest = 0;
    for (const LineSection* l : lines)
        for (const inv::ColumnDepth& c : l->sensitivity)
            deepest = std::max(deepest, c.depth);
    view.belowSensitivity = depth > deepest;
    double from = std::numeric_limits<double>::max(), to = std::numeric_limits<double>::lowest();
    for (const LineSection* l : lines) {
        const std::vector<double> x = inv::electrodesOf(l->result.data);
        view.lines.push_back({l->y, x.front(), x.back(), l->what, false});
        from = std::min(from, x.front());
        to = std::max(to, x.back());
    }
    columns = std::max(columns, 2);
    rows = lines.size() > 1 ? std::max(rows, 2) : 1;
    for (int i = 0; i < columns; ++i)
        view.x.push_back(from + (to - from) * i / (columns - 1));
    const double y0 = lines.front()->y, y1 = lines.back()->y;
    for (int j = 0; j < rows; ++j)
        view.y.push_back(rows == 1 ? y0 : y0 + (y1 - y0) * j / (rows - 1));
    // Each line's resistivity along the grid's columns, then between the lines in log ρ.
    std::vector<std::vector<double>> along(lines.size());
    for (std::size_t l = 0; l < lines.size(); ++l)
        for (const double x : view.x)
            along[l].push_back(resistivityAtDepth(lines[l]->result, x, depth));
    view.rho.reserve(view.x.size() * view.y.size());
    for (const double y : view.y) {
        std::size_t b = 0;
        while (b + 1 < lines.size() && lines[b + 1]->y < y)
            ++b;
        const std::size_t a = b, c = std::min(b + 1, lines.size() - 1);
        const double share = c == a ? 0 : std::clamp((y - lines[a]->y) / (lines[c]->y - lines[a]->y), 0.0, 1.0);
        for (std::size_t i = 0; i < view.x.size(); ++i) {
            const double ra = along[a][i], rc = along[c][i];
            view.rho.push_back(share <= 0 ? ra : share >= 1 ? rc : std::exp(std::log(ra) * (1 - share) + std::log(rc) * share));
        }
    }
    return view;
}

bool linesApart(const std::vector<LineSection>& lines)
{
    std::set<double> ys;
    for (const LineSection& l : lines)
        ys.insert(l.y);
    return ys.size() > 1;
}

std::vector<double> sliceDepths(const std::vector<LineSection>& lines)
{
    std::vector<double> seen;
    for (const LineSection& l : lines)
        if (l.fits())
            for (const inv::ColumnDepth& c : l.sensitivity)
                seen.push_back(c.depth);
    if (seen.empty())
        return {};
    std::nth_element(seen.begin(), seen.begin() + std::ptrdiff_t(seen.size() / 2), seen.end());
    const double median = seen[seen.size() / 2];
    std::vector<double> depths;
    for (int k = 1; k <= 4; ++k)
        depths.push_back(roundedDepth(median * k / 5));
    return depths;
}

double roundedDepth(double depth)
{
    const double step = std::pow(10.0, std::floor(std::log10(depth)) - 1);  // two significant digits
    return std::round(depth / step) * step;
}

bool LinesJob::start(std::vector<MeasurementRecord> records, SurveyGeometry geometry, Exclusions exclusions,
                     InversionChoice choice, int threads)
{
    return run([this, records = std::move(records), geometry = std::move(geometry), exclusions = std::move(exclusions),
                choice, threads](const Post& post) -> std::function<bool()> {
        auto result = std::make_shared<const LinesRun>(invertLines(records, geometry, exclusions, choice, threads,
            [&](int line, int count, const inv::IterationReport& r) { post([this, line, count, r] { emit iteration(line, count, r); }); },
            cancel()));
        return [this, result] {
            // A run stopped part way is not shown: the one before stays.
            if (result->cancelled)
                return false;
            m_result = result;
            return true;
        };
    });
}

} // namespace zel
