#pragma once

#include "Mesh.h"

#include <array>
#include <vector>

namespace zel::inv {

// A point of a survey: x along its lines, y across them, z the elevation
// (up positive), metres.
struct Point3 {
    double x = 0;
    double y = 0;
    double z = 0;
};

// How the volume under a survey of parallel lines is laid out.
struct VolumeOptions {
    double firstLayer = 0.25;    // the top layer's thickness, in electrode spacings
    double layerGrowth = 1.15;   // each layer of the parameter region this much thicker
    double parameterDepth = 0;   // depth of the parameter region, m (0: the survey's length / 5)
    double paddingGrowth = 1.8;  // cells of the padding region grow by this factor
    double paddingLengths = 1;   // the padding reaches this many survey extents sideways and down
    double apron = 0;            // m the parameter cells reach past the outer lines (0: the parameter depth)
};

// A structured mesh of hexahedra under a survey, and its parameter cells.
// Each electrode stands at the middle of the top of a parameter cell: the
// parameter cells' walls run halfway between neighbouring electrodes (half
// a spacing beyond the outer ones), and halfway between neighbouring lines
// (or half a spacing from each line where lines lie further apart, the
// ground between them cut into cells of at most a spacing). The four cells
// of the mesh around an electrode so share one resistivity, and its
// potential's singularity is that of a half-space. Node planes stand at
// every electrode and line, on every wall and at most half a spacing
// apart; the layers grow with depth, each a layer of parameter cells down
// to the parameter depth; padding beyond on every side but the top holds
// the background resistivity. With topography a node is shifted by the
// surface's height over the highest electrode there (a shift of 0 or
// less), less with depth, down to none at the bottom.
struct Volume {
    std::vector<double> xs;      // node planes' x, ascending
    std::vector<double> ys;      // node planes' y, ascending
    std::vector<double> depths;  // node layers' depth below the surface, from 0, ascending
    std::vector<Point3> nodes;   // node (i, j, k) at (i · ys + j) · depths + k
    std::vector<int> parameterOfCell;  // -1 for a padding cell
    std::vector<std::vector<int>> cellsOfParameter;
    // The parameter cells' walls along x and across y, ascending, and their
    // layers: parameter (i, j, k) is number (i · rows + j) · layers + k.
    std::vector<double> wallsX, wallsY;
    int layers = 0;
    std::vector<int> electrodeNodes;   // one per electrode, in the order given
    std::vector<Point3> electrodes;
    double reference = 0;        // the height the layers are laid from: the highest electrode's
    double spacing = 1;          // the electrodes' spacing along a line, m
    double apron = 0;            // m the parameter cells reach past the outer lines
    std::array<int, 3> first{};  // the parameter cells' block of cells: its first cell (i, j, k)
    std::array<int, 3> last{};   // and one past its last

    int nx() const { return int(xs.size()); }
    int ny() const { return int(ys.size()); }
    int nz() const { return int(depths.size()); }
    int node(int i, int j, int k) const { return (i * ny() + j) * nz() + k; }
    int cell(int i, int j, int k) const { return (i * (ny() - 1) + j) * (nz() - 1) + k; }
    int cellCount() const { return (nx() - 1) * (ny() - 1) * (nz() - 1); }
    int parameterCount() const { return int(cellsOfParameter.size()); }
    int parameterColumns() const { return int(wallsX.size()) - 1; }
    int parameterRows() const { return int(wallsY.size()) - 1; }
    int parameter(int i, int j, int k) const { return (i * parameterRows() + j) * layers + k; }
    // A parameter cell's centre (on the ground's surface shifted as its
    // cells are), its depth below the surface, and its volume.
    Point3 parameterCentre(int parameter) const;
    double parameterDepth(int parameter) const;
    double parameterVolume(int parameter) const;
    // A cell's indices (i, j, k).
    std::array<int, 3> cellIndex(int cell) const;
    // Its eight corners: bit 0 of the corner's number steps along x, bit 1
    // along y, bit 2 down.
    std::array<int, 8> corners(int cell) const;
    Point3 cellCentre(int cell) const;
    double cellDepth(int cell) const;   // of its centre, below the surface
    double cellVolume(int cell) const;  // m³ (the shift of topography keeps it)
    // The cell at (x, y) and `depth` below the surface; -1 outside.
    int cellAt(double x, double y, double depth) const;
    // The surface's elevation at (x, y): along a line linear between its
    // electrodes, between lines linear across, beyond them the nearest's.
    double surfaceAt(double x, double y) const;
};

// The volume under electrodes at `electrodes` (distinct, on lines of one
// y each, parallel to x). Throws InversionRefused when they are not such
// lines or the ground is too steep for the layers to follow it.
Volume makeVolume(const std::vector<Point3>& electrodes, const VolumeOptions& options);

} // namespace zel::inv
