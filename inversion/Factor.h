#pragma once

#include <Eigen/SparseCore>

#include <cstddef>
#include <memory>
#include <vector>

namespace zel::inv {

// Right-hand sides solved together: one pass over the factor updates all
// of them with matrix–matrix products, and the block bounds the memory it takes.
constexpr Eigen::Index kSourceBlock = 32;

// A block of right-hand sides or solutions, a row a node: the values of one
// node for every column of the block lie side by side.
using NodeBlock = Eigen::Matrix<double, Eigen::Dynamic, kSourceBlock, Eigen::RowMajor>;

// The sizes a factorisation of a pattern takes, from its symbolic analysis
// alone (the numbers are not computed).
struct FactorSize {
    std::size_t values = 0;     // entries of L
    std::size_t indices = 0;    // row indices of its supernodes
    std::size_t workspace = 0;  // doubles of the largest update a supernode sends to its ancestors
};

// The finite-element system of a mesh factorised as P A Pᵀ = L Lᵀ by a
// supernodal Cholesky factorisation in a nested-dissection order: the
// columns of L that share their pattern are dense blocks, factorised and
// solved with matrix–matrix products. The order and the supernodes depend
// on the mesh alone: they are found once, at the first factorisation, and
// every later one (another wavenumber, another model) redoes only the numbers.
class Factor {
public:
    Factor();
    ~Factor();
    Factor(const Factor&) = delete;
    Factor& operator=(const Factor&) = delete;

    // Factorises `a` (symmetric, positive definite, of the pattern of the
    // first one given; both triangles stored, compressed); false when it is
    // not positive definite.
    bool factorize(const Eigen::SparseMatrix<double>& a);
    // Solves A X = B in place for a block of right-hand sides. With
    // `wanted` (a flag a node), only those nodes' rows of X are made: the
    // back substitution leaves out every supernode no wanted one depends on.
    void solve(NodeBlock& block, const std::vector<char>& wanted = {}) const;
    // Entries of L, for the memory a factorisation takes.
    std::size_t nonZeros() const;

    // What factorising a matrix of this pattern would take.
    static FactorSize sizeOf(const Eigen::SparseMatrix<double>& pattern);

private:
    struct Cholmod;
    std::unique_ptr<Cholmod> m;
};

} // namespace zel::inv
