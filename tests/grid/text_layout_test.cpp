// Line breaking, text placement and the text-height rule, measured with a
// fake font: every character 10 pixels wide, height 16, descent 4,
// external leading 2 (so line pitch 18).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid/text_layout.h"

namespace plu {
namespace {

class FakeMeasurer : public ITextMeasurer {
public:
    int TextWidth(const TFont&, WideStringView text) override {
        return 10 * static_cast<int>(text.size());
    }
    FontMetrics Metrics(const TFont&) override { return {16, 12, 4, 2}; }
};

// Counts the characters measured, to show that breaking stays linear.
class CountingMeasurer : public FakeMeasurer {
public:
    size_t measured = 0;
    int TextWidth(const TFont& f, WideStringView text) override {
        measured += text.size();
        return FakeMeasurer::TextWidth(f, text);
    }
};

using Lines = std::vector<WideString>;

class TextLayoutTest : public ::testing::Test {
protected:
    FakeMeasurer m;
    TFont font;

    Lines Break(WideStringView text, int width) { return BreakTextLines(m, font, text, width); }
    TextLayout Lay(WideStringView text, bool wrap, TKtGridVertAlign v,
                   TKtGridHorzAlign h = TKtGridHorzAlign::haLeft, LayoutRect r = {0, 0, 100, 100}) {
        return LayoutText(m, font, r, wrap, v, h, text);
    }
    static std::vector<int> Tops(const TextLayout& l) {
        std::vector<int> t;
        for (const auto& line : l.Lines) t.push_back(line.Top);
        return t;
    }
};

TEST_F(TextLayoutTest, BreaksAtSpacesAndDropsTheSpacesAtABreak) {
    EXPECT_EQ(Break(u"aaa bbb ccc", 70), (Lines{u"aaa bbb", u"ccc"}));
    EXPECT_EQ(Break(u"aaa    bbb", 30), (Lines{u"aaa", u"bbb"}));
    EXPECT_EQ(Break(u"  ab", 100), (Lines{u"  ab"}));  // leading blanks of a paragraph stay
    EXPECT_EQ(Break(u"aaa bbb ccc", 110), (Lines{u"aaa bbb ccc"}));
    EXPECT_EQ(Break(u"   ", 10), (Lines{u""}));
}

TEST_F(TextLayoutTest, BreaksWordsWiderThanTheLineInsideTheWord) {
    EXPECT_EQ(Break(u"abcdefghij", 40), (Lines{u"abcd", u"efgh", u"ij"}));
    EXPECT_EQ(Break(u"ab cdefghijkl", 50), (Lines{u"ab", u"cdefg", u"hijkl"}));
    // No width at all still ends: one character per line.
    EXPECT_EQ(Break(u"abc", 0), (Lines{u"a", u"b", u"c"}));
    EXPECT_EQ(Break(u"abc", -5), (Lines{u"a", u"b", u"c"}));
    // A surrogate pair is never split.
    Lines pair = Break(u"a\U0001F600b", 20);
    EXPECT_EQ(pair, (Lines{u"a", u"\U0001F600", u"b"}));
}

TEST_F(TextLayoutTest, HugeTextsBreakWithoutMeasuringTheRestOverAndOver) {
    CountingMeasurer counting;
    const WideString word(100000, u'x');
    Lines lines = BreakTextLines(counting, font, word, 50);
    EXPECT_EQ(lines.size(), 20000u);
    EXPECT_EQ(lines.back(), u"xxxxx");
    EXPECT_LT(counting.measured, 40 * word.size());

    counting.measured = 0;
    WideString words;
    for (int i = 0; i < 30000; ++i) words += u"ab ";
    lines = BreakTextLines(counting, font, words, 100000);
    EXPECT_EQ(lines.size(), 10u);  // 3,333 words of "ab " per 100,000 pixels
    EXPECT_LT(counting.measured, 4 * words.size());
}

TEST_F(TextLayoutTest, LineEndsStartNewLines) {
    EXPECT_EQ(Break(u"a\r\nb\nc\rd", 100), (Lines{u"a", u"b", u"c", u"d"}));
    EXPECT_EQ(Break(u"a\n\nb", 100), (Lines{u"a", u"", u"b"}));
    EXPECT_EQ(Break(u"a\n", 100), (Lines{u"a", u""}));
    EXPECT_TRUE(NeedsMultiLineLayout(u"a\nb", false));
    EXPECT_FALSE(NeedsMultiLineLayout(u"a\rb", false));
    EXPECT_TRUE(NeedsMultiLineLayout(u"ab", true));
}

TEST_F(TextLayoutTest, TextHeightCountsLinesPitchAndDescent) {
    // One line of the font plus 1 on the screen.
    EXPECT_EQ(TextHeight(m, font, u"a long text on one line", 30, false), 17);
    // Wrapped at 74 - 2 x 2 = 70 pixels: two lines of pitch 18, + d - e + 1.
    EXPECT_EQ(TextHeight(m, font, u"aaa bbb ccc", 74, true), 2 * 18 + 4 - 2 + 1);
    // A line feed takes the multi-line rule without wrapping.
    EXPECT_EQ(TextHeight(m, font, u"a\nb\nc", 500, false), 3 * 18 + 4 - 2 + 1);
    // On a 192 dpi device the margins and the extra pixel double.
    EXPECT_EQ(TextHeight(m, font, u"aaa bbb ccc", 78, true, 192), 2 * 18 + 4 - 2 + 2);
    EXPECT_EQ(TextMargin(), 2);
    EXPECT_EQ(TextMargin(600), 13);
}

TEST_F(TextLayoutTest, SingleLineIsPlacedByBothAlignments) {
    using H = TKtGridHorzAlign;
    using V = TKtGridVertAlign;
    TextLayout l = Lay(u"abc", false, V::vaTop, H::haLeft);
    ASSERT_EQ(l.Lines.size(), 1u);
    EXPECT_EQ(l.Clip, (LayoutRect{2, 0, 98, 100}));
    EXPECT_EQ(l.Lines[0].X, 2);
    EXPECT_EQ(l.Lines[0].Top, 0);
    EXPECT_EQ(Lay(u"abc", false, V::vaCenter, H::haRight).Lines[0].X, 68);
    EXPECT_EQ(Lay(u"abc", false, V::vaCenter, H::haCenter).Lines[0].X, 35);
    EXPECT_EQ(Lay(u"abc", false, V::vaCenter, H::haGeneral).Lines[0].X, 35);
    EXPECT_EQ(Lay(u"abc", false, V::vaCenter, H::haJustify).Lines[0].X, 35);
    EXPECT_EQ(Lay(u"abc", false, V::vaCenter).Lines[0].Top, 42);
    EXPECT_EQ(Lay(u"abc", false, V::vaJustify).Lines[0].Top, 42);
    EXPECT_EQ(Lay(u"abc", false, V::vaBottom).Lines[0].Top, 84);
    EXPECT_EQ(Lay(u"a\tb", false, V::vaTop).Lines[0].Text, u"a       b");
}

TEST_F(TextLayoutTest, SeveralLinesArePlacedAsABlock) {
    using V = TKtGridVertAlign;
    EXPECT_EQ(Tops(Lay(u"a\nb\nc", false, V::vaTop)), (std::vector<int>{4, 22, 40}));
    EXPECT_EQ(Tops(Lay(u"a\nb\nc", false, V::vaCenter)), (std::vector<int>{24, 42, 60}));
    EXPECT_EQ(Tops(Lay(u"a\nb\nc", false, V::vaBottom)), (std::vector<int>{48, 66, 84}));
    EXPECT_EQ(Tops(Lay(u"a\nb\nc", false, V::vaJustify)), (std::vector<int>{8, 41, 74}));
    TextLayout l = Lay(u"a\nb\nc", false, V::vaBottom);
    EXPECT_EQ(l.Lines[2].Bottom, 100);
    EXPECT_EQ(l.Lines[0].Bottom, 64);

    // Only the lines that start inside the rectangle are drawn.
    TextLayout cut = Lay(u"a\nb\nc", false, V::vaTop, TKtGridHorzAlign::haLeft, {0, 0, 100, 30});
    EXPECT_EQ(Tops(cut), (std::vector<int>{4, 22}));
    EXPECT_EQ(cut.Lines[1].Bottom, 30);

    // Wrapping uses the width inside the margins; each line is aligned alone.
    TextLayout wrapped =
        Lay(u"aaa bbbbb", true, V::vaTop, TKtGridHorzAlign::haRight, {0, 0, 84, 100});
    ASSERT_EQ(wrapped.Lines.size(), 2u);
    EXPECT_EQ(wrapped.Lines[0].Text, u"aaa");
    EXPECT_EQ(wrapped.Lines[0].X, 82 - 30);
    EXPECT_EQ(wrapped.Lines[1].X, 82 - 50);
}

TEST_F(TextLayoutTest, NothingIsDrawnInAnEmptyRectangleOrForEmptyText) {
    EXPECT_TRUE(Lay(u"abc", false, TKtGridVertAlign::vaTop, TKtGridHorzAlign::haLeft,
                    {10, 0, 14, 20})
                    .Lines.empty());
    EXPECT_TRUE(Lay(u"", true, TKtGridVertAlign::vaTop).Lines.empty());
    EXPECT_TRUE(
        Lay(u"abc", true, TKtGridVertAlign::vaTop, TKtGridHorzAlign::haLeft, {0, 5, 100, 5})
            .Lines.empty());
}

TEST_F(TextLayoutTest, LongLinesAreCutTo4095Characters) {
    WideString longLine(5000, u'x');
    TextLayout l = LayoutText(m, font, {0, 0, 100000, 100}, false, TKtGridVertAlign::vaTop,
                              TKtGridHorzAlign::haLeft, longLine + u"\nend");
    ASSERT_EQ(l.Lines.size(), 2u);
    EXPECT_EQ(l.Lines[0].Text.size(), kMaxLayoutLineLength);
}

}  // namespace
}  // namespace plu
