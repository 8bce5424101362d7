#pragma once

#include "Values.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

namespace zel {

// Records of one line and file form one profile.
struct Profile {
    int line = 0;
    int file = 0;
    bool operator==(const Profile&) const = default;
};

enum class SurveyFormat { Csv, Res2DInv, Ohm };

// A number in plain decimal notation with a full stop and at least
// `significant` significant digits, never with an exponent; trailing zeros
// after the point are dropped, keeping one digit after it when `withPoint`
// ("-10.0", "0.0000213").
QByteArray plainDecimal(double value, int significant = 7, bool withPoint = true);

// The profiles of the records, in the order they first appear.
std::vector<Profile> profilesOf(const std::vector<MeasurementRecord>& records);

// Every measured value of every profile as CSV (RFC 4180, comma, CRLF, UTF-8)
// with a header line.
QByteArray csvFile(const std::vector<MeasurementRecord>& records, const std::vector<ChannelValue>& values);

// The values of one profile that the inversion formats take: with positions,
// a geometric factor and a resistance from a voltage other than 0.
std::vector<ChannelValue> invertibleValues(const std::vector<MeasurementRecord>& records,
                                           const std::vector<ChannelValue>& values, const Profile& profile);

// Res2DInv's general array format of one profile's invertible values.
QByteArray res2dinvFile(const Profile& profile, const std::vector<ChannelValue>& values);
// pyGIMLi/BERT's unified data format (.ohm) of one profile's invertible values.
QByteArray ohmFile(const std::vector<ChannelValue>& values);

// The files an export writes: for CSV one file with every profile; for the
// inversion formats one per profile with invertible values, named
// "<name>_L<line>_F<file>.<ext>" beside `out` when there are several and no
// profile was chosen. Throws ZelError when there is nothing to write (no
// record with positions) or the chosen profile is not in the data.
QList<std::pair<QString, QByteArray>> surveyExport(SurveyFormat format, const std::vector<MeasurementRecord>& records,
                                                   const SurveyGeometry& geometry, std::optional<Profile> chosen,
                                                   const QString& out);

// Writes the files of an export, each whole or not at all, in order; the
// paths written. Throws ZelError at the first that cannot be written.
QStringList writeExportFiles(const QList<std::pair<QString, QByteArray>>& files);

} // namespace zel
