// The built-in functions of BIFF8 formulas, addressed by the function index
// that ptgFunc and ptgFuncVar tokens carry.
#pragma once

#include <array>
#include <cstdint>

namespace plu {

struct TExcelFunction {
    // Arguments of a call with a fixed number of arguments (ptgFunc). For a
    // function that takes a variable number this is its minimum: such calls
    // arrive as ptgFuncVar with their own count, and a writer that still uses
    // ptgFunc for them at least gets the arguments the function needs.
    std::uint8_t ArgCount = 0;
    // The name as written in formula text. The indexes without a public name
    // (202, 203, 217, 218, 249, 250, 255, 333) carry their decimal number: a
    // name that begins with a digit means the called function's name is the
    // call's first argument (255 is the call of a user-defined function).
    const char* Name = "";
    // Takes a variable number of arguments: a call is written as ptgFuncVar
    // with its own count, never as ptgFunc.
    bool Variable = false;
};

inline constexpr int kExcelFunctionCount = 368;

// Indexes 0 ("COUNT") to 367 ("VARA"), macro-sheet functions included.
extern const std::array<TExcelFunction, kExcelFunctionCount> TExcelFunctions;

}  // namespace plu
