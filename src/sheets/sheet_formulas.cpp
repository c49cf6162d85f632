#include "sheets/sheet_formulas.h"

#include "sheets/sheet_control.h"

namespace plu {

TKtSheetFormulas::TKtSheetFormulas(TVexaGridSheet& sheet)
    : TKtDataGridFormulas(sheet), sheet_(&sheet) {}

TKtGridCalcExpress* TKtSheetFormulas::CalcExpress() const {
    TVexaSheetControl* control = sheet_->SheetControl();
    // Away from a control the sheet calculates alone (as a data grid does)
    // rather than leaving its formulas without a calculator.
    return control ? &control->FormulaContext().CalcExpress() : TKtDataGridFormulas::CalcExpress();
}

int TKtSheetFormulas::SheetIndexOf(WideStringView name) const {
    TVexaSheetControl* control = sheet_->SheetControl();
    if (!control) return -1;
    for (int i = 0; i < control->SheetCount(); ++i)
        if (SameText(control->Sheets(i).Caption(), name)) return i;
    return -1;
}

TKtCustomGrid* TKtSheetFormulas::SheetGrid(int index) const {
    if (index == -1) return sheet_;
    TVexaSheetControl* control = sheet_->SheetControl();
    if (!control) return nullptr;
    return control->FindSheet(index);
}

WideString TKtSheetFormulas::SheetCaption(int index) const {
    if (index == -1) return sheet_->Caption();
    TVexaSheetControl* control = sheet_->SheetControl();
    if (!control) return WideString();
    TVexaGridSheet* sheet = control->FindSheet(index);
    return sheet ? sheet->Caption() : WideString();
}

}  // namespace plu
