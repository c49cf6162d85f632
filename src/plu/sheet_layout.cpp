#include "plu/sheet_layout.h"

#include <optional>

#include "base/color.h"
#include "base/conversions.h"
#include "base/events.h"
#include "grid/grid_range.h"
#include "grid/grid_row.h"
#include "grid/grid_selection.h"
#include "plu/plu_sheet.h"
#include "sheets/sheet_control.h"

namespace plu {

namespace {

constexpr int kHeaderRowHeight = 30;
constexpr int kPluRowHeight = 50;
constexpr int kColumnWidths[kSheetColCount] = {0, 50, 220, 600, 60, 60, 100, 100, 100};
constexpr int kFontSize = 12;
inline constexpr char16_t kFontName[] = u"Arial";

// Selects the rectangle (as the operator would see it selected) and hands
// back a range of exactly that rectangle: the formatting must land there even
// when the grid refuses to move its current cell.
TKtGridRange Select(TKtCustomGrid& grid, int col1, int row1, int col2, int row2) {
    grid.SelectRange(col1, row1, col2, row2);
    return TKtGridRange(grid, TRect::FromCorners(col1, row1, col2, row2));
}

void Merge(TKtCustomGrid& grid, int col1, int row1, int col2, int row2) {
    grid.SelectRange(col1, row1, col2, row2);
    grid.MergeCells(col1, row1, col2, row2);
}

void LayoutGrid(TVexaGridSheet& grid, const LinkState& link) {
    const bool preset55 = link.Preset55;
    grid.BeginUpdate();
    ScopeExit endUpdate([&] { grid.EndUpdate(); });

    grid.SetRowCount(kSheetRowCount);
    grid.SetColCount(kSheetColCount);

    TKtGridRange area = Select(grid, kColAddr, 1, kColItemCode, kLastRow);
    area.SetHorzAlign(TKtGridHorzAlign::haCenter);
    area.SetColor(clWindow);
    area.SetFontSize(kFontSize);
    area.SetFontName(kFontName);

    grid.SetAutoRowHeight(false);

    // The captions and the number column stay in place while the body scrolls.
    grid.SelectRange(kColName, kFirstPluRow, kColName, kFirstPluRow);
    grid.SetViewLock(kColName, kFirstPluRow);

    for (int col = kColAddr; col <= kColItemCode; ++col)
        grid.GetColumn(col).SetWidth(kColumnWidths[col]);

    for (int row = 1; row <= kLastRow; ++row) {
        if (row < kFirstPluRow) {
            grid.GetRow(row).SetHeight(kHeaderRowHeight);
            continue;
        }
        grid.GetRow(row).SetHeight(kPluRowHeight);
        SetCellText(grid, kColAddr, row, PluNumberLabel(row, preset55));
        // A price or tare typed with a decimal comma becomes a number with a
        // point; cells without a comma are left as they are.
        for (int col : {kColPrice, kColTare}) {
            const WideString shown = ShownText(grid, col, row);
            if (shown.find(u',') == WideString::npos) continue;
            SetCellText(grid, col, row, ReplaceAll(shown, u",", u"."));
        }
    }

    Select(grid, kColUnit, kLastRow, kColName, kFirstPluRow).SetWrapText(true);

    const std::pair<int, const char16_t*> captions[] = {
        {kColIngredients, u"Ingredients"}, {kColLife, u"Life"}, {kColUnit, u"Unit"},
        {kColPrice, u"Unit Price"},        {kColTare, u"Tare"}, {kColItemCode, u"Item Code"}};
    SetCellText(grid, kColAddr, kBusinessNameRow, u"Business Name");
    SetCellText(grid, kColAddr, kCaptionRow, u"Addr.");
    SetCellText(grid, kColName, kCaptionRow, u"Product Name");
    for (const auto& [col, caption] : captions)
        SetCellText(grid, col, kCaptionRow, caption);

    const std::pair<int, const char16_t*> formats[] = {
        {kColAddr, u"@"},    {kColName, u"@"},    {kColIngredients, u"@"}, {kColLife, u"0"},
        {kColPrice, u".00"}, {kColTare, u".000"}, {kColItemCode, u"00000"}};
    for (const auto& [col, format] : formats)
        grid.GetColumn(col).Style().SetFormatString(format);

    grid.GetColumn(kColLife).SetCellType(TKtCellType::cellNumberSpin);
    TKtDataGridColumn& unit = grid.GetColumn(kColUnit);
    unit.SetCellType(TKtCellType::cellComboBox);
    std::vector<WideString>& units = unit.CellItems();
    units.clear();
    if (link.UnitKg) units.emplace_back(u"kg");
    if (link.UnitLb) units.emplace_back(u"lb");
    if (link.UnitOz) units.emplace_back(u"oz");

    // The header area shows plain text: no spin buttons, no drop-down arrows.
    for (int col : {kColLife, kColUnit})
        for (int row = 1; row < kFirstPluRow; ++row)
            grid.SetCellType(col, row, TKtCellType::cellDefault);

    grid.GetRow(kFirstPluRow + 1).Style().SetFormatString(u"@");

    Merge(grid, kColAddr, kBusinessNameRow, kColName, kSecondLineRow);
    Merge(grid, kColBusiness, kSecondLineRow, kColItemCode, kSecondLineRow);
    Merge(grid, kColBusiness, kBusinessNameRow, kColItemCode, kBusinessNameRow);
}

// Selecting the layout's wide ranges scrolled the view to their far corners;
// the laid-out sheet shows from its origin, scrolled only as far as its
// current cell needs (a window narrower than the whole table would
// otherwise hide the product names).
void ShowFromOrigin(TVexaGridSheet& grid) {
    const TPoint current = grid.Selection().Current();
    grid.SetLeftCol(grid.ViewLockCol());
    grid.SetTopRow(grid.ViewLockRow());
    if (grid.IsBodyCell(current.X, current.Y)) grid.ScrollIntoView(current.X, current.Y);
}

}  // namespace

void LayoutSheet(TVexaSheetControl& control, const LinkState& link, IPluHost& host,
                 bool resetFontBoxes) {
    if (resetFontBoxes) {
        host.SetFontNameBoxText(kFontName);
        host.SetFontSizeBoxText(u"12");
    }
    if (TVexaGridSheet* grid = control.ActiveSheet()) {
        LayoutGrid(*grid, link);
        ShowFromOrigin(*grid);
    }
    // The boxes show nothing when the cell cursor rests on a cell whose font
    // or size is not among their items: the control then keeps its font
    // rather than failing the layout (and the transfer or open around it).
    const WideString name = host.FontNameBoxText();
    const WideString sizeText = host.FontSizeBoxText();
    const std::optional<int32_t> size =
        sizeText.empty() ? std::nullopt : std::optional<int32_t>(StrToInt(sizeText));
    if (!name.empty()) control.Font().SetName(name);
    if (size) control.Font().SetSize(*size);
}

}  // namespace plu
