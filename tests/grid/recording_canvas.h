// A canvas that keeps every drawing call with the state it was made in (pen,
// brush, font, clip), for geometry checks of the painter, the cell kinds and
// the tab strip. The clip is tracked as a bounding rectangle minus excluded
// rectangles, saved and restored with the rest of the state. Text widths
// come from the measurer it is given (the grid's, in the tests).
#pragma once

#include <algorithm>
#include <climits>
#include <vector>

#include "base/text_measurer.h"
#include "grid/canvas.h"

namespace plu::testing {

class RecordingCanvas : public IKtCanvas {
  public:
    struct Clip {
        TRect Bound{INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2};
        std::vector<TRect> Excluded;
        bool Contains(int x, int y) const {
            if (!Bound.Contains(x, y)) return false;
            for (const TRect& r : Excluded)
                if (r.Contains(x, y)) return false;
            return true;
        }
    };
    enum class Kind { FillRect, FrameRect, Line, Polyline, Polygon, Gradient, Text, Blend, Invert };
    struct Op {
        Kind What;
        TRect Rect;                  // FillRect, FrameRect, Gradient, Blend, Invert; Text: its clip
        std::vector<TPoint> Points;  // Line (two), Polyline, Polygon; Text: its origin
        bool Closed = false;
        TKtPen Pen;
        TColor Color = clNone;   // fill colour; Gradient: top; Blend: fill
        TColor Color2 = clNone;  // Gradient: bottom
        TKtSelectionBlend Mode = TKtSelectionBlend::AlphaBlend;
        int Alpha = 0;
        TFont Font;
        WideString Text;
        Clip ClipState;

        // Whether the call sets pixel (x, y): filled rectangles, frames and
        // one-pixel lines (axis-parallel segments, last point excluded).
        bool Draws(int x, int y) const {
            if (!ClipState.Contains(x, y)) return false;
            switch (What) {
                case Kind::FillRect:
                case Kind::Gradient:
                case Kind::Blend:
                case Kind::Invert:
                    return Rect.Contains(x, y);
                case Kind::FrameRect:
                    return Rect.Contains(x, y) && (x == Rect.Left || x == Rect.Right - 1 ||
                                                   y == Rect.Top || y == Rect.Bottom - 1);
                case Kind::Line:
                case Kind::Polyline: {
                    std::vector<TPoint> p = Points;
                    if (Closed && !p.empty()) p.push_back(p.front());
                    for (size_t i = 0; i + 1 < p.size(); ++i)
                        if (OnSegment(p[i], p[i + 1], x, y)) return true;
                    return false;
                }
                default:
                    return false;
            }
        }

      private:
        static bool OnSegment(TPoint a, TPoint b, int x, int y) {
            if (a.X == b.X) {
                if (x != a.X) return false;
                return a.Y < b.Y ? (y >= a.Y && y < b.Y) : (y <= a.Y && y > b.Y);
            }
            if (a.Y == b.Y) {
                if (y != a.Y) return false;
                return a.X < b.X ? (x >= a.X && x < b.X) : (x <= a.X && x > b.X);
            }
            return false;
        }
    };

    explicit RecordingCanvas(ITextMeasurer& measurer) : measurer_(measurer) {}

    std::vector<Op> ops;

    // ---- Queries --------------------------------------------------------------
    std::vector<const Op*> Of(Kind kind) const {
        std::vector<const Op*> out;
        for (const Op& op : ops)
            if (op.What == kind) out.push_back(&op);
        return out;
    }
    // The last call that sets (x, y) (the one whose colour shows), nullptr when none.
    const Op* LastAt(int x, int y) const {
        for (auto it = ops.rbegin(); it != ops.rend(); ++it)
            if (it->Draws(x, y)) return &*it;
        return nullptr;
    }
    // The colour pixel (x, y) ends up with (fills, lines and frames; a blend
    // answers its fill colour), clNone when nothing was drawn there.
    TColor ColorAt(int x, int y) const {
        const Op* op = LastAt(x, y);
        if (!op) return clNone;
        if (op->What == Kind::Line || op->What == Kind::Polyline) return op->Pen.Color;
        return op->Color;
    }
    // The first text call with exactly this text, nullptr when none.
    const Op* FindText(WideStringView text) const {
        for (const Op& op : ops)
            if (op.What == Kind::Text && op.Text == text) return &op;
        return nullptr;
    }
    // Index of the first fill of a rectangle containing (x, y); -1 when none.
    int FirstFillAt(int x, int y) const {
        for (size_t i = 0; i < ops.size(); ++i)
            if ((ops[i].What == Kind::FillRect || ops[i].What == Kind::Gradient) &&
                ops[i].Draws(x, y))
                return static_cast<int>(i);
        return -1;
    }

    // ---- IKtCanvas -------------------------------------------------------------
    void SetPen(const TKtPen& pen) override { state_.pen = pen; }
    TKtPen Pen() const override { return state_.pen; }
    void SetBrush(TColor color) override { state_.brush = color; }
    TColor Brush() const override { return state_.brush; }
    void SetFont(const TFont& font) override { state_.font = font; }
    const TFont& Font() const override { return state_.font; }
    void Save() override { saved_.push_back(state_); }
    void Restore() override {
        if (saved_.empty()) return;
        state_ = saved_.back();
        saved_.pop_back();
    }
    int SaveDepth() const { return static_cast<int>(saved_.size()); }

    void IntersectClip(const TRect& rect) override {
        state_.clip.Bound = state_.clip.Bound.Intersect(rect);
    }
    void ExcludeClip(const TRect& rect) override { state_.clip.Excluded.push_back(rect); }

    void FillRect(const TRect& rect, TColor color) override {
        Op op = Make(Kind::FillRect);
        op.Rect = rect;
        op.Color = color;
        ops.push_back(op);
    }
    void FrameRect(const TRect& rect, TColor color) override {
        Op op = Make(Kind::FrameRect);
        op.Rect = rect;
        op.Color = color;
        ops.push_back(op);
    }
    void Line(int x1, int y1, int x2, int y2) override {
        Op op = Make(Kind::Line);
        op.Points = {{x1, y1}, {x2, y2}};
        ops.push_back(op);
    }
    void Polyline(const std::vector<TPoint>& points, bool closed) override {
        Op op = Make(Kind::Polyline);
        op.Points = points;
        op.Closed = closed;
        ops.push_back(op);
    }
    void Polygon(const std::vector<TPoint>& points) override {
        Op op = Make(Kind::Polygon);
        op.Points = points;
        op.Color = state_.brush;
        ops.push_back(op);
    }
    void GradientFillV(const TRect& rect, TColor top, TColor bottom) override {
        Op op = Make(Kind::Gradient);
        op.Rect = rect;
        op.Color = top;
        op.Color2 = bottom;
        ops.push_back(op);
    }
    void TextOut(int x, int y, WideStringView text, const TRect& clip) override {
        Op op = Make(Kind::Text);
        op.Points = {{x, y}};
        op.Text = WideString(text);
        op.Rect = clip;
        ops.push_back(op);
    }
    int TextWidth(WideStringView text) override { return measurer_.TextWidth(state_.font, text); }
    void BlendRect(const TRect& rect, TColor fill, TKtSelectionBlend mode, int alpha) override {
        Op op = Make(Kind::Blend);
        op.Rect = rect;
        op.Color = fill;
        op.Mode = mode;
        op.Alpha = alpha;
        ops.push_back(op);
    }
    void InvertRect(const TRect& rect) override {
        Op op = Make(Kind::Invert);
        op.Rect = rect;
        ops.push_back(op);
    }
    int PixelsPerInch() const override { return ppi; }
    int ppi = 96;

  private:
    struct State {
        TKtPen pen;
        TColor brush = clWhite;
        TFont font;
        Clip clip;
    };
    Op Make(Kind kind) const {
        Op op{};
        op.What = kind;
        op.Pen = state_.pen;
        op.Font = state_.font;
        op.ClipState = state_.clip;
        return op;
    }

    ITextMeasurer& measurer_;
    State state_;
    std::vector<State> saved_;
};

}  // namespace plu::testing
