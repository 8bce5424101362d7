#pragma once

#include <array>
#include <cstddef>
#include <stdexcept>
#include <utility>
#include <vector>

namespace zel::inv {

// Why data cannot be inverted: too few electrodes or data, a ground the mesh
// cannot follow, a line too large for the memory.
class InversionRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A point of the section: x along the line, z the elevation (the heights
// the electrodes were given, 0 on a flat line, up positive), metres.
struct Point {
    double x = 0;
    double z = 0;
};

// How the mesh under a line is laid out.
struct MeshOptions {
    int cellsPerSpacing = 2;         // columns between neighbouring electrodes, at least
    double firstLayer = 0.25;        // the top layer's thickness, in electrode spacings
    double layerGrowth = 1.12;       // each layer of the parameter region this much thicker
    double parameterDepth = 0;       // depth of the parameter region, m (0: three spacings)
    double paddingGrowth = 1.3;      // cells of the padding region grow by this factor
    double paddingLengths = 5;       // the padding reaches this many line lengths sideways and down
    std::vector<double> levels;      // depths that must be node rows (a known layer boundary)
    std::vector<double> verticals;   // x that must be node columns (a known edge), within the line
};

// A structured mesh of quadrilateral cells under the line, each cut into two
// linear triangles. Node columns stand at every electrode and between them;
// with topography a column's nodes are shifted by the surface's height over
// the highest electrode (a shift of 0 or less), less with depth, down to none
// at the bottom. Heights above sea level or relative to the line give the
// same cells, moved up or down as a whole. Cells inside the line and
// above the parameter depth are the model's parameters; the padding around
// them keeps the far boundary away and holds the background resistivity.
struct Mesh {
    std::vector<double> columns;          // node columns' x, ascending
    std::vector<double> depths;           // node rows' depth below the surface, from 0, ascending
    std::vector<Point> nodes;             // column-major: node (i, j) at i * rows + j
    std::vector<std::array<int, 3>> triangles;
    std::vector<int> cellOfTriangle;      // the quadrilateral cell each triangle belongs to
    std::vector<int> parameterOfCell;     // -1 for a padding cell
    std::vector<int> cellOfParameter;
    std::vector<int> electrodeNodes;      // one per electrode, in the order given
    std::vector<double> electrodeX;       // the electrodes' horizontal positions
    double reference = 0;                 // the height the rows are laid from: the highest electrode's

    int rows() const { return int(depths.size()); }
    int cellRows() const { return rows() - 1; }
    int node(int column, int row) const { return column * rows() + row; }
    int cell(int column, int row) const { return column * cellRows() + row; }
    int cellCount() const { return (int(columns.size()) - 1) * cellRows(); }
    int parameterCount() const { return int(cellOfParameter.size()); }
    // The centre of a cell, and its area.
    Point cellCentre(int cell) const;
    double cellArea(int cell) const;
    // The four corners of a cell, anticlockwise from the upper left.
    std::array<Point, 4> cellCorners(int cell) const;
    // The cell a point lies in; -1 outside the mesh.
    int cellAt(const Point& p) const;
};

// The surface's elevation at x: linear between the electrodes, beyond them
// the nearest one's. `elevations` is one per electrode (empty: flat, 0).
double surfaceAt(const std::vector<double>& electrodeX, const std::vector<double>& elevations, double x);

// The mesh under electrodes at `electrodeX` (any order, distinct), with an
// elevation per electrode or none. Throws InversionRefused when the ground
// is too steep for the rows to follow it (a row would cross the one below
// it, or a cell turn inside out).
Mesh makeMesh(const std::vector<double>& electrodeX, const std::vector<double>& elevations, const MeshOptions& options);

} // namespace zel::inv
