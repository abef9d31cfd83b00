// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/speciation.h"
#include "model/titration.h"

#include "preset_water.h"
#include "reference_titration.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <random>
#include <thread>

using namespace phbuffer::model;
using phbuffer::testing::Bits;
using phbuffer::testing::ReferenceTitration;

namespace {

/// A water as the grids leave it: concentrations in mol/L, constants from pKa values
/// (0 for an absent one).
struct Water {
    WaterState s;
    Water(double pH, double target) {
        s.pH = pH;
        s.LowerpHTarget = target;
    }
    Water& add(int slot, double mmolPerL, double pKa1, double pKa2 = NAN, double pKa3 = NAN) {
        s.Conc[slot - 1] = mmolPerL / 1000;
        s.Ka1[slot - 1] = std::isnan(pKa1) ? 0 : dissociationConstant(pKa1);
        s.Ka2[slot - 1] = std::isnan(pKa2) ? 0 : dissociationConstant(pKa2);
        s.Ka3[slot - 1] = std::isnan(pKa3) ? 0 : dissociationConstant(pKa3);
        return *this;
    }
};

struct Curves {
    Series titration;
    Series buffer;
    RunOutcome outcome;
};

Curves Titrate(WaterState& s, RunControl* control = nullptr) {
    Curves r;
    r.outcome = runTitration(s, r.titration, r.buffer, control);
    return r;
}

TEST(Titration, PureWaterFromSevenToFourAndAHalf) {
    Water w(7, 4.5);
    const Curves r = Titrate(w.s);
    EXPECT_EQ(r.outcome.end, RunEnd::ReachedTarget);
    EXPECT_EQ(r.outcome.StepCount, 32u);
    EXPECT_NEAR(w.s.pH, 4.4948, 0.00005);
    ASSERT_EQ(r.titration.Count(), 34u);
    EXPECT_EQ(r.titration.XValue(0), 0);
    EXPECT_EQ(r.titration.YValue(0), 7);
    EXPECT_NEAR(r.titration.XValue(1), 0.001, 1e-15);
    EXPECT_NEAR(r.titration.YValue(1), 5.9957, 0.00005);
    EXPECT_NEAR(r.titration.XValue(32), 0.032, 1e-15);
    // The last step was recorded, so the final point repeats it.
    EXPECT_EQ(r.titration.XValue(33), r.titration.XValue(32));
    EXPECT_EQ(r.titration.YValue(33), r.titration.YValue(32));
    ASSERT_EQ(r.buffer.Count(), 32u);
    for (std::size_t i = 1; i < r.buffer.Count(); ++i)
        EXPECT_LT(r.buffer.XValue(i - 1), r.buffer.XValue(i)) << "ascending pH";
    EXPECT_EQ(r.buffer.XValue(31), r.titration.YValue(1)) << "first recorded point, at the top";
    // Every step ends on the 37th reversal: at least 38 passes.
    EXPECT_GE(r.outcome.solverPasses, 38u * 32u);
    EXPECT_LT(std::fabs(w.s.HStepFactor), 1e-12);
}

TEST(Titration, TheSlotOfABufferDoesNotMatter) {
    Water row2(7, 4.5), row9(7, 4.5);
    row2.add(2, 1, 4.76);
    row9.add(9, 1, 4.76);
    const Curves a = Titrate(row2.s), b = Titrate(row9.s);
    EXPECT_EQ(a.outcome.StepCount, 672u);
    EXPECT_EQ(b.outcome.StepCount, 672u);
    EXPECT_NEAR(a.titration.XValue(1), 0.001, 1e-15);
    EXPECT_NEAR(a.titration.YValue(1), 6.93, 0.005);
    EXPECT_NEAR(addedAcid(a.outcome.StepCount, row2.s.AcidStep), 0.672, 1e-12);
}

TEST(Titration, StartingAtOrBelowTheTargetMakesOneStep) {
    for (double target : {7.0, 7.5}) {
        Water w(7, target);
        const Curves r = Titrate(w.s);
        EXPECT_EQ(r.outcome.StepCount, 1u);
        ASSERT_EQ(r.titration.Count(), 3u) << "start, recorded step, final point";
        EXPECT_NEAR(r.titration.XValue(2), 0.001, 1e-15);
        EXPECT_EQ(addedAcid(r.outcome.StepCount, w.s.AcidStep), 1e-3);
    }
    // A buffered water barely moves in one step: no recorded point.
    Water buffered(7, 7);
    buffered.add(1, 50, 6.38, 10.32);
    const Curves r = Titrate(buffered.s);
    EXPECT_EQ(r.outcome.StepCount, 1u);
    EXPECT_EQ(r.titration.Count(), 2u);
    EXPECT_EQ(r.buffer.Count(), 0u);
}

TEST(Titration, APHEqualToTheTargetDoesNotEndTheRun) {
    Water probe(7, -2);
    probe.add(2, 0.1, 4.76);
    RunControl control;
    control.maxSteps = 5;
    Titrate(probe.s, &control);
    const double pHAfterFive = probe.s.pH;

    Water w(7, pHAfterFive);
    w.add(2, 0.1, 4.76);
    const Curves r = Titrate(w.s);
    EXPECT_EQ(r.outcome.StepCount, 6u);
    EXPECT_LT(w.s.pH, pHAfterFive);
}

TEST(Titration, RunsTwiceTheSame) {
    Water a(7.8, 4.5), b(7.8, 4.5);
    a.add(1, 3, 6.38, 10.32).add(4, 0.155, 2.12, 7.21, 12.67);
    b.add(1, 3, 6.38, 10.32).add(4, 0.155, 2.12, 7.21, 12.67);
    const Curves r1 = Titrate(a.s), r2 = Titrate(b.s);
    ASSERT_EQ(r1.titration.Count(), r2.titration.Count());
    for (std::size_t i = 0; i < r1.titration.Count(); ++i)
        EXPECT_EQ(Bits(r1.titration.YValue(i)), Bits(r2.titration.YValue(i)));
}

TEST(Titration, BufferCapacityIsAcidPerPHBetweenRecordedPoints) {
    Water w(7.8, 4.5);
    w.add(1, 3, 6.38, 10.32);
    const Curves r = Titrate(w.s);
    // Buffer point k (from the top) belongs to titration point k + 1 (after the start).
    const std::size_t n = r.buffer.Count();
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t b = n - 1 - k;
        const double dx = r.titration.XValue(k + 1) - r.titration.XValue(k);
        const double dpH = r.titration.YValue(k) - r.titration.YValue(k + 1);
        EXPECT_EQ(r.buffer.XValue(b), r.titration.YValue(k + 1));
        EXPECT_NEAR(r.buffer.YValue(b), dx / dpH, 1e-9 * r.buffer.YValue(b));
        EXPECT_GT(dpH, 0.01);
    }
}

/// Runs @p water both ways for at most @p maxSteps steps and expects the same bits
/// everywhere: outcome, pass count, points, the state left behind and the species.
void ExpectSameAsWritten(const WaterState& water, std::uint32_t maxSteps,
                         std::uint64_t* exactHits = nullptr) {
    WaterState s = water, ref = water;
    RunControl control;
    control.maxSteps = maxSteps;
    const Curves fast = Titrate(s, &control);
    Series refTitration, refBuffer;
    const RunOutcome expected =
        ReferenceTitration(ref, refTitration, refBuffer, maxSteps, exactHits);

    ASSERT_EQ(fast.outcome.StepCount, expected.StepCount);
    EXPECT_EQ(fast.outcome.end, expected.end);
    EXPECT_EQ(fast.outcome.solverPasses, expected.solverPasses);
    ASSERT_EQ(fast.titration.Count(), refTitration.Count());
    for (std::size_t i = 0; i < refTitration.Count(); ++i) {
        EXPECT_EQ(Bits(fast.titration.XValue(i)), Bits(refTitration.XValue(i)));
        EXPECT_EQ(Bits(fast.titration.YValue(i)), Bits(refTitration.YValue(i)));
    }
    ASSERT_EQ(fast.buffer.Count(), refBuffer.Count());
    for (std::size_t i = 0; i < refBuffer.Count(); ++i) {
        EXPECT_EQ(Bits(fast.buffer.XValue(i)), Bits(refBuffer.XValue(i)));
        EXPECT_EQ(Bits(fast.buffer.YValue(i)), Bits(refBuffer.YValue(i)));
    }
    for (double WaterState::*field :
         {&WaterState::HConc, &WaterState::OHConc, &WaterState::ProtonBalance,
          &WaterState::ProtonBalanceTarget, &WaterState::HStepFactor, &WaterState::pH,
          &WaterState::pHLastPlotted})
        EXPECT_EQ(Bits(s.*field), Bits(ref.*field));
    for (int i = 0; i < kBufferSystemCount; ++i) {
        EXPECT_EQ(Bits(s.SpeciesA[i]), Bits(ref.SpeciesA[i]));
        EXPECT_EQ(Bits(s.SpeciesHA[i]), Bits(ref.SpeciesHA[i]));
        EXPECT_EQ(Bits(s.SpeciesH2A[i]), Bits(ref.SpeciesH2A[i]));
    }
}

/// The run agrees bit for bit with the steps as written, on waters of every kind: empty
/// and absent slots, constants in any order, zeros of either sign, tiny and huge
/// constants, concentrations and HConc at and just beyond the bounds of the
/// evaluator's shortcut and estimate, where the run falls back to the formulas as written.
/// (A concentration near the shortcut's bound of 1e300 drowns every change of the balance
/// in rounding: the passes as written then never end, so it has no place here.)
TEST(Titration, AgreesBitForBitWithTheStepsAsWritten) {
    std::mt19937_64 random(20261208);
    std::uniform_real_distribution<double> unit(0, 1);
    const double above = std::numeric_limits<double>::infinity();
    for (int water = 0; water < 1200; ++water) {
        WaterState s;
        const int kind = water % 6;
        for (int i = 0; i < kBufferSystemCount; ++i) {
            const double u = unit(random);
            s.Conc[i] = u < 0.35 ? 0 : u < 0.4 ? -0.0 : unit(random) * 3e-3;
            // pKa values from -2 to 14, and now and then far beyond: 1e-250 to 1e100
            const auto constant = [&](double absentShare) {
                if (unit(random) < absentShare)
                    return 0.0;
                return kind == 1 ? tenToMinus(-100 + 350 * unit(random))
                                 : tenToMinus(-2 + 16 * unit(random));
            };
            s.Ka1[i] = constant(0.15);
            s.Ka2[i] = constant(0.4);
            s.Ka3[i] = constant(0.6);
        }
        const int slot = water % kBufferSystemCount;
        switch (kind) {
        case 2: // the concentration bound of the estimate, on it or just beyond
            s.Conc[slot] = water % 12 == 2 ? 1e3 : std::nextafter(1e3, above);
            break;
        case 3: // the constant bound of the shortcut, on it or just beyond
            s.Conc[slot] = 1e-3;
            s.Ka1[slot] = water % 12 == 3 ? BalanceEvaluator::kMaxK
                                          : std::nextafter(BalanceEvaluator::kMaxK, above);
            break;
        case 4: // a huge concentration of a tiny acid
            s.Conc[slot] = 1e2 + 9e2 * unit(random);
            s.Ka1[slot] = tenToMinus(150 * unit(random));
            break;
        default:
            break;
        }
        s.pH = 3 + 9 * unit(random);
        if (kind == 5) // HConc near the bounds of the estimate, 1e-30 and 1e10
            s.pH = water % 12 == 5 ? 29.5 + unit(random) : -10.5 + unit(random);
        s.LowerpHTarget = s.pH - 0.2 - 2.5 * unit(random);
        SCOPED_TRACE("water " + std::to_string(water));
        ExpectSameAsWritten(s, 300);
        if (::testing::Test::HasFailure())
            return;
    }
}

/// Where the balance of a pass equals the target exactly, d is 0: a first pass then
/// sets f to -0.1 and no pass reverses. A fully deprotonated buffer lifts every balance
/// by the same 3 C, so that the target's last place grows beyond what a pass changes.
TEST(Titration, AgreesBitForBitWhereTheBalanceMeetsTheTargetExactly) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> unit(0, 1);
    std::uint64_t exactHits = 0;
    for (int water = 0; water < 60; ++water) {
        WaterState s;
        s.Conc[water % kBufferSystemCount] = tenToMinus(6 * unit(random));
        s.Ka1[water % kBufferSystemCount] = 1e20;
        s.Ka2[water % kBufferSystemCount] = 1e15;
        s.Ka3[water % kBufferSystemCount] = 1e10;
        if (water % 3 == 0) { // and a real buffer beside it
            s.Conc[(water + 4) % kBufferSystemCount] = 1e-4;
            s.Ka1[(water + 4) % kBufferSystemCount] = tenToMinus(4 + 6 * unit(random));
        }
        s.pH = 4 + 6 * unit(random);
        s.LowerpHTarget = -20;
        SCOPED_TRACE("water " + std::to_string(water));
        ExpectSameAsWritten(s, 60, &exactHits);
        if (::testing::Test::HasFailure())
            return;
    }
    EXPECT_GT(exactHits, 100u) << exactHits;
}

TEST(Titration, StopsAtTheStepLimitWithAFinalPoint) {
    Water w(7, 1);
    RunControl control;
    control.maxSteps = 100;
    const Curves r = Titrate(w.s, &control);
    EXPECT_EQ(r.outcome.end, RunEnd::StepLimit);
    EXPECT_EQ(r.outcome.StepCount, 100u);
    EXPECT_EQ(r.titration.XValue(r.titration.Count() - 1), addedAcid(100, 1e-6));
    EXPECT_EQ(r.titration.YValue(r.titration.Count() - 1), w.s.pH);
    EXPECT_GT(w.s.pH, 1);
}

TEST(Titration, ALongRunCanBeCancelledFromAnotherThread) {
    Water w(7, -2); // about a hundred million steps
    w.add(1, 3, 6.38, 10.32);
    RunControl control;
    Curves r;
    std::atomic<bool> ended{false};
    std::thread runner([&] {
        r.outcome = runTitration(w.s, r.titration, r.buffer, &control);
        ended = true;
    });
    // Cancel once the run has published progress, i.e. is well under way; how soon a
    // cancel takes effect is measured by the benchmarks, not asserted here.
    while (control.progress().share == 0.0 && !ended)
        std::this_thread::yield();
    control.cancelRequested = true;
    runner.join();

    EXPECT_EQ(r.outcome.end, RunEnd::Cancelled);
    EXPECT_GT(r.outcome.StepCount, 0u);
    // The last progress published is where the run stopped.
    const RunProgress progress = control.progress();
    EXPECT_GT(progress.share, 0.0);
    EXPECT_LT(progress.share, 1.0);
    EXPECT_EQ(progress.pH, w.s.pH);
    EXPECT_EQ(progress.acidAdded, addedAcid(r.outcome.StepCount, 1e-6));
    // The final point stands at the last completed step, whose solution the state keeps.
    const std::size_t last = r.titration.Count() - 1;
    EXPECT_EQ(r.titration.XValue(last), addedAcid(r.outcome.StepCount, 1e-6));
    EXPECT_EQ(r.titration.YValue(last), w.s.pH);
    EXPECT_EQ(static_cast<double>(-std::log10(static_cast<long double>(w.s.HConc))), w.s.pH);
    EXPECT_EQ(w.s.OHConc, w.s.Kw / w.s.HConc);
}

TEST(Titration, ReportsFullProgressWhenItReachesTheTarget) {
    Water w(7.8, 4.5);
    w.add(1, 3, 6.38, 10.32);
    RunControl control;
    const Curves r = Titrate(w.s, &control);
    const RunProgress progress = control.progress();
    EXPECT_EQ(progress.share, 1.0);
    EXPECT_EQ(progress.pH, w.s.pH);
    EXPECT_EQ(progress.acidAdded, addedAcid(r.outcome.StepCount, 1e-6));
}

TEST(Titration, ABalanceThatIsNotANumberEndsTheRun) {
    Water w(7, 4.5);
    w.s.Conc[2] = 1e-3;
    w.s.Ka1[2] = 1e200; // Ka2 x Ka1 overflows: the denominator is infinite
    w.s.Ka2[2] = 1e200;
    const Curves r = Titrate(w.s);
    EXPECT_EQ(r.outcome.end, RunEnd::NotANumber);
    EXPECT_EQ(r.titration.Count(), 2u) << "start and final point";
}

} // namespace

namespace {

// One run serves every pH value it passes: the acid to reach each is what a run with that
// value as its lower target uses.
TEST(Titration, ARunTellsTheAcidToReachEachPHItPasses) {
    for (Preset preset :
         {Preset::Medium, Preset::High, Preset::MediumHigh, Preset::MediumLow, Preset::Low}) {
        const WaterState water = PresetWaterState(preset, 4.3);
        std::vector<PhCrossing> crossings{{4.3}, {8.2}, {6.0}, {99}};
        WaterState s = water;
        Series titration, buffer;
        const RunOutcome all = runTitration(s, titration, buffer, nullptr, &crossings);
        for (const PhCrossing& c : crossings) {
            SCOPED_TRACE(testing::Message() << "preset " << int(preset) << ", pH " << c.atPh);
            ASSERT_TRUE(c.reached);
            if (c.atPh >= water.pH) {
                EXPECT_EQ(c.StepCount, 0u);
                EXPECT_EQ(c.pH, water.pH);
                continue;
            }
            WaterState own = water;
            own.LowerpHTarget = c.atPh;
            Series t, b;
            EXPECT_EQ(c.StepCount, runTitration(own, t, b, nullptr).StepCount);
            EXPECT_EQ(c.pH, own.pH);
        }
        EXPECT_EQ(crossings[0].StepCount, all.StepCount);
    }
}

} // namespace
