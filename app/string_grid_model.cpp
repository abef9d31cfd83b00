// SPDX-License-Identifier: GPL-3.0-or-later
#include "string_grid_model.h"

#include <QColor>
#include <QStringList>

namespace phbuffer::app {

StringGridModel::StringGridModel(ui::StringGrid& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid),
      shown_(static_cast<std::size_t>(grid.ColCount * grid.RowCount)), hinted_(shown_.size()) {}

int StringGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : grid_.RowCount;
}

int StringGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : grid_.ColCount;
}

std::size_t StringGridModel::slot(int col, int row) const {
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(grid_.ColCount) +
           static_cast<std::size_t>(col);
}

bool StringGridModel::isFixed(int col, int row) const {
    return col < grid_.FixedCols || row < grid_.FixedRows;
}

QVariant StringGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return shown_[slot(index.column(), index.row())];
    if (role == Qt::AccessibleTextRole)
        return accessibleText(index.column(), index.row());
    if ((role == Qt::ToolTipRole || role == Qt::BackgroundRole) && hint_) {
        const QString hint = hint_(index.column(), index.row());
        if (hint.isEmpty())
            return {};
        if (role == Qt::ToolTipRole)
            return hint;
        return QColor(255, 236, 179); // a pale amber: look again, nothing is wrong yet
    }
    return {};
}

bool StringGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || isFixed(index.column(), index.row()))
        return false;
    const QString text = value.toString();
    grid_.Cells(index.column(), index.row()) = text;
    QString& shown = shown_[slot(index.column(), index.row())];
    if (shown != text) {
        shown = text;
        emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
        signalHints();
        emit cellEdited();
    }
    return true;
}

Qt::ItemFlags StringGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (isFixed(index.column(), index.row()))
        return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

QVariant StringGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return {};
    if (orientation == Qt::Horizontal && section >= 0 && section < grid_.ColCount)
        return grid_.FixedRows > 0 ? shown_[slot(section, 0)] : QString();
    if (orientation == Qt::Vertical && section >= 0 && section < grid_.RowCount)
        return shown_[slot(0, section)];
    return {};
}

QString StringGridModel::accessibleText(int col, int row) const {
    const QString& text = shown_[slot(col, row)];
    if (isFixed(col, row))
        return text;
    QStringList parts;
    if (col > 0 && !shown_[slot(0, row)].isEmpty())
        parts << shown_[slot(0, row)];
    if (grid_.FixedRows > 0 && !shown_[slot(col, 0)].isEmpty())
        parts << shown_[slot(col, 0)];
    parts << text;
    return parts.join(QStringLiteral(", "));
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
    signalHints();
}

void StringGridModel::signalHints() {
    if (!hint_)
        return;
    for (int row = 0; row < grid_.RowCount; ++row) {
        for (int col = 0; col < grid_.ColCount; ++col) {
            QString hint = hint_(col, row);
            QString& hinted = hinted_[slot(col, row)];
            if (hinted == hint)
                continue;
            hinted = std::move(hint);
            const QModelIndex i = index(row, col);
            emit dataChanged(i, i, {Qt::ToolTipRole, Qt::BackgroundRole});
        }
    }
}

} // namespace phbuffer::app
