#pragma once

#include "Factor.h"
#include "Forward.h"
#include "GaussNewton.h"
#include "Volume.h"

#include <Eigen/Dense>
#include <Eigen/SparseCore>

#include <atomic>
#include <vector>

namespace zel::inv {

// The 3D finite-element response of a resistivity volume to point sources
// of 1 A at the surface electrodes, on trilinear hexahedra. The total
// potential t of a source solves A t = A1 p − F: p the analytic potential of
// a homogeneous half-space of 1 ohm·m, A1 the system of that half-space, F
// the flux p sends through a surface that is not level. Split as
// t = p / σb + v, the field v solves A v = (A1 − A / σb) p − F, fed only by
// the cells unlike the background σb: the singularity at the source never
// meets the mesh, and a half-space is exact. One factorisation a model
// (supernodal), all sources in blocks. Far faces are mixed (Robin) for a
// point source at the survey's centre. The sensitivities come from the
// total fields and the adjoint fields (the mesh's response to a unit source
// at each potential electrode) at the parameter cells' corners.
class VolumeForward {
public:
    VolumeForward(const Volume& volume, std::vector<Configuration> data, int threads = 0);

    // Solves for a resistivity per cell of the volume (ohm·m, padding
    // included). Without `keepFields` only the apparent resistivities are
    // kept, and jacobian() cannot follow.
    void solve(const std::vector<double>& cellResistivity, bool keepFields = true);
    // The apparent resistivity of each configuration, k · U for 1 A.
    const std::vector<double>& apparentResistivity() const { return m_rhoa; }
    // The potential at electrode `at` of a source of 1 A at electrode
    // `source` (both of the configurations'), V.
    double potential(int source, int at) const;
    // ∂ log ρa / ∂ log ρ of each parameter cell (rows: configurations).
    Sensitivities jacobian() const;
    // Looked at before the factorisation, each block of sources and each
    // datum's sensitivities: once set, they throw Stopped.
    void setCancel(const std::atomic<bool>* cancel) { m_cancel = cancel; }

    // The memory, bytes, that a solve keeping its fields and the
    // sensitivities take at their peak on `threads` threads (0: every core).
    static std::size_t memoryNeeded(const Volume& volume, std::size_t configurations, std::size_t sources, int threads);

private:
    void stopIfCancelled() const;
    void assemble(const std::vector<double>& sigma);
    // The flux of the half-space potential of a source at node `source`
    // through the surface, per surface node; empty on a level surface.
    void addSurfaceFlux(int source, NodeBlock& block, Eigen::Index column) const;

    const Volume& m_volume;
    std::vector<Configuration> m_data;
    int m_threads;
    std::vector<int> m_sources;      // electrodes that act as sources
    std::vector<int> m_sourceIndex;  // per electrode, its place among them or -1
    // Each cell's matrix ∫ ∇Ni·∇Nj, 8 × 8, column-major.
    std::vector<Eigen::Matrix<double, 8, 8>> m_cellMatrices;
    // The far faces' Robin terms: their four nodes, the cell behind and
    // the 4 × 4 matrix ∫ (r·n / r²) Ni Nj.
    struct Face {
        std::array<int, 4> node{};
        int cell = 0;
        Eigen::Matrix4d matrix;
    };
    std::vector<Face> m_faces;
    Eigen::SparseMatrix<double> m_system;      // A, the pattern fixed
    std::vector<int> m_cellEntries;            // per cell its 64 places in A's values
    std::vector<int> m_faceEntries;            // per face its 16
    bool m_level = true;                       // the surface is level
    std::vector<int> m_fieldNodes;             // the parameter cells' corners
    std::vector<int> m_fieldIndex;             // per node, its place among them or -1
    std::vector<int> m_parameterCells;                   // the cells of the parameters
    std::vector<std::array<int, 8>> m_parameterCorners;  // per such cell, its corners' places among the field nodes
    std::vector<Eigen::Matrix<float, 8, 8>> m_parameterMatrices;  // and its matrix, in the fields' precision
    std::vector<double> m_sigma;
    double m_sigmaBackground = 1;
    Factor m_factor{FactorKind::Supernodal};
    Eigen::MatrixXd m_potentials;  // [electrode][source], V for 1 A
    Eigen::MatrixXf m_total;       // [field node][source]
    Eigen::MatrixXf m_green;       // [field node][source]
    bool m_fieldsKept = false;
    std::vector<double> m_rhoa;
    const std::atomic<bool>* m_cancel = nullptr;
};

} // namespace zel::inv
