// The formula object as the grid sees it. A value of kind formula owns one
// IKtFormula; the grid only creates it from text (through the grid's
// CreateFormula hook, which the formula engine installs), asks it for its
// result and source text, tells it to recalculate, to shift its relative
// references when a formula is copied and to let its references follow
// inserted, deleted and moved rows and columns, and reads the cells and
// ranges it refers to so that changes there recalculate it.
#pragma once

#include <climits>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "base/wide_text.h"

namespace plu {

class TKtAxisEdit;
class TKtCustomGrid;
class TKtValue;

enum class TKtFormulaResultKind : uint8_t { Number, String, Boolean };

// A sheet index for a sheet that was removed (RenumberSheets).
inline constexpr int kSheetGone = INT_MIN;

// A referenced cell or range, inclusive corners in grid coordinates of the
// grid it names. SheetIndex -1 means the formula's own grid; Grid is the grid
// a sheet reference names (nullptr: the formula's own grid for SheetIndex -1
// or its own index, else a sheet that does not exist).
struct TKtFormulaRef {
    int Col1 = 0;
    int Row1 = 0;
    int Col2 = 0;
    int Row2 = 0;
    int SheetIndex = -1;
    TKtCustomGrid* Grid = nullptr;

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

    // May raise when the formula cannot be calculated.
    virtual void Recalculate() = 0;
    // Something the formula reads changed; a result read before the next
    // Recalculate is worked out afresh (formulas that cache results).
    virtual void Invalidate() {}
    // Moves the relative references by the distance between two cells.
    virtual void Shift(int deltaCol, int deltaRow) = 0;
    virtual std::vector<TKtFormulaRef> References() const = 0;
    // Rows or columns of grid were inserted, deleted or reordered (edit in
    // grid coordinates, see axis_edit.h): references naming that grid follow
    // the cells they named; one whose cells were deleted becomes "#REF!".
    // False when nothing changed.
    virtual bool MoveReferences(const TKtCustomGrid& grid, const TKtAxisEdit& edit) {
        (void)grid;
        (void)edit;
        return false;
    }
    // Sheets were renumbered: every reference to sheet index `first` of a
    // pair now names index `second` (all pairs at once); kSheetGone turns it
    // into "#REF!". False when nothing changed.
    virtual bool RenumberSheets(const std::vector<std::pair<int, int>>& renumbering) {
        (void)renumbering;
        return false;
    }
};

}  // namespace plu
