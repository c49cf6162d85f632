// Shared helpers of the data grid and sheet control tests: pinned regional
// settings and text metrics, a repaint-recording view, and an in-place
// editor that keeps its text, selection and clicks the way the editing
// controller does.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/regional_settings.h"
#include "base/text_measurer.h"
#include "grid/custom_grid.h"
#include "grid/grid_host.h"
#include "grid/grid_selection.h"
#include "sheets/editor_access.h"

namespace plu::testing {

class NullView : public IKtGridView {
  public:
    void InvalidateRect(const TRect&) override { ++repaints; }
    void InvalidateAll() override { ++repaints; }
    void UpdateScrollBars(bool, bool) override {}
    int repaints = 0;
};

// An editor that opens on the cell's edit text with everything selected,
// commits through OnCompleteEdit and SetTextIfEditable, and hands typed
// characters and keys to the cell's editor hooks as the real one does.
class FakeEditor : public IKtCellEditor, public IKtCellEditorText {
  public:
    void Show(TKtCell& c) override {
        cell = &c;
        text = c.GetEditText();
        selStart = 0;
        selLength = static_cast<int>(text.size());
        ++shows;
    }
    bool Hide(bool save, bool) override {
        if (save && cell) {
            if (!cell->Grid().RaiseCompleteEdit(cell->Pos(), text)) return false;
            cell->SetTextIfEditable(text);
        }
        cell = nullptr;
        return true;
    }
    void UpdateBounds() override {}
    void CellGone(const TKtCell& c) override {
        if (cell == &c) cell = nullptr;
    }

    WideString EditText() const override { return text; }
    void SetEditText(WideStringView value, int start, int length) override {
        text = WideString(value);
        selStart = start;
        selLength = length;
    }
    void TypeReplacing(char16_t ch) override {
        selStart = 0;
        selLength = static_cast<int>(text.size());
        Type(ch);
    }
    void ClickAt(int x, int y) override { clicks.push_back({x, y}); }

    // The user types ch into the open editor: it replaces the selection,
    // then the cell sees the character.
    void Type(char16_t ch) {
        text.replace(static_cast<size_t>(selStart), static_cast<size_t>(selLength), 1, ch);
        selStart += 1;
        selLength = 0;
        if (cell) cell->EditorChar(ch);
    }
    void Type(std::u16string_view chars) {
        for (char16_t ch : chars) Type(ch);
    }
    // A key pressed in the editor: first the cell's hook, then Enter
    // commits (the grid's commit and move) and Escape cancels.
    void Key(uint16_t key) {
        if (!cell) return;
        TKtCell* edited = cell;
        edited->EditorKeyDown(key, {});
        if (key == vk::Return)
            edited->Grid().SetEditorMode(false);
        else if (key == vk::Escape)
            edited->CancelEdit();
    }
    WideString Selected() const {
        return text.substr(static_cast<size_t>(selStart), static_cast<size_t>(selLength));
    }

    TKtCell* cell = nullptr;
    WideString text;
    int selStart = 0;
    int selLength = 0;
    int shows = 0;
    std::vector<TPoint> clicks;
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

// A key pressed on the grid's current cell (the grid offers it to the cell
// first); answers whether the cell consumed it.
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
