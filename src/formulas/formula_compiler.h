// The compiler: formula text (without the leading "=") to a postfix token
// list, by a shunting-yard pass over the lexemes.
#pragma once

#include <functional>

#include "base/wide_text.h"
#include "formulas/formula_token.h"

namespace plu {

class TKtFormulaNameList;
class TKtFunctionList;

// What a compilation consults: defined names, the user functions (searched
// first), the standard functions, and the sheets of the grid (index of a
// sheet by caption, -1 when no sheet has it).
struct TKtCompileEnvironment {
    const TKtFormulaNameList* Names = nullptr;
    const TKtFunctionList* UserFunctions = nullptr;
    const TKtFunctionList* StdFunctions = nullptr;
    std::function<int(WideStringView)> SheetIndexOf;
    char16_t DecimalSeparator = u'.';
};

// Throws EKtCompileError with the message of the failure: "string error",
// "Wrong number.", "括号不匹配", the unary-operator message, "公式中存在一个或
// 多个无效的引用", and position messages for a missing operand or operator,
// an unknown character, a function name without "(" and a "," outside an
// argument list.
TKtTokenList CompileFormula(WideStringView text, const TKtCompileEnvironment& env);

}  // namespace plu
