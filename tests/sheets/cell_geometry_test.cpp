// Where the parts of the cell kinds lie: buttons, spin halves, check boxes,
// radio bands, the sort arrow and the drop-down list's placement.
#include <gtest/gtest.h>

#include "sheets/cell_geometry.h"

namespace plu {
namespace {

TEST(CellGeometry, ButtonsSitAtTheRightEdgeInsideAOnePixelMargin) {
    const TKtDefaultSystemMetrics metrics;
    const TRect cell{100, 20, 173, 60};
    EXPECT_EQ(ButtonRect(cell, metrics, true), (TRect{155, 21, 172, 38}));
    EXPECT_EQ(ButtonRect(cell, metrics, false), (TRect{155, 21, 172, 59}));
    // A cell lower or narrower than the thumb gives what fits.
    EXPECT_EQ(ButtonRect({0, 0, 10, 10}, metrics, true), (TRect{1, 1, 9, 9}));
    EXPECT_TRUE(ButtonRect({0, 0, 2, 2}, metrics, true).IsEmpty());
    EXPECT_EQ(TextRectBesideButton(cell, {155, 21, 172, 38}), (TRect{100, 20, 155, 60}));
}

TEST(CellGeometry, SpinHalvesMeetAtTheMiddle) {
    const TRect button{0, 10, 17, 30};
    EXPECT_EQ(SpinUpRect(button), (TRect{0, 10, 17, 20}));
    EXPECT_EQ(SpinDownRect(button), (TRect{0, 21, 17, 30}));
    EXPECT_FALSE(InLowerHalf(button, 20));
    EXPECT_TRUE(InLowerHalf(button, 21));
}

TEST(CellGeometry, CheckBoxesAreCentredOrFollowedByTheirCaption) {
    const TRect cell{0, 0, 73, 19};
    EXPECT_EQ(CheckBoxRect(cell, false), (TRect{30, 3, 43, 16}));
    EXPECT_EQ(CheckBoxRect(cell, true), (TRect{5, 3, 18, 16}));
    EXPECT_EQ(CheckBoxCaptionRect(cell, {5, 3, 18, 16}), (TRect{23, 0, 73, 19}));
    EXPECT_TRUE(CheckBoxRect({0, 0, 12, 19}, false).IsEmpty());
    EXPECT_TRUE(CheckBoxRect({0, 0, 73, 12}, false).IsEmpty());
}

TEST(CellGeometry, RadioItemsShareTheHeightInEqualBands) {
    const TRect cell{10, 100, 90, 162};  // 62 high: bands of 20
    EXPECT_EQ(RadioBandHeight(cell, 3), 20);
    EXPECT_EQ(RadioButtonRect(cell, 3, 1), (TRect{15, 123, 28, 136}));
    EXPECT_EQ(RadioTextRect(cell, 3, 1), (TRect{33, 120, 90, 140}));
    EXPECT_EQ(RadioItemAt(cell, 3, 10, 100), 0);
    EXPECT_EQ(RadioItemAt(cell, 3, 32, 159), 2);
    EXPECT_EQ(RadioItemAt(cell, 3, 33, 159), -1);  // 23 pixels from the edge
    EXPECT_EQ(RadioItemAt(cell, 3, 20, 161), -1);  // below the last band
    EXPECT_EQ(RadioItemAt(cell, 0, 20, 110), -1);
    EXPECT_EQ(RadioItemAt({0, 0, 80, 2}, 3, 5, 1), -1);  // bands of no height
}

TEST(CellGeometry, TheSortArrowNeedsRoomBesideTheText) {
    const TRect header{40, 0, 113, 17};
    EXPECT_EQ(SortArrowArea(header, 58), (TRect{98, 0, 113, 17}));
    EXPECT_TRUE(SortArrowArea(header, 59).IsEmpty());
    EXPECT_EQ(SortArrowRect({98, 0, 113, 17}), (TRect{101, 5, 109, 12}));
}

TEST(CellGeometry, EllipsisDotsAreSpacedBySide) {
    const auto dots = EllipsisDots({0, 0, 17, 17});
    EXPECT_EQ(dots[0], (TRect{3, 7, 5, 9}));
    EXPECT_EQ(dots[1], (TRect{7, 7, 9, 9}));
    EXPECT_EQ(dots[2], (TRect{11, 7, 13, 9}));
    EXPECT_EQ(EllipsisDots({0, 0, 4, 4})[0].Width(), 1);
}

TEST(CellGeometry, DropDownListsStayOnTheScreen) {
    const TRect screen{0, 0, 800, 600};
    const TRect cell{300, 100, 373, 119};
    const TRect button{355, 101, 372, 118};
    // Below the button, right edges aligned, widened for a long item.
    EXPECT_EQ(DropDownBounds(cell, button, 3, 13, 10, screen), (TRect{299, 119, 372, 162}));
    EXPECT_EQ(DropDownBounds(cell, button, 3, 13, 90, screen), (TRect{278, 119, 372, 162}));
    // Eight rows at most.
    EXPECT_EQ(DropDownBounds(cell, button, 20, 13, 10, screen).Height(), 8 * 13 + 4);
    // Above the button near the bottom of the screen.
    const TRect low{300, 560, 373, 579};
    const TRect lowButton{355, 561, 372, 578};
    EXPECT_EQ(DropDownBounds(low, lowButton, 3, 13, 10, screen), (TRect{299, 517, 372, 560}));
    // Aligned with the cell when it would leave the screen on the left.
    const TRect left{0, 100, 73, 119};
    const TRect leftButton{55, 101, 72, 118};
    EXPECT_EQ(DropDownBounds(left, leftButton, 3, 13, 120, screen).Left, 0);
}

}  // namespace
}  // namespace plu
