#include "formulas/formula_lexer.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace plu {
namespace {

constexpr char16_t kStringError[] = u"string error";
constexpr char16_t kWrongNumber[] = u"Wrong number.";
constexpr char16_t kUnknownCharacter[] = u"在位置[%s]处有错误，无法识别的字符";

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsAsciiLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }
bool StartsWord(char16_t c) { return IsAsciiLetter(c) || c == u'_' || c == u'$' || c > 127; }
bool ContinuesWord(char16_t c) {
    return StartsWord(c) || IsDigit(c) || c == u':' || c == u'!';
}

// Converts the ASCII digits of a literal; overflow fails, underflow gives 0.
bool ToDouble(const std::string& ascii, double& out) {
    double v = 0;
    auto [end, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), v);
    if (end != ascii.data() + ascii.size()) return false;
    if (ec == std::errc::result_out_of_range) {
        // Decimal magnitude of the literal: integer digits plus the exponent.
        size_t i = 0;
        int magnitude = 0;
        while (i < ascii.size() && ascii[i] == '0') ++i;
        bool leadingFraction = i < ascii.size() && ascii[i] == '.';
        if (leadingFraction) {
            ++i;
            while (i < ascii.size() && ascii[i] == '0') {
                --magnitude;
                ++i;
            }
        } else {
            while (i < ascii.size() && ascii[i] >= '0' && ascii[i] <= '9') {
                ++magnitude;
                ++i;
            }
        }
        long exponent = 0;
        size_t e = ascii.find('e');
        if (e != std::string::npos) {
            bool negative = e + 1 < ascii.size() && ascii[e + 1] == '-';
            for (size_t k = e + 1; k < ascii.size(); ++k)
                if (ascii[k] >= '0' && ascii[k] <= '9')
                    exponent = std::min(exponent * 10 + (ascii[k] - '0'), 1000000L);
            if (negative) exponent = -exponent;
        }
        if (magnitude + exponent > 0) return false;
        v = 0;
    } else if (ec != std::errc()) {
        return false;
    }
    // Formula text writes numbers with 15 significant digits; a literal that
    // would round above the largest double could not be read back.
    if (v > 1.79769313486231e308) return false;
    out = v;
    return true;
}

bool PreviousMakesUnary(const std::vector<TKtLexeme>& out) {
    if (out.empty()) return true;
    const TKtLexeme& p = out.back();
    if (p.Kind != TKtLexemeKind::Operator) return false;
    return p.Op != TKtTokenKind::CloseParen && p.Op != TKtTokenKind::Percent;
}

}  // namespace

WideString TextUpTo(WideStringView text, size_t end) {
    return WideString(text.substr(0, std::min(end, text.size())));
}

std::vector<TKtLexeme> LexFormula(WideStringView text, char16_t decimalSeparator) {
    std::vector<TKtLexeme> out;
    size_t i = 0;
    const size_t n = text.size();
    auto op = [&](TKtTokenKind kind, size_t start, size_t length) {
        TKtLexeme l;
        l.Kind = TKtLexemeKind::Operator;
        l.Op = kind;
        l.Start = start;
        l.End = start + length;
        out.push_back(std::move(l));
        i = start + length;
    };
    while (i < n) {
        char16_t c = text[i];
        if (c <= 32) {
            ++i;
            continue;
        }
        size_t start = i;
        if (c == u'"' || c == u'\'') {
            WideString s;
            size_t j = i + 1;
            bool closed = false;
            while (j < n) {
                if (text[j] == c) {
                    if (j + 1 < n && text[j + 1] == c) {
                        s.push_back(c);
                        j += 2;
                        continue;
                    }
                    closed = true;
                    break;
                }
                s.push_back(text[j++]);
            }
            if (!closed) throw EKtCompileError(kStringError);
            TKtLexeme l;
            l.Kind = s.empty() ? TKtLexemeKind::EmptyString : TKtLexemeKind::String;
            l.Text = std::move(s);
            l.Start = start;
            l.End = j + 1;
            out.push_back(std::move(l));
            i = j + 1;
            continue;
        }
        if (c == u'#') {
            size_t best = 0;
            TKtErrorCode code = TKtErrorCode::Unknown;
            for (int k = 0; k < kErrorCodeCount; ++k) {
                auto candidate = static_cast<TKtErrorCode>(k);
                WideStringView name = ErrorName(candidate);
                if (name.size() > best && i + name.size() <= n &&
                    SameText(text.substr(i, name.size()), name)) {
                    best = name.size();
                    code = candidate;
                }
            }
            if (best == 0) throw EKtCompileError(FormatMessage(kUnknownCharacter, TextUpTo(text, i + 1)));
            TKtLexeme l;
            l.Kind = TKtLexemeKind::Error;
            l.Error = code;
            l.Start = start;
            l.End = i + best;
            out.push_back(std::move(l));
            i += best;
            continue;
        }
        if (IsDigit(c)) {
            std::string ascii;
            while (i < n && IsDigit(text[i])) ascii.push_back(static_cast<char>(text[i++]));
            if (i < n && text[i] == decimalSeparator) {
                ascii.push_back('.');
                ++i;
                while (i < n && IsDigit(text[i])) ascii.push_back(static_cast<char>(text[i++]));
            }
            if (i < n && (text[i] == u'e' || text[i] == u'E')) {
                ascii.push_back('e');
                ++i;
                if (i < n && (text[i] == u'+' || text[i] == u'-')) ascii.push_back(static_cast<char>(text[i++]));
                size_t digits = 0;
                while (i < n && IsDigit(text[i])) {
                    ascii.push_back(static_cast<char>(text[i++]));
                    ++digits;
                }
                if (digits == 0) throw EKtCompileError(kWrongNumber);
            }
            if (!ascii.empty() && ascii.back() == '.') ascii.pop_back();
            TKtLexeme l;
            l.Kind = TKtLexemeKind::Number;
            if (!ToDouble(ascii, l.Number)) throw EKtCompileError(kWrongNumber);
            l.Start = start;
            l.End = i;
            out.push_back(std::move(l));
            continue;
        }
        if (StartsWord(c)) {
            size_t j = i;
            while (j < n && ContinuesWord(text[j])) ++j;
            TKtLexeme l;
            l.Kind = TKtLexemeKind::Word;
            l.Text = WideString(text.substr(i, j - i));
            l.Start = start;
            l.End = j;
            out.push_back(std::move(l));
            i = j;
            continue;
        }
        switch (c) {
            case u'+':
                op(PreviousMakesUnary(out) ? TKtTokenKind::UnaryPlus : TKtTokenKind::Add, i, 1);
                break;
            case u'-':
                op(PreviousMakesUnary(out) ? TKtTokenKind::UnaryMinus : TKtTokenKind::Subtract, i, 1);
                break;
            case u'%': op(TKtTokenKind::Percent, i, 1); break;
            case u'&': op(TKtTokenKind::Concat, i, 1); break;
            case u'*': op(TKtTokenKind::Multiply, i, 1); break;
            case u'/': op(TKtTokenKind::Divide, i, 1); break;
            case u'^': op(TKtTokenKind::Power, i, 1); break;
            case u'(': op(TKtTokenKind::OpenParen, i, 1); break;
            case u')': op(TKtTokenKind::CloseParen, i, 1); break;
            case u',':
            case u';':
                // The argument separator is ";" where "," is the decimal
                // separator, else ",".
                if (c != (decimalSeparator == u',' ? u';' : u','))
                    throw EKtCompileError(FormatMessage(kUnknownCharacter, TextUpTo(text, i + 1)));
                op(TKtTokenKind::ArgSeparator, i, 1);
                break;
            case u'=': op(TKtTokenKind::Equal, i, 1); break;
            case u'<':
                if (i + 1 < n && text[i + 1] == u'=')
                    op(TKtTokenKind::LessEqual, i, 2);
                else if (i + 1 < n && text[i + 1] == u'>')
                    op(TKtTokenKind::NotEqual, i, 2);
                else
                    op(TKtTokenKind::Less, i, 1);
                break;
            case u'>':
                if (i + 1 < n && text[i + 1] == u'=')
                    op(TKtTokenKind::GreaterEqual, i, 2);
                else
                    op(TKtTokenKind::Greater, i, 1);
                break;
            default: throw EKtCompileError(FormatMessage(kUnknownCharacter, TextUpTo(text, i + 1)));
        }
    }
    return out;
}

}  // namespace plu
