#include "plu/plu_sheet.h"

#include "grid/custom_grid.h"
#include "link/scale_text.h"

namespace plu {

WideString PluNumberLabel(int row, bool preset55) {
    const int number = row - (kFirstPluRow - 1);
    if (number >= 1 && number <= PresetCount(preset55)) return u"M" + IntToWide(number);
    return IntToWide(number);
}

WideString ShownText(const TKtCustomGrid& grid, int col, int row) {
    const TKtCell* cell = grid.FindCell(col, row);
    return cell ? cell->GetText(true) : WideString();
}

bool IsScaleTextCell(const TKtCustomGrid& grid, int col, int row) {
    return IsScaleText(ToScaleText(ShownText(grid, col, row)));
}

PluRowTexts ShownRowTexts(const TKtCustomGrid& grid, int row) {
    PluRowTexts t;
    t.name = ShownText(grid, kColName, row);
    t.ingredients = ShownText(grid, kColIngredients, row);
    t.life = ShownText(grid, kColLife, row);
    t.unit = ShownText(grid, kColUnit, row);
    t.price = ShownText(grid, kColPrice, row);
    t.tare = ShownText(grid, kColTare, row);
    t.itemCode = ShownText(grid, kColItemCode, row);
    return t;
}

void SetCellText(TKtCustomGrid& grid, int col, int row, WideStringView text) {
    grid.GetCell(col, row).SetText(text);
}

}  // namespace plu
