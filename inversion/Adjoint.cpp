// The sensitivities of the apparent resistivities to the parameter cells'
// resistivities by the adjoint method, from the fields a solve kept.
#include "Forward.h"

#include "Parallel.h"

#include <cmath>
#include <numbers>
#include <stdexcept>

namespace zel::inv {

double ForwardModel::primaryRemainder(int source, int at) const
{
    const Point& p = m_mesh.nodes[std::size_t(m_mesh.electrodeNodes[std::size_t(source)])];
    const Point& q = m_mesh.nodes[std::size_t(m_mesh.electrodeNodes[std::size_t(at)])];
    const double r = std::hypot(p.x - q.x, p.z - q.z);
    double transformed = 0;
    for (std::size_t w = 0; w < m_transform.k.size(); ++w)
        transformed += 2 / std::numbers::pi * m_transform.weight[w] * std::cyl_bessel_k(0.0, m_transform.k[w] * r);
    return (1 / r - transformed) / (2 * std::numbers::pi);
}

Eigen::MatrixXd ForwardModel::jacobian() const
{
    if (!m_fieldsKept)
        throw std::logic_error("the sensitivities need the fields of a solve that kept them");
    const int parameters = m_mesh.parameterCount();
    const std::size_t waves = m_transform.k.size();
    Eigen::MatrixXd J = Eigen::MatrixXd::Zero(Eigen::Index(m_data.size()), parameters);
    // Each parameter cell's matrix S + k²M over its four corners (the sum of
    // its two triangles'), at every wavenumber: a datum's sensitivity to the
    // cell is then one 4 × 4 form.
    const auto cellRows = m_mesh.cellRows();
    std::vector<std::array<int, 4>> corners(static_cast<std::size_t>(parameters));
    std::vector<std::array<double, 16>> cellMatrix(waves * std::size_t(parameters));
    for (int p = 0; p < parameters; ++p) {
        const int c = m_mesh.cellOfParameter[std::size_t(p)];
        const int i = c / cellRows, j = c % cellRows;
        corners[std::size_t(p)] = {m_mesh.node(i, j), m_mesh.node(i, j + 1), m_mesh.node(i + 1, j + 1), m_mesh.node(i + 1, j)};
        // The cell's triangles (a, b, c) and (a, c, d), as the mesh cuts it.
        constexpr std::array<std::array<int, 3>, 2> kLocal{{{0, 1, 2}, {0, 2, 3}}};
        for (std::size_t w = 0; w < waves; ++w) {
            const double k2 = m_transform.k[w] * m_transform.k[w];
            std::array<double, 16>& K = cellMatrix[w * std::size_t(parameters) + std::size_t(p)];
            K.fill(0);
            for (std::size_t t = 0; t < 2; ++t) {
                const Element& el = m_elements[2 * std::size_t(c) + t];
                for (int a = 0; a < 3; ++a)
                    for (int b = 0; b < 3; ++b)
                        K[4 * std::size_t(kLocal[t][std::size_t(a)]) + std::size_t(kLocal[t][std::size_t(b)])] += el.matrix(a, b, k2);
            }
        }
    }
    parallelFor(m_data.size(), m_threads, [&](std::size_t d) {
        const auto& [a, b, m, n] = m_data[d].abmn;
        const int sa = m_sourceIndex[std::size_t(a)], sb = m_sourceIndex[std::size_t(b)];
        const int sm = m_sourceIndex[std::size_t(m)], sn = m_sourceIndex[std::size_t(n)];
        std::vector<double> dU(std::size_t(parameters), 0.0);
        for (std::size_t w = 0; w < waves; ++w) {
            // ∂ũ_A(M)/∂σ = −g_Mᵀ (∂A/∂σ) ũ_A with g_M = A⁻¹ e_M; U is bilinear in
            // the current dipole's total field and the potential dipole's g.
            const Eigen::VectorXd current = (m_total[w].col(sa) - m_total[w].col(sb)).cast<double>();
            const Eigen::VectorXd receiver = (m_green[w].col(sm) - m_green[w].col(sn)).cast<double>();
            const double scale = -2 / std::numbers::pi * m_transform.weight[w];
            const std::array<double, 16>* K = &cellMatrix[w * std::size_t(parameters)];
            for (std::size_t p = 0; p < std::size_t(parameters); ++p) {
                const auto& q = corners[p];
                const double u0 = current(q[0]), u1 = current(q[1]), u2 = current(q[2]), u3 = current(q[3]);
                const double v0 = receiver(q[0]), v1 = receiver(q[1]), v2 = receiver(q[2]), v3 = receiver(q[3]);
                const std::array<double, 16>& k = K[p];
                const double form = u0 * (k[0] * v0 + k[1] * v1 + k[2] * v2 + k[3] * v3)
                    + u1 * (k[4] * v0 + k[5] * v1 + k[6] * v2 + k[7] * v3)
                    + u2 * (k[8] * v0 + k[9] * v1 + k[10] * v2 + k[11] * v3)
                    + u3 * (k[12] * v0 + k[13] * v1 + k[14] * v2 + k[15] * v3);
                dU[p] += scale * form;
            }
        }
        // The sources' sigma0 follows the cells beside them: u = remainder / sigma0 + …
        for (const auto& [source, sign] : {std::pair{a, 1.0}, std::pair{b, -1.0}}) {
            const int s = m_sourceIndex[std::size_t(source)];
            const double sigma0 = m_sigma0[std::size_t(s)];
            const double dUdSigma0 = -sign * (primaryRemainder(source, m) - primaryRemainder(source, n)) / (sigma0 * sigma0);
            const auto& beside = m_cellsBesideSource[std::size_t(s)];
            for (const int cell : beside)
                if (const int p = m_mesh.parameterOfCell[std::size_t(cell)]; p >= 0)
                    dU[std::size_t(p)] += dUdSigma0 / double(beside.size());
        }
        const double U = m_rhoa[d] / m_data[d].k;
        for (int p = 0; p < parameters; ++p) {
            const double sigma = m_sigma[std::size_t(m_mesh.cellOfParameter[std::size_t(p)])];
            // ∂ log ρa / ∂ log ρ = −(σ / U) ∂U/∂σ
            J(Eigen::Index(d), p) = -sigma / U * dU[std::size_t(p)];
        }
    });
    return J;
}

} // namespace zel::inv
