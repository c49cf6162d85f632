#include "grid/grid_gestures.h"

#include <algorithm>

#include "grid/cell.h"
#include "grid/custom_grid.h"
#include "grid/grid_hit_test.h"
#include "grid/grid_row.h"
#include "grid/grid_selection.h"

namespace plu {

namespace {

// A mod b for any sign of a (b > 0).
int Wrap(int a, int b) {
    const int m = a % b;
    return m < 0 ? m + b : m;
}

TRect ClientRect(const TKtCustomGrid& grid) {
    return {0, 0, grid.ClientWidth(), grid.ClientHeight()};
}

// The four one-pixel sides of a pixel rectangle (an outline to invert).
std::vector<TRect> Outline(const TRect& r, const TRect& clip) {
    std::vector<TRect> sides;
    if (r.IsEmpty()) return sides;
    for (const TRect& side :
         {TRect{r.Left, r.Top, r.Right, r.Top + 1}, TRect{r.Left, r.Bottom - 1, r.Right, r.Bottom},
          TRect{r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1},
          TRect{r.Right - 1, r.Top + 1, r.Right, r.Bottom - 1}}) {
        const TRect cut = side.Intersect(clip);
        if (!cut.IsEmpty()) sides.push_back(cut);
    }
    return sides;
}

}  // namespace

bool ClickCell(TKtCustomGrid& grid, TPoint cell) {
    TKtGridSelection& sel = grid.Selection();
    const TPoint at = grid.MergedAreas().SnapToAnchor(cell);
    sel.SetCurrent(at.X, at.Y, true);
    if (sel.Current() != at) return false;  // refused
    // Already current: SetCurrent left the selection as it was.
    sel.ExtendTo(at.X, at.Y);
    return true;
}

// ---- Selecting -------------------------------------------------------------------------------

void TKtSelectGesture::Move(TShiftState, int x, int y) {
    const TPoint p = BodyCellNear(grid_, x, y);
    if (p != pressed_) moved_ = true;
    TKtGridSelection& sel = grid_.Selection();
    if (grid_.HasOption(TGridOption::goRangeSelect))
        sel.ExtendTo(p.X, p.Y);
    else
        sel.SetCurrent(p.X, p.Y, true);
}

void TKtSelectGesture::Release(TShiftState shift, int x, int y) {
    Move(shift, x, y);
}

void TKtHeaderSelectGesture::Move(TShiftState, int x, int y) {
    const TPoint p = BodyCellNear(grid_, x, y);
    const int index = rows_ ? p.Y : p.X;
    if (index == last_) return;
    last_ = index;
    if (rows_)
        grid_.Selection().SelectRows(anchor_, index);
    else
        grid_.Selection().SelectColumns(anchor_, index);
}

// ---- Sizing ------------------------------------------------------------------------------------

TKtSizeGesture::TKtSizeGesture(TKtCustomGrid& grid, bool columns, int index, int pressed)
    : TKtGridGesture(grid), columns_(columns), index_(index) {
    start_ = columns ? grid.ColumnLeft(index) : grid.RowTop(index);
    original_ = size_ = columns ? grid.ColWidths(index) : grid.RowHeights(index);
    grab_ = pressed - (start_ + original_);
}

void TKtSizeGesture::Move(TShiftState, int x, int y) {
    size_ = std::max((columns_ ? x : y) - grab_ - start_, 0);
}

void TKtSizeGesture::Release(TShiftState shift, int x, int y) {
    Move(shift, x, y);
    if (size_ == original_) return;
    if (columns_) {
        if (size_ == 0)
            grid_.SetColVisible(index_, false);  // keeps the width to show it again
        else
            grid_.SetColWidth(index_, size_);
        return;
    }
    if (size_ == 0) {
        grid_.SetRowVisible(index_, false);
        return;
    }
    grid_.SetRowVisible(index_, true);
    grid_.GetRow(index_).SetHeightSetByHand(true);
    grid_.SetRowHeight(index_, size_);
}

std::vector<TRect> TKtSizeGesture::Feedback() const {
    const int edge = start_ + size_;
    const TRect line = columns_ ? TRect{edge - 1, 0, edge, grid_.ClientHeight()}
                                : TRect{0, edge - 1, grid_.ClientWidth(), edge};
    const TRect cut = line.Intersect(ClientRect(grid_));
    if (cut.IsEmpty()) return {};
    return {cut};
}

WideString TKtSizeGesture::HintText() const {
    return TKtCustomGrid::ResizeHint(columns_, size_);
}

// ---- Moving rows and columns
// ---------------------------------------------------------------------

void TKtMoveLineGesture::Move(TShiftState, int x, int y) {
    const TPoint p = BodyCellNear(grid_, x, y);
    to_ = rows_ ? p.Y : p.X;
}

void TKtMoveLineGesture::Release(TShiftState shift, int x, int y) {
    Move(shift, x, y);
    if (to_ == from_) return;
    if (rows_) {
        grid_.MoveRow(from_, to_);
        grid_.Selection().SelectRows(to_, to_);
    } else {
        grid_.MoveCol(from_, to_);
        grid_.Selection().SelectColumns(to_, to_);
    }
}

std::vector<TRect> TKtMoveLineGesture::Feedback() const {
    if (to_ == from_) return {};
    // The moved line lands before the target when moving back, after it
    // when moving on.
    TRect line;
    if (rows_) {
        const int y = to_ < from_ ? grid_.RowTop(to_) : grid_.RowTop(to_) + grid_.RowHeights(to_);
        line = {0, y - 1, grid_.ClientWidth(), y + 1};
    } else {
        const int x =
            to_ < from_ ? grid_.ColumnLeft(to_) : grid_.ColumnLeft(to_) + grid_.ColWidths(to_);
        line = {x - 1, 0, x + 1, grid_.ClientHeight()};
    }
    const TRect cut = line.Intersect(ClientRect(grid_));
    if (cut.IsEmpty()) return {};
    return {cut};
}

// ---- Dragging the frame
// ----------------------------------------------------------------------------

TKtFrameGesture::TKtFrameGesture(TKtCustomGrid& grid, TPoint pressed)
    : TKtGridGesture(grid),
      source_(grid.Selection().Rect()),
      pressed_(pressed),
      target_(grid.Selection().Rect()) {}

void TKtFrameGesture::Move(TShiftState, int x, int y) {
    const TPoint p = BodyCellNear(grid_, x, y);
    // The offset keeps the whole rectangle inside the body cells.
    const int dc = std::clamp(p.X - pressed_.X, grid_.FixedColCount() - source_.Left,
                              grid_.ColCount() - source_.Right);
    const int dr = std::clamp(p.Y - pressed_.Y, grid_.FixedRowCount() - source_.Top,
                              grid_.RowCount() - source_.Bottom);
    target_ = {source_.Left + dc, source_.Top + dr, source_.Right + dc, source_.Bottom + dr};
    if (target_ != source_) moved_ = true;
}

void TKtFrameGesture::Release(TShiftState shift, int x, int y) {
    Move(shift, x, y);
    if (target_ == source_) {
        // The frame lies on the edge of the selected cells: a click there
        // picks the cell as a click elsewhere does.
        if (!moved_) ClickCell(grid_, pressed_);
        return;
    }
    if (!MoveCells(grid_, source_, {target_.Left, target_.Top}, shift.Has(TShift::ssCtrl))) return;
    TKtGridSelection& sel = grid_.Selection();
    const TPoint cur = sel.Current();
    const TPoint moved{cur.X + target_.Left - source_.Left, cur.Y + target_.Top - source_.Top};
    sel.SetCurrent(moved.X, moved.Y, true);
    sel.SetSelectionRect(target_);
}

std::vector<TRect> TKtFrameGesture::Feedback() const {
    if (!moved_) return {};
    return Outline(grid_.CellsToPixels(target_), ClientRect(grid_));
}

// ---- The fill handle
// -------------------------------------------------------------------------------

TKtFillGesture::TKtFillGesture(TKtCustomGrid& grid)
    : TKtGridGesture(grid), source_(grid.Selection().Rect()), target_(source_) {}

void TKtFillGesture::Move(TShiftState, int x, int y) {
    const TPoint p = BodyCellNear(grid_, x, y);
    const TRect& s = source_;
    const int down = p.Y - s.LastRow();
    const int up = s.Top - p.Y;
    const int right = p.X - s.LastCol();
    const int left = s.Left - p.X;
    const int rows = std::max({down, up, 0});
    const int cols = std::max({right, left, 0});
    target_ = s;
    if (rows == 0 && cols == 0) return;
    // Only one axis: the one the mouse went further along.
    if (rows >= cols) {
        if (down > 0)
            target_.Bottom = p.Y + 1;
        else
            target_.Top = p.Y;
    } else {
        if (right > 0)
            target_.Right = p.X + 1;
        else
            target_.Left = p.X;
    }
}

void TKtFillGesture::Release(TShiftState shift, int x, int y) {
    Move(shift, x, y);
    if (target_ == source_) return;
    FillCells(grid_, source_, target_);
    if (grid_.OnDragFill)
        grid_.OnDragFill(grid_, {source_.Left, source_.Top, source_.LastCol(), source_.LastRow()},
                         {target_.Left, target_.Top, target_.LastCol(), target_.LastRow()});
    grid_.Selection().SetSelectionRect(target_);
}

std::vector<TRect> TKtFillGesture::Feedback() const {
    if (target_ == source_) return {};
    return Outline(grid_.CellsToPixels(target_), ClientRect(grid_));
}

// ---- Cell kinds
// ---------------------------------------------------------------------------------------

void TKtCellGesture::Send(const TKtMouseInput& input) {
    TKtCell* cell = grid_.CaptureCell();
    if (!cell) cell = grid_.FindCell(cell_.X, cell_.Y);
    if (cell) cell->DispatchMouse(input);
}

void TKtCellGesture::Move(TShiftState shift, int x, int y) {
    Send({TKtMouseInput::Kind::Move, button_, shift, x, y});
}

void TKtCellGesture::Release(TShiftState shift, int x, int y) {
    Send({TKtMouseInput::Kind::Up, button_, shift, x, y});
}

// ---- Moving and filling cells
// -------------------------------------------------------------------------

bool MoveCells(TKtCustomGrid& grid, const TRect& source, TPoint to, bool copy) {
    const int dc = to.X - source.Left;
    const int dr = to.Y - source.Top;
    const TRect target{source.Left + dc, source.Top + dr, source.Right + dc, source.Bottom + dr};
    if ((dc == 0 && dr == 0) || source.IsEmpty() || !grid.AllowEdit()) return false;
    if (!grid.IsBodyCell(target.Left, target.Top) ||
        !grid.IsBodyCell(target.LastCol(), target.LastRow()))
        return false;
    if (grid.MergedAreas().AnyIntersects(source) || grid.MergedAreas().AnyIntersects(target))
        return false;
    // Every cell the move writes must be editable, or nothing moves (a half
    // move would lose the cells that could not land).
    const TRect both = source.Union(target);
    for (int row = both.Top; row < both.Bottom; ++row)
        for (int col = both.Left; col < both.Right; ++col) {
            const bool written = target.Contains(col, row) || !copy;
            if (written && (source.Contains(col, row) || target.Contains(col, row)) &&
                !grid.GetCell(col, row).CanEdit())
                return false;
        }
    grid.BeginUpdate();
    // Walk against the direction of the move, so that every source cell is
    // read before the move overwrites it.
    const int colStep = dc > 0 ? -1 : 1;
    const int rowStep = dr > 0 ? -1 : 1;
    const int firstCol = dc > 0 ? source.LastCol() : source.Left;
    const int firstRow = dr > 0 ? source.LastRow() : source.Top;
    for (int i = 0; i < source.Height(); ++i) {
        const int row = firstRow + i * rowStep;
        for (int j = 0; j < source.Width(); ++j) {
            const int col = firstCol + j * colStep;
            TKtCell* from = grid.FindCell(col, row);
            TKtCell* existing = grid.FindCell(col + dc, row + dr);
            if (!from && !existing) continue;
            // A missing source cell stands for an empty cell with the
            // default format: the target must end up like it.
            TKtCell& src = from ? *from : grid.GetCell(col, row);
            TKtCell& dst = grid.GetCell(col + dc, row + dr);
            dst.CopyFrom(src, kCopyAll, false);
            // A moved formula keeps pointing where it pointed; only a copy
            // shifts its relative references.
            if (!copy && src.Kind() == TKtValueKind::vkFormula) dst.SetFormula(src.GetFormula());
        }
    }
    if (!copy) {
        for (int row = source.Top; row < source.Bottom; ++row)
            for (int col = source.Left; col < source.Right; ++col) {
                if (target.Contains(col, row)) continue;
                TKtCell* cell = grid.FindCell(col, row);
                if (!cell) continue;
                cell->ClearContent();
                if (cell->HasOwnStyle()) cell->OwnStyle().Assign(SharedDefaultStyle());
            }
    }
    grid.EndUpdate();
    return true;
}

void FillCells(TKtCustomGrid& grid, const TRect& source, const TRect& target) {
    if (source.IsEmpty() || !target.Contains(source)) return;
    const int w = source.Width();
    const int h = source.Height();
    grid.BeginUpdate();
    for (int row = target.Top; row < target.Bottom; ++row)
        for (int col = target.Left; col < target.Right; ++col) {
            if (source.Contains(col, row) || !grid.IsBodyCell(col, row)) continue;
            const int srcCol = source.Left + Wrap(col - source.Left, w);
            const int srcRow = source.Top + Wrap(row - source.Top, h);
            const TKtCell* from = grid.FindCell(srcCol, srcRow);
            TKtCell* existing = grid.FindCell(col, row);
            if (!from && !existing) continue;
            const TKtCell& src = from ? *from : grid.GetCell(srcCol, srcRow);
            grid.GetCell(col, row).CopyFrom(src, kCopyAll, true);
        }
    grid.EndUpdate();
}

}  // namespace plu
