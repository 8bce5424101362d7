#include "FactorKinds.h"

namespace zel::inv {

bool SimplicialFactor::factorize(const Eigen::SparseMatrix<double>& a)
{
    if (!m_analysed) {
        m_ldlt.analyzePattern(a);
        m_analysed = true;
    }
    m_ldlt.factorize(a);
    // LDLᵀ goes on through a pivot below 0: such a system is not positive
    // definite, and its solutions would be meaningless.
    if (m_ldlt.info() != Eigen::Success || (m_ldlt.vectorD().array() <= 0).any())
        return false;
    if (m_parent.empty()) {
        // A column's first entry below the diagonal is its parent: the
        // pattern is the mesh's, so the tree is made once.
        const auto& L = m_ldlt.matrixL().nestedExpression();
        m_parent.assign(std::size_t(L.cols()), -1);
        for (Eigen::Index j = 0; j < L.cols(); ++j)
            for (int p = L.outerIndexPtr()[j]; p < L.outerIndexPtr()[j + 1]; ++p)
                if (const int i = L.innerIndexPtr()[p]; i > j && (m_parent[std::size_t(j)] < 0 || i < m_parent[std::size_t(j)]))
                    m_parent[std::size_t(j)] = i;
    }
    return true;
}

namespace {

// The substitutions on the work, a row of 32 values a node. The same loops
// compiled twice (inlined into two callers): for any x86-64 processor, and
// for those with AVX2 and FMA (four values an instruction instead of two),
// chosen when the program runs.
[[gnu::always_inline]] inline void forwardPass(double* work, int n, const int* outer, const int* inner,
                                               const double* values)
{
    constexpr int kWidth = int(kSourceBlock);
    for (int j = 0; j < n; ++j) {
        const double* xj = work + std::ptrdiff_t(j) * kWidth;
        bool zero = true;
        for (int c = 0; c < kWidth; ++c)
            zero = zero && xj[c] == 0;
        if (zero)
            continue;  // unit sources: most rows stay 0 until their ancestors in the factor
        for (int p = outer[j]; p < outer[j + 1]; ++p)
            if (inner[p] > j) {
                double* to = work + std::ptrdiff_t(inner[p]) * kWidth;
                const double v = values[p];
                for (int c = 0; c < kWidth; ++c)
                    to[c] -= v * xj[c];
            }
    }
}

[[gnu::always_inline]] inline void backPass(double* work, int n, const int* outer, const int* inner,
                                            const double* values, const char* needed)
{
    constexpr int kWidth = int(kSourceBlock);
    for (int j = n - 1; j >= 0; --j) {
        if (!needed[j])
            continue;
        double xj[kWidth];
        double* row = work + std::ptrdiff_t(j) * kWidth;
        for (int c = 0; c < kWidth; ++c)
            xj[c] = row[c];
        for (int p = outer[j]; p < outer[j + 1]; ++p)
            if (inner[p] > j) {
                const double* from = work + std::ptrdiff_t(inner[p]) * kWidth;
                const double v = values[p];
                for (int c = 0; c < kWidth; ++c)
                    xj[c] -= v * from[c];
            }
        for (int c = 0; c < kWidth; ++c)
            row[c] = xj[c];
    }
}

void forwardAny(double* work, int n, const int* outer, const int* inner, const double* values)
{
    forwardPass(work, n, outer, inner, values);
}
void backAny(double* work, int n, const int* outer, const int* inner, const double* values, const char* needed)
{
    backPass(work, n, outer, inner, values, needed);
}
#if defined(__x86_64__) && defined(__GNUC__)
[[gnu::target("avx2,fma")]] void forwardAvx2(double* work, int n, const int* outer, const int* inner,
                                             const double* values)
{
    forwardPass(work, n, outer, inner, values);
}
[[gnu::target("avx2,fma")]] void backAvx2(double* work, int n, const int* outer, const int* inner,
                                          const double* values, const char* needed)
{
    backPass(work, n, outer, inner, values, needed);
}
#endif

struct Passes {
    void (*forward)(double*, int, const int*, const int*, const double*);
    void (*back)(double*, int, const int*, const int*, const double*, const char*);
};

const Passes& passesForThisProcessor()
{
#if defined(__x86_64__) && defined(__GNUC__)
    static const Passes passes = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma")
        ? Passes{forwardAvx2, backAvx2}
        : Passes{forwardAny, backAny};
#else
    static const Passes passes{forwardAny, backAny};
#endif
    return passes;
}

} // namespace

void SimplicialFactor::solve(NodeBlock& block, const std::vector<char>& wanted) const
{
    // L is kept by columns below its unit diagonal. Forward substitution
    // spreads each solved row down its column; back substitution gathers
    // each row from the rows below it, which are final by then.
    const auto& L = m_ldlt.matrixL().nestedExpression();
    const int* outer = L.outerIndexPtr();
    const int* inner = L.innerIndexPtr();
    const double* values = L.valuePtr();
    const Eigen::Index n = L.cols();
    // P A Pᵀ was factorised: row i of the block is row P(i) of the work.
    const auto& order = m_ldlt.permutationP().indices();
    m_work.resize(n, kSourceBlock);
    for (Eigen::Index i = 0; i < n; ++i)
        m_work.row(order(i)) = block.row(i);
    const Passes& passes = passesForThisProcessor();
    passes.forward(m_work.data(), int(n), outer, inner, values);
    m_work = m_ldlt.vectorD().cwiseInverse().asDiagonal() * m_work;
    // A node's value in the back substitution takes its ancestors' in the
    // elimination tree, and no others: the wanted nodes and their ancestors.
    m_needed.assign(std::size_t(n), wanted.empty() ? 1 : 0);
    if (!wanted.empty()) {
        for (Eigen::Index i = 0; i < n; ++i)
            if (wanted[std::size_t(i)])
                m_needed[std::size_t(order(i))] = 1;
        for (Eigen::Index j = 0; j < n; ++j)
            if (m_needed[std::size_t(j)] && m_parent[std::size_t(j)] >= 0)
                m_needed[std::size_t(m_parent[std::size_t(j)])] = 1;
    }
    passes.back(m_work.data(), int(n), outer, inner, values, m_needed.data());
    for (Eigen::Index i = 0; i < n; ++i)
        block.row(i) = m_work.row(order(i));
}

namespace {
// The size of the factor L of a matrix of a pattern, as the solver orders
// it, without computing it.
class SymbolicSize : public Eigen::SimplicialLDLT<Eigen::SparseMatrix<double>> {
public:
    explicit SymbolicSize(const Eigen::SparseMatrix<double>& pattern) { analyzePattern(pattern); }
    std::size_t nonZeros() const { return std::size_t(m_matrix.nonZeros()); }
};
} // namespace

FactorSize SimplicialFactor::sizeOf(const Eigen::SparseMatrix<double>& pattern)
{
    const std::size_t entries = SymbolicSize(pattern).nonZeros();
    // The order and its inverse, the elimination tree (the solver's and
    // Eigen's), the column counts and the solver's flags.
    return {entries, entries, 0, 6};
}

} // namespace zel::inv
