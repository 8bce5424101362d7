#pragma once

// A vertical electrical sounding in a reading: a profile whose quadripoles
// share one midpoint while A and B move outward.
#include "inversion/Sounding.h"
#include "survey/Exports.h"
#include "survey/Spacings.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <stdexcept>
#include <vector>

namespace zel {

// A profile that is no sounding, said why (in the interface's language).
class SoundingRefused : public std::runtime_error {
public:
    explicit SoundingRefused(const QString& why) : std::runtime_error(why.toStdString()) {}
};

// A sounding's data, each datum's electrodes taken from its midpoint
// (`centre`, m along the line), in the order of AB/2 and then MN/2.
struct SoundingInput {
    Profile profile;
    QString what;  // "L1 F1"
    double centre = 0;
    std::vector<inv::SoundingDatum> data;
    // Readings of ρa ≤ 0 (a swapped wire, a sign lost): no layered earth
    // gives them, so they are left out, and counted here to be said.
    int notPositive = 0;
};

// The sounding of a profile: its invertible values (with the choice's
// exclusions and frequency, repeats as one datum, each with its error
// estimate, else the thresholds' default, never below their least).
// Throws SoundingRefused when the quadripoles do not share one midpoint
// (within a millimetre, AB's and MN's alike) or span fewer than three
// spacings AB/2, and ZelError for a profile not in the data.
// A profile of plain measurements (no positions) takes channel 1 of its
// records of Mode 0–9 with their spacings from `sheets` (centred at the
// sheet's centre, else the profile's X0); it is refused without a sheet or
// with a station the sheet does not have.
SoundingInput soundingInput(const std::vector<MeasurementRecord>& records, const SurveyGeometry& geometry,
                            const Profile& profile, const ExportChoice& choice, const SpacingSheets& sheets = {});

// A sounding interpreted: its layered model (the fewest layers, or those
// the user set) and its smooth model.
struct SoundingResult {
    SoundingInput input;
    inv::LayeredFit layered;
    inv::SmoothFit smooth;
};
SoundingResult interpretSounding(SoundingInput input);

// Every sounding of a reading, each profile in turn; the refusals of
// profiles that are none (or whose geometry cannot be used), in `leftOut`
// when given. `step` hears of each profile taken (done of total); once
// `cancel` is set, the next profile throws inv::InversionStopped.
using SoundingSteps = std::function<void(int done, int total)>;
std::vector<SoundingResult> everySounding(const std::vector<MeasurementRecord>& records, const SurveyGeometry& geometry,
                                          const SpacingSheets& sheets, QStringList* leftOut = nullptr,
                                          const SoundingSteps& step = {}, const std::atomic<bool>* cancel = nullptr);

// The files of a sounding: the curve (each datum with both models'
// responses), the layered model with each layer's range and, where thin,
// its S = h/ρ and T = h·ρ, and the smooth model.
QByteArray soundingCurveCsv(const SoundingResult& result);
QByteArray soundingLayersCsv(const inv::LayeredFit& layered);
QByteArray soundingSmoothCsv(const inv::SmoothFit& smooth);

// Soundings along a line as a section: the smooth models between
// neighbouring centres interpolated linearly in log ρ at each depth, on a
// grid of `columns` × `rows` from half a step before the first centre to
// half a step beyond the last (the nearest model's there) and from the
// surface to the deepest median depth of investigation of their largest
// spacings (Edwards 1977); the layered models' boundaries at each centre.
struct SoundingSection {
    std::vector<double> x, depth;  // the grid's columns and rows, m
    std::vector<double> rho;       // rows × columns, row-major, ohm·m
    double at(std::size_t row, std::size_t column) const { return rho[row * x.size() + column]; }
    struct Column {
        QString what;
        double centre = 0;
        std::vector<double> boundaries;  // m, the layered model's
        double rrms = 0;
    };
    std::vector<Column> soundings;  // by centre
};
// Throws SoundingRefused for fewer than two soundings or two at one centre.
SoundingSection soundingSection(const std::vector<SoundingResult>& soundings, int columns = 200, int rows = 120);
// x_m,depth_m,rho_ohmm of each grid point, depth growing within each x.
QByteArray soundingSectionCsv(const SoundingSection& section);

// True when the profile's records carry no electrode positions but are
// measurements a spacing sheet can place (Mode 0–9).
bool plainSounding(const std::vector<MeasurementRecord>& records, const Profile& profile);

} // namespace zel
