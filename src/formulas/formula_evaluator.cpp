#include "formulas/formula_evaluator.h"

#include <cmath>
#include <utility>

#include "base/conversions.h"
#include "formulas/formula_limits.h"
#include "formulas/function_list.h"
#include "formulas/grid_formulas.h"
#include "formulas/name_list.h"

namespace plu {
namespace {

using K = TKtFormulaValueKind;

constexpr char16_t kUnsupportedOperation[] = u"不支持这种运算操作";
constexpr char16_t kWrongArgumentCount[] = u"方法[%s]参数个数不对";
constexpr char16_t kWrongResultKind[] = u"方法[%s]返回值类型不正确";
constexpr char16_t kUnknownToken[] = u"Unknown Token";
constexpr char16_t kInvalidFormula[] = u"Invalid formula";

// Results of arithmetic: infinities and NaN (overflow, 0^-1, a negative
// base with a fractional power) are "#NUM!", and a zero is never negative.
TKtFormulaValue NumberResult(double x) {
    if (!std::isfinite(x)) throw EKtFormulaError(TKtErrorCode::Num);
    return TKtFormulaValue::FromNumber(x + 0.0);
}

}  // namespace

TKtCellData TKtEvaluation::ReadCell(int sheet, int col, int row) {
    TKtCellData data;
    if (!grid_.ReadCell(sheet, col, row, data)) throw EKtFormulaError(TKtErrorCode::Ref);
    return data;
}

TKtFormulaValue TKtEvaluation::CellValue(int sheet, int col, int row) {
    return CellFormulaValue(ReadCell(sheet, col, row));
}

void TKtEvaluation::CollectCells(const TKtFormulaValue& range, std::vector<TKtCellData>& out) {
    TKtCellRect rect = RangeRect({range.Left, range.Top}, {range.Right, range.Bottom});
    bool found = grid_.ForEachCell(range.Sheet, rect, [&out](int, int, const TKtCellData& cell) {
        if (cell.Kind != TKtCellDataKind::Empty) out.push_back(cell);
    });
    if (!found) throw EKtFormulaError(TKtErrorCode::Ref);
}

double TKtEvaluation::ToNumber(const TKtFormulaValue& v) {
    switch (v.Kind) {
        case K::CellRef: return CellAsFloat(ReadCell(v.Sheet, v.Left, v.Top));
        case K::Empty: return 0;
        case K::Number: return v.Number;
        case K::String: return v.Text.empty() ? 0 : StrToFloat(v.Text);
        case K::Boolean: return v.Boolean ? 1 : 0;
        case K::Error: throw EKtFormulaError(v.Error);
        default: throw EKtFormulaError(TKtErrorCode::Value);
    }
}

WideString TKtEvaluation::ToText(const TKtFormulaValue& v) {
    switch (v.Kind) {
        case K::CellRef: return CellAsString(ReadCell(v.Sheet, v.Left, v.Top));
        case K::Empty: return WideString();
        case K::Number: return FloatToStr(v.Number);
        case K::String: return v.Text;
        case K::Boolean: return v.Boolean ? u"TRUE" : u"FALSE";
        case K::Error: throw EKtFormulaError(v.Error);
        default: throw EKtFormulaError(TKtErrorCode::Value);
    }
}

bool TKtEvaluation::ToBoolean(const TKtFormulaValue& v) {
    switch (v.Kind) {
        case K::CellRef: return CellAsBoolean(ReadCell(v.Sheet, v.Left, v.Top));
        case K::Empty: return false;
        case K::Number: return v.Number != 0;
        case K::String:
            if (SameText(v.Text, u"TRUE")) return true;
            if (SameText(v.Text, u"FALSE")) return false;
            throw EKtFormulaError(TKtErrorCode::Value);
        case K::Boolean: return v.Boolean;
        case K::Error: throw EKtFormulaError(v.Error);
        default: throw EKtFormulaError(TKtErrorCode::Value);
    }
}

TKtFormulaValue TKtEvaluation::Pop() {
    if (stack_.empty()) throw EKtCalcError(kInvalidFormula);
    TKtFormulaValue v = std::move(stack_.back());
    stack_.pop_back();
    return v;
}

bool TKtEvaluation::Equal(const TKtFormulaValue& left, const TKtFormulaValue& right) {
    TKtFormulaValue a = left.Kind == K::CellRef ? CellValue(left.Sheet, left.Left, left.Top) : left;
    TKtFormulaValue b = right.Kind == K::CellRef ? CellValue(right.Sheet, right.Left, right.Top) : right;
    auto unsupported = [](const TKtFormulaValue& v) { return v.Kind == K::Range || v.Kind == K::Error; };
    if (unsupported(a) || unsupported(b)) throw EKtCalcError(kUnsupportedOperation);
    if (a.Kind == K::Empty && b.Kind == K::Empty) return true;
    if (a.Kind == K::Empty || b.Kind == K::Empty) {
        const TKtFormulaValue& other = a.Kind == K::Empty ? b : a;
        switch (other.Kind) {
            case K::Number: return other.Number == 0;
            case K::String: return other.Text.empty();
            case K::Boolean: return !other.Boolean;
            default: return false;
        }
    }
    if (a.Kind != b.Kind) return false;
    switch (a.Kind) {
        case K::Number: return a.Number == b.Number;
        case K::String: return a.Text == b.Text;
        case K::Boolean: return a.Boolean == b.Boolean;
        default: return false;
    }
}

void TKtEvaluation::Call(const TKtToken& t) {
    const TKtFormulaFunctionDefine* def = t.Function;
    if (!def) throw EKtCalcError(kUnknownToken);
    if (def->FixedCount && static_cast<size_t>(t.ArgCount) != def->ParamTypes.size())
        throw EKtCalcError(FormatMessage(kWrongArgumentCount, def->Name));
    if (t.ArgCount < 0 || static_cast<size_t>(t.ArgCount) > stack_.size()) throw EKtCalcError(kInvalidFormula);
    std::vector<TKtFormulaValue> args(std::make_move_iterator(stack_.end() - t.ArgCount),
                                      std::make_move_iterator(stack_.end()));
    stack_.resize(stack_.size() - static_cast<size_t>(t.ArgCount));
    for (size_t i = 0; i < args.size(); ++i) {
        TKtFormulaValue& v = args[i];
        if (v.Kind == K::Range) continue;  // a range is always passed as a range
        TKtFuncParamType type = def->ParamTypes.empty()
                                    ? TKtFuncParamType::ptVar
                                    : def->ParamTypes[std::min(i, def->ParamTypes.size() - 1)];
        switch (type) {
            case TKtFuncParamType::ptVar:
                if (v.Kind == K::CellRef) v = CellValue(v.Sheet, v.Left, v.Top);
                break;
            case TKtFuncParamType::ptNumber: v = TKtFormulaValue::FromNumber(ToNumber(v)); break;
            case TKtFuncParamType::ptString: v = TKtFormulaValue::FromString(ToText(v)); break;
            case TKtFuncParamType::ptBoolean: v = TKtFormulaValue::FromBoolean(ToBoolean(v)); break;
            case TKtFuncParamType::ptRef: break;
        }
    }
    TKtFormulaValue result;
    if (def->Impl) {
        TKtFunctionArgs callArgs(*this, args);
        result = def->Impl(callArgs);
    }
    if (def->ResultKind != K::Empty && result.Kind != def->ResultKind && !result.IsError())
        throw EKtCalcError(FormatMessage(kWrongResultKind, def->Name));
    if (result.Kind == K::Number && !std::isfinite(result.Number)) throw EKtFormulaError(TKtErrorCode::Num);
    if (result.Kind == K::String && result.Text.size() > kMaxFormulaTextLength)
        throw EKtFormulaError(TKtErrorCode::Value);
    stack_.push_back(std::move(result));
}

TKtFormulaValue TKtEvaluation::Run(const TKtTokenList& list) {
    stack_.clear();
    try {
        for (const TKtToken& t : list.Tokens) {
            switch (t.Kind) {
                case TKtTokenKind::Number: stack_.push_back(TKtFormulaValue::FromNumber(t.Number)); break;
                case TKtTokenKind::String: stack_.push_back(TKtFormulaValue::FromString(list.StringOf(t))); break;
                case TKtTokenKind::EmptyString: stack_.emplace_back(); break;
                case TKtTokenKind::Boolean: stack_.push_back(TKtFormulaValue::FromBoolean(t.Index != 0)); break;
                case TKtTokenKind::Error: throw EKtFormulaError(t.ErrorCode());
                case TKtTokenKind::Name:
                    if (!names_ || !names_->Contains(t.Index)) throw EKtFormulaError(TKtErrorCode::Name);
                    stack_.push_back(names_->Value(t.Index));
                    break;
                case TKtTokenKind::CellRef:
                    stack_.push_back(TKtFormulaValue::FromCell(t.Sheet, t.First.Col, t.First.Row));
                    break;
                case TKtTokenKind::Range:
                    stack_.push_back(
                        TKtFormulaValue::FromRange(t.Sheet, t.First.Col, t.First.Row, t.Last.Col, t.Last.Row));
                    break;
                case TKtTokenKind::UnknownFunction: throw EKtFormulaError(TKtErrorCode::Name);
                case TKtTokenKind::Function: Call(t); break;
                case TKtTokenKind::UnaryPlus: {
                    TKtFormulaValue v = Pop();
                    stack_.push_back(TKtFormulaValue::FromNumber(ToNumber(v)));
                    break;
                }
                case TKtTokenKind::UnaryMinus: {
                    TKtFormulaValue v = Pop();
                    stack_.push_back(NumberResult(-ToNumber(v)));
                    break;
                }
                case TKtTokenKind::Percent: {
                    TKtFormulaValue v = Pop();
                    stack_.push_back(NumberResult(ToNumber(v) / 100));
                    break;
                }
                case TKtTokenKind::Equal: {
                    TKtFormulaValue b = Pop(), a = Pop();
                    stack_.push_back(TKtFormulaValue::FromBoolean(Equal(a, b)));
                    break;
                }
                case TKtTokenKind::Concat: {
                    TKtFormulaValue b = Pop(), a = Pop();
                    WideString left = ToText(a);
                    WideString right = ToText(b);
                    // Chains of joins over cells could otherwise grow without bound.
                    if (left.size() + right.size() > kMaxFormulaTextLength)
                        throw EKtFormulaError(TKtErrorCode::Value);
                    stack_.push_back(TKtFormulaValue::FromString(left + right));
                    break;
                }
                case TKtTokenKind::Less:
                case TKtTokenKind::LessEqual:
                case TKtTokenKind::Greater:
                case TKtTokenKind::GreaterEqual:
                case TKtTokenKind::NotEqual:
                case TKtTokenKind::Add:
                case TKtTokenKind::Subtract:
                case TKtTokenKind::Multiply:
                case TKtTokenKind::Divide:
                case TKtTokenKind::Power: {
                    TKtFormulaValue b = Pop(), a = Pop();
                    double x = ToNumber(a);
                    double y = ToNumber(b);
                    switch (t.Kind) {
                        case TKtTokenKind::Less: stack_.push_back(TKtFormulaValue::FromBoolean(x < y)); break;
                        case TKtTokenKind::LessEqual: stack_.push_back(TKtFormulaValue::FromBoolean(x <= y)); break;
                        case TKtTokenKind::Greater: stack_.push_back(TKtFormulaValue::FromBoolean(x > y)); break;
                        case TKtTokenKind::GreaterEqual:
                            stack_.push_back(TKtFormulaValue::FromBoolean(x >= y));
                            break;
                        case TKtTokenKind::NotEqual: stack_.push_back(TKtFormulaValue::FromBoolean(x != y)); break;
                        case TKtTokenKind::Add: stack_.push_back(NumberResult(x + y)); break;
                        case TKtTokenKind::Subtract: stack_.push_back(NumberResult(x - y)); break;
                        case TKtTokenKind::Multiply: stack_.push_back(NumberResult(x * y)); break;
                        case TKtTokenKind::Divide:
                            if (y == 0) throw EKtFormulaError(TKtErrorCode::Div0);
                            stack_.push_back(NumberResult(x / y));
                            break;
                        default: stack_.push_back(NumberResult(std::pow(x, y))); break;
                    }
                    break;
                }
                default: throw EKtCalcError(kUnknownToken);
            }
        }
        if (stack_.size() != 1) throw EKtCalcError(kInvalidFormula);
        TKtFormulaValue result = Pop();
        if (result.Kind == K::CellRef) result = CellValue(result.Sheet, result.Left, result.Top);
        return result;
    } catch (const EKtFormulaError& e) {
        stack_.clear();
        return TKtFormulaValue::FromError(e.Code());
    }
}

}  // namespace plu
