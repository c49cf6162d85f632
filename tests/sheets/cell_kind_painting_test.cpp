// How the standard cell kinds draw, checked on a recording canvas: each
// part lies where the geometry that its mouse handling uses puts it.
#include <gtest/gtest.h>

#include "grid/cell_drawing.h"
#include "grid/recording_canvas.h"
#include "sheets/button_cells.h"
#include "sheets/cell_geometry.h"
#include "sheets/combo_cells.h"
#include "sheets/data_cells.h"
#include "sheets/data_grid.h"
#include "sheets/header_cell.h"
#include "sheets/kind_drawing.h"
#include "sheets/spin_cells.h"
#include "sheets_test_support.h"

namespace plu::testing {
namespace {

constexpr int kCombo = 1, kSpin = 2, kCheck = 3, kRadio = 4, kEllipsis = 5, kImage = 6;
using Kind = RecordingCanvas::Kind;

class CellKindPaintingTest : public SheetsTest {
  protected:
    CellKindPaintingTest() {
        grid.SetMeasurer(&measurer_);
        grid.SetView(&view);
        editor.SetDefaultControl(&control);
        grid.SetColCount(8);
        grid.SetRowCount(6);
        grid.SetColWidth(kRadio, 90);
        grid.SetRowHeight(2, 60);
        grid.GetColumn(kCombo).SetCellType(TKtCellType::cellComboBox);
        grid.GetColumn(kSpin).SetCellType(TKtCellType::cellNumberSpin);
        grid.GetColumn(kCheck).SetCellType(TKtCellType::cellCheckBox);
        grid.GetColumn(kRadio).SetCellType(TKtCellType::cellRadioBox);
        grid.GetColumn(kEllipsis).SetCellType(TKtCellType::cellEllipsisBtn);
        grid.GetColumn(kImage).SetCellType(TKtCellType::cellImageBox);
    }
    TKtCell& Current(int col, int row = 2) {
        grid.SelectRange(col, row, col, row);
        return grid.GetCell(col, row);
    }
    // Paints the cell at (col, row) as the grid's painter does.
    RecordingCanvas Paint(int col, int row = 2) {
        RecordingCanvas canvas(measurer_);
        grid.GetCell(col, row).Paint(canvas, ContentRect(grid.CellRect(col, row)));
        return canvas;
    }
    static int CountIn(const RecordingCanvas& canvas, Kind kind, const TRect& area) {
        int n = 0;
        for (const auto* op : canvas.Of(kind)) {
            TRect r = op->Rect;
            if (kind == Kind::Line) {
                // The pixels a line sets: its last point is not one of them.
                const TPoint a = op->Points[0], b = op->Points[1];
                r = {std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X),
                     std::max(a.Y, b.Y)};
                if (a.X == b.X) r.Right = r.Left + 1;
                if (a.Y == b.Y) r.Bottom = r.Top + 1;
            }
            if (area.Intersect(r) == r) ++n;
        }
        return n;
    }

    NullView view;
    TKtCustomDataGrid grid;
    FakeEditControl control;
    TKtEditor editor{grid};
};

// ---- Buttons ------------------------------------------------------------------------------

TEST_F(CellKindPaintingTest, OnlyTheCurrentComboCellDrawsItsButtonAndItsTextStaysLeftOfIt) {
    grid.GetCell(kCombo, 3).SetText(u"kg");
    const RecordingCanvas other = Paint(kCombo, 3);
    EXPECT_TRUE(other.Of(Kind::Line).empty());  // no button, no arrow
    auto& combo = static_cast<TKtComboBoxCell&>(Current(kCombo, 3));
    const RecordingCanvas canvas = Paint(kCombo, 3);
    const TRect button = combo.ButtonRect();
    EXPECT_EQ(button.Height(), 17);  // a scroll thumb high, from the top
    EXPECT_EQ(canvas.ColorAt(button.Left + 4, button.Top + 4), ColorToRGB(clBtnFace));
    EXPECT_EQ(canvas.ColorAt(button.Left, button.Top), ColorToRGB(cl3DLight));
    EXPECT_EQ(canvas.ColorAt(button.Right - 1, button.Bottom - 1), ColorToRGB(cl3DDkShadow));
    const auto* text = canvas.FindText(u"kg");
    ASSERT_NE(text, nullptr);
    // The text keeps its margin inside the part left of the button.
    EXPECT_LE(text->Rect.Right, button.Left);
    EXPECT_GE(text->Rect.Right, button.Left - 3);
    EXPECT_GT(CountIn(canvas, Kind::Line, button.Inflated(-2)), 0);  // the arrow
}

TEST_F(CellKindPaintingTest, AButtonIsSunkenOnlyWhilePressedAndHot) {
    auto& cell = static_cast<TKtEllipsisBtnCell&>(Current(kEllipsis));
    const TRect button = cell.ButtonRect();
    auto sunken = [&] {
        const RecordingCanvas canvas = Paint(kEllipsis);
        return canvas.ColorAt(button.Left, button.Top) == ColorToRGB(clBtnShadow);
    };
    EXPECT_FALSE(sunken());
    Mouse(cell, TKtMouseInput::Kind::Down, button.Left + 2, button.Top + 2);
    EXPECT_TRUE(sunken());
    Mouse(cell, TKtMouseInput::Kind::Move, button.Left - 20, button.Top + 2);
    EXPECT_FALSE(sunken());  // pressed but not hot
    Mouse(cell, TKtMouseInput::Kind::Up, button.Left - 20, button.Top + 2);
    EXPECT_FALSE(sunken());
}

TEST_F(CellKindPaintingTest, TheEllipsisShowsThreeBlackSquaresOfAnEighthOfTheButton) {
    auto& cell = static_cast<TKtEllipsisBtnCell&>(Current(kEllipsis));
    const RecordingCanvas canvas = Paint(kEllipsis);
    const auto dots = EllipsisDots(cell.ButtonRect());
    for (const TRect& dot : dots) {
        EXPECT_EQ(dot.Width(), cell.ButtonRect().Width() / 8);
        EXPECT_EQ(canvas.ColorAt(dot.Left, dot.Top), clBlack);
        EXPECT_EQ(canvas.ColorAt(dot.Right - 1, dot.Bottom - 1), clBlack);
    }
    EXPECT_EQ(dots[1].Left - dots[0].Right, dots[0].Width());
}

TEST_F(CellKindPaintingTest, EachSpinHalfIsDrawnPressedOnItsOwn) {
    auto& spin = static_cast<TKtNumberSpinCell&>(Current(kSpin));
    const TRect button = spin.ButtonRect();
    const TRect up = SpinUpRect(button), down = SpinDownRect(button);
    EXPECT_EQ(button.Height(), grid.CellRect(kSpin, 2).Height() - 2);
    auto pressedAt = [&](const TRect& half) {
        const RecordingCanvas canvas = Paint(kSpin);
        return canvas.ColorAt(half.Left, half.Top) == ColorToRGB(clBtnShadow);
    };
    Mouse(spin, TKtMouseInput::Kind::Down, button.Left + 2, button.Bottom - 2);
    EXPECT_TRUE(pressedAt(down));
    EXPECT_FALSE(pressedAt(up));
    Mouse(spin, TKtMouseInput::Kind::Move, button.Left + 2, button.Top + 1);
    EXPECT_TRUE(pressedAt(up));
    EXPECT_FALSE(pressedAt(down));
    Mouse(spin, TKtMouseInput::Kind::Up, button.Left + 2, button.Top + 1);
    EXPECT_FALSE(pressedAt(up));
    // An arrow in each half: up in the upper, down in the lower.
    const RecordingCanvas canvas = Paint(kSpin);
    EXPECT_GT(CountIn(canvas, Kind::Line, up), 0);
    EXPECT_GT(CountIn(canvas, Kind::Line, down), 0);
}

// ---- Check box and radio box ---------------------------------------------------------------

TEST_F(CellKindPaintingTest, TheCheckBoxIsCentredWithoutCaptionAndBesideItsCaption) {
    auto& check = static_cast<TKtCheckBoxCell&>(grid.GetCell(kCheck, 3));
    const TRect cell = grid.CellRect(kCheck, 3);
    RecordingCanvas plain = Paint(kCheck, 3);
    const TRect box = CheckBoxRect(cell, false);
    EXPECT_EQ(box.Width(), 13);
    EXPECT_EQ(plain.ColorAt(box.Left, box.Top), ColorToRGB(clBtnShadow));
    EXPECT_EQ(plain.ColorAt(box.Left + 6, box.Top + 6), ColorToRGB(clWindow));  // unchecked
    check.SetText(u"1");
    const RecordingCanvas ticked = Paint(kCheck, 3);
    EXPECT_EQ(ticked.ColorAt(box.Left + 6, box.Top + 6), ColorToRGB(clWindowText));
    EXPECT_EQ(CountIn(ticked, Kind::Line, box), static_cast<int>(ticked.Of(Kind::Line).size()));

    check.SetCaption(u"On");
    const RecordingCanvas captioned = Paint(kCheck, 3);
    const TRect left = CheckBoxRect(cell, true);
    EXPECT_EQ(left.Left, cell.Left + 5);
    EXPECT_EQ(captioned.ColorAt(left.Left, left.Top), ColorToRGB(clBtnShadow));
    const auto* caption = captioned.FindText(u"On");
    ASSERT_NE(caption, nullptr);
    EXPECT_GE(caption->Rect.Left, left.Right + 5);
    EXPECT_LE(caption->Rect.Left, left.Right + 5 + 2);  // the text's own margin
}

TEST_F(CellKindPaintingTest, ARadioCellDrawsOneButtonPerBandAndMarksTheCheckedItem) {
    auto& radio = static_cast<TKtRadioBoxCell&>(grid.GetCell(kRadio, 2));
    radio.AddItem(u"a");
    radio.AddItem(u"b");
    radio.AddItem(u"c");
    radio.SetText(u"1");
    const TRect cell = grid.CellRect(kRadio, 2);
    const RecordingCanvas canvas = Paint(kRadio, 2);
    for (int i = 0; i < 3; ++i) {
        const TRect button = RadioButtonRect(cell, 3, i);
        const TRect middle{button.Left + 5, button.Top + 5, button.Left + 7, button.Top + 7};
        const bool dot = canvas.ColorAt(middle.Left, middle.Top) == ColorToRGB(clWindowText);
        EXPECT_EQ(dot, i == 1) << i;
        const auto* text = canvas.FindText(WideString(1, static_cast<char16_t>(u'a' + i)));
        ASSERT_NE(text, nullptr);
        const TRect band = RadioTextRect(cell, 3, i);
        EXPECT_EQ(text->Rect.Intersect(band), text->Rect) << i;
        EXPECT_LE(text->Rect.Left - band.Left, 2) << i;
    }
}

// ---- Image --------------------------------------------------------------------------------

// The first 24 bytes of a PNG of w x h pixels (enough for its size).
TKtPicture PngHeader(int w, int h) {
    TKtPicture p;
    p.Type = TKtPicture::Bitmap;
    p.Data = {0x89, 'P',  'N',  'G',
              0x0D, 0x0A, 0x1A, 0x0A,
              0,    0,    0,    13,
              'I',  'H',  'D',  'R',
              0,    0,    0,    static_cast<uint8_t>(w),
              0,    0,    0,    static_cast<uint8_t>(h)};
    return p;
}

class PictureCanvas : public RecordingCanvas {
  public:
    using RecordingCanvas::RecordingCanvas;
    void DrawPicture(const TRect& rect, uint16_t, const std::vector<uint8_t>&) override {
        drawn.push_back(rect);
    }
    std::vector<TRect> drawn;
};

TEST_F(CellKindPaintingTest, AnImageKeepsItsSizeWhenAlignedAndIsStretchedOtherwise) {
    grid.AddPicture(PngHeader(10, 6));
    auto& image = static_cast<TKtImageCell&>(grid.GetCell(kImage, 2));
    image.SetPictureIndex(0);
    const TRect content = ContentRect(grid.CellRect(kImage, 2));
    auto drawnAt = [&] {
        PictureCanvas canvas(measurer_);
        image.Paint(canvas, content);
        return canvas.drawn.size() == 1 ? canvas.drawn[0] : TRect{};
    };
    image.OwnStyle().SetHorzAlign(TKtGridHorzAlign::haCenter);
    const TRect centred = drawnAt();
    EXPECT_EQ(centred.Width(), 10);
    EXPECT_EQ(centred.Height(), 6);
    EXPECT_EQ(centred.Left - content.Left, content.Right - centred.Right);
    EXPECT_EQ(centred.Top, content.Top + (content.Height() - 6) / 2);
    image.OwnStyle().SetHorzAlign(TKtGridHorzAlign::haRight);
    EXPECT_EQ(drawnAt().Right, content.Right);
    image.OwnStyle().SetHorzAlign(TKtGridHorzAlign::haJustify);
    EXPECT_EQ(drawnAt(), content);
    image.SetPictureIndex(5);  // outside the list: nothing
    EXPECT_EQ(drawnAt(), TRect{});
}

TEST(PictureSize, ReadsTheSizeFromEachKindOfHeader) {
    EXPECT_EQ(PictureSize(PngHeader(33, 7)), (TPoint{33, 7}));
    TKtPicture bmp;
    bmp.Data.assign(54, 0);
    bmp.Data[0] = 'B';
    bmp.Data[1] = 'M';
    bmp.Data[14] = 40;
    bmp.Data[18] = 20;    // width 20
    bmp.Data[22] = 0xF6;  // height -10 (top-down)
    for (int i = 23; i < 26; ++i)
        bmp.Data[static_cast<size_t>(i)] = 0xFF;
    EXPECT_EQ(PictureSize(bmp), (TPoint{20, 10}));
    TKtPicture jpeg;
    jpeg.Data = {0xFF, 0xD8, 0xFF, 0xE0, 0, 4, 0,  0,                   // APP0, skipped
                 0xFF, 0xC0, 0,    11,   8, 0, 48, 1, 44, 3, 0, 0, 0};  // SOF0: 48 high, 300 wide
    EXPECT_EQ(PictureSize(jpeg), (TPoint{300, 48}));
    TKtPicture broken;
    broken.Data = {0xFF, 0xD8, 0xFF, 0xC4, 0, 0};  // a length below 2: no size, no hang
    EXPECT_EQ(PictureSize(broken), (TPoint{0, 0}));
    EXPECT_EQ(PictureSize(TKtPicture{}), (TPoint{0, 0}));
}

// ---- Header sort arrow -----------------------------------------------------------------------

TEST_F(CellKindPaintingTest, ASortedColumnsHeaderDrawsItsArrowInTheArrowArea) {
    grid.SetColWidth(kCombo, 80);
    auto& header = static_cast<TKtDataHeaderCell2&>(grid.GetCell(kCombo, 0));
    auto arrowLines = [&] {
        RecordingCanvas canvas(measurer_);
        header.Paint(canvas, ContentRect(grid.CellRect(kCombo, 0)));
        return CountIn(canvas, Kind::Line, SortArrowRect(header.ArrowArea()));
    };
    EXPECT_EQ(arrowLines(), 0);
    header.SortClick();  // descending
    EXPECT_GT(arrowLines(), 0);
    RecordingCanvas canvas(measurer_);
    header.Paint(canvas, ContentRect(grid.CellRect(kCombo, 0)));
    const TRect arrow = SortArrowRect(header.ArrowArea());
    EXPECT_EQ(canvas.ColorAt(arrow.Left + 1, arrow.Top), ColorToRGB(clBtnShadow));  // base on top
    // Another column sorted: this arrow goes.
    static_cast<TKtDataHeaderCell2&>(grid.GetCell(kSpin, 0)).SortClick();
    EXPECT_EQ(arrowLines(), 0);
}

}  // namespace
}  // namespace plu::testing
