#include "VolumeInversion.h"

#include "Inversion.h"
#include "Memory.h"
#include "VolumeForward.h"

#include "Depth.h"

#include "data/Electrodes.h"
#include "data/Statistics.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <new>
#include <optional>

namespace zel::inv {

namespace {

// The data's electrodes, distinct by their place in plan (a millimetre
// apart at least), and each datum's four as indices among them.
struct Electrodes {
    std::vector<Point3> points;
    std::vector<Configuration> configurations;
};

Electrodes electrodesOf(const std::vector<SurveyMeasurement>& data)
{
    Electrodes e;
    std::map<std::pair<long long, long long>, int> seen;
    auto key = [](const Point3& p) { return std::pair{std::llround(p.x / kSamePosition), std::llround(p.y / kSamePosition)}; };
    for (const SurveyMeasurement& m : data) {
        Configuration c;
        for (std::size_t i = 0; i < 4; ++i) {
            const auto [at, added] = seen.emplace(key(m.at[i]), int(e.points.size()));
            if (added)
                e.points.push_back(m.at[i]);
            c.abmn[i] = at->second;
        }
        c.k = m.k;
        e.configurations.push_back(c);
    }
    return e;
}

// The smoothness of a volume's parameter cells: first differences between
// neighbours along x, across y and down, each weighted as the integral of
// the squared gradient (the face they share over the distance of their
// centres, over the spacing).
Smoothness volumeSmoothness(const Volume& v, double verticalRatio)
{
    Smoothness s;
    const int columns = v.parameterColumns(), rows = v.parameterRows();
    auto size = [](const std::vector<double>& w, int i) { return w[std::size_t(i) + 1] - w[std::size_t(i)]; };
    auto layer = [&](int k) { return size(v.depths, k); };
    for (int i = 0; i < columns; ++i)
        for (int j = 0; j < rows; ++j)
            for (int k = 0; k < v.layers; ++k) {
                const int p = v.parameter(i, j, k);
                const double dx = size(v.wallsX, i), dy = size(v.wallsY, j), dz = layer(k);
                if (i + 1 < columns) {
                    s.pairs.push_back({p, v.parameter(i + 1, j, k)});
                    s.weight.push_back(std::sqrt(dy * dz / ((dx + size(v.wallsX, i + 1)) / 2) / v.spacing));
                }
                if (j + 1 < rows) {
                    s.pairs.push_back({p, v.parameter(i, j + 1, k)});
                    s.weight.push_back(std::sqrt(dx * dz / ((dy + size(v.wallsY, j + 1)) / 2) / v.spacing));
                }
                if (k + 1 < v.layers) {
                    s.pairs.push_back({p, v.parameter(i, j, k + 1)});
                    s.weight.push_back(verticalRatio * std::sqrt(dx * dy / ((dz + layer(k + 1)) / 2) / v.spacing));
                }
            }
    return s;
}

// The 3D forward as the Gauss–Newton sees it; made at the first response,
// after the memory count.
class VolumeOperator final : public ForwardOperator {
public:
    VolumeOperator(const Volume& volume, const std::vector<Configuration>& configurations, double background, int threads)
        : m_volume(volume)
        , m_configurations(configurations)
        , m_threads(threads)
        , m_cellRho(std::size_t(volume.cellCount()), background)
    {
    }
    int parameterCount() const override { return m_volume.parameterCount(); }
    std::size_t memoryNeeded() const override
    {
        std::vector<char> source(m_volume.electrodeNodes.size(), 0);
        for (const Configuration& c : m_configurations)
            for (const int e : c.abmn)
                source[std::size_t(e)] = 1;
        return VolumeForward::memoryNeeded(m_volume, m_configurations.size(), std::size_t(std::count(source.begin(), source.end(), 1)), m_threads)
            + m_configurations.size() * 8 * sizeof(double);
    }
    Eigen::VectorXd response(const Eigen::VectorXd& m) override
    {
        if (!m_forward) {
            m_forward.emplace(m_volume, m_configurations, m_threads);
            m_forward->setCancel(m_cancel);
        }
        for (int p = 0; p < parameterCount(); ++p)
            for (const int c : m_volume.cellsOfParameter[std::size_t(p)])
                m_cellRho[std::size_t(c)] = std::exp(m(p));
        m_forward->solve(m_cellRho);
        return logResponse(m_forward->apparentResistivity());
    }
    Sensitivities jacobian() override { return m_forward->jacobian(); }
    Smoothness smoothness(double verticalRatio) const override { return volumeSmoothness(m_volume, verticalRatio); }
    double parameterShare(int p) const override
    {
        return m_volume.parameterVolume(p) / (m_volume.spacing * m_volume.spacing * m_volume.spacing);
    }
    void setCancel(const std::atomic<bool>* cancel) override
    {
        m_cancel = cancel;
        if (m_forward)
            m_forward->setCancel(cancel);
    }
    std::string subject() const override { return "this survey"; }

private:
    const Volume& m_volume;
    const std::vector<Configuration>& m_configurations;
    int m_threads;
    std::vector<double> m_cellRho;
    std::optional<VolumeForward> m_forward;
    const std::atomic<bool>* m_cancel = nullptr;
};

// The data an inversion takes, those it leaves out counted; refuses data
// it cannot invert.
std::vector<SurveyMeasurement> usable(const std::vector<SurveyMeasurement>& input, int& leftOut)
{
    std::vector<SurveyMeasurement> data;
    for (const SurveyMeasurement& m : input) {
        for (const Point3& p : m.at)
            if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
                throw InversionRefused("an electrode's position is not a number");
        if (m.rhoa >= kLeastRhoa && m.rhoa <= kLargestRhoa && std::isfinite(m.k) && m.k != 0)
            data.push_back(m);
        else
            ++leftOut;
    }
    for (const SurveyMeasurement& m : data)
        if (!(m.error >= 0) || !std::isfinite(m.error))
            throw InversionRefused("a datum's error is not a number");
    if (data.size() < 4)
        throw InversionRefused("fewer than 4 data");
    return data;
}

VolumeOptions volumeOptionsFor(const std::vector<SurveyMeasurement>& data, const VolumeInversionOptions& options)
{
    VolumeOptions o = options.volume;
    if (o.parameterDepth <= 0) {
        double deepest = 0;
        for (const SurveyMeasurement& m : data)
            if (std::isfinite(m.depth))
                deepest = std::max(deepest, m.depth);
        if (deepest > 0)
            o.parameterDepth = kParameterDepthFactor * deepest;
    }
    return o;
}

} // namespace

Measurement alongLine(const SurveyMeasurement& m)
{
    Measurement l;
    for (std::size_t i = 0; i < 4; ++i)
        l.x[i] = m.at[i].x;
    l.k = m.k;
    l.rhoa = m.rhoa;
    l.error = m.error;
    l.voltage = m.voltage;
    l.depth = m.depth;
    l.tag = m.tag;
    return l;
}

double VolumeResult::medianErrorPercent() const
{
    std::vector<double> errors;
    for (const SurveyMeasurement& m : data)
        errors.push_back(100 * relativeError(m.error, m.voltage));
    return median(errors);
}

bool VolumeResult::misfits() const
{
    return !iterations.empty() && misfitOf(kept(), medianErrorPercent());
}

std::string VolumeResult::verdict() const
{
    return iterations.empty() ? std::string() : verdictOf(kept(), medianErrorPercent());
}

std::size_t volumeMemoryNeeded(const std::vector<SurveyMeasurement>& input, const VolumeInversionOptions& options)
{
    int leftOut = 0;
    const std::vector<SurveyMeasurement> data = usable(input, leftOut);
    const Electrodes e = electrodesOf(data);
    const Volume volume = makeVolume(e.points, volumeOptionsFor(data, options));
    return VolumeOperator(volume, e.configurations, 1, options.threads).memoryNeeded();
}

VolumeResult invertVolume(const std::vector<SurveyMeasurement>& input, const VolumeInversionOptions& options,
                          const std::function<void(const IterationReport&)>& progress, const std::atomic<bool>* cancel)
{
    VolumeResult result;
    result.data = usable(input, result.leftOut);
    const Electrodes e = electrodesOf(result.data);
    if (e.points.size() < 4)
        throw InversionRefused("fewer than 4 electrodes");
    result.volume = makeVolume(e.points, volumeOptionsFor(result.data, options));
    const Volume& volume = result.volume;
    if (volume.parameterCount() == 0)
        throw InversionRefused("no cell under the lines");
    const Eigen::Index n = Eigen::Index(result.data.size());
    Eigen::VectorXd d(n), weight(n);
    std::vector<double> rhoas;
    for (Eigen::Index i = 0; i < n; ++i) {
        const SurveyMeasurement& m = result.data[std::size_t(i)];
        d(i) = std::log(m.rhoa);
        weight(i) = 1 / relativeError(m.error, m.voltage);
        rhoas.push_back(m.rhoa);
    }
    const double background = median(rhoas);
    const double start = options.reference > 0 ? options.reference : background;
    VolumeOperator forward(volume, e.configurations, start, options.threads);
    GaussNewton gaussNewton(forward, options);
    try {
        static_cast<Fit&>(result) =
            gaussNewton.run(d, weight, Eigen::VectorXd::Constant(volume.parameterCount(), std::log(start)), {}, progress, cancel);
    } catch (const std::bad_alloc&) {
        const std::size_t needed = gaussNewton.needed(), available = gaussNewton.available();
        throw MemoryRefused(needed > available ? needed : 0, needed > 0 ? available : availableMemory(), "this survey");
    }
    result.background = start;
    return result;
}

std::vector<double> volumeDoiIndex(const VolumeResult& result, const VolumeInversionOptions& options,
                                   const std::function<void(int run, const IterationReport&)>& progress,
                                   const std::atomic<bool>* cancel, double low, double high)
{
    const Volume& v = result.volume;
    if (v.parameterCount() == 0 || !(low > 0) || !(high > 0) || low == high)
        return {};
    // The two runs reach deeper than the volume, on the same walls and the
    // same layers down to its bottom: its cell (i, j, k) is theirs.
    VolumeInversionOptions deeper = options;
    deeper.volume.parameterDepth = kDoiRegionFactor * v.depths[std::size_t(v.layers)];
    deeper.volume.apron = v.apron;
    const std::array<double, 2> references{low * result.background, high * result.background};
    std::array<VolumeResult, 2> runs;
    try {
        for (std::size_t i = 0; i < 2; ++i) {
            VolumeInversionOptions o = deeper;
            o.reference = references[i];
            runs[i] = invertVolume(result.data, o, [&](const IterationReport& r) {
                if (progress)
                    progress(int(i) + 1, r);
            }, cancel);
        }
    } catch (const InversionStopped&) {
        return {};
    }
    const Volume& deep = runs[0].volume;
    if ((cancel && cancel->load()) || deep.parameterColumns() != v.parameterColumns() || deep.parameterRows() != v.parameterRows()
        || deep.layers < v.layers)
        return {};
    const double span = std::log(references[0]) - std::log(references[1]);
    std::vector<double> raw(runs[0].resistivity.size());
    for (std::size_t p = 0; p < raw.size(); ++p)
        raw[p] = (std::log(runs[0].resistivity[p]) - std::log(runs[1].resistivity[p])) / span;
    // Averaged with the neighbours, scaled by the largest, never below 0.
    std::vector<double> smooth(raw.size());
    double largest = 0;
    for (int i = 0; i < deep.parameterColumns(); ++i)
        for (int j = 0; j < deep.parameterRows(); ++j)
            for (int k = 0; k < deep.layers; ++k) {
                double sum = 0;
                int count = 0;
                for (int di = -1; di <= 1; ++di)
                    for (int dj = -1; dj <= 1; ++dj)
                        for (int dk = -1; dk <= 1; ++dk) {
                            const int a = i + di, b = j + dj, c = k + dk;
                            if (a < 0 || b < 0 || c < 0 || a >= deep.parameterColumns() || b >= deep.parameterRows() || c >= deep.layers)
                                continue;
                            sum += raw[std::size_t(deep.parameter(a, b, c))];
                            ++count;
                        }
                const double value = sum / count;
                smooth[std::size_t(deep.parameter(i, j, k))] = value;
                largest = std::max(largest, std::abs(value));
            }
    std::vector<double> index(result.resistivity.size(), 0.0);
    for (int i = 0; i < v.parameterColumns(); ++i)
        for (int j = 0; j < v.parameterRows(); ++j)
            for (int k = 0; k < v.layers; ++k)
                if (largest > 0)
                    index[std::size_t(v.parameter(i, j, k))] = std::max(0.0, smooth[std::size_t(deep.parameter(i, j, k))] / largest);
    return index;
}

} // namespace zel::inv
