// The pictures of the standard cell kinds' parts, drawn on the toolkit-free
// canvas in the classic button colours: button faces with a raised or
// sunken edge, the combo and spin arrows, the ellipsis squares, the check
// box, the radio button, the header's sort arrow, and where an image cell
// puts its picture. Where each part lies comes from cell_geometry; these
// functions only draw into the rectangle they are given (half-open).
#pragma once

#include "grid/canvas.h"
#include "grid/grid_host.h"
#include "grid/grid_style.h"
#include "grid/grid_types.h"

namespace plu {

// The cell's pixels from the content rectangle a paint receives: the grid
// lines given back, so that painting and hit-testing share one geometry.
constexpr TRect CellPixels(const TRect& content) {
    return {content.Left, content.Top, content.Right + 1, content.Bottom + 1};
}

// A button face (clBtnFace) with a two-pixel raised edge (light top-left,
// dark bottom-right), or a one-pixel shadow frame when pressed.
void DrawButtonFace(IKtCanvas& canvas, const TRect& button, bool pressed);

// A filled triangle pointing up or down, centred in area: width is the
// largest odd number that fits in area's width div 2 (at least 3 when it
// fits), height (width + 1) div 2. Pressed moves it one pixel right and
// down, as a pushed button does. Answers the triangle's bounding box.
TRect DrawArrowGlyph(IKtCanvas& canvas, const TRect& area, bool up, bool pressed, TColor color);

// The combo button: a face with a down arrow.
void DrawComboButton(IKtCanvas& canvas, const TRect& button, bool pressed);
// The spin button: the halves of SpinUpRect / SpinDownRect, each a face
// with its arrow, each pressed on its own.
void DrawSpinButton(IKtCanvas& canvas, const TRect& button, bool upPressed, bool downPressed);
// The ellipsis button: a face, sunken when pressed, with the three black
// squares of EllipsisDots.
void DrawEllipsisButton(IKtCanvas& canvas, const TRect& button, bool pressed);

// The 13 x 13 check box: a sunken white square; checked adds a check mark
// of three-pixel-thick strokes.
void DrawCheckBox(IKtCanvas& canvas, const TRect& box, bool checked);
// The 13 x 13 radio button: a round sunken outline on white; checked adds a
// dot in the middle.
void DrawRadioButton(IKtCanvas& canvas, const TRect& box, bool checked);

// The header's 8 x 7 sort arrow in arrow (SortArrowRect): up for
// ascending, down for descending; its lit edges in the button highlight
// colour, its shaded edges in the button shadow colour.
void DrawSortArrow(IKtCanvas& canvas, const TRect& arrow, bool ascending);

// The pixel size a picture has at its own size, read from its stream
// header (BMP, PNG, JPEG, icon); {0, 0} when it cannot be read.
TPoint PictureSize(const TKtPicture& picture);

// Where an image cell draws its picture of size size in cell: at its own
// size at the left edge, centred or at the right edge (haLeft, haCenter,
// haRight), vertically centred; any other alignment, or an unknown size,
// stretches it over the whole cell. The caller clips to the cell.
TRect ImagePlacement(const TRect& cell, TPoint size, TKtGridHorzAlign align);

}  // namespace plu
