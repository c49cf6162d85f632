// How a workbook's cell formats become grid formats on import: an XF
// record decoded into a cell style, a FONT record into a font, and the
// cached result of a FORMULA record as a plain value.
//
// Colours come out as the grid keeps them: palette entries as RGB values,
// the automatic border colour as the system window-text colour, pattern
// colour index 8 as the system window colour itself.
#pragma once

#include <cstdint>

#include "base/font.h"
#include "formats/biff8/cell_records.h"
#include "formats/biff8/font_record.h"
#include "formats/biff8/palette.h"
#include "formats/biff8/record_lists.h"
#include "formats/biff8/xf_record.h"
#include "grid/grid_style.h"
#include "grid/value.h"

namespace plu {

// Applies the XF to a style: fill colour (the fill pattern is not looked
// at), number format string, the four edge borders (no diagonal), horizontal
// and vertical alignment, and the locked / hidden / wrap / shrink-to-fit
// options added to those the style has. Indent, rotation and the parent XF
// are not read.
void ApplyXFToStyle(const TXFRecord& xf, const TFormatList& formats, const TPaletteRecord& palette,
                    TKtGridStyle& style);

// Gives font the FONT's face name, charset, colour, height in pixels
// (-MulDiv(twips, 96, 1440)) and bold / italic / strike-out / underline
// (any underline kind); its other fields stay as they were.
void ApplyFontRecord(const TFontRecord& record, const TPaletteRecord& palette, TFont& font);

// The text a FORMULA record's cached error result stands for ("#DIV/0!" and
// the others), or "" when the cached result is no error.
WideString FormulaErrorText(const TFormulaRecord& formula);

// Sets value to the FORMULA record's cached result, the way Excel last
// showed it: a number, a text, a boolean (as the integer 1 or 0) or an error
// as its name; an empty result clears the value.
void SetCachedResult(const TFormulaRecord& formula, TKtValue& value);

}  // namespace plu
