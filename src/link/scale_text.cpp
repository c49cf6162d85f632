#include "link/scale_text.h"

namespace plu {

std::string ToScaleText(WideStringView text, int width) {
    WideString trimmed = Trim(text);
    if (width > 0 && trimmed.size() > static_cast<std::size_t>(width)) trimmed.resize(width);
    std::string bytes;
    bytes.reserve(trimmed.size());
    for (char16_t c : trimmed) {
        auto b = static_cast<uint8_t>(c & 0xFF);
        if (b >= 'a' && b <= 'z') b = static_cast<uint8_t>(b - 'a' + 'A');
        bytes.push_back(static_cast<char>(b));
    }
    return bytes;
}

std::string ScaleField(WideStringView text, int width) {
    std::string bytes = ToScaleText(text, width);
    if (width > 0 && bytes.size() < static_cast<std::size_t>(width))
        bytes.insert(0, static_cast<std::size_t>(width) - bytes.size(), ' ');
    return bytes;
}

WideString FromScaleText(std::string_view bytes) {
    WideString wide;
    wide.reserve(bytes.size());
    for (char b : bytes) wide.push_back(static_cast<char16_t>(static_cast<uint8_t>(b)));
    return Trim(wide);
}

bool IsScaleTextByte(uint8_t byte) {
    if (byte == ' ' || byte == '(' || byte == ')') return true;
    if (byte >= '0' && byte <= '9') return true;
    if (byte >= 'A' && byte <= 'Z') return true;
    switch (byte) {
        case 0xC0: case 0xC2: case 0xC6: case 0xC7: case 0xC8: case 0xC9: case 0xCA:
        case 0xCB: case 0xCE: case 0xCF: case 0xD4: case 0xD9: case 0xDB: case 0xDC:
            return true;
        default:
            return false;
    }
}

bool IsScaleText(std::string_view bytes) {
    for (char b : bytes)
        if (!IsScaleTextByte(static_cast<uint8_t>(b))) return false;
    return true;
}

}  // namespace plu
