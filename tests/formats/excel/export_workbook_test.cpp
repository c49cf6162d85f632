// What the workbook export writes for a grid: default records, cells, their
// formats (FONT, FORMAT and XF records and their sharing), merged ranges,
// columns and row heights, and the limits of a sheet.
#include <algorithm>
#include <set>

#include "export_grid_support.h"
#include "base/screen.h"
#include "formats/biff8/xls_errors.h"
#include "formats/excel/export_xls.h"
#include "formats/excel/vx_workbook.h"
#include "grid/cell.h"
#include "grid/grid_column.h"

namespace plu::exporttest {
namespace {

int CountRecords(const Bytes& stream, uint16_t id) {
    int n = 0;
    for (const RawRecord& r : RawRecords(stream)) n += r.id == id;
    return n;
}

const RawRecord* FirstRecord(const std::vector<RawRecord>& records, uint16_t id) {
    for (const RawRecord& r : records)
        if (r.id == id) return &r;
    return nullptr;
}

uint16_t W(const Bytes& b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }

TEST_F(ExportTest, PrepareAddsTheDefaultFontsXFsStylesAndFormatsOnce) {
    TVxWorkbook book(&measurer);
    book.Prepare();
    book.Prepare();
    TXlsMemoryStream stream;
    book.SaveToStream(stream);
    const SavedBook saved = ReadBack(stream.TakeBytes());

    ASSERT_EQ(saved.fonts.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(saved.fonts[i].name, u"宋体");
        EXPECT_EQ(saved.fonts[i].height, i == 5 ? 180 : 240);
        EXPECT_EQ(saved.fonts[i].colorIndex, 0x7FFF);
        EXPECT_EQ(saved.fonts[i].charset, 134);
        EXPECT_EQ(saved.fonts[i].weight, 400);
    }

    ASSERT_EQ(saved.xfs.size(), 21u);
    const struct {
        int font, format;
        uint16_t protection;
        uint8_t used;
    } expected[21] = {{0, 0, 0xFFF5, 0x00}, {1, 0, 0xFFF5, 0xF4}, {1, 0, 0xFFF5, 0xF4}, {2, 0, 0xFFF5, 0xF4},
                      {2, 0, 0xFFF5, 0xF4}, {0, 0, 0xFFF5, 0xF4}, {0, 0, 0xFFF5, 0xF4}, {0, 0, 0xFFF5, 0xF4},
                      {0, 0, 0xFFF5, 0xF4}, {0, 0, 0xFFF5, 0xF4}, {0, 0, 0xFFF5, 0xF4}, {0, 0, 0xFFF5, 0xF4},
                      {0, 0, 0xFFF5, 0xF4}, {0, 0, 0xFFF5, 0xF4}, {0, 0, 0xFFF5, 0xF4}, {0, 0, 0x0001, 0x00},
                      {5, 9, 0xFFF5, 0xF8}, {5, 44, 0xFFF5, 0xF8}, {5, 42, 0xFFF5, 0xF8}, {5, 43, 0xFFF5, 0xF8},
                      {5, 41, 0xFFF5, 0xF8}};
    for (size_t i = 0; i < 21; ++i) {
        SCOPED_TRACE("XF " + std::to_string(i));
        const SavedXF& x = saved.xfs[i];
        EXPECT_EQ(x.font, expected[i].font);
        EXPECT_EQ(x.format, expected[i].format);
        EXPECT_EQ(x.Word(4), expected[i].protection);
        EXPECT_EQ(x.body[9], expected[i].used);
        EXPECT_EQ(x.body[6], 0x10);
        EXPECT_EQ(x.Word(18), 0x20C0);
        EXPECT_EQ(x.fillPattern, 0);
        // Everything else is zero.
        for (size_t b : {8u, 10u, 11u, 12u, 13u, 14u, 15u, 16u}) EXPECT_EQ(x.body[b], 0) << "byte " << b;
        EXPECT_EQ(x.body[17] & 0x03, 0);
    }

    EXPECT_EQ(saved.styles, (std::vector<uint32_t>{0xFF058010, 0xFF008000, 0xFF048011, 0xFF078012, 0xFF038013,
                                                    0xFF068014}));
    const std::vector<std::pair<int, WideString>> formats = {
        {5, u"\"￥\"#,##0;\"￥\"\\-#,##0"},
        {6, u"\"￥\"#,##0;[Red]\"￥\"\\-#,##0"},
        {7, u"\"￥\"#,##0.00;\"￥\"\\-#,##0.00"},
        {8, u"\"￥\"#,##0.00;[Red]\"￥\"\\-#,##0.00"},
        {42, u"_ \"￥\"* #,##0_ ;_ \"￥\"* \\-#,##0_ ;_ \"￥\"* \"-\"_ ;_ @_ "},
        {41, u"_ * #,##0_ ;_ * \\-#,##0_ ;_ * \"-\"_ ;_ @_ "},
        {44, u"_ \"￥\"* #,##0.00_ ;_ \"￥\"* \\-#,##0.00_ ;_ \"￥\"* \"-\"??_ ;_ @_ "},
        {43, u"_ * #,##0.00_ ;_ * \\-#,##0.00_ ;_ * \"-\"??_ ;_ @_ "},
        {23, u"\\$#,##0_);\\(\\$#,##0\\)"},
        {24, u"\\$#,##0_);[Red]\\(\\$#,##0\\)"},
        {25, u"\\$#,##0.00_);\\(\\$#,##0.00\\)"},
        {26, u"\\$#,##0.00_);[Red]\\(\\$#,##0.00\\)"}};
    ASSERT_EQ(saved.formats.size(), formats.size());
    for (size_t i = 0; i < formats.size(); ++i) {
        EXPECT_EQ(saved.formats[i].index, formats[i].first);
        EXPECT_EQ(saved.formats[i].text, formats[i].second);
    }
    EXPECT_EQ(book.CharWidth(), 8);
    EXPECT_EQ(saved.charWidth, 8);
    EXPECT_FALSE(saved.paletteWritten);
}

TEST_F(ExportTest, TextCellBecomesALabelWithItsRowRecordAndDimensions) {
    grid.GetCell(1, 1).SetText(u"abc");
    TVexaGridExcelHelper helper(nullptr, &measurer);
    helper.AddSheet(u"sheet1", grid, false);
    const Bytes stream = Stream(helper);
    const std::vector<RawRecord> records = RawRecords(stream);

    const RawRecord* label = FirstRecord(records, 0x0204);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(W(label->body, 0), 0);  // row
    EXPECT_EQ(W(label->body, 2), 0);  // column
    EXPECT_EQ(W(label->body, 6), 3);  // character count
    EXPECT_EQ(label->body[8], 1);     // 16-bit characters
    EXPECT_EQ(label->body.size(), 9u + 6u);
    EXPECT_EQ(W(label->body, 9), u'a');

    const SavedSheet sheet = ReadBack(stream).sheets.at(0);
    ASSERT_EQ(sheet.rows.size(), 1u);
    EXPECT_EQ(sheet.rows[0].row, 0);
    EXPECT_EQ(sheet.rows[0].firstCol, 0);
    EXPECT_EQ(sheet.rows[0].colEnd, 0);
    EXPECT_EQ(sheet.rows[0].height, 285);
    EXPECT_EQ(sheet.rows[0].options, 0x01C0);
    EXPECT_EQ(sheet.rows[0].xf, 0);
    EXPECT_EQ(sheet.dimFirstRow, 0);
    EXPECT_EQ(sheet.dimRowEnd, 1);
    EXPECT_EQ(sheet.dimFirstCol, 0);
    EXPECT_EQ(sheet.dimColEnd, 1);
    EXPECT_EQ(sheet.defaultRowHeight, 285);
}

TEST_F(ExportTest, RowRecordsCoverTheirFirstAndLastColumn) {
    grid.SetColCount(8);
    grid.GetCell(6, 2).SetText(u"late");
    grid.GetCell(3, 2).SetText(u"early");
    const SavedSheet sheet = Export().sheets.at(0);
    ASSERT_NE(sheet.Row(1), nullptr);
    EXPECT_EQ(sheet.Row(1)->firstCol, 2);
    EXPECT_EQ(sheet.Row(1)->colEnd, 5);
    EXPECT_EQ(sheet.dimColEnd, 6);
}

TEST_F(ExportTest, NumbersAreNumberRecordsNeverRK) {
    grid.GetCell(1, 1).SetText(u"5");
    grid.GetCell(2, 1).SetText(u"1.25");
    ASSERT_EQ(grid.GetCell(1, 1).Kind(), TKtValueKind::vkInteger);
    TVexaGridExcelHelper helper(nullptr, &measurer);
    helper.AddSheet(u"s", grid, false);
    const Bytes stream = Stream(helper);
    EXPECT_EQ(CountRecords(stream, 0x0203), 2);
    EXPECT_EQ(CountRecords(stream, 0x027E), 0);
    EXPECT_EQ(CountRecords(stream, 0x00BD), 0);
    const SavedSheet sheet = ReadBack(stream).sheets.at(0);
    EXPECT_EQ(sheet.Cell(0, 0)->number, 5.0);
    EXPECT_EQ(sheet.Cell(0, 1)->number, 1.25);
}

// This grid's formulas are not the engine's: such a formula goes out as its
// value (the engine's own are FORMULA records, formula_save_test.cpp).
TEST_F(ExportTest, FormulaCellOfAnotherEngineWritesItsValueWithItsXF) {
    TKtCell& plain = grid.GetCell(1, 1);
    plain.SetText(u"1");
    const size_t before = Export().xfs.size();

    TKtCell& formula = grid.GetCell(2, 2);
    formula.SetText(u"=1+1");
    ASSERT_EQ(formula.Kind(), TKtValueKind::vkFormula);
    formula.OwnStyle().SetBgColor(clLime);
    const SavedBook book = Export();
    ASSERT_NE(book.sheets[0].Cell(1, 1), nullptr);
    EXPECT_EQ(book.sheets[0].Cell(1, 1)->id, 0x0203);
    EXPECT_EQ(book.sheets[0].Cell(1, 1)->number, 7.0);
    EXPECT_EQ(book.xfs.size(), before + 1);
    EXPECT_EQ(book.xfs.back().fillPattern, 1);
}

TEST_F(ExportTest, EmptyCellsAreWrittenOnlyWithAStyleOfTheirOwn) {
    grid.GetCell(1, 1);                                  // empty, default style
    grid.GetCell(2, 1).OwnStyle().SetBgColor(clYellow);  // empty, filled
    const SavedBook book = Export();
    const SavedSheet& sheet = book.sheets[0];
    EXPECT_EQ(sheet.Cell(0, 0), nullptr);
    const SavedCell* blank = sheet.Cell(0, 1);
    ASSERT_NE(blank, nullptr);
    EXPECT_EQ(blank->id, 0x0201);
    const SavedXF& xf = XFOf(book, 0, 1);
    EXPECT_EQ(xf.fillPattern, 1);
    EXPECT_EQ(book.ColorOf(xf.patternColor), static_cast<uint32_t>(clYellow));
}

TEST_F(ExportTest, MergedRangesAreWrittenFromTheirWrittenAnchor) {
    grid.SetRowCount(10);
    grid.SetColCount(6);
    grid.GetCell(2, 4).SetText(u"merged");
    grid.MergeCells(2, 4, 3, 6);  // 2 columns x 3 rows
    grid.GetCell(4, 1);           // an empty, default-styled anchor
    grid.MergeCells(4, 1, 5, 2);
    const SavedSheet sheet = Export().sheets.at(0);
    ASSERT_EQ(sheet.merges.size(), 1u);
    EXPECT_EQ(sheet.merges[0], (SavedMerge{3, 5, 1, 2}));
}

TEST_F(ExportTest, EqualFormatsShareOneXFAndAFontColourMakesANewFont) {
    grid.GetCell(1, 1).SetText(u"a");
    grid.GetCell(1, 1).OwnStyle().SetBgColor(clAqua);
    grid.GetCell(2, 1).SetText(u"b");
    grid.GetCell(2, 1).OwnStyle().SetBgColor(clAqua);
    grid.GetCell(3, 1).SetText(u"c");
    grid.GetCell(3, 1).OwnStyle().SetBgColor(clAqua);
    grid.GetCell(3, 1).OwnFont().SetColor(clBlue);

    const SavedBook book = Export();
    const SavedSheet& sheet = book.sheets[0];
    EXPECT_EQ(sheet.Cell(0, 0)->xf, sheet.Cell(0, 1)->xf);
    EXPECT_NE(sheet.Cell(0, 2)->xf, sheet.Cell(0, 0)->xf);
    const SavedXF& shared = XFOf(book, 0, 0);
    const SavedXF& blue = XFOf(book, 0, 2);
    EXPECT_NE(shared.font, blue.font);
    EXPECT_EQ(book.Font(blue.font).colorIndex, 4);  // pure blue is fixed colour 4
    EXPECT_EQ(book.Font(shared.font).name, book.Font(blue.font).name);
    // Six default fonts, the grid's font and its blue twin; FONT index 4 skipped.
    EXPECT_EQ(book.fonts.size(), 8u);
    EXPECT_EQ(std::max(shared.font, blue.font), 8);
}

TEST_F(ExportTest, FormatStringsGetFormatIndexesFromTwelveOn) {
    grid.SetColCount(6);
    for (int c = 1; c <= 3; ++c) grid.GetCell(c, 1).SetText(u"x");
    grid.GetCell(1, 1).OwnStyle().SetFormatString(u"@");
    grid.GetCell(2, 1).OwnStyle().SetFormatString(u"@");
    grid.GetCell(3, 1).OwnStyle().SetFormatString(u"0");
    const SavedBook book = Export();
    EXPECT_EQ(XFOf(book, 0, 0).format, 12);
    EXPECT_EQ(XFOf(book, 0, 1).format, 12);
    EXPECT_EQ(XFOf(book, 0, 2).format, 13);
    EXPECT_EQ(book.FormatOf(12), u"@");
    EXPECT_EQ(book.FormatOf(13), u"0");
    EXPECT_EQ(book.formats.size(), 14u);
}

TEST_F(ExportTest, BlackBordersAreAutomaticAndAWindowFillIsNoFill) {
    grid.GetColumn(1).Style().SetBgColor(clRed);
    TKtCell& cell = grid.GetCell(1, 1);
    cell.SetText(u"x");
    cell.OwnStyle().SetBorders(kEdgeMaskBox, kLineThin, clBlack);
    cell.OwnStyle().SetBgColor(clBlue);
    cell.OwnStyle().SetBgColor(clWindow);  // own background: the window colour over the red column
    const SavedBook book = Export();
    const SavedXF& xf = XFOf(book, 0, 0);
    for (int slot = 0; slot < 4; ++slot) {
        EXPECT_EQ(xf.borderStyle[slot], 1) << slot;
        EXPECT_EQ(xf.borderColor[slot], 64) << slot;
    }
    EXPECT_EQ(xf.fillPattern, 0);
    EXPECT_EQ(xf.patternColor, 64);
    EXPECT_EQ(xf.backgroundColor, 65);
}

TEST_F(ExportTest, FillsFollowZebraRowsAndTheColourEvent) {
    for (int r = 1; r <= 3; ++r) {
        grid.GetCell(1, r).SetText(u"z");
        grid.GetCell(2, r).SetText(u"e");
    }
    grid.SetZebraRowColor(true);
    grid.OnCellGetColor = [](TKtCustomGrid&, TPoint p, TColor& color) {
        if (p.X == 2 && p.Y == 3) color = clRed;
    };
    const SavedBook book = Export();
    EXPECT_EQ(XFOf(book, 0, 0).fillPattern, 0);  // odd rows: the window colour
    EXPECT_EQ(book.ColorOf(XFOf(book, 1, 0).patternColor), static_cast<uint32_t>(grid.EvenRowColor()));
    EXPECT_EQ(XFOf(book, 2, 0).fillPattern, 0);
    EXPECT_EQ(book.ColorOf(XFOf(book, 2, 1).patternColor), static_cast<uint32_t>(clRed));
    EXPECT_EQ(book.sheets[0].Cell(0, 1)->xf, book.sheets[0].Cell(0, 0)->xf);
}

TEST_F(ExportTest, GridLinesTurnMissingBordersIntoThinLines) {
    grid.GetCell(1, 1).SetText(u"x");
    grid.GetCell(2, 1).SetText(u"y");
    grid.GetCell(2, 1).OwnStyle().SetBorder(kEdgeLeft, kLineThick, clBlack);
    const SavedBook book = Export(true);
    for (int slot = 0; slot < 6; ++slot) EXPECT_EQ(XFOf(book, 0, 0).borderStyle[slot], 1) << slot;
    EXPECT_EQ(XFOf(book, 0, 1).borderStyle[0], 5);
    EXPECT_EQ(XFOf(book, 0, 1).borderStyle[2], 1);
}

TEST_F(ExportTest, AlignmentProtectionWrapAndIndentReachTheXF) {
    TKtCell& cell = grid.GetCell(1, 1);
    cell.SetText(u"x");
    TKtGridStyle& style = cell.OwnStyle();
    style.SetHorzAlign(TKtGridHorzAlign::haRight);
    style.SetVertAlign(TKtGridVertAlign::vaTop);
    style.SetOptions({TKtCellOption::gcoLocked, TKtCellOption::gcoHidden, TKtCellOption::gcoWrapText,
                      TKtCellOption::gcoShrinkToFit});
    style.SetExportAttribute(3);
    const SavedBook book = Export();
    const SavedXF& xf = XFOf(book, 0, 0);
    EXPECT_EQ(xf.horz, 3);
    EXPECT_EQ(xf.vert, 0);
    EXPECT_TRUE(xf.locked);
    EXPECT_TRUE(xf.hidden);
    EXPECT_TRUE(xf.wrap);
    EXPECT_FALSE(xf.shrink);
    EXPECT_EQ(xf.indent, 3);
    EXPECT_EQ(xf.Word(4) >> 4, 0);  // a cell XF with parent 0
    EXPECT_EQ(xf.body[9], 0xFC);
}

TEST_F(ExportTest, FontDescriptionBecomesTheFontRecord) {
    TKtCell& cell = grid.GetCell(1, 1);
    cell.SetText(u"x");
    TKtCellFont font = cell.OwnFont();
    font.SetName(u"Arial");
    font.SetHeight(-16);
    font.SetStyle(TFontStyles(0x0F));  // bold, italic, underline, strike-out
    font.SetColor(clRed);
    const SavedBook book = Export();
    const SavedFont& f = book.Font(XFOf(book, 0, 0).font);
    EXPECT_EQ(f.name, u"Arial");
    EXPECT_EQ(f.height, 240);
    EXPECT_EQ(f.weight, 700);
    EXPECT_EQ(f.style, 0x07);
    EXPECT_EQ(f.underline, 1);
    EXPECT_EQ(f.charset, 134);
    EXPECT_EQ(f.colorIndex, 2);
}

TEST_F(ExportTest, ColumnsGiveWidthsHiddenFlagsAndMergeIntoRuns) {
    grid.SetColCount(6);
    grid.SetColWidth(1, 64);
    grid.SetColWidth(2, 64);
    grid.SetColVisible(4, false);
    TVexaGridExcelHelper helper(nullptr, &measurer);
    helper.AddSheet(u"s", grid, false);
    const Bytes stream = Stream(helper);

    std::vector<RawRecord> colinfos;
    for (const RawRecord& r : RawRecords(stream))
        if (r.id == 0x007D) colinfos.push_back(r);
    ASSERT_EQ(colinfos.size(), 4u);  // columns 0-1, 2, 3 (hidden), 4
    EXPECT_EQ(W(colinfos[0].body, 0), 0);
    EXPECT_EQ(W(colinfos[0].body, 2), 1);
    EXPECT_EQ(W(colinfos[0].body, 4), 2048);
    EXPECT_EQ(W(colinfos[1].body, 4), MulDiv(73, 256, 8));
    EXPECT_EQ(W(colinfos[2].body, 0), 3);
    EXPECT_EQ(W(colinfos[2].body, 4), 0);
    EXPECT_EQ(W(colinfos[2].body, 8) & 1, 1);
    EXPECT_EQ(W(colinfos[3].body, 8) & 1, 0);
}

TEST_F(ExportTest, ColumnFormatsAreWrittenAsColumnXFs) {
    TKtGridColumn& column = grid.GetColumn(2);
    column.Style().SetFormatString(u"0.00");
    column.Style().SetBgColor(clYellow);
    const SavedBook book = Export();
    const SavedColumn* entry = book.sheets[0].Column(1);
    ASSERT_NE(entry, nullptr);
    const SavedXF& xf = book.xfs.at(static_cast<size_t>(entry->xf));
    EXPECT_EQ(book.FormatOf(xf.format), u"0.00");
    EXPECT_EQ(xf.fillPattern, 1);
    EXPECT_EQ(book.ColorOf(xf.patternColor), static_cast<uint32_t>(clYellow));
}

// A cell shows the formats its column (or row) gives it; the cell record's
// XF carries them, or Excel would show the cell in the General format.
TEST_F(ExportTest, InheritedFormatsOfAColumnReachItsCells) {
    TKtGridColumn& column = grid.GetColumn(1);
    column.Style().SetFormatString(u"0.00");
    column.Style().SetHorzAlign(TKtGridHorzAlign::haCenter);
    TKtCell& cell = grid.GetCell(1, 1);
    cell.SetText(u"1.5");
    cell.OwnFont().SetHeight(-20);  // an own font, an own style without a format
    ASSERT_EQ(cell.GetText(), u"1.50");
    grid.GetRow(2).Style().SetBorders(kEdgeMaskBox, kLineDashed, clBlack);
    grid.GetCell(2, 2).SetText(u"row");

    const SavedBook book = Export();
    EXPECT_EQ(book.FormatOf(XFOf(book, 0, 0).format), u"0.00");
    EXPECT_EQ(XFOf(book, 0, 0).horz, 2);
    EXPECT_EQ(XFOf(book, 1, 1).borderStyle[0], 3);
    // The cell's own setting wins over the column's.
    cell.OwnStyle().SetFormatString(u"0.000");
    const SavedBook again = Export();
    EXPECT_EQ(again.FormatOf(XFOf(again, 0, 0).format), u"0.000");
}

TEST_F(ExportTest, RowHeightsDifferentFromTheDefaultGetRowRecords) {
    grid.SetRowCount(6);
    grid.SetRowHeight(2, 30);
    grid.GetRow(3);  // a row object with the default height
    grid.SetRowHeight(4, 25);
    grid.SetRowVisible(4, false);
    const SavedSheet sheet = Export().sheets.at(0);
    ASSERT_EQ(sheet.rows.size(), 2u);
    EXPECT_EQ(sheet.Row(1)->height, 450);
    EXPECT_EQ(sheet.Row(1)->options, 0x01C0);
    EXPECT_EQ(sheet.Row(2), nullptr);
    ASSERT_NE(sheet.Row(3), nullptr);
    EXPECT_EQ(sheet.Row(3)->height, 0);
    EXPECT_EQ(sheet.Row(3)->options & 0x20, 0);  // no hidden flag
}

TEST_F(ExportTest, EmptySheetNameIsWrittenAsSheet) {
    EXPECT_EQ(Export(false, u"").sheets.at(0).name, u"Sheet");
}

TEST_F(ExportTest, GridWithoutBodyGivesAnEmptySheet) {
    grid.SetColCount(1);
    const SavedSheet noColumns = Export().sheets.at(0);
    EXPECT_TRUE(noColumns.cells.empty());
    EXPECT_TRUE(noColumns.columns.empty());
    EXPECT_TRUE(noColumns.rows.empty());

    grid.SetColCount(5);
    grid.SetRowCount(1);
    grid.GetCell(2, 0).SetText(u"header");
    const SavedSheet noRows = Export().sheets.at(0);
    EXPECT_TRUE(noRows.cells.empty());
    EXPECT_TRUE(noRows.rows.empty());
    EXPECT_EQ(noRows.dimRowEnd, 0);
}

TEST_F(ExportTest, RangeWithFixedCellsTakesTheirFillsAndTheDestination) {
    grid.GetCell(0, 0).SetText(u"corner");
    grid.GetCell(1, 0).SetText(u"top");
    grid.GetCell(0, 1).SetText(u"left");
    grid.GetCell(1, 1).SetText(u"body");
    TVexaGridExcelHelper helper(nullptr, &measurer);
    helper.AddSheetRange(u"r", grid, clYellow, clAqua, false, 2, 3, TRect{0, 0, 2, 2});
    const SavedBook book = ReadBack(Stream(helper));
    const SavedSheet& sheet = book.sheets.at(0);
    ASSERT_NE(sheet.Cell(2, 3), nullptr);
    EXPECT_EQ(sheet.Cell(2, 3)->text, u"corner");
    EXPECT_EQ(sheet.Cell(3, 4)->text, u"body");
    EXPECT_EQ(book.ColorOf(XFOf(book, 2, 3).patternColor), static_cast<uint32_t>(clYellow));
    EXPECT_EQ(book.ColorOf(XFOf(book, 2, 4).patternColor), static_cast<uint32_t>(clYellow));
    EXPECT_EQ(book.ColorOf(XFOf(book, 3, 3).patternColor), static_cast<uint32_t>(clAqua));
    EXPECT_EQ(XFOf(book, 3, 4).fillPattern, 0);
    // Column entries start at the destination column.
    EXPECT_EQ(sheet.columns.front().column, 3);
}

TEST_F(ExportTest, LongTextsUpToTheCellLimitAreKept) {
    grid.SetColCount(4);
    const WideString nineThousand(9000, u'文');
    const WideString limit(32767, u'x');
    grid.GetCell(1, 1).SetText(nineThousand);
    grid.GetCell(2, 1).SetText(limit);
    const SavedSheet sheet = Export().sheets.at(0);
    EXPECT_EQ(sheet.Cell(0, 0)->text, nineThousand);
    EXPECT_EQ(sheet.Cell(0, 1)->text, limit);

    grid.GetCell(3, 1).SetText(WideString(32768, u'y'));
    TVexaGridExcelHelper helper(nullptr, &measurer);
    try {
        helper.AddSheet(u"s", grid, false);
        FAIL() << "a text beyond 32,767 characters was accepted";
    } catch (const EXlsError& e) {
        EXPECT_NE(WideToUtf8(e.Message()).find("cell C1"), std::string::npos) << e.what();
    }
}

TEST_F(ExportTest, ContentBeyondTheSheetLimitsFailsAndKeepsThePreviousFile) {
    TempDir dir;
    const std::string path = dir.File("limits.xls");
    WriteFileBytes(path, "previous");

    grid.SetRowCount(70000);
    grid.GetCell(1, 66000).SetText(u"far down");
    EXPECT_THROW(SaveToXlsFile(grid, path), EXlsError);
    EXPECT_EQ(ReadFileBytes(path), "previous");

    grid.SetRowCount(5);
    grid.SetColCount(300);
    grid.GetCell(1, 1).SetText(u"near");
    SaveToXlsFile(grid, path);  // empty columns beyond 256 carry nothing
    const SavedSheet sheet = ReadBack(WorkbookStreamOfFile(path)).sheets.at(0);
    EXPECT_EQ(sheet.Cell(0, 0)->text, u"near");
    EXPECT_LE(sheet.columns.back().column, 255);

    grid.GetCell(290, 1).SetText(u"far right");
    EXPECT_THROW(SaveToXlsFile(grid, path), EXlsError);
    grid.GetCell(290, 1).Clear(false);
    grid.SetColWidth(280, 10);
    EXPECT_THROW(SaveToXlsFile(grid, path), EXlsError);
}

TEST_F(ExportTest, TooManyColoursFailWith65227AndKeepThePreviousFile) {
    TempDir dir;
    const std::string path = dir.File("colours.xls");
    WriteFileBytes(path, "previous");
    grid.SetRowCount(70);
    for (int r = 1; r < 60; ++r) {
        TKtCell& cell = grid.GetCell(1, r);
        cell.SetText(u"c");
        cell.OwnStyle().SetBgColor(RGB(3, r, 5));
    }
    try {
        SaveToXlsFile(grid, path);
        FAIL() << "57 new colours fitted a 56-entry palette";
    } catch (const EXlsError& e) {
        EXPECT_EQ(e.Id(), kXlsTooManyEntries);
        EXPECT_EQ(e.Message(), u"过多的条目 (-1 超过最大支持数55)");
    }
    EXPECT_EQ(ReadFileBytes(path), "previous");
}

TEST_F(ExportTest, NewColoursGoIntoThePaletteOnce) {
    for (int r = 1; r < 4; ++r) {
        grid.GetCell(1, r).SetText(u"c");
        grid.GetCell(1, r).OwnStyle().SetBgColor(RGB(3, 7, 5));
    }
    const SavedBook book = Export();
    EXPECT_TRUE(book.paletteWritten);
    EXPECT_EQ(XFOf(book, 0, 0).patternColor, 63);
    EXPECT_EQ(XFOf(book, 2, 0).patternColor, 63);
    EXPECT_EQ(book.ColorOf(63), static_cast<uint32_t>(RGB(3, 7, 5)));
}

TEST_F(ExportTest, SaveToXlsFileWritesAWorkbookUnderAnyPath) {
    TempDir dir;
    const std::string path = dir.File("价格表 é.xls");
    grid.GetCell(1, 1).SetText(u"苹果");
    SaveToXlsFile(grid, path);
    const SavedBook book = ReadBack(WorkbookStreamOfFile(path));
    ASSERT_EQ(book.sheets.size(), 1u);
    EXPECT_EQ(book.sheets[0].name, u"sheet1");
    EXPECT_EQ(book.sheets[0].Cell(0, 0)->text, u"苹果");
}

TEST_F(ExportTest, HelperAnswersSheetQuestionsAndRefusesReadingWithoutAReader) {
    auto helper = CreateGridExcelHelper(nullptr, &measurer);
    helper->AddSheet(u"Prices", grid, false);
    helper->AddSheet(u"", grid, false);
    int count = 0;
    ASSERT_TRUE(helper->GetSheetCount(count).Succeeded());
    EXPECT_EQ(count, 2);
    WideString name;
    ASSERT_TRUE(helper->GetSheetName(1, name).Succeeded());
    EXPECT_EQ(name, u"Sheet");
    const TVxResult bad = helper->GetSheetName(5, name);
    EXPECT_TRUE(bad.Failed);
    EXPECT_FALSE(bad.Message.empty());
    EXPECT_THROW(CheckVxResult(bad), Exception);
    EXPECT_EQ(helper->IndexOfSheet(u"PRICES"), 0);
    EXPECT_EQ(helper->IndexOfSheet(u"missing"), -1);

    TKtCustomGrid target;
    EXPECT_THROW(helper->ReadSheet(target, 0, 0, 0, 0), Exception);
    EXPECT_NO_THROW(helper->ReadSheetByName(target, u"missing"));

    TempDir dir;
    helper->SaveToFile(dir.File("two.xls"));
    TVexaGridExcelHelper reader(nullptr, &measurer);
    reader.LoadFromFile(dir.File("two.xls"));
    ASSERT_TRUE(reader.GetSheetCount(count).Succeeded());
    EXPECT_EQ(count, 2);
    EXPECT_EQ(reader.CharWidth(), 8);
}

TEST_F(ExportTest, WorksheetsInsertAtAnIndex) {
    TVxWorkbook book(&measurer);
    book.Prepare();
    book.Worksheets().Add().SetName(u"b");
    book.Worksheets().Add(0).SetName(u"a");
    book.Worksheets().Add(-1).SetName(u"c");
    ASSERT_EQ(book.Worksheets().Count(), 3);
    EXPECT_EQ(book.Worksheets().Item(0).GetName(), u"a");
    EXPECT_EQ(book.Worksheets().Item(1).GetName(), u"b");
    EXPECT_EQ(book.Worksheets().Item(2).GetName(), u"c");
    EXPECT_THROW(book.Worksheets().Item(3), ERangeError);
    EXPECT_EQ(book.Worksheets().Item(0).DefaultColWidthPixels(), 64);
}

}  // namespace
}  // namespace plu::exporttest
