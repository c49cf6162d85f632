// A text control without a window for the editing controller's tests: it
// keeps text, selection and caret like a platform edit control, and feeds
// keys and characters through the controller's key protocol, applying what
// the controller leaves to it (caret keys, Delete, typed characters).
#pragma once

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "grid/editor.h"
#include "grid/editor_control.h"
#include "grid/editor_keys.h"

namespace plu::testing {

class FakeEditControl : public TKtCellMaskEdit {
  public:
    WideString text;
    int anchor = 0;
    int caret = 0;
    bool multiLine = false;
    int recreated = 0;
    bool visible = false;
    TRect bounds{};
    TFont font;
    TColor color = clNone;
    int focused = 0;
    int cancelModes = 0;
    WideString clipboard;  // the system clipboard as this control sees it
    std::vector<TKtEditCommand> commands;
    std::vector<TPoint> clicks;  // where the controller clicked into the control

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
        text.replace(start, SelLength(), t);
        anchor = caret = start + static_cast<int>(t.size());
    }
    void TypeChar(char16_t ch) override {
        if (ch == 8) {
            if (SelLength() == 0 && caret > 0) anchor = caret - 1;
            ReplaceSelection(u"");
        } else if (ch == u'\r') {
            if (multiLine) ReplaceSelection(u"\r\n");
        } else {
            ReplaceSelection(WideString(1, ch));
        }
        Changed();
    }
    bool MultiLine() const override { return multiLine; }
    void SetMultiLine(bool on) override {
        multiLine = on;
        ++recreated;
    }
    bool Visible() const override { return visible; }
    void SetVisible(bool v) override { visible = v; }
    TRect Bounds() const override { return bounds; }
    void SetBounds(const TRect& b) override { bounds = b; }
    void SetFont(const TFont& f) override { font = f; }
    void SetColor(TColor c) override { color = c; }
    void SetFocus() override { ++focused; }
    void CancelMode() override { ++cancelModes; }
    void Command(TKtEditCommand command) override {
        commands.push_back(command);
        const WideString selected = text.substr(SelStart(), SelLength());
        switch (command) {
            case TKtEditCommand::SelectAll:
                SetSelection(0, Length());
                break;
            case TKtEditCommand::Copy:
                clipboard = selected;
                break;
            case TKtEditCommand::Cut:
                clipboard = selected;
                ReplaceSelection(u"");
                Changed();
                break;
            case TKtEditCommand::Paste:
                ReplaceSelection(clipboard);
                Changed();
                break;
        }
    }
    // Each character is 8 pixels wide from the left edge.
    void ClickAt(int x, int y) override {
        clicks.push_back({x, y});
        anchor = caret = std::clamp((x - bounds.Left) / 8, 0, Length());
    }

    // A key pressed while the control has the focus.
    void Key(uint16_t key, TShiftState shift = {}) {
        Editor()->ControlKeyDown(key, shift);
        switch (key) {
            case vk::Left:
                anchor = caret = std::max(caret - 1, 0);
                break;
            case vk::Right:
                anchor = caret = std::min(caret + 1, Length());
                break;
            case vk::Home:
                anchor = caret = 0;
                break;
            case vk::End:
                anchor = caret = Length();
                break;
            case vk::KeyX:
            case vk::KeyV:
                if (shift.Has(TShift::ssCtrl))
                    Command(key == vk::KeyX ? TKtEditCommand::Cut : TKtEditCommand::Paste);
                break;
            case vk::Delete:
                if (SelLength() == 0 && caret < Length()) caret = caret + 1;
                ReplaceSelection(u"");
                Changed();
                break;
            default:
                break;
        }
        if (key != 0) {
            uint16_t up = key;
            Editor()->ControlKeyUp(up, shift);
        }
    }
    // The selected text.
    WideString Selected() const {
        return text.substr(static_cast<size_t>(SelStart()), static_cast<size_t>(SelLength()));
    }
    // Characters typed while the control has the focus.
    void Type(WideStringView chars) {
        for (char16_t ch : chars) {
            Editor()->ControlKeyPress(ch);
            if (ch == 0) continue;
            TypeChar(ch);
            Editor()->ControlCharTaken(ch);
        }
    }
    void PlaceCaret(int pos) { anchor = caret = pos; }

  private:
    int Length() const { return static_cast<int>(text.size()); }
    void Changed() {
        if (Editor()) Editor()->ControlTextChanged();
    }
};

}  // namespace plu::testing
