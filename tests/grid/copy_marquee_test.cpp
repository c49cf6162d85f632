// The copy marquee's two dash sets and where they go when the grid scrolls.
#include <gtest/gtest.h>

#include "grid/copy_marquee.h"
#include "grid/custom_grid.h"

namespace plu {
namespace {

bool Covers(const std::vector<TRect>& rects, int x, int y) {
    int n = 0;
    for (const TRect& r : rects) n += r.Contains(x, y) ? 1 : 0;
    EXPECT_LE(n, 1) << "pixel " << x << "," << y << " inverted twice";
    return n == 1;
}

class CopyMarquee : public ::testing::Test {
  protected:
    CopyMarquee() {
        grid.SetColCount(30);
        grid.SetRowCount(60);
        grid.SetClientSize(400, 300);
    }
    TKtCustomGrid grid;
    const TRect cells{2, 2, 4, 5};
};

TEST_F(CopyMarquee, TheFrameIsTheCellsLessOnePixelRightAndBottom) {
    TRect expected = grid.CellsToPixels(cells);
    --expected.Right;
    --expected.Bottom;
    EXPECT_EQ(CopyMarqueeFrame(grid, cells), expected);
}

TEST_F(CopyMarquee, TheTwoSetsStartTheirEdgesFiveApartAndCoverEachPixelOnce) {
    const TRect f = CopyMarqueeFrame(grid, cells);
    const auto a = CopyMarqueeDashes(grid, cells, 0);
    const auto b = CopyMarqueeDashes(grid, cells, 1);
    // Set 0: top edge from the corner, left edge from 5 below it.
    EXPECT_TRUE(Covers(a, f.Left, f.Top));
    EXPECT_TRUE(Covers(a, f.Left + 4, f.Top + 1));
    EXPECT_FALSE(Covers(a, f.Left + 7, f.Top));
    EXPECT_TRUE(Covers(a, f.Left + 10, f.Top));
    EXPECT_TRUE(Covers(a, f.Left, f.Top + 5));
    EXPECT_FALSE(Covers(a, f.Left, f.Top + 3));
    // The second stroke: one pixel right and down.
    EXPECT_TRUE(Covers(a, f.Left + 5, f.Top + 2));
    EXPECT_FALSE(Covers(a, f.Left, f.Top + 2));
    // Set 1 the other way round.
    EXPECT_FALSE(Covers(b, f.Left + 2, f.Top));
    EXPECT_TRUE(Covers(b, f.Left + 5, f.Top));
    EXPECT_TRUE(Covers(b, f.Left, f.Top + 1));
    // Both stay inside the frame (its right and bottom pixels included).
    const TRect inside{f.Left, f.Top, f.Right + 1, f.Bottom + 1};
    for (const auto* set : {&a, &b})
        for (const TRect& r : *set) EXPECT_TRUE(inside.Contains(r));
    EXPECT_TRUE(Covers(a, f.Right, f.Top + 1) || Covers(a, f.Right - 1, f.Top));
}

TEST_F(CopyMarquee, CellsScrolledOutOfViewAreCutAway) {
    grid.SetTopRow(3);
    const TRect f = CopyMarqueeFrame(grid, cells);
    EXPECT_EQ(f.Top, grid.RowTop(3));
    grid.SetTopRow(10);
    EXPECT_TRUE(CopyMarqueeFrame(grid, cells).IsEmpty());
    EXPECT_TRUE(CopyMarqueeDashes(grid, cells, 0).empty());
    grid.SetTopRow(1);
    EXPECT_TRUE(CopyMarqueeFrame(grid, {2, 50, 3, 52}).IsEmpty());  // below the last visible row
}

}  // namespace
}  // namespace plu
