// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_fixture.h"

#include "app/window_layout.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTimer>
#include <QValueAxis>
#include <QWindow>

#include <algorithm>

using namespace phbuffer;
using namespace phbuffer::app;
using namespace phbuffer::app::gui;

namespace {

using StartedWindow = ShownWindow;

// ---- start-up ----------------------------------------------------------------------------

TEST_F(StartedWindow, ShowsTheFormAsItIsAfterStart) {
    // What the texts are is the form's business; the window shows every one of them.
    const ui::TpHmainForm& form = window.form();
    for (int n : {1, 2}) {
        const ui::StringGrid& cells = n == 1 ? form.StringGrid1 : form.StringGrid2;
        for (int r = 0; r < cells.RowCount; ++r)
            for (int c = 0; c < cells.ColCount; ++c)
                EXPECT_EQ(cell(n, c, r), cells.Cells(c, r)) << "grid " << n << " " << c << "," << r;
    }
    EXPECT_FALSE(cell(1, 1, 1).isEmpty());
    EXPECT_EQ(PhEdit(window)->text(), form.phEqEdit.Text);
    EXPECT_EQ(labelText(), form.Label1.Caption);
    EXPECT_TRUE(RadioItem(window, form.WhatToShowRadioGroup.ItemIndex)->isChecked());
    EXPECT_EQ(window.windowHandle()->title(), ui::TpHmainForm::Caption);
    EXPECT_EQ(chart()->chart()->title(), form.Chart1.Title);
    EXPECT_EQ(chart()->bottomAxis()->titleText(), form.Chart1.BottomAxisTitle);
    EXPECT_EQ(chart()->titrationSeries()->count(), 0);
}

TEST_F(StartedWindow, LaysOutEveryComponentInsideItsPanelWithoutOverlapAndTheChartAbove) {
    // The menu bar above and the status bar below the client area, which keeps its size.
    const int menuHeight = window.findChild<QMenuBar*>()->height();
    const int statusHeight = window.findChild<QStatusBar*>()->height();
    EXPECT_EQ(window.size(), layout::kClientSize + QSize(0, menuHeight + statusHeight));
    EXPECT_EQ(window.font().pixelSize(), 11);
    const QWidget* panel1 = button("DoTitrationButton")->parentWidget();
    const QWidget* panel2 = grid(1)->parentWidget();
    EXPECT_EQ(panel1->geometry(), QRect(0, window.height() - statusHeight - layout::kPanel1Height,
                                        window.width(), layout::kPanel1Height));
    const auto inWindow = [this](const QWidget* w) {
        return QRect(w->mapTo(&window, QPoint(0, 0)), w->size());
    };
    EXPECT_EQ(inWindow(panel2),
              QRect(0, panel1->y() - layout::kPanel2Height, window.width(), layout::kPanel2Height));
    EXPECT_EQ(chart()->geometry(),
              QRect(0, menuHeight, window.width(), inWindow(panel2).y() - menuHeight));
    EXPECT_EQ(button("DoTitrationButton")->geometry(), QRect(1101, 6, 105, 25));
    for (const QWidget* panel : {panel1, panel2}) {
        const QList<QWidget*> parts = panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        EXPECT_GE(parts.size(), panel == panel1 ? 4 : 13);
        for (const QWidget* part : parts) {
            EXPECT_TRUE(panel->rect().contains(part->geometry()))
                << part->objectName().toStdString();
            for (const QWidget* other : parts)
                EXPECT_TRUE(part == other || !part->geometry().intersects(other->geometry()))
                    << part->objectName().toStdString() << " on "
                    << other->objectName().toStdString();
        }
    }

    // Grids of the form's sizes, each cell with its grid line; every cell in sight.
    const ui::TpHmainForm& form = window.form();
    for (int n : {1, 2}) {
        const ui::StringGrid& cells = n == 1 ? form.StringGrid1 : form.StringGrid2;
        EXPECT_EQ(grid(n)->width(), cells.Width) << "grid " << n;
        for (int c = 0; c < cells.ColCount; ++c)
            EXPECT_EQ(grid(n)->columnWidth(c), cells.ColWidths[c] + 1);
        for (int r = 0; r < cells.RowCount; ++r)
            EXPECT_EQ(grid(n)->rowHeight(r), cells.RowHeights[r] + 1);
        EXPECT_FALSE(grid(n)->horizontalScrollBar()->isVisible()) << "grid " << n;
        EXPECT_FALSE(grid(n)->verticalScrollBar()->isVisible()) << "grid " << n;
    }

    // Larger: the chart takes the room, Run keeps to the right edge.
    window.resize(1600, 1000);
    QTRY_COMPARE(chart()->size(),
                 QSize(1600, 1000 - layout::kPanel1Height - layout::kPanel2Height));
    EXPECT_EQ(button("DoTitrationButton")->geometry().right(), 1600 - 13);

    // At the smallest size every control can be seen, the input panel scrolled to it.
    window.resize(100, 100);
    QTRY_COMPARE(window.size(), layout::kMinimumClientSize);
    EXPECT_GE(chart()->height(), 150);
    auto* scroller = qobject_cast<QScrollArea*>(panel2->parentWidget()->parentWidget());
    ASSERT_NE(scroller, nullptr);
    for (QWidget* part : panel1->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        EXPECT_TRUE(window.rect().contains(inWindow(part))) << part->objectName().toStdString();
    for (QWidget* part : panel2->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        scroller->ensureWidgetVisible(part);
        EXPECT_TRUE(inWindow(scroller->viewport()).contains(inWindow(part)))
            << part->objectName().toStdString();
    }
}

TEST_F(StartedWindow, StartsTypingInTheFirstEditableCellWithOnlyThatCellLookingSelected) {
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid(1)->openEditor() != nullptr; }, 1000));
    EXPECT_EQ(grid(1)->currentIndex(), grid(1)->cellIndex(0, 1));
    EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(grid(1)->openEditor()));
    // The other grid's current cell is drawn as any other cell.
    const QRect current = grid(2)->visualRect(grid(2)->currentIndex());
    const QImage shown = grid(2)->viewport()->grab().toImage();
    EXPECT_NE(shown.pixelColor(current.right() - 3, current.center().y()),
              grid(2)->palette().color(QPalette::Highlight));
}

TEST_F(StartedWindow, TabGoesThroughTheButtonBarThenTheInputPanel) {
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    button("DoTitrationButton")->setFocus();
    const QStringList expected = {
        "DoTitrationButton", "CopyToClipButton",   "ExportPlotDataBitBtn",
        "ClearGraphButton",  "SaveGraphButton",    "PrintGraphButton",
        "StringGrid1",       "StringGrid2",        "WhatToShowRadioGroupItem0",
        "CO2EqButton",       "phEqEdit",           "ZPmediumBitBtn",
        "ZPhighBitBtn",      "ZPmediumhighBitBtn", "ZPmediumlowBitBtn",
        "ZPlowBitBtn",       "SaveDataBitBtn",     "GetDataBitBtn",
        "DoTitrationButton"};
    QStringList visited;
    for (int i = 0; i < expected.size(); ++i) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        for (QWidget* w = focus; w; w = w->parentWidget()) // a grid's focus is in its editor
            if (qobject_cast<StringGridView*>(w))
                focus = w;
        visited << focus->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(visited, expected);
}

// ---- grid input and the run ---------------------------------------------------------------

TEST_F(StartedWindow, TypedCellsReachTheRunEvenWithAnEditorStillOpen) {
    // Pure water from pH 7 to 4.5 takes 32 acid steps, each moving the pH by more than
    // 0.01: 0.03 mmol/L of acid, 34 titration points and 32 buffer capacity points.
    for (int r = 1; r <= 9; ++r)
        type(1, 1, r, QStringLiteral("0"));
    // A button that takes no focus leaves the last editor open and uncommitted.
    button("DoTitrationButton")->setFocusPolicy(Qt::NoFocus);
    type(2, 1, 0, QStringLiteral("7"));
    ASSERT_NE(grid(2)->openEditor(), nullptr);

    ASSERT_TRUE(RunAndWait(window));
    EXPECT_TRUE(errors.empty()) << errorTexts().toStdString();
    EXPECT_EQ(labelText(), QStringLiteral("H+ used to reach lower target: 0.03"));
    EXPECT_EQ(chart()->titrationSeries()->count(), 34);
    EXPECT_EQ(chart()->bufferStrengthSeries()->count(), 32);
    EXPECT_EQ(chart()->titrationSeries()->at(0), QPointF(0, 7));
    EXPECT_FALSE(window.progressDialog()) << "a short run shows no dialog";
}

TEST_F(StartedWindow, SwitchingTheViewRestoresTitlesAndCurvesWithoutANewRun) {
    click("ZPlowBitBtn");
    ASSERT_TRUE(RunAndWait(window));
    EXPECT_EQ(labelText(), QStringLiteral("H+ used to reach lower target: 4.24"));
    const QList<QPointF> titration = chart()->titrationSeries()->points();
    const QList<QPointF> buffer = chart()->bufferStrengthSeries()->points();
    // The axes fit the titration curve with room around it: acid from 0 to 4.24, pH from
    // 0 up to 8.2 and on to the next label.
    EXPECT_GT(chart()->bottomAxis()->max(), 4.24);
    EXPECT_LT(chart()->bottomAxis()->max(), 4.24 + 0.2);
    EXPECT_DOUBLE_EQ(chart()->leftAxis()->max(), 9);
    type(1, 1, 4, QStringLiteral("x")); // a new run would now fail
    // and the curves shown belong to the water before that edit, as their titles say
    const QString before = QStringLiteral(" (before the last change)");

    Click(RadioItem(window, 1));
    EXPECT_EQ(chart()->chart()->title(), QStringLiteral("Buffer capacity") + before);
    EXPECT_EQ(chart()->bottomAxis()->titleText(), QStringLiteral("pH [-]"));
    EXPECT_EQ(chart()->leftAxis()->titleText(),
              QStringLiteral("Buffer capacity [mmol H+/pH-unit]"));
    EXPECT_FALSE(chart()->titrationSeries()->isVisible());
    EXPECT_EQ(chart()->bufferStrengthSeries()->points(), buffer);
    EXPECT_NEAR(chart()->bottomAxis()->min(), buffer.front().x(), 0.1);
    EXPECT_LT(chart()->bottomAxis()->min(), buffer.front().x());
    EXPECT_NEAR(chart()->bottomAxis()->max(), buffer.back().x(), 0.1);
    EXPECT_GT(chart()->bottomAxis()->max(), buffer.back().x());

    Click(RadioItem(window, 0));
    EXPECT_EQ(chart()->chart()->title(), QStringLiteral("Titration curve") + before);
    EXPECT_EQ(chart()->bottomAxis()->titleText(), QStringLiteral("Added H+ [mmol/L]"));
    EXPECT_EQ(chart()->leftAxis()->titleText(), QStringLiteral("pH [-]"));
    EXPECT_FALSE(chart()->bufferStrengthSeries()->isVisible());
    EXPECT_EQ(chart()->titrationSeries()->points(), titration);
    EXPECT_TRUE(errors.empty()) << errorTexts().toStdString();

    click("ClearGraphButton");
    EXPECT_EQ(chart()->titrationSeries()->count(), 0);
    EXPECT_EQ(chart()->bufferStrengthSeries()->count(), 0);
    EXPECT_EQ(chart()->chart()->title(), QStringLiteral("Titration curve") + before);
}

// ---- failures ----------------------------------------------------------------------------

TEST_F(StartedWindow, ABadCellShowsTheErrorBoxAndStartsNoRun) {
    ASSERT_TRUE(RunAndWait(window));
    const QList<QPointF> before = chart()->titrationSeries()->points();
    const QString label = labelText();

    type(1, 1, 5, QStringLiteral("abc"));
    type(2, 1, 2, QStringLiteral("426")); // the user has gone on elsewhere
    ASSERT_TRUE(RunAndWait(window));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].title, QStringLiteral("pH and buffer system calculator"));
    EXPECT_EQ(errors[0].text, QStringLiteral("'abc' is not a valid floating point value."));
    // The box points at the cell: selected, in sight, with the focus.
    EXPECT_TRUE(grid(1)->isAncestorOf(errors[0].focus));
    EXPECT_EQ(grid(1)->currentIndex(), grid(1)->cellIndex(1, 5));
    EXPECT_EQ(grid(1)->selectionModel()->selectedIndexes(),
              QModelIndexList{grid(1)->cellIndex(1, 5)});
    EXPECT_EQ(chart()->titrationSeries()->points(), before) << "the chart keeps the last run";
    EXPECT_EQ(labelText(), label + QStringLiteral(" (before the last change)"));
    // The window stays usable.
    click("ZPmediumBitBtn");
    EXPECT_EQ(cell(1, 1, 5), QStringLiteral("2.565"));
}

TEST_F(StartedWindow, APkaThatCountsAsAbsentOnlyBecauseItIsNoNumberIsTintedWithATooltip) {
    const QModelIndex pKa = grid(1)->cellIndex(2, 2);
    EXPECT_FALSE(pKa.data(Qt::ToolTipRole).isValid());
    type(1, 2, 2, QStringLiteral("4,76"));
    grid(1)->commitEditor();
    EXPECT_TRUE(pKa.data(Qt::ToolTipRole).toString().contains(QStringLiteral("absent")));
    EXPECT_TRUE(pKa.data(Qt::BackgroundRole).isValid());

    // A new separator takes the tint away from a text that did not change, and the cell
    // is told so: nothing else repaints the grid.
    const QModelIndex dotted = grid(1)->cellIndex(2, 3);
    window.form().DecimalSeparator = U'#';
    type(1, 2, 3, QStringLiteral("4.76"));
    grid(1)->commitEditor();
    ASSERT_TRUE(dotted.data(Qt::BackgroundRole).isValid());
    QSignalSpy changed(grid(1)->model(), &QAbstractItemModel::dataChanged);
    QEvent change(QEvent::LocaleChange);
    QApplication::sendEvent(&window, &change);
    EXPECT_FALSE(dotted.data(Qt::BackgroundRole).isValid());
    EXPECT_TRUE(std::any_of(changed.begin(), changed.end(), [&](const QList<QVariant>& args) {
        return args[0].toModelIndex() == dotted &&
               args[2].value<QList<int>>().contains(Qt::BackgroundRole);
    }));
}

TEST_F(StartedWindow, AFailedHandlerShowsWhatItAssignedBeforeTheFailure) {
    // Henry's constant 0 stops the CO2 equilibrium after the grids were read.
    type(2, 1, 1, QStringLiteral("0"));
    type(1, 1, 1, QStringLiteral("9"));
    click("CO2EqButton");
    ASSERT_EQ(errors.size(), 1u);
    // It ends in a quote, a character below the full stop: nothing is appended.
    EXPECT_EQ(errors[0].text, QStringLiteral("\"Henry\u00B4s constant [atm/(mole fraction)]\" "
                                             "must be above 0, not '0'"));
    EXPECT_DOUBLE_EQ(window.form().State.Conc[0], 0.009);
}

TEST(ErrorBox, IsAModalBoxWithAnErrorIconCaptionedWithTheApplicationTitle) {
    MainWindow window; // the default presenter
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(TypeIntoCell(GridNumber(window, 2), 1, 3, QStringLiteral("<b>low</b>")));
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::TextFormat format = Qt::AutoText;
    // The box comes when the run has ended, at once or a moment later: look for it until
    // it is there, then read it and press its button.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &window, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll.stop();
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        format = box->textFormat();
        QTest::mouseClick(box->buttons().value(0), Qt::LeftButton);
    });
    poll.start(10);
    ASSERT_TRUE(RunAndWait(window));
    EXPECT_EQ(title, QStringLiteral("pH and buffer system calculator"));
    EXPECT_EQ(text, QStringLiteral("'<b>low</b>' is not a valid floating point value."));
    EXPECT_EQ(format, Qt::PlainText) << "the typed text is shown as typed, not as markup";
    EXPECT_EQ(icon, QMessageBox::Critical);
}

// ---- presets, CO2, locale ----------------------------------------------------------------

TEST_F(StartedWindow, EachPresetButtonSendsItselfToTheSharedHandler) {
    const std::pair<const char*, const char*> presets[] = {{"ZPhighBitBtn", "7.20"},
                                                           {"ZPmediumhighBitBtn", "7.40"},
                                                           {"ZPmediumlowBitBtn", "8.00"},
                                                           {"ZPlowBitBtn", "8.20"},
                                                           {"ZPmediumBitBtn", "7.80"}};
    for (const auto& [name, pH] : presets) {
        click(name);
        EXPECT_EQ(PhEdit(window)->text(), QLatin1String(pH)) << name;
        EXPECT_EQ(cell(2, 1, 0), QLatin1String(pH)) << name;
    }
}

TEST_F(StartedWindow, CO2EquilibriumAtTheTypedPhFillsTheCarbonCell) {
    TypeInto(PhEdit(window), QStringLiteral("7"));
    click("CO2EqButton");
    EXPECT_EQ(cell(1, 1, 1), QStringLiteral("0.075"));
    EXPECT_EQ(cell(2, 1, 0), QStringLiteral("7.80")) << "the initial pH stays";
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
