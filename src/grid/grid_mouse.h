// TKtGridMouse: the mouse of one grid, without a toolkit. The view forwards
// its mouse events as plain values (client pixels, button, shift state) and
// calls Tick from a timer while NeedsAutoScroll; it shows Cursor(), draws
// Feedback() inverted over the grid and shows HintText(). Everything else
// reaches the view through the grid's IKtGridView (repaint requests, scroll
// bars).
//
// With an in-place edit open on another cell, a press on the cells first
// commits the edit (a refused commit ends the press there), unless the
// formula being typed picks a reference with the mouse: then the edit stays
// and the selection follows the mouse. Then the cell kind under the mouse
// gets the press (its mouse handlers) and may claim it: moves and the
// release go to it. Otherwise the hit test (grid_hit_test.h) chooses the
// gesture (grid_gestures.h):
//   body cell        select it (Shift: extend), drag to extend
//   header cell      select the column / row (Shift: extend), drag to extend;
//                    with goColMoving / goRowMoving drag to move it
//   corner           select everything
//   header border    drag to size (goColSizing / goRowSizing); a double
//                    click fits the column or row to its contents
//   selection frame  drag to move the cells (Ctrl: copy)
//   fill handle      drag to fill (OnDragFill)
// A double click on a default text cell opens the editor. The right button
// moves the current cell only when the press lies outside the selection.
// Every move tells the grid which cell the mouse is over (SetMouseCell:
// OnCellMouseEnter / OnCellMouseLeave). The grid's OnMouseEnter,
// OnMouseLeave, OnMouseDown, OnMouseUp and OnMouseMove follow each event.
#pragma once

#include <memory>
#include <vector>

#include "base/wide_text.h"
#include "grid/grid_gestures.h"
#include "grid/grid_hit_test.h"
#include "grid/grid_types.h"

namespace plu {

class TKtCell;
class TKtCustomGrid;

// The scroll codes OnScroll carries (the platform's line codes).
constexpr int kScrollLineUp = 0;    // also one column left
constexpr int kScrollLineDown = 1;  // also one column right

class TKtGridMouse {
  public:
    // One notch of a wheel is this much delta and scrolls this many rows.
    static constexpr int kWheelDelta = 120;
    static constexpr int kWheelRows = 3;
    // The period of the view's auto-scroll timer (milliseconds).
    static constexpr int kAutoScrollInterval = 30;

    // The grid must outlive the mouse layer.
    explicit TKtGridMouse(TKtCustomGrid& grid);
    ~TKtGridMouse();
    TKtGridMouse(const TKtGridMouse&) = delete;
    TKtGridMouse& operator=(const TKtGridMouse&) = delete;

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    void MouseMove(TShiftState shift, int x, int y);
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    // The second press of a double click (it comes instead of MouseDown).
    void DoubleClick(TMouseButton button, TShiftState shift, int x, int y);
    // delta: wheel units, positive away from the user (scrolls up).
    // Handled (true) unless goIgnoreMouseWheel is set.
    bool Wheel(int delta, TShiftState shift);
    // The mouse left the client area.
    void Leave();
    // One auto-scroll step: scrolls by one row and/or column towards the
    // last mouse point and lets the gesture follow; true when it scrolled.
    // While a cell repeats its held press, the tick goes to that cell.
    bool Tick();
    // A drag is running with the mouse beyond the scrolled area where the
    // grid can still scroll, or a cell holding the press repeats it (a spin
    // button held down): the view runs its timer.
    bool NeedsAutoScroll() const;
    // Ends a running drag without its result (Escape, lost capture).
    void CancelDrag();
    bool Dragging() const { return gesture_ != nullptr; }

    TKtCursor Cursor() const;
    // Rectangles (client pixels) the view inverts over the painted grid.
    std::vector<TRect> Feedback() const;
    // The hint to show: the size while a border is dragged, else the hint
    // of the cell under the mouse; "" for none.
    WideString HintText() const;

    // The running gesture (nullptr when none).
    const TKtGridGesture* Gesture() const { return gesture_.get(); }

  private:
    // Press handling shared by MouseDown and DoubleClick.
    void Press(TMouseButton button, TShiftState shift, int x, int y, bool dbl);
    // Commits an open edit before a press on the grid; false when the press
    // must go no further (a refused commit).
    // A reference pick turns a frame or fill-handle hit into a cell hit.
    bool CommitBeforePress(TKtGridHit& hit);
    void PressBorder(TMouseButton button, const TKtGridHit& hit, bool dbl, int x, int y);
    void PressCell(TMouseButton button, TShiftState shift, const TKtGridHit& hit, bool dbl, int x,
                   int y);
    void PressHeader(TMouseButton button, TShiftState shift, const TKtGridHit& hit);
    void Track(TShiftState shift, int x, int y);
    void UpdateHover(int x, int y);
    void UpdateHint();
    // Asks the view to repaint what the feedback covered before and covers now.
    void RepaintFeedback(const std::vector<TRect>& before);
    bool ScrollStep(int& dc, int& dr) const;
    // The cell that holds the press and repeats it, nullptr when none.
    TKtCell* RepeatingCell() const;

    TKtCustomGrid& grid_;
    std::unique_ptr<TKtGridGesture> gesture_;
    TPoint pressCell_{-1, -1};  // the cell a press went down on (clicks)
    TMouseButton pressButton_ = TMouseButton::mbLeft;
    int lastX_ = 0;
    int lastY_ = 0;
    TShiftState lastShift_{};
    bool inside_ = false;
    int wheelRest_ = 0;
    TKtCursor hoverCursor_ = TKtCursor::crArrow;
    WideString hoverHint_;
    WideString shownHint_;
};

}  // namespace plu
