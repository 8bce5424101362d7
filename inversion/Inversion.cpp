#include "Inversion.h"

#include "Forward.h"
#include "data/Electrodes.h"
#include "data/Statistics.h"
#include "Memory.h"
#include "Parallel.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <charconv>
#include <iterator>
#include <new>
#include <optional>
#include <string>

namespace zel::inv {

// The roughness of the model as the integral of its squared gradient over
// the section: a difference between neighbouring cells is taken over the
// distance of their centres and counted along the face they share, so a
// pair weighs sqrt(face / distance). Deep cells are tall: their sideways
// differences weigh more and their downward ones less than between the thin
// cells at the surface, which keeps the model from smearing downwards and
// growing lobes beside and below what the data see.
Smoothness smoothness(const Mesh& mesh, double verticalRatio)
{
    Smoothness s;
    const int columns = int(mesh.columns.size()) - 1;
    auto width = [&](int i) { return mesh.columns[std::size_t(i) + 1] - mesh.columns[std::size_t(i)]; };
    auto height = [&](int j) { return mesh.depths[std::size_t(j) + 1] - mesh.depths[std::size_t(j)]; };
    for (int i = 0; i < columns; ++i)
        for (int j = 0; j < mesh.cellRows(); ++j) {
            const int p = mesh.parameterOfCell[std::size_t(mesh.cell(i, j))];
            if (p < 0)
                continue;
            if (i + 1 < columns)
                if (const int q = mesh.parameterOfCell[std::size_t(mesh.cell(i + 1, j))]; q >= 0) {
                    s.pairs.push_back({p, q});
                    s.weight.push_back(std::sqrt(height(j) / ((width(i) + width(i + 1)) / 2)));
                }
            if (j + 1 < mesh.cellRows())
                if (const int q = mesh.parameterOfCell[std::size_t(mesh.cell(i, j + 1))]; q >= 0) {
                    s.pairs.push_back({p, q});
                    s.weight.push_back(verticalRatio * std::sqrt(width(i) / ((height(j) + height(j + 1)) / 2)));
                }
        }
    return s;
}

double smallestSpacing(const std::vector<double>& electrodes)
{
    double spacing = electrodes.back() - electrodes.front();
    for (std::size_t i = 1; i < electrodes.size(); ++i)
        spacing = std::min(spacing, electrodes[i] - electrodes[i - 1]);
    return spacing;
}

std::vector<double> electrodesOf(const std::vector<Measurement>& data)
{
    std::vector<double> x;
    for (const Measurement& m : data)
        x.insert(x.end(), m.x.begin(), m.x.end());
    std::sort(x.begin(), x.end());
    // Positions within a millimetre are one electrode.
    std::vector<double> distinct;
    for (const double v : x)
        if (distinct.empty() || v - distinct.back() > kSamePosition)
            distinct.push_back(v);
    return distinct;
}

InversionResult InversionResult::atIteration(std::size_t index) const
{
    InversionResult r = *this;
    if (index < models.size() && models[index].size() == resistivity.size())
        r.resistivity.assign(models[index].begin(), models[index].end());
    if (index < responses.size() && responses[index].size() == response.size())
        r.response.assign(responses[index].begin(), responses[index].end());
    if (index < iterations.size())
        r.best = index;
    return r;
}

double InversionResult::medianErrorPercent() const
{
    std::vector<double> errors;
    errors.reserve(data.size());
    for (const Measurement& m : data)
        errors.push_back(100 * relativeError(m.error, m.voltage));
    return errors.empty() ? 0 : median(errors);
}

bool InversionResult::misfits() const
{
    return !iterations.empty() && misfitOf(kept(), medianErrorPercent());
}

std::string InversionResult::verdict() const
{
    return iterations.empty() ? std::string() : verdictOf(kept(), medianErrorPercent());
}

std::size_t memoryNeeded(const Mesh& mesh, const std::vector<Measurement>& data, int threads, FactorKind factor)
{
    return ForwardModel::memoryNeeded(mesh, data.size(), electrodesOf(data).size(), threads, factor)
        + data.size() * 8 * sizeof(double);  // the data, their weights, response and residuals
}

namespace {

// The 2.5D forward of a line as the Gauss–Newton sees it. The forward
// itself is made at the first response, after the memory count.
class LineOperator final : public ForwardOperator {
public:
    LineOperator(const Mesh& mesh, const std::vector<Configuration>& configurations, std::size_t sources,
                 double background, const InversionOptions& options, double spacing)
        : m_mesh(mesh)
        , m_configurations(configurations)
        , m_sources(sources)
        , m_options(options)
        , m_spacing(spacing)
        , m_cellRho(std::size_t(mesh.cellCount()), background)
    {
    }
    int parameterCount() const override { return m_mesh.parameterCount(); }
    std::size_t memoryNeeded() const override
    {
        return ForwardModel::memoryNeeded(m_mesh, m_configurations.size(), m_sources, m_options.threads, m_options.factor)
            + m_configurations.size() * 8 * sizeof(double);  // the data, their weights, response and residuals
    }
    Eigen::VectorXd response(const Eigen::VectorXd& m) override
    {
        if (!m_forward) {
            m_forward.emplace(m_mesh, m_configurations, m_options.threads, m_options.factor);
            m_forward->setCancel(m_cancel);
        }
        for (int p = 0; p < parameterCount(); ++p)
            m_cellRho[std::size_t(m_mesh.cellOfParameter[std::size_t(p)])] = std::exp(m(p));
        m_forward->solve(m_cellRho);  // stopped, it keeps the last model's response
        return logResponse(m_forward->apparentResistivity());
    }
    Sensitivities jacobian() override { return m_forward->jacobian(); }
    Smoothness smoothness(double verticalRatio) const override { return zel::inv::smoothness(m_mesh, verticalRatio); }
    double parameterShare(int p) const override
    {
        return m_mesh.cellArea(m_mesh.cellOfParameter[std::size_t(p)]) / (m_spacing * m_spacing);
    }
    void setCancel(const std::atomic<bool>* cancel) override
    {
        m_cancel = cancel;
        if (m_forward)
            m_forward->setCancel(cancel);
    }

private:
    const Mesh& m_mesh;
    const std::vector<Configuration>& m_configurations;
    std::size_t m_sources;
    const InversionOptions& m_options;
    double m_spacing;
    std::vector<double> m_cellRho;
    std::optional<ForwardModel> m_forward;
    const std::atomic<bool>* m_cancel = nullptr;
};

InversionResult run(const std::vector<Measurement>& input, const InversionOptions& options,
                    const std::function<void(const IterationReport&)>& progress, const std::atomic<bool>* cancel,
                    std::size_t& needed, std::size_t& available)
{
    const auto started = std::chrono::steady_clock::now();
    InversionResult result;
    for (const Measurement& m : input) {
        for (const double x : m.x)
            if (!std::isfinite(x))
                throw InversionRefused("an electrode's position is not a number");
        if (m.rhoa >= kLeastRhoa && m.rhoa <= kLargestRhoa && std::isfinite(m.k) && m.k != 0)
            result.data.push_back(m);
        else
            ++result.leftOut;
    }
    for (const Measurement& m : result.data)
        if (!(m.error >= 0) || !std::isfinite(m.error))
            throw InversionRefused("a datum's error is not a number");
    const std::vector<Measurement>& data = result.data;
    const std::vector<double> electrodes = electrodesOf(data);
    if (electrodes.size() < 4)
        throw InversionRefused("fewer than 4 electrodes");
    if (data.size() < 4)
        throw InversionRefused("fewer than 4 data");

    // The parameter region reaches kParameterDepthFactor times the deepest
    // median depth.
    MeshOptions meshOptions = options.mesh;
    if (meshOptions.parameterDepth <= 0) {
        double deepest = 0;
        for (const Measurement& m : data)
            if (std::isfinite(m.depth))
                deepest = std::max(deepest, m.depth);
        if (deepest <= 0)
            deepest = (electrodes.back() - electrodes.front()) / 5;
        meshOptions.parameterDepth = kParameterDepthFactor * deepest;
    }
    result.mesh = makeMesh(electrodes, options.elevations, meshOptions);
    const Mesh& mesh = result.mesh;
    const int parameters = mesh.parameterCount();
    if (parameters == 0)
        throw InversionRefused("no cell under the line");

    std::vector<Configuration> configurations;
    configurations.reserve(data.size());
    auto electrodeAt = [&](double x) {
        return int(std::lower_bound(electrodes.begin(), electrodes.end(), x - kSamePosition) - electrodes.begin());
    };
    for (const Measurement& m : data)
        configurations.push_back({{electrodeAt(m.x[0]), electrodeAt(m.x[1]), electrodeAt(m.x[2]), electrodeAt(m.x[3])}, m.k});

    const Eigen::Index n = Eigen::Index(data.size());
    Eigen::VectorXd d(n), weight(n);
    std::vector<double> rhoas;
    for (Eigen::Index i = 0; i < n; ++i) {
        const Measurement& m = data[std::size_t(i)];
        d(i) = std::log(m.rhoa);
        weight(i) = 1 / relativeError(m.error, m.voltage);
        rhoas.push_back(m.rhoa);
    }
    result.background = median(rhoas);
    Eigen::VectorXd base;
    if (!options.base.empty()) {
        if (int(options.base.size()) != parameters)
            throw InversionRefused("the base model was made on another mesh");
        base.resize(parameters);
        for (int p = 0; p < parameters; ++p)
            base(p) = std::log(std::clamp(options.base[std::size_t(p)], kLeastRhoa, kLargestRhoa));
        if (options.baseBackground > 0)
            result.background = options.baseBackground;
    }
    const double start = options.reference > 0 ? options.reference : result.background;
    LineOperator forward(mesh, configurations, electrodes.size(), result.background, options,
                         smallestSpacing(electrodes));
    GaussNewton gaussNewton(forward, options);
    const double background = result.background;
    const double meshTime = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    try {
        static_cast<Fit&>(result) = gaussNewton.run(
            d, weight, base.size() > 0 ? base : Eigen::VectorXd::Constant(parameters, std::log(start)), base, progress, cancel);
    } catch (...) {
        needed = gaussNewton.needed();
        available = gaussNewton.available();
        throw;
    }
    result.background = background;
    result.times.mesh += meshTime;
    return result;
}

} // namespace

InversionResult invert(const std::vector<Measurement>& input, const InversionOptions& options,
                       const std::function<void(const IterationReport&)>& progress, const std::atomic<bool>* cancel)
{
    std::size_t needed = 0, available = 0;
    try {
        return run(input, options, progress, cancel, needed, available);
    } catch (const std::bad_alloc&) {
        // The estimate fell short, or others took the memory meanwhile:
        // what was made is gone again, and the line is refused as one the
        // memory cannot hold.
        throw MemoryRefused(needed > available ? needed : 0, needed > 0 ? available : availableMemory());
    }
}

} // namespace zel::inv
