// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/speciation.h"
#include "model/titration.h"

#include "reference_titration.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

using namespace phbuffer::model;
using phbuffer::testing::Bits;

namespace {

WaterState WaterAt(double pH) {
    WaterState s;
    s.Kw = 1e-14;
    s.HConc = tenToMinus(pH);
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
    s.Ka1[0] = tenToMinus(6.38);
    s.Ka2[0] = tenToMinus(10.32);
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
    a.Ka1[1] = b.Ka1[8] = tenToMinus(4.76);
    ComputeSpeciation(a);
    ComputeSpeciation(b);
    EXPECT_EQ(a.SpeciesH2A[1], b.SpeciesH2A[8]);
    EXPECT_EQ(EvaluateProtonBalance(a), EvaluateProtonBalance(b));
}

/// Waters of every kind the evaluator sorts slots by: empty and absent slots, one, two or
/// three constants in any order, zeros of either sign; now and then a slot at the
/// largest concentration and constant the shortcut takes, or just beyond them.
class RandomWaters {
public:
    WaterState next(int water) {
        WaterState s;
        for (int i = 0; i < kBufferSystemCount; ++i) {
            const double u = unit_(random_);
            s.Conc[i] = u < 0.3 ? 0 : u < 0.35 ? -0.0 : std::pow(10, -7 + 5 * unit_(random_));
            s.Ka1[i] = constant(0.15);
            s.Ka2[i] = constant(0.4);
            s.Ka3[i] = constant(0.6);
        }
        const int slot = water % kBufferSystemCount;
        if (water % 7 == 3) {
            s.Conc[slot] = BalanceEvaluator::kMaxConc;
            s.Ka1[slot] = s.Ka2[slot] = s.Ka3[slot] = BalanceEvaluator::kMaxK;
        }
        if (water % 11 == 5)
            s.Ka2[slot] = std::nextafter(BalanceEvaluator::kMaxK, kInfinity);
        return s;
    }
    double unit() { return unit_(random_); }

    static constexpr double kInfinity = std::numeric_limits<double>::infinity();

private:
    double constant(double absentShare) {
        return unit_(random_) < absentShare ? 0 : tenToMinus(-2 + 16 * unit_(random_));
    }
    std::mt19937_64 random_{20261208};
    std::uniform_real_distribution<double> unit_{0, 1};
};

/// The formulas as written at HConc = @p H, OHConc = @p OH.
double LiteralBalance(WaterState s, double H, double OH) {
    s.HConc = H;
    s.OHConc = OH;
    ComputeSpeciation(s);
    return EvaluateProtonBalance(s);
}

/// HConc values for one water: the bounds of the shortcut and their neighbours, then
/// random values over every pH a run passes through and over the shortcut's whole range.
std::vector<double> HValues(RandomWaters& waters) {
    const double inf = RandomWaters::kInfinity;
    std::vector<double> H = {BalanceEvaluator::kMinH,
                             std::nextafter(BalanceEvaluator::kMinH, 0),
                             std::nextafter(BalanceEvaluator::kMinH, inf),
                             BalanceEvaluator::kMaxH,
                             std::nextafter(BalanceEvaluator::kMaxH, 0),
                             std::nextafter(BalanceEvaluator::kMaxH, inf)};
    for (int k = 0; k < 150; ++k)
        H.push_back(tenToMinus(-1 + 15 * waters.unit()));
    for (int k = 0; k < 50; ++k)
        H.push_back(tenToMinus(-100 + 200 * waters.unit()));
    return H;
}

TEST(BalanceEvaluator, EqualsTheFormulasAsWrittenToTheLastBit) {
    RandomWaters waters;
    int shortcuts = 0, fallbacks = 0;
    for (int water = 0; water < 400; ++water) {
        const WaterState s = waters.next(water);
        BalanceEvaluator balanceAt(s);
        for (const double H : HValues(waters)) {
            const double OH = 1e-14 / H;
            const bool shortcut = balanceAt.takesShortcutAt(H);
            (shortcut ? shortcuts : fallbacks)++;
            ASSERT_EQ(Bits(balanceAt(H, OH)), Bits(LiteralBalance(s, H, OH)))
                << "water " << water << ", H " << H << (shortcut ? ", shortcut" : ", full");
        }
        if (water % 11 != 5) {
            EXPECT_TRUE(balanceAt.takesShortcutAt(BalanceEvaluator::kMinH));
            EXPECT_TRUE(balanceAt.takesShortcutAt(BalanceEvaluator::kMaxH));
            EXPECT_FALSE(balanceAt.takesShortcutAt(std::nextafter(BalanceEvaluator::kMaxH, 1e300)));
        } else {
            EXPECT_FALSE(balanceAt.takesShortcutAt(1e-7)) << "a constant beyond the bounds";
        }
    }
    EXPECT_GT(shortcuts, 50000);
    EXPECT_GT(fallbacks, 5000);
}

TEST(BalanceEvaluator, SignEstimateNeverContradictsTheExactBalance) {
    RandomWaters waters;
    int estimated = 0, refused = 0;
    for (int water = 0; water < 400; ++water) {
        const WaterState s = waters.next(water);
        const BalanceEvaluator balanceAt(s);
        for (const double H : HValues(waters)) {
            const double OH = 1e-14 / H;
            const double B = LiteralBalance(s, H, OH);
            // targets from far off to within a few roundings of the balance
            const double offset = std::fabs(B) * tenToMinus(18 * waters.unit());
            for (const double target : {B, B + offset, B - offset}) {
                double d = 0;
                if (!balanceAt.estimateDifference(H, OH, target, d)) {
                    ++refused;
                    continue;
                }
                ++estimated;
                const double exact = B - target;
                ASSERT_TRUE(d > 0 ? exact > 0 : exact < 0)
                    << "water " << water << ", H " << H << ", target " << target << ": estimate "
                    << d << ", exact " << exact;
            }
        }
    }
    EXPECT_GT(estimated, 50000);
    EXPECT_GT(refused, 5000);
}

/// Where certainSide answers, every HConc beyond, up to the estimate's bounds, gives an
/// exact d of that sign: the ground on which the solver skips the balance.
TEST(BalanceEvaluator, CertainSideHoldsForEveryHConcBeyond) {
    RandomWaters waters;
    int certain = 0, refused = 0;
    for (int water = 0; water < 300; ++water) {
        const WaterState s = waters.next(water);
        const BalanceEvaluator balanceAt(s);
        for (const double H : HValues(waters)) {
            const double B = LiteralBalance(s, H, 1e-14 / H);
            const double offset = std::fabs(B) * tenToMinus(18 * waters.unit());
            for (const double target : {B, B + offset, B - offset}) {
                const int side = balanceAt.certainSide(H, 1e-14, target);
                if (side == 0) {
                    ++refused;
                    continue;
                }
                ++certain;
                // from H itself to a few roundings, a few per cent and decades beyond
                for (const double step : {0.0, 4e-16, 1e-12, 1e-6, 0.03, 0.9, 0.999999}) {
                    const double x = side > 0 ? H * (1 - step) : H / (1 - step);
                    if (x < 1e-30 || x > 1e10)
                        continue;
                    const double exact = LiteralBalance(s, x, 1e-14 / x) - target;
                    ASSERT_TRUE(side > 0 ? exact > 0 : exact < 0)
                        << "water " << water << ", H " << H << ", x " << x << ", target " << target
                        << ", exact d " << exact;
                }
            }
        }
    }
    EXPECT_GT(certain, 30000);
    EXPECT_GT(refused, 5000);
}

} // namespace
