// The Qt canvas against pixels: what the painter's geometry tests cannot see
// (line widths and ends, the two selection modes, clipping with excluded
// rectangles).
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "ui/qt_canvas.h"

namespace plu {
namespace {

class QtCanvasTest : public ::testing::Test {
  protected:
    QtCanvasTest() : image(40, 40, QImage::Format_RGB32) { image.fill(Qt::white); }
    template <typename Draw>
    void Paint(Draw draw) {
        QPainter painter(&image);
        QtCanvas canvas(painter, QRegion(0, 0, 40, 40));
        draw(canvas);
    }
    QRgb At(int x, int y) const { return image.pixel(x, y) & 0xFFFFFF; }
    QImage image;
};

TEST_F(QtCanvasTest, LinesCoverTheirFirstPointAndNotTheirLast) {
    Paint([](IKtCanvas& c) {
        c.SetPen({clBlack, 1, TKtPenStyle::psSolid});
        c.Line(5, 10, 15, 10);
        c.Line(20, 5, 20, 15);
    });
    EXPECT_EQ(At(5, 10), 0u);
    EXPECT_EQ(At(14, 10), 0u);
    EXPECT_EQ(At(15, 10), 0xFFFFFFu);
    EXPECT_EQ(At(20, 5), 0u);
    EXPECT_EQ(At(20, 15), 0xFFFFFFu);
}

TEST_F(QtCanvasTest, ThickPensCoverTheirWidth) {
    Paint([](IKtCanvas& c) {
        c.SetPen({clBlack, 3, TKtPenStyle::psSolid});
        c.Line(5, 20, 30, 20);
    });
    EXPECT_EQ(At(10, 19), 0u);
    EXPECT_EQ(At(10, 20), 0u);
    EXPECT_EQ(At(10, 21), 0u);
    EXPECT_EQ(At(10, 22), 0xFFFFFFu);
}

TEST_F(QtCanvasTest, SelectionModesBlendOrAndTheFill) {
    Paint([](IKtCanvas& c) {
        c.FillRect({0, 0, 40, 40}, RGB(200, 100, 50));
        c.BlendRect({0, 0, 10, 10}, RGB(0, 0, 255), TKtSelectionBlend::AlphaBlend, 128);
        c.BlendRect({20, 20, 30, 30}, RGB(0xF0, 0x0F, 0xFF), TKtSelectionBlend::AndPattern, 0);
    });
    // fill + (pixel - fill) * 128 / 255 per channel.
    const QColor blended(image.pixel(5, 5));
    EXPECT_NEAR(blended.red(), 100, 2);
    EXPECT_NEAR(blended.green(), 50, 2);
    EXPECT_NEAR(blended.blue(), 25 + 127, 2);
    EXPECT_EQ(QColor(image.pixel(25, 25)), QColor(200 & 0xF0, 100 & 0x0F, 50));
}

TEST_F(QtCanvasTest, ExcludedRectanglesAreNotDrawnUntilRestored) {
    Paint([](IKtCanvas& c) {
        c.Save();
        c.ExcludeClip({10, 10, 20, 20});
        c.FillRect({0, 0, 40, 40}, clBlack);
        c.Restore();
        c.FillRect({30, 30, 32, 32}, clRed);
    });
    EXPECT_EQ(At(15, 15), 0xFFFFFFu);
    EXPECT_EQ(At(5, 5), 0u);
    EXPECT_EQ(QColor(image.pixel(31, 31)), QColor(255, 0, 0));
}

}  // namespace
}  // namespace plu
