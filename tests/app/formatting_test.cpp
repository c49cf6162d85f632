// The formatting toolbars' logic on a plain grid: border choices, font
// boxes, style bits and colours; and the colour box's choice, layout, mouse
// and painting rules.
#include "app/formatting.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/exceptions.h"
#include "base/regional_settings.h"
#include "base/text_measurer.h"
#include "grid/cell.h"
#include "grid/custom_grid.h"
#include "grid/grid_selection.h"
#include "grid/grid_style.h"
#include "grid/recording_canvas.h"

namespace plu::testing {
namespace {

constexpr TColor kRed = RGB(255, 0, 0);
constexpr int kRedIndex = 16;

class Formatting : public ::testing::Test {
  protected:
    Formatting() : settings_(RegionalSettings::Defaults()) {
        grid.SetMeasurer(&measurer);
        grid.SetColCount(8);
        grid.SetRowCount(8);
        toolbar.LoadLineWidths();
        toolbar.LoadFontList({u"Arial", u"Courier New", u"Times New Roman"});
    }
    // Line style and colour of a cell's edge (0 and no colour when the cell
    // does not exist).
    uint8_t Line(int c, int r, int edge) const {
        const TKtCell* cell = grid.FindCell(c, r);
        return cell ? cell->Style().BorderLine(edge) : 0;
    }
    TColor LineColor(int c, int r, int edge) const {
        const TKtCell* cell = grid.FindCell(c, r);
        return cell ? cell->Style().BorderColor(edge) : clNone;
    }
    // The border colour button gets a colour through its panel.
    void PickBorderColor(int index) {
        toolbar.tbBorderColorDropDown();
        toolbar.ColorBox.SetActiveIndex(index);
        toolbar.PopupPanelClose(TColorPanelOwner::BorderColor);
    }

    ScopedRegionalSettings settings_;
    FixedTextMeasurer measurer;
    TKtCustomGrid grid;
    TKtCustomGrid* active = &grid;
    FormattingToolbar toolbar{[this] { return active; }};
};

TEST_F(Formatting, MediumRedOutlineThenInnerLinesOnThreeByThree) {
    grid.SelectRange(2, 2, 4, 4);
    toolbar.SetLineWidthIndex(1);  // " Medium"
    PickBorderColor(kRedIndex);
    EXPECT_EQ(toolbar.BorderColor, kRed);

    toolbar.BorderPaletteClick(0);
    EXPECT_EQ(toolbar.BorderLineImage(), 0);
    for (int i = 2; i <= 4; ++i) {
        EXPECT_EQ(Line(2, i, kEdgeLeft), 2);
        EXPECT_EQ(Line(4, i, kEdgeRight), 2);
        EXPECT_EQ(Line(i, 2, kEdgeTop), 2);
        EXPECT_EQ(Line(i, 4, kEdgeBottom), 2);
        EXPECT_EQ(LineColor(i, 4, kEdgeBottom), kRed);
    }
    EXPECT_EQ(Line(2, 2, kEdgeRight), 0);
    EXPECT_EQ(Line(3, 3, kEdgeLeft) + Line(3, 3, kEdgeTop) + Line(3, 3, kEdgeRight) +
                  Line(3, 3, kEdgeBottom),
              0);

    toolbar.BorderPaletteClick(1);
    EXPECT_EQ(Line(2, 2, kEdgeRight), 2);
    EXPECT_EQ(Line(3, 3, kEdgeLeft), 2);
    EXPECT_EQ(Line(3, 3, kEdgeBottom), 2);
    EXPECT_EQ(LineColor(3, 3, kEdgeTop), kRed);
    EXPECT_EQ(Line(2, 2, kEdgeLeft), 2);  // the frame stays
}

TEST_F(Formatting, NoBordersClearsEverythingWhateverTheWidthAndNoWidthDoesNothing) {
    grid.SelectRange(2, 2, 4, 4);
    toolbar.SetLineWidthIndex(2);  // " Thick "
    toolbar.BorderPaletteClick(15);
    ASSERT_EQ(Line(3, 3, kEdgeTop), 5);
    ASSERT_EQ(Line(2, 2, kEdgeLeft), 5);

    toolbar.BorderPaletteClick(8);
    for (int c = 2; c <= 4; ++c)
        for (int r = 2; r <= 4; ++r)
            for (int e = 0; e < 4; ++e) EXPECT_EQ(Line(c, r, e), 0) << c << "," << r << " " << e;
    EXPECT_EQ(Line(1, 2, kEdgeRight), 0);  // the neighbour facing the range

    toolbar.SetLineWidthIndex(-1);
    toolbar.BorderPaletteClick(0);
    EXPECT_EQ(toolbar.BorderLineImage(), 0);
    EXPECT_EQ(Line(2, 2, kEdgeLeft), 0);
}

TEST(BorderChoices, EachEdgeChoiceDrawsOnlyItsLines) {
    struct Case {
        int choice;
        int col, row, edge;                // a line the choice draws
        int clearCol, clearRow, clearEdge;  // a line it leaves alone
    };
    const Case cases[] = {
        {2, 3, 2, kEdgeBottom, 2, 3, kEdgeRight}, {3, 2, 3, kEdgeRight, 3, 2, kEdgeBottom},
        {4, 3, 2, kEdgeTop, 3, 4, kEdgeBottom},   {5, 3, 4, kEdgeBottom, 3, 2, kEdgeTop},
        {6, 2, 3, kEdgeLeft, 4, 3, kEdgeRight},   {7, 4, 3, kEdgeRight, 2, 3, kEdgeLeft},
    };
    for (const Case& c : cases) {
        TKtCustomGrid grid;
        grid.SetColCount(8);
        grid.SetRowCount(8);
        FormattingToolbar toolbar([&] { return &grid; });
        toolbar.LoadLineWidths();
        grid.SelectRange(2, 2, 4, 4);
        toolbar.BorderPaletteClick(c.choice);
        auto line = [&](int col, int row, int edge) {
            const TKtCell* cell = grid.FindCell(col, row);
            return cell ? cell->Style().BorderLine(edge) : 0;
        };
        EXPECT_EQ(line(c.col, c.row, c.edge), 1) << "choice " << c.choice;
        EXPECT_EQ(line(c.clearCol, c.clearRow, c.clearEdge), 0) << "choice " << c.choice;
    }
    EXPECT_EQ(FindBorderChoice(9), nullptr);
}

TEST_F(Formatting, BorderColourNotInPaletteShowsAutoAndAutoGivesTheAutomaticColour) {
    toolbar.BorderColor = RGB(1, 2, 3);
    toolbar.tbBorderColorDropDown();
    EXPECT_EQ(toolbar.ColorBox.ActiveIndex(), kAutoColorIndex);

    toolbar.ColorBox.MouseDown(30, 5);  // the Auto strip
    toolbar.PopupPanelClose(TColorPanelOwner::BorderColor);
    EXPECT_EQ(toolbar.BorderColor, kAutomaticColor);
    EXPECT_EQ(toolbar.FontColor, clBlack);  // the other button keeps its colour
}

TEST_F(Formatting, FontColourFromThePanelAndFromTheButtonBody) {
    grid.SelectRange(2, 2, 3, 2);
    toolbar.tbFontColorDropDown();
    EXPECT_EQ(toolbar.ColorBox.ActiveIndex(), 0);  // black
    toolbar.ColorBox.SetActiveIndex(kRedIndex);
    toolbar.PopupPanelClose(TColorPanelOwner::FontColor);
    EXPECT_EQ(toolbar.FontColor, kRed);
    EXPECT_EQ(grid.FindCell(3, 2)->Font().Color(), kRed);

    // Auto restores the grid's text colour rather than storing "no colour".
    toolbar.ColorBox.SetActiveIndex(kAutoColorIndex);
    toolbar.PopupPanelClose(TColorPanelOwner::FontColor);
    EXPECT_EQ(grid.FindCell(2, 2)->Font().Color(), grid.Font().Color());

    toolbar.FontColor = kRed;
    grid.SelectRange(5, 5, 5, 5);
    toolbar.TextColorExecute();
    EXPECT_EQ(grid.FindCell(5, 5)->Font().Color(), kRed);
}

TEST(LineWidths, StandardItemsAndTheirSampleWidthsAt96Dpi) {
    const std::vector<TLineWidthItem> items = StandardLineWidths();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].Text, u" Thin  ");
    EXPECT_EQ(items[1].Text, u" Medium");
    EXPECT_EQ(items[2].Text, u" Thick ");
    EXPECT_EQ(LineWidthPenWidth(items[0].Number, 96), 0);
    EXPECT_EQ(LineWidthPenWidth(items[1].Number, 96), 2);
    EXPECT_EQ(LineWidthPenWidth(items[2].Number, 96), 3);
    EXPECT_EQ(LineWidthPenWidth(items[2].Number, 192), 5);  // 5.33
    EXPECT_EQ(LineWidthPenWidth(-4, 96), 0);
}

TEST_F(Formatting, CurrentCellEchoSelectsSizeAndNameWithoutApplyingThem) {
    TKtCellFont arial14 = grid.GetCell(2, 2).OwnFont();
    arial14.SetName(u"Arial");
    arial14.SetSize(14);
    TKtCellFont odd = grid.GetCell(3, 3).OwnFont();
    odd.SetName(u"Wingdings");
    odd.SetSize(13);
    grid.SelectRange(3, 3, 3, 3);

    toolbar.VexaSheetControl1CurrentChanged(2, 2);
    EXPECT_EQ(toolbar.FontSizeText(), u"14");
    EXPECT_EQ(toolbar.SizeItems()[static_cast<size_t>(toolbar.SizeIndex())], u"14");
    EXPECT_EQ(toolbar.FontNameText(), u"Arial");
    EXPECT_EQ(grid.FindCell(3, 3)->Font().Size(), 13);  // nothing applied to the selection
    EXPECT_EQ(grid.FindCell(3, 3)->Font().Name(), u"Wingdings");

    toolbar.VexaSheetControl1CurrentChanged(3, 3);
    EXPECT_EQ(toolbar.SizeIndex(), -1);
    EXPECT_EQ(toolbar.FontSizeText(), u"");
    EXPECT_EQ(toolbar.FontIndex(), -1);
    EXPECT_EQ(toolbar.FontNameText(), u"");
}

TEST_F(Formatting, FontSizeAppliesAndFitsRowsButANonIntegerChangesNothing) {
    grid.GetCell(2, 3).SetText(u"x");
    grid.SelectRange(2, 2, 4, 3);
    const int before = grid.RowHeights(3);

    toolbar.cbFontSizeChange(u"36");
    EXPECT_EQ(grid.FindCell(4, 2)->Font().Size(), 36);
    EXPECT_GT(grid.RowHeights(3), before);

    grid.SelectRange(5, 5, 6, 6);
    try {
        toolbar.cbFontSizeChange(u"abc");
        FAIL() << "no conversion error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
    }
    EXPECT_EQ(grid.FindCell(5, 5), nullptr);
    EXPECT_EQ(grid.FindCell(6, 6), nullptr);
}

TEST_F(Formatting, FontNamePickAndLoadFollowTheSelection) {
    grid.GetCell(2, 2).OwnFont().SetName(u"Courier New");
    grid.SelectRange(2, 2, 2, 2);
    toolbar.LoadFontList({u"Arial", u"Courier New"});
    EXPECT_EQ(toolbar.FontNameText(), u"Courier New");

    grid.SelectRange(2, 2, 3, 2);
    toolbar.cbFontsChange(0);
    EXPECT_EQ(grid.FindCell(3, 2)->Font().Name(), u"Arial");
    toolbar.SetFontNameText(u"Nope");
    EXPECT_EQ(toolbar.FontIndex(), -1);
}

TEST(FontNames, WindowsNamesJoinWhenTheirTwinsAreInstalled) {
    EXPECT_EQ(ScreenFontNames({u"Liberation Sans", u"DejaVu Sans", u"WenQuanYi Zen Hei"}),
              (std::vector<WideString>{u"Arial", u"DejaVu Sans", u"Liberation Sans",
                                       u"WenQuanYi Zen Hei", u"宋体"}));
    EXPECT_EQ(ScreenFontNames({u"Arial", u"Liberation Sans", u"Carlito"}),
              (std::vector<WideString>{u"Arial", u"Calibri", u"Carlito", u"Liberation Sans"}));
    EXPECT_EQ(ScreenFontNames({u"DejaVu Serif"}), std::vector<WideString>{u"DejaVu Serif"});
}

TEST_F(Formatting, StyleActionsSetTheirOwnBitAndFollowTheCurrentCell) {
    grid.GetCell(2, 2).OwnFont().SetStyle(TFontStyles(2));  // italic
    grid.SelectRange(2, 2, 3, 2);
    toolbar.FontBold.Checked = true;
    toolbar.FontBoldExecute();
    EXPECT_EQ(grid.FindCell(3, 2)->Font().Style().bits, 3);  // the current cell's italic too

    toolbar.FontItalicUpdate();
    toolbar.FontUnderlineUpdate();
    EXPECT_TRUE(toolbar.FontItalic.Checked);
    EXPECT_FALSE(toolbar.FontUnderline.Checked);

    toolbar.FontItalic.Checked = false;
    toolbar.FontItalicExecute();
    EXPECT_EQ(grid.FindCell(2, 2)->Font().Style().bits, 1);

    active = nullptr;
    toolbar.FontBold.Checked = true;
    toolbar.FontItalic.Checked = true;
    toolbar.FontBoldUpdate();
    toolbar.FontItalicUpdate();
    EXPECT_TRUE(toolbar.FontBold.Checked);
    EXPECT_FALSE(toolbar.FontItalic.Checked);
    toolbar.FontBoldExecute();  // no grid: nothing to do, nothing raised
}

TEST(LineWidths, ItemDrawingSampleRunsUpToTheRightAlignedText) {
    FixedTextMeasurer measurer;
    RecordingCanvas canvas(measurer);
    const TFont font(u"Arial", -11, clBlack);
    const TRect rect{0, 15, 100, 30};
    const TLineWidthItem medium = StandardLineWidths()[1];
    DrawLineWidthItem(canvas, rect, medium, font, clWhite);
    const int textX = 100 - measurer.TextWidth(font, medium.Text) - 3;
    bool line = false, text = false;
    for (const auto& op : canvas.ops) {
        if (op.What == RecordingCanvas::Kind::Line)
            line = op.Pen.Width == 2 && op.Points[0] == TPoint{2, 22} &&
                   op.Points[1] == TPoint{textX - 2, 22};
        if (op.What == RecordingCanvas::Kind::Text)
            text = op.Text == medium.Text && op.Points[0] == TPoint{textX, 17};
    }
    EXPECT_TRUE(line);
    EXPECT_TRUE(text);
}

// ---- The colour box ---------------------------------------------------------------------------------

TEST(ColorBox, ActiveIndexRules) {
    TKtColorBox box;
    int changes = 0;
    box.OnChange = [&] { ++changes; };
    EXPECT_EQ(box.ActiveIndex(), -1);
    EXPECT_EQ(box.SelectedColor(), kAutomaticColor);

    box.SetActiveIndex(5);
    EXPECT_EQ(changes, 1);
    box.SetActiveIndex(5);
    EXPECT_EQ(changes, 1);  // unchanged: no event
    box.SetActiveIndex(-2);
    EXPECT_EQ(box.ActiveIndex(), 5);  // below -1: ignored
    box.SetActiveIndex(56);
    EXPECT_EQ(box.ActiveIndex(), -1);  // above 55: Auto
    EXPECT_EQ(changes, 2);
}

TEST(ColorBox, SelectColorTakesTheFirstEqualEntry) {
    TKtColorBox box;
    box.SelectColor(RGB(146, 48, 96));  // at 30 and 41
    EXPECT_EQ(box.ActiveIndex(), 30);
    box.SelectColor(RGB(0, 0, 255));  // at 13 and 55
    EXPECT_EQ(box.ActiveIndex(), 13);
    EXPECT_EQ(box.SelectedColor(), RGB(0, 0, 255));
    box.SelectColor(RGB(1, 1, 1));
    EXPECT_EQ(box.ActiveIndex(), -1);

    box.SetGlobal(false);
    box.SetPaletteColor(0, RGB(1, 1, 1));
    box.SelectColor(RGB(1, 1, 1));
    EXPECT_EQ(box.ActiveIndex(), 0);
    box.SetGlobal(true);  // the shared palette again
    EXPECT_EQ(box.PaletteColor(0), RGB(0, 0, 0));
}

TEST(ColorBox, HitTestingOverStripRowsAndGap) {
    TKtColorBox box;  // 144 x 153, strip 11 + 9 = 20, hit rows (133 - 7) / 7 = 18
    int index = 99;
    ASSERT_EQ(box.AutoStripHeight(), 20);
    ASSERT_EQ(box.RowHeight(false), 18);
    ASSERT_EQ(box.RowHeight(true), 18);
    EXPECT_TRUE(box.IndexAt(143, 19, index));
    EXPECT_EQ(index, -1);
    EXPECT_TRUE(box.IndexAt(18, 20, index));
    EXPECT_EQ(index, 1);
    EXPECT_TRUE(box.IndexAt(143, 20 + 5 * 18 - 1, index));
    EXPECT_EQ(index, 39);
    EXPECT_FALSE(box.IndexAt(10, 20 + 5 * 18 + 3, index));  // the gap
    EXPECT_TRUE(box.IndexAt(0, 20 + 5 * 18 + 7, index));
    EXPECT_EQ(index, 40);
    EXPECT_TRUE(box.IndexAt(143, 20 + 7 * 18 + 6, index));
    EXPECT_EQ(index, 55);
    EXPECT_FALSE(box.IndexAt(143, 20 + 7 * 18 + 7, index));  // below the last row
    EXPECT_FALSE(box.IndexAt(144, 30, index));

    box.SetShowAuto(false);
    EXPECT_EQ(box.Height(), 133);
    EXPECT_TRUE(box.IndexAt(0, 0, index));
    EXPECT_EQ(index, 0);
}

TEST(ColorBox, MousePicksWhatIsUnderThePointer) {
    TKtColorBox box;
    box.MouseDown(20, 25);
    EXPECT_EQ(box.ActiveIndex(), 1);
    box.MouseMove(40, 25, false);
    EXPECT_EQ(box.ActiveIndex(), 1);  // no button held
    box.MouseMove(40, 25, true);
    EXPECT_EQ(box.ActiveIndex(), 2);
    box.MouseMove(40, 113, true);  // the gap: ignored
    EXPECT_EQ(box.ActiveIndex(), 2);
    box.MouseDown(40, 2);
    EXPECT_EQ(box.ActiveIndex(), -1);
}

TEST(ColorBox, ShowAutoResizesExceptWhileLoading) {
    TKtColorBox box;
    int resizes = 0;
    box.OnResize = [&] { ++resizes; };
    box.SetShowAuto(false);
    EXPECT_EQ(box.Height(), 133);
    box.SetShowAuto(true);
    EXPECT_EQ(box.Height(), 153);
    EXPECT_EQ(resizes, 2);
    box.Loading = true;
    box.SetShowAuto(false);
    EXPECT_EQ(box.Height(), 153);
    EXPECT_EQ(resizes, 2);
}

TEST(ColorBox, PaintingPushesOnlyTheActiveChoice) {
    FixedTextMeasurer measurer;
    auto pushed = [&](const TKtColorBox& box, const TRect& r) {
        RecordingCanvas canvas(measurer);
        box.Paint(canvas);
        return std::any_of(canvas.ops.begin(), canvas.ops.end(), [&](const auto& op) {
            return op.What == RecordingCanvas::Kind::FillRect && op.Rect == r &&
                   op.Color == cl3DLight;
        });
    };
    TKtColorBox box;
    box.SetActiveIndex(9);
    EXPECT_TRUE(pushed(box, box.CellRect(9, true)));
    EXPECT_FALSE(pushed(box, box.CellRect(8, true)));
    EXPECT_FALSE(pushed(box, box.AutoRect()));
    box.SetActiveIndex(-1);
    EXPECT_TRUE(pushed(box, box.AutoRect()));

    RecordingCanvas canvas(measurer);
    box.Paint(canvas);
    const TRect cell = box.CellRect(16, true);
    bool swatch = false;
    for (const auto& op : canvas.ops)
        if (op.What == RecordingCanvas::Kind::FillRect && op.Color == kRed)
            swatch = op.Rect == TRect{cell.Left + 4, cell.Top + 4, cell.Right - 4, cell.Bottom - 4};
    EXPECT_TRUE(swatch);
}

}  // namespace
}  // namespace plu::testing
