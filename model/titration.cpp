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

// A pass costs at most some tens of nanoseconds, so this many passes between two looks at
// the cancel request keep the reaction time well below a millisecond.
constexpr unsigned kPassesPerCheck = 4096;

/// The pH of the last completed acid step, computed from its HConc only when asked for:
/// a step's pH is an extended-precision logarithm, dearer than the step's passes put
/// together in a long run, and most steps need no more than to know it is in a range.
class StepPh {
public:
    /// Before the first step the pH is the initial pH as given, not one computed back.
    explicit StepPh(double initialpH) : pH_(initialpH) {}

    /// A step has ended at HConc = @p H.
    void step(double H) {
        H_ = H;
        current_ = false;
    }
    double pH() {
        if (!current_) {
            pH_ = phOf(H_);
            current_ = true;
        }
        return pH_;
    }

    /// Rounded once from extended precision, like the powers of ten: a double logarithm
    /// is now and then one unit in the last place off, enough to move a point across the
    /// recording threshold or the target.
    static double phOf(double H) {
        return static_cast<double>(-std::log10(static_cast<long double>(H)));
    }

private:
    double pH_;
    double H_ = 0;
    bool current_ = true;
};

/// The HConc range in which a step's pH is certain to change nothing the run watches: it
/// records no point (it lies within 0.01 of the last recorded pH), ends no run (it is not
/// below the lower target) and crosses no watched value. Steps whose HConc falls inside
/// need no pH of their own.
///
/// Why the range is certain: it ends a relative 1e-9 short of 10^-p for each watched pH
/// value p, where the pH differs from p by at least log10(1 / (1 - 1e-9)) > 4.3e-10. The
/// powers of ten here and the step's logarithm are each within a few units in the last
/// place, below 1e-12 for the pH values it is used for (magnitude below 300, where the
/// powers of ten are normal numbers), so the pH of a step inside lies on the same side of
/// each p as the real value, and the rounded difference to the last recorded pH stays
/// below 0.01 - 4e-10.
class QuietRange {
public:
    /// Spans the HConc of pH values from @p lastPlotted - 0.01 up to @p lastPlotted + 0.01
    /// that are not below @p lowerTarget nor @p nextWatched; empty where a pH value is
    /// too large to be sure of.
    void set(double lastPlotted, double lowerTarget, double nextWatched) {
        low_ = std::numeric_limits<double>::infinity();
        high_ = 0;
        const double lowestQuiet = std::max({lastPlotted - 0.01, lowerTarget, nextWatched});
        const double highestQuiet = lastPlotted + 0.01;
        if (!(std::fabs(lowestQuiet) < kMaxPh && std::fabs(highestQuiet) < kMaxPh))
            return;
        low_ = std::pow(10.0, -highestQuiet) * (1 + kMargin);
        high_ = std::pow(10.0, -lowestQuiet) * (1 - kMargin);
    }
    bool holds(double H) const { return H > low_ && H < high_; }

private:
    static constexpr double kMaxPh = 300;
    static constexpr double kMargin = 1e-9;
    double low_ = std::numeric_limits<double>::infinity();
    double high_ = 0;
};

class RunMonitor {
public:
    /// Follows the run that counts its completed acid steps of @p acidStep in @p steps.
    RunMonitor(RunControl* control, double startpH, double targetpH, const std::uint32_t& steps,
               double acidStep, StepPh& stepPh)
        : control_(control), startpH_(startpH), span_(startpH - targetpH), steps_(steps),
          acidStep_(acidStep), stepPh_(stepPh) {}

    /// Called once per solver pass; true when the run must stop.
    bool shouldStop() {
        if (--countdown_ != 0)
            return false;
        return look();
    }

    /// How many passes may follow without a look: shouldStop would say false to each.
    unsigned quietPasses() const { return countdown_ - 1; }
    /// Counts @p n passes that shouldStop was not asked about; at most quietPasses().
    void passedQuietly(unsigned n) { countdown_ -= n; }

    bool cancelled() const {
        return control_ && control_->cancelRequested.load(std::memory_order_relaxed);
    }

    /// Publishes the progress at the last completed step.
    void publish() {
        if (!control_)
            return;
        const double pH = stepPh_.pH();
        const double share = span_ > 0 ? (startpH_ - pH) / span_ : 1.0;
        control_->publish({std::clamp(share, 0.0, 1.0), pH, addedAcid(steps_, acidStep_)});
    }

private:
    // Kept out of the passes' loop, which runs a few thousand times for every call.
    [[gnu::noinline]] bool look() {
        countdown_ = kPassesPerCheck;
        publish();
        return cancelled();
    }

    RunControl* control_;
    double startpH_;
    double span_;
    const std::uint32_t& steps_;
    double acidStep_;
    StepPh& stepPh_;
    unsigned countdown_ = kPassesPerCheck;
};

/// Where, within one acid step, a pass can tell the sign of d from its HConc alone.
///
/// The balance falls strictly as HConc rises, so d = balance - target changes sign once,
/// at the root, and only near the root can rounding decide the sign that the exact
/// computation gives. A step's bracket [below, above] holds the root and is certified by
/// BalanceEvaluator::certainSide: every HConc from kEstimateMinH up to `below` gives an
/// exact d > 0, every HConc from `above` up to kEstimateMaxH an exact d < 0 (certainSide
/// says why). The bracket is found by secant steps on the estimate of d from the last
/// step's solution, with the slope of the last step; finding it is a guess, certifying it
/// is not, and a guess that fails to certify leaves the step without a bracket.
class RootBracket {
public:
    RootBracket(const BalanceEvaluator& balance, double Kw)
        : balance_(balance), Kw_(Kw), usable_(balance.certainSideUsable(Kw)) {}

    /// Brackets the root for @p target near @p H, the last step's solution, at which d is
    /// about @p dAtH (the acid just added); leaves no bracket when that fails.
    void find(double H, double dAtH, double target) {
        below_ = 0;
        above_ = std::numeric_limits<double>::infinity();
        if (!usable_ || !inRange(H))
            return;
        double x = H;
        double e = dAtH;
        double m = slope_;
        if (!(m < 0)) { // the first step: measure the slope
            e = rough(x, target).d;
            const double x1 = x * 1.001;
            const double e1 = rough(x1, target).d;
            m = (x1 - x) / (e1 - e);
            if (!(m < 0 && m > -kHuge))
                return;
            x = x1;
            e = e1;
        }
        double band = 0;
        for (int i = 0;; ++i) {
            const double next = x - e * m;
            if (!inRange(next) || i == kMaxSecantSteps)
                return;
            const BalanceEvaluator::RoughDifference at = rough(next, target);
            band = at.margin;
            // A secant across the band where rounding rules measures noise, not slope.
            if (std::fabs(at.d - e) > 64 * band) {
                const double mNext = (next - x) / (at.d - e);
                if (mNext < 0 && mNext > -kHuge)
                    m = mNext;
            }
            x = next;
            e = at.d;
            if (std::fabs(e) <= band / 8)
                break;
        }
        slope_ = m;
        // The estimate at the ends must clear the margin; it is off by far less than that,
        // and a bracket that fails is widened.
        double halfWidth = (1.25 * band + std::fabs(e)) * -m;
        const double centre = x - e * m;
        for (int widening = 0; widening < kMaxWidenings; ++widening, halfWidth *= 2) {
            if (certify(centre - halfWidth, centre + halfWidth, target))
                return;
        }
    }

    /// Whether the bracket tells the sign of the exact d at a pass's HConc @p H.
    bool decides(double H) const {
        // Bitwise, without branches: a pass's side is as hard to foresee as a coin toss.
        return ((H <= below_) | (H >= above_)) & (H >= BalanceEvaluator::kEstimateMinH) &
               (H <= BalanceEvaluator::kEstimateMaxH);
    }
    /// Where the bracket decides: whether @p H lies below the root, so that d > 0.
    bool isBelow(double H) const { return H <= below_; }
    /// Whether the step has a bracket at all.
    bool held() const { return below_ > 0; }
    double below() const { return below_; }
    double above() const { return above_; }

    // A pass of replayDecidedPasses that follows one at a decided HConc is decided as soon
    // as it lies outside the bracket. Since the bracket lies within twice the estimate's
    // bounds, such a pass is within them: after a pass below the bracket f < 0, so the
    // next HConc is at least as high, and at most 1.1 times as high as the bracket's
    // lower end, at most half the upper bound; after a pass above it f > 0, and the next
    // HConc is at most as high and at least 0.9 times the bracket's upper end.

private:
    /// Takes [@p below, @p above] as the bracket if certainSide certifies both ends.
    bool certify(double below, double above, double target) {
        if (!(below >= 2 * BalanceEvaluator::kEstimateMinH &&
              above <= BalanceEvaluator::kEstimateMaxH / 2))
            return false;
        if (balance_.certainSide(below, Kw_, target) != 1 ||
            balance_.certainSide(above, Kw_, target) != -1)
            return false;
        below_ = below;
        above_ = above;
        return true;
    }

    static bool inRange(double H) {
        return H >= BalanceEvaluator::kEstimateMinH && H <= BalanceEvaluator::kEstimateMaxH;
    }
    BalanceEvaluator::RoughDifference rough(double H, double target) const {
        return balance_.roughDifference(H, Kw_ / H, target);
    }

    static constexpr int kMaxSecantSteps = 8;
    static constexpr int kMaxWidenings = 6;
    static constexpr double kHuge = 1e300;

    const BalanceEvaluator& balance_;
    double Kw_;
    bool usable_;
    double below_ = 0;
    double above_ = std::numeric_limits<double>::infinity();
    double slope_ = 0; ///< dHConc / d(balance) near the last root; negative once known
};

enum class SolveEnd { Solved, Cancelled, NotANumber };

/// d at HConc = @p H, OHConc = @p OH, or a number of its sign; NaN when the balance is not
/// a number. Kept out of the passes' loop, which needs it only now and then. Inside a
/// step's bracket the estimate is not tried: its margin is wider than the bracket's.
[[gnu::noinline]] double computedDifference(BalanceEvaluator& balanceAt, double H, double OH,
                                            double target, bool bracketed, RunOutcome& outcome) {
    double d = 0;
    if (bracketed || !balanceAt.estimateDifference(H, OH, target, d)) {
        ++outcome.exactEvaluations;
        d = balanceAt(H, OH) - target;
    }
    return d;
}

/// Two lanes that hold the same double: in them a comparison gives a mask and a choice
/// between two values is three bit operations, so a pass needs no branch on its sign.
typedef double Lanes __attribute__((vector_size(16)));
typedef long long LaneMask __attribute__((vector_size(16)));

inline Lanes pick(LaneMask choose, Lanes ifNot, Lanes ifSo) {
    return (Lanes)(((LaneMask)ifSo & choose) | ((LaneMask)ifNot & ~choose));
}

/// Where a run of passes that the bracket decides stopped.
struct Replay {
    enum Stop { Ended, Look, Undecided };
    double H;        ///< HConc of the last pass done
    double f;        ///< the factor that pass left
    unsigned passes; ///< passes done beyond the first
    Stop stop;       ///< the step is over, the monitor must look, or the next pass is
                     ///< one the bracket can't decide
};

/// Carries on from a pass at HConc @p H, whose sign the bracket decides and which found
/// the factor @p f, with the passes as written for as long as the bracket decides them:
/// that pass's reversal, then for each pass its end test, its look at the monitor (which
/// allows @p quiet passes), HConc := (1 - f) HConc, and its reversal; @p threshold is
/// |AcidStep / 1e6|. Returns after the last pass it did, before that pass's end test and
/// look, which are the caller's: they come out as Replay::stop says.
///
/// Each pass computes the next HConc for both outcomes of its reversal while it compares,
/// and picks one: (1 - f) H and (1 - f * -0.5) H are the numbers the pass as written
/// computes in either case, f * -0.5 being its reversed factor (the same number as
/// -f * 0.5: negation and halving are exact).
///
/// Whether a pass reverses needs only its own side and the last pass's. After any pass
/// whose d is not 0, f has the sign opposite to d: a pass that reverses gives f the sign
/// of -d, one that does not already had it. So f > 0 exactly when the last pass lay above
/// the root, and a pass reverses (d with the sign of f) exactly when it lies on the other
/// side of the root from the last one. Before the first pass here, the side of the last
/// one is read off the sign of @p f, which also covers a last pass whose d was 0.
Replay replayDecidedPasses(double H, double f, double threshold, unsigned quiet,
                           const RootBracket& bracket) {
    const Lanes below = {bracket.below(), bracket.below()};
    const Lanes above = {bracket.above(), bracket.above()};
    Lanes Hc = {H, H};
    Lanes F = {f, f};
    LaneMask lastBelow = ~(F > 0);
    for (unsigned passes = 0;; ++passes) {
        // This pass's reversal: d > 0 below the bracket, d < 0 above it.
        const LaneMask isBelow = Hc <= below;
        const LaneMask reverses = isBelow ^ lastBelow;
        lastBelow = isBelow;
        const Lanes reversed = F * -0.5;
        const Lanes next = pick(reverses, (1 - F) * Hc, (1 - reversed) * Hc);
        F = pick(reverses, F, reversed);
        // Its end test and look, then the next pass.
        if (threshold > std::fabs(F[0]))
            return {Hc[0], F[0], passes, Replay::Ended};
        if (passes == quiet)
            return {Hc[0], F[0], passes, Replay::Look};
        // Outside the bracket the next pass is decided too (see RootBracket). Compared in
        // lanes: a branch on each comparison would be foreseen as badly as the pass's
        // side, one on their union almost always.
        const LaneMask decided = (next <= below) | (next >= above);
        if (!decided[0])
            return {Hc[0], F[0], passes, Replay::Undecided};
        Hc = next;
    }
}

/// Finds the HConc at which the proton balance meets ProtonBalanceTarget, pass by pass:
/// HConc := (1 - f) HConc, evaluate the balance, d := balance - target; the first pass
/// sets f to +0.1 (d < 0) or -0.1, and a pass whose d has the sign of f reverses and halves
/// f. The solver ends as soon as |f| is below |AcidStep| / 1e6, so every step ends on the
/// 37th reversal (0.1 / 2^37 is the first magnitude below 1e-12).
///
/// Only the sign of d steers the passes, and the sign is all that is taken here: from the
/// step's bracket where it holds one, else from the sign estimate, else from the exact
/// balance. Each gives the sign of the exact d of that HConc (the bracket and the estimate
/// by their certificates; d = balance - target is a correctly rounded subtraction, so its
/// sign is that of balance - target and it is 0 only when they are equal), so pass after
/// pass the same sign meets the same f and the same HConc as in the passes as written:
/// every HConc, every f and the pass count are theirs. Runs of passes that the bracket
/// decides go to replayDecidedPasses, which computes the same numbers without a branch.
///
/// The passes work on local copies; on return the state holds HConc, OHConc and
/// HStepFactor of the last pass. The species and ProtonBalance, which nothing reads
/// between steps, are left to settle().
SolveEnd solveForHConc(WaterState& s, BalanceEvaluator& balanceAt, const RootBracket& bracket,
                       RunMonitor& monitor, RunOutcome& outcome) {
    const double threshold = std::fabs(s.AcidStep / 1000000);
    const double Kw = s.Kw;
    const double target = s.ProtonBalanceTarget;
    double H = s.HConc;
    double f = 0;
    bool firstPass = true;
    SolveEnd end = SolveEnd::Solved;
    std::uint64_t pass = 0;
    for (;;) {
        ++pass;
        H = (1 - f) * H;
        if (!firstPass && bracket.decides(H)) {
            const Replay r = replayDecidedPasses(H, f, threshold, monitor.quietPasses(), bracket);
            monitor.passedQuietly(r.passes);
            pass += r.passes;
            H = r.H;
            f = r.f;
        } else {
            double d = 0;
            if (bracket.decides(H))
                d = bracket.isBelow(H) ? 1 : -1;
            else
                d = computedDifference(balanceAt, H, Kw / H, target, bracket.held(), outcome);
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
        }
        if (threshold > std::fabs(f))
            break;
        if (monitor.shouldStop()) {
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
    s.HConc = H;
    s.OHConc = Kw / H;
    s.HStepFactor = f;
    return end;
}

/// The species and ProtonBalance that belong to HConc, with OHConc, as the last pass at
/// that HConc leaves them.
void settle(WaterState& s, RunOutcome& outcome) {
    ++outcome.exactEvaluations;
    s.OHConc = s.Kw / s.HConc;
    ComputeSpeciation(s);
    s.ProtonBalance = EvaluateProtonBalance(s);
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

    /// The highest value not yet crossed; minus infinity once none is left.
    double next() const { return next_; }

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
    StepPh stepPh(s.pH);
    RunMonitor monitor(control, s.pH, s.LowerpHTarget, StepCount, s.AcidStep, stepPh);
    monitor.publish();
    QuietRange quiet;
    quiet.set(s.pHLastPlotted, s.LowerpHTarget, watch.next());
    BalanceEvaluator balanceAt(s);
    RootBracket bracket(balanceAt, s.Kw);
    bool settled = true;

    if (std::isnan(s.ProtonBalanceTarget)) {
        outcome.end = RunEnd::NotANumber;
    } else if (maxSteps == 0) {
        outcome.end = RunEnd::StepLimit;
    } else {
        for (;;) {
            const double previousTarget = s.ProtonBalanceTarget;
            const double previousH = s.HConc;
            s.ProtonBalanceTarget = s.ProtonBalanceTarget - s.AcidStep;
            bracket.find(s.HConc, previousTarget - s.ProtonBalanceTarget, s.ProtonBalanceTarget);
            const SolveEnd solved = solveForHConc(s, balanceAt, bracket, monitor, outcome);
            settled = false;
            if (solved != SolveEnd::Solved) {
                // The step is abandoned: leave the state as the last completed step left it.
                s.ProtonBalanceTarget = previousTarget;
                s.HConc = previousH;
                settle(s, outcome);
                settled = true;
                outcome.end =
                    solved == SolveEnd::Cancelled ? RunEnd::Cancelled : RunEnd::NotANumber;
                break;
            }
            stepPh.step(s.HConc);
            ++StepCount;
            if (!quiet.holds(s.HConc)) {
                s.pH = stepPh.pH();
                const double watched = watch.next();
                watch.step(s.pH, StepCount);
                const double lastPlotted = s.pHLastPlotted;
                if (std::fabs(s.pH - s.pHLastPlotted) > 0.01) {
                    titration.AddXY(addedAcid(StepCount, s.AcidStep), s.pH);
                    bufferStrength.AddXY(s.pH,
                                         addedAcid(StepCount - StepCountLastPlotted, s.AcidStep) /
                                             std::fabs(s.pHLastPlotted - s.pH));
                    s.pHLastPlotted = s.pH;
                    StepCountLastPlotted = StepCount;
                }
                if (s.pH < s.LowerpHTarget) {
                    outcome.end = RunEnd::ReachedTarget;
                    break;
                }
                if (s.pHLastPlotted != lastPlotted || watch.next() != watched)
                    quiet.set(s.pHLastPlotted, s.LowerpHTarget, watch.next());
            }
            if (StepCount >= maxSteps) {
                outcome.end = RunEnd::StepLimit;
                break;
            }
        }
    }
    if (!settled)
        settle(s, outcome);
    s.pH = stepPh.pH();
    titration.AddXY(addedAcid(StepCount, s.AcidStep), s.pH);
    // Below the target the share comes out as 1.
    monitor.publish();
    return outcome;
}

} // namespace phbuffer::model
