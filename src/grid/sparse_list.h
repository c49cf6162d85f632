// Sparse index-to-item lists: everything the grid indexes by row or column.
//
// Layout. A list maps a non-negative 32-bit index to a pointer-sized item
// (zero = no item). Storage is a directory of section pointers; a section is
// a zero-filled block of 16 slots (quantum 0) or 256 slots (quantum 1). The
// section of index i is directory[i >> shift], its slot i & mask. Sections are
// allocated on the first non-nil store into them and freed only by Clear.
//
// Limits. The directory holds at most 4096 sections, so quantum 0 addresses
// indices 0 ... 65535 and quantum 1 0 ... 1048575. Storing beyond that raises
// ERangeError ("Range check error") and leaves the list unchanged. Negative
// indices are ignored by Put/Delete/Insert and read as nil.
//
// Cost. Memory is proportional to the used sections: 16 slots x 8 bytes for a
// quantum-0 section, plus 8 bytes per directory entry. Get is O(1) with a
// one-entry cache of the last lookup (painting and formulas re-read the same
// cell). Put of a nil at HighBound rescans backward for the new HighBound.
// Delete/Insert move every later item by one slot (O(HighBound - index)); the
// HighBound rescan is suppressed until the whole shift is done (bulk flag).
//
// Items are untyped here; the family below gives them meaning: owned objects
// (TObjectSList), child lists (TListSList), 32-bit integers (TIntegerSList),
// wide strings (TStringSList) and sizes relative to a default (TSizes).
#pragma once

#include <cstdint>
#include <memory>

#include "base/exceptions.h"
#include "base/wide_text.h"
#include "grid/byte_stream.h"

namespace plu {

// Overflow of a list's index arithmetic (HighBound + 1 beyond 32 bits).
class EIntOverflow : public Exception {
  public:
    using Exception::Exception;
};

// A list that cannot be written to or read from a byte stream (owned objects).
class EStreamError : public Exception {
  public:
    using Exception::Exception;
};

class TKtSparseList {
  public:
    using Item = intptr_t;
    static constexpr int kMaxSections = 4096;

    TKtSparseList() = default;
    virtual ~TKtSparseList();
    TKtSparseList(const TKtSparseList&) = delete;
    TKtSparseList& operator=(const TKtSparseList&) = delete;

    // 0: 16 slots per section, 1: 256. Only an empty list (no section
    // allocated) changes its quantum; returns whether it did.
    bool SetQuantum(uint8_t quantum);
    uint8_t Quantum() const { return quantum_; }
    int SectionSize() const { return sectionSize_; }
    // Largest index this list can store (65535 or 1048575).
    int MaxIndex() const { return (kMaxSections << shift_) - 1; }
    static constexpr int MaxIndexFor(uint8_t quantum) {
        return (kMaxSections << (quantum ? 8 : 4)) - 1;
    }

    // Nil for index < 0 or > HighBound; uses and refreshes the cache.
    Item Get(int index) const;
    void Put(int index, Item item);
    // Highest index holding a non-nil item, -1 when empty.
    int HighBound() const { return highBound_; }

    // Visits the non-nil items in ascending index; stops at the first
    // non-zero callback result and returns it; 0 when all were visited.
    // The callback may change the list; visiting continues after the index
    // just visited.
    template <typename F>
    int32_t ForAll(F&& callback) const {
        return ForAllInRange(0, highBound_, callback);
    }
    // The same restricted to indices from ... to (inclusive).
    template <typename F>
    int32_t ForAllInRange(int from, int to, F&& callback) const {
        if (from < 0) from = 0;
        int i = NextUsed(from);
        while (i >= 0 && i <= to && i <= highBound_) {
            Item item = RawGet(i);
            if (item != 0) {
                int32_t r = callback(i, item);
                if (r != 0) return r;
            }
            if (i == to) break;
            i = NextUsed(i + 1);
        }
        return 0;
    }

    // Removes the slot at index; later items move down by one. The item is
    // not freed (Move relies on this; ShiftItems frees). Changed (index, old
    // HighBound) follows; nothing happens for an index outside 0 ... HighBound.
    void Delete(int index);
    // Later items move up by one; Changed (index + 1, new HighBound) and
    // Changed (index, index) follow.
    void Insert(int index, Item item);
    // Get (from), Delete (from), Insert (to, item); nothing when from == to.
    void Move(int from, int to);
    // count > 0: count nil slots are inserted at index. count < 0: the -count
    // slots from index on are removed and their items freed (FreeItem).
    // One Changed (index, highest index that moved) follows the whole shift.
    void ShiftItems(int index, int count);

    // The notional count written to streams; it does not limit Put.
    int Count() const { return count_; }
    // Stores Count and frees (FreeItem) and clears every item at an index
    // >= value, from the top down.
    void SetCount(int value);

    // When set, clearing an item never rescans HighBound (it stays where it
    // was until the next rescan); for owners that clear many items at once.
    void SetSuppressHighBound(bool suppress) { suppress_ = suppress; }
    bool Dirty() const { return dirty_; }
    // Rescans HighBound now (clears the dirty flag).
    void RecomputeHighBound();

    // Number of allocated sections (storage is proportional to it).
    int AllocatedSections() const;

    // Items moved: the closed range from ... to now holds other items.
    virtual void Changed(int fromIndex, int toIndex);
    // Disposes of an item leaving through SetCount or ShiftItems.
    virtual void FreeItem(Item item);
    // Stream form (little-endian): quantum (u8), Count (i32), the number of
    // allocated sections (i32), then per section in ascending order its
    // directory index (i32) and its slots as 32-bit values.
    virtual void LoadFromStream(TKtStream& stream);
    virtual void SaveToStream(TKtStream& stream) const;
    // Frees all sections and the directory; quantum kept, Count 0.
    virtual void Clear();

  protected:
    // Raw slot access without cache or HighBound bookkeeping.
    Item RawGet(int index) const;
    // Stores into an existing or new section; index must be valid.
    void RawPut(int index, Item item);
    // Lowest index >= from in an allocated section, or -1.
    int NextUsed(int from) const;
    // Takes every item out (top down) and hands each to dispose, which may
    // look at the list (it no longer holds the item).
    template <typename F>
    void TakeAll(F&& dispose) {
        for (int i = highBound_; i >= 0; --i) {
            Item item = RawGet(i);
            if (item == 0) continue;
            RawPut(i, 0);
            cachedIndex_ = -1;
            dispose(item);
        }
    }
    void CheckIndex(int index) const;
    // Sets the notional count without touching the items.
    void StoreCount(int value) { count_ = value; }

  private:
    Item* SlotFor(int index);  // creates the slot (may throw ERangeError)

    // Ends a bulk shift, also when an exception passes: clears the bulk flag
    // and rescans HighBound when an item was cleared on the way.
    struct ScopeGuard {
        TKtSparseList& list;
        explicit ScopeGuard(TKtSparseList& l) : list(l) {}
        ~ScopeGuard() {
            list.bulk_ = false;
            if (list.dirty_) list.RecomputeHighBound();
        }
    };

    std::unique_ptr<Item*[]> directory_;
    uint16_t directoryCount_ = 0;
    uint16_t directoryCapacity_ = 0;
    uint16_t sectionSize_ = 16;
    uint16_t mask_ = 15;
    int16_t shift_ = 4;
    int32_t highBound_ = -1;
    mutable int32_t cachedIndex_ = -1;
    mutable Item cachedItem_ = 0;
    int32_t count_ = 0;
    uint8_t quantum_ = 0;
    bool bulk_ = false;
    bool dirty_ = false;
    bool suppress_ = false;
};

// Owned objects of type T (deleted through T's destructor).
template <typename T>
class TObjectSList : public TKtSparseList {
  public:
    TObjectSList() = default;
    ~TObjectSList() override {
        TakeAll([](Item item) { delete reinterpret_cast<T*>(item); });
    }

    T* Get(int index) const { return reinterpret_cast<T*>(TKtSparseList::Get(index)); }
    // Stores without freeing a previous item (the caller owns what it replaces).
    void Put(int index, T* item) { TKtSparseList::Put(index, reinterpret_cast<Item>(item)); }
    // Removes the item at index from the list without freeing it.
    T* Take(int index) {
        T* item = Get(index);
        if (item) Put(index, nullptr);
        return item;
    }

    template <typename F>
    int32_t ForAllObjects(F&& callback) const {
        return ForAll([&](int i, Item item) { return callback(i, reinterpret_cast<T*>(item)); });
    }

    void FreeItem(Item item) override { delete reinterpret_cast<T*>(item); }
    // Frees every item, then the storage.
    void Clear() override {
        TakeAll([this](Item item) { FreeItem(item); });
        TKtSparseList::Clear();
    }
    // Objects have no stream form of their own.
    void LoadFromStream(TKtStream&) override {
        throw EStreamError("A list of objects cannot be read from a stream");
    }
    void SaveToStream(TKtStream&) const override {
        throw EStreamError("A list of objects cannot be written to a stream");
    }
};

// Child sparse lists of type Child, created on demand with quantum 0.
template <typename Child>
class TListSList : public TObjectSList<Child> {
  public:
    using Item = TKtSparseList::Item;

    // Called after a child was created and stored; empty here.
    virtual void ListCreated(Child* list, int index) {
        (void)list;
        (void)index;
    }
    // The child at index, created (and announced) when missing.
    virtual Child* GetOrCreateList(int index) {
        Child* list = this->Get(index);
        if (list) return list;
        this->CheckIndex(index);
        auto created = std::make_unique<Child>();
        list = created.get();
        this->Put(index, created.release());
        ListCreated(list, index);
        return list;
    }

    // Stream form: the number of children with items (i32), then for each
    // such child its index (i32) followed by the child's own stream.
    void SaveToStream(TKtStream& stream) const override {
        int32_t n = 0;
        this->ForAllObjects([&](int, Child* c) {
            if (c->HighBound() >= 0) ++n;
            return 0;
        });
        stream.WriteI32(n);
        this->ForAllObjects([&](int i, Child* c) {
            if (c->HighBound() >= 0) {
                stream.WriteI32(i);
                c->SaveToStream(stream);
            }
            return 0;
        });
    }
    void LoadFromStream(TKtStream& stream) override {
        this->Clear();
        int32_t n = stream.ReadI32();
        if (n < 0) throw EReadError("Invalid list stream: negative child count");
        for (int32_t k = 0; k < n; ++k) {
            int32_t index = stream.ReadI32();
            if (index < 0 || index > this->MaxIndex())
                throw EReadError("Invalid list stream: child index out of range");
            GetOrCreateList(index)->LoadFromStream(stream);
        }
    }
};

// Plain 32-bit integers.
class TIntegerSList : public TKtSparseList {
  public:
    int32_t Get(int index) const { return static_cast<int32_t>(TKtSparseList::Get(index)); }
    void Put(int index, int32_t value) { TKtSparseList::Put(index, static_cast<Item>(value)); }
};

// Wide strings, each in its own heap record. A missing index reads as "";
// writing a missing index creates the record (also for "").
class TStringSList : public TKtSparseList {
  public:
    TStringSList() = default;
    ~TStringSList() override;

    WideString Get(int index) const;
    // The stored string or nullptr when the index holds none.
    const WideString* Find(int index) const;
    void Put(int index, WideStringView text);

    void FreeItem(Item item) override;
    void Clear() override;
    // Stream form: Count (i32), the number of stored strings (i32), then per
    // string its index (i32), its length (i32) and its UTF-16LE code units.
    void LoadFromStream(TKtStream& stream) override;
    void SaveToStream(TKtStream& stream) const override;
};

// Sizes in pixels, stored relative to DefaultSize: a missing item is the
// default size, so only sizes that differ cost storage.
class TSizes : public TKtSparseList {
  public:
    explicit TSizes(int32_t defaultSize = 0) : defaultSize_(defaultSize) {}

    int32_t Get(int index) const {
        return static_cast<int32_t>(TKtSparseList::Get(index)) + defaultSize_;
    }
    // Storing the default clears the entry.
    void SetSize(int index, int32_t value);

    int32_t DefaultSize() const { return defaultSize_; }
    // Only for value != old and value >= 1: every entry whose size is not 0
    // takes the new default; hidden entries (size 0) stay 0.
    void SetDefaultSize(int32_t value);

    // Sum of the sizes of min(a, b) ... max(a, b) - 1, negated when b < a.
    int64_t SumRange(int a, int b) const;
    // startOffset is where index begins. Walking forward (startOffset <=
    // offset): the index whose span contains offset; walking backward: the
    // first index starting at or after offset. offset becomes that start.
    int IndexAtOffset(int index, int32_t& offset, int32_t startOffset) const;

  private:
    int32_t defaultSize_;
};

// The two walks of IndexAtOffset over any size function; size(i) is the size
// of index i, `last` the highest index whose size may differ from `tail`
// (every index beyond it has size tail, which must be >= 1).
template <typename SizeOf>
int WalkToOffset(int index, int32_t& offset, int32_t startOffset, SizeOf&& size, int last,
                 int32_t tail) {
    int64_t pos = startOffset;
    int i = index < 0 ? 0 : index;
    if (startOffset <= offset) {
        while (true) {
            if (i > last && tail > 0) {
                // Uniform sizes from here on: jump straight to the span.
                int64_t steps = (static_cast<int64_t>(offset) - pos) / tail;
                if (steps > INT32_MAX - i) steps = INT32_MAX - i;
                i += static_cast<int>(steps);
                pos += steps * tail;
                break;
            }
            int64_t s = size(i);
            if (pos + s > offset || i == INT32_MAX) break;
            pos += s;
            ++i;
        }
    } else {
        while (i > 0) {
            int64_t s = size(i - 1);
            if (pos - s < offset) break;
            pos -= s;
            --i;
        }
    }
    offset = static_cast<int32_t>(pos);
    return i;
}

}  // namespace plu
