#include "formulas/source_text.h"

#include <vector>

#include "base/float_text.h"
#include "formulas/function_list.h"
#include "formulas/name_list.h"

namespace plu {
namespace {

constexpr char16_t kUnknownToken[] = u"Unknown Token";
constexpr char16_t kInvalidFormula[] = u"Invalid formula";

bool IsBinary(TKtTokenKind k) { return k >= TKtTokenKind::Less && k <= TKtTokenKind::Power; }
bool IsCall(TKtTokenKind k) { return k == TKtTokenKind::Function || k == TKtTokenKind::UnknownFunction; }

WideString ReferenceText(const TKtToken& t, const TKtSourceTextEnvironment& env) {
    WideString s;
    if (t.Sheet >= 0) {
        WideString sheet = env.SheetName ? env.SheetName(t.Sheet) : WideString();
        if (sheet.empty()) return WideString(ErrorName(TKtErrorCode::Ref));
        s = sheet + u"!";
    }
    s += CellRefText(t.First);
    if (t.Kind == TKtTokenKind::Range) s += u":" + CellRefText(t.Last);
    return s;
}

WideString LeafText(const TKtTokenList& list, const TKtToken& t, const TKtSourceTextEnvironment& env) {
    switch (t.Kind) {
        case TKtTokenKind::Number: return FloatToTextGeneral(t.Number, 15, env.DecimalSeparator);
        case TKtTokenKind::String: return QuoteFormulaString(list.StringOf(t));
        case TKtTokenKind::EmptyString: return u"\"\"";
        case TKtTokenKind::Boolean: return t.Index ? u"TRUE" : u"FALSE";
        case TKtTokenKind::Error: return WideString(ErrorName(t.ErrorCode()));
        case TKtTokenKind::Name:
            if (env.Names && env.Names->Contains(t.Index)) return env.Names->Name(t.Index);
            return WideString(ErrorName(TKtErrorCode::Name));
        case TKtTokenKind::CellRef:
        case TKtTokenKind::Range: return ReferenceText(t, env);
        default: throw EKtCalcError(kUnknownToken);
    }
}

}  // namespace

WideString QuoteFormulaString(WideStringView text) {
    WideString s = u"\"";
    for (char16_t c : text) {
        if (c == u'"') s.push_back(u'"');
        s.push_back(c);
    }
    s.push_back(u'"');
    return s;
}

WideString FormulaSourceText(const TKtTokenList& list, const TKtSourceTextEnvironment& env) {
    const std::vector<TKtToken>& tokens = list.Tokens;
    const size_t n = tokens.size();
    // The expression tree: children of node i are kids[first[i] .. first[i] + count(i)).
    std::vector<int> first(n, 0), kids, stack;
    kids.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        const TKtToken& t = tokens[i];
        switch (t.Kind) {
            case TKtTokenKind::ArgSeparator:
            case TKtTokenKind::OpenParen:
            case TKtTokenKind::CloseParen: throw EKtCalcError(kUnknownToken);
            default: break;
        }
        if (t.Kind > TKtTokenKind::Error) throw EKtCalcError(kUnknownToken);
        int k = OperandCount(t);
        if (k < 0 || static_cast<size_t>(k) > stack.size()) throw EKtCalcError(kInvalidFormula);
        first[i] = static_cast<int>(kids.size());
        kids.insert(kids.end(), stack.end() - k, stack.end());
        stack.resize(stack.size() - static_cast<size_t>(k));
        stack.push_back(static_cast<int>(i));
    }
    if (stack.size() != 1) throw EKtCalcError(kInvalidFormula);

    const WideString separator = env.DecimalSeparator == u',' ? u";" : u",";
    WideString out;
    struct Frame {
        int node;
        int phase;  // index of the next child to write
    };
    std::vector<Frame> work{{stack.back(), 0}};
    while (!work.empty()) {
        Frame f = work.back();
        work.pop_back();
        const TKtToken& t = tokens[static_cast<size_t>(f.node)];
        const int count = OperandCount(t);
        if (f.phase == 0) {
            out.append(t.Parens, u'(');
            if (t.Kind == TKtTokenKind::UnaryMinus || t.Kind == TKtTokenKind::UnaryPlus) {
                out += OperatorText(t.Kind);
            } else if (t.Kind == TKtTokenKind::Function) {
                out += t.Function ? t.Function->Name : WideString(ErrorName(TKtErrorCode::Name));
                out += u"(";
            } else if (t.Kind == TKtTokenKind::UnknownFunction) {
                out += list.StringOf(t) + u"(";
            } else if (count == 0) {
                out += LeafText(list, t, env);
            }
        } else if (f.phase < count) {
            if (IsBinary(t.Kind)) out += OperatorText(t.Kind);
            if (IsCall(t.Kind)) out += separator;
        }
        if (f.phase < count) {
            work.push_back({f.node, f.phase + 1});
            work.push_back({kids[static_cast<size_t>(first[static_cast<size_t>(f.node)] + f.phase)], 0});
            continue;
        }
        if (t.Kind == TKtTokenKind::Percent) out += u"%";
        if (IsCall(t.Kind)) out += u")";
        out.append(t.Parens, u')');
    }
    return out;
}

}  // namespace plu
