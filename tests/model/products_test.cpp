// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/products.h"

#include <gtest/gtest.h>

#include <string>

using namespace phbuffer::model;

namespace {

// n = A V mol of H+ or OH-; the product's mass n M / (e w), its volume mass / density.
TEST(Products, DoseIsTheActiveCompoundOverItsShareInTheProduct) {
    struct Case {
        const char* key;
        double mmol, m3, kg;
    };
    const Case cases[] = {
        {"hcl-33", 3.30, 250, 825 * 36.46 / 0.33 / 1000}, // 91.15 kg
        {"h2so4-96", 1, 1000, 1000 * 98.079 / 2 / 0.96 / 1000},
        {"naoh-50", 0.31, 100, 31 * 39.997 / 0.5 / 1000},
        {"naoh:0.3:1.33", 1, 1, 39.997 / 0.3 / 1000},
    };
    for (const Case& c : cases) {
        const std::optional<Product> p = productNamed(c.key);
        ASSERT_TRUE(p) << c.key;
        const Dose d = doseOf(*p, c.mmol, c.m3);
        EXPECT_NEAR(d.kilograms, c.kg, 1e-9 * c.kg) << c.key;
        EXPECT_DOUBLE_EQ(d.litres, d.kilograms / p->density) << c.key;
    }
    EXPECT_NEAR(doseOf(*productNamed("hcl-33"), 3.30, 250).kilograms, 91.15, 0.0005 * 91.15);
    for (const char* bad :
         {"hcl-34", "", "hcl:0:1.1", "hcl:1.5:1.1", "hcl:0.3:-1", "sugar:0.3:1", "hcl:0.3"})
        EXPECT_FALSE(productNamed(bad)) << bad;
}

} // namespace
