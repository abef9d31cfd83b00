// SPDX-License-Identifier: GPL-3.0-or-later
#include "started_form.h"

#include <cmath>

using namespace phbuffer;
using test::FailureOf;
using test::StartedForm;
using test::StartedFormWithComma;
using ui::TpHmainForm;

namespace {

// ---- input the run refuses -------------------------------------------------------------

TEST_F(StartedForm, RefusesBadInputNamingTheCellAndComputesNothing) {
    PressRun();
    const QString label = form.Label1.Caption;
    const std::size_t points = form.TitrationSeries.Count();
    struct Case {
        int grid, col, row;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {1, 1, 2, "-1",
         "The concentration of \"Acetic acid\" (row 2) must be a finite number "
         "not below 0, not '-1'"},
        {1, 1, 3, "INF",
         "The concentration of \"Dissolved sulfide\" (row 3) must be a finite "
         "number not below 0, not 'INF'"},
        {1, 1, 9, "nan",
         "The concentration of \"Yet undefined\" (row 9) must be a finite "
         "number not below 0, not 'nan'"},
        {1, 1, 6, "1.7976931348623157e308",
         "The concentration of \"Amino groups\" (row 6) "
         "must not be above 10000 mmol/L, not "
         "'1.7976931348623157e308'"},
        {1, 1, 1, "10000.01",
         "The concentration of \"Dissolved Inorganic Carbon (CO2-total)\" "
         "(row 1) must not be above 10000 mmol/L, not '10000.01'"},
        {1, 2, 4, "NAN",
         "The pKa_1 of \"Phosphate\" (row 4) gives a dissociation constant that "
         "is not finite: 'NAN'"},
        {1, 3, 5, "-INF",
         "The pKa_2 of \"Ammonia\" (row 5) gives a dissociation constant that "
         "is not finite: '-INF'"},
        {1, 4, 6, "-400",
         "The pKa_3 of \"Amino groups\" (row 6) gives a dissociation constant "
         "that is not finite: '-400'"},
        {2, 1, 0, "17", "\"Intial pH\" must be a pH from -2 to 16, not '17'"},
        {2, 1, 0, "NAN", "\"Intial pH\" must be a pH from -2 to 16, not 'NAN'"},
        {2, 1, 3, "-2.5", "\"Lower pH target\" must be a pH from -2 to 16, not '-2.5'"},
        {2, 1, 3, "-inf", "\"Lower pH target\" must be a pH from -2 to 16, not '-inf'"},
    };
    for (const Case& c : cases) {
        form.ZPmediumBitBtnClick(&form.ZPmediumBitBtn);
        G2(1, 3) = QStringLiteral("4.50");
        auto& grid = c.grid == 1 ? form.StringGrid1 : form.StringGrid2;
        grid.Cells(c.col, c.row) = QString::fromUtf8(c.text);
        EXPECT_EQ(FailureOf([&] { PressRun(); }), QString::fromUtf8(c.message));
        EXPECT_EQ(form.errorCell, (ui::GridCell{&grid, c.col, c.row})) << c.message;
        EXPECT_EQ(form.Label1.Caption, label);
        EXPECT_EQ(form.TitrationSeries.Count(), points);
    }
    // An infinite pKa is an absent constant, not a failure; the bound itself is accepted.
    form.ZPmediumBitBtnClick(&form.ZPmediumBitBtn);
    G2(1, 3) = QStringLiteral("4.50");
    G1(2, 4) = QStringLiteral("INF");
    G1(1, 6) = QStringLiteral("10000");
    form.RunControl.maxSteps = 1;
    EXPECT_NO_THROW(PressRun());
}

TEST_F(StartedForm, NamesTheCellThatIsNotANumberAndForgetsItOnceAllIsRead) {
    G1(1, 5) = QString();
    FailureOf([&] { PressRun(); });
    EXPECT_EQ(form.errorCell, (ui::GridCell{&form.StringGrid1, 1, 5}));
    G1(1, 5) = QStringLiteral("1");
    G2(1, 2) = QStringLiteral("x");
    FailureOf([&] { form.CO2EqButtonClick(&form.CO2EqButton); });
    EXPECT_EQ(form.errorCell, (ui::GridCell{&form.StringGrid2, 1, 2}));
    G2(1, 2) = QStringLiteral("426");
    form.ReadGrids(&form);
    EXPECT_FALSE(form.errorCell);
}

TEST_F(StartedFormWithComma, HintsAtAPkaThatCountsAsAbsentOnlyBecauseItIsNoNumber) {
    G1(2, 2) = QStringLiteral("4.76");
    EXPECT_EQ(form.cellHint(form.StringGrid1, 2, 2),
              QStringLiteral("'4.76' is not a number with ',' as decimal separator: this step "
                             "counts as absent"));
    for (const char* text : {"4,76", "-", "", " "}) {
        G1(2, 2) = QString::fromUtf8(text);
        EXPECT_TRUE(form.cellHint(form.StringGrid1, 2, 2).isEmpty()) << text;
    }
    G1(1, 2) = QStringLiteral("x"); // a concentration is refused, not hinted at
    EXPECT_TRUE(form.cellHint(form.StringGrid1, 1, 2).isEmpty());
}

TEST_F(StartedForm, MessagesQuoteTheUsersTextsAsTyped) {
    G1(0, 5) = QStringLiteral("%2");
    G1(1, 5) = QStringLiteral("-1");
    EXPECT_EQ(FailureOf([&] { PressRun(); }),
              QStringLiteral("The concentration of \"%2\" (row 5) must be a finite number not "
                             "below 0, not '-1'"));
    G1(1, 5) = QStringLiteral("1");
    G2(0, 0) = QStringLiteral("Initial %1 pH");
    G2(1, 0) = QStringLiteral("20");
    EXPECT_EQ(FailureOf([&] { PressRun(); }),
              QStringLiteral("\"Initial %1 pH\" must be a pH from -2 to 16, not '20'"));
    // A file can put a NUL or another control character into a cell: shown, not obeyed.
    G2(1, 0) = QStringLiteral("7");
    G1(0, 5) = QStringLiteral("Ammonia") + QChar(0) + QStringLiteral("\t\u0085");
    G1(1, 5) = QStringLiteral("-1") + QChar(0);
    EXPECT_EQ(FailureOf([&] { form.ReadGrids(&form); }),
              QStringLiteral("'-1\\0' is not a valid floating point value."));
    G1(1, 5) = QStringLiteral("-1");
    EXPECT_EQ(FailureOf([&] { PressRun(); }),
              QStringLiteral("The concentration of \"Ammonia\\0\\t\\u0085\" (row 5) must be a "
                             "finite number not below 0, not '-1'"));
}

TEST_F(StartedForm, ABalanceOutOfReachStopsTheRunAndSaysWhy) {
    G1(2, 3) = QStringLiteral("-200");
    G1(3, 3) = QStringLiteral("-200");
    const QString box = FailureOf([&] { PressRun(); });
    EXPECT_TRUE(
        box.startsWith(QStringLiteral("The proton balance can't be computed below pH 7.80")))
        << box.toStdString();
    EXPECT_EQ(form.Label1.Caption, QStringLiteral("Run stopped at pH 7.80 after 0.00 mmol/L H+; "
                                                  "lower target not reached"));
}

TEST_F(StartedForm, ACancelledRunSaysWhereItStopped) {
    form.RunControl.cancelRequested = true; // before the first check: stops at once
    PressRun();
    EXPECT_TRUE(form.Label1.Caption.startsWith(QStringLiteral("Run stopped at pH 7.")))
        << form.Label1.Caption.toStdString();
    EXPECT_TRUE(form.Label1.Caption.endsWith(QStringLiteral("lower target not reached")));
    EXPECT_EQ(form.Chart1.Title, QStringLiteral("Titration curve"));
}

// ---- the titrant ------------------------------------------------------------------------

TEST_F(StartedForm, ABaseRunGoesToTheUpperTargetAndOneThatIsNoPhIsRefusedByName) {
    form.ReadGrids(&form);
    EXPECT_EQ(form.runDescription.titrant, model::Titrant::StrongAcid);
    EXPECT_EQ(form.runDescription.targetPh, 4.5);

    form.TitrantRadioGroup.ItemIndex = 1;
    form.UpperTargetEdit.Text = QStringLiteral("9.10");
    form.ReadGrids(&form);
    EXPECT_EQ(form.runDescription.titrant, model::Titrant::StrongBase);
    EXPECT_EQ(form.runDescription.targetPh, 9.1);
    EXPECT_EQ(form.State.LowerpHTarget, 4.5) << "the grid's lower target stays";

    const QString label = form.Label1.Caption;
    for (const char* text : {"16.5", "-2.01", "abc", "nan", ""}) {
        form.UpperTargetEdit.Text = QString::fromUtf8(text);
        EXPECT_EQ(FailureOf([&] { PressRun(); }),
                  QStringLiteral("\"Upper pH target\" must be a pH from -2 to 16, not '%1'")
                      .arg(QString::fromUtf8(text)));
        EXPECT_EQ(form.errorCell, std::nullopt) << text;
        EXPECT_EQ(form.Label1.Caption, label) << text;
    }

    // Started at or above its target, a base run takes no step, as an acid run below its own.
    form.UpperTargetEdit.Text = QStringLiteral("7.80");
    PressRun();
    EXPECT_EQ(form.TitrationSeries.Count(), 2u) << "its start and final points";
    EXPECT_EQ(form.Label1.Caption, QStringLiteral("OH- used to reach upper target: 0.00"));
}

} // namespace
