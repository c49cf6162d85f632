// Defined names: a word of a formula that matches a name (any case) stands
// for the name's value. Compiled formulas keep the name's index, so names are
// never removed one by one; Clear() makes every index unknown ("#NAME?").
#pragma once

#include <vector>

#include "base/wide_text.h"
#include "formulas/formula_value.h"

namespace plu {

class TKtFormulaNameList {
public:
    // Adds a name, or gives an existing one (any case) the new value; returns its index.
    int Add(WideStringView name, TKtFormulaValue value);
    int IndexOf(WideStringView name) const;
    int Count() const { return static_cast<int>(items_.size()); }
    bool Contains(int index) const { return index >= 0 && index < Count(); }
    const WideString& Name(int index) const { return items_.at(static_cast<size_t>(index)).name; }
    const TKtFormulaValue& Value(int index) const { return items_.at(static_cast<size_t>(index)).value; }
    void SetValue(int index, TKtFormulaValue value);
    void Clear() { items_.clear(); }

private:
    struct Entry {
        WideString name;
        TKtFormulaValue value;
    };
    std::vector<Entry> items_;
};

}  // namespace plu
