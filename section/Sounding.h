#pragma once

// A vertical electrical sounding in a reading: a profile whose quadripoles
// share one midpoint while A and B move outward.
#include "inversion/Sounding.h"
#include "survey/Exports.h"

#include <QString>

#include <stdexcept>
#include <vector>

namespace zel {

// A profile that is no sounding, said why.
class SoundingRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A sounding's data, each datum's electrodes taken from its midpoint
// (`centre`, m along the line), in the order of AB/2 and then MN/2.
struct SoundingInput {
    QString what;  // "L1 F1"
    double centre = 0;
    std::vector<inv::SoundingDatum> data;
};

// The sounding of a profile: its invertible values (with the choice's
// exclusions and frequency, repeats as one datum, each with its error
// estimate, else the thresholds' default, never below their least).
// Throws SoundingRefused when the quadripoles do not share one midpoint
// (within a millimetre, AB's and MN's alike) or span fewer than three
// spacings AB/2, and ZelError for a profile not in the data.
SoundingInput soundingInput(const std::vector<MeasurementRecord>& records, const SurveyGeometry& geometry,
                            const Profile& profile, const ExportChoice& choice);

} // namespace zel
