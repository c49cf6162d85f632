// The runtime conversions between text and numbers, dates and booleans that
// the grid's text paths, the formulas and the transfers rely on. All of them
// read the separators and forms of the current regional settings unless a
// settings object is passed.
#pragma once

#include <cstdint>

#include "base/date_time.h"
#include "base/regional_settings.h"
#include "base/wide_text.h"

namespace plu {

// Integers: optional leading blanks, an optional sign, decimal digits, or
// hexadecimal after "$" or "0x"; nothing after the digits; 32 bits.
bool TryStrToInt(WideStringView text, int32_t& out);
bool TryStrToInt64(WideStringView text, int64_t& out);
// Throws EConvertError "'<text>' is not a valid integer value".
int32_t StrToInt(WideStringView text);

// Floats: blanks around, an optional sign, digits with the locale decimal
// separator, an optional exponent ("e"/"E", optional sign, digits). No
// thousands separators.
bool TryStrToFloat(WideStringView text, double& out,
                   const RegionalSettings& settings = Regional());
// Throws EConvertError "'<text>' is not a valid floating point value".
double StrToFloat(WideStringView text, const RegionalSettings& settings = Regional());

// Dates and times by the short date form's order of day, month and year, the
// date separator, the time separator and the AM/PM words: "3/15/2024",
// "3/15" (this year), "3/15/24", "14:05", "2:05:09 PM", "3/15/2024 14:05".
bool TryStrToDate(WideStringView text, TDateTime& out,
                  const RegionalSettings& settings = Regional());
bool TryStrToTime(WideStringView text, TDateTime& out,
                  const RegionalSettings& settings = Regional());
bool TryStrToDateTime(WideStringView text, TDateTime& out,
                      const RegionalSettings& settings = Regional());
// Throws EConvertError "'<text>' is not a valid date and time".
TDateTime StrToDateTime(WideStringView text, const RegionalSettings& settings = Regional());

// The true and false words of the settings, any case, surrounding blanks ignored.
bool TryStrToBool(WideStringView text, bool& out, const RegionalSettings& settings = Regional());
WideString BoolToStr(bool value, const RegionalSettings& settings = Regional());

// General float text with 15 significant digits (the runtime's FloatToStr).
WideString FloatToStr(double value, const RegionalSettings& settings = Regional());
// General float text with the given number of significant digits.
WideString FloatToStrGeneral(double value, int precision,
                             const RegionalSettings& settings = Regional());

// Date and time texts by a form in the runtime's notation (see RegionalSettings).
WideString FormatDateTime(WideStringView form, TDateTime value,
                          const RegionalSettings& settings = Regional());
WideString DateToStr(TDateTime value, const RegionalSettings& settings = Regional());
WideString TimeToStr(TDateTime value, const RegionalSettings& settings = Regional());
// Short date, a space and the long time; the time is left out at midnight.
WideString DateTimeToStr(TDateTime value, const RegionalSettings& settings = Regional());

}  // namespace plu
