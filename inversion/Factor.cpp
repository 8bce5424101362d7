#include "FactorKinds.h"

namespace zel::inv {

Factor::Factor(FactorKind kind)
    : m(kind == FactorKind::Supernodal ? std::unique_ptr<Method>(std::make_unique<SupernodalFactor>())
                                       : std::unique_ptr<Method>(std::make_unique<SimplicialFactor>()))
{
}

Factor::~Factor() = default;

bool Factor::factorize(const Eigen::SparseMatrix<double>& a)
{
    return m->factorize(a);
}

void Factor::solve(NodeBlock& block, const std::vector<char>& wanted) const
{
    m->solve(block, wanted);
}

std::size_t Factor::nonZeros() const
{
    return m->nonZeros();
}

FactorSize Factor::sizeOf(const Eigen::SparseMatrix<double>& pattern, FactorKind kind)
{
    return kind == FactorKind::Supernodal ? SupernodalFactor::sizeOf(pattern) : SimplicialFactor::sizeOf(pattern);
}

} // namespace zel::inv
