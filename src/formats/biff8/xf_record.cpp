#include "formats/biff8/xf_record.h"

namespace plu {
namespace {

uint32_t Mask(int shift, int width) { return ((1u << width) - 1u) << shift; }

// Where each border slot keeps its line style and colour index:
// (offset of the field, shift) for both.
struct BorderField {
    int styleOffset, styleShift;
    int colorOffset, colorShift;
};
constexpr BorderField kBorders[kBorderSlots] = {
    {10, 0, 10, 16},   // left
    {10, 8, 14, 0},    // top
    {10, 4, 10, 23},   // right
    {10, 12, 14, 7},   // bottom
    {14, 21, 14, 14},  // diagonal
    {14, 21, 14, 14},  // diagonal
};

}  // namespace

std::unique_ptr<TXFRecord> TXFRecord::Make(uint16_t fontIndex, uint8_t horzAlign, uint8_t vertAlign) {
    auto r = std::make_unique<TXFRecord>();
    r->Create(rid::XF, 20);
    r->SetFontIndex(fontIndex);
    r->SetHorzAlign(horzAlign);
    r->SetVertAlign(vertAlign);
    r->SetFillPattern(1);
    r->SetBackgroundColor(65);
    r->SetPatternColor(64);
    r->SetFormatIndex(0);
    r->SetByte(9, 0xFC);
    return r;
}

void TXFRecord::SetProtection(bool locked, bool hidden, uint16_t parent) {
    uint16_t w = static_cast<uint16_t>(GetWord(4) & 0x0004);
    if (locked) w |= 0x0001;
    if (hidden) w |= 0x0002;
    w = static_cast<uint16_t>(w | ((parent & 0x0FFF) << 4));
    SetWord(4, w);
}

uint8_t TXFRecord::PatternColor() const {
    uint8_t v = static_cast<uint8_t>(GetWord(18) & 0x7F);
    return v == 64 ? 65 : v;
}

uint8_t TXFRecord::BorderStyle(int slot) const {
    if (slot < 0 || slot >= kBorderSlots) return 0;
    const BorderField& f = kBorders[slot];
    return static_cast<uint8_t>((GetLong(f.styleOffset) >> f.styleShift) & 0x0F);
}

void TXFRecord::SetBorderStyle(int slot, uint8_t style) {
    if (slot < 0 || slot >= kBorderSlots) return;
    const BorderField& f = kBorders[slot];
    SetBits32(f.styleOffset, f.styleShift, 4, style);
}

uint8_t TXFRecord::BorderColor(int slot) const {
    if (slot < 0 || slot >= kBorderSlots) return 0;
    const BorderField& f = kBorders[slot];
    return static_cast<uint8_t>((GetLong(f.colorOffset) >> f.colorShift) & 0x7F);
}

void TXFRecord::SetBorderColor(int slot, uint8_t color) {
    if (slot < 0 || slot >= kBorderSlots) return;
    const BorderField& f = kBorders[slot];
    SetBits32(f.colorOffset, f.colorShift, 7, color);
}

void TXFRecord::SetBits8(int offset, int shift, int width, uint32_t value) {
    const uint32_t m = Mask(shift, width);
    SetByte(offset, static_cast<uint8_t>((GetByte(offset) & ~m) | ((value << shift) & m)));
}

void TXFRecord::SetBits16(int offset, int shift, int width, uint32_t value) {
    const uint32_t m = Mask(shift, width);
    SetWord(offset, static_cast<uint16_t>((GetWord(offset) & ~m) | ((value << shift) & m)));
}

void TXFRecord::SetBits32(int offset, int shift, int width, uint32_t value) {
    const uint32_t m = Mask(shift, width);
    SetLong(offset, (GetLong(offset) & ~m) | ((value << shift) & m));
}

}  // namespace plu
