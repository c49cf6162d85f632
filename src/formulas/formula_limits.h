// Limits of the formula engine.
#pragma once

#include <cstddef>

namespace plu {

// Longest text a formula produces ("&", REPT): the most a cell holds in a
// workbook. Longer results are "#VALUE!" rather than unbounded memory.
inline constexpr size_t kMaxFormulaTextLength = 32767;

// Formula calculations nested on the machine stack (a formula reading a cell
// whose formula is not calculated yet). Deeper chains continue from a work
// list, so a chain of any length needs no more stack than this.
inline constexpr int kMaxCalculationNesting = 64;

}  // namespace plu
