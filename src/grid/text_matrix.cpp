#include "grid/text_matrix.h"

namespace plu {

WideString TKwSheet::GetText(int col, int row) const {
    const TStringSList* cells = Get(row);
    return cells ? cells->Get(col) : WideString();
}

void TKwSheet::SetText(int col, int row, WideStringView text) {
    if (col < 0 || row < 0) return;
    CheckIndex(row);
    TStringSList* cells = this->Get(row);
    if (!cells) {
        // Check the column first so that a refused text leaves no empty row.
        if (col > MaxIndexFor(0)) throw ERangeError("Range check error");
        cells = GetOrCreateList(row);
    }
    cells->Put(col, text);
    if (col + 1 > colCount_) colCount_ = col + 1;
    if (row + 1 > rowCount_) rowCount_ = row + 1;
}

void TKwSheet::Clear() {
    TListSList<TStringSList>::Clear();
    colCount_ = rowCount_ = 0;
}

}  // namespace plu
