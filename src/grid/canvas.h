// The surface the painter draws on, without a toolkit.
//
// The grid's painter, the cell kinds and the sheet tab strip draw through
// this interface only; the window implements it over QPainter, tests use a
// recording canvas that keeps the calls for geometry checks. Coordinates
// are device pixels of the grid's client area. Rectangles are half-open
// (Right and Bottom exclusive), as everywhere in the engine; a line from
// (x1, y1) to (x2, y2) covers its first point and not its last, as a
// platform LineTo does.
//
// State (pen, brush, font, clip) stays set until changed; Save/Restore keep
// and bring back all of it, so a cell's drawing cannot leak into the next.
#pragma once

#include <vector>

#include "base/color.h"
#include "base/font.h"
#include "base/wide_text.h"
#include "grid/grid_types.h"

namespace plu {

enum class TKtPenStyle : uint8_t { psSolid, psDash, psDot, psClear };

struct TKtPen {
    TColor Color = clBlack;
    int Width = 1;  // pixels
    TKtPenStyle Style = TKtPenStyle::psSolid;
    bool operator==(const TKtPen&) const = default;
};

// How selected cells are tinted (the selection's two modes).
enum class TKtSelectionBlend : uint8_t {
    // Each pixel becomes fill + (pixel - fill) x Alpha / 255, per channel.
    AlphaBlend,
    // Pattern AND screen: each pixel becomes pixel & fill, per channel.
    AndPattern,
};

class IKtCanvas {
  public:
    virtual ~IKtCanvas() = default;

    // ---- State ------------------------------------------------------------------
    virtual void SetPen(const TKtPen& pen) = 0;
    virtual TKtPen Pen() const = 0;
    // A solid brush; clNone for no brush (frames are then not filled).
    virtual void SetBrush(TColor color) = 0;
    virtual TColor Brush() const = 0;
    // The font (name, height, style, colour) used by TextOut.
    virtual void SetFont(const TFont& font) = 0;
    virtual const TFont& Font() const = 0;
    virtual void Save() = 0;
    virtual void Restore() = 0;

    // ---- Clipping (intersected with the update region) ----------------------------
    // Drawing is limited to rect (intersected with the current clip).
    virtual void IntersectClip(const TRect& rect) = 0;
    // Takes rect out of the current clip (merged areas keep grid lines out).
    virtual void ExcludeClip(const TRect& rect) = 0;

    // ---- Drawing ------------------------------------------------------------------
    // Fills rect with color (no pen).
    virtual void FillRect(const TRect& rect, TColor color) = 0;
    // A one-pixel frame just inside rect in color.
    virtual void FrameRect(const TRect& rect, TColor color) = 0;
    // A line with the current pen.
    virtual void Line(int x1, int y1, int x2, int y2) = 0;
    // Consecutive points joined with the current pen (closed when asked).
    virtual void Polyline(const std::vector<TPoint>& points, bool closed = false) = 0;
    // A filled polygon (current brush) outlined with the current pen.
    virtual void Polygon(const std::vector<TPoint>& points) = 0;
    // rect filled top to bottom from top to bottom colour.
    virtual void GradientFillV(const TRect& rect, TColor top, TColor bottom) = 0;
    // One line of text, its cell top at (x, y) (ascent below y), transparent
    // background, clipped to clip (and the canvas clip). Tabs are expanded,
    // "&" is drawn as itself.
    virtual void TextOut(int x, int y, WideStringView text, const TRect& clip) = 0;
    // Width of text in the current font (the shared measurer's answer).
    virtual int TextWidth(WideStringView text) = 0;
    // Tints rect with fill in one of the selection modes (alpha 0 ... 255,
    // used by AlphaBlend only).
    virtual void BlendRect(const TRect& rect, TColor fill, TKtSelectionBlend mode, int alpha) = 0;
    // Inverts the pixels of rect (drag feedback, the size line).
    virtual void InvertRect(const TRect& rect) = 0;
    // A picture of the grid's picture list (stream form), stretched into rect.
    virtual void DrawPicture(const TRect& rect, uint16_t type,
                             const std::vector<uint8_t>& data) {
        (void)rect;
        (void)type;
        (void)data;
    }

    // Pixels per inch of the device (96 on the screen; printing differs).
    virtual int PixelsPerInch() const { return 96; }
};

// Saves the canvas state on construction and restores it on destruction.
class TKtCanvasSaver {
  public:
    explicit TKtCanvasSaver(IKtCanvas& canvas) : canvas_(canvas) { canvas_.Save(); }
    ~TKtCanvasSaver() { canvas_.Restore(); }
    TKtCanvasSaver(const TKtCanvasSaver&) = delete;
    TKtCanvasSaver& operator=(const TKtCanvasSaver&) = delete;

  private:
    IKtCanvas& canvas_;
};

}  // namespace plu
