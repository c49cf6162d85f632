#include "formats/biff8/cell_table.h"

#include <algorithm>

#include "formats/biff8/xls_errors.h"

namespace plu {

void TRowRecordList::Add(std::unique_ptr<TRowRecord> record) {
    const int row = record->Row();
    if (Get(row)) RaiseDuplicateRow();
    Put(std::move(record));
}

void TRowRecordList::Put(std::unique_ptr<TRowRecord> record) {
    const size_t row = record->Row();
    if (row >= rows_.size()) rows_.resize(row + 1);
    rows_[row] = std::move(record);
}

TCellRecord* TRow::Find(int col) const {
    Order();
    auto it = std::lower_bound(cells_.begin(), cells_.end(), col,
                               [](const std::unique_ptr<TCellRecord>& c, int v) { return c->Col() < v; });
    return it != cells_.end() && (*it)->Col() == col ? it->get() : nullptr;
}

void TRow::Put(std::unique_ptr<TCellRecord> record) {
    const int col = record->Col();
    if (ordered_ && !cells_.empty() && cells_.back()->Col() == col) {
        cells_.back() = std::move(record);
        return;
    }
    if (!cells_.empty() && cells_.back()->Col() >= col) ordered_ = false;
    cells_.push_back(std::move(record));
}

void TRow::Order() const {
    if (ordered_) return;
    // Stable: cells of one column keep the order they were put in, and the
    // last of them replaces the others.
    std::stable_sort(cells_.begin(), cells_.end(),
                     [](const std::unique_ptr<TCellRecord>& a,
                        const std::unique_ptr<TCellRecord>& b) { return a->Col() < b->Col(); });
    size_t out = 0;
    for (size_t i = 0; i < cells_.size(); ++i) {
        if (out > 0 && cells_[out - 1]->Col() == cells_[i]->Col()) {
            cells_[out - 1] = std::move(cells_[i]);
        } else {
            cells_[out++] = std::move(cells_[i]);
        }
    }
    cells_.resize(out);
    ordered_ = true;
}

TRow& TBaseColRowList::Ensure(int row, int expected) {
    const size_t r = static_cast<size_t>(row);
    if (r >= rows_.size()) rows_.resize(r + 1);
    if (!rows_[r]) {
        rows_[r] = &store_.emplace_back();
        if (expected > 0) rows_[r]->Reserve(expected);
    }
    return *rows_[r];
}

TXlsCells::TXlsCells(TWorkSheet* sheet) : merged_(TMergedCellsRecord::Make()), sheet_(sheet) {}

void TXlsCells::Put(std::unique_ptr<TCellRecord> record) {
    const int row = record->Row();
    if (row == lastRow_) {
        lastCells_->Put(std::move(record));
        return;
    }
    // The ROW record, when it came first, tells how many cells to expect.
    int expected = 0;
    if (const TRowRecord* r = rows_.Get(row)) {
        expected = std::clamp(r->ColEnd() - r->FirstCol() + 1, 0, kMaxColumns);
    }
    lastCells_ = &cellRows_.Ensure(row, expected);
    lastRow_ = row;
    lastCells_->Put(std::move(record));
}

TCellRecord* TXlsCells::Get(int row, int col) const {
    const TRow* r = cellRows_.Get(row);
    return r ? r->Find(col) : nullptr;
}

TRowStatistics TXlsCells::Statistics() const {
    TRowStatistics s;
    int present = 0;
    bool any = false;
    for (int r = 0; r < rows_.Count(); ++r) {
        const TRowRecord* row = rows_.Get(r);
        if (!row) continue;
        if (!any) {
            s.firstRow = r;
            s.firstCol = row->FirstCol();
            s.colEnd = row->ColEnd() + 1;
            any = true;
        }
        s.rowEnd = r + 1;
        s.firstCol = std::min<int>(s.firstCol, row->FirstCol());
        s.colEnd = std::max<int>(s.colEnd, row->ColEnd() + 1);
        ++present;
    }
    s.blockCount = (present + kRowsPerBlock - 1) / kRowsPerBlock;
    return s;
}

const TColInfo& TColInfoList::At(int i) const {
    Sort();
    return items_.at(static_cast<size_t>(i));
}

TColInfo& TColInfoList::At(int i) {
    Sort();
    return items_.at(static_cast<size_t>(i));
}

const TColInfo* TColInfoList::Find(int column) const {
    Sort();
    auto it = std::lower_bound(items_.begin(), items_.end(), column,
                               [](const TColInfo& c, int v) { return c.column < v; });
    return it != items_.end() && it->column == column ? &*it : nullptr;
}

TColInfo& TColInfoList::Entry(int column) {
    Sort();
    auto it = std::lower_bound(items_.begin(), items_.end(), column,
                               [](const TColInfo& c, int v) { return c.column < v; });
    if (it != items_.end() && it->column == column) return *it;
    TColInfo info;
    info.column = column;
    return *items_.insert(it, info);
}

void TColInfoList::Append(const TColInfo& info) {
    if (!items_.empty() && items_.back().column >= info.column) sorted_ = false;
    items_.push_back(info);
}

void TColInfoList::Sort() const {
    if (sorted_) return;
    // Stable: of two entries for one column the first appended stays first.
    std::stable_sort(items_.begin(), items_.end(),
                     [](const TColInfo& a, const TColInfo& b) { return a.column < b.column; });
    sorted_ = true;
}

}  // namespace plu
