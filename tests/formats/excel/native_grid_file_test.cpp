// Building a native stream from a grid and applying it to another: what
// each record carries, what is skipped, and what a grid looks like after
// the round trip.
#include <gtest/gtest.h>

#include <vector>

#include "formats/native/font_name_text.h"
#include "formats/native/native_records.h"
#include "grid/cell.h"
#include "grid/grid_column.h"
#include "grid/grid_row.h"
#include "grid/resource_manager.h"
#include "native_test_support.h"

namespace plu::testing {
namespace {

using namespace native_id;

// The sheet's records between its DIMENSIONS and its EOF.
std::vector<RawRecord> SheetRecords(const std::vector<RawRecord>& all, uint16_t id) {
    std::vector<RawRecord> out;
    for (const RawRecord& r : all)
        if (r.id == id) out.push_back(r);
    return out;
}

std::vector<uint8_t> Stream(const std::vector<const TKtDataRecord*>& records) {
    TKtRecordWriter writer;
    for (const TKtDataRecord* r : records)
        r->WriteTo(writer);
    writer.Write(0, {});
    return writer.Take();
}

class NativeGridFile : public ::testing::Test {
  protected:
    ScopedRegionalSettings en_{RegionalSettings::Defaults()};
};

TEST_F(NativeGridFile, AnEmptyGridIsGlobalsAndABareSheet) {
    PlainGrid grid;
    const std::vector<RawRecord> records = SplitRecords(BuildBytes(grid));
    EXPECT_EQ(Ids(records), (std::vector<uint16_t>{kBOF, kFont, kXF, kBoundSheet, kFormat, kEOF,
                                                   kBOF, kDimensions, kMergedCells, kEOF, 0}));
    EXPECT_EQ(records[7].body, (std::vector<uint8_t>{1, 0, 0, 0, 4, 0, 0, 0, 1, 0, 4, 0, 0, 0}));
    EXPECT_EQ(records[8].body, (std::vector<uint8_t>{0, 0}));
}

TEST_F(NativeGridFile, FixedSizesAreWrittenWhereAReaderWouldGiveOthers) {
    // A fixed column at the body width and a fixed row at the body height
    // (the fixed defaults being 40 and 17) come back as they were.
    PlainGrid grid;
    grid.SetDefaultFixedRowHeight(17);
    grid.SetColWidth(0, grid.DefaultColWidth());
    grid.SetRowHeight(0, grid.DefaultRowHeight());
    const std::vector<RawRecord> records = SplitRecords(BuildBytes(grid));
    EXPECT_EQ(CountOf(records, kColInfo), 1);
    EXPECT_EQ(CountOf(records, kRow), 1);

    PlainGrid back;
    back.SetDefaultFixedRowHeight(17);
    ReadInto(back, BuildBytes(grid));
    EXPECT_EQ(back.ColWidths(0), grid.DefaultColWidth());
    EXPECT_EQ(back.RowHeights(0), grid.DefaultRowHeight());
}

TEST_F(NativeGridFile, ALargeFixedAreaGivesARowRecordPerRowTheFieldCanNumber) {
    // 70,000 fixed rows at a fixed height other than the body's: each fixed
    // row a ROW record can number gives one, those past it none, and the
    // cells of rows on either side of that limit are all written.
    PlainGrid grid;
    grid.SetRowCount(80000);
    grid.SetFixedRowCount(70000);
    grid.SetDefaultFixedRowHeight(grid.DefaultRowHeight() + 3);
    grid.GetCell(1, 100).SetAsString(u"a");
    grid.GetCell(1, 66000).SetAsString(u"b");
    grid.GetCell(1, 75000).SetAsString(u"c");
    std::vector<RawRecord> records = SplitRecords(BuildBytes(grid));
    EXPECT_EQ(CountOf(records, kRow), 65536);
    EXPECT_EQ(CountOf(records, kLabel), 3);

    // At equal defaults a bare fixed row is plain: only a height of its own
    // gives a record.
    grid.SetDefaultFixedRowHeight(grid.DefaultRowHeight());
    grid.SetRowHeight(30000, grid.DefaultRowHeight() + 5);
    records = SplitRecords(BuildBytes(grid));
    EXPECT_EQ(CountOf(records, kRow), 1);
    EXPECT_EQ(CountOf(records, kLabel), 3);
}

TEST_F(NativeGridFile, NumbersTravelAsExtendedFloats) {
    PlainGrid grid;
    grid.GetCell(1, 1).SetAsFloat(1.5);
    grid.GetCell(2, 1).SetAsInteger(7);
    const std::vector<RawRecord> numbers = SheetRecords(SplitRecords(BuildBytes(grid)), kNumber);
    ASSERT_EQ(numbers.size(), 2u);
    EXPECT_EQ(numbers[0].body.size(), 20u);
    EXPECT_EQ(std::vector<uint8_t>(numbers[0].body.begin() + 10, numbers[0].body.end()),
              (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F}));

    PlainGrid back;
    ReadInto(back, BuildBytes(grid));
    EXPECT_EQ(back.GetCell(1, 1).Kind(), TKtValueKind::vkFloat);
    EXPECT_EQ(back.GetCell(1, 1).GetAsFloat(), 1.5);
    // The integer comes back as a float holding 7.
    EXPECT_EQ(back.GetCell(2, 1).Kind(), TKtValueKind::vkFloat);
    EXPECT_EQ(back.GetCell(2, 1).GetAsFloat(), 7.0);
}

TEST_F(NativeGridFile, FormulasTravelAsSourceText) {
    FormulaGrid grid;
    grid.GetCell(1, 1).SetAsInteger(4);
    grid.GetCell(1, 2).SetFormula(u"A1*2");
    const std::vector<RawRecord> formulas = SheetRecords(SplitRecords(BuildBytes(grid)), kFormula);
    ASSERT_EQ(formulas.size(), 1u);
    EXPECT_EQ(TKtFormulaRecord(kFormula, formulas[0].body).Source(), u"A1*2");
    EXPECT_EQ(formulas[0].U16(26), 4);  // count at offset 26, after 16 zero bytes

    FormulaGrid back;
    ReadInto(back, BuildBytes(grid));
    const TKtCell& cell = back.GetCell(1, 2);
    ASSERT_EQ(cell.Kind(), TKtValueKind::vkFormula);
    EXPECT_EQ(cell.GetFormula(), u"A1*2");
    EXPECT_EQ(cell.GetText(), u"8");  // calculated after the load
    back.GetCell(1, 1).SetAsInteger(5);
    EXPECT_EQ(cell.GetText(), u"10");  // and linked to what it refers to
}

TEST_F(NativeGridFile, AFormulaTheGridCannotBuildKeepsItsText) {
    FormulaGrid grid;
    grid.GetCell(1, 1).SetFormula(u"1+2");
    PlainGrid plain;  // no formula support
    ReadInto(plain, BuildBytes(grid));
    EXPECT_EQ(plain.GetCell(1, 1).GetAsString(), u"=1+2");

    const TKtBOFRecord globals(0x0600, kBofGlobals), sheet(0x0700, kBofSheet);
    const TKtEOFRecord eof;
    const TKtFormulaRecord broken(1, 1, 0, u"SUM(");
    const TKtLabelRecord next(2, 1, 0, u"after");
    FormulaGrid back;
    ReadInto(back, Stream({&globals, &eof, &sheet, &broken, &next, &eof}));
    EXPECT_EQ(back.GetCell(1, 1).GetAsString(), u"=SUM(");
    EXPECT_EQ(back.GetCell(1, 2).GetAsString(), u"after");
}

TEST_F(NativeGridFile, TagsHintsAndCommentsTravelWithTheirPosition) {
    PlainGrid grid;
    grid.GetCell(3, 2).SetTag(u"tag text");
    grid.GetCell(1, 3).SetHint(u"hint text");
    grid.GetCell(2, 4).SetComment(u"note");
    const std::vector<RawRecord> records = SplitRecords(BuildBytes(grid));
    const std::vector<RawRecord> tags = SheetRecords(records, kTag);
    ASSERT_EQ(tags.size(), 1u);
    EXPECT_EQ(tags[0].U32(0), 2u);  // row
    EXPECT_EQ(tags[0].U32(4), 3u);  // column
    EXPECT_EQ(TKtTagRecord(kTag, tags[0].body).Text(), u"tag text");
    EXPECT_EQ(CountOf(records, kHint), 1);
    EXPECT_EQ(CountOf(records, kPostil), 1);
    // Such cells are otherwise plain: no cell record for them.
    EXPECT_EQ(CountOf(records, kBlank), 0);

    PlainGrid back;
    ReadInto(back, BuildBytes(grid));
    EXPECT_EQ(back.GetCell(3, 2).Tag(), u"tag text");
    EXPECT_EQ(back.GetCell(1, 3).Hint(), u"hint text");
    EXPECT_EQ(back.GetCell(2, 4).Comment(), u"note");
}

TEST_F(NativeGridFile, WithoutFixedCellsTheFixedAreaStillShapesTheSheet) {
    PlainGrid grid;
    grid.SetFixedRowCount(2);
    grid.GetCell(0, 3).SetAsString(u"fixed column");
    grid.GetCell(2, 0).SetAsString(u"fixed row");
    grid.GetCell(2, 3).SetAsString(u"body");
    grid.SetRowHeight(0, 30);
    grid.SetRowHeight(3, 40);
    grid.SetColWidth(0, 50);
    const std::vector<RawRecord> records = SplitRecords(BuildBytes(grid, false));

    const std::vector<RawRecord> dims = SheetRecords(records, kDimensions);
    ASSERT_EQ(dims.size(), 1u);
    EXPECT_EQ(dims[0].U32(0), 2u);
    EXPECT_EQ(dims[0].U16(8), 1);
    const std::vector<RawRecord> cols = SheetRecords(records, kColInfo);
    ASSERT_EQ(cols.size(), 1u);
    EXPECT_EQ(cols[0].U16(0), 0);  // the fixed column
    const std::vector<RawRecord> labels = SheetRecords(records, kLabel);
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(TKtLabelRecord(kLabel, labels[0].body).Text(), u"body");
    const std::vector<RawRecord> rows = SheetRecords(records, kRow);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].U16(0), 3);
    EXPECT_EQ(rows[0].U16(2), 1);  // first column = FixedColCount
}

TEST_F(NativeGridFile, XFBodyLayout) {
    TKtGridStyle style;
    style.SetFormatString(u"0.00");
    style.SetBorder(2, kLineDashed, clRed);
    style.SetHorzAlign(TKtGridHorzAlign::haRight);
    style.SetVertAlign(TKtGridVertAlign::vaTop);
    style.SetOptions(TKtCellOptions{TKtCellOption::gcoWrapText, TKtCellOption::gcoLocked});
    style.SetExtraAttribute(0x12345678);
    style.SetBgColor(clYellow);
    TKtGridFile file;
    const int index = file.XFIndexOf(style, 3, clBlue);
    EXPECT_EQ(index, 0);
    const TKtXFRecord& xf = *file.Workbook().Globals().XFs.Get(index);
    ASSERT_EQ(xf.Size(), 76u);
    EXPECT_EQ(xf.U16(0), 3);
    EXPECT_EQ(xf.U16(2), 2);
    EXPECT_EQ(xf.I32(4), clNone);
    EXPECT_EQ(xf.I32(12), clRed);
    EXPECT_EQ(xf.U8(46), kLineDashed);
    EXPECT_EQ(xf.U8(54), 3);
    EXPECT_EQ(xf.U8(55), 0);
    EXPECT_EQ(xf.U8(56), 0x05);
    EXPECT_EQ(xf.I32(60), 0x12345678);
    EXPECT_EQ(xf.I32(64), clYellow);
    EXPECT_EQ(xf.I32(68), clBlue);
    EXPECT_EQ(xf.U8(75), style.UsedAttributes());
    // The format is named at its index; an equal style finds the same XF.
    ASSERT_NE(file.Workbook().Globals().Formats.Get(2), nullptr);
    EXPECT_EQ(file.Workbook().Globals().Formats.Get(2)->Text(), u"0.00");
    EXPECT_EQ(file.XFIndexOf(style, 3, clBlue), 0);
    EXPECT_EQ(file.XFIndexOf(style, 3, clRed), 1);
}

TEST_F(NativeGridFile, FormatsAndFontsComeBackWhereTheyWereSet) {
    PlainGrid grid;
    TKtCell& cell = grid.GetCell(2, 2);
    cell.SetAsFloat(3.25);
    cell.OwnStyle().SetFormatString(u"0.000 \"kg\"");  // appended beyond the built-in formats
    cell.OwnStyle().SetBgColor(clAqua);
    cell.OwnStyle().SetBorders(kEdgeMaskBox, kLineMedium, clNavy);
    cell.OwnStyle().SetHorzAlign(TKtGridHorzAlign::haCenter);
    cell.OwnStyle().SetWrapText(true);
    cell.OwnStyle().SetExtraAttribute(-5);
    cell.OwnFont().SetName(u"Courier New");
    cell.OwnFont().SetHeight(-20);
    cell.OwnFont().SetStyle(TFontStyles().With(TFontStyle::fsBold).With(TFontStyle::fsItalic));
    cell.OwnFont().SetColor(clRed);
    cell.OwnFont().SetPitch(TFontPitch::fpFixed);
    cell.OwnFont().SetCharset(ANSI_CHARSET);
    TKtGridColumn& column = grid.GetColumn(3);
    column.Style().SetFormatString(u"0.00");
    column.Font().SetColor(clGreen);
    grid.GetRow(4).Style().SetBgColor(clSilver);
    grid.SetColVisible(1, false);
    grid.MergeCells(1, 3, 3, 3);

    PlainGrid back;
    EXPECT_TRUE(ReadInto(back, BuildBytes(grid)).empty());
    const TKtCell& copy = back.GetCell(2, 2);
    EXPECT_EQ(copy.Style().CopyRecord(), cell.Style().CopyRecord());
    EXPECT_TRUE(copy.Style().SameResource(cell.Style()));
    EXPECT_EQ(copy.GetText(), u"3.250 kg");
    EXPECT_TRUE(SameText(copy.Font().Name(), u"Courier New"));
    EXPECT_EQ(copy.Font().Height(), -20);
    EXPECT_EQ(copy.Font().Style(), cell.Font().Style());
    EXPECT_EQ(copy.Font().Color(), clRed);
    EXPECT_EQ(copy.Font().Pitch(), TFontPitch::fpFixed);
    EXPECT_EQ(copy.Font().Charset(), ANSI_CHARSET);
    EXPECT_FALSE(copy.ParentFont());
    EXPECT_EQ(back.GetColumn(3).Style().FormatString(), u"0.00");
    EXPECT_EQ(back.GetColumn(3).Font().Color(), clGreen);
    ASSERT_NE(back.FindRowObject(4), nullptr);
    EXPECT_EQ(back.GetRow(4).Style().BgColor(), clSilver);
    EXPECT_EQ(back.ColWidths(1), 0);
    EXPECT_EQ(back.HiddenColCount(), 1);
    ASSERT_EQ(back.MergedAreas().Count(), 1);
    EXPECT_EQ(back.MergedAreas()[0].Rect, TRect::FromCorners(1, 3, 3, 3));
    // A plain cell next to it gained neither a style nor a font of its own.
    EXPECT_EQ(back.FindCell(3, 2), nullptr);
}

TEST_F(NativeGridFile, AppliedXFsFollowTheStoredFieldsAndFlags) {
    // Background "no colour" means the default background; the used flags
    // come from the XF as stored; FONT 0 leaves the font's face alone.
    TKtXFRecord xf;
    xf.PutI32(64, clNone);
    xf.PutI32(68, clMaroon);
    xf.PutU8(54, 2);
    xf.PutU8(75, kUsedAlignment);
    for (int i = 0; i < 10; ++i)
        xf.PutI32(4 + 4 * static_cast<size_t>(i), clNone);
    const TKtXFRecord defaultXF;
    const TKtBOFRecord globals(0x0600, kBofGlobals), sheet(0x0700, kBofSheet);
    const TKtEOFRecord eof;
    const TKtBlankRecord blank(1, 1, 1);
    const TKtBlankRecord noXF(1, 2, 0);
    const TKtBlankRecord missingXF(2, 1, 9);
    PlainGrid grid;
    ReadInto(grid,
             Stream({&globals, &defaultXF, &xf, &eof, &sheet, &blank, &noXF, &missingXF, &eof}));
    const TKtCell& cell = grid.GetCell(1, 1);
    EXPECT_EQ(cell.Style().BgColor(), SharedDefaultStyle().BgColor());
    EXPECT_EQ(cell.Style().HorzAlign(), TKtGridHorzAlign::haCenter);
    EXPECT_EQ(cell.Style().UsedAttributes(), kUsedAlignment);
    EXPECT_EQ(cell.Font().Color(), clMaroon);
    EXPECT_EQ(cell.Font().Name(), grid.Font().Name());
    EXPECT_TRUE(grid.GetCell(2, 1).Style().IsDefault());
    EXPECT_TRUE(grid.GetCell(1, 2).Style().IsDefault());
}

TEST_F(NativeGridFile, AnXFNamedTwiceGivesWhatNamingItOnceGives) {
    // XF 1 sets format 7 and flags only the background. Found by the fuzzer:
    // the second ROW record for row 2 dropped the format flag the first one
    // had set, so the grid wrote back a stream that read differently.
    const TKtBOFRecord globals(0x0600, kBofGlobals), sheet(0x0700, kBofSheet);
    const TKtEOFRecord eof;
    const TKtXFRecord xf0;
    TKtXFRecord xf1;
    xf1.PutU16(2, 7);
    xf1.PutI32(64, clSilver);
    xf1.PutU8(75, kUsedBackground);
    const TKtDimensionsRecord dims(1, 4, 1, 4);
    const TKtRowRecord row(2, 0, 5, 300, 1, 0xFFFF);
    const TKtBlankRecord cell(3, 3, 1);
    PlainGrid grid;
    ReadInto(grid, Stream({&globals, &xf0, &xf1, &eof, &sheet, &dims, &row, &row, &cell, &cell,
                           &eof}));
    const uint8_t used = kUsedBackground | kUsedFormat;
    EXPECT_EQ(grid.GetRow(2).Style().UsedAttributes(), used);
    EXPECT_EQ(grid.GetCell(3, 3).Style().UsedAttributes(), used);

    const std::vector<uint8_t> written = BuildBytes(grid);
    PlainGrid copy;
    ReadInto(copy, written);
    EXPECT_EQ(BuildBytes(copy), written);
}

TEST_F(NativeGridFile, StoredFormatsAreFoundByTheirStrings) {
    // XF 1 names format 70 ("0.0000"), XF 2 format 71 (longer than any format
    // may be), XF 3 format 72 (no FORMAT record).
    const TKtBOFRecord globals(0x0600, kBofGlobals), sheet(0x0700, kBofSheet);
    const TKtEOFRecord eof;
    TKtXFRecord xf0, xf1, xf2, xf3;
    xf1.PutU16(2, 70);
    xf2.PutU16(2, 71);
    xf3.PutU16(2, 72);
    const TKtFormatRecord f70(70, u"0.0000"), f71(71, WideString(300, u'0'));
    const TKtNumberRecord a(1, 1, 1, 2.5), b(1, 2, 2, 2.5), c(1, 3, 3, 2.5);
    PlainGrid grid;
    ReadInto(grid, Stream({&globals, &xf0, &xf1, &xf2, &xf3, &f70, &f71, &eof, &sheet, &a, &b, &c,
                           &eof}));
    EXPECT_EQ(grid.GetCell(1, 1).Style().FormatString(), u"0.0000");
    EXPECT_EQ(grid.GetCell(1, 1).GetText(), u"2.5000");
    EXPECT_EQ(grid.GetCell(2, 1).Style().FormatIndex(), 0);
    EXPECT_EQ(grid.GetCell(2, 1).GetText(), u"2.5");
    EXPECT_EQ(grid.GetCell(3, 1).Style().FormatIndex(), 0);
}

TEST_F(NativeGridFile, EqualNeighbouringColumnsShareOneColInfo) {
    PlainGrid grid;
    grid.SetColCount(10);
    for (int c : {2, 3, 4, 6})
        grid.SetColWidth(c, 90);
    const std::vector<RawRecord> cols = SheetRecords(SplitRecords(BuildBytes(grid)), kColInfo);
    ASSERT_EQ(cols.size(), 2u);  // 2 ... 4, 6 (not across the gap at 5)
    EXPECT_EQ(cols[0].U16(0), 2);
    EXPECT_EQ(cols[0].U16(2), 4);
    EXPECT_EQ(cols[1].U16(0), 6);
    EXPECT_EQ(cols[1].U16(2), 6);

    PlainGrid back;
    back.SetColCount(10);
    ReadInto(back, BuildBytes(grid));
    for (int c = 0; c < 10; ++c)
        EXPECT_EQ(back.ColWidths(c), grid.ColWidths(c)) << c;
}

TEST_F(NativeGridFile, PicturesKeepTheirPositions) {
    PlainGrid grid;
    grid.AddPicture({TKtPicture::Bitmap, {1, 2, 3}});
    grid.AddPicture({9, {4, 5}});  // a kind the stream cannot name
    grid.AddPicture({TKtPicture::Jpeg, {6}});
    const std::vector<RawRecord> images = SheetRecords(SplitRecords(BuildBytes(grid)), kImage);
    ASSERT_EQ(images.size(), 3u);
    EXPECT_EQ(images[0].body, (std::vector<uint8_t>{1, 0, 0, 0, 1, 2, 3}));
    EXPECT_TRUE(images[1].body.empty());

    PlainGrid back;
    ReadInto(back, BuildBytes(grid));
    ASSERT_EQ(back.Pictures().size(), 3u);
    EXPECT_EQ(back.Pictures()[0].Type, TKtPicture::Bitmap);
    EXPECT_EQ(back.Pictures()[0].Data, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_TRUE(back.Pictures()[1].IsEmpty());
    EXPECT_EQ(back.Pictures()[2].Data, (std::vector<uint8_t>{6}));
}

TEST_F(NativeGridFile, ImagesWithoutPictureBytesGiveEmptyEntries) {
    const TKtBOFRecord globals(0x0600, kBofGlobals);
    const TKtEOFRecord eof;
    const TKtImageRecord nameOnly(kImage, std::vector<uint8_t>{2, 0, 3, 0, 'a', 'b', 'c'});
    const TKtImageRecord badName(kImage, std::vector<uint8_t>{2, 0, 0xFF, 0xFF, 1});
    const TKtImageRecord otherType(kImage, std::vector<uint8_t>{7, 0, 0, 0, 1});
    const TKtImageRecord named(kImage, std::vector<uint8_t>{4, 0, 1, 0, 'n', 8, 9});
    PlainGrid grid;
    ReadInto(grid, Stream({&globals, &nameOnly, &badName, &otherType, &named, &eof}));
    ASSERT_EQ(grid.Pictures().size(), 4u);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(grid.Pictures()[static_cast<size_t>(i)].IsEmpty()) << i;
    EXPECT_EQ(grid.Pictures()[3].Type, TKtPicture::Icon);
    EXPECT_EQ(grid.Pictures()[3].Data, (std::vector<uint8_t>{8, 9}));
}

TEST_F(NativeGridFile, PlainCellsAreNotWritten) {
    PlainGrid grid;
    grid.GetCell(1, 1);                                  // exists, empty, plain
    grid.GetCell(2, 1).OwnFont().SetColor(clRed);        // empty but coloured
    grid.GetCell(3, 1).OwnStyle().SetBgColor(clYellow);  // empty but filled
    grid.GetCell(1, 2).SetAsString(u"x");
    const std::vector<RawRecord> records = SplitRecords(BuildBytes(grid));
    EXPECT_EQ(CountOf(records, kBlank), 2);
    EXPECT_EQ(CountOf(records, kLabel), 1);
}

TEST_F(NativeGridFile, RecordsOutsideTheGridAreSkipped) {
    const TKtBOFRecord globals(0x0600, kBofGlobals), sheet(0x0700, kBofSheet);
    const TKtEOFRecord eof;
    const TKtDimensionsRecord dims(1, 4, 1, 4);  // 5 x 5
    const TKtLabelRecord inside(4, 4, 0, u"in");
    const TKtLabelRecord below(5, 1, 0, u"out");
    const TKtLabelRecord far(0xFFFFFFF0u, 0xFFFFFFF0u, 0, u"far");
    const TKtTagRecord tag(1, 9, u"out");
    const TKtRowRecord row(7, 0, 5, 600, 0, 0xFFFF);
    const TKtColInfoRecord cols(3, 0xFFFF, 300, 0, 0);
    PlainGrid grid;
    EXPECT_TRUE(ReadInto(grid, Stream({&globals, &eof, &sheet, &dims, &cols, &row, &inside, &below,
                                       &far, &tag, &eof}))
                    .empty());
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(grid.GetCell(4, 4).GetAsString(), u"in");
    EXPECT_EQ(grid.Cells().Get(5), nullptr);
    EXPECT_EQ(grid.FindCell(9, 1), nullptr);
    EXPECT_EQ(grid.ColWidths(4), 20);
    EXPECT_EQ(grid.ColWidths(5), grid.DefaultColWidth());
}

TEST_F(NativeGridFile, TheLowerLayoutHandsValuesOverAsVariants) {
    const TKtBOFRecord globals(0x0600, kBofGlobals), sheet(0x0600, kBofSheet);
    const TKtEOFRecord eof;
    // u16 row and column, then the XF index and the fields.
    const TKtLabelRecord label(kLabel,
                               std::vector<uint8_t>{1, 0, 2, 0, 0, 0, 2, 0, 'h', 0, 'i', 0});
    const TKtNumberRecord number(
        kNumber, std::vector<uint8_t>{2, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F});
    const TKtTagRecord tag(kTag, std::vector<uint8_t>{3, 0, 1, 0, 1, 0, 't', 0});
    PlainGrid grid;
    grid.GetCell(1, 2).SetAsInteger(9);
    ReadInto(grid, Stream({&globals, &eof, &sheet, &label, &number, &tag, &eof}));
    EXPECT_EQ(grid.GetCell(2, 1).GetAsString(), u"hi");
    EXPECT_TRUE(grid.GetCell(1, 2).IsEmpty());  // only LABEL values pass in this layout
    EXPECT_EQ(grid.GetCell(1, 3).Tag(), u"t");
}

TEST(NativeFontNames, ChineseNamesTravelInGbkOthersInWindows1252) {
    EXPECT_EQ(EncodeFontName(u"宋体"), "\xCB\xCE\xCC\xE5");
    EXPECT_EQ(DecodeFontName("\xCB\xCE\xCC\xE5"), u"宋体");
    EXPECT_EQ(EncodeFontName(u"Café"), "Caf\xE9");
    EXPECT_EQ(DecodeFontName("Caf\xE9"), u"Café");
    EXPECT_EQ(EncodeFontName(u"Шрифт"), "?????");  // neither page: "?" as the code page does
    EXPECT_EQ(EncodeFontName(u"A name longer than thirty-one characters").size(), 31u);
    // 16 Chinese characters are 32 GBK bytes: the last one does not fit whole.
    EXPECT_EQ(DecodeFontName(EncodeFontName(WideString(16, u'宋'))), WideString(15, u'宋'));
}

}  // namespace
}  // namespace plu::testing
