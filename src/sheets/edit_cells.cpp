#include "sheets/edit_cells.h"

#include "grid/custom_grid.h"
#include "grid/grid_selection.h"
#include "sheets/editor_access.h"

namespace plu {

namespace {

// Control characters that never open the editor: Ctrl+C, Tab, Enter,
// Ctrl+V, Ctrl+X, Escape.
bool NeverOpens(char16_t ch) {
    return ch == 3 || ch == 9 || ch == 13 || ch == 22 || ch == 24 || ch == 27;
}

}  // namespace

const TKtCellClass& TKtBaseEditCell::Class() {
    static const TKtCellClassOf<TKtBaseEditCell> cls("TKtBaseEditCell");
    return cls;
}

const TKtCellClass& TKtTextBoxCell::Class() {
    static const TKtCellClassOf<TKtTextBoxCell> cls("TKtTextBoxCell");
    return cls;
}

bool TKtBaseEditCell::Editing() const {
    return editor_access::IsEditing(*this);
}

void TKtBaseEditCell::EnterCurrent() {
    TKtCustomGrid& grid = Grid();
    if (grid.HasOption(TGridOption::goAlwaysShowEditor) && IsCurrent() && !grid.IsLoading())
        ShowEditor();
}

void TKtBaseEditCell::LeaveCurrent() {
    // While a formula picks a reference the selection moves on without the
    // edit: committing the half-typed formula would fail.
    if (Editing() && !Grid().Selection().ReferenceMode) HideEditor(true, false);
}

void TKtBaseEditCell::ShowEditor() {
    if (!CanEdit()) return;
    TKtCell::ShowEditor();
    if (IKtCellEditor* editor = Grid().CellEditor()) editor->Show(*this);
}

void TKtBaseEditCell::HideEditor(bool save, bool focusGrid) {
    TKtCell::HideEditor(save && CanModify(), focusGrid);
}

bool TKtBaseEditCell::OpenEditorWith(char16_t ch) {
    if (Editing()) return false;
    ShowEditor();
    if (!Editing()) return false;
    editor_access::TypeReplacing(Grid(), ch);
    return true;
}

void TKtBaseEditCell::KeyPress(char16_t& ch) {
    if (Editing() || NeverOpens(ch)) return;
    if (ch >= 32 && !CanEdit()) return;
    if (OpenEditorWith(ch)) ch = 0;
}

void TKtBaseEditCell::KeyDown(uint16_t& key, TShiftState) {
    // Delete is left to the grid, which clears the selection with this cell
    // in it (undoably, after OnBeforeClear): clearing here as well would
    // pass the cell by that query.
    if (key == vk::Escape && Editing()) CancelEdit();
}

bool TKtBaseEditCell::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button != TMouseButton::mbLeft || !shift.Has(TShift::ssDouble) || !IsCurrent())
        return false;
    if (!Editing()) ShowEditor();
    if (!Editing()) return false;
    editor_access::ClickAt(Grid(), x, y);
    return true;
}

}  // namespace plu
