#include "formats/native/font_name_text.h"

#include <iconv.h>

#include <optional>

#include "base/ansi_code_page.h"

namespace plu {

namespace {

// One conversion through glibc's iconv; nullopt when the converter is missing
// or the input does not convert completely.
std::optional<std::string> Convert(const char* to, const char* from, std::string_view input) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string in(input);
    std::string out(input.size() * 2 + 8, '\0');
    char* inPtr = in.data();
    size_t inLeft = in.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1) || inLeft != 0) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

bool IsChineseText(char16_t c) {
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFFEF);
}

bool IsGbkLeadByte(unsigned char b) {
    return b >= 0x81 && b <= 0xFE;
}

// Cuts GBK bytes to the limit without leaving half a character behind.
std::string CutGbk(const std::string& bytes) {
    size_t end = 0;
    for (size_t i = 0; i < bytes.size();) {
        const size_t width = IsGbkLeadByte(static_cast<unsigned char>(bytes[i])) ? 2 : 1;
        if (i + width > kMaxFontNameBytes) break;
        i += width;
        end = i;
    }
    return bytes.substr(0, end);
}

std::optional<WideString> DecodeGbk(std::string_view bytes) {
    std::optional<std::string> utf16 = Convert("UTF-16LE", "GBK", bytes);
    if (!utf16) return std::nullopt;
    WideString text;
    text.reserve(utf16->size() / 2);
    for (size_t i = 0; i + 1 < utf16->size(); i += 2)
        text.push_back(static_cast<char16_t>(static_cast<unsigned char>((*utf16)[i]) |
                                             (static_cast<unsigned char>((*utf16)[i + 1]) << 8)));
    bool chinese = false;
    for (char16_t c : text) {
        if (c < 0x80) continue;
        if (!IsChineseText(c)) return std::nullopt;
        chinese = true;
    }
    if (!chinese) return std::nullopt;
    return text;
}

}  // namespace

std::string EncodeFontName(WideStringView name) {
    bool ansi = true;
    bool chinese = true;  // every character is ASCII or Chinese
    for (char16_t c : name) {
        if (!IsAnsiRepresentable(c)) ansi = false;
        if (c >= 0x80 && !IsChineseText(c)) chinese = false;
    }
    // GBK only for names that read back as GBK (see DecodeFontName).
    if (!ansi && chinese) {
        std::string utf16;
        utf16.reserve(name.size() * 2);
        for (char16_t c : name) {
            utf16.push_back(static_cast<char>(c & 0xFF));
            utf16.push_back(static_cast<char>(c >> 8));
        }
        if (std::optional<std::string> gbk = Convert("GBK", "UTF-16LE", utf16)) return CutGbk(*gbk);
    }
    std::string bytes = WideToAnsi(name);
    if (bytes.size() > kMaxFontNameBytes) bytes.resize(kMaxFontNameBytes);
    return bytes;
}

WideString DecodeFontName(std::string_view bytes) {
    bool ascii = true;
    for (char b : bytes)
        if (static_cast<unsigned char>(b) >= 0x80) ascii = false;
    if (!ascii)
        if (std::optional<WideString> text = DecodeGbk(bytes)) return *text;
    return AnsiToWide(bytes);
}

}  // namespace plu
