// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_fixture.h"

#include "app/application_style.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>
#include <QValueAxis>

using namespace phbuffer::app;
using namespace phbuffer::app::gui;

namespace {

QLineEdit* PhEdit(const MainWindow& w) {
    return w.findChild<QLineEdit*>(QStringLiteral("phEqEdit"));
}

QRadioButton* RadioItem(const MainWindow& w, int item) {
    return w.findChild<QRadioButton*>(QStringLiteral("WhatToShowRadioGroupItem%1").arg(item));
}

QList<QPointF> Points(const QLineSeries* s) {
    return s->points();
}

// ---- start-up ----------------------------------------------------------------------------

using StartedWindow = ShownWindow;

TEST_F(StartedWindow, ShowsTheMediumWaterAndTheWaterParameters) {
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
            EXPECT_EQ(cell(1, c, r), QString::fromUtf8(expected[r][c])) << "cell " << c << "," << r;
    const char* parameters[4][2] = {{"Intial pH", "7.80"},
                                    {"Henry\u00B4s constant [atm/(mole fraction)]", "1640"},
                                    {"Partial pressure [ppm]", "426"},
                                    {"Lower pH target", "4.50"}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 2; ++c)
            EXPECT_EQ(cell(2, c, r), QString::fromUtf8(parameters[r][c]))
                << "cell " << c << "," << r;
    EXPECT_EQ(PhEdit(window)->text(), QStringLiteral("7.80"));
    EXPECT_EQ(labelText(), QStringLiteral("H+ used to reach lower target:"));
    EXPECT_TRUE(RadioItem(window, 0)->isChecked());
    EXPECT_FALSE(RadioItem(window, 1)->isChecked());
    EXPECT_TRUE(errors.empty()) << errorTexts().toStdString();
}

TEST_F(StartedWindow, HasItsCaptionSizeAndAnEmptyTitledChart) {
    EXPECT_EQ(window.windowTitle(), QStringLiteral("pH and buffer system calculator"));
    EXPECT_EQ(window.size(), QSize(1218, 757));
    EXPECT_EQ(window.font().pixelSize(), 11);
    EXPECT_EQ(chart()->chart()->title(), QStringLiteral("Titration curve"));
    EXPECT_EQ(chart()->bottomAxis()->titleText(), QString());
    EXPECT_EQ(chart()->leftAxis()->titleText(), QString());
    EXPECT_EQ(chart()->titrationSeries()->count(), 0);
    EXPECT_EQ(chart()->bufferStrengthSeries()->count(), 0);
    EXPECT_TRUE(chart()->titrationSeries()->isVisible());
    EXPECT_TRUE(chart()->bufferStrengthSeries()->isVisible());
}

TEST_F(StartedWindow, PlacesEveryComponentWhereTheLayoutHasIt) {
    struct Placement {
        const char* name;
        QRect geometry;
    };
    const Placement placements[] = {
        {"DoTitrationButton", {1101, 6, 105, 25}},
        {"CopyToClipButton", {8, 6, 105, 25}},
        {"ExportPlotDataBitBtn", {127, 6, 105, 25}},
        {"ClearGraphButton", {248, 6, 105, 25}},
        {"StringGrid1", {8, 1, 385, 255}},
        {"StringGrid2", {399, 1, 251, 104}},
        {"WhatToShowRadioGroup", {399, 111, 248, 58}},
        {"CO2EqButton", {399, 175, 156, 25}},
        {"phEqEdit", {561, 177, 50, 21}},
        {"ZPmediumBitBtn", {656, 68, 177, 25}},
        {"ZPhighBitBtn", {656, 6, 177, 25}},
        {"ZPmediumhighBitBtn", {656, 37, 177, 25}},
        {"ZPmediumlowBitBtn", {656, 99, 177, 25}},
        {"ZPlowBitBtn", {656, 130, 177, 25}},
        {"SaveDataBitBtn", {656, 176, 177, 25}},
        {"GetDataBitBtn", {656, 207, 177, 25}},
    };
    for (const Placement& p : placements) {
        const auto* w = window.findChild<QWidget*>(QString::fromLatin1(p.name));
        ASSERT_NE(w, nullptr) << p.name;
        EXPECT_EQ(w->geometry(), p.geometry) << p.name;
    }
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("Label1"))->pos(), QPoint(399, 216));

    // Panel1 at the bottom, Panel2 above it, the chart above both, all full width.
    const auto* panel1 = window.findChild<QWidget*>(QStringLiteral("Panel1"));
    const auto* panel2 = window.findChild<QWidget*>(QStringLiteral("Panel2"));
    EXPECT_EQ(panel1->geometry(), QRect(0, 757 - 41, 1218, 41));
    EXPECT_EQ(panel2->geometry(), QRect(0, 757 - 41 - 262, 1218, 262));
    EXPECT_EQ(chart()->geometry(), QRect(0, 0, 1218, 454));
    EXPECT_EQ(window.findChild<QWidget*>(QStringLiteral("DoTitrationButton"))->parentWidget(),
              panel1);
    EXPECT_EQ(window.findChild<QWidget*>(QStringLiteral("GetDataBitBtn"))->parentWidget(), panel2);
}

TEST_F(StartedWindow, TheChartTakesWhatTheWindowGrows) {
    window.resize(1400, 900);
    QApplication::processEvents();
    EXPECT_EQ(chart()->geometry(), QRect(0, 0, 1400, 900 - 41 - 262));
    EXPECT_EQ(window.findChild<QWidget*>(QStringLiteral("Panel2"))->height(), 262);
}

TEST_F(StartedWindow, GridsHaveTheirCellSizesAndShowEveryCellWithoutScrolling) {
    const int widths1[] = {195, 60, 40, 40, 40};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(grid(1)->columnWidth(c), widths1[c] + 1) << "with its grid line";
    const int widths2[] = {195, 50};
    const int heights2[] = {24, 23, 24, 24};
    for (int c = 0; c < 2; ++c)
        EXPECT_EQ(grid(2)->columnWidth(c), widths2[c] + 1);
    for (int r = 0; r < 4; ++r)
        EXPECT_EQ(grid(2)->rowHeight(r), heights2[r] + 1);
    for (int n : {1, 2}) {
        EXPECT_FALSE(grid(n)->horizontalScrollBar()->isVisible()) << "grid " << n;
        EXPECT_FALSE(grid(n)->verticalScrollBar()->isVisible()) << "grid " << n;
        EXPECT_TRUE(grid(n)->showGrid());
        EXPECT_EQ(grid(n)->selectionMode(), QAbstractItemView::ContiguousSelection);
    }
}

TEST_F(StartedWindow, TabGoesThroughTheButtonBarThenTheInputPanel) {
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    button("DoTitrationButton")->setFocus();
    const QStringList expected = {"DoTitrationButton",
                                  "CopyToClipButton",
                                  "ExportPlotDataBitBtn",
                                  "ClearGraphButton",
                                  "StringGrid1",
                                  "StringGrid2",
                                  "WhatToShowRadioGroupItem0",
                                  "CO2EqButton",
                                  "phEqEdit",
                                  "ZPmediumBitBtn",
                                  "ZPhighBitBtn",
                                  "ZPmediumhighBitBtn",
                                  "ZPmediumlowBitBtn",
                                  "ZPlowBitBtn",
                                  "SaveDataBitBtn",
                                  "GetDataBitBtn",
                                  "DoTitrationButton"};
    QStringList visited;
    for (int i = 0; i < expected.size(); ++i) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        // In a grid the focus sits in the editor of its current cell.
        for (QWidget* w = focus; w; w = w->parentWidget())
            if (qobject_cast<StringGridView*>(w))
                focus = w;
        visited << focus->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(visited, expected);
}

// ---- grid input and the run ---------------------------------------------------------------

TEST_F(StartedWindow, TypedCellsReachTheRunEvenWithTheirEditorsStillOpen) {
    // Pure water from pH 7 to 4.5 takes 32 acid steps, each moving the pH by more than
    // 0.01: 0.03 mmol/L of acid, 34 titration points and 32 buffer capacity points.
    for (int r = 1; r <= 9; ++r)
        type(1, 1, r, QStringLiteral("0"));
    type(2, 1, 0, QStringLiteral("7"));
    ASSERT_NE(grid(2)->openEditor(), nullptr);

    ASSERT_TRUE(RunAndWait(window));
    EXPECT_TRUE(errors.empty()) << errorTexts().toStdString();
    EXPECT_EQ(labelText(), QStringLiteral("H+ used to reach lower target: 0.03"));
    EXPECT_EQ(chart()->titrationSeries()->count(), 34);
    EXPECT_EQ(chart()->bufferStrengthSeries()->count(), 32);
    EXPECT_EQ(chart()->titrationSeries()->at(0), QPointF(0, 7));
    EXPECT_EQ(cell(1, 1, 9), QStringLiteral("0"));
    EXPECT_EQ(cell(2, 1, 0), QStringLiteral("7"));
}

TEST_F(StartedWindow, TextInAnEditorThatKeepsItsFocusReachesTheRunToo) {
    // A button that takes no focus leaves the cell editor open and uncommitted.
    button("DoTitrationButton")->setFocusPolicy(Qt::NoFocus);
    type(2, 1, 3, QStringLiteral("9"));
    ASSERT_NE(grid(2)->openEditor(), nullptr);
    ASSERT_TRUE(RunAndWait(window));
    // Down to pH 9 is less acid than down to 4.5.
    EXPECT_EQ(window.form().State.LowerpHTarget, 9);
    EXPECT_EQ(chart()->titrationSeries()->count(), 2) << "start and final point only";
}

TEST_F(StartedWindow, APresetRunIsDrawnWithTheTitlesOfTheSelectedView) {
    click("ZPlowBitBtn");
    ASSERT_TRUE(RunAndWait(window));
    EXPECT_EQ(labelText(), QStringLiteral("H+ used to reach lower target: 4.24"));
    EXPECT_EQ(chart()->chart()->title(), QStringLiteral("Titration curve"));
    EXPECT_EQ(chart()->bottomAxis()->titleText(), QStringLiteral("Added H+ [mmol/L]"));
    EXPECT_EQ(chart()->leftAxis()->titleText(), QStringLiteral("pH [-]"));
    EXPECT_TRUE(chart()->titrationSeries()->isVisible());
    EXPECT_FALSE(chart()->bufferStrengthSeries()->isVisible());
    // The axes fit the titration curve: acid from 0 to 4.24, pH from 0 up to 8.2.
    EXPECT_DOUBLE_EQ(chart()->bottomAxis()->min(), 0);
    EXPECT_NEAR(chart()->bottomAxis()->max(), 4.24, 0.005);
    EXPECT_DOUBLE_EQ(chart()->leftAxis()->min(), 0);
    EXPECT_DOUBLE_EQ(chart()->leftAxis()->max(), 8.2);
    EXPECT_FALSE(window.progressDialog()) << "a preset run ends before a dialog could show";
}

TEST_F(StartedWindow, SwitchingTheViewRestoresTitlesAndCurvesWithoutANewRun) {
    ASSERT_TRUE(RunAndWait(window));
    const QList<QPointF> titration = Points(chart()->titrationSeries());
    const QList<QPointF> buffer = Points(chart()->bufferStrengthSeries());
    ASSERT_GT(titration.size(), 10);
    // A new run would now stop on this cell.
    type(1, 1, 4, QStringLiteral("x"));

    Click(RadioItem(window, 1));
    EXPECT_EQ(chart()->chart()->title(), QStringLiteral("Buffer capacity"));
    EXPECT_EQ(chart()->bottomAxis()->titleText(), QStringLiteral("pH [-]"));
    EXPECT_EQ(chart()->leftAxis()->titleText(),
              QStringLiteral("Buffer capacity [mmol H+/pH-unit]"));
    EXPECT_FALSE(chart()->titrationSeries()->isVisible());
    EXPECT_TRUE(chart()->bufferStrengthSeries()->isVisible());
    EXPECT_EQ(Points(chart()->bufferStrengthSeries()), buffer);
    // The axes follow the buffer capacity curve: pH 4.5 to 7.8 along the bottom.
    EXPECT_DOUBLE_EQ(chart()->bottomAxis()->min(), buffer.front().x());
    EXPECT_DOUBLE_EQ(chart()->bottomAxis()->max(), buffer.back().x());
    EXPECT_DOUBLE_EQ(chart()->leftAxis()->min(), 0);

    Click(RadioItem(window, 0));
    EXPECT_EQ(chart()->chart()->title(), QStringLiteral("Titration curve"));
    EXPECT_EQ(chart()->bottomAxis()->titleText(), QStringLiteral("Added H+ [mmol/L]"));
    EXPECT_EQ(chart()->leftAxis()->titleText(), QStringLiteral("pH [-]"));
    EXPECT_TRUE(chart()->titrationSeries()->isVisible());
    EXPECT_FALSE(chart()->bufferStrengthSeries()->isVisible());
    EXPECT_EQ(Points(chart()->titrationSeries()), titration);
    EXPECT_TRUE(errors.empty()) << errorTexts().toStdString();
}

TEST_F(StartedWindow, SwitchingTheViewBeforeAnyRunFillsTheAxisTitles) {
    Click(RadioItem(window, 1));
    EXPECT_EQ(chart()->chart()->title(), QStringLiteral("Buffer capacity"));
    EXPECT_EQ(chart()->bottomAxis()->titleText(), QStringLiteral("pH [-]"));
    EXPECT_EQ(chart()->titrationSeries()->count(), 0);
    EXPECT_EQ(window.form().WhatToShowRadioGroup.ItemIndex, 1);
}

TEST_F(StartedWindow, ClearGraphEmptiesBothCurvesAndKeepsTheTitles) {
    ASSERT_TRUE(RunAndWait(window));
    ASSERT_GT(chart()->titrationSeries()->count(), 0);
    const QString label = labelText();
    click("ClearGraphButton");
    EXPECT_EQ(chart()->titrationSeries()->count(), 0);
    EXPECT_EQ(chart()->bufferStrengthSeries()->count(), 0);
    EXPECT_EQ(window.form().TitrationSeries.Count(), 0u);
    EXPECT_EQ(window.form().BufferStrengthSeries.Count(), 0u);
    EXPECT_EQ(chart()->chart()->title(), QStringLiteral("Titration curve"));
    EXPECT_EQ(chart()->bottomAxis()->titleText(), QStringLiteral("Added H+ [mmol/L]"));
    EXPECT_EQ(labelText(), label);
}

// ---- failures ----------------------------------------------------------------------------

TEST_F(StartedWindow, ABadCellShowsTheErrorBoxAndStartsNoRun) {
    ASSERT_TRUE(RunAndWait(window));
    const QList<QPointF> before = Points(chart()->titrationSeries());
    const QString label = labelText();

    type(1, 1, 5, QStringLiteral("abc"));
    ASSERT_TRUE(RunAndWait(window));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].title, QStringLiteral("pH and buffer system calculator"));
    EXPECT_EQ(errors[0].text, QStringLiteral("'abc' is not a valid floating point value."));
    EXPECT_EQ(Points(chart()->titrationSeries()), before) << "the chart keeps the last run";
    EXPECT_EQ(labelText(), label);
    EXPECT_EQ(cell(1, 1, 5), QStringLiteral("abc"));
    // The window stays usable.
    EXPECT_TRUE(button("DoTitrationButton")->isEnabled());
    EXPECT_TRUE(grid(1)->isEnabled());
    click("ZPmediumBitBtn");
    EXPECT_EQ(cell(1, 1, 5), QStringLiteral("2.565"));
}

TEST_F(StartedWindow, AFailedHandlerKeepsWhatItAssignedBeforeTheFailure) {
    // Henry's constant 0 fails the CO2 equilibrium after ReadGrids has filled the state.
    type(2, 1, 1, QStringLiteral("0"));
    type(1, 1, 1, QStringLiteral("9"));
    click("CO2EqButton");
    ASSERT_EQ(errors.size(), 1u);
    // The message ends in a quote, a character below the full stop: nothing is appended.
    EXPECT_EQ(
        errors[0].text,
        QStringLiteral("\"Henry\u00B4s constant [atm/(mole fraction)]\" must be above 0, not '0'"));
    EXPECT_DOUBLE_EQ(window.form().State.Conc[0], 0.009) << "ReadGrids ran before the failure";
    EXPECT_EQ(cell(1, 1, 1), QStringLiteral("9"));
}

TEST(ErrorBox, IsAModalBoxWithAnErrorIconCaptionedWithTheApplicationTitle) {
    MainWindow window; // the default presenter
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(TypeIntoCell(GridNumber(window, 2), 1, 3, QStringLiteral("low")));

    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool modal = false;
    // The box comes when the run has ended, on this thread or a moment later: look for it
    // until it is there, then read it and press its button.
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, &window, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll.stop();
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        modal = box->isModal();
        QTest::mouseClick(box->buttons().value(0), Qt::LeftButton);
    });
    poll.start();
    ASSERT_TRUE(RunAndWait(window));
    EXPECT_EQ(title, QStringLiteral("pH and buffer system calculator"));
    EXPECT_EQ(text, QStringLiteral("'low' is not a valid floating point value."));
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_TRUE(modal);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the box is gone";
}

// ---- presets, CO2, locale ----------------------------------------------------------------

TEST_F(StartedWindow, EachPresetButtonLoadsItsWaterIntoGridAndPhBox) {
    struct Expected {
        const char* button;
        const char* carbon;
        const char* sulfide;
        const char* pH;
    };
    const Expected presets[] = {{"ZPhighBitBtn", "2.000", "0.031", "7.20"},
                                {"ZPmediumhighBitBtn", "2.500", "0.016", "7.40"},
                                {"ZPmediumlowBitBtn", "3.500", "0.000", "8.00"},
                                {"ZPlowBitBtn", "4.000", "0.000", "8.20"},
                                {"ZPmediumBitBtn", "3.000", "0.000", "7.80"}};
    type(1, 0, 8, QStringLiteral("my own buffer"));
    for (const Expected& p : presets) {
        click(p.button);
        EXPECT_EQ(cell(1, 1, 1), QLatin1String(p.carbon)) << p.button;
        EXPECT_EQ(cell(1, 1, 3), QLatin1String(p.sulfide)) << p.button;
        EXPECT_EQ(cell(1, 0, 8), QStringLiteral("Yet undefined")) << p.button;
        EXPECT_EQ(PhEdit(window)->text(), QLatin1String(p.pH)) << p.button;
        EXPECT_EQ(cell(2, 1, 0), QLatin1String(p.pH)) << p.button;
    }
}

TEST_F(StartedWindow, AnEditorOpenOnACellThatAPresetRewritesShowsTheNewText) {
    type(1, 1, 1, QStringLiteral("1.5"));
    click("ZPlowBitBtn");
    // Were the editor to keep "1.5", leaving it would write it back over the preset.
    if (QLineEdit* editor = grid(1)->openEditor()) {
        EXPECT_EQ(editor->text(), QStringLiteral("4.000"));
    }
    grid(1)->commitEditor();
    EXPECT_EQ(window.form().StringGrid1.Cells(1, 1), QStringLiteral("4.000"));
}

TEST_F(StartedWindow, CO2EquilibriumAtTheTypedPhFillsTheCarbonCell) {
    TypeInto(PhEdit(window), QStringLiteral("7"));
    click("CO2EqButton");
    EXPECT_EQ(cell(1, 1, 1), QStringLiteral("0.075"));
    EXPECT_EQ(cell(2, 1, 0), QStringLiteral("7.80")) << "the initial pH stays";
    TypeInto(PhEdit(window), QStringLiteral("7.80"));
    click("CO2EqButton");
    EXPECT_EQ(cell(1, 1, 1), QStringLiteral("0.395"));
    EXPECT_TRUE(errors.empty()) << errorTexts().toStdString();
}

TEST_F(StartedWindow, ReadsTheDecimalSeparatorAgainWhenTheLocaleChanges) {
    window.form().DecimalSeparator = U'#';
    click("ZPlowBitBtn");
    ASSERT_EQ(PhEdit(window)->text(), QStringLiteral("8#20"));
    QEvent change(QEvent::LocaleChange);
    QApplication::sendEvent(&window, &change);
    click("ZPlowBitBtn");
    EXPECT_EQ(PhEdit(window)->text(), QStringLiteral("8.20")) << "the test runs under C.UTF-8";
}

} // namespace
