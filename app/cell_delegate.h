// SPDX-License-Identifier: GPL-3.0-or-later
//
// How a grid cell is drawn and edited.
#pragma once

#include <QStyledItemDelegate>

namespace phbuffer::app {

class StringGridView;

/// Draws cells the way a string grid does (text two pixels from the left edge, clipped,
/// never elided: "Henry´s constant [atm/(mole fraction)]" fills its column to the last
/// pixel) and edits them in a frameless CellEditor. Tab in the editor leaves the grid; Enter
/// commits and moves down. Selected cells look selected only while the grid has the keyboard focus.
class CellDelegate : public QStyledItemDelegate {
public:
    explicit CellDelegate(StringGridView* view);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    StringGridView* view_;
};

} // namespace phbuffer::app
