#pragma once

// zeltool invert in its four modes, one file each: a profile (Invert.cpp),
// a time-lapse pair (--base, InvertPair.cpp), every line (--all,
// InvertAll.cpp) and one volume of every line (--3d, InvertVolume.cpp),
// with what they share.
#include "Tool.h"

#include "section/Input.h"
#include "section/Options.h"
#include "plots/Sheet.h"

#include <QLocale>

#include <functional>
#include <optional>

namespace zeltool {

// What an invert call asked, whatever its mode.
struct InvertCall {
    const Arguments& args;
    zel::InversionChoice choice;
    double grid = 0;        // the spacing of OUT-grid.csv; 0 the default
    QStringList pictures;   // "png", "pdf"
    // The pictures as the four-panel sheet of this size, not the section alone.
    std::optional<zel::SheetSize> sheet;
    QString in;             // the data file
    QString target;         // OUT
    std::FILE* out;
    std::FILE* err;
    StopSignals& stop;
};

// Says that Ctrl+C stopped the command before anything was written: status 1.
int stoppedNothingWritten(std::FILE* err);
// The numbers of the pictures, in the language of the messages.
QLocale pictureNumbers();
// A section's pictures `base`.png and .pdf, as the call asked: the section
// alone, or its sheet with the data and the misfit.
QList<std::pair<QString, QByteArray>> sectionPicturesOf(const InvertCall& call, const zel::inv::InversionResult& result,
                                                        const QString& what, const QString& base);
// Writes a result's files as one set (none when Ctrl+C came first, or when
// one of them would replace an input) and lists them; 1 when stopped.
int writeResult(const InvertCall& call, const QList<std::pair<QString, QByteArray>>& files, const QStringList& inputs);
// Builds a result's files: false (said) when Ctrl+C stopped it, a grid too
// large refused with its size.
bool buildFiles(const InvertCall& call, const std::function<void()>& build);
// Refuses an OUT that names no file, or whose folder cannot be written,
// before anything is inverted.
void requireWritableTarget(const QString& target, bool folder);
// What a profile's data leave to be said: topography gaps, the frequency
// taken of several, readings of two spreads that disagree.
void sayInput(const zel::SectionInput& input, std::FILE* err);
// A depth along the line: its median and its range, m.
QString depthSummary(const QString& what, const std::vector<zel::inv::ColumnDepth>& columns);

int invertPair(const InvertCall& call, const zel::SectionInput& base, const zel::SectionInput& later,
               const zel::inv::InversionOptions& options, const QStringList& inputs);
int invertAll(const InvertCall& call, const LoadedData& reading, const zel::SurveyGeometry& geometry,
              const zel::Exclusions& left);
int invertVolume(const InvertCall& call, const LoadedData& reading, const zel::SurveyGeometry& geometry,
                 const zel::Exclusions& left);

} // namespace zeltool
