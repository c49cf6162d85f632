// Number-format masks: the spreadsheet number-format language of BIFF8
// workbooks, compiled from a format string into up to four sections
// (positive, negative, zero, text) and used to turn a number into display
// text and, through colour codes such as "[Red]", a text colour.
//
// The decimal and thousands separators, the date and time separators and the
// month and weekday names come from the current regional settings.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "base/color.h"
#include "base/exceptions.h"
#include "base/wide_text.h"

namespace plu {

class TKtGridStyle;

// Format strings of this many characters or more cannot be compiled.
constexpr size_t kMaxFormatStringLength = 255;

// Compiling a format string that is too long: "format string is too long(255)".
class ENumberFormatError : public Exception {
public:
    using Exception::Exception;
};

enum class TKtFormatTokenKind : uint8_t {
    LiteralChar,      // Char
    LiteralText,      // Text (between double quotes)
    ZeroDigit,        // "0"
    OptionalDigit,    // "#"
    SpaceDigit,       // "?"
    DecimalPoint,     // "."
    Percent,          // "%"
    Scientific,       // "E+", "E-", "e+", "e-" (Char = 'E' or 'e', Sign = '+' or '-')
    Text,             // "@"
    YearShort,        // "y", "yy"
    YearLong,         // "yyy" and longer
    MonthNumber,      // "m"
    MonthTwoDigit,    // "mm"
    MonthShortName,   // "mmm"
    MonthLongName,    // "mmmm"
    MonthInitial,     // "mmmmm" and longer
    DayNumber,        // "d"
    DayTwoDigit,      // "dd"
    DayShortName,     // "ddd"
    DayLongName,      // "dddd" and longer
    Hour,             // "h"
    HourTwoDigit,     // "hh" and longer
    Hour12,           // "h" before or after an AM/PM marker
    Hour12TwoDigit,   // "hh" before or after an AM/PM marker
    Minute,           // "m" after an hour, or "m" before "s"
    MinuteTwoDigit,   // "mm" after an hour, or "mm" before "s"
    Second,           // "s"
    SecondTwoDigit,   // "ss" and longer
    ElapsedHours,     // "[h]", "[hh]"
    ElapsedMinutes,   // "[m]", "[mm]"
    ElapsedSeconds,   // "[s]", "[ss]"
    MarkerAmPm,       // "AM/PM"
    MarkerAmPmLower,  // "am/pm"
    MarkerAP,         // "a/p"
    MarkerChinese,    // "上午/下午"
    LeadingDigits,    // inserted before the first digit placeholder or point
    Comma             // ",": nothing in numbers (thousands, scale); itself in dates
};

struct TKtFormatToken {
    TKtFormatTokenKind Kind = TKtFormatTokenKind::LiteralChar;
    char16_t Char = 0;   // LiteralChar; Scientific: 'E' or 'e'
    char16_t Sign = 0;   // Scientific: '+' or '-'
    WideString Text;     // LiteralText
};

// Section flags.
constexpr uint8_t kSectionText = 0x01;
constexpr uint8_t kSectionThousands = 0x02;
constexpr uint8_t kSectionDecimalPoint = 0x04;
constexpr uint8_t kSectionPercent = 0x08;
constexpr uint8_t kSectionScientific = 0x10;
constexpr uint8_t kSectionDateTime = 0x20;
constexpr uint8_t kSectionZero = 0x40;

struct TKtFormatSection {
    std::vector<TKtFormatToken> Tokens;
    TColor Color = clNone;  // clNone: no colour code
    uint8_t Flags = 0;
    int DecimalPos = -1;  // index in Tokens of the decimal-point token, -1: none
    int Decimals = 0;     // digit placeholders after the first decimal point
    int Scale = 0;        // thousands commas after the last placeholder (at most 4)

    bool Has(uint8_t flag) const { return (Flags & flag) != 0; }
};

// Slot 0: positive values and every value no other slot takes; slot 1
// negative values; slot 2 zero; slot 3 text (compiled, never used for
// rendering: text values are shown as they are).
class TKtNumberFormatMask {
public:
    // Compiles source into the four slots, replacing what the mask held.
    // Throws ENumberFormatError for 256 characters or more.
    void SetMask(WideStringView source);

    // value rendered through the section it selects.
    WideString FormatValue(double value) const;
    // The colour of the section value selects; clNone when that slot is empty
    // or has no colour code.
    TColor SectionColor(double value) const;

    const WideString& Source() const { return source_; }
    const std::optional<TKtFormatSection>& Slot(int index) const { return slots_.at(index); }
    // Slot 0 holds a date/time section.
    bool IsDateTime() const;

private:
    const TKtFormatSection* Choose(double value, double& rendered) const;

    WideString source_;
    std::array<std::optional<TKtFormatSection>, 4> slots_;
};

// value formatted by the style's FormatIndex: index 11 scientific with 3
// significant digits ("1.23E+04"), 12 and 13 fractions with denominators up
// to 9 and 99 (a negative value: "-" and the fraction of its magnitude), 14
// the locale's short date, 20 its short time, an empty or
// unknown format the general form with 10 significant digits, anything else
// through the compiled format string. color is replaced only when the chosen
// section has a colour code. Throws ENumberFormatError for an overlong
// format string.
WideString FormatStyleNumber(const TKtGridStyle& style, double value, TColor& color);
// The same by format index.
WideString FormatNumberByIndex(int formatIndex, double value, TColor& color);
// The same by format string (not entered into the format list).
WideString FormatNumberWithMask(WideStringView format, double value, TColor& color);

// True when the style's format string is not empty and its first section is
// a date/time section. Throws ENumberFormatError for an overlong string.
bool IsDateTimeStyle(const TKtGridStyle& style);
bool IsDateTimeFormatIndex(int formatIndex);

// The general form with N significant digits and the locale decimal separator.
WideString GeneralNumberText(double value, int significantDigits);

}  // namespace plu
