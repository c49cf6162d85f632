// The cell store of a grid.
//
// Layout: TCells is a dense list of row lists indexed by row (8 bytes per row
// up to the highest row that was ever touched); a row list (TKwGridRow) is a
// sparse list of cells indexed by column (quantum 0: columns 0 ... 65535,
// 128 bytes per used stretch of 16 columns) that also carries the row's
// height, visibility and row object. A cell knows its column and its row
// list; its row index is the row list's. Row lists, cells and row objects are
// created on first access, so an empty sheet of any size costs nothing;
// TryGetCell never creates anything.
//
// Rows are limited to kMaxGridRows (the dense list must stay small enough to
// allocate), columns to 65536 by the sparse list.
#pragma once

#include <memory>
#include <vector>

#include "grid/object_list.h"
#include "grid/sparse_list.h"

namespace plu {

class TKtCell;
class TKtCustomGrid;
class TKtGridRow;
class TCells;

constexpr int kMaxGridRows = 1048576;
constexpr int kMaxGridCols = 65536;

class TKwGridRow : public TObjectSList<TKtCell> {
  public:
    TKwGridRow() = default;
    // Frees the cells (each out of the list first), then the row object.
    ~TKwGridRow() override;

    TCells* Owner() const { return owner_; }
    TKtCustomGrid& Grid() const;
    int RowIndex() const { return rowIndex_; }
    // The row object, nullptr until first requested through the grid.
    TKtGridRow* RowObject() const { return rowObject_.get(); }
    TKtGridRow& GetRowObject();
    int Height() const { return height_; }
    bool Visible() const { return visible_; }

    // Cells in the range moved: rewrite their column index.
    void Changed(int fromIndex, int toIndex) override;

  private:
    friend class TCells;
    friend class TKtRowHeights;
    friend class TKtCustomGrid;

    TCells* owner_ = nullptr;
    int32_t rowIndex_ = 0;
    int32_t height_ = 0;
    bool visible_ = true;
    std::unique_ptr<TKtGridRow> rowObject_;
};

class TKtRowHeights;

class TCells : public TKtListSList<TKwGridRow> {
  public:
    explicit TCells(TKtCustomGrid& grid, int defaultRowHeight)
        : grid_(grid), defaultRowHeight_(defaultRowHeight) {}
    ~TCells() override;

    TKtCustomGrid& Grid() const { return grid_; }
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(int value) { defaultRowHeight_ = value; }

    // Sets owner, row index, the default height and visibility.
    void ListCreated(TKwGridRow* list, int index) override;
    // Row lists in the range moved: rewrite their row index.
    void Changed(int fromIndex, int toIndex) override;
    // Row indices are limited to kMaxGridRows - 1 (ERangeError beyond).
    TKwGridRow* GetOrCreateList(int index) override;

    // Every row list: ShiftItems (col, -count), cells freed.
    void DeleteColumns(int col, int count);
    void InsertColumns(int col, int count);
    // Row lists with their cells and row objects freed.
    void DeleteRows(int row, int count);
    void InsertRows(int row, int count);
    void MoveColumn(int from, int to);
    void MoveRow(int from, int to) { Move(from, to); }

    // The cell at (col, row) if it exists; never creates anything.
    TKtCell* FindCell(int col, int row) const;
    bool TryGetCell(int col, int row, TKtCell*& cell) const {
        cell = FindCell(col, row);
        return cell != nullptr;
    }
    // No row list, or every existing cell from the first body column up to
    // the row list's HighBound is empty.
    bool RowIsEmpty(int row) const;

    // Number of existing cells (walks every row list).
    long long CellCount() const;

    void FreeItem(TKwGridRow* item) override;
    void Clear() override;

  private:
    friend class TKtRowHeights;
    TKtCustomGrid& grid_;
    int defaultRowHeight_;
    // The row-height view kept informed of moved, created and freed rows.
    TKtRowHeights* heights_ = nullptr;
};

// Row heights as a view over the cell store: no row list -> the default
// height; a row list -> its height when visible, else 0.
//
// Sums over ranges of rows and the row at a pixel offset come from a binary
// indexed tree over the heights of the rows up to the cell store's length
// (rows beyond it all have the default height): O(log n) per query. A
// height change or a row list created at the end updates the tree in
// O(log n); rows moved in bulk (insertion, deletion, sorting) or a new
// default rebuild it once, on the next query, in O(n) - the cost the move
// itself already had.
class TKtRowHeights {
  public:
    TKtRowHeights(TKtCustomGrid& grid, TCells& cells, int defaultSize);
    virtual ~TKtRowHeights();
    TKtRowHeights(const TKtRowHeights&) = delete;
    TKtRowHeights& operator=(const TKtRowHeights&) = delete;

    // Sum of the heights of min(a, b) ... max(a, b) - 1, negated when b < a.
    virtual int64_t SumRange(int a, int b) const;
    // As TSizes::IndexAtOffset, over row heights.
    virtual int IndexAtOffset(int index, int32_t& offset, int32_t startOffset) const;

    int Get(int row) const;
    // The stored height, also of a hidden row.
    int StoredHeight(int row) const;
    // Creates the row list when needed and stores the height.
    void SetHeight(int row, int value);
    // Keeps the stored height; only what Get reports changes.
    void SetVisible(int row, bool visible);
    bool IsVisible(int row) const;

    int DefaultSize() const { return defaultSize_; }
    // Rows at the old default take the new one; other rows keep theirs;
    // row lists created later start at the new default.
    void SetDefaultSize(int value);

    int RowCount() const { return rowCount_; }
    void SetRowCount(int value) { rowCount_ = value; }

  private:
    friend class TCells;
    // Row lists from ... to were moved, created or changed.
    void RowsChanged(int from, int to);
    void Invalidate() { valid_ = false; }
    void Refresh(int row);
    void Ensure() const;
    // Sum of the heights of rows 0 ... k - 1 (k may be negative or beyond
    // the store: rows outside it have the default height).
    int64_t Prefix(int64_t k) const;
    // The largest k >= 0 with Prefix (k) <= target (target >= 0).
    int64_t LargestPrefixAtMost(int64_t target) const;

    TKtCustomGrid& grid_;
    TCells& cells_;
    int defaultSize_;
    int rowCount_ = 0;
    bool attached_ = true;  // the cell store still exists
    mutable bool valid_ = false;
    mutable std::vector<int32_t> heights_;  // what the tree holds, per row
    mutable std::vector<int64_t> tree_;     // 1-based binary indexed tree
};

}  // namespace plu
