#include "formulas/function_list.h"

#include <utility>

#include "formulas/formula_evaluator.h"

namespace plu {

double TKtFunctionArgs::ToNumber(const TKtFormulaValue& v) { return evaluation_.ToNumber(v); }
WideString TKtFunctionArgs::ToText(const TKtFormulaValue& v) { return evaluation_.ToText(v); }
bool TKtFunctionArgs::ToBoolean(const TKtFormulaValue& v) { return evaluation_.ToBoolean(v); }

void TKtFunctionArgs::ForEachCell(const TKtFormulaValue& range,
                                  const std::function<void(const TKtCellData&)>& visit) {
    std::vector<TKtCellData> cells;
    evaluation_.CollectCells(range, cells);
    for (const TKtCellData& cell : cells) visit(cell);
}

const TKtFormulaFunctionDefine* TKtFunctionList::Find(WideStringView name) const {
    auto it = byName_.find(UpperCase(name));
    return it == byName_.end() ? nullptr : it->second;
}

const TKtFormulaFunctionDefine& TKtFunctionList::Add(TKtFormulaFunctionDefine def) {
    items_.push_back(std::make_unique<TKtFormulaFunctionDefine>(std::move(def)));
    const TKtFormulaFunctionDefine* added = items_.back().get();
    byName_.emplace(UpperCase(added->Name), added);  // the first of a name stays the one found
    return *added;
}

const TKtFormulaFunctionDefine* TKtStdFunctionList::FindById(int id) const {
    auto it = byId_.find(id);
    return it == byId_.end() ? nullptr : it->second;
}

const TKtStdFunctionList& StandardFunctions() {
    static const TKtStdFunctionList list;
    return list;
}

}  // namespace plu
