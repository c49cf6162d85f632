// Cell formats of grid styles, as the workbook export describes them to the
// XF builder (TVxWorkbook::XFIndexOf).
#pragma once

#include "base/font.h"
#include "formats/excel/vx_workbook.h"

namespace plu {

class TKtGridStyle;

// The style of each attribute group a cell format takes.
struct TVxStyleSources {
    const TKtGridStyle* Format = nullptr;      // number format
    const TKtGridStyle* Alignment = nullptr;   // alignments, wrap, shrink, indent
    const TKtGridStyle* Borders = nullptr;     // border lines and colours
    const TKtGridStyle* Protection = nullptr;  // locked, hidden
    const TKtGridStyle* Fill = nullptr;        // fill colour and the carried options
};

// One style for every group.
TVxStyleSources SameStyle(const TKtGridStyle& style);

// The cell format of the styles with a font: fill colour, alignments and
// options; locked, hidden and wrap from the option bits; indent from the
// style's export attribute; for border slots 0 ... 5 the style's colour
// (clNone becomes 0) and line (with gridLines a missing line becomes thin,
// 1); the FORMAT index of the format string through the workbook's list.
TVxCellFormat BuildCellFormat(TVxWorkbook& book, const TVxStyleSources& styles, const TFont& font,
                              bool gridLines);

}  // namespace plu
