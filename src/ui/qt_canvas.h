// IKtCanvas over a QPainter: what the grid's painter, the cell kinds and the
// tab strip draw with on screen. State follows the painter (Save/Restore are
// the painter's save/restore, plus the canvas's own pen, brush and font);
// clipping is kept as a QRegion so that excluded rectangles combine.
#pragma once

#include <QPainter>
#include <QRegion>
#include <vector>

#include "base/text_measurer.h"
#include "grid/canvas.h"

namespace plu {

class QtCanvas : public IKtCanvas {
  public:
    // painter draws on the device; clip is the update region (device pixels).
    QtCanvas(QPainter& painter, const QRegion& updateRegion);

    void SetPen(const TKtPen& pen) override;
    TKtPen Pen() const override { return state_.pen; }
    void SetBrush(TColor color) override { state_.brush = color; }
    TColor Brush() const override { return state_.brush; }
    void SetFont(const TFont& font) override;
    const TFont& Font() const override { return state_.font; }
    void Save() override;
    void Restore() override;

    void IntersectClip(const TRect& rect) override;
    void ExcludeClip(const TRect& rect) override;

    void FillRect(const TRect& rect, TColor color) override;
    void FrameRect(const TRect& rect, TColor color) override;
    void Line(int x1, int y1, int x2, int y2) override;
    void Polyline(const std::vector<TPoint>& points, bool closed) override;
    void Polygon(const std::vector<TPoint>& points) override;
    void GradientFillV(const TRect& rect, TColor top, TColor bottom) override;
    void TextOut(int x, int y, WideStringView text, const TRect& clip) override;
    int TextWidth(WideStringView text) override;
    void BlendRect(const TRect& rect, TColor fill, TKtSelectionBlend mode, int alpha) override;
    void InvertRect(const TRect& rect) override;
    void DrawPicture(const TRect& rect, uint16_t type, const std::vector<uint8_t>& data) override;

  private:
    struct State {
        TKtPen pen;
        TColor brush = clNone;
        TFont font;
        QRegion clip;
    };
    void ApplyClip();
    void ApplyPen();

    QPainter& painter_;
    State state_;
    std::vector<State> saved_;
};

}  // namespace plu
