// Structural edits of the grid: inserting, deleting, moving and exchanging
// rows and columns, merging cells and sorting rows.
#include <algorithm>
#include <numeric>

#include "base/events.h"
#include "grid/custom_grid.h"
#include "grid/grid_selection.h"

namespace plu {

namespace {

// Remaps queued row indices after rows moved; map(r) < 0 drops r.
template <typename Map>
void RemapRows(std::unordered_set<int>& rows, Map map) {
    std::unordered_set<int> moved;
    for (int r : rows) {
        int m = map(r);
        if (m >= 0) moved.insert(m);
    }
    rows.swap(moved);
}

}  // namespace

// ---- Rows --------------------------------------------------------------------------

void TKtCustomGrid::InsertRows(int row, int count) {
    if (row < 0 || row > rowCount_ || count <= 0) return;
    count = std::min(count, kMaxGridRows - rowCount_);
    if (count <= 0) return;
    SetEditorMode(false);
    const int fixedBefore = fixedRowCount_;
    cells_->InsertRows(row, count);
    classManager_->Infos().InsertRows(row, count);
    merged_.InsertRows(row, count);
    RemapRows(pendingRowFits_, [&](int r) { return r >= row ? r + count : r; });
    rowCount_ += count;
    rowHeights_->SetRowCount(rowCount_);
    if (row < fixedRowCount_) GrowFixedRows(row, count);
    ScrollBars(false, true);
    if (view_ && !IsUpdating()) {
        const TPoint p = selection_->Current();
        view_->CurrentCellChanged(p.X, p.Y);
        view_->InvalidateRect({0, std::max(RowTop(row), 0), clientWidth_, clientHeight_});
    }
    dependents_->StructureChanged(TKtAxisEdit::Insert(true, row, count, fixedBefore));
    if (OnRowCountChange) OnRowCountChange(*this);
}

void TKtCustomGrid::DeleteRows(int row, int count) {
    if (row < 0 || row >= rowCount_ || count <= 0) return;
    count = std::min(count, rowCount_ - row);
    SetEditorMode(false);
    for (int r = row; r < row + count; ++r)
        if (RowHeights(r) == 0) --hiddenRowCount_;
    const int fixedBefore = fixedRowCount_;
    cells_->DeleteRows(row, count);
    classManager_->Infos().DeleteRows(row, count);
    merged_.DeleteRows(row, count);
    RemapRows(pendingRowFits_, [&](int r) {
        if (r < row) return r;
        return r < row + count ? -1 : r - count;
    });
    rowCount_ -= count;
    rowHeights_->SetRowCount(rowCount_);
    if (row < fixedRowCount_) GrowFixedRows(row, -std::min(count, fixedRowCount_ - row));
    ClipScrollPosition();
    if (!IsUpdating()) {
        selection_->Validate();
        ScrollBars(false, true);
        if (view_)
            view_->InvalidateRect({0, std::max(RowTop(row), 0), clientWidth_, clientHeight_});
    }
    dependents_->StructureChanged(TKtAxisEdit::Delete(true, row, count, fixedBefore));
    if (OnRowCountChange) OnRowCountChange(*this);
}

void TKtCustomGrid::GrowFixedRows(int index, int n) {
    const int oldFixed = fixedRowCount_;
    fixedRowCount_ = std::max(fixedRowCount_ + n, 0);
    viewLockRow_ = viewLockRow_ > oldFixed ? viewLockRow_ + n : fixedRowCount_;
    viewLockRow_ = std::max(viewLockRow_, fixedRowCount_);
    topRow_ = std::max(topRow_ + n, viewLockRow_);
    selection_->Shift(0, n);
    if (n > 0 && defaultFixedRowHeight_ != DefaultRowHeight())
        for (int r = index; r < index + n; ++r)
            rowHeights_->SetHeight(r, defaultFixedRowHeight_);
}

// ---- Columns -------------------------------------------------------------------------

void TKtCustomGrid::InsertCols(int col, int count) {
    if (col < 0 || col >= colCount_ || count <= 0) return;
    count = std::min(count, kMaxGridCols - colCount_);
    if (count <= 0) return;
    SetEditorMode(false);
    const int fixedBefore = fixedColCount_;
    cells_->InsertColumns(col, count);
    colWidths_->ShiftItems(col, count);
    if (hiddenWidths_) hiddenWidths_->ShiftItems(col, count);
    classManager_->Infos().InsertColumns(col, count);
    columns_->ShiftItems(col, count);
    merged_.InsertCols(col, count);
    colCount_ += count;
    if (col < fixedColCount_) GrowFixedCols(col, count);
    ScrollBars(true, false);
    if (view_ && !IsUpdating()) {
        const TPoint p = selection_->Current();
        view_->CurrentCellChanged(p.X, p.Y);
        view_->InvalidateAll();
    }
    dependents_->StructureChanged(TKtAxisEdit::Insert(false, col, count, fixedBefore));
}

void TKtCustomGrid::DeleteCols(int col, int count) {
    if (col < 0 || col >= colCount_ || count <= 0) return;
    count = std::min(count, colCount_ - col);
    SetEditorMode(false);
    for (int c = col; c < col + count; ++c)
        if (ColWidths(c) == 0) --hiddenColCount_;
    const int fixedBefore = fixedColCount_;
    cells_->DeleteColumns(col, count);
    colWidths_->ShiftItems(col, -count);
    if (hiddenWidths_) hiddenWidths_->ShiftItems(col, -count);
    classManager_->Infos().DeleteColumns(col, count);
    columns_->ShiftItems(col, -count);
    merged_.DeleteCols(col, count);
    colCount_ -= count;
    if (col < fixedColCount_) GrowFixedCols(col, -std::min(count, fixedColCount_ - col));
    ClipScrollPosition();
    if (!IsUpdating()) {
        selection_->Validate();
        ScrollBars(true, false);
        InvalidateGrid();
    }
    dependents_->StructureChanged(TKtAxisEdit::Delete(false, col, count, fixedBefore));
}

void TKtCustomGrid::GrowFixedCols(int index, int n) {
    const int oldFixed = fixedColCount_;
    fixedColCount_ = std::max(fixedColCount_ + n, 0);
    viewLockCol_ = viewLockCol_ > oldFixed ? viewLockCol_ + n : fixedColCount_;
    viewLockCol_ = std::max(viewLockCol_, fixedColCount_);
    leftCol_ = std::max(leftCol_ + n, viewLockCol_);
    selection_->Shift(n, 0);
    if (n > 0)
        for (int c = index; c < index + n; ++c)
            colWidths_->SetSize(c, defaultFixedColWidth_);
}

// ---- Moving and exchanging ---------------------------------------------------------------

void TKtCustomGrid::MoveRow(int from, int to) {
    if (from == to || from < 0 || to < 0 || from >= rowCount_ || to >= rowCount_) return;
    SetEditorMode(false);
    cells_->MoveRow(from, to);
    classManager_->Infos().MoveRow(from, to);
    const TKtAxisEdit edit = TKtAxisEdit::Move(true, from, to, fixedRowCount_);
    RemapRows(pendingRowFits_, [&](int r) { return edit.MapIndex(r); });
    InvalidateCells(merged_.Reorder(edit));
    dependents_->StructureChanged(edit);
    InvalidateRow(from);
    InvalidateRow(to);
}

void TKtCustomGrid::MoveCol(int from, int to) {
    if (from == to || from < 0 || to < 0 || from >= colCount_ || to >= colCount_) return;
    SetEditorMode(false);
    cells_->MoveColumn(from, to);
    colWidths_->Move(from, to);
    if (hiddenWidths_) hiddenWidths_->Move(from, to);
    columns_->Move(from, to);
    classManager_->Infos().MoveColumn(from, to);
    const TKtAxisEdit edit = TKtAxisEdit::Move(false, from, to, fixedColCount_);
    merged_.Reorder(edit);
    dependents_->StructureChanged(edit);
    InvalidateGrid();
}

void TKtCustomGrid::ExchangeRows(int a, int b) {
    if (a == b || a < 0 || b < 0 || a >= rowCount_ || b >= rowCount_) return;
    SetEditorMode(false);
    if (cells_->Get(a) || cells_->Get(b)) cells_->Exchange(a, b);
    classManager_->Infos().ExchangeRows(a, b);
    RemapRows(pendingRowFits_, [&](int r) { return r == a ? b : (r == b ? a : r); });
    const TKtAxisEdit edit = TKtAxisEdit::Exchange(true, a, b, fixedRowCount_);
    InvalidateCells(merged_.Reorder(edit));
    dependents_->StructureChanged(edit);
    if (!IsUpdating()) {
        InvalidateRow(a);
        InvalidateRow(b);
    }
}

// ---- Sorting -------------------------------------------------------------------------------

void TKtCustomGrid::SortByColumn(int col, bool ascending) {
    SortRowsRange({col}, ascending, fixedRowCount_, rowCount_ - 1);
}

void TKtCustomGrid::SortRows(const std::vector<int>& keys, bool ascending) {
    SortRowsRange(keys, ascending, fixedRowCount_, rowCount_ - 1);
}

int TKtCustomGrid::CompareRows(int lower, int upper, const std::vector<int>& keys) const {
    for (int key : keys) {
        int r = 0;
        if (OnSortRowCompare) {
            r = OnSortRowCompare(const_cast<TKtCustomGrid&>(*this), lower, upper, key);
        } else {
            const TKtCell* a = FindCell(key, lower);
            const TKtCell* b = FindCell(key, upper);
            if (a && b)
                r = a->Compare(*b);
            else if (b)
                r = -1;
            else if (a)
                r = 1;
        }
        if (r != 0) return r;
    }
    return 0;
}

void TKtCustomGrid::SortRowsRange(const std::vector<int>& keys, bool ascending, int fromRow,
                                  int toRow) {
    if (fromRow > toRow) std::swap(fromRow, toRow);
    fromRow = std::max(fromRow, fixedRowCount_);
    toRow = std::min(toRow, rowCount_ - 1);
    if (merged_.AnyIntersects({fixedColCount_, fromRow, colCount_, toRow + 1}))
        throw EGridError(u"该操作不允许有合并单元格");
    if (fromRow >= toRow) return;
    SetEditorMode(false);
    BeginUpdate();
    ScopeExit end([this] { EndUpdate(); });

    // The bubble sort of the original exchanges neighbours only when the lower
    // row must come first (stable), and moves empty rows below every non-empty
    // one. A stable merge sort over the same order gives the same result for
    // every consistent comparison; rows stay in place until the order is
    // known, so a comparison handler reads the rows it is given.
    const int n = toRow - fromRow + 1;
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), fromRow);
    std::vector<char> empty(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        empty[static_cast<size_t>(i)] = cells_->RowIsEmpty(fromRow + i);
    const int direction = ascending ? 1 : -1;
    // True when row a must come before row b.
    auto before = [&](int a, int b) {
        const bool ea = empty[static_cast<size_t>(a - fromRow)];
        const bool eb = empty[static_cast<size_t>(b - fromRow)];
        if (ea || eb) return !ea && eb;
        return CompareRows(a, b, keys) * direction < 0;
    };
    // Bottom-up merge sort: every step stays inside the buffers whatever the
    // comparison answers (a handler need not be a consistent order).
    std::vector<int> buffer(order.size());
    for (size_t width = 1; width < order.size(); width *= 2) {
        for (size_t lo = 0; lo < order.size(); lo += 2 * width) {
            const size_t mid = std::min(lo + width, order.size());
            const size_t hi = std::min(lo + 2 * width, order.size());
            size_t i = lo, j = mid, k = lo;
            while (i < mid && j < hi)
                buffer[k++] = before(order[j], order[i]) ? order[j++] : order[i++];
            while (i < mid)
                buffer[k++] = order[i++];
            while (j < hi)
                buffer[k++] = order[j++];
        }
        order.swap(buffer);
    }
    ApplyRowPermutation(fromRow, order);
}

void TKtCustomGrid::ApplyRowPermutation(int from, const std::vector<int>& order) {
    const int n = static_cast<int>(order.size());
    std::vector<TKwGridRow*> rows(order.size());
    std::vector<TKtSparseList*> classes(order.size());
    TCellInfos& infos = classManager_->Infos();
    for (int i = 0; i < n; ++i) {
        rows[static_cast<size_t>(i)] = cells_->Take(from + i);
        classes[static_cast<size_t>(i)] = infos.Take(from + i);
    }
    std::vector<int> target(order.size());  // old position -> new position
    for (int i = 0; i < n; ++i) {
        const int old = order[static_cast<size_t>(i)] - from;
        target[static_cast<size_t>(old)] = from + i;
        if (TKwGridRow* row = rows[static_cast<size_t>(old)]) cells_->Put(from + i, row);
        if (TKtSparseList* cls = classes[static_cast<size_t>(old)]) infos.Put(from + i, cls);
    }
    cells_->Changed(from, from + n - 1);
    RemapRows(pendingRowFits_, [&](int r) {
        return r >= from && r < from + n ? target[static_cast<size_t>(r - from)] : r;
    });
    const TKtAxisEdit edit = TKtAxisEdit::Permute(true, from, std::move(target), fixedRowCount_);
    merged_.Reorder(edit);
    dependents_->StructureChanged(edit);
}

// ---- Merged areas ---------------------------------------------------------------------------

void TKtCustomGrid::MergeCells(int left, int top, int right, int bottom) {
    TRect rect =
        TRect::FromCorners(left, top, right, bottom).Intersect({0, 0, colCount_, rowCount_});
    if (rect.IsEmpty()) return;
    const TRect area = merged_.SetSpan(rect);
    if (area.Width() > 1 || area.Height() > 1) {
        const int lastRow = std::min(area.Bottom, cells_->Length()) - 1;
        for (int r = area.Top; r <= lastRow; ++r) {
            TKwGridRow* list = cells_->Get(r);
            if (!list) continue;
            std::vector<TKtCell*> covered;
            list->ForAllInRange(area.Left, area.Right - 1, [&](int c, TKtSparseList::Item item) {
                if (c != area.Left || r != area.Top)
                    covered.push_back(reinterpret_cast<TKtCell*>(item));
                return 0;
            });
            for (TKtCell* cell : covered)
                if (!cell->IsEmpty()) cell->ClearContent();
        }
    }
    InvalidateCells(area);
    selection_->Validate();
}

void TKtCustomGrid::UnmergeCells(const TRect& rect) {
    const TRect removed = merged_.RemoveIntersecting(rect);
    InvalidateCells(removed);
}

}  // namespace plu
