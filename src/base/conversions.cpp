#include "base/conversions.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

#include "base/exceptions.h"
#include "base/float_text.h"

namespace plu {
namespace {

bool IsBlank(char16_t c) { return c <= 32; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

int HexValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

WideString Quoted(WideStringView text) { return u"'" + WideString(text) + u"'"; }

// ----- date and time scanning -----

struct Scanner {
    WideStringView s;
    size_t pos = 0;

    void SkipBlanks() {
        while (pos < s.size() && s[pos] == u' ') ++pos;
    }
    bool AtEnd() {
        SkipBlanks();
        return pos >= s.size();
    }
    bool Number(int& value, int& digits) {
        SkipBlanks();
        size_t start = pos;
        int64_t v = 0;
        while (pos < s.size() && IsDigit(s[pos]) && pos - start < 9) v = v * 10 + (s[pos++] - u'0');
        if (pos < s.size() && IsDigit(s[pos])) return false;  // too many digits
        digits = static_cast<int>(pos - start);
        value = static_cast<int>(v);
        return digits > 0;
    }
    bool Char(char16_t c) {
        SkipBlanks();
        if (pos < s.size() && s[pos] == c) {
            ++pos;
            return true;
        }
        return false;
    }
    bool Word(WideStringView word) {
        SkipBlanks();
        if (word.empty() || pos + word.size() > s.size()) return false;
        if (!SameText(s.substr(pos, word.size()), word)) return false;
        pos += word.size();
        return true;
    }
};

enum class DateOrder { MDY, DMY, YMD };

DateOrder OrderOf(WideStringView form) {
    for (char16_t c : form) {
        char16_t u = ToUpperChar(c);
        if (u == u'D') return DateOrder::DMY;
        if (u == u'M') return DateOrder::MDY;
        if (u == u'Y') return DateOrder::YMD;
    }
    return DateOrder::MDY;
}

int CurrentYear() { return DecodeDate(Now()).year; }

bool ScanDate(Scanner& sc, TDateTime& out, const RegionalSettings& st) {
    int n1, n2, n3 = 0, l1, l2, l3 = 0;
    if (!sc.Number(n1, l1)) return false;
    if (!sc.Char(st.DateSeparator)) return false;
    if (!sc.Number(n2, l2)) return false;
    size_t save = sc.pos;
    bool three = false;
    if (sc.Char(st.DateSeparator)) {
        if (sc.Number(n3, l3))
            three = true;
        else
            sc.pos = save;
    }
    DateOrder order = OrderOf(st.ShortDateFormat);
    int y, m, d, ylen;
    if (!three) {
        y = CurrentYear();
        ylen = 4;
        if (order == DateOrder::DMY) {
            d = n1;
            m = n2;
        } else {  // MDY and YMD both read month-day for two numbers
            m = n1;
            d = n2;
        }
    } else if (order == DateOrder::MDY) {
        m = n1; d = n2; y = n3; ylen = l3;
    } else if (order == DateOrder::DMY) {
        d = n1; m = n2; y = n3; ylen = l3;
    } else {
        y = n1; ylen = l1; m = n2; d = n3;
    }
    if (ylen <= 2) {
        int now = CurrentYear();
        int base = now - st.TwoDigitYearCenturyWindow;
        y += (base / 100) * 100;
        if (st.TwoDigitYearCenturyWindow > 0 && y < base) y += 100;
    }
    return TryEncodeDate(y, m, d, out);
}

bool ScanAmPm(Scanner& sc, const RegionalSettings& st, int& which) {
    // which: 0 none, 1 AM, 2 PM
    size_t save = sc.pos;
    if (sc.Word(st.TimeAMString) || sc.Word(u"AM")) { which = 1; return true; }
    sc.pos = save;
    if (sc.Word(st.TimePMString) || sc.Word(u"PM")) { which = 2; return true; }
    sc.pos = save;
    which = 0;
    return false;
}

bool ScanTime(Scanner& sc, TDateTime& out, const RegionalSettings& st) {
    int ampm = 0;
    ScanAmPm(sc, st, ampm);
    int h, m = 0, s = 0, ms = 0, len;
    if (!sc.Number(h, len)) return false;
    bool hasMinutes = false;
    if (sc.Char(st.TimeSeparator)) {
        if (!sc.Number(m, len)) return false;
        hasMinutes = true;
        if (sc.Char(st.TimeSeparator)) {
            if (!sc.Number(s, len)) return false;
            if (sc.Char(st.DecimalSeparator)) {
                if (!sc.Number(ms, len)) return false;
            }
        }
    }
    if (ampm == 0) ScanAmPm(sc, st, ampm);
    if (!hasMinutes && ampm == 0) return false;  // a bare number is no time
    if (ampm != 0) {
        if (h < 1 || h > 12) return false;
        if (h == 12) h = 0;
        if (ampm == 2) h += 12;
    }
    return TryEncodeTime(h, m, s, ms, out);
}

// ----- date and time formatting -----

WideString TwoDigits(int v) {
    WideString s = IntToWide(v);
    if (s.size() < 2) s.insert(s.begin(), u'0');
    return s;
}

void AppendDateTimeForm(WideString& out, WideStringView form, TDateTime value,
                        const RegionalSettings& st, int depth);

void AppendDateTimeForm(WideString& out, WideStringView form, TDateTime value,
                        const RegionalSettings& st, int depth) {
    if (depth > 2) return;
    const DateParts dp = DecodeDate(value);
    const TimeParts tp = DecodeTime(value);
    // Is there an AM/PM marker in the form? Then hours are 12-hour.
    bool twelve = false;
    for (size_t i = 0; i < form.size(); ++i) {
        char16_t u = ToUpperChar(form[i]);
        if (u == u'A' && (SameText(form.substr(i, 5), u"AM/PM") || SameText(form.substr(i, 3), u"A/P") ||
                          SameText(form.substr(i, 4), u"AMPM")))
            twelve = true;
    }
    bool lastWasHour = false;
    size_t i = 0;
    while (i < form.size()) {
        char16_t c = form[i];
        char16_t u = ToUpperChar(c);
        size_t run = 1;
        while (i + run < form.size() && ToUpperChar(form[i + run]) == u) ++run;
        switch (u) {
            case u'"':
            case u'\'': {
                size_t end = form.find(c, i + 1);
                if (end == WideStringView::npos) end = form.size();
                out.append(form.substr(i + 1, end - i - 1));
                i = end + 1;
                continue;
            }
            case u'/':
                out.push_back(st.DateSeparator);
                i += 1;
                continue;
            case u':':
                out.push_back(st.TimeSeparator);
                i += 1;
                continue;
            case u'Y':
                out += run <= 2 ? TwoDigits(dp.year % 100) : IntToWide(dp.year);
                break;
            case u'D':
                if (run == 1) out += IntToWide(dp.day);
                else if (run == 2) out += TwoDigits(dp.day);
                else if (run == 3) out += st.ShortDayNames[DayOfWeek(value) - 1];
                else if (run == 4) out += st.LongDayNames[DayOfWeek(value) - 1];
                else if (run == 5) AppendDateTimeForm(out, st.ShortDateFormat, value, st, depth + 1);
                else AppendDateTimeForm(out, st.LongDateFormat, value, st, depth + 1);
                lastWasHour = false;
                break;
            case u'M':
                if (lastWasHour && run <= 2) {
                    out += run == 1 ? IntToWide(tp.minute) : TwoDigits(tp.minute);
                } else if (run == 1) out += IntToWide(dp.month);
                else if (run == 2) out += TwoDigits(dp.month);
                else if (run == 3) out += st.ShortMonthNames[dp.month - 1];
                else out += st.LongMonthNames[dp.month - 1];
                lastWasHour = false;
                i += run;
                continue;
            case u'H': {
                int h = tp.hour;
                if (twelve) {
                    h %= 12;
                    if (h == 0) h = 12;
                }
                out += run == 1 ? IntToWide(h) : TwoDigits(h);
                i += run;
                lastWasHour = true;
                continue;
            }
            case u'N':
                out += run == 1 ? IntToWide(tp.minute) : TwoDigits(tp.minute);
                break;
            case u'S':
                out += run == 1 ? IntToWide(tp.second) : TwoDigits(tp.second);
                break;
            case u'Z': {
                WideString msText = IntToWide(tp.millisecond);
                if (run >= 3)
                    while (msText.size() < 3) msText.insert(msText.begin(), u'0');
                out += msText;
                break;
            }
            case u'T':
                AppendDateTimeForm(out, run == 1 ? st.ShortTimeFormat : st.LongTimeFormat, value,
                                   st, depth + 1);
                break;
            case u'C':
                AppendDateTimeForm(out, st.ShortDateFormat, value, st, depth + 1);
                if (tp.hour || tp.minute || tp.second || tp.millisecond) {
                    out.push_back(u' ');
                    AppendDateTimeForm(out, st.LongTimeFormat, value, st, depth + 1);
                }
                break;
            case u'A': {
                bool pm = tp.hour >= 12;
                if (SameText(form.substr(i, 5), u"AM/PM")) {
                    WideString word = pm ? u"pm" : u"am";
                    if (form[i] == u'A') word = UpperCase(word);
                    out += word;
                    i += 5;
                    continue;
                }
                if (SameText(form.substr(i, 3), u"A/P")) {
                    out.push_back(form[i] == u'A' ? (pm ? u'P' : u'A') : (pm ? u'p' : u'a'));
                    i += 3;
                    continue;
                }
                if (SameText(form.substr(i, 4), u"AMPM")) {
                    out += pm ? st.TimePMString : st.TimeAMString;
                    i += 4;
                    continue;
                }
                out.push_back(c);
                i += 1;
                continue;
            }
            default:
                out.push_back(c);
                i += 1;
                continue;
        }
        if (u != u'H') lastWasHour = false;
        i += run;
    }
}

}  // namespace

bool TryStrToInt64(WideStringView text, int64_t& out) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    bool hex = false;
    if (i < text.size() && text[i] == u'$') {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        hex = true;
        i += 2;
    }
    if (i >= text.size()) return false;
    uint64_t v = 0;
    const uint64_t limit = negative ? (uint64_t{1} << 63) : (uint64_t{1} << 63) - 1;
    for (; i < text.size(); ++i) {
        int digit = hex ? HexValue(text[i]) : (IsDigit(text[i]) ? text[i] - u'0' : -1);
        if (digit < 0) return false;
        uint64_t base = hex ? 16 : 10;
        if (v > (limit - digit) / base) return false;
        v = v * base + digit;
    }
    out = negative ? static_cast<int64_t>(0 - v) : static_cast<int64_t>(v);
    return true;
}

bool TryStrToInt(WideStringView text, int32_t& out) {
    int64_t v;
    if (!TryStrToInt64(text, v) || v < INT32_MIN || v > INT32_MAX) return false;
    out = static_cast<int32_t>(v);
    return true;
}

int32_t StrToInt(WideStringView text) {
    int32_t v;
    if (!TryStrToInt(text, v)) throw EConvertError(Quoted(text) + u" is not a valid integer value");
    return v;
}

bool TryStrToFloat(WideStringView text, double& out, const RegionalSettings& settings) {
    size_t i = 0, n = text.size();
    while (i < n && IsBlank(text[i])) ++i;
    while (n > i && IsBlank(text[n - 1])) --n;
    std::string ascii;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) ascii.push_back(static_cast<char>(text[i++]));
    size_t digits = 0;
    while (i < n && IsDigit(text[i])) {
        ascii.push_back(static_cast<char>(text[i++]));
        ++digits;
    }
    if (i < n && text[i] == settings.DecimalSeparator) {
        ascii.push_back('.');
        ++i;
        while (i < n && IsDigit(text[i])) {
            ascii.push_back(static_cast<char>(text[i++]));
            ++digits;
        }
    }
    if (digits == 0) return false;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ascii.push_back('e');
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-')) ascii.push_back(static_cast<char>(text[i++]));
        size_t expDigits = 0;
        while (i < n && IsDigit(text[i])) {
            ascii.push_back(static_cast<char>(text[i++]));
            ++expDigits;
        }
        if (expDigits == 0) return false;
    }
    if (i != n) return false;
    // from_chars ignores the C locale, which a process may have switched
    // (strtod would then expect its decimal separator instead of '.').
    const char* first = ascii.data();
    if (*first == '+') ++first;  // from_chars takes no plus sign
    double v = 0;
    auto [end, ec] = std::from_chars(first, ascii.data() + ascii.size(), v);
    if (ec != std::errc() || end != ascii.data() + ascii.size() || !std::isfinite(v)) return false;
    out = v;
    return true;
}

double StrToFloat(WideStringView text, const RegionalSettings& settings) {
    double v;
    if (!TryStrToFloat(text, v, settings))
        throw EConvertError(Quoted(text) + u" is not a valid floating point value");
    return v;
}

bool TryStrToDate(WideStringView text, TDateTime& out, const RegionalSettings& settings) {
    Scanner sc{text};
    TDateTime d;
    if (!ScanDate(sc, d, settings) || !sc.AtEnd()) return false;
    out = d;
    return true;
}

bool TryStrToTime(WideStringView text, TDateTime& out, const RegionalSettings& settings) {
    Scanner sc{text};
    TDateTime t;
    if (!ScanTime(sc, t, settings) || !sc.AtEnd()) return false;
    out = t;
    return true;
}

bool TryStrToDateTime(WideStringView text, TDateTime& out, const RegionalSettings& settings) {
    Scanner sc{text};
    TDateTime d;
    if (ScanDate(sc, d, settings)) {
        if (sc.AtEnd()) {
            out = d;
            return true;
        }
        TDateTime t;
        if (ScanTime(sc, t, settings) && sc.AtEnd()) {
            out = d < 0 ? d - t : d + t;
            return true;
        }
        return false;
    }
    return TryStrToTime(text, out, settings);
}

TDateTime StrToDateTime(WideStringView text, const RegionalSettings& settings) {
    TDateTime v;
    if (!TryStrToDateTime(text, v, settings))
        throw EConvertError(Quoted(text) + u" is not a valid date and time");
    return v;
}

bool TryStrToBool(WideStringView text, bool& out, const RegionalSettings& settings) {
    WideString t = Trim(text);
    for (const auto& w : settings.TrueBoolStrs)
        if (SameText(t, w)) {
            out = true;
            return true;
        }
    for (const auto& w : settings.FalseBoolStrs)
        if (SameText(t, w)) {
            out = false;
            return true;
        }
    return false;
}

WideString BoolToStr(bool value, const RegionalSettings& settings) {
    const auto& list = value ? settings.TrueBoolStrs : settings.FalseBoolStrs;
    return list.empty() ? (value ? WideString(u"True") : WideString(u"False")) : list.front();
}

WideString FloatToStr(double value, const RegionalSettings& settings) {
    return FloatToTextGeneral(value, 15, settings.DecimalSeparator);
}

WideString FloatToStrGeneral(double value, int precision, const RegionalSettings& settings) {
    return FloatToTextGeneral(value, precision, settings.DecimalSeparator);
}

WideString FormatDateTime(WideStringView form, TDateTime value, const RegionalSettings& settings) {
    WideString out;
    AppendDateTimeForm(out, form, value, settings, 0);
    return out;
}

WideString DateToStr(TDateTime value, const RegionalSettings& settings) {
    return FormatDateTime(settings.ShortDateFormat, value, settings);
}

WideString TimeToStr(TDateTime value, const RegionalSettings& settings) {
    return FormatDateTime(settings.LongTimeFormat, value, settings);
}

WideString DateTimeToStr(TDateTime value, const RegionalSettings& settings) {
    return FormatDateTime(u"c", value, settings);
}

}  // namespace plu
