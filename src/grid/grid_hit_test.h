// Pixels to cells and what lies under a point of a grid's client area.
//
// The client area has four parts: the fixed (header) columns and rows at the
// left and top, the frozen body columns and rows after them (up to
// ViewLockCol / ViewLockRow), and the scrolled part that starts at LeftCol /
// TopRow. Columns between ViewLockCol and LeftCol are scrolled out of view
// and are never under a point. Hidden columns and rows (size 0) are never
// under a point either; a border shared with a hidden one belongs to the
// hidden one only when the point lies beyond the border, so that it can be
// dragged open again.
//
// All coordinates are client pixels; cells are (column, row).
#pragma once

#include <cstdint>

#include "grid/grid_types.h"

namespace plu {

class TKtCustomGrid;

// How far (pixels) from a header border a press still grabs it for sizing.
constexpr int kSizingMargin = 2;

enum class TKtHitKind : uint8_t {
    Outside,     // no cell: beyond the last column or row, or off the client area
    Cell,        // a body cell (Col, Row: the anchor of its merged area)
    ColHeader,   // a header cell over body column Col: selects the column
    RowHeader,   // a header cell beside body row Row: selects the row
    Corner,      // a header cell of the fixed rows and columns: selects all
    ColBorder,   // the right border of column Col in the header rows (sizing)
    RowBorder,   // the lower border of row Row in the header columns (sizing)
    Frame,       // the selection's frame (dragging moves the selected cells)
    FillHandle,  // the selection's fill handle (dragging fills)
};

struct TKtGridHit {
    TKtHitKind Kind = TKtHitKind::Outside;
    int Col = -1;
    int Row = -1;
    constexpr bool operator==(const TKtGridHit&) const = default;
};

// The column under client x, -1 when none.
int ColumnAtPixel(const TKtCustomGrid& grid, int x);
// The row under client y, -1 when none.
int RowAtPixel(const TKtCustomGrid& grid, int y);
// The cell under a point, snapped to the anchor of its merged area; false
// when the point is off the cells.
bool CellAtPixel(const TKtCustomGrid& grid, int x, int y, TPoint& cell);
// The body cell a drag at (x, y) points at: the point is first brought into
// the shown body cells (a drag beyond the right or bottom edge aims at the
// last cell shown whole on that side). Not snapped to merged areas.
TPoint BodyCellNear(const TKtCustomGrid& grid, int x, int y);
// Where the scrolled part begins: the right edge of the fixed and frozen
// columns, the bottom edge of the fixed and frozen rows.
int ScrolledAreaLeft(const TKtCustomGrid& grid);
int ScrolledAreaTop(const TKtCustomGrid& grid);
// Width of the fixed columns, height of the fixed rows.
int FixedAreaRight(const TKtCustomGrid& grid);
int FixedAreaBottom(const TKtCustomGrid& grid);
// The pixel rectangle a cell (its merged area) shows, cut to what is not
// hidden behind the fixed and frozen parts and to the client area; empty
// when nothing of it is shown.
TRect VisibleCellRect(const TKtCustomGrid& grid, int col, int row);

// What a press at (x, y) would grab. Header borders are offered only with
// goColSizing / goRowSizing; the frame and the fill handle only when the
// selection shows its frame and may be dragged (not DisableDrag).
TKtGridHit HitTestGrid(const TKtCustomGrid& grid, int x, int y);

}  // namespace plu
