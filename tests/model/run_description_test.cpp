// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/run_description.h"
#include "model/titration.h"

#include "preset_water.h"
#include "reference_titration.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

using namespace phbuffer::model;
using phbuffer::testing::Bits;
using phbuffer::testing::ReferenceTitration;

namespace {

constexpr Preset kPresets[] = {Preset::Medium, Preset::High, Preset::MediumHigh, Preset::MediumLow,
                               Preset::Low};

// A run described as a value gives, point for point and bit for bit, the run of the state
// that the grids leave for the same water; and the one-point solve lands on the same
// HConc as the step of a run that added as much titrant.
TEST(RunDescription, RunsAsTheGridsStateAndSolvesOnePointAsTheRunsStep) {
    for (Preset preset : kPresets) {
        const RunDescription description = PresetRunDescription(preset, 4.3);
        const RunResult run = runTitration(description, nullptr);
        WaterState s = PresetWaterState(preset, 4.3);
        Series titration, buffer;
        const RunOutcome outcome = runTitration(s, titration, buffer, nullptr);
        ASSERT_EQ(run.outcome.StepCount, outcome.StepCount);
        EXPECT_EQ(Bits(run.state.HConc), Bits(s.HConc));
        ASSERT_EQ(run.titration.Count(), titration.Count());
        for (std::size_t i = 0; i < titration.Count(); ++i)
            ASSERT_EQ(Bits(run.titration.YValue(i)), Bits(titration.YValue(i)));

        const PointSolution start = solvePoint(description, 0);
        EXPECT_NEAR(start.HConc, dissociationConstant(description.initialPh), 1e-12 * start.HConc);
        const PointSolution end = solvePoint(description, run.titrantAdded());
        ASSERT_TRUE(end.solved);
        EXPECT_NEAR(end.HConc / s.HConc, 1, 4e-12);
    }
}

// Outside the ion products the solver's certificates cover, every pass computes the full
// balance, and the run is still the passes as written.
TEST(RunDescription, ConstantsOutsideTheCertificatesRunThePlainPasses) {
    WaterState a = PresetWaterState(Preset::Medium, 6.5);
    WaterState b = a;
    const RunSettings settings{{1e-9, a.Ka1, a.Ka2, a.Ka3}, kTitrantStep, Direction::Falling, 6.5};
    Series ta, ba, tb, bb;
    RunControl control;
    control.maxSteps = 3000;
    const RunOutcome run = runTitration(a, settings, ta, ba, &control);
    const RunOutcome reference = ReferenceTitration(b, tb, bb, 3000, nullptr, 1e-9);
    EXPECT_EQ(run.exactEvaluations, run.solverPasses);
    EXPECT_EQ(run.StepCount, reference.StepCount);
    EXPECT_EQ(run.solverPasses, reference.solverPasses);
    EXPECT_EQ(Bits(a.HConc), Bits(b.HConc));
    ASSERT_EQ(ta.Count(), tb.Count());
    for (std::size_t i = 0; i < ta.Count(); ++i)
        ASSERT_EQ(Bits(ta.YValue(i)), Bits(tb.YValue(i)));
}

// The forms are named by their charges: the catalogue's own formulas, else H and A with
// one charge less per step, from the charge of the fully protonated form.
TEST(RunDescription, NamesTheFormsByTheirCharges) {
    const auto names = [](const BufferSystem& s) { return speciesNames(s); };
    using Names = std::vector<std::string>;
    EXPECT_EQ(names(catalogueSystem(0)), (Names{"H2CO3*", "HCO3-", "CO3--"}));
    EXPECT_EQ(names(catalogueSystem(4)), (Names{"NH4+", "NH3"}));
    BufferSystem free = catalogueSystem(8);
    EXPECT_TRUE(names(free).size() == 1u) << "no step, one form";
    free.pKa = {3.0, 5.0, 7.0};
    EXPECT_EQ(names(free), (Names{"H3A", "H2A-", "HA--", "A---"}));
    free.acidCharge = 1;
    free.pKa = {9.0, std::nullopt, std::nullopt};
    EXPECT_EQ(names(free), (Names{"HA+", "A"}));
}

} // namespace

namespace {

// Base then as much acid, both solved at once, brings any water back to where it began.
TEST(BaseRun, BaseThenAsMuchAcidReturnsTheInitialPh) {
    std::mt19937_64 random(17);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int water = 0; water < 200; ++water) {
        RunDescription description = PresetRunDescription(Preset::Medium, 0);
        for (BufferSystem& system : description.systems)
            system.concentration *= 2 * unit(random);
        const double initial = description.initialPh = 4 + 6 * unit(random);
        const double dose = 5e-3 * unit(random);
        description.titrant = Titrant::StrongBase;
        const PointSolution up = solvePoint(description, dose);
        ASSERT_TRUE(up.solved);
        description.initialPh = up.pH;
        description.titrant = Titrant::StrongAcid;
        const PointSolution back = solvePoint(description, dose);
        ASSERT_TRUE(back.solved);
        EXPECT_NEAR(back.pH, initial, 1e-9) << "dose " << dose << " to pH " << up.pH;
    }
}

} // namespace
