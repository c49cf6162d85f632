// Function definitions and the lists that hold them: the standard list of
// the formula language (indexed by the BIFF8 function number) and the user
// lists a grid or sheet control fills (searched first, in registration
// order). Names compare without regard to case.
#pragma once

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "base/wide_text.h"
#include "formulas/cell_data.h"
#include "formulas/formula_value.h"

namespace plu {

enum class TKtFuncParamType : uint8_t { ptVar, ptNumber, ptString, ptBoolean, ptRef };

class TKtEvaluation;

// The arguments of one call, already converted to the parameter kinds
// (ptVar: a cell reference became the cell's value; ranges stay ranges),
// with the conversions and range reads an implementation may need.
// Implementations report error values by throwing EKtFormulaError and must
// let every other exception pass through unchanged.
class TKtFunctionArgs {
public:
    TKtFunctionArgs(TKtEvaluation& evaluation, std::vector<TKtFormulaValue>& values)
        : evaluation_(evaluation), values_(values) {}

    size_t Count() const { return values_.size(); }
    const TKtFormulaValue& operator[](size_t i) const { return values_[i]; }

    double ToNumber(const TKtFormulaValue& v);
    WideString ToText(const TKtFormulaValue& v);
    bool ToBoolean(const TKtFormulaValue& v);
    // Every cell that exists inside a range value, in row order. The cells are
    // read before `visit` runs, so formulas calculated on the way cannot
    // disturb the walk.
    void ForEachCell(const TKtFormulaValue& range, const std::function<void(const TKtCellData&)>& visit);

private:
    TKtEvaluation& evaluation_;
    std::vector<TKtFormulaValue>& values_;
};

using TKtFunctionImpl = std::function<TKtFormulaValue(TKtFunctionArgs&)>;

struct TKtFormulaFunctionDefine {
    int Id = 0;  // the BIFF8 function number for standard functions
    WideString Name;
    WideString Description;  // shown in the function list offered to users
    std::vector<WideString> ParamNames;
    std::vector<TKtFuncParamType> ParamTypes;  // arguments beyond the list take the last kind
    bool FixedCount = false;                    // the call must pass exactly ParamTypes.size() arguments
    TKtFormulaValueKind ResultKind = TKtFormulaValueKind::Empty;  // Empty: any kind
    TKtFunctionImpl Impl;  // none: the function produces no result
};

class TKtFunctionList {
public:
    TKtFunctionList() = default;
    TKtFunctionList(const TKtFunctionList&) = delete;
    TKtFunctionList& operator=(const TKtFunctionList&) = delete;
    virtual ~TKtFunctionList() = default;

    // The first definition with this name (any case), or nullptr.
    const TKtFormulaFunctionDefine* Find(WideStringView name) const;
    size_t Count() const { return items_.size(); }
    const TKtFormulaFunctionDefine& Item(size_t i) const { return *items_[i]; }

protected:
    // Definitions keep their address for the life of the list: compiled
    // formulas point at them.
    const TKtFormulaFunctionDefine& Add(TKtFormulaFunctionDefine def);

private:
    std::vector<std::unique_ptr<TKtFormulaFunctionDefine>> items_;
    std::unordered_map<WideString, const TKtFormulaFunctionDefine*> byName_;
};

// Functions a grid's owner adds; found before the standard ones.
class TKtUserFunctionList : public TKtFunctionList {
public:
    const TKtFormulaFunctionDefine& Register(TKtFormulaFunctionDefine def) { return Add(std::move(def)); }
};

class TKtStdFunctionList : public TKtFunctionList {
public:
    TKtStdFunctionList();
    const TKtFormulaFunctionDefine* FindById(int id) const;

private:
    std::unordered_map<int, const TKtFormulaFunctionDefine*> byId_;
};

// The standard list; immutable and shared by every compiler and evaluator.
const TKtStdFunctionList& StandardFunctions();

}  // namespace plu
