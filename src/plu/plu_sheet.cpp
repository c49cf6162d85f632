#include "plu/plu_sheet.h"

#include "grid/custom_grid.h"

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

void SetCellText(TKtCustomGrid& grid, int col, int row, WideStringView text) {
    grid.GetCell(col, row).SetText(text);
}

}  // namespace plu
