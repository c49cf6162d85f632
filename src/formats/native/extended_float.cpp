#include "formats/native/extended_float.h"

#include <bit>
#include <cstddef>

namespace plu {

namespace {

constexpr int kExtendedBias = 16383;
constexpr int kDoubleBias = 1023;
constexpr uint64_t kLeadingBit = uint64_t{1} << 63;
constexpr uint64_t kDoubleFraction = (uint64_t{1} << 52) - 1;

TExtendedBytes Pack(bool negative, uint16_t exponent, uint64_t significand) {
    TExtendedBytes out{};
    for (int i = 0; i < 8; ++i)
        out[static_cast<size_t>(i)] = static_cast<uint8_t>(significand >> (8 * i));
    const uint16_t word = static_cast<uint16_t>((negative ? 0x8000 : 0) | (exponent & 0x7FFF));
    out[8] = static_cast<uint8_t>(word);
    out[9] = static_cast<uint8_t>(word >> 8);
    return out;
}

double FromBits(bool negative, uint64_t bits) {
    return std::bit_cast<double>(bits | (negative ? kLeadingBit : 0));
}

}  // namespace

TExtendedBytes DoubleToExtended(double value) {
    const uint64_t bits = std::bit_cast<uint64_t>(value);
    const bool negative = (bits >> 63) != 0;
    const int exponent = static_cast<int>((bits >> 52) & 0x7FF);
    const uint64_t fraction = bits & kDoubleFraction;

    if (exponent == 0x7FF) {
        // Infinity keeps only the explicit bit; a NaN keeps its payload and
        // stays quiet.
        if (fraction == 0) return Pack(negative, 0x7FFF, kLeadingBit);
        return Pack(negative, 0x7FFF, kLeadingBit | (uint64_t{1} << 62) | (fraction << 11));
    }
    if (exponent == 0) {
        if (fraction == 0) return Pack(negative, 0, 0);
        // A subnormal double is a normal extended number: shift its fraction
        // up to the explicit leading bit and lower the exponent to match.
        const int shift = std::countl_zero(fraction);
        const int unbiased = -1074 + 63 - shift;
        return Pack(negative, static_cast<uint16_t>(unbiased + kExtendedBias), fraction << shift);
    }
    return Pack(negative, static_cast<uint16_t>(exponent - kDoubleBias + kExtendedBias),
                kLeadingBit | (fraction << 11));
}

double ExtendedToDouble(const TExtendedBytes& bytes) {
    uint64_t significand = 0;
    for (int i = 7; i >= 0; --i)
        significand = (significand << 8) | bytes[static_cast<size_t>(i)];
    const uint16_t word = static_cast<uint16_t>(bytes[8] | (bytes[9] << 8));
    const bool negative = (word & 0x8000) != 0;
    const int exponent = word & 0x7FFF;

    if (exponent == 0x7FFF) {
        // The explicit bit is ignored here: fraction zero is an infinity,
        // anything else a NaN (quiet, payload kept where a double can hold it).
        const uint64_t fraction = significand & ~kLeadingBit;
        if (fraction == 0) return FromBits(negative, uint64_t{0x7FF} << 52);
        return FromBits(negative, (uint64_t{0x7FF} << 52) | (uint64_t{1} << 51) |
                                      ((fraction >> 11) & kDoubleFraction));
    }
    if (significand == 0) return FromBits(negative, 0);

    // value = significand * 2^(e - 16383 - 63), where denormals (exponent 0)
    // use e = 1. Normalise so that the leading one is bit 63; then the value
    // is 1.f * 2^unbiased.
    const int shift = std::countl_zero(significand);
    significand <<= shift;
    int unbiased = (exponent == 0 ? 1 : exponent) - kExtendedBias - shift;

    if (unbiased > kDoubleBias) return FromBits(negative, uint64_t{0x7FF} << 52);
    if (unbiased >= -1022) {
        uint64_t mantissa = significand >> 11;  // 53 bits, leading one included
        const uint64_t rest = significand & 0x7FF;
        if (rest > 0x400 || (rest == 0x400 && (mantissa & 1) != 0)) ++mantissa;
        if (mantissa == (uint64_t{1} << 53)) {
            mantissa >>= 1;
            ++unbiased;
            if (unbiased > kDoubleBias) return FromBits(negative, uint64_t{0x7FF} << 52);
        }
        return FromBits(negative, (static_cast<uint64_t>(unbiased + kDoubleBias) << 52) |
                                      (mantissa & kDoubleFraction));
    }
    // Subnormal result: units of 2^-1074. Bit 0 of the significand stands for
    // 2^(unbiased - 63), so the significand is shifted right by drop bits.
    const int drop = -1011 - unbiased;  // >= 12 here
    if (drop > 64) return FromBits(negative, 0);
    if (drop == 64) return FromBits(negative, significand > kLeadingBit ? 1 : 0);
    uint64_t units = significand >> drop;
    const uint64_t rest = significand & ((uint64_t{1} << drop) - 1);
    const uint64_t half = uint64_t{1} << (drop - 1);
    if (rest > half || (rest == half && (units & 1) != 0)) ++units;
    // units may reach 2^52, which is exactly the bit image of the smallest normal.
    return FromBits(negative, units);
}

}  // namespace plu
