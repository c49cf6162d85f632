// The mouse gestures of a grid: one object per drag, chosen on press by the
// hit test (grid_hit_test.h) and kept by the mouse layer (grid_mouse.h)
// until the button is released. Each keeps only its own state. Gestures
// that change the model's sizes or cells do it once, on release; while the
// drag runs they only offer feedback rectangles (lines and outlines the view
// draws inverted) and a hint text.
//
// Move is called for every mouse move and, after an auto-scroll step, again
// with the last mouse point.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "base/wide_text.h"
#include "grid/grid_types.h"

namespace plu {

class TKtCustomGrid;

// The mouse cursor the view shows.
enum class TKtCursor : uint8_t {
    crArrow,    // cells, headers, outside
    crColSize,  // over or dragging a column border
    crRowSize,  // over or dragging a row border
    crMove,     // over or dragging the selection frame, moving rows / columns
    crCross,    // over or dragging the fill handle
};

class TKtGridGesture {
  public:
    explicit TKtGridGesture(TKtCustomGrid& grid) : grid_(grid) {}
    virtual ~TKtGridGesture() = default;
    TKtGridGesture(const TKtGridGesture&) = delete;
    TKtGridGesture& operator=(const TKtGridGesture&) = delete;

    virtual void Move(TShiftState shift, int x, int y) = 0;
    // The button went up at (x, y): the gesture applies its result.
    virtual void Release(TShiftState shift, int x, int y) = 0;
    // The gesture ends without a result (Escape, the capture was lost).
    virtual void Cancel() {}
    // Whether the grid scrolls under the gesture while the mouse is held
    // beyond the scrolled area, and along which axes (a drag over the row
    // headers lies left of the scrolled area all the time: it scrolls rows
    // only).
    virtual bool AutoScrolls() const { return false; }
    virtual bool ScrollsColumns() const { return AutoScrolls(); }
    virtual bool ScrollsRows() const { return AutoScrolls(); }
    // The mouse went up on the cell it went down on without a drag: the
    // cell kinds see the release as a click.
    virtual bool IsClick() const { return false; }
    virtual TKtCursor Cursor() const { return TKtCursor::crArrow; }
    virtual std::vector<TRect> Feedback() const { return {}; }
    virtual WideString HintText() const { return {}; }

  protected:
    TKtCustomGrid& grid_;
};

// Extends the selection from the current cell to the body cell under the
// mouse (the press already made the current cell).
class TKtSelectGesture : public TKtGridGesture {
  public:
    TKtSelectGesture(TKtCustomGrid& grid, TPoint pressed)
        : TKtGridGesture(grid), pressed_(pressed) {}
    void Move(TShiftState shift, int x, int y) override;
    void Release(TShiftState shift, int x, int y) override;
    bool AutoScrolls() const override { return true; }
    bool IsClick() const override { return !moved_; }

  private:
    TPoint pressed_;
    bool moved_ = false;
};

// Selects whole columns (rows) from the pressed header to the one under the
// mouse.
class TKtHeaderSelectGesture : public TKtGridGesture {
  public:
    // The press selected anchor ... pressed.
    TKtHeaderSelectGesture(TKtCustomGrid& grid, bool rows, int anchor, int pressed)
        : TKtGridGesture(grid), rows_(rows), anchor_(anchor), pressed_(pressed), last_(pressed) {}
    void Move(TShiftState shift, int x, int y) override;
    void Release(TShiftState, int, int) override {}
    bool AutoScrolls() const override { return true; }
    bool ScrollsColumns() const override { return !rows_; }
    bool ScrollsRows() const override { return rows_; }
    bool IsClick() const override { return last_ == pressed_; }

  private:
    bool rows_;
    int anchor_;
    int pressed_;
    int last_;
};

// Drags the far border of a column (row): the size follows the mouse as a
// line and a hint; the model takes the new size once, on release. A size of
// 0 hides the column (row) so that it can be shown again with its size.
class TKtSizeGesture : public TKtGridGesture {
  public:
    // pressed: the client x (y) of the press on the border.
    TKtSizeGesture(TKtCustomGrid& grid, bool columns, int index, int pressed);
    void Move(TShiftState shift, int x, int y) override;
    void Release(TShiftState shift, int x, int y) override;
    TKtCursor Cursor() const override {
        return columns_ ? TKtCursor::crColSize : TKtCursor::crRowSize;
    }
    // The line at the new border across the client area.
    std::vector<TRect> Feedback() const override;
    WideString HintText() const override;
    int Size() const { return size_; }

  private:
    bool columns_;
    int index_;
    int start_;  // client position of the index's near border
    int grab_;   // distance of the press from the far border
    int original_;
    int size_;
};

// Drags a header to move its column (row) to the header under the mouse
// (goColMoving / goRowMoving). The insertion line is the feedback; the move
// happens on release and the moved column (row) stays selected.
class TKtMoveLineGesture : public TKtGridGesture {
  public:
    TKtMoveLineGesture(TKtCustomGrid& grid, bool rows, int from)
        : TKtGridGesture(grid), rows_(rows), from_(from), to_(from) {}
    void Move(TShiftState shift, int x, int y) override;
    void Release(TShiftState shift, int x, int y) override;
    bool AutoScrolls() const override { return true; }
    bool ScrollsColumns() const override { return !rows_; }
    bool ScrollsRows() const override { return rows_; }
    bool IsClick() const override { return to_ == from_; }
    TKtCursor Cursor() const override { return TKtCursor::crMove; }
    std::vector<TRect> Feedback() const override;

  private:
    bool rows_;
    int from_;
    int to_;
};

// Drags the selection frame: the outline of the selection at the cell under
// the mouse is the feedback; on release the selected cells move there
// (Ctrl held: are copied) and the selection follows. Refused while the grid
// may not be edited or a merged area lies in the way.
class TKtFrameGesture : public TKtGridGesture {
  public:
    TKtFrameGesture(TKtCustomGrid& grid, TPoint pressed);
    void Move(TShiftState shift, int x, int y) override;
    void Release(TShiftState shift, int x, int y) override;
    bool AutoScrolls() const override { return true; }
    bool IsClick() const override { return !moved_; }
    TKtCursor Cursor() const override { return TKtCursor::crMove; }
    std::vector<TRect> Feedback() const override;
    const TRect& Target() const { return target_; }

  private:
    TRect source_;
    TPoint pressed_;
    TRect target_;
    bool moved_ = false;
};

// Drags the fill handle: the selection grows along one axis (the one the
// mouse went further along) to the cell under the mouse; on release the
// new cells are filled by repeating the selected ones, OnDragFill is
// raised and the filled rectangle becomes the selection.
class TKtFillGesture : public TKtGridGesture {
  public:
    explicit TKtFillGesture(TKtCustomGrid& grid);
    void Move(TShiftState shift, int x, int y) override;
    void Release(TShiftState shift, int x, int y) override;
    bool AutoScrolls() const override { return true; }
    TKtCursor Cursor() const override { return TKtCursor::crCross; }
    std::vector<TRect> Feedback() const override;
    const TRect& Target() const { return target_; }

  private:
    TRect source_;
    TRect target_;
};

// A cell kind claimed the press: moves and the release go to that cell
// (the grid's capture cell while it holds one).
class TKtCellGesture : public TKtGridGesture {
  public:
    TKtCellGesture(TKtCustomGrid& grid, TPoint cell, TMouseButton button)
        : TKtGridGesture(grid), cell_(cell), button_(button) {}
    void Move(TShiftState shift, int x, int y) override;
    void Release(TShiftState shift, int x, int y) override;

  private:
    void Send(const TKtMouseInput& input);
    TPoint cell_;
    TMouseButton button_;
};

// A click on a body cell: it becomes the current cell and the selection
// collapses onto it (also when it was current already). False when the move
// was refused (OnCurrentChanging, a refused commit).
bool ClickCell(TKtCustomGrid& grid, TPoint cell);
// Moves (or copies) the cells of source (half-open) so that its top-left
// lands at target's top-left; the cells vacated by a move are cleared and
// take the default style. False (nothing changed) when a cell it would
// write may not be edited, a merged area touches either rectangle, or the
// target leaves the body cells.
bool MoveCells(TKtCustomGrid& grid, const TRect& source, TPoint to, bool copy);
// Fills target (half-open, containing source) by repeating the cells of
// source (values with formulas shifted, formats); cells that may not be
// edited are left alone.
void FillCells(TKtCustomGrid& grid, const TRect& source, const TRect& target);

}  // namespace plu
