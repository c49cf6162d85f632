#include "ui/qt_canvas.h"

#include <QImage>
#include <QPainterPath>

#include "ui/qt_convert.h"

namespace plu {

QtCanvas::QtCanvas(QPainter& painter, const QRegion& updateRegion) : painter_(painter) {
    state_.clip = updateRegion;
    ApplyClip();
    ApplyPen();
    painter_.setFont(ToQFont(state_.font));
}

void QtCanvas::ApplyClip() { painter_.setClipRegion(state_.clip); }

void QtCanvas::ApplyPen() {
    const TKtPen& p = state_.pen;
    if (p.Style == TKtPenStyle::psClear) {
        painter_.setPen(Qt::NoPen);
        return;
    }
    QPen pen(ToQColor(p.Color));
    pen.setWidth(p.Width < 1 ? 1 : p.Width);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    // Dashes and dots of the platform's cosmetic pens: 6 on 2 off, 1 on 1 off.
    if (p.Style == TKtPenStyle::psDash) pen.setDashPattern({6.0 / pen.width(), 2.0 / pen.width()});
    if (p.Style == TKtPenStyle::psDot) pen.setDashPattern({1.0 / pen.width(), 1.0 / pen.width()});
    painter_.setPen(pen);
}

void QtCanvas::SetPen(const TKtPen& pen) {
    if (pen == state_.pen) return;
    state_.pen = pen;
    ApplyPen();
}

void QtCanvas::SetFont(const TFont& font) {
    if (font.SameAs(state_.font) && font.Color() == state_.font.Color()) return;
    state_.font = font;
    painter_.setFont(ToQFont(font));
}

void QtCanvas::Save() { saved_.push_back(state_); }

void QtCanvas::Restore() {
    if (saved_.empty()) return;
    const bool clipChanged = saved_.back().clip != state_.clip;
    const bool fontChanged = !saved_.back().font.SameAs(state_.font);
    state_ = std::move(saved_.back());
    saved_.pop_back();
    if (clipChanged) ApplyClip();
    if (fontChanged) painter_.setFont(ToQFont(state_.font));
    ApplyPen();
}

void QtCanvas::IntersectClip(const TRect& rect) {
    state_.clip &= ToQRect(rect);
    ApplyClip();
}

void QtCanvas::ExcludeClip(const TRect& rect) {
    state_.clip -= ToQRect(rect);
    ApplyClip();
}

void QtCanvas::FillRect(const TRect& rect, TColor color) {
    if (rect.IsEmpty() || color == clNone) return;
    painter_.fillRect(ToQRect(rect), ToQColor(color));
}

void QtCanvas::FrameRect(const TRect& rect, TColor color) {
    if (rect.IsEmpty() || color == clNone) return;
    const QColor c = ToQColor(color);
    const QRect r = ToQRect(rect);
    painter_.fillRect(QRect(r.left(), r.top(), r.width(), 1), c);
    painter_.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), c);
    painter_.fillRect(QRect(r.left(), r.top(), 1, r.height()), c);
    painter_.fillRect(QRect(r.right(), r.top(), 1, r.height()), c);
}

void QtCanvas::Line(int x1, int y1, int x2, int y2) {
    if (state_.pen.Style == TKtPenStyle::psClear) return;
    const int w = state_.pen.Width < 1 ? 1 : state_.pen.Width;
    if (w == 1 && state_.pen.Style == TKtPenStyle::psSolid && (x1 == x2 || y1 == y2)) {
        // Axis-aligned solid hairlines as pixel runs: exact and fast.
        const QColor c = ToQColor(state_.pen.Color);
        if (y1 == y2) {
            if (x1 != x2) painter_.fillRect(QRect(x1 < x2 ? x1 : x2 + 1, y1, std::abs(x2 - x1), 1), c);
        } else {
            painter_.fillRect(QRect(x1, y1 < y2 ? y1 : y2 + 1, 1, std::abs(y2 - y1)), c);
        }
        return;
    }
    // Odd widths centre on the pixel row or column, as the platform's pens do.
    const double off = (w % 2) ? 0.5 : 0.0;
    painter_.drawLine(QLineF(x1 + off, y1 + off, x2 + off, y2 + off));
}

void QtCanvas::Polyline(const std::vector<TPoint>& points, bool closed) {
    if (points.size() < 2 || state_.pen.Style == TKtPenStyle::psClear) return;
    const int w = state_.pen.Width < 1 ? 1 : state_.pen.Width;
    const double off = (w % 2) ? 0.5 : 0.0;
    QPolygonF poly;
    poly.reserve(static_cast<qsizetype>(points.size()));
    for (const TPoint& p : points) poly << QPointF(p.X + off, p.Y + off);
    if (closed)
        painter_.drawPolygon(poly);
    else
        painter_.drawPolyline(poly);
}

void QtCanvas::Polygon(const std::vector<TPoint>& points) {
    if (points.size() < 3) return;
    QPolygon poly;
    for (const TPoint& p : points) poly << QPoint(p.X, p.Y);
    painter_.save();
    if (state_.brush != clNone)
        painter_.setBrush(ToQColor(state_.brush));
    else
        painter_.setBrush(Qt::NoBrush);
    painter_.drawPolygon(poly);
    painter_.restore();
}

void QtCanvas::GradientFillV(const TRect& rect, TColor top, TColor bottom) {
    if (rect.IsEmpty()) return;
    QLinearGradient g(0, rect.Top, 0, rect.Bottom);
    g.setColorAt(0, ToQColor(top));
    g.setColorAt(1, ToQColor(bottom));
    painter_.fillRect(ToQRect(rect), g);
}

void QtCanvas::TextOut(int x, int y, WideStringView text, const TRect& clip) {
    if (text.empty() || clip.IsEmpty()) return;
    QString s = ToQt(text);
    s.replace(QLatin1Char('\t'), QStringLiteral("        "));
    painter_.save();
    painter_.setClipRect(ToQRect(clip), Qt::IntersectClip);
    painter_.setPen(ToQColor(state_.font.Color()));
    const QFontMetrics fm(painter_.font());
    painter_.drawText(QPoint(x, y + fm.ascent()), s);
    painter_.restore();
}

int QtCanvas::TextWidth(WideStringView text) {
    return DefaultTextMeasurer().TextWidth(state_.font, text);
}

void QtCanvas::BlendRect(const TRect& rect, TColor fill, TKtSelectionBlend mode, int alpha) {
    if (rect.IsEmpty()) return;
    const QColor f = ToQColor(fill);
    if (mode == TKtSelectionBlend::AlphaBlend) {
        // pixel' = fill + (pixel - fill) * a / 255 is a source-over of the
        // fill with opacity 1 - a / 255.
        QColor c = f;
        c.setAlpha(255 - std::clamp(alpha, 0, 255));
        painter_.fillRect(ToQRect(rect), c);
    } else {
        painter_.save();
        painter_.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        painter_.fillRect(ToQRect(rect), f);
        painter_.restore();
    }
}

void QtCanvas::InvertRect(const TRect& rect) {
    if (rect.IsEmpty()) return;
    painter_.save();
    painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter_.fillRect(ToQRect(rect), Qt::white);
    painter_.restore();
}

void QtCanvas::DrawPicture(const TRect& rect, uint16_t type, const std::vector<uint8_t>& data) {
    (void)type;
    if (rect.IsEmpty() || data.empty()) return;
    QImage image;
    if (!image.loadFromData(data.data(), static_cast<int>(data.size()))) return;
    painter_.drawImage(ToQRect(rect), image);
}

}  // namespace plu
