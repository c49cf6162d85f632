// Text layout of cell and header texts, shared by the painter and by the
// automatic row heights: margins, line breaking, the placement of each line
// in a rectangle, and the height a text needs. Pure functions over a text
// measurer, so the window, the command line and the tests agree.
//
// Line breaking follows a multi-line text box: lines end at CR LF (also a
// lone CR or LF); a line wraps at spaces, the spaces at a break are dropped;
// a word wider than the line is broken inside the word; every line holds at
// least one character, so a width too small for anything still ends.
#pragma once

#include <vector>

#include "base/font.h"
#include "base/screen.h"
#include "base/text_measurer.h"
#include "base/wide_text.h"
#include "grid/grid_style.h"

namespace plu {

// A rectangle in pixels, half-open (Right and Bottom exclusive).
struct LayoutRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool operator==(const LayoutRect&) const = default;
};

// A drawn line holds at most this many characters.
constexpr size_t kMaxLayoutLineLength = 4095;

// The left and right margin: 2 pixels on the screen, scaled on a device of
// another resolution (2 x device ppi / screen ppi, rounded).
int TextMargin(int devicePixelsPerInch = kPixelsPerInch);

// The text broken into lines for a box `width` pixels wide.
std::vector<WideString> BreakTextLines(ITextMeasurer& measurer, const TFont& font,
                                       WideStringView text, int width);

// The multi-line path is taken when wrapping or when the text holds a line feed.
bool NeedsMultiLineLayout(WideStringView text, bool wrap);

// One line to draw: its text, the x of its first pixel, and the band it is
// drawn in (text top = band top; clipped to Clip).
struct LayoutLine {
    WideString Text;
    int X = 0;
    int Top = 0;
    int Bottom = 0;
};

struct TextLayout {
    LayoutRect Clip;  // the rectangle narrowed by the margins
    std::vector<LayoutLine> Lines;  // empty: nothing is drawn
};

// Lays text out in rect. horzAlign must be resolved by the caller
// (haGeneral: right for a number, left for a string); haFill, haJustify,
// haCenter_across_selection and an unresolved haGeneral are centred.
// vaJustify centres a single line and spreads several.
TextLayout LayoutText(ITextMeasurer& measurer, const TFont& font, const LayoutRect& rect,
                      bool wrap, TKtGridVertAlign vertAlign, TKtGridHorzAlign horzAlign,
                      WideStringView text, int devicePixelsPerInch = kPixelsPerInch);

// The height text needs in a box `width` pixels wide: with wrapping or a line
// feed, lines x (h + e) + d - e of the text broken at the width narrowed by
// the margins; otherwise one line of the font; plus 1 on the screen (on
// another device its ppi / the screen's ppi).
int TextHeight(ITextMeasurer& measurer, const TFont& font, WideStringView text, int width,
               bool wrap, int devicePixelsPerInch = kPixelsPerInch);

}  // namespace plu
