// SPDX-License-Identifier: GPL-3.0-or-later
#include "started_form.h"

#include "ui/titration_run.h"

#include <thread>

using namespace phbuffer;
using test::StartedForm;

namespace {

TEST(RunProgressText, ShowsThePhReachedAndTheAcidAddedWithTheSeparator) {
    model::RunProgress progress;
    progress.share = 0.4;
    progress.pH = 2.3099;
    progress.acidAdded = 12.345;
    EXPECT_EQ(ui::runProgressText(progress, U'.'),
              QStringLiteral("pH 2.31, 12.35 mmol/L H+ added"));
    progress.pH = -0.5;
    progress.acidAdded = 2086;
    EXPECT_EQ(ui::runProgressText(progress, U','),
              QStringLiteral("pH -0,50, 2086,00 mmol/L H+ added"));
}

// The window's road: prepared from the form, computed on another thread over the copy,
// applied back. Whatever happens to the form in between, the run is the one prepared.
TEST_F(StartedForm, ARunComputedApartFromTheFormIsTheOneTheButtonMakes) {
    form.ZPmediumBitBtnClick(&form.ZPlowBitBtn);
    ui::RunInput input = form.prepareRun(&form.DoTitrationButton);
    G2(1, 0) = QStringLiteral("not read by the run");
    std::optional<ui::RunResult> result;
    model::RunControl control;
    std::thread worker([&] { result = ui::computeRun(std::move(input), &control); });
    worker.join();
    EXPECT_EQ(control.progress().share, 1);
    form.applyRun(std::move(*result));

    ui::TpHmainForm button;
    button.FormShow(&button);
    button.ZPmediumBitBtnClick(&button.ZPlowBitBtn);
    button.DoTitrationButtonClick(&button.DoTitrationButton);
    EXPECT_EQ(form.Label1.Caption, QStringLiteral("H+ used to reach lower target: 4.24"));
    EXPECT_EQ(form.Label1.Caption, button.Label1.Caption);
    ASSERT_EQ(form.TitrationSeries.Count(), button.TitrationSeries.Count());
    ASSERT_EQ(form.BufferStrengthSeries.Count(), button.BufferStrengthSeries.Count());
    for (std::size_t i = 0; i < form.TitrationSeries.Count(); ++i)
        EXPECT_EQ(form.TitrationSeries.YValue(i), button.TitrationSeries.YValue(i)) << i;
    EXPECT_EQ(form.State.pH, button.State.pH);
    EXPECT_EQ(form.Chart1.LeftAxisTitle, button.Chart1.LeftAxisTitle);
}

} // namespace
