// The grid's painter: draws a grid on a canvas for an update rectangle in
// client pixels, without a toolkit and without changing the grid.
//
// Order of one paint: the body area by area (frozen columns x frozen rows,
// frozen rows x scrolled columns, scrolled rows x frozen columns, scrolled
// x scrolled), each with its grid lines (merged-area interiors kept out),
// cells (background, then the cell's Paint, merged areas once through their
// anchor), borders and the selection tint; then the header rows over the
// frozen and scrolled columns, the header columns beside the frozen and
// scrolled rows and the corner; then the selection frame with its fill
// handle; the comment box of the cell under the mouse; and BgColor right of
// the last column and below the last row.
//
// Cost: the update rectangle is mapped once to the columns and rows it
// touches by walking only the visible columns and rows (never every row of
// the grid); areas outside the update rectangle are skipped; merged areas
// are collected once per area. Positions without a cell are drawn from the
// column, row and grid styles and are never created.
//
// Pixel convention (see cell_drawing.h): a cell's grid lines are its last
// pixel column and row; its content rectangle excludes them.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "base/color.h"
#include "grid/canvas.h"
#include "grid/grid_types.h"

namespace plu {

class TKtCell;
class TKtCustomGrid;

// The tint of p percent: each channel c becomes c + (255 - c) x min(p, 100)
// / 100, rounded; pure white is taken as black first. System colours are
// resolved to their RGB value.
TColor TintColor(TColor color, int percent);

// The pen of a border line style (1 thin, 2 medium, 3 dashed, 4 dotted,
// 5 thick) in color; solid widths 1, 2 and 3 on the screen, in the ratio
// 1 : 2 : 4 of the device's pixels per inch / 96 elsewhere (printing).
// Returns false for 0 and unknown styles (nothing is drawn).
bool BorderPen(uint8_t lineStyle, TColor color, int pixelsPerInch, TKtPen& pen);

// The edges 0 ... 9 of a border style drawn around the cell pixels r:
// the four sides lie on the grid lines around the cell (left and top on
// the neighbours' lines), consecutive sides with the same pen as one path.
void DrawCellBorders(IKtCanvas& canvas, const TRect& r, const std::array<uint8_t, 10>& lines,
                     const std::array<TColor, 10>& colors);

// The selection frame of the pixel rectangle r: the 3-pixel band from r
// inflated by 1 to r deflated by 2 and, with a fill handle, the 5 x 5
// square centred on r's bottom-right pixel with a 1-pixel gap cut around it.
struct TKtSelectionFrame {
    std::vector<TRect> Bands;  // top, bottom, left, right
    TRect Gap;                 // empty without a handle
    TRect Handle;              // empty without a handle
};
TKtSelectionFrame SelectionFrame(const TRect& r, bool fillHandle);

class TKtGridPainter {
  public:
    // focused: the grid has the keyboard focus (without it the selection is
    // drawn only under goAlwaysShowSelection).
    TKtGridPainter(const TKtCustomGrid& grid, IKtCanvas& canvas, bool focused = true);
    // Paints everything that intersects update (client pixels).
    void Paint(const TRect& update);

  private:
    struct Slot {
        int index;
        int pos;
        int size;
    };
    // The columns (or rows) of one band of the screen, in order.
    struct Band {
        std::vector<Slot> slots;
        int start = 0;
        int end = 0;
        bool fixed = false;
    };
    struct Merged {
        TRect cells;
        TRect pixels;
    };

    Band MakeBand(bool columns, int first, int last, int start, bool fixed) const;
    // The slots of band touching [lo, hi).
    static Band Touching(const Band& band, int lo, int hi);
    void PaintArea(const Band& cols, const Band& rows);
    void PaintCell(int col, int row, const TRect& pixels, bool header, const std::vector<Merged>&);
    void PaintBorders(const Band& cols, const Band& rows, const std::vector<Merged>& merged);
    void PaintSelectionTint(const TRect& areaCells, const TRect& areaPixels);
    void PaintSelectionFrame(int scrolledX, int scrolledY);
    void PaintCommentBox();
    bool SelectionShown() const;

    const TKtCustomGrid& grid_;
    IKtCanvas& canvas_;
    bool focused_;
    TRect update_;
};

// TKtGridPainter (grid, canvas, focused).Paint (update).
void PaintGrid(const TKtCustomGrid& grid, IKtCanvas& canvas, const TRect& update,
               bool focused = true);

}  // namespace plu
