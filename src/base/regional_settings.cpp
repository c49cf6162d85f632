#include "base/regional_settings.h"

#include <langinfo.h>
#include <locale.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

namespace plu {
namespace {

RegionalSettings& Current() {
    static RegionalSettings settings;
    return settings;
}

bool IsPlainLocale(const char* name) {
    return name == nullptr || *name == '\0' || std::strcmp(name, "C") == 0 ||
           std::strcmp(name, "POSIX") == 0 || std::strncmp(name, "C.", 2) == 0;
}

// Turns a POSIX strftime form (%m/%d/%Y, %H:%M:%S, %I:%M:%S %p) into the
// runtime's notation. Unknown conversions make the whole form unusable.
bool PosixToRuntimeForm(const std::string& posix, WideString& out, char16_t& separator) {
    WideString form;
    separator = 0;
    for (size_t i = 0; i < posix.size(); ++i) {
        char c = posix[i];
        if (c != '%') {
            if (!(std::isalnum(static_cast<unsigned char>(c)))) {
                if (separator == 0 && c != ' ') separator = static_cast<unsigned char>(c);
                if (c == '/' || c == ':')
                    form.push_back(static_cast<char16_t>(c));
                else if (c == ' ' || c == '.' || c == '-' || c == ',')
                    form.push_back(static_cast<char16_t>(c));
                else
                    return false;
            } else {
                return false;
            }
            continue;
        }
        if (++i >= posix.size()) return false;
        char k = posix[i];
        if (k == 'E' || k == 'O' || k == '-') {  // modifiers and glibc's no-padding flag
            if (++i >= posix.size()) return false;
            k = posix[i];
            if (posix[i - 1] == '-') {
                if (k == 'd' || k == 'e') { form += u"d"; continue; }
                if (k == 'm') { form += u"M"; continue; }
                if (k == 'H' || k == 'I') { form += k == 'H' ? u"H" : u"h"; continue; }
            }
        }
        switch (k) {
            case 'd': form += u"dd"; break;
            case 'e': form += u"d"; break;
            case 'm': form += u"MM"; break;
            case 'y': form += u"yy"; break;
            case 'Y': form += u"yyyy"; break;
            case 'b': case 'h': form += u"MMM"; break;
            case 'B': form += u"MMMM"; break;
            case 'a': form += u"ddd"; break;
            case 'A': form += u"dddd"; break;
            case 'H': form += u"HH"; break;
            case 'I': form += u"hh"; break;
            case 'l': form += u"h"; break;
            case 'M': form += u"mm"; break;
            case 'S': form += u"ss"; break;
            case 'p': form += u"AMPM"; break;
            case 'D': form += u"MM/dd/yy"; if (!separator) separator = u'/'; break;
            case 'T': form += u"HH:mm:ss"; if (!separator) separator = u':'; break;
            case 'R': form += u"HH:mm"; if (!separator) separator = u':'; break;
            case '%': return false;
            default: return false;
        }
    }
    if (form.empty()) return false;
    out = form;
    return true;
}

}  // namespace

RegionalSettings RegionalSettings::FromEnvironment() {
    RegionalSettings s;
    locale_t numeric = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
    if (numeric != static_cast<locale_t>(0)) {
        // The C locale answers "." and no thousands separator: the defaults stay.
        const char* radix = nl_langinfo_l(RADIXCHAR, numeric);
        const char* thousands = nl_langinfo_l(THOUSEP, numeric);
        WideString r = Utf8ToWide(radix ? radix : "");
        WideString t = Utf8ToWide(thousands ? thousands : "");
        if (r.size() == 1) s.DecimalSeparator = r[0];
        if (t.size() == 1 && t[0] != s.DecimalSeparator) s.ThousandSeparator = t[0];
        freelocale(numeric);
    }
    const char* time_name = nullptr;
    if (const char* all = std::getenv("LC_ALL"); all && *all) time_name = all;
    else if (const char* lt = std::getenv("LC_TIME"); lt && *lt) time_name = lt;
    else if (const char* lang = std::getenv("LANG"); lang && *lang) time_name = lang;
    if (IsPlainLocale(time_name)) return s;

    locale_t time = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
    if (time == static_cast<locale_t>(0)) return s;
    auto text = [&](nl_item item) {
        const char* v = nl_langinfo_l(item, time);
        return Utf8ToWide(v ? v : "");
    };
    static const nl_item kMon[12] = {MON_1, MON_2, MON_3, MON_4,  MON_5,  MON_6,
                                     MON_7, MON_8, MON_9, MON_10, MON_11, MON_12};
    static const nl_item kAbMon[12] = {ABMON_1, ABMON_2, ABMON_3, ABMON_4,  ABMON_5,  ABMON_6,
                                       ABMON_7, ABMON_8, ABMON_9, ABMON_10, ABMON_11, ABMON_12};
    static const nl_item kDay[7] = {DAY_1, DAY_2, DAY_3, DAY_4, DAY_5, DAY_6, DAY_7};
    static const nl_item kAbDay[7] = {ABDAY_1, ABDAY_2, ABDAY_3, ABDAY_4,
                                      ABDAY_5, ABDAY_6, ABDAY_7};
    for (int i = 0; i < 12; ++i) {
        if (auto v = text(kMon[i]); !v.empty()) s.LongMonthNames[i] = v;
        if (auto v = text(kAbMon[i]); !v.empty()) s.ShortMonthNames[i] = v;
    }
    for (int i = 0; i < 7; ++i) {
        if (auto v = text(kDay[i]); !v.empty()) s.LongDayNames[i] = v;
        if (auto v = text(kAbDay[i]); !v.empty()) s.ShortDayNames[i] = v;
    }
    WideString am = text(AM_STR), pm = text(PM_STR);
    const char* d_fmt = nl_langinfo_l(D_FMT, time);
    const char* t_fmt = nl_langinfo_l(T_FMT, time);
    const char* t_fmt_ampm = nl_langinfo_l(T_FMT_AMPM, time);
    WideString form;
    char16_t sep = 0;
    if (d_fmt && PosixToRuntimeForm(d_fmt, form, sep)) {
        s.ShortDateFormat = form;
        if (sep) s.DateSeparator = sep;
    }
    bool twelve_hour = !am.empty() && !pm.empty();
    const char* tf = twelve_hour && t_fmt_ampm && *t_fmt_ampm ? t_fmt_ampm : t_fmt;
    if (tf && PosixToRuntimeForm(tf, form, sep)) {
        s.LongTimeFormat = form;
        if (sep) s.TimeSeparator = sep;
        // The short form drops the seconds.
        WideString shortForm = ReplaceAll(form, WideString(1, s.TimeSeparator) + u"ss", u"");
        s.ShortTimeFormat = shortForm;
    }
    if (twelve_hour) {
        s.TimeAMString = am;
        s.TimePMString = pm;
    }
    freelocale(time);
    return s;
}

const RegionalSettings& Regional() { return Current(); }

void InstallRegionalSettings(const RegionalSettings& settings) { Current() = settings; }

ScopedRegionalSettings::ScopedRegionalSettings(const RegionalSettings& settings)
    : saved_(Current()) {
    Current() = settings;
}

ScopedRegionalSettings::~ScopedRegionalSettings() { Current() = saved_; }

}  // namespace plu
