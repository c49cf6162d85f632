// The pooled fonts of cells: one reference-counted copy of each distinct
// font description (name, height, style, colour, charset, pitch), found by
// value, so that a sheet whose cells all draw in the same font that is not
// the grid's (every workbook written by another program) holds one font, not
// one per cell.
//
// A pooled font is named by a 16-bit id (1 ... 65,535; 0 is no font), which
// a cell keeps inside its own object: a cell with a font of its own costs
// nothing beyond the cell. Ids of freed fonts are used again. When every id
// is taken, Acquire answers 0 and the owner keeps its font elsewhere.
//
// Fonts are compared field by field, the name with its letter case (as
// TFont::Assign compares), so a font reads back exactly as it was set.
//
// Concurrency: the pool has no lock of its own; TKtResourceManager holds its
// lock around Acquire, AddRef and Release. Reading the font of an id that the
// reader holds needs no lock: a slot stays put while its font is referenced,
// and the slot blocks are never moved or freed before the pool.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "base/font.h"

namespace plu {

class TKtFontPool {
public:
    static constexpr uint16_t kNoFont = 0;
    static constexpr size_t kMaxFonts = 65535;

    TKtFontPool();
    ~TKtFontPool();
    TKtFontPool(const TKtFontPool&) = delete;
    TKtFontPool& operator=(const TKtFontPool&) = delete;

    // Finds or adds the font's entry; its count goes up by one. kNoFont when
    // the font is new and every id is taken.
    uint16_t Acquire(const TFont& font);
    // One more reference to a held id (kNoFont does nothing).
    void AddRef(uint16_t id);
    // One reference less; at 0 the entry is freed and its id may be given
    // out again. kNoFont does nothing.
    void Release(uint16_t id);

    // The font of a held id.
    const TFont& Font(uint16_t id) const { return (*blocks_[id >> 8])[id & 0xFF]->font; }
    int32_t RefCount(uint16_t id) const { return (*blocks_[id >> 8])[id & 0xFF]->refCount; }
    // Distinct fonts held.
    size_t Count() const { return byValue_.size(); }

private:
    struct Entry {
        TFont font;
        int32_t refCount = 0;
    };
    struct KeyHash {
        size_t operator()(const TFont* font) const noexcept;
    };
    struct KeyEqual {
        bool operator()(const TFont* a, const TFont* b) const noexcept;
    };
    using Block = std::array<std::unique_ptr<Entry>, 256>;

    std::unique_ptr<Entry>& Slot(uint16_t id) { return (*blocks_[id >> 8])[id & 0xFF]; }

    // 256 blocks of 256 slots, each block made when its first id is given.
    std::array<std::unique_ptr<Block>, 256> blocks_;
    std::unordered_map<const TFont*, uint16_t, KeyHash, KeyEqual> byValue_;
    std::vector<uint16_t> freeIds_;
    uint32_t nextId_ = 1;
};

}  // namespace plu
