#include "formats/excel/export_cell_format.h"

#include "grid/grid_style.h"

namespace plu {

TVxStyleSources SameStyle(const TKtGridStyle& style) {
    return {&style, &style, &style, &style, &style};
}

TVxCellFormat BuildCellFormat(TVxWorkbook& book, const TVxStyleSources& styles, const TFont& font,
                              bool gridLines) {
    TVxCellFormat f;
    f.Font = &font;
    f.FillColor = styles.Fill->BgColor();
    f.HorzAlign = static_cast<uint8_t>(styles.Alignment->HorzAlign());
    f.VertAlign = static_cast<uint8_t>(styles.Alignment->VertAlign());
    f.Options = styles.Fill->Options().bits;
    const TKtCellOptions protection = styles.Protection->Options();
    const TKtCellOptions alignment = styles.Alignment->Options();
    f.Locked = protection.Has(TKtCellOption::gcoLocked);
    f.Hidden = protection.Has(TKtCellOption::gcoHidden);
    f.Wrap = alignment.Has(TKtCellOption::gcoWrapText);
    // The grid keeps no shrink-to-fit in the written formats.
    f.Shrink = false;
    f.Reserved = 0;
    // The grid has no indent of its own; the style's export attribute is
    // what the export reads as the indent level.
    f.Indent = styles.Alignment->ExportAttribute();
    f.Parent = 0;
    for (int slot = 0; slot < 6; ++slot) {
        const TColor color = styles.Borders->BorderColor(slot);
        f.BorderColors[static_cast<size_t>(slot)] = color == clNone ? 0 : color;
        uint8_t line = styles.Borders->BorderLine(slot);
        if (gridLines && line == 0) line = 1;
        f.BorderStyles[static_cast<size_t>(slot)] = line;
    }
    const uint16_t gridFormat = styles.Format->FormatIndex();
    f.FormatIndex = gridFormat == 0 ? 0 : book.FormatIndexOf(styles.Format->FormatString());
    return f;
}

}  // namespace plu
