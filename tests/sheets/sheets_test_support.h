// Shared helpers of the data grid and sheet control tests: pinned regional
// settings and text metrics, a repaint-counting view, and a text control
// without a window for the grid's editing controller (TKtEditor).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "base/regional_settings.h"
#include "base/text_measurer.h"
#include "grid/custom_grid.h"
#include "grid/editor.h"
#include "grid/editor_control.h"
#include "grid/editor_fake_control.h"
#include "grid/editor_keys.h"
#include "grid/grid_host.h"
#include "grid/grid_selection.h"

namespace plu::testing {

class NullView : public IKtGridView {
  public:
    void InvalidateRect(const TRect&) override { ++repaints; }
    void InvalidateAll() override { ++repaints; }
    void UpdateScrollBars(bool, bool) override {}
    int repaints = 0;
};

// Pinned settings for every test of this binary.
class SheetsTest : public ::testing::Test {
  protected:
    ScopedRegionalSettings settings_{RegionalSettings::Defaults()};
    FixedTextMeasurer measurer_;
};

inline std::string U8(WideStringView text) {
    return WideToUtf8(text);
}

// A key pressed on the grid (the current cell sees it first).
inline bool GridKeyDown(TKtCustomGrid& grid, uint16_t key, TShiftState shift = {}) {
    return plu::GridKeyDown(grid, key, shift);
}
// A character typed on the grid (the current cell sees it first).
inline bool GridChar(TKtCustomGrid& grid, char16_t ch) {
    return plu::GridKeyPress(grid, ch);
}

// A key or character forwarded to one cell; true when the cell consumed it.
inline bool PressKey(TKtCell& cell, uint16_t key, TShiftState shift = {}) {
    TKtKeyInput input;
    input.What = TKtKeyInput::Kind::KeyDown;
    input.Key = key;
    input.Shift = shift;
    return cell.DispatchKey(input) != 0;
}

inline bool TypeChar(TKtCell& cell, char16_t ch) {
    TKtKeyInput input;
    input.What = TKtKeyInput::Kind::Char;
    input.Char = ch;
    return cell.DispatchKey(input) != 0;
}

inline bool Mouse(TKtCell& cell, TKtMouseInput::Kind what, int x, int y,
                  TMouseButton button = TMouseButton::mbLeft) {
    TKtMouseInput input;
    input.What = what;
    input.Button = button;
    input.X = x;
    input.Y = y;
    return cell.DispatchMouse(input);
}

}  // namespace plu::testing
