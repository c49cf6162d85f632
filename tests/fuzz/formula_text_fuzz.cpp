// Formula tokens from a damaged or hostile file. Input: token byte count
// (u16), base row (u16), base column (byte), then the record body from the
// first token on (tokens and extra data). The same bytes are also read as a
// whole FORMULA body and a whole SHRFMLA body.
#include <cstddef>
#include <cstdint>
#include <span>

#include "base/exceptions.h"
#include "formats/biff8/formula_text.h"

namespace {

template <typename F>
void Decode(F&& decode) {
    try {
        decode();
    } catch (const plu::ERangeError&) {
        // Calls and parentheses short of operands: the documented failure.
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    Decode([&] { plu::FormulaRecordText(input); });
    Decode([&] { plu::SharedFormulaRecordText(input, 10, 3); });
    if (size < 5) return 0;
    const std::size_t count = data[0] | (data[1] << 8);
    const int row = data[2] | (data[3] << 8);
    const int column = data[4];
    Decode([&] { plu::FormulaToText(input.subspan(5), count, row, column); });
    return 0;
}
