// The paint overrides of the standard cell kinds. Each draws from the
// rectangle the painter gives it (the content rectangle) with the same
// geometry functions its mouse handling uses, so what the user sees is what
// a click hits. A paint reads the cell and changes nothing.
#include "base/color.h"
#include "grid/cell_drawing.h"
#include "grid/custom_grid.h"
#include "sheets/button_cells.h"
#include "sheets/cell_geometry.h"
#include "sheets/data_cells.h"
#include "sheets/data_grid.h"
#include "sheets/header_cell.h"
#include "sheets/kind_drawing.h"
#include "sheets/spin_cells.h"

namespace plu {

// ---- Button cells ----------------------------------------------------------------------

void TKtBaseComboCell::DrawContent(IKtCanvas& canvas, const TRect& rect, TPoint pos) const {
    if (!ShowsButton()) {
        TKtBaseEditCell::DrawContent(canvas, rect, pos);
        return;
    }
    const TRect button = plu::ButtonRect(CellPixels(rect), Metrics(), ComboSizedButton());
    TKtBaseEditCell::DrawContent(canvas, TextRectBesideButton(rect, button), pos);
    DrawButton(canvas, button);
}

void TKtBaseComboCell::DrawButton(IKtCanvas& canvas, const TRect& button) const {
    DrawComboButton(canvas, button, false);
}

void TKtBaseBtnCell::DrawButton(IKtCanvas& canvas, const TRect& button) const {
    DrawComboButton(canvas, button, Pressed() && Hot());
}

void TKtEllipsisBtnCell::DrawButton(IKtCanvas& canvas, const TRect& button) const {
    DrawEllipsisButton(canvas, button, Pressed() && Hot());
}

void TKtBaseSpinCell::DrawButton(IKtCanvas& canvas, const TRect& button) const {
    const bool held = Pressed() && Hot();
    DrawSpinButton(canvas, button, held && !LowerHalf(), held && LowerHalf());
}

// ---- Check box, radio box, image ---------------------------------------------------------

void TKtCheckBoxCell::DrawContent(IKtCanvas& canvas, const TRect& rect, TPoint) const {
    const TRect cell = CellPixels(rect);
    const TRect box = CheckBoxRect(cell, !caption_.empty());
    bool checked = false;
    try {
        checked = Checked();
    } catch (const Exception&) {
        // A formula whose result is no boolean shows the box unchecked.
    }
    DrawCheckBox(canvas, box, checked);
    if (caption_.empty()) return;
    const TRect text = CheckBoxCaptionRect(cell, box).Intersect(rect);
    if (text.IsEmpty()) return;
    const TKtGridStyle& align = EffectiveStyle(TKtStyleAttribute::Alignment);
    DrawText(canvas, text, false, align.VertAlign(), TKtGridHorzAlign::haLeft, caption_);
}

void TKtRadioBoxCell::DrawContent(IKtCanvas& canvas, const TRect& rect, TPoint) const {
    const TRect cell = CellPixels(rect);
    const std::vector<WideString> items = Choices();
    const int count = static_cast<int>(items.size());
    const int checked = CheckedIndex();
    for (int i = 0; i < count; ++i) {
        const TRect button = RadioButtonRect(cell, count, i);
        if (button.IsEmpty()) break;  // bands too low to hold anything
        DrawRadioButton(canvas, button, i == checked);
        const TRect text = RadioTextRect(cell, count, i).Intersect(rect);
        if (!text.IsEmpty())
            DrawText(canvas, text, false, TKtGridVertAlign::vaCenter, TKtGridHorzAlign::haLeft,
                     items[static_cast<size_t>(i)]);
    }
}

void TKtImageCell::DrawContent(IKtCanvas& canvas, const TRect& rect, TPoint) const {
    const TKtPicture* picture = Picture();
    if (!picture || picture->IsEmpty()) return;
    const TKtGridHorzAlign align = EffectiveStyle(TKtStyleAttribute::Alignment).HorzAlign();
    const TRect target = ImagePlacement(rect, PictureSize(*picture), align);
    TKtCanvasSaver saver(canvas);
    canvas.IntersectClip(rect);
    canvas.DrawPicture(target, picture->Type, picture->Data);
}

// ---- Header cells ---------------------------------------------------------------------------

void TKtDataHeaderCell2::DrawContent(IKtCanvas& canvas, const TRect& rect, TPoint pos) const {
    const int col = SortColumn();
    if (col >= 0) {
        const auto& grid = static_cast<const TKtCustomDataGrid&>(Grid());
        const TKtDataGridColumn* column = grid.FindColumn(col);
        const uint8_t state = column ? column->SortState() : kSortNone;
        if (state == kSortAscending || state == kSortDescending) {
            // Measured as the click test measures, so the arrow is where a click sorts.
            const int textWidth = Grid().Measurer().TextWidth(Font(), HeaderCaption());
            const TRect area = SortArrowArea(CellPixels(rect), textWidth);
            if (!area.IsEmpty())
                DrawSortArrow(canvas, SortArrowRect(area), state == kSortAscending);
        }
    }
    TKwProFixedCell::DrawContent(canvas, rect, pos);
}

}  // namespace plu
