#include "Bessel.h"

#include <cmath>

namespace zel::inv {

namespace {

// Where A&S 9.8.5–6 (for K0 near 0, with I0) give way to 9.8.6's large-x series.
constexpr double kSmallArgument = 2;
// Beyond it e^-x underflows a double: K0 and K1 are 0.
constexpr double kUnderflow = 700;
// Beyond it K1 / K0 is its asymptotic series: both underflow alike.
constexpr double kRatioSeries = 50;

} // namespace

double besselK0(double x)
{
    if (x <= kSmallArgument) {
        const double t = x / 3.75, t2 = t * t;
        const double i0 = 1 + t2 * (3.5156229 + t2 * (3.0899424 + t2 * (1.2067492 + t2 * (0.2659732 + t2 * (0.0360768 + t2 * 0.0045813)))));
        const double y = x * x / 4;
        return -std::log(x / 2) * i0
            + (-0.57721566 + y * (0.42278420 + y * (0.23069756 + y * (0.03488590 + y * (0.00262698 + y * (0.00010750 + y * 0.00000740))))));
    }
    if (x > kUnderflow)
        return 0;
    const double y = 2 / x;
    return std::exp(-x) / std::sqrt(x)
        * (1.25331414 + y * (-0.07832358 + y * (0.02189568 + y * (-0.01062446 + y * (0.00587872 + y * (-0.00251540 + y * 0.00053208))))));
}

double besselRatio(double x)
{
    if (x > kRatioSeries)
        return 1 + 1 / (2 * x) - 1 / (8 * x * x);
    return std::cyl_bessel_k(1.0, x) / std::cyl_bessel_k(0.0, x);
}

double besselK1(double x)
{
    return x > kUnderflow ? 0 : std::cyl_bessel_k(1.0, x);
}

} // namespace zel::inv
