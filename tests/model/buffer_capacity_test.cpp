// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/buffer_capacity.h"
#include "model/speciation.h"
#include "model/titration.h"
#include "preset_water.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace phbuffer::model;

namespace {

TEST(BufferCapacity, FractionsAreTheSpeciationsSharesAndSumToOne) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> pKa(-1, 15), pH(-2, 16);
    for (int trial = 0; trial < 2000; ++trial) {
        WaterState s;
        s.HConc = tenToMinus(pH(random));
        s.Conc[0] = 1e-3;
        s.Ka1[0] = tenToMinus(pKa(random));
        s.Ka2[0] = trial % 3 ? tenToMinus(pKa(random)) : 0; // unordered, or absent
        s.Ka3[0] = trial % 2 ? tenToMinus(pKa(random)) : 0;
        const auto a = protonationFractions(s.HConc, s.Ka1[0], s.Ka2[0], s.Ka3[0]);
        EXPECT_NEAR(a[0] + a[1] + a[2] + a[3], 1, 1e-12);
        ComputeSpeciation(s);
        EXPECT_NEAR(a[1], s.SpeciesH2A[0] / s.Conc[0], 1e-12);
        EXPECT_NEAR(a[2], s.SpeciesHA[0] / s.Conc[0], 1e-12);
        EXPECT_NEAR(a[3], s.SpeciesA[0] / s.Conc[0], 1e-12);
    }
}

TEST(BufferCapacity, MatchesTheTextbookValues) {
    WaterState s;
    s.Conc[1] = 2e-3; // acetic acid at its pKa: half of each form, variance 1/4
    s.Ka1[1] = tenToMinus(4.76);
    s.Conc[0] = 1e-3; // carbonate midway between its two constants
    s.Ka1[0] = tenToMinus(6.38);
    s.Ka2[0] = tenToMinus(10.32);
    const CapacityBreakdown atPKa = bufferCapacityAt(s, 4.76);
    EXPECT_NEAR(atPKa.systems[1].capacity, std::log(10.0) * 2 * 0.25, 1e-12);
    EXPECT_NEAR(atPKa.systems[1].fractions[0], 0.5, 1e-15);
    EXPECT_FALSE(atPKa.systems[2].inUse);
    EXPECT_EQ(atPKa.systems[2].capacity, 0);

    const CapacityBreakdown mid = bufferCapacityAt(s, 8.35);
    EXPECT_NEAR(mid.systems[0].fractions[1], 0.979, 5e-4);
    EXPECT_NEAR(mid.systems[0].fractions[2], mid.systems[0].fractions[0], 1e-15);
    EXPECT_EQ(mid.systems[0].fractions[3], 0);
    // Pure water at pH 7: ln(10) x 2e-7 mol/L.
    EXPECT_NEAR(bufferCapacityAt(WaterState{}, 7).water, std::log(10.0) * 2e-4, 1e-15);
    double sum = mid.water;
    for (const SystemCapacity& sys : mid.systems)
        sum += sys.capacity;
    EXPECT_DOUBLE_EQ(mid.total, sum);
}

// The titration measures the buffer capacity between recorded points as the acid added
// over the pH change; the analytic total averaged over the same interval must agree.
TEST(BufferCapacity, AveragedOverEachIntervalItIsTheTitrationsCurve) {
    for (Preset preset :
         {Preset::Medium, Preset::High, Preset::MediumHigh, Preset::MediumLow, Preset::Low}) {
        WaterState s = PresetWaterState(preset, 3.5);
        const WaterState water = s;
        Series titration, buffer;
        runTitration(s, titration, buffer, nullptr);
        ASSERT_GT(buffer.Count(), 100u);
        // The buffer points stand in ascending pH, each at the lower end of its interval;
        // the highest one measures from the initial pH.
        double worst = 0;
        for (std::size_t i = 0; i < buffer.Count(); ++i) {
            const double low = buffer.XValue(i);
            const double high = i + 1 < buffer.Count() ? buffer.XValue(i + 1) : water.pH;
            const double analytic = meanBufferCapacity(water, low, high);
            worst = std::max(worst, std::abs(buffer.YValue(i) / analytic - 1));
        }
        EXPECT_LT(worst, 1e-6) << "preset " << static_cast<int>(preset);
    }
}

} // namespace
