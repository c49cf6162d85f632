// TKtDataHeaderCell2: the header cell of a data grid. A header cell of the
// last fixed row over a body column has a sort arrow area (its rightmost 15
// pixels, while the cell is wide enough for its text and the arrow): a left
// release there sorts the body rows by that column, descending first, then
// alternating, and the column's SortState shows the arrow.
#pragma once

#include "grid/cell.h"

namespace plu {

class TKtDataHeaderCell2 : public TKwProFixedCell {
  public:
    using TKwProFixedCell::TKwProFixedCell;
    static const TKtCellClass& Class();
    const TKtCellClass& CellClass() const override { return Class(); }

    // The body column this cell sorts, -1 when it has no arrow area: the
    // cell (or the merged area it anchors) must end in the last fixed row
    // and stand over a column from FixedColCount to ColCount - 1.
    int SortColumn() const;
    // The arrow area in client pixels; empty when there is none.
    TRect ArrowArea() const;
    // The text the header shows: its own, else the column letters.
    WideString HeaderCaption() const;

    // Sorts by SortColumn: ascending when the column is sorted descending,
    // else descending; the column's SortState follows. A sort refused for
    // merged cells raises and leaves the state.
    void SortClick();

    // A left release inside the arrow area sorts; the click still counts as
    // an ordinary header click (the answer is false).
    bool MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    // The sort arrow of a sorted column, then the usual header text.
    void DrawContent(IKtCanvas& canvas, const TRect& rect, TPoint pos) const override;
};

}  // namespace plu
