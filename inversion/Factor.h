#pragma once

#include <Eigen/SparseCholesky>

#include <cstddef>
#include <vector>

namespace zel::inv {

// Right-hand sides solved together: one pass over the factor updates all
// of them with vector arithmetic, and the block bounds the memory it takes.
constexpr Eigen::Index kSourceBlock = 32;

// A block of right-hand sides or solutions, a row a node: the values of one
// node for every column of the block lie side by side.
using NodeBlock = Eigen::Matrix<double, Eigen::Dynamic, kSourceBlock, Eigen::RowMajor>;

// The finite-element system of a mesh factorised as P A Pᵀ = L D Lᵀ. The
// fill-reducing order and the factor's pattern depend on the mesh alone:
// they are found once, at the first factorisation, and every later one
// (another wavenumber, another model) redoes only the numbers.
class Factor {
public:
    // Factorises `a` (symmetric, positive definite, of the pattern of the
    // first one given); false when it is not positive definite.
    bool factorize(const Eigen::SparseMatrix<double>& a);
    // Solves A X = B in place for a block of right-hand sides. With
    // `wanted` (a flag a node), only those nodes' rows of X are made: the
    // back substitution leaves out every node no wanted one depends on.
    void solve(NodeBlock& block, const std::vector<char>& wanted = {}) const;
    // Entries of L, for the memory a factorisation takes.
    std::size_t nonZeros() const { return std::size_t(m_ldlt.matrixL().nestedExpression().nonZeros()); }

private:
    Eigen::SimplicialLDLT<Eigen::SparseMatrix<double>> m_ldlt;
    bool m_analysed = false;
    std::vector<int> m_parent;  // in the elimination tree, by place in the order; -1 at a root
    mutable NodeBlock m_work;
    mutable std::vector<char> m_needed;
};

} // namespace zel::inv
