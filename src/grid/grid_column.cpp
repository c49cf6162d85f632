#include "grid/grid_column.h"

#include "grid/custom_grid.h"

namespace plu {

TKtGridColumn::TKtGridColumn(TKtCustomGrid& grid, int col)
    : grid_(&grid), index_(col), font_(grid.Font()) {
    font_.OnChange = [this] { Repaint(); };
    style_.OnChange = [this] { Repaint(); };
}

void TKtGridColumn::Repaint() {
    grid_->InvalidateCol(index_);
}

void TKtGridColumn::SetUseColumnFont(bool on) {
    if (useColumnFont_ == on) return;
    useColumnFont_ = on;
    Repaint();
}

void TKtGridColumn::SetVisible(bool visible) {
    grid_->SetColVisible(index_, visible);
}

int TKtGridColumn::Width() const {
    return grid_->ColWidths(index_);
}

void TKtGridColumn::SetWidth(int width) {
    grid_->SetColWidth(index_, width);
}

void TVexaGridColList::Changed(int fromIndex, int toIndex) {
    ForAllInRange(fromIndex, toIndex, [](int i, Item item) {
        reinterpret_cast<TKtGridColumn*>(item)->SetIndex(i);
        return 0;
    });
}

}  // namespace plu
