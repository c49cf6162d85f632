// The formula object as the grid sees it. A value of kind formula owns one
// IKtFormula; the grid only creates it from text (through the grid's
// CreateFormula hook, which the formula engine installs), asks it for its
// result and source text, tells it to recalculate, to shift its relative
// references when a formula is copied, and reads the cells and ranges it
// refers to so that the referenced cells can recalculate it when they change.
#pragma once

#include <memory>
#include <vector>

#include "base/wide_text.h"

namespace plu {

class TKtValue;

enum class TKtFormulaResultKind : uint8_t { Number, String, Boolean };

// A referenced cell or range, inclusive corners in grid coordinates.
// SheetIndex -1 means the formula's own grid.
struct TKtFormulaRef {
    int Col1 = 0;
    int Row1 = 0;
    int Col2 = 0;
    int Row2 = 0;
    int SheetIndex = -1;

    bool IsCell() const { return Col1 == Col2 && Row1 == Row2; }
};

class IKtFormula {
  public:
    virtual ~IKtFormula() = default;

    virtual TKtFormulaResultKind ResultKind() const = 0;
    virtual double ResultNumber() const = 0;
    // The result as text (for every result kind).
    virtual WideString ResultText() const = 0;
    virtual bool ResultBoolean() const = 0;
    // The source text without the leading "=".
    virtual WideString SourceText() const = 0;

    virtual void Recalculate() = 0;
    // Moves the relative references by the distance between two cells.
    virtual void Shift(int deltaCol, int deltaRow) = 0;
    virtual std::vector<TKtFormulaRef> References() const = 0;
    // A value this formula referred to is being destroyed.
    virtual void ReferenceDestroyed(TKtValue& value) { (void)value; }
};

}  // namespace plu
