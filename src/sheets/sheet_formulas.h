// Formulas of worksheets in a sheet control. The control holds one formula
// context (a compiler and evaluator with its own, empty user function list)
// that all its worksheets share; a worksheet's formula service uses its
// control's while attached. Through the
// control a formula reaches the other worksheets by caption (compared
// without regard to case; the first sheet in list order wins).
#pragma once

#include "formulas/calc_express.h"
#include "formulas/data_grid_formulas.h"
#include "formulas/function_list.h"

namespace plu {

class TVexaGridSheet;
class TVexaSheetControl;

class TKtSheetFormulaContext {
  public:
    TKtSheetFormulaContext() = default;
    TKtSheetFormulaContext(const TKtSheetFormulaContext&) = delete;
    TKtSheetFormulaContext& operator=(const TKtSheetFormulaContext&) = delete;

    TKtGridCalcExpress& CalcExpress() { return calc_; }
    TKtUserFunctionList& UserFunctions() { return userFunctions_; }

  private:
    TKtUserFunctionList userFunctions_;
    TKtGridCalcExpress calc_{&userFunctions_};
};

class TKtSheetFormulas : public TKtDataGridFormulas {
  public:
    explicit TKtSheetFormulas(TVexaGridSheet& sheet);

    TVexaGridSheet& Sheet() const { return *sheet_; }
    // The control's compiler and evaluator; a sheet that is not attached
    // uses one of its own, reaching no other sheet.
    TKtGridCalcExpress* CalcExpress() const override;
    // The list position of the control's first sheet captioned name (any
    // case); -1 when none or when the sheet is not attached.
    int SheetIndexOf(WideStringView name) const override;

  protected:
    // -1 and the sheet's own index: this sheet; other indices: the control's
    // sheet at that position.
    TKtCustomGrid* SheetGrid(int index) const override;
    WideString SheetCaption(int index) const override;

  private:
    TVexaGridSheet* sheet_;
};

}  // namespace plu
