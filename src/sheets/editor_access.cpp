#include "sheets/editor_access.h"

#include "grid/custom_grid.h"

namespace plu::editor_access {

namespace {

IKtCellEditorText* TextSide(const TKtCustomGrid& grid) {
    if (!grid.EditorMode()) return nullptr;
    return dynamic_cast<IKtCellEditorText*>(grid.CellEditor());
}

}  // namespace

bool IsEditing(const TKtCell& cell) {
    const TKtCustomGrid& grid = cell.Grid();
    return grid.EditorMode() && grid.EditingCell() == &cell;
}

void TypeReplacing(TKtCustomGrid& grid, char16_t ch) {
    if (IKtCellEditorText* text = TextSide(grid)) text->TypeReplacing(ch);
}

void ClickAt(TKtCustomGrid& grid, int x, int y) {
    if (IKtCellEditorText* text = TextSide(grid)) text->ClickAt(x, y);
}

WideString Text(const TKtCustomGrid& grid) {
    IKtCellEditorText* text = TextSide(grid);
    return text ? text->EditText() : WideString();
}

void SetText(TKtCustomGrid& grid, WideStringView value, int selStart, int selLength) {
    if (IKtCellEditorText* text = TextSide(grid)) text->SetEditText(value, selStart, selLength);
}

}  // namespace plu::editor_access
