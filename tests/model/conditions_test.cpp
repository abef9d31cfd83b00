// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/conditions.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace phbuffer::model;

namespace {

// Each catalogue step's pKa, and pKw, at the temperatures of the public databases'
// expressions, for an ideal water, to the table's six decimals.
TEST(Conditions, PKaValuesAtTemperatureAreThoseOfTheDatabasesExpressions) {
    const double temperatures[] = {5, 10, 15, 25, 37, 55};
    const double pKw[] = {14.734828, 14.536660, 14.348535, 14.000000, 13.625531, 13.140756};
    struct Step {
        int slot, step;
        double pKa[6];
    };
    const Step steps[] = {
        {0, 0, {6.544437, 6.491478, 6.446931, 6.380000, 6.332588, 6.314343}},
        {0, 1, {10.545559, 10.479024, 10.419572, 10.320000, 10.230602, 10.148286}},
        {1, 0, {4.754835, 4.756195, 4.757507, 4.760000, 4.762779, 4.766567}},
        {2, 0, {7.363583, 7.274715, 7.193070, 7.050000, 6.910804, 6.760362}},
        {2, 1, {14.637721, 14.469845, 14.307795, 14.000000, 13.656846, 13.189172}},
        {3, 0, {2.009003, 2.038222, 2.066427, 2.120000, 2.179727, 2.261127}},
        {3, 1, {7.262177, 7.248442, 7.235183, 7.210000, 7.181924, 7.143660}},
        {3, 2, {12.856046, 12.807070, 12.759795, 12.670000, 12.569890, 12.433453}},
        {4, 0, {9.869389, 9.695484, 9.527828, 9.210000, 8.856703, 8.377222}},
    };
    for (int t = 0; t < 6; ++t) {
        const Conditions c{temperatures[t], 0};
        EXPECT_NEAR(pKwAt(c.temperature), pKw[t], 5e-7) << c.temperature;
        for (const Step& s : steps)
            EXPECT_NEAR(pKaValues(catalogueSystem(s.slot), c)[s.step], s.pKa[t], 5e-7)
                << "slot " << s.slot << " step " << s.step << " at " << c.temperature;
    }
}

// At 25 °C and ionic strength 0 the constants are today's, bit for bit; an ion's activity
// lowers its effective constant by the charges Davies' equation weighs.
TEST(Conditions, TheIdealWaterKeepsItsConstantsAndActivityShiftsThem) {
    RunDescription description;
    for (int i = 0; i < kBufferSystemCount; ++i)
        description.systems[i] = catalogueSystem(i);
    const RunConstants ideal = runConstants(description);
    EXPECT_EQ(ideal.Kw, 1e-14);
    EXPECT_EQ(ideal.Ka1[0], dissociationConstant(6.38));
    EXPECT_EQ(ideal.log10GammaH, 0);
    description.conditions.ionicStrength = 0.01;
    const RunConstants salty = runConstants(description);
    const double g1 = log10Gamma(1, 0.01, 25);
    EXPECT_NEAR(g1, -0.0452, 5e-4) << "a meter reads 0.045 below -log10[H+]";
    EXPECT_EQ(salty.log10GammaH, g1);
    EXPECT_NEAR(-std::log10(salty.Kw), 14 + 2 * g1, 1e-12);
    // H2CO3* is neutral, HCO3- and H+ carry one charge each: pKa1' = pKa1 + 2 log gamma1.
    EXPECT_NEAR(-std::log10(salty.Ka1[0]), 6.38 + 2 * g1, 1e-12);
    // NH4+ -> NH3 + H+: the charges cancel but H+'s.
    EXPECT_NEAR(-std::log10(salty.Ka1[4]), 9.21, 1e-12);
    description.conditions.temperature = 101;
    EXPECT_THROW(runConstants(description), std::invalid_argument);
}

} // namespace
