#pragma once

#include "Forward.h"
#include "Mesh.h"

#include <array>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace zel::inv {

// A ground of known resistivity under a line of electrodes: a background,
// horizontal layers and rectangular blocks, depths below the surface.
struct GroundBlock {
    double x0 = 0, x1 = 0;       // m along the line
    double top = 0, bottom = 0;  // m below the surface
    double rho = 10;             // ohm·m
    double pfe = 0;              // its frequency effect, %: ρ at the high frequency is ρ / (1 + pfe / 100)
};
struct GroundLayer {
    double top = 0;  // m below the surface: the layer reaches down to the next one's top
    double rho = 10;
    double pfe = 0;
};
struct Ground {
    int electrodes = 32;  // numbered 0 … electrodes − 1, at x = number · spacing
    double spacing = 1;
    double background = 100;
    double backgroundPfe = 0;  // %
    // The two frequencies a station reads every quadripole at, Hz; none
    // ({0, 0}): one reading, unless the ground has a frequency effect.
    std::array<double, 2> frequencies{};
    std::vector<GroundLayer> layers;                    // by their tops, ascending
    std::vector<GroundBlock> blocks;                    // over the layers, the first that holds a point
    std::vector<std::pair<double, double>> elevations;  // electrode number, z in m; none: flat
    int aMax = 2;                                       // the table the simulator measures with
    int nMax = 8;
    // The simulator measures the line as spreads of this many electrodes
    // (0: one spread of them all), each `spreadStep` electrodes further
    // along than the one before: a roll-along, one file a spread.
    int spreadElectrodes = 0;
    int spreadStep = 0;
    // The station reads Schlumberger soundings instead of the
    // dipole-dipole table, each over the ground's column beneath its centre:
    // `soundings` of them `soundingStep` m apart about the line's middle,
    // each a file of its own (0: none). With positions, M and N one spacing
    // apart about the centre (and three from AB/2 of ten spacings on), A and
    // B moved outward as far as the station's electrode numbers reach;
    // `plainSoundings`: plain measurements of the crew's usual sheet, AB/2
    // 1.5–120 m at MN/2 0.5 and 2 m. `wennerSoundings`: with positions, the
    // Wenner array instead, A M N B a = 1, 3, 5 … spacings apart.
    int soundings = 0;
    double soundingStep = 0;
    bool plainSoundings = false;
    bool wennerSoundings = false;
    int line = 1;  // the station's line number of its records
    double y = 0;  // m: where the line lies across the survey

    // The resistivity at x along the line and `depth` below the surface,
    // at the low frequency, and its frequency effect, %.
    double rhoAt(double x, double depth) const;
    double pfeAt(double x, double depth) const;
    // The resistivity at the high frequency: ρ / (1 + PFE / 100).
    double highRhoAt(double x, double depth) const { return rhoAt(x, depth) / (1 + pfeAt(x, depth) / 100); }
    // Whether any part of the ground has a frequency effect.
    bool chargeable() const;
    // The depths and x a mesh is to have as node rows and columns: the
    // layers' tops, the blocks' edges.
    std::vector<double> levels() const;
    std::vector<double> verticals() const;
    // The electrodes' x and z (the surface between the heights given).
    std::vector<double> electrodeX() const;
    std::vector<double> electrodeZ() const;
};

// A file of data, topography or a model that cannot be read, with the line
// (from 1) where it went wrong (0: the file as a whole).
class FileRefused : public std::runtime_error {
public:
    FileRefused(const std::string& what, int line) : std::runtime_error(what), m_line(line) {}
    int line() const { return m_line; }

private:
    int m_line;
};

// The model file: one "key numbers" a line, "#" comments, a decimal comma
// taken for a point:
//   electrodes N / spacing S / background RHO [PFE] / layer TOP RHO [PFE] /
//   block X0 X1 TOP BOTTOM RHO [PFE] / elevation ELECTRODE Z / table AMAX NMAX /
//   spreads ELECTRODES STEP / line NUMBER [Y] / frequencies LOW HIGH /
//   sounding [COUNT STEP] / plain
// Throws FileRefused for an unknown key, a number that is not one, a key
// with the wrong count of numbers, a resistivity not above 0, a frequency
// effect outside 0–100 %, frequencies not above 0 or not rising, a whole
// number out of its range, a spacing below kLeastSpacing, a block whose
// ends are given backwards, and a file without a key.
constexpr double kLeastSpacing = 0.01;  // m
Ground parseGround(const std::string& text);

// The apparent resistivities of `configurations` (electrode indices into
// x, z) over the ground `rhoAt` (x, depth below the surface → ohm·m), on a
// mesh finer than an inversion's, whose rows and columns include `levels`
// (depths) and `verticals` (x), down to at least `depth`.
std::vector<double> forwardResponse(const std::vector<double>& x, const std::vector<double>& z,
                                    const std::vector<Configuration>& configurations,
                                    const std::function<double(double x, double depth)>& rhoAt,
                                    const std::vector<double>& levels = {}, const std::vector<double>& verticals = {},
                                    double depth = 0);

} // namespace zel::inv
