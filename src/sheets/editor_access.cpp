#include "sheets/editor_access.h"

#include <algorithm>

#include "grid/custom_grid.h"
#include "grid/editor.h"

namespace plu::editor_access {

bool IsEditing(const TKtCell& cell) {
    const TKtCustomGrid& grid = cell.Grid();
    return grid.EditorMode() && grid.EditingCell() == &cell;
}

void TypeReplacing(TKtCustomGrid& grid, char16_t ch) {
    if (TKtEditor* editor = EditorOf(grid)) editor->TypeReplacing(ch);
}

void ClickAt(TKtCustomGrid& grid, int x, int y) {
    if (TKtEditor* editor = EditorOf(grid)) editor->PassClick(x, y);
}

WideString Text(const TKtCustomGrid& grid) {
    TKtEditor* editor = EditorOf(grid);
    return editor ? editor->EditText() : WideString();
}

void SetText(TKtCustomGrid& grid, WideStringView text, int selStart, int selLength) {
    if (TKtEditor* editor = EditorOf(grid)) editor->SetEditText(text, selStart, selLength);
}

void LimitRight(TKtCustomGrid& grid, int right) {
    TKtEditor* editor = EditorOf(grid);
    if (!editor || !editor->IsOpen()) return;
    TRect bounds = editor->Bounds();
    if (bounds.Right <= right) return;
    bounds.Right = std::max(bounds.Left, right);
    editor->SetBounds(bounds);
}

}  // namespace plu::editor_access
