// SPDX-License-Identifier: GPL-3.0-or-later
//
// The acid titration: strong acid in steps of 1e-6 mol/L from the initial pH down to the
// lower pH target, with the proton balance solved for HConc after every step.
#pragma once

#include "series.h"
#include "water_state.h"

#include <atomic>
#include <cstdint>
#include <limits>
#include <mutex>
#include <vector>

namespace phbuffer::model {

/// How far a run has come.
struct RunProgress {
    /// Share of the pH span from the initial pH to the lower target covered so far, 0 to 1.
    double share = 0;
    /// The pH of the last completed acid step.
    double pH = 0;
    /// The acid added up to that step [mmol/L].
    double acidAdded = 0;
};

/// Lets another thread follow a run and stop it. The run reads the cancel request and
/// publishes its progress at its start, every few thousand solver passes (well under a
/// millisecond) and at its end.
class RunControl {
public:
    std::atomic<bool> cancelRequested{false};
    /// The run stops after this many acid steps even when the target is not reached.
    std::uint32_t maxSteps = std::numeric_limits<std::uint32_t>::max();

    /// The progress last published; its three values always belong to the same moment.
    RunProgress progress() const {
        const std::lock_guard<std::mutex> lock(mutex_);
        return progress_;
    }
    void publish(const RunProgress& progress) {
        const std::lock_guard<std::mutex> lock(mutex_);
        progress_ = progress;
    }

private:
    mutable std::mutex mutex_;
    RunProgress progress_;
};

enum class RunEnd {
    ReachedTarget, ///< the pH fell below the lower target
    Cancelled,     ///< stopped on request
    StepLimit,     ///< stopped after RunControl::maxSteps steps
    NotANumber,    ///< the proton balance could not be evaluated (input far outside water)
};

struct RunOutcome {
    RunEnd end = RunEnd::ReachedTarget;
    std::uint32_t StepCount = 0;    ///< acid steps completed
    std::uint64_t solverPasses = 0; ///< passes of the solver over all steps
    /// Speciations over all slots that the solver computed to the last bit, for a pass's
    /// sign or for the state it leaves; what a run costs beyond the passes themselves.
    std::uint64_t exactEvaluations = 0;
};

/// Where a run first fell below a pH value: what a run with that value as its lower target
/// would have used, since such a run stops at the first pH below its target.
struct PhCrossing {
    double atPh = 0;             ///< the pH value watched for
    bool reached = false;        ///< the run got below it, or it is at or above the start
    std::uint32_t StepCount = 0; ///< acid steps done then; 0 at or above the initial pH
    double pH = 0;               ///< the pH of that step; the initial pH for step 0
};

/// Titrates the water in @p state, which must hold mol/L concentrations, the constants,
/// the initial pH and the lower target. Appends the start point, the recorded points and
/// the final point to @p titration (x added H+ [mmol/L], y pH) and the buffer capacity
/// points to @p bufferStrength (x pH, y mmol H+ per pH unit); it neither empties nor
/// activates them. A run that ends early keeps the state of its last completed step and
/// still appends the final point at that step. @p control may be null. Each entry of
/// @p crossings, if given, is filled in for its atPh; the entries may come in any order.
RunOutcome runTitration(WaterState& state, Series& titration, Series& bufferStrength,
                        RunControl* control, std::vector<PhCrossing>* crossings = nullptr);

/// The acid used so far in mmol/L, as the run computes it for its points and label.
inline double addedAcid(std::uint32_t stepCount, double acidStep) {
    return static_cast<double>(stepCount) * acidStep * 1000;
}

/// 10 to the power -p, computed in extended precision and rounded to a double.
double tenToMinus(double p);

} // namespace phbuffer::model
