// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/titration.h"
#include "model/water_state.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace phbuffer::model;

namespace {

WaterState WaterAt(double pH) {
    WaterState s;
    s.Kw = 1e-14;
    s.HConc = TenToMinus(pH);
    s.OHConc = s.Kw / s.HConc;
    return s;
}

TEST(Catalogue, FillsAllNineSlotsAndNothingElse) {
    WaterState s;
    s.Ka1.fill(0.25);
    s.SpeciesA.fill(0.5);
    s.Conc.fill(9);
    LoadDefaultBufferSystems(s);
    LoadDefaultBufferSystems(s); // twice gives the same as once
    EXPECT_EQ(s.SystemName[0], "Dissolved Inorganic Carbon (CO2-total)");
    EXPECT_EQ(s.SystemName[6], "Carboxyl groups/HSO4-");
    EXPECT_EQ(s.SystemName[7], "Yet undefined");
    EXPECT_EQ(s.SystemName[8], "Yet undefined");
    for (int i = 0; i < kBufferSystemCount; ++i) {
        EXPECT_EQ(s.Conc[i], 0);
        EXPECT_EQ(s.Ka1[i], 0.25) << "constants are not the catalogue's business";
        EXPECT_EQ(s.SpeciesA[i], 0.5);
    }
    EXPECT_EQ(s.pKa1[3], 2.12);
    EXPECT_EQ(s.pKa2[3], 7.21);
    EXPECT_EQ(s.pKa3[3], 12.67);
    EXPECT_EQ(s.pKa2[2], 14);
    EXPECT_EQ(s.pKa3[0], 0);
    EXPECT_EQ(s.pKa1[8], 0);
}

TEST(Speciation, PureWaterBalanceIsHydroxideLessHydrogen) {
    WaterState s = WaterAt(7);
    ComputeSpeciation(s);
    for (int i = 0; i < kBufferSystemCount; ++i)
        EXPECT_EQ(s.SpeciesA[i] + s.SpeciesHA[i] + s.SpeciesH2A[i], 0);
    EXPECT_EQ(EvaluateProtonBalance(s), s.OHConc - s.HConc);
    EXPECT_NEAR(EvaluateProtonBalance(s), 0, 1e-21);
}

TEST(Speciation, MonoproticAtItsPKaIsHalfDeprotonated) {
    WaterState s = WaterAt(4.76);
    s.Conc[1] = 1e-3;
    s.Ka1[1] = s.HConc;
    ComputeSpeciation(s);
    EXPECT_DOUBLE_EQ(s.SpeciesH2A[1], 0.5e-3);
    EXPECT_EQ(s.SpeciesHA[1], 0);
    EXPECT_EQ(s.SpeciesA[1], 0);
    EXPECT_DOUBLE_EQ(EvaluateProtonBalance(s), s.OHConc - s.HConc + 0.5e-3);
}

TEST(Speciation, CarbonateMidwayBetweenItsPKas) {
    WaterState s = WaterAt(8.35);
    s.Conc[0] = 1;
    s.Ka1[0] = TenToMinus(6.38);
    s.Ka2[0] = TenToMinus(10.32);
    ComputeSpeciation(s);
    EXPECT_NEAR(s.SpeciesH2A[0], 0.979, 0.0005);
    EXPECT_NEAR(s.SpeciesHA[0], 0.0105, 0.00005);
    const double dissolvedCO2 = 1 - s.SpeciesH2A[0] - s.SpeciesHA[0];
    EXPECT_NEAR(s.SpeciesHA[0] / dissolvedCO2, 1, 1e-9) << "as much carbonate as dissolved CO2";
    EXPECT_EQ(s.SpeciesA[0], 0);
}

TEST(Speciation, NoFirstConstantMeansNoContribution) {
    WaterState s = WaterAt(6);
    s.Conc[4] = 5e-3;
    s.Ka2[4] = 1e-3;
    s.Ka3[4] = 1e-2;
    ComputeSpeciation(s);
    EXPECT_EQ(s.SpeciesH2A[4], 0);
    EXPECT_EQ(s.SpeciesHA[4], 0);
    EXPECT_EQ(s.SpeciesA[4], 0);
    EXPECT_EQ(EvaluateProtonBalance(s), s.OHConc - s.HConc);
}

TEST(Speciation, TriproticFarBelowItsConstantsGivesThreeProtonsEach) {
    WaterState s = WaterAt(14);
    s.Conc[3] = 1e-3;
    s.Ka1[3] = 1e-2;
    s.Ka2[3] = 1e-4;
    s.Ka3[3] = 1e-6;
    ComputeSpeciation(s);
    EXPECT_NEAR(s.SpeciesA[3], 1e-3, 1e-9);
    EXPECT_NEAR(EvaluateProtonBalance(s) - (s.OHConc - s.HConc), 3e-3, 1e-8);
    // far above every constant nothing is deprotonated
    s = WaterAt(-1);
    s.Conc[3] = 1e-3;
    s.Ka1[3] = 1e-2;
    ComputeSpeciation(s);
    EXPECT_NEAR(EvaluateProtonBalance(s), s.OHConc - s.HConc, 1e-6);
}

TEST(Speciation, TheSlotDoesNotMatter) {
    WaterState a = WaterAt(5.5), b = WaterAt(5.5);
    a.Conc[1] = b.Conc[8] = 2e-3;
    a.Ka1[1] = b.Ka1[8] = TenToMinus(4.76);
    ComputeSpeciation(a);
    ComputeSpeciation(b);
    EXPECT_EQ(a.SpeciesH2A[1], b.SpeciesH2A[8]);
    EXPECT_EQ(EvaluateProtonBalance(a), EvaluateProtonBalance(b));
}

} // namespace
