// The finite-element system of one wavenumber: its matrix (the elements
// and the far boundary's Robin edges), each source's right-hand side (the
// half-space potential under the cells unlike the background, and the
// surface's flux where it is not level), the solves for every source and
// their adjoint fields.
#include "Forward.h"

#include "Bessel.h"

#include <cmath>
#include <tuple>
#include <numbers>
#include <stdexcept>

namespace zel::inv {

namespace {

// Two-point Gauss–Legendre on an edge, as shares of its length.
const double kEdgeGaussPoints[] = {0.5 - 0.5 / std::sqrt(3.0), 0.5 + 0.5 / std::sqrt(3.0)};
// The source node's own value stands for the field this share of the way to
// its nearest neighbour: K0 is infinite at the source itself.
constexpr double kSourceOffset = 0.25;

} // namespace

void ForwardModel::solveWavenumber(std::size_t w, bool keepFields, Factor& factor)
{
    const double k = m_transform.k[w];
    const int n = int(m_mesh.nodes.size());
    const double k2 = k * k;
    const double sigmaB = m_sigmaBackground;
    // The system with the cells' conductivities, A, and the difference
    // D = A1 − A / sigmaB from the system of a conductivity of 1 everywhere,
    // A1. D has entries only where a cell's conductivity is not sigmaB (the
    // parameter cells of an inversion): what the half-space's potential
    // needs to be known at.
    std::vector<Eigen::Triplet<double>> entries, differing;
    entries.reserve(m_elements.size() * 9 + m_edges.size() * 4);
    for (std::size_t e = 0; e < m_elements.size(); ++e) {
        const Element& el = m_elements[e];
        const double sigma = m_sigma[std::size_t(m_mesh.cellOfTriangle[e])];
        const double share = 1 - sigma / sigmaB;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                const double v = el.matrix(i, j, k2);
                entries.emplace_back(el.node[std::size_t(i)], el.node[std::size_t(j)], sigma * v);
                if (share != 0)
                    differing.emplace_back(el.node[std::size_t(i)], el.node[std::size_t(j)], share * v);
            }
    }
    for (const Edge& edge : m_edges) {
        const double robin = k * besselRatio(k * edge.r) * edge.cosine * edge.length / 6;
        const double sigma = m_sigma[std::size_t(edge.cell)];
        const double share = 1 - sigma / sigmaB;
        for (const auto& [i, j, part] : {std::tuple{edge.a, edge.a, 2.0}, std::tuple{edge.b, edge.b, 2.0},
                                         std::tuple{edge.a, edge.b, 1.0}, std::tuple{edge.b, edge.a, 1.0}}) {
            entries.emplace_back(i, j, sigma * part * robin);
            if (share != 0)
                differing.emplace_back(i, j, share * part * robin);
        }
    }
    Eigen::SparseMatrix<double> A(n, n), D(n, n);
    A.setFromTriplets(entries.begin(), entries.end());
    D.setFromTriplets(differing.begin(), differing.end());
    entries = {};
    // The solutions are read at the electrodes and the fields' nodes only;
    // the half-space's potential is needed there and at D's nodes.
    std::vector<char> read(std::size_t(n), 0);
    for (const int e : m_mesh.electrodeNodes)
        read[std::size_t(e)] = 1;
    if (keepFields)
        for (const int f : m_fieldNodes)
            read[std::size_t(f)] = 1;
    std::vector<char> needed = read;
    for (const auto& t : differing)
        needed[std::size_t(t.col())] = 1;
    differing = {};
    std::vector<int> at;
    for (int i = 0; i < n; ++i)
        if (needed[std::size_t(i)])
            at.push_back(i);
    stopIfCancelled();
    if (!factor.factorize(A))
        throw std::runtime_error("the finite-element system could not be factorised");

    auto& secondary = m_secondary[w];
    const std::size_t electrodes = m_mesh.electrodeNodes.size();
    secondary.assign(m_sources.size(), Eigen::VectorXd());
    // The sources a block at a time: one pass over the factor solves all of
    // a block's right-hand sides, and the block bounds the memory.
    const std::size_t sources = m_sources.size();
    const std::size_t block = std::size_t(kSourceBlock);
    NodeBlock fields(n, kSourceBlock);
    // Zero but where the potential is needed; a short last block leaves its
    // unused columns as they were (their solutions are not looked at).
    NodeBlock primary = NodeBlock::Zero(n, kSourceBlock);
    if (m_topography && !m_surfaceFluxMade[w])
        m_surfaceFlux[w] = Eigen::MatrixXd::Zero(Eigen::Index(m_mesh.columns.size()), Eigen::Index(sources));
    for (std::size_t first = 0; first < sources; first += block) {
        stopIfCancelled();
        const Eigen::Index count = Eigen::Index(std::min(block, sources - first));
        for (Eigen::Index c = 0; c < count; ++c) {
            const std::size_t s = first + std::size_t(c);
            const int sourceNode = m_mesh.electrodeNodes[std::size_t(m_sources[s])];
            const Point& src = m_mesh.nodes[std::size_t(sourceNode)];
            // The source node itself stands for the field a little way off: its
            // value only enters where the cells beside it differ from sigma0.
            const int column = sourceNode / m_mesh.rows();
            double nearest = std::abs(m_mesh.nodes[std::size_t(sourceNode) + 1].z - src.z);
            for (const int i : {column - 1, column + 1})
                if (i >= 0 && i < int(m_mesh.columns.size()))
                    nearest = std::min(nearest, std::abs(m_mesh.columns[std::size_t(i)] - src.x));
            // The half-space's transformed potential for a conductivity of 1;
            // the source's own sigma0 divides it.
            for (const int i : at) {
                const Point& p = m_mesh.nodes[std::size_t(i)];
                const double dx = p.x - src.x, dz = p.z - src.z;  // metres: no overflow to guard against
                const double r = std::max(std::sqrt(dx * dx + dz * dz), nearest * kSourceOffset);
                primary(i, c) = besselK0(k * r) / (2 * std::numbers::pi);
            }
            // The total field t of the source solves A t = A1·p (the far
            // boundary's edges included; p the potential above): with the
            // primary field p / sigma0, the secondary field u solves
            // A u = −(A − sigma0·A1) p / sigma0, and t = u + p / sigma0,
            // whatever sigma0 is. Split as t = p / sigmaB + v, v solves
            // A v = D p, which only the cells unlike sigmaB feed.
        }
        // D is symmetric: row by row, a block's row at a time.
        fields.noalias() = D.transpose() * primary;
        for (Eigen::Index c = 0; c < count; ++c) {
            const std::size_t s = first + std::size_t(c);
            const int sourceNode = m_mesh.electrodeNodes[std::size_t(m_sources[s])];
            const Point& src = m_mesh.nodes[std::size_t(sourceNode)];
            // Where the surface is not level through the source, the half-space
            // field crosses it: the secondary field takes that flux back, so that
            // no current leaves through the ground's surface. It depends on the
            // mesh alone: made at the first solve, kept for every later one.
            if (!m_topography)
                continue;
            Eigen::MatrixXd& flux = m_surfaceFlux[w];
            const int columns = int(m_mesh.columns.size());
            if (!m_surfaceFluxMade[w]) {
                for (int i = 0; i + 1 < columns; ++i) {
                    const int a = m_mesh.node(i, 0), b = m_mesh.node(i + 1, 0);
                    if (a == sourceNode || b == sourceNode)
                        continue;  // along the edge the field is parallel to it
                    const Point& p = m_mesh.nodes[std::size_t(a)];
                    const Point& q = m_mesh.nodes[std::size_t(b)];
                    const double length = std::hypot(q.x - p.x, q.z - p.z);
                    const double nx = -(q.z - p.z) / length, nz = (q.x - p.x) / length;  // outward, upwards
                    for (const double g : kEdgeGaussPoints) {
                        const double x = p.x + g * (q.x - p.x) - src.x, z = p.z + g * (q.z - p.z) - src.z;
                        const double r = std::hypot(x, z);
                        const double kr = k * r;
                        const double dK0 = k > 0 ? k * besselK1(kr) : 1 / r;
                        const double f = dK0 / (2 * std::numbers::pi) * (x * nx + z * nz) / r * length / 2;  // −σ0 ∂up/∂n, per Gauss point
                        flux(i, Eigen::Index(s)) += f * (1 - g);
                        flux(i + 1, Eigen::Index(s)) += f * g;
                    }
                }
            }
            for (int i = 0; i < columns; ++i)
                fields(m_mesh.node(i, 0), c) += flux(i, Eigen::Index(s));
        }
        factor.solve(fields, read);
        // The secondary field at the electrodes: t less the primary field,
        // p / sigmaB + v − p / sigma0.
        for (Eigen::Index c = 0; c < count; ++c) {
            const std::size_t s = first + std::size_t(c);
            Eigen::VectorXd atElectrodes(Eigen::Index(electrodes), 1);
            for (std::size_t j = 0; j < electrodes; ++j) {
                const int node = m_mesh.electrodeNodes[j];
                atElectrodes(Eigen::Index(j)) = primary(node, c) * (1 / sigmaB - 1 / m_sigma0[s]) + fields(node, c);
            }
            secondary[s] = std::move(atElectrodes);
        }
        if (!keepFields)
            continue;
        for (std::size_t i = 0; i < m_fieldNodes.size(); ++i) {
            const int node = m_fieldNodes[i];
            m_total[w].row(Eigen::Index(i)).segment(Eigen::Index(first), count) =
                (fields.row(node).head(count) + primary.row(node).head(count) / sigmaB).cast<float>();
        }
        // The adjoint field of a potential electrode: the mesh's own response
        // to a unit source at its node, of which the secondary field's
        // change at that node is the product with the change of A.
        stopIfCancelled();
        fields.setZero();
        for (Eigen::Index c = 0; c < count; ++c)
            fields(m_mesh.electrodeNodes[std::size_t(m_sources[first + std::size_t(c)])], c) = 1;
        factor.solve(fields, read);
        for (std::size_t i = 0; i < m_fieldNodes.size(); ++i)
            m_green[w].row(Eigen::Index(i)).segment(Eigen::Index(first), count) =
                fields.row(m_fieldNodes[i]).head(count).cast<float>();
    }
    m_surfaceFluxMade[w] = m_topography;  // a stopped solve makes it anew
}

} // namespace zel::inv
