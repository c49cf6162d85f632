#include "grid/cell_class.h"

#include <algorithm>

#include "base/events.h"

#include "grid/cell.h"
#include "grid/custom_grid.h"

namespace plu {

namespace {

using Item = TKtSparseList::Item;

// A stored class is its address plus one, so a stored entry is never nil.
Item Encode(const TKtCellClass* cls) {
    return reinterpret_cast<Item>(cls) + 1;
}
const TKtCellClass* Decode(Item item) {
    return item ? reinterpret_cast<const TKtCellClass*>(item - 1) : nullptr;
}

}  // namespace

// ---- TCellInfos ------------------------------------------------------------

const TKtCellClass* TCellInfos::CellClass(int col, int row) const {
    const TKtSparseList* cols = Get(row);
    return cols ? Decode(cols->Get(col)) : nullptr;
}

void TCellInfos::SetCellClass(int col, int row, const TKtCellClass* cls) {
    if (col < 0 || row < 0) return;
    if (!cls || cls == defaultClass_) {
        if (TKtSparseList* cols = Get(row)) cols->Put(col, 0);
    } else {
        if (col > TKtSparseList::MaxIndexFor(0)) throw ERangeError("Range check error");
        GetOrCreateList(row)->Put(col, Encode(cls));
    }
    if (OnChange) OnChange(col, row);
}

const TKtCellClass* TCellInfos::ColumnClass(int col) const {
    return columnClasses_ ? Decode(columnClasses_->Get(col)) : nullptr;
}

void TCellInfos::SetColumnClass(int col, const TKtCellClass* cls) {
    if (col < 0) return;
    if (!cls || cls == defaultClass_) {
        if (columnClasses_) columnClasses_->Put(col, 0);
    } else {
        if (!columnClasses_) columnClasses_ = std::make_unique<TKtSparseList>();
        columnClasses_->Put(col, Encode(cls));
    }
    if (OnChange) OnChange(col, -1);
}

void TCellInfos::DeleteColumns(int col, int count) {
    ForAll([&](int, TKtSparseList* cols) {
        cols->ShiftItems(col, -count);
        return 0;
    });
    if (columnClasses_) columnClasses_->ShiftItems(col, -count);
}

void TCellInfos::InsertColumns(int col, int count) {
    ForAll([&](int, TKtSparseList* cols) {
        cols->ShiftItems(col, count);
        return 0;
    });
    if (columnClasses_) columnClasses_->ShiftItems(col, count);
}

void TCellInfos::DeleteRows(int row, int count) {
    Delete(row, count);
}

void TCellInfos::InsertRows(int row, int count) {
    if (row < Length()) InsertEmpty(row, count);
}

void TCellInfos::MoveColumn(int from, int to) {
    ForAll([&](int, TKtSparseList* cols) {
        cols->Move(from, to);
        return 0;
    });
    if (columnClasses_) columnClasses_->Move(from, to);
}

void TCellInfos::MoveRow(int from, int to) {
    Move(from, to);
}

void TCellInfos::ExchangeRows(int a, int b) {
    if (a == b || (!Get(a) && !Get(b))) return;
    Exchange(a, b);
}

// ---- TCellClassManager -------------------------------------------------------------

TCellClassManager::TCellClassManager(TKtCustomGrid& grid)
    : grid_(grid), fixedClass_(&TKwProFixedCell::Class()), infos_(TKwProEditCell::Class()) {}

const TKtCellClass& TCellClassManager::CellClassAt(int col, int row) const {
    if (const TKtCellClass* cls = infos_.CellClass(col, row)) return *cls;
    const TKtCellClass* column = infos_.ColumnClass(col);
    if (column && row >= grid_.FixedRowCount()) return *column;
    if (col < grid_.FixedColCount() || row < grid_.FixedRowCount()) return *fixedClass_;
    if (column) return *column;
    return infos_.DefaultClass();
}

void TCellClassManager::SetColumnCellClass(int col, const TKtCellClass* cls) {
    infos_.SetColumnClass(col, cls);
    ReclassCells({col, grid_.FixedRowCount(), col, grid_.RowCount() - 1});
}

void TCellClassManager::SetFixedCellClass(const TKtCellClass* cls) {
    fixedClass_ = cls ? cls : &TKwProFixedCell::Class();
    ReclassCells({0, 0, grid_.ColCount(), grid_.FixedRowCount()});
    ReclassCells({0, 0, grid_.FixedColCount(), grid_.RowCount()});
}

void TCellClassManager::SetCellClass(int col, int row, const TKtCellClass* cls) {
    infos_.SetCellClass(col, row, cls);
    ReclassCells({col, row, col, row});
}

void TCellClassManager::ReclassCells(const TRect& r) {
    if (r.Right < r.Left || r.Bottom < r.Top) return;
    grid_.BeginUpdate();
    ScopeExit end([this] { grid_.EndUpdate(); });
    TCells& cells = grid_.Cells();
    const int lastRow = std::min(r.Bottom, cells.Length() - 1);
    for (int row = std::max(r.Top, 0); row <= lastRow; ++row) {
        TKwGridRow* list = cells.Get(row);
        if (!list) continue;
        // Collect first: re-creating changes the row list under the walk.
        std::vector<TKtCell*> stale;
        list->ForAllInRange(std::max(r.Left, 0), r.Right, [&](int col, TKtSparseList::Item item) {
            auto* cell = reinterpret_cast<TKtCell*>(item);
            if (&cell->CellClass() != &CellClassAt(col, row)) stale.push_back(cell);
            return 0;
        });
        for (TKtCell* cell : stale)
            grid_.ReclassCell(*cell);
    }
}

}  // namespace plu
