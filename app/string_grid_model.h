// SPDX-License-Identifier: GPL-3.0-or-later
//
// The cells of a form's string grid as a Qt table model.
#pragma once

#include "ui/components.h"

#include <QAbstractTableModel>

#include <functional>
#include <vector>

namespace phbuffer::app {

/// The cells of a ui::StringGrid as a Qt table model (model row r is grid row r, model
/// column c grid column c). The texts on screen are a copy that sync() brings up to date,
/// so the view shows the form's cells as the window last drew them. An edit goes straight
/// into the form's cell.
class StringGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit StringGridModel(ui::StringGrid& grid, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    /// The grid draws no headers of its own: for assistive tools a column is named by its
    /// caption in the header row and a row by its label (the text in column 0).
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    /// Whether (@p col, @p row) is a fixed cell: a header row or a label column.
    bool isFixed(int col, int row) const;
    /// Copies the form's cells into the texts on screen and signals each cell whose text
    /// changed, one by one, so that an open editor is refreshed only when its own cell is;
    /// then signals each cell whose hint came or went, since a hint may follow a text
    /// elsewhere or the decimal separator. A grid with nothing new is not repainted.
    void sync();
    /// Where a cell's hint comes from: a text that, when not empty, is the cell's tooltip
    /// and tints it.
    void setCellHint(std::function<QString(int col, int row)> hint) { hint_ = std::move(hint); }

signals:
    /// The user's edit has changed a cell's text in the form.
    void cellEdited();

private:
    std::size_t slot(int col, int row) const;
    /// Signals each cell whose hint came or went since the last time.
    void signalHints();
    /// What a screen reader says for a cell: its row's label, its column's caption and its
    /// text, e.g. "Ammonia, Conc. [mM], 2.565"; a header or label cell says just its text.
    QString accessibleText(int col, int row) const;

    ui::StringGrid& grid_;
    std::vector<QString> shown_;
    std::vector<QString> hinted_; ///< the hints as last signalled
    std::function<QString(int col, int row)> hint_;
};

} // namespace phbuffer::app
