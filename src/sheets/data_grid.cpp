#include "sheets/data_grid.h"

#include "grid/grid_selection.h"
#include "sheets/button_cells.h"
#include "sheets/combo_cells.h"
#include "sheets/data_cells.h"
#include "sheets/edit_cells.h"
#include "sheets/header_cell.h"
#include "sheets/spin_cells.h"

namespace plu {

const TKtCellClass& CellClassOfType(TKtCellType kind) {
    switch (kind) {
        case TKtCellType::cellCheckBox:
            return TKtCheckBoxCell::Class();
        case TKtCellType::cellRadioBox:
            return TKtRadioBoxCell::Class();
        case TKtCellType::cellComboBox:
            return TKtComboBoxCell::Class();
        case TKtCellType::cellNumberSpin:
            return TKtNumberSpinCell::Class();
        case TKtCellType::cellEllipsisBtn:
            return TKtEllipsisBtnCell::Class();
        case TKtCellType::cellImageBox:
            return TKtImageCell::Class();
        case TKtCellType::cellDropDownList:
            return TKtDropDownListCell::Class();
        case TKtCellType::cellDefault:
        case TKtCellType::cellTextBox:
        case TKtCellType::cellChart:
        case TKtCellType::cellCalendar:
        case TKtCellType::cellCurrency:
            break;
    }
    return TKtTextBoxCell::Class();
}

// ---- TKtDataGridColumn ----------------------------------------------------------------

TKtDataGridColumn::TKtDataGridColumn(TKtCustomDataGrid& grid, int col) : TKtGridColumn(grid, col) {}

TKtCustomDataGrid& TKtDataGridColumn::DataGrid() const {
    return static_cast<TKtCustomDataGrid&>(Grid());
}

void TKtDataGridColumn::SetCellType(TKtCellType kind) {
    cellType_ = kind;
    DataGrid().ClassManager().SetColumnCellClass(Index(), &CellClassOfType(kind));
}

std::vector<WideString>& TKtDataGridColumn::CellItems() {
    if (!cellItems_) cellItems_ = std::make_unique<std::vector<WideString>>();
    return *cellItems_;
}

void TKtDataGridColumn::SetSortState(uint8_t state) {
    if (state == sortState_) return;
    sortState_ = state;
    TKtCustomDataGrid& grid = DataGrid();
    const int headerRow = grid.FixedRowCount() - 1;
    for (int c = 0; c < grid.ColCount(); ++c) {
        TKtDataGridColumn* other = grid.FindColumn(c);
        if (!other || other == this || other->sortState_ == kSortNone) continue;
        other->sortState_ = kSortNone;
        if (!grid.IsUpdating()) grid.InvalidateCell(c, headerRow);
    }
    if (!grid.IsUpdating()) grid.InvalidateCell(Index(), headerRow);
}

WideString TKtDataGridColumn::Title() const {
    const TKtCustomGrid& grid = Grid();
    const TKtCell* header = grid.FindCell(Index(), grid.FixedRowCount() - 1);
    return header ? header->GetAsString() : WideString();
}

void TKtDataGridColumn::SetTitle(WideStringView title) {
    TKtCustomGrid& grid = Grid();
    grid.GetCell(Index(), grid.FixedRowCount() - 1).SetAsString(title);
}

// ---- TKtCustomDataGrid ----------------------------------------------------------------------

TKtCustomDataGrid::TKtCustomDataGrid() : TKtCustomDataGrid(NoFormulaService{}) {
    SetFormulas(std::make_unique<TKtDataGridFormulas>(*this));
}

TKtCustomDataGrid::TKtCustomDataGrid(NoFormulaService) {
    ClassManager().SetFixedCellClass(&TKtDataHeaderCell2::Class());
    defaultMenu_ = std::make_unique<TKtPopupMenu>(u"DefaultPopupMenu");
    popupMenu_ = defaultMenu_.get();
    SetDefaultFixedRowHeight(17);
    SetOptionsEx(
        OptionsEx().With(TGridOptionEx::goxSupportFormula).With(TGridOptionEx::goxAutoCalculate));
}

TKtCustomDataGrid::~TKtCustomDataGrid() {
    // Commit an open edit while the formula service and the cell kinds can
    // still take it (the base grid would only get its own behaviour).
    if (EditorMode()) {
        try {
            SetEditorMode(false);
        } catch (...) {
            // A refused or failing commit cannot stop the grid from going.
        }
    }
}

void TKtCustomDataGrid::SetFormulas(std::unique_ptr<TKtDataGridFormulas> formulas) {
    formulas_ = std::move(formulas);
}

std::unique_ptr<IKtFormula> TKtCustomDataGrid::CreateFormula(TKtValue& owner, WideStringView text,
                                                             const IKtFormula* old) {
    return formulas_->CreateFormula(owner, text, old);
}

void TKtCustomDataGrid::Calculate() {
    formulas_->Calculate();
}

TKtCell* TKtCustomDataGrid::CellForPress(int col, int row) {
    const bool sortableHeader = row == FixedRowCount() - 1 && col >= FixedColCount() &&
                                col < ColCount() && CellSpanRect(col, row).Left == col;
    return sortableHeader ? &GetCell(col, row) : FindCell(col, row);
}

std::unique_ptr<TKtGridColumn> TKtCustomDataGrid::CreateColumnObject(int col) {
    return std::make_unique<TKtDataGridColumn>(*this, col);
}

TKtDataGridColumn& TKtCustomDataGrid::GetColumn(int col) {
    return static_cast<TKtDataGridColumn&>(TKtCustomGrid::GetColumn(col));
}

TKtDataGridColumn* TKtCustomDataGrid::FindColumn(int col) const {
    return static_cast<TKtDataGridColumn*>(TKtCustomGrid::FindColumn(col));
}

void TKtCustomDataGrid::SetCellType(int col, int row, TKtCellType kind) {
    ClassManager().SetCellClass(col, row, &CellClassOfType(kind));
}

void TKtCustomDataGrid::SetShowDefaultPopupMenu(bool on) {
    if (on == showDefaultPopupMenu_) return;
    showDefaultPopupMenu_ = on;
    if (on)
        popupMenu_ = defaultMenu_.get();
    else if (popupMenu_ == defaultMenu_.get())
        popupMenu_ = nullptr;
}

TKtMenuItem& TKtCustomDataGrid::AddPopupMenuItem(WideStringView path,
                                                 std::function<void(TKtMenuItem&)> onClick, int tag,
                                                 bool checked) {
    if (!popupMenu_) throw Exception(u"PopupMenu is nil");
    return popupMenu_->AddItem(path, std::move(onClick), tag, checked);
}

const IKtSystemMetrics& TKtCustomDataGrid::SystemMetrics() const {
    return metrics_ ? *metrics_ : DefaultSystemMetrics();
}

}  // namespace plu
