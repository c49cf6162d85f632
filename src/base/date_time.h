// Date-time values as the runtime keeps them: a double counting days since
// 30 December 1899, the fraction being the time of day.
#pragma once

#include <cstdint>

namespace plu {

using TDateTime = double;

struct DateParts {
    int year = 1899, month = 12, day = 30;
};
struct TimeParts {
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// False when the parts are out of range (year 1..9999).
bool TryEncodeDate(int year, int month, int day, TDateTime& out);
bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& out);
// Throws EConvertError when the parts are out of range.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);

// The date of the whole-day part (negative values count back from 1899-12-30,
// the time of day of a negative value is still its absolute fraction).
DateParts DecodeDate(TDateTime value);
// The time of day, rounded to the nearest millisecond; a value whose time
// rounds up to 24:00 gives 0:00 (the caller's date moves on by itself).
TimeParts DecodeTime(TDateTime value);
// 1 = Sunday .. 7 = Saturday, as the runtime counts.
int DayOfWeek(TDateTime value);

// The computer's local date and time (reading only).
TDateTime Now();

}  // namespace plu
