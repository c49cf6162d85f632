#include "grid/grid_row.h"

#include "grid/cell_store.h"
#include "grid/custom_grid.h"

namespace plu {

TKtCustomGrid& TKtGridRow::Grid() const {
    return owner_->Grid();
}

int TKtGridRow::Index() const {
    return owner_->RowIndex();
}

TKtGridStyle& TKtGridRow::Style() {
    if (!style_) {
        style_ = std::make_unique<TKtGridStyle>();
        style_->OnChange = [this] { Grid().InvalidateRow(Index()); };
    }
    return *style_;
}

int TKtGridRow::Height() const {
    return Grid().RowHeights(Index());
}

void TKtGridRow::SetHeight(int height) {
    Grid().SetRowHeight(Index(), height);
}

}  // namespace plu
