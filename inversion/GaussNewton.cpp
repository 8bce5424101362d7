#include "GaussNewton.h"

#include "Memory.h"
#include "Parallel.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <iterator>

namespace zel::inv {

namespace {

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

double seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

} // namespace

MemoryRefused::MemoryRefused(std::size_t needed, std::size_t available, const std::string& what)
    : InversionRefused(needed > 0 ? what + " needs about " + memoryText(needed, needed) + "; "
                                       + memoryText(available, needed) + " are free"
                                 : "not enough memory for " + what + "; " + memoryText(available, available) + " are free")
    , m_needed(needed)
    , m_available(available)
    , m_subject(what)
{
}

Eigen::VectorXd logResponse(const std::vector<double>& rhoa)
{
    Eigen::VectorXd f(Eigen::Index(rhoa.size()));
    for (std::size_t i = 0; i < rhoa.size(); ++i)
        f(Eigen::Index(i)) = std::log(std::max(rhoa[i], 1e-12));
    return f;
}

double relativeError(double error, double voltageMilliVolts)
{
    const double floor = voltageMilliVolts > 0 ? 1e-3 / voltageMilliVolts : 0;
    return std::max(error, 1e-4) + floor;
}

double Smoothness::value(const Eigen::VectorXd& model) const
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

Eigen::VectorXd Smoothness::normal(const Eigen::VectorXd& v) const
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

Eigen::VectorXd Smoothness::gradient(const Eigen::VectorXd& m) const
{
    Eigen::VectorXd g = normal(base.size() > 0 ? Eigen::VectorXd(m - base) : m);
    if (smallness.size() > 0)
        g += smallness.cwiseProduct(m - reference) - smallness.cwiseProduct(base.size() > 0 ? m - base : m);
    return g;
}

std::size_t Fit::lowest() const
{
    std::size_t found = 0;
    for (std::size_t i = 1; i < iterations.size(); ++i)
        if (iterations[i].chi2 < iterations[found].chi2)
            found = i;
    return found;
}

bool misfitOf(const IterationReport& kept, double medianErrorPercent)
{
    return !(kept.chi2 <= kHonestChi2) || !(kept.rrms <= kHonestRrmsFactor * medianErrorPercent);
}

std::string verdictOf(const IterationReport& kept, double medianErrorPercent)
{
    if (!misfitOf(kept, medianErrorPercent))
        return {};
    return "the model does not explain the data: chi² " + fixed(kept.chi2, 2) + " (at most " + fixed(kHonestChi2, 0)
        + " for a fit), RRMS " + fixed(kept.rrms, 2) + " % (at most " + fixed(kHonestRrmsFactor, 0)
        + " times the data's median error of " + fixed(medianErrorPercent, 2) + " %)";
}

GaussNewton::GaussNewton(ForwardOperator& forward, const GaussNewtonOptions& options)
    : m_forward(forward)
    , m_options(options)
    , m_threads(threadCount(options.threads))
{
}

// Conjugate gradients with the system's diagonal as preconditioner, until
// the residual is kStepTolerance of b's or the inversion is stopped.
Eigen::VectorXd GaussNewton::step(const Sensitivities& J, const Eigen::VectorXd& D, double lambda,
                                  const Eigen::VectorXd& b, const std::atomic<bool>* cancel) const
{
    auto apply = [&](const Eigen::VectorXd& v) -> Eigen::VectorXd {
        const Eigen::VectorXd Jv = times(J, v, m_threads);
        return timesTransposed(J, D.cwiseProduct(Jv), m_threads) + lambda * m_wm.normal(v);
    };
    // The diagonal: Σ D J² of each column, and λ times the weights of its
    // differences and its smallness.
    Eigen::VectorXd diagonal = Eigen::VectorXd::Zero(J.cols());
    for (Eigen::Index d = 0; d < J.rows(); ++d)
        diagonal += D(d) * J.row(d).transpose().cast<double>().cwiseAbs2();
    for (std::size_t i = 0; i < m_wm.pairs.size(); ++i)
        for (const int end : m_wm.pairs[i])
            diagonal(end) += lambda * m_wm.weight[i] * m_wm.weight[i];
    if (m_wm.smallness.size() > 0)
        diagonal += lambda * m_wm.smallness;
    const Eigen::VectorXd inverse = diagonal.cwiseMax(1e-300).cwiseInverse();
    Eigen::VectorXd x = Eigen::VectorXd::Zero(b.size());
    Eigen::VectorXd r = b;
    Eigen::VectorXd z = inverse.cwiseProduct(r);
    Eigen::VectorXd p = z;
    double rz = r.dot(z);
    const double stop = kStepTolerance * kStepTolerance * b.squaredNorm();
    for (int it = 0; it < kMostStepIterations && r.squaredNorm() > stop && !(cancel && cancel->load()); ++it) {
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

GaussNewton::Trial GaussNewton::lineSearch(const Eigen::VectorXd& m, const Eigen::VectorXd& f, const Eigen::VectorXd& direction,
                                           double objective, const std::function<std::pair<Eigen::VectorXd, double>(const Eigen::VectorXd&)>& evaluate,
                                           const std::atomic<bool>* cancel)
{
    // The step, or a part of it when the whole raises the objective.
    Trial best{m, f, objective};
    for (double tau = 1; tau >= kShortestStep && !(cancel && cancel->load()); tau /= 2) {
        const Eigen::VectorXd trial = m + tau * direction;
        auto [response, value] = evaluate(trial);
        if (value < best.objective)
            return {trial, std::move(response), value};
    }
    return best;
}

Eigen::VectorXd GaussNewton::robustWeights(const Eigen::VectorXd& standardised)
{
    // L1-like: a datum's weight falls with its standardised residual.
    Eigen::VectorXd w(standardised.size());
    for (Eigen::Index i = 0; i < standardised.size(); ++i)
        w(i) = 1 / std::sqrt(std::max(std::abs(standardised(i)), 1.0));
    return w;
}

std::vector<double> GaussNewton::coverage(const Sensitivities& J, int parameters)
{
    // log10 of each cell's summed absolute sensitivity; without
    // sensitivities (stopped before the first) every cell's alike, 0.
    std::vector<double> out(std::size_t(parameters), 0.0);
    if (J.rows() == 0)
        return out;
    Eigen::VectorXd summed = Eigen::VectorXd::Zero(parameters);
    for (Eigen::Index i = 0; i < J.rows(); ++i)
        summed += J.row(i).transpose().cast<double>().cwiseAbs();
    for (int p = 0; p < parameters; ++p)
        out[std::size_t(p)] = std::log10(std::max(summed(p), 1e-300));
    return out;
}

Fit GaussNewton::run(const Eigen::VectorXd& d, const Eigen::VectorXd& weight, const Eigen::VectorXd& start,
                     const Eigen::VectorXd& base, const std::function<void(const IterationReport&)>& progress,
                     const std::atomic<bool>* cancel)
{
    const auto started = std::chrono::steady_clock::now();
    auto lap = [last = started]() mutable {
        const auto now = std::chrono::steady_clock::now();
        const double s = std::chrono::duration<double>(now - last).count();
        last = now;
        return s;
    };
    Fit result;
    const int parameters = m_forward.parameterCount();
    // A problem the memory cannot hold is refused before anything large is made.
    m_needed = m_forward.memoryNeeded();
    m_available = m_options.memory > 0 ? m_options.memory : availableMemory();
    if (m_needed > m_available)
        throw MemoryRefused(m_needed, m_available, m_forward.subject());
    m_forward.setCancel(cancel);

    m_wm = m_forward.smoothness(m_options.verticalRatio);
    m_wm.base = base;
    if (m_options.reference > 0) {
        m_wm.reference = Eigen::VectorXd::Constant(parameters, std::log(m_options.reference));
        m_wm.smallness.resize(parameters);
        for (int p = 0; p < parameters; ++p)
            m_wm.smallness(p) = m_options.smallness * m_forward.parameterShare(p);
    }
    const Eigen::Index n = d.size();
    Eigen::VectorXd solved;  // the model whose fields the forward holds
    auto model = [&](const Eigen::VectorXd& m) {
        lap();
        Eigen::VectorXd f = m_forward.response(m);  // stopped, it keeps the last model's response
        solved = m;
        result.times.forward += lap();
        ++result.times.forwardSolves;
        return f;
    };
    Eigen::VectorXd robust = Eigen::VectorXd::Ones(n);
    auto dataMisfit = [&](const Eigen::VectorXd& f) {
        return (weight.cwiseProduct(robust).cwiseProduct(d - f)).squaredNorm();
    };
    auto chi2Of = [&](const Eigen::VectorXd& f) { return (weight.cwiseProduct(d - f)).squaredNorm() / double(n); };
    // A value of the model or the data: the resistivity of a logarithm.
    const bool logarithmic = m_options.logarithmic;
    auto valueOf = [logarithmic](double v) { return logarithmic ? std::exp(v) : v; };
    auto rrmsOf = [&](const Eigen::VectorXd& f) {
        double sum = 0;
        for (Eigen::Index i = 0; i < n; ++i) {
            // (response − datum) / datum; of plain values, response − datum
            const double rel = logarithmic ? std::expm1(f(i) - d(i)) : f(i) - d(i);
            sum += rel * rel;
        }
        return 100 * std::sqrt(sum / double(n));
    };
    auto cancelled = [&] { return cancel && cancel->load(); };

    Eigen::VectorXd m = start;
    Eigen::VectorXd f;
    try {
        f = model(m);
    } catch (const Stopped&) {
        throw InversionStopped();
    }
    double lambda = m_options.lambda;
    double objective = dataMisfit(f) + lambda * m_wm.value(m);
    // The model of the lowest χ² so far: a later iteration that fits worse
    // never replaces it.
    Eigen::VectorXd bestModel = m;
    Eigen::VectorXd bestResponse = f;
    auto report = [&](int number) {
        IterationReport r{number, chi2Of(f), rrmsOf(f), lambda, seconds(started)};
        result.iterations.push_back(r);
        result.models.emplace_back(std::size_t(parameters));
        result.responses.emplace_back(std::size_t(n));
        for (int p = 0; p < parameters; ++p)
            result.models.back()[std::size_t(p)] = float(valueOf(m(p)));
        for (Eigen::Index i = 0; i < n; ++i)
            result.responses.back()[std::size_t(i)] = float(valueOf(f(i)));
        if (r.chi2 < result.kept().chi2) {
            result.best = result.iterations.size() - 1;
            bestModel = m;
            bestResponse = f;
        }
        if (progress)
            progress(r);
    };
    report(0);
    Sensitivities J;
    // Stop is looked at inside the solves, the sensitivities and the
    // normal equations' solver, which leave what they were making; the
    // iterations end with the model of the lowest χ² so far.
    for (int iteration = 1; iteration <= m_options.maxIterations; ++iteration) try {
        if (result.iterations.back().chi2 <= kTargetChi2 || cancelled())
            break;
        J.resize(0, 0);  // the last one goes before the next is made
        lap();
        J = m_forward.jacobian();
        result.times.jacobian += lap();
        if (cancelled())
            break;
        if (m_options.robust) {
            robust = robustWeights(weight.cwiseProduct(d - f));
            objective = dataMisfit(f) + lambda * m_wm.value(m);
        }
        const Eigen::VectorXd D = weight.cwiseProduct(robust).cwiseAbs2();
        const Eigen::VectorXd gradient = timesTransposed(J, D.cwiseProduct(d - f), m_threads) - lambda * m_wm.gradient(m);
        const Eigen::VectorXd direction = step(J, D, lambda, gradient, cancel);
        result.times.solver += lap();
        const Trial taken = lineSearch(m, f, direction, objective, [&](const Eigen::VectorXd& trial) {
            const Eigen::VectorXd response = model(trial);
            return std::pair{response, dataMisfit(response) + lambda * m_wm.value(trial)};
        }, cancel);
        if (cancelled())
            break;
        const double previousChi2 = result.iterations.back().chi2;
        const double gain = (objective - taken.objective) / objective;
        m = taken.model;
        f = taken.response;
        if (chi2Of(f) < previousChi2)
            lambda = std::max(m_options.lambdaFloor, lambda * kLambdaFall);
        objective = dataMisfit(f) + lambda * m_wm.value(m);
        report(iteration);
        if (!(gain >= kLeastGain))
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
    Eigen::VectorXd response = bestResponse;
    if (!result.cancelled) try {
        J.resize(0, 0);
        if (solved != bestModel)  // else its response and fields are at hand
            response = model(bestModel);
        lap();
        J = m_forward.jacobian();
    } catch (const Stopped&) {
        result.cancelled = true;
    }
    result.resistivity.resize(std::size_t(parameters));
    for (int p = 0; p < parameters; ++p)
        result.resistivity[std::size_t(p)] = valueOf(bestModel(p));
    result.coverage = coverage(J, parameters);
    if (m_options.keepSensitivities && !result.cancelled && J.rows() == n)
        result.sensitivities = std::make_shared<const Sensitivities>(std::move(J));
    result.response.resize(std::size_t(n));
    for (Eigen::Index i = 0; i < n; ++i)
        result.response[std::size_t(i)] = valueOf(response(i));
    result.times.output += lap();
    return result;
}

} // namespace zel::inv
