// SPDX-License-Identifier: GPL-3.0-or-later
//
// The certified bracket of a step's root, within which alone rounding can decide the sign
// of a pass.
//
// Private to the run's sources: its definitions have internal linkage, so that the step
// loop that includes them compiles them as one with itself.
#pragma once

#include "speciation.h"

#include <cmath>
#include <limits>

namespace phbuffer::model {

namespace {

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

} // namespace

} // namespace phbuffer::model
