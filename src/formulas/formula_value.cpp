#include "formulas/formula_value.h"

#include <array>
#include <utility>

namespace plu {
namespace {

constexpr std::array<WideStringView, kErrorCodeCount> kErrorNames = {
    u"#Unknown", u"#NULL!", u"#DIV/0!", u"#VALUE!", u"#REF!", u"#NAME?", u"#NUM!", u"#N/A",
};

}  // namespace

WideStringView ErrorName(TKtErrorCode code) {
    auto i = static_cast<size_t>(code);
    return i < kErrorNames.size() ? kErrorNames[i] : kErrorNames[0];
}

std::optional<TKtErrorCode> ErrorCodeOfName(WideStringView text) {
    for (size_t i = 0; i < kErrorNames.size(); ++i)
        if (SameText(text, kErrorNames[i])) return static_cast<TKtErrorCode>(i);
    return std::nullopt;
}

TKtFormulaValue TKtFormulaValue::FromNumber(double value) {
    TKtFormulaValue v;
    v.Kind = TKtFormulaValueKind::Number;
    v.Number = value;
    return v;
}

TKtFormulaValue TKtFormulaValue::FromString(WideString text) {
    TKtFormulaValue v;
    v.Kind = TKtFormulaValueKind::String;
    v.Text = std::move(text);
    return v;
}

TKtFormulaValue TKtFormulaValue::FromBoolean(bool value) {
    TKtFormulaValue v;
    v.Kind = TKtFormulaValueKind::Boolean;
    v.Boolean = value;
    return v;
}

TKtFormulaValue TKtFormulaValue::FromError(TKtErrorCode code) {
    TKtFormulaValue v;
    v.Kind = TKtFormulaValueKind::Error;
    v.Error = code;
    return v;
}

TKtFormulaValue TKtFormulaValue::FromCell(int sheet, int col, int row) {
    TKtFormulaValue v;
    v.Kind = TKtFormulaValueKind::CellRef;
    v.Sheet = sheet;
    v.Left = v.Right = col;
    v.Top = v.Bottom = row;
    return v;
}

TKtFormulaValue TKtFormulaValue::FromRange(int sheet, int left, int top, int right, int bottom) {
    TKtFormulaValue v;
    v.Kind = TKtFormulaValueKind::Range;
    v.Sheet = sheet;
    v.Left = left;
    v.Top = top;
    v.Right = right;
    v.Bottom = bottom;
    return v;
}

EKtFormulaError::EKtFormulaError(TKtErrorCode code) : Exception(ErrorName(code)), code_(code) {}

EKtFormulaError::EKtFormulaError(TKtErrorCode code, WideStringView message)
    : Exception(message), code_(code) {}

WideString FormatMessage(WideStringView pattern, WideStringView arg) {
    WideString out(pattern);
    size_t at = out.find(u"%s");
    if (at != WideString::npos) out.replace(at, 2, arg);
    return out;
}

}  // namespace plu
