// Combo box cells. TKtComboBoxCell edits its text in the in-place editor
// and offers a drop-down list of items: its own items when it has any, else
// the pick list (CellItems) of its column. TKtDropDownListCell is a combo
// box that is not editable: its value comes only from the list (or code).
//
// While the list is open the cell tracks input: the shell hands it the
// mouse and key messages of the whole application first (Track*), and
// dispatches them as usual when the cell does not consume them; nothing
// else of the application is blocked.
#pragma once

#include <memory>
#include <vector>

#include "sheets/button_cells.h"
#include "sheets/popup_list_box.h"

namespace plu {

class TKtComboBoxCell : public TKtBaseBtnCell {
  public:
    using TKtBaseBtnCell::TKtBaseBtnCell;
    ~TKtComboBoxCell() override;
    static const TKtCellClass& Class();
    const TKtCellClass& CellClass() const override { return Class(); }
    TKtCellType CellType() const override { return TKtCellType::cellComboBox; }

    // ---- Items ----------------------------------------------------------------
    int ItemCount() const override { return items_.Count(); }
    WideString GetItem(int index) const override { return items_.Get(index); }
    void SetItem(int index, WideStringView text) override { items_.Set(index, text); }
    void InsertItem(int index, WideStringView text) override { items_.Insert(index, text); }
    int AddItem(WideStringView text) override { return items_.Add(text); }
    void ClearItems() override { items_.Clear(); }
    // What the list offers: the own items when there are any, else the
    // column's pick list when it is not empty, else nothing.
    std::vector<WideString> ListItems() const;

    // -1 for none.
    int ItemIndex() const { return itemIndex_; }
    // The text is the open list's item at index (while the list is open and
    // the index is valid), else the own item, else the column's pick-list
    // item, else empty; it is stored with SetAsString (no text events) and
    // shown in the editor when the editor is open on this cell.
    void SelectItem(int index);

    // ---- The list ------------------------------------------------------------------
    // Opens the list (only when CanEdit): the editable combo opens its text
    // editor first; the current item is the first whose text equals the
    // cell's ignoring case (none for an empty cell).
    void DropDown();
    // Stops tracking; applying selects the list's current item; the list goes.
    void CloseUp(bool apply);
    bool DroppedDown() const { return list_ != nullptr; }
    TPopupListBox* List() const { return list_.get(); }
    // Set when the cell becomes current; Enter then opens the list.
    bool EnterPending() const { return enterPending_; }
    bool Editable() const { return IsEditable(); }

    // ---- Tracking while the list is open (screen pixels) ------------------------------
    // Left button down: inside the list its item becomes current; on this
    // cell's own button the list closes (the button toggles the list);
    // elsewhere the list closes without applying. True: dispatch the message
    // as usual (a click on another cell moves there).
    bool TrackMouseDown(TPoint screen);
    // Left button up inside the list: its item becomes current and is
    // applied, the list closes; false then (consumed). Outside: true.
    bool TrackMouseUp(TPoint screen);
    // The item under the pointer becomes current.
    void TrackMouseMove(TPoint screen);
    // Up and Down move the current item (wrapping) and apply it at once;
    // Enter closes applying it: those answer true (consumed). Every other
    // key is dispatched as usual (Escape reaches the cell or the editor and
    // closes the list without applying).
    bool TrackKeyDown(uint16_t key);
    // The wheel scrolls the list (rows, positive: down).
    void TrackWheel(int rows);
    // The application lost activation: close without applying.
    void ApplicationDeactivated();

    // ---- Cell hooks --------------------------------------------------------------------
    void Initialize() override;
    // Sets enter-pending and nothing else (no editor, whatever
    // goAlwaysShowEditor says).
    void EnterCurrent() override;
    void LeaveCurrent() override;
    void ShowEditor() override;
    // Closes the list without applying first.
    void HideEditor(bool save, bool focusGrid) override;
    void CancelEdit() override;
    // Also forgets the item index.
    void Clear(bool undoable) override;
    // Up and Down; Enter while enter-pending or while the list is open.
    bool ClaimsKey(uint16_t key, TShiftState shift) const override;
    void KeyDown(uint16_t& key, TShiftState shift) override;
    // Opens the list when it is closed, closes it without applying when open.
    void ButtonClick() override;
    // Completion of the typed text from the items.
    void EditorChar(char16_t& ch) override;
    // Up and Down step through the items.
    void EditorKeyDown(uint16_t& key, TShiftState shift) override;

  protected:
    virtual bool IsEditable() const { return true; }
    // A left button down on the button raises ButtonClick.
    void ButtonPressed(int x, int y) override;
    // The next (or previous) index with wrap-around; none current: Down
    // gives the first, Up the last.
    static int StepIndex(int index, int count, bool up);
    const TKtItemList& OwnItems() const { return items_; }

  private:
    void MoveListItem(bool up);
    TPoint ToScreen(TPoint client) const;

    TKtItemList items_;
    int itemIndex_ = -1;
    std::unique_ptr<TPopupListBox> list_;
    bool enterPending_ = false;
};

class TKtDropDownListCell : public TKtComboBoxCell {
  public:
    using TKtComboBoxCell::TKtComboBoxCell;
    static const TKtCellClass& Class();
    const TKtCellClass& CellClass() const override { return Class(); }
    TKtCellType CellType() const override { return TKtCellType::cellDropDownList; }

    // Opens the list instead of a text editor (a typed character, a double
    // click and goAlwaysShowEditor all open the list).
    void ShowEditor() override;
    void EnterCurrent() override;
    // A typed character opens the list and selects nothing.
    void KeyPress(char16_t& ch) override;
    // Delete does not clear the cell.
    void KeyDown(uint16_t& key, TShiftState shift) override;
    void EditorChar(char16_t&) override {}

  protected:
    bool IsEditable() const override { return false; }
};

}  // namespace plu
