// Text cells: TKtBaseEditCell edits its text in the grid's in-place editor
// (the editing controller), TKtTextBoxCell is the text box kind.
//
// A printable character typed on the current cell opens the editor (when the
// cell may be edited) with all its text selected and passes the character
// on, so typing replaces the content; the control characters 3, 9, 13, 22,
// 24 and 27 never open it. A double click on the current cell opens the
// editor with the caret where the user clicked. Escape drops an open edit;
// leaving the cell commits. Delete clears the cell (undoably) through the
// grid's Delete, which clears the selection the current cell is part of.
#pragma once

#include "sheets/data_cells.h"

namespace plu {

class TKtBaseEditCell : public TKtDataCell {
  public:
    using TKtDataCell::TKtDataCell;
    static const TKtCellClass& Class();
    const TKtCellClass& CellClass() const override { return Class(); }

    // Opens the editor on the current cell when goAlwaysShowEditor is set
    // (not while the grid is loading).
    void EnterCurrent() override;
    // Commits an open edit (not while it picks a formula reference).
    void LeaveCurrent() override;
    // Only when CanEdit: editing mode, then the editor over the cell.
    void ShowEditor() override;
    // Saves only when save is true and CanModify allows.
    void HideEditor(bool save, bool focusGrid) override;

    void KeyPress(char16_t& ch) override;
    void KeyDown(uint16_t& key, TShiftState shift) override;
    bool MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

    // The editor is open on this cell.
    bool Editing() const;

  protected:
    // Opens the editor for a typed character (all text selected, the
    // character passed on). False when no editor opened.
    bool OpenEditorWith(char16_t ch);
};

class TKtTextBoxCell : public TKtBaseEditCell {
  public:
    using TKtBaseEditCell::TKtBaseEditCell;
    static const TKtCellClass& Class();
    const TKtCellClass& CellClass() const override { return Class(); }
    TKtCellType CellType() const override { return TKtCellType::cellTextBox; }
};

}  // namespace plu
