#include "grid/font_pool.h"

#include <functional>

namespace plu {

size_t TKtFontPool::KeyHash::operator()(const TFont* font) const noexcept {
    size_t h = std::hash<WideStringView>{}(font->Name());
    auto mix = [&h](uint64_t v) { h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2); };
    mix(static_cast<uint32_t>(font->Height()));
    mix(static_cast<uint32_t>(font->Color()));
    mix(static_cast<uint64_t>(font->Style().bits) | (static_cast<uint64_t>(font->Charset()) << 8) |
        (static_cast<uint64_t>(font->Pitch()) << 16));
    return h;
}

bool TKtFontPool::KeyEqual::operator()(const TFont* a, const TFont* b) const noexcept {
    return a->Height() == b->Height() && a->Color() == b->Color() && a->Style() == b->Style() &&
           a->Charset() == b->Charset() && a->Pitch() == b->Pitch() && a->Name() == b->Name();
}

TKtFontPool::TKtFontPool() = default;
TKtFontPool::~TKtFontPool() = default;

uint16_t TKtFontPool::Acquire(const TFont& font) {
    auto it = byValue_.find(&font);
    if (it != byValue_.end()) {
        ++Slot(it->second)->refCount;
        return it->second;
    }
    uint16_t id = kNoFont;
    if (!freeIds_.empty()) {
        id = freeIds_.back();
        freeIds_.pop_back();
    } else if (nextId_ <= kMaxFonts) {
        id = static_cast<uint16_t>(nextId_++);
        if (!blocks_[id >> 8]) blocks_[id >> 8] = std::make_unique<Block>();
    } else {
        return kNoFont;
    }
    auto entry = std::make_unique<Entry>();
    entry->font = font;
    entry->refCount = 1;
    byValue_.emplace(&entry->font, id);
    Slot(id) = std::move(entry);
    return id;
}

void TKtFontPool::AddRef(uint16_t id) {
    if (id != kNoFont) ++Slot(id)->refCount;
}

void TKtFontPool::Release(uint16_t id) {
    if (id == kNoFont) return;
    std::unique_ptr<Entry>& slot = Slot(id);
    if (--slot->refCount > 0) return;
    byValue_.erase(&slot->font);
    slot.reset();
    freeIds_.push_back(id);
}

}  // namespace plu
