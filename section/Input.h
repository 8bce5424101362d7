#pragma once

#include "inversion/Chargeability.h"
#include "inversion/Inversion.h"
#include "survey/Polarisation.h"
#include "survey/Exports.h"
#include "survey/Geometry.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace zel {

// The measurements of one profile's inversion data (as the .ohm file takes
// them): each with its error estimate, else `defaultErrorPercent`, never
// below `minErrorPercent`; each tagged with its index in `data`.
std::vector<inv::Measurement> measurementsOf(const std::vector<InversionDatum>& data, double defaultErrorPercent,
                                             double minErrorPercent);

// Each electrode's elevation at `electrodeX` over the topography;
// `electrodeNumbers` (one per electrode) serve a topography given by
// electrode numbers.
std::vector<double> elevationsAt(const Topography& topography, const std::vector<double>& electrodeX,
                                 const std::vector<int>& electrodeNumbers = {});

// What an inversion of one profile takes: its data (with the geometry's
// error estimates) and, per electrode in the order of inv::electrodesOf,
// its number and elevation; what it is called, the value of each datum
// (the datum's tag is its index; a reading's data only), and what the
// topography left to be assumed.
struct SectionInput {
    QString what;                            // "L3 F1", or the .ohm file
    std::vector<inv::Measurement> data;
    std::vector<ValueKey> values;
    std::vector<int> electrodeNumbers;
    std::vector<double> elevations;          // empty: a flat line
    std::vector<TopographyGap> gaps;
    int poles = 0;                           // .ohm data with a pole electrode, left out
    // The profile was read at these frequencies (Hz, the lowest first); the
    // data are of `frequency` alone. Empty for an .ohm file.
    std::vector<double> frequencies;
    double frequency = 0;
    // Quadripoles read in two spreads that disagree beyond their errors.
    int disagreeing = 0;
    // Of an induced-polarisation section (addCharges): the frequencies its
    // effect compares, Hz, and the apparent chargeability of each datum
    // (by its tag) read at both, with its error; none for one read at the
    // low frequency alone.
    double lowHertz = 0, highHertz = 0;
    std::vector<std::optional<inv::ApparentCharge>> charges;
};

// "L3 F1".
QString profileName(const Profile& profile);

// Why two readings of one profile are not one placing of its electrodes
// (an electrode of one number at other places: another X0 or spacing), said
// with the first such electrode; empty when they are, or when the numbers
// do not tell (an .ohm file, a whole line).
QString placingDiffers(const SectionInput& base, const SectionInput& later);

// A profile of a reading: its values with positions, current and voltage,
// less those `choice` leaves out. Throws ZelError for two electrodes at one
// place.
SectionInput profileInput(const std::vector<MeasurementRecord>& records, const SurveyGeometry& geometry,
                          const Profile& profile, const ExportChoice& choice);
// The same with the reading's values and their checks made already
// (surveyValues, checkValues): many profiles of one reading make them once.
SectionInput profileInput(const std::vector<MeasurementRecord>& records, const std::vector<ChannelValue>& values,
                          const std::vector<ValueCheck>& checks, const SurveyGeometry& geometry, const Profile& profile,
                          const ExportChoice& choice);

// The apparent chargeabilities of a profile's input at the low frequency
// of `pair` (its data are of that frequency: the choice's frequency is
// pair.low), from the frequency effects at `pair`.
void addCharges(SectionInput& input, const std::vector<MeasurementRecord>& records,
                const std::vector<ChannelValue>& values, const std::vector<ValueCheck>& checks,
                const Profile& profile, const ExportChoice& choice, const FrequencyPair& pair);

// Why a profile gives an inversion no data (profileInput's data empty):
// what its values lack, the first of electrode positions, current and
// voltage, a geometric factor (two electrodes at one place, as B = M), or
// that every value is left out.
QString whyNoData(const std::vector<MeasurementRecord>& records, const SurveyGeometry& geometry,
                  const Profile& profile, const ExportChoice& choice);

// An .ohm file: its data with the errors the thresholds give, the
// elevations of its electrodes, or those of `topography` when one is given.
// Throws inv::FileRefused for a file that cannot be read.
SectionInput ohmInput(const QByteArray& text, const QString& name, const CheckThresholds& thresholds,
                      const std::optional<Topography>& topography);

// The line of an iteration: its number, χ² against the target, RRMS, λ and
// the time so far. In the interface's language and numbers as the window
// shows it; `plain`, in English with a decimal point as zeltool prints it
// among its other output, for scripts to read.
QString progressLine(const inv::IterationReport& report, bool plain = false);

} // namespace zel
