// The PLU sheet's layout, imposed on whatever the active worksheet holds
// whenever the sheet may have changed shape: start-up, File New and Open,
// DownLoad > Start, a (re)connected scale and a change of its key count. It
// sets sizes, formats, cell kinds, labels and captions and repairs decimal
// commas in the price and tare columns; it keeps the user's data.
#pragma once

#include "link/link_state.h"
#include "plu/plu_host.h"

namespace plu {

class TVexaSheetControl;

// Lays out the control's active sheet for a scale with `link`'s key count and
// units. With resetFontBoxes the font boxes are first set to "Arial" and
// "12". Finally the control's font becomes the font boxes' name and size; a
// size text that is no number raises EConvertError after the sheet itself
// has been laid out. Without an active sheet only the font boxes and the
// control's font are set.
void LayoutSheet(TVexaSheetControl& control, const LinkState& link, IPluHost& host,
                 bool resetFontBoxes);

}  // namespace plu
