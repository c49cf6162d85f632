#include "sheets/tab_strip.h"

#include <algorithm>

#include "base/color.h"
#include "sheets/kind_drawing.h"

namespace plu {

namespace {

// The slant's inset at row y of a strip h pixels high: 0 at the top, the
// full slant at the bottom row.
int SlantAt(int y, int h) {
    return h <= 1 ? 0 : kTabSlant * y / (h - 1);
}

// A triangle pointing left or right, centred in area, drawn column by column.
void SideArrow(IKtCanvas& canvas, const TRect& area, bool right, bool bar, TColor color) {
    const int h = std::max(3, (area.Height() / 2) | 1);  // odd height
    const int w = (h + 1) / 2;
    const int total = w + (bar ? 2 : 0);
    const int left = area.Left + (area.Width() - total) / 2;
    const int top = area.Top + (area.Height() - h) / 2;
    canvas.SetPen({color, 1, TKtPenStyle::psSolid});
    const int arrowLeft = bar && !right ? left + 2 : left;
    for (int i = 0; i < w; ++i) {
        const int x = right ? arrowLeft + i : arrowLeft + w - 1 - i;
        canvas.Line(x, top + i, x, top + h - i);
    }
    if (bar) {
        const int x = right ? left + w + 1 : left;
        canvas.Line(x, top, x, top + h);
    }
}

}  // namespace

void TKtTabStripLayout::SetTabs(const TKtTabControlStrings& tabs, ITextMeasurer& measurer,
                                const TFont& font) {
    widths_.clear();
    for (int i = 0; i < tabs.Count(); ++i)
        widths_.push_back(measurer.TextWidth(font, tabs[i].Caption) + kTabExtraWidth);
    ClampOffset();
}

TRect TKtTabStripLayout::NavButtonRect(int i) const {
    return {i * height_, 0, (i + 1) * height_, height_};
}

TRect TKtTabStripLayout::ScrollBarRect() const {
    const int right = std::max(0, width_ - rightInset_);
    const int left = std::max(0, right - scrollBarLength_);
    return {left, 0, right, height_};
}

TRect TKtTabStripLayout::SplitterRect() const {
    const int right = ScrollBarRect().Left;
    return {std::max(0, right - kTabSplitterWidth), 0, right, height_};
}

TRect TKtTabStripLayout::TabAreaRect() const {
    const int left = kTabNavButtons * height_;
    return {left, 0, std::max(left, SplitterRect().Left), height_};
}

TRect TKtTabStripLayout::TabRect(int i) const {
    if (i < 0 || i >= TabCount()) return {};
    int left = TabAreaRect().Left - offset_;
    for (int j = 0; j < i; ++j)
        left += widths_[static_cast<size_t>(j)] - kTabOverlap;
    return {left, 0, left + widths_[static_cast<size_t>(i)], height_};
}

std::vector<TPoint> TKtTabStripLayout::TabOutline(int i) const {
    const TRect r = TabRect(i);
    if (r.IsEmpty()) return {};
    const int bottom = r.Bottom - 1;
    const int slant = SlantAt(bottom - r.Top, r.Height());
    return {{r.Left, r.Top},
            {r.Right - 1, r.Top},
            {r.Right - 1 - slant, bottom},
            {r.Left + slant, bottom}};
}

TRect TKtTabStripLayout::RenameRect(int i) const {
    const TRect r = TabRect(i);
    if (r.IsEmpty()) return {};
    return {r.Left + kTabCaptionLeft, r.Top + 2, r.Right - kTabSlant, r.Bottom - 1};
}

int TKtTabStripLayout::MaxScrollOffset() const {
    if (widths_.empty()) return 0;
    int total = kTabOverlap;
    for (int w : widths_)
        total += w - kTabOverlap;
    return std::max(0, total - TabAreaRect().Width());
}

void TKtTabStripLayout::ClampOffset() {
    offset_ = std::clamp(offset_, 0, MaxScrollOffset());
}

bool TKtTabStripLayout::Navigate(TKtTabStripPart button) {
    switch (button) {
        case TKtTabStripPart::First:
            offset_ = 0;
            return true;
        case TKtTabStripPart::Previous:
            offset_ = std::max(0, offset_ - kTabScrollStep);
            return true;
        case TKtTabStripPart::Next:
            offset_ = std::min(MaxScrollOffset(), offset_ + kTabScrollStep);
            return true;
        case TKtTabStripPart::Last:
            offset_ = MaxScrollOffset();
            return true;
        default:
            return false;
    }
}

bool TKtTabStripLayout::InTab(int i, int x, int y) const {
    const TRect r = TabRect(i);
    if (!r.Contains(x, y)) return false;
    const int slant = SlantAt(y - r.Top, r.Height());
    return x >= r.Left + slant && x < r.Right - slant;
}

TKtTabStripHit TKtTabStripLayout::HitTest(int x, int y, int currentTab) const {
    if (y < 0 || y >= height_ || x < 0 || x >= width_) return {};
    for (int i = 0; i < kTabNavButtons; ++i)
        if (NavButtonRect(i).Contains(x, y))
            return {static_cast<TKtTabStripPart>(static_cast<int>(TKtTabStripPart::First) + i)};
    if (SplitterRect().Contains(x, y)) return {TKtTabStripPart::Splitter};
    if (ScrollBarRect().Contains(x, y)) return {TKtTabStripPart::ScrollBar};
    if (!TabAreaRect().Contains(x, y)) return {};
    if (currentTab >= 0 && InTab(currentTab, x, y)) return {TKtTabStripPart::Tab, currentTab};
    for (int i = TabCount() - 1; i >= 0; --i)
        if (InTab(i, x, y)) return {TKtTabStripPart::Tab, i};
    return {};
}

int TKtTabStripLayout::ScrollBarLengthForSplitterAt(int x) const {
    const int right = ScrollBarRect().Right;
    const int splitterLeft = std::clamp(x, 0, std::max(0, right - kTabSplitterWidth));
    return right - splitterLeft - kTabSplitterWidth;
}

void TKtTabStripLayout::PaintTab(IKtCanvas& canvas, int i, WideStringView caption,
                                 bool current) const {
    const std::vector<TPoint> outline = TabOutline(i);
    if (outline.empty()) return;
    canvas.SetBrush(ColorToRGB(current ? clWindow : clBtnFace));
    canvas.SetPen({ColorToRGB(clWindowText), 1, TKtPenStyle::psSolid});
    canvas.Polygon(outline);
    if (current) {
        // The current tab is open towards the sheet above it.
        canvas.SetPen({ColorToRGB(clWindow), 1, TKtPenStyle::psSolid});
        canvas.Line(outline[0].X + 1, outline[0].Y, outline[1].X, outline[1].Y);
    }
    const TRect r = TabRect(i);
    canvas.TextOut(r.Left + kTabCaptionLeft, r.Top + kTabCaptionTop, caption,
                   {r.Left + kTabSlant, r.Top, r.Right - kTabSlant, r.Bottom});
}

void TKtTabStripLayout::Paint(IKtCanvas& canvas, const TKtTabControlStrings& tabs, int currentTab,
                              const TFont& font) const {
    TKtCanvasSaver saver(canvas);
    canvas.FillRect({0, 0, ScrollBarRect().Left, height_}, ColorToRGB(clBtnFace));
    const TColor ink = ColorToRGB(clBtnText);
    for (int i = 0; i < kTabNavButtons; ++i) {
        const TRect button = NavButtonRect(i);
        DrawButtonFace(canvas, button, false);
        SideArrow(canvas, button.Inflated(-2), i >= 2, i == 0 || i == 3, ink);
    }
    {
        TKtCanvasSaver area(canvas);
        canvas.IntersectClip(TabAreaRect());
        canvas.SetFont(font);
        // Later tabs overlap earlier ones; the current tab lies on top of all.
        for (int i = 0; i < TabCount() && i < tabs.Count(); ++i)
            if (i != currentTab) PaintTab(canvas, i, tabs[i].Caption, false);
        if (currentTab >= 0 && currentTab < TabCount() && currentTab < tabs.Count())
            PaintTab(canvas, currentTab, tabs[currentTab].Caption, true);
    }
    DrawButtonFace(canvas, SplitterRect(), false);
}

}  // namespace plu
