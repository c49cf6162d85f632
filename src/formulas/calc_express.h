// The compiler and evaluator a grid (or every worksheet of a sheet control)
// uses: the standard functions, a list of defined names, and the user
// function list of its owner, searched before the standard functions. It
// also holds the dependents registry of the grids that use it, so that
// formulas of one worksheet follow the cells of another.
#pragma once

#include <cstdint>
#include <vector>

#include "base/wide_text.h"
#include "formulas/formula_token.h"
#include "formulas/formula_value.h"
#include "formulas/function_list.h"
#include "formulas/name_list.h"
#include "grid/dependencies.h"

namespace plu {

class TKtGridFormulas;

// Formula text is shown and typed in the regional form: with "," as the
// decimal separator the arguments are separated by ";" ("ROUND(3,5;0)"), as
// other spreadsheets do. Formula text that is stored (the native stream,
// formulas rebuilt from a workbook's tokens) is written and read in the
// invariant form, "." and ",", so that a file means the same everywhere.
// While an object of this class lives, compiling and writing formula text on
// this thread use the invariant form.
class TKtStoredFormulaText {
  public:
    TKtStoredFormulaText();
    ~TKtStoredFormulaText();
    TKtStoredFormulaText(const TKtStoredFormulaText&) = delete;
    TKtStoredFormulaText& operator=(const TKtStoredFormulaText&) = delete;

  private:
    bool previous_;
};

// The decimal separator of formula text now: "." while stored text is being
// handled, else the regional one.
char16_t FormulaDecimalSeparator();

class TKtGridCalcExpress {
public:
    // `userFunctions` is observed; its owner keeps it alive as long as this object.
    explicit TKtGridCalcExpress(TKtUserFunctionList* userFunctions = nullptr);
    TKtGridCalcExpress(const TKtGridCalcExpress&) = delete;
    TKtGridCalcExpress& operator=(const TKtGridCalcExpress&) = delete;

    TKtFormulaNameList& Names() { return names_; }
    const TKtFormulaNameList& Names() const { return names_; }
    TKtUserFunctionList* UserFunctions() const { return userFunctions_; }
    const TKtStdFunctionList& StdFunctions() const { return StandardFunctions(); }
    // A user function first, then a standard one; nullptr when neither has the name.
    const TKtFormulaFunctionDefine* FindFunction(WideStringView name) const;

    // Formula text without its leading "=" (dropped here if present).
    TKtTokenList Compile(WideStringView text, const TKtGridFormulas& grid) const;
    TKtFormulaValue Evaluate(const TKtTokenList& tokens, TKtGridFormulas& grid) const;
    WideString SourceText(const TKtTokenList& tokens, const TKtGridFormulas& grid) const;

    // Bookkeeping of the calculations running on this evaluator (all grids
    // sharing it): how deep formula calculations are nested on the stack, the
    // current calculation pass, and whether RecalculateAll is running.
    struct CalcState {
        int Depth = 0;
        uint64_t Pass = 0;
        int RecalculatingAll = 0;
        // Value stacks of finished evaluations, kept for the next ones.
        std::vector<std::vector<TKtFormulaValue>> SpareStacks;
    };
    CalcState& State() const { return state_; }

    // The registry the grids using this context share (see
    // grid/dependencies.h); a grid joins it with its first formula.
    TKtDependencies& Dependencies() const { return dependencies_; }

private:
    TKtUserFunctionList* userFunctions_;
    TKtFormulaNameList names_;
    mutable CalcState state_;
    mutable TKtDependencies dependencies_;
};

}  // namespace plu
