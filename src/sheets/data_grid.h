// TKtCustomDataGrid: the grid with typed columns. Each column object
// (TKtDataGridColumn) carries a cell kind, a pick list, a title, a tag and a
// sort state; each body cell takes its class, and with it its way of
// editing, from the kind of its column unless a kind was set for that one
// cell (SetCellType). The header cells of a data grid sort the body rows
// when their arrow area is clicked. Every data grid has a formula service
// (formulas are on), a default popup menu and the platform hooks its cell
// kinds need (system sizes, the drop-down list window).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "formulas/data_grid_formulas.h"
#include "grid/cell.h"
#include "grid/custom_grid.h"
#include "grid/grid_column.h"
#include "sheets/popup_menu.h"
#include "sheets/system_metrics.h"

namespace plu {

class IKtDropDownHost;
class TKtCustomDataGrid;

// The cell class of each kind: cellDefault and cellTextBox TKtTextBoxCell,
// cellCheckBox TKtCheckBoxCell, cellRadioBox TKtRadioBoxCell, cellComboBox
// TKtComboBoxCell, cellNumberSpin TKtNumberSpinCell, cellEllipsisBtn
// TKtEllipsisBtnCell, cellImageBox TKtImageCell, cellDropDownList
// TKtDropDownListCell. The chart, calendar and currency kinds edit as text
// boxes (TKtTextBoxCell) in this program.
const TKtCellClass& CellClassOfType(TKtCellType kind);

// The sort state of a column.
constexpr uint8_t kSortNone = 0;
constexpr uint8_t kSortAscending = 1;
constexpr uint8_t kSortDescending = 2;

class TKtDataGridColumn : public TKtGridColumn {
  public:
    TKtDataGridColumn(TKtCustomDataGrid& grid, int col);

    TKtCustomDataGrid& DataGrid() const;

    // The column's cell kind (cellDefault until set). Setting it makes the
    // kind's class the column's cell class; the column's existing body cells
    // are re-created in it with their content.
    TKtCellType CellType() const { return cellType_; }
    void SetCellType(TKtCellType kind);

    // The pick list, created empty on first use; the application fills it.
    std::vector<WideString>& CellItems();
    // The pick list if it was ever created.
    const std::vector<WideString>* FindCellItems() const { return cellItems_.get(); }

    // kSortNone, kSortAscending or kSortDescending; at most one column of a
    // grid is sorted: a new value clears every other column's state and
    // repaints those columns' header cells (unless the grid is updating).
    uint8_t SortState() const { return sortState_; }
    void SetSortState(uint8_t state);

    const WideString& Tag() const { return tag_; }
    void SetTag(WideStringView tag) { tag_ = WideString(tag); }

    // The text of the column's header cell in the last fixed row; written
    // without text events.
    WideString Title() const;
    void SetTitle(WideStringView title);

  private:
    friend class TKtCustomDataGrid;
    TKtCellType cellType_ = TKtCellType::cellDefault;
    uint8_t sortState_ = kSortNone;
    std::unique_ptr<std::vector<WideString>> cellItems_;
    WideString tag_;
};

class TKtCustomDataGrid : public TKtCustomGrid {
  public:
    TKtCustomDataGrid();
    ~TKtCustomDataGrid() override;

    // ---- Formulas ------------------------------------------------------------
    std::unique_ptr<IKtFormula> CreateFormula(TKtValue& owner, WideStringView text,
                                              const IKtFormula* old) override;
    void Calculate() override;
    TKtDataGridFormulas& Formulas() const { return *formulas_; }

    // ---- Columns and cell kinds ---------------------------------------------------
    std::unique_ptr<TKtGridColumn> CreateColumnObject(int col) override;
    // A header of the last fixed row over a body column sorts on a click on
    // its arrow area, so a press there creates it when it does not exist.
    TKtCell* CellForPress(int col, int row) override;
    // The column object, created on demand (hides the base grid's form with
    // the data grid's column type).
    TKtDataGridColumn& GetColumn(int col);
    TKtDataGridColumn* FindColumn(int col) const;
    // Gives one cell the class of kind, re-creating the cell if it exists; a
    // kind set this way wins over the column's.
    void SetCellType(int col, int row, TKtCellType kind);
    // Header sorting is always on in a data grid.
    bool SortingEnabled() const { return true; }

    // ---- Popup menu ---------------------------------------------------------------
    // The menu named "DefaultPopupMenu" that the grid owns.
    TKtPopupMenu& DefaultPopupMenu() { return *defaultMenu_; }
    // The menu the grid shows (observed), nullptr for none.
    TKtPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TKtPopupMenu* menu) { popupMenu_ = menu; }
    // True makes the default menu the grid's menu; false takes it away only
    // while it is the current one (a menu of the application stays).
    bool ShowDefaultPopupMenu() const { return showDefaultPopupMenu_; }
    void SetShowDefaultPopupMenu(bool on);
    // Adds or finds an item of the grid's current popup menu by path
    // (TKtPopupMenu::AddItem); raises "PopupMenu is nil" without a menu.
    TKtMenuItem& AddPopupMenuItem(WideStringView path, std::function<void(TKtMenuItem&)> onClick,
                                  int tag = 0, bool checked = false);

    // ---- Platform ------------------------------------------------------------------
    // nullptr restores the default sizes.
    const IKtSystemMetrics& SystemMetrics() const;
    void SetSystemMetrics(const IKtSystemMetrics* metrics) { metrics_ = metrics; }
    // The shell's drop-down windows; nullptr: lists work without being shown.
    IKtDropDownHost* DropDownHost() const { return dropDownHost_; }
    void SetDropDownHost(IKtDropDownHost* host) { dropDownHost_ = host; }

  protected:
    // For grids that bring their own formula service (worksheets): they
    // call SetFormulas in their constructor.
    struct NoFormulaService {};
    explicit TKtCustomDataGrid(NoFormulaService);
    void SetFormulas(std::unique_ptr<TKtDataGridFormulas> formulas);

  private:
    std::unique_ptr<TKtDataGridFormulas> formulas_;
    std::unique_ptr<TKtPopupMenu> defaultMenu_;
    TKtPopupMenu* popupMenu_ = nullptr;
    bool showDefaultPopupMenu_ = true;
    const IKtSystemMetrics* metrics_ = nullptr;
    IKtDropDownHost* dropDownHost_ = nullptr;
};

}  // namespace plu
