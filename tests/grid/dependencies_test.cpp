// Formula dependents through the cells of a grid: what a change recalculates,
// in which order, how often, inside BeginUpdate, across grids, and how
// references, watched positions and merged areas follow structural edits.
// The formula is the test support's "SUM c1 r1 c2 r2" over grid coordinates.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "grid/axis_edit.h"
#include "grid/cell_class.h"
#include "grid/range_watches.h"
#include "grid_test_support.h"

using namespace plu;
using namespace plu::testing;

namespace {

class Dependents : public GridTest {
  protected:
    Dependents() {
        grid.SetColCount(10);
        grid.SetRowCount(40);
        SumFormula::recalculations = 0;
        SumFormula::onRecalculate = nullptr;
    }
    ~Dependents() override { SumFormula::onRecalculate = nullptr; }

    TKtCell& Sum(int col, int row, int c1, int r1, int c2, int r2) {
        TKtCell& cell = grid.GetCell(col, row);
        cell.SetFormula(u"SUM " + IntToWide(c1) + u" " + IntToWide(r1) + u" " + IntToWide(c2) +
                        u" " + IntToWide(r2));
        return cell;
    }
    double Value(int col, int row) { return grid.GetCell(col, row).GetAsFloat(); }
};

// ---- Axis edits ---------------------------------------------------------------------------

std::string Span(const TKtAxisEdit& edit, int lo, int hi, bool exact = true) {
    const TKtSpanFate fate = edit.MapSpan(lo, hi, exact);
    switch (fate) {
        case TKtSpanFate::Kept:
            return "kept " + std::to_string(lo) + ".." + std::to_string(hi);
        case TKtSpanFate::Moved:
            return std::to_string(lo) + ".." + std::to_string(hi);
        case TKtSpanFate::Torn:
            return "torn";
        case TKtSpanFate::Gone:
            return "gone";
    }
    return "?";
}

TEST(AxisEdit, InsertMovesGrowsOrKeeps) {
    const TKtAxisEdit e = TKtAxisEdit::Insert(true, 5, 2);
    EXPECT_EQ(e.MapIndex(4), 4);
    EXPECT_EQ(e.MapIndex(5), 7);
    EXPECT_EQ(Span(e, 5, 8), "7..10");      // inserted at its start: moves
    EXPECT_EQ(Span(e, 3, 5), "3..7");       // inside: grows
    EXPECT_EQ(Span(e, 1, 4), "kept 1..4");  // right after its end: unchanged
}

TEST(AxisEdit, DeleteShrinksMovesOrLosesSpans) {
    const TKtAxisEdit e = TKtAxisEdit::Delete(true, 5, 3);  // 5, 6, 7
    EXPECT_EQ(e.MapIndex(4), 4);
    EXPECT_EQ(e.MapIndex(6), TKtAxisEdit::kGone);
    EXPECT_EQ(e.MapIndex(8), 5);
    EXPECT_EQ(Span(e, 8, 9), "5..6");
    EXPECT_EQ(Span(e, 2, 6), "2..4");
    EXPECT_EQ(Span(e, 6, 10), "5..7");
    EXPECT_EQ(Span(e, 2, 10), "2..7");
    EXPECT_EQ(Span(e, 5, 7), "gone");
    EXPECT_EQ(Span(e, 0, 4), "kept 0..4");
}

TEST(AxisEdit, ReorderingsCarrySpansOnlyWhole) {
    const TKtAxisEdit move = TKtAxisEdit::Move(true, 2, 6);  // 2 -> 6, 3..6 close up
    EXPECT_EQ(move.MapIndex(2), 6);
    EXPECT_EQ(move.MapIndex(3), 2);
    EXPECT_EQ(move.MapIndex(7), 7);
    EXPECT_EQ(Span(move, 2, 2), "6..6");
    EXPECT_EQ(Span(move, 4, 5), "3..4");  // a block staying whole moves
    EXPECT_EQ(Span(move, 1, 3), "torn");  // 2 leaves, 4 comes in
    EXPECT_EQ(Span(move, 1, 3, false), "torn");
    EXPECT_EQ(Span(move, 0, 9), "kept 0..9");  // the whole band inside
    EXPECT_EQ(Span(move, 8, 9), "kept 8..9");

    const TKtAxisEdit swap = TKtAxisEdit::Exchange(true, 6, 3);
    EXPECT_EQ(swap.MapIndex(3), 6);
    EXPECT_EQ(swap.MapIndex(6), 3);
    EXPECT_EQ(Span(swap, 4, 5), "kept 4..5");
    EXPECT_EQ(Span(swap, 3, 4), "torn");
    // Reordered only inside: 8 and 9 change places within 5..9.
    EXPECT_EQ(Span(TKtAxisEdit::Exchange(true, 8, 9), 5, 9), "kept 5..9");
    EXPECT_EQ(Span(TKtAxisEdit::Exchange(true, 8, 9), 5, 9, false), "kept 5..9");
    EXPECT_EQ(Span(TKtAxisEdit::Exchange(true, 8, 9), 5, 8, false), "torn");
}

TEST(AxisEdit, DataCoordinatesLeaveTheFixedAreaOut) {
    // Two fixed rows: inserting among them moves the body with the fixed area.
    EXPECT_TRUE(TKtAxisEdit::Insert(true, 1, 3, 2).ToData().IsIdentity());
    const TKtAxisEdit atBody = TKtAxisEdit::Insert(true, 2, 3, 2).ToData();
    EXPECT_EQ(atBody.MapIndex(0), 3);
    // Deleting from fixed row 1 through body row 1 (grid row 3) deletes data rows 0 and 1.
    const TKtAxisEdit across = TKtAxisEdit::Delete(true, 1, 3, 2).ToData();
    EXPECT_EQ(across.MapIndex(1), TKtAxisEdit::kGone);
    EXPECT_EQ(across.MapIndex(2), 0);
    EXPECT_TRUE(TKtAxisEdit::Delete(true, 0, 1, 2).ToData().IsIdentity());
    // A body row moved into the fixed area has no data position any more.
    EXPECT_EQ(TKtAxisEdit::Move(true, 3, 1, 2).ToData().MapIndex(1), -1);
}

// ---- Watched positions --------------------------------------------------------------------

TEST_F(Dependents, WatchesAreFoundByPositionAtEverySize) {
    TKtRangeWatches watches;
    std::vector<TKtCell*> cells;
    for (int i = 0; i < 6; ++i)
        cells.push_back(&grid.GetCell(1, i + 1));
    watches.Add(*cells[0], TRect::Cell(3, 3));
    watches.Add(*cells[1], {0, 0, 4, 60});         // fine bands
    watches.Add(*cells[2], {2, 50, 200, 3000});    // coarser
    watches.Add(*cells[3], {0, 0, 300, 1048576});  // the whole sheet level
    const auto handle = watches.Add(*cells[4], {3, 3, 4, 4000});
    EXPECT_EQ(watches.Add(*cells[5], {5, 5, 5, 9}).Id, UINT32_MAX);  // empty: nothing
    auto at = [&](int c, int r) {
        std::vector<int> found;
        watches.ForEachAt(c, r, [&](TKtCell& w) { found.push_back(w.Row()); });
        std::sort(found.begin(), found.end());
        return found;
    };
    EXPECT_EQ(at(3, 3), (std::vector<int>{1, 2, 4, 5}));
    EXPECT_EQ(at(3, 55), (std::vector<int>{2, 3, 4, 5}));
    EXPECT_EQ(at(150, 2999), (std::vector<int>{3, 4}));
    EXPECT_EQ(at(150, 3000), (std::vector<int>{4}));
    EXPECT_EQ(at(301, 3), (std::vector<int>{}));
    watches.Remove(handle);
    watches.Remove(handle);  // a stale handle does nothing
    EXPECT_EQ(at(3, 3), (std::vector<int>{1, 2, 4}));
    EXPECT_EQ(watches.Count(), 4u);
}

TEST_F(Dependents, ManyWatchersOfOnePositionComeAndGo) {
    grid.SetRowCount(3000);
    TKtRangeWatches watches;
    std::vector<TKtRangeWatches::Handle> handles;
    for (int r = 1; r < 3000; ++r)
        handles.push_back(watches.Add(grid.GetCell(2, r), TRect::Cell(1, 1)));
    // Removing every other one, then re-adding into the freed slots, never
    // revives a removed watch.
    for (size_t i = 0; i < handles.size(); i += 2)
        watches.Remove(handles[i]);
    for (int r = 1; r < 500; ++r)
        watches.Add(grid.GetCell(3, r), TRect::Cell(1, 2));
    int atA = 0, atB = 0;
    watches.ForEachAt(1, 1, [&](TKtCell& w) {
        ++atA;
        EXPECT_EQ(w.Row() % 2, 0);  // handles of odd rows were removed
    });
    watches.ForEachAt(1, 2, [&](TKtCell&) { ++atB; });
    EXPECT_EQ(atA, 1499);
    EXPECT_EQ(atB, 499);
}

// ---- Recalculation ----------------------------------------------------------------------------

TEST_F(Dependents, FormulasFollowTheirCellsIncludingLaterOnes) {
    grid.SetOptionsEx(grid.OptionsEx().With(TGridOptionEx::goxSupportFormula));
    grid.GetCell(1, 1).SetText(u"2");
    TKtCell& sum = grid.GetCell(3, 1);
    sum.SetText(u"=SUM 1 1 1 3");
    EXPECT_EQ(sum.GetText(), u"2");
    EXPECT_EQ(sum.GetEditText(), u"=SUM 1 1 1 3");
    // A cell created after the formula still recalculates it.
    grid.GetCell(1, 3).SetText(u"5");
    EXPECT_EQ(sum.GetAsFloat(), 7);
    grid.GetCell(1, 2).SetAsFloat(1.5);
    EXPECT_EQ(sum.GetText(), u"8.5");
    ASSERT_EQ(grid.GetCell(1, 2).Dependents().size(), 1u);
    EXPECT_EQ(grid.GetCell(1, 2).Dependents()[0], &sum);
    // A cell outside the range does not.
    SumFormula::recalculations = 0;
    grid.GetCell(2, 2).SetAsInteger(100);
    grid.GetCell(1, 4).SetAsInteger(100);
    EXPECT_EQ(SumFormula::recalculations, 0);
    // Replacing the formula unregisters it.
    sum.SetText(u"plain");
    EXPECT_TRUE(grid.GetCell(1, 1).Dependents().empty());
    grid.GetCell(1, 1).SetAsInteger(3);
    EXPECT_EQ(SumFormula::recalculations, 0);
}

TEST_F(Dependents, EachFormulaIsRecalculatedOnceAfterWhatItReads) {
    // B1 and C1 read A1, D1 reads both: D1 must see the new B1 and C1.
    grid.GetCell(1, 1).SetAsInteger(1);
    Sum(2, 1, 1, 1, 1, 1);
    Sum(3, 1, 1, 1, 1, 1);
    TKtCell& d = Sum(4, 1, 2, 1, 3, 1);
    std::vector<int> order;
    SumFormula::onRecalculate = [&](SumFormula&) {
        order.push_back(static_cast<int>(order.size()));
    };
    std::vector<int> cols;
    grid.OnCellValueChanged = [&](TKtCell& c) { cols.push_back(c.Col()); };
    grid.GetCell(1, 1).SetAsInteger(10);
    EXPECT_EQ(order.size(), 3u);
    EXPECT_EQ(d.GetAsFloat(), 20);
    // B1 and C1 (C1 registered last goes first), D1 after both, A1 last.
    EXPECT_EQ(cols, (std::vector<int>{3, 2, 4, 1}));
}

TEST_F(Dependents, AHundredThousandLongChainNeedsNoDeepStack) {
    constexpr int kChain = 100000;
    grid.SetRowCount(kChain + 2);
    grid.BeginUpdate();
    for (int r = 2; r <= kChain; ++r)
        Sum(1, r, 1, r - 1, 1, r - 1);
    grid.EndUpdate();
    SumFormula::recalculations = 0;
    grid.GetCell(1, 1).SetAsInteger(4);
    EXPECT_EQ(Value(1, kChain), 4);
    EXPECT_EQ(Value(1, kChain / 2), 4);
    EXPECT_EQ(SumFormula::recalculations, kChain - 1);
}

TEST_F(Dependents, CirclesEndWithEveryFormulaRecalculatedOnce) {
    TKtCell& a = Sum(1, 1, 2, 1, 2, 1);
    Sum(2, 1, 1, 1, 1, 1);
    Sum(3, 1, 3, 1, 3, 1);  // reads itself
    SumFormula::recalculations = 0;
    a.ValueChanged();
    EXPECT_EQ(SumFormula::recalculations, 2);
    SumFormula::recalculations = 0;
    grid.GetCell(3, 1).ValueChanged();
    EXPECT_EQ(SumFormula::recalculations, 1);
}

TEST_F(Dependents, UpdatesRecalculateOnceAtTheOutermostEndUpdate) {
    TKtCell& sum = Sum(3, 1, 1, 1, 1, 5);
    SumFormula::recalculations = 0;
    int events = 0;
    grid.OnCellValueChanged = [&](TKtCell&) { ++events; };
    grid.BeginUpdate();
    grid.BeginUpdate();
    for (int r = 1; r <= 5; ++r)
        grid.GetCell(1, r).SetAsInteger(r);
    TKtCell& entered = Sum(4, 1, 3, 1, 3, 1);  // entered meanwhile: not calculated yet
    grid.EndUpdate();
    EXPECT_EQ(SumFormula::recalculations, 0);
    EXPECT_EQ(events, 0);
    grid.EndUpdate();
    EXPECT_EQ(SumFormula::recalculations, 2);
    EXPECT_EQ(sum.GetAsFloat(), 15);
    EXPECT_EQ(entered.GetAsFloat(), 15);
    EXPECT_EQ(events, 2);  // the recalculated formulas, after the update
}

TEST_F(Dependents, AFailedFormulaTellsItsDependents) {
    grid.GetCell(1, 1).SetAsInteger(6);
    TKtCell& sum = Sum(2, 1, 1, 1, 1, 1);
    EXPECT_EQ(sum.GetAsFloat(), 6);
    EXPECT_THROW(grid.GetCell(1, 1).SetFormula(u"broken"), Exception);
    EXPECT_TRUE(grid.GetCell(1, 1).IsEmpty());
    EXPECT_EQ(sum.GetAsFloat(), 0);
}

TEST_F(Dependents, HandlersMayChangeAndFreeCellsWhileFormulasRecalculate) {
    grid.GetCell(1, 1).SetAsInteger(1);
    for (int r = 2; r <= 20; ++r)
        Sum(1, r, 1, r - 1, 1, r - 1);
    TKtCell& other = Sum(3, 1, 2, 1, 2, 1);
    // Row 10's formula changes another cell, then deletes rows 11 ... 15,
    // whose formulas wait their turn in the same recalculation.
    bool once = false;
    grid.OnCellValueChanged = [&](TKtCell& c) {
        if (c.Row() != 10 || once) return;
        once = true;
        grid.GetCell(2, 1).SetAsInteger(7);
        grid.DeleteRows(11, 5);
    };
    grid.GetCell(1, 1).SetAsInteger(2);
    EXPECT_TRUE(once);
    EXPECT_EQ(other.GetAsFloat(), 7);
    EXPECT_EQ(Value(1, 10), 2);
    // Row 16 moved up to 11 and now reads the gone row: its reference is lost.
    EXPECT_EQ(grid.GetCell(1, 11).GetFormula(), u"SUM #REF!");
    EXPECT_EQ(Value(1, 11), 0);
    EXPECT_EQ(Value(1, 15), 0);
}

TEST_F(Dependents, AReclassedCellKeepsItsReaders) {
    TKtCell& sum = Sum(3, 1, 1, 1, 1, 1);
    grid.GetCell(1, 1).SetAsInteger(5);
    grid.ClassManager().SetCellClass(1, 1, &TKtCell::Class());
    EXPECT_EQ(&grid.GetCell(1, 1).CellClass(), &TKtCell::Class());
    grid.GetCell(1, 1).SetAsInteger(8);
    EXPECT_EQ(sum.GetAsFloat(), 8);
}

// ---- Structural edits
// ------------------------------------------------------------------------------

TEST_F(Dependents, ReferencesFollowInsertedAndDeletedRows) {
    grid.GetCell(1, 3).SetAsInteger(1);
    grid.GetCell(1, 5).SetAsInteger(2);
    TKtCell& range = Sum(3, 15, 1, 2, 1, 5);
    TKtCell& single = Sum(4, 15, 1, 3, 1, 3);
    grid.InsertRows(1, 3);  // everything from row 1 moves down by 3
    TKtCell& range2 = grid.GetCell(3, 18);
    EXPECT_EQ(&range2, &range);
    EXPECT_EQ(range.GetFormula(), u"SUM 1 5 1 8");
    EXPECT_EQ(single.GetFormula(), u"SUM 1 6 1 6");
    grid.InsertRows(7, 2);  // inside the range: it grows
    EXPECT_EQ(range.GetFormula(), u"SUM 1 5 1 10");
    grid.GetCell(1, 9).SetAsInteger(10);  // a new cell inside the grown range
    EXPECT_EQ(range.GetAsFloat(), 13);
    EXPECT_EQ(grid.GetCell(1, 3).Dependents().size(), 0u);  // the old position
    grid.DeleteRows(6, 1);                                  // the single cell goes
    EXPECT_EQ(single.GetFormula(), u"SUM #REF!");
    EXPECT_EQ(range.GetFormula(), u"SUM 1 5 1 9");
    EXPECT_EQ(range.GetAsFloat(), 12);  // recalculated without the deleted 1
    grid.DeleteRows(4, 7);              // the whole range goes
    EXPECT_EQ(range.GetFormula(), u"SUM #REF!");
    EXPECT_EQ(range.GetAsFloat(), 0);
}

TEST_F(Dependents, ReferencesFollowMovedAndSortedRows) {
    grid.SetColCount(4);
    for (int r = 1; r <= 4; ++r)
        grid.GetCell(1, r).SetText(std::u16string(1, static_cast<char16_t>(u'e' - r)));  // d c b a
    for (int r = 1; r <= 4; ++r) {
        grid.GetCell(2, r).SetAsInteger(r * 10);
        Sum(3, r, 2, r, 2, r);  // each row totals its own row
    }
    grid.SortByColumn(1, true);  // a b c d: rows reversed
    for (int r = 1; r <= 4; ++r) {
        EXPECT_EQ(grid.GetCell(3, r).GetFormula(),
                  u"SUM 2 " + IntToWide(r) + u" 2 " + IntToWide(r));
        EXPECT_EQ(Value(3, r), (5 - r) * 10);
    }
    grid.MoveRow(1, 3);
    EXPECT_EQ(grid.GetCell(3, 3).GetFormula(), u"SUM 2 3 2 3");
    grid.GetCell(2, 3).SetAsInteger(99);
    EXPECT_EQ(Value(3, 3), 99);
    grid.ExchangeRows(2, 4);
    EXPECT_EQ(grid.GetCell(3, 4).GetFormula(), u"SUM 2 4 2 4");
    grid.MoveCol(2, 1);  // the totalled column moves left
    EXPECT_EQ(grid.GetCell(3, 4).GetFormula(), u"SUM 1 4 1 4");
}

TEST_F(Dependents, FreedCellsRecalculateTheirReaders) {
    grid.GetCell(1, 30).SetAsInteger(4);
    grid.GetCell(6, 2).SetAsInteger(5);
    TKtCell& rows = Sum(1, 1, 1, 20, 1, 35);
    TKtCell& cols = Sum(2, 1, 5, 1, 7, 5);
    grid.SetRowCount(25);
    EXPECT_EQ(rows.GetAsFloat(), 0);
    grid.SetColCount(5);
    EXPECT_EQ(cols.GetAsFloat(), 0);
    grid.SetColCount(10);
    grid.GetCell(6, 2).SetAsInteger(6);  // the range still watches its position
    EXPECT_EQ(cols.GetAsFloat(), 6);
}

TEST_F(Dependents, MergedAreasFollowMovedRowsAndColumns) {
    grid.MergeCells(1, 2, 3, 2);  // one row
    grid.MergeCells(5, 4, 5, 7);  // four rows
    grid.MoveRow(2, 6);
    ASSERT_EQ(grid.MergedAreas().Count(), 1);  // the tall one was torn apart
    EXPECT_EQ(grid.MergedAreas()[0].Rect, (TRect{1, 6, 4, 7}));
    grid.ExchangeRows(6, 1);
    EXPECT_EQ(grid.MergedAreas()[0].Rect, (TRect{1, 1, 4, 2}));
    grid.MoveCol(4, 1);  // columns 1 ... 3 make room: the area moves right whole
    EXPECT_EQ(grid.MergedAreas()[0].Rect, (TRect{2, 1, 5, 2}));
    grid.MoveCol(3, 8);  // tears it
    EXPECT_EQ(grid.MergedAreas().Count(), 0);
}

// ---- Across grids
// ----------------------------------------------------------------------------------

TEST_F(Dependents, FormulasFollowCellsOfAnotherGridSharingTheRegistry) {
    TKtDependencies shared;
    auto other = std::make_unique<FormulaGrid>();
    grid.Dependents().Share(&shared);
    TKtCell& sum = grid.GetCell(3, 1);
    sum.SetFormula(u"SUM 1 1 1 2");
    dynamic_cast<SumFormula*>(sum.Formula())->ReadFrom(other.get());
    sum.RefreshReferences();
    other->GetCell(1, 2).SetAsInteger(9);  // the other grid joins with the watch
    EXPECT_EQ(sum.GetAsFloat(), 9);
    EXPECT_EQ(shared.CrossSheetCount(), 1u);
    other->InsertRows(1, 1);
    EXPECT_EQ(sum.GetFormula(), u"SUM 1 2 1 3");
    other->GetCell(1, 3).SetAsInteger(1);
    EXPECT_EQ(sum.GetAsFloat(), 1);
    // The other grid goes first: the formula stops watching it, safely.
    dynamic_cast<SumFormula*>(sum.Formula())->ReadFrom(nullptr);
    other.reset();
    grid.GetCell(1, 2).SetAsInteger(3);
    EXPECT_EQ(sum.GetAsFloat(), 3);
    EXPECT_EQ(shared.RegisteredCount(), 1u);
}

}  // namespace
