// Row-offset sums and pixel-to-row look-ups over the row heights, checked
// against a plain walk over every row after the edits that move rows, and
// timed on 100,000 rows (a walk per query would not finish in the test's
// time limit).
#include <gtest/gtest.h>

#include <random>

#include "grid/grid_painter.h"
#include "grid_test_support.h"
#include "recording_canvas.h"

namespace plu::testing {
namespace {

// Every row's height summed one by one, as a reference.
int64_t WalkedSum(const TKtCustomGrid& grid, int a, int b) {
    int64_t sum = 0;
    for (int i = std::min(a, b); i < std::max(a, b); ++i)
        sum += grid.RowHeights(i);
    return b < a ? -sum : sum;
}

void ExpectSumsAndLookUpsMatchAWalk(const TKtCustomGrid& grid, const char* after) {
    const TKtRowHeights& heights = grid.RowHeightList();
    const int n = grid.RowCount() + 3;
    for (int a = 0; a <= n; a += 3)
        for (int b = 0; b <= n; b += 5)
            ASSERT_EQ(heights.SumRange(a, b), WalkedSum(grid, a, b))
                << after << " " << a << ".." << b;
    const int last = grid.Cells().Length() - 1;
    const auto size = [&](int i) { return heights.Get(i); };
    for (int index = 0; index <= n; index += 4)
        for (int32_t offset = 0; offset < 400; offset += 7) {
            const int32_t start = static_cast<int32_t>(heights.SumRange(0, index));
            int32_t expectedOffset = offset, gotOffset = offset;
            const int expected =
                WalkToOffset(index, expectedOffset, start, size, last, heights.DefaultSize());
            const int got = heights.IndexAtOffset(index, gotOffset, start);
            ASSERT_EQ(got, expected) << after << " from row " << index << " to offset " << offset;
            ASSERT_EQ(gotOffset, expectedOffset) << after;
        }
}

TEST_F(GridTest, RowSumsFollowEveryKindOfRowEdit) {
    grid.SetRowCount(40);
    for (int r = 1; r < 40; r += 3)
        grid.GetCell(1, r).SetText(IntToWide(40 - r));
    grid.SetRowHeight(5, 30);
    grid.SetRowHeight(33, 2);
    ExpectSumsAndLookUpsMatchAWalk(grid, "heights");
    grid.SetRowVisible(7, false);
    grid.SetRowHeight(9, 0);
    ExpectSumsAndLookUpsMatchAWalk(grid, "hiding");
    grid.InsertRows(4, 3);
    ExpectSumsAndLookUpsMatchAWalk(grid, "insertion");
    grid.DeleteRows(2, 4);
    ExpectSumsAndLookUpsMatchAWalk(grid, "deletion");
    grid.MoveRow(3, 30);
    grid.ExchangeRows(1, 20);
    ExpectSumsAndLookUpsMatchAWalk(grid, "moves");
    grid.SortByColumn(1, true);
    ExpectSumsAndLookUpsMatchAWalk(grid, "sorting");
    grid.SetDefaultRowHeight(25);
    ExpectSumsAndLookUpsMatchAWalk(grid, "new default");
    grid.GetCell(2, 60 - 20).SetText(u"x");  // a row list appended past the others
    grid.SetRowCount(70);
    grid.GetCell(2, 65).SetText(u"y");
    grid.SetRowHeight(66, 44);
    ExpectSumsAndLookUpsMatchAWalk(grid, "growth");
    grid.SetRowCount(20);
    ExpectSumsAndLookUpsMatchAWalk(grid, "shrinking");
    grid.ClearContents();
    ExpectSumsAndLookUpsMatchAWalk(grid, "clearing");
}

TEST_F(GridTest, RowGeometryOfAHundredThousandRowsNeedsNoWalk) {
    constexpr int kRows = 100000;
    grid.SetRowCount(kRows + 1);
    grid.SetClientSize(800, 600);
    for (int r = 1; r <= kRows; ++r) {
        grid.GetCell(1, r);  // every row holds a row list
        if (r % 7 == 0) grid.SetRowHeight(r, 25);
    }
    // Every row's top, cell rectangle and look-up; a walk over the rows for
    // each would take about 10^10 steps.
    std::mt19937 rng(7);
    const TKtRowHeights& heights = grid.RowHeightList();
    const int64_t total = heights.SumRange(0, kRows + 1);
    int64_t top = grid.RowTop(1);
    for (int r = 1; r <= kRows; ++r) {
        ASSERT_EQ(grid.RowTop(r), top) << r;
        ASSERT_EQ(heights.SumRange(r, kRows + 1), total - top) << r;  // what lies below
        const TRect px = grid.CellsToPixels({1, r, 2, r + 1});
        ASSERT_EQ(px.Bottom - px.Top, grid.RowHeights(r));
        int32_t offset = static_cast<int32_t>(top + 1);
        ASSERT_EQ(grid.RowHeightList().IndexAtOffset(0, offset, 0), r);
        top += grid.RowHeights(r);
    }
    // Painting far down walks the visible rows only.
    RecordingCanvas canvas(measurer);
    for (int k = 0; k < 200; ++k) {
        grid.SetTopRow(static_cast<int>(rng() % kRows) + 1);
        canvas.ops.clear();
        PaintGrid(grid, canvas, {0, 0, 800, 600});
        ASSERT_FALSE(canvas.ops.empty());
    }
    EXPECT_EQ(grid.Cells().CellCount(), kRows);
}

}  // namespace
}  // namespace plu::testing
