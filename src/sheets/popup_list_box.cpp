#include "sheets/popup_list_box.h"

#include <algorithm>

#include "sheets/cell_geometry.h"

namespace plu {

namespace {
// The list's border on each side (the 4 pixels of frame are split evenly).
constexpr int kBorder = kDropDownFrame / 2;
}  // namespace

TPopupListBox::TPopupListBox(TKtComboBoxCell& cell, std::vector<WideString> items,
                             const TFont& font, int itemHeight)
    : cell_(&cell), items_(std::move(items)), font_(font), itemHeight_(std::max(itemHeight, 1)) {}

TPopupListBox::~TPopupListBox() = default;

WideString TPopupListBox::Item(int index) const {
    if (index < 0 || index >= Count()) return WideString();
    return items_[static_cast<size_t>(index)];
}

int TPopupListBox::DropDownCount() const {
    return kDropDownCount;
}

void TPopupListBox::SetItemIndex(int index) {
    if (index < 0 || index >= Count()) index = -1;
    if (index >= 0) {
        if (index < topIndex_) topIndex_ = index;
        if (index >= topIndex_ + kDropDownCount) topIndex_ = index - kDropDownCount + 1;
    }
    if (index == itemIndex_) return;
    itemIndex_ = index;
    Changed();
}

void TPopupListBox::ScrollBy(int rows) {
    const int last = std::max(0, Count() - kDropDownCount);
    const int top = std::clamp(topIndex_ + rows, 0, last);
    if (top == topIndex_) return;
    topIndex_ = top;
    Changed();
}

int TPopupListBox::ItemAt(TPoint screen) const {
    if (!Contains(screen)) return -1;
    const int y = screen.Y - bounds_.Top - kBorder;
    if (y < 0) return -1;
    const int row = y / itemHeight_;
    if (row >= kDropDownCount) return -1;
    const int index = topIndex_ + row;
    return index < Count() ? index : -1;
}

void TPopupListBox::Show(IKtDropDownHost* host) {
    if (!host) return;
    window_ = host->CreateDropDownWindow(*this);
    if (window_) window_->Show(*this);
}

void TPopupListBox::Changed() {
    if (window_) window_->Changed(*this);
}

}  // namespace plu
