#pragma once

// Lines of 48 electrodes at 1 m read at two frequencies (dipole-dipole,
// a = 1–2, n = 1–6) over chargeable ground, and what their sections show:
// the cases the induced-polarisation tests and benchmark measure.
#include "Analytic.h"

#include "section/Input.h"
#include "sim/StationModel.h"
#include "survey/Polarisation.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace zeltest {

// A profile's data at the low frequency with their apparent
// chargeabilities, and its data at the high one.
struct IpCase {
    zel::SectionInput low, high;
};

inline zel::sim::SyntheticLine ipLine()
{
    zel::sim::SyntheticLine line;
    line.electrodes = 48;
    line.aMax = 2;
    line.nMax = 6;
    return line;
}

// The simulated station's reading of `line`; with `noise`, each quadripole's
// two readings share a relative error of `noise` (one placing of the
// electrodes, one contact) and each has 0.1 % of its own.
inline IpCase simulatedCase(const zel::sim::SyntheticLine& line, double noise = 0, unsigned seed = 1)
{
    std::vector<zel::MeasurementRecord> records = zel::sim::syntheticRecords(line);
    std::mt19937 random(seed);
    std::normal_distribution<double> normal;
    for (std::size_t i = 0; noise > 0 && i + 1 < records.size(); i += 2) {
        for (int ch = 0; ch < 4; ++ch) {
            const double shared = 1 + noise * normal(random);
            for (zel::MeasurementRecord* r : {&records[i], &records[i + 1]}) {
                if (r->Range[std::size_t(ch)] >= 7)
                    continue;
                double u = r->U[std::size_t(ch)] * shared * (1 + 0.001 * normal(random));
                if (std::abs(u) > 32000 && r->Range[std::size_t(ch)] > 0)
                    u /= 10, --r->Range[std::size_t(ch)];
                r->U[std::size_t(ch)] = std::int16_t(std::lround(u));
            }
        }
    }
    const zel::SurveyGeometry geometry;
    const std::vector<zel::ChannelValue> values = zel::surveyValues(records, geometry);
    const std::vector<zel::ValueCheck> checks = zel::checkValues(records, values, geometry.thresholds);
    const zel::Profile profile{1, 1};
    const zel::FrequencyPair pair = *zel::frequencyPairOf(zel::profileFrequencies(records, values, profile), std::nullopt);
    IpCase c;
    c.low = zel::profileInput(records, values, checks, geometry, profile, {{}, false, pair.low});
    zel::addCharges(c.low, records, values, checks, profile, {{}, false, pair.low}, pair);
    c.high = zel::profileInput(records, values, checks, geometry, profile, {{}, false, pair.high});
    return c;
}

// 2 m of 100 ohm·m without an effect over 30 ohm·m of a frequency effect of
// 10 %, both frequencies by the image series.
inline IpCase twoLayerCase()
{
    IpCase c;
    const zel::sim::SyntheticLine line = ipLine();
    for (int a = 1; a <= line.aMax; ++a)
        for (int n = 1; n <= line.nMax; ++n)
            for (int i = 0; i + 2 * a + n * a < line.electrodes; ++i) {
                zel::inv::Measurement m;
                m.x = {double(i), double(i + a), double(i + a + n * a), double(i + 2 * a + n * a)};
                m.k = geometricFactor(m.x[0], m.x[1], m.x[2], m.x[3]);
                m.depth = *zel::medianDepth(m.x);
                m.tag = int(c.low.data.size());
                zel::inv::Measurement high = m;
                m.rhoa = twoLayerRhoa(100, 30, 2, m.x[0], m.x[1], m.x[2], m.x[3]);
                high.rhoa = twoLayerRhoa(100, 30 / 1.1, 2, m.x[0], m.x[1], m.x[2], m.x[3]);
                c.low.data.push_back(m);
                c.high.data.push_back(high);
                const double pfe = 100 * (m.rhoa - high.rhoa) / high.rhoa;
                const double error = zel::kEffectErrorPoints + zel::kEffectErrorShare * std::abs(pfe);
                c.low.charges.push_back(zel::inv::ApparentCharge{std::size_t(m.tag), zel::inv::chargeOfEffect(pfe),
                                                                 100 * error / ((100 + pfe) * (100 + pfe))});
            }
    return c;
}

// The frequency effect of a section's parameter cells, % (each cell's
// centre x and depth with it) within the line and above `deepest`.
struct CellEffect {
    double x, depth, pfe;
};
inline std::vector<CellEffect> cellEffects(const zel::inv::Mesh& mesh, const std::vector<double>& pfe, double deepest)
{
    std::vector<CellEffect> out;
    for (int p = 0; p < mesh.parameterCount(); ++p) {
        const zel::inv::Point centre = mesh.cellCentre(mesh.cellOfParameter[std::size_t(p)]);
        const double depth = -centre.z;
        if (depth <= deepest && centre.x > mesh.electrodeX.front() && centre.x < mesh.electrodeX.back())
            out.push_back({centre.x, depth, pfe[std::size_t(p)]});
    }
    return out;
}

// The share q (0–1) of `values`, sorted.
inline double quantile(std::vector<double> values, double q)
{
    if (values.empty())
        return NAN;
    std::sort(values.begin(), values.end());
    return values[std::size_t(std::lround(q * double(values.size() - 1)))];
}

} // namespace zeltest
