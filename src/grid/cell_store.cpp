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
}

void TCells::ListCreated(TKwGridRow* list, int index) {
    list->owner_ = this;
    list->rowIndex_ = index;
    list->height_ = defaultRowHeight_;
    list->visible_ = true;
}

void TCells::Changed(int fromIndex, int toIndex) {
    const int last = std::min(toIndex, Length() - 1);
    for (int i = std::max(fromIndex, 0); i <= last; ++i)
        if (TKwGridRow* row = Get(i)) row->rowIndex_ = i;
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
}

void TKtRowHeights::SetVisible(int row, bool visible) {
    TKwGridRow* list = cells_.Get(row);
    if (!list) {
        if (visible) return;
        list = cells_.GetOrCreateList(row);
    }
    list->visible_ = visible;
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
}

int64_t TKtRowHeights::SumRange(int a, int b) const {
    const int lo = std::min(a, b);
    const int hi = std::max(a, b);
    int64_t sum = (static_cast<int64_t>(hi) - lo) * defaultSize_;
    const int last = std::min(hi, cells_.Length());
    for (int i = std::max(lo, 0); i < last; ++i)
        if (cells_.Get(i)) sum += Get(i) - defaultSize_;
    return b < a ? -sum : sum;
}

int TKtRowHeights::IndexAtOffset(int index, int32_t& offset, int32_t startOffset) const {
    (void)grid_;
    return WalkToOffset(
        index, offset, startOffset, [this](int i) { return Get(i); }, cells_.Length() - 1,
        defaultSize_ > 0 ? defaultSize_ : 1);
}

}  // namespace plu
