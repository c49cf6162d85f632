// Number formats: one line per case, format string, value and the exact text.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "base/date_time.h"
#include "base/regional_settings.h"
#include "grid/format_list.h"
#include "grid/grid_style.h"
#include "grid/number_format.h"
#include "grid/resource_manager.h"

namespace plu {
namespace {

struct Case {
    const char* format;  // UTF-8
    double value;
    const char* expected;  // UTF-8
};

std::string Utf8(const WideString& w) { return WideToUtf8(w); }

class NumberFormat : public ::testing::Test {
protected:
    ScopedRegionalSettings regional{RegionalSettings::Defaults()};

    // Formats through a style, as a cell does.
    static std::string Show(const char* format, double value, TColor* colorOut = nullptr) {
        TKtGridStyle style;
        style.SetFormatString(Utf8ToWide(format));
        TColor color = clNone;
        WideString text = FormatStyleNumber(style, value, color);
        if (colorOut) *colorOut = color;
        return Utf8(text);
    }

    static void Check(const std::vector<Case>& cases) {
        for (const Case& c : cases)
            EXPECT_EQ(Show(c.format, c.value), c.expected)
                << "format \"" << c.format << "\" value " << c.value;
    }
};

double Time(int h, int m, int s = 0) { return EncodeTime(h, m, s, 0); }

TEST_F(NumberFormat, PluSheetFormatsRoundAndPadAsSpecified) {
    Check({
        {"0", 7, "7"},
        {"0", 12.5, "13"},
        {"0", 0, "0"},
        {"0", -3.5, "-4"},
        {"0", -0.4, "-0"},
        {".00", 12.5, "12.50"},
        {".00", 0.5, "0.50"},
        {".00", 3, "3.00"},
        {".00", 0.125, "0.13"},
        {".00", 1234.5, "1234.50"},
        {".000", 1.5, "1.500"},
        {".000", 0.0625, "0.063"},
        {".000", 2, "2.000"},
        {"00000", 123, "00123"},
        {"00000", 0, "00000"},
        {"00000", 1234567, "1234567"},
        {"00000", 12.5, "00013"},
        {"00000", -12, "-00012"},
    });
}

TEST_F(NumberFormat, TextAndGeneralFormatsUseSignificantDigits) {
    Check({
        {"@", 12.5, "12.5"},
        {"@", 1.0 / 3, "0.333333333333333"},
        {"", 1.0 / 3, "0.3333333333"},
        {"General", 12345678901.0, "1.23456789E10"},
        {"", 2000000000, "2000000000"},
        {"", 1e20, "1E20"},
        {"", -0.000001, "-1E-6"},
        {";;;", 5, "5"},
        {";0", 5, "5"},
    });
}

TEST_F(NumberFormat, ThousandsPercentScaleAndOptionalPlaces) {
    Check({
        {"#,##0", 1234567, "1,234,567"},
        {"#,##0", 5, "5"},
        {"#,##0", -1234567, "-1,234,567"},
        {"#,##0.00_);(#,##0.00)", 1234.5, "1,234.50 "},
        {"#,##0.00_);(#,##0.00)", -1234.5, "(1,234.50)"},
        {"0%", 0.5, "50%"},
        {"0.00%", 0.1234, "12.34%"},
        {"0.0,", 12345, "12.3"},
        {"0.0,,", 123456789, "123.5"},
        {"0.??", 1.25, "1.25"},
        {"#.##", 0.5, "0.50"},  // the fixed text's digits are all taken
        {"?0", 5, " 5"},
        {"\"Rs\" 0.00", 3.14159, "Rs 3.14"},
        {"0\" kg\"", 12, "12 kg"},
        {"\\$0", 4, "$4"},
        {"0_)", 4, "4 "},
        {"* 0", 4, " 4"},
        {"0;(0);\"zero\"", 0, "zero"},
        {"0;(0);\"zero\"", -3, "(3)"},
        {"0;(0);\"zero\"", 3, "3"},
        {"0 \"unclosed", 3, "3 "},
        {"0 [Red", 3, "3 "},
        {"0\\", 3, "3"},
        {"0_", 3, "3"},
    });
}

TEST_F(NumberFormat, ColourCodesSelectTheTextColour) {
    TColor color = clNone;
    EXPECT_EQ(Show("[Red]0;[Blue]-0", -5, &color), "-5");
    EXPECT_EQ(color, 0xFF0000);
    EXPECT_EQ(Show("[Red]0;[Blue]-0", 5, &color), "5");
    EXPECT_EQ(color, 0x0000FF);

    // A section without a colour code leaves the caller's colour.
    TKtGridStyle style;
    style.SetFormatString(u"0");
    TColor font = 0x123456;
    EXPECT_EQ(FormatStyleNumber(style, 5, font), u"5");
    EXPECT_EQ(font, 0x123456);

    const std::vector<std::pair<const char*, TColor>> names = {
        {"[Black]", 0x000000}, {"[cyan]", 0xFFFF00},  {"[Magenta]", 0x800080},
        {"[WHITE]", 0xFFFFFF}, {"[Blue]", 0xFF0000},  {"[Green]", 0x008000},
        {"[Red]", 0x0000FF},   {"[Yellow]", 0x00FFFF}, {"[Orange]", clNone},
    };
    for (const auto& [code, expected] : names) {
        TKtNumberFormatMask mask;
        mask.SetMask(Utf8ToWide(std::string(code) + "0"));
        EXPECT_EQ(mask.SectionColor(1), expected) << code;
    }
    // The colour follows the chosen section; an empty slot has none.
    TKtNumberFormatMask mask;
    mask.SetMask(u"[Green]0;;[Red]0");
    EXPECT_EQ(mask.SectionColor(-1), 0x008000);
    EXPECT_EQ(mask.SectionColor(0), 0x0000FF);
    mask.SetMask(u";[Red]0");
    EXPECT_EQ(mask.SectionColor(1), clNone);
    EXPECT_EQ(mask.FormatValue(1.5), u"1.5");
}

TEST_F(NumberFormat, TimesWithMarkersAndElapsedUnits) {
    Check({
        {"h:mm AM/PM", Time(0, 30), "12:30 AM"},
        {"h:mm AM/PM", Time(13, 5), "1:05 PM"},
        {"hh:mm am/pm", Time(23, 5), "11:05 pm"},
        {"h a/p", Time(9, 0), "9 a"},
        {"[h]:mm:ss", Time(1, 45), "1:45:00"},
        {"[h]:mm:ss", 1.5, "36:00:00"},
        {"[mm]:ss", 1.5 / 24, "90:00"},
        {"[s]", 1 + Time(0, 0, 5), "86405"},
        {"mm:ss", Time(0, 5, 30), "05:30"},
        {"h:mm:ss", Time(1, 45), "1:45:00"},
        {"h:mm:ss", Time(23, 59, 59) + 0.9996 / 86400, "0:00:00"},
        {"上午/下午h:mm", Time(14, 5), "下午2:05"},
        {"上午/下午hh:mm", Time(9, 5), "上午09:05"},
        {"h:mm 上午/下午", Time(14, 5), "2:05 下午"},
    });
}

TEST_F(NumberFormat, CodesAndMarkersAreCaseSensitiveInTheCompiler) {
    // The format list finds strings ignoring case, so these go straight to
    // a mask: upper-case codes and "A/P" are literals.
    TKtNumberFormatMask mask;
    mask.SetMask(u"h A/P");
    EXPECT_EQ(mask.FormatValue(Time(15, 0)), u"15 A/P");
    mask.SetMask(u"HH:MM");
    EXPECT_EQ(mask.FormatValue(Time(14, 5)), u"HH:MM");
    // Not a marker: its "m"s stay codes (minute after the hour, then month).
    mask.SetMask(u"h Am/Pm");
    EXPECT_EQ(mask.FormatValue(Time(15, 0)), u"15 A0/P12");
}

TEST_F(NumberFormat, DatesUseLocaleNamesAndSeparators) {
    const double day = EncodeDate(2024, 3, 5) + Time(7, 8, 9);  // a Tuesday
    Check({
        {"d-mmm-y", day, "5-Mar-24"},
        {"dd/mm/yyyy", day, "05/03/2024"},
        {"mmmm d, yyyy", day, "March 5, 2024"},
        {"mmmmm", day, "M"},
        {"ddd dddd", day, "Tue Tuesday"},
        {"m/d/yy h:mm", day, "3/5/24 7:08"},
        {"yyyy-mm-dd hh:mm:ss", day, "2024-03-05 07:08:09"},
        {"mmm-yy", 1e300, "1E300"},
        // Rounding to the millisecond carries into the next day.
        {"d h:mm", EncodeDate(2024, 3, 5) + Time(23, 59, 59) + 0.9996 / 86400, "6 0:00"},
    });
    RegionalSettings german = RegionalSettings::Defaults();
    german.DateSeparator = u'.';
    german.TimeSeparator = u'-';
    german.ShortMonthNames[2] = u"Mär";
    ScopedRegionalSettings scope(german);
    Check({{"dd/mm/yy h:mm", day, "05.03.24 7-08"}, {"d mmm", day, "5 Mär"}});
}

TEST_F(NumberFormat, SpecialIndexesScientificFractionsDateAndTime) {
    TColor color = clNone;
    EXPECT_EQ(FormatNumberByIndex(kFormatScientific, 12345, color), u"1.23E+04");
    EXPECT_EQ(FormatNumberByIndex(kFormatScientific, 0.00012345, color), u"1.23E-04");
    EXPECT_EQ(FormatNumberByIndex(kFormatFraction1, 2.5, color), u"2 1/2");
    EXPECT_EQ(FormatNumberByIndex(kFormatFraction2, 0.3, color), u"3/10");
    // 2/7 and 1/3 are equally far (weighted by the denominator): the upper wins.
    EXPECT_EQ(FormatNumberByIndex(kFormatFraction1, 0.3, color), u"1/3");
    EXPECT_EQ(FormatNumberByIndex(kFormatFraction2, 3.14159, color), u"3 1/7");
    EXPECT_EQ(FormatNumberByIndex(kFormatFraction1, 7, color), u"7");
    EXPECT_EQ(FormatNumberByIndex(kFormatFraction1, -2.5, color), u"-2 1/2");
    EXPECT_EQ(FormatNumberByIndex(kFormatShortDate, EncodeDate(2023, 3, 15), color),
              u"3/15/2023");
    EXPECT_EQ(FormatNumberByIndex(kFormatShortTime, Time(14, 5), color), u"2:05 PM");
    EXPECT_EQ(color, clNone);
    // A style reaches the same paths through its index.
    TKtGridStyle style;
    style.SetFormatString(u"0.00E+00");
    EXPECT_EQ(style.FormatIndex(), kFormatScientific);
    EXPECT_EQ(FormatStyleNumber(style, 12345, color), u"1.23E+04");
}

TEST_F(NumberFormat, OtherScientificSectionsLayOutMantissaAndExponent) {
    Check({
        {"0.000E+00", 12345, "1.235E+04"},
        {"0.000E+00", -0.00012345, "-1.235E-04"},
        {"0.0E-0", 12345, "1.2E4"},
        {"0.0e+00", 0, "0.0e+00"},
        {"##0.0E+0", 12345, "12.3E+3"},
        {"##0.0E+0", 0.0012345, "1.2E-3"},
        {"00.0E+0", 12345, "12.3E+3"},
        {"0.00E+00", 9.999, "1.00E+01"},
        {"0.0E+0", 1e-310, "1.0E-310"},
    });
}

TEST_F(NumberFormat, ByteCountFormatScalesToUnits) {
    Check({
        {"##,_b_y_t_e_s", 0, "0 bytes"},
        {"##,_b_y_t_e_s", 500, "500 bytes"},
        {"##,_b_y_t_e_s", 500.5, "500 bytes"},
        {"##,_b_y_t_e_s", 2048, "2.00 kb"},
        {"##,_b_y_t_e_s", 3145728, "3.00 Mb"},
        {"##,_b_y_t_e_s", 5368709120.0, "5.00 Gb"},
        {"##,_b_y_t_e_s", -3, "-3 bytes"},
    });
}

TEST_F(NumberFormat, SeparatorsComeFromRegionalSettings) {
    RegionalSettings european = RegionalSettings::Defaults();
    european.DecimalSeparator = u',';
    european.ThousandSeparator = u'.';
    ScopedRegionalSettings scope(european);
    Check({
        {"#,##0.00", 1234567.891, "1.234.567,89"},
        {".00", 12.5, "12,50"},
        {"", 0.25, "0,25"},
    });
}

TEST_F(NumberFormat, OverlongFormatFailsOnlyWhenANumberIsFormatted) {
    const std::string format = std::string(300, '0');
    TKtGridStyle style;
    style.SetFormatString(Utf8ToWide(format));  // setting succeeds
    EXPECT_EQ(style.FormatString().size(), 300u);
    TColor color = clNone;
    try {
        FormatStyleNumber(style, 5, color);
        FAIL() << "expected the format to be refused";
    } catch (const ENumberFormatError& e) {
        EXPECT_EQ(e.Message(), u"format string is too long(255)");
    }
    EXPECT_THROW(IsDateTimeStyle(style), ENumberFormatError);
    TKtNumberFormatMask mask;
    EXPECT_NO_THROW(mask.SetMask(WideString(255, u'0')));
    EXPECT_THROW(mask.SetMask(WideString(256, u'0')), ENumberFormatError);
}

TEST_F(NumberFormat, FormatListFindsBuiltInsAndAppendsNewStringsOnce) {
    TKtResourceManager& pool = ResourceManager();
    EXPECT_EQ(pool.FormatIndexOf(u"@"), 49);
    EXPECT_EQ(pool.FormatIndexOf(u"0"), 1);
    EXPECT_EQ(pool.FormatIndexOf(u"0.00"), 2);
    EXPECT_EQ(pool.FormatIndexOf(u"M/D/YY"), 14);
    EXPECT_EQ(pool.FormatIndexOf(u"GENERAL"), 0);
    EXPECT_EQ(pool.FormatIndexOf(u"general"), 0);
    EXPECT_EQ(pool.FormatIndexOf(u""), 0);
    EXPECT_EQ(BuiltInFormat(13), u"# ?\?/?\?");
    EXPECT_EQ(BuiltInFormat(43), u"_(* #,##0.00_);_(* (#,##0.00);_(* \"-\"?\?_);_(@_)");
    EXPECT_EQ(BuiltInFormat(30), u"");

    const size_t before = pool.Formats().Count();
    TKtGridStyle a, b;
    a.SetFormatString(u"0.000 \"once\"");
    EXPECT_EQ(pool.Formats().Count(), before + 1);
    b.SetFormatString(u"0.000 \"ONCE\"");
    EXPECT_EQ(pool.Formats().Count(), before + 1);
    EXPECT_EQ(a.FormatIndex(), b.FormatIndex());
    EXPECT_GE(a.FormatIndex(), 50);
    EXPECT_EQ(b.FormatString(), u"0.000 \"once\"");  // the first spelling is kept
    EXPECT_GE(pool.FormatIndexOf(u".00"), 50);
}

TEST_F(NumberFormat, IndexBeyondTheListReadsAndFormatsAsGeneral) {
    TKtGridStyle style;
    style.SetFormatIndex(65000);
    EXPECT_EQ(style.FormatString(), u"");
    TColor color = clNone;
    EXPECT_EQ(FormatStyleNumber(style, 1.0 / 3, color), u"0.3333333333");
    EXPECT_FALSE(IsDateTimeStyle(style));
}

TEST_F(NumberFormat, DateTimeStylesAreTheDateAndTimeBuiltIns) {
    for (int i = 0; i < kBuiltInFormatCount; ++i) {
        const bool expected = (i >= 14 && i <= 22) || (i >= 45 && i <= 47);
        EXPECT_EQ(IsDateTimeFormatIndex(i), expected) << "index " << i;
    }
    TKtGridStyle style;
    EXPECT_FALSE(style.IsDateTimeFormat());
    style.SetFormatString(u"yyyy-mm-dd");
    EXPECT_TRUE(IsDateTimeStyle(style));
    style.SetFormatString(u"0 d");  // a digit placeholder makes it a number format
    EXPECT_FALSE(IsDateTimeStyle(style));
    style.SetFormatString(u"[h]");
    EXPECT_TRUE(style.IsDateTimeFormat());
}

TEST_F(NumberFormat, SectionsSplitOutsideQuotesAndStopAtTheFourth) {
    TKtNumberFormatMask mask;
    mask.SetMask(u"0\";\";(0);\"z\";@;ignored;more");
    EXPECT_TRUE(mask.Slot(0).has_value());
    EXPECT_TRUE(mask.Slot(1).has_value());
    EXPECT_TRUE(mask.Slot(2)->Has(kSectionZero));
    EXPECT_TRUE(mask.Slot(3)->Has(kSectionText));
    EXPECT_EQ(mask.FormatValue(4), u"4;");
    EXPECT_EQ(mask.FormatValue(-4), u"(4)");
    mask.SetMask(u";;");
    EXPECT_FALSE(mask.Slot(0).has_value());
    EXPECT_FALSE(mask.Slot(1).has_value());
    EXPECT_EQ(mask.FormatValue(-2), u"-2");
}

TEST_F(NumberFormat, CompiledSectionsRecordDigitsScaleAndMarker) {
    TKtNumberFormatMask mask;
    mask.SetMask(u"#,##0.00,,,,,");
    const TKtFormatSection& s = *mask.Slot(0);
    EXPECT_EQ(s.Decimals, 2);
    EXPECT_EQ(s.Scale, 4);
    EXPECT_TRUE(s.Has(kSectionThousands));
    ASSERT_GE(s.DecimalPos, 0);
    EXPECT_EQ(s.Tokens[static_cast<size_t>(s.DecimalPos)].Kind, TKtFormatTokenKind::DecimalPoint);
    EXPECT_EQ(s.Tokens[0].Kind, TKtFormatTokenKind::LeadingDigits);

    // "mm:ss.0" stays a time: its first placeholder-or-point is the point.
    mask.SetMask(u"mm:ss.0");
    EXPECT_TRUE(mask.IsDateTime());
    EXPECT_EQ(mask.FormatValue(Time(0, 5, 30)), u"05:30");
}

TEST_F(NumberFormat, HostileValuesNeverBreakRendering) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const char* f : {"0", "#,##0.00", "0%", "0.0E+0", "[h]:mm", "yyyy", "@", "",
                          "##,_b_y_t_e_s", "# ?/?", "m/d/yy", "h:mm"}) {
        for (double v : {nan, inf, -inf, 1e308, -1e308, 5e-324, -0.0}) {
            std::string text = Show(f, v);
            EXPECT_LE(text.size(), 450u) << f;
        }
    }
    EXPECT_EQ(Show("0", inf), "INF");
    EXPECT_EQ(Show("yyyy", -1e9), "-1000000000");
}

}  // namespace
}  // namespace plu
