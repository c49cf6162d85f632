#include "app/color_box.h"

#include <cstdlib>

namespace plu {

const std::array<TColor, kColorBoxColorCount>& SharedColorPalette() {
    static const std::array<TColor, kColorBoxColorCount> palette = {
        RGB(0, 0, 0),       RGB(146, 48, 0),    RGB(48, 48, 0),     RGB(0, 48, 0),
        RGB(0, 48, 96),     RGB(0, 0, 127),     RGB(48, 48, 146),   RGB(48, 48, 48),
        RGB(127, 0, 0),     RGB(255, 96, 0),    RGB(127, 127, 0),   RGB(0, 127, 0),
        RGB(0, 127, 127),   RGB(0, 0, 255),     RGB(96, 96, 146),   RGB(127, 127, 127),
        RGB(255, 0, 0),     RGB(255, 146, 0),   RGB(146, 200, 0),   RGB(48, 151, 96),
        RGB(48, 200, 200),  RGB(48, 96, 255),   RGB(127, 0, 127),   RGB(146, 146, 146),
        RGB(255, 0, 255),   RGB(255, 200, 0),   RGB(255, 255, 0),   RGB(0, 255, 0),
        RGB(0, 255, 255),   RGB(0, 200, 255),   RGB(146, 48, 96),   RGB(191, 191, 191),
        RGB(255, 151, 200), RGB(255, 200, 146), RGB(255, 255, 146), RGB(200, 255, 200),
        RGB(200, 255, 255), RGB(146, 200, 255), RGB(200, 151, 255), RGB(255, 255, 255),
        RGB(146, 151, 255), RGB(146, 48, 96),   RGB(255, 255, 200), RGB(200, 255, 255),
        RGB(96, 0, 96),     RGB(255, 127, 127), RGB(0, 100, 200),   RGB(200, 200, 255),
        RGB(0, 0, 127),     RGB(255, 0, 255),   RGB(255, 255, 0),   RGB(0, 255, 255),
        RGB(127, 0, 127),   RGB(127, 0, 0),     RGB(0, 127, 127),   RGB(0, 0, 255),
    };
    return palette;
}

TKtColorBox::TKtColorBox() { colors_ = SharedColorPalette(); }

void TKtColorBox::SetActiveIndex(int value) {
    if (value < kAutoColorIndex) return;
    if (value >= kColorBoxColorCount) value = kAutoColorIndex;
    if (value == activeIndex_) return;
    activeIndex_ = value;
    if (OnChange) OnChange();
    Invalidate();
}

TColor TKtColorBox::SelectedColor() const { return PaletteColor(activeIndex_); }

void TKtColorBox::SelectColor(TColor color) {
    for (int i = 0; i < kColorBoxColorCount; ++i) {
        if (colors_[static_cast<size_t>(i)] == color) {
            SetActiveIndex(i);
            return;
        }
    }
    SetActiveIndex(kAutoColorIndex);
}

TColor TKtColorBox::PaletteColor(int index) const {
    if (index < 0 || index >= kColorBoxColorCount) return kAutomaticColor;
    return colors_[static_cast<size_t>(index)];
}

void TKtColorBox::SetPaletteColor(int index, TColor color) {
    if (index < 0 || index >= kColorBoxColorCount) return;
    colors_[static_cast<size_t>(index)] = color;
    Invalidate();
}

void TKtColorBox::SetGlobal(bool global) {
    global_ = global;
    if (global) {
        colors_ = SharedColorPalette();
        Invalidate();
    }
}

void TKtColorBox::SetShowAuto(bool show) {
    if (show == showAuto_) return;
    // The strip's height is the same whether shown or not, so measure it
    // while it is on.
    const int strip = std::abs(Font.Height()) + 9;
    showAuto_ = show;
    if (!Loading) {
        height_ += show ? strip : -strip;
        if (OnResize) OnResize();
    }
    Invalidate();
}

void TKtColorBox::SetBounds(int width, int height) {
    width_ = width;
    height_ = height;
}

int TKtColorBox::AutoStripHeight() const { return showAuto_ ? std::abs(Font.Height()) + 9 : 0; }

int TKtColorBox::RowHeight(bool forPainting) const {
    const int remaining = height_ - AutoStripHeight();
    return (remaining - (forPainting ? 6 : 7)) / kRows;
}

TRect TKtColorBox::AutoRect() const {
    if (!showAuto_) return {};
    return {0, 0, CellWidth() * kColumns, AutoStripHeight()};
}

TRect TKtColorBox::CellRect(int index, bool forPainting) const {
    if (index < 0 || index >= kColorBoxColorCount) return {};
    const int w = CellWidth();
    const int h = RowHeight(forPainting);
    const int row = index / kColumns;
    const int col = index % kColumns;
    const int top = AutoStripHeight() + row * h + (row >= kRowsAboveGap ? kGap : 0);
    return {col * w, top, col * w + w, top + h};
}

bool TKtColorBox::IndexAt(int x, int y, int& index) const {
    const int w = CellWidth();
    if (x < 0 || w <= 0 || x >= w * kColumns || y < 0) return false;
    const int strip = AutoStripHeight();
    if (y < strip) {
        index = kAutoColorIndex;
        return true;
    }
    const int h = RowHeight(false);
    if (h <= 0) return false;
    int dy = y - strip;
    int row;
    if (dy < kRowsAboveGap * h) {
        row = dy / h;
    } else {
        dy -= kRowsAboveGap * h + kGap;
        if (dy < 0) return false;  // in the gap
        row = kRowsAboveGap + dy / h;
        if (row >= kRows) return false;
    }
    index = row * kColumns + x / w;
    return true;
}

void TKtColorBox::PickAt(int x, int y) {
    int index;
    if (IndexAt(x, y, index)) SetActiveIndex(index);
}

void TKtColorBox::MouseDown(int x, int y) { PickAt(x, y); }

void TKtColorBox::MouseMove(int x, int y, bool leftButtonDown) {
    if (leftButtonDown) PickAt(x, y);
}

void TKtColorBox::Click() {
    if (OnClick) OnClick();
}

void TKtColorBox::DblClick() {
    if (OnDblClick) OnDblClick();
}

namespace {

// A one-pixel edge: light on the top and left, dark on the bottom and right
// (swapped for a sunken edge).
void DrawEdge(IKtCanvas& canvas, const TRect& r, TColor topLeft, TColor bottomRight) {
    if (r.Width() <= 0 || r.Height() <= 0) return;
    canvas.FillRect({r.Left, r.Top, r.Right, r.Top + 1}, topLeft);
    canvas.FillRect({r.Left, r.Top, r.Left + 1, r.Bottom}, topLeft);
    canvas.FillRect({r.Left, r.Bottom - 1, r.Right, r.Bottom}, bottomRight);
    canvas.FillRect({r.Right - 1, r.Top, r.Right, r.Bottom}, bottomRight);
}

void DrawFlatRaised(IKtCanvas& canvas, const TRect& r) {
    DrawEdge(canvas, r, clBtnHighlight, clBtnShadow);
}

// A pushed button: the face a shade lighter, sunk by a two-pixel edge.
void DrawPushed(IKtCanvas& canvas, const TRect& r) {
    canvas.FillRect(r, cl3DLight);
    DrawEdge(canvas, r, clBtnShadow, clBtnHighlight);
    DrawEdge(canvas, {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}, cl3DDkShadow, cl3DLight);
}

}  // namespace

void TKtColorBox::Paint(IKtCanvas& canvas) const {
    TKtCanvasSaver saver(canvas);
    canvas.FillRect({0, 0, width_, height_}, Color);

    if (showAuto_) {
        const TRect strip = AutoRect();
        if (activeIndex_ == kAutoColorIndex)
            DrawPushed(canvas, strip);
        else
            DrawFlatRaised(canvas, strip);
        canvas.SetFont(Font);
        const int textWidth = canvas.TextWidth(kAutoCaption);
        const int x = strip.Left + (strip.Width() - textWidth) / 2;
        const int y = strip.Top + (strip.Height() - std::abs(Font.Height())) / 2 - 1;
        canvas.TextOut(x, y, kAutoCaption, strip);
    }

    for (int i = 0; i < kColorBoxColorCount; ++i) {
        const TRect cell = CellRect(i, true);
        if (i == activeIndex_) DrawPushed(canvas, cell);
        const TRect swatch{cell.Left + 4, cell.Top + 4, cell.Right - 4, cell.Bottom - 4};
        if (swatch.Width() <= 0 || swatch.Height() <= 0) continue;
        canvas.FillRect(swatch, colors_[static_cast<size_t>(i)]);
        DrawFlatRaised(canvas, swatch);
    }

    // Two etched lines across the gap between the rows 0-39 and 40-55.
    const int gapTop = AutoStripHeight() + kRowsAboveGap * RowHeight(true);
    const int right = CellWidth() * kColumns - 2;
    canvas.SetPen({clBtnShadow, 1, TKtPenStyle::psSolid});
    canvas.Line(2, gapTop + 3, right, gapTop + 3);
    canvas.SetPen({clBtnHighlight, 1, TKtPenStyle::psSolid});
    canvas.Line(2, gapTop + 4, right, gapTop + 4);
}

}  // namespace plu
