#include "grid/text_layout.h"

#include <algorithm>

namespace plu {

namespace {

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

// The paragraphs of text: CR LF, a lone CR and a lone LF each end one.
std::vector<WideStringView> SplitParagraphs(WideStringView text) {
    std::vector<WideStringView> out;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n') continue;
        out.push_back(text.substr(start, i - start));
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    out.push_back(text.substr(start));
    return out;
}

WideStringView TrimTrailingSpaces(WideStringView s) {
    size_t n = s.size();
    while (n > 0 && s[n - 1] == u' ') --n;
    return s.substr(0, n);
}

// The next segment of para from i (spaces, then a word) when it fits in
// room: its end, or 0 when it does not fit. A long segment is scanned and
// measured by growing prefixes, so a word of thousands of characters costs
// about the part that fits, not its whole length on every line.
size_t FittingSegmentEnd(ITextMeasurer& measurer, const TFont& font, WideStringView para,
                         size_t i, int room, int& width) {
    const size_t n = para.size();
    for (size_t len = 64;; len *= 2) {
        const size_t stop = std::min(n, i + len);
        size_t j = i;
        while (j < stop && para[j] == u' ') ++j;
        while (j < stop && para[j] != u' ') ++j;
        if (j < stop || stop == n) {
            width = measurer.TextWidth(font, para.substr(i, j - i));
            return width > room ? 0 : j;
        }
        if (measurer.TextWidth(font, para.substr(i, stop - i)) > room) return 0;
    }
}

// The number of characters of s (at least one) that fit in width.
size_t FittingPrefix(ITextMeasurer& measurer, const TFont& font, WideStringView s, int width) {
    // Double the length until it no longer fits, then search between.
    size_t lo = 1, hi = 1;
    while (hi < s.size() && measurer.TextWidth(font, s.substr(0, hi)) <= width) {
        lo = hi;
        hi = std::min(s.size(), hi * 2);
    }
    if (hi == s.size() && measurer.TextWidth(font, s) <= width) lo = hi;
    while (lo + 1 < hi) {
        size_t mid = lo + (hi - lo) / 2;
        if (measurer.TextWidth(font, s.substr(0, mid)) <= width)
            lo = mid;
        else
            hi = mid;
    }
    // Never split a surrogate pair.
    if (lo < s.size() && IsHighSurrogate(s[lo - 1])) lo = lo > 1 ? lo - 1 : lo + 1;
    return lo;
}

void BreakParagraph(ITextMeasurer& measurer, const TFont& font, WideStringView para, int width,
                    std::vector<WideString>& lines) {
    if (para.empty()) {
        lines.emplace_back();
        return;
    }
    size_t pos = 0;
    const size_t n = para.size();
    while (pos < n) {
        size_t lineEnd = pos;
        size_t i = pos;
        int lineWidth = 0;
        // Whole words (with the spaces before them) while they fit; widths
        // add up word by word.
        while (i < n) {
            int w = 0;
            const size_t j = FittingSegmentEnd(measurer, font, para, i, width - lineWidth, w);
            if (j == 0) break;
            lineWidth += w;
            lineEnd = j;
            i = j;
        }
        if (lineEnd == pos) {
            // The first word is wider than the line: break inside it.
            lineEnd = pos + FittingPrefix(measurer, font, para.substr(pos), width);
        }
        lines.emplace_back(TrimTrailingSpaces(para.substr(pos, lineEnd - pos)));
        pos = lineEnd;
        // The spaces at a break belong to neither line.
        while (pos < n && para[pos] == u' ') ++pos;
    }
}

// Tabs expand to the next stop of eight characters, as single-line drawing does.
WideString ExpandTabs(WideStringView text) {
    WideString out;
    for (char16_t c : text) {
        if (c != u'\t') {
            out.push_back(c);
            continue;
        }
        do out.push_back(u' ');
        while (out.size() % 8 != 0);
    }
    return out;
}

int AlignedX(ITextMeasurer& measurer, const TFont& font, const LayoutRect& clip,
             TKtGridHorzAlign align, WideStringView line) {
    switch (align) {
        case TKtGridHorzAlign::haLeft:
            return clip.Left;
        case TKtGridHorzAlign::haRight:
            return clip.Right - measurer.TextWidth(font, line);
        default:  // centre, also haFill, haJustify, across selection, unresolved general
            return clip.Left + (clip.Width() - measurer.TextWidth(font, line)) / 2;
    }
}

}  // namespace

int TextMargin(int devicePixelsPerInch) { return MulDiv(2, devicePixelsPerInch, kPixelsPerInch); }

bool NeedsMultiLineLayout(WideStringView text, bool wrap) {
    return wrap || text.find(u'\n') != WideStringView::npos;
}

std::vector<WideString> BreakTextLines(ITextMeasurer& measurer, const TFont& font,
                                       WideStringView text, int width) {
    std::vector<WideString> lines;
    for (WideStringView para : SplitParagraphs(text)) BreakParagraph(measurer, font, para, width, lines);
    return lines;
}

TextLayout LayoutText(ITextMeasurer& measurer, const TFont& font, const LayoutRect& rect,
                      bool wrap, TKtGridVertAlign vertAlign, TKtGridHorzAlign horzAlign,
                      WideStringView text, int devicePixelsPerInch) {
    TextLayout layout;
    const int margin = TextMargin(devicePixelsPerInch);
    layout.Clip = {rect.Left + margin, rect.Top, rect.Right - margin, rect.Bottom};
    const LayoutRect& clip = layout.Clip;
    if (clip.IsEmpty() || text.empty()) return layout;

    const FontMetrics m = measurer.Metrics(font);
    const int h = m.height;

    if (!NeedsMultiLineLayout(text, wrap)) {
        LayoutLine line;
        line.Text = ExpandTabs(text);
        line.X = AlignedX(measurer, font, clip, horzAlign, line.Text);
        switch (vertAlign) {
            case TKtGridVertAlign::vaTop:
                line.Top = clip.Top;
                break;
            case TKtGridVertAlign::vaBottom:
                line.Top = clip.Bottom - h;
                break;
            default:
                line.Top = clip.Top + (clip.Height() - h) / 2;
                break;
        }
        line.Bottom = clip.Bottom;
        layout.Lines.push_back(std::move(line));
        return layout;
    }

    std::vector<WideString> lines = BreakTextLines(measurer, font, text, clip.Width());
    const int e = m.externalLeading;
    const int height = clip.Height();
    int pitch = std::max(1, h + e);
    const int fitting = (height + e + pitch - 1) / pitch;
    const int n = std::min(static_cast<int>(lines.size()), std::max(0, fitting));
    const int block = n * pitch - e;
    int top = clip.Top;
    switch (vertAlign) {
        case TKtGridVertAlign::vaTop:
            top = clip.Top;
            break;
        case TKtGridVertAlign::vaCenter:
            top = clip.Top + (height - block) / 2;
            break;
        case TKtGridVertAlign::vaBottom:
            top = clip.Bottom - block;
            break;
        case TKtGridVertAlign::vaJustify:
            if (n > 0) {
                pitch = std::max(height / n, h);
                top = clip.Top + (pitch - h) / 2;
            }
            break;
    }
    top = std::max(top, clip.Top + m.descent);
    for (int i = 0; i < n; ++i, top += pitch) {
        if (top >= clip.Bottom) break;
        LayoutLine line;
        WideStringView t = lines[static_cast<size_t>(i)];
        line.Text = WideString(t.substr(0, kMaxLayoutLineLength));
        line.X = AlignedX(measurer, font, clip, horzAlign, line.Text);
        line.Top = top;
        line.Bottom = std::min(top + h, clip.Bottom);
        layout.Lines.push_back(std::move(line));
    }
    return layout;
}

int TextHeight(ITextMeasurer& measurer, const TFont& font, WideStringView text, int width,
               bool wrap, int devicePixelsPerInch) {
    const FontMetrics m = measurer.Metrics(font);
    const int extra =
        devicePixelsPerInch == kPixelsPerInch ? 1 : devicePixelsPerInch / kPixelsPerInch;
    if (!NeedsMultiLineLayout(text, wrap)) return m.height + extra;
    const int inner = width - 2 * TextMargin(devicePixelsPerInch);
    const int lines = static_cast<int>(BreakTextLines(measurer, font, text, inner).size());
    return lines * (m.height + m.externalLeading) + m.descent - m.externalLeading + extra;
}

}  // namespace plu
