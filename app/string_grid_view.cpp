// SPDX-License-Identifier: GPL-3.0-or-later
#include "string_grid_view.h"

#include "ui/cell_block.h"

#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>
#include <memory>
#include <utility>

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

/// The editor of a cell. Whatever way text is pasted into it (keys, context menu, middle
/// button), a block of cells goes into the grid and a single line goes in at the cursor
/// without its line end: a TAB or a line break inside a cell would shift the fields and
/// lines of the data file that the cell is saved to.
class CellEditor : public QLineEdit {
public:
    CellEditor(StringGridView* view, QWidget* parent) : QLineEdit(parent), view_(view) {
        setFrame(false);
        setTextMargins(1, 0, 0, 0);
        // A file dropped on the grid is for the window to load, not text for the cell.
        setAcceptDrops(false);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->matches(QKeySequence::Paste)) {
            paste(QGuiApplication::clipboard()->text());
            return;
        }
        QLineEdit::keyPressEvent(event);
    }

    void contextMenuEvent(QContextMenuEvent* event) override {
        const std::unique_ptr<QMenu> menu(createStandardContextMenu());
        if (QAction* pasteAction = PasteActionOf(*menu)) {
            disconnect(pasteAction, &QAction::triggered, nullptr, nullptr);
            connect(pasteAction, &QAction::triggered, this,
                    [this] { paste(QGuiApplication::clipboard()->text()); });
        }
        menu->exec(event->globalPos());
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        const QClipboard* clipboard = QGuiApplication::clipboard();
        if (event->button() == Qt::MiddleButton && clipboard->supportsSelection()) {
            deselect();
            paste(clipboard->text(QClipboard::Selection));
            return;
        }
        QLineEdit::mouseReleaseEvent(event);
    }

private:
    void paste(const QString& text) {
        if (ui::IsCellBlock(text)) {
            view_->pasteBlock(text); // this editor's cell is the block's first
            return;
        }
        const QList<QStringList> line = ui::SplitCellBlock(text);
        if (!line.isEmpty())
            insert(line.constFirst().constFirst());
    }

    StringGridView* view_;
};

/// Draws cells the way a string grid does (text two pixels from the left edge, clipped,
/// never elided: "Henry´s constant [atm/(mole fraction)]" fills its column to the last
/// pixel) and edits them in a frameless line editor.
class CellDelegate : public QStyledItemDelegate {
public:
    explicit CellDelegate(StringGridView* view) : QStyledItemDelegate(view), view_(view) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool fixed = !(index.flags() & Qt::ItemIsSelectable);
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette& palette = option.palette;
        QColor background = palette.color(QPalette::Base);
        QColor text = palette.color(QPalette::Text);
        if (fixed) {
            background = palette.color(QPalette::Button);
            text = palette.color(QPalette::ButtonText);
        } else if (selected) {
            background = palette.color(QPalette::Highlight);
            text = palette.color(QPalette::HighlightedText);
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

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        auto* editor = new CellEditor(view_, parent);
        if (QObject* filter = view_->editorEventFilter())
            editor->installEventFilter(filter);
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        // Called again when the editor's own cell is signalled: after a commit its text is
        // already the cell's, and resetting it would throw away the cursor position.
        auto* line = static_cast<QLineEdit*>(editor);
        const QString text = index.data(Qt::EditRole).toString();
        if (line->text() == text)
            return;
        line->setText(text);
        line->selectAll();
    }

    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex&) const override {
        editor->setGeometry(option.rect);
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
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
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    StringGridView* view_;
};

} // namespace

// ---- model -------------------------------------------------------------------------------

StringGridModel::StringGridModel(ui::StringGrid& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid),
      shown_(static_cast<std::size_t>(grid.ColCount * grid.RowCount)) {}

int StringGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : grid_.RowCount;
}

int StringGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : grid_.ColCount;
}

std::size_t StringGridModel::slot(int col, int row) const {
    return static_cast<std::size_t>(row * grid_.ColCount + col);
}

bool StringGridModel::isFixed(int col, int row) const {
    return col < grid_.FixedCols || row < grid_.FixedRows;
}

QVariant StringGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return shown_[slot(index.column(), index.row())];
}

bool StringGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (frozen_ || !index.isValid() || role != Qt::EditRole || isFixed(index.column(), index.row()))
        return false;
    const QString text = value.toString();
    grid_.Cells(index.column(), index.row()) = text;
    QString& shown = shown_[slot(index.column(), index.row())];
    if (shown != text) {
        shown = text;
        emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    }
    return true;
}

Qt::ItemFlags StringGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (isFixed(index.column(), index.row()))
        return Qt::ItemIsEnabled;
    if (frozen_)
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

void StringGridModel::sync() {
    for (int row = 0; row < grid_.RowCount; ++row) {
        for (int col = 0; col < grid_.ColCount; ++col) {
            QString& shown = shown_[slot(col, row)];
            const QString& cell = grid_.Cells(col, row);
            if (shown == cell)
                continue;
            shown = cell;
            const QModelIndex i = index(row, col);
            emit dataChanged(i, i, {Qt::DisplayRole, Qt::EditRole});
        }
    }
}

// ---- view --------------------------------------------------------------------------------

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
    return hasFocus() && !mouseSelecting_ && !keyboardExtending_ && !leaving_;
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
    QTableView::mousePressEvent(event);
}

void StringGridView::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    mouseSelecting_ = false;
    // A click selects one cell and edits it; a drag over several cells selects a range.
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.size() <= 1)
        showEditorAtCurrent();
}

void StringGridView::copySelection() {
    QModelIndexList cells = selectionModel()->selectedIndexes();
    if (cells.isEmpty() && currentIndex().isValid())
        cells << currentIndex();
    if (cells.isEmpty())
        return;
    // The selection is one range; fixed cells inside it are not selectable, so the block
    // is the box around the selected cells.
    int left = cells[0].column(), right = left, top = cells[0].row(), bottom = top;
    for (const QModelIndex& cell : cells) {
        left = std::min(left, cell.column());
        right = std::max(right, cell.column());
        top = std::min(top, cell.row());
        bottom = std::max(bottom, cell.row());
    }
    // The texts on screen: the form's cells may belong to a run.
    QList<QStringList> rows;
    for (int r = top; r <= bottom; ++r) {
        QStringList& fields = rows.emplace_back();
        for (int c = left; c <= right; ++c)
            fields << cellIndex(c, r).data().toString();
    }
    QGuiApplication::clipboard()->setText(ui::JoinCellBlock(rows));
}

void StringGridView::pasteBlock(const QString& text) {
    if (model_->frozen())
        return;
    // A spreadsheet pastes into the top left cell of the range selected, wherever the
    // current cell is within it.
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    QModelIndex target = selected.isEmpty() ? currentIndex() : selected.constFirst();
    for (const QModelIndex& cell : selected)
        if (std::pair(cell.row(), cell.column()) < std::pair(target.row(), target.column()))
            target = cell;
    if (!target.isValid())
        return;
    ui::PasteCellBlock(grid_, target.column(), target.row(), text);
    model_->sync();
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
    keyboardExtending_ = event->modifiers() & Qt::ShiftModifier;
    QTableView::keyPressEvent(event);
    keyboardExtending_ = false;
}

void StringGridView::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    // A click opens the editor when the button is released, on the cell clicked.
    if (event->reason() != Qt::MouseFocusReason && event->reason() != Qt::PopupFocusReason &&
        event->reason() != Qt::ActiveWindowFocusReason)
        showEditorAtCurrent();
}

} // namespace phbuffer::app
