#include "formulas/name_list.h"

#include <utility>

namespace plu {

int TKtFormulaNameList::Add(WideStringView name, TKtFormulaValue value) {
    int i = IndexOf(name);
    if (i >= 0) {
        items_[static_cast<size_t>(i)].value = std::move(value);
        return i;
    }
    items_.push_back({WideString(name), std::move(value)});
    return Count() - 1;
}

int TKtFormulaNameList::IndexOf(WideStringView name) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (SameText(items_[i].name, name)) return static_cast<int>(i);
    return -1;
}

void TKtFormulaNameList::SetValue(int index, TKtFormulaValue value) {
    items_.at(static_cast<size_t>(index)).value = std::move(value);
}

}  // namespace plu
