// A1-style references as the formula language writes them: column letters
// A .. IV (at most two letters, so column 255 is the last), a row counted
// from 1, "$" before either part to make it absolute. Coordinates here are
// data coordinates: A1 is column 0, row 0 (the first body cell of a grid).
#pragma once

#include <cstdint>

#include "base/wide_text.h"

namespace plu {

inline constexpr int kMaxFormulaCol = 255;      // "IV"
inline constexpr int kMaxFormulaRow = 1048575;  // row text 1048576, the cell store's reach

// One corner of a reference. Inside a range a corner may leave out its row
// or its column ("A:B", "$3:$5"); the missing part is -1.
struct TKtCellRefPart {
    int32_t Col = 0;
    int32_t Row = 0;
    bool AbsCol = false;
    bool AbsRow = false;

    bool operator==(const TKtCellRefPart&) const = default;
};

// An inclusive rectangle of data coordinates.
struct TKtCellRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    bool Contains(int col, int row) const {
        return col >= Left && col <= Right && row >= Top && row <= Bottom;
    }
    bool operator==(const TKtCellRect&) const = default;
};

// One cell: sheet index (-1 = the formula's own sheet) and data coordinates.
struct TKtCellAddress {
    int Sheet = -1;
    int Col = 0;
    int Row = 0;

    bool operator==(const TKtCellAddress&) const = default;
};

// Column letters: 0 -> "A", 25 -> "Z", 26 -> "AA", 255 -> "IV".
WideString ColumnLetters(int col);

// A single cell reference ("A1", "$B$7", "iv65536"): letters and digits are
// both required. False for anything else, and for columns beyond IV or rows
// outside 1 .. kMaxFormulaRow + 1.
bool ParseCellReference(WideStringView text, TKtCellRefPart& out);

// A range "A1:B2", "A:B", "$1:$3", "A1:B": two corners joined by ":", each a
// cell reference or one that leaves out its row or its column.
bool ParseRangeReference(WideStringView text, TKtCellRefPart& first, TKtCellRefPart& last);

// The text of one corner with its "$" marks; missing parts are left out.
WideString CellRefText(const TKtCellRefPart& part);

// The rectangle a range covers: corners in order, open parts spanning the
// whole sheet in that direction.
TKtCellRect RangeRect(const TKtCellRefPart& first, const TKtCellRefPart& last);

}  // namespace plu
