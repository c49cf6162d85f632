// The edit controls the in-place editor hosts, without a toolkit.
//
// TKtEditControl is what the editing controller (TKtEditor) needs of a
// control: its text, selection and caret, the single-line / multi-line
// switch, visibility, bounds, font and colour, focus, and the three messages
// of the editor (attach a cell, load the cell, save to the cell). The shell
// implements the widget part with a real control; tests use a double.
//
// Text positions are UTF-16 code units, 0 ... Text().size(). Bounds are grid
// client pixels, half-open.
//
// Key protocol of a control (what the shell's widget does with its input):
//   key down:  Editor()->ControlKeyDown(key, shift); a key left non-zero is
//              handled by the control itself (caret movement, Delete ...);
//              a consumed key also suppresses the character it would type;
//   character: Editor()->ControlKeyPress(ch); a character left non-zero is
//              applied by the control (TypeChar), then
//              Editor()->ControlCharTaken(ch);
//   key up:    Editor()->ControlKeyUp(key, shift);
//   any change of the text by the user: Editor()->ControlTextChanged().
#pragma once

#include "base/color.h"
#include "base/font.h"
#include "base/wide_text.h"
#include "grid/grid_types.h"

namespace plu {

class TKtCell;
class TKtEditor;

// Commands that go to the control as they are (the controller's
// SendToControl): the control works them with the system clipboard.
enum class TKtEditCommand : uint8_t { SelectAll, Copy, Cut, Paste };

class TKtEditControl {
  public:
    TKtEditControl() = default;
    virtual ~TKtEditControl() = default;
    TKtEditControl(const TKtEditControl&) = delete;
    TKtEditControl& operator=(const TKtEditControl&) = delete;

    // ---- Text, selection, caret ------------------------------------------------
    virtual WideString Text() const = 0;
    // Replaces the whole text; nothing selected, the caret at the end.
    virtual void SetText(WideStringView text) = 0;
    virtual int SelStart() const = 0;
    virtual int SelLength() const = 0;
    // Where the caret stands (one end of the selection).
    virtual int CaretPos() const = 0;
    // Selects length units from start (both clamped to the text); the caret
    // stands at start + length.
    virtual void SetSelection(int start, int length) = 0;
    // Replaces the selection (or inserts at the caret); the caret follows
    // the new text, nothing selected.
    virtual void ReplaceSelection(WideStringView text) = 0;
    // Applies one typed character as the control's own editing does:
    // replaces the selection, Backspace deletes the selection or the unit
    // before the caret, a line break only in a multi-line control. It is a
    // change by the user: the control reports it (ControlTextChanged).
    virtual void TypeChar(char16_t ch) = 0;

    // ---- Window -----------------------------------------------------------------
    virtual bool MultiLine() const = 0;
    // Re-creates the control single-line or multi-line; text, selection and
    // caret survive.
    virtual void SetMultiLine(bool on) = 0;
    virtual bool Visible() const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual TRect Bounds() const = 0;
    virtual void SetBounds(const TRect& bounds) = 0;
    virtual void SetFont(const TFont& font) = 0;
    virtual void SetColor(TColor color) = 0;
    virtual void SetFocus() = 0;
    // Ends whatever mode the control is in (a mouse capture, a composition).
    virtual void CancelMode() {}
    virtual void Command(TKtEditCommand command) = 0;
    // A left click at (x, y) in grid client pixels: the caret goes there.
    virtual void ClickAt(int x, int y) {
        (void)x;
        (void)y;
    }

    // ---- Messages of the editor ---------------------------------------------------
    // Attach (cell) or detach (nullptr).
    virtual void AttachCell(TKtCell* cell) { cell_ = cell; }
    // Fills the control from the cell.
    virtual void LoadCell(TKtCell& cell) = 0;
    // Hands the control's text to the cell.
    virtual void SaveCell(TKtCell& cell) = 0;

    TKtCell* Cell() const { return cell_; }
    // The controller hosting this control (set when it hosts it first).
    TKtEditor* Editor() const { return editor_; }

  private:
    friend class TKtEditor;
    TKtCell* cell_ = nullptr;
    TKtEditor* editor_ = nullptr;
};

// The grid's default text control: wide text end to end, single-line unless
// the text has a line break or the cell wraps.
class TKtCellMaskEdit : public TKtEditControl {
  public:
    // Load selects the whole text.
    bool AutoSelect = true;
    TBorderStyle BorderStyle = TBorderStyle::bsSingle;

    // The text is a formula (starts with "=").
    bool IsFormula() const;

    // The cell's edit text (a formula as "=" and its source, numbers in full
    // precision), multi-line when it holds a line break or the cell wraps,
    // all selected with AutoSelect.
    void LoadCell(TKtCell& cell) override;
    // The text goes through the cell's SetTextIfEditable (typed text, not
    // from code).
    void SaveCell(TKtCell& cell) override;
};

}  // namespace plu
