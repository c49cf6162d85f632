// Grids with formula support for the formula tests: a lone data grid, and a
// small workbook of grids sharing one compiler and evaluator, with sheets
// found by caption, set up the way a sheet control sets up its worksheets.
// Cells are addressed by their formula names: A1 is the first body cell.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/conversions.h"
#include "formulas/data_grid_formulas.h"
#include "grid/cell.h"

namespace plu::testing {

class NamedCells : public TKtCustomGrid {
public:
    NamedCells() {
        SetOptionsEx(OptionsEx().With(TGridOptionEx::goxSupportFormula));
        SetColCount(10);
        SetRowCount(200);
    }
    TKtCell& At(std::string_view a1) {
        TKtCellRefPart p;
        if (!ParseCellReference(Utf8ToWide(a1), p)) throw Exception("bad test address");
        return GetCell(p.Col + FixedColCount(), p.Row + FixedRowCount());
    }
    void Type(std::string_view a1, std::string_view text) { At(a1).SetText(Utf8ToWide(text)); }
    std::string Show(std::string_view a1) { return WideToUtf8(At(a1).GetText()); }
    std::string Edit(std::string_view a1) { return WideToUtf8(At(a1).GetText(false)); }
};

// A grid with formula support, as a data grid sets it up.
class FormulaGrid : public NamedCells {
public:
    std::unique_ptr<IKtFormula> CreateFormula(TKtValue& owner, WideStringView text, const IKtFormula* old) override {
        return formulas.CreateFormula(owner, text, old);
    }
    void Calculate() override { formulas.Calculate(); }

    TKtDataGridFormulas formulas{*this};
};

class Book;

// One worksheet of a Book: its sheet index is its position in the book.
class BookSheet : public NamedCells {
public:
    BookSheet(Book& book, WideString caption) : caption(std::move(caption)), formulas(*this, book) {}
    std::unique_ptr<IKtFormula> CreateFormula(TKtValue& owner, WideStringView text, const IKtFormula* old) override {
        return formulas.CreateFormula(owner, text, old);
    }

    WideString caption;

    class Formulas : public TKtDataGridFormulas {
    public:
        Formulas(BookSheet& sheet, Book& book) : TKtDataGridFormulas(sheet), sheet_(sheet), book_(book) {}
        TKtGridCalcExpress* CalcExpress() const override;
        int SheetIndexOf(WideStringView name) const override;

    protected:
        TKtCustomGrid* SheetGrid(int index) const override;
        WideString SheetCaption(int index) const override;

    private:
        BookSheet& sheet_;
        Book& book_;
    } formulas;
};

class Book {
public:
    BookSheet& Add(std::string_view caption) {
        sheets.push_back(std::make_unique<BookSheet>(*this, Utf8ToWide(caption)));
        sheets.back()->SetSheetIndex(static_cast<int>(sheets.size()) - 1);
        return *sheets.back();
    }
    // Takes the sheet out of the book (renumbering the others), then frees it.
    void Remove(int index) {
        std::unique_ptr<BookSheet> gone = std::move(sheets[static_cast<size_t>(index)]);
        gone->SetSheetIndex(-1);
        sheets.erase(sheets.begin() + index);
        Renumber();
        gone.reset();
    }
    void Move(int from, int to) {
        std::unique_ptr<BookSheet> moving = std::move(sheets[static_cast<size_t>(from)]);
        sheets.erase(sheets.begin() + from);
        sheets.insert(sheets.begin() + to, std::move(moving));
        Renumber();
    }
    BookSheet& operator[](int index) { return *sheets[static_cast<size_t>(index)]; }

    TKtUserFunctionList functions;
    TKtGridCalcExpress calc{&functions};
    // After the context: the sheets go first.
    std::vector<std::unique_ptr<BookSheet>> sheets;

private:
    void Renumber() {
        for (size_t i = 0; i < sheets.size(); ++i) sheets[i]->SetSheetIndex(static_cast<int>(i));
    }
};

inline TKtGridCalcExpress* BookSheet::Formulas::CalcExpress() const { return &book_.calc; }

inline int BookSheet::Formulas::SheetIndexOf(WideStringView name) const {
    for (size_t i = 0; i < book_.sheets.size(); ++i)
        if (SameText(book_.sheets[i]->caption, name)) return static_cast<int>(i);
    return -1;
}

inline TKtCustomGrid* BookSheet::Formulas::SheetGrid(int index) const {
    if (index == -1) return &sheet_;
    if (index < 0 || index >= static_cast<int>(book_.sheets.size())) return nullptr;
    return book_.sheets[static_cast<size_t>(index)].get();
}

inline WideString BookSheet::Formulas::SheetCaption(int index) const {
    TKtCustomGrid* grid = SheetGrid(index);
    return grid ? static_cast<BookSheet*>(grid)->caption : WideString();
}

}  // namespace plu::testing
