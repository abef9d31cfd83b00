// SPDX-License-Identifier: GPL-3.0-or-later
#include "reference_titration.h"

#include <cmath>

namespace phbuffer::testing {

using namespace model;

RunOutcome ReferenceTitration(WaterState& s, Series& titration, Series& bufferStrength,
                              std::uint32_t maxSteps, std::uint64_t* exactHits, double Kw) {
    s.Kw = Kw;
    s.HConc = tenToMinus(s.pH);
    s.OHConc = s.Kw / s.HConc;
    s.pHLastPlotted = s.pH;
    ComputeSpeciation(s);
    s.ProtonBalanceTarget = EvaluateProtonBalance(s);
    titration.AddXY(0, s.pH);
    s.AcidStep = 1e-6;
    std::uint32_t StepCount = 0;
    std::uint32_t StepCountLastPlotted = 0;
    RunOutcome outcome;
    for (;;) {
        s.ProtonBalanceTarget = s.ProtonBalanceTarget - s.AcidStep;
        s.HStepFactor = 0;
        bool firstPass = true;
        for (;;) {
            ++outcome.solverPasses;
            s.HConc = (1 - s.HStepFactor) * s.HConc;
            s.OHConc = s.Kw / s.HConc;
            ComputeSpeciation(s);
            s.ProtonBalance = EvaluateProtonBalance(s);
            const double d = s.ProtonBalance - s.ProtonBalanceTarget;
            if (exactHits && d == 0)
                ++*exactHits;
            if (firstPass) {
                s.HStepFactor = d < 0 ? 0.1 : -0.1;
                firstPass = false;
            }
            if (s.HStepFactor > 0 && d > 0)
                s.HStepFactor = -s.HStepFactor * 0.5;
            if (s.HStepFactor < 0 && d < 0)
                s.HStepFactor = -s.HStepFactor * 0.5;
            if (std::fabs(s.AcidStep / 1000000) > std::fabs(s.HStepFactor))
                break;
        }
        s.pH = static_cast<double>(-std::log10(static_cast<long double>(s.HConc)));
        StepCount = StepCount + 1;
        if (std::fabs(s.pH - s.pHLastPlotted) > 0.01) {
            titration.AddXY(StepCount * s.AcidStep * 1000, s.pH);
            bufferStrength.AddXY(s.pH, (StepCount - StepCountLastPlotted) * s.AcidStep * 1000 /
                                           std::fabs(s.pHLastPlotted - s.pH));
            s.pHLastPlotted = s.pH;
            StepCountLastPlotted = StepCount;
        }
        if (s.pH < s.LowerpHTarget) {
            outcome.end = RunEnd::ReachedTarget;
            break;
        }
        if (StepCount >= maxSteps) {
            outcome.end = RunEnd::StepLimit;
            break;
        }
    }
    titration.AddXY(StepCount * s.AcidStep * 1000, s.pH);
    outcome.StepCount = StepCount;
    return outcome;
}

} // namespace phbuffer::testing
