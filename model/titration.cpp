// SPDX-License-Identifier: GPL-3.0-or-later
#include "titration.h"

#include "speciation.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace phbuffer::model {

double tenToMinus(double p) {
    return static_cast<double>(std::pow(10.0L, -static_cast<long double>(p)));
}

namespace {

// A pass costs some tens of nanoseconds, so this many passes between two looks at the
// cancel request keep the reaction time well below a millisecond.
constexpr unsigned kPassesPerCheck = 4096;

class RunMonitor {
public:
    /// Follows the run that counts its completed acid steps of @p acidStep in @p steps.
    RunMonitor(RunControl* control, double startpH, double targetpH, const std::uint32_t& steps,
               double acidStep)
        : control_(control), startpH_(startpH), span_(startpH - targetpH), steps_(steps),
          acidStep_(acidStep) {}

    /// Called once per solver pass with the pH of the last step; true when the run must stop.
    bool shouldStop(double pH) {
        if (--countdown_ != 0)
            return false;
        countdown_ = kPassesPerCheck;
        publish(pH);
        return cancelled();
    }

    bool cancelled() const {
        return control_ && control_->cancelRequested.load(std::memory_order_relaxed);
    }

    void publish(double pH) {
        if (!control_)
            return;
        const double share = span_ > 0 ? (startpH_ - pH) / span_ : 1.0;
        control_->publish({std::clamp(share, 0.0, 1.0), pH, addedAcid(steps_, acidStep_)});
    }

private:
    RunControl* control_;
    double startpH_;
    double span_;
    const std::uint32_t& steps_;
    double acidStep_;
    unsigned countdown_ = kPassesPerCheck;
};

enum class SolveEnd { Solved, Cancelled, NotANumber };

/// Finds the HConc at which the proton balance meets ProtonBalanceTarget, pass by pass:
/// HConc := (1 - f) HConc, evaluate the balance, d := balance - target; the first pass
/// sets f to +0.1 (d < 0) or -0.1, and a pass whose d has the sign of f reverses and halves
/// f. The solver ends as soon as |f| is below |AcidStep| / 1e6, so every step ends on the
/// 37th reversal (0.1 / 2^37 is the first magnitude below 1e-12).
///
/// The passes work on local copies; on return the state holds HConc, OHConc, the species,
/// ProtonBalance and HStepFactor of the last pass, as if every pass had written them.
SolveEnd solveForHConc(WaterState& s, BalanceEvaluator& balanceAt, RunMonitor& monitor,
                       RunOutcome& outcome) {
    const double threshold = std::fabs(s.AcidStep / 1000000);
    const double Kw = s.Kw;
    const double target = s.ProtonBalanceTarget;
    double H = s.HConc;
    double OH = 0;
    double B = 0;
    double f = 0;
    bool firstPass = true;
    SolveEnd end = SolveEnd::Solved;
    std::uint64_t pass = 0;
    bool exact = true; // whether B belongs to the current H
    for (;;) {
        ++pass;
        H = (1 - f) * H;
        OH = Kw / H;
        // Only the sign of d steers the solver; the exact balance is needed only where
        // the estimate can't tell the sign, and for the last pass.
        double d = 0;
        exact = !balanceAt.estimateDifference(H, OH, target, d);
        if (exact) {
            ++outcome.exactEvaluations;
            B = balanceAt(H, OH);
            d = B - target;
        }
        if (d != d) { // a balance that is not a number never crosses the target
            end = SolveEnd::NotANumber;
            break;
        }
        if (firstPass) {
            f = d < 0 ? 0.1 : -0.1;
            firstPass = false;
        }
        if (f > 0 && d > 0)
            f = -f * 0.5;
        if (f < 0 && d < 0)
            f = -f * 0.5;
        if (threshold > std::fabs(f))
            break;
        if (monitor.shouldStop(s.pH)) {
            end = SolveEnd::Cancelled;
            break;
        }
        // HConc can't come back from 0 or infinity
        if (!(H > 0 && H <= std::numeric_limits<double>::max())) {
            end = SolveEnd::NotANumber;
            break;
        }
    }
    outcome.solverPasses += pass;
    outcome.exactEvaluations += exact ? 1 : 2;
    if (!exact)
        B = balanceAt(H, OH);
    s.HConc = H;
    s.OHConc = OH;
    s.HStepFactor = f;
    s.ProtonBalance = B;
    ComputeSpeciation(s);
    return end;
}

} // namespace

namespace {

/// Follows the pH of a run past a set of values, highest first, at the cost of one
/// comparison per step.
class CrossingWatch {
public:
    CrossingWatch(std::vector<PhCrossing>* crossings, double initialpH) {
        if (!crossings)
            return;
        for (PhCrossing& c : *crossings) {
            c = PhCrossing{c.atPh};
            if (c.atPh >= initialpH) {
                c.reached = true;
                c.pH = initialpH;
            } else {
                pending_.push_back(&c);
            }
        }
        std::sort(pending_.begin(), pending_.end(),
                  [](const PhCrossing* a, const PhCrossing* b) { return a->atPh < b->atPh; });
        next_ = pending_.empty() ? -std::numeric_limits<double>::infinity() : pending_.back()->atPh;
    }
    void step(double pH, std::uint32_t stepCount) {
        while (pH < next_) {
            PhCrossing& c = *pending_.back();
            c.reached = true;
            c.StepCount = stepCount;
            c.pH = pH;
            pending_.pop_back();
            next_ =
                pending_.empty() ? -std::numeric_limits<double>::infinity() : pending_.back()->atPh;
        }
    }

private:
    std::vector<PhCrossing*> pending_; ///< lowest first, so the next one is at the back
    double next_ = -std::numeric_limits<double>::infinity();
};

} // namespace

RunOutcome runTitration(WaterState& s, Series& titration, Series& bufferStrength,
                        RunControl* control, std::vector<PhCrossing>* crossings) {
    CrossingWatch watch(crossings, s.pH);
    s.Kw = 1e-14;
    s.HConc = tenToMinus(s.pH);
    s.OHConc = s.Kw / s.HConc;
    s.pHLastPlotted = s.pH;
    ComputeSpeciation(s);
    s.ProtonBalanceTarget = EvaluateProtonBalance(s);
    titration.AddXY(0, s.pH);
    s.AcidStep = 1e-6;

    RunOutcome outcome;
    std::uint32_t& StepCount = outcome.StepCount;
    std::uint32_t StepCountLastPlotted = 0;
    const std::uint32_t maxSteps =
        control ? control->maxSteps : std::numeric_limits<std::uint32_t>::max();
    RunMonitor monitor(control, s.pH, s.LowerpHTarget, StepCount, s.AcidStep);
    monitor.publish(s.pH);
    BalanceEvaluator balanceAt(s);

    if (std::isnan(s.ProtonBalanceTarget)) {
        outcome.end = RunEnd::NotANumber;
    } else if (maxSteps == 0) {
        outcome.end = RunEnd::StepLimit;
    } else {
        for (;;) {
            const double previousTarget = s.ProtonBalanceTarget;
            const double previousH = s.HConc;
            s.ProtonBalanceTarget = s.ProtonBalanceTarget - s.AcidStep;
            const SolveEnd solved = solveForHConc(s, balanceAt, monitor, outcome);
            if (solved != SolveEnd::Solved) {
                // The step is abandoned: leave the state as the last completed step left it.
                s.ProtonBalanceTarget = previousTarget;
                s.HConc = previousH;
                s.OHConc = s.Kw / s.HConc;
                ComputeSpeciation(s);
                s.ProtonBalance = EvaluateProtonBalance(s);
                outcome.end =
                    solved == SolveEnd::Cancelled ? RunEnd::Cancelled : RunEnd::NotANumber;
                break;
            }
            // Rounded once from extended precision, like the powers of ten: a double
            // logarithm is now and then one unit in the last place off, enough to move a
            // point across the recording threshold or the target.
            s.pH = static_cast<double>(-std::log10(static_cast<long double>(s.HConc)));
            ++StepCount;
            watch.step(s.pH, StepCount);
            if (std::fabs(s.pH - s.pHLastPlotted) > 0.01) {
                titration.AddXY(addedAcid(StepCount, s.AcidStep), s.pH);
                bufferStrength.AddXY(s.pH, addedAcid(StepCount - StepCountLastPlotted, s.AcidStep) /
                                               std::fabs(s.pHLastPlotted - s.pH));
                s.pHLastPlotted = s.pH;
                StepCountLastPlotted = StepCount;
            }
            if (s.pH < s.LowerpHTarget) {
                outcome.end = RunEnd::ReachedTarget;
                break;
            }
            if (StepCount >= maxSteps) {
                outcome.end = RunEnd::StepLimit;
                break;
            }
        }
    }
    titration.AddXY(addedAcid(StepCount, s.AcidStep), s.pH);
    // Below the target the share comes out as 1.
    monitor.publish(s.pH);
    return outcome;
}

} // namespace phbuffer::model
