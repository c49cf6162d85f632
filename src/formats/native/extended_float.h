// The 80-bit extended-precision float of the native grid stream (the x87
// double-extended format): a 64-bit significand with an explicit leading
// bit, then a 16-bit word holding the sign (bit 15) and a 15-bit exponent
// biased by 16383. Stored little-endian: significand bytes 0 ... 7, then
// the sign/exponent word at bytes 8 ... 9.
//
// Every double converts exactly (1.5 is 00 00 00 00 00 00 00 C0 FF 3F).
// The way back rounds to the nearest double, ties to even; values beyond
// the double range become infinities, values below its smallest subnormal
// become zero. Any ten bytes give a value (no UB, no trap): denormals,
// unnormals and pseudo-denormals are read by their numeric value, an
// all-ones exponent gives an infinity (fraction zero) or a quiet NaN.
#pragma once

#include <array>
#include <cstdint>

namespace plu {

using TExtendedBytes = std::array<uint8_t, 10>;

TExtendedBytes DoubleToExtended(double value);
double ExtendedToDouble(const TExtendedBytes& bytes);

}  // namespace plu
