#include "Bessel.h"

#include <array>
#include <cmath>
#include <numbers>

namespace zel::inv {

namespace {

// Up to it K0 and K1 are their power series about 0 (Abramowitz & Stegun
// 9.6.13 and 9.6.11), beyond it e^x √x K(x) is a Chebyshev series in
// 1/x: both to about 1e-14, in a few dozen multiplications, for the
// forward asks for K0 at every node for every source and wavenumber.
constexpr double kSeriesLimit = 2;
// Beyond it e^-x underflows a double: K0 and K1 are 0.
constexpr double kUnderflow = 700;
// With t = x²/4 ≤ 1 the last term is below 1e-17: K0 near 2 is a
// difference a dozen times smaller than its terms.
constexpr int kSeriesTerms = 13;

// With H_k the harmonic numbers, the series' coefficients: 1/(k!)²,
// H_k/(k!)², 1/(k!(k+1)!), (H_k + H_{k+1})/(k!(k+1)!).
struct Series {
    std::array<double, kSeriesTerms> i0{}, k0{}, i1{}, k1{};
};
constexpr Series makeSeries()
{
    Series out;
    double square = 1, pair = 1, h = 0;  // (k!)², k!(k+1)!, H_k
    for (int k = 0; k < kSeriesTerms; ++k) {
        const double next = h + 1.0 / (k + 1);
        out.i0[std::size_t(k)] = 1 / square;
        out.k0[std::size_t(k)] = h / square;
        out.i1[std::size_t(k)] = 1 / pair;
        out.k1[std::size_t(k)] = (h + next) / pair;
        square *= double(k + 1) * double(k + 1);
        pair *= double(k + 1) * double(k + 2);
        h = next;
    }
    return out;
}
constexpr Series kSeries = makeSeries();

// e^x √x K0(x) and e^x √x K1(x) for x > 2 as Chebyshev series in u = 1/x,
// the first coefficient halved, on two stretches: 2 to kSplit and beyond.
// Each was fitted at 12 Chebyshev nodes to Steed's continued fraction for
// K0 and K1 (Temme's method, as Numerical Recipes' bessik, to 1e-16); the
// last coefficients are below 2e-14.
constexpr double kSplit = 6;
// Near: t = (u − 1/6) / (1/2 − 1/6) · 2 − 1.
constexpr std::array<double, 12> kNear0{
    1.2091439806604241,
    -0.019547538425639055,
    0.00058716348822466602,
    -2.8037675292728419e-05,
    1.7326229167317446e-06,
    -1.2689022369875383e-07,
    1.050526958016699e-08,
    -9.5529654557206344e-10,
    9.3612784191066112e-11,
    -9.752957700707535e-12,
    1.0695333507726446e-12,
    -1.2120397278418219e-13};
constexpr std::array<double, 12> kNear1{
    1.395909761812187,
    0.066707312266898564,
    -0.0011016237782428551,
    4.3836575255529198e-05,
    -2.4720073219149561e-06,
    1.7119670322104005e-07,
    -1.3644014732842416e-08,
    1.206712766747368e-09,
    -1.1575940206398627e-10,
    1.1860216512597313e-11,
    -1.2832790385886028e-12,
    1.430059774302587e-13};
// Far: t = 2 · kSplit · u − 1.
constexpr std::array<double, 12> kFar0{
    1.2410669834926074,
    -0.011994093243999101,
    0.00024395164885249176,
    -8.6530540217936523e-06,
    4.272065933970855e-07,
    -2.6528490311890824e-08,
    1.9577604722561168e-09,
    -1.6565263975347003e-10,
    1.568073448865448e-11,
    -1.6308528601645851e-12,
    1.8378816986815613e-13,
    -2.2213712351041675e-14};
constexpr std::array<double, 12> kFar1{
    1.2911062243765405,
    0.03735752500395554,
    -0.00042142004370312086,
    1.2538165279722216e-05,
    -5.6776604440145206e-07,
    3.3478125290494397e-08,
    -2.3865463864384631e-09,
    1.9697369661268263e-10,
    -1.829913998108168e-11,
    1.8765452155141324e-12,
    -2.0935105501015036e-13,
    2.4318510168560199e-14};

template <std::size_t N>
double horner(const std::array<double, N>& c, double t)
{
    double sum = 0;
    for (std::size_t k = N; k-- > 0;)
        sum = sum * t + c[k];
    return sum;
}

template <std::size_t N>
double clenshaw(const std::array<double, N>& c, double t)
{
    double b1 = 0, b2 = 0;
    for (std::size_t j = N - 1; j >= 1; --j) {
        const double b = 2 * t * b1 - b2 + c[j];
        b2 = b1;
        b1 = b;
    }
    return t * b1 - b2 + c[0];
}

// K0 = −(ln(x/2) + γ) I0 + Σ t^k H_k / (k!)², t = x²/4.
double k0Series(double x)
{
    const double t = x * x / 4;
    return -(std::log(x / 2) + std::numbers::egamma) * horner(kSeries.i0, t) + horner(kSeries.k0, t);
}

// K1 = 1/x + (ln(x/2) + γ) I1 − (x/4) Σ t^k (H_k + H_{k+1}) / (k!(k+1)!).
double k1Series(double x)
{
    const double t = x * x / 4;
    return 1 / x + (std::log(x / 2) + std::numbers::egamma) * x / 2 * horner(kSeries.i1, t) - x / 4 * horner(kSeries.k1, t);
}

// The Chebyshev variable of x > 2 on its stretch.
double chebyshevT(double x)
{
    const double u = 1 / x;
    return x <= kSplit ? (u - 1 / kSplit) / (0.5 - 1 / kSplit) * 2 - 1 : 2 * kSplit * u - 1;
}

} // namespace

double besselK0(double x)
{
    if (x <= kSeriesLimit)
        return k0Series(x);
    if (x > kUnderflow)
        return 0;
    return clenshaw(x <= kSplit ? kNear0 : kFar0, chebyshevT(x)) * std::exp(-x) / std::sqrt(x);
}

double besselK1(double x)
{
    if (x <= kSeriesLimit)
        return k1Series(x);
    if (x > kUnderflow)
        return 0;
    return clenshaw(x <= kSplit ? kNear1 : kFar1, chebyshevT(x)) * std::exp(-x) / std::sqrt(x);
}

double besselRatio(double x)
{
    if (x <= kSeriesLimit)
        return k1Series(x) / k0Series(x);
    const double t = chebyshevT(x);
    return x <= kSplit ? clenshaw(kNear1, t) / clenshaw(kNear0, t) : clenshaw(kFar1, t) / clenshaw(kFar0, t);
}

} // namespace zel::inv
