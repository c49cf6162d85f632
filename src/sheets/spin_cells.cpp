#include "sheets/spin_cells.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "base/conversions.h"
#include "base/float_text.h"
#include "grid/custom_grid.h"
#include "grid/grid_mouse.h"
#include "sheets/cell_geometry.h"

namespace plu {

namespace {

// value rounded half away from zero to 8 decimal places, on its decimal
// expansion (so 0.1 + 0.2 stores 0.3, not 0.30000000000000004).
double RoundTo8Places(double value) {
    if (!std::isfinite(value)) return value;
    const std::string text = WideToUtf8(FloatToTextFixed(value, 8, u'.'));
    return std::strtod(text.c_str(), nullptr);
}

}  // namespace

const TKtCellClass& TKtBaseSpinCell::Class() {
    static const TKtCellClassOf<TKtBaseSpinCell> cls("TKtBaseSpinCell");
    return cls;
}

const TKtCellClass& TKtNumberSpinCell::Class() {
    static const TKtCellClassOf<TKtNumberSpinCell> cls("TKtNumberSpinCell");
    return cls;
}

// ---- TKtBaseSpinCell --------------------------------------------------------------

void TKtBaseSpinCell::Step(bool up) {
    const int64_t value = static_cast<int64_t>(GetAsInteger()) + (up ? 1 : -1);
    SetTextIfEditable(IntToWide(value));
}

bool TKtBaseSpinCell::ClaimsKey(uint16_t key, TShiftState) const {
    return key == vk::Prior || key == vk::Next;
}

void TKtBaseSpinCell::KeyDown(uint16_t& key, TShiftState shift) {
    if (key == vk::Prior || key == vk::Next) {
        const bool up = key == vk::Prior;
        key = 0;
        Step(up);
        return;
    }
    TKtBaseBtnCell::KeyDown(key, shift);
}

void TKtBaseSpinCell::ButtonPressed(int x, int y) {
    heldTicks_ = 0;
    repeated_ = false;
    Tracked(x, y);
}

void TKtBaseSpinCell::RepeatTick() {
    if (!Repeats()) return;
    constexpr int tick = TKtGridMouse::kAutoScrollInterval;
    const int elapsed = ++heldTicks_ * tick;
    if (elapsed < kSpinRepeatDelay) return;
    // One step per interval after the delay, whatever the tick's period.
    const int before = (elapsed - tick - kSpinRepeatDelay);
    if (before >= 0 &&
        before / kSpinRepeatInterval == (elapsed - kSpinRepeatDelay) / kSpinRepeatInterval)
        return;
    repeated_ = true;
    try {
        Step(!lowerHalf_);
    } catch (...) {
        CancelMode();
        throw;
    }
}

void TKtBaseSpinCell::Tracked(int, int y) {
    const bool lower = InLowerHalf(ButtonRect(), y);
    if (lower == lowerHalf_) return;
    lowerHalf_ = lower;
    Invalidate();
}

void TKtBaseSpinCell::ButtonReleased(bool wasHot) {
    if (wasHot && !repeated_) Step(!lowerHalf_);
}

// ---- TKtNumberSpinCell ------------------------------------------------------------------

bool TKtNumberSpinCell::CanEdit() const {
    return Editable && TKtBaseSpinCell::CanEdit();
}

void TKtNumberSpinCell::Step(bool up) {
    if (!CanEdit()) return;
    double value = GetAsFloat();
    if (up) {
        value += Increment;
        if (value > MaxValue) value = MaxValue;
    } else {
        value -= Increment;
        if (value < MinValue) value = MinValue;
    }
    if (Grid().RaiseCompleteEdit(Pos(), FloatToStr(value))) SetAsFloat(RoundTo8Places(value));
    Invalidate();
}

}  // namespace plu
