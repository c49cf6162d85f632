// Reading sheets of a workbook into grids: placement, extent, formats,
// values, formulas, sheet settings and pasting at a position. Each workbook
// is built record by record so it holds exactly what the case is about.
#include <gtest/gtest.h>

#include <chrono>
#include <tuple>

#include "base/color.h"
#include "formats/biff8/palette.h"
#include "formats/biff8/record_lists.h"
#include "formats/biff8/xls_errors.h"
#include "formats/excel/import_grid.h"
#include "formulas/data_grid_formulas.h"
#include "grid/cell.h"
#include "grid/custom_grid.h"
#include "grid/grid_row.h"
#include "grid/grid_selection.h"
#include "grid/resource_manager.h"
#include "import_test_support.h"

namespace plu {
namespace {

using namespace test;

// A grid with the formula service of a data grid.
class FormulaGrid : public TKtCustomGrid {
  public:
    FormulaGrid() : formulas_(*this) {}
    std::unique_ptr<IKtFormula> CreateFormula(TKtValue& owner, WideStringView text,
                                              const IKtFormula* old) override {
        return formulas_.CreateFormula(owner, text, old);
    }
    void Calculate() override { formulas_.Calculate(); }

  private:
    TKtDataGridFormulas formulas_;
};

WideString TextAt(const TKtCustomGrid& grid, int col, int row) {
    const TKtCell* cell = grid.FindCell(col, row);
    return cell ? cell->GetAsString() : u"<no cell>";
}

// One sheet "S" with DIMENSIONS over rows 0 ... rowEnd - 1, columns 0 ... colEnd - 1.
BookBuilder OneSheet(uint32_t rowEnd = 1, uint16_t colEnd = 1) {
    BookBuilder b;
    b.Sheet(u"S").Add(id::DIMENSIONS, Dimensions(0, rowEnd, 0, colEnd));
    return b;
}

void Read(const BookBuilder& b, TKtCustomGrid& grid, int fixedCols = 0, int fixedRows = 0) {
    LoadedBook book(b.Stream());
    TVxGridImport import;
    import.ReadSheet(book.Source(), grid, 0, fixedCols, fixedRows);
}

TEST(ExcelImportPlacement, SheetOriginFollowsTheFixedCounts) {
    BookBuilder b = OneSheet(2, 2);
    b.Add(id::LABEL, Label(0, 0, 1, u"abc")).Add(id::LABEL, Label(1, 1, 1, u"d"));

    TKtCustomGrid standard;
    Read(b, standard);
    EXPECT_EQ(TextAt(standard, 1, 1), u"abc");
    EXPECT_EQ(TextAt(standard, 2, 2), u"d");
    EXPECT_EQ(standard.FixedColCount(), 1);
    EXPECT_EQ(standard.FixedRowCount(), 1);

    // Fixed counts given: the sheet's first row and column are the header cells.
    TKtCustomGrid headers;
    Read(b, headers, 1, 1);
    EXPECT_EQ(TextAt(headers, 0, 0), u"abc");
    EXPECT_EQ(TextAt(headers, 1, 1), u"d");
    TKtCustomGrid two;
    Read(b, two, 2, 2);
    EXPECT_EQ(two.FixedColCount(), 2);
    EXPECT_EQ(TextAt(two, 0, 0), u"abc");
}

TEST(ExcelImportExtent, DimensionsGrowTheGridButNeverShrinkIt) {
    TKtCustomGrid grid;  // 5 x 5
    Read(OneSheet(10, 4), grid);
    EXPECT_EQ(grid.RowCount(), 11);
    EXPECT_EQ(grid.ColCount(), 5);

    TKtCustomGrid wide;
    Read(OneSheet(10, 8), wide);
    EXPECT_EQ(wide.ColCount(), 9);

    TKtCustomGrid large;
    large.SetColCount(30);
    large.SetRowCount(40);
    Read(OneSheet(10, 4), large);
    EXPECT_EQ(large.ColCount(), 30);
    EXPECT_EQ(large.RowCount(), 40);
}

TEST(ExcelImportExtent, CellsOutsideTheRowRecordsAndDimensionsAreStillRead) {
    BookBuilder b;
    b.Sheet(u"S")
        .Add(id::ROW, Row(2, 0, 2, 255, 0))
        .Add(id::ROW, Row(5, 1, 4, 255, 0))
        .Add(id::NUMBER, Number(1, 0, 1, 10))  // above the first ROW record
        .Add(id::NUMBER, Number(2, 0, 1, 20))
        .Add(id::NUMBER, Number(5, 4, 1, 54))
        .Add(id::NUMBER, Number(5, 5, 1, 55))   // beyond the largest column end
        .Add(id::NUMBER, Number(6, 0, 1, 60));  // below the last ROW record
    TKtCustomGrid grid;
    Read(b, grid);
    EXPECT_EQ(TextAt(grid, 1, 3), u"20");
    EXPECT_EQ(TextAt(grid, 5, 6), u"54");
    // Writers get ROW records and DIMENSIONS wrong: the cells decide too.
    EXPECT_EQ(TextAt(grid, 1, 2), u"10");
    EXPECT_EQ(TextAt(grid, 6, 6), u"55");
    EXPECT_EQ(TextAt(grid, 1, 7), u"60");
    EXPECT_EQ(grid.RowCount(), 8);
    EXPECT_EQ(grid.ColCount(), 7);

    BookBuilder small = OneSheet(1, 1);  // DIMENSIONS says A1 only
    small.Add(id::NUMBER, Number(0, 0, 1, 1)).Add(id::NUMBER, Number(3, 2, 1, 32));
    TKtCustomGrid all;
    Read(small, all);
    EXPECT_EQ(TextAt(all, 3, 4), u"32");
}

TEST(ExcelImportExtent, AbsurdDimensionsAreBoundedByTheFormat) {
    BookBuilder b;
    b.Sheet(u"S")
        .Add(id::DIMENSIONS, Dimensions(0, 0xFFFFFFFFu, 0, 0xFFFF))
        .Add(id::NUMBER, Number(0, 0, 1, 1))
        .Add(id::NUMBER, Number(65535, 3, 1, 2));
    TKtCustomGrid grid;
    const auto start = std::chrono::steady_clock::now();
    Read(b, grid);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(grid.RowCount(), 65537);
    EXPECT_EQ(TextAt(grid, 1, 1), u"1");
    EXPECT_EQ(TextAt(grid, 4, 65536), u"2");

    // A sheet without DIMENSIONS and ROW records still reads its cells.
    BookBuilder bare;
    bare.Sheet(u"E").Add(id::NUMBER, Number(0, 0, 1, 1));
    TKtCustomGrid read;
    Read(bare, read);
    EXPECT_EQ(TextAt(read, 1, 1), u"1");
    EXPECT_EQ(read.RowCount(), 5);
}

TEST(ExcelImportFormats, CellsOfOneXfShareOneStyleDecodedOnce) {
    BookBuilder b = OneSheet(1, 3);
    XfSpec red;
    red.pattern = 1;
    red.patternColor = 10;
    const int x = b.AddXf(red);
    b.Add(id::NUMBER, Number(0, 0, x, 1)).Add(id::NUMBER, Number(0, 1, x, 2));
    b.Add(id::NUMBER, Number(0, 2, 1, 3));
    LoadedBook book(b.Stream());
    TVxGridImport import;

    // The second cell's destination already has a style of its own: taken
    // from the template it ends up with the first cell's style; decoded
    // from the XF again it would have kept its own option.
    TKtCustomGrid grid;
    grid.GetCell(6, 5).OwnStyle().SetOptions({TKtCellOption::gcoNotPrint});
    import.ReadSheetAt(book.Source(), grid, 0, 5, 5);
    const TKtCell& first = *grid.FindCell(5, 5);
    const TKtCell& second = *grid.FindCell(6, 5);
    EXPECT_TRUE(first.Style().SameResource(second.Style()));
    EXPECT_FALSE(second.Style().Options().Has(TKtCellOption::gcoNotPrint));
    EXPECT_EQ(second.Style().BgColor(), TPaletteRecord::DefaultColor(10));
    EXPECT_FALSE(first.Style().SameResource(grid.FindCell(7, 5)->Style()));
    EXPECT_EQ(import.TemplateCount(), 2);

    // The caches live on: another grid read through the same import shares them.
    TKtCustomGrid other;
    import.ReadSheet(book.Source(), other, 0, 0, 0);
    EXPECT_TRUE(other.FindCell(1, 1)->Style().SameResource(first.Style()));
}

TEST(ExcelImportFormats, CellsWhoseXFsNameOneFontShareOnePooledFont) {
    BookBuilder b = OneSheet(1, 3);
    FontSpec face;
    face.name = u"Shared Face";
    XfSpec plain, filled;
    plain.font = filled.font = b.AddFont(face);
    filled.pattern = 1;
    filled.patternColor = 10;
    const int x = b.AddXf(plain);
    b.Add(id::NUMBER, Number(0, 0, x, 1)).Add(id::NUMBER, Number(0, 1, x, 2));
    b.Add(id::NUMBER, Number(0, 2, b.AddXf(filled), 3));
    const size_t before = ResourceManager().FontCount();
    TKtCustomGrid grid;
    Read(b, grid);
    const TFont& first = grid.FindCell(1, 1)->Font();
    EXPECT_EQ(first.Name(), u"Shared Face");
    // One font for the sheet, whichever XF a cell has: not one per cell.
    EXPECT_EQ(&grid.FindCell(2, 1)->Font(), &first);
    EXPECT_EQ(&grid.FindCell(3, 1)->Font(), &first);
    EXPECT_EQ(ResourceManager().FontCount(), before + 1);
}

TEST(ExcelImportFormats, FontIndexFourDoesNotExist) {
    BookBuilder b = OneSheet(1, 3);
    for (const char16_t* name : {u"F1", u"F2", u"F3", u"F4"}) {
        FontSpec f;
        f.name = name;
        b.AddFont(f);
    }
    XfSpec five, three, four;
    five.font = 5;
    three.font = 3;
    four.font = 4;
    b.Add(id::NUMBER, Number(0, 0, b.AddXf(five), 1));
    b.Add(id::NUMBER, Number(0, 1, b.AddXf(three), 1));
    b.Add(id::NUMBER, Number(0, 2, b.AddXf(four), 1));
    TKtCustomGrid grid;
    grid.SetColCount(4);
    Read(b, grid);
    EXPECT_EQ(grid.FindCell(1, 1)->Font().Name(), u"F4");  // fifth FONT record
    EXPECT_EQ(grid.FindCell(2, 1)->Font().Name(), u"F3");  // fourth FONT record
    EXPECT_TRUE(grid.FindCell(3, 1)->ParentFont());        // no FONT at all
}

TEST(ExcelImportFormats, FillColourFromThePatternColour) {
    BookBuilder b = OneSheet(1, 3);
    XfSpec automatic, system, palette;
    automatic.patternColor = 64;
    system.patternColor = 8;
    palette.patternColor = 12;
    palette.pattern = 0;  // the fill pattern is not looked at
    b.Add(id::BLANK, Blank(0, 0, b.AddXf(automatic)));
    b.Add(id::BLANK, Blank(0, 1, b.AddXf(system)));
    b.Add(id::BLANK, Blank(0, 2, b.AddXf(palette)));
    TKtCustomGrid grid;
    Read(b, grid);
    EXPECT_EQ(grid.FindCell(1, 1)->Style().BgColor(), ColorToRGB(clWindow));
    EXPECT_EQ(grid.FindCell(2, 1)->Style().BgColor(), clWindow);
    EXPECT_EQ(grid.FindCell(3, 1)->Style().BgColor(), TPaletteRecord::DefaultColor(12));
}

TEST(ExcelImportFormats, XfFieldsBecomeStyleAttributes) {
    BookBuilder b = OneSheet(1, 4);
    b.AddFormat(164, u"0.000");
    XfSpec x;
    x.format = 164;
    x.horz = 2;
    x.vert = 0;
    x.locked = x.wrap = true;
    x.borderStyles[0] = 1;  // left thin, automatic colour
    x.borderStyles[3] = 2;  // bottom medium, palette colour
    x.borderColors[3] = 10;
    XfSpec y;
    y.format = 10;  // built in
    y.hidden = y.shrink = true;
    y.horz = 7;  // no such alignment
    y.vert = 5;
    b.Add(id::NUMBER, Number(0, 0, b.AddXf(x), 1.5));
    b.Add(id::NUMBER, Number(0, 1, b.AddXf(y), 1.5));
    TKtCustomGrid grid;
    Read(b, grid);

    const TKtGridStyle& s = grid.FindCell(1, 1)->Style();
    EXPECT_EQ(s.FormatString(), u"0.000");
    EXPECT_EQ(grid.FindCell(1, 1)->GetText(), u"1.500");
    EXPECT_EQ(s.HorzAlign(), TKtGridHorzAlign::haCenter);
    EXPECT_EQ(s.VertAlign(), TKtGridVertAlign::vaTop);
    EXPECT_TRUE(s.Options().Has(TKtCellOption::gcoLocked));
    EXPECT_TRUE(s.Options().Has(TKtCellOption::gcoWrapText));
    EXPECT_FALSE(s.Options().Has(TKtCellOption::gcoHidden));
    EXPECT_EQ(s.BorderLine(kEdgeLeft), 1);
    EXPECT_EQ(s.BorderColor(kEdgeLeft), clWindowText);
    EXPECT_EQ(s.BorderLine(kEdgeBottom), 2);
    EXPECT_EQ(s.BorderColor(kEdgeBottom), TPaletteRecord::DefaultColor(10));
    EXPECT_EQ(s.BorderLine(kEdgeTop), 0);

    const TKtGridStyle& t = grid.FindCell(2, 1)->Style();
    EXPECT_EQ(t.FormatString(), BuiltInFormat(10));
    EXPECT_TRUE(t.Options().Has(TKtCellOption::gcoHidden));
    EXPECT_TRUE(t.Options().Has(TKtCellOption::gcoShrinkToFit));
    EXPECT_EQ(t.HorzAlign(), TKtGridHorzAlign::haGeneral);
    EXPECT_EQ(t.VertAlign(), TKtGridVertAlign::vaCenter);
}

TEST(ExcelImportFormats, FontRecordBecomesTheCellFont) {
    BookBuilder b = OneSheet(1, 3);
    FontSpec f;
    f.name = u"宋体";
    f.twips = 240;
    f.bold = f.italic = f.strikeOut = true;
    f.underline = 0x21;  // single accounting
    f.colorIndex = 10;
    f.charset = 134;
    XfSpec x;
    x.font = b.AddFont(f);
    FontSpec plain;
    plain.twips = 180;
    XfSpec y;
    y.font = b.AddFont(plain);
    FontSpec gridLike;  // draws as the grid's font: Arial 10 pt in window-text black
    gridLike.charset = 134;
    XfSpec z;
    z.font = b.AddFont(gridLike);
    b.Add(id::NUMBER, Number(0, 0, b.AddXf(x), 1)).Add(id::NUMBER, Number(0, 1, b.AddXf(y), 1));
    b.Add(id::NUMBER, Number(0, 2, b.AddXf(z), 1));
    TKtCustomGrid grid;
    grid.Font().SetName(u"Arial");
    grid.Font().SetHeight(-13);
    Read(b, grid);

    const TFont& font = grid.FindCell(1, 1)->Font();
    EXPECT_EQ(font.Name(), u"宋体");  // not narrowed to the 8-bit code page
    EXPECT_EQ(font.Height(), -16);
    EXPECT_EQ(font.Charset(), 134);
    EXPECT_EQ(font.Color(), TPaletteRecord::DefaultColor(10));
    EXPECT_TRUE(font.Bold() && font.Italic() && font.StrikeOut() && font.Underline());
    EXPECT_FALSE(grid.FindCell(1, 1)->ParentFont());

    const TFont& other = grid.FindCell(2, 1)->Font();
    EXPECT_EQ(other.Name(), u"Arial");
    EXPECT_EQ(other.Height(), -12);
    EXPECT_EQ(other.Color(), ColorToRGB(clWindowText));
    EXPECT_FALSE(other.Bold() || other.Italic() || other.StrikeOut() || other.Underline());

    // A font that draws as the grid's leaves the cell following the grid's
    // font, as assigning an equal font does.
    TKtCell& same = *grid.FindCell(3, 1);
    EXPECT_TRUE(same.ParentFont());
    grid.Font().SetHeight(-20);
    EXPECT_EQ(same.Font().Height(), -20);
    EXPECT_EQ(grid.FindCell(2, 1)->Font().Height(), -12);
}

TEST(ExcelImportValues, EachRecordKindGivesItsValue) {
    BookBuilder b = OneSheet(2, 6);
    b.SetStrings({u"first", u"价格"});
    b.Add(id::LABELSST, LabelSst(0, 0, 1, 1))
        .Add(id::RK, Rk(0, 1, 1, 0x3FF00000))  // 1.0
        .Add(id::RK, Rk(0, 2, 1, 0x00000007))  // integer 1 / 100
        .Add(id::BOOLERR, BoolErr(0, 3, 1, 1, false))
        .Add(id::LABEL, Label(0, 4, 1, u"label"))
        .Add(id::NUMBER, Number(0, 5, 1, -2.5))
        .Add(id::BLANK, Blank(1, 0, 1));
    TKtCustomGrid grid;
    grid.SetColCount(8);
    grid.GetCell(1, 2).SetAsString(u"before");
    Read(b, grid);
    EXPECT_EQ(TextAt(grid, 1, 1), u"价格");
    EXPECT_EQ(grid.FindCell(2, 1)->Kind(), TKtValueKind::vkFloat);
    EXPECT_DOUBLE_EQ(grid.FindCell(2, 1)->GetAsFloat(), 1.0);
    EXPECT_DOUBLE_EQ(grid.FindCell(3, 1)->GetAsFloat(), 0.01);
    // BOOLERR TRUE reads as typing "TRUE" gives: the integer 1.
    EXPECT_EQ(grid.FindCell(4, 1)->Kind(), TKtValueKind::vkInteger);
    EXPECT_EQ(TextAt(grid, 4, 1), u"1");
    EXPECT_EQ(TextAt(grid, 5, 1), u"label");
    EXPECT_DOUBLE_EQ(grid.FindCell(6, 1)->GetAsFloat(), -2.5);
    EXPECT_TRUE(grid.FindCell(1, 2)->IsEmpty());  // BLANK clears
}

Bytes APlusOne() {
    Bytes t = RefToken(0, 0);
    for (const Bytes& part : {IntToken(1), AddToken()})
        t.insert(t.end(), part.begin(), part.end());
    return t;
}

TEST(ExcelImportFormulas, FormulaTextWithItsSourcePosition) {
    BookBuilder b = OneSheet(2, 2);
    b.Add(id::NUMBER, Number(0, 0, 1, 41)).Add(id::FORMULA, Formula(1, 1, 1, 999, APlusOne()));
    LoadedBook book(b.Stream());
    TVxGridImport import;

    FormulaGrid grid;
    import.ReadSheet(book.Source(), grid, 0, 0, 0);
    TKtCell& cell = *grid.FindCell(2, 2);
    EXPECT_EQ(cell.Kind(), TKtValueKind::vkFormula);
    EXPECT_EQ(cell.GetFormula(), u"A1+1");
    EXPECT_DOUBLE_EQ(cell.GetAsFloat(), 42);  // calculated, not the cached 999
    grid.FindCell(1, 1)->SetAsFloat(1);
    EXPECT_DOUBLE_EQ(cell.GetAsFloat(), 2);

    // Pasted two cells further right and down, the reference follows A1.
    FormulaGrid pasted;
    pasted.SetColCount(8);
    pasted.SetRowCount(8);
    import.ReadSheetAt(book.Source(), pasted, 0, 3, 3);
    EXPECT_EQ(pasted.FindCell(4, 4)->GetFormula(), u"C3+1");
    EXPECT_DOUBLE_EQ(pasted.FindCell(4, 4)->GetAsFloat(), 42);
}

TEST(ExcelImportFormulas, SharedFormulaIsReadForEachCell) {
    BookBuilder b = OneSheet(3, 2);
    // B1:B3 = left neighbour + 1, stored once in a SHRFMLA.
    const Bytes shared = Body().U8(0x4C).U16(0).U16(0xC0FF).U8(0x1E).U16(1).U8(0x03);
    for (uint16_t r = 0; r < 3; ++r)
        b.Add(id::NUMBER, Number(r, 0, 1, 10.0 * (r + 1)));
    const Bytes exp = Body().U8(0x01).U16(0).U16(1);
    b.Add(id::FORMULA, FormulaSpecial(0, 1, 1, Body().F64(0), exp, 0x0008));
    b.Add(id::SHRFMLA, SharedFormula(0, 2, 1, 1, shared));
    for (uint16_t r = 1; r < 3; ++r)
        b.Add(id::FORMULA, FormulaSpecial(r, 1, 1, Body().F64(0), exp, 0x0008));
    FormulaGrid grid;
    Read(b, grid);
    EXPECT_EQ(grid.FindCell(2, 2)->GetFormula(), u"A2+1");
    EXPECT_DOUBLE_EQ(grid.FindCell(2, 3)->GetAsFloat(), 31);
}

TEST(ExcelImportFormulas, UncompilableFormulaKeepsItsCachedResult) {
    BookBuilder b = OneSheet(1, 5);
    const Bytes unknown = Body().U8(0xFF);                               // no such token
    const Bytes otherSheet = Body().U8(0x5A).U16(0).U16(0).U16(0xC000);  // Sheet2!A1
    b.Add(id::FORMULA, Formula(0, 0, 1, 12.5, unknown));
    b.Add(id::FORMULA, FormulaSpecial(0, 1, 1, Body().U8(0).U8(0).U32(0).U16(0xFFFF), otherSheet));
    b.Add(id::STRING, Body().Str(u"cached text", 2));
    b.Add(id::FORMULA,
          FormulaSpecial(0, 2, 1, Body().U8(1).U8(0).U8(1).U8(0).U16(0).U16(0xFFFF), unknown));
    b.Add(id::FORMULA,
          FormulaSpecial(0, 3, 1, Body().U8(2).U8(0).U8(0x07).U8(0).U16(0).U16(0xFFFF), unknown));
    b.Add(id::FORMULA, FormulaSpecial(0, 4, 1, Body().U8(3).U8(0).U32(0).U16(0xFFFF), unknown));
    FormulaGrid grid;
    grid.SetColCount(7);
    Read(b, grid);
    EXPECT_EQ(grid.FindCell(1, 1)->Kind(), TKtValueKind::vkFloat);
    EXPECT_DOUBLE_EQ(grid.FindCell(1, 1)->GetAsFloat(), 12.5);
    EXPECT_EQ(TextAt(grid, 2, 1), u"cached text");
    EXPECT_EQ(grid.FindCell(3, 1)->Kind(), TKtValueKind::vkInteger);
    EXPECT_TRUE(grid.FindCell(3, 1)->GetAsBoolean());
    EXPECT_EQ(TextAt(grid, 4, 1), u"#DIV/0!");
    EXPECT_TRUE(grid.FindCell(5, 1)->IsEmpty());  // an empty text result

    // A grid without formula support keeps every formula's cached result.
    BookBuilder c = OneSheet(2, 2);
    c.Add(id::NUMBER, Number(0, 0, 1, 41)).Add(id::FORMULA, Formula(1, 1, 1, 42, APlusOne()));
    TKtCustomGrid plain;
    Read(c, plain);
    EXPECT_EQ(plain.FindCell(2, 2)->Kind(), TKtValueKind::vkFloat);
    EXPECT_EQ(TextAt(plain, 2, 2), u"42");
}

TEST(ExcelImportSheet, FrozenPanesNeedTheFrozenBitAndAPane) {
    BookBuilder b = OneSheet(30, 10);
    b.Add(id::WINDOW2, Window2(true)).Add(id::PANE, Pane(1, 1, 4, 3));
    TKtCustomGrid grid;
    Read(b, grid);
    EXPECT_EQ(grid.ViewLockRow(), 2);
    EXPECT_EQ(grid.ViewLockCol(), 2);
    EXPECT_EQ(grid.TopRow(), 5);
    EXPECT_EQ(grid.LeftCol(), 4);

    BookBuilder unfrozen = OneSheet(30, 10);
    unfrozen.Add(id::WINDOW2, Window2(false)).Add(id::PANE, Pane(1, 1, 4, 3));
    TKtCustomGrid split;
    Read(unfrozen, split);
    EXPECT_EQ(split.ViewLockRow(), 1);
    EXPECT_EQ(split.ViewLockCol(), 1);
}

TEST(ExcelImportSheet, ProtectRecordSetsIsProtected) {
    using Case = std::tuple<bool, int, bool>;  // PROTECT present, its value, IsProtected
    for (auto [record, value, expected] :
         std::initializer_list<Case>{{true, 1, true}, {true, 0, false}, {false, 0, false}}) {
        BookBuilder b = OneSheet();
        if (record) b.Add(id::PROTECT, Body().U16(value));
        TKtCustomGrid grid;  // a plain grid starts protected
        Read(b, grid);
        EXPECT_EQ(grid.IsProtected(), expected) << record << value;
    }
}

TEST(ExcelImportSheet, ColumnWidthsHiddenColumnsAndTheDefaultWidth) {
    // With the fixed measurer "0" of Arial 10 pt is 6 pixels wide.
    BookBuilder b = OneSheet(1, 4);
    b.Add(id::COLINFO, ColInfo(0, 0, 2560, 0))     // 10 characters
        .Add(id::COLINFO, ColInfo(1, 1, 1024, 1))  // hidden, 4 characters
        .Add(id::COLINFO, ColInfo(2, 2, 0, 0));    // zero width, not hidden
    TKtCustomGrid grid;
    Read(b, grid);
    EXPECT_EQ(grid.DefaultColWidth(), 48);
    EXPECT_EQ(grid.ColWidths(1), 60);
    EXPECT_EQ(grid.ColWidths(2), 0);
    EXPECT_EQ(grid.ColWidths(3), 0);
    EXPECT_EQ(grid.ColWidths(4), 48);
    // Showing them again tells a hidden column from one of zero width.
    grid.SetColVisible(2, true);
    grid.SetColVisible(3, true);
    EXPECT_EQ(grid.ColWidths(2), 24);
    EXPECT_EQ(grid.ColWidths(3), 48);

    BookBuilder wide = OneSheet();
    wide.Add(id::DEFCOLWIDTH, Body().U16(12));
    TKtCustomGrid other;
    Read(wide, other);
    EXPECT_EQ(other.DefaultColWidth(), 72);
}

TEST(ExcelImportSheet, RowHeightsWithTheManualMark) {
    BookBuilder b = OneSheet(4, 1);
    b.Add(id::ROW, Row(0, 0, 1, 450, 0x0140))  // custom height
        .Add(id::ROW, Row(1, 0, 1, 255, 0x0100))
        .Add(id::ROW, Row(2, 0, 1, 0, 0x0140))              // height 0: not applied
        .Add(id::ROW, Row(3, 0, 1, 0x8000 | 300, 0x0140));  // bit 15 ignored
    TKtCustomGrid grid;
    grid.GetRow(2).SetHeightSetByHand(true);
    Read(b, grid);
    EXPECT_EQ(grid.RowHeights(1), 30);
    EXPECT_TRUE(grid.GetRow(1).HeightSetByHand());
    EXPECT_EQ(grid.RowHeights(2), 17);
    EXPECT_FALSE(grid.GetRow(2).HeightSetByHand());
    EXPECT_EQ(grid.RowHeights(3), grid.DefaultRowHeight());
    EXPECT_EQ(grid.RowHeights(4), 20);
}

TEST(ExcelImportSheet, MergedRangesMoveWithTheSheet) {
    BookBuilder b = OneSheet(6, 3);
    b.Add(id::LABEL, Label(3, 1, 1, u"anchor"))
        .Add(id::LABEL, Label(4, 1, 1, u"covered"))
        .Add(id::MERGEDCELLS, Merged({{3, 5, 1, 2}, {0, 0, 0, 1}}));
    TKtCustomGrid grid;
    Read(b, grid);
    const TRect expected = TRect::FromCorners(2, 4, 3, 6);
    EXPECT_EQ(grid.CellSpanRect(2, 4), expected);
    EXPECT_EQ(grid.CellSpanRect(1, 1), TRect::FromCorners(1, 1, 2, 1));
    EXPECT_EQ(TextAt(grid, 2, 4), u"anchor");
    EXPECT_TRUE(grid.FindCell(2, 5)->IsEmpty());
}

TEST(ExcelImportSheetAt, PastesAtTheDestinationAndSelectsIt) {
    BookBuilder b = OneSheet(2, 3);
    b.Add(id::LABEL, Label(0, 0, 1, u"A1"))
        .Add(id::LABEL, Label(1, 2, 1, u"C2"))
        .Add(id::MERGEDCELLS, Merged({{0, 1, 0, 0}}))
        .Add(id::PROTECT, Body().U16(1))
        .Add(id::COLINFO, ColInfo(0, 2, 5120, 0));
    LoadedBook book(b.Stream());
    TVxGridImport import;
    TKtCustomGrid grid;
    grid.SetProtected(false);
    import.ReadSheetAt(book.Source(), grid, 0, 5, 5);
    EXPECT_EQ(TextAt(grid, 5, 5), u"A1");
    EXPECT_EQ(TextAt(grid, 7, 6), u"C2");
    EXPECT_EQ(grid.ColCount(), 8);
    EXPECT_EQ(grid.RowCount(), 7);
    EXPECT_EQ(grid.FixedColCount(), 1);
    EXPECT_EQ(grid.CellSpanRect(5, 5), TRect::FromCorners(5, 5, 5, 6));
    EXPECT_EQ(grid.Selection().Rect(), TRect::FromCorners(5, 5, 7, 6));
    // Sizes and protection are not the paste's.
    EXPECT_FALSE(grid.IsProtected());
    EXPECT_EQ(grid.ColWidths(5), grid.DefaultColWidth());

    // A negative destination means the first body cell.
    TKtCustomGrid first;
    import.ReadSheetAt(book.Source(), first, 0, -1, -1);
    EXPECT_EQ(TextAt(first, 1, 1), u"A1");
}

TEST(ExcelImportSheet, AFailingReadClosesTheUpdateAndRestoresAutoRowHeight) {
    BookBuilder b = OneSheet(1, 2);
    b.Add(id::NUMBER, Number(0, 0, 1, 1)).Add(id::LABELSST, LabelSst(0, 1, 1, 7));  // no SST
    LoadedBook book(b.Stream());
    TVxGridImport import;
    TKtCustomGrid grid;
    grid.SetAutoRowHeight(true);
    try {
        import.ReadSheet(book.Source(), grid, 0, 0, 0);
        FAIL() << "a shared string beyond the table was read";
    } catch (const EXlsError& e) {
        EXPECT_EQ(e.Id(), kXlsReadError);
    }
    EXPECT_FALSE(grid.IsUpdating());
    EXPECT_TRUE(grid.AutoRowHeight());
    EXPECT_EQ(TextAt(grid, 1, 1), u"1");

    try {
        import.ReadSheet(book.Source(), grid, 1, 0, 0);
        FAIL() << "sheet 1 of a one-sheet workbook was read";
    } catch (const ERangeError& e) {
        EXPECT_EQ(e.Message(), u"List index out of bounds (1)");
    }
    EXPECT_FALSE(grid.IsUpdating());
}

TEST(ExcelImportCaches, GridsClearedOrFreedWhileTheCachesLiveAreNoLongerTouched) {
    BookBuilder b = OneSheet(1, 1);
    FontSpec f;
    f.name = u"Courier New";
    XfSpec x;
    x.font = b.AddFont(f);
    x.patternColor = 10;
    b.Add(id::LABEL, Label(0, 0, b.AddXf(x), u"t"));
    LoadedBook book(b.Stream());
    TVxGridImport import;
    TKtCustomGrid grid;
    {
        TKtCustomGrid gone;
        import.ReadSheet(book.Source(), gone, 0, 0, 0);
    }
    import.ReadSheet(book.Source(), grid, 0, 0, 0);
    ClearGridForImport(grid);
    EXPECT_EQ(grid.FindCell(1, 1), nullptr);
    import.ReadSheet(book.Source(), grid, 0, 0, 0);
    EXPECT_EQ(grid.FindCell(1, 1)->Font().Name(), u"Courier New");
    EXPECT_EQ(grid.FindCell(1, 1)->Style().BgColor(), TPaletteRecord::DefaultColor(10));
}

}  // namespace
}  // namespace plu
