#pragma once

#include <Eigen/SparseCore>

#include <cstddef>
#include <memory>
#include <vector>

namespace zel::inv {

// Right-hand sides solved together: one pass over the factor updates all
// of them with vector arithmetic, and the block bounds the memory it takes.
constexpr Eigen::Index kSourceBlock = 32;

// A block of right-hand sides or solutions, a row a node: the values of one
// node for every column of the block lie side by side.
using NodeBlock = Eigen::Matrix<double, Eigen::Dynamic, kSourceBlock, Eigen::RowMajor>;

// The sizes a factorisation of a pattern takes, from its symbolic analysis
// alone (the numbers are not computed).
struct FactorSize {
    std::size_t values = 0;     // entries of L
    std::size_t indices = 0;    // their row indices
    std::size_t workspace = 0;  // doubles of the largest dense update
    std::size_t perNode = 0;    // integers kept a node: orders, trees, maps
};

// How a finite-element system is factorised (both P A Pᵀ = L Lᵀ or L D Lᵀ,
// in an order that keeps L sparse).
//  - Simplicial: Eigen's LDLᵀ in an approximate-minimum-degree order, solved
//    column by column with the block's 32 sources side by side. The faster
//    for the 2.5D forward's meshes of a line, whose factors are thin.
//  - Supernodal: CHOLMOD's supernodal LLᵀ in METIS's nested-dissection
//    order: columns that share their pattern are dense blocks, factorised
//    and solved with OpenBLAS's matrix–matrix products. The one that
//    carries meshes of a volume, whose separators are large and dense.
enum class FactorKind { Simplicial, Supernodal };

// The factorisation of a mesh's systems. The order and the pattern of L
// depend on the mesh alone: they are found once, at the first
// factorisation, and every later one (another wavenumber, another model)
// redoes only the numbers.
class Factor {
public:
    explicit Factor(FactorKind kind = FactorKind::Simplicial);
    ~Factor();
    Factor(const Factor&) = delete;
    Factor& operator=(const Factor&) = delete;

    // Factorises `a` (symmetric, positive definite, of the pattern of the
    // first one given; both triangles stored, compressed); false when it is
    // not positive definite.
    bool factorize(const Eigen::SparseMatrix<double>& a);
    // Solves A X = B in place for a block of right-hand sides. With
    // `wanted` (a flag a node), only those nodes' rows of X are made: the
    // back substitution leaves out every node no wanted one depends on.
    // Supernodal: blocks may be solved on several threads at once.
    void solve(NodeBlock& block, const std::vector<char>& wanted = {}) const;
    // Entries of L, for the memory a factorisation takes.
    std::size_t nonZeros() const;

    // What factorising a matrix of this pattern would take.
    static FactorSize sizeOf(const Eigen::SparseMatrix<double>& pattern, FactorKind kind = FactorKind::Simplicial);

    class Method;

private:
    std::unique_ptr<Method> m;
};

} // namespace zel::inv
