// Regional settings: the separators, date and time forms, names and boolean
// words that the runtime conversions and the number formats use.
//
// One value type. The process has one current instance, installed at start-up
// from the environment's locale (the platform's regional settings); under the
// C/POSIX locale, and wherever the locale gives nothing, the en-US defaults
// below apply. Tests pin the defaults with ScopedRegionalSettings.
#pragma once

#include <array>
#include <vector>

#include "base/wide_text.h"

namespace plu {

struct RegionalSettings {
    char16_t DecimalSeparator = u'.';
    char16_t ThousandSeparator = u',';
    char16_t DateSeparator = u'/';
    char16_t TimeSeparator = u':';
    // Date and time forms in the runtime's notation: d dd ddd dddd, m mm mmm
    // mmmm (minutes right after an hour), yy yyyy, h hh, n nn, s ss, z zzz,
    // AM/PM a/p AMPM, "/" and ":" for the separators, quoted literals.
    WideString ShortDateFormat = u"M/d/yyyy";
    WideString LongDateFormat = u"dddd, MMMM d, yyyy";
    WideString ShortTimeFormat = u"h:mm AMPM";
    WideString LongTimeFormat = u"h:mm:ss AMPM";
    WideString TimeAMString = u"AM";
    WideString TimePMString = u"PM";
    std::array<WideString, 12> ShortMonthNames = {u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun",
                                                  u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};
    std::array<WideString, 12> LongMonthNames = {
        u"January", u"February", u"March",     u"April",   u"May",      u"June",
        u"July",    u"August",   u"September", u"October", u"November", u"December"};
    // Index 0 is Sunday.
    std::array<WideString, 7> ShortDayNames = {u"Sun", u"Mon", u"Tue", u"Wed",
                                               u"Thu", u"Fri", u"Sat"};
    std::array<WideString, 7> LongDayNames = {u"Sunday",   u"Monday", u"Tuesday", u"Wednesday",
                                              u"Thursday", u"Friday", u"Saturday"};
    std::vector<WideString> TrueBoolStrs = {u"True"};
    std::vector<WideString> FalseBoolStrs = {u"False"};
    // Two-digit years are placed within this many years before the current one.
    int TwoDigitYearCenturyWindow = 50;

    // The en-US-like defaults above.
    static RegionalSettings Defaults() { return RegionalSettings{}; }
    // Built from the locale the environment names (LC_NUMERIC, LC_TIME);
    // the defaults where it is C/POSIX or gives nothing.
    static RegionalSettings FromEnvironment();
};

// The process's current settings.
const RegionalSettings& Regional();
void InstallRegionalSettings(const RegionalSettings& settings);

// Installs settings for a scope and restores the previous ones after it.
class ScopedRegionalSettings {
public:
    explicit ScopedRegionalSettings(const RegionalSettings& settings);
    ~ScopedRegionalSettings();
    ScopedRegionalSettings(const ScopedRegionalSettings&) = delete;
    ScopedRegionalSettings& operator=(const ScopedRegionalSettings&) = delete;

private:
    RegionalSettings saved_;
};

}  // namespace plu
