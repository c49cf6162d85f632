// The painter's geometry on a recording canvas. The grid is the default
// 5 x 5 one: a 40-pixel header column, body columns of 73 pixels
// (x 40, 113, 186, 259, 332), rows of 19 pixels (y 0, 19, 38, 57, 76, 95),
// in a 600 x 400 client area. A cell's grid lines are its last pixel
// column and row.
#include "grid/grid_painter.h"

#include <gtest/gtest.h>

#include "grid/cell_drawing.h"
#include "grid/grid_column.h"
#include "grid/grid_row.h"
#include "grid_test_support.h"
#include "recording_canvas.h"

namespace plu::testing {
namespace {

using Kind = RecordingCanvas::Kind;

class PainterTest : public GridTest {
  protected:
    PainterTest() : canvas(measurer) { grid.SetClientSize(600, 400); }
    void PaintAll() {
        canvas.ops.clear();
        PaintGrid(grid, canvas, {0, 0, 600, 400});
    }
    // Moves the selection out of the way of the cells a test looks at.
    void SelectFarCell() { grid.SelectRange(4, 4, 4, 4); }
    RecordingCanvas canvas;
};

TEST_F(PainterTest, GridLinesTakeTheControlColourWhenHidden) {
    SelectFarCell();
    PaintAll();
    EXPECT_EQ(canvas.ColorAt(112, 65), ColorToRGB(grid.GridLineColor()));
    grid.SetShowGridLine(false);
    PaintAll();
    EXPECT_EQ(canvas.ColorAt(112, 65), ColorToRGB(grid.Color()));
    EXPECT_EQ(canvas.ColorAt(60, 75), ColorToRGB(grid.Color()));
}

TEST_F(PainterTest, ZebraRowsKeepAnExplicitBackground) {
    SelectFarCell();
    grid.SetZebraRowColor(true);
    grid.SetOddRowColor(clYellow);
    grid.SetEvenRowColor(clAqua);
    grid.GetCell(1, 1).OwnStyle().SetBgColor(clRed);
    grid.GetCell(2, 1).OwnStyle().SetBgColor(clNone);  // the default: alternates
    PaintAll();
    EXPECT_EQ(canvas.ColorAt(60, 25), clRed);
    EXPECT_EQ(canvas.ColorAt(130, 25), clYellow);  // row 1: odd
    EXPECT_EQ(canvas.ColorAt(130, 45), clAqua);    // row 2: even
}

TEST_F(PainterTest, MergedAreaHasNoInnerGridLinesAndItsTextSpansIt) {
    SelectFarCell();
    grid.MergeCells(1, 1, 2, 2);
    TKtCell& anchor = grid.GetCell(1, 1);
    anchor.OwnStyle().SetHorzAlign(TKtGridHorzAlign::haCenter);
    anchor.SetText(u"abc");
    PaintAll();
    // Column 1's line (x 112) and row 1's line (y 37) inside the area.
    EXPECT_EQ(canvas.ColorAt(112, 45), ColorToRGB(clWindow));
    EXPECT_EQ(canvas.ColorAt(80, 37), ColorToRGB(clWindow));
    // The area's outer edge keeps its lines.
    EXPECT_EQ(canvas.ColorAt(185, 45), ColorToRGB(grid.GridLineColor()));
    const auto* text = canvas.FindText(u"abc");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->Rect.Left, 42);
    EXPECT_EQ(text->Rect.Right, 183);
    EXPECT_EQ(text->Points[0].X, 42 + (141 - 15) / 2);
}

TEST_F(PainterTest, GeneralAlignmentPutsNumbersRightAndStringsLeft) {
    grid.GetCell(1, 1).SetText(u"12");
    grid.GetCell(1, 2).SetText(u"abc");
    PaintAll();
    const auto* number = canvas.FindText(u"12");
    const auto* word = canvas.FindText(u"abc");
    ASSERT_TRUE(number && word);
    EXPECT_EQ(number->Points[0].X + measurer.TextWidth(number->Font, u"12"), 112 - 2);
    EXPECT_EQ(word->Points[0].X, 40 + 2);
}

TEST_F(PainterTest, CurrentCellInsideTheSelectionIsNotTinted) {
    grid.SelectRange(1, 1, 2, 2);
    PaintAll();
    const auto blends = canvas.Of(Kind::Blend);
    ASSERT_EQ(blends.size(), 1u);
    const auto& blend = *blends[0];
    EXPECT_EQ(blend.Color, TintColor(grid.SelectColor(), 86));
    EXPECT_EQ(blend.Mode, TKtSelectionBlend::AndPattern);
    EXPECT_FALSE(blend.Draws(60, 25));   // the current cell
    EXPECT_TRUE(blend.Draws(130, 25));   // the cell right of it
    EXPECT_TRUE(blend.Draws(60, 45));    // the cell below it
    EXPECT_FALSE(blend.Draws(200, 25));  // outside the selection
}

TEST_F(PainterTest, AlphaBlendSelectionUsesTheBlendValue) {
    grid.Selection().AlphaBlend = true;
    grid.Selection().AlphaBlendValue = 120;
    grid.SelectRange(1, 1, 2, 1);
    PaintAll();
    const auto blends = canvas.Of(Kind::Blend);
    ASSERT_EQ(blends.size(), 1u);
    EXPECT_EQ(blends[0]->Mode, TKtSelectionBlend::AlphaBlend);
    EXPECT_EQ(blends[0]->Alpha, 120);
}

TEST(SelectionFrameGeometry, BandsHandleAndGap) {
    const TKtSelectionFrame f = SelectionFrame({40, 19, 186, 57}, true);
    const std::vector<TRect> bands = {
        {39, 18, 187, 21}, {39, 55, 187, 58}, {39, 21, 42, 55}, {184, 21, 187, 55}};
    EXPECT_EQ(f.Bands, bands);
    EXPECT_EQ(f.Handle, (TRect{183, 54, 188, 59}));
    EXPECT_EQ(f.Gap, (TRect{182, 53, 189, 60}));
    EXPECT_TRUE(SelectionFrame({40, 19, 186, 57}, false).Handle.IsEmpty());
}

TEST_F(PainterTest, FrameLeavesAGapAroundTheFillHandle) {
    grid.SelectRange(1, 1, 2, 2);
    PaintAll();
    EXPECT_EQ(canvas.ColorAt(41, 30), clBlack);   // left band
    EXPECT_NE(canvas.ColorAt(39, 30), clBlack);   // ... kept off the header column
    EXPECT_EQ(canvas.ColorAt(187, 58), clBlack);  // handle beyond the band

    EXPECT_NE(canvas.ColorAt(182, 56), clBlack);  // gap inside the bottom band
    EXPECT_NE(canvas.ColorAt(185, 53), clBlack);  // gap inside the right band
}

TEST(BorderPens, LineStylesGiveWidthsAndDashes) {
    struct Case {
        uint8_t style;
        int ppi;
        bool drawn;
        int width;
        TKtPenStyle pen;
    };
    const Case cases[] = {
        {1, 96, true, 1, TKtPenStyle::psSolid},  {2, 96, true, 2, TKtPenStyle::psSolid},
        {3, 96, true, 1, TKtPenStyle::psDash},   {4, 96, true, 1, TKtPenStyle::psDot},
        {5, 96, true, 3, TKtPenStyle::psSolid},  {0, 96, false, 0, TKtPenStyle::psSolid},
        {6, 96, false, 0, TKtPenStyle::psSolid}, {0x81, 96, true, 1, TKtPenStyle::psSolid},
        {1, 600, true, 6, TKtPenStyle::psSolid}, {5, 600, true, 25, TKtPenStyle::psSolid},
    };
    for (const Case& c : cases) {
        TKtPen pen;
        EXPECT_EQ(BorderPen(c.style, clRed, c.ppi, pen), c.drawn) << int(c.style);
        if (!c.drawn) continue;
        EXPECT_EQ(pen.Width, c.width) << int(c.style) << " at " << c.ppi;
        EXPECT_EQ(pen.Style, c.pen) << int(c.style);
        EXPECT_EQ(pen.Color, clRed);
    }
}

class BorderGeometry : public ::testing::Test {
  protected:
    BorderGeometry() : canvas(measurer) {}
    void Draw(std::initializer_list<std::pair<int, uint8_t>> edges) {
        std::array<uint8_t, 10> lines{};
        std::array<TColor, 10> colors{};
        colors.fill(clBlue);
        for (auto [edge, line] : edges)
            lines[static_cast<size_t>(edge)] = line;
        DrawCellBorders(canvas, {10, 10, 30, 20}, lines, colors);
    }
    FixedTextMeasurer measurer;
    RecordingCanvas canvas;
};

TEST_F(BorderGeometry, BoxIsOneClosedPathOnTheGridLines) {
    Draw({{0, 1}, {1, 1}, {2, 1}, {3, 1}});
    const auto paths = canvas.Of(Kind::Polyline);
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_TRUE(paths[0]->Closed);
    EXPECT_EQ(paths[0]->Points, (std::vector<TPoint>{{9, 19}, {9, 9}, {29, 9}, {29, 19}}));
}

TEST_F(BorderGeometry, ConsecutiveEdgesJoinAndOthersStayApart) {
    Draw({{0, 1}, {1, 1}, {3, 2}});
    const auto paths = canvas.Of(Kind::Polyline);
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_EQ(paths[0]->Points, (std::vector<TPoint>{{9, 19}, {9, 9}, {29, 9}}));
    EXPECT_EQ(paths[1]->Points, (std::vector<TPoint>{{29, 19}, {9, 19}}));
    EXPECT_EQ(paths[1]->Pen.Width, 2);
}

TEST_F(BorderGeometry, DiagonalEdges) {
    Draw({{4, 3}, {5, 1}, {6, 1}, {7, 1}, {8, 1}, {9, 4}});
    const auto lines = canvas.Of(Kind::Line);
    ASSERT_EQ(lines.size(), 6u);
    const std::vector<std::vector<TPoint>> expected = {{{9, 9}, {29, 19}}, {{9, 19}, {29, 9}},
                                                       {{9, 9}, {29, 14}}, {{9, 9}, {19, 19}},
                                                       {{9, 19}, {19, 9}}, {{9, 19}, {29, 14}}};
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i]->Points, expected[i]) << i;
    EXPECT_EQ(lines[0]->Pen.Style, TKtPenStyle::psDash);
    EXPECT_EQ(lines[5]->Pen.Style, TKtPenStyle::psDot);
}

TEST_F(PainterTest, CellBordersAreDrawnWithTheEffectiveStyle) {
    SelectFarCell();
    grid.GetColumn(2).Style().SetBorders(15, 5, clRed);  // through the column style
    PaintAll();
    bool found = false;
    for (const auto* p : canvas.Of(Kind::Polyline))
        if (p->Closed && p->Points[0] == TPoint{112, 37}) {
            found = true;
            EXPECT_EQ(p->Pen.Width, 3);
            EXPECT_EQ(p->Pen.Color, clRed);
        }
    EXPECT_TRUE(found);
}

TEST_F(PainterTest, RedSectionColoursTheText) {
    TKtCell& cell = grid.GetCell(1, 1);
    cell.OwnStyle().SetFormatString(u"0;[Red]-0");
    cell.SetText(u"-5");
    grid.GetCell(1, 2).OwnStyle().SetFormatString(u"0;[Red]-0");
    grid.GetCell(1, 2).SetText(u"5");
    PaintAll();
    const auto* negative = canvas.FindText(u"-5");
    const auto* positive = canvas.FindText(u"5");
    ASSERT_TRUE(negative && positive);
    EXPECT_EQ(negative->Font.Color(), clRed);
    EXPECT_EQ(positive->Font.Color(), grid.Font().Color());
}

TEST_F(PainterTest, FrozenPanesPaintAreaByArea) {
    SelectFarCell();
    grid.SetViewLock(2, 2);
    PaintAll();
    const int frozenBoth = canvas.FirstFillAt(60, 25);
    const int frozenRow = canvas.FirstFillAt(130, 25);
    const int frozenCol = canvas.FirstFillAt(60, 45);
    const int scrolled = canvas.FirstFillAt(130, 45);
    ASSERT_GE(frozenBoth, 0);
    EXPECT_LT(frozenBoth, frozenRow);
    EXPECT_LT(frozenRow, frozenCol);
    EXPECT_LT(frozenCol, scrolled);
    // Headers come after the body.
    EXPECT_LT(scrolled, canvas.FirstFillAt(60, 5));
}

TEST_F(PainterTest, ScrolledCellsAreClippedOffTheFrozenPanes) {
    grid.SetViewLock(2, 1);
    grid.SetLeftCol(3);  // column 3 now starts at x 113
    grid.SelectRange(3, 1, 3, 1);
    PaintAll();
    const auto* fill = canvas.LastAt(130, 25);
    ASSERT_NE(fill, nullptr);
    EXPECT_EQ(fill->ClipState.Bound.Left, 113);
    // The frame of a selection starting at the first scrolled column stays
    // off the frozen column (its left band would cover x 112).
    EXPECT_NE(canvas.ColorAt(112, 25), clBlack);
    EXPECT_EQ(canvas.ColorAt(113, 25), clBlack);
}

TEST_F(PainterTest, SelectionScrolledOutOfViewLeavesTheFrozenPaneAlone) {
    grid.SetColCount(8);
    grid.SetViewLock(2, 1);
    grid.SelectRange(2, 1, 3, 2);
    grid.SetLeftCol(4);  // columns 2 and 3 are scrolled out
    PaintAll();
    EXPECT_TRUE(canvas.Of(Kind::Blend).empty());
    EXPECT_NE(canvas.ColorAt(112, 30), clBlack);
    EXPECT_NE(canvas.ColorAt(111, 30), clBlack);
}

TEST_F(PainterTest, SelectionAcrossThePanesIsTintedInBoth) {
    grid.SetColCount(8);
    grid.SetViewLock(2, 1);
    grid.SelectRange(1, 1, 4, 1);
    grid.SetLeftCol(3);  // column 2 scrolled out; 3 and 4 at x 113 and 186
    PaintAll();
    const auto blends = canvas.Of(Kind::Blend);
    ASSERT_EQ(blends.size(), 2u);
    EXPECT_EQ(blends[0]->Rect, (TRect{40, 19, 113, 37}));   // up to the pane's edge
    EXPECT_EQ(blends[1]->Rect, (TRect{113, 19, 258, 37}));  // its own last line stays clear
}

TEST_F(PainterTest, PaintingCreatesNoCells) {
    grid.GetColumn(2).Style().SetBgColor(clLime);
    grid.GetRow(3).Style().SetBgColor(clFuchsia);
    grid.GetCell(1, 1).SetText(u"x");
    const long long cells = grid.Cells().CellCount();
    const int rows = grid.Cells().Length();
    PaintAll();
    EXPECT_EQ(grid.Cells().CellCount(), cells);
    EXPECT_EQ(grid.Cells().Length(), rows);
    EXPECT_EQ(canvas.ColorAt(130, 45), clLime);     // column style, no cell
    EXPECT_EQ(canvas.ColorAt(200, 65), clFuchsia);  // row style, no cell
}

TEST(TintColour, MovesEachChannelTowardsWhite) {
    EXPECT_EQ(TintColor(RGB(0, 0, 0), 50), RGB(128, 128, 128));
    EXPECT_EQ(TintColor(RGB(100, 200, 254), 10), RGB(116, 206, 254));
    EXPECT_EQ(TintColor(clWhite, 0), RGB(0, 0, 0));  // white counts as black
    EXPECT_EQ(TintColor(RGB(10, 20, 30), 150), RGB(255, 255, 255));
}

TEST_F(PainterTest, HeaderCellsAreGradientsOfTheFixedBackground) {
    PaintAll();
    const auto* header = canvas.LastAt(60, 5);
    ASSERT_NE(header, nullptr);
    // The text of the header may be drawn over it; look for the fill.
    const int fill = canvas.FirstFillAt(60, 5);
    ASSERT_GE(fill, 0);
    const auto& op = canvas.ops[static_cast<size_t>(fill)];
    const TKtFixedCellStyle& fixed = grid.FixedCellStyle();
    EXPECT_EQ(op.What, Kind::Gradient);
    EXPECT_EQ(op.Color, TintColor(fixed.BgColor(), fixed.GradientStart()));
    EXPECT_EQ(op.Color2, TintColor(fixed.BgColor(), fixed.GradientStop()));
    EXPECT_NE(canvas.FindText(u"A"), nullptr);
    EXPECT_NE(canvas.FindText(u"1"), nullptr);
    grid.FixedCellStyle().SetShowGradient(false);
    PaintAll();
    EXPECT_EQ(canvas.ops[static_cast<size_t>(canvas.FirstFillAt(60, 5))].What, Kind::FillRect);
    EXPECT_EQ(canvas.ColorAt(39, 5), ColorToRGB(fixed.GridLineColor()));
}

TEST_F(PainterTest, BgColorFillsRightOfAndBelowTheCells) {
    PaintAll();
    const TColor bg = ColorToRGB(grid.BgColor());
    EXPECT_EQ(canvas.ColorAt(400, 50), bg);
    EXPECT_EQ(canvas.ColorAt(100, 200), bg);
    EXPECT_NE(canvas.ColorAt(300, 65), bg);
}

TEST_F(PainterTest, OnDrawCellCanSuppressTheDefault) {
    SelectFarCell();
    grid.GetCell(1, 1).SetText(u"x");
    grid.GetCell(2, 1).SetText(u"y");
    std::vector<uint32_t> states;
    grid.OnDrawCell = [&](TKtCustomGrid&, int col, int row, const TRect& rect, uint32_t state,
                          bool& doDefault) {
        if (col == 1 && row == 1) {
            doDefault = false;
            EXPECT_EQ(rect, (TRect{40, 19, 112, 37}));
        }
        if (col == 4 && row == 4) states.push_back(state);
    };
    PaintAll();
    EXPECT_EQ(canvas.FindText(u"x"), nullptr);
    EXPECT_EQ(canvas.LastAt(60, 25), nullptr);
    EXPECT_NE(canvas.FindText(u"y"), nullptr);
    EXPECT_EQ(states, (std::vector<uint32_t>{gdSelected | gdFocused}));
}

TEST_F(PainterTest, OnDrawCellTextWideFormIsUsedBeforeTheAnsiForm) {
    grid.GetCell(1, 1).SetText(u"x");
    int ansi = 0;
    grid.OnDrawCellText = [&](TKtCustomGrid&, const TKtCell&, IKtCanvas&, const TRect&,
                              const std::string&) {
        ++ansi;
        return true;
    };
    PaintAll();
    EXPECT_EQ(ansi, 1);
    grid.OnDrawCellTextW = [](TKtCustomGrid&, const TKtCell&, IKtCanvas&, const TRect&,
                              const WideString&) { return false; };
    PaintAll();
    EXPECT_EQ(ansi, 1);
    EXPECT_EQ(canvas.FindText(u"x"), nullptr);
}

TEST_F(PainterTest, CommentMarkAndBoxUnderTheMouse) {
    SelectFarCell();
    grid.GetCell(2, 2).SetComment(u"note");
    PaintAll();
    const auto marks = canvas.Of(Kind::Polygon);
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(marks[0]->Color, clRed);
    EXPECT_EQ(marks[0]->Points[1], (TPoint{184, 38}));
    EXPECT_EQ(canvas.FindText(u"note"), nullptr);
    grid.SetMouseCell(2, 2);
    PaintAll();
    const auto* text = canvas.FindText(u"note");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->Points[0].X, 186 + 15 + 1 + 2);
    EXPECT_EQ(canvas.ColorAt(186 + 15 + 100, 38 - 10 + 50), ColorToRGB(clInfoBk));
}

TEST_F(PainterTest, OnlyTheUpdateRectangleIsPainted) {
    grid.GetCell(1, 1).SetText(u"x");
    grid.GetCell(3, 3).SetText(u"z");
    canvas.ops.clear();
    PaintGrid(grid, canvas, {190, 60, 250, 70});
    EXPECT_EQ(canvas.FindText(u"x"), nullptr);
    EXPECT_NE(canvas.FindText(u"z"), nullptr);
    EXPECT_EQ(canvas.SaveDepth(), 0);
}

}  // namespace
}  // namespace plu::testing

namespace plu::testing {
namespace {

TEST_F(GridTest, DisplayTextCarriesTheSectionColour) {
    TKtCell& cell = grid.GetCell(1, 1);
    cell.OwnStyle().SetFormatString(u"[Red]0;[Blue]-0;0");
    struct Case {
        const char16_t* input;
        const char16_t* shown;
        TColor color;
    };
    for (const Case& c : {Case{u"-5", u"-5", clBlue}, Case{u"5", u"5", clRed},
                          Case{u"0", u"0", clNone}, Case{u"abc", u"abc", clNone}}) {
        cell.SetText(c.input);
        TColor color = 12345;
        EXPECT_EQ(cell.GetDisplayText(color), c.shown);
        EXPECT_EQ(color, c.color) << WideToUtf8(c.input);
    }
}

}  // namespace
}  // namespace plu::testing
