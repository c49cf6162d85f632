// The standard function list of the formula language.
#include <cmath>
#include <numbers>

#include "base/conversions.h"
#include "formulas/cell_data.h"
#include "formulas/cell_reference.h"
#include "formulas/function_list.h"
#include "formulas/formula_limits.h"

namespace plu {
namespace {

using K = TKtFormulaValueKind;
using P = TKtFuncParamType;

constexpr char16_t kBadArguments[] = u"输入的公式有错误, 参数不正确";

[[noreturn]] void RejectArguments() { throw EKtFormulaError(TKtErrorCode::Unknown, kBadArguments); }

double Checked(double x) {
    if (!std::isfinite(x)) throw EKtFormulaError(TKtErrorCode::Num);
    return x + 0.0;  // no negative zero in results
}

// A numeric parameter after conversion; a range passed in its place is no number.
double NumberArg(const TKtFunctionArgs& args, size_t i) {
    if (args[i].Kind != K::Number) throw EKtFormulaError(TKtErrorCode::Value);
    return args[i].Number;
}

// Walks the values SUM, AVERAGE and COUNT take: `scalar` for plain values
// (errors pass through), `cell` for every cell of a range that holds a number.
template <typename Scalar, typename Cell>
void ForEachArgument(TKtFunctionArgs& args, Scalar scalar, Cell cell) {
    for (size_t i = 0; i < args.Count(); ++i) {
        const TKtFormulaValue& v = args[i];
        if (v.Kind == K::Range) {
            args.ForEachCell(v, [&](const TKtCellData& c) {
                if (CellIsNumber(c)) cell(CellAsFloat(c));
            });
        } else {
            scalar(v);
        }
    }
}

// SUM and AVERAGE: numbers, booleans as 0/1, strings as numbers (0 when they
// are none), numeric cells of ranges. Returns the sum and how many values it took.
std::pair<double, int> SumValues(TKtFunctionArgs& args) {
    double total = 0;
    int count = 0;
    ForEachArgument(
        args,
        [&](const TKtFormulaValue& v) {
            switch (v.Kind) {
                case K::Number: total += v.Number; ++count; break;
                case K::Boolean: total += v.Boolean ? 1 : 0; ++count; break;
                case K::String: {
                    double x = 0;
                    if (!TryStrToFloat(v.Text, x)) x = 0;
                    total += x;
                    ++count;
                    break;
                }
                case K::Error: throw EKtFormulaError(v.Error);
                default: break;
            }
        },
        [&](double x) {
            total += x;
            ++count;
        });
    return {total, count};
}

TKtFormulaValue Count(TKtFunctionArgs& args) {
    int count = 0;
    ForEachArgument(
        args,
        [&](const TKtFormulaValue& v) {
            if (v.Kind == K::Number || v.Kind == K::String || v.Kind == K::Boolean) ++count;
        },
        [&](double) { ++count; });
    return TKtFormulaValue::FromNumber(count);
}

TKtFormulaValue Sum(TKtFunctionArgs& args) {
    return TKtFormulaValue::FromNumber(Checked(SumValues(args).first));
}

TKtFormulaValue Average(TKtFunctionArgs& args) {
    auto [total, count] = SumValues(args);
    if (count == 0) throw EKtFormulaError(TKtErrorCode::Div0);
    return TKtFormulaValue::FromNumber(Checked(total / count));
}

template <bool Largest>
TKtFormulaValue Extreme(TKtFunctionArgs& args) {
    bool any = false;
    double best = 0;
    auto take = [&](double x) {
        if (!any || (Largest ? x > best : x < best)) best = x;
        any = true;
    };
    ForEachArgument(
        args,
        [&](const TKtFormulaValue& v) {
            if (v.Kind == K::Number) take(v.Number);
        },
        take);
    return TKtFormulaValue::FromNumber(best + 0.0);
}

template <bool Row>
TKtFormulaValue Position(TKtFunctionArgs& args) {
    const TKtFormulaValue& v = args[0];
    if (v.Kind == K::CellRef) return TKtFormulaValue::FromNumber((Row ? v.Top : v.Left) + 1);
    if (v.Kind == K::Range) {
        TKtCellRect r = RangeRect({v.Left, v.Top}, {v.Right, v.Bottom});
        return TKtFormulaValue::FromNumber((Row ? r.Top : r.Left) + 1);
    }
    RejectArguments();
}

template <double (*F)(double)>
TKtFormulaValue Unary(TKtFunctionArgs& args) {
    return TKtFormulaValue::FromNumber(Checked(F(NumberArg(args, 0))));
}

double Sin(double x) { return std::sin(x); }
double Cos(double x) { return std::cos(x); }
double Tan(double x) { return std::tan(x); }
double Atan(double x) { return std::atan(x); }
double Sqrt(double x) { return std::sqrt(x); }
double Abs(double x) { return std::fabs(x); }

TKtFormulaValue Rept(TKtFunctionArgs& args) {
    if (args[0].Kind != K::String || args[1].Kind != K::Number) RejectArguments();
    const WideString& text = args[0].Text;
    double n = std::nearbyint(args[1].Number);  // ties to even
    if (!(n > 0) || text.empty()) return TKtFormulaValue::FromString(u"");
    // A repeat count from a cell can be anything; the text stays within the
    // length a cell can take instead of exhausting memory.
    if (n * static_cast<double>(text.size()) > kMaxFormulaTextLength)
        throw EKtFormulaError(TKtErrorCode::Value);
    WideString out;
    out.reserve(text.size() * static_cast<size_t>(n));
    for (int i = 0; i < static_cast<int>(n); ++i) out += text;
    return TKtFormulaValue::FromString(std::move(out));
}

TKtFormulaValue Power(TKtFunctionArgs& args) {
    return TKtFormulaValue::FromNumber(Checked(std::pow(NumberArg(args, 0), NumberArg(args, 1))));
}

TKtFormulaValue If(TKtFunctionArgs& args) {
    if (args[0].Kind != K::Boolean) throw EKtFormulaError(TKtErrorCode::Value);
    return args[0].Boolean ? args[1] : args[2];
}

TKtFormulaValue Pi(TKtFunctionArgs&) { return TKtFormulaValue::FromNumber(std::numbers::pi); }

struct Entry {
    int id;
    const char16_t* name;
    const char16_t* description;
    std::vector<WideString> params;
    std::vector<P> types;
    bool fixed;
    K result;
    TKtFunctionImpl impl;
};

std::vector<Entry> Table() {
    const std::vector<WideString> numbers = {u"Number1", u"Number2"};
    const std::vector<WideString> number = {u"Number"};
    return {
        {0, u"COUNT", u"计算参数列表中数字的个数", {u"Value1", u"Value2"}, {P::ptVar}, false, K::Number, Count},
        {1, u"IF", u"判断一个条件是否满足，如果满足返回一个值，如果不满足则返回另一个值",
         {u"Logical_test", u"Value_if_true", u"Value_if_false"}, {P::ptBoolean, P::ptVar, P::ptVar}, true,
         K::Empty, If},
        {4, u"SUM", u"计算单元格区域中所有数值的和", numbers, {P::ptVar}, false, K::Number, Sum},
        {5, u"AVERAGE", u"返回参数的算术平均值", numbers, {P::ptVar}, false, K::Number, Average},
        {6, u"MIN", u"返回一组数值中的最小值", numbers, {P::ptNumber}, false, K::Number, Extreme<false>},
        {7, u"MAX", u"返回一组数值中的最大值", numbers, {P::ptNumber}, false, K::Number, Extreme<true>},
        {8, u"ROW", u"返回一个引用的行号", {u"Reference"}, {P::ptRef}, true, K::Number, Position<true>},
        {9, u"COLUMN", u"返回一个引用的列号", {u"Reference"}, {P::ptRef}, true, K::Number, Position<false>},
        {11, u"NPV", u"基于一系列将来的收(正值)支(负值)现金流和一贴现率，返回一项投资的净现值",
         {u"Rate", u"Value1", u"Value2"}, {P::ptNumber}, false, K::Number, nullptr},
        {12, u"STDEV", u"估算基于给定样本的标准偏差", numbers, {P::ptNumber}, false, K::Number, nullptr},
        {13, u"DOLLAR", u"按照货币格式将数值转换成文本", {u"Number", u"Decimals"}, {P::ptNumber, P::ptNumber},
         false, K::String, nullptr},
        {14, u"FIXED", u"用定点小数格式将数值舍入成特定位数并返回带或不带逗号的文本",
         {u"Number", u"Decimals", u"No_commas"}, {P::ptNumber, P::ptNumber, P::ptBoolean}, false, K::String,
         nullptr},
        {15, u"SIN", u"返回给定角度的正弦值", number, {P::ptNumber}, true, K::Number, Unary<Sin>},
        {16, u"COS", u"返回给定角度的余弦值", number, {P::ptNumber}, true, K::Number, Unary<Cos>},
        {17, u"TAN", u"返回给定角度的正切值", number, {P::ptNumber}, true, K::Number, Unary<Tan>},
        {18, u"ATAN", u"返回反正切值，以弧度表示，大小在 -Pi/2 到 Pi/2 之间", number, {P::ptNumber}, true,
         K::Number, Unary<Atan>},
        // Takes no argument, as PI() is written in workbooks.
        {19, u"PI", u"返回圆周率 Pi 的值，3.14159265358979，精确到 15 位", {}, {}, true, K::Number, Pi},
        {20, u"SQRT", u"返回数值的平方根", number, {P::ptNumber}, true, K::Number, Unary<Sqrt>},
        {21, u"EXP", u"返回 e 的 n 次方", number, {P::ptNumber}, true, K::Number, nullptr},
        {22, u"LN", u"返回给定数值的自然对数", number, {P::ptNumber}, true, K::Number, nullptr},
        {23, u"LOG10", u"返回给定数值以 10 为底的对数", number, {P::ptNumber}, true, K::Number, nullptr},
        {24, u"ABS", u"返回给定数值的绝对值，即不带符号的数值", number, {P::ptNumber}, true, K::Number,
         Unary<Abs>},
        {25, u"INT", u"将数值向下取整为最接近的整数", number, {P::ptNumber}, true, K::Number, nullptr},
        {26, u"SIGN", u"返回数字的正负号：为正时返回 1，为零时返回 0，为负时返回 -1", number, {P::ptNumber},
         true, K::Number, nullptr},
        // Registered with one parameter: ROUND(x, digits) is refused for its count.
        {27, u"ROUND", u"按指定的位数对数值进行四舍五入", number, {P::ptNumber}, true, K::Number, nullptr},
        {30, u"REPT", u"根据指定次数重复文本", {u"Text", u"Number_times"}, {P::ptString, P::ptNumber}, true,
         K::String, Rept},
        {31, u"MID", u"从文本字符串中指定的起始位置起返回指定长度的字符", {u"Text", u"Start_num", u"Num_chars"},
         {P::ptString, P::ptNumber, P::ptNumber}, true, K::String, nullptr},
        {32, u"LEN", u"返回文本字符串中的字符个数", {u"Text"}, {P::ptString}, true, K::Number, nullptr},
        {229, u"SINH", u"返回双曲正弦值", number, {P::ptNumber}, true, K::Number, nullptr},
        {230, u"COSH", u"返回双曲余弦值", number, {P::ptNumber}, true, K::Number, nullptr},
        {231, u"TANH", u"返回双曲正切值", number, {P::ptNumber}, true, K::Number, nullptr},
        {232, u"ASINH", u"返回反双曲正弦值", number, {P::ptNumber}, true, K::Number, nullptr},
        {233, u"ACOSH", u"返回反双曲余弦值", number, {P::ptNumber}, true, K::Number, nullptr},
        {234, u"ATANH", u"返回反双曲正切值", number, {P::ptNumber}, true, K::Number, nullptr},
        {1000, u"POWER", u"返回某数的乘幂", {u"Number", u"Power"}, {P::ptNumber, P::ptNumber}, true,
         K::Number, Power},
    };
}

}  // namespace

TKtStdFunctionList::TKtStdFunctionList() {
    for (Entry& e : Table()) {
        TKtFormulaFunctionDefine def;
        def.Id = e.id;
        def.Name = e.name;
        def.Description = e.description;
        def.ParamNames = std::move(e.params);
        def.ParamTypes = std::move(e.types);
        def.FixedCount = e.fixed;
        def.ResultKind = e.result;
        def.Impl = std::move(e.impl);
        const TKtFormulaFunctionDefine& added = Add(std::move(def));
        byId_.emplace(added.Id, &added);
    }
}

}  // namespace plu
