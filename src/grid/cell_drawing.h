// Drawing of one cell's content, shared by cell objects (TKtCell::Paint and
// the virtuals below it) and by the painter for positions that hold no cell:
// the font a position paints with, the alignment its text takes and the
// text laid out by the shared layout routine.
//
// Pixel convention: a cell owns the pixels [Left, Right) x [Top, Bottom) of
// its column and row; its grid lines are its last pixel column and row, so
// the content rectangle is [Left, Right - 1) x [Top, Bottom - 1).
#pragma once

#include "base/font.h"
#include "base/text_measurer.h"
#include "base/wide_text.h"
#include "grid/canvas.h"
#include "grid/grid_style.h"
#include "grid/grid_types.h"

namespace plu {

class TKtCell;
class TKtCustomGrid;

// The content rectangle of a cell (or merged area) whose pixels are r: the
// right and bottom grid lines taken off.
constexpr TRect ContentRect(const TRect& r) {
    return {r.Left, r.Top, r.Right - 1, r.Bottom - 1};
}

// The font a position paints with: the column's font when the column has one
// set, else the cell's font (the grid's for a position without a cell), then
// OnCellGetFont.
TFont CellPaintFont(const TKtCustomGrid& grid, const TKtCell* cell, TPoint pos);

// haGeneral resolved for a text: right for a number, left for a string.
// Other alignments are returned as they are (the layout centres haFill,
// haJustify and haCenter_across_selection).
TKtGridHorzAlign ResolvedAlignment(TKtGridHorzAlign align, bool isNumber);

// Lays text out in rect with the canvas font and draws its lines.
void DrawLayoutText(IKtCanvas& canvas, ITextMeasurer& measurer, const TRect& rect, bool wrap,
                    TKtGridVertAlign vertAlign, TKtGridHorzAlign horzAlign, WideStringView text);

// The content of a position: its display text (with the number format's
// colour) in the effective alignment, after OnDrawCellTextW/OnDrawCellText.
// cell may be nullptr: the text is then what OnGetCellText supplies for the
// position, drawn from the column, row and grid styles.
void DrawPositionContent(const TKtCustomGrid& grid, const TKtCell* cell, IKtCanvas& canvas,
                         const TRect& rect, TPoint pos);

// The comment mark: a small red triangle in the top right corner of rect
// (a cell's content rectangle).
void DrawCommentMark(IKtCanvas& canvas, const TRect& rect);

}  // namespace plu
