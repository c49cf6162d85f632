// The grid's mouse layer driven as the view drives it: presses, moves and
// releases in client pixels, timer ticks and the wheel.
#include "grid/grid_mouse.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "grid/editor.h"
#include "grid/editor_fake_control.h"
#include "grid/grid_row.h"
#include "grid/text_layout.h"
#include "grid_test_support.h"

using namespace plu;
using namespace plu::testing;

namespace {

// A cell kind that claims every left press, as a cell with a button does.
class ClaimingCell : public TKwProEditCell {
  public:
    using TKwProEditCell::TKwProEditCell;
    static const TKtCellClass& Class() {
        static const TKtCellClassOf<ClaimingCell> cls("ClaimingCell");
        return cls;
    }
    const TKtCellClass& CellClass() const override { return Class(); }
    bool MouseDown(TMouseButton, TShiftState, int, int) override { return ++downs, true; }
    bool MouseMove(TShiftState, int, int) override { return ++moves, true; }
    bool MouseUp(TMouseButton, TShiftState, int, int) override { return ++ups, true; }
    static inline int downs = 0, moves = 0, ups = 0;
};

// Columns: 0 [0, 40), 1 [40, 113), 2 [113, 186) ...; rows: r [19 r, 19 r + 19).
// The client area is 300 x 200.
class Mouse : public GridTest {
  protected:
    Mouse() : mouse(grid) {
        grid.SetColCount(20);
        grid.SetRowCount(50);
    }
    TPoint Mid(int col, int row) const {
        const TRect r = grid.CellRect(col, row);
        return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }
    void Down(TPoint p, TShiftState shift = {}) {
        mouse.MouseDown(TMouseButton::mbLeft, shift, p.X, p.Y);
    }
    void Move(TPoint p) { mouse.MouseMove({}, p.X, p.Y); }
    void Up(TPoint p, TShiftState shift = {}) {
        mouse.MouseUp(TMouseButton::mbLeft, shift, p.X, p.Y);
    }
    void Click(TPoint p, TShiftState shift = {}) {
        Down(p, shift);
        Up(p, shift);
    }
    void Drag(TPoint from, TPoint to, TShiftState shift = {}) {
        Down(from, shift);
        Move(to);
        Up(to, shift);
    }
    const TRect& Selected() const { return grid.Selection().Rect(); }
    static TShiftState With(TShift s) { return TShiftState{}.With(s); }

    TKtGridMouse mouse;
};

}  // namespace

// ---- Selecting ---------------------------------------------------------------------------

TEST_F(Mouse, DraggingSelectsFromThePressedCell) {
    Down(Mid(3, 4));
    Move(Mid(2, 6));
    EXPECT_EQ(Selected(), (TRect{2, 4, 4, 7}));
    Move(Mid(1, 2));
    Up(Mid(1, 2));
    EXPECT_EQ(Selected(), (TRect{1, 2, 4, 5}));
    EXPECT_EQ(grid.Selection().Current(), (TPoint{3, 4}));
    EXPECT_FALSE(mouse.Dragging());
}

TEST_F(Mouse, ShiftClickExtendsFromTheCurrentCell) {
    Click(Mid(2, 2));
    Click(Mid(3, 5), With(TShift::ssShift));
    EXPECT_EQ(Selected(), (TRect{2, 2, 4, 6}));
    EXPECT_EQ(grid.Selection().Current(), (TPoint{2, 2}));
    // A plain click collapses the selection again, also on the current cell.
    Click(Mid(2, 2));
    EXPECT_EQ(Selected(), TRect::Cell(2, 2));
}

TEST_F(Mouse, AClickInAMergedAreaSelectsTheWholeArea) {
    grid.MergeCells(2, 2, 3, 3);
    Click(Mid(3, 3));
    EXPECT_EQ(grid.Selection().Current(), (TPoint{2, 2}));
    EXPECT_EQ(Selected(), (TRect{2, 2, 4, 4}));
}

TEST_F(Mouse, HeaderClicksSelectColumnsRowsOrEverything) {
    Click({150, 5});
    EXPECT_EQ(Selected(), (TRect{2, 1, 3, 50}));
    Click({10, 60});
    EXPECT_EQ(Selected(), (TRect{1, 3, 20, 4}));
    Click({10, 5});
    EXPECT_EQ(Selected(), (TRect{1, 1, 20, 50}));
    // Dragging over the headers takes every column passed.
    Drag({150, 5}, {220, 5});
    EXPECT_EQ(Selected(), (TRect{2, 1, 4, 50}));
}

TEST_F(Mouse, TheRightButtonKeepsASelectionItFallsIn) {
    grid.SelectRange(1, 1, 3, 3);
    mouse.MouseDown(TMouseButton::mbRight, {}, Mid(2, 2).X, Mid(2, 2).Y);
    EXPECT_EQ(Selected(), (TRect{1, 1, 4, 4}));
    mouse.MouseDown(TMouseButton::mbRight, {}, Mid(4, 5).X, Mid(4, 5).Y);
    EXPECT_EQ(Selected(), TRect::Cell(4, 5));
}

// ---- Sizing ---------------------------------------------------------------------------------

TEST_F(Mouse, DraggingAColumnBorderSizesOnceOnRelease) {
    std::vector<int> widths;
    grid.OnColWidthChange = [&](TKtCustomGrid&, int col, int w) {
        EXPECT_EQ(col, 1);
        widths.push_back(w);
    };
    Down({112, 5});  // one pixel left of the border
    EXPECT_EQ(mouse.Cursor(), TKtCursor::crColSize);
    Move({150, 5});
    Move({160, 5});
    EXPECT_EQ(grid.ColWidths(1), 73);  // nothing changes while dragging
    EXPECT_EQ(mouse.HintText(), TKtCustomGrid::ResizeHint(true, 121));
    ASSERT_EQ(mouse.Feedback().size(), 1u);
    EXPECT_EQ(mouse.Feedback()[0], (TRect{160, 0, 161, 200}));
    Up({160, 5});
    EXPECT_EQ(grid.ColWidths(1), 121);
    EXPECT_EQ(widths, (std::vector<int>{121}));
    EXPECT_TRUE(mouse.Feedback().empty());
}

TEST_F(Mouse, DraggingARowBorderMarksTheHeightAsSetByHand) {
    Drag({10, 38}, {10, 60});
    EXPECT_EQ(grid.RowHeights(1), 41);
    EXPECT_TRUE(grid.GetRow(1).HeightSetByHand());
}

TEST_F(Mouse, DraggingABorderToNothingHidesAndKeepsTheSize) {
    Drag({113, 5}, {20, 5});
    EXPECT_FALSE(grid.IsColVisible(1));
    grid.SetColVisible(1, true);
    EXPECT_EQ(grid.ColWidths(1), 73);
}

TEST_F(Mouse, DoubleClickOnABorderFitsTheColumnOrRow) {
    TKtCell& cell = grid.GetCell(1, 2);
    cell.SetText(u"a rather long text");
    const int fit = measurer.TextWidth(cell.Font(), u"a rather long text") + 2 * TextMargin();
    mouse.DoubleClick(TMouseButton::mbLeft, {}, 113, 5);
    EXPECT_EQ(grid.ColWidths(1), fit);

    Drag({10, 38}, {10, 80});
    ASSERT_TRUE(grid.GetRow(1).HeightSetByHand());
    const int border = grid.RowTop(1) + grid.RowHeights(1);
    mouse.DoubleClick(TMouseButton::mbLeft, {}, 10, border);
    EXPECT_FALSE(grid.GetRow(1).HeightSetByHand());
    EXPECT_EQ(grid.RowHeights(1), grid.ComputeRowHeight(1));
}

// ---- Moving ---------------------------------------------------------------------------------

TEST_F(Mouse, HeadersMoveRowsOnlyWhereAllowed) {
    grid.GetCell(1, 1).SetText(u"first");
    Drag({10, Mid(1, 1).Y}, {10, Mid(1, 3).Y});
    EXPECT_EQ(grid.GetCell(1, 1).GetText(), u"first");  // selected, not moved
    grid.SetOptions(grid.Options().With(TGridOption::goRowMoving));
    Drag({10, Mid(1, 1).Y}, {10, Mid(1, 3).Y});
    EXPECT_EQ(grid.GetCell(1, 3).GetText(), u"first");
    EXPECT_EQ(Selected(), (TRect{1, 3, 20, 4}));
}

TEST_F(Mouse, DraggingTheFrameMovesTheCells) {
    grid.GetCell(1, 1).SetText(u"a");
    grid.GetCell(1, 1).OwnStyle().SetFormatString(u"@");
    Down({42, 28});  // on the frame of the selected (1, 1)
    EXPECT_EQ(mouse.Cursor(), TKtCursor::crMove);
    Move(Mid(3, 3));
    EXPECT_EQ(mouse.Feedback().size(), 4u);  // the outline at (3, 3)
    Up(Mid(3, 3));
    EXPECT_EQ(grid.GetCell(3, 3).GetText(), u"a");
    EXPECT_EQ(grid.GetCell(3, 3).OwnStyle().FormatIndex(), 49);
    EXPECT_TRUE(grid.GetCell(1, 1).IsEmpty());
    EXPECT_EQ(Selected(), TRect::Cell(3, 3));
    // Ctrl copies.
    Down({Mid(3, 3).X - 34, Mid(3, 3).Y});
    Move(Mid(1, 5));
    Up(Mid(1, 5), With(TShift::ssCtrl));
    EXPECT_EQ(grid.GetCell(1, 5).GetText(), u"a");
    EXPECT_EQ(grid.GetCell(3, 3).GetText(), u"a");
}

// ---- Filling ----------------------------------------------------------------------------------

TEST_F(Mouse, TheFillHandleFillsAndRaisesOnDragFill) {
    grid.GetCell(1, 1).SetText(u"7");
    TRect source{}, target{};
    int fills = 0;
    grid.OnDragFill = [&](TKtCustomGrid&, const TRect& s, const TRect& t) {
        ++fills;
        source = s;
        target = t;
    };
    Down({113, 38});
    EXPECT_EQ(mouse.Cursor(), TKtCursor::crCross);
    Move(Mid(2, 4));  // further down than right: the fill goes down
    Up(Mid(2, 4));
    EXPECT_EQ(fills, 1);
    EXPECT_EQ(source, (TRect{1, 1, 1, 1}));  // inclusive
    EXPECT_EQ(target, (TRect{1, 1, 1, 4}));
    for (int row = 2; row <= 4; ++row)
        EXPECT_EQ(grid.GetCell(1, row).GetText(), u"7") << row;
    EXPECT_EQ(grid.FindCell(2, 4), nullptr);
    EXPECT_EQ(Selected(), (TRect{1, 1, 2, 5}));
    // Released inside the selection: nothing is filled.
    const TRect handle = grid.Selection().PixelRect();
    Down({handle.Right, handle.Bottom});
    Up(Mid(1, 2));
    EXPECT_EQ(fills, 1);
}

// ---- Auto-scrolling and the wheel -------------------------------------------------------------

TEST_F(Mouse, TicksBeyondTheEdgeScrollAndExtendTheSelection) {
    std::vector<int> scrolls;
    grid.OnScroll = [&](TKtCustomGrid&, int code) { scrolls.push_back(code); };
    Down(Mid(1, 2));
    EXPECT_FALSE(mouse.NeedsAutoScroll());
    Move({50, 250});  // below the client area
    EXPECT_TRUE(mouse.NeedsAutoScroll());
    int top = grid.TopRow();
    int bottom = Selected().Bottom;
    EXPECT_TRUE(mouse.Tick());
    EXPECT_EQ(grid.TopRow(), top + 1);
    EXPECT_GT(Selected().Bottom, bottom);
    bottom = Selected().Bottom;
    EXPECT_TRUE(mouse.Tick());
    EXPECT_EQ(grid.TopRow(), top + 2);
    EXPECT_GT(Selected().Bottom, bottom);
    EXPECT_EQ(scrolls, (std::vector<int>{kScrollLineDown, kScrollLineDown}));
    // Back above the scrolled rows: the grid scrolls back.
    Move({50, 5});
    top = grid.TopRow();
    EXPECT_TRUE(mouse.Tick());
    EXPECT_EQ(grid.TopRow(), top - 1);
    Up({50, 5});
    EXPECT_FALSE(mouse.NeedsAutoScroll());
    EXPECT_FALSE(mouse.Tick());
}

TEST_F(Mouse, TheWheelScrollsThreeRowsPerNotch) {
    EXPECT_TRUE(mouse.Wheel(-120, {}));
    EXPECT_EQ(grid.TopRow(), 4);
    // Half notches add up.
    mouse.Wheel(-60, {});
    EXPECT_EQ(grid.TopRow(), 4);
    mouse.Wheel(-60, {});
    EXPECT_EQ(grid.TopRow(), 7);
    mouse.Wheel(240, {});
    EXPECT_EQ(grid.TopRow(), 1);
    grid.SetOptionsEx(grid.OptionsEx().With(TGridOptionEx::goIgnoreMouseWheel));
    EXPECT_FALSE(mouse.Wheel(-120, {}));
    EXPECT_EQ(grid.TopRow(), 1);
}

// ---- Enter, leave and the mouse events
// ------------------------------------------------------------

TEST_F(Mouse, MovesReportTheCellsEnteredAndLeft) {
    std::vector<std::string> seen;
    grid.OnMouseEnter = [&](TKtCustomGrid&) { seen.push_back("enter"); };
    grid.OnMouseLeave = [&](TKtCustomGrid&) { seen.push_back("leave"); };
    grid.OnCellMouseEnter = [&](TKtCustomGrid&, int c, int r) {
        seen.push_back("+" + std::to_string(c) + "," + std::to_string(r));
    };
    grid.OnCellMouseLeave = [&](TKtCustomGrid&, int c, int r) {
        seen.push_back("-" + std::to_string(c) + "," + std::to_string(r));
    };
    grid.MergeCells(2, 1, 3, 1);
    Move(Mid(1, 1));
    Move({Mid(1, 1).X + 5, Mid(1, 1).Y});
    Move(Mid(2, 1));
    Move(Mid(3, 1));  // the same merged area
    mouse.Leave();
    EXPECT_EQ(seen, (std::vector<std::string>{"enter", "+1,1", "-1,1", "+2,1", "-2,1", "leave"}));
}

TEST_F(Mouse, TheControlEventsFollowEachMouseEvent) {
    std::vector<std::string> seen;
    grid.OnMouseDown = [&](TKtCustomGrid&, TMouseButton, TShiftState s, int x, int) {
        seen.push_back((s.Has(TShift::ssDouble) ? "double " : "down ") + std::to_string(x));
    };
    grid.OnMouseMove = [&](TKtCustomGrid&, TShiftState, int x, int) {
        seen.push_back("move " + std::to_string(x));
    };
    grid.OnMouseUp = [&](TKtCustomGrid&, TMouseButton, TShiftState, int x, int) {
        seen.push_back("up " + std::to_string(x));
    };
    Down({50, 30});
    Move({60, 30});
    Up({60, 30});
    mouse.DoubleClick(TMouseButton::mbLeft, {}, 60, 30);
    EXPECT_EQ(seen, (std::vector<std::string>{"down 50", "move 60", "up 60", "double 60"}));
}

TEST_F(Mouse, ACellKindThatClaimsThePressGetsTheWholeDrag) {
    ClaimingCell::downs = ClaimingCell::moves = ClaimingCell::ups = 0;
    grid.ClassManager().SetCellClass(2, 2, &ClaimingCell::Class());
    grid.GetCell(2, 2);
    Drag(Mid(2, 2), Mid(4, 4));
    EXPECT_EQ(ClaimingCell::downs, 1);
    EXPECT_EQ(ClaimingCell::moves, 1);
    EXPECT_EQ(ClaimingCell::ups, 1);
    EXPECT_EQ(Selected(), TRect::Cell(1, 1));  // the grid did not select
}

// ---- The editor
// -----------------------------------------------------------------------------------

TEST_F(Mouse, AClickOutsideTheEditedCellCommitsFirst) {
    FakeEditControl control;  // outlives the editor, which lets go of it
    TKtEditor editor(grid);
    editor.SetDefaultControl(&control);
    grid.OnCompleteEditW = [](TKtCustomGrid&, TPoint, bool& accept, const WideString& t) {
        accept = t != u"bad";
    };
    grid.SetEditorMode(true);
    control.Type(u"bad");
    Click(Mid(3, 3));
    // Refused: the editor stays open and the current cell stays with it.
    EXPECT_TRUE(grid.EditorMode());
    EXPECT_EQ(grid.Selection().Current(), (TPoint{1, 1}));
    control.Type(u"\b\b\bgood");
    Click(Mid(3, 3));
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_EQ(grid.GetCell(1, 1).GetText(), u"good");
    EXPECT_EQ(grid.Selection().Current(), (TPoint{3, 3}));
}

TEST_F(Mouse, ADoubleClickInATextCellOpensTheEditor) {
    FakeEditControl control;  // outlives the editor, which lets go of it
    TKtEditor editor(grid);
    editor.SetDefaultControl(&control);
    grid.GetCell(2, 3).SetText(u"abc");
    Click(Mid(2, 3));
    mouse.DoubleClick(TMouseButton::mbLeft, {}, Mid(2, 3).X, Mid(2, 3).Y);
    mouse.MouseUp(TMouseButton::mbLeft, {}, Mid(2, 3).X, Mid(2, 3).Y);
    ASSERT_TRUE(grid.EditorMode());
    EXPECT_EQ(editor.Cell(), &grid.GetCell(2, 3));
    EXPECT_EQ(control.text, u"abc");
}

TEST_F(Mouse, AFormulaWaitingForAReferencePicksItWithTheMouse) {
    FakeEditControl control;  // outlives the editor, which lets go of it
    TKtEditor editor(grid);
    editor.SetDefaultControl(&control);
    grid.SetEditorMode(true);
    control.Type(u"=1+");
    Drag(Mid(2, 3), Mid(3, 4));
    EXPECT_TRUE(grid.EditorMode());
    EXPECT_EQ(editor.Cell(), &grid.GetCell(1, 1));
    EXPECT_EQ(control.text, u"=1+" + grid.RangeReference({2, 3, 4, 5}));
}

// ---- Hints
// ------------------------------------------------------------------------------------------

TEST_F(Mouse, HintsShowTheCellsHintAndTheSizeWhileSizing) {
    int shown = 0;
    grid.OnShowHint = [&](TKtCustomGrid&) { ++shown; };
    grid.GetCell(2, 2).SetHint(u"price per kg");
    Move(Mid(2, 2));
    EXPECT_EQ(mouse.HintText(), u"price per kg");
    Move({Mid(2, 2).X + 3, Mid(2, 2).Y});
    EXPECT_EQ(shown, 1);  // the same hint is not shown again
    Move(Mid(3, 3));
    EXPECT_EQ(mouse.HintText(), u"");
    Down({113, 5});
    Move({130, 5});
    EXPECT_EQ(mouse.HintText(), TKtCustomGrid::ResizeHint(true, 90));
    EXPECT_EQ(shown, 3);
    Up({130, 5});
    EXPECT_EQ(mouse.HintText(), u"");
}

TEST_F(Mouse, AMovedFormulaKeepsItsReferencesACopiedOneShiftsThem) {
    grid.GetCell(5, 5).SetText(u"4");
    grid.GetCell(1, 1).SetFormula(u"SUM 5 5 5 5");
    ASSERT_TRUE(MoveCells(grid, TRect::Cell(1, 1), {2, 2}, false));
    EXPECT_EQ(grid.GetCell(2, 2).GetFormula(), u"SUM 5 5 5 5");
    EXPECT_EQ(grid.GetCell(2, 2).GetText(), u"4");
    ASSERT_TRUE(MoveCells(grid, TRect::Cell(2, 2), {3, 2}, true));
    EXPECT_EQ(grid.GetCell(3, 2).GetFormula(), u"SUM 6 5 6 5");
}

TEST_F(Mouse, ADragOverTheRowHeadersScrollsOnlyTheRows) {
    grid.SetLeftCol(5);
    Click(Mid(6, 2));  // selected rows keep the current column, in view
    Down({10, Mid(1, 2).Y});
    Move({10, 250});
    ASSERT_TRUE(mouse.NeedsAutoScroll());
    mouse.Tick();
    EXPECT_EQ(grid.LeftCol(), 5);  // the header column lies left of the scrolled part
    EXPECT_GT(grid.TopRow(), 1);
    Move({10, Mid(1, 5).Y});
    EXPECT_FALSE(mouse.NeedsAutoScroll());
}

TEST_F(Mouse, TheCursorShowsWhatAPressWouldGrab) {
    Move({70, 28});
    EXPECT_EQ(mouse.Cursor(), TKtCursor::crArrow);
    Move({113, 5});
    EXPECT_EQ(mouse.Cursor(), TKtCursor::crColSize);
    Move({10, 38});
    EXPECT_EQ(mouse.Cursor(), TKtCursor::crRowSize);
    Move({42, 28});
    EXPECT_EQ(mouse.Cursor(), TKtCursor::crMove);
    Move({113, 38});
    EXPECT_EQ(mouse.Cursor(), TKtCursor::crCross);
}

TEST_F(Mouse, FeedbackThatMovesIsRepaintedWhereItWasAndWhereItIs) {
    Down({113, 5});
    Move({150, 5});
    view.Reset();
    Move({170, 5});
    EXPECT_EQ(view.rects, (std::vector<TRect>{{149, 0, 150, 200}, {169, 0, 170, 200}}));
    view.Reset();
    Up({170, 5});
    // The model repaints the grid for the new width; the line goes as well.
    EXPECT_NE(std::find(view.rects.begin(), view.rects.end(), TRect{169, 0, 170, 200}),
              view.rects.end());
}
