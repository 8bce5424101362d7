#pragma once

// The two factorisations behind Factor (see FactorKind).
#include "Factor.h"

#include <Eigen/SparseCholesky>

namespace zel::inv {

class Factor::Method {
public:
    virtual ~Method() = default;
    virtual bool factorize(const Eigen::SparseMatrix<double>& a) = 0;
    virtual void solve(NodeBlock& block, const std::vector<char>& wanted) const = 0;
    virtual std::size_t nonZeros() const = 0;
};

class SimplicialFactor final : public Factor::Method {
public:
    bool factorize(const Eigen::SparseMatrix<double>& a) override;
    void solve(NodeBlock& block, const std::vector<char>& wanted) const override;
    std::size_t nonZeros() const override { return std::size_t(m_ldlt.matrixL().nestedExpression().nonZeros()); }
    static FactorSize sizeOf(const Eigen::SparseMatrix<double>& pattern);

private:
    Eigen::SimplicialLDLT<Eigen::SparseMatrix<double>> m_ldlt;
    bool m_analysed = false;
    std::vector<int> m_parent;  // in the elimination tree, by place in the order; -1 at a root
    mutable NodeBlock m_work;
    mutable std::vector<char> m_needed;
};

class SupernodalFactor final : public Factor::Method {
public:
    SupernodalFactor();
    ~SupernodalFactor() override;
    SupernodalFactor(const SupernodalFactor&) = delete;
    SupernodalFactor& operator=(const SupernodalFactor&) = delete;
    bool factorize(const Eigen::SparseMatrix<double>& a) override;
    void solve(NodeBlock& block, const std::vector<char>& wanted) const override;
    std::size_t nonZeros() const override;
    static FactorSize sizeOf(const Eigen::SparseMatrix<double>& pattern);

private:
    struct Cholmod;
    std::unique_ptr<Cholmod> m;
};

} // namespace zel::inv
