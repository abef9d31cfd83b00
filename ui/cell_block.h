// SPDX-License-Identifier: GPL-3.0-or-later
//
// A block of grid cells as the clipboard carries it between grids and spreadsheets:
// TAB-separated fields, one line per row.
#pragma once

#include "components.h"

#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>

namespace phbuffer::ui {

/// The block text of @p rows of cell texts: fields separated by TAB, rows by LF, no line
/// end after the last row, so that a single cell copies as its bare text.
QString joinCellBlock(const QList<QStringList>& rows);

/// The rows of fields of a block @p text. Lines end at LF, CR LF or a lone CR; one line
/// end after the last line is no row of its own, as spreadsheets end every row with one.
/// An empty text has no rows.
QList<QStringList> splitCellBlock(const QString& text);

/// Whether @p text, pasted, fills more than one cell or would bring a TAB or a line break
/// into a cell: anything but a single line, with or without its line end.
bool isCellBlock(const QString& text);

/// Writes the block @p text into @p grid with its first field at (@p col, @p row), as if
/// each field had been typed into its cell. Fields beyond the grid's last column or row
/// are dropped, and fixed cells (headers, labels) keep their texts.
/// @returns the cells written, as (column, row).
QList<QPoint> pasteCellBlock(StringGrid& grid, int col, int row, const QString& text);

/// Empties the cells of @p grid from (@p left, @p top) to (@p right, @p bottom), clipped
/// to the grid; fixed cells keep their texts, as a paste leaves them.
/// @returns the cells whose text was not empty before, as (column, row).
QList<QPoint> clearCellBlock(StringGrid& grid, int left, int top, int right, int bottom);

} // namespace phbuffer::ui
