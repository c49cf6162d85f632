#include "formulas/cell_data.h"

#include <utility>

#include "base/conversions.h"
#include "formulas/formula_item.h"

namespace plu {

TKtCellData TKtCellData::FromFloat(double value) {
    TKtCellData d;
    d.Kind = TKtCellDataKind::Float;
    d.Float = value;
    return d;
}

TKtCellData TKtCellData::FromInteger(int32_t value) {
    TKtCellData d;
    d.Kind = TKtCellDataKind::Integer;
    d.Integer = value;
    return d;
}

TKtCellData TKtCellData::FromString(WideString text) {
    TKtCellData d;
    d.Kind = TKtCellDataKind::String;
    d.Text = std::move(text);
    return d;
}

TKtCellData TKtCellData::FromFormula(TKtGridFormulaItem* item) {
    TKtCellData d;
    d.Kind = TKtCellDataKind::Formula;
    d.Formula = item;
    return d;
}

double CellAsFloat(const TKtCellData& cell) {
    switch (cell.Kind) {
        case TKtCellDataKind::Float: return cell.Float;
        case TKtCellDataKind::Integer: return cell.Integer;
        case TKtCellDataKind::String: return cell.Text.empty() ? 0 : StrToFloat(cell.Text);
        case TKtCellDataKind::Formula: return cell.Formula ? cell.Formula->AsNumber() : 0;
        default: return 0;
    }
}

bool CellAsBoolean(const TKtCellData& cell) {
    switch (cell.Kind) {
        case TKtCellDataKind::Float: return cell.Float != 0;
        case TKtCellDataKind::Integer: return cell.Integer != 0;
        case TKtCellDataKind::String: return SameText(Trim(cell.Text), u"True");
        case TKtCellDataKind::Formula: return cell.Formula && cell.Formula->AsBoolean();
        default: return false;
    }
}

WideString CellAsString(const TKtCellData& cell) {
    switch (cell.Kind) {
        case TKtCellDataKind::Float: return FloatToStr(cell.Float);
        case TKtCellDataKind::Integer: return IntToWide(cell.Integer);
        case TKtCellDataKind::String: return cell.Text;
        case TKtCellDataKind::Formula: return cell.Formula ? cell.Formula->AsString() : WideString();
        default: return WideString();
    }
}

bool CellIsNumber(const TKtCellData& cell) {
    switch (cell.Kind) {
        case TKtCellDataKind::Float:
        case TKtCellDataKind::Integer: return true;
        case TKtCellDataKind::Formula:
            return cell.Formula && cell.Formula->ResultKind() == TKtFormulaValueKind::Number;
        default: return false;
    }
}

TKtFormulaValue CellFormulaValue(const TKtCellData& cell) {
    switch (cell.Kind) {
        case TKtCellDataKind::Float: return TKtFormulaValue::FromNumber(cell.Float);
        case TKtCellDataKind::Integer: return TKtFormulaValue::FromNumber(cell.Integer);
        case TKtCellDataKind::String: return TKtFormulaValue::FromString(cell.Text);
        case TKtCellDataKind::Formula: return cell.Formula ? cell.Formula->Result() : TKtFormulaValue();
        default: return TKtFormulaValue();
    }
}

}  // namespace plu
