// Turning a compiled token list back into formula text (without "="):
// operators without spaces, parentheses where the source had them, functions
// as NAME(a,b), numbers in general form, strings in double quotes with inner
// quotes doubled, references in A1 form with their "$" marks and sheet part.
#pragma once

#include <functional>

#include "base/wide_text.h"
#include "formulas/formula_token.h"

namespace plu {

class TKtFormulaNameList;

struct TKtSourceTextEnvironment {
    const TKtFormulaNameList* Names = nullptr;
    // Caption of a sheet by index; empty when there is no such sheet (the
    // reference is then written "#REF!").
    std::function<WideString(int)> SheetName;
    char16_t DecimalSeparator = u'.';
};

// Throws EKtCalcError "Unknown Token" for a token kind that has no text.
// Runs in time proportional to the result, without recursion.
WideString FormulaSourceText(const TKtTokenList& list, const TKtSourceTextEnvironment& env);

// A string literal as the language writes it: "a""b".
WideString QuoteFormulaString(WideStringView text);

}  // namespace plu
