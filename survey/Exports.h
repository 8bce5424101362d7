#pragma once

#include "Checks.h"
#include "data/ZelError.h"
#include "Values.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <algorithm>
#include <atomic>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

namespace zel {

enum class SurveyFormat { Csv, Res2DInv, Ohm };

// A number in plain decimal notation with a full stop and at least
// `significant` significant digits, never with an exponent; trailing zeros
// after the point are dropped, keeping one digit after it when `withPoint`
// ("-10.0", "0.0000213").
QByteArray plainDecimal(double value, int significant = 7, bool withPoint = true);

// The profiles of the records, by line and then by file.
std::vector<Profile> profilesOf(const std::vector<MeasurementRecord>& records);

// That the profile, or a whole line, is not in the data.
ZelError notInData(const Profile& profile);
// The profiles a user chooses among: each line of several files as a whole
// line first, then its files.
std::vector<Profile> profileChoices(const std::vector<Profile>& profiles);
// The files of a whole line are one line when each is placed by its own X0
// (WholeLineNotPlaced; two at one X0: WholeLineOnePlace) at one spacing
// (WholeLineSpacing, naming the first file of another spacing than the
// line's first file): spreads never placed would be stacked on each other.
// Each file's slope distances fit its ground (requireTapeFitsGround).
void requirePlacedSpreads(const std::vector<MeasurementRecord>& records, const SurveyGeometry& geometry,
                       const Profile& profile);

// Every measured value of every profile as CSV (RFC 4180, comma, CRLF, UTF-8)
// with a header line; the last two columns are the data check's error
// estimate and flags (`checks` one per value; empty: not checked) and the
// values left out (`excluded` one per value; empty: none).
QByteArray csvFile(const std::vector<MeasurementRecord>& records, const std::vector<ChannelValue>& values,
                   const std::vector<ValueCheck>& checks = {}, const std::vector<bool>& excluded = {});

// The values of one profile that the inversion formats take: with positions,
// a geometric factor and a resistance from a voltage other than 0.
std::vector<ChannelValue> invertibleValues(const std::vector<MeasurementRecord>& records,
                                           const std::vector<ChannelValue>& values, const Profile& profile);

// One datum of an inversion file: a value, or the mean of the values of one
// A, B, M, N measured more than once (r, u and i their means, the apparent
// resistivity k times the mean r), with the largest of their error estimates.
struct InversionDatum {
    ChannelValue value;
    std::optional<double> errorPercent;
    // Read in two spreads that disagree beyond their errors: the mean is
    // kept with its readings' own error, not widened to fit.
    bool disagrees = false;
    // The relative error an inversion and the .ohm file give it, a
    // fraction: its own estimate, else `defaultPercent`, never below
    // `leastPercent` nor above 100 % (a datum that tells nothing, and the
    // most a .ohm file's err column holds).
    double errorFraction(double defaultPercent, double leastPercent) const
    {
        return std::min(std::max(errorPercent.value_or(defaultPercent), leastPercent), 100.0) / 100;
    }
};
// One profile's data for the inversion files: its invertible values less
// those the choice leaves out, repeats as one datum, in the order of their
// first measurement. `checks` one per value. A value without an estimate of
// its own takes the profile's error model (ErrorModel.h) where the profile
// has enough repeats and reciprocals for one.
std::vector<InversionDatum> inversionData(const std::vector<MeasurementRecord>& records,
                                          const std::vector<ChannelValue>& values,
                                          const std::vector<ValueCheck>& checks, const Profile& profile,
                                          const ExportChoice& choice);
// The data of invertible values as they are, without estimates.
std::vector<InversionDatum> asData(const std::vector<ChannelValue>& values);
// The frequency effect of each datum of an inversion file, % (one per
// datum), and the two frequencies it compares, Hz.
struct FileEffects {
    std::vector<double> pfe;
    double lowHertz = 0, highHertz = 0;
};
// Res2DInv's general array format of one profile's data; with `effects`,
// its induced polarisation as percent frequency effect after each datum's
// resistance (the IP flag 1, "Frequency effect", "%" and the two
// frequencies in place of a time-domain reading's delay and window).
QByteArray res2dinvFile(const Profile& profile, const std::vector<InversionDatum>& data,
                        const FileEffects* effects = nullptr);
// pyGIMLi/BERT's unified data format (.ohm) of one profile's data, with the
// relative error of each datum (its estimate, else `defaultErrorPercent`),
// never below `minErrorPercent`.
QByteArray ohmFile(const std::vector<InversionDatum>& data, double defaultErrorPercent, double minErrorPercent);

// What an export writes before it has a name: one file for CSV (every
// profile, or the chosen one), one per profile with invertible values for
// the inversion formats (`profile` says which). Throws ZelError when there is
// nothing to write (no record with positions, or every value left out) or
// the chosen profile is not in the data: before anyone is asked for a name.
struct SurveyExportContents {
    std::vector<std::pair<std::optional<Profile>, QByteArray>> files;
};
SurveyExportContents surveyExportContents(SurveyFormat format, const std::vector<MeasurementRecord>& records,
                                          const SurveyGeometry& geometry, std::optional<Profile> chosen,
                                          const ExportChoice& choice);
// Their paths: `out` for one file, "<name>_L<line>_F<file>.<ext>" beside it
// for several.
QList<std::pair<QString, QByteArray>> exportFiles(const SurveyExportContents& contents, const QString& out);

// The files an export writes: for CSV one file with every profile; for the
// inversion formats one per profile with invertible values, named
// "<name>_L<line>_F<file>.<ext>" beside `out` when there are several and no
// profile was chosen. Every value is checked with the geometry's
// thresholds; the choice says what the inversion files leave out. Throws
// ZelError when there is nothing to write (no record with positions) or the
// chosen profile is not in the data.
QList<std::pair<QString, QByteArray>> surveyExport(SurveyFormat format, const std::vector<MeasurementRecord>& records,
                                                   const SurveyGeometry& geometry, std::optional<Profile> chosen,
                                                   const QString& out, const ExportChoice& choice);

// Writes the files of an export, all of them or none: a single file as
// writeWholeFile does; several first each into a temporary file beside it,
// and only when every one is written whole are they put in place. The paths
// written. Throws ZelError at the first that cannot be written, with every
// file of the export as it was. Several files are written under a lock
// beside the first ("<file>.lock"): two runs into one place do not mix
// their sets. `cancel`, looked at after each file staged, ends it before
// anything is put in place (ExportStopped), the temporary files removed.
QStringList writeExportFiles(const QList<std::pair<QString, QByteArray>>& files,
                             const std::atomic<bool>* cancel = nullptr);
// A set of files stopped before it was put in place: nothing was written.
class ExportStopped : public std::runtime_error {
public:
    ExportStopped() : std::runtime_error("stopped before the files were put in place") {}
};

} // namespace zel
