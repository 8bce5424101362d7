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
    Eigen::MatrixXd J = Eigen::MatrixXd::Zero(Eigen::Index(m_data.size()), parameters);
    // The triangles of the parameter cells.
    std::vector<std::size_t> triangles;
    for (std::size_t e = 0; e < m_elements.size(); ++e)
        if (m_mesh.parameterOfCell[std::size_t(m_mesh.cellOfTriangle[e])] >= 0)
            triangles.push_back(e);
    parallelFor(m_data.size(), m_threads, [&](std::size_t d) {
        const auto& [a, b, m, n] = m_data[d].abmn;
        const int sa = m_sourceIndex[std::size_t(a)], sb = m_sourceIndex[std::size_t(b)];
        const int sm = m_sourceIndex[std::size_t(m)], sn = m_sourceIndex[std::size_t(n)];
        std::vector<double> dU(std::size_t(parameters), 0.0);
        for (std::size_t w = 0; w < m_transform.k.size(); ++w) {
            const double k2 = m_transform.k[w] * m_transform.k[w];
            // ∂ũ_A(M)/∂σ = −g_Mᵀ (∂A/∂σ) ũ_A with g_M = A⁻¹ e_M; U is bilinear in
            // the current dipole's total field and the potential dipole's g.
            const Eigen::VectorXd current = (m_total[w].col(sa) - m_total[w].col(sb)).cast<double>();
            const Eigen::VectorXd receiver = (m_green[w].col(sm) - m_green[w].col(sn)).cast<double>();
            const double scale = -2 / std::numbers::pi * m_transform.weight[w];
            for (const std::size_t e : triangles) {
                const Element& el = m_elements[e];
                const std::array<double, 3> u{current(el.node[0]), current(el.node[1]), current(el.node[2])};
                const std::array<double, 3> v{receiver(el.node[0]), receiver(el.node[1]), receiver(el.node[2])};
                dU[std::size_t(m_mesh.parameterOfCell[std::size_t(m_mesh.cellOfTriangle[e])])] += scale * el.form(u, v, k2);
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
