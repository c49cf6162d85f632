#include "clipboard/clipboard_text.h"

#include "grid/cell.h"
#include "grid/custom_grid.h"

namespace plu {

namespace {

constexpr char16_t kQuote = u'"';
constexpr char16_t kTab = u'\t';
constexpr char16_t kCr = u'\r';
constexpr char16_t kLf = u'\n';
// The highest column index a grid (and so a pasted block) can hold.
constexpr int kMaxBlockCol = 65535;

bool NeedsQuotes(WideStringView t) {
    return t.find(u' ') != WideStringView::npos || t.find(kQuote) != WideStringView::npos ||
           t.find(u"\r\n") != WideStringView::npos;
}

void AppendQuoted(WideString& out, WideStringView t) {
    out += kQuote;
    for (char16_t c : t) {
        out += c;
        if (c == kQuote) out += kQuote;
    }
    out += kQuote;
}

WideString Dequote(WideStringView field) {
    if (field.empty() || field[0] != kQuote) return WideString(field);
    WideString content;
    size_t i = 1;
    while (i < field.size()) {
        if (field[i] == kQuote) {
            if (i + 1 < field.size() && field[i + 1] == kQuote) {
                content += kQuote;
                i += 2;
                continue;
            }
            break;  // the closing quote; what follows it is dropped
        }
        content += field[i++];
    }
    if (content.empty()) return WideString(field);
    return content;
}

}  // namespace

WideString CopiedRangeText(const TKtCustomGrid& grid, const TRect& rect) {
    WideString out;
    for (int row = rect.Top; row < rect.Bottom; ++row) {
        for (int col = rect.Left; col < rect.Right; ++col) {
            if (const TKtCell* cell = grid.FindCell(col, row)) {
                const WideString t = cell->GetText(true);
                if (NeedsQuotes(t))
                    AppendQuoted(out, t);
                else
                    out += t;
            }
            if (col + 1 < rect.Right) out += kTab;
        }
        if (row + 1 < rect.Bottom) out += u"\r\n";
    }
    return out;
}

std::unique_ptr<TKwSheet> SplitClipboardText(WideStringView text) {
    auto owned = std::make_unique<TKwSheet>();
    TKwSheet& block = *owned;
    const bool lfEndsRow = text.find(kCr) == WideStringView::npos;
    int col = 0, row = 0;
    int width = 0, height = 0;
    size_t start = 0;  // first character of the current field
    auto store = [&](size_t end) {
        if (col <= kMaxBlockCol) {
            block.SetText(col, row, Dequote(text.substr(start, end - start)));
            width = std::max(width, col + 1);
            height = std::max(height, row + 1);
        }
    };
    size_t i = 0;
    bool inQuotes = false;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (inQuotes) {
            if (c == kQuote) {
                if (i + 1 < text.size() && text[i + 1] == kQuote)
                    ++i;
                else
                    inQuotes = false;
            }
            continue;
        }
        if (c == kQuote) {
            inQuotes = true;
        } else if (c == u'\0') {
            break;
        } else if (c == kTab) {
            store(i);
            ++col;
            start = i + 1;
        } else if (c == kCr || (c == kLf && lfEndsRow)) {
            store(i);
            if (c == kCr && i + 1 < text.size() && text[i + 1] == kLf) ++i;
            col = 0;
            ++row;
            start = i + 1;
        }
    }
    if (i > start) store(i);
    block.SetColCount(width);
    block.SetRowCount(height);
    return owned;
}

}  // namespace plu
