// SPDX-License-Identifier: GPL-3.0-or-later
//
// The solver of one step: pass after pass until HConc meets the balance's target, with
// the signs taken from the bracket, the estimate or the exact balance, and the plain
// passes as written for runs whose constants the certificates do not cover.
//
// Private to the run's sources: its definitions have internal linkage, so that the step
// loop that includes them compiles them as one with itself.
#pragma once

#include "root_bracket.h"
#include "run_constants.h"
#include "run_monitor.h"
#include "speciation.h"
#include "titration.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace phbuffer::model {

namespace {

enum class SolveEnd { Solved, Cancelled, NotANumber };

/// d at HConc = @p H, OHConc = @p OH, or a number of its sign; NaN when the balance is not
/// a number. Kept out of the passes' loop, which needs it only now and then. Inside a
/// step's bracket the estimate is not tried: its margin is wider than the bracket's.
[[gnu::noinline]] inline double computedDifference(BalanceEvaluator& balanceAt, double H, double OH,
                                                   double target, bool bracketed,
                                                   RunOutcome& outcome) {
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
inline Replay replayDecidedPasses(double H, double f, double threshold, unsigned quiet,
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
/// f. The solver ends as soon as |f| is below |AcidStep| / 1e6 (kSolverStepsPerFactor), so every
/// step ends on the 37th reversal (0.1 / 2^37 is the first magnitude below 1e-12).
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
inline SolveEnd solveForHConc(WaterState& s, BalanceEvaluator& balanceAt,
                              const RootBracket& bracket, RunMonitor& monitor,
                              RunOutcome& outcome) {
    const double threshold = std::fabs(s.AcidStep / kSolverStepsPerFactor);
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
inline void settle(WaterState& s, RunOutcome& outcome) {
    ++outcome.exactEvaluations;
    s.OHConc = s.Kw / s.HConc;
    ComputeSpeciation(s);
    s.ProtonBalance = EvaluateProtonBalance(s);
}

/// The passes as written, each with the full speciation and balance: for constants the
/// certificates of the bracket and the estimate do not cover, and for a single solve.
/// Starts from HConc and ends, like solveForHConc, once |f| is below @p threshold; the
/// state then holds HConc, OHConc, HStepFactor, the species and ProtonBalance of the last
/// pass. @p monitor may be null.
inline SolveEnd solvePlainly(WaterState& s, double threshold, RunMonitor* monitor,
                             std::uint64_t& passes) {
    s.HStepFactor = 0;
    bool firstPass = true;
    for (;;) {
        ++passes;
        s.HConc = (1 - s.HStepFactor) * s.HConc;
        s.OHConc = s.Kw / s.HConc;
        ComputeSpeciation(s);
        s.ProtonBalance = EvaluateProtonBalance(s);
        const double d = s.ProtonBalance - s.ProtonBalanceTarget;
        if (d != d)
            return SolveEnd::NotANumber;
        if (firstPass) {
            s.HStepFactor = d < 0 ? 0.1 : -0.1;
            firstPass = false;
        }
        if (s.HStepFactor > 0 && d > 0)
            s.HStepFactor = -s.HStepFactor * 0.5;
        if (s.HStepFactor < 0 && d < 0)
            s.HStepFactor = -s.HStepFactor * 0.5;
        if (threshold > std::fabs(s.HStepFactor))
            return SolveEnd::Solved;
        if (monitor && monitor->shouldStop())
            return SolveEnd::Cancelled;
        if (!(s.HConc > 0 && s.HConc <= std::numeric_limits<double>::max()))
            return SolveEnd::NotANumber;
    }
}

} // namespace

} // namespace phbuffer::model
