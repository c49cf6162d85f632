#include "base/font.h"

#include <gtest/gtest.h>

#include "base/screen.h"

using namespace plu;

TEST(Font, SizeAndHeightAt96Dpi) {
    TFont f;
    f.SetSize(12);
    EXPECT_EQ(f.Height(), -16);
    EXPECT_EQ(f.Size(), 12);
    f.SetHeight(-11);
    EXPECT_EQ(f.Size(), 8);
    f.SetHeight(-14);
    EXPECT_EQ(f.Size(), 11);  // 10.5 rounds away from zero
}

TEST(Font, ChangeNotificationOnlyOnRealChanges) {
    TFont f;
    int changes = 0;
    f.OnChange = [&] { ++changes; };
    f.SetName(u"Arial");
    f.SetName(u"Arial");
    f.SetStyle(TFontStyles().With(TFontStyle::fsBold));
    f.SetColor(clRed);
    EXPECT_EQ(changes, 3);
    TFont g(u"Arial", f.Height(), clRed);
    g.SetStyle(f.Style());
    f.Assign(g);  // nothing differs
    EXPECT_EQ(changes, 3);
    g.SetSize(20);
    f.Assign(g);
    EXPECT_EQ(changes, 4);
    EXPECT_TRUE(f.Bold());
    TFont copy = f;  // a copy does not carry the handler
    EXPECT_FALSE(static_cast<bool>(copy.OnChange));
    EXPECT_TRUE(copy.SameAs(f));
}

TEST(Screen, MulDivRoundsLikeWindows) {
    EXPECT_EQ(MulDiv(12, 96, 72), 16);
    EXPECT_EQ(MulDiv(-14, 72, 96), -11);  // -10.5 rounds away from zero
    EXPECT_EQ(MulDiv(1, 1, 2), 1);
    EXPECT_EQ(MulDiv(-1, 1, 2), -1);
    EXPECT_EQ(MulDiv(5, 1, 0), -1);
    EXPECT_EQ(MulDiv(0x7FFFFFFF, 2, 1), -1);
    EXPECT_EQ(PixelsToTwips(50), 750);
    EXPECT_EQ(TwipsToPixels(255), 17);
}

TEST(Color, SystemColoursResolveToRgb) {
    EXPECT_EQ(clWindow, -16777211);
    EXPECT_EQ(ColorToRGB(clWindow), 0xFFFFFF);
    EXPECT_EQ(ColorToRGB(clWindowText), 0);
    EXPECT_EQ(ColorToRGB(clInfoBk), RGB(255, 255, 225));
    EXPECT_EQ(ColorToRGB(0x123456), 0x123456);
    EXPECT_EQ(ColorToRGB(clNone), clNone);
}
