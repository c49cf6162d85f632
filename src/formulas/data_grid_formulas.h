// Formulas on the cells of a grid: the formula service of a data grid and
// the formula object a cell of such a grid holds.
//
// A grid with formula support overrides its CreateFormula hook to call
// CreateFormula here and its Calculate to call Calculate here. The service
// reads cells through the grid (data coordinates: A1 is the first body
// cell), the cell's formula object adapts a TKtGridFormulaItem to what the
// grid asks of a formula, and the grid keeps the dependents: a formula
// watches the cells and ranges it refers to, including cells created there
// later, and is recalculated when one of them changes.
#pragma once

#include <memory>
#include <optional>

#include "formulas/calc_express.h"
#include "formulas/formula_item.h"
#include "formulas/grid_formulas.h"
#include "grid/custom_grid.h"
#include "grid/formula.h"

namespace plu {

class TKtDataGridFormulas : public TKtGridFormulas {
public:
    // The grid is observed and must outlive the service's use; a data grid
    // owns its service, a compiler and evaluator and an empty user function list.
    explicit TKtDataGridFormulas(TKtCustomGrid& grid);
    ~TKtDataGridFormulas() override;

    TKtCustomGrid& Grid() const { return grid_; }
    TKtUserFunctionList& UserFunctions() { return userFunctions_; }

    // The grid's CreateFormula: compiles `text` into a formula object for
    // `owner`; a compile error raises. The grid takes part in the dependents
    // registry of the formula context in use.
    std::unique_ptr<IKtFormula> CreateFormula(TKtValue& owner, WideStringView text, const IKtFormula* old);
    // The grid's Calculate: RecalculateAll, then repaint.
    void Calculate();

    // A reference of a formula of this grid in grid coordinates of the sheet
    // it names (rows and columns of an open range end at the grid's limits),
    // with that sheet's grid when it exists.
    TKtFormulaRef ToGridRef(const TKtFormulaReference& ref) const;
    // Whether sheet index `sheet` of a reference (-1: this grid) names grid.
    bool NamesGrid(int sheet, const TKtCustomGrid& grid) const { return SheetGrid(sheet) == &grid; }

    TKtGridCalcExpress* CalcExpress() const override;
    bool ReadCell(int sheet, int col, int row, TKtCellData& out) override;
    bool ForEachCell(int sheet, const TKtCellRect& rect,
                     const std::function<void(int col, int row, const TKtCellData&)>& visit) override;
    WideString SheetName(int index) const override;
    int SheetIndex() const override { return grid_.SheetIndex(); }

protected:
    // The grid that answers for sheet `index`: this grid for -1 and for its
    // own index, nullptr otherwise. A worksheet's service answers for every
    // sheet of its sheet control.
    virtual TKtCustomGrid* SheetGrid(int index) const;
    // The caption of sheet `index` (-1: this grid). A data grid has none.
    virtual WideString SheetCaption(int index) const;

private:
    TKtCustomGrid& grid_;
    TKtUserFunctionList userFunctions_;
    mutable TKtGridCalcExpress calc_{&userFunctions_};
};

// The formula object of one cell.
class TKtCellFormula : public IKtFormula {
public:
    explicit TKtCellFormula(TKtDataGridFormulas& service);

    TKtGridFormulaItem& Item() { return item_; }
    const TKtGridFormulaItem& Item() const { return item_; }

    // Never raise: a formula whose calculation fails shows "#VALUE!" (its
    // text, a String result), an error result its name.
    TKtFormulaResultKind ResultKind() const override;
    WideString ResultText() const override;
    // Raise as the item's AsNumber and AsBoolean do.
    double ResultNumber() const override;
    bool ResultBoolean() const override;
    WideString SourceText() const override { return item_.SourceText(); }
    // The error the cell shows when its result is one ("#VALUE!" for a
    // calculation that failed); none for a number, text or boolean.
    std::optional<TKtErrorCode> ResultError() const;

    // The first calculation after the formula was built reports a failure
    // to whoever entered it; later ones, when a referenced cell changed,
    // leave the failure to show as "#VALUE!" instead of failing the change
    // of the other cell.
    void Recalculate() override;
    void Invalidate() override { item_.Invalidate(); }
    void Shift(int deltaCol, int deltaRow) override { item_.Shift(deltaCol, deltaRow); }
    std::vector<TKtFormulaRef> References() const override;
    // The edit in the data coordinates of that grid, applied to every
    // reference that names it (see TKtGridFormulaItem::MoveReferences).
    bool MoveReferences(const TKtCustomGrid& grid, const TKtAxisEdit& edit) override;
    bool RenumberSheets(const std::vector<std::pair<int, int>>& renumbering) override {
        return item_.RenumberSheets(renumbering);
    }

private:
    // A failed calculation is not retried by reads until something changes.
    bool Failed() const { return !item_.Calculated() && item_.Failed(); }

    mutable TKtGridFormulaItem item_;
    bool reportNextFailure_ = true;
};

}  // namespace plu
