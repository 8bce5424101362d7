// A sounding's layered and smooth inversions: their time together (best of
// ten) and what they find, on two layers and an H-type earth.
#include "inversion/Sounding.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace {

std::vector<zel::inv::SoundingDatum> schlumberger(const zel::inv::LayeredEarth& earth)
{
    std::vector<zel::inv::SoundingDatum> data;
    for (const double mn2 : {0.5, 2.0})
        for (int k = 0; 1.5 * std::pow(1.3, k) <= 120; ++k)
            if (const double ab2 = 1.5 * std::pow(1.3, k); ab2 > 2 * mn2 && (mn2 == 0.5 ? ab2 <= 20 : ab2 >= 10)) {
                const std::array<double, 4> x{-ab2, ab2, -mn2, mn2};
                data.push_back({x, zel::inv::soundingRhoa(earth, x), 0.02});
            }
    return data;
}

void measure(const char* name, const zel::inv::LayeredEarth& earth)
{
    const auto data = schlumberger(earth);
    double best = 1e9;
    zel::inv::LayeredFit layered;
    zel::inv::SmoothFit smooth;
    for (int run = 0; run < 10; ++run) {
        const auto start = std::chrono::steady_clock::now();
        layered = zel::inv::fitFewestLayers(data);
        smooth = zel::inv::smoothSounding(data);
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::printf("%-10s %zu data: %zu layers (RRMS %.2f %%), smooth RRMS %.2f %%: %.1f ms together\n", name, data.size(),
                layered.earth.rho.size(), layered.rrms, smooth.rrms, 1e3 * best);
    for (std::size_t i = 0; i < layered.earth.rho.size(); ++i)
        std::printf("    rho %.2f ohm·m (%.2f–%.2f)%s\n", layered.earth.rho[i], layered.rhoRange[i][0], layered.rhoRange[i][1],
                    i < layered.earth.thickness.size()
                        ? (" h " + std::to_string(layered.earth.thickness[i]) + " m, S " + std::to_string(layered.earth.thickness[i] / layered.earth.rho[i]) + " S").c_str()
                        : "");
}

} // namespace

int main()
{
    measure("two layers", {{100, 10}, {5}});
    measure("H-type", {{100, 10, 1000}, {4, 8}});
    return 0;
}
