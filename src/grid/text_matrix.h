// TKwSheet: a sparse matrix of wide strings (row -> column -> text) with a
// column and a row count; it carries pasted blocks of text. Only rows and
// cells that hold a text cost storage.
#pragma once

#include "grid/sparse_list.h"

namespace plu {

class TKwSheet : public TListSList<TStringSList> {
  public:
    // "" when absent.
    WideString GetText(int col, int row) const;
    // Raises the counts to at least col + 1 and row + 1. Negative positions
    // are ignored; a column beyond 65535 raises ERangeError.
    void SetText(int col, int row, WideStringView text);

    int ColCount() const { return colCount_; }
    int RowCount() const { return rowCount_; }
    void SetColCount(int value) { colCount_ = value < 0 ? 0 : value; }
    void SetRowCount(int value) { rowCount_ = value < 0 ? 0 : value; }
    // RowCount := the highest row index holding a row + 1.
    void FitRowCount() { rowCount_ = HighBound() + 1; }

    // Empties the matrix and zeroes both counts.
    void Clear() override;

  private:
    int colCount_ = 0;
    int rowCount_ = 0;
};

}  // namespace plu
