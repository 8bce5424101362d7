#pragma once

#include "Mesh.h"

#include <Eigen/Dense>

#include <array>
#include <atomic>
#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace zel::inv {

// The sensitivities, a row a datum and a column a parameter cell, in single
// precision: as exact as the fields they come from, and half the memory.
using Sensitivities = Eigen::Matrix<float, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor>;

// Thrown by a solve or the sensitivities when the inversion is stopped:
// what they were making is left unfinished.
class Stopped : public std::exception {
public:
    const char* what() const noexcept override { return "stopped"; }
};

// A fit is taken for one that explains the data while χ² stays at most this
// and the RRMS within this many times the data's median error.
constexpr double kHonestChi2 = 2;
constexpr double kHonestRrmsFactor = 2;
// The χ² an inversion aims at: the data explained within their errors.
constexpr double kTargetChi2 = 1;

// A problem too large for the memory: what the inversion needs (0: not
// known, the memory ran out before it was counted) and what the computer
// has free, bytes.
class MemoryRefused : public InversionRefused {
public:
    // `what` names the problem in the message: "this line", "this survey".
    MemoryRefused(std::size_t needed, std::size_t available, const std::string& what = "this line");
    std::size_t needed() const { return m_needed; }
    std::size_t available() const { return m_available; }
    // What was refused: "this line" or "this survey".
    const std::string& subject() const { return m_subject; }

private:
    std::size_t m_needed, m_available;
    std::string m_subject;
};

// Stopped by the user before the starting model's response was known:
// there is no model to show.
class InversionStopped : public std::runtime_error {
public:
    InversionStopped() : std::runtime_error("stopped before the first model") {}
};

// What one iteration came to; iteration 0 is the starting model.
struct IterationReport {
    int number = 0;
    double chi2 = 0;
    double rrms = 0;    // %, of the apparent resistivities; of plain values (not logarithms), the RMS misfit times 100
    double lambda = 0;
    double seconds = 0;  // since the start of the inversion
};

// Where an inversion's time went, seconds: the mesh and the memory count,
// the forward solves (each model's response and fields), the sensitivities,
// the normal equations' solver, and the model's coverage at the end.
struct InversionTimes {
    double mesh = 0;
    double forward = 0;
    double jacobian = 0;
    double solver = 0;
    double output = 0;
    int forwardSolves = 0;
};

// The model's roughness: first differences between neighbouring parameter
// cells, each row one pair; and with a reference model, its distance from
// it, cell by cell.
struct Smoothness {
    std::vector<std::array<int, 2>> pairs;
    std::vector<double> weight;
    Eigen::VectorXd smallness;  // per parameter, the squared weight of m − reference; empty: none
    Eigen::VectorXd reference;
    Eigen::VectorXd base;       // a time-lapse base model: the roughness is that of m − base; empty: none

    // ‖Wm m‖², the model's share of the objective
    double value(const Eigen::VectorXd& model) const;
    // Wmᵀ Wm v, the operator of the normal equations
    Eigen::VectorXd normal(const Eigen::VectorXd& v) const;
    // half the gradient of value() at m
    Eigen::VectorXd gradient(const Eigen::VectorXd& m) const;
};

// What a forward model offers the inversion: a line's 2.5D section or a
// survey's 3D volume, each cut into parameter cells of one resistivity.
class ForwardOperator {
public:
    virtual ~ForwardOperator() = default;
    virtual int parameterCount() const = 0;
    // The memory, bytes, that the responses and sensitivities take at their
    // peak: an inversion refuses a problem larger than what is free before
    // it makes anything large.
    virtual std::size_t memoryNeeded() const = 0;
    // log ρa of each datum for the model m = log ρ of each parameter cell;
    // the fields are kept for jacobian(). Throws Stopped once cancelled.
    virtual Eigen::VectorXd response(const Eigen::VectorXd& model) = 0;
    // ∂ log ρa / ∂ log ρ of each datum and parameter cell at the model of the
    // last response. Throws Stopped once cancelled.
    virtual Sensitivities jacobian() = 0;
    // The first differences between neighbouring cells, weighted as the
    // integral of the squared gradient over the cells, vertical ones times
    // `verticalRatio`.
    virtual Smoothness smoothness(double verticalRatio) const = 0;
    // A cell's size against the electrodes' spacing (area over its square,
    // volume over its cube): the weight of its smallness.
    virtual double parameterShare(int parameter) const = 0;
    virtual void setCancel(const std::atomic<bool>* cancel) = 0;
    // What the memory refusal calls the problem.
    virtual std::string subject() const { return "this line"; }
};

// log ρa of a forward's apparent resistivities, those at or below 0 (a
// model's numerical noise on a datum near 0) taken for 1e-12 ohm·m.
Eigen::VectorXd logResponse(const std::vector<double>& rhoa);

// The relative error of a datum: its own, and 1 µV of the voltage read.
double relativeError(double error, double voltageMilliVolts);

// What an inversion made, of a line or of a volume: the model kept, its
// response and coverage, and every iteration's.
struct Fit {
    std::vector<double> resistivity;  // per parameter cell, ohm·m
    std::vector<double> coverage;     // per parameter cell: log10 of the summed absolute sensitivity
    double background = 0;            // the padding's resistivity (the starting model)
    std::vector<double> response;     // the model's apparent resistivity of each datum
    std::vector<IterationReport> iterations;
    // Each iteration's model and its response to the data, ohm·m: what an
    // earlier iteration looked like can be seen again.
    std::vector<std::vector<float>> models, responses;
    std::size_t best = 0;             // the iteration whose model this is: the lowest χ², or the one looked at
    bool cancelled = false;
    // The sensitivities at the model kept, when they were asked to be kept
    // and the inversion ran to its end.
    std::shared_ptr<const Sensitivities> sensitivities;
    InversionTimes times;

    // The iteration of the lowest χ² (the first of equals): the model an inversion keeps.
    std::size_t lowest() const;
    // The iteration of the model kept.
    const IterationReport& kept() const { return iterations[best]; }
};

// Whether a fit of χ² `chi2` and RRMS `rrms` (%) explains data of median
// error `medianErrorPercent`, and what is wrong with it said with its
// figures (empty for a fit).
bool misfitOf(const IterationReport& kept, double medianErrorPercent);
std::string verdictOf(const IterationReport& kept, double medianErrorPercent);

// How a Gauss–Newton inversion is steered.
struct GaussNewtonOptions {
    double lambda = 20;          // regularisation at the start
    double lambdaFloor = 2;      // it is lowered towards this while χ² falls
    int maxIterations = 20;
    bool robust = false;         // iteratively reweighted data (L1-like) for outliers
    double verticalRatio = 1;    // weight of vertical against horizontal smoothness
    // A reference model, ohm·m (0: none): the inversion starts from it and a
    // smallness term draws every cell towards it where the data say little.
    double reference = 0;
    double smallness = 0.1;      // weight of that term: per cell its share (ForwardOperator::parameterShare) times this
    int threads = 0;             // 0: every core
    std::size_t memory = 0;      // bytes it may take; 0: what the computer has free
    // The model and the data are logarithms of resistivities (the model's
    // cells and results are their exponentials); false: plain values of a
    // linear problem, such as chargeability.
    bool logarithmic = true;
    // The sensitivities at the model kept stay with the result
    // (Fit::sensitivities): a chargeability section is solved with them.
    bool keepSensitivities = false;
};

// Gauss–Newton on m = log ρ of the parameter cells: minimises
// ‖Wd (log d − log f(m))‖² + λ ‖Wm m‖², Wm the operator's smoothness.
// Each step by diagonally preconditioned conjugate gradients on the normal
// equations, with a line search; λ lowered towards its floor while χ²
// falls. Stops at χ² ≤ kTargetChi2, when an iteration gains too little, or
// after the iterations allowed, and keeps the model of the lowest χ².
class GaussNewton {
public:
    // The conjugate gradients stop at this residual, relative to the
    // gradient's: a step needs its direction and size to a per cent (the
    // line search and the next iteration take the rest).
    static constexpr double kStepTolerance = 1e-2;
    static constexpr int kMostStepIterations = 300;
    // The line search halves the step down to this share of it.
    static constexpr double kShortestStep = 0.125;
    // λ is multiplied by this after an iteration that lowers χ².
    static constexpr double kLambdaFall = 0.8;
    // An iteration that lowers the objective by less than this share ends
    // the inversion.
    static constexpr double kLeastGain = 0.02;
    GaussNewton(ForwardOperator& forward, const GaussNewtonOptions& options);

    // Inverts the data (`data` log ρa, `weight` one over each one's relative
    // error) from `start` (log ρ per parameter). With `base` (log ρ per
    // parameter; empty: none) the roughness is that of the change from it,
    // a time-lapse difference inversion. `progress` hears every iteration;
    // `cancel` is looked at inside every solve, the sensitivities and the
    // normal equations' solver and ends the inversion with what it has,
    // without solving again, or throws InversionStopped when it has no model
    // yet. Throws MemoryRefused before it starts for a problem the memory
    // cannot hold.
    Fit run(const Eigen::VectorXd& data, const Eigen::VectorXd& weight, const Eigen::VectorXd& start,
            const Eigen::VectorXd& base, const std::function<void(const IterationReport&)>& progress,
            const std::atomic<bool>* cancel);

    // What the memory count came to: needed and free, bytes (0 before it).
    std::size_t needed() const { return m_needed; }
    std::size_t available() const { return m_available; }

private:
    // A model tried, its response and objective.
    struct Trial {
        Eigen::VectorXd model, response;
        double objective = 0;
    };
    // The whole step from m along `direction`, or half of it and so on down
    // to kShortestStep, the first that lowers the objective; none: m itself.
    static Trial lineSearch(const Eigen::VectorXd& m, const Eigen::VectorXd& f, const Eigen::VectorXd& direction,
                            double objective,
                            const std::function<std::pair<Eigen::VectorXd, double>(const Eigen::VectorXd&)>& evaluate,
                            const std::atomic<bool>* cancel);
    // The data's weights of an iteratively reweighted (robust) inversion
    // from their standardised residuals.
    static Eigen::VectorXd robustWeights(const Eigen::VectorXd& standardised);
    // Each parameter cell's coverage from the sensitivities.
    static std::vector<double> coverage(const Sensitivities& J, int parameters);
    // The normal equations' step: (Jᵀ D J + λ WmᵀWm) x = b.
    Eigen::VectorXd step(const Sensitivities& J, const Eigen::VectorXd& D, double lambda, const Eigen::VectorXd& b,
                         const std::atomic<bool>* cancel) const;

    ForwardOperator& m_forward;
    GaussNewtonOptions m_options;
    Smoothness m_wm;
    int m_threads = 1;
    std::size_t m_needed = 0, m_available = 0;
};

} // namespace zel::inv
