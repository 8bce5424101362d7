#pragma once

#include "GaussNewton.h"
#include "Inversion.h"
#include "Volume.h"

#include <array>
#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace zel::inv {

// One datum of a survey: where A, B, M, N stand (x along the lines, y
// across, z their height), its geometric factor and apparent resistivity,
// its relative error and what else is known of it.
struct SurveyMeasurement {
    std::array<Point3, 4> at{};
    double k = 0;          // m
    double rhoa = 0;       // ohm·m
    double error = 0.03;   // relative, as a fraction
    double voltage = 0;    // |U|, mV; 0: not known
    double depth = 0;      // median depth of investigation, m; 0: not known
    int tag = -1;          // the caller's own number of the datum
};

// The datum as its line's inversion takes it: the electrodes' places along
// the line, the rest as it is.
Measurement alongLine(const SurveyMeasurement& m);

struct VolumeInversionOptions : GaussNewtonOptions {
    VolumeOptions volume;
};

// A survey's inversion: its volume, its data and what the fit made of them.
struct VolumeResult : Fit {
    Volume volume;
    // Per parameter cell, the depth-of-investigation index; empty when it
    // was not computed.
    std::vector<double> doi;
    std::vector<SurveyMeasurement> data;
    int leftOut = 0;  // apparent resistivities left out: not above 0, or outside kLeastRhoa–kLargestRhoa
    double medianErrorPercent() const;
    bool misfits() const;
    std::string verdict() const;
};

// The memory a 3D inversion of `data` takes at its peak, bytes, and the
// volume it would be made on.
std::size_t volumeMemoryNeeded(const std::vector<SurveyMeasurement>& data, const VolumeInversionOptions& options);

// One resistivity volume from the data of parallel lines, by GaussNewton
// over the 3D forward, from the median apparent resistivity (or the
// reference). The parameter region reaches kParameterDepthFactor times the
// deepest median depth. As invert(): `progress` hears every iteration,
// `cancel` ends it with what it has (InversionStopped without a model);
// InversionRefused for data it cannot invert, MemoryRefused for a survey
// the memory cannot hold.
VolumeResult invertVolume(const std::vector<SurveyMeasurement>& data, const VolumeInversionOptions& options,
                          const std::function<void(const IterationReport&)>& progress = {},
                          const std::atomic<bool>* cancel = nullptr);

// The Oldenburg–Li index of every parameter cell of a volume, as the
// line's (doiIndex): the data inverted twice more from references at `low`
// and `high` times the background, on a volume reaching kDoiRegionFactor
// times as deep, one after the other on every core; averaged with the
// neighbours and scaled by the largest. `progress` hears each run's
// iterations (run 1 or 2); `cancel` ends both, and the index is empty.
std::vector<double> volumeDoiIndex(const VolumeResult& result, const VolumeInversionOptions& options,
                                   const std::function<void(int run, const IterationReport&)>& progress = {},
                                   const std::atomic<bool>* cancel = nullptr, double low = 0.1, double high = 10);

} // namespace zel::inv
