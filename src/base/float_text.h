// Decimal renderings of doubles as the runtime writes them. Rounding works on
// the value's decimal expansion to 18 significant digits and rounds halves
// away from zero, so 0.125 with two places gives 0.13 and 2.5 with none gives 3.
#pragma once

#include <string>

#include "base/wide_text.h"

namespace plu {

// A finite double as decimal digits: value = 0.d1 d2 d3 ... x 10^exponent,
// with no leading zero digit (zero is digits "" and exponent 0).
struct DecimalDigits {
    bool negative = false;
    std::string digits;  // ASCII '0'..'9', no trailing zeros
    int exponent = 0;
};

// The 18-significant-digit expansion of value, trailing zeros removed.
DecimalDigits ExpandDecimal(double value);
// d rounded half away from zero to `significant` digits (trailing zeros removed).
DecimalDigits RoundSignificant(const DecimalDigits& d, int significant);
// d rounded half away from zero at `places` digits after the decimal point.
DecimalDigits RoundAtPlace(const DecimalDigits& d, int places);

// General form: the shortest of fixed and scientific notation with at most
// `precision` significant digits, trailing zeros removed, a decimal separator
// only when needed; fixed when the value has at most `precision` integer
// digits and is at least 0.00001 in magnitude; exponent "E", a "-" only for
// negative exponents, no leading zeros ("1E20", "1E-6"). Non-finite values
// give "INF", "-INF" and "NAN".
WideString FloatToTextGeneral(double value, int precision, char16_t decimalSeparator);

// Fixed notation with exactly `decimals` places; `thousands` (when not 0) is
// put between groups of three integer digits. A negative value keeps its "-"
// also when it rounds to zero ("-0"), as the number formats want.
WideString FloatToTextFixed(double value, int decimals, char16_t decimalSeparator,
                            char16_t thousands = 0);

// Scientific notation: one digit, the separator, precision-1 digits, "E", the
// exponent's sign, at least minExponentDigits digits ("1.23450000000000E+004").
WideString FloatToTextExponent(double value, int precision, int minExponentDigits,
                               char16_t decimalSeparator, bool alwaysSign = true);

}  // namespace plu
