// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/titration.h"

#include "started_form.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

using namespace phbuffer;
using phbuffer::test::StartedForm;

namespace {

// For the waters as the grids show them after each preset button, a base run stops at
// the first step past the amount an independent geochemical code needs to reach each pH,
// and the one-point solve gives that code's pH for a dose of base.
TEST_F(StartedForm, BaseRunsAgreeWithAnIndependentGeochemicalCode) {
    std::ifstream table(PHBUFFER_TEST_DATA_DIR "/base-titration-25C.tsv");
    ASSERT_TRUE(table);
    const std::map<std::string, const ui::Component*> buttons = {
        {"medium", &form.ZPmediumBitBtn},
        {"high", &form.ZPhighBitBtn},
        {"medium-high", &form.ZPmediumhighBitBtn},
        {"medium-low", &form.ZPmediumlowBitBtn},
        {"low", &form.ZPlowBitBtn}};
    std::string line;
    std::getline(table, line); // the header
    int compared = 0;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string name, initial, value;
        fields >> name >> initial;
        form.ZPmediumBitBtnClick(buttons.at(name));
        form.ReadGrids(&form);
        model::RunSpec spec = form.runSpec;
        spec.titrant = model::Titrant::StrongBase;
        for (double target : {8.2, 9.0, 10.0, 11.0}) {
            fields >> value;
            if (value == "-")
                continue; // the water starts at that pH
            spec.targetPh = target;
            const model::RunResult run = model::runTitration(spec, nullptr);
            ASSERT_EQ(run.outcome.end, model::RunEnd::ReachedTarget);
            EXPECT_EQ(run.outcome.StepCount, std::ceil(std::stod(value) * 1000)) << line;
            ++compared;
        }
        for (double dose : {0.5, 1.0}) {
            fields >> value;
            EXPECT_NEAR(model::solvePoint(spec, dose / 1000).pH, std::stod(value), 1e-5) << line;
        }
    }
    EXPECT_EQ(compared, 19);
}

} // namespace
