#include "Sounding.h"

#include "GaussNewton.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <numbers>
#include <utility>

namespace zel::inv {

namespace {

// Guptasarma, D. and B. Singh, 1997: New digital linear filters for Hankel
// J0 and J1 transforms. Geophysical Prospecting 45, 745–762. The 61-point
// J0 filter: ∫ f(λ) J0(λr) dλ ≈ Σ f(base/r) · weight / r. Its abscissae
// and weights as published.
constexpr std::pair<double, double> kJ0Filter[] = {
    {8.26989508568e-06, 3.30220475766e-04},
    {1.08177839572e-05, -1.18223623458e-03},
    {1.41506571161e-05, 2.01879495264e-03},
    {1.85103619753e-05, -2.13218719891e-03},
    {2.42132572110e-05, 1.60839063172e-03},
    {3.16731690903e-05, -9.09156346708e-04},
    {4.14314204602e-05, 4.37889252738e-04},
    {5.41961114299e-05, -1.55298878782e-04},
    {7.08935021172e-05, 7.98411962729e-05},
    {9.27352260125e-05, 4.37268394072e-06},
    {1.21306211243e-04, 3.94253441247e-05},
    {1.58679689681e-04, 4.02675924344e-05},
    {2.07567639440e-04, 5.66053344653e-05},
    {2.71517577514e-04, 7.25774926389e-05},
    {3.55169982652e-04, 9.55412535465e-05},
    {4.64595028183e-04, 1.24699163157e-04},
    {6.07733059534e-04, 1.63262166579e-04},
    {7.94970779381e-04, 2.13477133718e-04},
    {1.03989495084e-03, 2.79304232173e-04},
    {1.36027831064e-03, 3.65312787897e-04},
    {1.77936923427e-03, 4.77899413107e-04},
    {2.32757873672e-03, 6.25100170825e-04},
    {3.04468722472e-03, 8.17726956451e-04},
    {3.98273113176e-03, 1.06961339341e-03},
    {5.20977890244e-03, 1.39920928148e-03},
    {6.81487032753e-03, 1.83020380399e-03},
    {8.91447764880e-03, 2.39417015791e-03},
    {1.16609572790e-02, 3.13158560774e-03},
    {1.52536054291e-02, 4.09654426763e-03},
    {1.99531198873e-02, 5.35807925630e-03},
    {2.61005173555e-02, 7.00889482693e-03},
    {3.41418790682e-02, 9.16637526490e-03},
    {4.46607203386e-02, 1.19891721272e-02},
    {5.84203329048e-02, 1.56755740646e-02},
    {7.64191726160e-02, 2.04953856060e-02},
    {9.99633116236e-02, 2.67778388247e-02},
    {1.30761212516e-01, 3.49719672729e-02},
    {1.71047701612e-01, 4.55975312615e-02},
    {2.23746137434e-01, 5.93498881451e-02},
    {2.92680542006e-01, 7.69179091244e-02},
    {3.82853088108e-01, 9.91094769804e-02},
    {5.00807078151e-01, 1.26166963993e-01},
    {6.55101753955e-01, 1.57616825575e-01},
    {8.56933391635e-01, 1.89707800260e-01},
    {1.12094775089e+00, 2.13804195282e-01},
    {1.46630283344e+00, 2.08669340316e-01},
    {1.91805906889e+00, 1.40250562745e-01},
    {2.50899780582e+00, -3.65385242807e-02},
    {3.28200006544e+00, -2.98004010732e-01},
    {4.29315817038e+00, -4.21898149249e-01},
    {5.61584604156e+00, 5.94373771266e-02},
    {7.34604352108e+00, 5.29621428353e-01},
    {9.60930107669e+00, -4.41362405166e-01},
    {1.25698502762e+01, 1.90355040550e-01},
    {1.64425211267e+01, -6.19966386785e-02},
    {2.15083310509e+01, 1.87255115744e-02},
    {2.81348767037e+01, -5.68736766738e-03},
    {3.68030083439e+01, 1.68263510609e-03},
    {4.81417223692e+01, -4.38587145792e-04},
    {6.29738039624e+01, 8.59117336292e-05},
    {8.23755318740e+01, -9.15853765160e-06},
};

} // namespace

double resistivityTransform(const LayeredEarth& earth, double lambda)
{
    double t = earth.rho.back();
    for (std::size_t i = earth.thickness.size(); i-- > 0;) {
        const double rho = earth.rho[i];
        const double th = std::tanh(lambda * earth.thickness[i]);
        t = (t + rho * th) / (1 + t * th / rho);
    }
    return t;
}

double surfacePotential(const LayeredEarth& earth, double r)
{
    const double top = earth.rho.front();
    double layers = 0;
    if (!earth.thickness.empty())
        for (const auto& [base, weight] : kJ0Filter)
            layers += (resistivityTransform(earth, base / r) - top) * weight;
    return (top + layers) / (2 * std::numbers::pi * r);
}

double soundingRhoa(const LayeredEarth& earth, const std::array<double, 4>& x)
{
    const double am = std::abs(x[0] - x[2]), bm = std::abs(x[1] - x[2]), an = std::abs(x[0] - x[3]),
                 bn = std::abs(x[1] - x[3]);
    const double sum = 1 / am - 1 / bm - 1 / an + 1 / bn;
    if (!(am > 0 && bm > 0 && an > 0 && bn > 0) || !std::isfinite(sum) || std::abs(sum) < 1e-12 / std::min({am, bm, an, bn}))
        return std::numeric_limits<double>::quiet_NaN();
    const double v = surfacePotential(earth, am) - surfacePotential(earth, bm) - surfacePotential(earth, an)
        + surfacePotential(earth, bn);
    return 2 * std::numbers::pi / sum * v;
}

namespace {

// The depth a spacing of half-length L sees most of: about L / 3 for
// Schlumberger and Wenner spreads.
double depthOf(const SoundingDatum& d) { return std::abs(d.x[1] - d.x[0]) / 6; }

// The earth of the parameters: log ρ of each layer, then log h of each but the last.
LayeredEarth earthOf(const std::vector<double>& p, int layers)
{
    LayeredEarth e;
    for (int i = 0; i < layers; ++i)
        e.rho.push_back(std::exp(p[std::size_t(i)]));
    for (int i = 0; i + 1 < layers; ++i)
        e.thickness.push_back(std::exp(p[std::size_t(layers) + std::size_t(i)]));
    return e;
}

// log ρa of each datum. A sounding's distances repeat (AM = BN and AN = BM
// on a symmetric spread, and between the MN segments): each distance's
// potential is computed once.
Eigen::VectorXd logResponseOf(const std::vector<SoundingDatum>& data, const LayeredEarth& e)
{
    std::map<double, double> potentialAt;
    auto potential = [&](double r) {
        const auto [it, added] = potentialAt.try_emplace(r);
        if (added)
            it->second = surfacePotential(e, r);
        return it->second;
    };
    Eigen::VectorXd f(Eigen::Index(data.size()));
    for (std::size_t i = 0; i < data.size(); ++i) {
        const auto& x = data[i].x;
        const double am = std::abs(x[0] - x[2]), bm = std::abs(x[1] - x[2]), an = std::abs(x[0] - x[3]),
                     bn = std::abs(x[1] - x[3]);
        const double sum = 1 / am - 1 / bm - 1 / an + 1 / bn;
        const double rhoa = 2 * std::numbers::pi / sum * (potential(am) - potential(bm) - potential(an) + potential(bn));
        f(Eigen::Index(i)) = std::log(std::max(std::isfinite(rhoa) ? rhoa : 1e-12, 1e-12));
    }
    return f;
}

} // namespace

LayeredFit fitLayers(const std::vector<SoundingDatum>& data, int layers, const std::vector<LayerFix>& fixed)
{
    const int n = int(data.size());
    const int count = 2 * layers - 1;
    // The start: boundaries evenly in log depth between the shallowest and
    // deepest depths seen; each layer's resistivity the apparent one of the
    // spacing that sees its middle.
    double shallow = depthOf(data.front()), deep = shallow;
    for (const SoundingDatum& d : data)
        shallow = std::min(shallow, depthOf(d)), deep = std::max(deep, depthOf(d));
    std::vector<double> p(static_cast<std::size_t>(count));
    std::vector<double> bounds;
    for (int i = 1; i < layers; ++i)
        bounds.push_back(shallow * std::pow(deep / shallow, double(i) / layers));
    auto rhoaNear = [&](double depth) {
        const SoundingDatum* best = &data.front();
        for (const SoundingDatum& d : data)
            if (std::abs(std::log(depthOf(d) / depth)) < std::abs(std::log(depthOf(*best) / depth)))
                best = &d;
        return best->rhoa;
    };
    for (int i = 0; i < layers; ++i) {
        const double top = i == 0 ? shallow : bounds[std::size_t(i - 1)];
        const double bottom = i + 1 < layers ? bounds[std::size_t(i)] : deep;
        p[std::size_t(i)] = std::log(rhoaNear(std::sqrt(top * bottom)));
    }
    for (int i = 0; i + 1 < layers; ++i)
        p[std::size_t(layers) + std::size_t(i)] = std::log(bounds[std::size_t(i)] - (i > 0 ? bounds[std::size_t(i - 1)] : 0));
    std::vector<bool> free(std::size_t(count), true);
    for (std::size_t i = 0; i < fixed.size() && int(i) < layers; ++i) {
        if (fixed[i].rho)
            p[i] = std::log(*fixed[i].rho), free[i] = false;
        if (fixed[i].thickness && int(i) + 1 < layers)
            p[std::size_t(layers) + i] = std::log(*fixed[i].thickness), free[std::size_t(layers) + i] = false;
    }
    // Every value, held or fitted, within what the earth holds: a value
    // typed as 1e300 would leave the response without a number.
    auto keepWithin = [&](std::vector<double>& at) {
        for (int k = 0; k < count; ++k) {
            const bool rho = k < layers;
            at[std::size_t(k)] = std::clamp(at[std::size_t(k)], std::log(rho ? kLeastLayerRho : kThinnestLayer),
                                            std::log(rho ? kMostLayerRho : kThickestLayer));
        }
    };
    keepWithin(p);

    Eigen::VectorXd d(n), w(n);
    for (int i = 0; i < n; ++i)
        d(i) = std::log(data[std::size_t(i)].rhoa), w(i) = 1 / data[std::size_t(i)].error;
    auto misfit = [&](const Eigen::VectorXd& f) { return (w.cwiseProduct(d - f)).squaredNorm(); };
    // ∂ log ρa / ∂ p by central differences: the forward costs microseconds.
    auto jacobian = [&](const std::vector<double>& at) {
        Eigen::MatrixXd J = Eigen::MatrixXd::Zero(n, count);
        for (int k = 0; k < count; ++k) {
            if (!free[std::size_t(k)])
                continue;
            constexpr double kStep = 1e-4;
            std::vector<double> up = at, down = at;
            up[std::size_t(k)] += kStep, down[std::size_t(k)] -= kStep;
            J.col(k) = (logResponseOf(data, earthOf(up, layers)) - logResponseOf(data, earthOf(down, layers))) / (2 * kStep);
        }
        return J;
    };
    Eigen::VectorXd f = logResponseOf(data, earthOf(p, layers));
    double value = misfit(f);
    double mu = 1e-2;
    int iterations = 0;
    Eigen::MatrixXd J;
    for (; iterations < 60; ++iterations) {
        J = jacobian(p);
        const Eigen::MatrixXd JW = w.asDiagonal() * J;
        Eigen::MatrixXd A = JW.transpose() * JW;
        const Eigen::VectorXd g = JW.transpose() * w.cwiseProduct(d - f);
        for (int k = 0; k < count; ++k)
            if (!free[std::size_t(k)])
                A(k, k) = 1;  // held: its step is 0 (its gradient is 0)
        bool improved = false;
        for (int tries = 0; tries < 10 && !improved; ++tries) {
            Eigen::MatrixXd damped = A;
            damped.diagonal() += mu * A.diagonal().cwiseMax(1e-12);
            const Eigen::VectorXd step = damped.ldlt().solve(g);
            std::vector<double> trial = p;
            for (int k = 0; k < count; ++k)
                trial[std::size_t(k)] += std::clamp(step(k), -2.0, 2.0);  // at most e² at once
            keepWithin(trial);
            const Eigen::VectorXd ft = logResponseOf(data, earthOf(trial, layers));
            const double vt = misfit(ft);
            if (vt < value) {
                improved = true;
                const double gain = (value - vt) / value;
                p = trial, f = ft, value = vt;
                mu = std::max(mu / 3, 1e-9);
                if (gain < 1e-6)
                    iterations = 60;
            } else {
                mu *= 10;
            }
        }
        if (!improved)
            break;
    }
    LayeredFit fit;
    fit.earth = earthOf(p, layers);
    fit.iterations = std::min(iterations, 60);
    fit.chi2 = value / n;
    double squares = 0;
    for (int i = 0; i < n; ++i) {
        const double rel = std::expm1(f(i) - d(i));
        squares += rel * rel;
        fit.response.push_back(std::exp(f(i)));
    }
    fit.rrms = 100 * std::sqrt(squares / n);
    // Each parameter's standard error from the covariance (JᵀWJ)⁻¹ of the
    // free ones, scaled by the fit's χ² where it is above 1.
    J = jacobian(p);
    const Eigen::MatrixXd JW = w.asDiagonal() * J;
    Eigen::MatrixXd A = JW.transpose() * JW;
    for (int k = 0; k < count; ++k)
        if (!free[std::size_t(k)])
            A.row(k).setZero(), A.col(k).setZero(), A(k, k) = 1;
    const Eigen::MatrixXd covariance = A.completeOrthogonalDecomposition().pseudoInverse() * std::max(1.0, fit.chi2);
    // A value the data do not fix ranges over the bounds, not beyond.
    auto range = [&](int k) {
        const double sigma = free[std::size_t(k)] ? std::sqrt(std::max(0.0, covariance(k, k))) : 0;
        const bool rho = k < layers;
        return std::array<double, 2>{std::max(std::exp(p[std::size_t(k)] - sigma), rho ? kLeastLayerRho : kThinnestLayer),
                                     std::min(std::exp(p[std::size_t(k)] + sigma), rho ? kMostLayerRho : kThickestLayer)};
    };
    for (int i = 0; i < layers; ++i)
        fit.rhoRange.push_back(range(i));
    for (int i = 0; i + 1 < layers; ++i)
        fit.thicknessRange.push_back(range(layers + i));
    return fit;
}

LayeredFit fitFewestLayers(const std::vector<SoundingDatum>& data, int most)
{
    std::optional<LayeredFit> best;
    double bestPerFreedom = 0;
    for (int layers = 1; layers <= most && 2 * layers - 1 < int(data.size()); ++layers) {
        LayeredFit fit = fitLayers(data, layers);
        if (fit.chi2 <= kSoundingTargetChi2)
            return fit;
        const double perFreedom = fit.chi2 * double(data.size()) / double(int(data.size()) - (2 * layers - 1));
        if (!best || perFreedom < bestPerFreedom)
            best = std::move(fit), bestPerFreedom = perFreedom;
    }
    return best ? *best : fitLayers(data, 1);
}

namespace {

// T(λ) and its derivative by each layer's resistivity, accumulated into
// `gradient` times `weight`: the recurrence's partial derivatives on the
// way up, chained from the top down.
double transformWithGradient(const LayeredEarth& earth, double lambda, double weight, std::vector<double>& gradient,
                             std::vector<double>& byNext, std::vector<double>& byOwn)
{
    const std::size_t n = earth.rho.size();
    byNext.assign(n, 0);
    byOwn.assign(n, 0);
    double t = earth.rho.back();
    for (std::size_t i = n - 1; i-- > 0;) {
        const double rho = earth.rho[i];
        const double th = std::tanh(lambda * earth.thickness[i]);
        const double num = t + rho * th, den = 1 + t * th / rho;
        byNext[i] = (den - num * th / rho) / (den * den);
        byOwn[i] = (th * den + num * t * th / (rho * rho)) / (den * den);
        t = num / den;
    }
    double chain = 1;  // ∂T/∂t of the layer below those passed
    for (std::size_t k = 0; k + 1 < n; ++k) {
        gradient[k] += weight * chain * byOwn[k];
        chain *= byNext[k];
    }
    gradient[n - 1] += weight * chain;
    return t;
}

} // namespace

Sensitivities soundingSensitivities(const std::vector<SoundingDatum>& data, const LayeredEarth& e)
{
    const std::size_t n = e.rho.size();
    std::map<double, std::pair<double, std::vector<double>>> at;  // r: V and ∂V/∂ρ
    std::vector<double> byNext, byOwn;
    auto potential = [&](double r) -> const std::pair<double, std::vector<double>>& {
        const auto [it, added] = at.try_emplace(r);
        if (added) {
            std::vector<double> gradient(n, 0.0);
            double sum = 0;
            for (const auto& [base, weight] : kJ0Filter)
                sum += (transformWithGradient(e, base / r, weight, gradient, byNext, byOwn) - e.rho.front()) * weight;
            double weights = 0;
            for (const auto& filter : kJ0Filter)
                weights += filter.second;
            gradient[0] += 1 - weights;  // the top layer's closed form
            const double scale = 1 / (2 * std::numbers::pi * r);
            for (double& g : gradient)
                g *= scale;
            it->second = {(e.rho.front() + sum) * scale, std::move(gradient)};
        }
        return it->second;
    };
    Sensitivities J(Eigen::Index(data.size()), Eigen::Index(n));
    for (std::size_t i = 0; i < data.size(); ++i) {
        const auto& x = data[i].x;
        const std::array<double, 4> r{std::abs(x[0] - x[2]), std::abs(x[1] - x[2]), std::abs(x[0] - x[3]), std::abs(x[1] - x[3])};
        constexpr std::array<double, 4> sign{1, -1, -1, 1};
        double v = 0;
        std::vector<double> dv(n, 0.0);
        for (std::size_t j = 0; j < 4; ++j) {
            const auto& [value, gradient] = potential(r[j]);
            v += sign[j] * value;
            for (std::size_t k = 0; k < n; ++k)
                dv[k] += sign[j] * gradient[k];
        }
        for (std::size_t k = 0; k < n; ++k)
            J(Eigen::Index(i), Eigen::Index(k)) = float(e.rho[k] * dv[k] / v);
    }
    return J;
}

namespace {

// A sounding's layers of fixed thickness as a forward operator: the
// parameters are log ρ of each layer, the sensitivities by the
// recurrence's derivatives.
class SoundingOperator final : public ForwardOperator {
public:
    SoundingOperator(const std::vector<SoundingDatum>& data, std::vector<double> thickness)
        : m_data(data), m_earth{std::vector<double>(thickness.size() + 1, 1.0), std::move(thickness)}
    {
    }
    int parameterCount() const override { return int(m_earth.rho.size()); }
    std::size_t memoryNeeded() const override { return m_data.size() * m_earth.rho.size() * sizeof(float) * 4; }
    Eigen::VectorXd response(const Eigen::VectorXd& model) override
    {
        if (m_cancel && m_cancel->load())
            throw Stopped();
        m_model = model;
        for (Eigen::Index i = 0; i < model.size(); ++i)
            m_earth.rho[std::size_t(i)] = std::exp(model(i));
        return logResponseOf(m_data, m_earth);
    }
    Sensitivities jacobian() override { return soundingSensitivities(m_data, m_earth); }
    Smoothness smoothness(double /*verticalRatio*/) const override
    {
        Smoothness s;
        for (int i = 0; i + 1 < parameterCount(); ++i) {
            s.pairs.push_back({i, i + 1});
            s.weight.push_back(1);
        }
        return s;
    }
    double parameterShare(int /*parameter*/) const override { return 1; }
    void setCancel(const std::atomic<bool>* cancel) override { m_cancel = cancel; }
    std::string subject() const override { return "this sounding"; }

private:
    const std::vector<SoundingDatum>& m_data;
    LayeredEarth m_earth;
    Eigen::VectorXd m_model;
    const std::atomic<bool>* m_cancel = nullptr;
};

} // namespace

SmoothFit smoothSounding(const std::vector<SoundingDatum>& data)
{
    double shallow = depthOf(data.front()), deep = shallow;
    for (const SoundingDatum& d : data)
        shallow = std::min(shallow, depthOf(d)), deep = std::max(deep, depthOf(d));
    // Thicknesses growing by one factor from a sixth of the shallowest
    // depth seen until the layers' bottom reaches twice the deepest.
    const double first = shallow / 6, bottom = 2 * deep;
    double low = 1, high = 2;  // the factor, by halving: Σ first·q^i = bottom
    auto reach = [&](double q) { return first * (std::pow(q, kSmoothLayers - 1) - 1) / (q - 1); };
    for (int i = 0; i < 100; ++i)
        (reach((low + high) / 2) < bottom ? low : high) = (low + high) / 2;
    const double factor = (low + high) / 2;
    std::vector<double> thickness;
    for (int i = 0; i + 1 < kSmoothLayers; ++i)
        thickness.push_back(first * std::pow(factor, i));

    SoundingOperator forward(data, thickness);
    GaussNewtonOptions options;
    options.threads = 1;
    GaussNewton gaussNewton(forward, options);
    Eigen::VectorXd d(Eigen::Index(data.size())), weight(Eigen::Index(data.size()));
    std::vector<double> rhoas;
    for (std::size_t i = 0; i < data.size(); ++i) {
        d(Eigen::Index(i)) = std::log(data[i].rhoa);
        weight(Eigen::Index(i)) = 1 / data[i].error;
        rhoas.push_back(data[i].rhoa);
    }
    std::nth_element(rhoas.begin(), rhoas.begin() + std::ptrdiff_t(rhoas.size() / 2), rhoas.end());
    const Fit fit = gaussNewton.run(d, weight, Eigen::VectorXd::Constant(kSmoothLayers, std::log(rhoas[rhoas.size() / 2])),
                                    {}, {}, nullptr);
    SmoothFit out;
    out.earth = {fit.resistivity, thickness};
    out.response = fit.response;
    out.chi2 = fit.kept().chi2;
    out.rrms = fit.kept().rrms;
    out.iterations = fit.kept().number;
    return out;
}

} // namespace zel::inv
