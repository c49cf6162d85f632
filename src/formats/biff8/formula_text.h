// Formula text from BIFF8 formula tokens.
//
// A BIFF8 FORMULA or SHRFMLA record stores its formula as parsed-expression
// tokens ("ptg" tokens) in reverse Polish order, followed in the same record
// body by the formula's extra data (the constants of array tokens). The
// converter rebuilds A1-notation text without the leading "=" in one pass over
// the tokens with a stack of text pieces:
//  - operators, constants, cell and area references (with their "$" marks),
//    the relative references of shared formulas, calls of built-in functions,
//    array constants ("{1,2;3,4}": "," between columns, ";" between rows),
//    strings in quotation marks with inner quotation marks doubled (so the
//    formula language reads them back as one);
//  - defined names and references into other sheets go through the caller's
//    name callback (the workbook answers "#NAME?" to every question);
//  - an unknown token ends decoding with "Unknown ptg[XX]" as the result, a
//    token whose data runs past the record body ends it with
//    "Truncated ptg[XX]" (XX: the token id in upper-case hexadecimal);
//  - an operator without enough operands pushes "<Val missing>"; an empty
//    stack at the end gives "[ERROR]";
//  - a parenthesis, a sum attribute or a function call that needs more stack
//    items than there are throws ERangeError ("List index out of bounds (n)").
// Nothing is ever read outside the bytes the caller hands over, whatever
// counts the tokens claim.
//
// The text is wide: 8-bit characters of string tokens are widened through the
// ANSI code page, 16-bit characters are kept as they are (nothing is lost to
// the code page), so callers take the result as it is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "base/wide_text.h"

namespace plu {

// Kinds of question put to the name callback:
//  - a defined name (ptgName): (0, -1, name index);
//  - the sheet of a 3-D reference: (3, EXTERNSHEET index, -1);
//  - an external name (ptgNameX): (3, EXTERNSHEET index, name index).
inline constexpr std::uint8_t kNameKindDefined = 0;
inline constexpr std::uint8_t kNameKindExternal = 3;

// The host's text for a defined name, the sheet part of a 3-D reference or an
// external name: (kind, EXTERNSHEET index or -1, name index or -1) -> text.
using TGetNameText = std::function<WideString(std::uint8_t kind, int sheetIndex, int itemIndex)>;

// The answer of a host that keeps no name or EXTERNSHEET tables: "#NAME?".
// An empty callback given to the functions below answers the same.
// The text of a BIFF error code ("#DIV/0!" for 0x07 ...), or nullptr for a
// code that names no error.
const char16_t* BiffErrorText(std::uint8_t code);

WideString UnresolvedNameText(std::uint8_t kind, int sheetIndex, int itemIndex);

// Decodes the tokenByteCount token bytes at the start of `body`; the bytes
// after them are the extra data. `body` runs from the first token to the end
// of the record body. baseRow and baseColumn are the position of the FORMULA
// cell being read; relative references of shared formulas resolve against it.
WideString FormulaToText(std::span<const std::uint8_t> body, std::size_t tokenByteCount,
                         int baseRow, int baseColumn, const TGetNameText& getNameText = {});

// A whole FORMULA record body: row (u16 at 0) and column (u16 at 2) as base,
// token byte count (u16 at 20), tokens from offset 22.
WideString FormulaRecordText(std::span<const std::uint8_t> formulaBody,
                             const TGetNameText& getNameText = {});

// A whole SHRFMLA record body (token byte count u16 at 8, tokens from offset
// 10) read for the FORMULA cell at (row, column), not the range's first cell.
WideString SharedFormulaRecordText(std::span<const std::uint8_t> sharedFormulaBody, int row,
                                   int column, const TGetNameText& getNameText = {});

}  // namespace plu
