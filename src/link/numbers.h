// Numbers on the wire. The PC writes upper-case hexadecimal with a minimum
// number of digits; the scale writes fixed-width decimal digits. The same
// field therefore has two encodings, one per direction.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/regional_settings.h"
#include "base/wide_text.h"

namespace plu {

// Upper-case hexadecimal, left-filled with zeros to minDigits; a larger value
// gets more digits (16777216 in a 6-digit field is "1000000").
std::string HexField(uint32_t value, int minDigits);

// Decimal digits sent by the scale, read as the runtime's StrToInt reads a
// text (blanks in front and a sign allowed). Throws EConvertError
// "'<text>' is not a valid integer value" otherwise.
int32_t ScaleDecimal(std::string_view digits);

// A cell's shown number text with every "." and "," removed, read as an
// integer: "12.50" gives 1250, "1.500" gives 1500. Throws EConvertError when
// what remains is no integer.
int32_t ShownNumberDigits(WideStringView shown);

// value / 10^decimals with exactly `decimals` places and the given decimal
// separator, at least one integer digit: (1250, 2) gives "12.50",
// (1500, 3) "1.500", (-5, 2) "-0.05". Exact (integer arithmetic).
WideString ScaledIntegerText(int64_t value, int decimals,
                             char16_t decimalSeparator = Regional().DecimalSeparator);

}  // namespace plu
