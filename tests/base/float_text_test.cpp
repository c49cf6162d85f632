#include "base/float_text.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace plu;

struct GeneralCase {
    double value;
    int precision;
    const char16_t* text;
};

TEST(FloatText, GeneralForm) {
    const GeneralCase cases[] = {
        {0, 15, u"0"},
        {-0.0, 15, u"0"},
        {1, 15, u"1"},
        {12.5, 15, u"12.5"},
        {-3.25, 15, u"-3.25"},
        {1.0 / 3, 15, u"0.333333333333333"},
        {1.0 / 3, 10, u"0.3333333333"},
        {2.0 / 3, 10, u"0.6666666667"},
        {12345678901.0, 10, u"1.23456789E10"},
        {12345678901.0, 15, u"12345678901"},
        {1e20, 15, u"1E20"},
        {1e-6, 15, u"1E-6"},
        {0.00001, 15, u"0.00001"},
        {123456789012345.0, 15, u"123456789012345"},
        {1234567890123456.0, 15, u"1.23456789012346E15"},
        {0.1 + 0.2, 15, u"0.3"},
        {2000000000.0, 15, u"2000000000"},
        {9.9999999999999999, 15, u"10"},
        {-1.5e-7, 15, u"-1.5E-7"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToTextGeneral(c.value, c.precision, u'.'), c.text)
            << c.value << " with " << c.precision;
    EXPECT_EQ(FloatToTextGeneral(12.5, 15, u','), u"12,5");
    EXPECT_EQ(FloatToTextGeneral(INFINITY, 15, u'.'), u"INF");
    EXPECT_EQ(FloatToTextGeneral(-INFINITY, 15, u'.'), u"-INF");
    EXPECT_EQ(FloatToTextGeneral(NAN, 15, u'.'), u"NAN");
}

TEST(FloatText, FixedRoundsHalfAwayFromZeroOnTheDecimalExpansion) {
    EXPECT_EQ(FloatToTextFixed(0.125, 2, u'.'), u"0.13");  // binary 0.125 is exact: a true half
    EXPECT_EQ(FloatToTextFixed(2.5, 0, u'.'), u"3");
    EXPECT_EQ(FloatToTextFixed(-3.5, 0, u'.'), u"-4");
    EXPECT_EQ(FloatToTextFixed(-0.4, 0, u'.'), u"-0");
    EXPECT_EQ(FloatToTextFixed(0.5, 2, u'.'), u"0.50");
    EXPECT_EQ(FloatToTextFixed(0.0625, 3, u'.'), u"0.063");
    EXPECT_EQ(FloatToTextFixed(1.005, 2, u'.'), u"1.00");  // 1.00499999999999989 at 18 digits
    EXPECT_EQ(FloatToTextFixed(999.996, 2, u'.'), u"1000.00");
    EXPECT_EQ(FloatToTextFixed(0.004, 2, u'.'), u"0.00");
    EXPECT_EQ(FloatToTextFixed(1234567, 0, u'.', u','), u"1,234,567");
    EXPECT_EQ(FloatToTextFixed(-1234.5, 2, u',', u'.'), u"-1.234,50");
    EXPECT_EQ(FloatToTextFixed(123, 0, u'.', u','), u"123");
    EXPECT_EQ(FloatToTextFixed(1e20, 0, u'.'), u"100000000000000000000");
}

TEST(FloatText, ExponentForm) {
    EXPECT_EQ(FloatToTextExponent(12345, 15, 3, u'.'), u"1.23450000000000E+004");
    EXPECT_EQ(FloatToTextExponent(12345, 3, 2, u'.'), u"1.23E+04");
    EXPECT_EQ(FloatToTextExponent(0.00012, 3, 2, u'.'), u"1.20E-04");
    EXPECT_EQ(FloatToTextExponent(0, 3, 2, u'.'), u"0.00E+00");
    EXPECT_EQ(FloatToTextExponent(-9.999, 3, 2, u'.'), u"-1.00E+01");
}
