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

// Keeps text, selection and caret like a platform edit control and feeds
// typed characters and keys through the controller's key protocol.
class FakeEditControl : public TKtCellMaskEdit {
  public:
    WideString text;
    int anchor = 0;
    int caret = 0;
    bool multiLine = false;
    bool visible = false;
    TRect bounds{};
    std::vector<TPoint> clicks;

    WideString Text() const override { return text; }
    void SetText(WideStringView t) override {
        text = WideString(t);
        anchor = caret = Length();
    }
    int SelStart() const override { return std::min(anchor, caret); }
    int SelLength() const override { return std::abs(caret - anchor); }
    int CaretPos() const override { return caret; }
    void SetSelection(int start, int length) override {
        anchor = std::clamp(start, 0, Length());
        caret = std::clamp(start + length, 0, Length());
    }
    void ReplaceSelection(WideStringView t) override {
        const int start = SelStart();
        text.replace(static_cast<size_t>(start), static_cast<size_t>(SelLength()), t);
        anchor = caret = start + static_cast<int>(t.size());
    }
    void TypeChar(char16_t ch) override {
        if (ch == 8) {
            if (SelLength() == 0 && caret > 0) anchor = caret - 1;
            ReplaceSelection(u"");
        } else {
            ReplaceSelection(WideString(1, ch));
        }
        if (Editor()) Editor()->ControlTextChanged();
    }
    bool MultiLine() const override { return multiLine; }
    void SetMultiLine(bool on) override { multiLine = on; }
    bool Visible() const override { return visible; }
    void SetVisible(bool v) override { visible = v; }
    TRect Bounds() const override { return bounds; }
    void SetBounds(const TRect& b) override { bounds = b; }
    void SetFont(const TFont&) override {}
    void SetColor(TColor) override {}
    void SetFocus() override {}
    void Command(TKtEditCommand) override {}
    void ClickAt(int x, int y) override { clicks.push_back({x, y}); }

    // The user types into the focused control.
    void Type(WideStringView chars) {
        for (char16_t ch : chars) {
            Editor()->ControlKeyPress(ch);
            if (ch == 0) continue;
            TypeChar(ch);
            Editor()->ControlCharTaken(ch);
        }
    }
    // A key pressed in the focused control (Enter, Escape and the like go
    // on to the grid through the controller).
    void Key(uint16_t key, TShiftState shift = {}) { Editor()->ControlKeyDown(key, shift); }
    WideString Selected() const {
        return text.substr(static_cast<size_t>(SelStart()), static_cast<size_t>(SelLength()));
    }

  private:
    int Length() const { return static_cast<int>(text.size()); }
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
