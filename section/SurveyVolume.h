#pragma once

#include "AllLines.h"
#include "Options.h"
#include "WorkerJob.h"

#include "inversion/VolumeInversion.h"
#include "survey/Checks.h"

#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

namespace zel {

// Lines that cannot make one volume: all at one Y, a Y that is not a
// number, two lines over one stretch of one Y. Said in the program's
// language, naming the lines.
class SurveyRefused : public inv::InversionRefused {
public:
    explicit SurveyRefused(const QString& why) : inv::InversionRefused(why.toStdString()), m_why(why) {}
    const QString& why() const { return m_why; }

private:
    QString m_why;
};

// Every line of a reading placed in the survey (x along the lines, its Y
// across, each electrode's height from the line's topography): the data of
// one 3D model.
struct SurveyInput {
    std::vector<inv::SurveyMeasurement> data;
    struct Line {
        Profile profile;
        QString what;
        double y = 0;
        double from = 0, to = 0;  // its first and last electrode along
    };
    std::vector<Line> lines;
    // Lines with nothing to invert (what, why).
    std::vector<std::pair<QString, QString>> skipped;
};
// Throws SurveyRefused for lines that cannot make one volume.
SurveyInput surveyInput(const std::vector<MeasurementRecord>& records, const SurveyGeometry& geometry,
                        const Exclusions& exclusions, const InversionChoice& choice);

// The volume's options for a choice of the inversion's.
inv::VolumeInversionOptions volumeOptions(const InversionChoice& choice, int threads = 0);

// What a 3D model of a survey made: its lines and the volume.
struct SurveyRun {
    SurveyInput input;
    inv::VolumeResult result;
};

// The section under a line cut from the volume, as a line's section: the
// row of parameter cells the line lies on, its data and their response,
// the volume's iterations.
inv::InversionResult sectionUnder(const inv::VolumeResult& result, const SurveyInput::Line& line);


// A volume's resistivity at `depth` below the ground over a grid of the
// parameter cells' columns and rows: per row (ascending y) the columns
// (ascending x), NaN where no parameter cell is.
struct VolumeSlice {
    double depth = 0;
    std::vector<double> x, y, rho;
    double at(std::size_t row, std::size_t column) const { return rho[row * x.size() + column]; }
};
VolumeSlice sliceAt(const inv::VolumeResult& result, double depth);
// A depth slice as a plan view of the lines.
PlanView planOf(const VolumeSlice& slice, const SurveyInput& input);
// Four depths for slices: evenly to the parameter region's half, rounded.
std::vector<double> volumeSliceDepths(const inv::VolumeResult& result);

// One 3D model of every line of the current reading on a worker thread.
class VolumeJob : public WorkerJob {
    Q_OBJECT
public:
    using WorkerJob::WorkerJob;
    // False while one runs.
    bool start(std::vector<MeasurementRecord> records, SurveyGeometry geometry, Exclusions exclusions,
               InversionChoice choice, int threads);
    std::shared_ptr<const SurveyRun> result() const { return m_result; }

signals:
    void iteration(const zel::inv::IterationReport& report);

private:
    bool hasResult() const override { return m_result != nullptr; }

    std::shared_ptr<const SurveyRun> m_result;
};

} // namespace zel
