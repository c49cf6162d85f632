#include "grid/cell_drawing.h"

#include "grid/cell.h"
#include "grid/custom_grid.h"
#include "grid/text_layout.h"

namespace plu {

TFont CellPaintFont(const TKtCustomGrid& grid, const TKtCell* cell, TPoint pos) {
    TFont font;
    const TKtGridColumn* column = grid.FindColumn(pos.X);
    if (column && column->UseColumnFont())
        font = column->Font();
    else
        font = cell ? cell->Font() : grid.Font();
    if (grid.OnCellGetFont) grid.OnCellGetFont(const_cast<TKtCustomGrid&>(grid), pos, font);
    return font;
}

TKtGridHorzAlign ResolvedAlignment(TKtGridHorzAlign align, bool isNumber) {
    if (align != TKtGridHorzAlign::haGeneral) return align;
    return isNumber ? TKtGridHorzAlign::haRight : TKtGridHorzAlign::haLeft;
}

void DrawLayoutText(IKtCanvas& canvas, ITextMeasurer& measurer, const TRect& rect, bool wrap,
                    TKtGridVertAlign vertAlign, TKtGridHorzAlign horzAlign, WideStringView text) {
    const TextLayout layout =
        LayoutText(measurer, canvas.Font(), {rect.Left, rect.Top, rect.Right, rect.Bottom}, wrap,
                   vertAlign, horzAlign, text, canvas.PixelsPerInch());
    for (const LayoutLine& line : layout.Lines) {
        const TRect band{layout.Clip.Left, line.Top, layout.Clip.Right, line.Bottom};
        canvas.TextOut(line.X, line.Top, line.Text, band);
    }
}

void DrawPositionContent(const TKtCustomGrid& grid, const TKtCell* cell, IKtCanvas& canvas,
                         const TRect& rect, TPoint pos) {
    TColor color = clNone;
    WideString text;
    if (cell) {
        text = cell->GetDisplayText(color);
        if (!grid.RaiseDrawCellText(*cell, canvas, rect, text)) return;
    } else {
        grid.RaiseGetCellText(pos, true, text);
    }
    if (text.empty()) return;
    const TKtGridStyle& align =
        grid.EffectiveStyle(pos.X, pos.Y, TKtStyleAttribute::Alignment, cell);
    const bool wrap = cell ? cell->IsWordWrap(align)
                           : grid.HasOptionEx(TGridOptionEx::goWrapText) || align.WrapText();
    if (color != clNone) {
        TFont font = canvas.Font();
        font.SetColor(color);
        canvas.SetFont(font);
    }
    const TKtGridHorzAlign horz = ResolvedAlignment(align.HorzAlign(), cell && cell->IsNumber());
    if (cell)
        cell->DrawText(canvas, rect, wrap, align.VertAlign(), horz, text);
    else
        DrawLayoutText(canvas, grid.Measurer(), rect, wrap, align.VertAlign(), horz, text);
}

void DrawCommentMark(IKtCanvas& canvas, const TRect& rect) {
    constexpr int kSize = 5;
    if (rect.Width() < kSize || rect.Height() < kSize) return;
    TKtCanvasSaver saver(canvas);
    canvas.SetPen({clRed, 1, TKtPenStyle::psSolid});
    canvas.SetBrush(clRed);
    const int right = rect.Right - 1;
    canvas.Polygon(
        {{right - kSize + 1, rect.Top}, {right, rect.Top}, {right, rect.Top + kSize - 1}});
}

}  // namespace plu
