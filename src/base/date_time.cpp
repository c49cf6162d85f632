#include "base/date_time.h"

#include <chrono>
#include <cmath>
#include <ctime>

#include "base/exceptions.h"

namespace plu {
namespace {

// Days from 0001-01-01 (day 1) to 1899-12-30, the runtime's date origin.
constexpr int64_t kDateDelta = 693594;

int64_t DaysBeforeYear(int64_t year) {
    const int64_t y = year - 1;
    return y * 365 + y / 4 - y / 100 + y / 400;
}

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& out) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month))
        return false;
    int64_t days = DaysBeforeYear(year);
    for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
    days += day;
    out = static_cast<double>(days - kDateDelta);
    return true;
}

bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& out) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        millisecond < 0 || millisecond > 999)
        return false;
    out = (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + millisecond) / 86400000.0;
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime d;
    if (!TryEncodeDate(year, month, day, d)) throw EConvertError("Invalid argument to date encode");
    return d;
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
    TDateTime t;
    if (!TryEncodeTime(hour, minute, second, millisecond, t))
        throw EConvertError("Invalid argument to time encode");
    return t;
}

DateParts DecodeDate(TDateTime value) {
    DateParts p;
    if (!std::isfinite(value)) return p;
    double whole = std::trunc(value);
    if (whole < -693593.0 || whole > 2958465.0) return p;  // outside 0001-01-01 .. 9999-12-31
    int64_t days = static_cast<int64_t>(whole) + kDateDelta;  // day number from 0001-01-01 = 1
    // Civil-from-days on the proleptic Gregorian calendar.
    int64_t z = days - 1;
    int64_t n400 = z / 146097;
    z %= 146097;
    int64_t n100 = z / 36524;
    if (n100 == 4) n100 = 3;
    z -= n100 * 36524;
    int64_t n4 = z / 1461;
    z %= 1461;
    int64_t n1 = z / 365;
    if (n1 == 4) n1 = 3;
    z -= n1 * 365;
    int year = static_cast<int>(n400 * 400 + n100 * 100 + n4 * 4 + n1 + 1);
    int month = 1;
    while (z >= DaysInMonth(year, month)) {
        z -= DaysInMonth(year, month);
        ++month;
    }
    p.year = year;
    p.month = month;
    p.day = static_cast<int>(z) + 1;
    return p;
}

TimeParts DecodeTime(TDateTime value) {
    TimeParts t;
    if (!std::isfinite(value)) return t;
    double frac = std::fabs(value - std::trunc(value));
    int64_t ms = std::llround(frac * 86400000.0);
    if (ms >= 86400000) ms = 0;
    t.hour = static_cast<int>(ms / 3600000);
    t.minute = static_cast<int>(ms / 60000 % 60);
    t.second = static_cast<int>(ms / 1000 % 60);
    t.millisecond = static_cast<int>(ms % 1000);
    return t;
}

int DayOfWeek(TDateTime value) {
    // Outside the calendar's range (or not a number) there is no weekday to
    // speak of; keep the arithmetic defined and answer the origin's.
    if (!std::isfinite(value) || std::fabs(value) > 3.0e6) value = 0;
    int64_t d = static_cast<int64_t>(std::trunc(value));
    // 1899-12-30 was a Saturday (7).
    int64_t w = ((d - 1) % 7 + 7) % 7;  // 0 = Sunday for d = 1 (1899-12-31)
    return static_cast<int>(w) + 1;
}

TDateTime Now() {
    using namespace std::chrono;
    auto now = system_clock::now();
    std::time_t secs = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&secs, &local);
    int ms = static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    TDateTime d = 0, t = 0;
    TryEncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, d);
    TryEncodeTime(local.tm_hour, local.tm_min, local.tm_sec, ms, t);
    return d + t;
}

}  // namespace plu
