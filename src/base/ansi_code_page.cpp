#include "base/ansi_code_page.h"

namespace plu {
namespace {

// Windows-1252 bytes 0x80..0x9F; the rest of the code page equals Latin-1.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};

int ByteOf(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return c;
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c) return 0x80 + i;
    return -1;
}

}  // namespace

char16_t AnsiCharToWide(unsigned char byte) {
    return (byte >= 0x80 && byte < 0xA0) ? kHigh[byte - 0x80] : static_cast<char16_t>(byte);
}

unsigned char WideCharToAnsi(char16_t c) {
    int b = ByteOf(c);
    return b < 0 ? static_cast<unsigned char>('?') : static_cast<unsigned char>(b);
}

bool IsAnsiRepresentable(char16_t c) { return ByteOf(c) >= 0; }

WideString AnsiToWide(std::string_view bytes) {
    WideString out;
    out.resize(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i)
        out[i] = AnsiCharToWide(static_cast<unsigned char>(bytes[i]));
    return out;
}

std::string WideToAnsi(WideStringView text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF)
            ++i;  // a pair is one character: one "?"
        out.push_back(static_cast<char>(WideCharToAnsi(c)));
    }
    return out;
}

}  // namespace plu
