// SPDX-License-Identifier: GPL-3.0-or-later
//
// A string grid of the form drawn as a Qt table. Cells keep the form's addressing,
// (column, row) with row 0 and column 0 included; fixed cells (headers, labels) are grey
// and can't be selected or edited; the current cell shows its editor. Blocks of cells go
// to and from the clipboard as TAB-separated lines, the way spreadsheets exchange them.
#pragma once

#include "ui/components.h"

#include <QTableView>

class QLineEdit;

namespace phbuffer::app {

class StringGridModel;

/// The grid as the user sees it: all grid lines, range selection with the mouse, in-place
/// editing with the editor shown whenever a cell becomes current while the grid has the
/// focus. Tab leaves the grid for the next control, as it does on every other control.
class StringGridView : public QTableView {
    Q_OBJECT
public:
    /// The view of @p grid; its height is the layout's, its width and the sizes of its
    /// cells the form's (see sync()).
    StringGridView(ui::StringGrid& grid, QWidget* parent = nullptr);

    /// Shows the form's cell texts, column widths, row heights and grid width.
    void sync();
    /// Writes the text of an open cell editor into the form's cell. The editor stays open.
    void commitEditor();
    /// The cell editor that is open, or null.
    QLineEdit* openEditor() const;
    /// The model index of cell (@p col, @p row).
    QModelIndex cellIndex(int col, int row) const;
    StringGridModel* gridModel() const { return model_; }

    /// Moves the focus out of the grid to the next (or previous) control of the tab order.
    void leaveByTab(bool forward);
    /// Enter in the editor @p editor: its text is committed and the cell below becomes
    /// current, as in a spreadsheet; in the last row the cell stays current.
    void commitAndMoveDown(QWidget* editor);
    /// A drag that began on the editor @p editor has reached @p viewportPos: the range from
    /// the editor's cell to the cell there is selected, as a drag over cells selects it.
    void dragFromEditor(QWidget* editor, const QPoint& viewportPos);
    /// The drag from @p editor has ended over another cell: the editor's text is committed
    /// and it closes, leaving the range selected.
    void endDragFromEditor(QWidget* editor);
    /// Whether the keyboard focus is on the grid or its editor. Only then do selected cells
    /// look selected, so that of the two grids only the one being typed into shows any.
    bool ownsFocus() const;

    /// Puts the selected cells (the current one when none is selected) on the clipboard
    /// as TAB-separated lines. Ctrl+C on the grid; an open editor copies its own text.
    void copySelection();
    /// Pastes the block @p text (TAB-separated lines) into the form's cells, as if each
    /// field had been typed into its cell, with its first field at the top left of the
    /// selection, clipped to the grid; fixed cells keep their texts. Ctrl+V on the grid
    /// or in its editor.
    void pasteBlock(const QString& text);
    /// Copies the selected cells as copySelection() does, then empties them as
    /// deleteSelection() does. Ctrl+X on a selected range.
    void cutSelection();
    /// Empties the selected cells (the current one when none is selected); fixed cells
    /// keep their texts, as a paste leaves them. Delete on a selected range; in an open
    /// editor Delete and Ctrl+X work on its text.
    void deleteSelection();
    /// Leaves the cell of the editor @p editor for its neighbour @p cols columns and
    /// @p rows rows away, committing the editor's text; at the grid's edge, and towards a
    /// fixed cell, the cell stays current. Left and Right at the edge of the editor's text.
    void moveFromEditor(QWidget* editor, int cols, int rows);
    /// Commits the editor @p editor and makes the first editable cell (@p last false) or
    /// the last cell (@p last true) current, as Ctrl+Home and Ctrl+End do in a spreadsheet.
    void moveToCorner(QWidget* editor, bool last);
    /// Makes cell (@p col, @p row) the current and only selected cell, scrolled into sight,
    /// and gives the grid the focus, so the user sees the cell an error is about.
    void showCell(int col, int row);
    /// Installs @p filter on every cell editor the grid opens from now on, before the
    /// editor sees any event.
    void setEditorEventFilter(QObject* filter) { editorEventFilter_ = filter; }
    QObject* editorEventFilter() const { return editorEventFilter_; }

signals:
    /// A block has been pasted into the form's cells.
    void blockPasted();
    /// A block has been emptied by cutSelection() (@p change "Cut") or deleteSelection()
    /// ("Delete"), in one step.
    void blockCleared(const QString& change);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void showEditorAtCurrent();
    void showEditorAtCurrentIfWanted();
    /// Whether the current cell should show its editor now.
    bool editorWanted() const;
    /// The box around the selected cells (the current one when none is selected); an
    /// invalid rectangle when there is no current cell.
    QRect selectedBox() const;
    void clearSelected(const QString& change);
    /// Commits @p editor and makes cell (@p col, @p row) current, if it is editable.
    void moveFromEditorTo(QWidget* editor, int col, int row);

    ui::StringGrid& grid_;
    StringGridModel* model_;
    bool mouseSelecting_ = false;    // a button is down: the user may be dragging a range
    bool keyboardExtending_ = false; // Shift with an arrow key extends the range
    bool leaving_ = false;           // Tab is taking the focus to the next control
    bool rangeSelected_ = false;     // a range is selected: no editor until a cell is chosen
    QObject* editorEventFilter_ = nullptr;
};

} // namespace phbuffer::app
