// The workbook-wide tables: palette, number formats, fonts and the fields of
// XF records.
#include <gtest/gtest.h>

#include "base/text_measurer.h"
#include "biff8_test_support.h"
#include "formats/biff8/workbook.h"
#include "formats/biff8/xls_errors.h"

namespace plu {
namespace {

TEST(Palette, ColorOfIndexCoversFixedPaletteAndSystemIndexes) {
    auto p = TPaletteRecord::MakeDefault();
    EXPECT_EQ(p->ColorOfIndex(0), RGB(0, 0, 0));
    EXPECT_EQ(p->ColorOfIndex(2), RGB(255, 0, 0));
    EXPECT_EQ(p->ColorOfIndex(7), RGB(0, 255, 255));
    EXPECT_EQ(p->ColorOfIndex(10), RGB(255, 0, 0));
    EXPECT_EQ(p->ColorOfIndex(22), RGB(192, 192, 192));
    EXPECT_EQ(p->ColorOfIndex(63), RGB(51, 51, 51));
    EXPECT_EQ(p->ColorOfIndex(64), ColorToRGB(clWindowText));
    EXPECT_EQ(p->ColorOfIndex(0x7FFF), ColorToRGB(clWindowText));
    EXPECT_EQ(p->ColorOfIndex(65), ColorToRGB(clWindow));
    EXPECT_EQ(p->ColorOfIndex(66), ColorToRGB(clWindow));
    EXPECT_EQ(p->ColorOfIndex(-1), ColorToRGB(clWindow));
}

TEST(Palette, IndexOfColorFindsFixedColoursFirstAndAddsFromTheTop) {
    auto p = TPaletteRecord::MakeDefault();
    EXPECT_EQ(p->IndexOfColor(RGB(0, 0, 0)), 0);
    EXPECT_EQ(p->IndexOfColor(RGB(255, 0, 0)), 2);
    EXPECT_EQ(p->IndexOfColor(RGB(128, 0, 0)), 16);
    EXPECT_FALSE(p->Changed());
    EXPECT_EQ(p->IndexOfColor(RGB(1, 2, 3)), 63);
    EXPECT_TRUE(p->Changed());
    EXPECT_EQ(p->ColorOfIndex(63), RGB(1, 2, 3));
    // Found again on the next look-up: one colour takes one entry.
    EXPECT_EQ(p->IndexOfColor(RGB(1, 2, 3)), 63);
    EXPECT_EQ(p->IndexOfColor(RGB(4, 5, 6)), 62);
    EXPECT_EQ(p->GetWord(0), 56);
}

TEST(Palette, RunningOutOfEntriesFailsWith65227AndKeepsHandedOutColours) {
    auto p = TPaletteRecord::MakeDefault();
    const int handedOut = p->IndexOfColor(RGB(153, 153, 255));  // index 24
    EXPECT_EQ(handedOut, 24);
    int added = 0;
    WideString message;
    try {
        for (int i = 0; i < 100; ++i) {
            p->IndexOfColor(RGB(1, 1, i + 1));
            ++added;
        }
    } catch (const EXlsError& e) {
        EXPECT_EQ(e.Id(), kXlsTooManyEntries);
        message = e.Message();
    }
    EXPECT_EQ(added, 55);  // 56 entries, one of them handed out
    EXPECT_EQ(message, u"过多的条目 (-1 超过最大支持数55)");
    EXPECT_EQ(p->ColorOfIndex(24), RGB(153, 153, 255));
    for (int i = 0; i < 55; ++i) EXPECT_EQ(p->IndexOfColor(RGB(1, 1, i + 1)), i < 39 ? 63 - i : 62 - i);
}

TEST(Palette, ReadPaletteShorterThanTheFormatsIsCompletedWhenAColourIsAdded) {
    auto p = std::make_unique<TPaletteRecord>();
    p->Create(0x0092, 2 + 4 * 3);
    p->SetWord(0, 3);
    p->SetLong(2, static_cast<uint32_t>(RGB(9, 9, 9)));
    EXPECT_EQ(p->ColorOfIndex(8), RGB(9, 9, 9));
    EXPECT_EQ(p->ColorOfIndex(12), ColorToRGB(clWindow));  // beyond its entries
    EXPECT_EQ(p->IndexOfColor(RGB(7, 7, 7)), 63);
    EXPECT_EQ(p->EntryCount(), 56);
    EXPECT_EQ(p->ColorOfIndex(8), RGB(9, 9, 9));
    EXPECT_EQ(p->ColorOfIndex(12), RGB(0, 0, 255));
}

struct FormatCase {
    int index;
    const char16_t* text;
};

TEST(Formats, BuiltInTable) {
    const FormatCase cases[] = {
        {0, u"General"},
        {3, u"#,##0"},
        {6, u"\"$\"#,##0_);[Red](\"$\"#,##0)"},
        {13, u"#?" u"?/?" u"?"},
        {22, u"M/D/YY h:mm"},
        {23, u""},
        {31, u"yyyy\"年\"m\"月\"d\"日\""},
        {41, u"_\"$\"*#,##0_);_(\"$\"*(#,##0);_(\"$\"*\"-\"_);_(@_)"},
        {44, u"_(*#,##0.00_);_(*(#,##0.00);_(*\"-\"??_);_(@_)"},
        {49, u"@"},
        {50, u""},
        {58, u"m\"月\"d\"日\""},
        {59, u""},
        {164, u""},
    };
    TFormatList list;
    for (const auto& c : cases) EXPECT_EQ(list.FormatOfIndex(c.index), c.text) << c.index;
}

TEST(Formats, IndexOfFormatAppendsByListLengthAndSkipsTakenIndexes) {
    TWorkbook book;
    test::AddExportDefaults(book);
    TFormatList& list = book.Globals().Formats();
    EXPECT_EQ(list.IndexOfFormat(u""), 0);
    EXPECT_EQ(list.IndexOfFormat(u"\\$#,##0_);\\(\\$#,##0\\)"), 23);
    EXPECT_EQ(list.IndexOfFormat(u"0.000"), 12);
    EXPECT_EQ(list.IndexOfFormat(u"0.000"), 12);
    EXPECT_EQ(list.IndexOfFormat(u"0.0000"), 13);
    EXPECT_EQ(list.FormatOfIndex(12), u"0.000");  // overrides the built-in "#?/?"
    // Case matters.
    EXPECT_EQ(list.IndexOfFormat(u"YYYY"), 14);
    EXPECT_EQ(list.IndexOfFormat(u"yyyy"), 15);
    // When the list's length is an index some record has, the next free one.
    for (int i = 16; i <= 22; ++i) list.IndexOfFormat(u"x" + IntToWide(i));
    EXPECT_EQ(list.Count(), 23);
    EXPECT_EQ(list.IndexOfFormat(u"after"), 27);  // 23 to 26 are taken
    EXPECT_EQ(list.FormatOfIndex(23), u"\\$#,##0_);\\(\\$#,##0\\)");
    EXPECT_EQ(list.FormatOfIndex(27), u"after");
}

TEST(Fonts, SettersWriteTheirFields) {
    auto f = TFontRecord::Make(u"Arial");
    EXPECT_EQ(f->Size(), 14 + 1 + 1 + 10);
    EXPECT_EQ(f->Weight(), 400);
    f->SetHeight(200);
    f->SetColorIndex(10);
    f->SetCharset(134);
    f->SetStyle(kFontBold | kFontItalic | kFontStrikeOut);
    EXPECT_EQ(f->GetWord(0), 200);
    EXPECT_EQ(f->GetWord(4), 10);
    EXPECT_EQ(f->GetByte(12), 134);
    EXPECT_EQ(f->GetWord(6), 700);
    EXPECT_EQ(f->GetWord(2), 0x01 | 0x02 | 0x08);
    EXPECT_EQ(f->Style(), kFontBold | kFontItalic | kFontStrikeOut);
    f->SetStyle(kFontItalic);
    EXPECT_EQ(f->GetWord(6), 400);
    EXPECT_EQ(f->Style(), kFontItalic);
    const uint8_t codes[] = {0x00, 0x01, 0x02, 0x21, 0x22};
    for (uint8_t kind = 0; kind <= 4; ++kind) {
        f->SetUnderline(kind);
        EXPECT_EQ(f->GetByte(10), codes[kind]);
        EXPECT_EQ(f->Underline(), kind);
    }
    f->SetUnderline(9);  // no such kind: unchanged
    EXPECT_EQ(f->GetByte(10), 0x22);
    f->SetByte(10, 0x33);
    EXPECT_EQ(f->Underline(), 0);
    f->SetName(u"宋体");
    EXPECT_EQ(f->Name(), u"宋体");
    EXPECT_EQ(f->Size(), 14 + 1 + 1 + 4);
}

TEST(Fonts, StyleAsReadIncludesEscapementAndOnlyWeight700IsBold) {
    auto f = TFontRecord::Make(u"A");
    f->SetWord(6, 600);
    EXPECT_EQ(f->Style() & kFontBold, 0);
    f->SetWord(8, 1);
    EXPECT_EQ(f->Style(), kFontSuperscript);
    f->SetWord(8, 2);
    EXPECT_EQ(f->Style(), kFontSubscript);
}

TEST(Fonts, FontHandleDescribesThePlatformFont) {
    auto f = TFontRecord::Make(u"Times New Roman With A Very Long Face Name");
    f->SetHeight(250);  // 12.5 points: whole points first, 12 -> 16 px
    f->SetStyle(kFontBold | kFontStrikeOut);
    f->SetUnderline(2);  // double: not the platform's underline
    f->SetCharset(134);
    const TFont& font = f->FontHandle();
    EXPECT_EQ(font.Height(), -16);
    EXPECT_TRUE(font.Bold());
    EXPECT_TRUE(font.StrikeOut());
    EXPECT_FALSE(font.Italic());
    EXPECT_FALSE(font.Underline());
    EXPECT_EQ(font.Charset(), 134);
    EXPECT_EQ(font.Name(), u"Times New Roman With A Very Lon");
    f->SetUnderline(1);
    EXPECT_TRUE(f->FontHandle().Underline());
    f->SetWord(6, 701);
    f->SetHeight(200);
    EXPECT_FALSE(f->FontHandle().Bold());
}

TEST(Fonts, CharWidthOfSimSunAt240TwipsIsEightPixels) {
    TWorkbook book;  // the FreeType measurer
    test::AddExportDefaults(book);
    EXPECT_EQ(book.ComputeCharWidth(), 8);
    TWorkbook empty;
    EXPECT_EQ(empty.ComputeCharWidth(), 8);
    auto big = TFontRecord::Make(u"宋体");
    big->SetHeight(480);
    TWorkbook large;
    large.Globals().Fonts().Add(std::move(big));
    EXPECT_EQ(large.ComputeCharWidth(), 16);
}

TEST(XFRecords, NewRecordHasItsDefaults) {
    auto xf = TXFRecord::Make(5, 2, 1);
    ASSERT_EQ(xf->Size(), 20);
    EXPECT_EQ(xf->GetWord(0), 5);
    EXPECT_EQ(xf->GetByte(6), 0x12);
    EXPECT_EQ(xf->GetByte(9), 0xFC);
    EXPECT_EQ(xf->GetLong(14) >> 26, 1u);
    EXPECT_EQ(xf->GetWord(18), (65 << 7) | 64);
    EXPECT_EQ(xf->GetWord(2), 0);
    EXPECT_EQ(xf->PatternColor(), 65);  // a stored 64 reads as 65
    EXPECT_EQ(xf->BackgroundColor(), 65);
}

TEST(XFRecords, EveryFieldLandsOnItsBits) {
    auto xf = TXFRecord::Make(0, 0, 0);
    xf->SetProtection(true, true, 0x0ABC);
    EXPECT_EQ(xf->GetWord(4), 0xABC3);
    xf->SetWrap(true);
    EXPECT_EQ(xf->GetByte(6), 0x08);
    xf->SetHorzAlign(6);
    xf->SetVertAlign(3);
    EXPECT_EQ(xf->GetByte(6), 0x3E);
    xf->SetIndent(15);
    xf->SetShrinkToFit(true);
    EXPECT_EQ(xf->GetByte(8), 0x1F);
    xf->SetFormatIndex(164);
    EXPECT_EQ(xf->GetWord(2), 164);
    xf->SetFillPattern(0);
    xf->SetPatternColor(10);
    xf->SetBackgroundColor(9);
    EXPECT_EQ(xf->GetWord(18), (9 << 7) | 10);
    xf->SetBorderStyle(0, 1);
    xf->SetBorderStyle(2, 2);
    xf->SetBorderStyle(1, 3);
    xf->SetBorderStyle(3, 5);
    EXPECT_EQ(xf->GetLong(10) & 0xFFFF, 0x5321u);
    xf->SetBorderColor(0, 0x11);
    xf->SetBorderColor(2, 0x7F);
    EXPECT_EQ(xf->GetLong(10) >> 16, 0x11u | (0x7Fu << 7));
    xf->SetBorderColor(1, 0x12);
    xf->SetBorderColor(3, 0x13);
    xf->SetBorderStyle(4, 7);
    xf->SetBorderColor(5, 0x14);
    EXPECT_EQ(xf->GetLong(14), 0x12u | (0x13u << 7) | (0x14u << 14) | (7u << 21));
    EXPECT_EQ(xf->BorderStyle(5), 7);
    EXPECT_EQ(xf->BorderColor(4), 0x14);
    // Setting a field again replaces it.
    xf->SetBorderStyle(0, 2);
    EXPECT_EQ(xf->BorderStyle(0), 2);
    EXPECT_EQ(xf->BorderStyle(2), 2);
    xf->SetFillPattern(63);
    EXPECT_EQ(xf->FillPattern(), 63);
    EXPECT_EQ(xf->BorderColor(1), 0x12);
    EXPECT_TRUE(xf->Locked());
    EXPECT_TRUE(xf->Hidden());
    EXPECT_EQ(xf->Parent(), 0x0ABC);
    EXPECT_EQ(xf->HorzAlign(), 6);
    EXPECT_EQ(xf->VertAlign(), 3);
    EXPECT_TRUE(xf->Wrap());
    EXPECT_EQ(xf->Indent(), 15);
    EXPECT_TRUE(xf->ShrinkToFit());
}

}  // namespace
}  // namespace plu
