#include "formats/biff8/palette.h"

#include "formats/biff8/xls_errors.h"

namespace plu {
namespace {

// The format's default palette, colour indexes 8 to 63.
constexpr TColor kDefaultPalette[TPaletteRecord::kEntries] = {
    RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 0, 0), RGB(0, 255, 0),
    RGB(0, 0, 255), RGB(255, 255, 0), RGB(255, 0, 255), RGB(0, 255, 255),
    RGB(128, 0, 0), RGB(0, 128, 0), RGB(0, 0, 128), RGB(128, 128, 0),
    RGB(128, 0, 128), RGB(0, 128, 128), RGB(192, 192, 192), RGB(128, 128, 128),
    RGB(153, 153, 255), RGB(153, 51, 102), RGB(255, 255, 204), RGB(204, 255, 255),
    RGB(102, 0, 102), RGB(255, 128, 128), RGB(0, 102, 204), RGB(204, 204, 255),
    RGB(0, 0, 128), RGB(255, 0, 255), RGB(255, 255, 0), RGB(0, 255, 255),
    RGB(128, 0, 128), RGB(128, 0, 0), RGB(0, 128, 128), RGB(0, 0, 255),
    RGB(0, 204, 255), RGB(204, 255, 255), RGB(204, 255, 204), RGB(255, 255, 153),
    RGB(153, 204, 255), RGB(255, 153, 204), RGB(204, 153, 255), RGB(255, 204, 153),
    RGB(51, 102, 255), RGB(51, 204, 204), RGB(153, 204, 0), RGB(255, 204, 0),
    RGB(255, 153, 0), RGB(255, 102, 0), RGB(102, 102, 153), RGB(150, 150, 150),
    RGB(0, 51, 102), RGB(51, 153, 102), RGB(0, 51, 0), RGB(51, 51, 0),
    RGB(153, 51, 0), RGB(153, 51, 102), RGB(51, 51, 153), RGB(51, 51, 51)};

constexpr TColor kFixedColors[8] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0), RGB(255, 0, 255), RGB(0, 255, 255)};

}  // namespace

TColor TPaletteRecord::DefaultColor(int index) {
    return index >= 8 && index < 64 ? kDefaultPalette[index - 8] : ColorToRGB(clWindow);
}

TColor TPaletteRecord::FixedColor(int index) {
    return index >= 0 && index < 8 ? kFixedColors[index] : ColorToRGB(clWindow);
}

std::unique_ptr<TPaletteRecord> TPaletteRecord::MakeDefault() {
    auto r = std::make_unique<TPaletteRecord>();
    r->Create(rid::PALETTE, 2 + 4 * kEntries);
    r->SetWord(0, kEntries);
    for (int i = 0; i < kEntries; ++i) r->SetLong(2 + 4 * i, static_cast<uint32_t>(kDefaultPalette[i]));
    return r;
}

int TPaletteRecord::EntryCount() const {
    if (Size() < 2) return 0;
    const int held = (Size() - 2) / 4;
    const int count = GetWord(0);
    return count < held ? count : held;
}

TColor TPaletteRecord::Entry(int entry) const {
    // The fourth byte of an entry is unused; colours are RGB only.
    return static_cast<TColor>(GetLong(2 + 4 * entry) & 0x00FFFFFFu);
}

TColor TPaletteRecord::ColorOfIndex(int index) const {
    if (index == 64 || index == 0x7FFF) return ColorToRGB(clWindowText);
    if (index == 65) return ColorToRGB(clWindow);
    if (index >= 0 && index < 8) return kFixedColors[index];
    if (index >= 8 && index < 8 + EntryCount()) return Entry(index - 8);
    return ColorToRGB(clWindow);
}

void TPaletteRecord::EnsureFullSize() {
    const int have = EntryCount();
    if (have >= kEntries) return;
    Resize(2 + 4 * kEntries);
    for (int i = have; i < kEntries; ++i) SetLong(2 + 4 * i, static_cast<uint32_t>(kDefaultPalette[i]));
    SetWord(0, kEntries);
}

int TPaletteRecord::IndexOfColor(TColor c) {
    for (int i = 0; i < kEntries; ++i) {
        if (ColorOfIndex(i) == c) {
            if (i >= 8) handedOut_.set(static_cast<size_t>(i - 8));
            return i;
        }
    }
    // Colours added before are found again, so one colour takes one entry.
    for (int e = kMaxEntry; e > nextFree_; --e) {
        if (added_.test(static_cast<size_t>(e)) && Entry(e) == c) return e + 8;
    }
    int e = nextFree_;
    // An index handed out keeps its colour.
    while (e >= 0 && handedOut_.test(static_cast<size_t>(e))) --e;
    if (e < 0) RaiseTooManyEntries(e, kMaxEntry);
    EnsureFullSize();
    SetLong(2 + 4 * e, static_cast<uint32_t>(c) & 0x00FFFFFFu);
    added_.set(static_cast<size_t>(e));
    nextFree_ = e - 1;
    changed_ = true;
    return e + 8;
}

}  // namespace plu
