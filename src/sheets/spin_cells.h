// Spin cells: the button is split into an up half and a down half; a click
// on a half, Page Up or Page Down steps the value. TKtNumberSpinCell steps
// by Increment within MinValue ... MaxValue, asking OnCompleteEdit first.
#pragma once

#include "sheets/button_cells.h"

namespace plu {

class TKtBaseSpinCell : public TKtBaseBtnCell {
  public:
    using TKtBaseBtnCell::TKtBaseBtnCell;
    static const TKtCellClass& Class();
    const TKtCellClass& CellClass() const override { return Class(); }

    // The pointer is below the vertical middle of the button.
    bool LowerHalf() const { return lowerHalf_; }

    // The value as an integer plus or minus one, stored through
    // SetTextIfEditable.
    virtual void Step(bool up);

    // Page Up and Page Down belong to the cell (Up and Down keep moving the
    // current cell).
    bool ClaimsKey(uint16_t key, TShiftState shift) const override;
    // Page Up steps up, Page Down steps down; the key is consumed.
    void KeyDown(uint16_t& key, TShiftState shift) override;

    // A half held down with the pointer over it steps again after
    // kSpinRepeatDelay and then every kSpinRepeatInterval milliseconds,
    // counted in the mouse layer's ticks; the direction follows the half
    // under the pointer. A press that repeated has done its stepping: its
    // release steps no more. A failing step releases the button (the error
    // goes on to the caller) so that it is not raised again on every tick.
    static constexpr int kSpinRepeatDelay = 400;
    static constexpr int kSpinRepeatInterval = 100;
    bool Repeats() const override { return Pressed() && Hot(); }
    void RepeatTick() override;

  protected:
    bool ComboSizedButton() const override { return false; }
    // The half under the held pointer is drawn pressed.
    void DrawButton(IKtCanvas& canvas, const TRect& button) const override;
    void ButtonPressed(int x, int y) override;
    void Tracked(int x, int y) override;
    // Released while hot: a step up over the upper half, down over the lower.
    void ButtonReleased(bool wasHot) override;

  private:
    bool lowerHalf_ = false;
    int heldTicks_ = 0;   // ticks since the press
    bool repeated_ = false;  // the held press stepped on its own
};

class TKtNumberSpinCell : public TKtBaseSpinCell {
  public:
    using TKtBaseSpinCell::TKtBaseSpinCell;
    static const TKtCellClass& Class();
    const TKtCellClass& CellClass() const override { return Class(); }
    TKtCellType CellType() const override { return TKtCellType::cellNumberSpin; }

    float MinValue = -3.4E38f;
    float MaxValue = 3.4E38f;
    float Increment = 1.0f;
    // Steps only while editable (and CanEdit).
    bool Editable = true;

    bool CanEdit() const override;
    // V := GetAsFloat (an empty cell 0; a text that is no number raises the
    // conversion error and nothing changes); up adds Increment (at most
    // MaxValue), down subtracts it (at least MinValue); OnCompleteEdit is
    // asked with V in general form; allowed, V rounded to 8 decimal places
    // is stored with SetAsFloat. The cell is repainted either way.
    void Step(bool up) override;
};

}  // namespace plu
