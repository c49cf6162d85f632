#include "grid/grid_range.h"

#include <algorithm>

#include "grid/cell.h"
#include "grid/custom_grid.h"

namespace plu {

int TKtGridRange::DataLeft() const {
    return Left() - grid_->FixedColCount();
}
int TKtGridRange::DataTop() const {
    return Top() - grid_->FixedRowCount();
}
int TKtGridRange::DataRight() const {
    return Right() - grid_->FixedColCount();
}
int TKtGridRange::DataBottom() const {
    return Bottom() - grid_->FixedRowCount();
}

bool TKtGridRange::IsWholeColumns() const {
    return Top() == grid_->FixedRowCount() && Bottom() == grid_->RowCount() - 1;
}

bool TKtGridRange::IsWholeRows() const {
    return Left() == grid_->FixedColCount() && Right() == grid_->ColCount() - 1;
}

void TKtGridRange::ForEachCell(const std::function<void(TKtCell&)>& callback) {
    // Only cells inside the grid are visited (and created).
    const TRect r = rect_.Intersect({0, 0, grid_->ColCount(), grid_->RowCount()});
    for (int row = r.Top; row < r.Bottom; ++row)
        for (int col = r.Left; col < r.Right; ++col)
            callback(grid_->GetCell(col, row));
}

void TKtGridRange::SetColor(TColor color) {
    ForEachCell([&](TKtCell& cell) { cell.OwnStyle().SetBgColor(color); });
}

void TKtGridRange::SetHorzAlign(TKtGridHorzAlign align) {
    ForEachCell([&](TKtCell& cell) { cell.OwnStyle().SetHorzAlign(align); });
}

void TKtGridRange::SetWrapText(bool wrap) {
    ForEachCell([&](TKtCell& cell) { cell.OwnStyle().SetWrapText(wrap); });
}

void TKtGridRange::SetFontStyle(TFontStyles styles) {
    ForEachCell([&](TKtCell& cell) { cell.OwnFont().SetStyle(styles); });
}

void TKtGridRange::SetFontColor(TColor color) {
    ForEachCell([&](TKtCell& cell) { cell.OwnFont().SetColor(color); });
}

void TKtGridRange::SetFontSize(int points) {
    ForEachCell([&](TKtCell& cell) { cell.OwnFont().SetSize(points); });
}

void TKtGridRange::SetFontName(WideStringView name) {
    ForEachCell([&](TKtCell& cell) { cell.OwnFont().SetName(name); });
}

void TKtGridRange::SetBorders(uint32_t edges, uint8_t lineStyle, TColor color, bool innerHorizontal,
                              bool innerVertical) {
    if (edges == 0 && !innerHorizontal && !innerVertical) return;
    TKtCustomGrid& grid = *grid_;
    const TRect r = rect_.Intersect({0, 0, grid.ColCount(), grid.RowCount()});
    if (r.IsEmpty()) return;
    const int right = r.Right - 1;    // inclusive
    const int bottom = r.Bottom - 1;  // inclusive
    const uint32_t diagonals = edges & 1008u;
    auto edge = [&](int col, int row, int e) {
        grid.GetCell(col, row).OwnStyle().SetBorder(e, lineStyle, color);
    };
    for (int row = r.Top; row <= bottom; ++row) {
        for (int col = r.Left; col <= right; ++col) {
            TKtCell& cell = grid.GetCell(col, row);
            const TRect span = cell.Span();
            const int cs = span.Width();
            const int rs = span.Height();
            if (diagonals) cell.OwnStyle().SetBorders(diagonals, lineStyle, color);
            // Left side: the cell's left edge and its left neighbour's right edge.
            if (col == r.Left) {
                if (edges & kEdgeMaskLeft) {
                    edge(col, row, kEdgeLeft);
                    if (col > grid.FixedColCount()) edge(col - 1, row, kEdgeRight);
                }
            } else if (innerVertical) {
                edge(col, row, kEdgeLeft);
            }
            // Top side.
            if (row == r.Top) {
                if (edges & kEdgeMaskTop) {
                    edge(col, row, kEdgeTop);
                    if (row > grid.FixedRowCount()) edge(col, row - 1, kEdgeBottom);
                }
            } else if (innerHorizontal) {
                edge(col, row, kEdgeTop);
            }
            // Right side: also the cell in the last column of the range and
            // the right neighbour's left edge (any column of the grid).
            if (col + cs == right + 1) {
                if (edges & kEdgeMaskRight) {
                    edge(col, row, kEdgeRight);
                    edge(right, row, kEdgeRight);
                    if (col + cs < grid.ColCount()) edge(col + cs, row, kEdgeLeft);
                }
            } else if (innerVertical) {
                edge(col, row, kEdgeRight);
            }
            // Bottom side.
            if (row + rs == bottom + 1) {
                if (edges & kEdgeMaskBottom) {
                    edge(col, row, kEdgeBottom);
                    edge(col, row + rs - 1, kEdgeBottom);
                    if (row + rs < grid.RowCount()) edge(col, row + rs, kEdgeTop);
                }
            } else if (innerHorizontal) {
                edge(col, row, kEdgeBottom);
            }
        }
    }
    TKtGridRange(grid, r.Inflated(1).Intersect({0, 0, grid.ColCount(), grid.RowCount()}))
        .Invalidate();
}

void TKtGridRange::Merge() {
    grid_->MergeCells(Left(), Top(), Right(), Bottom());
}

void TKtGridRange::Unmerge() {
    grid_->UnmergeCells(rect_);
}

void TKtGridRange::Invalidate() const {
    if (grid_->HasOption(TGridOption::goRowSelect))
        grid_->InvalidateCells(
            {grid_->FixedColCount(), rect_.Top, grid_->ColCount(), rect_.Bottom});
    else
        grid_->InvalidateCells(rect_);
}

}  // namespace plu
