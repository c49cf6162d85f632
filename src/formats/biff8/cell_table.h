// The cell table of one sheet: ROW records by row number, cell records by
// row and column, the merged ranges; and the column entries.
//
// Layout and cost: rows are a vector indexed by row number (at most 65,536
// slots, since rows are u16). A row keeps its cells in a vector sorted by
// column: appending in column order (as files and the export do) is O(1);
// a cell out of order is appended too and the row is sorted once, on its
// next read, so a row written in any column order (a hostile file: 65,536
// cells in descending columns) costs O(n log n), not O(n^2). A lookup is a
// binary search. Count() of each list is the highest index used plus 1.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "formats/biff8/cell_records.h"
#include "formats/biff8/sheet_records.h"

namespace plu {

class TWorkSheet;

// ROW records indexed by row number; slots without one are empty.
class TRowRecordList {
public:
    int Count() const { return static_cast<int>(rows_.size()); }
    TRowRecord* Get(int row) const {
        return row >= 0 && row < Count() ? rows_[static_cast<size_t>(row)].get() : nullptr;
    }
    // Stores the record at its row; a second ROW record for a row fails with 65229.
    void Add(std::unique_ptr<TRowRecord> record);
    // Stores the record at its row, replacing one that is there.
    void Put(std::unique_ptr<TRowRecord> record);

private:
    std::vector<std::unique_ptr<TRowRecord>> rows_;
};

// The cell records of one row, by column.
class TRow {
public:
  int CellCount() const {
      Order();
      return static_cast<int>(cells_.size());
  }
    // The i-th cell in column order.
  TCellRecord& CellAt(int i) const {
      Order();
      return *cells_[static_cast<size_t>(i)];
  }
    TCellRecord* Find(int col) const;
    // Stores the record at its column, replacing (and freeing) one there.
    void Put(std::unique_ptr<TCellRecord> record);
    void Reserve(int n) { cells_.reserve(static_cast<size_t>(n)); }
    // The highest column used plus 1 (0 when empty).
    int Count() const {
        Order();
        return cells_.empty() ? 0 : cells_.back()->Col() + 1;
    }

private:
  // Sorts cells put out of order; of two for one column the later one stays.
  void Order() const;

  mutable std::vector<std::unique_ptr<TCellRecord>> cells_;
  mutable bool ordered_ = true;
};

// The rows of cells, indexed by row number.
class TBaseColRowList {
public:
    TBaseColRowList() = default;
    TBaseColRowList(const TBaseColRowList&) = delete;
    TBaseColRowList& operator=(const TBaseColRowList&) = delete;
    TBaseColRowList(TBaseColRowList&&) = default;
    TBaseColRowList& operator=(TBaseColRowList&&) = default;

    int Count() const { return static_cast<int>(rows_.size()); }
    TRow* Get(int row) const {
        return row >= 0 && row < Count() ? rows_[static_cast<size_t>(row)] : nullptr;
    }
    // The row, created when missing with room for `expected` cells.
    TRow& Ensure(int row, int expected = 0);

private:
    std::vector<TRow*> rows_;  // into store_, by row number
    std::deque<TRow> store_;   // the rows in the order they were made, without an allocation each
};

// Row statistics: first row holding a ROW record, the last such row plus 1,
// the number of blocks of up to 32 present ROW records, the smallest first
// column and the largest column end plus 1 over all ROW records. All zero
// for an empty row table.
struct TRowStatistics {
    int firstRow = 0;
    int rowEnd = 0;
    int blockCount = 0;
    int firstCol = 0;
    int colEnd = 0;
    bool operator==(const TRowStatistics&) const = default;
};

inline constexpr int kRowsPerBlock = 32;

// Not "TCells": that is the grid's cell store, and two classes of one name in
// one namespace would be one class to the linker.
class TXlsCells {
public:
    explicit TXlsCells(TWorkSheet* sheet = nullptr);

    TRowRecordList& Rows() { return rows_; }
    const TRowRecordList& Rows() const { return rows_; }
    TBaseColRowList& CellRows() { return cellRows_; }
    const TBaseColRowList& CellRows() const { return cellRows_; }
    TMergedCellsRecord& Merged() { return *merged_; }
    const TMergedCellsRecord& Merged() const { return *merged_; }
    void SetMerged(std::unique_ptr<TMergedCellsRecord> merged) { merged_ = std::move(merged); }
    TWorkSheet* Sheet() const { return sheet_; }

    // Stores the record at its row and column, replacing an earlier one.
    void Put(std::unique_ptr<TCellRecord> record);
    TCellRecord* Get(int row, int col) const;

    TRowStatistics Statistics() const;

private:
    TRowRecordList rows_;
    TBaseColRowList cellRows_;
    std::unique_ptr<TMergedCellsRecord> merged_;
    TWorkSheet* sheet_;
    // The row the last cell went to: cells arrive row by row.
    int lastRow_ = -1;
    TRow* lastCells_ = nullptr;
};

// One column entry. width is in pixels; rawWidth in 1/256 of a character.
struct TColInfo {
    int column = 0;
    int xf = 0;
    int width = 0;
    int rawWidth = 0;
    int options = 0;  // bit 0: hidden
    bool Hidden() const { return (options & 1) != 0; }
    bool operator==(const TColInfo&) const = default;
};

// Column entries sorted by column number, created on demand.
class TColInfoList {
public:
    explicit TColInfoList(int charWidth = 8) : charWidth_(charWidth) {}

    int Count() const { return static_cast<int>(items_.size()); }
    // The i-th entry in column order.
    const TColInfo& At(int i) const;
    TColInfo& At(int i);
    // The entry of a column, or nullptr.
    const TColInfo* Find(int column) const;
    // The entry of a column, created (zero width, XF 0) when missing.
    TColInfo& Entry(int column);
    // Appends without sorting; the list sorts itself before its next use.
    void Append(const TColInfo& info);

    int CharWidth() const { return charWidth_; }
    void SetCharWidth(int w) { charWidth_ = w; }

private:
    void Sort() const;

    mutable std::vector<TColInfo> items_;
    mutable bool sorted_ = true;
    int charWidth_;
};

}  // namespace plu
