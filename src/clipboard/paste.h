// Writing clipboard contents into a grid: a text block, the cells of the
// copy source, a BIFF8 workbook, a picture. Rectangles are half-open.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "grid/grid_types.h"
#include "grid/text_matrix.h"

namespace plu {

class TKtCustomGrid;

// Writes block at range's top-left corner at the block's own size, whatever
// range's size: OnBeforePaste with that target (a refusal ends it),
// OnCustomPaste in place of writing when assigned, else every field through
// OnCompleteEditW / OnCompleteEdit and SetTextIfEditable (typed-text
// parsing; an empty field clears; cells that refuse editing stay). Cells
// beyond the grid's last row or column are written but not shown, the
// counts stay. Then the target is selected and OnAfterPaste gets range.
// An empty block does nothing. An error keeps the cells written so far.
void PasteTextBlock(TKtCustomGrid& grid, const TKwSheet& block, const TRect& range);

// Copies (move false) or moves the cells of source in from to target's
// top-left corner (dest) of grid: values, formats and formulas, in an
// order that never overwrites a source cell before it is read (from the
// bottom row up when another grid or the target lies below; right to left
// when moving right along the same rows). Target cells that refuse editing
// are skipped; a move clears each editable source cell's value (its format
// stays). Copied formulas are recalculated, then every target cell goes
// through the grid's value-changed handling. Same grid and same place: no
// change.
void TransferCells(TKtCustomGrid& grid, TKtCustomGrid& from, const TRect& source, TPoint dest,
                   bool move);

// The compound document of a one-sheet workbook "VexaGrid" whose A1 is the
// top-left cell of range (values, formats, merged ranges, sizes).
std::vector<uint8_t> BuildWorkbookStorage(const TKtCustomGrid& grid, const TRect& range);

// Reads the first sheet of a compound document's workbook into grid with
// its A1 at (col, row): the grid grows as needed, values, styles and merged
// ranges are written and the pasted rectangle is selected. Raises when the
// document or workbook cannot be read.
void PasteWorkbook(TKtCustomGrid& grid, std::span<const uint8_t> storage, int col, int row);

// Makes the grid's current cell an image cell showing picture (added to the
// grid's picture list); answers the picture's index.
int PasteBitmap(TKtCustomGrid& grid, std::vector<uint8_t> picture);

}  // namespace plu
