// The volume's finite-element system: trilinear hexahedra, the far faces'
// Robin terms, the half-space potential's sources and the adjoint
// sensitivities.
#include "VolumeForward.h"

#include "Parallel.h"

#include <algorithm>
#include <map>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace zel::inv {

namespace {

// Two-point Gauss–Legendre on [0, 1].
const double kGauss[] = {0.5 - 0.5 / std::sqrt(3.0), 0.5 + 0.5 / std::sqrt(3.0)};
// The source node's own value of the half-space potential stands for the
// potential this share of the way to its nearest neighbour.
constexpr double kSourceOffset = 0.25;

// ∫ ∇Ni·∇Nj over a hexahedron of corners `p` (bit 0 of a corner's number
// along x, bit 1 along y, bit 2 down), by 2 × 2 × 2 Gauss points: exact for
// a box.
Eigen::Matrix<double, 8, 8> hexMatrix(const std::array<Point3, 8>& p)
{
    Eigen::Matrix<double, 8, 8> k = Eigen::Matrix<double, 8, 8>::Zero();
    Eigen::Matrix<double, 8, 3> corners;
    for (int n = 0; n < 8; ++n)
        corners.row(n) << p[std::size_t(n)].x, p[std::size_t(n)].y, p[std::size_t(n)].z;
    for (const double u : kGauss)
        for (const double v : kGauss)
            for (const double w : kGauss) {
                Eigen::Matrix<double, 3, 8> dN;
                for (int n = 0; n < 8; ++n) {
                    const bool bx = n & 1, by = (n >> 1) & 1, bz = (n >> 2) & 1;
                    const double fx = bx ? u : 1 - u, fy = by ? v : 1 - v, fz = bz ? w : 1 - w;
                    const double gx = bx ? 1 : -1, gy = by ? 1 : -1, gz = bz ? 1 : -1;
                    dN.col(n) << gx * fy * fz, fx * gy * fz, fx * fy * gz;
                }
                const Eigen::Matrix3d jacobian = dN * corners;  // ∂(x, y, z) / ∂(u, v, w), a row a reference direction
                const Eigen::Matrix<double, 3, 8> gradient = jacobian.inverse() * dN;
                k.noalias() += gradient.transpose() * gradient * (std::abs(jacobian.determinant()) / 8);
            }
    return k;
}

// The pattern of a volume's system: every node coupled with the 27 of the
// cells around it, compressed by columns.
Eigen::SparseMatrix<double> volumePattern(const Volume& v)
{
    const Eigen::Index n = Eigen::Index(v.nodes.size());
    Eigen::SparseMatrix<double> a(n, n);
    std::vector<int> counts(static_cast<std::size_t>(n));
    auto span = [](int at, int size) { return std::pair{std::max(at - 1, 0), std::min(at + 1, size - 1)}; };
    for (int i = 0; i < v.nx(); ++i)
        for (int j = 0; j < v.ny(); ++j)
            for (int k = 0; k < v.nz(); ++k) {
                const auto [i0, i1] = span(i, v.nx());
                const auto [j0, j1] = span(j, v.ny());
                const auto [k0, k1] = span(k, v.nz());
                counts[std::size_t(v.node(i, j, k))] = (i1 - i0 + 1) * (j1 - j0 + 1) * (k1 - k0 + 1);
            }
    a.reserve(counts);
    for (int i = 0; i < v.nx(); ++i)
        for (int j = 0; j < v.ny(); ++j)
            for (int k = 0; k < v.nz(); ++k) {
                const int column = v.node(i, j, k);
                const auto [i0, i1] = span(i, v.nx());
                const auto [j0, j1] = span(j, v.ny());
                const auto [k0, k1] = span(k, v.nz());
                for (int a2 = i0; a2 <= i1; ++a2)
                    for (int b2 = j0; b2 <= j1; ++b2)
                        for (int c2 = k0; c2 <= k1; ++c2)
                            a.insert(v.node(a2, b2, c2), column) = 0;
            }
    a.makeCompressed();
    return a;
}

int placeIn(const Eigen::SparseMatrix<double>& a, int row, int column)
{
    const int* inner = a.innerIndexPtr();
    const int* begin = inner + a.outerIndexPtr()[column];
    const int* end = inner + a.outerIndexPtr()[column + 1];
    return int(std::lower_bound(begin, end, row) - inner);
}

} // namespace

VolumeForward::VolumeForward(const Volume& volume, std::vector<Configuration> data, int threads)
    : m_volume(volume)
    , m_data(std::move(data))
    , m_threads(threadCount(threads))
{
    const auto& e = volume.electrodeNodes;
    m_sourceIndex.assign(e.size(), -1);
    for (const Configuration& c : m_data)
        for (const int n : c.abmn) {
            if (n < 0 || n >= int(e.size()))
                throw std::invalid_argument("a configuration names an electrode the volume does not have");
            if (m_sourceIndex[std::size_t(n)] < 0) {
                m_sourceIndex[std::size_t(n)] = int(m_sources.size());
                m_sources.push_back(n);
            }
        }
    const int cells = volume.cellCount();
    m_cellMatrices.resize(std::size_t(cells));
    parallelFor(std::size_t(cells), m_threads, [&](std::size_t c) {
        std::array<Point3, 8> p;
        const auto corners = volume.corners(int(c));
        for (std::size_t a = 0; a < 8; ++a)
            p[a] = volume.nodes[std::size_t(corners[a])];
        m_cellMatrices[c] = hexMatrix(p);
    });

    // The far faces: both ends along x and across y, and the bottom.
    Point3 centre, low{1e300, 1e300, 1e300}, high{-1e300, -1e300, -1e300};
    for (const Point3& p : volume.electrodes) {
        centre.x += p.x / double(volume.electrodes.size());
        centre.y += p.y / double(volume.electrodes.size());
    }
    centre.z = volume.reference;
    for (const Point3& p : volume.nodes) {
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
    const Point3 middle{(low.x + high.x) / 2, (low.y + high.y) / 2, (low.z + high.z) / 2};
    auto addFace = [&](std::array<int, 4> nodes, int cell) {
        Face f{nodes, cell, Eigen::Matrix4d::Zero()};
        Eigen::Matrix<double, 4, 3> p;
        for (int n = 0; n < 4; ++n) {
            const Point3& q = volume.nodes[std::size_t(nodes[std::size_t(n)])];
            p.row(n) << q.x, q.y, q.z;
        }
        for (const double u : kGauss)
            for (const double v : kGauss) {
                const Eigen::Vector4d shape((1 - u) * (1 - v), u * (1 - v), (1 - u) * v, u * v);
                const Eigen::Vector4d du(-(1 - v), 1 - v, -v, v), dv(-(1 - u), -u, 1 - u, u);
                const Eigen::Vector3d at = p.transpose() * shape;
                const Eigen::Vector3d cross = (p.transpose() * du).cross(p.transpose() * dv);
                const double area = cross.norm();
                Eigen::Vector3d normal = cross / area;
                if (normal.dot(at - Eigen::Vector3d(middle.x, middle.y, middle.z)) < 0)
                    normal = -normal;
                const Eigen::Vector3d r = at - Eigen::Vector3d(centre.x, centre.y, centre.z);
                const double robin = r.dot(normal) / r.squaredNorm();
                f.matrix.noalias() += robin * area / 4 * shape * shape.transpose();
            }
        m_faces.push_back(f);
    };
    const int nx = volume.nx(), ny = volume.ny(), nz = volume.nz();
    for (int j = 0; j + 1 < ny; ++j)
        for (int k = 0; k + 1 < nz; ++k)
            for (const int i : {0, nx - 1}) {
                const int c = i == 0 ? 0 : nx - 2;
                addFace({volume.node(i, j, k), volume.node(i, j + 1, k), volume.node(i, j, k + 1), volume.node(i, j + 1, k + 1)},
                        volume.cell(c, j, k));
            }
    for (int i = 0; i + 1 < nx; ++i)
        for (int k = 0; k + 1 < nz; ++k)
            for (const int j : {0, ny - 1}) {
                const int c = j == 0 ? 0 : ny - 2;
                addFace({volume.node(i, j, k), volume.node(i + 1, j, k), volume.node(i, j, k + 1), volume.node(i + 1, j, k + 1)},
                        volume.cell(i, c, k));
            }
    for (int i = 0; i + 1 < nx; ++i)
        for (int j = 0; j + 1 < ny; ++j)
            addFace({volume.node(i, j, nz - 1), volume.node(i + 1, j, nz - 1), volume.node(i, j + 1, nz - 1),
                     volume.node(i + 1, j + 1, nz - 1)},
                    volume.cell(i, j, nz - 2));

    m_system = volumePattern(volume);
    m_cellEntries.resize(std::size_t(cells) * 64);
    for (int c = 0; c < cells; ++c) {
        const auto corners = volume.corners(c);
        for (int a = 0; a < 8; ++a)
            for (int b = 0; b < 8; ++b)
                m_cellEntries[std::size_t(c) * 64 + std::size_t(a * 8 + b)] =
                    placeIn(m_system, corners[std::size_t(a)], corners[std::size_t(b)]);
    }
    m_faceEntries.resize(m_faces.size() * 16);
    for (std::size_t f = 0; f < m_faces.size(); ++f)
        for (int a = 0; a < 4; ++a)
            for (int b = 0; b < 4; ++b)
                m_faceEntries[f * 16 + std::size_t(a * 4 + b)] =
                    placeIn(m_system, m_faces[f].node[std::size_t(a)], m_faces[f].node[std::size_t(b)]);

    for (int i = 0; i < nx && m_level; ++i)
        for (int j = 0; j < ny && m_level; ++j)
            m_level = std::abs(volume.nodes[std::size_t(volume.node(i, j, 0))].z - volume.reference) < 1e-9;

    // The fields are kept at the parameter cells' corners.
    m_fieldIndex.assign(volume.nodes.size(), -1);
    for (int i = volume.first[0]; i <= volume.last[0]; ++i)
        for (int j = volume.first[1]; j <= volume.last[1]; ++j)
            for (int k = 0; k <= volume.last[2]; ++k) {
                m_fieldIndex[std::size_t(volume.node(i, j, k))] = int(m_fieldNodes.size());
                m_fieldNodes.push_back(volume.node(i, j, k));
            }
    for (int c = 0; c < cells; ++c) {
        if (volume.parameterOfCell[std::size_t(c)] < 0)
            continue;
        std::array<int, 8> at{};
        const auto corners = volume.corners(c);
        for (std::size_t a = 0; a < 8; ++a)
            at[a] = m_fieldIndex[std::size_t(corners[a])];
        m_parameterCells.push_back(c);
        m_parameterCorners.push_back(at);
        m_parameterMatrices.push_back(m_cellMatrices[std::size_t(c)].cast<float>());
    }
}

void VolumeForward::stopIfCancelled() const
{
    if (m_cancel && m_cancel->load())
        throw Stopped();
}

void VolumeForward::assemble(const std::vector<double>& sigma)
{
    double* values = m_system.valuePtr();
    std::fill(values, values + m_system.nonZeros(), 0.0);
    for (std::size_t c = 0; c < m_cellMatrices.size(); ++c) {
        const double* k = m_cellMatrices[c].data();
        const int* place = m_cellEntries.data() + c * 64;
        for (int a = 0; a < 64; ++a)
            values[place[a]] += sigma[c] * k[a];
    }
    for (std::size_t f = 0; f < m_faces.size(); ++f) {
        const double* r = m_faces[f].matrix.data();
        const int* place = m_faceEntries.data() + f * 16;
        for (int a = 0; a < 16; ++a)
            values[place[a]] += sigma[std::size_t(m_faces[f].cell)] * r[a];
    }
}

void VolumeForward::addSurfaceFlux(int source, NodeBlock& block, Eigen::Index column) const
{
    const Volume& v = m_volume;
    const Point3& s = v.nodes[std::size_t(source)];
    for (int i = 0; i + 1 < v.nx(); ++i)
        for (int j = 0; j + 1 < v.ny(); ++j) {
            const std::array<int, 4> nodes{v.node(i, j, 0), v.node(i + 1, j, 0), v.node(i, j + 1, 0), v.node(i + 1, j + 1, 0)};
            if (std::find(nodes.begin(), nodes.end(), source) != nodes.end())
                continue;  // a face through the source: the field runs along it
            Eigen::Matrix<double, 4, 3> p;
            for (int n = 0; n < 4; ++n) {
                const Point3& q = v.nodes[std::size_t(nodes[std::size_t(n)])];
                p.row(n) << q.x - s.x, q.y - s.y, q.z - s.z;
            }
            for (const double a : kGauss)
                for (const double b : kGauss) {
                    const Eigen::Vector4d shape((1 - a) * (1 - b), a * (1 - b), (1 - a) * b, a * b);
                    const Eigen::Vector4d da(-(1 - b), 1 - b, -b, b), db(-(1 - a), -a, 1 - a, a);
                    const Eigen::Vector3d r = p.transpose() * shape;
                    Eigen::Vector3d cross = (p.transpose() * da).cross(p.transpose() * db);
                    if (cross.z() < 0)
                        cross = -cross;  // outward: up
                    // ∂p/∂n dS of p = 1 / (2π r): −(r·n) / (2π r³).
                    const double flux = -r.dot(cross) / (2 * std::numbers::pi * std::pow(r.norm(), 3)) / 4;
                    for (int n = 0; n < 4; ++n)
                        block(nodes[std::size_t(n)], column) -= flux * shape(n);
                }
        }
}

void VolumeForward::solve(const std::vector<double>& cellResistivity, bool keepFields)
{
    const Volume& v = m_volume;
    const int n = int(v.nodes.size());
    m_sigma.resize(cellResistivity.size());
    for (std::size_t c = 0; c < cellResistivity.size(); ++c)
        m_sigma[c] = 1 / cellResistivity[c];
    m_sigmaBackground = m_sigma[0];  // a corner of the padding
    m_fieldsKept = false;
    assemble(m_sigma);
    // D = A1 − A / σb, only where a cell (or a far face's) is unlike the background.
    std::vector<Eigen::Triplet<double>> differing;
    for (std::size_t c = 0; c < m_sigma.size(); ++c) {
        const double share = 1 - m_sigma[c] / m_sigmaBackground;
        if (share == 0)
            continue;
        const auto corners = v.corners(int(c));
        for (int a = 0; a < 8; ++a)
            for (int b = 0; b < 8; ++b)
                differing.emplace_back(corners[std::size_t(a)], corners[std::size_t(b)], share * m_cellMatrices[c](a, b));
    }
    for (const Face& f : m_faces) {
        const double share = 1 - m_sigma[std::size_t(f.cell)] / m_sigmaBackground;
        if (share == 0)
            continue;
        for (int a = 0; a < 4; ++a)
            for (int b = 0; b < 4; ++b)
                differing.emplace_back(f.node[std::size_t(a)], f.node[std::size_t(b)], share * f.matrix(a, b));
    }
    Eigen::SparseMatrix<double, Eigen::RowMajor> D(n, n);
    D.setFromTriplets(differing.begin(), differing.end());
    differing = {};
    std::vector<char> read(std::size_t(n), 0);
    for (const int e : v.electrodeNodes)
        read[std::size_t(e)] = 1;
    if (keepFields)
        for (const int f : m_fieldNodes)
            read[std::size_t(f)] = 1;
    std::vector<char> needed = read;
    for (Eigen::Index r = 0; r < D.outerSize(); ++r)
        for (Eigen::SparseMatrix<double, Eigen::RowMajor>::InnerIterator it(D, r); it; ++it)
            needed[std::size_t(it.col())] = 1;
    std::vector<int> at;
    for (int i = 0; i < n; ++i)
        if (needed[std::size_t(i)])
            at.push_back(i);
    stopIfCancelled();
    if (!m_factor.factorize(m_system))
        throw std::runtime_error("the finite-element system could not be factorised");

    const std::size_t sources = m_sources.size();
    const std::size_t electrodes = v.electrodeNodes.size();
    m_potentials.resize(Eigen::Index(electrodes), Eigen::Index(sources));
    if (keepFields) {
        m_total.resize(Eigen::Index(m_fieldNodes.size()), Eigen::Index(sources));
        m_green.resize(Eigen::Index(m_fieldNodes.size()), Eigen::Index(sources));
    }
    // The blocks of sources side by side on the threads, each with its
    // own primary and solved fields; each writes its own sources' columns.
    const std::size_t blocks = (sources + std::size_t(kSourceBlock) - 1) / std::size_t(kSourceBlock);
    parallelFor(blocks, m_threads, [&](std::size_t block) {
        stopIfCancelled();
        const std::size_t first = block * std::size_t(kSourceBlock);
        NodeBlock primary = NodeBlock::Zero(n, kSourceBlock);
        NodeBlock fields(n, kSourceBlock);
        const Eigen::Index count = Eigen::Index(std::min<std::size_t>(std::size_t(kSourceBlock), sources - first));
        for (Eigen::Index c = 0; c < count; ++c) {
            const int node = v.electrodeNodes[std::size_t(m_sources[first + std::size_t(c)])];
            const Point3& s = v.nodes[std::size_t(node)];
            double nearest = v.depths[1];
            const int i = node / (v.ny() * v.nz()), j = (node / v.nz()) % v.ny();
            for (const int d : {-1, 1}) {
                const int column = i + d, row = j + d;
                if (column >= 0 && column < v.nx())
                    nearest = std::min(nearest, std::abs(v.xs[std::size_t(column)] - s.x));
                if (row >= 0 && row < v.ny())
                    nearest = std::min(nearest, std::abs(v.ys[std::size_t(row)] - s.y));
            }
            for (const int a : at) {
                const Point3& p = v.nodes[std::size_t(a)];
                const double r = std::max(std::sqrt((p.x - s.x) * (p.x - s.x) + (p.y - s.y) * (p.y - s.y) + (p.z - s.z) * (p.z - s.z)),
                                          nearest * kSourceOffset);
                primary(a, c) = 1 / (2 * std::numbers::pi * r);
            }
        }
        fields.noalias() = D * primary;
        if (!m_level)
            for (Eigen::Index c = 0; c < count; ++c)
                addSurfaceFlux(v.electrodeNodes[std::size_t(m_sources[first + std::size_t(c)])], fields, c);
        m_factor.solve(fields, read);
        const double rb = 1 / m_sigmaBackground;
        for (Eigen::Index c = 0; c < count; ++c) {
            const Eigen::Index s = Eigen::Index(first) + c;
            for (std::size_t e = 0; e < electrodes; ++e) {
                const int node = v.electrodeNodes[e];
                m_potentials(Eigen::Index(e), s) = primary(node, c) * rb + fields(node, c);
            }
        }
        if (!keepFields)
            return;
        for (std::size_t f = 0; f < m_fieldNodes.size(); ++f) {
            const int node = m_fieldNodes[f];
            for (Eigen::Index c = 0; c < count; ++c)
                m_total(Eigen::Index(f), Eigen::Index(first) + c) = float(primary(node, c) * rb + fields(node, c));
        }
        // The adjoint field of a potential electrode: the mesh's response to
        // a unit source at its node.
        stopIfCancelled();
        fields.setZero();
        for (Eigen::Index c = 0; c < count; ++c)
            fields(v.electrodeNodes[std::size_t(m_sources[first + std::size_t(c)])], c) = 1;
        m_factor.solve(fields, read);
        for (std::size_t f = 0; f < m_fieldNodes.size(); ++f) {
            const int node = m_fieldNodes[f];
            for (Eigen::Index c = 0; c < count; ++c)
                m_green(Eigen::Index(f), Eigen::Index(first) + c) = float(fields(node, c));
        }
    });
    m_rhoa.resize(m_data.size());
    for (std::size_t d = 0; d < m_data.size(); ++d) {
        const auto& q = m_data[d].abmn;
        const double u = potential(q[0], q[2]) - potential(q[0], q[3]) - potential(q[1], q[2]) + potential(q[1], q[3]);
        m_rhoa[d] = m_data[d].k * u;
    }
    m_fieldsKept = keepFields;
}

double VolumeForward::potential(int source, int at) const
{
    return m_potentials(at, m_sourceIndex[std::size_t(source)]);
}

Sensitivities VolumeForward::jacobian() const
{
    if (!m_fieldsKept)
        throw std::logic_error("the sensitivities need the fields of a solve");
    const Volume& v = m_volume;
    const int parameters = v.parameterCount();
    Sensitivities J(Eigen::Index(m_data.size()), parameters);
    // The data by their current dipole: each cell's σ K (tA − tB) is made
    // once for all the potential dipoles of one current dipole.
    std::map<std::pair<int, int>, std::vector<std::size_t>> byCurrent;
    for (std::size_t d = 0; d < m_data.size(); ++d)
        byCurrent[{m_data[d].abmn[0], m_data[d].abmn[1]}].push_back(d);
    std::vector<const std::vector<std::size_t>*> groups;
    groups.reserve(byCurrent.size());
    for (const auto& [current, data] : byCurrent)
        groups.push_back(&data);
    const std::size_t cells = m_parameterCells.size();
    parallelFor(groups.size(), m_threads, [&](std::size_t group) {
        stopIfCancelled();
        const auto& q0 = m_data[groups[group]->front()].abmn;
        const float* tA = m_total.col(m_sourceIndex[std::size_t(q0[0])]).data();
        const float* tB = m_total.col(m_sourceIndex[std::size_t(q0[1])]).data();
        std::vector<Eigen::Matrix<float, 8, 1>> current(cells);
        for (std::size_t pc = 0; pc < cells; ++pc) {
            const auto& corners = m_parameterCorners[pc];
            Eigen::Matrix<float, 8, 1> t;
            for (std::size_t c = 0; c < 8; ++c)
                t(Eigen::Index(c)) = tA[corners[c]] - tB[corners[c]];
            current[pc].noalias() = float(m_sigma[std::size_t(m_parameterCells[pc])]) * (m_parameterMatrices[pc] * t);
        }
        for (const std::size_t d : *groups[group]) {
            const auto& q = m_data[d].abmn;
            const float* gM = m_green.col(m_sourceIndex[std::size_t(q[2])]).data();
            const float* gN = m_green.col(m_sourceIndex[std::size_t(q[3])]).data();
            // ∂U/∂σ = −gᵀ K t of each cell of the parameter;
            // ∂ log ρa / ∂ log ρ = −σ ∂U/∂σ / U.
            const float over = float(m_data[d].k / m_rhoa[d]);
            auto row = J.row(Eigen::Index(d));
            row.setZero();
            for (std::size_t pc = 0; pc < cells; ++pc) {
                const auto& corners = m_parameterCorners[pc];
                float sum = 0;
                for (std::size_t c = 0; c < 8; ++c)
                    sum += (gM[corners[c]] - gN[corners[c]]) * current[pc](Eigen::Index(c));
                row(v.parameterOfCell[std::size_t(m_parameterCells[pc])]) += over * sum;
            }
        }
    });
    return J;
}

std::size_t VolumeForward::memoryNeeded(const Volume& volume, std::size_t configurations, std::size_t sources, int threads)
{
    const std::size_t nodes = volume.nodes.size();
    const std::size_t cells = std::size_t(volume.cellCount());
    const std::size_t parameters = std::size_t(volume.parameterCount());
    const Eigen::SparseMatrix<double> pattern = volumePattern(volume);
    const std::size_t entries = std::size_t(pattern.nonZeros());
    const FactorSize factor = Factor::sizeOf(pattern, FactorKind::Supernodal);
    const std::size_t fieldNodes = std::size_t(volume.last[0] - volume.first[0] + 1)
        * std::size_t(volume.last[1] - volume.first[1] + 1) * std::size_t(volume.last[2] + 1);
    const std::size_t faces = 2 * std::size_t(volume.ny() * volume.nz() + volume.nx() * volume.nz()) + std::size_t(volume.nx() * volume.ny());
    // The cells' matrices and their places in A, the faces, A itself (and
    // the copy its factorisation makes), D with its triplets.
    const std::size_t system = cells * 64 * (sizeof(double) + sizeof(int)) + faces * (16 * (sizeof(double) + sizeof(int)) + 24)
        + 2 * entries * (sizeof(double) + sizeof(int)) + parameters * 64 * (sizeof(Eigen::Triplet<double>) + sizeof(double) + sizeof(int));
    const std::size_t factorisation = factor.values * sizeof(double) + factor.indices * sizeof(int)
        + factor.workspace * sizeof(double) + nodes * (sizeof(double) + factor.perNode * sizeof(int));
    // On each thread solving blocks of sources: the block's primary and
    // solved fields and the solver's own copy in the factor's order; the
    // flags of nodes read.
    const std::size_t solving = std::min<std::size_t>(std::size_t(threadCount(threads)), (sources + 31) / 32);
    const std::size_t blocks = solving * 3 * nodes * std::size_t(kSourceBlock) * sizeof(double) + 3 * nodes;
    const std::size_t fields = 2 * fieldNodes * sources * sizeof(float) + volume.electrodeNodes.size() * sources * sizeof(double);
    const std::size_t geometry = nodes * (sizeof(Point3) + sizeof(int)) + cells * sizeof(int) + cells * sizeof(int) / 4 + parameters * (sizeof(int) + 32);
    const std::size_t jacobian = configurations * parameters * sizeof(float);
    return geometry + system + factorisation + blocks + fields + jacobian;
}

} // namespace zel::inv
