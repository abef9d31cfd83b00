// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/cell_block.h"

#include "qstring_printer.h"

#include <gtest/gtest.h>

using namespace phbuffer::ui;

namespace {

QList<QStringList> Rows(std::initializer_list<QStringList> rows) {
    return QList<QStringList>(rows);
}

TEST(CellBlock, SplitsSpreadsheetTextOfEitherLineEndIntoRowsOfFields) {
    const QList<QStringList> twoByTwo = Rows({{"a", "b"}, {"c", "d"}});
    EXPECT_EQ(splitCellBlock(QStringLiteral("a\tb\nc\td\n")), twoByTwo);
    EXPECT_EQ(splitCellBlock(QStringLiteral("a\tb\r\nc\td\r\n")), twoByTwo);
    EXPECT_EQ(splitCellBlock(QStringLiteral("a\tb\rc\td")), twoByTwo);
    // Only one line end is the end of the block: an empty row before it is a row.
    EXPECT_EQ(splitCellBlock(QStringLiteral("a\n\n")), Rows({{"a"}, {""}}));
    EXPECT_EQ(splitCellBlock(QStringLiteral("\t\n")), Rows({{"", ""}}));
    EXPECT_EQ(splitCellBlock(QStringLiteral("\n")), Rows({{""}})) << "one empty cell";
    EXPECT_TRUE(splitCellBlock(QString()).isEmpty());
}

TEST(CellBlock, IsABlockWhenItWouldPutATabOrALineBreakIntoACell) {
    EXPECT_FALSE(isCellBlock(QStringLiteral("3.5")));
    EXPECT_FALSE(isCellBlock(QStringLiteral("3.5\r\n")));
    EXPECT_FALSE(isCellBlock(QString()));
    EXPECT_TRUE(isCellBlock(QStringLiteral("3.5\t")));
    EXPECT_TRUE(isCellBlock(QStringLiteral("3.5\n4")));
}

/// A 3 x 4 grid with a header row and a label column, cells reading "c,r".
class LabelledGrid : public ::testing::Test {
protected:
    LabelledGrid() : grid(QStringLiteral("Grid"), 3, 4, 1, 1) {
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 3; ++c)
                grid.Cells(c, r) = QStringLiteral("%1,%2").arg(c).arg(r);
    }
    QStringList row(int r) const { return {grid.Cells(0, r), grid.Cells(1, r), grid.Cells(2, r)}; }
    StringGrid grid;
};

TEST_F(LabelledGrid, PasteFillsCellsFromTheFirstAndDropsWhatRunsOffTheGrid) {
    const QList<QPoint> written =
        pasteCellBlock(grid, 2, 2, QStringLiteral("a\tb\tc\r\nd\r\ne\tf\r\n"));
    EXPECT_EQ(written, (QList<QPoint>{{2, 2}, {2, 3}}));
    EXPECT_EQ(row(1), (QStringList{"0,1", "1,1", "2,1"}));
    EXPECT_EQ(row(2), (QStringList{"0,2", "1,2", "a"}));
    EXPECT_EQ(row(3), (QStringList{"0,3", "1,3", "d"}));

    pasteCellBlock(grid, 1, 3, QStringLiteral("\t\n"));
    EXPECT_EQ(row(3), (QStringList{"0,3", "", ""})) << "empty fields empty their cells";
}

TEST_F(LabelledGrid, PasteLeavesHeadersAndLabelsAsTheyAre) {
    const QList<QPoint> written = pasteCellBlock(grid, 0, 0, QStringLiteral("a\tb\nc\td\n"));
    EXPECT_EQ(written, (QList<QPoint>{{1, 1}}));
    EXPECT_EQ(row(0), (QStringList{"0,0", "1,0", "2,0"}));
    EXPECT_EQ(row(1), (QStringList{"0,1", "d", "2,1"}));
}

TEST_F(LabelledGrid, ClearEmptiesTheBlockButNotHeadersLabelsOrCellsOffTheGrid) {
    grid.Cells(2, 2).clear();
    const QList<QPoint> cleared = clearCellBlock(grid, 0, 0, 5, 2);
    EXPECT_EQ(cleared, (QList<QPoint>{{1, 1}, {2, 1}, {1, 2}})) << "only cells that held text";
    EXPECT_EQ(row(0), (QStringList{"0,0", "1,0", "2,0"}));
    EXPECT_EQ(row(1), (QStringList{"0,1", "", ""}));
    EXPECT_EQ(row(2), (QStringList{"0,2", "", ""}));
    EXPECT_EQ(row(3), (QStringList{"0,3", "1,3", "2,3"}));
}

} // namespace
