// What a referenced cell holds, as the formula engine reads it through the
// grid services, and the cell-level conversions the evaluator applies to it
// (the same rules as a cell's own GetAsFloat, GetAsBoolean and GetAsString).
#pragma once

#include <cstdint>

#include "base/wide_text.h"
#include "formulas/formula_value.h"

namespace plu {

class TKtGridFormulaItem;

// The value kinds of a grid cell, numbered as the grid stores them.
enum class TKtCellDataKind : uint8_t { Empty = 0, Float = 1, String = 2, Formula = 3, Integer = 4 };

struct TKtCellData {
    TKtCellDataKind Kind = TKtCellDataKind::Empty;
    double Float = 0;
    int32_t Integer = 0;  // booleans are integers 0 and 1
    WideString Text;
    TKtGridFormulaItem* Formula = nullptr;  // observed, owned by the cell

    static TKtCellData FromFloat(double value);
    static TKtCellData FromInteger(int32_t value);
    static TKtCellData FromString(WideString text);
    static TKtCellData FromFormula(TKtGridFormulaItem* item);
};

// Empty 0; a string through the text-to-float conversion (EConvertError on
// bad text); a formula its numeric result (calculated on demand).
double CellAsFloat(const TKtCellData& cell);
// A string is true when its trimmed text is "True" in any case.
bool CellAsBoolean(const TKtCellData& cell);
// Floats in general form with 15 significant digits, integers in decimal.
WideString CellAsString(const TKtCellData& cell);
// Floats and integers, and formulas whose result is a number.
bool CellIsNumber(const TKtCellData& cell);
// The cell's value as a formula value: floats and integers as numbers, a
// formula its result.
TKtFormulaValue CellFormulaValue(const TKtCellData& cell);

}  // namespace plu
