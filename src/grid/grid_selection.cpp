#include "grid/grid_selection.h"

#include <algorithm>

#include "grid/cell.h"
#include "grid/custom_grid.h"
#include "grid/text_matrix.h"

namespace plu {

TKtGridSelection::TKtGridSelection(TKtCustomGrid& grid) : TKtGridRange(grid, {1, 1, 2, 2}) {}

WideString TKtGridSelection::GetFontName() const {
    const TKtCell* cell = grid_->FindCell(current_.X, current_.Y);
    return cell ? cell->Font().Name() : grid_->Font().Name();
}

TFontStyles TKtGridSelection::GetFontStyle() const {
    const TKtCell* cell = grid_->FindCell(current_.X, current_.Y);
    return cell ? cell->Font().Style() : grid_->Font().Style();
}

TRect TKtGridSelection::CellRect(TPoint p) const {
    return grid_->CellSpanRect(p.X, p.Y);
}

void TKtGridSelection::SetCurrent(int col, int row, bool collapse) {
    TKtCustomGrid& grid = *grid_;
    if (!grid.IsBodyCell(col, row) || TPoint{col, row} == current_) return;
    const TPoint p = grid.MergedAreas().SnapToAnchor({col, row});
    if (p == current_) return;
    // Leaving the cell ends its edit first, as a key move does: a refused
    // commit keeps the editor open, so the current cell must stay with it.
    // While a formula picks a reference the selection moves without the edit.
    if (grid.EditorMode() && !ReferenceMode) {
        if (TKtCell* editing = grid.EditingCell())
            editing->HideEditor(true, false);
        else
            grid.LeaveEditorMode();
        if (grid.EditorMode()) return;
    }
    if (!grid.IsUpdating() && grid.OnCurrentChanging) {
        bool allow = true;
        grid.OnCurrentChanging(grid, p, allow);
        if (!allow) return;
    }
    previous_ = current_;
    current_ = p;
    if (TKtCell* old = grid.FindCell(previous_.X, previous_.Y)) old->LeaveCurrent();
    if (TKtCell* now = grid.FindCell(p.X, p.Y)) now->EnterCurrent();
    if (grid.View()) grid.View()->CurrentCellChanged(p.X, p.Y);
    if (ScrollIntoViewOnChange) grid.ScrollIntoView(p.X, p.Y);
    if (collapse) ExtendTo(p.X, p.Y);
    if (!grid.IsUpdating() && grid.OnCurrentChanged) grid.OnCurrentChanged(grid, p.X, p.Y);
    if (grid.HasOption(TGridOption::goAlwaysShowEditor) && !grid.EditorMode())
        grid.SetEditorMode(true);
}

void TKtGridSelection::ExtendTo(int col, int row) {
    TKtCustomGrid& grid = *grid_;
    const TPoint p{col, row};
    if (!grid.IsBodyCell(col, row) || (p == extendEnd_ && p != current_)) return;
    extendEnd_ = p;
    if (ScrollIntoViewOnChange) grid.ScrollIntoView(col, row);
    SetSelectionRect(
        TRect::FromCorners(current_.X, current_.Y, col, row).Union(CellRect(current_)));
}

void TKtGridSelection::SetSelectionRect(const TRect& rect) {
    TKtCustomGrid& grid = *grid_;
    const TRect grown = grid.MergedAreas().GrowToAreas(rect);
    if (grown == rect_) return;
    const TRect before = rect_;
    rect_ = grown;
    RepaintChange(before, grown);
    if (ReferenceMode && grid.CellEditor()) grid.CellEditor()->SelectionChanged(grown);
    if (!grid.IsUpdating() && grid.OnSelectionChange)
        grid.OnSelectionChange(grid, {Left(), Top(), Right(), Bottom()});
}

void TKtGridSelection::RepaintChange(const TRect& before, const TRect& after) {
    TKtCustomGrid& grid = *grid_;
    if (grid.IsUpdating() || !grid.View()) return;
    const TRect both = before.Union(after);
    if (grid.HasOption(TGridOption::goRowSelect)) {
        grid.InvalidateCells({grid.FixedColCount(), both.Top, grid.ColCount(), both.Bottom});
    } else if (grid.HasOption(TGridOption::goColSelect)) {
        grid.InvalidateCells({both.Left, grid.FixedRowCount(), both.Right, grid.RowCount()});
    } else {
        // Both frames (drawn around the rectangles, with the fill handle)
        // and everything between them.
        const TRect px = grid.CellsToPixels(both).Inflated(4);
        const TRect client{0, 0, grid.ClientWidth(), grid.ClientHeight()};
        const TRect clipped = px.Intersect(client);
        if (!clipped.IsEmpty()) grid.View()->InvalidateRect(clipped);
    }
    // Headers of selected columns and rows are drawn highlighted.
    grid.InvalidateCells({both.Left, 0, both.Right, grid.FixedRowCount()});
    grid.InvalidateCells({0, both.Top, grid.FixedColCount(), both.Bottom});
}

int TKtGridSelection::SkipHiddenCol(int col, int step) const {
    while (col >= grid_->FixedColCount() && col < grid_->ColCount() && grid_->ColWidths(col) == 0)
        col += step;
    return col;
}

int TKtGridSelection::SkipHiddenRow(int row, int step) const {
    while (row >= grid_->FixedRowCount() && row < grid_->RowCount() && grid_->RowHeights(row) == 0)
        row += step;
    return row;
}

TPoint TKtGridSelection::StepTarget(TGridDir dir) const {
    const TKtCustomGrid& grid = *grid_;
    TPoint target = current_;
    switch (dir) {
        case TGridDir::gdLeft: {
            const int c = SkipHiddenCol(rect_.Left - 1, -1);
            if (c >= grid.FixedColCount()) target.X = c;
            break;
        }
        case TGridDir::gdUp: {
            const int r = SkipHiddenRow(rect_.Top - 1, -1);
            if (r >= grid.FixedRowCount()) target.Y = r;
            break;
        }
        case TGridDir::gdDown: {
            const int r = SkipHiddenRow(rect_.Bottom, 1);
            if (r < grid.RowCount()) target.Y = r;
            break;
        }
        case TGridDir::gdRight: {
            const int c = SkipHiddenCol(rect_.Right, 1);
            if (c < grid.ColCount()) {
                target.X = c;
            } else {
                // Past the last column: the first body column of the next row.
                const int r = SkipHiddenRow(rect_.Bottom, 1);
                const int first = SkipHiddenCol(grid.FixedColCount(), 1);
                if (r < grid.RowCount() && first < grid.ColCount()) target = {first, r};
            }
            break;
        }
        case TGridDir::gdNone:
            break;
    }
    return target;
}

void TKtGridSelection::MoveCurrent(TGridDir direction, bool extend) {
    TKtCustomGrid& grid = *grid_;
    if (direction == TGridDir::gdNone) direction = grid.CurrentMoveDir();
    if (direction == TGridDir::gdNone) return;
    if (!extend) {
        const TPoint target = StepTarget(direction);
        if (grid.OnMoveCurrent) grid.OnMoveCurrent(grid, target, direction);
        SetCurrent(target.X, target.Y, true);
        return;
    }
    // Step the extend end until the selection really changes, so that it
    // passes beyond the merged areas on that side.
    TPoint target = extendEnd_;
    const int limit = grid.ColCount() + grid.RowCount();
    for (int guard = 0; guard < limit; ++guard) {
        switch (direction) {
            case TGridDir::gdLeft:
                target.X = SkipHiddenCol(target.X - 1, -1);
                break;
            case TGridDir::gdRight:
                target.X = SkipHiddenCol(target.X + 1, 1);
                break;
            case TGridDir::gdUp:
                target.Y = SkipHiddenRow(target.Y - 1, -1);
                break;
            default:
                target.Y = SkipHiddenRow(target.Y + 1, 1);
                break;
        }
        if (!grid.IsBodyCell(target.X, target.Y)) return;
        const TRect r = grid.MergedAreas().GrowToAreas(
            TRect::FromCorners(current_.X, current_.Y, target.X, target.Y)
                .Union(CellRect(current_)));
        if (r != rect_) {
            ExtendTo(target.X, target.Y);
            return;
        }
    }
}

void TKtGridSelection::SelectColumns(int from, int to) {
    TKtCustomGrid& grid = *grid_;
    if (from > to) std::swap(from, to);
    from = std::max(from, grid.FixedColCount());
    to = std::min(to, grid.ColCount() - 1);
    if (from > to || grid.RowCount() <= grid.FixedRowCount()) return;
    const int row = std::max(current_.Y, grid.FixedRowCount());
    SetCurrent(from, row, false);
    extendEnd_ = {to, grid.RowCount() - 1};
    SetSelectionRect({from, grid.FixedRowCount(), to + 1, grid.RowCount()});
}

void TKtGridSelection::SelectRows(int from, int to) {
    TKtCustomGrid& grid = *grid_;
    if (from > to) std::swap(from, to);
    from = std::max(from, grid.FixedRowCount());
    to = std::min(to, grid.RowCount() - 1);
    if (from > to || grid.ColCount() <= grid.FixedColCount()) return;
    const int col = std::max(current_.X, grid.FixedColCount());
    SetCurrent(col, from, false);
    extendEnd_ = {grid.ColCount() - 1, to};
    SetSelectionRect({grid.FixedColCount(), from, grid.ColCount(), to + 1});
}

void TKtGridSelection::SelectAll() {
    TKtCustomGrid& grid = *grid_;
    if (grid.ColCount() <= grid.FixedColCount() || grid.RowCount() <= grid.FixedRowCount()) return;
    extendEnd_ = {grid.ColCount() - 1, grid.RowCount() - 1};
    SetSelectionRect(
        {grid.FixedColCount(), grid.FixedRowCount(), grid.ColCount(), grid.RowCount()});
}

void TKtGridSelection::Validate() {
    TKtCustomGrid& grid = *grid_;
    const int cols = grid.ColCount();
    const int rows = grid.RowCount();
    const int fc = grid.FixedColCount();
    const int fr = grid.FixedRowCount();
    TRect r = rect_;
    if (r.Right > cols) {
        r.Right = cols;
        if (current_.X >= cols) current_.X = cols - 1;
        if (extendEnd_.X >= cols) extendEnd_.X = cols - 1;
    }
    if (r.Bottom > rows) {
        r.Bottom = rows;
        if (current_.Y >= rows) current_.Y = rows - 1;
        if (extendEnd_.Y >= rows) extendEnd_.Y = rows - 1;
    }
    r.Top = std::max(r.Top, fr);
    r.Left = std::max(r.Left, fc);
    current_.X = std::max(std::min(current_.X, cols - 1), fc);
    current_.Y = std::max(std::min(current_.Y, rows - 1), fr);
    extendEnd_.X = std::max(std::min(extendEnd_.X, cols - 1), fc);
    extendEnd_.Y = std::max(std::min(extendEnd_.Y, rows - 1), fr);
    current_ = grid.MergedAreas().SnapToAnchor(current_);
    if (r.IsEmpty() || !r.Contains(current_.X, current_.Y)) {
        r = CellRect(current_);
        extendEnd_ = current_;
    }
    SetSelectionRect(r);
    if (ScrollIntoViewOnChange && grid.IsBodyCell(current_.X, current_.Y))
        grid.ScrollIntoView(current_.X, current_.Y);
}

void TKtGridSelection::Shift(int dc, int dr) {
    rect_ = {rect_.Left + dc, rect_.Top + dr, rect_.Right + dc, rect_.Bottom + dr};
    current_ = {current_.X + dc, current_.Y + dr};
    extendEnd_ = {extendEnd_.X + dc, extendEnd_.Y + dr};
    previous_ = {previous_.X + dc, previous_.Y + dr};
}

void TKtGridSelection::ClearSelection(bool undoable) {
    TKtCustomGrid& grid = *grid_;
    bool allow = true;
    if (grid.OnBeforeClear) grid.OnBeforeClear(grid, rect_, allow);
    if (!allow) return;
    std::vector<TKtCell*> filled;
    const int lastRow = std::min(rect_.Bottom, grid.Cells().Length()) - 1;
    for (int row = std::max(rect_.Top, 0); row <= lastRow; ++row) {
        TKwGridRow* list = grid.Cells().Get(row);
        if (!list) continue;
        list->ForAllInRange(std::max(rect_.Left, 0), rect_.Right - 1,
                            [&](int, TKtSparseList::Item item) {
                                auto* cell = reinterpret_cast<TKtCell*>(item);
                                if (!cell->IsEmpty()) filled.push_back(cell);
                                return 0;
                            });
    }
    for (TKtCell* cell : filled)
        cell->Clear(undoable);
    if (grid.OnAfterClear) grid.OnAfterClear(grid);
}

void TKtGridSelection::Copy() {
    TKtCustomGrid& grid = *grid_;
    bool allow = true;
    if (grid.OnCopy) grid.OnCopy(grid, rect_, allow);
    if (!allow) return;
    if (grid.EditorMode() && grid.CellEditor() && grid.CellEditor()->CopySelection()) return;
    if (!grid.Clipboard()) return;
    grid.Clipboard()->Copy(grid, rect_, false);
    copiedRect_ = rect_;
    copiedForCut_ = false;
    grid.InvalidateCells(rect_);
}

void TKtGridSelection::Cut() {
    TKtCustomGrid& grid = *grid_;
    bool allow = true;
    if (grid.OnCut) grid.OnCut(grid, rect_, allow);
    if (!allow) return;
    if (grid.EditorMode() && grid.CellEditor() && grid.CellEditor()->CutSelection()) return;
    if (!grid.Clipboard()) return;
    grid.Clipboard()->Copy(grid, rect_, true);
    copiedRect_ = rect_;
    copiedForCut_ = true;
    grid.InvalidateCells(rect_);
}

void TKtGridSelection::ClearCopiedRect() {
    if (copiedRect_.IsEmpty()) return;
    const TRect old = copiedRect_;
    copiedRect_ = {};
    copiedForCut_ = false;
    grid_->InvalidateCells(old.Inflated(1));
}

void TKtGridSelection::Paste(int mode) {
    TKtCustomGrid& grid = *grid_;
    bool allow = true;
    if (grid.OnPaste) grid.OnPaste(grid, rect_, allow);
    if (!allow || !grid.AllowEdit()) return;
    if (grid.EditorMode() && grid.CellEditor() && grid.CellEditor()->PasteText()) return;
    if (grid.Clipboard()) grid.Clipboard()->Paste(grid, rect_, mode);
}

void TKtGridSelection::PasteTextMatrix(const TKwSheet& matrix, const TRect& rect) {
    TKtCustomGrid& grid = *grid_;
    // The matrix's own size from the rectangle's top-left, inside the grid.
    const TRect target =
        TRect{rect.Left, rect.Top, rect.Left + matrix.ColCount(), rect.Top + matrix.RowCount()}
            .Intersect({0, 0, grid.ColCount(), grid.RowCount()});
    if (target.IsEmpty()) return;
    bool allow = true;
    if (grid.OnBeforePaste) grid.OnBeforePaste(grid, target, allow);
    if (!allow) return;
    if (grid.OnCustomPaste) {
        grid.OnCustomPaste(grid, target, matrix);
    } else {
        for (int row = target.Top; row < target.Bottom; ++row) {
            for (int col = target.Left; col < target.Right; ++col) {
                // Covered cells of merged areas hold no values.
                if (grid.CellSpanRect(col, row).Left != col ||
                    grid.CellSpanRect(col, row).Top != row)
                    continue;
                const WideString text = matrix.GetText(col - rect.Left, row - rect.Top);
                if (grid.RaiseCompleteEdit({col, row}, text))
                    grid.GetCell(col, row).SetTextIfEditable(text);
            }
        }
    }
    if (grid.IsBodyCell(target.Left, target.Top)) {
        SetCurrent(target.Left, target.Top, true);
        ExtendTo(std::max(target.Right - 1, grid.FixedColCount()),
                 std::max(target.Bottom - 1, grid.FixedRowCount()));
    }
    if (grid.OnAfterPaste) grid.OnAfterPaste(grid, rect);
}

TRect TKtGridSelection::PixelRect() const {
    return grid_->CellsToPixels(rect_);
}

int TKtGridSelection::HitTest(int x, int y) const {
    const TRect f = PixelRect();
    // The fill handle: a 5 x 5 square centred on the bottom-right corner,
    // inflated by 1.
    const TRect handle = TRect{f.Right - 2, f.Bottom - 2, f.Right + 3, f.Bottom + 3}.Inflated(1);
    if (handle.Contains(x, y)) return 2;
    if (f.Inflated(2).Contains(x, y) && !f.Inflated(-5).Contains(x, y)) return 1;
    return 0;
}

}  // namespace plu
