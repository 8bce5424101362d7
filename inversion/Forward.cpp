#include "Forward.h"

#include "Parallel.h"

#include <algorithm>
#include <map>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace zel::inv {

namespace {

// The parameter cells' block: its columns and its cells a column (0, 0
// without parameters).
std::array<int, 2> parameterBlock(const Mesh& mesh)
{
    const int parameters = mesh.parameterCount();
    if (parameters == 0 || mesh.cellRows() <= 0)
        return {0, 0};
    const int first = mesh.cellOfParameter.front();
    int depth = 0;
    while (depth < parameters && mesh.cellOfParameter[std::size_t(depth)] == first + depth
           && (first + depth) / mesh.cellRows() == first / mesh.cellRows())
        ++depth;
    return {depth > 0 ? parameters / depth : 0, depth};
}

} // namespace

std::size_t ForwardModel::memoryNeeded(const Mesh& mesh, std::size_t configurations, std::size_t sources, int threads,
                                       FactorKind factorKind)
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
    const FactorSize factor = Factor::sizeOf(pattern, factorKind);

    constexpr std::size_t kEntry = sizeof(double) + sizeof(int);  // a sparse matrix's value and index
    constexpr std::size_t kVector = 32;                           // what a vector keeps beside its values
    // A factorisation a thread, kept from solve to solve: L's values and
    // rows, the order, the elimination tree and the solver's workspace by
    // node, the block it solves and its largest dense update.
    const std::size_t factorisation = factor.values * sizeof(double) + factor.indices * sizeof(int)
        + factor.workspace * sizeof(double) + nodes * (sizeof(double) + factor.perNode * sizeof(int))
        + 2 * nodes * std::size_t(kSourceBlock) * sizeof(double);
    // One wavenumber's system while it is made and solved: its triplets, the
    // matrix and its difference from the background's, the copies that
    // assembling and ordering take, a block of primary fields and a product.
    const std::size_t system = 2 * (9 * triangles + 4 * boundary) * sizeof(Eigen::Triplet<double>) + 4 * matrix * kEntry
        + nodes * (std::size_t(kSourceBlock) + 1) * sizeof(double) + nodes * (1 + sizeof(int));
    // Each source's total and adjoint fields in single precision at the
    // parameter cells' corners, and its secondary potentials at the
    // electrodes, at every wavenumber.
    const auto [cellColumns, depth] = parameterBlock(mesh);
    const std::size_t fieldNodes = std::size_t(cellColumns + 1) * std::size_t(depth + 1);
    const std::size_t fields = waves * sources * (2 * fieldNodes * sizeof(float) + electrodes * sizeof(double) + kVector);
    // The sensitivities, each parameter cell's form at every wavenumber, and
    // per datum its remainders.
    const std::size_t jacobian = configurations * parameters * sizeof(float) + parameters * waves * 10 * sizeof(float)
        + configurations * (sizeof(Configuration) + 2 * sizeof(double));
    // On each thread a potential dipole's data (a few dozen at most): their
    // rows of dU, the dipole's field times the cells' matrices, and the fields.
    const std::size_t row = 32 * parameters * sizeof(double) + 4 * parameters * sizeof(float) + 2 * fieldNodes * sizeof(float);
    const std::size_t geometry = nodes * sizeof(Point) + triangles * (sizeof(Element) + sizeof(std::array<int, 3>) + sizeof(int))
        + mesh.cellOfTriangle.size() * 2 * sizeof(int) + fieldNodes * sizeof(int);
    // With topography, each source's flux through the surface at every wavenumber.
    bool level = true;
    for (std::size_t i = 0; i < mesh.columns.size(); ++i)
        level = level && mesh.nodes[std::size_t(mesh.node(int(i), 0))].z == mesh.nodes[0].z;
    const std::size_t flux = level ? 0 : waves * (mesh.columns.size() * sources * sizeof(double) + sources);
    const std::size_t threadsUsed = std::min(used, waves);
    return geometry + fields + flux + jacobian + threadsUsed * factorisation
        + std::max(threadsUsed * system, std::min(used, std::max<std::size_t>(configurations, 1)) * row);
}

ForwardModel::ForwardModel(const Mesh& mesh, std::vector<Configuration> data, int threads, FactorKind factor)
    : m_mesh(mesh)
    , m_data(std::move(data))
    , m_threads(threadCount(threads))
    , m_factorKind(factor)
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
    m_surfaceFlux.resize(m_transform.k.size());
    m_surfaceFluxMade.resize(m_transform.k.size());

    m_elements.reserve(mesh.triangles.size());
    for (const auto& t : mesh.triangles)
        m_elements.emplace_back(t, std::array<Point, 3>{mesh.nodes[std::size_t(t[0])], mesh.nodes[std::size_t(t[1])],
                                                        mesh.nodes[std::size_t(t[2])]});
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

    // The parameter cells are a block of whole cell columns from the
    // surface down: the fields are kept at that block's nodes, row by row.
    const int parameters = mesh.parameterCount();
    if (parameters > 0) {
        const int first = mesh.cellOfParameter.front();
        const auto [cellColumns, depth] = parameterBlock(mesh);
        const int firstColumn = first / mesh.cellRows();
        m_fieldRows = depth + 1;
        m_fieldColumns = cellColumns + 1;
        for (int p = 0; p < parameters; ++p)
            if (first % mesh.cellRows() != 0 || parameters % depth != 0
                || mesh.cellOfParameter[std::size_t(p)] != mesh.cell(firstColumn + p / depth, p % depth))
                throw std::logic_error("the parameter cells are not a block of whole columns from the surface");
        for (int j = 0; j < m_fieldRows; ++j)
            for (int i = 0; i < m_fieldColumns; ++i)
                m_fieldNodes.push_back(mesh.node(firstColumn + i, j));
    }
    makeCellForms();
    std::map<std::pair<int, int>, std::size_t> groupOf;
    for (std::size_t d = 0; d < m_data.size(); ++d) {
        const auto [at, added] = groupOf.try_emplace({m_data[d].abmn[2], m_data[d].abmn[3]}, m_receiverGroups.size());
        if (added)
            m_receiverGroups.emplace_back();
        m_receiverGroups[at->second].push_back(d);
    }
    m_remainders.reserve(m_data.size());
    for (const Configuration& c : m_data) {
        const auto& [a, b, m, n] = c.abmn;
        m_remainders.push_back({primaryRemainder(a, m) - primaryRemainder(a, n), primaryRemainder(b, m) - primaryRemainder(b, n)});
    }
}

void ForwardModel::stopIfCancelled() const
{
    if (m_cancel && m_cancel->load())
        throw Stopped();
}

Factor* ForwardModel::takeFactor()
{
    const std::lock_guard lock(m_factorLock);
    if (m_idleFactors.empty()) {
        m_factors.push_back(std::make_unique<Factor>(m_factorKind));
        return m_factors.back().get();
    }
    Factor* f = m_idleFactors.back();
    m_idleFactors.pop_back();
    return f;
}

void ForwardModel::returnFactor(Factor* factor)
{
    const std::lock_guard lock(m_factorLock);
    m_idleFactors.push_back(factor);
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
    // The conductivity most cells have (an inversion's padding): the
    // right-hand sides need the half-space's potential only where cells
    // differ from it.
    {
        std::vector<double> sorted = m_sigma;
        std::sort(sorted.begin(), sorted.end());
        std::size_t longest = 0;
        for (std::size_t i = 0, j = 0; i < sorted.size(); i = j) {
            for (j = i; j < sorted.size() && sorted[j] == sorted[i]; ++j) {
            }
            if (j - i > longest) {
                longest = j - i;
                m_sigmaBackground = sorted[i];
            }
        }
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
            m_total[w].resize(Eigen::Index(m_fieldNodes.size()), Eigen::Index(m_sources.size()));
            m_green[w].resize(Eigen::Index(m_fieldNodes.size()), Eigen::Index(m_sources.size()));
        }
    }
    m_secondary.assign(waves, {});
    parallelFor(waves, m_threads, [this, keepFields](std::size_t w) {
        Factor* factor = takeFactor();
        try {
            solveWavenumber(w, keepFields, *factor);
        } catch (...) {
            returnFactor(factor);
            throw;
        }
        returnFactor(factor);
    });
    m_fieldsKept = keepFields;

    m_rhoa.resize(m_data.size());
    for (std::size_t d = 0; d < m_data.size(); ++d) {
        const auto& [a, b, m, n] = m_data[d].abmn;
        const double u = potential(a, m) - potential(a, n) - potential(b, m) + potential(b, n);
        m_rhoa[d] = m_data[d].k * u;
    }
}

double ForwardModel::potential(int source, int at) const
{
    const int s = m_sourceIndex[std::size_t(source)];
    const Point& p = m_mesh.nodes[std::size_t(m_mesh.electrodeNodes[std::size_t(source)])];
    const Point& q = m_mesh.nodes[std::size_t(m_mesh.electrodeNodes[std::size_t(at)])];
    const double r = std::hypot(p.x - q.x, p.z - q.z);
    double u = 1 / (2 * std::numbers::pi * m_sigma0[std::size_t(s)] * r);
    for (std::size_t w = 0; w < m_transform.k.size(); ++w)
        u += 2 / std::numbers::pi * m_transform.weight[w] * m_secondary[w][std::size_t(s)](at);
    return u;
}

} // namespace zel::inv
