// Where the PLU table lives on its worksheet: rows 1 and 2 hold the business
// lines (column 3), row 3 the column captions, rows 4 to 268 one PLU each in
// columns 1 (its number label) to 8. Grid coordinates are (column, row),
// zero-based, with one fixed header row and column in front.
#pragma once

#include "base/wide_text.h"
#include "plu/plu_row.h"

namespace plu {

class TKtCustomGrid;

constexpr int kSheetRowCount = 269;
constexpr int kSheetColCount = 9;
constexpr int kLastRow = 268;

constexpr int kBusinessNameRow = 1;
constexpr int kSecondLineRow = 2;
constexpr int kCaptionRow = 3;
constexpr int kFirstPluRow = 4;
constexpr int kPluCount = 265;

constexpr int kColAddr = 1;
constexpr int kColName = 2;
constexpr int kColIngredients = 3;
constexpr int kColLife = 4;
constexpr int kColUnit = 5;
constexpr int kColPrice = 6;
constexpr int kColTare = 7;
constexpr int kColItemCode = 8;
// The business lines sit in the ingredients column, merged over 3 to 8.
constexpr int kColBusiness = 3;

// Preset keys of a scale: 5, or 55 when Preset55.
constexpr int PresetCount(bool preset55) {
    return preset55 ? 55 : 5;
}

// The label of PLU row `row` in column 1: "M1" … for the preset keys, the
// bare number after them ("6", or "56" with 55 keys).
WideString PluNumberLabel(int row, bool preset55);

// What a cell shows (its display text); "" where no cell exists. Reading
// never creates cells.
WideString ShownText(const TKtCustomGrid& grid, int col, int row);

// The shown texts of PLU row `row` (Product Name to Item Code).
PluRowTexts ShownRowTexts(const TKtCustomGrid& grid, int row);

// True when the scale can show every character of what the cell shows.
bool IsScaleTextCell(const TKtCustomGrid& grid, int col, int row);

// Sets a cell's text through the cell's public setter (which the grid's
// modify query may refuse).
void SetCellText(TKtCustomGrid& grid, int col, int row, WideStringView text);

}  // namespace plu
