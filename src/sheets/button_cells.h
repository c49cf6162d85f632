// Cells with a button at their right edge: TKtBaseComboCell (the button
// area; only the current cell shows it), TKtBaseBtnCell (the button is
// pressed with the left mouse button and hot-tracked while held) and the
// ellipsis button kind, whose click raises OnCellButtonClick.
#pragma once

#include "sheets/edit_cells.h"

namespace plu {

class TKtBaseComboCell : public TKtBaseEditCell {
  public:
    using TKtBaseEditCell::TKtBaseEditCell;
    static const TKtCellClass& Class();
    const TKtCellClass& CellClass() const override { return Class(); }

    // The button area in client pixels (cell_geometry's ButtonRect).
    TRect ButtonRect() const;
    // Only the current cell shows its button (and its text then keeps left
    // of it).
    bool ShowsButton() const { return IsCurrent(); }
    TRect TextRect() const;

    // Up and Down belong to the cell, not to the grid's navigation.
    bool ClaimsKey(uint16_t key, TShiftState shift) const override;
    // The open editor ends where the button begins.
    void UpdateEditorBounds() override;

    // The current cell draws its text left of the button, then the button.
    void DrawContent(IKtCanvas& canvas, const TRect& rect, TPoint pos) const override;

  protected:
    // Draws the button in button (client pixels).
    virtual void DrawButton(IKtCanvas& canvas, const TRect& button) const;
    // Combo lists take the height of a vertical scroll thumb; other buttons
    // the cell's height.
    virtual bool ComboSizedButton() const { return true; }
};

class TKtBaseBtnCell : public TKtBaseComboCell {
  public:
    using TKtBaseComboCell::TKtBaseComboCell;
    static const TKtCellClass& Class();
    const TKtCellClass& CellClass() const override { return Class(); }

    // The pointer is over the pressed button.
    bool Hot() const { return hot_; }
    // The left button went down on the button and is still held.
    bool Pressed() const { return pressed_; }

    // Left button down inside the button: capture the mouse, press and
    // hot-track (the ordinary click handling is skipped; the message counts
    // as handled).
    bool MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    // While pressed: hot exactly while the pointer is over the button.
    bool MouseMove(TShiftState shift, int x, int y) override;
    // Releases the button (ButtonReleased decides what the release does).
    bool MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    // The mouse operation was cancelled: release without acting.
    void CancelMode();

  protected:
    // Sunken exactly while pressed and hot.
    void DrawButton(IKtCanvas& canvas, const TRect& button) const override;
    // The button went down (pressed and hot are set).
    virtual void ButtonPressed(int x, int y) {
        (void)x;
        (void)y;
    }
    // The button was released; wasHot tells whether the pointer was over it.
    virtual void ButtonReleased(bool wasHot) { (void)wasHot; }
    // Hot-tracking moved to (x, y).
    virtual void Tracked(int x, int y) {
        (void)x;
        (void)y;
    }
    void SetHot(bool hot);

  private:
    void Release();
    bool hot_ = false;
    bool pressed_ = false;
};

class TKtEllipsisBtnCell : public TKtBaseBtnCell {
  public:
    using TKtBaseBtnCell::TKtBaseBtnCell;
    static const TKtCellClass& Class();
    const TKtCellClass& CellClass() const override { return Class(); }
    TKtCellType CellType() const override { return TKtCellType::cellEllipsisBtn; }

  protected:
    bool ComboSizedButton() const override { return false; }
    void DrawButton(IKtCanvas& canvas, const TRect& button) const override;
    // Released over the button after pressing it: ButtonClick.
    void ButtonReleased(bool wasHot) override;
};

}  // namespace plu
