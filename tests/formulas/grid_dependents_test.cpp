// Formulas following the cells they read, with the real formula engine: a
// formula that fails at first, long chains, bulk updates, structural edits
// that move, grow, shrink and lose references, sorting, and references to
// other sheets of a workbook that move, are renumbered and go away.
#include <gtest/gtest.h>

#include <string>

#include "base/regional_settings.h"
#include "formula_grids.h"

namespace plu::testing {
namespace {

class Dependents : public ::testing::Test {
protected:
    ScopedRegionalSettings en_{RegionalSettings::Defaults()};
    FormulaGrid grid_;
};

TEST_F(Dependents, AFormulaWhoseFirstCalculationFailsStillFollowsItsCells) {
    grid_.Type("A1", "x");
    EXPECT_THROW(grid_.Type("B1", "=A1+1"), EConvertError);
    EXPECT_EQ(grid_.Show("B1"), "#VALUE!");
    EXPECT_EQ(grid_.Edit("B1"), "=A1+1");
    EXPECT_THROW(grid_.Type("C1", "=B1*2"), EConvertError);  // it reads B1
    EXPECT_EQ(grid_.Show("C1"), "#VALUE!");
    grid_.Type("A1", "41");
    EXPECT_EQ(grid_.Show("B1"), "42");
    EXPECT_EQ(grid_.Show("C1"), "84");
}

TEST_F(Dependents, AHundredThousandFormulaChainFollowsItsFirstCell) {
    constexpr int kChain = 100000;
    grid_.SetRowCount(kChain + 1);
    grid_.Type("A1", "1");
    for (int row = 2; row <= kChain; ++row)
        grid_.GetDataCell(0, row - 1)->SetText(u"=A" + IntToWide(row - 1) + u"+1");
    EXPECT_EQ(grid_.Show("A100000"), "100000");
    grid_.Type("A1", "5");
    EXPECT_EQ(grid_.Show("A100000"), "100004");
    EXPECT_EQ(grid_.Show("A50000"), "50004");
}

TEST_F(Dependents, EveryDependentOfOneInputFollowsIt) {
    grid_.Type("A1", "1");
    for (int row = 1; row <= 1000; ++row)
        grid_.GetDataCell(1, row - 1)->SetText(u"=$A$1*2+" + IntToWide(row));
    grid_.Type("A1", "10");
    EXPECT_EQ(grid_.Show("B1"), "21");
    EXPECT_EQ(grid_.Show("B1000"), "1020");
    EXPECT_EQ(grid_.At("A1").Dependents().size(), 1000u);
}

TEST_F(Dependents, FormulasEnteredInsideAnUpdateAreCalculatedAtItsEnd) {
    int changes = 0;
    grid_.OnCellValueChanged = [&](TKtCell&) { ++changes; };
    grid_.BeginUpdate();
    grid_.Type("A1", "2");
    grid_.Type("C1", "=B1+1");
    grid_.Type("B1", "=A1*3");
    grid_.Type("A1", "3");
    EXPECT_EQ(changes, 0);
    grid_.EndUpdate();
    EXPECT_EQ(grid_.Show("B1"), "9");
    EXPECT_EQ(grid_.Show("C1"), "10");
    EXPECT_EQ(changes, 2);
    grid_.Type("A1", "1");
    EXPECT_EQ(grid_.Show("C1"), "4");
}

TEST_F(Dependents, ReferencesFollowInsertedAndDeletedRowsAndColumns) {
    grid_.Type("A1", "1");
    grid_.Type("A2", "2");
    grid_.Type("A3", "3");
    grid_.Type("C5", "=SUM(A1:A3)+$A$2");
    const int body = grid_.FixedRowCount();
    grid_.InsertRows(body + 1, 1);  // before A2: the range grows, $A$2 moves
    EXPECT_EQ(grid_.Edit("C6"), "=SUM(A1:A4)+$A$3");
    EXPECT_EQ(grid_.Show("C6"), "8");
    grid_.Type("A2", "10");  // the new row lies inside the range
    EXPECT_EQ(grid_.Show("C6"), "18");
    grid_.InsertRows(0, 1);  // a fixed row: body cells keep their names
    EXPECT_EQ(grid_.FixedRowCount(), 2);
    EXPECT_EQ(grid_.Edit("C6"), "=SUM(A1:A4)+$A$3");
    grid_.InsertCols(grid_.FixedColCount(), 2);  // before column A
    EXPECT_EQ(grid_.Edit("E6"), "=SUM(C1:C4)+$C$3");
    grid_.DeleteRows(grid_.FixedRowCount() + 2, 1);  // the row of $C$3 goes
    EXPECT_EQ(grid_.Edit("E5"), "=SUM(C1:C3)+#REF!");
    EXPECT_EQ(grid_.Show("E5"), "#REF!");
    grid_.Type("E5", "=SUM(C1:C3)");
    EXPECT_EQ(grid_.Show("E5"), "14");
    grid_.DeleteCols(grid_.FixedColCount() + 2, 1);  // column C goes with the range
    EXPECT_EQ(grid_.Edit("D5"), "=SUM(#REF!)");
    EXPECT_EQ(grid_.Show("D5"), "#REF!");
}

TEST_F(Dependents, RowFormulasFollowTheirRowsThroughASort) {
    const char* names[] = {"pear", "apple", "fig"};
    for (int i = 0; i < 3; ++i) {
        const std::string row = std::to_string(i + 1);
        grid_.Type("A" + row, names[i]);
        grid_.Type("B" + row, std::to_string((i + 1) * 10));
        grid_.Type("C" + row, "=B" + row + "*2+$E$5");
    }
    grid_.Type("E5", "1");  // outside the sorted rows
    const int first = grid_.FixedRowCount();
    grid_.SortRowsRange({grid_.FixedColCount()}, true, first, first + 2);  // apple, fig, pear
    EXPECT_EQ(grid_.Show("A1"), "apple");
    EXPECT_EQ(grid_.Edit("C1"), "=B1*2+$E$5");
    EXPECT_EQ(grid_.Show("C1"), "41");
    EXPECT_EQ(grid_.Show("C2"), "61");
    EXPECT_EQ(grid_.Show("C3"), "21");
    grid_.MoveRow(first, first + 2);  // apple to the end
    EXPECT_EQ(grid_.Edit("C3"), "=B3*2+$E$5");
    grid_.Type("B3", "100");
    EXPECT_EQ(grid_.Show("C3"), "201");
}

// ---- Across the sheets of a workbook --------------------------------------------

class Workbook : public ::testing::Test {
protected:
    ScopedRegionalSettings en_{RegionalSettings::Defaults()};
    Book book_;
};

TEST_F(Workbook, AFormulaFollowsACellOfAnotherSheet) {
    BookSheet& one = book_.Add("Sheet1");
    BookSheet& two = book_.Add("Sheet2");
    two.Type("A1", "1");
    one.Type("B1", "=Sheet2!A1+1");
    one.Type("C1", "=B1*10");
    one.Type("D1", "=SUM(sheet2!A2:A3)");
    EXPECT_EQ(one.Show("B1"), "2");
    two.Type("A1", "5");
    EXPECT_EQ(one.Show("B1"), "6");
    EXPECT_EQ(one.Show("C1"), "60");
    two.Type("A3", "7");  // a cell created after the formula
    EXPECT_EQ(one.Show("D1"), "7");
    two.InsertRows(two.FixedRowCount(), 1);  // Sheet2's cells move down
    EXPECT_EQ(one.Edit("B1"), "=Sheet2!A2+1");
    two.Type("A2", "8");
    EXPECT_EQ(one.Show("C1"), "90");
}

TEST_F(Workbook, ReferencesKeepNamingTheirSheetWhenSheetsMoveOrGo) {
    book_.Add("Sheet1");
    book_.Add("Sheet2");
    BookSheet& three = book_.Add("Sheet3");
    book_[1].Type("A1", "2");
    three.Type("A1", "=Sheet2!A1*2");
    EXPECT_EQ(three.Show("A1"), "4");
    book_.Move(2, 0);  // Sheet3, Sheet1, Sheet2
    EXPECT_EQ(three.Edit("A1"), "=Sheet2!A1*2");
    book_[2].Type("A1", "3");
    EXPECT_EQ(three.Show("A1"), "6");
    book_.Remove(1);  // Sheet1 goes: Sheet2 becomes sheet 1
    EXPECT_EQ(three.Edit("A1"), "=Sheet2!A1*2");
    book_[1].Type("A1", "4");
    EXPECT_EQ(three.Show("A1"), "8");
    book_.Remove(1);  // the sheet it reads goes
    EXPECT_EQ(three.Edit("A1"), "=#REF!*2");
    EXPECT_EQ(three.Show("A1"), "#REF!");
}

TEST_F(Workbook, AFormulaOnAnotherSheetSurvivesTheSheetItReadsBeingFreedFirst) {
    BookSheet& one = book_.Add("Sheet1");
    book_.Add("Sheet2").Type("A1", "1");
    one.Type("A1", "=Sheet2!A1");
    one.Type("A2", "=A1+1");
    book_.sheets.pop_back();  // freed without renumbering anything
    EXPECT_EQ(one.Show("A1"), "#REF!");
    EXPECT_EQ(one.Show("A2"), "#REF!");
    one.Type("B1", "1");
    EXPECT_EQ(one.Show("A2"), "#REF!");
}

}  // namespace
}  // namespace plu::testing
