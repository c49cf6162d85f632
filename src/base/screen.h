// Screen geometry of the core: 96 pixels per inch, and MulDiv rounding like
// the Windows function of that name (half away from zero, -1 on overflow or a
// zero divisor).
#pragma once

#include <cstdint>

namespace plu {

constexpr int kPixelsPerInch = 96;

constexpr int32_t MulDiv(int32_t number, int32_t numerator, int32_t denominator) {
    if (denominator == 0) return -1;
    int64_t product = static_cast<int64_t>(number) * numerator;
    bool negative = (product < 0) != (denominator < 0);
    uint64_t p = product < 0 ? 0 - static_cast<uint64_t>(product) : static_cast<uint64_t>(product);
    uint64_t d = denominator < 0 ? 0 - static_cast<uint64_t>(static_cast<int64_t>(denominator))
                                 : static_cast<uint64_t>(denominator);
    uint64_t q = (p + d / 2) / d;
    if (q > (negative ? uint64_t{2147483648u} : uint64_t{2147483647u})) return -1;
    return negative ? static_cast<int32_t>(0 - static_cast<int64_t>(q)) : static_cast<int32_t>(q);
}

// Pixels <-> twips (1/20 point, 1/1440 inch) at 96 dpi.
constexpr int32_t PixelsToTwips(int32_t pixels) { return MulDiv(pixels, 1440, kPixelsPerInch); }
constexpr int32_t TwipsToPixels(int32_t twips) { return MulDiv(twips, kPixelsPerInch, 1440); }

// A font's size in points from its height in pixels and back, as the
// runtime's font object converts them (height negative: character height).
constexpr int32_t FontHeightToSize(int32_t height) { return -MulDiv(height, 72, kPixelsPerInch); }
constexpr int32_t FontSizeToHeight(int32_t size) { return -MulDiv(size, kPixelsPerInch, 72); }

}  // namespace plu
