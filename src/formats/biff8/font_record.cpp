#include "formats/biff8/font_record.h"

#include "base/screen.h"
#include "formats/biff8/xls_string.h"

namespace plu {

std::unique_ptr<TFontRecord> TFontRecord::Make(WideStringView name) {
    auto r = std::make_unique<TFontRecord>();
    r->Create(rid::FONT, 14);
    r->SetWord(6, 400);
    r->SetName(name);
    return r;
}

void TFontRecord::SetHeight(uint16_t twips) {
    SetWord(0, twips);
    Changed();
}

void TFontRecord::SetColorIndex(uint16_t index) { SetWord(4, index); }

void TFontRecord::SetCharset(uint8_t charset) {
    SetByte(12, charset);
    Changed();
}

uint8_t TFontRecord::Style() const {
    uint8_t s = 0;
    const uint16_t options = GetWord(2);
    if (GetWord(6) == 700) s |= kFontBold;
    if (options & 0x02) s |= kFontItalic;
    if (options & 0x08) s |= kFontStrikeOut;
    const uint16_t esc = GetWord(8);
    if (esc == 1) s |= kFontSuperscript;
    if (esc == 2) s |= kFontSubscript;
    return s;
}

void TFontRecord::SetStyle(uint8_t style) {
    SetWord(6, (style & kFontBold) ? 700 : 400);
    uint16_t options = 0;
    if (style & kFontBold) options |= 0x01;
    if (style & kFontItalic) options |= 0x02;
    if (style & kFontStrikeOut) options |= 0x08;
    SetWord(2, options);
    Changed();
}

uint8_t TFontRecord::Underline() const {
    switch (GetByte(10)) {
        case 0x01: return 1;
        case 0x02: return 2;
        case 0x21: return 3;
        case 0x22: return 4;
        default: return 0;
    }
}

void TFontRecord::SetUnderline(uint8_t kind) {
    static constexpr uint8_t kCodes[] = {0x00, 0x01, 0x02, 0x21, 0x22};
    if (kind > 4) return;
    SetByte(10, kCodes[kind]);
    Changed();
}

WideString TFontRecord::Name() const { return ReadXlsStringText(*this, 14, 1); }

void TFontRecord::SetName(WideStringView name) {
    const int n = EncodedXlsStringSize(name, 1);
    Resize(14 + n);
    EncodeXlsStringInto(name, 1, MutableBody().data() + 14);
    Changed();
}

const TFont& TFontRecord::FontHandle() const {
    if (font_) return *font_;
    auto font = std::make_unique<TFont>();
    // Whole points first (the twips are divided by 20 with truncation).
    font->SetHeight(-MulDiv(Height() / 20, kPixelsPerInch, 72));
    TFontStyles style;
    if (GetWord(6) == 700) style = style.With(TFontStyle::fsBold);
    if (GetWord(2) & 0x02) style = style.With(TFontStyle::fsItalic);
    if (GetWord(2) & 0x08) style = style.With(TFontStyle::fsStrikeOut);
    if (GetByte(10) == 0x01) style = style.With(TFontStyle::fsUnderline);
    font->SetStyle(style);
    font->SetCharset(GetByte(12));
    // The face name stays wide: narrowing it to the 8-bit code page would
    // turn "宋体" into "??" and measure a different font.
    WideString name = Name();
    if (name.size() > 31) name.resize(31);
    font->SetName(name);
    font_ = std::move(font);
    return *font_;
}

}  // namespace plu
