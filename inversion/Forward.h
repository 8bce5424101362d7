#pragma once

#include "Element.h"
#include "Factor.h"
#include "GaussNewton.h"
#include "Mesh.h"
#include "Quadrature.h"

#include <Eigen/Dense>

#include <array>
#include <atomic>
#include <exception>
#include <memory>
#include <mutex>
#include <vector>

namespace zel::inv {

// One measurement: the current electrodes A, B and the potential electrodes
// M, N as indices into the mesh's electrodes, and its geometric factor.
struct Configuration {
    std::array<int, 4> abmn{};
    double k = 0;  // m
};

// The 2.5D finite-element response of a resistivity section to point
// sources of 1 A at the surface electrodes. The potential is split into the
// analytic potential of a homogeneous half-space of the resistivity at the
// source and a secondary potential that the finite elements solve for, one
// sparse LDLᵀ factorisation per wavenumber and one solve per electrode; the
// singularity at the source never meets the mesh. Far boundaries are mixed
// (Robin) for the transformed potential. Threads share the wavenumbers.
// The fields the sensitivities need are kept only where they are used: at
// the corners of the parameter cells.
class ForwardModel {
public:
    ForwardModel(const Mesh& mesh, std::vector<Configuration> data, int threads = 0,
                 FactorKind factor = FactorKind::Simplicial);

    // Solves for a resistivity per cell of the mesh (ohm·m, padding included).
    // Without `keepFields` only the apparent resistivities are kept, and
    // jacobian() cannot follow.
    void solve(const std::vector<double>& cellResistivity, bool keepFields = true);
    // The apparent resistivity of each configuration, k · U for 1 A.
    const std::vector<double>& apparentResistivity() const { return m_rhoa; }
    // ∂ log ρa / ∂ log ρ of each parameter cell (rows: configurations), by
    // the adjoint method from the fields of the last solve.
    Sensitivities jacobian() const;

    const Mesh& mesh() const { return m_mesh; }
    // Looked at before each factorisation and block of sources in a solve,
    // and at each potential dipole and wavenumber of the sensitivities:
    // once set, they throw Stopped.
    void setCancel(const std::atomic<bool>* cancel) { m_cancel = cancel; }

    // The memory, bytes, that a solve keeping its fields and the
    // sensitivities take at their peak for `configurations` data with
    // `sources` electrodes on `threads` threads (0: every core): the fields
    // of every source at every wavenumber at the parameter cells' corners,
    // the sensitivity matrix, and a factorisation a thread (its size from
    // the mesh's own pattern).
    static std::size_t memoryNeeded(const Mesh& mesh, std::size_t configurations, std::size_t sources, int threads,
                                    FactorKind factor = FactorKind::Simplicial);
    const Wavenumbers& transform() const { return m_transform; }

private:
    struct Edge {
        int a = 0, b = 0;
        int cell = 0;
        double length = 0;
        double cosine = 0;  // of the angle between the outward normal and the way from the line's centre
        double r = 0;       // distance of its middle from the line's centre
    };
    // Assembles and factorises the system of wavenumber `w` and solves it
    // for every source's secondary field (and its adjoint field when kept).
    void solveWavenumber(std::size_t w, bool keepFields, Factor& factor);
    void stopIfCancelled() const;
    // A factorisation of the mesh's pattern for one thread's wavenumbers:
    // the ordering is found once per mesh, not once per system.
    Factor* takeFactor();
    void returnFactor(Factor* factor);
    // Each parameter cell's matrix S + k²M over its four corners, at every
    // wavenumber, times the wavenumber's weight: its 10 distinct entries
    // (the matrix is symmetric), [wavenumber][entry][cell], the cells row
    // by row as the fields are kept.
    void makeCellForms();
    double potential(int source, int at) const;  // u for 1 A, from the last solve
    // The part of a potential that its source's sigma0 scales: the analytic
    // primary less its transform by the wavenumbers (which the total field
    // carries), times sigma0; nearly 0, yet a dipole's difference of
    // potentials feels it.
    double primaryRemainder(int source, int at) const;
    std::vector<std::vector<int>> m_cellsBesideSource;  // per source: the cells whose mean is its sigma0
    // The data by their potential dipole, each group's data in order.
    std::vector<std::vector<std::size_t>> m_receiverGroups;
    // Per datum, the remainder's difference at M and N of its A and of its B.
    std::vector<std::array<double, 2>> m_remainders;

    const Mesh& m_mesh;
    std::vector<Configuration> m_data;
    int m_threads;
    FactorKind m_factorKind;
    Wavenumbers m_transform;
    std::vector<Element> m_elements;
    std::vector<Edge> m_edges;
    std::vector<int> m_sources;                 // electrodes that act as sources
    std::vector<int> m_sourceIndex;             // per electrode, its place among the sources or -1
    std::vector<double> m_sigma;                // per cell
    std::vector<double> m_sigma0;               // per source: the conductivity its primary field assumes
    double m_sigmaBackground = 1;               // the conductivity most cells have
    // The nodes the fields are kept at: the parameter cells' columns of
    // nodes from the surface to the region's bottom, row by row, so that a
    // row of cells finds its corners side by side.
    int m_fieldColumns = 0;       // node columns
    int m_fieldRows = 0;          // node rows
    std::vector<int> m_fieldNodes;
    std::vector<float> m_cellForms;
    // Kept in single precision: ample for sensitivities, and half the memory.
    std::vector<Eigen::MatrixXf> m_total;                   // [wavenumber], a column a source: total transformed potential
    std::vector<Eigen::MatrixXf> m_green;                   // [wavenumber], a column a source: the mesh's response to a unit nodal source
    std::vector<std::vector<Eigen::VectorXd>> m_secondary;  // [wavenumber][source]: at the electrodes
    bool m_fieldsKept = false;                              // the fields are the last solve's
    std::vector<double> m_rhoa;
    bool m_topography = false;  // the surface is not level
    // With topography, [wavenumber]: the half-space field's flux through the
    // surface, a row a surface node and a column a source, and whether a
    // whole solve made it.
    std::vector<Eigen::MatrixXd> m_surfaceFlux;
    std::vector<char> m_surfaceFluxMade;
    const std::atomic<bool>* m_cancel = nullptr;
    std::vector<std::unique_ptr<Factor>> m_factors;
    std::vector<Factor*> m_idleFactors;
    std::mutex m_factorLock;
};

} // namespace zel::inv
