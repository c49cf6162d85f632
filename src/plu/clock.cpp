#include "plu/clock.h"

#include <time.h>

#include <cmath>

namespace plu {

TDateTime SystemClock::Now() {
    return plu::Now();
}

bool SystemClock::SetLocalTime(TDateTime when) {
    const DateParts d = DecodeDate(when);
    const TimeParts t = DecodeTime(when);
    struct tm local {};
    local.tm_year = d.year - 1900;
    local.tm_mon = d.month - 1;
    local.tm_mday = d.day;
    local.tm_hour = t.hour;
    local.tm_min = t.minute;
    local.tm_sec = t.second;
    local.tm_isdst = -1;  // whatever daylight saving time says for that date
    const time_t seconds = mktime(&local);
    if (seconds == static_cast<time_t>(-1)) return false;
    struct timespec ts {};
    ts.tv_sec = seconds;
    ts.tv_nsec = static_cast<long>(t.millisecond) * 1000000L;
    return clock_settime(CLOCK_REALTIME, &ts) == 0;
}

}  // namespace plu
