// The grid's keyboard, without a toolkit: the keys the grid handles itself
// (editor closed, or keys the in-place editor hands over) and typing that
// starts an edit. The keys inside the edit control are TKtEditor's
// ControlKey... operations (editor.h).
//
// Every key goes to the current cell first (its KeyDown / KeyPress /
// KeyUp; a handler consumes a key by setting it to 0); a navigation key the
// cell claims (ClaimsKey) is then left to the cell. Then:
//   Enter            commit, move in CurrentMoveDir (Shift: up)
//   Tab / Shift+Tab  commit, move right / left
//   arrows           commit, move one cell (Shift: extend the selection)
//   Home / End       commit, first / last body column (Shift: extend)
//   Page Up / Down   commit, scroll a page of rows and move the current row
//                    as far (Shift: extend)
//   Delete           clear the selection (cells that cannot be edited stay)
//   F2               open the editor
//   Escape           cancel the editor, unmark a cut/copied rectangle
//   Ctrl+A/C/V/X     select all, copy, paste, cut
// A move happens only when the commit was accepted.
#pragma once

#include <cstdint>

#include "grid/grid_types.h"

namespace plu {

class TKtCustomGrid;

// Further virtual-key codes (the common ones are in grid_types.h).
namespace vk {
constexpr uint16_t Insert = 0x2D, F1 = 0x70, F12 = 0x7B;
constexpr uint16_t KeyA = 'A', KeyC = 'C', KeyV = 'V', KeyX = 'X', KeyY = 'Y', KeyZ = 'Z';
}  // namespace vk

// Characters after which a formula takes a cell reference: ( ) * + , - / ^
// ("&", "<", ">" and "=" are not among them).
bool IsReferenceOperator(char16_t ch);

// Key down in the grid; true (and key 0) when something handled it.
bool GridKeyDown(TKtCustomGrid& grid, uint16_t& key, TShiftState shift);
// A character typed into the grid: while an edit is open it goes to the
// editor; on a default text cell (TKwProEditCell) that may be edited, a
// printable character (not a control character below 32, not 127) opens
// the editor with its whole text selected and is passed on, so typing
// replaces the content.
bool GridKeyPress(TKtCustomGrid& grid, char16_t& ch);
bool GridKeyUp(TKtCustomGrid& grid, uint16_t& key, TShiftState shift);
// Any of the three by input.What; answers 1 when handled (the message result).
int GridKey(TKtCustomGrid& grid, TKtKeyInput& input);
// An input-method composition starts: the current cell's editor opens with
// its text selected, so the composed text replaces it.
void GridStartComposition(TKtCustomGrid& grid);

}  // namespace plu
