#include "base/wide_text.h"

#include <gtest/gtest.h>

using namespace plu;

TEST(WideText, Utf8RoundTripIncludingSurrogatePairs) {
    const std::string utf8 = "Ab\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80";  // A b é 中 😀
    WideString w = Utf8ToWide(utf8);
    EXPECT_EQ(w, WideString(u"Ab\u00E9\u4E2D\U0001F600"));
    EXPECT_EQ(w.size(), 6u);  // the emoji is two code units
    EXPECT_EQ(WideToUtf8(w), utf8);
}

TEST(WideText, MalformedUtf8BecomesReplacementCharacters) {
    EXPECT_EQ(Utf8ToWide("a\xFF" "b"), WideString(u"a\uFFFD" u"b"));
    EXPECT_EQ(Utf8ToWide("\xC3"), WideString(u"\uFFFD"));            // cut short
    EXPECT_EQ(Utf8ToWide("\xC0\xAF"), WideString(u"\uFFFD\uFFFD"));  // overlong
    EXPECT_EQ(WideToUtf8(WideString(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(WideText, TrimRemovesSpacesAndControlCharacters) {
    EXPECT_EQ(Trim(u"\x02 AB \r\x03"), u"AB");
    EXPECT_EQ(TrimLeft(u"  x "), u"x ");
    EXPECT_EQ(TrimRight(u"  x \t"), u"  x");
    EXPECT_EQ(Trim(u"   "), u"");
    EXPECT_EQ(TrimBytes(std::string("\x02" "BD\r\x03")), "BD");
}

TEST(WideText, CaseMappingCoversLatinGreekAndCyrillic) {
    EXPECT_EQ(UpperCase(u"abc\u00E9\u00FF\u0105\u03B1\u0430"), u"ABC\u00C9\u0178\u0104\u0391\u0410");
    EXPECT_EQ(LowerCase(u"ABC\u00C9\u0178\u0104\u0391\u0410"), u"abc\u00E9\u00FF\u0105\u03B1\u0430");
    EXPECT_EQ(UpperCase(u"\u00DF\u00F7"), u"\u00DF\u00F7");  // no single upper case / no case
    EXPECT_TRUE(SameText(u"General", u"GENERAL"));
    EXPECT_FALSE(SameText(u"General", u"Genera"));
    EXPECT_LT(CompareText(u"abc", u"ABD"), 0);
    EXPECT_GT(CompareText(u"abcd", u"ABC"), 0);
}

TEST(WideText, ReplaceAllAndIntegers) {
    EXPECT_EQ(ReplaceAll(u"12,5,0", u",", u"."), u"12.5.0");
    EXPECT_EQ(ReplaceAll(u"aaa", u"aa", u"b"), u"ba");
    EXPECT_EQ(IntToWide(0), u"0");
    EXPECT_EQ(IntToWide(-2147483648LL), u"-2147483648");
    EXPECT_EQ(IntToWide(INT64_MIN), u"-9223372036854775808");
}
