// TKtColorBox without a toolkit: the 56-colour palette of the colour pickers
// with its "Auto" strip. It keeps the chosen index, lays the palette out in
// its client area, finds the colour under a point and paints itself on an
// IKtCanvas; the window's widget only forwards its size, mouse and paint
// events and repaints when asked.
//
// Layout (client pixels, W = width div 8, A = the Auto strip's height):
//   y = 0 .. A        the "Auto" strip (only with ShowAuto)
//   five rows of eight colours (indexes 0 ... 39)
//   a 7-pixel gap
//   two rows of eight colours (indexes 40 ... 55)
// Painting and hit testing divide the height below the strip slightly
// differently (see RowHeight); at the default sizes both give the same rows.
#pragma once

#include <array>
#include <functional>

#include "base/color.h"
#include "base/font.h"
#include "base/wide_text.h"
#include "grid/canvas.h"
#include "grid/grid_types.h"

namespace plu {

inline constexpr int kColorBoxColorCount = 56;
// ActiveIndex of the "Auto" choice.
inline constexpr int kAutoColorIndex = -1;
// The colour "Auto" stands for: no explicit colour.
inline constexpr TColor kAutomaticColor = clNone;
inline constexpr char16_t kAutoCaption[] = u"Auto";

// The palette every colour box starts from, in display order (eight a row).
const std::array<TColor, kColorBoxColorCount>& SharedColorPalette();

class TKtColorBox {
  public:
    static constexpr int kDefaultWidth = 144;
    static constexpr int kDefaultHeight = 153;
    static constexpr int kColumns = 8;
    static constexpr int kRows = 7;
    static constexpr int kRowsAboveGap = 5;
    static constexpr int kGap = 7;

    TKtColorBox();

    // ---- Choice -------------------------------------------------------------------------
    int ActiveIndex() const { return activeIndex_; }
    // Below -1 is ignored, above 55 means Auto; a change raises OnChange and
    // repaints.
    void SetActiveIndex(int value);
    // The colour of ActiveIndex; the automatic colour for Auto or any index
    // outside the palette.
    TColor SelectedColor() const;
    // The first index holding color, or Auto when none does.
    void SelectColor(TColor color);

    // ---- Palette ------------------------------------------------------------------------
    TColor PaletteColor(int index) const;
    void SetPaletteColor(int index, TColor color);
    bool Global() const { return global_; }
    // Turning Global on copies the shared palette again.
    void SetGlobal(bool global);

    // ---- Appearance and size ----------------------------------------------------------------
    bool ShowAuto() const { return showAuto_; }
    // Grows or shrinks the height by the strip's height, except while the
    // control is being loaded.
    void SetShowAuto(bool show);
    int Width() const { return width_; }
    int Height() const { return height_; }
    // The client size the widget was given (no resize notification).
    void SetBounds(int width, int height);
    bool Loading = false;
    // The strip's caption font; its height decides the strip's height.
    TFont Font;
    // The background left around and between the cells.
    TColor Color = clBtnFace;

    // ---- Layout ----------------------------------------------------------------------------
    int CellWidth() const { return width_ / kColumns; }
    // |font height| + 9 with ShowAuto, 0 without.
    int AutoStripHeight() const;
    // The height of a colour row when painting or when hit testing.
    int RowHeight(bool forPainting) const;
    TRect AutoRect() const;
    TRect CellRect(int index, bool forPainting) const;
    // The index under (x, y): Auto over the strip; false outside all cells.
    bool IndexAt(int x, int y, int& index) const;

    // ---- Input and painting ------------------------------------------------------------------
    // Any button pressed at (x, y).
    void MouseDown(int x, int y);
    // Moving with the left button held picks what is under the pointer.
    void MouseMove(int x, int y, bool leftButtonDown);
    void Click();
    void DblClick();
    void Paint(IKtCanvas& canvas) const;

    std::function<void()> OnChange;
    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
    // The control should repaint (the widget schedules an update).
    std::function<void()> OnInvalidate;
    // The control changed its own size (ShowAuto).
    std::function<void()> OnResize;

  private:
    void PickAt(int x, int y);
    void Invalidate() const {
        if (OnInvalidate) OnInvalidate();
    }

    std::array<TColor, kColorBoxColorCount> colors_{};
    int activeIndex_ = kAutoColorIndex;
    bool showAuto_ = true;
    bool global_ = true;
    int width_ = kDefaultWidth;
    int height_ = kDefaultHeight;
};

}  // namespace plu
