// SPDX-License-Identifier: GPL-3.0-or-later
//
// The main window's components as plain data: what the window shows and what its
// handlers read and write. The Qt view draws these and turns clicks into handler calls.
#pragma once

#include <QString>
#include <QStringList>

#include <stdexcept>
#include <vector>

namespace phbuffer::ui {

/// Anything that can send an event. Handlers that serve several components tell the
/// senders apart by identity (address), never by name.
struct Component {
    explicit Component(QString name) : Name(std::move(name)) {}
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;
    QString Name;
};

struct Button : Component {
    Button(QString name, QString caption)
        : Component(std::move(name)), Caption(std::move(caption)) {}
    QString Caption;
};

struct Edit : Component {
    Edit(QString name, QString text) : Component(std::move(name)), Text(std::move(text)) {}
    QString Text;
};

struct Label : Component {
    Label(QString name, QString caption)
        : Component(std::move(name)), Caption(std::move(caption)) {}
    QString Caption;
};

struct RadioGroup : Component {
    RadioGroup(QString name, QString caption, QStringList items, int itemIndex)
        : Component(std::move(name)), Caption(std::move(caption)), Items(std::move(items)),
          ItemIndex(itemIndex) {}
    QString Caption;
    QStringList Items;
    int ItemIndex; ///< the selected item, -1 for none
};

/// A grid of texts addressed as (column, row), row 0 and column 0 included.
class StringGrid : public Component {
public:
    StringGrid(QString name, int colCount, int rowCount, int fixedCols, int fixedRows)
        : Component(std::move(name)), ColCount(colCount), RowCount(rowCount), FixedCols(fixedCols),
          FixedRows(fixedRows), ColWidths(static_cast<std::size_t>(colCount), 64),
          RowHeights(static_cast<std::size_t>(rowCount), 24),
          cells_(static_cast<std::size_t>(colCount * rowCount)) {}

    QString& Cells(int col, int row) { return cells_.at(index(col, row)); }
    const QString& Cells(int col, int row) const { return cells_.at(index(col, row)); }

    const int ColCount;
    const int RowCount;
    const int FixedCols; ///< leading columns that hold labels and can't be edited
    const int FixedRows; ///< leading rows that hold headers and can't be edited
    std::vector<int> ColWidths;
    std::vector<int> RowHeights;
    int Width = 0; ///< the control's width in pixels

private:
    std::size_t index(int col, int row) const {
        if (col < 0 || col >= ColCount || row < 0 || row >= RowCount)
            throw std::out_of_range("grid cell out of range");
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(ColCount) +
               static_cast<std::size_t>(col);
    }
    std::vector<QString> cells_;
};

/// One cell of a grid, as (column, row).
struct GridCell {
    const StringGrid* grid = nullptr;
    int col = 0;
    int row = 0;
    bool operator==(const GridCell& other) const {
        return grid == other.grid && col == other.col && row == other.row;
    }
};

struct Chart : Component {
    Chart(QString name, QString title) : Component(std::move(name)), Title(std::move(title)) {}
    QString Title;
    QString BottomAxisTitle;
    QString LeftAxisTitle;
    /// Whether the curves are of a strong base run, so that what reads them names OH-.
    bool baseAdded = false;
};

/// The settings of a file dialog. The dialog itself is shown by whoever drives the form
/// (the window, the command line or a test), which answers with a file name or a cancel.
struct FileDialog : Component {
    using Component::Component;
    QString InitialDir;
    QString DefaultExt; ///< without the dot
    QString Filter;     ///< "description|pattern"
    QString FileName;   ///< offered when shown; the chosen or completed name afterwards
    QString Title;      ///< what the dialog saves or opens, for its title bar
};

} // namespace phbuffer::ui
