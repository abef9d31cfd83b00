// SPDX-License-Identifier: GPL-3.0-or-later
#include "started_form.h"

#include "ui/titration_run.h"

#include <QRegularExpression>

#include <cstdint>
#include <limits>
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
    progress.direction = model::Direction::Rising;
    EXPECT_EQ(ui::runProgressText(progress, U'.'),
              QStringLiteral("pH -0.50, 2086.00 mmol/L OH- added"));
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

TEST_F(StartedForm, ABaseRunNamesOhInItsLabelAndAxesAndAnAcidRunKeepsItsTexts) {
    struct Case {
        int titrant;
        const char* label;
        const char* stopped;
        const char* bottomAxis;
        const char* bufferAxis;
    };
    const Case acid = {0, "^H\\+ used to reach lower target: \\d+\\.\\d\\d$",
                       "^Run stopped at pH \\d\\.\\d\\d after 0\\.01 mmol/L H\\+; lower target "
                       "not reached$",
                       "Added H+ [mmol/L]", "Buffer capacity [mmol H+/pH-unit]"};
    const Case base = {1, "^OH- used to reach upper target: \\d+\\.\\d\\d$",
                       "^Run stopped at pH \\d\\.\\d\\d after 0\\.01 mmol/L OH-; upper target "
                       "not reached$",
                       "Added OH- [mmol/L]", "Buffer capacity [mmol OH-/pH-unit]"};
    // Before any run the texts are the acid's; a base run and an acid run after it.
    EXPECT_EQ(form.Label1.Caption, QStringLiteral("H+ used to reach lower target:"));
    for (const Case& c : {acid, base, acid}) {
        form.TitrantRadioGroup.ItemIndex = c.titrant;
        form.RunControl.maxSteps = std::numeric_limits<std::uint32_t>::max();
        PressRun();
        EXPECT_TRUE(
            QRegularExpression(QString::fromLatin1(c.label)).match(form.Label1.Caption).hasMatch())
            << form.Label1.Caption.toStdString();
        EXPECT_EQ(form.Chart1.BottomAxisTitle, QString::fromLatin1(c.bottomAxis));
        EXPECT_EQ(form.Chart1.LeftAxisTitle, QStringLiteral("pH [-]"));
        form.WhatToShowRadioGroup.ItemIndex = 1;
        form.WhatToShowRadioGroupClick(&form.WhatToShowRadioGroup);
        EXPECT_EQ(form.Chart1.BottomAxisTitle, QStringLiteral("pH [-]"));
        EXPECT_EQ(form.Chart1.LeftAxisTitle, QString::fromLatin1(c.bufferAxis));
        form.WhatToShowRadioGroup.ItemIndex = 0;
        form.WhatToShowRadioGroupClick(&form.WhatToShowRadioGroup);

        form.RunControl.maxSteps = 10;
        PressRun();
        EXPECT_TRUE(QRegularExpression(QString::fromLatin1(c.stopped))
                        .match(form.Label1.Caption)
                        .hasMatch())
            << form.Label1.Caption.toStdString();
    }
}

} // namespace
