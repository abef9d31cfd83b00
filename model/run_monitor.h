// SPDX-License-Identifier: GPL-3.0-or-later
//
// How a run lets another thread follow it: it publishes its progress and reads the
// cancel request every few thousand solver passes.
//
// Private to the run's sources: its definitions have internal linkage, so that the step
// loop that includes them compiles them as one with itself.
#pragma once

#include "run_constants.h"
#include "step_ph.h"
#include "titration.h"

#include <algorithm>
#include <atomic>
#include <cstdint>

namespace phbuffer::model {

namespace {

// A pass costs at most some tens of nanoseconds, so this many passes between two looks at
// the cancel request keep the reaction time well below a millisecond.
inline constexpr unsigned kPassesPerCheck = 4096;

class RunMonitor {
public:
    /// Follows the run that counts its completed steps of @p acidStep in @p steps, falling
    /// (@p sign 1) or rising (@p sign -1) towards @p targetpH.
    RunMonitor(RunControl* control, double startpH, double targetpH, double sign,
               const std::uint32_t& steps, double acidStep, StepPh& stepPh)
        : control_(control), startpH_(startpH), span_(startpH - targetpH), sign_(sign),
          steps_(steps), acidStep_(acidStep), stepPh_(stepPh) {}

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
        // A falling run's span is positive, a rising one's negative; a run that starts at
        // or beyond its target has covered it all.
        const double share = span_ * sign_ > 0 ? (startpH_ - pH) / span_ : 1.0;
        control_->publish({std::clamp(share, 0.0, 1.0), pH, addedAcid(steps_, acidStep_),
                           sign_ > 0 ? Direction::Falling : Direction::Rising});
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
    double sign_;
    const std::uint32_t& steps_;
    double acidStep_;
    StepPh& stepPh_;
    unsigned countdown_ = kPassesPerCheck;
};

} // namespace

} // namespace phbuffer::model
