#include "grid/cell_store.h"

#include <algorithm>

#include "grid/cell.h"
#include "grid/custom_grid.h"
#include "grid/grid_row.h"

namespace plu {

// ---- TKwGridRow ------------------------------------------------------------

TKwGridRow::~TKwGridRow() {
    // Cells first, while the row list (and its owner) is whole: a cell's
    // destructor looks at its grid.
    TakeAll([](Item item) { delete reinterpret_cast<TKtCell*>(item); });
    rowObject_.reset();
}

TKtCustomGrid& TKwGridRow::Grid() const {
    return owner_->Grid();
}

TKtGridRow& TKwGridRow::GetRowObject() {
    if (!rowObject_) rowObject_ = Grid().CreateRowObject(*this);
    return *rowObject_;
}

void TKwGridRow::Changed(int fromIndex, int toIndex) {
    ForAllInRange(fromIndex, toIndex, [](int i, Item item) {
        reinterpret_cast<TKtCell*>(item)->SetCol(i);
        return 0;
    });
}

// ---- TCells -------------------------------------------------------------------

TCells::~TCells() {
    Clear();
    // The row-height view may outlive the store (the grid frees cells first).
    if (heights_) heights_->attached_ = false;
}

void TCells::ListCreated(TKwGridRow* list, int index) {
    list->owner_ = this;
    list->rowIndex_ = index;
    list->height_ = defaultRowHeight_;
    list->visible_ = true;
    if (heights_) heights_->RowsChanged(index, index);
}

void TCells::Changed(int fromIndex, int toIndex) {
    const int last = std::min(toIndex, Length() - 1);
    for (int i = std::max(fromIndex, 0); i <= last; ++i)
        if (TKwGridRow* row = Get(i)) row->rowIndex_ = i;
    if (heights_) heights_->RowsChanged(fromIndex, toIndex);
}

void TCells::FreeItem(TKwGridRow* item) {
    if (heights_) heights_->Invalidate();
    TKtListSList<TKwGridRow>::FreeItem(item);
}

void TCells::Clear() {
    if (heights_) heights_->Invalidate();
    TKtListSList<TKwGridRow>::Clear();
}

TKwGridRow* TCells::GetOrCreateList(int index) {
    if (index < 0 || index >= kMaxGridRows) throw ERangeError("Range check error");
    return TKtListSList<TKwGridRow>::GetOrCreateList(index);
}

void TCells::DeleteColumns(int col, int count) {
    if (col < 0 || count <= 0) return;
    ForAll([&](int, TKwGridRow* row) {
        row->ShiftItems(col, -count);
        return 0;
    });
}

void TCells::InsertColumns(int col, int count) {
    if (col < 0 || count <= 0) return;
    // Refuse before anything moves when a row's last cell would leave the
    // column range.
    ForAll([&](int, TKwGridRow* row) {
        if (row->HighBound() >= col &&
            static_cast<int64_t>(row->HighBound()) + count > row->MaxIndex())
            throw ERangeError("Range check error");
        return 0;
    });
    ForAll([&](int, TKwGridRow* row) {
        row->ShiftItems(col, count);
        return 0;
    });
}

void TCells::DeleteRows(int row, int count) {
    Delete(row, count);
}

void TCells::InsertRows(int row, int count) {
    if (row < 0 || count <= 0 || row >= Length()) return;
    if (static_cast<int64_t>(Length()) + count > kMaxGridRows)
        throw ERangeError("Range check error");
    InsertEmpty(row, count);
}

void TCells::MoveColumn(int from, int to) {
    if (from == to) return;
    ForAll([&](int, TKwGridRow* row) {
        row->Move(from, to);
        return 0;
    });
}

TKtCell* TCells::FindCell(int col, int row) const {
    const TKwGridRow* list = Get(row);
    return list ? list->Get(col) : nullptr;
}

bool TCells::RowIsEmpty(int row) const {
    const TKwGridRow* list = Get(row);
    if (!list) return true;
    return list->ForAllInRange(grid_.FixedColCount(), list->HighBound(),
                               [](int, TKtSparseList::Item item) {
                                   return reinterpret_cast<TKtCell*>(item)->IsEmpty() ? 0 : 1;
                               }) == 0;
}

long long TCells::CellCount() const {
    long long n = 0;
    ForAll([&](int, TKwGridRow* row) {
        row->ForAll([&](int, TKtSparseList::Item) {
            ++n;
            return 0;
        });
        return 0;
    });
    return n;
}

// ---- TKtRowHeights ---------------------------------------------------------------

namespace {

// Rows moved in a bulk larger than this rebuild the tree instead of being
// updated one by one.
constexpr int kRowUpdateLimit = 64;

int64_t LowBit(int64_t i) {
    return i & -i;
}

}  // namespace

TKtRowHeights::TKtRowHeights(TKtCustomGrid& grid, TCells& cells, int defaultSize)
    : grid_(grid), cells_(cells), defaultSize_(defaultSize) {
    cells_.heights_ = this;
}

TKtRowHeights::~TKtRowHeights() {
    if (attached_ && cells_.heights_ == this) cells_.heights_ = nullptr;
}

int TKtRowHeights::Get(int row) const {
    const TKwGridRow* list = cells_.Get(row);
    if (!list) return defaultSize_;
    return list->visible_ ? list->height_ : 0;
}

int TKtRowHeights::StoredHeight(int row) const {
    const TKwGridRow* list = cells_.Get(row);
    return list ? list->height_ : defaultSize_;
}

bool TKtRowHeights::IsVisible(int row) const {
    const TKwGridRow* list = cells_.Get(row);
    return !list || list->visible_;
}

void TKtRowHeights::SetHeight(int row, int value) {
    cells_.GetOrCreateList(row)->height_ = value;
    Refresh(row);
}

void TKtRowHeights::SetVisible(int row, bool visible) {
    TKwGridRow* list = cells_.Get(row);
    if (!list) {
        if (visible) return;
        list = cells_.GetOrCreateList(row);
    }
    list->visible_ = visible;
    Refresh(row);
}

void TKtRowHeights::SetDefaultSize(int value) {
    if (value == defaultSize_) return;
    const int old = defaultSize_;
    cells_.ForAll([&](int, TKwGridRow* row) {
        if (row->height_ == old) row->height_ = value;
        return 0;
    });
    defaultSize_ = value;
    cells_.SetDefaultRowHeight(value);
    valid_ = false;
}

void TKtRowHeights::RowsChanged(int from, int to) {
    if (!valid_) return;
    const int n = cells_.Length();
    const auto held = static_cast<int>(heights_.size());
    if (n < held || to - from > kRowUpdateLimit) {
        valid_ = false;
        return;
    }
    // Rows appended at the end (a row list created beyond the others):
    // each new leaf takes the default height and its share of the sums.
    for (int i = held; i < n; ++i) {
        heights_.push_back(defaultSize_);
        const int64_t k = i + 1;
        int64_t node = defaultSize_;
        for (int64_t j = k - 1; j > k - LowBit(k); j -= LowBit(j))
            node += tree_[static_cast<size_t>(j)];
        tree_.push_back(node);
    }
    for (int i = std::max(from, 0); i <= std::min(to, n - 1); ++i)
        Refresh(i);
}

void TKtRowHeights::Refresh(int row) {
    if (!valid_) return;
    if (row < 0) return;
    if (row >= static_cast<int>(heights_.size())) {
        RowsChanged(row, row);
        return;
    }
    const int now = Get(row);
    const int64_t delta = static_cast<int64_t>(now) - heights_[static_cast<size_t>(row)];
    if (delta == 0) return;
    heights_[static_cast<size_t>(row)] = now;
    const auto size = static_cast<int64_t>(heights_.size());
    for (int64_t k = row + 1; k <= size; k += LowBit(k))
        tree_[static_cast<size_t>(k)] += delta;
}

void TKtRowHeights::Ensure() const {
    if (valid_) return;
    const int n = cells_.Length();
    heights_.assign(static_cast<size_t>(n), 0);
    tree_.assign(static_cast<size_t>(n) + 1, 0);
    for (int i = 0; i < n; ++i) {
        heights_[static_cast<size_t>(i)] = Get(i);
        tree_[static_cast<size_t>(i) + 1] += heights_[static_cast<size_t>(i)];
        const int64_t parent = i + 1 + LowBit(i + 1);
        if (parent <= n) tree_[static_cast<size_t>(parent)] += tree_[static_cast<size_t>(i) + 1];
    }
    valid_ = true;
}

int64_t TKtRowHeights::Prefix(int64_t k) const {
    if (k <= 0) return k * defaultSize_;
    Ensure();
    const auto n = static_cast<int64_t>(heights_.size());
    int64_t sum = 0;
    if (k > n) {
        sum = (k - n) * defaultSize_;
        k = n;
    }
    for (; k > 0; k -= LowBit(k))
        sum += tree_[static_cast<size_t>(k)];
    return sum;
}

int64_t TKtRowHeights::LargestPrefixAtMost(int64_t target) const {
    Ensure();
    const auto n = static_cast<int64_t>(heights_.size());
    int64_t pos = 0;
    int64_t rest = target;
    int64_t step = 1;
    while (step * 2 <= n)
        step *= 2;
    for (; step > 0; step /= 2)
        if (pos + step <= n && tree_[static_cast<size_t>(pos + step)] <= rest) {
            pos += step;
            rest -= tree_[static_cast<size_t>(pos)];
        }
    // Past the store every row has the default height.
    if (pos == n && defaultSize_ > 0) pos += rest / defaultSize_;
    return pos;
}

int64_t TKtRowHeights::SumRange(int a, int b) const {
    const int lo = std::min(a, b);
    const int hi = std::max(a, b);
    const int64_t sum = Prefix(hi) - Prefix(lo);
    return b < a ? -sum : sum;
}

int TKtRowHeights::IndexAtOffset(int index, int32_t& offset, int32_t startOffset) const {
    (void)grid_;
    if (index < 0) index = 0;
    const int64_t base = Prefix(index);
    int64_t found;
    if (startOffset <= offset) {
        // The row whose span holds offset; rows of height 0 hold nothing.
        found = std::max<int64_t>(LargestPrefixAtMost(base + offset - startOffset), index);
    } else {
        // The first row starting at or after offset, walking back from index.
        const int64_t target = base - (static_cast<int64_t>(startOffset) - offset);
        found = target <= 0 ? 0 : LargestPrefixAtMost(target - 1) + 1;
        found = std::min<int64_t>(found, index);
    }
    found = std::min<int64_t>(found, INT32_MAX);
    offset = static_cast<int32_t>(startOffset + Prefix(found) - base);
    return static_cast<int>(found);
}

}  // namespace plu
