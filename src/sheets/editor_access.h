// What the cell kinds need from the grid's in-place editor beyond opening
// and closing it: the edit text and its selection, a typed character, a
// click at a point. Every function does nothing (or answers empty) while no
// editor is open.
#pragma once

#include "base/wide_text.h"

namespace plu {

class TKtCell;
class TKtCustomGrid;

// The text side of an in-place editor, for editors that offer it.
class IKtCellEditorText {
  public:
    virtual ~IKtCellEditorText() = default;
    virtual WideString EditText() const = 0;
    // Replaces the text and selects selLength characters from selStart.
    virtual void SetEditText(WideStringView text, int selStart, int selLength) = 0;
    // Selects everything, then takes ch as typed.
    virtual void TypeReplacing(char16_t ch) = 0;
    // A left click at a point of the grid's client area.
    virtual void ClickAt(int x, int y) = 0;
};

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

}  // namespace editor_access
}  // namespace plu
