// SPDX-License-Identifier: GPL-3.0-or-later
#include "titration.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace phbuffer::model {

double TenToMinus(double p) {
    return static_cast<double>(std::pow(10.0L, -static_cast<long double>(p)));
}

namespace {

/// Two doubles that every arithmetic operation treats lane by lane.
typedef double Pair __attribute__((vector_size(16)));

/// The proton balance of the water at a given HConc, computed in fewer operations where
/// that changes no bit of the result:
/// - a slot whose concentration is 0, or whose first constant is 0, contributes exact
///   zeros at every HConc and is skipped;
/// - a slot without a second (third) constant has exact zeros for its higher forms, which
///   add nothing to the balance, so their divisions are skipped.
/// These hold while every term of a denominator is finite and positive, which the bounds
/// below guarantee; outside them (input far from any water) the balance is computed by
/// ComputeSpeciation and EvaluateProtonBalance themselves.
class BalanceEvaluator {
public:
    explicit BalanceEvaluator(const WaterState& s) : scratch_(s) {
        for (int i = 0; i < kBufferSystemCount; ++i) {
            const double C = s.Conc[i], K1 = s.Ka1[i], K2 = s.Ka2[i], K3 = s.Ka3[i];
            const bool bounded = C >= 0 && C <= kMaxConc && K1 >= 0 && K1 <= kMaxK && K2 >= 0 &&
                                 K2 <= kMaxK && K3 >= 0 && K3 <= kMaxK;
            if (!bounded) {
                shortcutUsable_ = false;
                return;
            }
            if (C == 0 || K1 == 0)
                continue;
            const int j = count_++;
            Slot& slot = slots_[j];
            slot.kind = K2 == 0 ? Kind::Mono : K3 == 0 ? Kind::Di : Kind::Tri;
            slot.C = C;
            slot.K1 = K1;
            slot.K2K1 = K2 * K1;
            slot.K3K2K1 = K3 * K2 * K1;
            estimateUsable_ = estimateUsable_ && C <= kEstimateMaxConc;
            eK1_[j] = K1;
            eK2K1_[j] = slot.K2K1;
            eK3K2K1_[j] = slot.K3K2K1;
            eC1_[j] = K1 * C;
            eC2_[j] = 2 * slot.K2K1 * C;
            eC3_[j] = 3 * slot.K3K2K1 * C;
            threeTotalConc_ += 3 * C;
        }
        // Without a buffer the exact balance costs no more than the estimate.
        estimateUsable_ = estimateUsable_ && count_ > 0;
        // A padding slot that contributes nothing keeps the pairs whole.
        eK1_[count_] = 1;
        estimatePairs_ = (count_ + 1) / 2;
    }

    /// An estimate of d = balance - @p target at HConc = @p H, OHConc = @p OH, that is
    /// returned only when it is certain to have the sign of the d that the exact
    /// computation gives (and so to be neither 0 nor NaN).
    ///
    /// Why the sign is certain: the exact computation and this estimate both approximate
    /// the same real number, Kw/H - H + sum of C (K1 H^2 + 2 K1 K2 H + 3 K1 K2 K3) / D.
    /// Every term is a few roundings away from its real value and, but for -H, none is
    /// negative, so each result lies within 46 u (OH + H + 3 sum C) of it (u = 2^-53;
    /// underflow adds absolute errors below 1e-300 while the bound is above 1e-21). An
    /// estimate farther than 256 u (OH + H + 3 sum C) from the target therefore lies on
    /// the same side of it as the exact balance. Inside the bounds checked here no value
    /// overflows and every denominator is at least H^3 >= 1e-90.
    bool estimateDifference(double H, double OH, double target, double& d) const {
        if (!shortcutUsable_ || !estimateUsable_ || !(H >= kEstimateMinH && H <= kEstimateMaxH))
            return false;
        const Pair H1 = {H, H};
        const Pair H2 = H1 * H1;
        const Pair H3 = H2 * H1;
        // An estimate may add in any order: the grouping keeps the chain of dependent
        // operations short, which is what a pass waits for.
        const auto protonsPerLitre = [&](int p) {
            const int j = 2 * p;
            const Pair K1 = {eK1_[j], eK1_[j + 1]};
            const Pair K2K1 = {eK2K1_[j], eK2K1_[j + 1]};
            const Pair K3K2K1 = {eK3K2K1_[j], eK3K2K1_[j + 1]};
            const Pair C1 = {eC1_[j], eC1_[j + 1]};
            const Pair C2 = {eC2_[j], eC2_[j + 1]};
            const Pair C3 = {eC3_[j], eC3_[j + 1]};
            const Pair D = (H2 * K1 + K3K2K1) + (H3 + K2K1 * H1);
            const Pair protons = (C3 + C2 * H1) + C1 * H2;
            return protons / D;
        };
        Pair sum = protonsPerLitre(0);
        for (int p = 1; p < estimatePairs_; ++p)
            sum += protonsPerLitre(p);
        d = ((OH - H) - target) + (sum[0] + sum[1]);
        return std::fabs(d) > kEstimateError * (OH + H + threeTotalConc_);
    }

    /// ComputeSpeciation followed by EvaluateProtonBalance at HConc = @p H,
    /// OHConc = @p OH, to the last bit; the species themselves are not kept.
    double operator()(double H, double OH) {
        if (shortcutUsable_ && H >= kMinH && H <= kMaxH)
            return shortcut(H, OH);
        scratch_.HConc = H;
        scratch_.OHConc = OH;
        ComputeSpeciation(scratch_);
        return EvaluateProtonBalance(scratch_);
    }

private:
    double shortcut(double H, double OH) const {
        const double H2 = H * H;
        const double H3 = H2 * H;
        double B = OH - H;
        for (int j = 0; j < count_; ++j) {
            const Slot& f = slots_[j];
            const double H2K1 = H2 * f.K1;
            switch (f.kind) {
            case Kind::Mono: {
                const double D = H2K1 + H3;
                const double h2a = (H2K1 / D) * f.C;
                B = B + h2a;
                break;
            }
            case Kind::Di: {
                const double K2K1H = f.K2K1 * H;
                const double D = H2K1 + H3 + K2K1H;
                const double ha = (K2K1H / D) * f.C;
                const double h2a = (H2K1 / D) * f.C;
                B = (B + 2 * ha) + h2a;
                break;
            }
            case Kind::Tri: {
                const double K2K1H = f.K2K1 * H;
                const double D = H2K1 + H3 + K2K1H + f.K3K2K1;
                const double a = (f.K3K2K1 / D) * f.C;
                const double ha = (K2K1H / D) * f.C;
                const double h2a = (H2K1 / D) * f.C;
                B = ((3 * a + B) + 2 * ha) + h2a;
                break;
            }
            }
        }
        return B;
    }

    // With every constant at most 1e100 and HConc within 1e-100..1e100, each term of a
    // denominator lies within 1e-300..1e300: finite and positive.
    static constexpr double kMaxK = 1e100;
    static constexpr double kMinH = 1e-100;
    static constexpr double kMaxH = 1e100;
    static constexpr double kMaxConc = 1e300;

    static constexpr double kEstimateMinH = 1e-30;
    static constexpr double kEstimateMaxH = 1e10;
    static constexpr double kEstimateMaxConc = 1e3;
    static constexpr double kEstimateError = 256 * DBL_EPSILON / 2;

    enum class Kind { Mono, Di, Tri };
    struct Slot {
        Kind kind;
        double C, K1, K2K1, K3K2K1;
    };
    Slot slots_[kBufferSystemCount]{};
    int count_ = 0;
    bool shortcutUsable_ = true;
    WaterState scratch_;

    // The estimate's constants by slot, in pairs; a padding slot adds nothing.
    alignas(16) double eK1_[kBufferSystemCount + 1]{};
    alignas(16) double eK2K1_[kBufferSystemCount + 1]{};
    alignas(16) double eK3K2K1_[kBufferSystemCount + 1]{};
    alignas(16) double eC1_[kBufferSystemCount + 1]{};
    alignas(16) double eC2_[kBufferSystemCount + 1]{};
    alignas(16) double eC3_[kBufferSystemCount + 1]{};
    int estimatePairs_ = 0;
    double threeTotalConc_ = 0;
    bool estimateUsable_ = true;
};

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
        control_->publish({std::clamp(share, 0.0, 1.0), pH, AddedAcid(steps_, acidStep_)});
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
SolveEnd SolveForHConc(WaterState& s, BalanceEvaluator& balanceAt, RunMonitor& monitor,
                       std::uint64_t& passes) {
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
        if (!(H > 0 && H <= DBL_MAX)) { // HConc can't come back from 0 or infinity
            end = SolveEnd::NotANumber;
            break;
        }
    }
    passes += pass;
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
        next_ = pending_.empty() ? -HUGE_VAL : pending_.back()->atPh;
    }
    void step(double pH, std::uint32_t stepCount) {
        while (pH < next_) {
            PhCrossing& c = *pending_.back();
            c.reached = true;
            c.StepCount = stepCount;
            c.pH = pH;
            pending_.pop_back();
            next_ = pending_.empty() ? -HUGE_VAL : pending_.back()->atPh;
        }
    }

private:
    std::vector<PhCrossing*> pending_; ///< lowest first, so the next one is at the back
    double next_ = -HUGE_VAL;
};

} // namespace

RunOutcome RunTitration(WaterState& s, Series& titration, Series& bufferStrength,
                        RunControl* control, std::vector<PhCrossing>* crossings) {
    CrossingWatch watch(crossings, s.pH);
    s.Kw = 1e-14;
    s.HConc = TenToMinus(s.pH);
    s.OHConc = s.Kw / s.HConc;
    s.pHLastPlotted = s.pH;
    ComputeSpeciation(s);
    s.ProtonBalanceTarget = EvaluateProtonBalance(s);
    titration.AddXY(0, s.pH);
    s.AcidStep = 1e-6;

    RunOutcome outcome;
    std::uint32_t& StepCount = outcome.StepCount;
    std::uint32_t StepCountLastPlotted = 0;
    const std::uint32_t maxSteps = control ? control->maxSteps : 4294967295u;
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
            const SolveEnd solved = SolveForHConc(s, balanceAt, monitor, outcome.SolverPasses);
            if (solved != SolveEnd::Solved) {
                // The step is abandoned: leave the state as the last completed step left it.
                s.ProtonBalanceTarget = previousTarget;
                s.HConc = previousH;
                s.OHConc = s.Kw / s.HConc;
                ComputeSpeciation(s);
                s.ProtonBalance = EvaluateProtonBalance(s);
                outcome.end = solved == SolveEnd::Cancelled ? RunEnd::Cancelled : RunEnd::NotANumber;
                break;
            }
            // Rounded once from extended precision, like the powers of ten: a double
            // logarithm is now and then one unit in the last place off, enough to move a
            // point across the recording threshold or the target.
            s.pH = static_cast<double>(-std::log10(static_cast<long double>(s.HConc)));
            ++StepCount;
            watch.step(s.pH, StepCount);
            if (std::fabs(s.pH - s.pHLastPlotted) > 0.01) {
                titration.AddXY(AddedAcid(StepCount, s.AcidStep), s.pH);
                bufferStrength.AddXY(s.pH, AddedAcid(StepCount - StepCountLastPlotted, s.AcidStep) /
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
    titration.AddXY(AddedAcid(StepCount, s.AcidStep), s.pH);
    // Below the target the share comes out as 1.
    monitor.publish(s.pH);
    return outcome;
}

} // namespace phbuffer::model
