#pragma once

#include "Input.h"
#include "Options.h"
#include "WorkerJob.h"

#include "inversion/Depth.h"
#include "survey/Checks.h"

#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace zel {

// One of the parallel lines of a survey: its profile, where it lies across
// the survey (its Y, m) and its section.
struct LineSection {
    Profile profile;
    double y = 0;
    QString what;
    inv::InversionResult result;
    // The depth of sensitivity of each column of the section, m.
    std::vector<inv::ColumnDepth> sensitivity;
    // The model explains the data (its verdict is empty): only such a
    // line is drawn into a plan.
    bool fits() const { return !result.misfits(); }
};

// The lines of a reading, one inversion each: a line of several files as
// its whole line, a line of one file as that file; lines with positions only.
std::vector<Profile> surveyLines(const std::vector<MeasurementRecord>& records);
// A survey line's Y: its own, or of a whole line that of its first file
// among `files` (profilesOf the reading).
double lineY(const SurveyGeometry& geometry, const std::vector<Profile>& files, const Profile& line);

// Every line of a reading inverted, one after the other, each on every
// thread `choice` is given; `progress` hears each iteration with the line's
// place (from 0) among `count`; `cancel` ends the line running with what it
// has, and no line after it starts. A line with nothing to invert, or one
// the inversion refuses or fails on, is left out and said in `skipped`
// (what, why); the lines after it are inverted all the same.
struct LinesRun {
    std::vector<LineSection> lines;
    std::vector<std::pair<QString, QString>> skipped;
    bool cancelled = false;
};
LinesRun invertLines(const std::vector<MeasurementRecord>& records, const SurveyGeometry& geometry,
                     const Exclusions& exclusions, const InversionChoice& choice, int threads,
                     const std::function<void(int line, int count, const inv::IterationReport&)>& progress = {},
                     const std::atomic<bool>* cancel = nullptr);

// The section's resistivity `depth` metres below its ground at x along
// the line: that of the parameter cell there; NaN beyond the cells.
double resistivityAtDepth(const inv::InversionResult& result, double x, double depth);

// A plan view of parallel lines at one depth below the ground: a grid over
// the lines' extent, each point's resistivity interpolated in log ρ between
// the two lines either side at its x (along a line, the line's own); NaN
// where a line has no cell there or no line lies either side. A line whose
// model does not explain its data, one without cells and one at the Y of
// another are not drawn: each is said in `leftOut` (what, why).
struct PlanView {
    double depth = 0;
    std::vector<double> x, y;  // the grid's columns and rows, m
    std::vector<double> rho;   // y.size() rows of x.size(), ohm·m
    struct Line {
        double y = 0, from = 0, to = 0;  // across, and its first and last electrode along
        QString what;
        bool leftOut = false;  // drawn as a trace only: its section is not in the plan
    };
    std::vector<Line> lines;
    std::vector<std::pair<QString, QString>> leftOut;
    // The depth lies below every drawn line's depth of sensitivity: the
    // data see nothing there.
    bool belowSensitivity = false;
    double at(std::size_t row, std::size_t column) const { return rho[row * x.size() + column]; }
};
PlanView planView(const std::vector<LineSection>& lines, double depth, int columns = 200, int rows = 120);

// Whether the lines lie apart across the survey: at least two Ys.
bool linesApart(const std::vector<LineSection>& lines);
// A depth rounded to two significant digits, for the name of a slice.
double roundedDepth(double depth);
// Depths for plan views: four, evenly to the median depth of
// investigation's by the sensitivity, rounded to the spacing's tenth.
std::vector<double> sliceDepths(const std::vector<LineSection>& lines);

// Every line of the current reading inverted on a worker thread, with the
// run it gave last.
class LinesJob : public WorkerJob {
    Q_OBJECT
public:
    using WorkerJob::WorkerJob;
    // False while one runs.
    bool start(std::vector<MeasurementRecord> records, SurveyGeometry geometry, Exclusions exclusions,
               InversionChoice choice, int threads);
    // The lines inverted, none before the first run ends.
    std::shared_ptr<const LinesRun> result() const { return m_result; }

signals:
    // An iteration of the line `line` (from 0) of `count`.
    void iteration(int line, int count, const zel::inv::IterationReport& report);

private:
    bool hasResult() const override { return m_result != nullptr; }

    std::shared_ptr<const LinesRun> m_result;
};

} // namespace zel
