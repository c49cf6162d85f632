// The colour palette of a workbook: the PALETTE record (colour count u16 at
// 0, then R, G, B, 0 per colour) holding the colour indexes 8 to 63. Colours
// here are RGB values 0x00BBGGRR (system colours resolved).
//
// Colour indexes: 0-7 the fixed colours (black, white, red, green, blue,
// yellow, magenta, cyan); 8-63 the palette; 64 and 0x7FFF the window text
// colour; 65 the window colour.
#pragma once

#include <bitset>
#include <cstdint>
#include <memory>

#include "base/color.h"
#include "formats/biff8/xls_record.h"

namespace plu {

class TPaletteRecord : public TXlsRecord {
public:
    static constexpr int kEntries = 56;     // colour indexes 8 to 63
    static constexpr int kMaxEntry = 55;

    // A PALETTE record with the default 56 colours of the format.
    static std::unique_ptr<TPaletteRecord> MakeDefault();
    static TColor DefaultColor(int index);  // index 8 to 63
    static TColor FixedColor(int index);    // index 0 to 7

    // Entries the body really holds (the count field, bounded by the body).
    int EntryCount() const;
    TColor Entry(int entry) const;

    TColor ColorOfIndex(int index) const;
    // The first index 0 to 55 whose colour is c, else an entry this palette
    // added before for c; else c is stored into the next free entry counting
    // down from index 63 (skipping entries whose index was handed out), the
    // palette is marked changed and that index returned. No entry left:
    // message 65227.
    int IndexOfColor(TColor c);
    // True once a colour was added: only then is the record written.
    bool Changed() const { return changed_; }

private:
    void EnsureFullSize();

    bool changed_ = false;
    int nextFree_ = kMaxEntry;
    std::bitset<kEntries> added_;
    std::bitset<kEntries> handedOut_;
};

}  // namespace plu
