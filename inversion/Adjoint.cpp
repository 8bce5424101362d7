// The sensitivities of the apparent resistivities to the parameter cells'
// resistivities by the adjoint method, from the fields a solve kept.
#include "Bessel.h"
#include "Forward.h"

#include "Parallel.h"

#include <array>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <tuple>

namespace zel::inv {

namespace {

// A cell's corners in the fields' block, from its upper left one (i, j):
// (i, j), (i, j + 1), (i + 1, j + 1), (i + 1, j), as its triangles (0, 1, 2)
// and (0, 2, 3) cut it; and the 10 distinct entries of its symmetric 4 × 4
// matrix, the diagonal first.
constexpr std::array<std::array<int, 2>, 10> kEntries{
    {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3}, {2, 3}}};

} // namespace

double ForwardModel::primaryRemainder(int source, int at) const
{
    const Point& p = m_mesh.nodes[std::size_t(m_mesh.electrodeNodes[std::size_t(source)])];
    const Point& q = m_mesh.nodes[std::size_t(m_mesh.electrodeNodes[std::size_t(at)])];
    const double r = std::hypot(p.x - q.x, p.z - q.z);
    double transformed = 0;
    for (std::size_t w = 0; w < m_transform.k.size(); ++w)
        transformed += 2 / std::numbers::pi * m_transform.weight[w] * besselK0(m_transform.k[w] * r);
    return (1 / r - transformed) / (2 * std::numbers::pi);
}

void ForwardModel::makeCellForms()
{
    const std::size_t parameters = std::size_t(m_mesh.parameterCount());
    const std::size_t waves = m_transform.k.size();
    m_cellForms.assign(waves * kEntries.size() * parameters, 0.0F);
    constexpr std::array<std::array<int, 3>, 2> kLocal{{{0, 1, 2}, {0, 2, 3}}};
    const std::size_t depth = std::size_t(m_fieldRows - 1), columns = std::size_t(m_fieldColumns - 1);
    for (std::size_t p = 0; p < parameters; ++p) {
        const int c = m_mesh.cellOfParameter[p];
        const std::size_t q = p % depth * columns + p / depth;  // its place row by row
        for (std::size_t w = 0; w < waves; ++w) {
            const double k2 = m_transform.k[w] * m_transform.k[w];
            // ∂ũ_A(M)/∂σ = −g_Mᵀ (∂A/∂σ) ũ_A, and U sums the wavenumbers with
            // these weights.
            const double scale = -2 / std::numbers::pi * m_transform.weight[w];
            std::array<double, 16> K{};
            for (std::size_t t = 0; t < 2; ++t) {
                const Element& el = m_elements[2 * std::size_t(c) + t];
                for (int a = 0; a < 3; ++a)
                    for (int b = 0; b < 3; ++b)
                        K[4 * std::size_t(kLocal[t][std::size_t(a)]) + std::size_t(kLocal[t][std::size_t(b)])] += el.matrix(a, b, k2);
            }
            for (std::size_t e = 0; e < kEntries.size(); ++e) {
                const auto [i, j] = kEntries[e];
                m_cellForms[(w * kEntries.size() + e) * parameters + q] = float(scale * K[4 * std::size_t(i) + std::size_t(j)]);
            }
        }
    }
}

Sensitivities ForwardModel::jacobian() const
{
    if (!m_fieldsKept)
        throw std::logic_error("the sensitivities need the fields of a solve that kept them");
    const std::size_t P = std::size_t(m_mesh.parameterCount());
    const std::size_t waves = m_transform.k.size();
    Sensitivities J(Eigen::Index(m_data.size()), Eigen::Index(P));
    const int depth = m_fieldRows - 1;       // parameter cells in a column
    const int columns = m_fieldColumns - 1;  // and in a row
    // A potential dipole's adjoint field times each cell's matrix serves
    // every datum measured on that dipole: then a datum's share of a cell
    // is a dot product of four.
    parallelFor(m_receiverGroups.size(), m_threads, [&](std::size_t g) {
        const std::vector<std::size_t>& group = m_receiverGroups[g];
        const auto& [a0, b0, m, n] = m_data[group.front()].abmn;
        const int sm = m_sourceIndex[std::size_t(m)], sn = m_sourceIndex[std::size_t(n)];
        std::vector<double> byRows(group.size() * P, 0.0);  // per datum dU/dσ, the cells row by row
        std::vector<float> kv(4 * P);                       // K V at a cell's four corners, [corner][cell]
        Eigen::VectorXf current, receiver;
        for (std::size_t w = 0; w < waves; ++w) {
            stopIfCancelled();
            receiver = m_green[w].col(sm) - m_green[w].col(sn);
            const float* f = &m_cellForms[w * kEntries.size() * P];
            for (int j = 0; j < depth; ++j) {
                const float* v0 = receiver.data() + j * m_fieldColumns;  // the row's upper corners
                const float* v1 = v0 + m_fieldColumns;                    // and its lower ones
                const std::size_t first = std::size_t(j) * std::size_t(columns);
                const float* k = f + first;
                float* kv0 = kv.data() + first;
                float* kv1 = kv0 + P;
                float* kv2 = kv1 + P;
                float* kv3 = kv2 + P;
                for (int i = 0; i < columns; ++i) {
                    // corners (i, j), (i, j + 1), (i + 1, j + 1), (i + 1, j)
                    const float V0 = v0[i], V1 = v1[i], V2 = v1[i + 1], V3 = v0[i + 1];
                    const float k00 = k[i], k11 = k[P + i], k22 = k[2 * P + i], k33 = k[3 * P + i];
                    const float k01 = k[4 * P + i], k02 = k[5 * P + i], k03 = k[6 * P + i];
                    const float k12 = k[7 * P + i], k13 = k[8 * P + i], k23 = k[9 * P + i];
                    kv0[i] = k00 * V0 + k01 * V1 + k02 * V2 + k03 * V3;
                    kv1[i] = k01 * V0 + k11 * V1 + k12 * V2 + k13 * V3;
                    kv2[i] = k02 * V0 + k12 * V1 + k22 * V2 + k23 * V3;
                    kv3[i] = k03 * V0 + k13 * V1 + k23 * V2 + k33 * V3;
                }
            }
            for (std::size_t member = 0; member < group.size(); ++member) {
                const auto& [a, b, m1, n1] = m_data[group[member]].abmn;
                current = m_total[w].col(m_sourceIndex[std::size_t(a)]) - m_total[w].col(m_sourceIndex[std::size_t(b)]);
                double* out = byRows.data() + member * P;
                for (int j = 0; j < depth; ++j) {
                    const float* u0 = current.data() + j * m_fieldColumns;
                    const float* u1 = u0 + m_fieldColumns;
                    const std::size_t first = std::size_t(j) * std::size_t(columns);
                    const float* kv0 = kv.data() + first;
                    const float* kv1 = kv0 + P;
                    const float* kv2 = kv1 + P;
                    const float* kv3 = kv2 + P;
                    double* row = out + first;
                    for (int i = 0; i < columns; ++i)
                        row[i] += double(u0[i] * kv0[i] + u1[i] * kv1[i] + u1[i + 1] * kv2[i] + u0[i + 1] * kv3[i]);
                }
            }
        }
        for (std::size_t member = 0; member < group.size(); ++member) {
            const std::size_t d = group[member];
            const auto& [a, b, m1, n1] = m_data[d].abmn;
            const double* byRow = byRows.data() + member * P;
            std::vector<double> dU(P);
            for (std::size_t p = 0; p < P; ++p)
                dU[p] = byRow[p % std::size_t(depth) * std::size_t(columns) + p / std::size_t(depth)];
            // The sources' sigma0 follows the cells beside them: u = remainder / sigma0 + …
            for (const auto& [source, sign, remainder] :
                 {std::tuple{a, 1.0, m_remainders[d][0]}, std::tuple{b, -1.0, m_remainders[d][1]}}) {
                const int s = m_sourceIndex[std::size_t(source)];
                const double sigma0 = m_sigma0[std::size_t(s)];
                const double dUdSigma0 = -sign * remainder / (sigma0 * sigma0);
                const auto& beside = m_cellsBesideSource[std::size_t(s)];
                for (const int cell : beside)
                    if (const int p = m_mesh.parameterOfCell[std::size_t(cell)]; p >= 0)
                        dU[std::size_t(p)] += dUdSigma0 / double(beside.size());
            }
            const double U = m_rhoa[d] / m_data[d].k;
            float* row = J.row(Eigen::Index(d)).data();
            for (std::size_t p = 0; p < P; ++p) {
                const double sigma = m_sigma[std::size_t(m_mesh.cellOfParameter[p])];
                // ∂ log ρa / ∂ log ρ = −(σ / U) ∂U/∂σ
                row[p] = float(-sigma / U * dU[p]);
            }
        }
    });
    return J;
}

} // namespace zel::inv
