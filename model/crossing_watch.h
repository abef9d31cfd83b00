// SPDX-License-Identifier: GPL-3.0-or-later
//
// The pH values a run watches for, and the step at which it first passed each.
//
// Private to the run's sources: its definitions have internal linkage, so that the step
// loop that includes them compiles them as one with itself.
#pragma once

#include "run_description.h"
#include "titration.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace phbuffer::model {

namespace {

/// Follows the pH of a run past a set of values, in the order the run meets them, at the
/// cost of one comparison per step. A falling run passes a value at the first pH below it,
/// a rising one at the first pH above it; both are watched as a falling run on the pH
/// times the run's sign, which for a falling run is the pH itself, bit for bit.
class CrossingWatch {
public:
    CrossingWatch(std::vector<PhCrossing>* crossings, double initialpH, Direction direction)
        : sign_(direction == Direction::Falling ? 1.0 : -1.0) {
        if (!crossings)
            return;
        for (PhCrossing& c : *crossings) {
            c = PhCrossing{c.atPh};
            c.direction = direction;
            if (sign_ * c.atPh >= sign_ * initialpH) {
                c.reached = true;
                c.pH = initialpH;
            } else {
                pending_.push_back(&c);
            }
        }
        std::sort(pending_.begin(), pending_.end(),
                  [this](const PhCrossing* a, const PhCrossing* b) {
                      return sign_ * a->atPh < sign_ * b->atPh;
                  });
        next_ = nextValue();
    }
    void step(double pH, std::uint32_t stepCount) {
        while (sign_ * pH < next_) {
            PhCrossing& c = *pending_.back();
            c.reached = true;
            c.StepCount = stepCount;
            c.pH = pH;
            pending_.pop_back();
            next_ = nextValue();
        }
    }

    /// The next value the run will pass, as a pH; minus infinity for a falling run (plus
    /// infinity for a rising one) once none is left.
    double next() const { return sign_ * next_; }

private:
    double nextValue() const {
        return pending_.empty() ? -std::numeric_limits<double>::infinity()
                                : sign_ * pending_.back()->atPh;
    }

    double sign_;
    std::vector<PhCrossing*> pending_;                       ///< the last one to be passed first
    double next_ = -std::numeric_limits<double>::infinity(); ///< times sign_
};

} // namespace

} // namespace phbuffer::model
