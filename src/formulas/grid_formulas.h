// The formula service of a grid: what the compiler and evaluator ask of the
// grid (its cells, its sheets), and the grid's list of formula items with
// compiling and recalculating all of them.
//
// The grid side implements the grid services; all coordinates are data
// coordinates (A1 is the first body cell) and a sheet index of -1 means the
// grid itself. A lone data grid knows no other sheet; a worksheet of a sheet
// control answers for every sheet of its control.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "base/wide_text.h"
#include "formulas/cell_data.h"
#include "formulas/cell_reference.h"

namespace plu {

class TKtGridCalcExpress;
class TKtGridFormulaItem;

class TKtGridFormulas {
public:
    TKtGridFormulas() = default;
    TKtGridFormulas(const TKtGridFormulas&) = delete;
    TKtGridFormulas& operator=(const TKtGridFormulas&) = delete;
    // Items that outlive the service are detached from it.
    virtual ~TKtGridFormulas();

    // ----- grid services -----

    // The compiler and evaluator this grid uses; nullptr while there is none
    // (a worksheet not attached to a sheet control).
    virtual TKtGridCalcExpress* CalcExpress() const = 0;
    // The content of the cell at (col, row) of `sheet`; kind Empty where no
    // cell exists. False when the sheet does not exist. Never creates cells.
    virtual bool ReadCell(int sheet, int col, int row, TKtCellData& out) = 0;
    // Visits every existing cell inside `rect` of `sheet`, row by row. False
    // when the sheet does not exist.
    virtual bool ForEachCell(int sheet, const TKtCellRect& rect,
                             const std::function<void(int col, int row, const TKtCellData&)>& visit) = 0;
    // The caption of sheet `index` (the grid's own for -1); empty when there
    // is no such sheet.
    virtual WideString SheetName(int index) const = 0;
    // The index of the first sheet whose caption equals `name` (any case);
    // -1 when none does. A lone grid knows no sheet.
    virtual int SheetIndexOf(WideStringView name) const;
    // This grid's own sheet index; -1 for a lone grid.
    virtual int SheetIndex() const;

    // ----- formulas -----

    // Compiles `text` (a leading "=" is dropped) into a new item of this
    // grid, uncalculated. A compile error raises and leaves no item.
    std::unique_ptr<TKtGridFormulaItem> Compile(WideStringView text);
    // Compiles into an existing item; on a compile error the item keeps its
    // formula.
    void Compile(WideStringView text, TKtGridFormulaItem& item);

    // Marks every item uncalculated, then calculates each in list order
    // (items already calculated on the way, as another's operand, are not
    // calculated twice). A failing item does not stop the others; the first
    // failure is raised at the end.
    void RecalculateAll();

    size_t ItemCount() const { return count_; }
    // The items in list order (creation order).
    std::vector<TKtGridFormulaItem*> Items() const;

private:
    friend class TKtGridFormulaItem;
    void Link(TKtGridFormulaItem* item);
    void Unlink(TKtGridFormulaItem* item);

    TKtGridFormulaItem* first_ = nullptr;
    TKtGridFormulaItem* last_ = nullptr;
    size_t count_ = 0;
    // The snapshots RecalculateAll is walking; a removed item's slot is cleared.
    std::vector<std::vector<TKtGridFormulaItem*>*> walks_;
};

}  // namespace plu
