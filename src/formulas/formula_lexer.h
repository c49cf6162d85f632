// The lexer of the formula language: splits a formula text (without its
// leading "=") into lexemes. Words are classified later by the compiler,
// which knows the names, functions and sheets.
#pragma once

#include <cstddef>
#include <vector>

#include "base/wide_text.h"
#include "formulas/formula_token.h"
#include "formulas/formula_value.h"

namespace plu {

enum class TKtLexemeKind : uint8_t {
    Operator,     // Op: every operator, "(", ")" and ","
    Number,       // Number
    String,       // Text (never empty)
    EmptyString,  // "" or ''
    Error,        // Error
    Word,         // Text
};

struct TKtLexeme {
    TKtLexemeKind Kind = TKtLexemeKind::Operator;
    TKtTokenKind Op = TKtTokenKind::Add;
    double Number = 0;
    TKtErrorCode Error = TKtErrorCode::Unknown;
    WideString Text;
    size_t Start = 0;  // position in the text
    size_t End = 0;    // one past the last character
};

// Throws EKtCompileError for an unterminated string ("string error"), a bad
// number ("Wrong number.") and a character that starts no lexeme. The decimal
// separator of numbers is `decimalSeparator`; when it is "," arguments are
// separated by ";" ("ROUND(3,5;0)"), else by ",".
std::vector<TKtLexeme> LexFormula(WideStringView text, char16_t decimalSeparator);

// The placeholder text of position messages: the formula up to `end`.
WideString TextUpTo(WideStringView text, size_t end);

}  // namespace plu
