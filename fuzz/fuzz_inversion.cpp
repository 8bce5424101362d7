// The inversion's input files: a .ohm data file and a topography file, as
// any bytes. Besides crashes and sanitizer reports: every datum read has
// four positions of the file's electrodes and a finite factor, the
// electrodes lie on the earth each at its own place, and every elevation is
// finite.
#include "inversion/Files.h"
#include "section/Input.h"
#include "data/ZelError.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const zel::inv::OhmData ohm = zel::inv::parseOhm(text, 3, 2);
        // The electrodes the mesh is laid under: on the earth, each at its own place.
        std::vector<double> x = ohm.electrodeX;
        std::sort(x.begin(), x.end());
        for (std::size_t e = 0; e < x.size(); ++e)
            if (!(std::abs(x[e]) <= 1e7) || !(std::abs(ohm.electrodeZ[e]) <= 1e4) || (e > 0 && x[e] - x[e - 1] <= 1e-3))
                std::abort();
        for (const zel::inv::Measurement& m : ohm.data) {
            for (const double x : m.x)
                if (!std::isfinite(x))
                    std::abort();
            if (!std::isfinite(m.k) || !(m.error > 0))
                std::abort();
        }
    } catch (const zel::inv::FileRefused&) {
    }
    try {
        for (const double z : zel::elevationsAt(zel::parseTopography(text, "t"), {0, 1, 2, 3}, {0, 1, 2, 3}))
            if (!std::isfinite(z))
                std::abort();
    } catch (const zel::ZelError&) {
    }
    return 0;
}
