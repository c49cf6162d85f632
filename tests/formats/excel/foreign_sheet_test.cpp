// What workbooks of other programs carry that ours never do: error
// constants, hidden rows, dates counted from 1904, and (from hostile files)
// long lists of overlapping merged ranges.
#include <gtest/gtest.h>

#include <chrono>

#include "formats/excel/import_grid.h"
#include "formulas/data_grid_formulas.h"
#include "grid/cell.h"
#include "grid/custom_grid.h"
#include "import_test_support.h"

namespace plu {
namespace {

using namespace test;

class FormulaGrid : public TKtCustomGrid {
  public:
    FormulaGrid() : formulas_(*this) {}
    std::unique_ptr<IKtFormula> CreateFormula(TKtValue& owner, WideStringView text,
                                              const IKtFormula* old) override {
        return formulas_.CreateFormula(owner, text, old);
    }

  private:
    TKtDataGridFormulas formulas_;
};

void Read(const BookBuilder& b, TKtCustomGrid& grid) {
    LoadedBook book(b.Stream());
    TVxGridImport import;
    import.ReadSheet(book.Source(), grid, 0, 0, 0);
}

BookBuilder OneSheet() {
    BookBuilder b;
    b.Sheet(u"S").Add(id::DIMENSIONS, Dimensions(0, 1, 0, 1));
    return b;
}

TEST(ExcelImportForeign, ErrorConstantsReadAsTypingTheirTextGives) {
    BookBuilder b = OneSheet();
    b.Add(id::BOOLERR, BoolErr(0, 0, 1, 0x2A, true)).Add(id::BOOLERR, BoolErr(0, 1, 1, 0, false));
    TKtCustomGrid grid;
    Read(b, grid);
    EXPECT_EQ(grid.FindCell(1, 1)->Kind(), TKtValueKind::vkString);
    EXPECT_EQ(grid.FindCell(1, 1)->GetText(), u"#N/A");
    EXPECT_EQ(grid.FindCell(2, 1)->Kind(), TKtValueKind::vkInteger);  // FALSE: 0
    EXPECT_EQ(grid.FindCell(2, 1)->GetAsInteger(), 0);
}

TEST(ExcelImportForeign, FormulasWithNamesTheFileDoesNotResolveKeepTheirValue) {
    BookBuilder b = OneSheet();
    b.Add(id::FORMULA, Formula(0, 0, 1, 42, Bytes{0x23, 1, 0, 0, 0}));  // ptgName 1
    FormulaGrid grid;
    Read(b, grid);
    EXPECT_EQ(grid.FindCell(1, 1)->Kind(), TKtValueKind::vkFloat);
    EXPECT_EQ(grid.FindCell(1, 1)->GetText(), u"42");
}

TEST(ExcelImportForeign, RowHiddenFlagHidesTheRow) {
    BookBuilder b = OneSheet();
    b.Add(id::ROW, Row(1, 0, 1, 255, 0x0020)).Add(id::ROW, Row(2, 0, 1, 0, 0x0020));
    TKtCustomGrid grid;
    Read(b, grid);
    EXPECT_FALSE(grid.IsRowVisible(2));
    EXPECT_FALSE(grid.IsRowVisible(3));
    EXPECT_TRUE(grid.IsRowVisible(1));
}

TEST(ExcelImportForeign, DatesOfA1904WorkbookKeepTheirDay) {
    BookBuilder b = OneSheet();
    b.AddGlobal(0x0022, Body().U16(1));  // DATEMODE: 1904
    XfSpec date;
    date.format = 14;  // "M/D/YY"
    const int xf = b.AddXf(date);
    b.Add(id::NUMBER, Number(0, 0, static_cast<uint16_t>(xf), 0))  // 1 January 1904
        .Add(id::NUMBER, Number(0, 1, 1, 5));                      // a plain number
    TKtCustomGrid grid;
    Read(b, grid);
    EXPECT_EQ(grid.FindCell(1, 1)->GetAsFloat(), 1462.0);
    EXPECT_EQ(grid.FindCell(2, 1)->GetAsFloat(), 5.0);
}

TEST(ExcelImportForeign, ManyOverlappingMergedRangesReadInBoundedTime) {
    BookBuilder b;
    b.Sheet(u"S").Add(id::DIMENSIONS, Dimensions(0, 2000, 0, 200));
    // 8 records of 1,000 ranges each, every range overlapping the last.
    for (int record = 0; record < 8; ++record) {
        Body merged;
        merged.U16(1000);
        for (int i = 0; i < 1000; ++i) {
            const int k = record * 1000 + i;
            merged.U16(k % 1900).U16(k % 1900 + 50).U16(k % 150).U16(k % 150 + 40);
        }
        b.Add(id::MERGEDCELLS, merged);
    }
    TKtCustomGrid grid;
    const auto start = std::chrono::steady_clock::now();
    Read(b, grid);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    ASSERT_EQ(grid.MergedAreas().Count(), 1);  // they all join into one
    EXPECT_EQ(grid.MergedAreas()[0].Rect, (TRect{1, 1, 191, 1951}));
}

}  // namespace
}  // namespace plu
