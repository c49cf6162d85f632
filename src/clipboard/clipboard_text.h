// The text side of the clipboard: the Unicode text of a copied range and
// the splitting of a clipboard text into a block of fields.
#pragma once

#include <memory>

#include "base/wide_text.h"
#include "grid/grid_types.h"
#include "grid/text_matrix.h"

namespace plu {

class TKtCustomGrid;

// The display texts of the cells of rect (half-open), TAB between the
// columns, CR LF between the rows, hidden rows and columns included. A text
// holding a space, a CR LF pair or a double quote goes in double quotes with
// its quotes doubled (a lone CR or LF does not need them). No terminating
// zero characters: those belong to the platforms whose clipboard wants them.
// Positions without a cell give empty texts; no cell is created.
WideString CopiedRangeText(const TKtCustomGrid& grid, const TRect& rect);

// Splits a clipboard text into a block: TAB ends a field, CR (with an LF
// right after it) ends a row. A text with no CR at all ends rows with a
// lone LF, as programs on Linux write them; otherwise an LF is an ordinary
// character. A double quote anywhere in a field opens a quoted run that
// keeps TAB, CR and LF and ends at a quote not followed by another. The
// scan stops at a U+0000 outside a quoted run. A final TAB or line break
// adds no empty field. A field beginning with a quote is dequoted (the text
// up to the closing quote, doubled quotes made single, the rest dropped)
// unless that leaves nothing; any other field is kept as it is. Fields
// beyond the last column a grid can have (65,536) are dropped. Width and
// height are 1 + the highest column and row stored; an empty text gives 0.
std::unique_ptr<TKwSheet> SplitClipboardText(WideStringView text);

}  // namespace plu
