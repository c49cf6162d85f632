// TKtEditor: the in-place editing controller of one grid. It lays an edit
// control over the edited cell, loads the cell's text into it, commits the
// text back through OnCompleteEditW / OnCompleteEdit (a refusal keeps the
// editor open), cancels, keeps the control over the cell while the grid
// scrolls or resizes, shares the keys between the control and the grid, and
// picks cell references with the mouse while a formula is typed.
//
// The controller installs itself as the grid's cell editor (IKtCellEditor):
// cells open it through ShowEditor and close it through HideEditor. It owns
// no widget: the shell gives it the default control (and a factory for
// further control classes); without a control a cell can still enter editing
// mode, nothing is shown and nothing is committed.
//
// Lifetime: the controller must go before its grid. Destroying it commits an
// open edit (as leaving editing mode does) and uninstalls it.
//
// The editor's rectangle ("window") is kept here; the hosted control fills
// it. While closed the editor lies off-screen above-left of the client area.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "base/color.h"
#include "base/font.h"
#include "base/wide_text.h"
#include "grid/editor_control.h"
#include "grid/grid_host.h"
#include "grid/grid_types.h"

namespace plu {

class TKtCell;
class TKtCustomGrid;

// What the controller needs of the window around the grid.
class IKtEditorHost {
  public:
    virtual ~IKtEditorHost() = default;
    // Keyboard focus goes back to the grid.
    virtual void FocusGrid() {}
    // A typed character was refused.
    virtual void Beep() {}
    // An exception raised while committing: shown to the user (the
    // application's exception handler), answers true; editing then goes on.
    // False: the controller lets the exception propagate (editing goes on
    // as well).
    virtual bool ShowException(const std::exception& error) {
        (void)error;
        return false;
    }
};

class TKtEditor : public IKtCellEditor {
  public:
    // Creates the control of a class name on first use (nullptr: none).
    using TControlFactory = std::function<std::unique_ptr<TKtEditControl>(std::string_view)>;

    explicit TKtEditor(TKtCustomGrid& grid);
    ~TKtEditor() override;
    TKtEditor(const TKtEditor&) = delete;
    TKtEditor& operator=(const TKtEditor&) = delete;

    TKtCustomGrid& Grid() const { return grid_; }

    // ---- Controls ------------------------------------------------------------------
    // The default text control (the shell's TKtCellMaskEdit); it is placed
    // hidden off-screen. nullptr: none.
    void SetDefaultControl(TKtEditControl* control);
    TKtEditControl* DefaultControl() const { return defaultControl_; }
    void SetControlFactory(TControlFactory factory) { factory_ = std::move(factory); }
    // The control of a class, created on first use by the factory as a
    // hidden control of the grid and kept; nullptr without a factory or
    // when the factory has none.
    TKtEditControl* GetEditorControl(std::string_view className);
    void SetHost(IKtEditorHost* host) { host_ = host; }

    // ---- State ------------------------------------------------------------------------
    // The cell being edited (nullptr while closed) and the hosted control.
    TKtCell* Cell() const { return cell_; }
    TKtEditControl* Control() const { return control_; }
    bool IsOpen() const { return cell_ != nullptr; }
    // The last commit was refused (or failed) and editing went on.
    bool CommitRefused() const { return commitRefused_; }
    // Formula reference picking and the caret position it inserts at.
    bool ReferenceMode() const { return referenceMode_; }
    int ReferenceStart() const { return referenceStart_; }
    const TRect& Bounds() const { return bounds_; }
    bool Visible() const { return visible_; }
    // The cell's background colour and font, taken when a cell is attached.
    TColor Color() const { return color_; }
    const TFont& Font() const { return font_; }

    // ---- Operations ------------------------------------------------------------------
    // Binds a cell and a control: nothing when both are bound already;
    // otherwise commits the open edit (false when that commit is refused),
    // gives the old control back to the grid and binds the new one.
    bool Attach(TKtCell& cell, TKtEditControl& control);
    // Shows the bound control over its cell, loaded, focused, in editing mode.
    void Show();
    // Places the editor over its cell: the (merged) pixel rectangle moved in
    // by one pixel at left and top, adjusted by the cell kind
    // (UpdateEditorBounds may call SetBounds). A cell outside the visible
    // scrolled area hides the editor (nothing is committed) and focuses the
    // grid; it reappears when the cell comes back unless keepHidden.
    void UpdateBounds(bool keepHidden);
    // Cell kinds narrow the editor here (inside UpdateEditorBounds).
    void SetBounds(const TRect& bounds);
    // The control's text to the cell, then OnEditorSaveCell.
    void SaveCell();
    void SendToControl(TKtEditCommand command);
    // Selects the control's whole text.
    void SelectAll();
    // A character as if typed into the control (the control's key rules
    // apply).
    void PassChar(char16_t ch);
    // A left click at grid client pixels (the caret lands there).
    void PassClick(int x, int y);
    // The text side for cell kinds (combo completion, typing that starts an
    // edit); nothing (or "") while closed.
    WideString EditText() const;
    // Replaces the text, selects selLength units from selStart, raises
    // OnEditChange.
    void SetEditText(WideStringView text, int selStart, int selLength);
    // Selects everything, then passes ch on, so that it replaces the text.
    void TypeReplacing(char16_t ch);

    // ---- Keys inside the control (see editor_control.h for the protocol) ---------------
    // Offered to OnEditKeyDown and the cell kind first; keys for the grid are
    // handed to it (and consumed here); Alt+Enter makes the control
    // multi-line and inserts a line break.
    void ControlKeyDown(uint16_t& key, TShiftState shift);
    // Line breaks only in a multi-line control; printable characters must
    // pass OnCanEditAcceptKey (else a beep); nothing that changes the text
    // when the cell cannot be edited.
    void ControlKeyPress(char16_t& ch);
    void ControlKeyUp(uint16_t& key, TShiftState shift);
    // After the control applied a typed character: the cell kind's
    // EditorChar, then reference mode starts when the formula asks for a
    // reference.
    void ControlCharTaken(char16_t ch);
    // Raises OnEditChange.
    void ControlTextChanged();

    // ---- Formula references ------------------------------------------------------------
    // Asked before a mouse press on a grid is handled: true when the press
    // picks a reference (the editor then stays open); turns reference mode
    // on when the text asks for a reference (only "=", a selection, or an
    // operator at the end).
    bool WantsReference();
    // Inserts a reference to cells (half-open) of source, preceded by
    // sheetCaption and "!" when one is given (a pick on another worksheet).
    // Nothing unless reference mode is on.
    void InsertReference(const TKtCustomGrid& source, const TRect& cells,
                         WideStringView sheetCaption = {});

    // ---- IKtCellEditor ---------------------------------------------------------------
    // Chooses the control (OnGetCellEditor, else the default), attaches and
    // shows it; an editor already open on this cell keeps its text.
    void Show(TKtCell& cell) override;
    // The commit (save) or cancel path; false when the commit was refused
    // or failed and editing goes on, and when the cell was destroyed during
    // the commit (editing mode has then ended).
    bool Hide(bool save, bool focusGrid) override;
    void UpdateBounds() override { UpdateBounds(false); }
    void CellGone(const TKtCell& cell) override;
    void CellReplaced(const TKtCell& old, TKtCell& fresh) override;
    void SelectionChanged(const TRect& rect) override;
    bool CopySelection() override;
    bool CutSelection() override;
    bool PasteText() override;

  private:
    void Host(TKtEditControl& control);
    bool IsCached(const TKtEditControl* control) const;
    // Accepted (or nothing to save) -> true.
    bool Commit();
    // Closing: cancel modes, off-screen, repaint, OnHideEditor, detach.
    void Close(bool focusGrid);
    void MoveOffScreen();
    void SetReferenceMode(bool on, int start = 0);
    // The caret moved away from the insertion point: move it along or end
    // reference mode; true while the mode stays on.
    bool FollowCaret();
    bool CellInView(const TRect& span, const TRect& pixels) const;
    void HandToGrid(uint16_t& key, TShiftState shift);
    bool CellCanEdit() const;

    TKtCustomGrid& grid_;
    IKtEditorHost* host_ = nullptr;
    TKtEditControl* defaultControl_ = nullptr;
    TControlFactory factory_;
    std::map<std::string, std::unique_ptr<TKtEditControl>, std::less<>> controls_;

    TKtEditControl* control_ = nullptr;
    TKtCell* cell_ = nullptr;
    // Created invisible at -100, -100.
    TRect bounds_{-100, -100, -100, -100};
    bool visible_ = false;
    TColor color_ = clWindow;
    TFont font_;
    bool hiding_ = false;
    bool commitRefused_ = false;
    bool referenceMode_ = false;
    int referenceStart_ = 0;
};

// The grid's editing controller, nullptr when it has none (or another kind
// of cell editor).
TKtEditor* EditorOf(const TKtCustomGrid& grid);

}  // namespace plu
