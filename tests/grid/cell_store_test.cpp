#include "grid/cell_store.h"

#include <gtest/gtest.h>

#include "grid/cell_class.h"
#include "grid_test_support.h"

using namespace plu;
using namespace plu::testing;

namespace {

class MarkerCell : public TKtCell {
  public:
    using TKtCell::TKtCell;
    static const TKtCellClass& Class() {
        static const TKtCellClassOf<MarkerCell> cls("MarkerCell");
        return cls;
    }
    const TKtCellClass& CellClass() const override { return Class(); }
};

class OtherCell : public TKtCell {
  public:
    using TKtCell::TKtCell;
    static const TKtCellClass& Class() {
        static const TKtCellClassOf<OtherCell> cls("OtherCell");
        return cls;
    }
    const TKtCellClass& CellClass() const override { return Class(); }
};

struct Attachment : TKtObject {
    int value = 7;
};

using CellStore = GridTest;

}  // namespace

TEST_F(CellStore, CellsAreCreatedOnlyOnDemand) {
    TKtCell* cell = nullptr;
    EXPECT_FALSE(grid.TryGetCell(2, 3, cell));
    EXPECT_EQ(grid.Cells().Get(3), nullptr);  // asking created no row list
    TKtCell& created = grid.GetCell(2, 3);
    EXPECT_EQ(created.Col(), 2);
    EXPECT_EQ(created.Row(), 3);
    EXPECT_TRUE(grid.TryGetCell(2, 3, cell));
    EXPECT_EQ(cell, &created);
    EXPECT_EQ(&grid.GetCell(2, 3), &created);
    EXPECT_EQ(grid.Cells().CellCount(), 1);
    EXPECT_THROW(grid.GetCell(65536, 1), ERangeError);
    EXPECT_THROW(grid.GetCell(-1, 1), ERangeError);
    EXPECT_THROW(grid.GetCell(1, kMaxGridRows), ERangeError);
    EXPECT_EQ(grid.GetDataCell(-1, 0), nullptr);
    EXPECT_EQ(grid.GetDataCell(1, 2), &created);
}

TEST_F(CellStore, PlainCellsStayLean) {
    // Style and font are shared until changed; the rest lives in a side record.
    EXPECT_LE(sizeof(TKtCell), 40u);
    TKtCell& cell = grid.GetCell(1, 1);
    EXPECT_FALSE(cell.HasOwnStyle());
    EXPECT_TRUE(cell.Style().IsDefault());
    EXPECT_EQ(&cell.Font(), &grid.Font());
}

TEST_F(CellStore, RowIsEmptyLooksFromTheFirstBodyColumn) {
    EXPECT_TRUE(grid.Cells().RowIsEmpty(2));
    grid.GetCell(0, 2).SetText(u"header");  // fixed column: not counted
    grid.GetCell(3, 2);                     // exists but empty
    EXPECT_TRUE(grid.Cells().RowIsEmpty(2));
    grid.GetCell(4, 2).SetText(u"x");
    EXPECT_FALSE(grid.Cells().RowIsEmpty(2));
}

TEST_F(CellStore, DeletingColumnsFreesTheirCellsAndShiftsWidths) {
    grid.SetColCount(8);
    for (int r = 1; r < 4; ++r)
        for (int c = 1; c < 8; ++c)
            grid.GetCell(c, r).SetText(IntToWide(c * 10 + r));
    grid.SetColWidth(5, 120);
    grid.SetColWidth(6, 0);
    const long long before = grid.Cells().CellCount();
    grid.DeleteCols(2, 2);
    EXPECT_EQ(grid.Cells().CellCount(), before - 2 * 3);
    EXPECT_EQ(grid.ColCount(), 6);
    for (int r = 1; r < 4; ++r) {
        EXPECT_EQ(grid.GetCell(2, r).GetText(), IntToWide(40 + r));
        EXPECT_EQ(grid.GetCell(2, r).Col(), 2);
    }
    EXPECT_EQ(grid.ColWidths(3), 120);
    EXPECT_EQ(grid.ColWidths(4), 0);
    EXPECT_EQ(grid.ColWidths(5), 73);
    EXPECT_EQ(grid.HiddenColCount(), 1);
}

TEST_F(CellStore, RowHeightsAreAViewOverTheRowLists) {
    const TKtRowHeights& heights = grid.RowHeightList();
    EXPECT_EQ(heights.Get(3), 19);
    grid.SetRowHeight(3, 40);
    grid.SetRowHeight(2, 19);  // unchanged: no row list is created
    EXPECT_EQ(grid.Cells().Get(2), nullptr);
    grid.SetRowVisible(3, false);
    EXPECT_EQ(grid.RowHeights(3), 0);
    EXPECT_EQ(heights.StoredHeight(3), 40);  // the height survives hiding
    EXPECT_EQ(grid.HiddenRowCount(), 1);
    grid.SetRowVisible(3, true);
    EXPECT_EQ(grid.RowHeights(3), 40);
    EXPECT_EQ(heights.SumRange(0, 5), 19 * 4 + 40);
    EXPECT_EQ(heights.SumRange(5, 0), -(19 * 4 + 40));
    int32_t offset = 60;  // rows start at 0, 19, 38, 57 (row 3, 40 high), 97
    EXPECT_EQ(heights.IndexAtOffset(0, offset, 0), 3);
    EXPECT_EQ(offset, 57);
}

TEST_F(CellStore, NewDefaultRowHeightMovesOnlyRowsAtTheOldDefault) {
    grid.SetRowHeight(2, 40);
    grid.GetCell(1, 3);  // row list at the default height
    grid.SetDefaultRowHeight(25);
    EXPECT_EQ(grid.RowHeights(3), 25);
    EXPECT_EQ(grid.RowHeights(4), 25);  // no row list: the default
    EXPECT_EQ(grid.RowHeights(2), 40);
    EXPECT_EQ(grid.RowHeights(0), 19);  // the fixed row keeps DefaultFixedRowHeight
    grid.SetRowCount(10);
    EXPECT_EQ(grid.RowHeights(8), 25);
    EXPECT_EQ(grid.GetCell(1, 8).RowList().Height(), 25);  // new row lists too
}

TEST_F(CellStore, CellClassRules) {
    TCellClassManager& classes = grid.ClassManager();
    EXPECT_EQ(&classes.CellClassAt(0, 5), &TKwProFixedCell::Class());
    EXPECT_EQ(&classes.CellClassAt(3, 3), &TKwProEditCell::Class());
    classes.SetColumnCellClass(0, &MarkerCell::Class());
    classes.SetColumnCellClass(3, &MarkerCell::Class());
    // Below the fixed rows a column class wins over the fixed-cell class ...
    EXPECT_EQ(&classes.CellClassAt(0, 5), &MarkerCell::Class());
    // ... but never in a fixed row.
    EXPECT_EQ(&classes.CellClassAt(3, 0), &TKwProFixedCell::Class());
    EXPECT_EQ(&classes.CellClassAt(3, 4), &MarkerCell::Class());
    // An explicit class wins over everything; the default class clears it.
    classes.SetCellClass(3, 0, &OtherCell::Class());
    EXPECT_EQ(&classes.CellClassAt(3, 0), &OtherCell::Class());
    classes.SetCellClass(3, 0, &TKwProEditCell::Class());
    EXPECT_EQ(&classes.CellClassAt(3, 0), &TKwProFixedCell::Class());
    EXPECT_EQ(classes.Infos().CellClass(3, 0), nullptr);
}

TEST_F(CellStore, ColumnClassRecreatesOnlyExistingBodyCells) {
    grid.GetCell(2, 0).SetText(u"title");
    TKtCell& body = grid.GetCell(2, 2);
    body.SetText(u"3.5");
    body.OwnStyle().SetBgColor(clYellow);
    body.SetComment(u"note");
    body.SetExtraObject(std::make_unique<Attachment>());
    grid.SelectRange(2, 2, 2, 2);
    grid.ClassManager().SetColumnCellClass(2, &MarkerCell::Class());
    EXPECT_EQ(grid.Cells().FindCell(2, 4), nullptr);  // nothing was created
    TKtCell* now = grid.FindCell(2, 2);
    ASSERT_NE(now, nullptr);
    EXPECT_EQ(&now->CellClass(), &MarkerCell::Class());
    EXPECT_EQ(now->GetText(), u"3.5");
    EXPECT_EQ(now->Style().BgColor(), clYellow);
    EXPECT_EQ(now->Comment(), u"note");
    ASSERT_NE(dynamic_cast<Attachment*>(now->ExtraObject()), nullptr);
    EXPECT_EQ(&grid.FindCell(2, 0)->CellClass(), &TKwProFixedCell::Class());  // header untouched
    // Cells created later get the class on creation.
    EXPECT_EQ(&grid.GetCell(2, 3).CellClass(), &MarkerCell::Class());
    EXPECT_EQ(&grid.CurrentCell(), now);
}

TEST_F(CellStore, ReclassKeepsFormulaLinksToTheCell) {
    grid.GetCell(1, 1).SetAsFloat(2);
    TKtCell& sum = grid.GetCell(3, 3);
    sum.SetFormula(u"SUM 1 1 1 2");
    EXPECT_EQ(sum.GetAsFloat(), 2);
    grid.ClassManager().SetCellClass(1, 1, &OtherCell::Class());
    TKtCell& replaced = grid.GetCell(1, 1);
    EXPECT_EQ(&replaced.CellClass(), &OtherCell::Class());
    replaced.SetAsFloat(5);  // the formula still follows the cell
    EXPECT_EQ(grid.GetCell(3, 3).GetAsFloat(), 5);
}

TEST_F(CellStore, FixedCellClassRechecksTheFixedAreaAndOneBeyond) {
    grid.GetCell(2, 0);
    grid.GetCell(0, 3);
    grid.GetCell(3, 3);
    grid.ClassManager().SetFixedCellClass(&OtherCell::Class());
    EXPECT_EQ(&grid.FindCell(2, 0)->CellClass(), &OtherCell::Class());
    EXPECT_EQ(&grid.FindCell(0, 3)->CellClass(), &OtherCell::Class());
    EXPECT_EQ(&grid.FindCell(3, 3)->CellClass(), &TKwProEditCell::Class());
    grid.ClassManager().SetFixedCellClass(nullptr);
    EXPECT_EQ(&grid.FindCell(2, 0)->CellClass(), &TKwProFixedCell::Class());
}

TEST_F(CellStore, ClassTablesFollowStructuralEdits) {
    grid.SetColCount(6);
    grid.SetRowCount(8);
    TCellClassManager& classes = grid.ClassManager();
    classes.SetCellClass(2, 4, &OtherCell::Class());
    classes.SetColumnCellClass(3, &MarkerCell::Class());
    grid.InsertRows(2, 1);
    EXPECT_EQ(&classes.CellClassAt(2, 5), &OtherCell::Class());
    grid.InsertCols(1, 2);
    EXPECT_EQ(&classes.CellClassAt(4, 5), &OtherCell::Class());
    EXPECT_EQ(&classes.CellClassAt(5, 2), &MarkerCell::Class());
    grid.DeleteCols(1, 1);
    EXPECT_EQ(&classes.CellClassAt(3, 5), &OtherCell::Class());
    EXPECT_EQ(&classes.CellClassAt(4, 2), &MarkerCell::Class());
    grid.MoveCol(4, 1);
    EXPECT_EQ(&classes.CellClassAt(1, 2), &MarkerCell::Class());
    grid.DeleteRows(5, 1);
    EXPECT_EQ(classes.Infos().CellClass(4, 5), nullptr);
}

TEST_F(CellStore, TextMatrixRowsAndCellsMoveTogether) {
    grid.SetRowCount(6);
    grid.GetCell(1, 1).SetText(u"a");
    grid.GetCell(1, 4).SetText(u"b");
    grid.SetRowHeight(4, 33);
    grid.MoveRow(4, 1);
    EXPECT_EQ(grid.GetCell(1, 1).GetText(), u"b");
    EXPECT_EQ(grid.GetCell(1, 2).GetText(), u"a");
    EXPECT_EQ(grid.GetCell(1, 1).Row(), 1);
    EXPECT_EQ(grid.RowHeights(1), 33);
    grid.ExchangeRows(1, 5);
    EXPECT_EQ(grid.GetCell(1, 5).GetText(), u"b");
    EXPECT_EQ(grid.RowHeights(5), 33);
    EXPECT_EQ(grid.RowHeights(1), 19);
}
