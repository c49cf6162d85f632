// Where the parts of the standard cell kinds lie inside a cell: the button
// of combo, spin and ellipsis cells, the check box and its caption, the
// radio buttons of a radio cell, the sort arrow of a header cell and the
// drop-down list of a combo cell. Pure functions of the cell's pixel
// rectangle (half-open, client or screen pixels alike) and the system sizes;
// painting and hit-testing both use them.
#pragma once

#include <array>

#include "grid/grid_types.h"
#include "sheets/system_metrics.h"

namespace plu {

constexpr int kCheckBoxSize = 13;    // check box and radio button, square
constexpr int kKindMargin = 5;       // box to cell edge, box to caption
constexpr int kRadioPickWidth = 23;  // a release this close to the left edge picks
constexpr int kSortArrowArea = 15;   // the rightmost pixels of a header cell
constexpr int kSortArrowWidth = 8;
constexpr int kSortArrowHeight = 7;
constexpr int kDropDownCount = 8;  // rows a drop-down list shows
constexpr int kDropDownFrame = 4;  // border pixels of the list, both sides together

// The cell shrunk by one pixel on each side, right-aligned, as wide as a
// horizontal scroll thumb (no wider than the shrunk cell). Combo cells
// (comboHeight) take the height of a vertical scroll thumb from the top;
// other button cells the whole shrunk height. Empty for a cell too small to
// hold anything.
TRect ButtonRect(const TRect& cell, const IKtSystemMetrics& metrics, bool comboHeight);
// What the text may use while the button shows: the cell left of the button.
TRect TextRectBesideButton(const TRect& cell, const TRect& button);

// The halves of a spin button: the upper half up to the middle, the lower
// half from the middle plus one pixel.
TRect SpinUpRect(const TRect& button);
TRect SpinDownRect(const TRect& button);
// Below the vertical middle of the button.
bool InLowerHalf(const TRect& button, int y);

// The 13 x 13 box, centred vertically; centred horizontally without a
// caption, 5 pixels from the left edge with one. Empty when the cell is too
// small for it.
TRect CheckBoxRect(const TRect& cell, bool hasCaption);
// The caption: from 5 pixels right of the box to the cell's right edge.
TRect CheckBoxCaptionRect(const TRect& cell, const TRect& box);

// The cell's height divided into itemCount equal bands (height div count;
// 0 when there are no items).
int RadioBandHeight(const TRect& cell, int itemCount);
TRect RadioBandRect(const TRect& cell, int itemCount, int index);
// The 13 x 13 button of a band, 5 pixels from the left, centred vertically.
TRect RadioButtonRect(const TRect& cell, int itemCount, int index);
// The item text of a band: from 5 pixels right of the button to the right edge.
TRect RadioTextRect(const TRect& cell, int itemCount, int index);
// The item a release at (x, y) picks: within 23 pixels of the left edge, in
// the band that holds y; -1 elsewhere (also below the last band).
int RadioItemAt(const TRect& cell, int itemCount, int x, int y);

// The sort-arrow area of a header cell: its rightmost 15 pixels, only while
// the cell is at least textWidth + 15 pixels wide (else empty).
TRect SortArrowArea(const TRect& headerCell, int textWidth);
// The 8 x 7 arrow centred in the area.
TRect SortArrowRect(const TRect& area);

// The three squares of an ellipsis button, side by side in its middle: side
// = button width div 8 (at least 1), one side of space between them.
std::array<TRect, 3> EllipsisDots(const TRect& button);

// Where a drop-down list opens (screen pixels). Height: 8 item heights plus
// 4 when there are 8 or more items, else the items plus 4; width: the cell's,
// widened to the widest item plus 4. Its right edge is the button's right
// edge and its top one pixel below the button; a list that would reach below
// the screen opens above the button; one whose left edge would leave the
// screen is aligned with the cell's left edge.
TRect DropDownBounds(const TRect& cell, const TRect& button, int itemCount, int itemHeight,
                     int widestItem, const TRect& screen);

}  // namespace plu
