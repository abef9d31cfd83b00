// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui_driver.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace phbuffer;
using namespace phbuffer::app;
using namespace phbuffer::app::gui;

namespace {

/// A 3 x 4 grid with a fixed header row and a fixed label column, cells reading "c,r",
/// in an active window with a button after it in the tab order.
class GridOnScreen : public ::testing::Test {
protected:
    GridOnScreen() : grid("TestGrid", 3, 4, 1, 1) {
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 3; ++c)
                grid.Cells(c, r) = QStringLiteral("%1,%2").arg(c).arg(r);
        grid.ColWidths = {80, 50, 50};
        grid.Width = 190;
        view = new StringGridView(grid, &window);
        view->setGeometry(4, 4, 100, 120);
        after = new QPushButton(QStringLiteral("after"), &window);
        after->setGeometry(4, 130, 80, 25);
        view->sync();
        window.show();
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    QLineEdit* clickCell(int col, int row) {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->cellIndex(col, row)).center());
        return view->openEditor();
    }

    ui::StringGrid grid;
    QWidget window;
    StringGridView* view;
    QPushButton* after;
};

TEST_F(GridOnScreen, AClickEditsTheCellWithItsTextSelectedSoTypingReplacesIt) {
    EXPECT_EQ(ShownCell(view, 2, 1), QStringLiteral("2,1")) << "cells by column, then row";
    EXPECT_EQ(view->width(), 190) << "the form's width";
    QLineEdit* editor = clickCell(2, 2);
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, QStringLiteral("7.5"));
    EXPECT_EQ(grid.Cells(2, 2), QStringLiteral("2,2")) << "not committed yet";
    view->commitEditor();
    EXPECT_EQ(grid.Cells(2, 2), QStringLiteral("7.5"));
    EXPECT_EQ(view->openEditor(), editor) << "the editor stays open";
}

TEST_F(GridOnScreen, FixedCellsCanBeNeitherEditedNorSelected) {
    for (const auto& [c, r] : {std::pair{0, 0}, {1, 0}, {0, 2}}) {
        EXPECT_EQ(clickCell(c, r), nullptr) << c << "," << r;
        EXPECT_FALSE(view->model()->setData(view->cellIndex(c, r), QStringLiteral("x")));
        EXPECT_EQ(grid.Cells(c, r), QStringLiteral("%1,%2").arg(c).arg(r));
    }
}

TEST_F(GridOnScreen, KeysCommitOrRestoreAndTheEditorStaysShown) {
    QTest::keyClicks(clickCell(1, 1), QStringLiteral("42"));
    QTest::keyClick(view->openEditor(), Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return grid.Cells(1, 1) == QStringLiteral("42"); }, 1000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->openEditor() != nullptr; }, 1000));

    QTest::keyClicks(view->openEditor(), QStringLiteral("a"));
    QTest::keyClick(view->openEditor(), Qt::Key_Down);
    EXPECT_EQ(grid.Cells(1, 1), QStringLiteral("a")) << "moving on commits";
    ASSERT_NE(view->openEditor(), nullptr);
    EXPECT_EQ(view->openEditor()->text(), QStringLiteral("1,2"));

    QTest::keyClicks(view->openEditor(), QStringLiteral("oops"));
    QTest::keyClick(view->openEditor(), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_EQ(grid.Cells(1, 2), QStringLiteral("1,2"));

    QTest::keyClicks(clickCell(2, 3), QStringLiteral("9"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(grid.Cells(2, 3), QStringLiteral("9"));
    EXPECT_EQ(QApplication::focusWidget(), after) << "Tab leaves the grid";
}

TEST_F(GridOnScreen, DraggingSelectsARangeWithoutAnEditor) {
    const QPoint from = view->visualRect(view->cellIndex(1, 1)).center();
    const QPoint to = view->visualRect(view->cellIndex(2, 3)).center();
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, to, view->viewport()->mapToGlobal(to), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, to);
    EXPECT_EQ(view->selectionModel()->selectedIndexes().size(), 6);
    EXPECT_EQ(view->openEditor(), nullptr);
}

TEST_F(GridOnScreen, SyncRefreshesAnOpenEditorOnlyWhenItsOwnCellChanged) {
    QLineEdit* editor = clickCell(1, 1);
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, QStringLiteral("typed"));
    view->commitEditor();
    editor->setCursorPosition(2);
    grid.Cells(2, 2) = QStringLiteral("elsewhere");
    view->sync();
    EXPECT_EQ(ShownCell(view, 2, 2), QStringLiteral("elsewhere"));
    EXPECT_EQ(editor->cursorPosition(), 2) << "its cell unchanged, the editor is left alone";
    grid.Cells(1, 1) = QStringLiteral("replaced");
    view->sync();
    EXPECT_EQ(editor->text(), QStringLiteral("replaced"));
}

TEST_F(GridOnScreen, AFrozenGridReadsNoCellAndTakesNoEdit) {
    view->gridModel()->setFrozen(true);
    grid.Cells(1, 1) = QStringLiteral("written by a run");
    EXPECT_EQ(ShownCell(view, 1, 1), QStringLiteral("1,1"));
    EXPECT_EQ(clickCell(2, 2), nullptr);
    EXPECT_FALSE(view->model()->setData(view->cellIndex(1, 2), QStringLiteral("x")));
    EXPECT_EQ(grid.Cells(1, 2), QStringLiteral("1,2"));
}

} // namespace
