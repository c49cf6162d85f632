#include "sheets/header_cell.h"

#include "sheets/cell_geometry.h"
#include "sheets/data_grid.h"

namespace plu {

const TKtCellClass& TKtDataHeaderCell2::Class() {
    static const TKtCellClassOf<TKtDataHeaderCell2> cls("TKtDataHeaderCell2");
    return cls;
}

int TKtDataHeaderCell2::SortColumn() const {
    const TKtCustomGrid& grid = Grid();
    if (!dynamic_cast<const TKtCustomDataGrid*>(&grid)) return -1;
    const TRect span = grid.CellSpanRect(Col(), Row());
    if (span.Left != Col() || span.Top != Row()) return -1;  // covered by another header
    if (span.LastRow() != grid.FixedRowCount() - 1) return -1;
    if (Col() < grid.FixedColCount() || Col() >= grid.ColCount()) return -1;
    return Col();
}

WideString TKtDataHeaderCell2::HeaderCaption() const {
    WideString text = GetText();
    if (text.empty()) text = Grid().HeaderText(Col(), Row());
    return text;
}

TRect TKtDataHeaderCell2::ArrowArea() const {
    if (SortColumn() < 0) return {};
    TKtCustomGrid& grid = Grid();
    const int textWidth = grid.Measurer().TextWidth(Font(), HeaderCaption());
    return SortArrowArea(grid.CellRect(Col(), Row()), textWidth);
}

void TKtDataHeaderCell2::SortClick() {
    const int col = SortColumn();
    if (col < 0) return;
    auto& grid = static_cast<TKtCustomDataGrid&>(Grid());
    TKtDataGridColumn& column = grid.GetColumn(col);
    const bool ascending = column.SortState() == kSortDescending;
    grid.SortByColumn(col, ascending);
    column.SetSortState(ascending ? kSortAscending : kSortDescending);
}

bool TKtDataHeaderCell2::MouseUp(TMouseButton button, TShiftState, int x, int y) {
    if (button == TMouseButton::mbLeft && ArrowArea().Contains(x, y)) SortClick();
    return false;
}

}  // namespace plu
