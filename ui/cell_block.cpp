// SPDX-License-Identifier: GPL-3.0-or-later
#include "cell_block.h"

#include <QRegularExpression>

#include <algorithm>

namespace phbuffer::ui {

QString joinCellBlock(const QList<QStringList>& rows) {
    QStringList lines;
    for (const QStringList& fields : rows)
        lines << fields.join(QLatin1Char('\t'));
    return lines.join(QLatin1Char('\n'));
}

QList<QStringList> splitCellBlock(const QString& text) {
    static const QRegularExpression kLineEnd(QStringLiteral("\r\n|\n|\r"));
    QStringList lines = text.split(kLineEnd);
    // "a\n" splits into "a" and an empty last line that nobody copied.
    if (lines.size() > 1 && lines.constLast().isEmpty())
        lines.removeLast();
    QList<QStringList> rows;
    if (text.isEmpty())
        return rows;
    for (const QString& line : lines)
        rows << line.split(QLatin1Char('\t'));
    return rows;
}

bool isCellBlock(const QString& text) {
    const QList<QStringList> rows = splitCellBlock(text);
    return rows.size() > 1 || (rows.size() == 1 && rows.constFirst().size() > 1);
}

QList<QPoint> pasteCellBlock(StringGrid& grid, int col, int row, const QString& text) {
    QList<QPoint> written;
    const QList<QStringList> rows = splitCellBlock(text);
    for (qsizetype i = 0; i < rows.size() && row + i < grid.RowCount; ++i) {
        const int r = row + static_cast<int>(i);
        if (r < grid.FixedRows)
            continue;
        const QStringList& fields = rows[i];
        for (qsizetype j = 0; j < fields.size() && col + j < grid.ColCount; ++j) {
            const int c = col + static_cast<int>(j);
            if (c < grid.FixedCols)
                continue;
            grid.Cells(c, r) = fields[j];
            written << QPoint(c, r);
        }
    }
    return written;
}

QList<QPoint> clearCellBlock(StringGrid& grid, int left, int top, int right, int bottom) {
    QList<QPoint> cleared;
    for (int r = std::max(top, grid.FixedRows); r <= std::min(bottom, grid.RowCount - 1); ++r) {
        for (int c = std::max(left, grid.FixedCols); c <= std::min(right, grid.ColCount - 1); ++c) {
            QString& cell = grid.Cells(c, r);
            if (cell.isEmpty())
                continue;
            cell.clear();
            cleared << QPoint(c, r);
        }
    }
    return cleared;
}

} // namespace phbuffer::ui
