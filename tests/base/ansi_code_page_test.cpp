#include "base/ansi_code_page.h"

#include <gtest/gtest.h>

using namespace plu;

TEST(AnsiCodePage, Windows1252HighBytesMapBothWays) {
    std::string bytes = "\x80\x8A\x9F\xE9\xC0";
    WideString w = AnsiToWide(bytes);
    EXPECT_EQ(w, WideString(u"\u20AC\u0160\u0178\u00E9\u00C0"));
    EXPECT_EQ(WideToAnsi(w), bytes);
}

TEST(AnsiCodePage, UndefinedBytesSurviveARoundTrip) {
    std::string bytes = "\x81\x8D\x8F\x90\x9D";
    EXPECT_EQ(WideToAnsi(AnsiToWide(bytes)), bytes);
}

TEST(AnsiCodePage, UnmappableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(WideToAnsi(u"a\u4E2Db"), "a?b");
    EXPECT_EQ(WideToAnsi(u"\U0001F600"), "?");  // one character, one byte
    EXPECT_FALSE(IsAnsiRepresentable(u'\u4E2D'));
    EXPECT_TRUE(IsAnsiRepresentable(u'\u20AC'));
}
