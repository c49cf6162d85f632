#include "grid/grid_painter.h"

#include <algorithm>

#include "base/screen.h"
#include "grid/cell.h"
#include "grid/cell_drawing.h"
#include "grid/custom_grid.h"
#include "grid/grid_selection.h"
#include "grid/text_layout.h"

namespace plu {

namespace {

// The selection tint and the header gradient are tints of a base colour.
constexpr int kSelectionTint = 86;
constexpr TColor kFrameColor = clBlack;

TColor Resolved(TColor c) {
    return c == clNone ? clNone : ColorToRGB(c);
}

}  // namespace

TColor TintColor(TColor color, int percent) {
    TColor c = ColorToRGB(color);
    if ((c & 0xFFFFFF) == 0xFFFFFF) c = clBlack;
    const int p = std::clamp(percent, 0, 100);
    auto channel = [p](int v) { return v + ((255 - v) * p + 50) / 100; };
    return RGB(channel(GetRValue(c)), channel(GetGValue(c)), channel(GetBValue(c)));
}

bool BorderPen(uint8_t lineStyle, TColor color, int pixelsPerInch, TKtPen& pen) {
    pen.Color = color == clNone ? clBlack : color;
    pen.Style = TKtPenStyle::psSolid;
    // Thin, medium and thick keep the ratio 8 : 16 : 32 on other devices.
    auto solid = [&](int screenWidth, int eighths) {
        return pixelsPerInch == kPixelsPerInch
                   ? screenWidth
                   : std::max(1, MulDiv(eighths, pixelsPerInch, 8 * kPixelsPerInch));
    };
    switch (lineStyle & 0x7F) {
        case 1:
            pen.Width = solid(1, 8);
            return true;
        case 2:
            pen.Width = solid(2, 16);
            return true;
        case 3:
            pen.Width = 1;
            pen.Style = TKtPenStyle::psDash;
            return true;
        case 4:
            pen.Width = 1;
            pen.Style = TKtPenStyle::psDot;
            return true;
        case 5:
            pen.Width = solid(3, 32);
            return true;
        default:
            return false;
    }
}

void DrawCellBorders(IKtCanvas& canvas, const TRect& r, const std::array<uint8_t, 10>& lines,
                     const std::array<TColor, 10>& colors) {
    // The sides run on the grid lines around the cell: the left and top
    // neighbours' last pixels and the cell's own last pixels.
    const int L = r.Left - 1, T = r.Top - 1, R = r.Right - 1, B = r.Bottom - 1;
    const int midX = (L + R) / 2, midY = (T + B) / 2;
    const int ppi = canvas.PixelsPerInch();
    bool any = false;
    for (uint8_t l : lines)
        any = any || (l & 0x7F) != 0;
    if (!any) return;
    TKtCanvasSaver saver(canvas);
    TKtPen pens[10];
    bool drawn[10];
    for (int e = 0; e < 10; ++e)
        drawn[e] = BorderPen(lines[e], colors[e], ppi, pens[e]);

    // Edges 0 ... 3 as paths: (L,B) -> (L,T) -> (R,T) -> (R,B) -> (L,B).
    const TPoint corners[5] = {{L, B}, {L, T}, {R, T}, {R, B}, {L, B}};
    if (drawn[0] && drawn[1] && drawn[2] && drawn[3] && pens[0] == pens[1] && pens[1] == pens[2] &&
        pens[2] == pens[3]) {
        canvas.SetPen(pens[0]);
        canvas.Polyline({corners[0], corners[1], corners[2], corners[3]}, true);
    } else {
        int e = 0;
        while (e < 4) {
            if (!drawn[e]) {
                ++e;
                continue;
            }
            int last = e;
            while (last + 1 < 4 && drawn[last + 1] && pens[last + 1] == pens[e])
                ++last;
            std::vector<TPoint> path(corners + e, corners + last + 2);
            canvas.SetPen(pens[e]);
            canvas.Polyline(path);
            e = last + 1;
        }
    }
    const TPoint diagonals[6][2] = {{{L, T}, {R, B}},    {{L, B}, {R, T}},    {{L, T}, {R, midY}},
                                    {{L, T}, {midX, B}}, {{L, B}, {midX, T}}, {{L, B}, {R, midY}}};
    for (int e = 4; e < 10; ++e) {
        if (!drawn[e]) continue;
        canvas.SetPen(pens[e]);
        const auto& d = diagonals[e - 4];
        canvas.Line(d[0].X, d[0].Y, d[1].X, d[1].Y);
    }
}

TKtSelectionFrame SelectionFrame(const TRect& r, bool fillHandle) {
    TKtSelectionFrame f;
    const TRect outer = r.Inflated(1);
    const TRect inner = r.Inflated(-2);
    f.Bands = {{outer.Left, outer.Top, outer.Right, inner.Top},
               {outer.Left, inner.Bottom, outer.Right, outer.Bottom},
               {outer.Left, inner.Top, inner.Left, inner.Bottom},
               {inner.Right, inner.Top, outer.Right, inner.Bottom}};
    if (fillHandle) {
        const int cx = r.Right - 1, cy = r.Bottom - 1;
        f.Handle = {cx - 2, cy - 2, cx + 3, cy + 3};
        f.Gap = f.Handle.Inflated(1);
    }
    return f;
}

// ---- TKtGridPainter ------------------------------------------------------------------

TKtGridPainter::TKtGridPainter(const TKtCustomGrid& grid, IKtCanvas& canvas, bool focused)
    : grid_(grid), canvas_(canvas), focused_(focused) {}

TKtGridPainter::Band TKtGridPainter::MakeBand(bool columns, int first, int last, int start,
                                              bool fixed) const {
    Band band;
    band.start = band.end = start;
    band.fixed = fixed;
    const int limit = columns ? grid_.ClientWidth() : grid_.ClientHeight();
    int pos = start;
    for (int i = first; i <= last && pos < limit; ++i) {
        const int size = columns ? grid_.ColWidths(i) : grid_.RowHeights(i);
        band.slots.push_back({i, pos, size});
        pos += size;
    }
    band.end = pos;
    return band;
}

TKtGridPainter::Band TKtGridPainter::Touching(const Band& band, int lo, int hi) {
    Band out;
    out.fixed = band.fixed;
    for (const Slot& s : band.slots)
        if (s.size > 0 && s.pos < hi && s.pos + s.size > lo) out.slots.push_back(s);
    if (!out.slots.empty()) {
        out.start = out.slots.front().pos;
        out.end = out.slots.back().pos + out.slots.back().size;
    }
    return out;
}

bool TKtGridPainter::SelectionShown() const {
    return focused_ || grid_.HasOption(TGridOption::goAlwaysShowSelection);
}

void TKtGridPainter::Paint(const TRect& update) {
    const TRect client{0, 0, grid_.ClientWidth(), grid_.ClientHeight()};
    update_ = update.Intersect(client);
    if (update_.IsEmpty()) return;
    TKtCanvasSaver saver(canvas_);
    canvas_.IntersectClip(update_);

    const int fixedCols = std::min(grid_.FixedColCount(), grid_.ColCount());
    const int fixedRows = std::min(grid_.FixedRowCount(), grid_.RowCount());
    const int lockCol = std::min(grid_.ViewLockCol(), grid_.ColCount());
    const int lockRow = std::min(grid_.ViewLockRow(), grid_.RowCount());

    // The screen's bands; only visible columns and rows are walked.
    const Band fixedC = MakeBand(true, 0, fixedCols - 1, 0, true);
    const Band frozenC = MakeBand(true, fixedCols, lockCol - 1, fixedC.end, false);
    const Band scrolledC = MakeBand(true, std::max(grid_.LeftCol(), lockCol), grid_.ColCount() - 1,
                                    frozenC.end, false);
    const Band fixedR = MakeBand(false, 0, fixedRows - 1, 0, true);
    const Band frozenR = MakeBand(false, fixedRows, lockRow - 1, fixedR.end, false);
    const Band scrolledR = MakeBand(false, std::max(grid_.TopRow(), lockRow), grid_.RowCount() - 1,
                                    frozenR.end, false);

    // 1. The body, area by area.
    PaintArea(frozenC, frozenR);
    PaintArea(scrolledC, frozenR);
    PaintArea(frozenC, scrolledR);
    PaintArea(scrolledC, scrolledR);
    // 2. Header rows, header columns, the corner.
    PaintArea(frozenC, fixedR);
    PaintArea(scrolledC, fixedR);
    PaintArea(fixedC, frozenR);
    PaintArea(fixedC, scrolledR);
    PaintArea(fixedC, fixedR);
    // 3. The selection frame over everything.
    PaintSelectionFrame(frozenC.end, frozenR.end);
    PaintCommentBox();

    // 4. BgColor right of the last column and below the last row.
    auto lastEnd = [](const Band& a, const Band& b, const Band& c, int count, int limit) {
        for (const Band* band : {&c, &b, &a})
            if (!band->slots.empty())
                return band->slots.back().index == count - 1 ? band->end : limit;
        return 0;
    };
    const int right = lastEnd(fixedC, frozenC, scrolledC, grid_.ColCount(), client.Right);
    const int bottom = lastEnd(fixedR, frozenR, scrolledR, grid_.RowCount(), client.Bottom);
    const TColor bg = Resolved(grid_.BgColor());
    if (right < client.Right) canvas_.FillRect({right, 0, client.Right, client.Bottom}, bg);
    if (bottom < client.Bottom)
        canvas_.FillRect({0, bottom, std::min(right, client.Right), client.Bottom}, bg);
}

void TKtGridPainter::PaintArea(const Band& allCols, const Band& allRows) {
    const Band cols = Touching(allCols, update_.Left, update_.Right);
    const Band rows = Touching(allRows, update_.Top, update_.Bottom);
    if (cols.slots.empty() || rows.slots.empty()) return;
    const bool header = cols.fixed || rows.fixed;
    const TRect areaPixels =
        TRect{allCols.start, allRows.start, allCols.end, allRows.end}.Intersect(update_);
    if (areaPixels.IsEmpty()) return;
    const TRect cells{cols.slots.front().index, rows.slots.front().index,
                      cols.slots.back().index + 1, rows.slots.back().index + 1};

    std::vector<Merged> merged;
    for (const TUnion& u : grid_.MergedAreas().Areas())
        if (u.Rect.Intersects(cells)) merged.push_back({u.Rect, grid_.CellsToPixels(u.Rect)});

    TKtCanvasSaver saver(canvas_);
    canvas_.IntersectClip(areaPixels);

    // Grid lines, kept out of the merged areas' interiors.
    {
        TKtCanvasSaver lines(canvas_);
        for (const Merged& m : merged)
            canvas_.ExcludeClip(ContentRect(m.pixels));
        TColor color;
        if (header)
            color = grid_.FixedCellStyle().GridLineColor();
        else
            color = grid_.ShowGridLine() ? grid_.GridLineColor() : grid_.Color();
        canvas_.SetPen({Resolved(color), 1, TKtPenStyle::psSolid});
        for (const Slot& c : cols.slots)
            canvas_.Line(c.pos + c.size - 1, rows.start, c.pos + c.size - 1, rows.end);
        for (const Slot& r : rows.slots)
            canvas_.Line(cols.start, r.pos + r.size - 1, cols.end, r.pos + r.size - 1);
    }

    // Cells; a merged area once, through its anchor.
    for (const Slot& r : rows.slots)
        for (const Slot& c : cols.slots) {
            bool covered = false;
            for (const Merged& m : merged)
                covered = covered || m.cells.Contains(c.index, r.index);
            if (!covered)
                PaintCell(c.index, r.index, {c.pos, r.pos, c.pos + c.size, r.pos + r.size}, header,
                          merged);
        }
    for (const Merged& m : merged)
        PaintCell(m.cells.Left, m.cells.Top, m.pixels, header, merged);

    PaintBorders(cols, rows, merged);
    if (!header)
        PaintSelectionTint({allCols.slots.front().index, allRows.slots.front().index,
                            allCols.slots.back().index + 1, allRows.slots.back().index + 1},
                           areaPixels);
}

void TKtGridPainter::PaintCell(int col, int row, const TRect& pixels, bool header,
                               const std::vector<Merged>&) {
    const TRect content = ContentRect(pixels);
    if (content.IsEmpty()) return;
    const TKtCell* cell = grid_.FindCell(col, row);
    const TKtGridSelection& sel = grid_.Selection();
    uint32_t state = 0;
    if (header) state |= gdFixed;
    if (!header && sel.Rect().Contains(col, row)) state |= gdSelected;
    if (sel.Current() == TPoint{col, row}) state |= gdFocused;
    bool doDefault = true;
    if (grid_.OnDrawCell)
        grid_.OnDrawCell(const_cast<TKtCustomGrid&>(grid_), col, row, content, state, doDefault);
    if (!doDefault) return;

    TKtCanvasSaver saver(canvas_);
    canvas_.IntersectClip(content);
    if (header) {
        const TKtFixedCellStyle& fixed = grid_.FixedCellStyle();
        if (fixed.ShowGradient())
            canvas_.GradientFillV(content, TintColor(fixed.BgColor(), fixed.GradientStart()),
                                  TintColor(fixed.BgColor(), fixed.GradientStop()));
        else
            canvas_.FillRect(content, Resolved(fixed.BgColor()));
    } else {
        TColor bg = grid_.CellBackground(col, row);
        canvas_.FillRect(content, Resolved(bg == clNone ? grid_.Color() : bg));
    }
    if (cell) {
        cell->Paint(canvas_, content);
    } else {
        canvas_.SetFont(CellPaintFont(grid_, nullptr, {col, row}));
        canvas_.SetBrush(clNone);
        if (header) {
            const WideString text = grid_.HeaderText(col, row);
            if (!text.empty()) {
                const TKtFixedCellStyle& fixed = grid_.FixedCellStyle();
                DrawLayoutText(canvas_, grid_.Measurer(), content, false, fixed.VertAlign(),
                               fixed.HorzAlign(), text);
            }
        } else {
            DrawPositionContent(grid_, nullptr, canvas_, content, {col, row});
        }
    }
    if (cell && !cell->Comment().empty()) DrawCommentMark(canvas_, content);
}

void TKtGridPainter::PaintBorders(const Band& cols, const Band& rows,
                                  const std::vector<Merged>& merged) {
    auto draw = [&](int col, int row, const TRect& pixels) {
        const TKtCell* cell = grid_.FindCell(col, row);
        const TKtGridStyle& style =
            grid_.EffectiveStyle(col, row, TKtStyleAttribute::Borders, cell);
        std::array<uint8_t, 10> lines{};
        std::array<TColor, 10> colors{};
        for (int e = 0; e < 10; ++e) {
            lines[static_cast<size_t>(e)] = style.BorderLine(e);
            colors[static_cast<size_t>(e)] = Resolved(style.BorderColor(e));
        }
        DrawCellBorders(canvas_, pixels, lines, colors);
    };
    for (const Slot& r : rows.slots)
        for (const Slot& c : cols.slots) {
            bool covered = false;
            for (const Merged& m : merged)
                covered = covered || m.cells.Contains(c.index, r.index);
            if (!covered) draw(c.index, r.index, {c.pos, r.pos, c.pos + c.size, r.pos + r.size});
        }
    for (const Merged& m : merged)
        draw(m.cells.Left, m.cells.Top, m.pixels);
}

void TKtGridPainter::PaintSelectionTint(const TRect& areaCells, const TRect& areaPixels) {
    const TKtGridSelection& sel = grid_.Selection();
    if (!SelectionShown() || sel.Rect().IsEmpty()) return;
    // Only the selected cells this area shows: columns or rows scrolled out
    // of view have no pixels here.
    const TRect part = sel.Rect().Intersect(areaCells);
    if (part.IsEmpty()) return;
    TRect px = grid_.CellsToPixels(part);
    // The selection's own outer grid lines stay clear; where it goes on into
    // the next area the tint reaches the area's edge.
    if (part.Right == sel.Rect().Right) --px.Right;
    if (part.Bottom == sel.Rect().Bottom) --px.Bottom;
    const TRect tinted = px.Intersect(areaPixels);
    if (tinted.IsEmpty()) return;
    const TPoint cur = sel.Current();
    TKtCanvasSaver saver(canvas_);
    // The current cell stays clear.
    canvas_.ExcludeClip(ContentRect(grid_.CellRect(cur.X, cur.Y)));
    TColor fill = TintColor(grid_.SelectColor(), kSelectionTint);
    if (sel.AlphaBlend || sel.TransparentColor) {
        if (sel.TransparentColor) fill = Resolved(sel.TransparentColorValue);
        canvas_.BlendRect(tinted, fill, TKtSelectionBlend::AlphaBlend, sel.AlphaBlendValue);
    } else {
        canvas_.BlendRect(tinted, fill, TKtSelectionBlend::AndPattern, 255);
    }
}

void TKtGridPainter::PaintSelectionFrame(int scrolledX, int scrolledY) {
    const TKtGridSelection& sel = grid_.Selection();
    if (!SelectionShown() || sel.HideBorder || !sel.ShowFrame || sel.Rect().IsEmpty()) return;
    const TRect& r = sel.Rect();
    // A selection wholly scrolled out of view (left of LeftCol or above
    // TopRow, past the frozen panes) has no frame on screen.
    if ((r.Left >= grid_.ViewLockCol() && r.Right <= grid_.LeftCol()) ||
        (r.Top >= grid_.ViewLockRow() && r.Bottom <= grid_.TopRow()))
        return;
    const TRect px = grid_.CellsToPixels(r);
    const TKtSelectionFrame frame = SelectionFrame(px, sel.ShowFillHandle);
    TKtCanvasSaver saver(canvas_);
    // A selection in the scrolled part keeps its frame off the frozen and
    // header areas (its left or top band would reach into them).
    const int far = INT32_MAX / 2;
    if (sel.Rect().Left >= grid_.ViewLockCol()) canvas_.IntersectClip({scrolledX, 0, far, far});
    if (sel.Rect().Top >= grid_.ViewLockRow()) canvas_.IntersectClip({0, scrolledY, far, far});
    {
        TKtCanvasSaver bands(canvas_);
        if (!frame.Gap.IsEmpty()) canvas_.ExcludeClip(frame.Gap);
        for (const TRect& b : frame.Bands)
            canvas_.FillRect(b, kFrameColor);
    }
    if (!frame.Handle.IsEmpty()) canvas_.FillRect(frame.Handle, kFrameColor);
}

void TKtGridPainter::PaintCommentBox() {
    const TPoint m = grid_.MouseCell();
    if (m.X < 0 || m.Y < 0) return;
    const TKtCell* cell = grid_.FindCell(m.X, m.Y);
    if (!cell || cell->Comment().empty()) return;
    const TRect area = grid_.CommentBoxRect(m.X, m.Y);
    if (!area.Intersects(update_)) return;
    const TRect c = grid_.CellRect(m.X, m.Y);
    const TRect box = grid_.CommentBox(m.X, m.Y);
    TKtCanvasSaver saver(canvas_);
    canvas_.FillRect({box.Left + 2, box.Top + 2, box.Right + 2, box.Bottom + 2}, clBlack);
    canvas_.FillRect(box, ColorToRGB(clInfoBk));
    canvas_.FrameRect(box, clBlack);
    canvas_.SetPen({clBlack, 1, TKtPenStyle::psSolid});
    canvas_.Line(c.Right, c.Top, box.Left, box.Top);
    TFont font = grid_.Font();
    font.SetColor(ColorToRGB(clInfoText));
    canvas_.SetFont(font);
    DrawLayoutText(canvas_, grid_.Measurer(),
                   {box.Left + 1, box.Top + 2, box.Right - 1, box.Bottom - 2}, true,
                   TKtGridVertAlign::vaTop, TKtGridHorzAlign::haLeft, cell->Comment());
}

void PaintGrid(const TKtCustomGrid& grid, IKtCanvas& canvas, const TRect& update, bool focused) {
    TKtGridPainter(grid, canvas, focused).Paint(update);
}

}  // namespace plu
