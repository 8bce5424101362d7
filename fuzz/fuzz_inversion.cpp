// The inversion's input files: a .ohm data file and a topography file, as
// any bytes. Besides crashes and sanitizer reports: every datum read has
// four positions of the file's electrodes and a finite factor, and every
// elevation is finite.
#include "inversion/Files.h"
#include "data/ZelError.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const zel::inv::OhmData ohm = zel::inv::parseOhm(text, 3, 2);
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
        for (const double z : zel::inv::elevationsAt(zel::parseTopography(text, "t"), {0, 1, 2, 3}, {0, 1, 2, 3}))
            if (!std::isfinite(z))
                std::abort();
    } catch (const zel::ZelError&) {
    }
    return 0;
}
