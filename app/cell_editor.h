// SPDX-License-Identifier: GPL-3.0-or-later
//
// The line editor of a grid cell.
#pragma once

#include <QLineEdit>

class QKeyEvent;

namespace phbuffer::app {

class StringGridView;

/// The editor of a cell. Whatever way text is pasted into it (keys, context menu, middle
/// button), a block of cells goes into the grid and a single line goes in at the cursor
/// without its line end: a TAB or a line break inside a cell would shift the fields and
/// lines of the data file that the cell is saved to. A drag that leaves the cell selects
/// a range of cells, as a drag begun on any other cell does.
class CellEditor : public QLineEdit {
public:
    CellEditor(StringGridView* view, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void paste(const QString& text);
    /// The keys that leave the cell, as in a spreadsheet: Left at the text's start, Right
    /// at its end, either with the whole text selected, Ctrl+Home and Ctrl+End to the
    /// first and the last cell. Home and End stay in the text; F2 puts the caret at its
    /// end. @returns whether @p event was such a key.
    bool leaveCell(const QKeyEvent& event);

    StringGridView* view_;
    bool draggingCells_ = false; // a drag begun here has left the cell: it selects cells
};

} // namespace phbuffer::app
