#include "formats/excel/import_cell_format.h"

#include "base/color.h"
#include "base/screen.h"
#include "formats/biff8/formula_text.h"
#include "grid/number_format.h"

namespace plu {
namespace {

// Colour indexes with a meaning of their own in XF records.
constexpr uint8_t kSystemWindowIndex = 8;  // pattern colour: the window colour itself
constexpr uint8_t kAutomaticIndex = 64;    // border colour: the window-text colour

constexpr uint8_t kLastHorzAlign =
    static_cast<uint8_t>(TKtGridHorzAlign::haCenter_across_selection);
constexpr uint8_t kLastVertAlign = static_cast<uint8_t>(TKtGridVertAlign::vaJustify);

// FORMULA result layout: when the u16 at 12 is 0xFFFF the byte at 6 says
// what the result is and, for an error, the byte at 8 holds its code.
constexpr int kResultMarker = 12;
constexpr uint16_t kNonNumericResult = 0xFFFF;
constexpr uint8_t kErrorResult = 2;

}  // namespace

void ApplyXFToStyle(const TXFRecord& xf, const TFormatList& formats, const TPaletteRecord& palette,
                    TKtGridStyle& style) {
    const uint8_t pattern = xf.PatternColor();
    style.SetBgColor(pattern == kSystemWindowIndex ? clWindow : palette.ColorOfIndex(pattern));

    // A format string the grid's masks cannot compile would fail every time
    // the cell is painted; such a cell keeps the format it has.
    const WideString format = formats.FormatOfIndex(xf.FormatIndex());
    if (format.size() <= kMaxFormatStringLength) style.SetFormatString(format);

    // XF border slots 0-3 and the grid's edges 0-3 are both left, top,
    // right, bottom.
    for (int slot = 0; slot < 4; ++slot) {
        const uint8_t index = xf.BorderColor(slot);
        const TColor color = index == kAutomaticIndex ? clWindowText : palette.ColorOfIndex(index);
        style.SetBorder(slot, xf.BorderStyle(slot), color);
    }

    // Codes beyond the grid's enumerations (the three-bit fields hold up to
    // 7) leave that alignment as it was.
    if (xf.HorzAlign() <= kLastHorzAlign)
        style.SetHorzAlign(static_cast<TKtGridHorzAlign>(xf.HorzAlign()));
    if (xf.VertAlign() <= kLastVertAlign)
        style.SetVertAlign(static_cast<TKtGridVertAlign>(xf.VertAlign()));

    TKtCellOptions options = style.Options();
    if (xf.Locked()) options = options.With(TKtCellOption::gcoLocked);
    if (xf.Hidden()) options = options.With(TKtCellOption::gcoHidden);
    if (xf.Wrap()) options = options.With(TKtCellOption::gcoWrapText);
    if (xf.ShrinkToFit()) options = options.With(TKtCellOption::gcoShrinkToFit);
    if (!(options == style.Options())) style.SetOptions(options);
}

void ApplyFontRecord(const TFontRecord& record, const TPaletteRecord& palette, TFont& font) {
    TFont decoded(font);
    // The face name stays wide: narrowing it to the 8-bit code page would
    // turn a name such as "宋体" into question marks.
    decoded.SetName(record.Name());
    decoded.SetCharset(record.Charset());
    decoded.SetColor(palette.ColorOfIndex(record.ColorIndex()));
    decoded.SetHeight(-MulDiv(record.Height(), kPixelsPerInch, 1440));
    const uint8_t bits = record.Style();
    TFontStyles style;
    style = style.With(TFontStyle::fsBold, (bits & kFontBold) != 0);
    style = style.With(TFontStyle::fsItalic, (bits & kFontItalic) != 0);
    style = style.With(TFontStyle::fsStrikeOut, (bits & kFontStrikeOut) != 0);
    // Any underline kind (single, double, accounting) underlines.
    style = style.With(TFontStyle::fsUnderline, record.GetByte(10) != 0);
    decoded.SetStyle(style);
    font.Assign(decoded);
}

WideString FormulaErrorText(const TFormulaRecord& formula) {
    if (!formula.Holds(kResultMarker, 2) || formula.GetWord(kResultMarker) != kNonNumericResult ||
        formula.GetByte(6) != kErrorResult)
        return {};
    const char16_t* text = BiffErrorText(formula.GetByte(8));
    return text ? text : u"#VALUE!";
}

void SetCachedResult(const TFormulaRecord& formula, TKtValue& value) {
    switch (formula.ValueKind()) {
        case TXlsValueKind::vkNumber:
            value.SetAsFloat(formula.AsFloat());
            return;
        case TXlsValueKind::vkBoolean:
            value.SetAsBoolean(formula.GetValue().boolean);
            return;
        case TXlsValueKind::vkText: {
            const WideString error = FormulaErrorText(formula);
            value.SetAsString(error.empty() ? formula.AsText() : error);
            return;
        }
        case TXlsValueKind::vkBlank:
            break;
    }
    value.SetAsString(u"");
}

}  // namespace plu
