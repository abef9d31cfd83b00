// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/titration.h"

#include "started_form.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTextStream>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

using namespace phbuffer;
using phbuffer::test::StartedForm;

namespace {

/// The preset button of the reference tables' name for its water.
const ui::Component* PresetButton(const ui::TpHmainForm& form, const std::string& name) {
    const std::map<std::string, const ui::Component*> buttons = {
        {"medium", &form.ZPmediumBitBtn},
        {"high", &form.ZPhighBitBtn},
        {"medium-high", &form.ZPmediumhighBitBtn},
        {"medium-low", &form.ZPmediumlowBitBtn},
        {"low", &form.ZPlowBitBtn}};
    return buttons.at(name);
}

/// After n acid steps the titration must show the pH that an independent geochemical code
/// computes for the same water (ideal solution, water log K -14), within 1e-6.
TEST_F(StartedForm, AgreesWithAnIndependentGeochemicalCode) {
    QFile table(QStringLiteral(PHBUFFER_TEST_DATA_DIR "/preset-titration-independent.tsv"));
    ASSERT_TRUE(table.open(QIODevice::ReadOnly | QIODevice::Text));
    QTextStream in(&table);
    int compared = 0;
    while (!in.atEnd()) {
        const QStringList f = in.readLine().split(QLatin1Char('\t'));
        if (f.size() != 4 || f[0].startsWith(QLatin1Char('#')) || f[0] == QLatin1String("preset"))
            continue;
        form.ZPmediumBitBtnClick(PresetButton(form, f[0].toStdString()));
        ASSERT_EQ(G2(1, 0), f[1]);
        G2(1, 3) = QStringLiteral("-1");
        form.RunControl.maxSteps = static_cast<std::uint32_t>(std::lround(f[2].toDouble() * 1000));
        PressRun();
        const double pH = form.TitrationSeries.YValue(form.TitrationSeries.Count() - 1);
        EXPECT_NEAR(pH, f[3].toDouble(), 1e-6) << f.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(form.Label1.Caption.startsWith(QStringLiteral("Run stopped at pH ")));
        ++compared;
    }
    EXPECT_EQ(compared, 30);
}

// For the waters as the grids show them after each preset button, a base run stops at
// the first step past the amount an independent geochemical code needs to reach each pH,
// and the one-point solve gives that code's pH for a dose of base.
TEST_F(StartedForm, BaseRunsAgreeWithAnIndependentGeochemicalCode) {
    std::ifstream table(PHBUFFER_TEST_DATA_DIR "/base-titration-25C.tsv");
    ASSERT_TRUE(table);
    std::string line;
    std::getline(table, line); // the header
    int compared = 0;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string name, initial, value;
        fields >> name >> initial;
        form.ZPmediumBitBtnClick(PresetButton(form, name));
        form.ReadGrids(&form);
        model::RunDescription description = form.runDescription;
        description.titrant = model::Titrant::StrongBase;
        for (double target : {8.2, 9.0, 10.0, 11.0}) {
            fields >> value;
            if (value == "-")
                continue; // the water starts at that pH
            description.targetPh = target;
            const model::RunResult run = model::runTitration(description, nullptr);
            ASSERT_EQ(run.outcome.end, model::RunEnd::ReachedTarget);
            EXPECT_EQ(run.outcome.StepCount, std::ceil(std::stod(value) * 1000)) << line;
            ++compared;
        }
        for (double dose : {0.5, 1.0}) {
            fields >> value;
            EXPECT_NEAR(model::solvePoint(description, dose / 1000).pH, std::stod(value), 1e-5)
                << line;
        }
    }
    EXPECT_EQ(compared, 19);
}

// At 10, 25 and 37 °C and ionic strengths of 0, 10 and 50 mmol/L an acid run stops at the
// first step past the amount an independent geochemical code needs to reach pH 4.3 and
// 6.0, and the one-point solve gives that code's pH after 1 and 2 mmol/L of acid.
TEST_F(StartedForm, RunsAtTemperatureAndIonicStrengthAgreeWithAnIndependentCode) {
    std::ifstream table(PHBUFFER_TEST_DATA_DIR "/titration-temperature-ionic-strength.tsv");
    ASSERT_TRUE(table);
    std::string line;
    std::getline(table, line); // the header
    int compared = 0;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string name;
        double T = 0, I = 0, A = 0, initial = 0, to43 = 0, to60 = 0, after1 = 0, after2 = 0;
        fields >> name >> T >> I >> A >> initial >> to43 >> to60 >> after1 >> after2;
        form.ZPmediumBitBtnClick(PresetButton(form, name));
        form.ReadGrids(&form);
        model::RunDescription description = form.runDescription;
        description.conditions = {T, I};
        for (const auto& [target, amount] : {std::pair(4.3, to43), std::pair(6.0, to60)}) {
            description.targetPh = target;
            const model::RunResult run = model::runTitration(description, nullptr);
            EXPECT_EQ(run.outcome.StepCount, std::ceil(amount * 1000)) << line;
            EXPECT_NEAR(run.outcome.StepCount / 1000.0, amount, 1e-3 * amount) << line;
        }
        EXPECT_NEAR(model::solvePoint(description, 1e-3).pH, after1, 1e-3) << line;
        EXPECT_NEAR(model::solvePoint(description, 2e-3).pH, after2, 1e-3) << line;
        ++compared;
    }
    EXPECT_EQ(compared, 45);
}

} // namespace
