// A small in-memory workbook for formula tests: sheets with captions whose
// cells hold plain values or formula items, behind the grid services the
// formula engine asks for. All sheets share one compiler and evaluator, as
// the worksheets of a sheet control do; a "lone" book behaves like a plain
// data grid that knows no sheet names.
#pragma once

#include <map>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "base/conversions.h"
#include "formulas/calc_express.h"
#include "formulas/cell_reference.h"
#include "formulas/formula_item.h"
#include "formulas/grid_formulas.h"

namespace plu::testing {

class FakeBook;

class FakeSheet : public TKtGridFormulas {
public:
    FakeSheet(FakeBook& book, int index, WideString caption) : book_(book), index_(index), caption_(std::move(caption)) {}
    ~FakeSheet() override { cells_.clear(); }

    TKtGridCalcExpress* CalcExpress() const override;
    bool ReadCell(int sheet, int col, int row, TKtCellData& out) override;
    bool ForEachCell(int sheet, const TKtCellRect& rect,
                     const std::function<void(int, int, const TKtCellData&)>& visit) override;
    WideString SheetName(int index) const override;
    int SheetIndexOf(WideStringView name) const override;
    int SheetIndex() const override;

    // Text as a user types it: "=..." a formula, numbers, TRUE/FALSE as 1/0,
    // anything else a string; "" clears. A formula that does not compile throws.
    void Set(std::string_view a1, std::string_view text) { Set(Address(a1), Utf8ToWide(text)); }
    void Set(std::pair<int, int> at, const WideString& text) {
        if (text.empty()) {
            cells_.erase(Key(at));
            return;
        }
        Cell cell;
        if (text.size() > 1 && text[0] == u'=') {
            cell.formula = Compile(text);
            cell.data = TKtCellData::FromFormula(cell.formula.get());
        } else {
            int32_t i;
            double f;
            bool b;
            if (TryStrToInt(text, i))
                cell.data = TKtCellData::FromInteger(i);
            else if (TryStrToFloat(text, f))
                cell.data = TKtCellData::FromFloat(f);
            else if (TryStrToBool(text, b))
                cell.data = TKtCellData::FromInteger(b ? 1 : 0);
            else
                cell.data = TKtCellData::FromString(text);
        }
        cells_[Key(at)] = std::move(cell);
    }
    void SetData(std::string_view a1, TKtCellData data) { cells_[Key(Address(a1))].data = std::move(data); }
    // Puts a formula item built elsewhere into a cell.
    void Put(std::pair<int, int> at, std::unique_ptr<TKtGridFormulaItem> item) {
        Cell cell;
        cell.formula = std::move(item);
        cell.data = TKtCellData::FromFormula(cell.formula.get());
        cells_[Key(at)] = std::move(cell);
    }

    TKtGridFormulaItem* Formula(std::string_view a1) {
        auto it = cells_.find(Key(Address(a1)));
        return it == cells_.end() ? nullptr : it->second.formula.get();
    }

    // What the cell shows: a formula its display text, other values their text.
    std::string Show(std::string_view a1) {
        auto it = cells_.find(Key(Address(a1)));
        if (it == cells_.end()) return "";
        if (it->second.formula) return WideToUtf8(it->second.formula->DisplayText());
        return WideToUtf8(CellAsString(it->second.data));
    }

    static std::pair<int, int> Address(std::string_view a1) {
        TKtCellRefPart p;
        if (!ParseCellReference(Utf8ToWide(a1), p)) throw Exception("bad test address");
        return {p.Col, p.Row};
    }

private:
    struct Cell {
        TKtCellData data;
        std::unique_ptr<TKtGridFormulaItem> formula;
    };
    static std::pair<int, int> Key(std::pair<int, int> colRow) { return {colRow.second, colRow.first}; }

    FakeBook& book_;
    int index_;
    WideString caption_;
    std::map<std::pair<int, int>, Cell> cells_;  // by (row, col)

    friend class FakeBook;
};

class FakeBook {
public:
    explicit FakeBook(std::vector<WideString> captions = {u"Sheet1"}, bool lone = false) : lone_(lone) {
        for (size_t i = 0; i < captions.size(); ++i)
            sheets_.push_back(std::make_unique<FakeSheet>(*this, static_cast<int>(i), captions[i]));
    }
    // Cells go first: their formula items belong to the sheets' services.
    ~FakeBook() {
        for (auto& s : sheets_) s->cells_.clear();
    }

    FakeSheet& Sheet(int i = 0) { return *sheets_.at(static_cast<size_t>(i)); }
    TKtGridCalcExpress& Engine() { return engine_; }
    TKtUserFunctionList& UserFunctions() { return userFunctions_; }
    bool Lone() const { return lone_; }
    FakeSheet* Find(int index, const FakeSheet& self) {
        if (index == -1) return const_cast<FakeSheet*>(&self);
        if (lone_ || index < 0 || static_cast<size_t>(index) >= sheets_.size()) return nullptr;
        return sheets_[static_cast<size_t>(index)].get();
    }
    int IndexOf(WideStringView name) const {
        if (lone_) return -1;
        for (size_t i = 0; i < sheets_.size(); ++i)
            if (SameText(sheets_[i]->caption_, name)) return static_cast<int>(i);
        return -1;
    }
    void Rename(int i, WideString caption) { sheets_.at(static_cast<size_t>(i))->caption_ = std::move(caption); }

private:
    bool lone_;
    TKtUserFunctionList userFunctions_;
    TKtGridCalcExpress engine_{&userFunctions_};
    std::vector<std::unique_ptr<FakeSheet>> sheets_;
};

inline TKtGridCalcExpress* FakeSheet::CalcExpress() const { return &book_.Engine(); }

inline bool FakeSheet::ReadCell(int sheet, int col, int row, TKtCellData& out) {
    FakeSheet* s = book_.Find(sheet, *this);
    if (!s) return false;
    auto it = s->cells_.find({row, col});
    out = it == s->cells_.end() ? TKtCellData{} : it->second.data;
    return true;
}

inline bool FakeSheet::ForEachCell(int sheet, const TKtCellRect& rect,
                                   const std::function<void(int, int, const TKtCellData&)>& visit) {
    FakeSheet* s = book_.Find(sheet, *this);
    if (!s) return false;
    for (auto it = s->cells_.lower_bound({rect.Top, rect.Left}); it != s->cells_.end(); ++it) {
        auto [row, col] = it->first;
        if (row > rect.Bottom) break;
        if (col >= rect.Left && col <= rect.Right) visit(col, row, it->second.data);
    }
    return true;
}

inline WideString FakeSheet::SheetName(int index) const {
    if (index == -1) return caption_;
    FakeSheet* s = book_.Find(index, *this);
    return s ? s->caption_ : WideString();
}

inline int FakeSheet::SheetIndexOf(WideStringView name) const { return book_.IndexOf(name); }
inline int FakeSheet::SheetIndex() const { return book_.Lone() ? -1 : index_; }

}  // namespace plu::testing
