// The tab strip's layout, scrolling, hit testing and painting, without a
// window (pixel geometry on a recording canvas).
#include "sheets/tab_strip.h"

#include <gtest/gtest.h>

#include "base/color.h"
#include "grid/recording_canvas.h"
#include "sheets_test_support.h"

namespace plu::testing {
namespace {

using Part = TKtTabStripPart;

class TabStripTest : public SheetsTest {
  protected:
    TabStripTest() {
        layout.SetScrollBarLength(150);
        layout.SetBounds(600, 17);
        layout.SetTabWidths({60, 80, 40});
    }
    TKtTabStripLayout layout;
};

TEST_F(TabStripTest, TabsAreTheirCaptionPlus24WideAndOverlapBy9) {
    TKtTabControlStrings tabs;
    tabs.Append(u"Sheet1", nullptr);
    tabs.Append(u" * ", nullptr);
    TFont font;
    layout.SetTabs(tabs, measurer_, font);
    EXPECT_EQ(layout.TabRect(0).Width(), measurer_.TextWidth(font, u"Sheet1") + 24);
    EXPECT_EQ(layout.TabRect(0).Left, 4 * 17);  // after four buttons as wide as the strip is high
    EXPECT_EQ(layout.TabRect(1).Left, layout.TabRect(0).Right - 9);
}

TEST_F(TabStripTest, TheScrollBarIsRightAlignedAndGivesWayToAVerticalScrollBar) {
    EXPECT_EQ(layout.NavButtonRect(3), (TRect{51, 0, 68, 17}));
    EXPECT_EQ(layout.ScrollBarRect(), (TRect{450, 0, 600, 17}));
    EXPECT_EQ(layout.SplitterRect(), (TRect{445, 0, 450, 17}));
    EXPECT_EQ(layout.TabAreaRect(), (TRect{68, 0, 445, 17}));
    layout.SetRightInset(17);
    EXPECT_EQ(layout.ScrollBarRect(), (TRect{433, 0, 583, 17}));
}

TEST_F(TabStripTest, NavigationScrollsBy20PixelsWithinTheTabs) {
    layout.SetBounds(300, 17);  // tab area 68 ... 145: 77 pixels for 162 of tabs
    EXPECT_EQ(layout.MaxScrollOffset(), 60 + 80 + 40 - 2 * 9 - 77);
    layout.Navigate(Part::Next);
    EXPECT_EQ(layout.ScrollOffset(), 20);
    EXPECT_EQ(layout.TabRect(0).Left, 68 - 20);
    for (int i = 0; i < 10; ++i)
        layout.Navigate(Part::Next);
    EXPECT_EQ(layout.ScrollOffset(), layout.MaxScrollOffset());
    layout.Navigate(Part::Previous);
    EXPECT_EQ(layout.ScrollOffset(), layout.MaxScrollOffset() - 20);
    layout.Navigate(Part::First);
    EXPECT_EQ(layout.ScrollOffset(), 0);
    layout.Navigate(Part::Previous);
    EXPECT_EQ(layout.ScrollOffset(), 0);
    layout.Navigate(Part::Last);
    EXPECT_EQ(layout.ScrollOffset(), layout.MaxScrollOffset());
    layout.SetBounds(900, 17);  // everything fits again
    EXPECT_EQ(layout.ScrollOffset(), 0);
}

TEST_F(TabStripTest, HitsFollowTheSlantsAndTheCurrentTabLiesOnTop) {
    const TRect first = layout.TabRect(0), second = layout.TabRect(1);
    EXPECT_EQ(layout.HitTest(2, 5, -1), (TKtTabStripHit{Part::First}));
    EXPECT_EQ(layout.HitTest(60, 5, -1), (TKtTabStripHit{Part::Last}));
    EXPECT_EQ(layout.HitTest(first.Left + 20, 8, -1), (TKtTabStripHit{Part::Tab, 0}));
    // The overlap at the top: the later tab, unless the earlier one is current.
    EXPECT_EQ(layout.HitTest(second.Left + 2, 0, -1), (TKtTabStripHit{Part::Tab, 1}));
    EXPECT_EQ(layout.HitTest(second.Left + 2, 0, 0), (TKtTabStripHit{Part::Tab, 0}));
    // The bottom corner of the first tab, cut off by its slant.
    EXPECT_EQ(layout.HitTest(first.Left + 3, 16, -1), TKtTabStripHit{});
    // Between two tabs at the bottom both slants leave a gap.
    EXPECT_EQ(layout.HitTest(first.Right - 5, 16, -1), TKtTabStripHit{});
    EXPECT_EQ(layout.HitTest(447, 5, -1), (TKtTabStripHit{Part::Splitter}));
    EXPECT_EQ(layout.HitTest(500, 5, -1), (TKtTabStripHit{Part::ScrollBar}));
}

TEST_F(TabStripTest, TheSplitterStaysBetweenZeroAndTheScrollBarsRightEdge) {
    EXPECT_EQ(layout.ScrollBarLengthForSplitterAt(345), 250);
    EXPECT_EQ(layout.ScrollBarLengthForSplitterAt(-50), 595);
    EXPECT_EQ(layout.ScrollBarLengthForSplitterAt(700), 0);
}

TEST_F(TabStripTest, TheRenameBoxCoversTheTabInsideItsCaptionMargins) {
    const TRect tab = layout.TabRect(1);
    EXPECT_EQ(layout.RenameRect(1), (TRect{tab.Left + 12, 2, tab.Right - 8, 16}));
}

TEST_F(TabStripTest, TheCurrentTabIsPaintedLastInTheWindowColourWithItsCaption) {
    TKtTabControlStrings tabs;
    tabs.Append(u"A", nullptr);
    tabs.Append(u"B", nullptr);
    tabs.Append(u" * ", nullptr);
    RecordingCanvas canvas(measurer_);
    layout.Paint(canvas, tabs, 1, TFont{});
    const auto polygons = canvas.Of(RecordingCanvas::Kind::Polygon);
    ASSERT_EQ(polygons.size(), 3u);
    EXPECT_EQ(polygons.back()->Points, layout.TabOutline(1));
    EXPECT_EQ(polygons.back()->Color, ColorToRGB(clWindow));
    EXPECT_EQ(polygons.front()->Color, ColorToRGB(clBtnFace));
    EXPECT_EQ(layout.TabOutline(0)[3].X - layout.TabOutline(0)[0].X, 8);  // the slant
    const auto* caption = canvas.FindText(u"B");
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->Points[0], (TPoint{layout.TabRect(1).Left + 12, 2}));
    EXPECT_NE(canvas.FindText(u" * "), nullptr);
}

}  // namespace
}  // namespace plu::testing
