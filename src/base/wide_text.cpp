#include "base/wide_text.h"

namespace plu {

WideString Utf8ToWide(std::string_view text) {
    WideString out;
    out.reserve(text.size());
    size_t i = 0;
    const size_t n = text.size();
    auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    while (i < n) {
        unsigned char b = byte(i);
        char32_t cp;
        size_t len;
        if (b < 0x80) {
            cp = b;
            len = 1;
        } else if ((b & 0xE0) == 0xC0) {
            cp = b & 0x1F;
            len = 2;
        } else if ((b & 0xF0) == 0xE0) {
            cp = b & 0x0F;
            len = 3;
        } else if ((b & 0xF8) == 0xF0) {
            cp = b & 0x07;
            len = 4;
        } else {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        if (i + len > n) {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        bool ok = true;
        for (size_t k = 1; k < len; ++k) {
            unsigned char c = byte(i + k);
            if ((c & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (c & 0x3F);
        }
        // Reject overlong forms, surrogates and values beyond U+10FFFF.
        static const char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (!ok || cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += len;
    }
    return out;
}

std::string WideToUtf8(WideStringView text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

WideString Trim(WideStringView text) {
    size_t b = 0, e = text.size();
    while (b < e && text[b] <= 32) ++b;
    while (e > b && text[e - 1] <= 32) --e;
    return WideString(text.substr(b, e - b));
}

WideString TrimLeft(WideStringView text) {
    size_t b = 0;
    while (b < text.size() && text[b] <= 32) ++b;
    return WideString(text.substr(b));
}

WideString TrimRight(WideStringView text) {
    size_t e = text.size();
    while (e > 0 && text[e - 1] <= 32) --e;
    return WideString(text.substr(0, e));
}

std::string TrimBytes(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= 32) ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= 32) --e;
    return std::string(text.substr(b, e - b));
}

char16_t ToUpperChar(char16_t c) {
    if (c < 0x80) return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 32);
    if (c == 0xFF) return 0x178;
    if (c >= 0x100 && c <= 0x17F) {
        // Latin Extended-A alternates upper/lower, with a shift at 0x139..0x148 and 0x179..0x17E.
        if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
            return (c % 2 == 0) ? static_cast<char16_t>(c - 1) : c;
        if (c != 0x131 && c != 0x138 && c != 0x149 && c != 0x17F)
            return (c % 2 == 1) ? static_cast<char16_t>(c - 1) : c;
        return c;
    }
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return static_cast<char16_t>(c - 32);
    if (c >= 0x430 && c <= 0x44F) return static_cast<char16_t>(c - 32);
    if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 80);
    if (c >= 0xFF41 && c <= 0xFF5A) return static_cast<char16_t>(c - 32);
    return c;
}

char16_t ToLowerChar(char16_t c) {
    if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 32);
    if (c == 0x178) return 0xFF;
    if (c >= 0x100 && c <= 0x17F) {
        if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
            return (c % 2 == 1) ? static_cast<char16_t>(c + 1) : c;
        if (c != 0x130 && c != 0x138 && c != 0x149 && c != 0x17F)
            return (c % 2 == 0) ? static_cast<char16_t>(c + 1) : c;
        return c;
    }
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return static_cast<char16_t>(c + 32);
    if (c >= 0x410 && c <= 0x42F) return static_cast<char16_t>(c + 32);
    if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 80);
    if (c >= 0xFF21 && c <= 0xFF3A) return static_cast<char16_t>(c + 32);
    return c;
}

WideString UpperCase(WideStringView text) {
    WideString out(text);
    for (auto& c : out) c = ToUpperChar(c);
    return out;
}

WideString LowerCase(WideStringView text) {
    WideString out(text);
    for (auto& c : out) c = ToLowerChar(c);
    return out;
}

int CompareText(WideStringView a, WideStringView b) {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        char16_t x = ToUpperChar(a[i]), y = ToUpperChar(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool SameText(WideStringView a, WideStringView b) {
    return a.size() == b.size() && CompareText(a, b) == 0;
}

bool StartsWith(WideStringView text, WideStringView prefix) { return text.starts_with(prefix); }

bool EndsWith(WideStringView text, WideStringView suffix) { return text.ends_with(suffix); }

WideString ReplaceAll(WideStringView text, WideStringView from, WideStringView to) {
    if (from.empty()) return WideString(text);
    WideString out;
    size_t pos = 0;
    while (true) {
        size_t hit = text.find(from, pos);
        if (hit == WideStringView::npos) break;
        out.append(text.substr(pos, hit - pos));
        out.append(to);
        pos = hit + from.size();
    }
    out.append(text.substr(pos));
    return out;
}

WideString IntToWide(int64_t value) {
    char buf[24];
    int len = 0;
    uint64_t mag = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    do {
        buf[len++] = static_cast<char>('0' + mag % 10);
        mag /= 10;
    } while (mag != 0);
    WideString out;
    out.reserve(len + 1);
    if (value < 0) out.push_back(u'-');
    while (len > 0) out.push_back(static_cast<char16_t>(buf[--len]));
    return out;
}

WideString AsciiToWide(std::string_view ascii) {
    WideString out;
    out.reserve(ascii.size());
    for (unsigned char c : ascii) out.push_back(c);
    return out;
}

}  // namespace plu
