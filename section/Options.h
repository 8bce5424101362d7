#pragma once

#include "inversion/Depth.h"
#include "inversion/Inversion.h"
#include "survey/Checks.h"
#include "survey/Geometry.h"

#include <optional>

class QSettings;

namespace zel {

// The range a setting of the inversion takes, both ends included.
struct OptionRange {
    double low, high;
    bool holds(double v) const { return v >= low && v <= high; }
};
constexpr OptionRange kLambdaRange{0.001, 1e6};
constexpr OptionRange kIterationsRange{1, 100};
constexpr OptionRange kVerticalRatioRange{0.01, 100};
// The spacing of a model's regular grid, m.
constexpr OptionRange kGridSpacingRange{0.01, 1000};
constexpr OptionRange kDoiThresholdRange{0.01, 0.9};

// What an inversion of one profile is asked for: the profile, the
// regularisation at the start, the iterations allowed, robust data weights,
// the vertical against horizontal smoothness, and whether values the data
// check flagged go in. The window's dialog and zeltool's options give it.
struct InversionChoice {
    Profile profile;
    double lambda = inv::InversionOptions{}.lambda;
    int maxIterations = inv::InversionOptions{}.maxIterations;
    bool robust = false;
    double verticalRatio = 1;
    bool useFlagged = true;
    // The depth of investigation by the Oldenburg–Li index (two more
    // inversions), drawn as the contour of this index.
    bool doi = false;
    double doiThreshold = inv::kDoiThreshold;
    // The frequency inverted (a record's FreqIndex) of a profile read at
    // several; none: the lowest it holds.
    std::optional<int> frequency;
    // Of a profile read at two frequencies or more, the frequency effect
    // too: the resistivity at the lowest frequency, then the chargeability
    // section against the highest.
    bool ip = false;

    // The inversion's options on `threads` threads (0: every core); its
    // λ floor never above the λ it starts from.
    inv::InversionOptions options(int threads = 0) const;
    // What of a profile's values goes in, with the values the user left out.
    ExportChoice dataChoice(const Exclusions& exclusions) const { return {exclusions, !useFlagged, frequency}; }
};

// [Inversion] of the user's settings: the choices made last (a bad or
// missing value: the default's); the profile is not kept.
InversionChoice readInversionChoice(QSettings& settings);
void writeInversionChoice(QSettings& settings, const InversionChoice& choice);

} // namespace zel
