// SPDX-License-Identifier: GPL-3.0-or-later
#include "started_form.h"

#include <cmath>

using namespace phbuffer;
using test::FailureOf;
using test::StartedForm;
using test::StartedFormWithComma;
using ui::TpHmainForm;

namespace {

// ---- start-up --------------------------------------------------------------------------

TEST_F(StartedForm, ShowsTheMediumWaterAsTheDataFileExampleHasIt) {
    const char* expected[10][5] = {
        {"", "Conc. [mM]", "pKa_1", "pKa_2", "pKa_3"},
        {"Dissolved Inorganic Carbon (CO2-total)", "3.000", "6.38", "10.32", "-"},
        {"Acetic acid", "0.200", "4.76", "-", "-"},
        {"Dissolved sulfide", "0.000", "7.05", "14.00", "-"},
        {"Phosphate", "0.155", "2.12", "7.21", "12.67"},
        {"Ammonia", "2.565", "9.21", "-", "-"},
        {"Amino groups", "2.835", "9.50", "-", "-"},
        {"Carboxyl groups/HSO4-", "0.936", "1.92", "-", "-"},
        {"Yet undefined", "0.000", "-", "-", "-"},
        {"Yet undefined", "0.000", "-", "-", "-"},
    };
    for (int r = 0; r < 10; ++r)
        for (int c = 0; c < 5; ++c)
            EXPECT_EQ(G1(c, r), QString::fromUtf8(expected[r][c])) << "cell " << c << "," << r;
    const char* parameters[4][2] = {{"Intial pH", "7.80"},
                                    {"Henry\u00B4s constant [atm/(mole fraction)]", "1640"},
                                    {"Partial pressure [ppm]", "426"},
                                    {"Lower pH target", "4.50"}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 2; ++c)
            EXPECT_EQ(G2(c, r), QString::fromUtf8(parameters[r][c]));
    EXPECT_EQ(G2(0, 1).at(5).unicode(), 0x00B4) << "an acute accent, not an apostrophe";
    EXPECT_EQ(form.phEqEdit.Text, QStringLiteral("7.80"));
    EXPECT_EQ(form.Label1.Caption, QStringLiteral("H+ used to reach lower target:"));
}

TEST_F(StartedForm, LaysOutTheGrids) {
    EXPECT_EQ(form.StringGrid1.Width, 385);
    EXPECT_EQ(form.StringGrid2.Width, 251);
    EXPECT_EQ(form.StringGrid1.ColWidths, (std::vector<int>{195, 60, 40, 40, 40}));
    EXPECT_EQ(form.StringGrid2.ColWidths, (std::vector<int>{195, 50}));
    EXPECT_EQ(form.StringGrid2.RowHeights, (std::vector<int>{24, 23, 24, 24}));
}

TEST_F(StartedForm, StartsWithAnEmptyTitrationView) {
    EXPECT_EQ(form.Chart1.Title, QStringLiteral("Titration curve"));
    EXPECT_TRUE(form.Chart1.BottomAxisTitle.isEmpty());
    EXPECT_TRUE(form.Chart1.LeftAxisTitle.isEmpty());
    EXPECT_TRUE(form.TitrationSeries.Active);
    EXPECT_TRUE(form.BufferStrengthSeries.Active);
    EXPECT_EQ(form.TitrationSeries.Count(), 0u);
    EXPECT_EQ(form.WhatToShowRadioGroup.ItemIndex, 0);
    // The state holds the preset's mmol/L until a calculation reads the grids.
    EXPECT_EQ(form.State.Conc[0], 3);
}

TEST_F(StartedFormWithComma, WritesEveryNumberWithTheComma) {
    EXPECT_EQ(G1(1, 1), QStringLiteral("3,000"));
    EXPECT_EQ(G1(2, 1), QStringLiteral("6,38"));
    EXPECT_EQ(G2(1, 0), QStringLiteral("7,80"));
    EXPECT_EQ(G2(1, 3), QStringLiteral("4,50"));
    EXPECT_EQ(form.phEqEdit.Text, QStringLiteral("7,80"));
}

TEST_F(StartedForm, ShowsNegativeAndZeroPKas) {
    form.State.pKa1[7] = -0.5;
    form.State.pKa2[7] = 0;
    form.ShowBufferSystems();
    EXPECT_EQ(G1(2, 8), QStringLiteral("-0.50"));
    EXPECT_EQ(G1(3, 8), QStringLiteral("-"));
}

// ---- presets ---------------------------------------------------------------------------

TEST_F(StartedForm, LowPresetButtonLoadsTheLowMedium) {
    form.ZPmediumBitBtnClick(&form.ZPlowBitBtn);
    EXPECT_EQ(G1(1, 1), QStringLiteral("4.000"));
    EXPECT_EQ(G1(1, 2), QStringLiteral("0.100"));
    EXPECT_EQ(G1(1, 3), QStringLiteral("0.000"));
    EXPECT_EQ(G1(1, 8), QStringLiteral("0.000"));
    EXPECT_EQ(G1(1, 9), QStringLiteral("0.000"));
    EXPECT_EQ(form.phEqEdit.Text, QStringLiteral("8.20"));
    EXPECT_EQ(G2(1, 0), QStringLiteral("8.20"));
}

TEST_F(StartedForm, EachPresetButtonHasItsMedium) {
    struct Case {
        const ui::Button* button;
        const char* carbon;
        const char* sulfide;
        const char* pH;
    };
    const Case cases[] = {{&form.ZPhighBitBtn, "2.000", "0.031", "7.20"},
                          {&form.ZPmediumhighBitBtn, "2.500", "0.016", "7.40"},
                          {&form.ZPmediumlowBitBtn, "3.500", "0.000", "8.00"},
                          {&form.ZPmediumBitBtn, "3.000", "0.000", "7.80"}};
    for (const Case& c : cases) {
        form.ZPmediumBitBtnClick(c.button);
        EXPECT_EQ(G1(1, 1), QString::fromUtf8(c.carbon)) << c.button->Name.toStdString();
        EXPECT_EQ(G1(1, 3), QString::fromUtf8(c.sulfide));
        EXPECT_EQ(form.phEqEdit.Text, QString::fromUtf8(c.pH));
    }
    form.ZPmediumBitBtnClick(nullptr); // any other sender: the medium preset
    EXPECT_EQ(G1(1, 1), QStringLiteral("3.000"));
}

TEST_F(StartedForm, PresetReplacesEditsButLeavesParametersAndChart) {
    G1(0, 8) = QStringLiteral("Citric acid");
    G1(1, 8) = QStringLiteral("2");
    G1(2, 8) = QStringLiteral("3.13");
    G1(2, 1) = QStringLiteral("6.35");
    G2(1, 1) = QStringLiteral("1500");
    G2(1, 3) = QStringLiteral("4");
    PressRun();
    const std::size_t points = form.TitrationSeries.Count();
    const QString label = form.Label1.Caption;

    form.ZPmediumBitBtnClick(&form.ZPhighBitBtn);
    EXPECT_EQ(G1(0, 8), QStringLiteral("Yet undefined"));
    EXPECT_EQ(G1(1, 8), QStringLiteral("0.000"));
    EXPECT_EQ(G1(2, 8), QStringLiteral("-"));
    EXPECT_EQ(G1(2, 1), QStringLiteral("6.38"));
    EXPECT_EQ(G2(1, 1), QStringLiteral("1500"));
    EXPECT_EQ(G2(1, 3), QStringLiteral("4"));
    EXPECT_EQ(form.TitrationSeries.Count(), points);
    EXPECT_EQ(form.Label1.Caption, label);
}

// ---- reading the grids -----------------------------------------------------------------

TEST_F(StartedForm, ReadGridsConvertsUnitsAndConstants) {
    G1(2, 2) = QString();            // empty pKa
    G1(3, 4) = QStringLiteral("ab"); // letters
    G1(4, 4) = QStringLiteral("0");  // a real pKa of 0
    G1(0, 1) = QStringLiteral("Renamed");
    form.ReadGrids(&form);
    EXPECT_EQ(form.State.Conc[0], 0.003);
    EXPECT_DOUBLE_EQ(form.State.Conc[1], 0.0002);
    EXPECT_EQ(form.State.Ka1[0], model::tenToMinus(6.38));
    EXPECT_EQ(form.State.Ka3[0], 0) << "'-'";
    EXPECT_EQ(form.State.Ka1[1], 0) << "empty";
    EXPECT_EQ(form.State.Ka2[3], 0) << "letters";
    EXPECT_EQ(form.State.Ka3[3], 1) << "pKa 0";
    EXPECT_EQ(form.State.pH, 7.8);
    EXPECT_EQ(form.State.HenryConstant, 1640);
    EXPECT_DOUBLE_EQ(form.State.CO2PartialPressure, 0.000426);
    EXPECT_EQ(form.State.LowerpHTarget, 4.5);
    EXPECT_EQ(form.State.SystemName[0], "Dissolved Inorganic Carbon (CO2-total)");
    EXPECT_EQ(form.State.pKa1[0], 6.38) << "the catalogue's pKa stay";
}

TEST_F(StartedForm, ReadGridsStopsAtTheFirstTextThatIsNotANumber) {
    form.ReadGrids(&form);
    const model::WaterState before = form.State;
    G1(1, 1) = QStringLiteral("1");
    G1(2, 1) = QStringLiteral("6");
    G1(1, 5) = QString();
    G2(1, 0) = QStringLiteral("9");
    const std::size_t points = form.TitrationSeries.Count();

    EXPECT_EQ(FailureOf([&] { PressRun(); }),
              QStringLiteral("'' is not a valid floating point value."));
    EXPECT_EQ(form.State.Conc[0], 0.001) << "rows above the failing cell are read";
    EXPECT_EQ(form.State.Ka1[0], 1e-6);
    for (int slot = 4; slot < 9; ++slot)
        EXPECT_EQ(form.State.Conc[slot], before.Conc[slot]);
    EXPECT_EQ(form.State.pH, before.pH);
    EXPECT_EQ(form.TitrationSeries.Count(), points) << "no run";
}

TEST_F(StartedFormWithComma, ADecimalPointIsNotANumberUnderAComma) {
    G1(2, 2) = QStringLiteral("4.76");
    form.ReadGrids(&form);
    EXPECT_EQ(form.State.Ka1[1], 0);
    EXPECT_EQ(form.State.Conc[0], 0.003);
    G1(1, 2) = QStringLiteral("0.2");
    EXPECT_EQ(FailureOf([&] { form.ReadGrids(&form); }),
              QStringLiteral("'0.2' is not a valid floating point value."));
}

// ---- the run ---------------------------------------------------------------------------

TEST_F(StartedForm, PureWaterNeedsThreeHundredthsOfAMillimole) {
    SetAllConcentrations(QStringLiteral("0"));
    G2(1, 0) = QStringLiteral("7");
    PressRun();
    EXPECT_EQ(form.Label1.Caption, QStringLiteral("H+ used to reach lower target: 0.03"));
    EXPECT_EQ(form.TitrationSeries.Count(), 34u);
    EXPECT_EQ(form.BufferStrengthSeries.Count(), 32u);
    EXPECT_EQ(form.Chart1.Title, QStringLiteral("Titration curve"));
    EXPECT_EQ(form.Chart1.BottomAxisTitle, QStringLiteral("Added H+ [mmol/L]"));
    EXPECT_EQ(form.Chart1.LeftAxisTitle, QStringLiteral("pH [-]"));
}

TEST_F(StartedFormWithComma, TheLabelUsesTheComma) {
    SetAllConcentrations(QStringLiteral("0"));
    G2(1, 0) = QStringLiteral("7");
    PressRun();
    EXPECT_EQ(form.Label1.Caption, QStringLiteral("H+ used to reach lower target: 0,03"));
}

TEST_F(StartedForm, AceticAcidInRowTwoOrNine) {
    for (int row : {2, 9}) {
        SetAllConcentrations(QStringLiteral("0"));
        G1(1, row) = QStringLiteral("1");
        G1(2, row) = QStringLiteral("4.76");
        G1(3, row) = G1(4, row) = QStringLiteral("-");
        G2(1, 0) = QStringLiteral("7");
        PressRun();
        EXPECT_EQ(form.Label1.Caption, QStringLiteral("H+ used to reach lower target: 0.67"));
    }
}

TEST_F(StartedForm, BufferViewFillsBothSeriesButShowsOne) {
    form.WhatToShowRadioGroup.ItemIndex = 1;
    form.WhatToShowRadioGroupClick(&form.WhatToShowRadioGroup);
    PressRun();
    EXPECT_FALSE(form.TitrationSeries.Active);
    EXPECT_TRUE(form.BufferStrengthSeries.Active);
    EXPECT_GT(form.TitrationSeries.Count(), 100u);
    EXPECT_EQ(form.Chart1.Title, QStringLiteral("Buffer capacity"));
    EXPECT_EQ(form.Chart1.BottomAxisTitle, QStringLiteral("pH [-]"));
    EXPECT_EQ(form.Chart1.LeftAxisTitle, QStringLiteral("Buffer capacity [mmol H+/pH-unit]"));
    EXPECT_EQ(form.selectedSeries(), &form.BufferStrengthSeries);
    const auto& b = form.BufferStrengthSeries;
    for (std::size_t i = 1; i < b.Count(); ++i)
        EXPECT_LT(b.XValue(i - 1), b.XValue(i));
}

TEST_F(StartedForm, ANeitherViewSelectionLeavesBothSeriesHidden) {
    form.WhatToShowRadioGroup.ItemIndex = -1;
    PressRun();
    EXPECT_FALSE(form.TitrationSeries.Active);
    EXPECT_FALSE(form.BufferStrengthSeries.Active);
    EXPECT_EQ(form.Chart1.Title, QStringLiteral("Buffer capacity"));
    EXPECT_EQ(form.selectedSeries(), nullptr);
}

TEST_F(StartedForm, SwitchingTheViewKeepsTheCurves) {
    // Before any run the switch only sets titles.
    form.WhatToShowRadioGroup.ItemIndex = 1;
    form.WhatToShowRadioGroupClick(&form.WhatToShowRadioGroup);
    EXPECT_EQ(form.Chart1.BottomAxisTitle, QStringLiteral("pH [-]"));

    PressRun();
    const std::size_t titrationPoints = form.TitrationSeries.Count();
    form.WhatToShowRadioGroup.ItemIndex = 0;
    form.WhatToShowRadioGroupClick(&form.WhatToShowRadioGroup);
    EXPECT_TRUE(form.TitrationSeries.Active);
    EXPECT_FALSE(form.BufferStrengthSeries.Active);
    EXPECT_EQ(form.TitrationSeries.Count(), titrationPoints);
    EXPECT_EQ(form.Chart1.Title, QStringLiteral("Titration curve"));
    EXPECT_EQ(form.Chart1.BottomAxisTitle, QStringLiteral("Added H+ [mmol/L]"));
    EXPECT_EQ(form.Chart1.LeftAxisTitle, QStringLiteral("pH [-]"));

    form.ClearGraphButtonClick(&form.ClearGraphButton);
    EXPECT_EQ(form.TitrationSeries.Count(), 0u);
    EXPECT_EQ(form.BufferStrengthSeries.Count(), 0u);
    EXPECT_EQ(form.Chart1.Title, QStringLiteral("Titration curve"));
    EXPECT_TRUE(form.Label1.Caption.endsWith(QStringLiteral("3.30")));
}

// ---- CO2 equilibrium ---------------------------------------------------------------------

TEST_F(StartedForm, CO2EquilibriumAtTheEditBoxPH) {
    form.CO2EqButtonClick(&form.CO2EqButton);
    EXPECT_EQ(G1(1, 1), QStringLiteral("0.395"));
    EXPECT_NEAR(form.State.Conc[0], 0.395e-3, 0.0005e-3);
    EXPECT_EQ(form.State.HConc, model::tenToMinus(7.8));

    form.phEqEdit.Text = QStringLiteral("7");
    form.CO2EqButtonClick(&form.CO2EqButton);
    EXPECT_EQ(G1(1, 1), QStringLiteral("0.075"));
    EXPECT_EQ(G2(1, 0), QStringLiteral("7.80")) << "the initial pH stays";

    G1(2, 1) = QStringLiteral("-");
    form.CO2EqButtonClick(&form.CO2EqButton);
    EXPECT_EQ(G1(1, 1), QStringLiteral("0.014")) << "dissolved CO2 alone";
}

TEST_F(StartedForm, CO2EquilibriumFallsBackToTheInitialPH) {
    form.phEqEdit.Text = QString();
    form.CO2EqButtonClick(&form.CO2EqButton);
    EXPECT_EQ(G1(1, 1), QStringLiteral("0.395"));
    EXPECT_TRUE(form.phEqEdit.Text.isEmpty());
    for (int r = 2; r <= 9; ++r)
        EXPECT_NE(G1(1, r), QStringLiteral("0.395"));
    EXPECT_EQ(G1(1, 2), QStringLiteral("0.200"));
}

TEST_F(StartedFormWithComma, CO2EquilibriumWritesTheComma) {
    form.CO2EqButtonClick(&form.CO2EqButton);
    EXPECT_EQ(G1(1, 1), QStringLiteral("0,395"));
}

TEST_F(StartedForm, CO2EquilibriumRefusesUnsoundInputAndKeepsTheCell) {
    struct Case {
        int row;
        const char* text;
        const char* edit;
        const char* message;
    };
    const Case cases[] = {
        {1, "0", "7.80",
         "\"Henry\u00B4s constant [atm/(mole fraction)]\" must be above 0, not '0'"},
        {1, "-5", "7.80",
         "\"Henry\u00B4s constant [atm/(mole fraction)]\" must be above 0, not '-5'"},
        {2, "-1", "7.80", "\"Partial pressure [ppm]\" must not be below 0, not '-1'"},
        {2, "426", "400",
         "The CO2 equilibrium at pH 400.00 gives no finite inorganic carbon "
         "concentration."},
        {2, "426", "-INF",
         "The CO2 equilibrium at pH -INF gives no finite inorganic carbon "
         "concentration."},
        // Finite in mol/L, but not once multiplied by 1000 for the cell.
        {1, "3e-308", "6",
         "The CO2 equilibrium at pH 6.00 gives no finite inorganic carbon "
         "concentration."},
    };
    for (const Case& c : cases) {
        form.FormShow(&form);
        G2(1, c.row) = QString::fromUtf8(c.text);
        form.phEqEdit.Text = QString::fromUtf8(c.edit);
        EXPECT_EQ(FailureOf([&] { form.CO2EqButtonClick(&form.CO2EqButton); }),
                  QString::fromUtf8(c.message));
        EXPECT_EQ(G1(1, 1), QStringLiteral("3.000"));
    }
    form.FormShow(&form);
    G2(1, 1) = QStringLiteral("many");
    EXPECT_EQ(FailureOf([&] { form.CO2EqButtonClick(&form.CO2EqButton); }),
              QStringLiteral("'many' is not a valid floating point value."));
}

} // namespace
