// Style setters: the record fields they change, the used-attribute bits they
// set, change notification, borders, and the header-cell style.
#include <gtest/gtest.h>

#include "grid/grid_style.h"
#include "grid/resource_manager.h"

namespace plu {
namespace {

TEST(StyleAttributes, DefaultRecordHasSpecifiedValues) {
    const TKtGridStyle& d = SharedDefaultStyle();
    EXPECT_EQ(d.UsedAttributes(), 0);
    EXPECT_EQ(d.BgColor(), clWindow);
    EXPECT_EQ(d.TextColor(), clWindowText);
    EXPECT_EQ(d.HorzAlign(), TKtGridHorzAlign::haGeneral);
    EXPECT_EQ(d.VertAlign(), TKtGridVertAlign::vaCenter);
    EXPECT_TRUE(d.Options().Empty());
    EXPECT_EQ(d.FormatIndex(), 0);
    EXPECT_EQ(d.FormatString(), u"");
    for (int e = 0; e < kBorderEdgeCount; ++e) {
        EXPECT_EQ(d.BorderColor(e), clNone);
        EXPECT_EQ(d.BorderLine(e), kLineNone);
    }
}

TEST(StyleAttributes, NoColourBackgroundRestoresDefaultAndClearsItsBit) {
    TKtGridStyle s;
    s.SetHorzAlign(TKtGridHorzAlign::haCenter);
    s.SetBgColor(0x00FFFF);
    EXPECT_EQ(s.UsedAttributes(), kUsedAlignment | kUsedBackground);
    s.SetBgColor(clNone);
    EXPECT_EQ(s.BgColor(), SharedDefaultStyle().BgColor());
    EXPECT_FALSE(s.Uses(TKtStyleAttribute::Background));
    EXPECT_TRUE(s.Uses(TKtStyleAttribute::Alignment));
    // Back to the default record when nothing else was set.
    TKtGridStyle t;
    t.SetBgColor(0x00FFFF);
    t.SetBgColor(clNone);
    EXPECT_TRUE(t.IsDefault());
}

TEST(StyleAttributes, OptionsSetBitsByWhatTheyAdd) {
    TKtGridStyle s;
    s.SetOptions({TKtCellOption::gcoWrapText});
    EXPECT_EQ(s.UsedAttributes(), kUsedOptions | kUsedAlignment);
    EXPECT_TRUE(s.WrapText());

    TKtGridStyle l;
    l.SetOptions({TKtCellOption::gcoLocked, TKtCellOption::gcoHidden});
    EXPECT_EQ(l.UsedAttributes(), kUsedOptions | kUsedProtection);
    EXPECT_TRUE(l.Locked());
    EXPECT_TRUE(l.Hidden());

    // Removing options adds nothing new: no further-options bit.
    TKtGridStyle r;
    r.SetOptions({TKtCellOption::gcoHidden});
    r.SetUsedAttributes(0);
    r.SetOptions({});
    EXPECT_EQ(r.UsedAttributes(), 0);
    EXPECT_TRUE(r.Options().Empty());

    TKtGridStyle w;
    w.SetWrapText(true);
    EXPECT_EQ(w.UsedAttributes(), kUsedAlignment);
    w.SetWrapText(false);
    EXPECT_FALSE(w.WrapText());
    EXPECT_EQ(w.UsedAttributes(), kUsedAlignment);
}

TEST(StyleAttributes, FormatSettersFindIndexesAndSkipUnchangedValues) {
    TKtGridStyle s;
    int changes = 0;
    s.OnChange = [&] { ++changes; };
    s.SetFormatString(u"");  // index 0 already: nothing, not even the bit
    s.SetFormatString(u"General");
    EXPECT_EQ(s.UsedAttributes(), 0);
    EXPECT_EQ(changes, 0);

    s.SetFormatString(u"@");
    EXPECT_EQ(s.FormatIndex(), 49);
    EXPECT_TRUE(s.Uses(TKtStyleAttribute::Format));
    s.SetFormatString(u"0");
    EXPECT_EQ(s.FormatIndex(), 1);
    s.SetFormatString(u"h:mm:ss");
    EXPECT_EQ(s.FormatIndex(), 21);
    EXPECT_EQ(s.FormatString(), u"h:mm:ss");
    EXPECT_EQ(changes, 3);
    s.SetFormatIndex(21);
    EXPECT_EQ(changes, 3);
}

TEST(StyleAttributes, ChangesNotifyOnlyWhenTheRecordDiffers) {
    TKtGridStyle s;
    int changes = 0;
    s.OnChange = [&] { ++changes; };
    s.SetBgColor(0x010203);
    EXPECT_EQ(changes, 1);
    s.SetBgColor(0x010203);
    EXPECT_EQ(changes, 1);
    s.SetVertAlign(TKtGridVertAlign::vaCenter);  // same value, but the bit is new
    EXPECT_EQ(changes, 2);
    s.SetVertAlign(TKtGridVertAlign::vaTop);
    EXPECT_EQ(changes, 3);

    TKtGridStyle same;
    same.SetBgColor(0x010203);
    same.SetVertAlign(TKtGridVertAlign::vaTop);
    s.Assign(same);  // already that record
    EXPECT_EQ(changes, 3);
    s.Assign(SharedDefaultStyle());
    EXPECT_EQ(changes, 4);
}

TEST(StyleAttributes, BordersSetOnlyTheEdgesAsked) {
    TKtGridStyle s;
    s.SetBorder(kEdgeDiagonalDown, kLineDashed, 0x00AA00);
    s.SetBorders(kEdgeMaskBox, kLineThin, 0x0000FF);
    for (int e = 0; e < 4; ++e) {
        EXPECT_EQ(s.BorderLine(e), kLineThin) << e;
        EXPECT_EQ(s.BorderColor(e), 0x0000FF) << e;
    }
    EXPECT_EQ(s.BorderLine(kEdgeDiagonalDown), kLineDashed);
    EXPECT_EQ(s.BorderColor(kEdgeDiagonalDown), 0x00AA00);
    EXPECT_EQ(s.BorderLine(kEdgeDiagonalUp), kLineNone);
    EXPECT_EQ(s.UsedAttributes(), kUsedBorders);

    s.SetBorderColor(kEdgeLeft, 0x111111);
    s.SetBorderLine(kEdgeBottom, kLineThick);
    EXPECT_EQ(s.BorderColor(kEdgeLeft), 0x111111);
    EXPECT_EQ(s.BorderLine(kEdgeLeft), kLineThin);
    EXPECT_EQ(s.BorderLine(kEdgeBottom), kLineThick);
}

TEST(StyleAttributes, EdgeIndexesAreMaskedAndEdgesWithoutASlotIgnored) {
    TKtGridStyle s;
    const TKtStyleRecord before = s.CopyRecord();
    s.SetBorderLine(10, kLineThin);
    s.SetBorder(127, kLineThin, 0xFF);
    s.SetBorderColor(-1, 0xFF);  // masks to 127
    EXPECT_EQ(s.CopyRecord(), before);
    EXPECT_EQ(s.BorderLine(12), kLineNone);
    EXPECT_EQ(s.BorderColor(99), clNone);

    s.SetBorderLine(128 + kEdgeTop, kLineMedium);  // masks to the top edge
    EXPECT_EQ(s.BorderLine(kEdgeTop), kLineMedium);
    s.SetBorders(0xFFFFFFFF, kLineDotted, 0x123);  // bits above 9 have no edge
    EXPECT_EQ(s.BorderLine(9), kLineDotted);
}

TEST(StyleAttributes, CarriedFieldsSetNoUsedBits) {
    TKtGridStyle s;
    s.SetExtraAttribute(42);
    s.SetTextColor(0x00FF00);
    s.SetExportAttribute(2);
    EXPECT_EQ(s.UsedAttributes(), 0);
    EXPECT_EQ(s.ExtraAttribute(), 42);
    EXPECT_EQ(s.TextColor(), 0x00FF00);
    EXPECT_EQ(s.ExportAttribute(), 2);
    s.SetUsedAttributes(kUsedFont | kUsedBorders);
    EXPECT_TRUE(s.Uses(TKtStyleAttribute::Font));
    EXPECT_FALSE(s.Uses(TKtStyleAttribute::Format));
}

TEST(StyleAttributes, FixedCellStyleStartsWithHeaderLook) {
    TKtFixedCellStyle f;
    EXPECT_EQ(f.BgColor(), 15326419);
    EXPECT_FALSE(f.WrapText());
    EXPECT_EQ(f.GradientStart(), 90);
    EXPECT_EQ(f.GradientStop(), 10);
    EXPECT_EQ(f.GridLineColor(), 13547166);
    EXPECT_TRUE(f.ShowGradient());

    int changes = 0;
    f.OnChange = [&] { ++changes; };
    f.SetGradientStart(90);
    EXPECT_EQ(changes, 0);
    f.SetGradientStart(50);
    f.SetShowGradient(false);
    EXPECT_EQ(changes, 2);

    TKtFixedCellStyle g;
    g.Assign(f);
    EXPECT_EQ(g.GradientStart(), 50);
    EXPECT_FALSE(g.ShowGradient());
    EXPECT_TRUE(g.SameResource(f));

    EXPECT_TRUE(f.ShowGradientStored());
    TKtVisualStyle visual = TKtVisualStyle::vsDefault;
    f.OwnerVisualStyle = [&] { return visual; };
    EXPECT_FALSE(f.ShowGradientStored());
    visual = TKtVisualStyle::vsCustom;
    EXPECT_TRUE(f.ShowGradientStored());
}

TEST(StyleAttributes, VisualStylesSetHeaderAndGridLineColours) {
    TKtFixedCellStyle f;
    TColor body = 0;
    ApplyVisualStyle(TKtVisualStyle::vsClassic, f, body);
    EXPECT_FALSE(f.ShowGradient());
    EXPECT_EQ(f.BgColor(), clBtnFace);
    EXPECT_EQ(f.GridLineColor(), clBtnShadow);
    EXPECT_EQ(body, 12632256);

    ApplyVisualStyle(TKtVisualStyle::vsCustom, f, body);  // changes nothing
    EXPECT_EQ(f.BgColor(), clBtnFace);
    EXPECT_EQ(body, 12632256);

    ApplyVisualStyle(TKtVisualStyle::vsGradient, f, body);
    EXPECT_TRUE(f.ShowGradient());
    EXPECT_EQ(f.BgColor(), 15326419);
    EXPECT_EQ(f.GridLineColor(), 13547166);
    EXPECT_EQ(body, 15062992);
}

}  // namespace
}  // namespace plu
