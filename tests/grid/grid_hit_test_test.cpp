// Pixels to cells through the fixed, frozen and scrolled areas, merged
// cells, and what a press would grab: header borders, headers, the corner,
// the selection frame and the fill handle.
#include "grid/grid_hit_test.h"

#include <gtest/gtest.h>

#include "grid_test_support.h"

using namespace plu;
using namespace plu::testing;

namespace {

// Columns: 0 [0, 40), 1 [40, 113), 2 [113, 186) ...; rows: r [19 r, 19 r + 19).
class HitTest : public GridTest {
  protected:
    HitTest() {
        grid.SetColCount(20);
        grid.SetRowCount(50);
    }
    TKtGridHit At(int x, int y) const { return HitTestGrid(grid, x, y); }
};

}  // namespace

TEST_F(HitTest, CellsAreFoundThroughFixedFrozenAndScrolledAreas) {
    grid.SetViewLock(2, 3);  // body column 1 and rows 1, 2 stay
    grid.SetLeftCol(5);
    grid.SetTopRow(10);
    EXPECT_EQ(ColumnAtPixel(grid, 20), 0);
    EXPECT_EQ(ColumnAtPixel(grid, 50), 1);
    EXPECT_EQ(ColumnAtPixel(grid, 113), 5);  // the scrolled part starts at LeftCol
    EXPECT_EQ(ColumnAtPixel(grid, 186), 6);
    EXPECT_EQ(RowAtPixel(grid, 25), 1);
    EXPECT_EQ(RowAtPixel(grid, 56), 2);
    EXPECT_EQ(RowAtPixel(grid, 57), 10);
    EXPECT_EQ(ColumnAtPixel(grid, -1), -1);
    TPoint cell;
    ASSERT_TRUE(CellAtPixel(grid, 120, 60, cell));
    EXPECT_EQ(cell, (TPoint{5, 10}));
    // Cell rectangles come back to the same pixels.
    const TRect r = grid.CellRect(5, 10);
    EXPECT_EQ(r, (TRect{113, 57, 186, 76}));
    // Cells scrolled out of view behind the frozen panes show nothing.
    EXPECT_TRUE(VisibleCellRect(grid, 3, 10).IsEmpty());
    EXPECT_EQ(VisibleCellRect(grid, 1, 1), (TRect{40, 19, 113, 38}));
}

TEST_F(HitTest, PointsBeyondTheLastColumnOrRowAreOutside) {
    grid.SetColCount(3);  // the cells end at x = 186
    EXPECT_EQ(At(200, 30).Kind, TKtHitKind::Outside);
    EXPECT_EQ(At(150, 30).Kind, TKtHitKind::Cell);
    EXPECT_EQ(At(150, 300).Kind, TKtHitKind::Outside);  // below the client area
}

TEST_F(HitTest, AMergedAreaAnswersWithItsAnchor) {
    grid.MergeCells(2, 2, 3, 4);
    TPoint cell;
    ASSERT_TRUE(CellAtPixel(grid, 190, 80, cell));  // inside (3, 4)
    EXPECT_EQ(cell, (TPoint{2, 2}));
    EXPECT_EQ(At(190, 80), (TKtGridHit{TKtHitKind::Cell, 2, 2}));
}

TEST_F(HitTest, HeadersAndTheirBorders) {
    EXPECT_EQ(At(10, 5).Kind, TKtHitKind::Corner);
    EXPECT_EQ(At(150, 5), (TKtGridHit{TKtHitKind::ColHeader, 2, 0}));
    EXPECT_EQ(At(10, 45), (TKtGridHit{TKtHitKind::RowHeader, 0, 2}));
    // Within two pixels of a border in the header the border is grabbed.
    EXPECT_EQ(At(111, 5).Kind, TKtHitKind::ColBorder);
    EXPECT_EQ(At(115, 5).Col, 1);
    EXPECT_EQ(At(116, 5).Kind, TKtHitKind::ColHeader);
    EXPECT_EQ(At(10, 38), (TKtGridHit{TKtHitKind::RowBorder, 0, 1}));
    // Not in the body, and not without the sizing options.
    EXPECT_EQ(At(113, 100).Kind, TKtHitKind::Cell);
    grid.SetOptions(grid.Options().With(TGridOption::goColSizing, false));
    EXPECT_EQ(At(113, 5).Kind, TKtHitKind::ColHeader);
}

TEST_F(HitTest, AHiddenColumnTakesItsBorderFromBeyond) {
    grid.SetColVisible(2, false);  // column 3 now starts at 113
    EXPECT_EQ(At(112, 5).Col, 1);
    EXPECT_EQ(At(114, 5), (TKtGridHit{TKtHitKind::ColBorder, 2, 0}));
    EXPECT_EQ(ColumnAtPixel(grid, 113), 3);
}

TEST_F(HitTest, TheSelectionFrameAndFillHandle) {
    // (1, 1) is selected: [40, 19, 113, 38).
    EXPECT_EQ(At(113, 38).Kind, TKtHitKind::FillHandle);
    EXPECT_EQ(At(42, 28).Kind, TKtHitKind::Frame);
    EXPECT_EQ(At(70, 28).Kind, TKtHitKind::Cell);
    grid.Selection().DisableDrag = true;
    EXPECT_EQ(At(113, 38).Kind, TKtHitKind::Cell);
    EXPECT_EQ(At(42, 28).Kind, TKtHitKind::Cell);
}

TEST_F(HitTest, ADragBeyondTheEdgesAimsAtTheLastShownBodyCell) {
    EXPECT_EQ(BodyCellNear(grid, 5, 5), (TPoint{1, 1}));
    // The client area (300 x 200) ends inside column 4 and row 10: beyond it
    // the drag aims at the last cells shown whole.
    EXPECT_EQ(BodyCellNear(grid, 900, 900), (TPoint{3, 9}));
    EXPECT_EQ(BodyCellNear(grid, 290, 195), (TPoint{4, 10}));
}
