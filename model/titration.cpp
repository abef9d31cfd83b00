// SPDX-License-Identifier: GPL-3.0-or-later
//
// The step loop of a run: each step adds the titrant to the balance's target, solves for
// HConc and decides from the step's pH whether to record a point, pass a watched value or
// end the run.
#include "titration.h"

#include "crossing_watch.h"
#include "hconc_solver.h"
#include "root_bracket.h"
#include "run_monitor.h"
#include "speciation.h"
#include "step_ph.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace phbuffer::model {

namespace {

/// Whether the certificates of the solver's signs hold for a run with @p constants: the
/// bracket's and the estimate's bounds take Kw within 1e-20 to 1e-10 and constants that
/// stay as they are for the whole run, which a run's constants do by construction.
bool certificatesHold(const RunConstants& constants) {
    return BalanceEvaluator::certifiesKw(constants.Kw);
}

} // namespace

RunOutcome runTitration(WaterState& s, const RunSettings& settings, Series& titration,
                        Series& bufferStrength, RunControl* control,
                        std::vector<PhCrossing>* crossings) {
    const RunConstants& constants = settings.constants;
    const double step = settings.step;
    const Direction direction = settings.direction;
    const double target = settings.targetPh;
    const double pHInterval = settings.pHInterval;
    // A falling run compares pH values as they are, a rising one their negatives: the
    // same comparisons, bit for bit, in either direction.
    const double sign = direction == Direction::Falling ? 1.0 : -1.0;
    // Each step adds -step to the target of a falling run, which is exactly subtracting it.
    const double targetStep = direction == Direction::Falling ? -step : step;
    CrossingWatch watch(crossings, s.pH, direction);
    s.Kw = constants.Kw;
    s.Ka1 = constants.Ka1;
    s.Ka2 = constants.Ka2;
    s.Ka3 = constants.Ka3;
    s.HConc = tenToMinus(s.pH);
    s.OHConc = s.Kw / s.HConc;
    s.pHLastPlotted = s.pH;
    ComputeSpeciation(s);
    s.ProtonBalanceTarget = EvaluateProtonBalance(s);
    titration.AddXY(0, s.pH);
    s.AcidStep = step;

    RunOutcome outcome;
    std::uint32_t& StepCount = outcome.StepCount;
    std::uint32_t StepCountLastPlotted = 0;
    const std::uint32_t maxSteps =
        control ? control->maxSteps : std::numeric_limits<std::uint32_t>::max();
    StepPh stepPh(s.pH);
    RunMonitor monitor(control, s.pH, target, sign, StepCount, s.AcidStep, stepPh);
    monitor.publish();
    // The quiet range ends at the target and the next watched value, on the run's side.
    const double infinity = std::numeric_limits<double>::infinity();
    const auto setQuiet = [&](QuietRange& range) {
        const double end =
            sign > 0 ? std::max(target, watch.next()) : std::min(target, watch.next());
        range.set(s.pHLastPlotted, pHInterval, sign > 0 ? end : -infinity,
                  sign > 0 ? infinity : end);
    };
    QuietRange quiet;
    setQuiet(quiet);
    const bool certified = certificatesHold(constants);
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
            s.ProtonBalanceTarget = s.ProtonBalanceTarget + targetStep;
            SolveEnd solved = SolveEnd::Solved;
            if (certified) {
                bracket.find(s.HConc, previousTarget - s.ProtonBalanceTarget,
                             s.ProtonBalanceTarget);
                solved = solveForHConc(s, balanceAt, bracket, monitor, outcome);
                settled = false;
            } else {
                const std::uint64_t before = outcome.solverPasses;
                solved = solvePlainly(s, std::fabs(s.AcidStep / kSolverStepsPerFactor), &monitor,
                                      outcome.solverPasses);
                outcome.exactEvaluations += outcome.solverPasses - before;
                settled = true;
            }
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
                if (std::fabs(s.pH - s.pHLastPlotted) > pHInterval) {
                    titration.AddXY(addedAcid(StepCount, s.AcidStep), s.pH);
                    bufferStrength.AddXY(s.pH,
                                         addedAcid(StepCount - StepCountLastPlotted, s.AcidStep) /
                                             std::fabs(s.pHLastPlotted - s.pH));
                    s.pHLastPlotted = s.pH;
                    StepCountLastPlotted = StepCount;
                }
                if (sign * s.pH < sign * target) {
                    outcome.end = RunEnd::ReachedTarget;
                    break;
                }
                if (s.pHLastPlotted != lastPlotted || watch.next() != watched)
                    setQuiet(quiet);
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

RunOutcome runTitration(WaterState& s, Series& titration, Series& bufferStrength,
                        RunControl* control, std::vector<PhCrossing>* crossings) {
    const RunConstants constants{kIonProductOfWater, s.Ka1, s.Ka2, s.Ka3};
    const RunSettings settings{constants, kTitrantStep, Direction::Falling, s.LowerpHTarget,
                               Recording{}.pHInterval};
    return runTitration(s, settings, titration, bufferStrength, control, crossings);
}

namespace {

/// @p description with its pH values on the scale the balance works in, -log10[H+]: the pH a
/// meter reads plus log10 gamma(H+) @p g.
RunDescription onConcentrationScale(RunDescription description, double g) {
    description.initialPh += g;
    description.targetPh += g;
    for (double& x : description.recording.watchedPh)
        x += g;
    return description;
}

/// The pH values of @p r back on the meter's scale, and the watched values as given.
void toMeterScale(RunResult& r, const RunDescription& description, double g) {
    for (SeriesPoint& p : r.titration.points)
        p.y -= g;
    for (SeriesPoint& p : r.bufferStrength.points)
        p.x -= g;
    r.state.pH -= g;
    r.state.pHLastPlotted -= g;
    if (description.direction() == Direction::Falling)
        r.state.LowerpHTarget = description.targetPh;
    for (std::size_t i = 0; i < r.crossings.size(); ++i) {
        r.crossings[i].atPh = description.recording.watchedPh[i];
        r.crossings[i].pH -= g;
    }
}

} // namespace

RunResult runTitration(const RunDescription& description, RunControl* control, WaterState base) {
    const RunConstants constants = runConstants(description);
    const double g = constants.log10GammaH;
    // An ideal water's pH values are those of the balance already.
    const RunDescription run = g == 0 ? description : onConcentrationScale(description, g);
    RunResult r;
    r.state = std::move(base);
    loadRunDescription(run, constants, r.state);
    r.step = run.step;
    r.crossings.reserve(run.recording.watchedPh.size());
    for (double x : run.recording.watchedPh)
        r.crossings.push_back(PhCrossing{x});
    const RunSettings settings{constants, run.step, run.direction(), run.targetPh,
                               run.recording.pHInterval};
    r.outcome =
        runTitration(r.state, settings, r.titration, r.bufferStrength, control, &r.crossings);
    if (g != 0)
        toMeterScale(r, description, g);
    return r;
}

PointSolution solvePoint(const RunDescription& description, double titrant) {
    const RunConstants constants = runConstants(description);
    WaterState s;
    loadRunDescription(description, constants, s);
    s.Kw = constants.Kw;
    // The balance works in concentrations: [H+] = 10^-pH / gamma(H+).
    s.HConc = tenToMinus(s.pH + constants.log10GammaH);
    s.OHConc = s.Kw / s.HConc;
    ComputeSpeciation(s);
    // Acid lowers the balance's target, base raises it.
    s.ProtonBalanceTarget = description.direction() == Direction::Falling
                                ? EvaluateProtonBalance(s) - titrant
                                : EvaluateProtonBalance(s) + titrant;
    PointSolution p;
    if (std::isnan(s.ProtonBalanceTarget))
        return p;
    const SolveEnd end =
        solvePlainly(s, std::fabs(description.step / kSolverStepsPerFactor), nullptr, p.passes);
    p.solved = end == SolveEnd::Solved;
    p.HConc = s.HConc;
    p.pH = StepPh::phOf(s.HConc) - constants.log10GammaH;
    return p;
}

} // namespace phbuffer::model
