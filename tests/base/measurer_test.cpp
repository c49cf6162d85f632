#include <gtest/gtest.h>

#include "base/freetype_measurer.h"

using namespace plu;

TEST(FreeTypeMeasurer, SimSunIsPinnedToTheWindowsWidths) {
    FreeTypeTextMeasurer m;
    TFont f(u"宋体", -16);
    EXPECT_EQ(m.TextWidth(f, u"0"), 8);
    EXPECT_EQ(m.TextWidth(f, u"00"), 16);
    EXPECT_EQ(m.TextWidth(f, u"中"), 16);
    EXPECT_EQ(m.LineHeight(f), 16);
    TFont s(u"SimSun", -12);
    EXPECT_EQ(m.TextWidth(s, u"0"), 6);
}

TEST(FreeTypeMeasurer, ArialMapsToLiberationSansWithArialMetrics) {
    FreeTypeTextMeasurer m;
    TFont f(u"Arial", -16);
    std::string file = m.ResolvedFile(f);
    EXPECT_NE(file.find("LiberationSans"), std::string::npos) << file;
    // Arial's digits are 0.556 em: 9 pixels at a 16-pixel em.
    EXPECT_EQ(m.TextWidth(f, u"0"), 9);
    EXPECT_EQ(m.TextWidth(f, u"0000"), 36);
    FontMetrics fm = m.Metrics(f);
    EXPECT_EQ(fm.height, fm.ascent + fm.descent);
    EXPECT_EQ(fm.ascent, 15);
    EXPECT_EQ(fm.descent, 3);
    EXPECT_EQ(fm.externalLeading, 1);
    // A bigger font is wider and taller; bold is at least as wide.
    TFont big(u"Arial", -32);
    EXPECT_GT(m.TextWidth(big, u"Hello"), m.TextWidth(f, u"Hello"));
    TFont bold = f;
    bold.SetStyle(TFontStyles().With(TFontStyle::fsBold));
    EXPECT_GE(m.TextWidth(bold, u"Hello"), m.TextWidth(f, u"Hello"));
    EXPECT_EQ(m.TextWidth(f, u""), 0);
}

TEST(FreeTypeMeasurer, CharactersTheFaceLacksAreMeasuredAsWideText) {
    FreeTypeTextMeasurer m;
    TFont f(u"Arial", -16);
    EXPECT_EQ(m.TextWidth(f, u"中文"), 32);
}

TEST(FixedMeasurer, DeterministicRules) {
    FixedTextMeasurer m;
    TFont f(u"Any", -14);
    EXPECT_EQ(m.TextWidth(f, u"abc"), 21);
    EXPECT_EQ(m.TextWidth(f, u"中"), 14);
    EXPECT_EQ(m.LineHeight(f), 17);
    EXPECT_EQ(m.Descent(f), 3);
}
