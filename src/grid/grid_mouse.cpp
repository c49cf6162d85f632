#include "grid/grid_mouse.h"

#include "grid/cell.h"
#include "grid/custom_grid.h"
#include "grid/editor.h"
#include "grid/grid_row.h"
#include "grid/grid_selection.h"

namespace plu {

namespace {

bool IsBodyHit(TKtHitKind kind) {
    return kind == TKtHitKind::Cell || kind == TKtHitKind::Frame || kind == TKtHitKind::FillHandle;
}

bool IsBorderHit(TKtHitKind kind) {
    return kind == TKtHitKind::ColBorder || kind == TKtHitKind::RowBorder;
}

// The in-place text editor of the grid opens on a double click only on the
// default text cell; other cell kinds decide for themselves.
bool IsDefaultTextCell(const TKtCustomGrid& grid, TPoint p) {
    const TKtCell* cell = grid.FindCell(p.X, p.Y);
    const TKtCellClass& cls = cell ? cell->CellClass() : grid.CellClassAt(p.X, p.Y);
    return &cls == &TKwProEditCell::Class();
}

TKtCursor HoverCursor(TKtHitKind kind) {
    switch (kind) {
        case TKtHitKind::ColBorder:
            return TKtCursor::crColSize;
        case TKtHitKind::RowBorder:
            return TKtCursor::crRowSize;
        case TKtHitKind::Frame:
            return TKtCursor::crMove;
        case TKtHitKind::FillHandle:
            return TKtCursor::crCross;
        default:
            return TKtCursor::crArrow;
    }
}

}  // namespace

TKtGridMouse::TKtGridMouse(TKtCustomGrid& grid) : grid_(grid) {}

TKtGridMouse::~TKtGridMouse() = default;

// ---- Presses -----------------------------------------------------------------------------------

void TKtGridMouse::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    Press(button, shift, x, y, false);
    if (grid_.OnMouseDown) grid_.OnMouseDown(grid_, button, shift, x, y);
}

void TKtGridMouse::DoubleClick(TMouseButton button, TShiftState shift, int x, int y) {
    shift = shift.With(TShift::ssDouble);
    Press(button, shift, x, y, true);
    if (grid_.OnMouseDown) grid_.OnMouseDown(grid_, button, shift, x, y);
}

bool TKtGridMouse::CommitBeforePress(TKtGridHit& hit) {
    if (!grid_.EditorMode() || hit.Kind == TKtHitKind::Outside || IsBorderHit(hit.Kind))
        return true;
    if (const TKtCell* editing = grid_.EditingCell())
        if (hit.Kind == TKtHitKind::Cell && editing->Col() == hit.Col && editing->Row() == hit.Row)
            return true;
    // A formula waiting for a reference keeps its edit: the selection
    // follows the mouse and each change inserts the reference.
    TKtEditor* editor = EditorOf(grid_);
    if (IsBodyHit(hit.Kind) && editor && editor->IsOpen() && editor->WantsReference()) {
        const TPoint at = grid_.MergedAreas().SnapToAnchor({hit.Col, hit.Row});
        hit = {TKtHitKind::Cell, at.X, at.Y};
        return true;
    }
    grid_.SetEditorMode(false);
    return !grid_.EditorMode();
}

void TKtGridMouse::Press(TMouseButton button, TShiftState shift, int x, int y, bool dbl) {
    lastX_ = x;
    lastY_ = y;
    lastShift_ = shift;
    CancelDrag();
    pressCell_ = {-1, -1};
    TKtGridHit hit = HitTestGrid(grid_, x, y);
    if (hit.Kind == TKtHitKind::Outside) return;
    if (!CommitBeforePress(hit)) return;
    pressButton_ = button;
    if (!IsBorderHit(hit.Kind)) {
        // The cell kinds get the mouse first and may claim the press.
        pressCell_ = grid_.MergedAreas().SnapToAnchor({hit.Col, hit.Row});
        if (TKtCell* cell = grid_.CellForPress(pressCell_.X, pressCell_.Y)) {
            const TKtMouseInput input{
                dbl ? TKtMouseInput::Kind::DoubleClick : TKtMouseInput::Kind::Down, button, shift,
                x, y};
            if (cell->DispatchMouse(input)) {
                gesture_ = std::make_unique<TKtCellGesture>(grid_, pressCell_, button);
                return;
            }
        }
    }
    switch (hit.Kind) {
        case TKtHitKind::ColBorder:
        case TKtHitKind::RowBorder:
            PressBorder(button, hit, dbl, x, y);
            break;
        case TKtHitKind::Corner:
        case TKtHitKind::ColHeader:
        case TKtHitKind::RowHeader:
            PressHeader(button, shift, hit);
            break;
        default:
            PressCell(button, shift, hit, dbl, x, y);
            break;
    }
    RepaintFeedback({});
    UpdateHint();
}

void TKtGridMouse::PressBorder(TMouseButton button, const TKtGridHit& hit, bool dbl, int x, int y) {
    if (button != TMouseButton::mbLeft) return;
    const bool columns = hit.Kind == TKtHitKind::ColBorder;
    if (!dbl) {
        gesture_ = std::make_unique<TKtSizeGesture>(grid_, columns, columns ? hit.Col : hit.Row,
                                                    columns ? x : y);
        return;
    }
    if (columns) {
        grid_.AutoFitColWidth(hit.Col);
    } else {
        // Fitting gives the row back to automatic heights.
        grid_.GetRow(hit.Row).SetHeightSetByHand(false);
        grid_.AutoFitRowHeight(hit.Row);
    }
}

void TKtGridMouse::PressHeader(TMouseButton button, TShiftState shift, const TKtGridHit& hit) {
    TKtGridSelection& sel = grid_.Selection();
    if (hit.Kind == TKtHitKind::Corner) {
        if (button == TMouseButton::mbLeft) sel.SelectAll();
        return;
    }
    const bool rows = hit.Kind == TKtHitKind::RowHeader;
    const int index = rows ? hit.Row : hit.Col;
    const auto select = [&](int from, int to) {
        if (rows)
            sel.SelectRows(from, to);
        else
            sel.SelectColumns(from, to);
    };
    if (button == TMouseButton::mbRight) {
        // A popup menu follows: a header inside the selection keeps it.
        const TRect& r = sel.Rect();
        if (rows ? (index < r.Top || index >= r.Bottom) : (index < r.Left || index >= r.Right))
            select(index, index);
        return;
    }
    if (button != TMouseButton::mbLeft) return;
    const bool moving = grid_.HasOption(rows ? TGridOption::goRowMoving : TGridOption::goColMoving);
    if (moving && !shift.Has(TShift::ssShift)) {
        select(index, index);
        gesture_ = std::make_unique<TKtMoveLineGesture>(grid_, rows, index);
        return;
    }
    const int anchor = shift.Has(TShift::ssShift) && grid_.HasOption(TGridOption::goRangeSelect)
                           ? (rows ? sel.Current().Y : sel.Current().X)
                           : index;
    select(anchor, index);
    gesture_ = std::make_unique<TKtHeaderSelectGesture>(grid_, rows, anchor, index);
}

void TKtGridMouse::PressCell(TMouseButton button, TShiftState shift, const TKtGridHit& hit,
                             bool dbl, int x, int y) {
    TKtGridSelection& sel = grid_.Selection();
    const TPoint at = pressCell_;
    if (button == TMouseButton::mbRight) {
        // A popup menu follows: a cell inside the selection keeps it.
        if (!sel.Rect().Contains(at.X, at.Y)) ClickCell(grid_, at);
        return;
    }
    if (button != TMouseButton::mbLeft) return;
    if (!dbl && hit.Kind == TKtHitKind::FillHandle) {
        gesture_ = std::make_unique<TKtFillGesture>(grid_);
        return;
    }
    if (!dbl && hit.Kind == TKtHitKind::Frame) {
        gesture_ = std::make_unique<TKtFrameGesture>(grid_, BodyCellNear(grid_, x, y));
        return;
    }
    if (!dbl && shift.Has(TShift::ssShift) && grid_.HasOption(TGridOption::goRangeSelect)) {
        sel.ExtendTo(at.X, at.Y);
    } else if (!ClickCell(grid_, at)) {
        return;
    }
    if (!dbl) {
        gesture_ = std::make_unique<TKtSelectGesture>(grid_, at);
        return;
    }
    if (!grid_.EditorMode() && IsDefaultTextCell(grid_, at)) {
        grid_.SetEditorMode(true);
        TKtEditor* editor = EditorOf(grid_);
        if (editor && editor->IsOpen()) editor->PassClick(x, y);
    }
}

// ---- Moves and releases
// ---------------------------------------------------------------------------

void TKtGridMouse::MouseMove(TShiftState shift, int x, int y) {
    lastX_ = x;
    lastY_ = y;
    lastShift_ = shift;
    if (!inside_) {
        inside_ = true;
        if (grid_.OnMouseEnter) grid_.OnMouseEnter(grid_);
    }
    TPoint cell;
    const bool onCell = CellAtPixel(grid_, x, y, cell);
    if (onCell)
        grid_.SetMouseCell(cell.X, cell.Y);
    else
        grid_.SetMouseCell(-1, -1);
    if (gesture_) {
        Track(shift, x, y);
    } else {
        UpdateHover(x, y);
        if (onCell)
            if (TKtCell* c = grid_.FindCell(cell.X, cell.Y))
                c->DispatchMouse({TKtMouseInput::Kind::Move, TMouseButton::mbLeft, shift, x, y});
    }
    UpdateHint();
    if (grid_.OnMouseMove) grid_.OnMouseMove(grid_, shift, x, y);
}

void TKtGridMouse::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    lastX_ = x;
    lastY_ = y;
    lastShift_ = shift;
    bool click = true;
    if (gesture_ && button == pressButton_) {
        std::unique_ptr<TKtGridGesture> gesture = std::move(gesture_);
        const std::vector<TRect> before = gesture->Feedback();
        gesture->Release(shift, x, y);
        // A cell that claimed the press had the release already.
        click = gesture->IsClick() && !dynamic_cast<TKtCellGesture*>(gesture.get());
        RepaintFeedback(before);
    } else if (gesture_) {
        click = false;
    }
    TPoint cell;
    if (click && pressCell_.X >= 0 && CellAtPixel(grid_, x, y, cell) && cell == pressCell_)
        if (TKtCell* c = grid_.FindCell(cell.X, cell.Y))
            c->DispatchMouse({TKtMouseInput::Kind::Up, button, shift, x, y});
    if (!gesture_) pressCell_ = {-1, -1};
    UpdateHover(x, y);
    UpdateHint();
    if (grid_.OnMouseUp) grid_.OnMouseUp(grid_, button, shift, x, y);
}

void TKtGridMouse::Track(TShiftState shift, int x, int y) {
    const std::vector<TRect> before = gesture_->Feedback();
    gesture_->Move(shift, x, y);
    RepaintFeedback(before);
}

void TKtGridMouse::CancelDrag() {
    if (!gesture_) return;
    const std::vector<TRect> before = gesture_->Feedback();
    gesture_->Cancel();
    gesture_.reset();
    RepaintFeedback(before);
    UpdateHint();
}

void TKtGridMouse::Leave() {
    grid_.SetMouseCell(-1, -1);
    hoverCursor_ = TKtCursor::crArrow;
    hoverHint_.clear();
    UpdateHint();
    if (!inside_) return;
    inside_ = false;
    if (grid_.OnMouseLeave) grid_.OnMouseLeave(grid_);
}

// ---- Scrolling
// ------------------------------------------------------------------------------------

bool TKtGridMouse::Wheel(int delta, TShiftState) {
    if (grid_.HasOptionEx(TGridOptionEx::goIgnoreMouseWheel)) return false;
    // Fine-grained wheels send parts of a notch: they add up.
    wheelRest_ += delta;
    const int notches = wheelRest_ / kWheelDelta;
    wheelRest_ -= notches * kWheelDelta;
    if (notches == 0) return true;
    const int old = grid_.TopRow();
    grid_.SetTopRow(old - notches * kWheelRows);
    if (grid_.TopRow() != old) {
        if (grid_.OnScroll) grid_.OnScroll(grid_, notches > 0 ? kScrollLineUp : kScrollLineDown);
        if (gesture_) Track(lastShift_, lastX_, lastY_);
    }
    return true;
}

bool TKtGridMouse::ScrollStep(int& dc, int& dr) const {
    dc = dr = 0;
    if (!gesture_ || !gesture_->AutoScrolls()) return false;
    const int lastCol = grid_.ColCount() - 1;
    const int lastRow = grid_.RowCount() - 1;
    if (gesture_->ScrollsColumns()) {
        if (lastX_ >= grid_.ClientWidth()) {
            // Only while the last column is not yet fully shown.
            if (grid_.ColumnLeft(lastCol) + grid_.ColWidths(lastCol) > grid_.ClientWidth()) dc = 1;
        } else if (lastX_ < ScrolledAreaLeft(grid_) && grid_.LeftCol() > grid_.ViewLockCol()) {
            dc = -1;
        }
    }
    if (gesture_->ScrollsRows()) {
        if (lastY_ >= grid_.ClientHeight()) {
            if (grid_.RowTop(lastRow) + grid_.RowHeights(lastRow) > grid_.ClientHeight()) dr = 1;
        } else if (lastY_ < ScrolledAreaTop(grid_) && grid_.TopRow() > grid_.ViewLockRow()) {
            dr = -1;
        }
    }
    return dc != 0 || dr != 0;
}

TKtCell* TKtGridMouse::RepeatingCell() const {
    if (!dynamic_cast<const TKtCellGesture*>(gesture_.get())) return nullptr;
    TKtCell* cell = grid_.CaptureCell();
    return cell && cell->Repeats() ? cell : nullptr;
}

bool TKtGridMouse::NeedsAutoScroll() const {
    if (RepeatingCell()) return true;
    int dc, dr;
    return ScrollStep(dc, dr);
}

bool TKtGridMouse::Tick() {
    if (TKtCell* cell = RepeatingCell()) {
        cell->RepeatTick();
        return false;
    }
    int dc, dr;
    if (!ScrollStep(dc, dr)) return false;
    bool scrolled = false;
    if (dc != 0) {
        const int old = grid_.LeftCol();
        grid_.SetLeftCol(old + dc);
        if (grid_.LeftCol() != old) {
            scrolled = true;
            if (grid_.OnScroll) grid_.OnScroll(grid_, dc < 0 ? kScrollLineUp : kScrollLineDown);
        }
    }
    if (dr != 0) {
        const int old = grid_.TopRow();
        grid_.SetTopRow(old + dr);
        if (grid_.TopRow() != old) {
            scrolled = true;
            if (grid_.OnScroll) grid_.OnScroll(grid_, dr < 0 ? kScrollLineUp : kScrollLineDown);
        }
    }
    if (scrolled) Track(lastShift_, lastX_, lastY_);
    return scrolled;
}

// ---- What the view shows
// ----------------------------------------------------------------------------

TKtCursor TKtGridMouse::Cursor() const {
    return gesture_ ? gesture_->Cursor() : hoverCursor_;
}

std::vector<TRect> TKtGridMouse::Feedback() const {
    return gesture_ ? gesture_->Feedback() : std::vector<TRect>{};
}

WideString TKtGridMouse::HintText() const {
    return gesture_ ? gesture_->HintText() : hoverHint_;
}

void TKtGridMouse::UpdateHover(int x, int y) {
    hoverCursor_ = HoverCursor(HitTestGrid(grid_, x, y).Kind);
    hoverHint_.clear();
    TPoint cell;
    if (CellAtPixel(grid_, x, y, cell))
        if (const TKtCell* c = grid_.FindCell(cell.X, cell.Y)) hoverHint_ = c->Hint();
}

void TKtGridMouse::UpdateHint() {
    WideString text = HintText();
    if (text == shownHint_) return;
    shownHint_ = std::move(text);
    if (!shownHint_.empty() && grid_.OnShowHint) grid_.OnShowHint(grid_);
}

void TKtGridMouse::RepaintFeedback(const std::vector<TRect>& before) {
    const std::vector<TRect> now = Feedback();
    IKtGridView* view = grid_.View();
    if (before == now || !view || grid_.IsUpdating()) return;
    for (const TRect& r : before)
        view->InvalidateRect(r);
    for (const TRect& r : now)
        view->InvalidateRect(r);
}

}  // namespace plu
