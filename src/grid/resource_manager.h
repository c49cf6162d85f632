// The process-wide style pool: one reference-counted copy of each distinct
// style record, the list of number-format strings that styles refer to by
// index, and one compiled number-format mask.
//
// Finding a record is a hash-table look-up keyed by the whole record (not a
// walk of a list), so tens of thousands of distinct records stay cheap; each
// node still keeps the record's 16-bit hash. A node lives while any style
// refers to it and is freed, outside the lock, when its count drops to 0.
//
// Concurrency: Acquire, Rebind, Update and Release hold the pool's lock (the
// only lock of the grid suite; recursive, so Lock() may bracket them). A
// style's own lock, when its owner supplies one, is taken first. The format
// list and the shared mask are used from the user-interface thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

#include "base/font.h"
#include "base/wide_text.h"
#include "grid/font_pool.h"
#include "grid/grid_style.h"

namespace plu {

class TKtFormatList;
class TKtNumberFormatMask;

struct TKtStyleNode {
    int32_t RefCount = 0;
    uint16_t Hash = 0;  // TKtStyleRecord::Hash() of Record
    TKtStyleRecord Record;
};

class TKtResourceManager {
public:
    TKtResourceManager();
    ~TKtResourceManager();
    TKtResourceManager(const TKtResourceManager&) = delete;
    TKtResourceManager& operator=(const TKtResourceManager&) = delete;

    // Finds or adds the node of record; its reference count goes up by one.
    TKtStyleNode* Acquire(const TKtStyleRecord& record);
    // Reference +1 on node, point style at it, notify when it differs from
    // the old node, release the old one.
    void Rebind(TKtGridStyle& style, TKtStyleNode* node);
    // Acquire(record), point style at it, notify when different, release the
    // old node.
    void Update(TKtGridStyle& style, const TKtStyleRecord& record);
    // Reference -1; the node is unlinked at 0 and freed outside the lock.
    // nullptr does nothing.
    void Release(TKtStyleNode* node);

    void Lock() { mutex_.lock(); }
    void Unlock() { mutex_.unlock(); }

    // Size in bytes of a record's packed image.
    static constexpr size_t RecordSize() { return TKtStyleRecord::kPackedSize; }
    // Nodes currently pooled.
    size_t NodeCount() const;

    // The pooled fonts of cells (font_pool.h), under the pool's lock.
    // AcquireFont answers TKtFontPool::kNoFont when every id is taken.
    uint16_t AcquireFont(const TFont& font);
    void AddFontRef(uint16_t id);
    void ReleaseFont(uint16_t id);
    // The font of an id the caller holds (no lock needed).
    const TFont& PooledFont(uint16_t id) const { return fonts_->Font(id); }
    // Distinct fonts pooled.
    size_t FontCount() const;

    // The index of text in the format list (TKtFormatList::IndexOf).
    int FormatIndexOf(WideStringView text);
    TKtFormatList& Formats() { return *formats_; }
    // The shared compiled-format object.
    TKtNumberFormatMask& Mask() { return *mask_; }

private:
    struct Table;
    mutable std::recursive_mutex mutex_;
    std::unique_ptr<Table> table_;
    std::unique_ptr<TKtFontPool> fonts_;
    std::unique_ptr<TKtFormatList> formats_;
    std::unique_ptr<TKtNumberFormatMask> mask_;
};

// The pool of the process, created at first use and kept until exit.
TKtResourceManager& ResourceManager();

// A held reference to a pooled font, for holders that hand one font to many
// cells (a reader's font cache): the cells then share the entry without a
// look-up by value each. Empty when made from no font or when the pool had
// no id left.
class TKtFontRef {
public:
    TKtFontRef() = default;
    explicit TKtFontRef(const TFont& font);
    TKtFontRef(const TKtFontRef& other);
    TKtFontRef& operator=(const TKtFontRef& other);
    ~TKtFontRef();

    uint16_t Id() const { return id_; }
    bool Empty() const { return id_ == TKtFontPool::kNoFont; }
    const TFont& Font() const { return ResourceManager().PooledFont(id_); }

private:
    uint16_t id_ = TKtFontPool::kNoFont;
};

}  // namespace plu
