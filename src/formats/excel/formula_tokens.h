// Compiled formulas of the formula language as BIFF8 parsed-expression
// tokens, for the FORMULA records a saved workbook carries.
//
// The formula language compiles to a postfix token list, the order BIFF8
// stores its tokens in, so each token maps to one BIFF8 token:
//  - numbers: ptgInt for whole numbers 0 ... 65535, else ptgNum; strings
//    (at most 255 characters) ptgStr with 16-bit characters; booleans
//    ptgBool; error literals ptgErr;
//  - every operator, unary minus and plus, percent, "&" and the comparisons;
//    a parenthesis of the source text becomes ptgParen, so the text read
//    back is the text written;
//  - references of the own sheet ptgRef / ptgArea, references naming a sheet
//    ptgRef3d / ptgArea3d through the caller's EXTERNSHEET index; a whole
//    column or row ("A:B", "$3:$5") spans the 65,536 rows / 256 columns;
//    references are value class except where a function takes them, which
//    get reference class (SUM(A1:A3) is a reference argument);
//  - calls of the standard functions by their BIFF8 function number: ptgFunc
//    for a function with a fixed argument count, ptgFuncVar otherwise.
// What BIFF8 cannot hold makes the whole formula untokenisable: user and
// unknown functions, defined names, "#Unknown", a reference beyond row
// 65,536 or before A1 once moved to its sheet position, a sheet the
// workbook does not contain, a string beyond 255 characters, tokens beyond
// what one FORMULA record holds.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "formulas/formula_token.h"

namespace plu {

struct TXlsFormulaPlacement {
    // Sheet row / column = data row / column + shift, for references to the
    // formula's own sheet (the rectangle saved may start elsewhere than A1).
    int colShift = 0;
    int rowShift = 0;
    // The EXTERNSHEET index for a token's sheet index; -1 when the workbook
    // being written has no such sheet. Unset: no sheet is reachable.
    std::function<int(int sheet)> externSheet;
};

// The BIFF8 error code of an error value; none for "#Unknown".
std::optional<uint8_t> BiffErrorCode(TKtErrorCode code);

// The token bytes of a compiled formula, or none when BIFF8 cannot hold it.
std::optional<std::vector<uint8_t>> EncodeFormulaTokens(const TKtTokenList& list,
                                                        const TXlsFormulaPlacement& placement);

}  // namespace plu
