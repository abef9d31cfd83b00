// SPDX-License-Identifier: GPL-3.0-or-later
//
// The proton balance of a water and the speciation it rests on, in their three forms: the
// formulas as written (ComputeSpeciation, EvaluateProtonBalance), which are the
// definition; the evaluator that the solver calls on every pass, which gives the same
// bits in fewer operations; and the sign estimate that lets most passes skip the exact
// balance altogether. Any change to one form must keep the other two in step; the
// speciation tests compare them bit for bit.
#pragma once

#include "water_state.h"

#include <cmath>
#include <limits>

namespace phbuffer::model {

/// Spreads every slot's concentration over its three deprotonated forms at HConc.
void ComputeSpeciation(WaterState& state);

/// The proton balance (alkalinity with the fully protonated forms as reference) at HConc,
/// from OHConc and the species, which must belong to the current HConc.
double EvaluateProtonBalance(const WaterState& state);

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
            concWithinEstimate_ = concWithinEstimate_ && C <= kEstimateMaxConc;
            eK1_[j] = K1;
            eK2K1_[j] = slot.K2K1;
            eK3K2K1_[j] = slot.K3K2K1;
            eC1_[j] = K1 * C;
            eC2_[j] = 2 * slot.K2K1 * C;
            eC3_[j] = 3 * slot.K3K2K1 * C;
            threeTotalConc_ += 3 * C;
        }
        // Without a buffer the exact balance costs no more than the estimate.
        estimateUsable_ = concWithinEstimate_ && count_ > 0;
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
        d = ((OH - H) - target) + estimatedBuffers(H);
        return std::fabs(d) > kEstimateError * (OH + H + threeTotalConc_);
    }

    /// Whether, for the run's ion product @p Kw, every HConc from kEstimateMinH up to @p H
    /// (+1) or from @p H up to kEstimateMaxH (-1) is certain to give an exact d =
    /// balance - @p target of that sign; 0 when neither is certain. OHConc is Kw / HConc.
    ///
    /// Why: let P(x) = sum of C (K1 x^2 + 2 K1 K2 x + 3 K1 K2 K3) / D(x), the buffers'
    /// part, R(x) = Kw/x - x + P(x) the real balance and S(x) = Kw/x + x + P(x).
    /// - The exact balance computes every species within 10 u of its real value (two
    ///   roundings for a numerator, five for D, one for the division, one for C; one more
    ///   for 3 A). It adds them to OH - H in 28 roundings, each within u of a partial sum
    ///   of positive terms and -H, so within u S(x), and OH = Kw / x is one more: it lies
    ///   within 40 u S(x) of R(x). This is the running bound: it follows the terms as they
    ///   are at x rather than their largest value 3 sum C, and is the narrower the
    ///   farther the buffers are from their deprotonated forms.
    /// - The estimate below computes P within 20 u (four roundings for a precomputed
    ///   product times a power of H, two more for its sums, five for D, one for the
    ///   division, five for the pairwise sums) and adds the roundings of OH, of OH - H, of
    ///   the target's subtraction and of the last addition, each within u (S(H) +
    ///   |target|): it lies within 24 u (S(H) + |target|) of R(H) - target.
    /// - The margin takes the computed P, within 20 u of the real one, and is itself
    ///   rounded by a few u. An estimate above it, kCertainError (OH + H + P + |target|)
    ///   with kCertainError = 128 u, therefore gives R(H) - target > 100 u S(H).
    /// Now take x < H. Every term of R grows as x falls, and R grows by 2 (H - x) more
    /// than S does: Kw/x and P grow alike in both, x falls in S and -x rises in R. So R
    /// grows by a positive amount that is at least S's growth, and
    ///   R(x) - target > 40 u S(H) + max(0, S(x) - S(H)) >= 40 u S(x):
    /// the exact balance at x lies above the target and its d is positive. Below the
    /// target, for x > H, R falls by at least x - H while S grows by at most x - H, so
    ///   R(x) - target < -40 u S(H) - (x - H) <= -40 u S(x).
    /// Monotonicity needs no negative concentration or constant, which the shortcut's
    /// bounds exclude, and Kw > 0. Underflow adds absolute errors below 1e-300, and
    /// S >= 2 sqrt(Kw) >= 2e-10 within the ion products allowed.
    int certainSide(double H, double Kw, double target) const {
        if (!certainSideUsable(Kw) || !(H >= kEstimateMinH && H <= kEstimateMaxH))
            return 0;
        const RoughDifference rough = roughDifference(H, Kw / H, target);
        return rough.d > rough.margin ? 1 : rough.d < -rough.margin ? -1 : 0;
    }

    /// Whether the ion product @p Kw is one the certificates are proved for.
    static bool certifiesKw(double Kw) { return Kw >= kMinKw && Kw <= kMaxKw; }

    /// Whether certainSide can ever answer for the ion product @p Kw.
    bool certainSideUsable(double Kw) const {
        return shortcutUsable_ && concWithinEstimate_ && Kw >= kMinKw && Kw <= kMaxKw;
    }

    /// The estimate of d that certainSide judges, with no promise about its sign, and how
    /// far from 0 it must lie for certainSide to answer.
    struct RoughDifference {
        double d;
        double margin;
    };
    /// The estimate of d at HConc = @p H, OHConc = @p OH; for finding where d changes
    /// sign.
    RoughDifference roughDifference(double H, double OH, double target) const {
        const double buffers = estimatedBuffers(H);
        return {((OH - H) - target) + buffers,
                kCertainError * (((OH + H) + buffers) + std::fabs(target))};
    }

    /// The HConc range in which certainSide can answer.
    static constexpr double kEstimateMinH = 1e-30;
    static constexpr double kEstimateMaxH = 1e10;

    /// ComputeSpeciation followed by EvaluateProtonBalance at HConc = @p H,
    /// OHConc = @p OH, to the last bit; the species themselves are not kept.
    double operator()(double H, double OH) {
        if (takesShortcutAt(H))
            return shortcut(H, OH);
        scratch_.HConc = H;
        scratch_.OHConc = OH;
        ComputeSpeciation(scratch_);
        return EvaluateProtonBalance(scratch_);
    }

    /// Whether the balance at HConc = @p H is computed by the shortcut rather than by
    /// ComputeSpeciation and EvaluateProtonBalance themselves.
    bool takesShortcutAt(double H) const { return shortcutUsable_ && H >= kMinH && H <= kMaxH; }

    // With every constant at most 1e100 and HConc within 1e-100..1e100, each term of a
    // denominator lies within 1e-300..1e300: finite and positive.
    static constexpr double kMaxK = 1e100;
    static constexpr double kMinH = 1e-100;
    static constexpr double kMaxH = 1e100;
    static constexpr double kMaxConc = 1e300;

private:
    /// Two doubles that every arithmetic operation treats lane by lane.
    typedef double Pair __attribute__((vector_size(16)));

    /// The buffers' part of the estimate, sum of C (K1 H^2 + 2 K1 K2 H + 3 K1 K2 K3) / D.
    double estimatedBuffers(double H) const {
        if (count_ == 0)
            return 0;
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
        return sum[0] + sum[1];
    }

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

    static constexpr double kEstimateMaxConc = 1e3;
    // Within these ion products Kw / H stays finite inside the estimate's bounds, and
    // OH + H >= 2 sqrt(Kw) keeps every error bound above 1e-24, far above what underflow
    // can add.
    static constexpr double kMinKw = 1e-20;
    static constexpr double kMaxKw = 1e-10;
    static constexpr double kCertainError = 128 * std::numeric_limits<double>::epsilon() / 2;
    static constexpr double kEstimateError = 256 * std::numeric_limits<double>::epsilon() / 2;

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
    bool concWithinEstimate_ = true;
};

} // namespace phbuffer::model
