// A compiled formula as a cell holds it: its token list, its last result and
// the calculation marks. Every read of the result calculates the item first
// when it is not calculated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <utility>
#include <vector>

#include "base/wide_text.h"
#include "formulas/cell_reference.h"
#include "formulas/formula_token.h"
#include "formulas/formula_value.h"
#include "grid/axis_edit.h"

namespace plu {

class TKtGridFormulas;

// A cell or range a formula refers to: data coordinates, sheet -1 for the
// formula's own sheet. A range's rectangle has its corners in order and
// open parts ("A:B") spread over the whole sheet.
struct TKtFormulaReference {
    int Sheet = -1;
    TKtCellRect Rect;
    bool IsRange = false;

    bool operator==(const TKtFormulaReference&) const = default;
};

class TKtGridFormulaItem {
public:
    // Joins the owner's list of items (in creation order).
    explicit TKtGridFormulaItem(TKtGridFormulas& owner);
    TKtGridFormulaItem(const TKtGridFormulaItem&) = delete;
    TKtGridFormulaItem& operator=(const TKtGridFormulaItem&) = delete;
    ~TKtGridFormulaItem();

    // nullptr once the owner is gone.
    TKtGridFormulas* Owner() const { return owner_; }
    const TKtTokenList& Tokens() const { return tokens_; }
    // Takes a compiled token list; the item becomes uncalculated.
    void SetTokens(TKtTokenList tokens);

    // The formula text without "=".
    WideString SourceText() const;

    // Results. Empty 0 / false / ""; strings through the text-to-number
    // conversion (the empty string 0); a number is true when greater than 0;
    // booleans 1/0 and "TRUE"/"FALSE". An error result raises that error
    // (EKtFormulaError), any other kind "#VALUE!".
    double AsNumber();
    bool AsBoolean();
    WideString AsString();
    // AsString, but an error result (and a result that has no text) shows as
    // the error's name.
    WideString DisplayText();
    TKtFormulaValue Result();
    TKtFormulaValueKind ResultKind();

    // Evaluates the formula. Raises "公式存在循环引用" when the item is
    // already being calculated (it needs its own result); other failures
    // propagate and leave the item uncalculated. Chains of formulas of any
    // length are calculated without deep recursion.
    void Calculate();
    bool Calculated() const { return calculated_; }
    // The last calculation failed and nothing invalidated the item since.
    bool Failed() const { return !calculated_ && failure_ != nullptr; }
    // Marks the item uncalculated (a value it refers to changed).
    void Invalidate();

    // Takes a copy of the other item's token list, unchanged.
    void CopyFrom(const TKtGridFormulaItem& other);
    // Moves every relative part of every reference by the distance; a
    // reference that leaves the sheet (above row 1, left of column A, beyond
    // the last row or IV) becomes "#REF!"; range corners are put back in order.
    void Shift(int columns, int rows);
    // The cells and ranges referred to, each once, in order of appearance.
    std::vector<TKtFormulaReference> References() const;
    // Rows or columns were inserted, deleted or reordered in the sheets for
    // which namesSheet(token sheet) answers true (edit in data coordinates,
    // see grid/axis_edit.h): a cell reference follows its cell; a range
    // moves, grows or shrinks with its rows (columns) and stays put when a
    // reordering does not carry it whole; a reference whose cells were all
    // deleted, or that would leave the sheet, becomes "#REF!". Open parts of
    // a range ("A:B") stay open. False when nothing changed.
    bool MoveReferences(const std::function<bool(int sheet)>& namesSheet, const TKtAxisEdit& edit);
    // Sheets were renumbered: each reference to sheet `first` of a pair now
    // names sheet `second` (all pairs at once); kSheetGone (grid/formula.h)
    // makes it "#REF!". References to the own sheet (-1) stay. False when
    // nothing changed.
    bool RenumberSheets(const std::vector<std::pair<int, int>>& renumbering);
    // Every single-cell reference to `old` refers to `now` instead, keeping
    // its "$" marks. A sheet of -1 and the owner's own index name the same sheet.
    void ReplaceReference(const TKtCellAddress& old, const TKtCellAddress& now);

    // Called after every successful calculation.
    std::function<void(TKtGridFormulaItem&)> OnAfterCalculate;

private:
    friend class TKtGridFormulas;
    void EnsureCalculated();
    void Evaluate();
    static void CalculateFrom(TKtGridFormulaItem& first);
    static void CalculateOperandsFirst(TKtGridFormulaItem& first, uint64_t pass);
    // Formula items in the cells this one refers to that are not calculated.
    std::vector<TKtGridFormulaItem*> UncalculatedOperands() const;

    TKtGridFormulas* owner_;
    TKtTokenList tokens_;
    TKtFormulaValue result_;
    bool calculated_ = false;
    bool calculating_ = false;
    // Waiting, in a calculation's work list, for a formula it needs.
    bool pending_ = false;
    // The failure of the last calculation and the pass it happened in: a
    // formula read again in the same pass fails the same way without work.
    std::exception_ptr failure_;
    uint64_t failurePass_ = 0;
    // The pass whose walk over the operands has seen this item.
    uint64_t visitPass_ = 0;
    // The owner's list.
    TKtGridFormulaItem* prev_ = nullptr;
    TKtGridFormulaItem* next_ = nullptr;
    size_t walkSlot_ = 0;
};

}  // namespace plu
