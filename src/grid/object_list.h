// Dense owning lists: a growable array of pointers to owned objects, indexed
// from 0, with nil slots allowed. Used where every index up to the highest is
// likely to be used (the row lists of the cell store, indexed by row).
//
// Cost: 8 bytes per slot up to the highest slot ever stored; Get is O(1);
// Insert/Delete move the tail (O(length - index)). Any index >= 0 is valid
// (no section limit).
#pragma once

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

namespace plu {

template <typename T>
class TKtObjectList {
  public:
    TKtObjectList() = default;
    // Frees every item it holds, the last one included.
    virtual ~TKtObjectList() {
        while (!items_.empty()) {
            T* item = items_.back();
            items_.pop_back();
            delete item;
        }
    }
    TKtObjectList(const TKtObjectList&) = delete;
    TKtObjectList& operator=(const TKtObjectList&) = delete;

    int Length() const { return static_cast<int>(items_.size()); }

    // Nil outside the array.
    T* Get(int index) const {
        return index >= 0 && index < Length() ? items_[static_cast<size_t>(index)] : nullptr;
    }
    // Beyond the end nil slots are appended first. A different item already
    // in the slot is freed (the list owns it).
    void Put(int index, T* item) {
        if (index < 0) return;
        Pad(index + 1);
        T*& slot = items_[static_cast<size_t>(index)];
        if (slot == item) return;
        T* old = slot;
        slot = item;
        if (old) FreeItem(old);
    }
    // Removes the item from its slot without freeing it (the slot stays, nil).
    T* Take(int index) {
        if (index < 0 || index >= Length()) return nullptr;
        T* item = items_[static_cast<size_t>(index)];
        items_[static_cast<size_t>(index)] = nullptr;
        return item;
    }

    // Pads with nil up to index, inserts, then Changed (index, length - 1).
    void Insert(int index, T* item) {
        if (index < 0) return;
        InsertRaw(index, item);
        Changed(index, Length() - 1);
    }
    void InsertEmpty(int index, int count) {
        if (index < 0 || count <= 0) return;
        Pad(index);
        items_.insert(items_.begin() + index, static_cast<size_t>(count), nullptr);
        Changed(index, Length() - 1);
    }
    // Frees the items of start ... start + count - 1 (cut to the array),
    // moves the tail down, then Changed (start, new length - 1).
    void Delete(int start, int count = 1) {
        if (start < 0 || start >= Length() || count <= 0) return;
        count = std::min(count, Length() - start);
        // Each item leaves its slot before it is freed.
        for (int i = start + count - 1; i >= start; --i) {
            T* item = Take(i);
            if (item) FreeItem(item);
        }
        items_.erase(items_.begin() + start, items_.begin() + start + count);
        Changed(start, Length() - 1);
    }
    // Swaps two slots (extending the array as needed).
    void Exchange(int a, int b) {
        if (a < 0 || b < 0) return;
        Pad(std::max(a, b) + 1);
        std::swap(items_[static_cast<size_t>(a)], items_[static_cast<size_t>(b)]);
        Changed(a, a);
        Changed(b, b);
    }
    // Takes the item out of from (nothing is freed), deletes slot from when
    // it exists, inserts the item at to (a nil only when to is within the
    // array), then Changed (min, max).
    void Move(int from, int to) {
        if (from == to || from < 0 || to < 0) return;
        T* item = Take(from);
        if (from < Length()) items_.erase(items_.begin() + from);
        if (item || to < Length()) InsertRaw(to, item);
        Changed(std::min(from, to), std::max(from, to));
    }
    // count > 0: InsertEmpty; count < 0: Delete of -count slots.
    void ShiftItems(int index, int count) {
        if (count > 0)
            InsertEmpty(index, count);
        else if (count < 0)
            Delete(index, count == INT_MIN ? INT_MAX : -count);
    }

    // Lowest index >= from holding an item, or -1.
    int NextUsed(int from) const {
        for (int i = std::max(from, 0); i < Length(); ++i)
            if (items_[static_cast<size_t>(i)]) return i;
        return -1;
    }

    // Visits the non-nil items in ascending index; stops at the first
    // non-zero result and returns it.
    template <typename F>
    int ForAll(F&& callback) const {
        for (int i = 0; i < Length(); ++i)
            if (T* item = items_[static_cast<size_t>(i)]) {
                int r = callback(i, item);
                if (r != 0) return r;
            }
        return 0;
    }

    virtual void Changed(int fromIndex, int toIndex) {
        (void)fromIndex;
        (void)toIndex;
    }
    virtual void FreeItem(T* item) { delete item; }
    // Deletes every item (each out of the list before it is freed).
    virtual void Clear() {
        for (int i = Length() - 1; i >= 0; --i)
            if (T* item = Take(i)) FreeItem(item);
        items_.clear();
    }

  protected:
    void Pad(int length) {
        if (length > Length()) items_.resize(static_cast<size_t>(length), nullptr);
    }
    void InsertRaw(int index, T* item) {
        Pad(index);
        items_.insert(items_.begin() + index, item);
    }

  private:
    std::vector<T*> items_;
};

// A dense list of child sparse lists of type Child, created on demand.
template <typename Child>
class TKtListSList : public TKtObjectList<Child> {
  public:
    // The child at index, created when missing: stored, Changed (index,
    // index), then ListCreated.
    virtual Child* GetOrCreateList(int index) {
        if (index < 0) return nullptr;
        Child* list = this->Get(index);
        if (list) return list;
        auto created = std::make_unique<Child>();
        list = created.get();
        this->Put(index, created.release());
        this->Changed(index, index);
        ListCreated(list, index);
        return list;
    }
    virtual void ListCreated(Child* list, int index) {
        (void)list;
        (void)index;
    }
};

}  // namespace plu
