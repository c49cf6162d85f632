// TKtTabStripLayout: where the parts of a sheet control's tab strip lie,
// which part a point hits, how the tab area scrolls, and how the strip is
// drawn, without a toolkit. Left to right: four navigation buttons (first,
// previous, next, last; each as wide as the strip is high), the tab area,
// the 5-pixel splitter and the horizontal scroll bar of the active sheet
// (right-aligned; its right edge moves left by a vertical scroll bar's width
// while the active sheet shows one). The shell owns the scroll bar widget
// and the rename box and places them where this layout says.
//
// Tab i is its caption's width plus 24 pixels wide; neighbours overlap by
// 9 pixels; each is a trapezoid, wide along the strip's top edge and 8
// pixels narrower on each side at its bottom; the caption starts 12 pixels
// from the tab's left edge and 2 from the top. The tab area is shifted left
// by the scroll offset. Pixels are the strip's client pixels (half-open).
#pragma once

#include <vector>

#include "base/font.h"
#include "base/text_measurer.h"
#include "grid/canvas.h"
#include "grid/grid_types.h"
#include "sheets/sheet_tabs.h"

namespace plu {

constexpr int kTabNavButtons = 4;
constexpr int kTabExtraWidth = 24;  // caption width + this = tab width
constexpr int kTabOverlap = 9;
constexpr int kTabSlant = 8;
constexpr int kTabCaptionLeft = 12;
constexpr int kTabCaptionTop = 2;
constexpr int kTabScrollStep = 20;
constexpr int kTabSplitterWidth = 5;

enum class TKtTabStripPart { None, First, Previous, Next, Last, Tab, Splitter, ScrollBar };

struct TKtTabStripHit {
    TKtTabStripPart Part = TKtTabStripPart::None;
    int Tab = -1;  // Part == Tab: the tab's index
    bool operator==(const TKtTabStripHit&) const = default;
};

class TKtTabStripLayout {
  public:
    // The strip's client size, the scroll bar's width (HorzScrollBarLength)
    // and the width taken off the right for the active sheet's vertical
    // scroll bar (0 when it shows none).
    void SetBounds(int width, int height) {
        width_ = width;
        height_ = height;
        ClampOffset();
    }
    void SetScrollBarLength(int length) { scrollBarLength_ = length; }
    void SetRightInset(int inset) { rightInset_ = inset; }
    // The caption widths come from the measurer with the strip's font.
    void SetTabs(const TKtTabControlStrings& tabs, ITextMeasurer& measurer, const TFont& font);
    // Test and shell hook: the tab widths given directly.
    void SetTabWidths(std::vector<int> widths) {
        widths_ = std::move(widths);
        ClampOffset();
    }

    int Width() const { return width_; }
    int Height() const { return height_; }
    int TabCount() const { return static_cast<int>(widths_.size()); }

    // ---- Geometry ----------------------------------------------------------------------
    // Navigation button i (0 first ... 3 last).
    TRect NavButtonRect(int i) const;
    TRect ScrollBarRect() const;
    TRect SplitterRect() const;
    // Between the navigation buttons and the splitter.
    TRect TabAreaRect() const;
    // Tab i's bounding rectangle, shifted by the scroll offset.
    TRect TabRect(int i) const;
    // The trapezoid of tab i (top left, top right, bottom right, bottom left).
    std::vector<TPoint> TabOutline(int i) const;
    // The rename box over tab i: 12 pixels in from its left edge, 8 in from
    // its right, 2 below the top, 1 above the bottom.
    TRect RenameRect(int i) const;

    // ---- Scrolling ---------------------------------------------------------------------
    int ScrollOffset() const { return offset_; }
    // How far the tabs can scroll: their total width beyond the tab area.
    int MaxScrollOffset() const;
    // First: 0; Previous: 20 pixels back (not below 0); Next: 20 pixels on
    // (not past the end of the tabs); Last: to the end. False for other parts.
    bool Navigate(TKtTabStripPart button);

    // ---- Hit testing ---------------------------------------------------------------------
    // The current tab lies on top of its neighbours; among the others, a
    // later tab overlaps the one before it. A point in the tab area outside
    // every trapezoid hits nothing.
    TKtTabStripHit HitTest(int x, int y, int currentTab) const;
    // The scroll bar width a splitter dragged to x gives: the splitter stays
    // between 0 and the scroll bar's right edge.
    int ScrollBarLengthForSplitterAt(int x) const;

    // ---- Painting -------------------------------------------------------------------------
    // The strip's background, the navigation buttons, the tabs (the current
    // one in the window colour, on top) with their captions, the splitter.
    void Paint(IKtCanvas& canvas, const TKtTabControlStrings& tabs, int currentTab,
               const TFont& font) const;

  private:
    void ClampOffset();
    bool InTab(int i, int x, int y) const;
    void PaintTab(IKtCanvas& canvas, int i, WideStringView caption, bool current) const;

    int width_ = 0;
    int height_ = 17;
    int scrollBarLength_ = 150;
    int rightInset_ = 0;
    int offset_ = 0;
    std::vector<int> widths_;
};

}  // namespace plu
