#include "formulas/cell_reference.h"

#include <algorithm>

namespace plu {
namespace {

bool IsLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
int LetterValue(char16_t c) { return (c >= u'a' ? c - u'a' : c - u'A'); }

// Parses one corner; `partial` allows a missing row or column.
bool ParsePart(WideStringView s, TKtCellRefPart& out, bool partial) {
    size_t i = 0;
    TKtCellRefPart p;
    p.Col = -1;
    p.Row = -1;
    bool dollarCol = i < s.size() && s[i] == u'$';
    if (dollarCol) ++i;
    size_t letters = 0;
    int col = 0;
    while (i < s.size() && IsLetter(s[i])) {
        if (++letters > 2) return false;
        col = letters == 1 ? LetterValue(s[i]) : (col + 1) * 26 + LetterValue(s[i]);
        ++i;
    }
    if (letters > 0) {
        if (col > kMaxFormulaCol) return false;
        p.Col = col;
        p.AbsCol = dollarCol;
    }
    bool dollarRow = i < s.size() && s[i] == u'$';
    if (dollarRow) {
        if (letters == 0 && dollarCol) return false;  // "$$1"
        ++i;
    }
    size_t digitsStart = i;
    int64_t row = 0;
    while (i < s.size() && IsDigit(s[i])) {
        row = row * 10 + (s[i] - u'0');
        if (row > kMaxFormulaRow + 1) return false;
        ++i;
    }
    size_t digits = i - digitsStart;
    if (i != s.size()) return false;
    if (digits > 0) {
        if (row < 1) return false;
        p.Row = static_cast<int32_t>(row - 1);
        p.AbsRow = dollarRow;
    } else if (dollarRow) {
        return false;  // "A$"
    }
    if (letters == 0 && digits == 0) return false;
    if (letters == 0 && dollarCol) {
        // "$1": the "$" belongs to the row that follows.
        p.AbsRow = true;
    }
    if (!partial && (letters == 0 || digits == 0)) return false;
    out = p;
    return true;
}

}  // namespace

WideString ColumnLetters(int col) {
    WideString s;
    if (col < 0) return s;
    if (col < 26) {
        s.push_back(static_cast<char16_t>(u'A' + col));
    } else {
        s.push_back(static_cast<char16_t>(u'A' + col / 26 - 1));
        s.push_back(static_cast<char16_t>(u'A' + col % 26));
    }
    return s;
}

bool ParseCellReference(WideStringView text, TKtCellRefPart& out) {
    return ParsePart(text, out, false);
}

bool ParseRangeReference(WideStringView text, TKtCellRefPart& first, TKtCellRefPart& last) {
    size_t colon = text.find(u':');
    if (colon == WideStringView::npos) return false;
    TKtCellRefPart a, b;
    if (!ParsePart(text.substr(0, colon), a, true)) return false;
    if (!ParsePart(text.substr(colon + 1), b, true)) return false;
    first = a;
    last = b;
    return true;
}

WideString CellRefText(const TKtCellRefPart& part) {
    WideString s;
    if (part.Col >= 0) {
        if (part.AbsCol) s.push_back(u'$');
        s += ColumnLetters(part.Col);
    }
    if (part.Row >= 0) {
        if (part.AbsRow) s.push_back(u'$');
        s += IntToWide(part.Row + 1);
    }
    return s;
}

TKtCellRect RangeRect(const TKtCellRefPart& first, const TKtCellRefPart& last) {
    auto span = [](int a, int b, int max, int& lo, int& hi) {
        if (a < 0 && b < 0) {
            lo = 0;
            hi = max;
        } else if (a < 0 || b < 0) {
            // One corner leaves the part out: the range runs to that edge.
            int known = a < 0 ? b : a;
            lo = a < 0 ? 0 : known;
            hi = a < 0 ? known : max;
        } else {
            lo = std::min(a, b);
            hi = std::max(a, b);
        }
    };
    TKtCellRect r;
    span(first.Col, last.Col, kMaxFormulaCol, r.Left, r.Right);
    span(first.Row, last.Row, kMaxFormulaRow, r.Top, r.Bottom);
    return r;
}

}  // namespace plu
