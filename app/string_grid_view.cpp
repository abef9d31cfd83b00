// SPDX-License-Identifier: GPL-3.0-or-later
#include "string_grid_view.h"

#include "cell_delegate.h"
#include "string_grid_model.h"

#include "ui/cell_block.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>
#include <utility>

namespace phbuffer::app {

StringGridView::StringGridView(ui::StringGrid& grid, QWidget* parent)
    : QTableView(parent), grid_(grid), model_(new StringGridModel(grid, this)) {
    setObjectName(grid.Name);
    setModel(model_);
    setItemDelegate(new CellDelegate(this));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setShowGrid(true);
    setGridStyle(Qt::SolidLine);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    // Mouse and arrow keys open the editor through currentChanged and the mouse handlers;
    // these triggers cover a cell whose editor was closed with Enter or Escape.
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
}

QModelIndex StringGridView::cellIndex(int col, int row) const {
    return model_->index(row, col);
}

void StringGridView::sync() {
    model_->sync();
    // The form's widths and heights are those of the cells' contents; each section also
    // holds the grid line on its right or bottom edge.
    for (int c = 0; c < grid_.ColCount; ++c)
        setColumnWidth(c, grid_.ColWidths[static_cast<std::size_t>(c)] + 1);
    for (int r = 0; r < grid_.RowCount; ++r)
        setRowHeight(r, grid_.RowHeights[static_cast<std::size_t>(r)] + 1);
    if (width() != grid_.Width)
        resize(grid_.Width, height());
    if (!currentIndex().isValid())
        setCurrentIndex(cellIndex(grid_.FixedCols, grid_.FixedRows));
}

QLineEdit* StringGridView::openEditor() const {
    return qobject_cast<QLineEdit*>(indexWidget(currentIndex()));
}

void StringGridView::commitEditor() {
    if (QLineEdit* editor = openEditor())
        commitData(editor);
}

void StringGridView::leaveByTab(bool forward) {
    leaving_ = true;
    focusNextPrevChild(forward);
    leaving_ = false;
}

bool StringGridView::editorWanted() const {
    return hasFocus() && !mouseSelecting_ && !keyboardExtending_ && !leaving_ && !rangeSelected_;
}

bool StringGridView::ownsFocus() const {
    const QWidget* focus = QApplication::focusWidget();
    return focus && (focus == this || isAncestorOf(focus));
}

void StringGridView::commitAndMoveDown(QWidget* editor) {
    commitData(editor);
    const QModelIndex current = currentIndex();
    const QModelIndex below = cellIndex(current.column(), current.row() + 1);
    if (below.isValid())
        selectionModel()->setCurrentIndex(below, QItemSelectionModel::ClearAndSelect);
}

void StringGridView::dragFromEditor(QWidget*, const QPoint& viewportPos) {
    const QModelIndex anchor = currentIndex();
    QModelIndex over = indexAt(viewportPos);
    if (!over.isValid() || !anchor.isValid())
        return;
    // The range keeps to the editable cells, as a drag over the cells does.
    const int top = std::max(std::min(anchor.row(), over.row()), grid_.FixedRows);
    const int left = std::max(std::min(anchor.column(), over.column()), grid_.FixedCols);
    const int bottom = std::max(anchor.row(), over.row());
    const int right = std::max(anchor.column(), over.column());
    selectionModel()->select(QItemSelection(cellIndex(left, top), cellIndex(right, bottom)),
                             QItemSelectionModel::ClearAndSelect);
}

void StringGridView::endDragFromEditor(QWidget* editor) {
    commitData(editor);
    if (selectionModel()->selectedIndexes().size() <= 1)
        return; // back on its own cell: the editor stays
    rangeSelected_ = true;
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    setFocus(Qt::MouseFocusReason);
}

void StringGridView::showEditorAtCurrentIfWanted() {
    if (editorWanted())
        showEditorAtCurrent();
}

void StringGridView::showEditorAtCurrent() {
    const QModelIndex current = currentIndex();
    if (current.isValid() && state() != QAbstractItemView::EditingState &&
        (model_->flags(current) & Qt::ItemIsEditable))
        edit(current, QAbstractItemView::AllEditTriggers, nullptr);
}

void StringGridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    // The base class commits and closes the editor of the previous cell.
    QTableView::currentChanged(current, previous);
    if (!mouseSelecting_ && !keyboardExtending_)
        rangeSelected_ = false;
    if (editorWanted())
        showEditorAtCurrent();
}

void StringGridView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    QTableView::closeEditor(editor, hint);
    // Enter and Escape close the editor but leave the focus on the grid: show it again,
    // with the committed (or the restored) text.
    if (editorWanted())
        showEditorAtCurrent();
}

void StringGridView::mousePressEvent(QMouseEvent* event) {
    mouseSelecting_ = true;
    // A Shift+click extends the range from the cell being edited: its editor goes first,
    // or it would keep the focus and Ctrl+C would copy its text alone.
    if (event->modifiers() & Qt::ShiftModifier) {
        if (QLineEdit* editor = openEditor()) {
            commitData(editor);
            QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
        setFocus(Qt::MouseFocusReason);
    }
    QTableView::mousePressEvent(event);
}

void StringGridView::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    mouseSelecting_ = false;
    // A click selects one cell and edits it; a drag over several cells selects a range.
    rangeSelected_ = selectionModel()->selectedIndexes().size() > 1;
    showEditorAtCurrentIfWanted();
}

QRect StringGridView::selectedBox() const {
    QModelIndexList cells = selectionModel()->selectedIndexes();
    if (cells.isEmpty() && currentIndex().isValid())
        cells << currentIndex();
    if (cells.isEmpty())
        return {};
    // The selection is one range; fixed cells inside it are not selectable, so the block
    // is the box around the selected cells.
    int left = cells[0].column(), right = left, top = cells[0].row(), bottom = top;
    for (const QModelIndex& cell : cells) {
        left = std::min(left, cell.column());
        right = std::max(right, cell.column());
        top = std::min(top, cell.row());
        bottom = std::max(bottom, cell.row());
    }
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

void StringGridView::copySelection() {
    const QRect box = selectedBox();
    if (!box.isValid())
        return;
    // The texts on screen, as the user sees them.
    QList<QStringList> rows;
    for (int r = box.top(); r <= box.bottom(); ++r) {
        QStringList& fields = rows.emplace_back();
        for (int c = box.left(); c <= box.right(); ++c)
            fields << cellIndex(c, r).data().toString();
    }
    QGuiApplication::clipboard()->setText(ui::joinCellBlock(rows));
}

void StringGridView::cutSelection() {
    copySelection();
    clearSelected(tr("Cut"));
}

void StringGridView::deleteSelection() {
    clearSelected(tr("Delete"));
}

void StringGridView::clearSelected(const QString& change) {
    const QRect box = selectedBox();
    if (!box.isValid())
        return;
    if (ui::clearCellBlock(grid_, box.left(), box.top(), box.right(), box.bottom()).isEmpty())
        return;
    model_->sync();
    emit blockCleared(change);
}

void StringGridView::moveFromEditor(QWidget* editor, int cols, int rows) {
    const QModelIndex current = currentIndex();
    moveFromEditorTo(editor, current.column() + cols, current.row() + rows);
}

void StringGridView::moveToCorner(QWidget* editor, bool last) {
    if (last)
        moveFromEditorTo(editor, grid_.ColCount - 1, grid_.RowCount - 1);
    else
        moveFromEditorTo(editor, grid_.FixedCols, grid_.FixedRows);
}

void StringGridView::moveFromEditorTo(QWidget* editor, int col, int row) {
    const QModelIndex target = cellIndex(col, row);
    if (!target.isValid() || model_->isFixed(col, row) || target == currentIndex())
        return;
    commitData(editor);
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
    scrollTo(target);
}

void StringGridView::pasteBlock(const QString& text) {
    // A spreadsheet pastes into the top left cell of the range selected, wherever the
    // current cell is within it.
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    QModelIndex target = selected.isEmpty() ? currentIndex() : selected.constFirst();
    for (const QModelIndex& cell : selected)
        if (std::pair(cell.row(), cell.column()) < std::pair(target.row(), target.column()))
            target = cell;
    if (!target.isValid())
        return;
    ui::pasteCellBlock(grid_, target.column(), target.row(), text);
    model_->sync();
    emit blockPasted();
}

void StringGridView::showCell(int col, int row) {
    const QModelIndex cell = cellIndex(col, row);
    rangeSelected_ = false;
    setFocus(Qt::OtherFocusReason);
    selectionModel()->setCurrentIndex(cell, QItemSelectionModel::ClearAndSelect);
    scrollTo(cell);
}

void StringGridView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        pasteBlock(QGuiApplication::clipboard()->text());
        return;
    }
    if (event->matches(QKeySequence::Cut)) {
        cutSelection();
        return;
    }
    if (event->matches(QKeySequence::Delete) && selectionModel()->selectedIndexes().size() > 1) {
        deleteSelection();
        return;
    }
    if (event->key() == Qt::Key_F2 && event->modifiers() == Qt::NoModifier) {
        // F2 edits the current cell with the caret after its text, as in a spreadsheet.
        rangeSelected_ = false;
        selectionModel()->select(currentIndex(), QItemSelectionModel::ClearAndSelect);
        showEditorAtCurrent();
        if (QLineEdit* editor = openEditor())
            editor->end(false);
        return;
    }
    keyboardExtending_ = event->modifiers() & Qt::ShiftModifier;
    QTableView::keyPressEvent(event);
    keyboardExtending_ = false;
    rangeSelected_ = selectionModel()->selectedIndexes().size() > 1;
    showEditorAtCurrentIfWanted();
}

void StringGridView::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    // A click opens the editor when the button is released, on the cell clicked.
    if (event->reason() != Qt::MouseFocusReason && event->reason() != Qt::PopupFocusReason)
        showEditorAtCurrentIfWanted();
}

void StringGridView::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    viewport()->update(); // the selection no longer looks selected
}

} // namespace phbuffer::app
