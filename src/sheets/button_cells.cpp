#include "sheets/button_cells.h"

#include "grid/custom_grid.h"
#include "sheets/cell_geometry.h"
#include "sheets/editor_access.h"

namespace plu {

const TKtCellClass& TKtBaseComboCell::Class() {
    static const TKtCellClassOf<TKtBaseComboCell> cls("TKtBaseComboCell");
    return cls;
}

const TKtCellClass& TKtBaseBtnCell::Class() {
    static const TKtCellClassOf<TKtBaseBtnCell> cls("TKtBaseBtnCell");
    return cls;
}

const TKtCellClass& TKtEllipsisBtnCell::Class() {
    static const TKtCellClassOf<TKtEllipsisBtnCell> cls("TKtEllipsisBtnCell");
    return cls;
}

// ---- TKtBaseComboCell -------------------------------------------------------------

TRect TKtBaseComboCell::ButtonRect() const {
    return plu::ButtonRect(ClientRect(), Metrics(), ComboSizedButton());
}

TRect TKtBaseComboCell::TextRect() const {
    const TRect cell = ClientRect();
    return ShowsButton() ? TextRectBesideButton(cell, ButtonRect()) : cell;
}

bool TKtBaseComboCell::ClaimsKey(uint16_t key, TShiftState) const {
    return key == vk::Up || key == vk::Down;
}

void TKtBaseComboCell::UpdateEditorBounds() {
    if (!ShowsButton()) return;
    const TRect button = ButtonRect();
    if (!button.IsEmpty()) editor_access::LimitRight(Grid(), button.Left);
}

// ---- TKtBaseBtnCell ------------------------------------------------------------------

bool TKtBaseBtnCell::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    // The second press of a double click presses the button once more: it
    // must not fall through to the text part and open the editor.
    if (button == TMouseButton::mbLeft && ButtonRect().Contains(x, y)) {
        Grid().SetCaptureCell(this);
        Grid().SetPressedCell(this);
        pressed_ = true;
        hot_ = true;
        Tracked(x, y);
        Invalidate();
        ButtonPressed(x, y);
        return true;
    }
    return TKtBaseComboCell::MouseDown(button, shift, x, y);
}

bool TKtBaseBtnCell::MouseMove(TShiftState, int x, int y) {
    if (!pressed_) return false;
    SetHot(ButtonRect().Contains(x, y));
    Tracked(x, y);
    return true;
}

bool TKtBaseBtnCell::MouseUp(TMouseButton button, TShiftState, int, int) {
    if (!pressed_ || button != TMouseButton::mbLeft) return false;
    const bool wasHot = hot_;
    Release();
    ButtonReleased(wasHot);
    return true;
}

void TKtBaseBtnCell::CancelMode() {
    if (pressed_ || hot_) Release();
}

void TKtBaseBtnCell::SetHot(bool hot) {
    if (hot == hot_) return;
    hot_ = hot;
    Invalidate();
}

void TKtBaseBtnCell::Release() {
    TKtCustomGrid& grid = Grid();
    if (grid.CaptureCell() == this) grid.SetCaptureCell(nullptr);
    if (grid.PressedCell() == this) grid.SetPressedCell(nullptr);
    hot_ = false;
    pressed_ = false;
    Invalidate();
}

// ---- TKtEllipsisBtnCell ------------------------------------------------------------------

void TKtEllipsisBtnCell::ButtonReleased(bool wasHot) {
    if (wasHot) ButtonClick();
}

}  // namespace plu
