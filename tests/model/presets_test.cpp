// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/presets.h"

#include <gtest/gtest.h>

using namespace phbuffer::model;

namespace {

TEST(Presets, MassConcentrationsAreTheNearestDoubleToTheExactQuotient) {
    // 12 / 60.052 is the rational 3000 / 15013; its nearest double, written out.
    EXPECT_EQ(presetComposition(Preset::Medium).Conc[1], 0.19982681675880903);
    EXPECT_EQ(presetComposition(Preset::Medium).Conc[1], 12000.0 / 60052.0);
    EXPECT_EQ(presetComposition(Preset::High).Conc[2], 1000.0 / 32065.0);
    EXPECT_EQ(presetComposition(Preset::MediumHigh).Conc[2], 500.0 / 32065.0);
    EXPECT_EQ(presetComposition(Preset::Low).Conc[6], 18000.0 / 32065.0);
}

TEST(Presets, EachMediumHasItsCompositionAndPH) {
    const PresetWater& medium = presetComposition(Preset::Medium);
    EXPECT_EQ(medium.pH, 7.8);
    EXPECT_EQ(medium.Conc[0], 3);
    EXPECT_EQ(medium.Conc[2], 0);
    EXPECT_EQ(medium.Conc[4], 2.565);
    EXPECT_EQ(presetComposition(Preset::High).pH, 7.2);
    EXPECT_EQ(presetComposition(Preset::MediumHigh).pH, 7.4);
    EXPECT_EQ(presetComposition(Preset::MediumLow).pH, 8);
    EXPECT_EQ(presetComposition(Preset::Low).pH, 8.2);
    EXPECT_EQ(presetComposition(Preset::Low).Conc[0], 4);
    EXPECT_EQ(presetComposition(Preset::MediumLow).Conc[5], 2.1);
    for (Preset p :
         {Preset::Medium, Preset::High, Preset::MediumHigh, Preset::MediumLow, Preset::Low}) {
        EXPECT_EQ(presetComposition(p).Conc[7], 0);
        EXPECT_EQ(presetComposition(p).Conc[8], 0);
    }
}

} // namespace
