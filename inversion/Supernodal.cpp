#include "FactorKinds.h"

#include <cholmod.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <string>

// The dense kernels of the supernodal solves (the reference BLAS interface).
extern "C" {
void dgemm_(const char* transa, const char* transb, const int* m, const int* n, const int* k, const double* alpha,
            const double* a, const int* lda, const double* b, const int* ldb, const double* beta, double* c,
            const int* ldc);
void dtrsm_(const char* side, const char* uplo, const char* transa, const char* diag, const int* m, const int* n,
            const double* alpha, const double* a, const int* lda, double* b, const int* ldb);
}

#if defined(__linux__)
// Debian's CHOLMOD copies wide supernodes on OpenMP threads, which then wait
// for more work spinning: with every parallel region kept to its one thread,
// none is started beside the forward model's own.
extern "C" void omp_set_max_active_levels(int levels);

// The dense kernels run on the thread that calls them: the forward model
// factorises its wavenumbers side by side, one a thread. Set before the
// kernels' library starts (a constructor of higher priority than its own,
// both in this program), so that it starts no threads of its own, whose
// buffers, where the address space is short, would wait for memory for ever.
__attribute__((constructor(101))) static void dense_kernels_on_the_calling_thread()
{
    setenv("OPENBLAS_NUM_THREADS", "1", 1);
    omp_set_max_active_levels(0);
}
#endif

namespace zel::inv {

namespace {

// CHOLMOD's settings for a finite-element system: supernodal, in METIS's
// nested-dissection order whatever the matrix's size or density, quiet.
void start(cholmod_common& common)
{
    cholmod_start(&common);
    common.print = 0;
    common.supernodal = CHOLMOD_SUPERNODAL;
    common.nmethods = 1;
    common.method[0].ordering = CHOLMOD_METIS;
    common.postorder = 1;
    common.metis_nswitch = 0;
}

// The upper triangle of `a` as CHOLMOD reads it, without a copy.
cholmod_sparse view(const Eigen::SparseMatrix<double>& a)
{
    if (!a.isCompressed() || a.rows() != a.cols())
        throw std::logic_error("the finite-element system must be square and compressed");
    cholmod_sparse s{};
    s.nrow = std::size_t(a.rows());
    s.ncol = std::size_t(a.cols());
    s.nzmax = std::size_t(a.nonZeros());
    s.p = const_cast<int*>(a.outerIndexPtr());
    s.i = const_cast<int*>(a.innerIndexPtr());
    s.x = const_cast<double*>(a.valuePtr());
    s.stype = 1;
    s.itype = CHOLMOD_INT;
    s.xtype = CHOLMOD_REAL;
    s.dtype = CHOLMOD_DOUBLE;
    s.sorted = 1;
    s.packed = 1;
    return s;
}

[[noreturn]] void failed(const cholmod_common& common)
{
    if (common.status == CHOLMOD_OUT_OF_MEMORY)
        throw std::bad_alloc();
    throw std::runtime_error("the finite-element system could not be factorised (CHOLMOD status "
                             + std::to_string(common.status) + ")");
}

// A node's values for every source of a block.
using Row = Eigen::Matrix<double, 1, kSourceBlock>;

// Small supernodes are solved inline: a call into the dense kernels'
// library costs more than their few products.
bool small(int columns, int below)
{
    return columns * (columns + below) < 2048;
}

} // namespace

struct SupernodalFactor::Cholmod {
    cholmod_common common{};
    cholmod_factor* L = nullptr;
    // By supernode: its parent in the supernodal elimination tree (-1 at a
    // root); by place in the order: the supernode holding it.
    std::vector<int> parent, supernodeOf;

    Cholmod() { start(common); }
    ~Cholmod()
    {
        if (L)
            cholmod_free_factor(&L, &common);
        cholmod_finish(&common);
    }
    Cholmod(const Cholmod&) = delete;
    Cholmod& operator=(const Cholmod&) = delete;
};

SupernodalFactor::SupernodalFactor() : m(std::make_unique<Cholmod>()) {}
SupernodalFactor::~SupernodalFactor() = default;

std::size_t SupernodalFactor::nonZeros() const
{
    return m->L ? m->L->xsize : 0;
}

FactorSize SupernodalFactor::sizeOf(const Eigen::SparseMatrix<double>& pattern)
{
    Cholmod c;
    cholmod_sparse a = view(pattern);
    c.L = cholmod_analyze(&a, &c.common);
    if (!c.L)
        failed(c.common);
    // CHOLMOD's order, column counts and workspace by node, and the
    // solver's supernode map.
    return {c.L->xsize, c.L->ssize, c.L->maxcsize, 12};
}

bool SupernodalFactor::factorize(const Eigen::SparseMatrix<double>& a)
{
    cholmod_sparse matrix = view(a);
    cholmod_common& common = m->common;
    if (!m->L) {
        m->L = cholmod_analyze(&matrix, &common);
        if (!m->L)
            failed(common);
    }
    cholmod_factorize(&matrix, m->L, &common);
    if (common.status == CHOLMOD_NOT_POSDEF)
        return false;
    if (common.status < CHOLMOD_OK || !m->L->is_super)
        failed(common);
    if (m->parent.empty()) {
        // A supernode's parent holds the first row below its diagonal block:
        // the pattern is the mesh's, so the tree is made once.
        const cholmod_factor& L = *m->L;
        const auto* super = static_cast<const int*>(L.super);
        const auto* pi = static_cast<const int*>(L.pi);
        const auto* rows = static_cast<const int*>(L.s);
        m->supernodeOf.resize(L.n);
        for (std::size_t s = 0; s < L.nsuper; ++s)
            std::fill(m->supernodeOf.begin() + super[s], m->supernodeOf.begin() + super[s + 1], int(s));
        m->parent.assign(L.nsuper, -1);
        for (std::size_t s = 0; s < L.nsuper; ++s) {
            const int columns = super[s + 1] - super[s];
            if (pi[s + 1] - pi[s] > columns)
                m->parent[s] = m->supernodeOf[std::size_t(rows[pi[s] + columns])];
        }
    }
    return true;
}

void SupernodalFactor::solve(NodeBlock& block, const std::vector<char>& wanted) const
{
    const cholmod_factor& L = *m->L;
    const auto* super = static_cast<const int*>(L.super);
    const auto* pi = static_cast<const int*>(L.pi);
    const auto* px = static_cast<const int*>(L.px);
    const auto* rows = static_cast<const int*>(L.s);
    const auto* values = static_cast<const double*>(L.x);
    const auto* order = static_cast<const int*>(L.Perm);
    const auto n = Eigen::Index(L.n);
    const auto nsuper = int(L.nsuper);
    constexpr int kColumns = int(kSourceBlock);
    constexpr double kOne = 1, kMinusOne = -1, kZero = 0;

    // P A Pᵀ was factorised: place k of the order is node order[k]. The
    // work holds the block a row a node in that order; seen column-major it
    // is the block's transpose, 32 rows by n, so each supernode's rows are
    // one contiguous panel that the dense kernels take as it lies.
    // The solve's workspace is the calling thread's own: blocks of sources
    // may be solved side by side on one factor.
    thread_local NodeBlock w;
    thread_local Eigen::Matrix<double, kSourceBlock, Eigen::Dynamic> update;
    thread_local std::vector<char> needed;
    w.resize(n, kSourceBlock);
    for (Eigen::Index k = 0; k < n; ++k)
        w.row(k) = block.row(order[k]);
    if (update.cols() < Eigen::Index(L.maxesize))
        update.resize(kSourceBlock, Eigen::Index(L.maxesize));

    // Forward: L Y = B, supernode by supernode. Yᵀ of a supernode solves
    // Yᵀ L₁₁ᵀ = Bᵀ, then its rows below send −L₂₁ Y to the ancestors.
    for (int s = 0; s < nsuper; ++s) {
        const int first = super[s], columns = super[s + 1] - first;
        const int height = pi[s + 1] - pi[s], below = height - columns;
        double* panel = w.row(first).data();
        // Unit sources: most supernodes stay 0 until their ancestors.
        if (std::all_of(panel, panel + std::ptrdiff_t(columns) * kColumns, [](double v) { return v == 0; }))
            continue;
        const double* Ls = values + px[s];
        const int* r = rows + pi[s];
        if (small(columns, below)) {
            // Column by column, as a simplicial factor: each solved row
            // spreads down its column.
            for (int j = 0; j < columns; ++j) {
                const double* column = Ls + std::ptrdiff_t(j) * height;
                const Row xj = w.row(first + j) / column[j];
                w.row(first + j) = xj;
                for (int i = j + 1; i < height; ++i)
                    w.row(r[i]).noalias() -= column[i] * xj;
            }
            continue;
        }
        dtrsm_("R", "L", "T", "N", &kColumns, &columns, &kOne, Ls, &height, panel, &kColumns);
        if (below == 0)
            continue;
        dgemm_("N", "T", &kColumns, &below, &columns, &kOne, panel, &kColumns, Ls + columns, &height, &kZero,
               update.data(), &kColumns);
        for (int i = 0; i < below; ++i)
            w.row(r[columns + i]) -= update.col(i).transpose();
    }

    // A node's value in the back substitution takes its ancestors' in the
    // elimination tree, and no others: the supernodes of the wanted nodes
    // and their ancestors.
    needed.assign(std::size_t(nsuper), wanted.empty() ? 1 : 0);
    if (!wanted.empty()) {
        for (Eigen::Index k = 0; k < n; ++k)
            if (wanted[std::size_t(order[k])])
                needed[std::size_t(m->supernodeOf[std::size_t(k)])] = 1;
        for (int s = 0; s < nsuper; ++s)
            if (needed[std::size_t(s)] && m->parent[std::size_t(s)] >= 0)
                needed[std::size_t(m->parent[std::size_t(s)])] = 1;
    }
    // Back: Lᵀ X = Y, from the root down. Xᵀ of a supernode solves
    // Xᵀ L₁₁ = Yᵀ − X₂ᵀ L₂₁, with X₂ its ancestors' rows, final by then.
    for (int s = nsuper - 1; s >= 0; --s) {
        if (!needed[std::size_t(s)])
            continue;
        const int first = super[s], columns = super[s + 1] - first;
        const int height = pi[s + 1] - pi[s], below = height - columns;
        double* panel = w.row(first).data();
        const double* Ls = values + px[s];
        const int* r = rows + pi[s];
        if (small(columns, below)) {
            // Column by column from the last: each row gathers the rows
            // below it, final by then.
            for (int j = columns - 1; j >= 0; --j) {
                const double* column = Ls + std::ptrdiff_t(j) * height;
                Row xj = w.row(first + j);
                for (int i = j + 1; i < height; ++i)
                    xj.noalias() -= column[i] * w.row(r[i]);
                w.row(first + j) = xj / column[j];
            }
            continue;
        }
        if (below > 0) {
            for (int i = 0; i < below; ++i)
                update.col(i) = w.row(r[columns + i]).transpose();
            dgemm_("N", "N", &kColumns, &columns, &below, &kMinusOne, update.data(), &kColumns, Ls + columns, &height,
                   &kOne, panel, &kColumns);
        }
        dtrsm_("R", "L", "N", "N", &kColumns, &columns, &kOne, Ls, &height, panel, &kColumns);
    }
    for (Eigen::Index k = 0; k < n; ++k)
        block.row(order[k]) = w.row(k);
}

} // namespace zel::inv
