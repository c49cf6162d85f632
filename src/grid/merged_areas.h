// Merged areas of a grid: half-open rectangles that never overlap. The
// top-left cell of an area (its anchor) carries the value and format of the
// whole area; the other cells of the area are covered. Look-ups are linear in
// the number of areas (a sheet holds few).
#pragma once

#include <vector>

#include "grid/axis_edit.h"
#include "grid/grid_types.h"

namespace plu {

// One merged area.
struct TUnion {
    TRect Rect;
    TPoint Anchor() const { return {Rect.Left, Rect.Top}; }
};

class TKtMergedAreas {
  public:
    int Count() const { return static_cast<int>(areas_.size()); }
    const std::vector<TUnion>& Areas() const { return areas_; }
    const TUnion& operator[](int i) const { return areas_[static_cast<size_t>(i)]; }

    // The area anchored at (col, row), or -1.
    int FindByAnchor(int col, int row) const;
    // The area containing (col, row), or -1.
    int FindContaining(int col, int row) const;
    bool AnyIntersects(const TRect& r) const;
    // r grown until it contains every area it touches (repeated until stable).
    TRect GrowToAreas(const TRect& r) const;
    // The anchor of the area holding p, or p itself.
    TPoint SnapToAnchor(const TPoint& p) const;

    // Gives the cell at (rect.Left, rect.Top) the span rect. Larger than one
    // cell: the cell's area takes rect (or a new area is added) and then
    // absorbs every area it intersects, growing to their union until none
    // is left. One cell: the cell's area, if any, is removed. Returns the
    // resulting area's rectangle (rect itself for one cell).
    TRect SetSpan(const TRect& rect);
    // Removes every area intersecting r; returns the union of the removed
    // areas (empty when none).
    TRect RemoveIntersecting(const TRect& r);
    void Clear() { areas_.clear(); }

    // Structural followers. Insertion of n at i: areas starting at or after
    // i move by n, areas spanning i grow by n. Deletion of n at i: areas
    // after the deleted band move back by n, areas overlapping it shrink
    // (an area cut at its end stops at the deletion point), and areas left
    // with one cell or none are removed.
    void InsertRows(int row, int count);
    void DeleteRows(int row, int count);
    void InsertCols(int col, int count);
    void DeleteCols(int col, int count);
    // Rows (columns) reordered by a move, an exchange or a sort: an area
    // whose rows (columns) all move by one distance moves with them; an area
    // the reordering tears apart (some of its rows leave, others come in) is
    // removed, so no moved cell hides under it and areas never overlap;
    // areas that only see their inside reordered stay. Returns the union of
    // the old and new rectangles of the areas that moved or went.
    TRect Reorder(const TKtAxisEdit& edit);

  private:
    std::vector<TUnion> areas_;
};

}  // namespace plu
