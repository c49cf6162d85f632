#include "formats/biff8/rk_value.h"

#include <cmath>
#include <cstring>

namespace plu {

double DecodeRK(uint32_t rk) {
    double v;
    if (rk & 0x02) {
        v = static_cast<double>(static_cast<int32_t>(rk) >> 2);
    } else {
        uint64_t bits = static_cast<uint64_t>(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&v, &bits, 8);
    }
    return (rk & 0x01) ? v / 100.0 : v;
}

std::optional<uint32_t> EncodeRK(double value) {
    for (int multiplier : {1, 100}) {
        const double y = value * multiplier;
        uint64_t bits;
        std::memcpy(&bits, &y, 8);
        const uint32_t high = static_cast<uint32_t>(bits >> 32);
        const uint32_t flag = multiplier == 100 ? 1u : 0u;
        if (static_cast<uint32_t>(bits) == 0 && (high & 0x03) == 0) return high + flag;
        if (std::floor(y) == y && y >= -536870912.0 && y <= 536870911.0) {
            const int32_t i = static_cast<int32_t>(y);
            return static_cast<uint32_t>(i) * 4u + 2u + flag;
        }
    }
    return std::nullopt;
}

}  // namespace plu
