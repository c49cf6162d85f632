// The 80-bit extended numbers of NUMBER records: every double goes out
// exactly and comes back unchanged; foreign extended values round to the
// nearest double.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "formats/native/extended_float.h"

namespace plu::testing {
namespace {

TExtendedBytes Extended(uint64_t significand, uint16_t signAndExponent) {
    TExtendedBytes b{};
    for (int i = 0; i < 8; ++i)
        b[static_cast<size_t>(i)] = static_cast<uint8_t>(significand >> (8 * i));
    b[8] = static_cast<uint8_t>(signAndExponent);
    b[9] = static_cast<uint8_t>(signAndExponent >> 8);
    return b;
}

TEST(ExtendedFloat, OneAndAHalfHasTheDocumentedBytes) {
    const TExtendedBytes expected = {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F};
    EXPECT_EQ(DoubleToExtended(1.5), expected);
    EXPECT_EQ(ExtendedToDouble(expected), 1.5);
}

TEST(ExtendedFloat, KnownEncodings) {
    // 7 = 1.75 * 2^2; -2 = -1.0 * 2^1; 0 and -0 keep their sign.
    EXPECT_EQ(DoubleToExtended(7.0), Extended(0xE000000000000000u, 0x4001));
    EXPECT_EQ(DoubleToExtended(-2.0), Extended(0x8000000000000000u, 0xC000));
    EXPECT_EQ(DoubleToExtended(0.0), Extended(0, 0));
    EXPECT_EQ(DoubleToExtended(-0.0), Extended(0, 0x8000));
    EXPECT_EQ(DoubleToExtended(std::numeric_limits<double>::infinity()),
              Extended(0x8000000000000000u, 0x7FFF));
    // The smallest subnormal double, 2^-1074, is a normal extended number.
    EXPECT_EQ(DoubleToExtended(std::numeric_limits<double>::denorm_min()),
              Extended(0x8000000000000000u, static_cast<uint16_t>(16383 - 1074)));
}

TEST(ExtendedFloat, EveryKindOfDoubleComesBackUnchanged) {
    const double values[] = {0.0,
                             -0.0,
                             1.0 / 3.0,
                             -123456.789,
                             1e300,
                             -1e-300,
                             std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::lowest(),
                             std::numeric_limits<double>::min(),
                             std::numeric_limits<double>::denorm_min(),
                             std::bit_cast<double>(uint64_t{0x000F123456789ABCu}),
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity()};
    for (double v : values) {
        const double back = ExtendedToDouble(DoubleToExtended(v));
        EXPECT_EQ(std::bit_cast<uint64_t>(back), std::bit_cast<uint64_t>(v)) << v;
    }
    EXPECT_TRUE(std::isnan(ExtendedToDouble(DoubleToExtended(std::nan("")))));
}

TEST(ExtendedFloat, ForeignValuesRoundToNearestEven) {
    // 1 + 2^-53 lies exactly between 1 and the next double: ties to even (1).
    EXPECT_EQ(ExtendedToDouble(Extended(0x8000000000000400u, 0x3FFF)), 1.0);
    // 1 + 3 * 2^-53 lies between 1 + 2^-52 (odd) and 1 + 2^-51: up to even.
    EXPECT_EQ(ExtendedToDouble(Extended(0x8000000000000C00u, 0x3FFF)), 1.0 + std::ldexp(1.0, -51));
    // Just above the tie goes up.
    EXPECT_EQ(ExtendedToDouble(Extended(0x8000000000000401u, 0x3FFF)), 1.0 + std::ldexp(1.0, -52));
    // All ones rounds up into the next binade.
    EXPECT_EQ(ExtendedToDouble(Extended(0xFFFFFFFFFFFFFFFFu, 0x3FFF)), 2.0);
}

TEST(ExtendedFloat, ValuesBeyondTheDoubleRange) {
    EXPECT_EQ(ExtendedToDouble(Extended(0x8000000000000000u, 0x7FFE)),
              std::numeric_limits<double>::infinity());
    EXPECT_EQ(ExtendedToDouble(Extended(0x8000000000000000u, 0xFFFE)),
              -std::numeric_limits<double>::infinity());
    // 2^-1075 is half the smallest subnormal: ties to even gives 0; a bit
    // more gives the smallest subnormal; far below is 0.
    EXPECT_EQ(ExtendedToDouble(Extended(0x8000000000000000u, 16383 - 1075)), 0.0);
    EXPECT_EQ(ExtendedToDouble(Extended(0x8000000000000001u, 16383 - 1075)),
              std::numeric_limits<double>::denorm_min());
    EXPECT_EQ(ExtendedToDouble(Extended(0x8000000000000000u, 1)), 0.0);
    // Rounding a subnormal result up can reach the smallest normal double.
    EXPECT_EQ(ExtendedToDouble(Extended(0xFFFFFFFFFFFFFFFFu, 16383 - 1023)),
              std::numeric_limits<double>::min());
}

TEST(ExtendedFloat, UnusualEncodingsReadByTheirValue) {
    // An unnormal (leading bit clear) 0x4000... * 2^(1-63) is 0.5.
    EXPECT_EQ(ExtendedToDouble(Extended(0x4000000000000000u, 0x3FFF)), 0.5);
    // A denormal extended value is far below the double range.
    EXPECT_EQ(ExtendedToDouble(Extended(0x4000000000000000u, 0)), 0.0);
    EXPECT_TRUE(std::isnan(ExtendedToDouble(Extended(0xC000000000000001u, 0x7FFF))));
    EXPECT_TRUE(std::isinf(ExtendedToDouble(Extended(0, 0x7FFF))));
}

}  // namespace
}  // namespace plu::testing
