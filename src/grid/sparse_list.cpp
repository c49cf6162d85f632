#include "grid/sparse_list.h"

#include <algorithm>
#include <climits>

namespace plu {

namespace {

constexpr const char* kRangeError = "Range check error";
constexpr const char* kOverflow = "Integer overflow";

}  // namespace

TKtSparseList::~TKtSparseList() {
    for (int d = 0; d < directoryCount_; ++d)
        delete[] directory_[d];
}

bool TKtSparseList::SetQuantum(uint8_t quantum) {
    if (quantum > 1) return false;
    if (quantum == quantum_) return true;
    if (AllocatedSections() > 0) return false;
    for (int d = 0; d < directoryCount_; ++d)
        delete[] directory_[d];
    directory_.reset();
    directoryCount_ = directoryCapacity_ = 0;
    quantum_ = quantum;
    sectionSize_ = quantum ? 256 : 16;
    mask_ = static_cast<uint16_t>(sectionSize_ - 1);
    shift_ = quantum ? 8 : 4;
    highBound_ = -1;
    cachedIndex_ = -1;
    return true;
}

TKtSparseList::Item TKtSparseList::RawGet(int index) const {
    int d = index >> shift_;
    if (d >= directoryCount_) return 0;
    Item* section = directory_[d];
    return section ? section[index & mask_] : 0;
}

void TKtSparseList::RawPut(int index, Item item) {
    if (item == 0) {
        int d = index >> shift_;
        if (d < directoryCount_ && directory_[d]) directory_[d][index & mask_] = 0;
        return;
    }
    *SlotFor(index) = item;
}

void TKtSparseList::CheckIndex(int index) const {
    if (index < 0 || index > MaxIndex()) throw ERangeError(kRangeError);
}

TKtSparseList::Item* TKtSparseList::SlotFor(int index) {
    int d = index >> shift_;
    if (d >= kMaxSections) throw ERangeError(kRangeError);
    if (d >= directoryCount_) {
        if (d >= directoryCapacity_) {
            int capacity = directoryCapacity_ ? directoryCapacity_ * 2 : 4;
            while (capacity <= d)
                capacity *= 2;
            if (capacity > kMaxSections) capacity = kMaxSections;
            auto grown = std::make_unique<Item*[]>(capacity);
            for (int k = 0; k < directoryCount_; ++k)
                grown[k] = directory_[k];
            for (int k = directoryCount_; k < capacity; ++k)
                grown[k] = nullptr;
            directory_ = std::move(grown);
            directoryCapacity_ = static_cast<uint16_t>(capacity);
        }
        directoryCount_ = static_cast<uint16_t>(d + 1);
    }
    Item*& section = directory_[d];
    if (!section) section = new Item[sectionSize_]();
    if (index > highBound_) highBound_ = index;
    cachedIndex_ = -1;
    return &section[index & mask_];
}

int TKtSparseList::NextUsed(int from) const {
    if (from < 0) from = 0;
    int d = from >> shift_;
    if (d >= directoryCount_) return -1;
    if (directory_[d]) return from;
    for (++d; d < directoryCount_; ++d)
        if (directory_[d]) return d << shift_;
    return -1;
}

int TKtSparseList::AllocatedSections() const {
    int n = 0;
    for (int d = 0; d < directoryCount_; ++d)
        if (directory_[d]) ++n;
    return n;
}

TKtSparseList::Item TKtSparseList::Get(int index) const {
    if (index < 0 || index > highBound_) return 0;
    if (index == cachedIndex_) return cachedItem_;
    Item item = RawGet(index);
    cachedIndex_ = index;
    cachedItem_ = item;
    return item;
}

void TKtSparseList::Put(int index, Item item) {
    if (index < 0) return;
    if (item == 0 && Get(index) == 0) return;
    *SlotFor(index) = item;
    if (item == 0) {
        dirty_ = true;
        if (!suppress_ && !bulk_) RecomputeHighBound();
    }
}

void TKtSparseList::RecomputeHighBound() {
    dirty_ = false;
    cachedIndex_ = -1;
    for (int i = highBound_; i >= 0;) {
        int d = i >> shift_;
        Item* section = d < directoryCount_ ? directory_[d] : nullptr;
        if (!section) {
            i = (d << shift_) - 1;
            continue;
        }
        for (int s = i & mask_; s >= 0; --s)
            if (section[s] != 0) {
                highBound_ = (d << shift_) | s;
                return;
            }
        i = (d << shift_) - 1;
    }
    highBound_ = -1;
}

void TKtSparseList::Delete(int index) {
    if (index < 0 || index > highBound_) return;
    const int oldHigh = highBound_;
    bulk_ = true;
    dirty_ = false;
    {
        ScopeGuard restore(*this);
        for (int j = index; j < oldHigh; ++j)
            RawPut(j, RawGet(j + 1));
        RawPut(oldHigh, 0);
        dirty_ = true;
        cachedIndex_ = -1;
    }
    Changed(index, oldHigh);
}

void TKtSparseList::Insert(int index, Item item) {
    if (index < 0) return;
    if (highBound_ == INT_MAX) throw EIntOverflow(kOverflow);
    if (index <= highBound_) {
        // The top item moves up first; it must still fit.
        if (highBound_ + 1 > MaxIndex()) throw ERangeError(kRangeError);
    } else if (item != 0) {
        CheckIndex(index);
    }
    bulk_ = true;
    {
        ScopeGuard restore(*this);
        for (int j = highBound_ + 1; j > index; --j)
            RawPut(j, RawGet(j - 1));
        if (index <= highBound_ || item != 0) {
            RawPut(index, item);
            if (item == 0) dirty_ = true;
        }
        cachedIndex_ = -1;
    }
    Changed(index + 1, highBound_);
    Changed(index, index);
}

void TKtSparseList::Move(int from, int to) {
    if (from == to) return;
    Item item = Get(from);
    Delete(from);
    Insert(to, item);
}

void TKtSparseList::ShiftItems(int index, int count) {
    if (index < 0 || count == 0) return;
    if (count > 0) {
        if (index > highBound_) return;
        if (static_cast<int64_t>(highBound_) + count > MaxIndex()) throw ERangeError(kRangeError);
        const int oldHigh = highBound_;
        bulk_ = true;
        {
            ScopeGuard restore(*this);
            for (int j = oldHigh; j >= index; --j) {
                RawPut(j + count, RawGet(j));
                RawPut(j, 0);
            }
            cachedIndex_ = -1;
        }
        Changed(index, highBound_);
        return;
    }
    const int n = count == INT_MIN ? INT_MAX : -count;
    if (index > highBound_) return;
    const int oldHigh = highBound_;
    const int64_t endRemoved = static_cast<int64_t>(index) + n;  // exclusive
    // Free the removed items from the top down; each is out of the list
    // before it is freed, so its destructor never finds itself here.
    for (int64_t c = std::min<int64_t>(endRemoved - 1, oldHigh); c >= index; --c) {
        Item item = RawGet(static_cast<int>(c));
        if (item == 0) continue;
        RawPut(static_cast<int>(c), 0);
        cachedIndex_ = -1;
        FreeItem(item);
    }
    bulk_ = true;
    {
        ScopeGuard restore(*this);
        for (int64_t j = endRemoved; j <= highBound_; ++j) {
            RawPut(static_cast<int>(j - n), RawGet(static_cast<int>(j)));
            RawPut(static_cast<int>(j), 0);
        }
        dirty_ = true;
        cachedIndex_ = -1;
    }
    Changed(index, oldHigh);
}

void TKtSparseList::SetCount(int value) {
    count_ = value;
    const int from = value < 0 ? 0 : value;
    for (int i = highBound_; i >= from; --i) {
        Item item = RawGet(i);
        if (item == 0) continue;
        RawPut(i, 0);
        cachedIndex_ = -1;
        FreeItem(item);
    }
    if (highBound_ >= from) RecomputeHighBound();
}

void TKtSparseList::Changed(int, int) {}

void TKtSparseList::FreeItem(Item) {}

void TKtSparseList::Clear() {
    for (int d = 0; d < directoryCount_; ++d)
        delete[] directory_[d];
    directory_.reset();
    directoryCount_ = directoryCapacity_ = 0;
    highBound_ = -1;
    cachedIndex_ = -1;
    cachedItem_ = 0;
    count_ = 0;
    bulk_ = dirty_ = false;
}

void TKtSparseList::SaveToStream(TKtStream& stream) const {
    stream.WriteU8(quantum_);
    stream.WriteI32(count_);
    stream.WriteI32(AllocatedSections());
    for (int d = 0; d < directoryCount_; ++d) {
        Item* section = directory_[d];
        if (!section) continue;
        stream.WriteI32(d);
        for (int s = 0; s < sectionSize_; ++s)
            stream.WriteI32(static_cast<int32_t>(section[s]));
    }
}

void TKtSparseList::LoadFromStream(TKtStream& stream) {
    Clear();
    uint8_t quantum = stream.ReadU8();
    if (quantum > 1) throw EReadError("Invalid list stream: unknown quantum");
    SetQuantum(quantum);
    count_ = stream.ReadI32();
    int32_t sections = stream.ReadI32();
    if (sections < 0 || sections > kMaxSections)
        throw EReadError("Invalid list stream: section count out of range");
    {
        // Whatever was read stays consistent, also when the stream ends early.
        struct Finish {
            TKtSparseList& list;
            ~Finish() {
                list.highBound_ = list.directoryCount_ * list.sectionSize_ - 1;
                list.RecomputeHighBound();
            }
        } finish{*this};
        for (int32_t k = 0; k < sections; ++k) {
            int32_t d = stream.ReadI32();
            if (d < 0 || d >= kMaxSections)
                throw EReadError("Invalid list stream: section index out of range");
            for (int s = 0; s < sectionSize_; ++s) {
                Item item = static_cast<Item>(stream.ReadI32());
                int index = (d << shift_) | s;
                if (item != 0 || RawGet(index) != 0) RawPut(index, item);
            }
        }
    }
}

// ---- TStringSList ----------------------------------------------------------

TStringSList::~TStringSList() {
    TakeAll([](Item item) { delete reinterpret_cast<WideString*>(item); });
}

const WideString* TStringSList::Find(int index) const {
    return reinterpret_cast<const WideString*>(TKtSparseList::Get(index));
}

WideString TStringSList::Get(int index) const {
    const WideString* s = Find(index);
    return s ? *s : WideString();
}

void TStringSList::Put(int index, WideStringView text) {
    if (index < 0) return;
    if (auto* s = reinterpret_cast<WideString*>(TKtSparseList::Get(index))) {
        s->assign(text);
        return;
    }
    CheckIndex(index);
    auto record = std::make_unique<WideString>(text);
    TKtSparseList::Put(index, reinterpret_cast<Item>(record.get()));
    record.release();
}

void TStringSList::FreeItem(Item item) {
    delete reinterpret_cast<WideString*>(item);
}

void TStringSList::Clear() {
    TakeAll([](Item item) { delete reinterpret_cast<WideString*>(item); });
    TKtSparseList::Clear();
}

void TStringSList::SaveToStream(TKtStream& stream) const {
    stream.WriteI32(Count());
    int32_t n = 0;
    ForAll([&](int, Item) {
        ++n;
        return 0;
    });
    stream.WriteI32(n);
    ForAll([&](int i, Item item) {
        const auto* s = reinterpret_cast<const WideString*>(item);
        stream.WriteI32(i);
        stream.WriteI32(static_cast<int32_t>(s->size()));
        for (char16_t c : *s)
            stream.WriteU16(c);
        return 0;
    });
}

void TStringSList::LoadFromStream(TKtStream& stream) {
    Clear();
    int32_t count = stream.ReadI32();
    int32_t n = stream.ReadI32();
    if (n < 0) throw EReadError("Invalid list stream: negative string count");
    for (int32_t k = 0; k < n; ++k) {
        int32_t index = stream.ReadI32();
        int32_t length = stream.ReadI32();
        if (index < 0 || index > MaxIndex())
            throw EReadError("Invalid list stream: string index out of range");
        if (length < 0 || static_cast<size_t>(length) > stream.Remaining() / 2)
            throw EReadError("Invalid list stream: string length out of range");
        WideString text(static_cast<size_t>(length), u'\0');
        for (auto& c : text)
            c = static_cast<char16_t>(stream.ReadU16());
        Put(index, text);
    }
    StoreCount(count);
}

// ---- TSizes ------------------------------------------------------------------

void TSizes::SetSize(int index, int32_t value) {
    if (index < 0) return;
    int64_t delta = static_cast<int64_t>(value) - defaultSize_;
    if (delta < INT32_MIN || delta > INT32_MAX) throw EIntOverflow(kOverflow);
    TKtSparseList::Put(index, static_cast<Item>(delta));
}

void TSizes::SetDefaultSize(int32_t value) {
    if (value == defaultSize_ || value < 1) return;
    const int32_t old = defaultSize_;
    defaultSize_ = value;
    for (int i = HighBound(); i >= 0; --i) {
        Item stored = RawGet(i);
        if (stored == 0) continue;
        if (static_cast<int64_t>(stored) + old == 0)
            RawPut(i, static_cast<Item>(-static_cast<int64_t>(value)));  // stays hidden
        else
            RawPut(i, 0);
    }
    RecomputeHighBound();
}

int64_t TSizes::SumRange(int a, int b) const {
    const int lo = a < b ? a : b;
    const int hi = a < b ? b : a;
    int64_t sum = static_cast<int64_t>(hi) - lo;
    sum *= defaultSize_;
    if (hi > 0 && HighBound() >= lo)
        ForAllInRange(lo < 0 ? 0 : lo, hi - 1, [&](int, Item item) {
            sum += static_cast<int32_t>(item);
            return 0;
        });
    return b < a ? -sum : sum;
}

int TSizes::IndexAtOffset(int index, int32_t& offset, int32_t startOffset) const {
    return WalkToOffset(
        index, offset, startOffset, [this](int i) { return Get(i); }, HighBound(), defaultSize_);
}

}  // namespace plu
