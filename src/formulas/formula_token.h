// The compiled form of a formula: a postfix token list.
#pragma once

#include <cstdint>
#include <vector>

#include "base/wide_text.h"
#include "formulas/cell_reference.h"
#include "formulas/formula_value.h"

namespace plu {

struct TKtFormulaFunctionDefine;

enum class TKtTokenKind : uint8_t {
    ArgSeparator,  // compile time only
    UnaryPlus,
    UnaryMinus,
    Percent,
    Less,
    LessEqual,
    Greater,
    GreaterEqual,
    NotEqual,
    Equal,
    Add,
    Subtract,
    Concat,
    Multiply,
    Divide,
    Power,
    OpenParen,   // compile time only
    CloseParen,  // compile time only
    Function,         // Function, ArgCount
    UnknownFunction,  // a call of a function nobody registered: Index = name in the string pool, ArgCount
    Name,             // Index = index in the name list
    CellRef,          // Sheet, First
    Range,            // Sheet, First, Last
    EmptyString,
    Number,   // Number
    String,   // Index = text in the string pool
    Boolean,  // Index 0 or 1
    Error,    // Index = error code
};

struct TKtToken {
    TKtTokenKind Kind = TKtTokenKind::Number;
    // Pairs of parentheses the source put around the subexpression this
    // token ends; SourceText writes them back.
    uint32_t Parens = 0;
    int32_t Sheet = -1;
    int32_t Index = 0;
    int32_t ArgCount = 0;
    double Number = 0;
    const TKtFormulaFunctionDefine* Function = nullptr;
    TKtCellRefPart First;
    TKtCellRefPart Last;

    bool IsOperator() const { return Kind <= TKtTokenKind::Power; }
    bool IsReference() const { return Kind == TKtTokenKind::CellRef || Kind == TKtTokenKind::Range; }
    TKtErrorCode ErrorCode() const { return static_cast<TKtErrorCode>(Index); }
};

// Tokens in postfix order plus the texts that string tokens and unknown
// function calls point into.
struct TKtTokenList {
    std::vector<TKtToken> Tokens;
    std::vector<WideString> Strings;

    int AddString(WideString text);
    const WideString& StringOf(const TKtToken& token) const;
    bool Empty() const { return Tokens.empty(); }
};

// Precedence of an operator token (higher binds tighter), 0 for other kinds.
int OperatorPrecedence(TKtTokenKind kind);
// How many values an operator or call takes from the value stack.
int OperandCount(const TKtToken& token);
// The operator's text ("<=", "&", "-" for both minus operators).
WideStringView OperatorText(TKtTokenKind kind);

}  // namespace plu
