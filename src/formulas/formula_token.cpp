#include "formulas/formula_token.h"

#include <utility>

namespace plu {

int TKtTokenList::AddString(WideString text) {
    Strings.push_back(std::move(text));
    return static_cast<int>(Strings.size() - 1);
}

const WideString& TKtTokenList::StringOf(const TKtToken& token) const {
    static const WideString kEmpty;
    if (token.Index < 0 || static_cast<size_t>(token.Index) >= Strings.size()) return kEmpty;
    return Strings[static_cast<size_t>(token.Index)];
}

int OperatorPrecedence(TKtTokenKind kind) {
    switch (kind) {
        case TKtTokenKind::ArgSeparator: return 1;
        case TKtTokenKind::Less:
        case TKtTokenKind::LessEqual:
        case TKtTokenKind::Greater:
        case TKtTokenKind::GreaterEqual:
        case TKtTokenKind::NotEqual:
        case TKtTokenKind::Equal: return 2;
        case TKtTokenKind::Concat: return 3;
        case TKtTokenKind::Add:
        case TKtTokenKind::Subtract: return 4;
        case TKtTokenKind::UnaryPlus:
        case TKtTokenKind::UnaryMinus:
        case TKtTokenKind::Percent: return 5;
        case TKtTokenKind::Multiply:
        case TKtTokenKind::Divide: return 6;
        case TKtTokenKind::Power: return 7;
        default: return 0;
    }
}

int OperandCount(const TKtToken& token) {
    switch (token.Kind) {
        case TKtTokenKind::UnaryPlus:
        case TKtTokenKind::UnaryMinus:
        case TKtTokenKind::Percent: return 1;
        case TKtTokenKind::Function:
        case TKtTokenKind::UnknownFunction: return token.ArgCount;
        default: return token.IsOperator() && token.Kind != TKtTokenKind::ArgSeparator ? 2 : 0;
    }
}

WideStringView OperatorText(TKtTokenKind kind) {
    switch (kind) {
        case TKtTokenKind::ArgSeparator: return u",";
        case TKtTokenKind::UnaryPlus: return u"+";
        case TKtTokenKind::UnaryMinus: return u"-";
        case TKtTokenKind::Percent: return u"%";
        case TKtTokenKind::Less: return u"<";
        case TKtTokenKind::LessEqual: return u"<=";
        case TKtTokenKind::Greater: return u">";
        case TKtTokenKind::GreaterEqual: return u">=";
        case TKtTokenKind::NotEqual: return u"<>";
        case TKtTokenKind::Equal: return u"=";
        case TKtTokenKind::Add: return u"+";
        case TKtTokenKind::Subtract: return u"-";
        case TKtTokenKind::Concat: return u"&";
        case TKtTokenKind::Multiply: return u"*";
        case TKtTokenKind::Divide: return u"/";
        case TKtTokenKind::Power: return u"^";
        case TKtTokenKind::OpenParen: return u"(";
        case TKtTokenKind::CloseParen: return u")";
        default: return u"";
    }
}

}  // namespace plu
