// The evaluator: runs a postfix token list on a value stack against the
// cells of a grid. An error value raised anywhere ends the run with that
// error as the result; every other failure reaches the caller.
#pragma once

#include <vector>

#include "formulas/cell_data.h"
#include "formulas/formula_token.h"
#include "formulas/formula_value.h"

namespace plu {

class TKtFormulaNameList;
class TKtGridFormulas;

class TKtEvaluation {
public:
    // `stack` is working storage, lent by the caller so that it can be reused.
    TKtEvaluation(TKtGridFormulas& grid, const TKtFormulaNameList* names, std::vector<TKtFormulaValue>& stack)
        : grid_(grid), names_(names), stack_(stack) {}

    TKtFormulaValue Run(const TKtTokenList& tokens);

    // The conversions of operators and parameters. A cell reference reads the
    // cell; an error value raises it (EKtFormulaError); a range and other
    // kinds that do not convert raise "#VALUE!". A text that is no number
    // raises EConvertError, which is no error value.
    double ToNumber(const TKtFormulaValue& v);
    WideString ToText(const TKtFormulaValue& v);
    bool ToBoolean(const TKtFormulaValue& v);

    // The value of a cell (a formula cell gives its result, calculated on
    // demand); a sheet that does not exist raises "#REF!".
    TKtFormulaValue CellValue(int sheet, int col, int row);
    TKtCellData ReadCell(int sheet, int col, int row);
    // The cells that exist inside a range value, row by row.
    void CollectCells(const TKtFormulaValue& range, std::vector<TKtCellData>& out);

private:
    TKtFormulaValue Pop();
    bool Equal(const TKtFormulaValue& a, const TKtFormulaValue& b);
    void Call(const TKtToken& t);

    TKtGridFormulas& grid_;
    const TKtFormulaNameList* names_;
    std::vector<TKtFormulaValue>& stack_;
};

}  // namespace plu
