#include "grid/custom_grid.h"

#include <gtest/gtest.h>

#include <map>

#include "grid/format_list.h"
#include "grid_test_support.h"

using namespace plu;
using namespace plu::testing;

namespace {

using GridModel = GridTest;
using GridStructure = GridTest;
using GridMerge = GridTest;
using GridSort = GridTest;
using GridAutoSize = GridTest;
using GridView = GridTest;

std::vector<WideString> Column(TKtCustomGrid& grid, int col) {
    std::vector<WideString> out;
    for (int r = grid.FixedRowCount(); r < grid.RowCount(); ++r) {
        const TKtCell* c = grid.FindCell(col, r);
        out.push_back(c ? c->GetText() : u"");
    }
    return out;
}

}  // namespace

TEST_F(GridModel, ConstructionValues) {
    EXPECT_EQ(grid.ColCount(), 5);
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(grid.FixedColCount(), 1);
    EXPECT_EQ(grid.FixedRowCount(), 1);
    EXPECT_EQ(grid.ColWidths(0), 40);
    EXPECT_EQ(grid.ColWidths(1), 73);
    EXPECT_EQ(grid.RowHeights(0), 19);
    EXPECT_EQ(grid.RowHeights(4), 19);
    EXPECT_EQ(grid.DefaultColWidth(), 73);
    EXPECT_EQ(grid.DefaultFixedColWidth(), 40);
    EXPECT_EQ(grid.DefaultFixedRowHeight(), 19);
    EXPECT_EQ(grid.Options().bits, 7449u);
    EXPECT_TRUE(grid.HasOption(TGridOption::goFixedRowShowNo));
    EXPECT_EQ(grid.OptionsEx().bits, 0u);
    EXPECT_EQ(grid.ViewLockCol(), 1);
    EXPECT_EQ(grid.ViewLockRow(), 1);
    EXPECT_EQ(grid.LeftCol(), 1);
    EXPECT_EQ(grid.TopRow(), 1);
    EXPECT_EQ(grid.CurrentMoveDir(), TGridDir::gdDown);
    EXPECT_EQ(grid.BgColor(), 0xF4F4F4);
    EXPECT_EQ(grid.EvenRowColor(), 0xFFEEEE);
    EXPECT_EQ(grid.SelectColor(), clHighlight);
    EXPECT_EQ(grid.HintPause(), 100);
    EXPECT_TRUE(grid.IsProtected());
    EXPECT_TRUE(grid.AllowEdit());
    EXPECT_TRUE(grid.ShowGridLine());
    EXPECT_FALSE(grid.AutoRowHeight());
    EXPECT_EQ(grid.DataRowCount(), 4);
    EXPECT_EQ(grid.Selection().Current(), (TPoint{1, 1}));
    EXPECT_EQ(grid.FixedCellStyle().BgColor(), 0xE9DCD3);
    EXPECT_TRUE(grid.FixedCellStyle().Options().Empty());
    EXPECT_EQ(grid.SheetIndex(), -1);
}

TEST_F(GridModel, ShrinkingRowCountFreesRowsAndGrowingGivesEmptyOnes) {
    grid.SetRowCount(265);
    for (int r = 1; r < 265; ++r)
        grid.GetCell(1, r).SetText(IntToWide(r));
    grid.SetRowHeight(100, 40);
    grid.SetRowVisible(200, false);
    EXPECT_EQ(grid.HiddenRowCount(), 1);
    grid.SetRowCount(10);
    EXPECT_EQ(grid.Cells().CellCount(), 9);
    EXPECT_EQ(grid.HiddenRowCount(), 0);
    grid.SetRowCount(265);
    EXPECT_EQ(grid.FindCell(1, 100), nullptr);
    EXPECT_EQ(grid.RowHeights(100), 19);
    EXPECT_EQ(grid.RowHeights(200), 19);
    grid.SetDataRowCount(0);  // at least one body row
    EXPECT_EQ(grid.RowCount(), 2);
}

TEST_F(GridModel, ColCountShrinkDropsCellsWidthsAndColumnObjects) {
    grid.SetColCount(8);
    grid.GetCell(6, 1).SetText(u"x");
    grid.SetColWidth(6, 99);
    grid.GetColumn(6).Style().SetFormatString(u"0.0");
    grid.SetColCount(4);
    EXPECT_EQ(grid.FindCell(6, 1), nullptr);
    EXPECT_EQ(grid.FindColumn(6), nullptr);
    grid.SetColCount(8);
    EXPECT_EQ(grid.ColWidths(6), 73);
    EXPECT_THROW(grid.SetColWidth(70000, 3), ERangeError);
}

TEST_F(GridModel, EffectiveStyleInheritance) {
    grid.GetColumn(2).Style().SetFormatString(u"0.00");
    grid.GetRow(3).Style().SetBgColor(clYellow);
    TKtCell& body = grid.GetCell(2, 3);
    body.OwnFont().SetSize(15);  // sets nothing in the style
    body.OwnStyle().SetHorzAlign(TKtGridHorzAlign::haCenter);
    body.SetAsFloat(1);
    EXPECT_EQ(body.GetText(), u"1.00");      // the column's format shows through
    EXPECT_EQ(body.Background(), clYellow);  // the row's background
    EXPECT_TRUE(body.EffectiveStyle(TKtStyleAttribute::Borders).SameResource(grid.DefaultStyle()));
    body.OwnStyle().SetFormatIndex(1);
    EXPECT_EQ(body.GetText(), u"1");  // the cell's own setting wins
    TKtCell& header = grid.GetCell(2, 0);
    header.SetAsFloat(1);
    EXPECT_EQ(header.GetText(), u"1");  // header cells never inherit
    EXPECT_EQ(header.Background(), SharedDefaultStyle().BgColor());
    grid.DefaultStyle().SetBgColor(clSilver);
    EXPECT_EQ(grid.CellBackground(3, 2), clSilver);
}

TEST_F(GridModel, HeaderNumbering) {
    EXPECT_EQ(TKtCustomGrid::ColumnLetters(1), u"A");
    EXPECT_EQ(TKtCustomGrid::ColumnLetters(26), u"Z");
    EXPECT_EQ(TKtCustomGrid::ColumnLetters(27), u"AA");
    EXPECT_EQ(TKtCustomGrid::ColumnLetters(52), u"AZ");
    EXPECT_EQ(TKtCustomGrid::ColumnLetters(702), u"ZZ");
    EXPECT_EQ(TKtCustomGrid::ColumnLetters(703), u"AAA");
    EXPECT_EQ(TKtCustomGrid::ColumnLetters(0), u"");
    EXPECT_EQ(grid.HeaderText(1, 0), u"A");
    EXPECT_EQ(grid.HeaderText(0, 3), u"3");
    EXPECT_EQ(grid.HeaderText(0, 0), u"");
    grid.SetFixedRowFirstNo(3);
    grid.SetFixedColFirstNo(10);
    EXPECT_EQ(grid.HeaderText(2, 0), u"D");
    EXPECT_EQ(grid.HeaderText(0, 1), u"10");
    EXPECT_EQ(grid.RangeReference({2, 1, 4, 3}), u"D10:E11");
    grid.SetOptions(grid.Options().With(TGridOption::goFixedRowShowNo, false));
    EXPECT_EQ(grid.HeaderText(2, 0), u"");
}

TEST_F(GridModel, HiddenColumnsRememberTheirWidth) {
    int events = 0;
    grid.OnColWidthChange = [&](TKtCustomGrid&, int col, int) {
        if (col == 2) ++events;
    };
    grid.SetColWidth(2, 120);
    grid.SetColWidth(2, 120);  // unchanged: no event
    grid.SetColVisible(2, false);
    EXPECT_EQ(grid.ColWidths(2), 0);
    EXPECT_EQ(grid.HiddenColCount(), 1);
    EXPECT_FALSE(grid.GetColumn(2).Visible());
    grid.SetColVisible(2, false);  // already hidden
    grid.SetDefaultColWidth(90);
    EXPECT_EQ(grid.ColWidths(2), 0);   // stays hidden
    EXPECT_EQ(grid.ColWidths(0), 40);  // fixed width re-applied
    EXPECT_EQ(grid.ColWidths(3), 90);
    grid.GetColumn(2).SetVisible(true);
    // The remembered width was reset with the default, as visible ones are.
    EXPECT_EQ(grid.ColWidths(2), 90);
    grid.SetColWidth(3, 130);
    grid.SetColVisible(3, false);
    grid.SetColVisible(3, true);
    EXPECT_EQ(grid.ColWidths(3), 130);
    EXPECT_EQ(grid.HiddenColCount(), 0);
    EXPECT_TRUE(grid.GetColumn(2).Visible());
    EXPECT_EQ(events, 3);  // width, hiding, showing of column 2
}

TEST_F(GridModel, ClearContentsKeepsTheGridButNotItsContents) {
    grid.GetCell(1, 1).SetText(u"a");
    grid.MergeCells(2, 2, 3, 3);
    grid.SetColWidth(3, 10);
    grid.SetRowHeight(2, 50);
    grid.SetColVisible(4, false);
    grid.SetDefaultFixedColWidth(60);
    grid.SetColWidth(0, 5);
    grid.ClearContents();
    EXPECT_EQ(grid.Cells().CellCount(), 0);
    EXPECT_EQ(grid.MergedAreas().Count(), 0);
    EXPECT_EQ(grid.ColWidths(3), 73);
    EXPECT_EQ(grid.ColWidths(4), 73);
    EXPECT_EQ(grid.RowHeights(2), 19);
    EXPECT_EQ(grid.ColWidths(0), 60);
    EXPECT_EQ(grid.HiddenColCount(), 0);
    EXPECT_EQ(grid.ColCount(), 5);
    TKtPicture picture{TKtPicture::Bitmap, {1, 2, 3}};
    EXPECT_EQ(grid.AddPicture(picture), 0);
    EXPECT_EQ(grid.AddPicture({}), 1);
    EXPECT_TRUE(grid.Pictures()[1].IsEmpty());
}

TEST_F(GridStructure, InsertingAndDeletingRowsAndColumns) {
    grid.GetCell(1, 4).SetText(u"last");
    grid.InsertRows(grid.RowCount(), 1);  // appends
    EXPECT_EQ(grid.RowCount(), 6);
    grid.InsertCols(grid.ColCount(), 1);  // cannot append
    EXPECT_EQ(grid.ColCount(), 5);
    grid.InsertRows(2, 2);
    EXPECT_EQ(grid.RowCount(), 8);
    EXPECT_EQ(grid.GetCell(1, 6).GetText(), u"last");
    EXPECT_EQ(grid.GetCell(1, 6).Row(), 6);
    grid.InsertRows(-1, 1);
    grid.InsertRows(2, 0);
    grid.DeleteRows(8, 1);
    EXPECT_EQ(grid.RowCount(), 8);
    grid.DeleteRows(5, 100);  // cut to what exists
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(grid.FindCell(1, 6), nullptr);
    grid.GetCell(3, 1).SetText(u"c3");
    grid.InsertCols(2, 1);
    EXPECT_EQ(grid.GetCell(4, 1).GetText(), u"c3");
    EXPECT_EQ(grid.GetCell(4, 1).Col(), 4);
    EXPECT_EQ(grid.ColCount(), 6);
}

TEST_F(GridStructure, FixedAreaGrowsAndShrinksWithRealRows) {
    grid.SetFixedRowCount(0);  // ignored
    EXPECT_EQ(grid.FixedRowCount(), 1);
    grid.GetCell(1, 1).SetText(u"first");
    grid.SetDefaultFixedRowHeight(25);
    grid.SetFixedRowCount(2);
    EXPECT_EQ(grid.FixedRowCount(), 2);
    EXPECT_EQ(grid.RowCount(), 6);
    EXPECT_EQ(grid.GetCell(1, 2).GetText(), u"first");
    EXPECT_EQ(grid.RowHeights(0), 25);
    EXPECT_EQ(grid.ViewLockRow(), 2);
    EXPECT_EQ(grid.Selection().Current(), (TPoint{1, 2}));  // moved down with the rows
    grid.SetFixedColCount(3);
    EXPECT_EQ(grid.FixedColCount(), 3);
    EXPECT_EQ(grid.ColCount(), 7);
    EXPECT_EQ(grid.ColWidths(1), 40);
    EXPECT_EQ(grid.Selection().Current(), (TPoint{3, 2}));
    grid.SetFixedRowCount(1);
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(grid.GetCell(3, 1).GetText(), u"first");
    EXPECT_EQ(grid.Selection().Current(), (TPoint{3, 1}));
    // A frozen pane beyond the fixed rows moves along with them.
    grid.SetViewLock(3, 3);
    grid.InsertRows(0, 1);
    EXPECT_EQ(grid.FixedRowCount(), 2);
    EXPECT_EQ(grid.ViewLockRow(), 4);
}

TEST_F(GridStructure, OutOfRangeEditsAreIgnored) {
    grid.DeleteRows(-1, 1);
    grid.DeleteRows(5, 1);
    grid.DeleteCols(1, 0);
    grid.MoveRow(1, 9);
    grid.MoveCol(-1, 2);
    grid.ExchangeRows(1, 1);
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(grid.ColCount(), 5);
    EXPECT_EQ(grid.Cells().CellCount(), 0);
}

TEST_F(GridStructure, MovedColumnsTakeWidthsAndColumnObjects) {
    grid.GetCell(1, 1).SetText(u"one");
    grid.SetColWidth(1, 11);
    grid.GetColumn(1).Style().SetFormatString(u"0.000");
    grid.MoveCol(1, 3);
    EXPECT_EQ(grid.GetCell(3, 1).GetText(), u"one");
    EXPECT_EQ(grid.ColWidths(3), 11);
    EXPECT_EQ(grid.FindColumn(3)->Index(), 3);
    EXPECT_EQ(grid.FindColumn(3)->Style().FormatString(), u"0.000");
    EXPECT_EQ(grid.FindColumn(1), nullptr);
}

TEST_F(GridMerge, MergingClearsCoveredCellsAndJoinsOverlaps) {
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 2; ++c)
            grid.GetCell(c, r).SetText(IntToWide(c * 10 + r));
    grid.GetCell(2, 2).OwnStyle().SetBgColor(clRed);
    grid.MergeCells(1, 1, 2, 3);
    ASSERT_EQ(grid.MergedAreas().Count(), 1);
    EXPECT_EQ(grid.MergedAreas()[0].Rect, (TRect{1, 1, 3, 4}));
    EXPECT_EQ(grid.GetCell(1, 1).GetText(), u"11");
    int cleared = 0;
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 2; ++c)
            if ((c != 1 || r != 1) && grid.GetCell(c, r).IsEmpty()) ++cleared;
    EXPECT_EQ(cleared, 5);
    EXPECT_EQ(grid.GetCell(2, 2).Style().BgColor(), clRed);  // formats stay
    EXPECT_EQ(grid.GetCell(1, 1).Span(), (TRect{1, 1, 3, 4}));
    EXPECT_TRUE(grid.GetCell(1, 1).IsMergeAnchor());
    EXPECT_FALSE(grid.GetCell(2, 2).IsMergeAnchor());
    grid.MergeCells(2, 3, 3, 4);
    ASSERT_EQ(grid.MergedAreas().Count(), 1);
    EXPECT_EQ(grid.MergedAreas()[0].Rect, (TRect{1, 1, 4, 5}));
    // Clipped to the grid; a one-cell span on an anchor removes its area.
    grid.MergeCells(3, 0, 9, 0);
    EXPECT_EQ(grid.MergedAreas()[1].Rect, (TRect{3, 0, 5, 1}));
    grid.GetCell(3, 0).SetColSpan(1);
    EXPECT_EQ(grid.MergedAreas().Count(), 1);
    grid.UnmergeCells({2, 2, 3, 3});
    EXPECT_EQ(grid.MergedAreas().Count(), 0);
}

TEST_F(GridMerge, AreasFollowRowAndColumnEdits) {
    grid.SetRowCount(10);
    grid.SetColCount(8);
    grid.MergeCells(2, 2, 3, 3);  // rows 2..3
    grid.MergeCells(5, 5, 5, 6);  // rows 5..6, one column
    grid.InsertRows(3, 2);        // inside the first: it grows
    EXPECT_EQ(grid.MergedAreas()[0].Rect, (TRect{2, 2, 4, 6}));
    EXPECT_EQ(grid.MergedAreas()[1].Rect, (TRect{5, 7, 6, 9}));  // below: moves
    grid.DeleteRows(7, 1);  // the only row left of the second's two would be one cell
    ASSERT_EQ(grid.MergedAreas().Count(), 1);
    grid.DeleteRows(4, 3);  // cuts the first at its end
    EXPECT_EQ(grid.MergedAreas()[0].Rect, (TRect{2, 2, 4, 4}));
    grid.InsertCols(1, 1);
    EXPECT_EQ(grid.MergedAreas()[0].Rect, (TRect{3, 2, 5, 4}));
    grid.DeleteCols(4, 1);
    EXPECT_EQ(grid.MergedAreas()[0].Rect, (TRect{3, 2, 4, 4}));
    grid.DeleteRows(2, 1);
    EXPECT_EQ(grid.MergedAreas().Count(), 0);
}

TEST_F(GridSort, EmptyRowsGoLastInBothDirections) {
    grid.SetRowCount(6);
    const std::vector<WideString> texts = {u"b", u"", u"a", u"c", u"a"};
    for (int i = 0; i < 5; ++i)
        if (!texts[i].empty()) grid.GetCell(2, i + 1).SetText(texts[i]);
    grid.GetCell(1, 1).SetText(u"row-b");  // rows move whole
    grid.SetRowHeight(1, 30);
    grid.SortByColumn(2, true);
    EXPECT_EQ(Column(grid, 2), (std::vector<WideString>{u"a", u"a", u"b", u"c", u""}));
    EXPECT_EQ(grid.GetCell(1, 3).GetText(), u"row-b");
    EXPECT_EQ(grid.RowHeights(3), 30);
    EXPECT_EQ(grid.GetCell(2, 3).Row(), 3);
    grid.SortByColumn(2, false);
    EXPECT_EQ(Column(grid, 2), (std::vector<WideString>{u"c", u"b", u"a", u"a", u""}));
    EXPECT_EQ(grid.GetCell(1, 2).GetText(), u"row-b");
}

TEST_F(GridSort, EqualKeysKeepTheirOrderAndNumbersSortByValue) {
    grid.SetRowCount(7);
    const int keys[] = {10, 9, 10, 100, 9, 10};
    for (int i = 0; i < 6; ++i) {
        grid.GetCell(1, i + 1).SetAsInteger(keys[i]);
        grid.GetCell(2, i + 1).SetAsInteger(i);
    }
    grid.SortByColumn(1, true);
    EXPECT_EQ(Column(grid, 2), (std::vector<WideString>{u"1", u"4", u"0", u"2", u"5", u"3"}));
    grid.SortRows({1, 2}, false);
    EXPECT_EQ(Column(grid, 2), (std::vector<WideString>{u"3", u"5", u"2", u"0", u"4", u"1"}));
}

TEST_F(GridSort, RangeHandlerAndMissingKeyCells) {
    grid.SetRowCount(7);
    for (int r = 1; r < 7; ++r)
        grid.GetCell(1, r).SetAsInteger(10 - r);
    grid.GetCell(2, 3).SetText(u"k");     // only row 3 has a key cell
    grid.SortRowsRange({2}, true, 4, 2);  // bounds swapped
    // Rows without a key cell come first ascending (they compare as smaller).
    EXPECT_EQ(Column(grid, 1), (std::vector<WideString>{u"9", u"8", u"6", u"7", u"5", u"4"}));
    std::vector<std::pair<int, int>> asked;
    grid.OnSortRowCompare = [&](TKtCustomGrid& g, int a, int b, int key) {
        asked.emplace_back(a, b);
        return g.GetCell(key, b).GetAsInteger() - g.GetCell(key, a).GetAsInteger();
    };
    grid.SortRowsRange({1}, true, -5, 100);  // clamped to the body rows
    EXPECT_FALSE(asked.empty());
    EXPECT_EQ(Column(grid, 1), (std::vector<WideString>{u"9", u"8", u"7", u"6", u"5", u"4"}));
}

TEST_F(GridSort, MergedCellsRefuseSortingAndChangeNothing) {
    grid.GetCell(1, 1).SetText(u"z");
    grid.GetCell(1, 2).SetText(u"a");
    grid.MergeCells(2, 3, 3, 3);
    try {
        grid.SortByColumn(1, true);
        FAIL() << "no error";
    } catch (const EGridError& e) {
        EXPECT_EQ(e.Message(), u"该操作不允许有合并单元格");
    }
    EXPECT_EQ(grid.GetCell(1, 1).GetText(), u"z");
    EXPECT_FALSE(grid.IsUpdating());
}

TEST_F(GridSort, InconsistentComparisonsStayInBounds) {
    grid.SetRowCount(200);
    for (int r = 1; r < 200; ++r)
        grid.GetCell(1, r).SetAsInteger(r);
    int calls = 0;
    grid.OnSortRowCompare = [&](TKtCustomGrid&, int, int, int) { return (++calls % 3) - 1; };
    grid.SortByColumn(1, true);
    std::vector<int> seen;
    for (int r = 1; r < 200; ++r)
        seen.push_back(grid.GetCell(1, r).GetAsInteger());
    std::sort(seen.begin(), seen.end());
    for (int i = 0; i < 199; ++i)
        EXPECT_EQ(seen[static_cast<size_t>(i)], i + 1);
}

TEST_F(GridAutoSize, RowHeightFollowsTheTallestText) {
    grid.SetAutoRowHeight(true);
    grid.Font().SetHeight(-14);  // FixedTextMeasurer: 14 + 3 pixels a line
    grid.GetCell(1, 1).SetText(u"one line");
    EXPECT_EQ(grid.RowHeights(1), 19);  // 17 + 1 + 1, never below the default
    TKtCell& tall = grid.GetCell(2, 2);
    tall.OwnFont().SetHeight(-40);
    tall.SetText(u"x");
    EXPECT_EQ(grid.RowHeights(2), 40 + 10 + 1 + 1);
    TKtCell& wrapped = grid.GetCell(3, 3);
    wrapped.OwnStyle().SetWrapText(true);
    wrapped.SetText(u"aaaa bbbb cccc dddd");  // 7 px a character, 65 px of text room
    EXPECT_GT(grid.RowHeights(3), 2 * 17);
    tall.SetText(u"");
    EXPECT_EQ(grid.RowHeights(2), 19);
}

TEST_F(GridAutoSize, HandSizedRowsKeepTheirHeight) {
    grid.GetRow(1).SetHeightSetByHand(true);
    grid.SetRowHeight(1, 50);
    TKtCell& c = grid.GetCell(1, 1);
    c.OwnFont().SetHeight(-40);
    c.SetText(u"x");
    grid.AutoFitRowHeight(1);
    EXPECT_EQ(grid.RowHeights(1), 50);
    grid.SetAllowAutoAdjustCustomRowHeight(true);
    grid.AutoFitRowHeight(1);
    EXPECT_EQ(grid.RowHeights(1), 52);
    // Merge anchors spanning rows do not count.
    grid.MergeCells(1, 1, 1, 2);
    EXPECT_EQ(grid.ComputeRowHeight(1), 19);
}

TEST_F(GridAutoSize, RowsAreFittedOnceAtTheEndOfAnUpdate) {
    grid.SetRowCount(30);
    grid.SetAutoRowHeight(true);
    grid.Font().SetHeight(-30);
    std::map<int, int> fits;
    grid.OnRowHeightChange = [&](TKtCustomGrid&, int row, int) { ++fits[row]; };
    grid.BeginUpdate();
    for (int i = 0; i < 100; ++i)
        grid.GetCell(1 + i % 4, 1 + i % 25).SetText(IntToWide(i));
    EXPECT_TRUE(fits.empty());
    grid.EndUpdate();
    EXPECT_EQ(fits.size(), 25u);
    for (const auto& [row, n] : fits)
        EXPECT_EQ(n, 1) << row;
    EXPECT_EQ(grid.RowHeights(7), 30 + 7 + 1 + 1);
}

TEST_F(GridAutoSize, ColumnWidthFitsTheWidestText) {
    grid.Font().SetHeight(-10);  // 5 px a character
    grid.GetCell(2, 1).SetText(u"abcdefghij");
    grid.GetCell(2, 2).SetText(u"ab\r\nabcdefghijklmnopqrst");
    grid.GetCell(2, 0).SetText(u"a very long header text");  // headers do not count
    grid.AutoFitColWidth(2);
    EXPECT_EQ(grid.ColWidths(2), 20 * 5 + 4);
    grid.AutoFitColWidth(3);  // all empty: unchanged
    EXPECT_EQ(grid.ColWidths(3), 73);
    grid.SetClientSize(60, 200);
    grid.AutoFitColWidth(2);
    EXPECT_EQ(grid.ColWidths(2), 60);
}

TEST_F(GridView, RepaintsAreRequestedOnlyOutsideUpdates) {
    view.Reset();
    grid.BeginUpdate();
    grid.BeginUpdate();
    grid.GetCell(1, 1).SetText(u"x");
    grid.SetColWidth(2, 50);
    grid.EndUpdate();
    EXPECT_EQ(view.Requests(), 0);
    grid.EndUpdate();
    EXPECT_EQ(view.all, 1);
    grid.EndUpdate();  // never below zero
    EXPECT_FALSE(grid.IsUpdating());
    view.Reset();
    grid.GetCell(1, 2).SetText(u"y");
    ASSERT_EQ(view.rects.size(), 1u);
    EXPECT_EQ(view.rects[0], (TRect{40, 38, 113, 57}));
}

TEST_F(GridView, FrozenPanesAndScrolling) {
    grid.SetViewLock(0, 0);
    EXPECT_EQ(grid.ViewLockCol(), 1);
    EXPECT_EQ(grid.ViewLockRow(), 1);
    grid.SetColCount(20);
    grid.SetRowCount(100);
    grid.SetViewLock(3, 2);
    EXPECT_EQ(grid.ViewLockCol(), 3);
    EXPECT_EQ(grid.LeftCol(), 3);
    EXPECT_EQ(grid.TopRow(), 2);
    // Frozen columns keep their place; scrolled ones start after them.
    EXPECT_EQ(grid.ColumnLeft(2), 40 + 73);
    grid.SelectRange(10, 50, 10, 50);
    EXPECT_GT(grid.LeftCol(), 3);
    EXPECT_EQ(grid.ColumnLeft(10) + 73, std::min(300, grid.ColumnLeft(10) + 73));
    EXPECT_LE(grid.RowTop(50) + 19, 200);
    EXPECT_GE(grid.RowTop(50), 38);
    grid.SelectRange(4, 3, 4, 3);
    EXPECT_EQ(grid.LeftCol(), 4);  // scrolled back: the column is the first visible
    EXPECT_EQ(grid.TopRow(), 3);
}

TEST_F(GridView, MouseOverCellsAndTheCommentBox) {
    std::vector<std::string> seen;
    grid.OnCellMouseEnter = [&](TKtCustomGrid&, int c, int r) {
        seen.push_back("enter " + std::to_string(c) + "," + std::to_string(r));
    };
    grid.OnCellMouseLeave = [&](TKtCustomGrid&, int c, int r) {
        seen.push_back("leave " + std::to_string(c) + "," + std::to_string(r));
    };
    grid.GetCell(1, 1).SetComment(u"note");
    grid.SetClientSize(600, 400);
    grid.SetMouseCell(1, 1);
    grid.SetMouseCell(1, 1);  // no move
    view.Reset();
    grid.SetMouseCell(2, 1);
    grid.SetMouseCell(-1, -1);
    EXPECT_EQ(seen, (std::vector<std::string>{"enter 1,1", "leave 1,1", "enter 2,1", "leave 2,1"}));
    // The box: 15 px right of the cell (40 ... 113), not above the fixed row.
    const TRect box = grid.CommentBoxRect(1, 1);
    EXPECT_EQ(box, (TRect{113, 19, 330, 121}));
    ASSERT_EQ(view.rects.size(), 1u);  // leaving the commented cell repaints the box
    EXPECT_EQ(view.rects[0], box);
    EXPECT_EQ(TKtCustomGrid::ResizeHint(true, 96), u" 宽度: 25 毫米  (96 像素)");
    EXPECT_EQ(TKtCustomGrid::ResizeHint(false, 19), u" 高度: 5 毫米  (19 像素)");
}
