// SPDX-License-Identifier: GPL-3.0-or-later
//
// Which steps of a run need a pH of their own: the pH of the last step, computed only
// when asked for, and the HConc range in which no pH changes anything the run watches.
//
// Private to the run's sources: its definitions have internal linkage, so that the step
// loop that includes them compiles them as one with itself.
#pragma once

#include <algorithm>
#include <cmath>
#include <limits>

namespace phbuffer::model {

namespace {

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
/// records no point (it lies within the recording interval, 0.01 by default, of the last
/// recorded pH), ends no run (it is not beyond the target) and crosses no watched
/// value. Steps whose HConc falls inside need no pH of their own.
///
/// Why the range is certain: it ends a relative 1e-9 short of 10^-p for each watched pH
/// value p, where the pH differs from p by at least log10(1 / (1 - 1e-9)) > 4.3e-10. The
/// powers of ten here and the step's logarithm are each within a few units in the last
/// place, below 1e-12 for the pH values it is used for (magnitude below 300, where the
/// powers of ten are normal numbers), so the pH of a step inside lies on the same side of
/// each p as the real value, and the rounded difference to the last recorded pH stays
/// below the interval less 4e-10.
class QuietRange {
public:
    /// Spans the HConc of pH values within @p interval of @p lastPlotted that lie from
    /// @p lowest up to @p highest, the target and the next watched value on the side the
    /// run moves to (minus or plus infinity on the other); empty where a pH value is too
    /// large to be sure of.
    void set(double lastPlotted, double interval, double lowest, double highest) {
        low_ = std::numeric_limits<double>::infinity();
        high_ = 0;
        const double lowestQuiet = std::max(lastPlotted - interval, lowest);
        const double highestQuiet = std::min(lastPlotted + interval, highest);
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

} // namespace

} // namespace phbuffer::model
