#include "Inversion.h"

#include "Forward.h"
#include "data/Electrodes.h"
#include "Memory.h"
#include "Parallel.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <charconv>
#include <iterator>
#include <new>
#include <string>

namespace zel::inv {

namespace {

// The relative error of a datum: its own, and 1 µV of the voltage read.
double errorOf(const Measurement& m)
{
    const double floor = m.voltage > 0 ? 1e-3 / m.voltage : 0;
    return std::max(m.error, 1e-4) + floor;
}

// A number with `digits` decimals and a full stop, whatever the locale.
std::string fixed(double v, int digits)
{
    char text[512];  // the largest double has 309 digits
    const auto [end, ec] = std::to_chars(std::begin(text), std::end(text), v, std::chars_format::fixed, digits);
    return ec == std::errc() ? std::string(text, end) : std::string("inf");
}

// An amount of memory in the unit that suits `scale`: GB with a decimal
// from 1 GB, MB below.
std::string memoryText(std::size_t bytes, std::size_t scale)
{
    return scale >= 1'000'000'000 ? fixed(double(bytes) / 1e9, 1) + " GB" : fixed(double(bytes) / 1e6, 0) + " MB";
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// The model's roughness: first differences between neighbouring parameter
// cells, each row one pair; and with a reference model, its distance from
// it, cell by cell.
struct Smoothness {
    std::vector<std::array<int, 2>> pairs;
    std::vector<double> weight;
    Eigen::VectorXd smallness;  // per parameter, the squared weight of m − reference; empty: none
    Eigen::VectorXd reference;
    Eigen::VectorXd base;       // a time-lapse base model: the roughness is that of m − base; empty: none

    // ‖Wm m‖², the model's share of the objective
    double value(const Eigen::VectorXd& model) const
    {
        const Eigen::VectorXd m = base.size() > 0 ? Eigen::VectorXd(model - base) : model;
        double sum = 0;
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            const double d = weight[i] * (m(pairs[i][1]) - m(pairs[i][0]));
            sum += d * d;
        }
        if (smallness.size() > 0)
            sum += smallness.dot((model - reference).cwiseAbs2());
        return sum;
    }
    // Wmᵀ Wm v, the operator of the normal equations
    Eigen::VectorXd normal(const Eigen::VectorXd& v) const
    {
        Eigen::VectorXd out = Eigen::VectorXd::Zero(v.size());
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            const double d = weight[i] * weight[i] * (v(pairs[i][1]) - v(pairs[i][0]));
            out(pairs[i][1]) += d;
            out(pairs[i][0]) -= d;
        }
        if (smallness.size() > 0)
            out += smallness.cwiseProduct(v);
        return out;
    }
    // half the gradient of value() at m
    Eigen::VectorXd gradient(const Eigen::VectorXd& m) const
    {
        Eigen::VectorXd g = normal(base.size() > 0 ? Eigen::VectorXd(m - base) : m);
        if (smallness.size() > 0)
            g += smallness.cwiseProduct(m - reference) - smallness.cwiseProduct(base.size() > 0 ? m - base : m);
        return g;
    }
};

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

// J v and Jᵀ u, in the sensitivities' single precision, rows shared
// among the threads.
Eigen::VectorXd times(const Sensitivities& J, const Eigen::VectorXd& v, int threads)
{
    const Eigen::VectorXf x = v.cast<float>();
    Eigen::VectorXf out(J.rows());
    const Eigen::Index step = (J.rows() + threads - 1) / threads;
    parallelFor(std::size_t(threads), threads, [&](std::size_t t) {
        const Eigen::Index first = Eigen::Index(t) * step, count = std::min(step, J.rows() - first);
        if (count > 0)
            out.segment(first, count).noalias() = J.middleRows(first, count) * x;
    });
    return out.cast<double>();
}

// Jᵀ u sums the rows' shares in blocks of a fixed count, whatever the
// threads: the same data give the same model on any computer.
constexpr int kRowBlocks = 16;
Eigen::VectorXd timesTransposed(const Sensitivities& J, const Eigen::VectorXd& u, int threads)
{
    const Eigen::VectorXf y = u.cast<float>();
    std::vector<Eigen::VectorXf> parts(std::size_t(kRowBlocks), Eigen::VectorXf::Zero(J.cols()));
    const Eigen::Index step = (J.rows() + kRowBlocks - 1) / kRowBlocks;
    parallelFor(std::size_t(kRowBlocks), threads, [&](std::size_t t) {
        const Eigen::Index first = Eigen::Index(t) * step, count = std::min(step, J.rows() - first);
        if (count > 0)
            parts[t].noalias() = J.middleRows(first, count).transpose() * y.segment(first, count);
    });
    Eigen::VectorXd out = Eigen::VectorXd::Zero(J.cols());
    for (const Eigen::VectorXf& part : parts)
        out += part.cast<double>();
    return out;
}

// Conjugate gradients on (Jᵀ D J + λ WmᵀWm) x = b, D diagonal, with the
// system's diagonal as preconditioner. A Gauss–Newton step needs its
// direction and size to a per cent, no more (the line search and the next
// iteration take the rest): it stops once the residual is kStepTolerance of
// b's, or when the inversion is stopped.
constexpr double kStepTolerance = 1e-2;
Eigen::VectorXd conjugateGradients(const Sensitivities& J, const Eigen::VectorXd& D, const Smoothness& wm,
                                   double lambda, const Eigen::VectorXd& b, const std::atomic<bool>* cancel, int threads)
{
    auto apply = [&](const Eigen::VectorXd& v) -> Eigen::VectorXd {
        const Eigen::VectorXd Jv = times(J, v, threads);
        return timesTransposed(J, D.cwiseProduct(Jv), threads) + lambda * wm.normal(v);
    };
    // The diagonal: Σ D J² of each column, and λ times the weights of its
    // differences and its smallness.
    Eigen::VectorXd diagonal = Eigen::VectorXd::Zero(J.cols());
    for (Eigen::Index d = 0; d < J.rows(); ++d)
        diagonal += D(d) * J.row(d).transpose().cast<double>().cwiseAbs2();
    for (std::size_t i = 0; i < wm.pairs.size(); ++i)
        for (const int end : wm.pairs[i])
            diagonal(end) += lambda * wm.weight[i] * wm.weight[i];
    if (wm.smallness.size() > 0)
        diagonal += lambda * wm.smallness;
    const Eigen::VectorXd inverse = diagonal.cwiseMax(1e-300).cwiseInverse();
    Eigen::VectorXd x = Eigen::VectorXd::Zero(b.size());
    Eigen::VectorXd r = b;
    Eigen::VectorXd z = inverse.cwiseProduct(r);
    Eigen::VectorXd p = z;
    double rz = r.dot(z);
    const double stop = kStepTolerance * kStepTolerance * b.squaredNorm();
    for (int it = 0; it < 300 && r.squaredNorm() > stop && !(cancel && cancel->load()); ++it) {
        const Eigen::VectorXd Ap = apply(p);
        const double alpha = rz / p.dot(Ap);
        x += alpha * p;
        r -= alpha * Ap;
        z = inverse.cwiseProduct(r);
        const double next = r.dot(z);
        p = z + (next / rz) * p;
        rz = next;
    }
    return x;
}

double smallestSpacing(const std::vector<double>& electrodes)
{
    double spacing = electrodes.back() - electrodes.front();
    for (std::size_t i = 1; i < electrodes.size(); ++i)
        spacing = std::min(spacing, electrodes[i] - electrodes[i - 1]);
    return spacing;
}

} // namespace

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

MemoryRefused::MemoryRefused(std::size_t needed, std::size_t available)
    : InversionRefused(needed > 0 ? "this line needs about " + memoryText(needed, needed) + "; "
                                       + memoryText(available, needed) + " are free"
                                 : "not enough memory for this line; " + memoryText(available, available) + " are free")
    , m_needed(needed)
    , m_available(available)
{
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

std::size_t InversionResult::lowest() const
{
    std::size_t found = 0;
    for (std::size_t i = 1; i < iterations.size(); ++i)
        if (iterations[i].chi2 < iterations[found].chi2)
            found = i;
    return found;
}

double InversionResult::medianErrorPercent() const
{
    std::vector<double> errors;
    errors.reserve(data.size());
    for (const Measurement& m : data)
        errors.push_back(100 * errorOf(m));
    return errors.empty() ? 0 : median(errors);
}

bool InversionResult::misfits() const
{
    if (iterations.empty())
        return false;
    const IterationReport& r = kept();
    return !(r.chi2 <= kHonestChi2) || !(r.rrms <= kHonestRrmsFactor * medianErrorPercent());
}

std::string InversionResult::verdict() const
{
    if (!misfits())
        return {};
    return "the model does not explain the data: chi² " + fixed(kept().chi2, 2) + " (at most " + fixed(kHonestChi2, 0)
        + " for a fit), RRMS " + fixed(kept().rrms, 2) + " % (at most " + fixed(kHonestRrmsFactor, 0)
        + " times the data's median error of " + fixed(medianErrorPercent(), 2) + " %)";
}

std::size_t memoryNeeded(const Mesh& mesh, const std::vector<Measurement>& data, int threads, FactorKind factor)
{
    return ForwardModel::memoryNeeded(mesh, data.size(), electrodesOf(data).size(), threads, factor)
        + data.size() * 8 * sizeof(double);  // the data, their weights, response and residuals
}

namespace {

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
    auto lap = [last = std::chrono::steady_clock::now()]() mutable {
        const auto now = std::chrono::steady_clock::now();
        const double s = std::chrono::duration<double>(now - last).count();
        last = now;
        return s;
    };
    result.mesh = makeMesh(electrodes, options.elevations, meshOptions);
    const Mesh& mesh = result.mesh;
    const int parameters = mesh.parameterCount();
    if (parameters == 0)
        throw InversionRefused("no cell under the line");
    // A line the memory cannot hold is refused before anything large is made.
    needed = memoryNeeded(mesh, data, options.threads, options.factor);
    available = options.memory > 0 ? options.memory : availableMemory();
    if (needed > available)
        throw MemoryRefused(needed, available);

    std::vector<Configuration> configurations;
    configurations.reserve(data.size());
    auto electrodeAt = [&](double x) {
        return int(std::lower_bound(electrodes.begin(), electrodes.end(), x - kSamePosition) - electrodes.begin());
    };
    for (const Measurement& m : data)
        configurations.push_back({{electrodeAt(m.x[0]), electrodeAt(m.x[1]), electrodeAt(m.x[2]), electrodeAt(m.x[3])}, m.k});
    ForwardModel forward(mesh, configurations, options.threads, options.factor);
    const int threads = threadCount(options.threads);
    forward.setCancel(cancel);
    result.times.mesh += lap();

    const Eigen::Index n = Eigen::Index(data.size());
    Eigen::VectorXd d(n), weight(n);
    std::vector<double> rhoas;
    for (Eigen::Index i = 0; i < n; ++i) {
        d(i) = std::log(data[std::size_t(i)].rhoa);
        weight(i) = 1 / errorOf(data[std::size_t(i)]);
        rhoas.push_back(data[std::size_t(i)].rhoa);
    }
    result.background = median(rhoas);
    Smoothness wm = smoothness(mesh, options.verticalRatio);
    if (!options.base.empty()) {
        if (int(options.base.size()) != parameters)
            throw InversionRefused("the base model was made on another mesh");
        wm.base.resize(parameters);
        for (int p = 0; p < parameters; ++p)
            wm.base(p) = std::log(std::clamp(options.base[std::size_t(p)], kLeastRhoa, kLargestRhoa));
        if (options.baseBackground > 0)
            result.background = options.baseBackground;
    }
    const double start = options.reference > 0 ? options.reference : result.background;
    if (options.reference > 0) {
        const double spacing = smallestSpacing(electrodes);
        wm.reference = Eigen::VectorXd::Constant(parameters, std::log(options.reference));
        wm.smallness.resize(parameters);
        for (int p = 0; p < parameters; ++p)
            wm.smallness(p) = options.smallness * mesh.cellArea(mesh.cellOfParameter[std::size_t(p)]) / (spacing * spacing);
    }

    std::vector<double> cellRho(std::size_t(mesh.cellCount()), result.background);
    Eigen::VectorXd solved;  // the model whose fields the forward holds
    auto model = [&](const Eigen::VectorXd& m) {
        for (int p = 0; p < parameters; ++p)
            cellRho[std::size_t(mesh.cellOfParameter[std::size_t(p)])] = std::exp(m(p));
        lap();
        forward.solve(cellRho);  // stopped, it keeps the last model's response
        solved = m;
        result.times.forward += lap();
        ++result.times.forwardSolves;
        Eigen::VectorXd f(n);
        for (Eigen::Index i = 0; i < n; ++i)
            f(i) = std::log(std::max(forward.apparentResistivity()[std::size_t(i)], 1e-12));
        return f;
    };
    Eigen::VectorXd robust = Eigen::VectorXd::Ones(n);
    auto dataMisfit = [&](const Eigen::VectorXd& f) {
        return (weight.cwiseProduct(robust).cwiseProduct(d - f)).squaredNorm();
    };
    auto chi2Of = [&](const Eigen::VectorXd& f) { return (weight.cwiseProduct(d - f)).squaredNorm() / double(n); };
    auto rrmsOf = [&](const Eigen::VectorXd& f) {
        double sum = 0;
        for (Eigen::Index i = 0; i < n; ++i) {
            const double rel = std::expm1(f(i) - d(i));  // (response − datum) / datum
            sum += rel * rel;
        }
        return 100 * std::sqrt(sum / double(n));
    };
    auto cancelled = [&] { return cancel && cancel->load(); };
    auto seconds = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    };

    Eigen::VectorXd m = wm.base.size() > 0 ? wm.base : Eigen::VectorXd::Constant(parameters, std::log(start));
    Eigen::VectorXd f;
    try {
        f = model(m);
    } catch (const Stopped&) {
        throw InversionStopped();
    }
    double lambda = options.lambda;
    double objective = dataMisfit(f) + lambda * wm.value(m);
    // The model of the lowest χ² so far: a later iteration that fits worse
    // never replaces it.
    Eigen::VectorXd bestModel = m;
    auto report = [&](int number) {
        IterationReport r{number, chi2Of(f), rrmsOf(f), lambda, seconds()};
        result.iterations.push_back(r);
        result.models.emplace_back(std::size_t(parameters));
        result.responses.emplace_back(std::size_t(n));
        for (int p = 0; p < parameters; ++p)
            result.models.back()[std::size_t(p)] = float(std::exp(m(p)));
        for (Eigen::Index i = 0; i < n; ++i)
            result.responses.back()[std::size_t(i)] = float(std::exp(f(i)));
        if (r.chi2 < result.kept().chi2) {
            result.best = result.iterations.size() - 1;
            bestModel = m;
        }
        if (progress)
            progress(r);
    };
    report(0);
    Sensitivities J;
    // Stop is looked at inside the solves, the sensitivities and the
    // normal equations' solver, which leave what they were making; the
    // iterations end with the model of the lowest χ² so far.
    for (int iteration = 1; iteration <= options.maxIterations; ++iteration) try {
        if (result.iterations.back().chi2 <= kTargetChi2 || cancelled())
            break;
        J.resize(0, 0);  // the last one goes before the next is made
        lap();
        J = forward.jacobian();
        result.times.jacobian += lap();
        if (cancelled())
            break;
        if (options.robust) {
            // L1-like: a datum's weight falls with its standardised residual.
            for (Eigen::Index i = 0; i < n; ++i)
                robust(i) = 1 / std::sqrt(std::max(std::abs(weight(i) * (d(i) - f(i))), 1.0));
            objective = dataMisfit(f) + lambda * wm.value(m);
        }
        const Eigen::VectorXd D = weight.cwiseProduct(robust).cwiseAbs2();
        const Eigen::VectorXd gradient = timesTransposed(J, D.cwiseProduct(d - f), threads) - lambda * wm.gradient(m);
        const Eigen::VectorXd step = conjugateGradients(J, D, wm, lambda, gradient, cancel, threads);
        result.times.solver += lap();
        // The step, or a part of it when the whole raises the objective.
        Eigen::VectorXd bestM = m, bestF = f;
        double best = objective;
        for (double tau = 1; tau >= 0.125 && !cancelled(); tau /= 2) {
            const Eigen::VectorXd trialM = m + tau * step;
            const Eigen::VectorXd trialF = model(trialM);
            const double value = dataMisfit(trialF) + lambda * wm.value(trialM);
            if (value < best) {
                best = value;
                bestM = trialM;
                bestF = trialF;
                break;
            }
        }
        if (cancelled())
            break;
        const double previousChi2 = result.iterations.back().chi2;
        const double gain = (objective - best) / objective;
        m = bestM;
        f = bestF;
        if (chi2Of(f) < previousChi2)
            lambda = std::max(options.lambdaFloor, lambda * 0.8);
        objective = dataMisfit(f) + lambda * wm.value(m);
        report(iteration);
        if (!(gain >= 0.02))
            break;
    } catch (const Stopped&) {
        break;
    }
    result.cancelled = cancelled();
    // The model kept, its response and its coverage. Stopped by the user,
    // nothing more is solved: the response is the one kept with the model's
    // iteration, and the sensitivities at hand (those the last iteration
    // started from) give the coverage.
    // Stopped before the first sensitivities were made, the starting model
    // has none to show: every cell's coverage is alike (0).
    if (!result.cancelled) try {
        J.resize(0, 0);
        if (solved != bestModel)  // else its response and fields are at hand
            model(bestModel);
        lap();
        J = forward.jacobian();
    } catch (const Stopped&) {
        result.cancelled = true;
    }
    result.resistivity.resize(std::size_t(parameters));
    result.coverage.assign(std::size_t(parameters), 0.0);
    Eigen::VectorXd summed = Eigen::VectorXd::Zero(parameters);
    for (Eigen::Index i = 0; i < J.rows(); ++i)
        summed += J.row(i).transpose().cast<double>().cwiseAbs();
    for (int p = 0; p < parameters; ++p) {
        result.resistivity[std::size_t(p)] = std::exp(bestModel(p));
        if (J.rows() > 0)
            result.coverage[std::size_t(p)] = std::log10(std::max(summed(p), 1e-300));
    }
    if (result.cancelled && solved != bestModel)
        result.response.assign(result.responses[result.best].begin(), result.responses[result.best].end());
    else
        result.response = forward.apparentResistivity();
    result.times.output += lap();
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
