// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui_driver.h"
#include "qt_printers.h"
#include "window_fixture.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <functional>

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
        after->setFocus(); // no cell is being edited until the test picks one
    }
    QLineEdit* clickCell(int col, int row) {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->cellIndex(col, row)).center());
        return view->openEditor();
    }
    /// Drags the mouse from cell (@p col1, @p row1) to cell (@p col2, @p row2).
    void dragOver(int col1, int row1, int col2, int row2) {
        gui::DragOverCells(view, col1, row1, col2, row2);
    }
    QStringList row(int r) const { return {grid.Cells(0, r), grid.Cells(1, r), grid.Cells(2, r)}; }

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
    QTest::keyClicks(clickCell(1, 1), QStringLiteral("a"));
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
    dragOver(1, 1, 2, 3);
    EXPECT_EQ(view->selectionModel()->selectedIndexes().size(), 6);
    EXPECT_EQ(view->openEditor(), nullptr);
}

TEST_F(GridOnScreen, ABlockSelectedByKeysShiftClickOrADragFromTheEditorCopiesWhole) {
    // Shift with the arrows extends the range from the edited cell and opens no editor.
    clickCell(1, 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(view->openEditor(), nullptr);
    QTest::keySequence(QApplication::focusWidget(), QKeySequence::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("1,1\t2,1\n1,2\t2,2"));

    // Shift+click from the edited cell.
    clickCell(2, 1);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                      view->visualRect(view->cellIndex(1, 3)).center());
    EXPECT_EQ(view->openEditor(), nullptr);
    QTest::keySequence(QApplication::focusWidget(), QKeySequence::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("1,1\t2,1\n1,2\t2,2\n1,3\t2,3"));

    // A drag that starts on the open editor selects cells, not text.
    QLineEdit* editor = clickCell(1, 2);
    ASSERT_NE(editor, nullptr);
    const QPoint to = view->visualRect(view->cellIndex(2, 3)).center();
    QTest::mousePress(editor, Qt::LeftButton, {}, editor->rect().center());
    QMouseEvent move(QEvent::MouseMove, editor->mapFrom(view->viewport(), to),
                     view->viewport()->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(editor, &move);
    QTest::mouseRelease(editor, Qt::LeftButton, {}, editor->mapFrom(view->viewport(), to));
    EXPECT_EQ(view->openEditor(), nullptr);
    QTest::keySequence(QApplication::focusWidget(), QKeySequence::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("1,2\t2,2\n1,3\t2,3"));
}

TEST_F(GridOnScreen, EnterCommitsAndMovesDownAndAClickInTheEditorPlacesTheCursor) {
    QTest::keyClicks(clickCell(1, 1), QStringLiteral("42"));
    QTest::keyClick(view->openEditor(), Qt::Key_Return);
    EXPECT_EQ(grid.Cells(1, 1), QStringLiteral("42"));
    EXPECT_EQ(view->currentIndex(), view->cellIndex(1, 2));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->openEditor() != nullptr; }, 1000));

    // The whole text is selected; a click at its start puts the cursor there.
    QLineEdit* editor = view->openEditor();
    QTest::mouseClick(editor, Qt::LeftButton, {}, QPoint(2, editor->height() / 2));
    QTest::keyClicks(editor, QStringLiteral("x"));
    EXPECT_EQ(editor->text(), QStringLiteral("x1,2"));
}

TEST_F(GridOnScreen, ABlockPastedOverASelectedRangeStartsAtItsTopLeftCell) {
    dragOver(1, 1, 2, 2); // the current cell is now (2, 2), where the drag ended
    QApplication::clipboard()->setText(QStringLiteral("a\tb\tc\n"));
    QTest::keySequence(view, QKeySequence::Paste);
    EXPECT_EQ(row(1), (QStringList{"0,1", "a", "b"}));
    EXPECT_EQ(row(2), (QStringList{"0,2", "1,2", "2,2"}));
    EXPECT_EQ(ShownCell(view, 2, 1), QStringLiteral("b"));
    QTest::keySequence(view, QKeySequence::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("a\tb\n1,2\t2,2"));
}

TEST_F(GridOnScreen, NoWayOfPastingIntoTheEditorPutsATabOrALineBreakIntoACell) {
    // One cell copied from a spreadsheet: its text goes in at the cursor, its line end not.
    QLineEdit* editor = clickCell(1, 1);
    ASSERT_NE(editor, nullptr);
    QApplication::clipboard()->setText(QStringLiteral("7.5\r\n"));
    QTest::keySequence(editor, QKeySequence::Paste);
    EXPECT_EQ(editor->text(), QStringLiteral("7.5"));

    // A block pasted from the editor's context menu fills the grid from the editor's cell.
    QApplication::clipboard()->setText(QStringLiteral("a\tb\nc\td\n"));
    bool pasted = false;
    // The menu runs its own event loop: on each of its turns, look whether the menu is on
    // the screen yet, and use it once it is, as a user would.
    std::function<void()> useMenu = [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu || !menu->windowHandle() || !menu->windowHandle()->isExposed()) {
            QTimer::singleShot(0, useMenu);
            return;
        }
        for (QAction* action : menu->actions()) {
            if (action->text().startsWith(QStringLiteral("&Paste"))) {
                action->trigger();
                pasted = true;
            }
        }
        menu->close();
    };
    QTimer::singleShot(0, useMenu);
    const QPoint middle = editor->rect().center();
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, middle, editor->mapToGlobal(middle));
    QApplication::sendEvent(editor, &menuEvent);
    ASSERT_TRUE(pasted) << "no context menu with a Paste entry";
    EXPECT_EQ(row(1), (QStringList{"0,1", "a", "b"}));
    EXPECT_EQ(row(2), (QStringList{"0,2", "c", "d"}));
    ASSERT_NE(view->openEditor(), nullptr);
    EXPECT_EQ(view->openEditor()->text(), QStringLiteral("a"));
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

QPoint CurrentCell(const StringGridView* view) {
    return {view->currentIndex().column(), view->currentIndex().row()};
}

TEST_F(GridOnScreen, LeftAndRightLeaveTheCellAtTheTextsEdgeOrWithItAllSelected) {
    QTest::keyClicks(clickCell(1, 1), QStringLiteral("9"));
    QTest::keyClick(view->openEditor(), Qt::Key_Right); // the caret after the typed text
    EXPECT_EQ(CurrentCell(view), QPoint(2, 1));
    EXPECT_EQ(grid.Cells(1, 1), QStringLiteral("9")) << "leaving commits";
    QLineEdit* editor = view->openEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->selectedText(), QStringLiteral("2,1"));
    QTest::keyClick(editor, Qt::Key_Right);
    EXPECT_EQ(CurrentCell(view), QPoint(2, 1)) << "the last column keeps the cell";

    QTest::keyClick(editor, Qt::Key_Home);
    QTest::keyClick(editor, Qt::Key_Right);
    EXPECT_EQ(CurrentCell(view), QPoint(2, 1)) << "in the middle the caret moves";
    EXPECT_EQ(editor->cursorPosition(), 1);
    QTest::keyClick(editor, Qt::Key_Left);
    EXPECT_EQ(CurrentCell(view), QPoint(2, 1));
    EXPECT_EQ(editor->cursorPosition(), 0);
    QTest::keyClick(editor, Qt::Key_Left);
    EXPECT_EQ(CurrentCell(view), QPoint(1, 1)) << "at the start the cell is left";
    QTest::keyClick(view->openEditor(), Qt::Key_Left);
    EXPECT_EQ(CurrentCell(view), QPoint(1, 1)) << "a label column is not entered";
    EXPECT_EQ(grid.Cells(1, 1), QStringLiteral("9"));
}

TEST_F(GridOnScreen, F2PutsTheCaretAtTheEndAndCtrlHomeAndCtrlEndGoToTheCorners) {
    QLineEdit* editor = clickCell(2, 2);
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_F2);
    EXPECT_EQ(editor->selectedText(), QString());
    EXPECT_EQ(editor->cursorPosition(), 3);
    QTest::keyClick(editor, Qt::Key_End);
    EXPECT_EQ(CurrentCell(view), QPoint(2, 2)) << "End stays in the text";
    QTest::keyClick(editor, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(CurrentCell(view), QPoint(1, 1));
    QTest::keyClick(view->openEditor(), Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(CurrentCell(view), QPoint(2, 3));

    dragOver(1, 1, 2, 2);
    ASSERT_EQ(view->openEditor(), nullptr);
    QTest::keyClick(view, Qt::Key_F2);
    ASSERT_NE(view->openEditor(), nullptr) << "F2 edits the current cell of a range";
    EXPECT_EQ(view->openEditor()->cursorPosition(), view->openEditor()->text().size());
}

TEST_F(GridOnScreen, DeleteAndCtrlXEmptyASelectedBlockInOneStepAndLeaveLabelsAlone) {
    QSignalSpy cleared(view, &StringGridView::blockCleared);
    dragOver(2, 1, 2, 2);
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(row(1), (QStringList{"0,1", "1,1", ""}));
    EXPECT_EQ(row(2), (QStringList{"0,2", "1,2", ""}));
    ASSERT_EQ(cleared.size(), 1);
    EXPECT_EQ(cleared.at(0).at(0).toString(), QStringLiteral("Delete"));

    dragOver(1, 2, 1, 3);
    QTest::keyClick(view, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("1,2\n1,3"));
    EXPECT_EQ(row(2), (QStringList{"0,2", "", ""}));
    EXPECT_EQ(row(3), (QStringList{"0,3", "", "2,3"}));
    ASSERT_EQ(cleared.size(), 2);
    EXPECT_EQ(cleared.at(1).at(0).toString(), QStringLiteral("Cut"));
    EXPECT_EQ(ShownCell(view, 1, 3), QString()) << "the grid shows it";

    QTest::keyClicks(clickCell(1, 1), QStringLiteral("ab"));
    QTest::keyClick(view->openEditor(), Qt::Key_Left);
    QTest::keyClick(view->openEditor(), Qt::Key_Delete);
    EXPECT_EQ(view->openEditor()->text(), QStringLiteral("a")) << "the editor's own Delete";
    EXPECT_EQ(cleared.size(), 2);
}

class WindowGrids : public ShownWindow {
protected:
    WindowGrids() {
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    void selectBlock(int col1, int row1, int col2, int row2) {
        gui::DragOverCells(grid(1), col1, row1, col2, row2);
    }
    QStringList block() {
        QStringList texts;
        for (int r = 1; r <= 2; ++r)
            for (int c = 1; c <= 2; ++c)
                texts << window.form().StringGrid1.Cells(c, r);
        return texts;
    }
};

TEST_F(WindowGrids, DeleteAndCtrlXOnABlockAreEachUndoneByOneCtrlZ) {
    const QStringList before = block();
    ASSERT_NE(before, (QStringList{"", "", "", ""}));
    for (const QKeySequence& key : std::initializer_list<QKeySequence>{
             QKeySequence(Qt::Key_Delete), QKeySequence(QKeySequence::Cut)}) {
        selectBlock(1, 1, 2, 2);
        QTest::keySequence(QApplication::focusWidget(), key);
        EXPECT_EQ(block(), (QStringList{"", "", "", ""})) << key.toString().toStdString();
        EXPECT_TRUE(window.isWindowModified());
        QTest::keySequence(QApplication::focusWidget(), QKeySequence(Qt::CTRL | Qt::Key_Z));
        EXPECT_EQ(block(), before) << key.toString().toStdString() << " undone at once";
        EXPECT_EQ(cell(1, 2, 2), before[3]) << "the grid shows it";
    }
}

TEST_F(WindowGrids, ScreenReadersHearTheGridsNamesHeadersAndCellsInWords) {
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(grid(1));
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->text(QAccessible::Name), QStringLiteral("Buffer systems"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(grid(2))->text(QAccessible::Name),
              QStringLiteral("Water conditions"));
    ASSERT_NE(table->tableInterface(), nullptr);

    window.form().StringGrid1.Cells(0, 3) = QStringLiteral("Ammonia");
    window.form().StringGrid1.Cells(1, 3) = QStringLiteral("2.565");
    grid(1)->sync();
    QAccessibleInterface* cell = table->tableInterface()->cellAt(3, 1);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->text(QAccessible::Name), QStringLiteral("Ammonia, Conc. [mM], 2.565"));
    const QList<QAccessibleInterface*> headers = cell->tableCellInterface()->columnHeaderCells();
    ASSERT_EQ(headers.size(), 1);
    EXPECT_EQ(headers[0]->text(QAccessible::Name), QStringLiteral("Conc. [mM]"));
    const QList<QAccessibleInterface*> labels = cell->tableCellInterface()->rowHeaderCells();
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0]->text(QAccessible::Name), QStringLiteral("Ammonia"));

    QAccessibleInterface* henry =
        QAccessible::queryAccessibleInterface(grid(2))->tableInterface()->cellAt(1, 1);
    EXPECT_EQ(henry->text(QAccessible::Name),
              QStringLiteral("Henry\u00B4s constant [atm/(mole fraction)], 1640"));
}

} // namespace
