#include "sheets/sheet_tabs.h"

#include <algorithm>

namespace plu {

int TKtTabControlStrings::IndexOf(const TVexaGridSheet* sheet) const {
    if (!sheet) return -1;
    for (size_t i = 0; i < tabs_.size(); ++i)
        if (tabs_[i].Sheet == sheet) return static_cast<int>(i);
    return -1;
}

void TKtTabControlStrings::Insert(int index, WideStringView caption, TVexaGridSheet* sheet) {
    index = std::clamp(index, 0, Count());
    tabs_.insert(tabs_.begin() + index, TKtSheetTab{WideString(caption), sheet});
}

void TKtTabControlStrings::Delete(int index) {
    if (Valid(index)) tabs_.erase(tabs_.begin() + index);
}

void TKtTabControlStrings::Move(int from, int to) {
    if (!Valid(from) || !Valid(to) || from == to) return;
    TKtSheetTab tab = std::move(tabs_[static_cast<size_t>(from)]);
    tabs_.erase(tabs_.begin() + from);
    tabs_.insert(tabs_.begin() + to, std::move(tab));
}

void TKtTabControlStrings::SetCaption(int index, WideStringView caption) {
    if (Valid(index)) tabs_[static_cast<size_t>(index)].Caption = WideString(caption);
}

}  // namespace plu
