// The data grid's set-up, its column objects (kinds, pick lists, sort
// state, title), the kind-to-class table, one-cell kinds, header sorting and
// the item operations of the cell kinds.
#include <gtest/gtest.h>

#include <string>

#include "sheets/combo_cells.h"
#include "sheets/data_cells.h"
#include "sheets/data_grid.h"
#include "sheets/header_cell.h"
#include "sheets/sheet_errors.h"
#include "sheets_test_support.h"

namespace plu::testing {
namespace {

class DataGridTest : public SheetsTest {
  protected:
    DataGridTest() {
        grid.SetMeasurer(&measurer_);
        grid.SetView(&view);
        grid.SetColCount(8);
        grid.SetRowCount(10);
    }
    std::string ClassAt(int col, int row) { return grid.GetCell(col, row).CellClass().Name(); }
    std::string Show(int col, int row) { return U8(grid.GetCell(col, row).GetText()); }

    NullView view;
    TKtCustomDataGrid grid;
};

TEST_F(DataGridTest, SetUpGivesHeaderCellsFormulasAndTheDefaultMenu) {
    EXPECT_EQ(ClassAt(1, 0), "TKtDataHeaderCell2");
    EXPECT_EQ(ClassAt(0, 3), "TKtDataHeaderCell2");
    EXPECT_EQ(ClassAt(2, 3), "TKwProEditCell");
    EXPECT_EQ(grid.DefaultFixedRowHeight(), 17);
    EXPECT_EQ(grid.RowHeights(0), 17);
    EXPECT_TRUE(grid.HasOptionEx(TGridOptionEx::goxSupportFormula));
    EXPECT_TRUE(grid.HasOptionEx(TGridOptionEx::goxAutoCalculate));
    ASSERT_EQ(grid.PopupMenu(), &grid.DefaultPopupMenu());
    EXPECT_EQ(U8(grid.DefaultPopupMenu().Name()), "DefaultPopupMenu");
    EXPECT_TRUE(grid.ShowDefaultPopupMenu());
    grid.GetCell(1, 1).SetText(u"2");
    grid.GetCell(2, 1).SetText(u"=A1*3+1");
    EXPECT_EQ(Show(2, 1), "7");
}

TEST_F(DataGridTest, HidingTheDefaultMenuKeepsAnApplicationMenu) {
    TKtPopupMenu application(u"Mine");
    grid.SetPopupMenu(&application);
    grid.SetShowDefaultPopupMenu(false);
    EXPECT_EQ(grid.PopupMenu(), &application);
    grid.SetShowDefaultPopupMenu(true);
    EXPECT_EQ(grid.PopupMenu(), &grid.DefaultPopupMenu());
    grid.SetShowDefaultPopupMenu(false);
    EXPECT_EQ(grid.PopupMenu(), nullptr);
    EXPECT_THROW(grid.AddPopupMenuItem(u"x", nullptr), Exception);
    try {
        grid.AddPopupMenuItem(u"x", nullptr);
    } catch (const Exception& e) {
        EXPECT_EQ(U8(e.Message()), "PopupMenu is nil");
    }
}

TEST_F(DataGridTest, EachKindGivesItsCellClass) {
    struct Case {
        TKtCellType kind;
        const char* cls;
        TKtCellType reported;
    };
    const Case cases[] = {
        {TKtCellType::cellDefault, "TKtTextBoxCell", TKtCellType::cellTextBox},
        {TKtCellType::cellTextBox, "TKtTextBoxCell", TKtCellType::cellTextBox},
        {TKtCellType::cellCheckBox, "TKtCheckBoxCell", TKtCellType::cellCheckBox},
        {TKtCellType::cellRadioBox, "TKtRadioBoxCell", TKtCellType::cellRadioBox},
        {TKtCellType::cellComboBox, "TKtComboBoxCell", TKtCellType::cellComboBox},
        {TKtCellType::cellNumberSpin, "TKtNumberSpinCell", TKtCellType::cellNumberSpin},
        {TKtCellType::cellChart, "TKtTextBoxCell", TKtCellType::cellTextBox},
        {TKtCellType::cellEllipsisBtn, "TKtEllipsisBtnCell", TKtCellType::cellEllipsisBtn},
        {TKtCellType::cellImageBox, "TKtImageCell", TKtCellType::cellImageBox},
        {TKtCellType::cellCalendar, "TKtTextBoxCell", TKtCellType::cellTextBox},
        {TKtCellType::cellCurrency, "TKtTextBoxCell", TKtCellType::cellTextBox},
        {TKtCellType::cellDropDownList, "TKtDropDownListCell", TKtCellType::cellDropDownList},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cls);
        grid.GetColumn(3).SetCellType(c.kind);
        EXPECT_EQ(grid.GetColumn(3).CellType(), c.kind);
        EXPECT_EQ(ClassAt(3, 2), c.cls);
        EXPECT_EQ(grid.GetCell(3, 2).CellType(), c.reported);
        // The header of the column stays a header cell.
        EXPECT_EQ(ClassAt(3, 0), "TKtDataHeaderCell2");
    }
}

TEST_F(DataGridTest, ChangingAColumnKindKeepsTheValuesOfItsCells) {
    grid.GetCell(2, 1).SetText(u"12");
    grid.GetCell(2, 2).SetText(u"abc");
    grid.GetCell(2, 3).SetText(u"=A1+1");
    grid.GetCell(1, 1).SetText(u"4");
    TKtCell* before = &grid.GetCell(2, 1);
    grid.GetColumn(2).SetCellType(TKtCellType::cellNumberSpin);
    EXPECT_NE(&grid.GetCell(2, 1), before);
    EXPECT_EQ(ClassAt(2, 1), "TKtNumberSpinCell");
    EXPECT_EQ(Show(2, 1), "12");
    EXPECT_EQ(Show(2, 2), "abc");
    EXPECT_EQ(Show(2, 3), "5");
    // The re-created formula cell still follows what it refers to.
    grid.GetCell(1, 1).SetText(u"10");
    EXPECT_EQ(Show(2, 3), "11");
}

TEST_F(DataGridTest, AOneCellKindWinsOverTheColumnKind) {
    grid.GetColumn(4).SetCellType(TKtCellType::cellComboBox);
    grid.GetCell(4, 2).SetText(u"kg");
    grid.SetCellType(4, 2, TKtCellType::cellDefault);
    EXPECT_EQ(ClassAt(4, 2), "TKtTextBoxCell");
    EXPECT_EQ(Show(4, 2), "kg");
    EXPECT_EQ(ClassAt(4, 3), "TKtComboBoxCell");
    // Setting the column's kind again does not override the one cell.
    grid.GetColumn(4).SetCellType(TKtCellType::cellNumberSpin);
    EXPECT_EQ(ClassAt(4, 2), "TKtTextBoxCell");
    EXPECT_EQ(ClassAt(4, 3), "TKtNumberSpinCell");
}

TEST_F(DataGridTest, ColumnFieldsAndTitle) {
    TKtDataGridColumn& column = grid.GetColumn(2);
    EXPECT_EQ(column.FindCellItems(), nullptr);
    column.CellItems().push_back(u"kg");
    ASSERT_NE(column.FindCellItems(), nullptr);
    EXPECT_EQ(column.FindCellItems()->size(), 1u);
    column.SetTag(u"note");
    EXPECT_EQ(U8(column.Tag()), "note");

    int changed = 0;
    grid.OnCellTextChanged = [&](TKtCell&, int, int) { ++changed; };
    column.SetTitle(u"Weight");
    EXPECT_EQ(changed, 0);
    EXPECT_EQ(U8(column.Title()), "Weight");
    EXPECT_EQ(Show(2, 0), "Weight");
    grid.SetFixedRowCount(2);  // a new fixed row is inserted at the top
    EXPECT_EQ(U8(column.Title()), "Weight");
    column.SetTitle(u"Net");
    EXPECT_EQ(Show(2, 1), "Net");
}

TEST_F(DataGridTest, OnlyOneColumnIsSortedAtATime) {
    grid.GetColumn(2).SetSortState(kSortAscending);
    grid.GetColumn(3).SetSortState(kSortDescending);
    EXPECT_EQ(grid.GetColumn(2).SortState(), kSortNone);
    EXPECT_EQ(grid.GetColumn(3).SortState(), kSortDescending);
}

class HeaderSortTest : public DataGridTest {
  protected:
    HeaderSortTest() {
        const char16_t* texts[] = {u"b", u"", u"a", u"c", u"a"};
        for (int r = 1; r <= 5; ++r) {
            if (texts[r - 1][0]) grid.GetCell(2, r).SetText(texts[r - 1]);
        }
    }
    std::string Column2() {
        std::string out;
        for (int r = 1; r <= 5; ++r)
            out += U8(grid.GetCell(2, r).GetText()) + ",";
        return out;
    }
    // A left release inside the arrow area of a column's header.
    void ClickArrow(int col) {
        const TRect r = grid.CellRect(col, 0);
        Mouse(grid.GetCell(col, 0), TKtMouseInput::Kind::Up, r.Right - 3, r.Top + 5);
    }
};

TEST_F(HeaderSortTest, ArrowClicksSortDescendingFirstThenAscending) {
    ClickArrow(2);
    EXPECT_EQ(Column2(), "c,b,a,a,,");
    EXPECT_EQ(grid.GetColumn(2).SortState(), kSortDescending);
    ClickArrow(2);
    EXPECT_EQ(Column2(), "a,a,b,c,,");
    EXPECT_EQ(grid.GetColumn(2).SortState(), kSortAscending);
    // Sorting by another column clears the previous column's arrow.
    ClickArrow(3);
    EXPECT_EQ(grid.GetColumn(3).SortState(), kSortDescending);
    EXPECT_EQ(grid.GetColumn(2).SortState(), kSortNone);
}

TEST_F(HeaderSortTest, OnlyTheArrowAreaOfAWideEnoughBodyHeaderSorts) {
    const TRect r = grid.CellRect(2, 0);
    Mouse(grid.GetCell(2, 0), TKtMouseInput::Kind::Up, r.Right - 20, r.Top + 5);
    EXPECT_EQ(Column2(), "b,,a,c,a,");
    // A header text too wide for the arrow leaves no arrow area.
    grid.GetColumn(2).SetTitle(u"a rather long caption");
    ClickArrow(2);
    EXPECT_EQ(Column2(), "b,,a,c,a,");
    // The fixed column has none either.
    auto& corner = static_cast<TKtDataHeaderCell2&>(grid.GetCell(0, 0));
    EXPECT_EQ(corner.SortColumn(), -1);
    EXPECT_TRUE(corner.ArrowArea().IsEmpty());
}

TEST_F(HeaderSortTest, MergedCellsRefuseTheSortAndKeepTheState) {
    grid.MergeCells(3, 1, 4, 2);
    EXPECT_THROW(ClickArrow(2), EGridError);
    EXPECT_EQ(grid.GetColumn(2).SortState(), kSortNone);
    EXPECT_EQ(Column2(), "b,,a,c,a,");
}

TEST_F(HeaderSortTest, AMergedHeaderEndingInTheLastFixedRowSorts) {
    grid.SetFixedRowCount(2);
    grid.MergeCells(2, 0, 2, 1);
    auto& header = static_cast<TKtDataHeaderCell2&>(grid.GetCell(2, 0));
    EXPECT_EQ(header.SortColumn(), 2);
    grid.UnmergeCells({2, 0, 3, 2});
    EXPECT_EQ(header.SortColumn(), -1);
}

TEST_F(DataGridTest, ItemOperationsOfTheKinds) {
    grid.GetColumn(2).SetCellType(TKtCellType::cellComboBox);
    grid.GetColumn(3).SetCellType(TKtCellType::cellCheckBox);
    grid.GetColumn(4).SetCellType(TKtCellType::cellRadioBox);
    grid.GetColumn(5).SetCellType(TKtCellType::cellNumberSpin);

    TKtCell& combo = grid.GetCell(2, 1);
    EXPECT_EQ(combo.AddItem(u"kg"), 0);
    EXPECT_EQ(combo.AddItem(u"oz"), 1);
    combo.InsertItem(1, u"lb");
    combo.SetItem(2, u"OZ");
    EXPECT_EQ(combo.ItemCount(), 3);
    EXPECT_EQ(U8(combo.GetItem(1)), "lb");
    EXPECT_EQ(U8(combo.GetItem(2)), "OZ");
    for (int bad : {-1, 3}) {
        try {
            combo.GetItem(bad);
            ADD_FAILURE() << "no error for " << bad;
        } catch (const EListError& e) {
            EXPECT_EQ(U8(e.Message()), "List index out of bounds (" + std::to_string(bad) + ")");
        }
    }
    EXPECT_THROW(combo.SetItem(3, u"x"), EListError);
    combo.ClearItems();
    EXPECT_EQ(combo.ItemCount(), 0);

    TKtCell& radio = grid.GetCell(4, 1);
    radio.AddItem(u"a");
    radio.AddItem(u"b");
    EXPECT_EQ(radio.ItemCount(), 2);

    auto& check = static_cast<TKtCheckBoxCell&>(grid.GetCell(3, 1));
    check.AddItem(u"Done");
    EXPECT_EQ(U8(check.Caption()), "Done");
    check.InsertItem(7, u"Ready");
    EXPECT_EQ(U8(check.Caption()), "Ready");
    check.ClearItems();
    EXPECT_EQ(U8(check.Caption()), "");

    for (TKtCell* cell :
         {&grid.GetCell(5, 1), &grid.GetCell(6, 1), &static_cast<TKtCell&>(check)}) {
        try {
            cell->ItemCount();
            ADD_FAILURE() << cell->CellClass().Name();
        } catch (const ECellKindError& e) {
            EXPECT_EQ(U8(e.Message()), "此单元格类型不支持该方法");
        }
    }
}

}  // namespace
}  // namespace plu::testing
