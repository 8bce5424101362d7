#include "Forward.h"

#include "Parallel.h"

#include <Eigen/SparseCholesky>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <thread>

namespace zel::inv {

namespace {

constexpr double pi = std::numbers::pi;

// K1(x) / K0(x), which the Robin condition needs; for large x the two
// underflow alike and the ratio's expansion takes over.
double besselRatio(double x)
{
    if (x > 50)
        return 1 + 1 / (2 * x) - 1 / (8 * x * x);
    return std::cyl_bessel_k(1.0, x) / std::cyl_bessel_k(0.0, x);
}

int threadCount(int asked)
{
    if (asked > 0)
        return asked;
    return std::max(1, int(std::thread::hardware_concurrency()));
}

} // namespace

double besselK0(double x)
{
    if (x <= 2) {
        const double t = x / 3.75, t2 = t * t;
        const double i0 = 1 + t2 * (3.5156229 + t2 * (3.0899424 + t2 * (1.2067492 + t2 * (0.2659732 + t2 * (0.0360768 + t2 * 0.0045813)))));
        const double y = x * x / 4;
        return -std::log(x / 2) * i0
            + (-0.57721566 + y * (0.42278420 + y * (0.23069756 + y * (0.03488590 + y * (0.00262698 + y * (0.00010750 + y * 0.00000740))))));
    }
    if (x > 700)
        return 0;
    const double y = 2 / x;
    return std::exp(-x) / std::sqrt(x)
        * (1.25331414 + y * (-0.07832358 + y * (0.02189568 + y * (-0.01062446 + y * (0.00587872 + y * (-0.00251540 + y * 0.00053208))))));
}

void gaussLegendre(int n, std::vector<double>& nodes, std::vector<double>& weights)
{
    nodes.assign(std::size_t(n), 0);
    weights.assign(std::size_t(n), 0);
    for (int i = 0; i < n; ++i) {
        double x = std::cos(pi * (i + 0.75) / (n + 0.5));
        double dp = 0;
        for (int iteration = 0; iteration < 100; ++iteration) {
            double p0 = 1, p1 = x;
            for (int j = 2; j <= n; ++j) {
                const double p2 = ((2 * j - 1) * x * p1 - (j - 1) * p0) / j;
                p0 = p1;
                p1 = p2;
            }
            dp = n * (x * p1 - p0) / (x * x - 1);
            const double dx = p1 / dp;
            x -= dx;
            if (std::abs(dx) < 1e-15)
                break;
        }
        // From [-1, 1] to [0, 1].
        nodes[std::size_t(i)] = (1 - x) / 2;
        weights[std::size_t(i)] = 1 / ((1 - x * x) * dp * dp);
    }
}

void gaussLaguerre(int n, std::vector<double>& nodes, std::vector<double>& weights)
{
    // Golub–Welsch: the eigenvalues of the Jacobi matrix are the nodes.
    Eigen::MatrixXd jacobi = Eigen::MatrixXd::Zero(n, n);
    for (int i = 0; i < n; ++i) {
        jacobi(i, i) = 2 * i + 1;
        if (i + 1 < n)
            jacobi(i, i + 1) = jacobi(i + 1, i) = i + 1;
    }
    const Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> solver(jacobi);
    nodes.resize(std::size_t(n));
    weights.resize(std::size_t(n));
    for (int i = 0; i < n; ++i) {
        nodes[std::size_t(i)] = solver.eigenvalues()(i);
        weights[std::size_t(i)] = solver.eigenvectors()(0, i) * solver.eigenvectors()(0, i);
    }
}

Wavenumbers wavenumbers(double rMin, int legendre, int laguerre)
{
    Wavenumbers w;
    const double k0 = 1 / (2 * rMin);
    std::vector<double> t, wt;
    gaussLegendre(legendre, t, wt);
    for (std::size_t i = 0; i < t.size(); ++i) {
        w.k.push_back(k0 * t[i] * t[i]);
        w.weight.push_back(wt[i] * 2 * k0 * t[i]);
    }
    gaussLaguerre(laguerre, t, wt);
    for (std::size_t i = 0; i < t.size(); ++i) {
        w.k.push_back(k0 + t[i] / rMin);
        w.weight.push_back(wt[i] * std::exp(t[i]) / rMin);
    }
    return w;
}

namespace {

// The size of the factor L of a matrix of the mesh's pattern, as the solver
// orders it, without computing it.
class FactorSize : public Eigen::SimplicialLDLT<Eigen::SparseMatrix<double>> {
public:
    explicit FactorSize(const Eigen::SparseMatrix<double>& pattern) { analyzePattern(pattern); }
    std::size_t nonZeros() const { return std::size_t(m_matrix.nonZeros()); }
};

} // namespace

std::size_t ForwardModel::memoryNeeded(const Mesh& mesh, std::size_t configurations, std::size_t sources, int threads)
{
    const std::size_t nodes = mesh.nodes.size();
    const std::size_t triangles = mesh.triangles.size();
    const std::size_t boundary = 2 * std::size_t(mesh.rows()) + mesh.columns.size();
    const std::size_t parameters = std::size_t(mesh.parameterCount());
    const std::size_t electrodes = mesh.electrodeNodes.size();
    const std::size_t waves = wavenumbers(1).k.size();
    const std::size_t used = std::size_t(threadCount(threads));

    std::vector<Eigen::Triplet<double>> entries;
    entries.reserve(triangles * 9);
    for (const auto& t : mesh.triangles)
        for (const int i : t)
            for (const int j : t)
                entries.emplace_back(i, j, 1.0);
    Eigen::SparseMatrix<double> pattern{Eigen::Index(nodes), Eigen::Index(nodes)};
    pattern.setFromTriplets(entries.begin(), entries.end());
    entries = {};
    const std::size_t matrix = std::size_t(pattern.nonZeros());
    const std::size_t factor = FactorSize(pattern).nonZeros();

    constexpr std::size_t kEntry = sizeof(double) + sizeof(int);  // a sparse matrix's value and index
    constexpr std::size_t kVector = 32;                           // what a vector keeps beside its values
    // One wavenumber's system: its triplets, the matrix, the copy that
    // assembling makes, the ordered copy the factorisation takes, the factor
    // and its diagonal and orderings, and the primary, right-hand and
    // solution vectors.
    const std::size_t system = (9 * triangles + 4 * boundary) * sizeof(Eigen::Triplet<double>) + 3 * matrix * kEntry
        + factor * kEntry + nodes * (sizeof(double) + 5 * sizeof(int)) + 3 * nodes * sizeof(double);
    // Each source's total and adjoint fields in single precision, and its
    // secondary potentials at the electrodes, at every wavenumber.
    const std::size_t fields = waves * sources * (2 * nodes * sizeof(float) + electrodes * sizeof(double) + kVector);
    const std::size_t jacobian = configurations * parameters * sizeof(double);
    // A datum's row: the current and receiver fields in double, its dU.
    const std::size_t row = 2 * nodes * sizeof(double) + parameters * sizeof(double);
    const std::size_t geometry = nodes * sizeof(Point) + triangles * (sizeof(Element) + sizeof(std::array<int, 3>) + sizeof(int))
        + mesh.cellOfTriangle.size() * 2 * sizeof(int);
    return geometry + fields + jacobian
        + std::max(std::min(used, waves) * system, std::min(used, std::max<std::size_t>(configurations, 1)) * row);
}

ForwardModel::ForwardModel(const Mesh& mesh, std::vector<Configuration> data, int threads)
    : m_mesh(mesh)
    , m_data(std::move(data))
    , m_threads(threadCount(threads))
{
    const auto& e = mesh.electrodeNodes;
    m_sourceIndex.assign(e.size(), -1);
    for (const Configuration& c : m_data)
        for (const int n : c.abmn) {
            if (n < 0 || n >= int(e.size()))
                throw std::invalid_argument("a configuration names an electrode the mesh does not have");
            if (m_sourceIndex[std::size_t(n)] < 0) {
                m_sourceIndex[std::size_t(n)] = int(m_sources.size());
                m_sources.push_back(n);
            }
        }
    // The shortest distance between electrodes sets the wavenumbers.
    double rMin = 1e300;
    for (std::size_t a = 0; a < e.size(); ++a)
        for (std::size_t b = a + 1; b < e.size(); ++b) {
            const Point& p = mesh.nodes[std::size_t(e[a])];
            const Point& q = mesh.nodes[std::size_t(e[b])];
            rMin = std::min(rMin, std::hypot(p.x - q.x, p.z - q.z));
        }
    m_transform = wavenumbers(rMin);

    for (const auto& t : mesh.triangles) {
        Element el;
        el.node = t;
        const Point& p0 = mesh.nodes[std::size_t(t[0])];
        const Point& p1 = mesh.nodes[std::size_t(t[1])];
        const Point& p2 = mesh.nodes[std::size_t(t[2])];
        const std::array<Point, 3> p{p0, p1, p2};
        for (int i = 0; i < 3; ++i) {
            const Point& pj = p[std::size_t((i + 1) % 3)];
            const Point& pk = p[std::size_t((i + 2) % 3)];
            el.b[std::size_t(i)] = pj.z - pk.z;
            el.c[std::size_t(i)] = pk.x - pj.x;
        }
        el.area = std::abs((p1.x - p0.x) * (p2.z - p0.z) - (p2.x - p0.x) * (p1.z - p0.z)) / 2;
        m_elements.push_back(el);
    }
    const double top = mesh.nodes[std::size_t(mesh.node(0, 0))].z;
    for (std::size_t i = 0; i < mesh.columns.size(); ++i)
        m_topography = m_topography || mesh.nodes[std::size_t(mesh.node(int(i), 0))].z != top;
    // The far boundary: both sides and the bottom, seen from the line's
    // centre on the surface (only distances count, not the heights' origin).
    const double xc = (mesh.electrodeX.empty() ? 0
                                                : (*std::min_element(mesh.electrodeX.begin(), mesh.electrodeX.end())
                                                   + *std::max_element(mesh.electrodeX.begin(), mesh.electrodeX.end()))
                                                      / 2);
    const double zc = mesh.reference;
    const int columns = int(mesh.columns.size());
    const int rows = mesh.rows();
    auto edge = [&](int a, int b, int cell, double nx, double nz) {
        const Point& p = mesh.nodes[std::size_t(a)];
        const Point& q = mesh.nodes[std::size_t(b)];
        Edge g;
        g.a = a;
        g.b = b;
        g.cell = cell;
        g.length = std::hypot(q.x - p.x, q.z - p.z);
        const double mx = (p.x + q.x) / 2 - xc, mz = (p.z + q.z) / 2 - zc;
        g.r = std::hypot(mx, mz);
        g.cosine = g.r > 0 ? (mx * nx + mz * nz) / g.r : 1;
        m_edges.push_back(g);
    };
    for (int j = 0; j + 1 < rows; ++j) {
        edge(mesh.node(0, j), mesh.node(0, j + 1), mesh.cell(0, j), -1, 0);
        edge(mesh.node(columns - 1, j), mesh.node(columns - 1, j + 1), mesh.cell(columns - 2, j), 1, 0);
    }
    for (int i = 0; i + 1 < columns; ++i)
        edge(mesh.node(i, rows - 1), mesh.node(i + 1, rows - 1), mesh.cell(i, rows - 2), 0, -1);
}

void ForwardModel::solve(const std::vector<double>& cellResistivity, bool keepFields)
{
    if (int(cellResistivity.size()) != m_mesh.cellCount())
        throw std::invalid_argument("one resistivity per cell is needed");
    m_sigma.resize(cellResistivity.size());
    for (std::size_t c = 0; c < cellResistivity.size(); ++c) {
        if (!(cellResistivity[c] > 0))
            throw std::invalid_argument("resistivities must be above 0");
        m_sigma[c] = 1 / cellResistivity[c];
    }
    // Each source's primary field assumes the mean conductivity of the cells beside it.
    m_sigma0.assign(m_sources.size(), 0);
    m_cellsBesideSource.assign(m_sources.size(), {});
    for (std::size_t s = 0; s < m_sources.size(); ++s) {
        const int node = m_mesh.electrodeNodes[std::size_t(m_sources[s])];
        const int column = node / m_mesh.rows();
        double sum = 0;
        for (const int i : {column - 1, column})
            if (i >= 0 && i + 1 < int(m_mesh.columns.size())) {
                sum += m_sigma[std::size_t(m_mesh.cell(i, 0))];
                m_cellsBesideSource[s].push_back(m_mesh.cell(i, 0));
            }
        m_sigma0[s] = sum / double(m_cellsBesideSource[s].size());
    }
    const std::size_t waves = m_transform.k.size();
    m_fieldsKept = false;
    if (keepFields && m_total.size() != waves) {
        // Made once and written over by every later solve: the memory of the
        // fields neither grows nor scatters from one iteration to the next.
        m_total.resize(waves);
        m_green.resize(waves);
        for (std::size_t w = 0; w < waves; ++w) {
            m_total[w].resize(Eigen::Index(m_mesh.nodes.size()), Eigen::Index(m_sources.size()));
            m_green[w].resize(Eigen::Index(m_mesh.nodes.size()), Eigen::Index(m_sources.size()));
        }
    }
    m_secondary.assign(waves, {});
    parallelFor(waves, m_threads, [this, keepFields](std::size_t w) { solveWavenumber(w, keepFields); });
    m_fieldsKept = keepFields;

    m_rhoa.resize(m_data.size());
    for (std::size_t d = 0; d < m_data.size(); ++d) {
        const auto& [a, b, m, n] = m_data[d].abmn;
        const double u = potential(a, m) - potential(a, n) - potential(b, m) + potential(b, n);
        m_rhoa[d] = m_data[d].k * u;
    }
}

void ForwardModel::solveWavenumber(std::size_t w, bool keepFields)
{
    const double k = m_transform.k[w];
    const int n = int(m_mesh.nodes.size());
    std::vector<Eigen::Triplet<double>> entries;
    entries.reserve(m_elements.size() * 9 + m_edges.size() * 4);
    for (std::size_t e = 0; e < m_elements.size(); ++e) {
        const Element& el = m_elements[e];
        const double sigma = m_sigma[std::size_t(m_mesh.cellOfTriangle[e])];
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                const double stiffness = (el.b[std::size_t(i)] * el.b[std::size_t(j)] + el.c[std::size_t(i)] * el.c[std::size_t(j)]) / (4 * el.area);
                const double mass = el.area / 12 * (i == j ? 2 : 1);
                entries.emplace_back(el.node[std::size_t(i)], el.node[std::size_t(j)], sigma * (stiffness + k * k * mass));
            }
    }
    std::vector<double> robin(m_edges.size());
    for (std::size_t g = 0; g < m_edges.size(); ++g) {
        const Edge& edge = m_edges[g];
        robin[g] = k * besselRatio(k * edge.r) * edge.cosine * edge.length / 6;
        const double s = m_sigma[std::size_t(edge.cell)] * robin[g];
        entries.emplace_back(edge.a, edge.a, 2 * s);
        entries.emplace_back(edge.b, edge.b, 2 * s);
        entries.emplace_back(edge.a, edge.b, s);
        entries.emplace_back(edge.b, edge.a, s);
    }
    Eigen::SparseMatrix<double> A(n, n);
    A.setFromTriplets(entries.begin(), entries.end());
    Eigen::SimplicialLDLT<Eigen::SparseMatrix<double>> solver(A);
    if (solver.info() != Eigen::Success)
        throw std::runtime_error("the finite-element system could not be factorised");

    auto& secondary = m_secondary[w];
    secondary.assign(m_sources.size(), Eigen::VectorXd());
    Eigen::VectorXd primary(n), rhs(n);
    for (std::size_t s = 0; s < m_sources.size(); ++s) {
        const int sourceNode = m_mesh.electrodeNodes[std::size_t(m_sources[s])];
        const Point& src = m_mesh.nodes[std::size_t(sourceNode)];
        const double sigma0 = m_sigma0[s];
        // The source node itself stands for the field a little way off: its
        // value only enters where the cells beside it differ from sigma0.
        const int column = sourceNode / m_mesh.rows();
        double nearest = std::abs(m_mesh.nodes[std::size_t(sourceNode) + 1].z - src.z);
        for (const int i : {column - 1, column + 1})
            if (i >= 0 && i < int(m_mesh.columns.size()))
                nearest = std::min(nearest, std::abs(m_mesh.columns[std::size_t(i)] - src.x));
        for (int i = 0; i < n; ++i) {
            const Point& p = m_mesh.nodes[std::size_t(i)];
            const double r = std::max(std::hypot(p.x - src.x, p.z - src.z), nearest / 4);
            const double kr = k * r;
            primary(i) = besselK0(kr) / (2 * pi * sigma0);
        }
        // The secondary field's source: -A(σ − σ0) applied to the primary field.
        rhs.setZero();
        for (std::size_t e = 0; e < m_elements.size(); ++e) {
            const double ds = m_sigma[std::size_t(m_mesh.cellOfTriangle[e])] - sigma0;
            if (ds == 0)
                continue;
            const Element& el = m_elements[e];
            double sum = 0;
            for (int j = 0; j < 3; ++j)
                sum += primary(el.node[std::size_t(j)]);
            for (int i = 0; i < 3; ++i) {
                double v = 0;
                for (int j = 0; j < 3; ++j)
                    v += (el.b[std::size_t(i)] * el.b[std::size_t(j)] + el.c[std::size_t(i)] * el.c[std::size_t(j)])
                        / (4 * el.area) * primary(el.node[std::size_t(j)]);
                v += k * k * el.area / 12 * (sum + primary(el.node[std::size_t(i)]));
                rhs(el.node[std::size_t(i)]) -= ds * v;
            }
        }
        // Where the surface is not level through the source, the half-space
        // field crosses it: the secondary field takes that flux back, so that
        // no current leaves through the ground's surface.
        for (int i = 0; i + 1 < int(m_mesh.columns.size()) && m_topography; ++i) {
            const int a = m_mesh.node(i, 0), b = m_mesh.node(i + 1, 0);
            if (a == sourceNode || b == sourceNode)
                continue;  // along the edge the field is parallel to it
            const Point& p = m_mesh.nodes[std::size_t(a)];
            const Point& q = m_mesh.nodes[std::size_t(b)];
            const double length = std::hypot(q.x - p.x, q.z - p.z);
            const double nx = -(q.z - p.z) / length, nz = (q.x - p.x) / length;  // outward, upwards
            for (const double g : {0.5 - 0.5 / std::sqrt(3.0), 0.5 + 0.5 / std::sqrt(3.0)}) {
                const double x = p.x + g * (q.x - p.x) - src.x, z = p.z + g * (q.z - p.z) - src.z;
                const double r = std::hypot(x, z);
                const double kr = k * r;
                const double dK0 = kr > 700 ? 0 : (k > 0 ? k * std::cyl_bessel_k(1.0, kr) : 1 / r);
                const double flux = dK0 / (2 * pi) * (x * nx + z * nz) / r * length / 2;  // −σ0 ∂up/∂n, per Gauss point
                rhs(a) += flux * (1 - g);
                rhs(b) += flux * g;
            }
        }
        for (std::size_t g = 0; g < m_edges.size(); ++g) {
            const Edge& edge = m_edges[g];
            const double ds = m_sigma[std::size_t(edge.cell)] - sigma0;
            if (ds == 0)
                continue;
            const double pa = primary(edge.a), pb = primary(edge.b);
            rhs(edge.a) -= ds * robin[g] * (2 * pa + pb);
            rhs(edge.b) -= ds * robin[g] * (pa + 2 * pb);
        }
        Eigen::VectorXd us = solver.solve(rhs);
        Eigen::VectorXd atElectrodes(Eigen::Index(m_mesh.electrodeNodes.size()));
        for (std::size_t j = 0; j < m_mesh.electrodeNodes.size(); ++j)
            atElectrodes(Eigen::Index(j)) = us(m_mesh.electrodeNodes[j]);
        secondary[s] = std::move(atElectrodes);
        if (!keepFields)
            continue;
        m_total[w].col(Eigen::Index(s)) = (us + primary).cast<float>();
        // The adjoint field of a potential electrode: the mesh's own response
        // to a unit source at its node, of which the secondary field's
        // change at that node is the product with the change of A.
        rhs.setZero();
        rhs(sourceNode) = 1;
        m_green[w].col(Eigen::Index(s)) = solver.solve(rhs).cast<float>();
    }
}

double ForwardModel::potential(int source, int at) const
{
    const int s = m_sourceIndex[std::size_t(source)];
    const Point& p = m_mesh.nodes[std::size_t(m_mesh.electrodeNodes[std::size_t(source)])];
    const Point& q = m_mesh.nodes[std::size_t(m_mesh.electrodeNodes[std::size_t(at)])];
    const double r = std::hypot(p.x - q.x, p.z - q.z);
    double u = 1 / (2 * pi * m_sigma0[std::size_t(s)] * r);
    for (std::size_t w = 0; w < m_transform.k.size(); ++w)
        u += 2 / pi * m_transform.weight[w] * m_secondary[w][std::size_t(s)](at);
    return u;
}

double ForwardModel::primaryRemainder(int source, int at) const
{
    const Point& p = m_mesh.nodes[std::size_t(m_mesh.electrodeNodes[std::size_t(source)])];
    const Point& q = m_mesh.nodes[std::size_t(m_mesh.electrodeNodes[std::size_t(at)])];
    const double r = std::hypot(p.x - q.x, p.z - q.z);
    double transformed = 0;
    for (std::size_t w = 0; w < m_transform.k.size(); ++w)
        transformed += 2 / pi * m_transform.weight[w] * std::cyl_bessel_k(0.0, m_transform.k[w] * r);
    return (1 / r - transformed) / (2 * pi);
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
            const double scale = -2 / pi * m_transform.weight[w];
            for (const std::size_t e : triangles) {
                const Element& el = m_elements[e];
                const double u0 = current(el.node[0]), u1 = current(el.node[1]), u2 = current(el.node[2]);
                const double v0 = receiver(el.node[0]), v1 = receiver(el.node[1]), v2 = receiver(el.node[2]);
                const double gux = el.b[0] * u0 + el.b[1] * u1 + el.b[2] * u2;
                const double guz = el.c[0] * u0 + el.c[1] * u1 + el.c[2] * u2;
                const double gvx = el.b[0] * v0 + el.b[1] * v1 + el.b[2] * v2;
                const double gvz = el.c[0] * v0 + el.c[1] * v1 + el.c[2] * v2;
                const double stiffness = (gux * gvx + guz * gvz) / (4 * el.area);
                const double mass = el.area / 12 * (u0 * v0 + u1 * v1 + u2 * v2 + (u0 + u1 + u2) * (v0 + v1 + v2));
                dU[std::size_t(m_mesh.parameterOfCell[std::size_t(m_mesh.cellOfTriangle[e])])] += scale * (stiffness + k2 * mass);
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
