// XF records: a 20-byte body.
//   u16 at 0   font index
//   u16 at 2   format index
//   u16 at 4   bit 0 locked, bit 1 hidden, bit 2 style XF, bits 4-15 parent XF
//   byte at 6  bits 0-2 horizontal alignment, bit 3 wrap, bits 4-6 vertical alignment
//   byte at 8  bits 0-3 indent, bit 4 shrink to fit
//   byte at 9  attribute-used flags (bits 2-7)
//   u32 at 10  line styles: left bits 0-3, right 4-7, top 8-11, bottom 12-15;
//              colour indexes: left bits 16-22, right 23-29
//   u32 at 14  colour indexes: top bits 0-6, bottom 7-13, diagonal 14-20;
//              diagonal line style bits 21-24; fill pattern bits 26-31
//   u16 at 18  pattern colour index bits 0-6, background colour index bits 7-13
#pragma once

#include <cstdint>
#include <memory>

#include "formats/biff8/xls_record.h"

namespace plu {

// Border slots: 0 left, 1 top, 2 right, 3 bottom; 4 and 5 are both the diagonal.
inline constexpr int kBorderSlots = 6;

class TXFRecord : public TXlsRecord {
public:
    // 20 zero bytes, then: font index, horizontal and vertical alignment,
    // fill pattern 1, background colour 65, pattern colour 64, format 0, and
    // all six attribute-used flags (0xFC at offset 9).
    static std::unique_ptr<TXFRecord> Make(uint16_t fontIndex, uint8_t horzAlign, uint8_t vertAlign);

    uint16_t FontIndex() const { return GetWord(0); }
    void SetFontIndex(uint16_t v) { SetWord(0, v); }
    uint16_t FormatIndex() const { return GetWord(2); }
    void SetFormatIndex(uint16_t v) { SetWord(2, v); }

    bool Locked() const { return GetWord(4) & 0x0001; }
    bool Hidden() const { return GetWord(4) & 0x0002; }
    uint16_t Parent() const { return GetWord(4) >> 4; }
    // Protection and parent: the whole word at 4 (bits 0-1 and 4-15; bit 2 kept).
    void SetProtection(bool locked, bool hidden, uint16_t parent);

    uint8_t HorzAlign() const { return GetByte(6) & 0x07; }
    void SetHorzAlign(uint8_t v) { SetBits8(6, 0, 3, v); }
    uint8_t VertAlign() const { return (GetByte(6) >> 4) & 0x07; }
    void SetVertAlign(uint8_t v) { SetBits8(6, 4, 3, v); }
    bool Wrap() const { return GetByte(6) & 0x08; }
    void SetWrap(bool v) { SetBits8(6, 3, 1, v ? 1 : 0); }
    uint8_t Indent() const { return GetByte(8) & 0x0F; }
    void SetIndent(uint8_t v) { SetBits8(8, 0, 4, v); }
    bool ShrinkToFit() const { return GetByte(8) & 0x10; }
    void SetShrinkToFit(bool v) { SetBits8(8, 4, 1, v ? 1 : 0); }
    uint8_t UsedAttributes() const { return GetByte(9); }

    uint8_t FillPattern() const { return static_cast<uint8_t>(GetLong(14) >> 26); }
    void SetFillPattern(uint8_t v) { SetBits32(14, 26, 6, v); }
    // A stored 64 (automatic) reads as 65.
    uint8_t PatternColor() const;
    void SetPatternColor(uint8_t v) { SetBits16(18, 0, 7, v); }
    uint8_t BackgroundColor() const { return static_cast<uint8_t>((GetWord(18) >> 7) & 0x7F); }
    void SetBackgroundColor(uint8_t v) { SetBits16(18, 7, 7, v); }

    // Line style (4 bits) and colour index (7 bits) of border slot 0 to 5.
    uint8_t BorderStyle(int slot) const;
    void SetBorderStyle(int slot, uint8_t style);
    uint8_t BorderColor(int slot) const;
    void SetBorderColor(int slot, uint8_t color);

private:
    // Replace `width` bits at `shift` of the field with value.
    void SetBits8(int offset, int shift, int width, uint32_t value);
    void SetBits16(int offset, int shift, int width, uint32_t value);
    void SetBits32(int offset, int shift, int width, uint32_t value);
};

}  // namespace plu
