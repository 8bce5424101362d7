#include "Chargeability.h"

#include <algorithm>
#include <chrono>

namespace zel::inv {

namespace {

// The apparent chargeabilities as a forward operator of fixed
// sensitivities: the response is J m plus what the padding adds, its own
// Jacobian J. A datum's sensitivities to every cell sum to 1 (all
// resistivities times c is ρa times c): the padding's share is 1 less the
// sum over the parameter cells, and the padding holds the chargeability
// the inversion starts from, as it holds the resistivity.
class LinearOperator final : public ForwardOperator {
public:
    LinearOperator(Sensitivities rows, const Mesh& mesh, double spacing, double padding)
        : m_rows(std::move(rows))
        , m_padding(padding * (Eigen::VectorXd::Ones(m_rows.rows()) - m_rows.cast<double>().rowwise().sum()))
        , m_mesh(mesh)
        , m_spacing(spacing)
    {
    }
    int parameterCount() const override { return int(m_rows.cols()); }
    std::size_t memoryNeeded() const override { return std::size_t(m_rows.size()) * sizeof(float) * 2; }
    Eigen::VectorXd response(const Eigen::VectorXd& model) override
    {
        if (m_cancel && m_cancel->load())
            throw Stopped();
        return m_rows.cast<double>() * model + m_padding;
    }
    Sensitivities jacobian() override { return m_rows; }
    Smoothness smoothness(double verticalRatio) const override { return zel::inv::smoothness(m_mesh, verticalRatio); }
    double parameterShare(int p) const override
    {
        return m_mesh.cellArea(m_mesh.cellOfParameter[std::size_t(p)]) / (m_spacing * m_spacing);
    }
    void setCancel(const std::atomic<bool>* cancel) override { m_cancel = cancel; }

private:
    Sensitivities m_rows;
    Eigen::VectorXd m_padding;  // what the padding adds to each datum
    const Mesh& m_mesh;
    double m_spacing;
    const std::atomic<bool>* m_cancel = nullptr;
};

} // namespace

std::vector<double> ChargeabilityResult::pfe() const
{
    std::vector<double> out;
    out.reserve(chargeability.size());
    for (const double m : chargeability)
        out.push_back(effectOfCharge(m));
    return out;
}

ChargeabilityResult invertChargeability(const InversionResult& section, const std::vector<ApparentCharge>& data,
                                        const InversionOptions& options,
                                        const std::function<void(const IterationReport&)>& progress,
                                        const std::atomic<bool>* cancel)
{
    const auto started = std::chrono::steady_clock::now();
    if (!section.sensitivities || section.sensitivities->rows() != Eigen::Index(section.data.size()))
        throw InversionRefused("the resistivity section has no sensitivities to invert its chargeability with");
    if (data.size() < 4)
        throw InversionRefused("fewer than 4 quadripoles read at both frequencies");
    const Sensitivities& all = *section.sensitivities;
    Sensitivities rows(Eigen::Index(data.size()), all.cols());
    Eigen::VectorXd d(Eigen::Index(data.size())), weight(Eigen::Index(data.size()));
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (data[i].datum >= section.data.size())
            throw InversionRefused("an apparent chargeability of no datum of the section");
        rows.row(Eigen::Index(i)) = all.row(Eigen::Index(data[i].datum));
        d(Eigen::Index(i)) = data[i].value;
        weight(Eigen::Index(i)) = 1 / std::max(data[i].error, 1e-6);
    }
    // From the median apparent chargeability, as the resistivity starts
    // from the median apparent resistivity: cells the data see little of
    // keep it rather than none.
    std::vector<double> values(d.data(), d.data() + d.size());
    std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(values.size() / 2), values.end());
    const double start = values[values.size() / 2];
    LinearOperator linear(std::move(rows), section.mesh, smallestSpacing(electrodesOf(section.data)), start);
    GaussNewtonOptions plain = options;
    plain.logarithmic = false;
    plain.keepSensitivities = false;
    plain.reference = 0;
    GaussNewton gaussNewton(linear, plain);
    const Fit fit = gaussNewton.run(d, weight, Eigen::VectorXd::Constant(all.cols(), start), {}, progress, cancel);

    ChargeabilityResult out;
    out.data = data;
    out.chargeability.reserve(fit.resistivity.size());
    for (const double m : fit.resistivity)
        out.chargeability.push_back(std::clamp(m, 0.0, kMostChargeability));
    out.response = fit.response;
    out.iterations = fit.iterations;
    out.best = fit.best;
    out.cancelled = fit.cancelled;
    out.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return out;
}

} // namespace zel::inv
