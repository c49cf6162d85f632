// What the cell kinds need from the grid's in-place editor (the editing
// controller, TKtEditor) beyond opening and closing it: the edit text and
// its selection, a typed character, a click at a point. Every function does
// nothing (or answers empty) while no editor is open.
#pragma once

#include "base/wide_text.h"

namespace plu {

class TKtCell;
class TKtCustomGrid;

namespace editor_access {

// The editor is open on cell.
bool IsEditing(const TKtCell& cell);
// Selects all the editor's text and passes ch on as if typed, so the
// character replaces the content.
void TypeReplacing(TKtCustomGrid& grid, char16_t ch);
// A left click at a point of the grid's client area, passed to the editor
// (the caret lands there).
void ClickAt(TKtCustomGrid& grid, int x, int y);
WideString Text(const TKtCustomGrid& grid);
// Replaces the editor's text and selects selLength characters from selStart.
void SetText(TKtCustomGrid& grid, WideStringView text, int selStart, int selLength);
// Narrows the open editor so that it ends at right (a cell's button).
void LimitRight(TKtCustomGrid& grid, int right);

}  // namespace editor_access
}  // namespace plu
