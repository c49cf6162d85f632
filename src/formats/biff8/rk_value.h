// RK values: a number packed into 32 bits. Bit 0: divide by 100; bit 1: the
// value is a signed 30-bit integer (bits 2-31); otherwise bits 2-31 are the
// top 30 bits of an IEEE double whose other bits are zero.
#pragma once

#include <cstdint>
#include <optional>

namespace plu {

double DecodeRK(uint32_t rk);

// Tries the multiplier 1, then 100; for each the float form before the
// integer form. Empty when the value fits neither.
std::optional<uint32_t> EncodeRK(double value);

}  // namespace plu
