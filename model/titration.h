// SPDX-License-Identifier: GPL-3.0-or-later
//
// The titration: the titrant added step by step from the initial pH to the target, with
// the proton balance solved for HConc after every step; and the same balance solved at
// once for a given amount of titrant.
#pragma once

#include "run_constants.h"
#include "run_description.h"
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
    /// The titrant added up to that step [mmol/L]: acid for a falling run, base for a
    /// rising one.
    double acidAdded = 0;
    Direction direction = Direction::Falling;
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

/// Where a run first passed a pH value: what a run with that value as its target would
/// have used, since such a run stops at the first pH beyond its target. A falling run
/// passes a value at the first pH below it, a rising one at the first above it.
struct PhCrossing {
    double atPh = 0;             ///< the pH value watched for
    bool reached = false;        ///< the run passed it, or the start is already beyond it
    std::uint32_t StepCount = 0; ///< steps done then; 0 when the start is beyond it
    double pH = 0;               ///< the pH of that step; the initial pH for step 0
    Direction direction = Direction::Falling; ///< of the run that watched it
};

/// How a run goes: its constants, its step, its direction and its target.
struct RunSettings {
    RunConstants constants;
    double step = kTitrantStep; ///< titrant per step [mol/L]
    Direction direction = Direction::Falling;
    double targetPh = 0;
    double pHInterval = 0.01; ///< a point whenever the pH has moved by more than this
};

/// Titrates the water in @p state, which must hold mol/L concentrations and the initial
/// pH, with the constants of @p settings (which replace the state's) and its step of
/// titrant: acid for a falling run, which ends at the first pH below the target, base for
/// a rising one, which ends at the first pH above it. Appends the start point, the points
/// recorded every pHInterval and the final point to @p titration (x added titrant [mmol/L], y pH)
/// and the buffer capacity points to @p bufferStrength (x pH, y mmol per pH unit); it neither
/// empties nor activates them. A run that ends early keeps the state of its last completed
/// step and still appends the final point at that step. @p control may be null. Each entry
/// of @p crossings, if given, is filled in for its atPh; the entries may come in any order.
///
/// The solver takes its signs from certificates that hold for Kw within 1e-20 to 1e-10 and
/// constants fixed for the whole run; where the constants are outside them, every pass
/// computes the full balance instead, with the same passes and the same results.
RunOutcome runTitration(WaterState& state, const RunSettings& settings, Series& titration,
                        Series& bufferStrength, RunControl* control,
                        std::vector<PhCrossing>* crossings = nullptr);

/// An acid run to the state's LowerpHTarget with the constants that @p state holds, the
/// ion product of water of an ideal water at 25 °C, steps of kTitrantStep and a point
/// every 0.01 pH.
RunOutcome runTitration(WaterState& state, Series& titration, Series& bufferStrength,
                        RunControl* control, std::vector<PhCrossing>* crossings = nullptr);

/// What the run of a description leaves.
struct RunResult {
    WaterState state;      ///< after the last completed step
    Series titration;      ///< x titrant added [mmol/L], y pH
    Series bufferStrength; ///< x pH, y titrant per pH unit [mmol/L]
    RunOutcome outcome;
    std::vector<PhCrossing> crossings; ///< one for each of the description's watched pH values
    double step = kTitrantStep;        ///< the description's step [mol/L]
    /// The titrant added up to the last completed step [mol/L].
    double titrantAdded() const { return outcome.StepCount * step; }
};

/// Runs the titration that @p description describes. @p base gives what the description does not
/// describe (the CO2 conditions, the catalogue values), so that the state left is the
/// form's own after the run. @p control may be null.
RunResult runTitration(const RunDescription& description, RunControl* control,
                       WaterState base = {});

/// The water of @p description after @p titrant mol/L of its titrant, added at once.
struct PointSolution {
    bool solved = false; ///< false when the balance is not a number on the way
    double HConc = 0;    ///< [mol/L]
    double pH = 0;
    std::uint64_t passes = 0;
};

/// Solves the balance of @p description's water for @p titrant mol/L of titrant at once, by the
/// passes a run's step makes, from the initial pH: the same balance, the same reversals
/// and the same end, so HConc is known to a relative 1e-12.
PointSolution solvePoint(const RunDescription& description, double titrant);

} // namespace phbuffer::model
