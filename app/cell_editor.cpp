// SPDX-License-Identifier: GPL-3.0-or-later
#include "cell_editor.h"

#include "string_grid_view.h"

#include "ui/cell_block.h"

#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>

#include <memory>

namespace phbuffer::app {

namespace {

/// The Paste entry of a line editor's standard context menu. Qt 6.4 gives the entries no
/// names; their captions are QLineEdit's translations with the shortcut after a TAB.
QAction* PasteActionOf(const QMenu& menu) {
    const QString caption = QCoreApplication::translate("QLineEdit", "&Paste");
    for (QAction* action : menu.actions())
        if (action->objectName() == QLatin1String("edit-paste") ||
            action->text().section(QLatin1Char('\t'), 0, 0) == caption)
            return action;
    return nullptr;
}

} // namespace

CellEditor::CellEditor(StringGridView* view, QWidget* parent) : QLineEdit(parent), view_(view) {
    setFrame(false);
    setTextMargins(1, 0, 0, 0);
    // A file dropped on the grid is for the window to load, not text for the cell.
    setAcceptDrops(false);
}

void CellEditor::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        paste(QGuiApplication::clipboard()->text());
        return;
    }
    if (leaveCell(*event))
        return;
    QLineEdit::keyPressEvent(event);
}

bool CellEditor::leaveCell(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    const bool allSelected = !text().isEmpty() && selectedText() == text();
    if (modifiers == Qt::NoModifier) {
        switch (event.key()) {
        case Qt::Key_Left:
            if (!allSelected && cursorPosition() > 0)
                return false;
            view_->moveFromEditor(this, -1, 0); // may close this editor
            return true;
        case Qt::Key_Right:
            if (!allSelected && cursorPosition() < text().size())
                return false;
            view_->moveFromEditor(this, 1, 0);
            return true;
        case Qt::Key_F2:
            end(false);
            return true;
        default:
            return false;
        }
    }
    if (modifiers == Qt::ControlModifier &&
        (event.key() == Qt::Key_Home || event.key() == Qt::Key_End)) {
        view_->moveToCorner(this, event.key() == Qt::Key_End);
        return true;
    }
    return false;
}

void CellEditor::contextMenuEvent(QContextMenuEvent* event) {
    const std::unique_ptr<QMenu> menu(createStandardContextMenu());
    if (QAction* pasteAction = PasteActionOf(*menu)) {
        disconnect(pasteAction, &QAction::triggered, nullptr, nullptr);
        connect(pasteAction, &QAction::triggered, this,
                [this] { paste(QGuiApplication::clipboard()->text()); });
    }
    menu->exec(event->globalPos());
}

void CellEditor::mousePressEvent(QMouseEvent* event) {
    draggingCells_ = false;
    QLineEdit::mousePressEvent(event);
}

void CellEditor::mouseMoveEvent(QMouseEvent* event) {
    if ((event->buttons() & Qt::LeftButton) &&
        (draggingCells_ || !rect().contains(event->position().toPoint()))) {
        draggingCells_ = true;
        view_->dragFromEditor(this, mapTo(view_->viewport(), event->position().toPoint()));
        return;
    }
    QLineEdit::mouseMoveEvent(event);
}

void CellEditor::mouseReleaseEvent(QMouseEvent* event) {
    if (draggingCells_ && event->button() == Qt::LeftButton) {
        draggingCells_ = false;
        view_->endDragFromEditor(this); // may close this editor, later
        return;
    }
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (event->button() == Qt::MiddleButton && clipboard->supportsSelection()) {
        deselect();
        paste(clipboard->text(QClipboard::Selection));
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void CellEditor::paste(const QString& text) {
    if (ui::isCellBlock(text)) {
        view_->pasteBlock(text); // this editor's cell is the block's first
        return;
    }
    const QList<QStringList> line = ui::splitCellBlock(text);
    if (!line.isEmpty())
        insert(line.constFirst().constFirst());
}

} // namespace phbuffer::app
