#include "link/numbers.h"

#include "base/conversions.h"

namespace plu {

std::string HexField(uint32_t value, int minDigits) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string digits;
    do {
        digits.insert(digits.begin(), kHex[value & 0x0F]);
        value >>= 4;
    } while (value != 0);
    if (static_cast<int>(digits.size()) < minDigits)
        digits.insert(0, static_cast<std::size_t>(minDigits) - digits.size(), '0');
    return digits;
}

int32_t ScaleDecimal(std::string_view digits) {
    WideString wide;
    wide.reserve(digits.size());
    for (char b : digits) wide.push_back(static_cast<char16_t>(static_cast<uint8_t>(b)));
    return StrToInt(wide);
}

int32_t ShownNumberDigits(WideStringView shown) {
    WideString digits;
    digits.reserve(shown.size());
    for (char16_t c : shown)
        if (c != u'.' && c != u',') digits.push_back(c);
    return StrToInt(digits);
}

WideString ScaledIntegerText(int64_t value, int decimals, char16_t decimalSeparator) {
    const bool negative = value < 0;
    uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    uint64_t divisor = 1;
    for (int i = 0; i < decimals; ++i) divisor *= 10;
    WideString text = negative ? u"-" : u"";
    text += AsciiToWide(std::to_string(magnitude / divisor));
    if (decimals > 0) {
        std::string fraction = std::to_string(magnitude % divisor);
        fraction.insert(0, static_cast<std::size_t>(decimals) - fraction.size(), '0');
        text.push_back(decimalSeparator);
        text += AsciiToWide(fraction);
    }
    return text;
}

}  // namespace plu
