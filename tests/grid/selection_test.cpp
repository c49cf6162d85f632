#include "grid/grid_selection.h"

#include <gtest/gtest.h>

#include "grid/text_matrix.h"
#include "grid_test_support.h"

using namespace plu;
using namespace plu::testing;

namespace {

class Selection : public GridTest {
  protected:
    Selection() {
        grid.SetColCount(10);
        grid.SetRowCount(12);
    }
    TKtGridSelection& sel() { return grid.Selection(); }
};

using RangeFormat = Selection;
using SelectionClipboard = Selection;
using SelectionEditing = Selection;

struct FakeClipboard : IKtGridClipboard {
    int copies = 0, cuts = 0, pastes = 0;
    TRect last{};
    void Copy(TKtCustomGrid&, const TRect& r, bool cut) override {
        (cut ? cuts : copies)++;
        last = r;
    }
    void Paste(TKtCustomGrid&, const TRect& r, int) override {
        ++pastes;
        last = r;
    }
};

struct FakeEditor : IKtCellEditor {
    TKtCell* shown = nullptr;
    bool refuse = false;
    int commits = 0;
    void Show(TKtCell& cell) override { shown = &cell; }
    bool Hide(bool save, bool) override {
        if (save && refuse) return false;
        if (save) ++commits;
        shown = nullptr;
        return true;
    }
    void UpdateBounds() override {}
    void CellGone(const TKtCell& cell) override {
        if (shown == &cell) shown = nullptr;
    }
};

// (edge line style) of a cell, 0 when the cell does not exist.
uint8_t Line(TKtCustomGrid& g, int c, int r, int edge) {
    const TKtCell* cell = g.FindCell(c, r);
    return cell ? cell->Style().BorderLine(edge) : 0;
}

}  // namespace

TEST_F(Selection, SelectRangeMakesTheFirstCornerCurrent) {
    grid.SelectRange(1, 4, 7, 4);
    EXPECT_EQ(sel().Current(), (TPoint{1, 4}));
    EXPECT_EQ(sel().Rect(), (TRect{1, 4, 8, 5}));
    EXPECT_EQ(sel().Left(), 1);
    EXPECT_EQ(sel().Right(), 7);
    EXPECT_EQ(sel().ColCount(), 7);
    EXPECT_EQ(sel().DataLeft(), 0);
    grid.SelectRange(5, 9, 2, 6);  // corners in any order
    EXPECT_EQ(sel().Rect(), (TRect{2, 6, 6, 10}));
    EXPECT_EQ(sel().Current(), (TPoint{5, 9}));
    grid.SelectRange(0, 0, 3, 3);  // outside the body: ignored start
    EXPECT_EQ(sel().Current(), (TPoint{5, 9}));
}

TEST_F(Selection, RectanglesGrowOverMergedAreas) {
    grid.MergeCells(3, 3, 5, 4);
    grid.MergeCells(5, 5, 6, 6);
    grid.SelectRange(2, 2, 3, 3);
    EXPECT_EQ(sel().Rect(), (TRect{2, 2, 6, 5}));
    sel().SetSelectionRect({4, 4, 6, 6});  // touches both: grows until stable
    EXPECT_EQ(sel().Rect(), (TRect{3, 3, 7, 7}));
    // A current cell inside an area snaps to its anchor.
    sel().SetCurrent(4, 4, true);
    EXPECT_EQ(sel().Current(), (TPoint{3, 3}));
    EXPECT_EQ(sel().Rect(), (TRect{3, 3, 6, 5}));
}

TEST_F(Selection, EventsAndRefusals) {
    std::vector<TRect> changes;
    int changed = 0;
    grid.OnSelectionChange = [&](TKtCustomGrid&, const TRect& r) { changes.push_back(r); };
    grid.OnCurrentChanged = [&](TKtCustomGrid&, int, int) { ++changed; };
    grid.SelectRange(2, 2, 3, 4);
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes.back(), (TRect{2, 2, 3, 4}));  // inclusive
    EXPECT_EQ(changed, 1);
    grid.OnCurrentChanging = [](TKtCustomGrid&, TPoint p, bool& allow) { allow = p.X != 6; };
    grid.SelectRange(6, 6, 6, 6);
    EXPECT_EQ(sel().Current(), (TPoint{2, 2}));
    EXPECT_EQ(sel().Rect(), (TRect{2, 2, 4, 5}));
    grid.BeginUpdate();
    grid.SelectRange(4, 4, 4, 4);
    grid.EndUpdate();
    EXPECT_EQ(changed, 1);  // not while updating
    EXPECT_EQ(sel().Current(), (TPoint{4, 4}));
}

TEST_F(Selection, MovingRightWrapsToTheNextRow) {
    grid.SetCurrentMoveDir(TGridDir::gdRight);
    grid.SelectRange(9, 3, 9, 3);
    sel().MoveCurrent(TGridDir::gdNone, false);
    EXPECT_EQ(sel().Current(), (TPoint{1, 4}));
    grid.SetColVisible(1, false);
    grid.SelectRange(9, 3, 9, 3);
    sel().MoveCurrent(TGridDir::gdRight, false);
    EXPECT_EQ(sel().Current(), (TPoint{2, 4}));  // hidden first column skipped
    grid.SelectRange(9, 11, 9, 11);
    sel().MoveCurrent(TGridDir::gdRight, false);
    EXPECT_EQ(sel().Current(), (TPoint{9, 11}));  // no next row
}

TEST_F(Selection, MovingStopsAtTheEdgesAndSkipsHiddenRows) {
    grid.SelectRange(1, 3, 1, 3);
    sel().MoveCurrent(TGridDir::gdLeft, false);
    EXPECT_EQ(sel().Current(), (TPoint{1, 3}));
    grid.SetRowHeight(4, 0);
    grid.SetRowVisible(5, false);
    sel().MoveCurrent(TGridDir::gdDown, false);
    EXPECT_EQ(sel().Current(), (TPoint{1, 6}));
    sel().MoveCurrent(TGridDir::gdUp, false);
    EXPECT_EQ(sel().Current(), (TPoint{1, 3}));
    grid.SelectRange(1, 1, 1, 1);
    sel().MoveCurrent(TGridDir::gdUp, false);
    EXPECT_EQ(sel().Current(), (TPoint{1, 1}));
    grid.SetCurrentMoveDir(TGridDir::gdNone);
    sel().MoveCurrent(TGridDir::gdNone, false);
    EXPECT_EQ(sel().Current(), (TPoint{1, 1}));
    std::vector<TGridDir> moves;
    grid.OnMoveCurrent = [&](TKtCustomGrid&, TPoint, TGridDir d) { moves.push_back(d); };
    sel().MoveCurrent(TGridDir::gdDown, false);
    EXPECT_EQ(moves, (std::vector<TGridDir>{TGridDir::gdDown}));
}

TEST_F(Selection, MovingFromAMergedCellLeavesTheWholeArea) {
    grid.MergeCells(2, 2, 4, 3);
    grid.SelectRange(2, 2, 2, 2);
    sel().MoveCurrent(TGridDir::gdDown, false);
    EXPECT_EQ(sel().Current(), (TPoint{2, 4}));
    grid.SelectRange(2, 2, 2, 2);
    sel().MoveCurrent(TGridDir::gdRight, false);
    EXPECT_EQ(sel().Current(), (TPoint{5, 2}));
}

TEST_F(Selection, ExtendingStepsBeyondMergedAreas) {
    grid.MergeCells(4, 2, 6, 2);
    grid.SelectRange(3, 3, 3, 3);
    sel().MoveCurrent(TGridDir::gdRight, true);
    EXPECT_EQ(sel().Rect(), (TRect{3, 3, 5, 4}));
    sel().MoveCurrent(TGridDir::gdUp, true);
    EXPECT_EQ(sel().Rect(), (TRect{3, 2, 7, 4}));  // grew over the area
    sel().MoveCurrent(TGridDir::gdRight, true);
    EXPECT_EQ(sel().Rect(), (TRect{3, 2, 8, 4}));  // one step beyond it
    EXPECT_EQ(sel().Current(), (TPoint{3, 3}));
    sel().MoveCurrent(TGridDir::gdLeft, true);
    EXPECT_EQ(sel().Rect(), (TRect{3, 2, 7, 4}));
}

TEST_F(Selection, WholeColumnsRowsAndAll) {
    sel().SelectColumns(4, 2);
    EXPECT_EQ(sel().Rect(), (TRect{2, 1, 5, 12}));
    EXPECT_TRUE(sel().IsWholeColumns());
    EXPECT_FALSE(sel().IsWholeRows());
    sel().SelectRows(3, 5);
    EXPECT_EQ(sel().Rect(), (TRect{1, 3, 10, 6}));
    EXPECT_TRUE(sel().IsWholeRows());
    sel().SelectAll();
    EXPECT_EQ(sel().Rect(), (TRect{1, 1, 10, 12}));
}

TEST_F(Selection, ValidateFitsTheSelectionIntoAShrunkGrid) {
    grid.SelectRange(3, 5, 8, 10);
    grid.SetRowCount(8);
    EXPECT_EQ(sel().Rect(), (TRect{3, 5, 9, 8}));
    grid.SetColCount(5);
    EXPECT_EQ(sel().Rect(), (TRect{3, 5, 5, 8}));
    grid.SelectRange(4, 7, 4, 7);
    grid.SetRowCount(4);
    EXPECT_EQ(sel().Current(), (TPoint{4, 3}));
    EXPECT_EQ(sel().Rect(), (TRect{4, 3, 5, 4}));
}

TEST_F(Selection, HitTestFindsFrameAndFillHandle) {
    grid.SelectRange(2, 2, 3, 3);
    const TRect f = sel().PixelRect();
    EXPECT_EQ(f, (TRect{40 + 73, 38, 40 + 3 * 73, 38 + 2 * 19}));
    EXPECT_EQ(sel().HitTest(f.Right, f.Bottom), 2);
    EXPECT_EQ(sel().HitTest(f.Right - 3, f.Bottom + 3), 2);
    EXPECT_EQ(sel().HitTest(f.Left, f.Top + 10), 1);
    EXPECT_EQ(sel().HitTest(f.Left - 2, f.Top + 10), 1);
    EXPECT_EQ(sel().HitTest(f.Left + 4, f.Top + 10), 1);
    EXPECT_EQ(sel().HitTest(f.Left + 10, f.Top + 10), 0);
    EXPECT_EQ(sel().HitTest(f.Left - 3, f.Top + 10), 0);
}

TEST_F(Selection, ClearingKeepsFormatsAndAreas) {
    grid.GetCell(2, 2).SetText(u"a");
    grid.GetCell(2, 2).OwnStyle().SetBgColor(clRed);
    grid.GetCell(3, 3).SetText(u"b");
    grid.MergeCells(3, 3, 4, 4);
    grid.SelectRange(2, 2, 4, 4);
    bool refuse = true;
    int after = 0;
    grid.OnBeforeClear = [&](TKtCustomGrid&, const TRect& r, bool& allow) {
        EXPECT_EQ(r, (TRect{2, 2, 5, 5}));
        allow = !refuse;
    };
    grid.OnAfterClear = [&](TKtCustomGrid&) { ++after; };
    sel().ClearSelection(false);
    EXPECT_EQ(grid.GetCell(2, 2).GetText(), u"a");
    refuse = false;
    sel().ClearSelection(true);
    EXPECT_TRUE(grid.GetCell(2, 2).IsEmpty());
    EXPECT_TRUE(grid.GetCell(3, 3).IsEmpty());
    EXPECT_EQ(grid.GetCell(2, 2).Style().BgColor(), clRed);
    EXPECT_EQ(grid.MergedAreas().Count(), 1);
    EXPECT_EQ(after, 1);
}

TEST_F(RangeFormat, FormattingCreatesCellsAndSharesRecords) {
    grid.GetCell(2, 2).SetText(u"x");
    grid.SelectRange(2, 2, 3, 3);
    sel().SetFontSize(16);
    for (int r = 2; r <= 3; ++r)
        for (int c = 2; c <= 3; ++c) {
            ASSERT_NE(grid.FindCell(c, r), nullptr);
            EXPECT_EQ(grid.FindCell(c, r)->Font().Size(), 16);
        }
    EXPECT_EQ(grid.FindCell(4, 2), nullptr);
    sel().SetColor(clYellow);
    sel().SetHorzAlign(TKtGridHorzAlign::haCenter);
    sel().SetWrapText(true);
    sel().SetFontStyle(TFontStyles(1 | 4));
    sel().SetFontColor(clRed);
    sel().SetFontName(u"Arial");
    const TKtCell& a = *grid.FindCell(2, 2);
    const TKtCell& b = *grid.FindCell(3, 3);
    EXPECT_TRUE(a.Style().SameResource(b.Style()));
    EXPECT_EQ(a.Style().BgColor(), clYellow);
    EXPECT_TRUE(a.Style().WrapText());
    EXPECT_TRUE(b.Font().Bold());
    EXPECT_TRUE(b.Font().Underline());
    EXPECT_FALSE(b.Font().Italic());
    EXPECT_EQ(b.Font().Color(), clRed);
    // The toolbar reads the current cell, not the first cell of the rectangle.
    grid.GetCell(5, 5).OwnFont().SetName(u"Courier New");
    grid.SelectRange(5, 5, 2, 2);
    EXPECT_EQ(sel().GetFontName(), u"Courier New");
    EXPECT_FALSE(sel().GetFontStyle().Has(TFontStyle::fsBold));
    int visited = 0;
    sel().ForEachCell([&](TKtCell&) { ++visited; });
    EXPECT_EQ(visited, 16);
    sel().Merge();
    EXPECT_EQ(grid.MergedAreas().Count(), 1);
    sel().Unmerge();
    EXPECT_EQ(grid.MergedAreas().Count(), 0);
}

TEST_F(RangeFormat, OuterBoxWithAndWithoutInnerLines) {
    grid.SelectRange(3, 3, 4, 4);
    sel().SetBorders(15, kLineThin, clBlack, false, false);
    EXPECT_EQ(Line(grid, 3, 3, kEdgeLeft), kLineThin);
    EXPECT_EQ(Line(grid, 3, 3, kEdgeTop), kLineThin);
    EXPECT_EQ(Line(grid, 3, 3, kEdgeRight), 0);  // no inner line
    EXPECT_EQ(Line(grid, 3, 3, kEdgeBottom), 0);
    EXPECT_EQ(Line(grid, 4, 4, kEdgeRight), kLineThin);
    EXPECT_EQ(Line(grid, 4, 4, kEdgeBottom), kLineThin);
    EXPECT_EQ(Line(grid, 4, 3, kEdgeLeft), 0);
    // The neighbours' facing edges.
    EXPECT_EQ(Line(grid, 2, 3, kEdgeRight), kLineThin);
    EXPECT_EQ(Line(grid, 3, 2, kEdgeBottom), kLineThin);
    EXPECT_EQ(Line(grid, 5, 4, kEdgeLeft), kLineThin);
    EXPECT_EQ(Line(grid, 4, 5, kEdgeTop), kLineThin);
    EXPECT_EQ(Line(grid, 3, 3, kEdgeDiagonalDown), 0);  // diagonals untouched
    sel().SetBorders(0, kLineMedium, clBlack, true, true);
    EXPECT_EQ(Line(grid, 3, 3, kEdgeRight), kLineMedium);
    EXPECT_EQ(Line(grid, 4, 3, kEdgeLeft), kLineMedium);
    EXPECT_EQ(Line(grid, 3, 3, kEdgeBottom), kLineMedium);
    EXPECT_EQ(Line(grid, 3, 4, kEdgeTop), kLineMedium);
    EXPECT_EQ(Line(grid, 3, 3, kEdgeLeft), kLineThin);  // outer edges kept
    sel().SetBorders(16 | 32, kLineDashed, clBlue, false, false);
    EXPECT_EQ(Line(grid, 4, 4, kEdgeDiagonalDown), kLineDashed);
    EXPECT_EQ(Line(grid, 3, 3, kEdgeDiagonalUp), kLineDashed);
    EXPECT_EQ(grid.FindCell(3, 3)->Style().BorderColor(kEdgeDiagonalUp), clBlue);
}

TEST_F(RangeFormat, RemovingEveryLineAlsoClearsTheFacingNeighbours) {
    grid.SelectRange(2, 2, 8, 10);  // the neighbours below and right are the last row/column
    sel().SetBorders(15, kLineThick, clBlack, true, true);
    ASSERT_EQ(Line(grid, 9, 5, kEdgeLeft), kLineThick);
    ASSERT_EQ(Line(grid, 5, 11, kEdgeTop), kLineThick);
    sel().SetBorders(1023, kLineNone, clNone, true, true);
    for (int r = 1; r <= 11; ++r)
        for (int c = 1; c <= 9; ++c)
            for (int e = 0; e < kBorderEdgeCount; ++e)
                EXPECT_EQ(Line(grid, c, r, e), 0) << c << "," << r << " edge " << e;
    sel().SetBorders(0, kLineThin, clBlack, false, false);  // nothing asked: nothing done
}

TEST_F(SelectionClipboard, EntryPointsAskFirstAndRemember) {
    FakeClipboard clipboard;
    grid.SetClipboard(&clipboard);
    grid.SelectRange(2, 2, 3, 3);
    sel().Copy();
    EXPECT_EQ(clipboard.copies, 1);
    EXPECT_EQ(sel().CopiedRect(), (TRect{2, 2, 4, 4}));
    grid.OnCut = [](TKtCustomGrid&, const TRect&, bool& allow) { allow = false; };
    sel().Cut();
    EXPECT_EQ(clipboard.cuts, 0);
    grid.OnCut = nullptr;
    sel().Cut();
    EXPECT_TRUE(sel().CopiedForCut());
    sel().Paste(0);
    EXPECT_EQ(clipboard.pastes, 1);
    grid.SetAllowEdit(false);
    sel().Paste(0);
    EXPECT_EQ(clipboard.pastes, 1);
    sel().ClearCopiedRect();
    EXPECT_TRUE(sel().CopiedRect().IsEmpty());
    grid.SetClipboard(nullptr);
    sel().Copy();  // no service: nothing happens
}

TEST_F(SelectionClipboard, PastingATextMatrix) {
    TKwSheet matrix;
    matrix.SetText(0, 0, u"1");
    matrix.SetText(1, 0, u"skip");
    matrix.SetText(2, 1, u"x");
    grid.OnCompleteEditW = [](TKtCustomGrid&, TPoint, bool& accept, const WideString& text) {
        accept = text != u"skip";
    };
    int after = 0;
    grid.OnAfterPaste = [&](TKtCustomGrid&, const TRect&) { ++after; };
    grid.SelectRange(2, 2, 2, 2);
    sel().PasteTextMatrix(matrix, sel().Rect());
    EXPECT_EQ(grid.GetCell(2, 2).GetAsInteger(), 1);
    EXPECT_TRUE(grid.GetCell(3, 2).IsEmpty());
    EXPECT_EQ(grid.GetCell(4, 3).GetText(), u"x");
    EXPECT_EQ(sel().Rect(), (TRect{2, 2, 5, 4}));
    EXPECT_EQ(after, 1);
    // Beyond the grid nothing is created.
    sel().PasteTextMatrix(matrix, {9, 11, 10, 12});
    EXPECT_EQ(grid.FindCell(10, 11), nullptr);
    int custom = 0;
    grid.OnCustomPaste = [&](TKtCustomGrid&, const TRect& target, const TKwSheet&) {
        ++custom;
        EXPECT_EQ(target, (TRect{5, 5, 8, 7}));
    };
    sel().PasteTextMatrix(matrix, {5, 5, 6, 6});
    EXPECT_EQ(custom, 1);
    EXPECT_TRUE(grid.GetCell(5, 5).IsEmpty());
}

TEST_F(SelectionEditing, EditorModeFollowsTheCurrentCell) {
    FakeEditor editor;
    grid.SetCellEditor(&editor);
    grid.SelectRange(2, 2, 2, 2);
    grid.SetEditorMode(true);
    EXPECT_TRUE(grid.EditorMode());
    EXPECT_EQ(editor.shown, &grid.GetCell(2, 2));
    editor.refuse = true;
    grid.SetEditorMode(false);
    EXPECT_TRUE(grid.EditorMode());  // a refused commit keeps editing
    editor.refuse = false;
    grid.SelectRange(3, 3, 3, 3);  // leaving the cell commits
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_EQ(editor.commits, 1);
    // Locked cells of a protected grid never open an editor.
    grid.GetCell(3, 3).OwnStyle().SetOptions(TKtCellOptions{TKtCellOption::gcoLocked});
    grid.SetEditorMode(true);
    EXPECT_FALSE(grid.EditorMode());
    grid.SetOptions(grid.Options().With(TGridOption::goAlwaysShowEditor));
    grid.SelectRange(4, 4, 4, 4);
    EXPECT_TRUE(grid.EditorMode());
    EXPECT_EQ(grid.EditingCell(), grid.FindCell(4, 4));
    grid.SetRowCount(3);  // structural change: the edit is committed first
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_EQ(grid.EditingCell(), nullptr);
    // An edit that refuses to commit loses its cell when the row goes.
    grid.SelectRange(2, 2, 2, 2);
    ASSERT_TRUE(grid.EditorMode());
    editor.refuse = true;
    grid.DeleteRows(2, 1);
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_EQ(editor.shown, nullptr);
}
