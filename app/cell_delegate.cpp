// SPDX-License-Identifier: GPL-3.0-or-later
#include "cell_delegate.h"

#include "cell_editor.h"
#include "string_grid_view.h"

#include <QKeyEvent>
#include <QPainter>

namespace phbuffer::app {

CellDelegate::CellDelegate(StringGridView* view) : QStyledItemDelegate(view), view_(view) {}

void CellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    const bool fixed = !(index.flags() & Qt::ItemIsSelectable);
    const bool selected = (option.state & QStyle::State_Selected) && view_->ownsFocus();
    const QPalette& palette = option.palette;
    QColor background = palette.color(QPalette::Base);
    QColor text = palette.color(QPalette::Text);
    if (fixed) {
        background = palette.color(QPalette::Button);
        text = palette.color(QPalette::ButtonText);
    } else if (selected) {
        background = palette.color(QPalette::Highlight);
        text = palette.color(QPalette::HighlightedText);
    } else if (const QVariant tint = index.data(Qt::BackgroundRole); tint.isValid()) {
        background = tint.value<QColor>();
    }
    if (!(option.state & QStyle::State_Enabled))
        text = palette.color(QPalette::Disabled, QPalette::Text);
    painter->save();
    painter->fillRect(option.rect, background);
    painter->setClipRect(option.rect);
    painter->setPen(text);
    painter->setFont(option.font);
    painter->drawText(option.rect.adjusted(2, 0, 0, 0),
                      Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    painter->restore();
}

QWidget* CellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                    const QModelIndex&) const {
    auto* editor = new CellEditor(view_, parent);
    if (QObject* filter = view_->editorEventFilter())
        editor->installEventFilter(filter);
    return editor;
}

void CellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    // Called again when the editor's own cell is signalled: after a commit its text is
    // already the cell's, and resetting it would throw away the cursor position.
    auto* line = static_cast<QLineEdit*>(editor);
    const QString text = index.data(Qt::EditRole).toString();
    if (line->text() == text)
        return;
    line->setText(text);
    line->selectAll();
}

void CellDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                        const QModelIndex&) const {
    editor->setGeometry(option.rect);
}

bool CellDelegate::eventFilter(QObject* object, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
            // Tab moves to the next control, not to the next cell: commit, close, leave.
            auto* editor = static_cast<QWidget*>(object);
            emit commitData(editor);
            emit closeEditor(editor, QAbstractItemDelegate::NoHint);
            view_->leaveByTab(key == Qt::Key_Tab);
            return true;
        }
        const auto modifiers = static_cast<QKeyEvent*>(event)->modifiers() & ~Qt::KeypadModifier;
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && modifiers == Qt::NoModifier) {
            view_->commitAndMoveDown(static_cast<QWidget*>(object));
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

} // namespace phbuffer::app
