#include "formulas/formula_compiler.h"

#include <optional>
#include <vector>

#include "formulas/formula_lexer.h"
#include "formulas/function_list.h"
#include "formulas/name_list.h"

namespace plu {
namespace {

constexpr char16_t kParenMismatch[] = u"括号不匹配";
constexpr char16_t kUnaryOperand[] = u"在位置[%s]处有错误，单目运算符之后必须直接跟操作数";
constexpr char16_t kInvalidReference[] = u"公式中存在一个或多个无效的引用";
constexpr char16_t kMissingOperand[] = u"在位置[%s]处有错误，缺少操作数";
constexpr char16_t kMissingOperator[] = u"在位置[%s]处有错误，缺少运算符";
constexpr char16_t kFunctionNeedsParen[] = u"在位置[%s]处有错误，函数名之后必须跟左括号";
constexpr char16_t kSeparatorOutside[] = u"在位置[%s]处有错误，逗号只能用来分隔函数的参数";

// An entry of the operator stack: an operator, or an opening parenthesis
// (of a function call when Function or UnknownName is set).
struct StackEntry {
    TKtTokenKind Kind = TKtTokenKind::OpenParen;
    const TKtFormulaFunctionDefine* Function = nullptr;
    std::optional<WideString> UnknownName;
    int Separators = 0;
    bool IsCall() const { return Function != nullptr || UnknownName.has_value(); }
};

class Compiler {
public:
    Compiler(WideStringView text, const TKtCompileEnvironment& env) : text_(text), env_(env) {}

    TKtTokenList Run() {
        lexemes_ = LexFormula(text_, env_.DecimalSeparator);
        for (index_ = 0; index_ < lexemes_.size(); ++index_) Step(lexemes_[index_]);
        End();
        return std::move(out_);
    }

private:
    [[noreturn]] void Fail(const char16_t* message, size_t end) {
        throw EKtCompileError(FormatMessage(message, TextUpTo(text_, end)));
    }

    bool NextIsOpenParen() const {
        return index_ + 1 < lexemes_.size() && lexemes_[index_ + 1].Kind == TKtLexemeKind::Operator &&
               lexemes_[index_ + 1].Op == TKtTokenKind::OpenParen;
    }

    void Step(const TKtLexeme& lex) {
        if (call_ && !(lex.Kind == TKtLexemeKind::Operator && lex.Op == TKtTokenKind::OpenParen))
            Fail(kFunctionNeedsParen, lex.End);
        TKtToken t;
        switch (lex.Kind) {
            case TKtLexemeKind::Number:
                t.Kind = TKtTokenKind::Number;
                t.Number = lex.Number;
                return Operand(t, lex);
            case TKtLexemeKind::String:
                t.Kind = TKtTokenKind::String;
                t.Index = out_.AddString(lex.Text);
                return Operand(t, lex);
            case TKtLexemeKind::EmptyString: t.Kind = TKtTokenKind::EmptyString; return Operand(t, lex);
            case TKtLexemeKind::Error:
                t.Kind = TKtTokenKind::Error;
                t.Index = static_cast<int32_t>(lex.Error);
                return Operand(t, lex);
            case TKtLexemeKind::Word: return Word(lex);
            case TKtLexemeKind::Operator: return Operator(lex);
        }
    }

    void Word(const TKtLexeme& lex) {
        const WideString& w = lex.Text;
        TKtToken t;
        if (SameText(w, u"TRUE") || SameText(w, u"FALSE")) {
            t.Kind = TKtTokenKind::Boolean;
            t.Index = SameText(w, u"TRUE") ? 1 : 0;
            return Operand(t, lex);
        }
        if (env_.Names) {
            int name = env_.Names->IndexOf(w);
            if (name >= 0) {
                t.Kind = TKtTokenKind::Name;
                t.Index = name;
                return Operand(t, lex);
            }
        }
        const TKtFormulaFunctionDefine* f = env_.UserFunctions ? env_.UserFunctions->Find(w) : nullptr;
        if (!f && env_.StdFunctions) f = env_.StdFunctions->Find(w);
        if (f) {
            StackEntry call;
            call.Function = f;
            return Call(std::move(call), lex);
        }
        size_t bang = w.find(u'!');
        WideStringView rest = w;
        if (bang != WideString::npos) {
            int sheet = env_.SheetIndexOf ? env_.SheetIndexOf(WideStringView(w).substr(0, bang)) : -1;
            if (sheet < 0) throw EKtCompileError(kInvalidReference);
            t.Sheet = sheet;
            rest = WideStringView(w).substr(bang + 1);
        }
        if (rest.find(u':') != WideStringView::npos) {
            if (ParseRangeReference(rest, t.First, t.Last)) {
                t.Kind = TKtTokenKind::Range;
                if (afterUnary_) Fail(kUnaryOperand, lex.End);
                return Operand(t, lex);
            }
        } else if (ParseCellReference(rest, t.First)) {
            t.Kind = TKtTokenKind::CellRef;
            return Operand(t, lex);
        }
        if (bang == WideString::npos && NextIsOpenParen()) {
            // A call of a function nobody registered compiles, keeps its
            // name for the formula text, and shows "#NAME?".
            StackEntry call;
            call.UnknownName = w;
            return Call(std::move(call), lex);
        }
        TKtToken error;
        error.Kind = TKtTokenKind::Error;
        error.Index = static_cast<int32_t>(TKtErrorCode::Name);
        Operand(error, lex);
    }

    void Operand(const TKtToken& t, const TKtLexeme& lex) {
        if (!expectOperand_) Fail(kMissingOperator, lex.End);
        out_.Tokens.push_back(t);
        expectOperand_ = false;
        afterUnary_ = false;
    }

    void Call(StackEntry call, const TKtLexeme& lex) {
        if (!expectOperand_) Fail(kMissingOperator, lex.End);
        call_ = std::move(call);
        afterUnary_ = false;
    }

    void PopWhile(int precedence) {
        while (!stack_.empty() && stack_.back().Kind != TKtTokenKind::OpenParen &&
               OperatorPrecedence(stack_.back().Kind) >= precedence) {
            TKtToken t;
            t.Kind = stack_.back().Kind;
            out_.Tokens.push_back(t);
            stack_.pop_back();
        }
    }

    void Operator(const TKtLexeme& lex) {
        const TKtTokenKind op = lex.Op;
        if (op == TKtTokenKind::UnaryPlus || op == TKtTokenKind::UnaryMinus) {
            // A prefix operator has no left operand: it pops nothing, so
            // "2*-3" and "$A$1*-A2^2" keep the operator before them.
            StackEntry e;
            e.Kind = op;
            stack_.push_back(e);
            afterUnary_ = true;
            return;
        }
        if (op == TKtTokenKind::OpenParen) {
            if (!expectOperand_) Fail(kMissingOperator, lex.End);
            StackEntry e;
            if (call_) {
                e = std::move(*call_);
                call_.reset();
            }
            e.Kind = TKtTokenKind::OpenParen;
            stack_.push_back(std::move(e));
            afterUnary_ = false;
            return;
        }
        if (afterUnary_) Fail(kUnaryOperand, lex.End);
        if (op == TKtTokenKind::CloseParen) return CloseParen(lex);
        if (expectOperand_) Fail(kMissingOperand, lex.End);
        if (op == TKtTokenKind::ArgSeparator) {
            PopWhile(0);
            if (stack_.empty() || !stack_.back().IsCall()) Fail(kSeparatorOutside, lex.End);
            ++stack_.back().Separators;
            expectOperand_ = true;
            return;
        }
        if (op == TKtTokenKind::Percent) {
            // A postfix operator applies to what stands before it: it is
            // written out at once, after the tighter-binding operators.
            PopWhile(OperatorPrecedence(op));
            TKtToken t;
            t.Kind = op;
            out_.Tokens.push_back(t);
            return;
        }
        PopWhile(OperatorPrecedence(op));
        StackEntry e;
        e.Kind = op;
        stack_.push_back(e);
        expectOperand_ = true;
    }

    void CloseParen(const TKtLexeme& lex) {
        bool emptyCall = false;
        if (expectOperand_) {
            const TKtLexeme& prev = lexemes_[index_ > 0 ? index_ - 1 : 0];
            emptyCall = index_ > 0 && prev.Kind == TKtLexemeKind::Operator &&
                        prev.Op == TKtTokenKind::OpenParen && !stack_.empty() && stack_.back().IsCall();
            if (!emptyCall) {
                if (stack_.empty()) throw EKtCompileError(kParenMismatch);
                Fail(kMissingOperand, lex.End);
            }
        }
        PopWhile(0);
        if (stack_.empty()) throw EKtCompileError(kParenMismatch);
        StackEntry open = std::move(stack_.back());
        stack_.pop_back();
        if (open.IsCall()) {
            TKtToken t;
            t.ArgCount = emptyCall ? 0 : open.Separators + 1;
            if (open.Function) {
                t.Kind = TKtTokenKind::Function;
                t.Function = open.Function;
            } else {
                t.Kind = TKtTokenKind::UnknownFunction;
                t.Index = out_.AddString(std::move(*open.UnknownName));
            }
            out_.Tokens.push_back(t);
        } else {
            ++out_.Tokens.back().Parens;
        }
        expectOperand_ = false;
    }

    void End() {
        if (afterUnary_) Fail(kUnaryOperand, text_.size());
        if (call_) Fail(kFunctionNeedsParen, text_.size());
        if (expectOperand_) Fail(kMissingOperand, text_.size());
        PopWhile(0);
        if (!stack_.empty()) throw EKtCompileError(kParenMismatch);
    }

    WideStringView text_;
    const TKtCompileEnvironment& env_;
    std::vector<TKtLexeme> lexemes_;
    size_t index_ = 0;
    TKtTokenList out_;
    std::vector<StackEntry> stack_;
    std::optional<StackEntry> call_;  // a function name waiting for its "("
    bool expectOperand_ = true;
    bool afterUnary_ = false;
};

}  // namespace

TKtTokenList CompileFormula(WideStringView text, const TKtCompileEnvironment& env) {
    return Compiler(text, env).Run();
}

}  // namespace plu
