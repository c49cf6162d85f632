// Compiling format strings into sections, and rendering a number through
// the compiled sections.
#include "grid/number_format.h"

#include <cmath>
#include <cstdint>

#include "base/date_time.h"
#include "base/float_text.h"
#include "base/regional_settings.h"

namespace plu {

namespace {

using Kind = TKtFormatTokenKind;

constexpr WideStringView kChineseMarker = u"上午/下午";
constexpr WideStringView kByteCountFormat = u"##,_b_y_t_e_s";

bool IsPlaceholder(Kind k) {
    return k == Kind::ZeroDigit || k == Kind::OptionalDigit || k == Kind::SpaceDigit;
}

bool IsHour(Kind k) { return k == Kind::Hour || k == Kind::HourTwoDigit; }

bool IsAnyHour(Kind k) { return IsHour(k) || k == Kind::Hour12 || k == Kind::Hour12TwoDigit; }

bool IsElapsed(Kind k) {
    return k == Kind::ElapsedHours || k == Kind::ElapsedMinutes || k == Kind::ElapsedSeconds;
}

void MakeTwelveHour(TKtFormatToken& t) {
    if (t.Kind == Kind::Hour) t.Kind = Kind::Hour12;
    if (t.Kind == Kind::HourTwoDigit) t.Kind = Kind::Hour12TwoDigit;
}

// Turns the nearest hour token before `end` into its 12-hour form.
bool TwelveHourBefore(std::vector<TKtFormatToken>& tokens, size_t end) {
    for (size_t i = end; i-- > 0;) {
        if (IsHour(tokens[i].Kind)) {
            MakeTwelveHour(tokens[i]);
            return true;
        }
    }
    return false;
}

TKtFormatToken Literal(char16_t c) {
    TKtFormatToken t;
    t.Kind = Kind::LiteralChar;
    t.Char = c;
    return t;
}

TKtFormatToken Token(Kind k) {
    TKtFormatToken t;
    t.Kind = k;
    return t;
}

// The bracket group's upper-cased contents: elapsed codes and colours; any
// other text (conditions, locale codes) is ignored.
void CompileBracket(WideStringView content, TKtFormatSection& s) {
    WideString up = UpperCase(content);
    if (up == u"H" || up == u"HH") {
        s.Tokens.push_back(Token(Kind::ElapsedHours));
    } else if (up == u"M" || up == u"MM") {
        s.Tokens.push_back(Token(Kind::ElapsedMinutes));
    } else if (up == u"S" || up == u"SS") {
        s.Tokens.push_back(Token(Kind::ElapsedSeconds));
    } else if (up == u"BLACK") {
        s.Color = 0x000000;
    } else if (up == u"CYAN") {
        s.Color = 0xFFFF00;
    } else if (up == u"MAGENTA") {
        s.Color = 0x800080;
    } else if (up == u"WHITE") {
        s.Color = 0xFFFFFF;
    } else if (up == u"BLUE") {
        s.Color = 0xFF0000;
    } else if (up == u"GREEN") {
        s.Color = 0x008000;
    } else if (up == u"RED") {
        s.Color = 0x0000FF;
    } else if (up == u"YELLOW") {
        s.Color = 0x00FFFF;
    }
}

Kind DateCodeKind(char16_t letter, size_t run, const TKtFormatToken* lastDate) {
    switch (letter) {
        case u'y':
            return run <= 2 ? Kind::YearShort : Kind::YearLong;
        case u'd':
            if (run == 1) return Kind::DayNumber;
            if (run == 2) return Kind::DayTwoDigit;
            return run == 3 ? Kind::DayShortName : Kind::DayLongName;
        case u'h':
            return run == 1 ? Kind::Hour : Kind::HourTwoDigit;
        case u'm':
            if (lastDate && IsAnyHour(lastDate->Kind))
                return run == 1 ? Kind::Minute : Kind::MinuteTwoDigit;
            if (run == 1) return Kind::MonthNumber;
            if (run == 2) return Kind::MonthTwoDigit;
            if (run == 3) return Kind::MonthShortName;
            return run == 4 ? Kind::MonthLongName : Kind::MonthInitial;
        default:  // 's'
            return run == 1 ? Kind::Second : Kind::SecondTwoDigit;
    }
}

TKtFormatSection CompileSection(WideStringView text, int slot) {
    TKtFormatSection s;
    if (slot == 2) s.Flags = kSectionZero;
    int lastDate = -1;           // token index of the last date code
    bool awaitingHour = false;   // a "上午/下午" marker wants the next hour
    auto& tokens = s.Tokens;
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        const char16_t c = text[i];
        bool markerMade = false;
        if (c == u'"') {
            size_t close = text.find(u'"', i + 1);
            if (close == WideStringView::npos) break;  // the rest is dropped
            TKtFormatToken t = Token(Kind::LiteralText);
            t.Text = WideString(text.substr(i + 1, close - i - 1));
            tokens.push_back(std::move(t));
            i = close + 1;
        } else if (c == u'#' || c == u'0' || c == u'?') {
            tokens.push_back(Token(c == u'#'   ? Kind::OptionalDigit
                                   : c == u'0' ? Kind::ZeroDigit
                                               : Kind::SpaceDigit));
            if (s.Has(kSectionDecimalPoint)) ++s.Decimals;
            s.Scale = 0;
            ++i;
        } else if (c == u'.') {
            tokens.push_back(Token(Kind::DecimalPoint));
            s.Flags |= kSectionDecimalPoint;
            s.DecimalPos = static_cast<int>(tokens.size()) - 1;
            ++i;
        } else if (c == u',') {
            // Numbers render nothing for it; a date such as "mmmm d, yyyy"
            // keeps its comma.
            tokens.push_back(Token(Kind::Comma));
            s.Flags |= kSectionThousands;
            ++s.Scale;
            ++i;
        } else if (c == u'%') {
            tokens.push_back(Token(Kind::Percent));
            s.Flags |= kSectionPercent;
            ++i;
        } else if (c == u'@') {
            tokens.push_back(Token(Kind::Text));
            s.Flags = kSectionText;
            ++i;
        } else if ((c == u'E' || c == u'e') && i + 1 < n &&
                   (text[i + 1] == u'+' || text[i + 1] == u'-')) {
            TKtFormatToken t = Token(Kind::Scientific);
            t.Char = c;
            t.Sign = text[i + 1];
            tokens.push_back(t);
            s.Flags |= kSectionScientific;
            i += 2;
        } else if (c == u'\\') {
            if (i + 1 < n) tokens.push_back(Literal(text[i + 1]));
            i += 2;
        } else if (c == u'_') {
            // A space as wide as the next character; that character is skipped.
            if (i + 1 < n) tokens.push_back(Literal(u' '));
            i += 2;
        } else if (c == u'*') {
            // Repeat-fill: the fill character is read as an ordinary one.
            ++i;
        } else if (c == u'[') {
            size_t close = text.find(u']', i + 1);
            if (close == WideStringView::npos) break;  // the rest is dropped
            CompileBracket(text.substr(i + 1, close - i - 1), s);
            if (!tokens.empty() && IsElapsed(tokens.back().Kind)) s.Flags |= kSectionDateTime;
            i = close + 1;
        } else if (c == u'd' || c == u'h' || c == u'm' || c == u's' || c == u'y') {
            size_t run = 1;
            while (i + run < n && text[i + run] == c) ++run;
            if (c == u's' && lastDate >= 0) {
                TKtFormatToken& prev = tokens[static_cast<size_t>(lastDate)];
                if (prev.Kind == Kind::MonthNumber) prev.Kind = Kind::Minute;
                if (prev.Kind == Kind::MonthTwoDigit) prev.Kind = Kind::MinuteTwoDigit;
            }
            const TKtFormatToken* last =
                lastDate >= 0 ? &tokens[static_cast<size_t>(lastDate)] : nullptr;
            tokens.push_back(Token(DateCodeKind(c, run, last)));
            lastDate = static_cast<int>(tokens.size()) - 1;
            s.Flags |= kSectionDateTime;
            i += run;
        } else {
            WideStringView rest = text.substr(i);
            tokens.push_back(Literal(c));
            size_t consumed = 1;
            Kind marker = Kind::LiteralChar;
            if (c == u'A' || c == u'a') {
                if (rest.starts_with(u"a/p")) {
                    marker = Kind::MarkerAP;
                    consumed = 3;
                } else if (rest.starts_with(u"am/pm")) {
                    marker = Kind::MarkerAmPmLower;
                    consumed = 5;
                } else if (rest.starts_with(u"AM/PM")) {
                    marker = Kind::MarkerAmPm;
                    consumed = 5;
                }
                if (marker != Kind::LiteralChar) {
                    tokens.back() = Token(marker);
                    TwelveHourBefore(tokens, tokens.size() - 1);
                    markerMade = true;
                }
            } else if (rest.starts_with(kChineseMarker)) {
                tokens.back() = Token(Kind::MarkerChinese);
                consumed = kChineseMarker.size();
                // Written before the time ("上午/下午h:mm") it takes the hour that
                // follows; written after it, the hour before it.
                if (!TwelveHourBefore(tokens, tokens.size() - 1)) awaitingHour = true;
                markerMade = true;
            }
            i += consumed;
        }
        if (awaitingHour && !markerMade && !tokens.empty() && IsHour(tokens.back().Kind)) {
            MakeTwelveHour(tokens.back());
            awaitingHour = false;
        }
    }

    for (size_t k = 0; k < tokens.size(); ++k) {
        Kind kind = tokens[k].Kind;
        if (!IsPlaceholder(kind) && kind != Kind::DecimalPoint) continue;
        tokens.insert(tokens.begin() + static_cast<std::ptrdiff_t>(k), Token(Kind::LeadingDigits));
        if (s.DecimalPos >= static_cast<int>(k)) ++s.DecimalPos;
        if (IsPlaceholder(kind)) s.Flags &= static_cast<uint8_t>(~kSectionDateTime);
        break;
    }
    if (s.Scale > 4) s.Scale = 4;
    return s;
}

// ---------------------------------------------------------------------------
// Number rendering

// Lays the digit text out through tokens [begin, end): the integer part right
// to left from the decimal-point token (or the last token), then the fraction
// part left to right from the decimal-point token.
WideString LayoutDigits(const std::vector<TKtFormatToken>& tokens, size_t begin, size_t end,
                        int decimalPos, WideStringView digits, char16_t decimal) {
    const int len = static_cast<int>(digits.size());
    const size_t sep = digits.find(decimal);
    int p = (sep == WideStringView::npos || sep == 0) ? len - 1 : static_cast<int>(sep) - 1;
    // A leading minus sign is never taken by a placeholder.
    const int first = (len > 0 && digits[0] == u'-') ? 1 : 0;

    // The integer part is built right to left, reversed at the end.
    WideString rev;
    auto put = [&rev](WideStringView piece) { rev.append(piece.rbegin(), piece.rend()); };
    auto putChar = [&rev](char16_t ch) { rev.push_back(ch); };

    const bool hasPoint =
        decimalPos >= static_cast<int>(begin) && decimalPos < static_cast<int>(end);
    for (size_t idx = hasPoint ? static_cast<size_t>(decimalPos) + 1 : end; idx > begin; --idx) {
        const TKtFormatToken& t = tokens[idx - 1];
        switch (t.Kind) {
            case Kind::LiteralChar:
                putChar(t.Char);
                break;
            case Kind::LiteralText:
                put(t.Text);
                break;
            case Kind::ZeroDigit:
                putChar(p >= first ? digits[static_cast<size_t>(p--)] : u'0');
                break;
            case Kind::OptionalDigit:
                if (p >= first) putChar(digits[static_cast<size_t>(p--)]);
                break;
            case Kind::SpaceDigit:
                putChar(p >= first ? digits[static_cast<size_t>(p--)] : u' ');
                break;
            case Kind::Percent:
                putChar(u'%');
                break;
            case Kind::LeadingDigits:
                if (p >= 0) put(digits.substr(0, static_cast<size_t>(p) + 1));
                p = -1;
                break;
            default:
                break;
        }
    }
    WideString out(rev.rbegin(), rev.rend());

    if (hasPoint && sep != WideStringView::npos) {
        size_t q = sep + 1;
        for (size_t idx = static_cast<size_t>(decimalPos); idx < end; ++idx) {
            const TKtFormatToken& t = tokens[idx];
            switch (t.Kind) {
                case Kind::DecimalPoint:
                    out.push_back(decimal);
                    break;
                case Kind::LiteralChar:
                    out.push_back(t.Char);
                    break;
                case Kind::LiteralText:
                    out += t.Text;
                    break;
                case Kind::ZeroDigit:
                    out.push_back(q < digits.size() ? digits[q++] : u'0');
                    break;
                case Kind::OptionalDigit:
                    if (q < digits.size()) out.push_back(digits[q++]);
                    break;
                case Kind::SpaceDigit:
                    out.push_back(q < digits.size() ? digits[q++] : u' ');
                    break;
                case Kind::Percent:
                    out.push_back(u'%');
                    break;
                default:
                    break;
            }
        }
    }
    return out;
}

// Fixed text of digits x 10^shift with `decimals` places, rounded half away
// from zero on the decimal digits themselves (1.2345 stays exact).
WideString ShiftedFixed(const DecimalDigits& digits, int shift, int decimals, char16_t decimal) {
    DecimalDigits d = digits;
    if (!d.digits.empty()) d.exponent += shift;
    d = RoundAtPlace(d, decimals);
    WideString out;
    if (d.negative) out.push_back(u'-');
    const int n = static_cast<int>(d.digits.size());
    if (d.exponent <= 0) {
        out.push_back(u'0');
    } else {
        for (int i = 0; i < d.exponent; ++i)
            out.push_back(i < n ? static_cast<char16_t>(d.digits[static_cast<size_t>(i)]) : u'0');
    }
    if (decimals > 0) {
        out.push_back(decimal);
        for (int k = 0; k < decimals; ++k) {
            const int idx = d.exponent + k;
            out.push_back(idx >= 0 && idx < n ? static_cast<char16_t>(d.digits[static_cast<size_t>(idx)])
                                              : u'0');
        }
    }
    return out;
}

int FloorDiv(int a, int b) {
    int q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

// Digits before the decimal separator of a fixed text, "0" counting as none.
int IntegerDigits(WideStringView fixed, char16_t decimal) {
    size_t startPos = (!fixed.empty() && fixed[0] == u'-') ? 1 : 0;
    size_t sep = fixed.find(decimal);
    size_t stop = sep == WideStringView::npos ? fixed.size() : sep;
    WideStringView intPart = fixed.substr(startPos, stop - startPos);
    if (intPart == u"0") return 0;
    return static_cast<int>(intPart.size());
}

// Scientific sections: the placeholders before the "E" take the mantissa, the
// ones after it the exponent. With several integer placeholders led by "#"
// the exponent is a multiple of their count ("##0.0E+0" gives 12.3E+3);
// otherwise the mantissa has as many integer digits as there are integer
// placeholders.
WideString RenderScientific(const TKtFormatSection& s, double x, char16_t decimal) {
    const auto& tokens = s.Tokens;
    size_t sci = 0;
    while (sci < tokens.size() && tokens[sci].Kind != Kind::Scientific) ++sci;
    const int mantissaPoint = s.DecimalPos >= 0 && static_cast<size_t>(s.DecimalPos) < sci
                                  ? s.DecimalPos
                                  : -1;
    int intPlaces = 0, fracPlaces = 0;
    bool hashLead = false;
    for (size_t k = 0; k < sci; ++k) {
        if (!IsPlaceholder(tokens[k].Kind)) continue;
        if (mantissaPoint >= 0 && static_cast<int>(k) > mantissaPoint) {
            ++fracPlaces;
        } else {
            if (intPlaces == 0) hashLead = tokens[k].Kind == Kind::OptionalDigit;
            ++intPlaces;
        }
    }
    const int step = (intPlaces > 1 && hashLead) ? intPlaces : 1;
    const int allowed = step > 1 ? step : intPlaces;

    int exp = 0;
    WideString mantissa;
    if (x == 0 || !std::isfinite(x)) {
        mantissa = FloatToTextFixed(x, fracPlaces, decimal);
    } else {
        // 15 significant digits first, as every scientific text shows them.
        const DecimalDigits digits = RoundSignificant(ExpandDecimal(x), 15);
        const int e10 = digits.exponent - 1;
        exp = step > 1 ? FloorDiv(e10, step) * step : e10 - intPlaces + 1;
        for (int attempt = 0; attempt < 2; ++attempt) {
            mantissa = ShiftedFixed(digits, -exp, fracPlaces, decimal);
            if (IntegerDigits(mantissa, decimal) <= allowed) break;
            exp += step;  // rounding carried into a further digit (9.99 -> 10.0)
        }
    }

    WideString out = LayoutDigits(tokens, 0, sci, mantissaPoint, mantissa, decimal);
    if (sci >= tokens.size()) return out;
    const TKtFormatToken& e = tokens[sci];
    out.push_back(e.Char);
    if (exp < 0)
        out.push_back(u'-');
    else if (e.Sign == u'+')
        out.push_back(u'+');

    // The exponent's placeholders, the leftmost taking every digit left over.
    std::vector<TKtFormatToken> expTokens(tokens.begin() + static_cast<std::ptrdiff_t>(sci) + 1,
                                          tokens.end());
    for (size_t k = 0; k < expTokens.size(); ++k) {
        if (IsPlaceholder(expTokens[k].Kind)) {
            expTokens.insert(expTokens.begin() + static_cast<std::ptrdiff_t>(k),
                             Token(Kind::LeadingDigits));
            break;
        }
    }
    WideString expDigits = IntToWide(exp < 0 ? -static_cast<int64_t>(exp) : exp);
    out += LayoutDigits(expTokens, 0, expTokens.size(), -1, expDigits, decimal);
    return out;
}

WideString RenderNumber(const TKtFormatSection& s, double value, const RegionalSettings& rs) {
    double x = value;
    if (s.Scale > 0) x /= std::pow(1000.0, s.Scale);
    if (s.Has(kSectionPercent)) x *= 100.0;
    if (s.Has(kSectionScientific) && !s.Has(kSectionZero))
        return RenderScientific(s, x, rs.DecimalSeparator);
    WideString digits;
    if (!s.Has(kSectionZero)) {
        digits = FloatToTextFixed(x, s.Decimals, rs.DecimalSeparator,
                                  s.Has(kSectionThousands) ? rs.ThousandSeparator : u'\0');
    }
    return LayoutDigits(s.Tokens, 0, s.Tokens.size(), s.DecimalPos, digits, rs.DecimalSeparator);
}

// ---------------------------------------------------------------------------
// Date/time rendering

// Dates the calendar can show: 0001-01-01 ... 9999-12-31.
bool InDateRange(double value) {
    return std::isfinite(value) && value > -693594.0 && value < 2958466.0;
}

WideString TwoDigits(int64_t v) {
    WideString s = IntToWide(v);
    if (v >= 0 && v < 10) s.insert(s.begin(), u'0');
    return s;
}

WideString RenderDateTime(const TKtFormatSection& s, double value, const RegionalSettings& rs) {
    // Round to the millisecond first, so that 23:59:59.9996 shows the next
    // day at 0:00 instead of the same day at 0:00.
    double whole = std::trunc(value);
    int64_t ms = std::llround(std::fabs(value - whole) * 86400000.0);
    if (ms >= 86400000) {
        ms -= 86400000;
        whole += value < 0 ? -1.0 : 1.0;
    }
    const DateParts date = DecodeDate(whole);
    const int weekday = DayOfWeek(whole);  // 1 = Sunday
    const int64_t days = static_cast<int64_t>(whole);
    const int hour = static_cast<int>(ms / 3600000);
    const int minute = static_cast<int>(ms / 60000 % 60);
    const int second = static_cast<int>(ms / 1000 % 60);
    const bool am = hour < 12;

    WideString out;
    for (const TKtFormatToken& t : s.Tokens) {
        switch (t.Kind) {
            case Kind::LiteralChar:
                out.push_back(t.Char == u'/'   ? rs.DateSeparator
                              : t.Char == u':' ? rs.TimeSeparator
                                               : t.Char);
                break;
            case Kind::LiteralText:
                out += t.Text;
                break;
            case Kind::Comma:
                out.push_back(u',');
                break;
            case Kind::YearShort:
                out += TwoDigits(date.year % 100);
                break;
            case Kind::YearLong:
                out += IntToWide(date.year);
                break;
            case Kind::MonthNumber:
                out += IntToWide(date.month);
                break;
            case Kind::MonthTwoDigit:
                out += TwoDigits(date.month);
                break;
            case Kind::MonthShortName:
                out += rs.ShortMonthNames[static_cast<size_t>(date.month - 1)];
                break;
            case Kind::MonthLongName:
                out += rs.LongMonthNames[static_cast<size_t>(date.month - 1)];
                break;
            case Kind::MonthInitial: {
                const WideString& name = rs.ShortMonthNames[static_cast<size_t>(date.month - 1)];
                if (!name.empty()) out.push_back(name[0]);
                break;
            }
            case Kind::DayNumber:
                out += IntToWide(date.day);
                break;
            case Kind::DayTwoDigit:
                out += TwoDigits(date.day);
                break;
            case Kind::DayShortName:
                out += rs.ShortDayNames[static_cast<size_t>(weekday - 1)];
                break;
            case Kind::DayLongName:
                out += rs.LongDayNames[static_cast<size_t>(weekday - 1)];
                break;
            case Kind::Hour:
                out += IntToWide(hour);
                break;
            case Kind::HourTwoDigit:
                out += TwoDigits(hour);
                break;
            case Kind::Hour12:
                out += IntToWide(hour % 12 == 0 ? 12 : hour % 12);
                break;
            case Kind::Hour12TwoDigit:
                out += TwoDigits(hour % 12 == 0 ? 12 : hour % 12);
                break;
            case Kind::Minute:
                out += IntToWide(minute);
                break;
            case Kind::MinuteTwoDigit:
                out += TwoDigits(minute);
                break;
            case Kind::Second:
                out += IntToWide(second);
                break;
            case Kind::SecondTwoDigit:
                out += TwoDigits(second);
                break;
            case Kind::ElapsedHours:
                out += IntToWide(days * 24 + hour);
                break;
            case Kind::ElapsedMinutes:
                out += IntToWide(days * 1440 + hour * 60 + minute);
                break;
            case Kind::ElapsedSeconds:
                out += IntToWide(days * 86400 + hour * 3600 + minute * 60 + second);
                break;
            case Kind::MarkerAmPm:
                out += am ? u"AM" : u"PM";
                break;
            case Kind::MarkerAmPmLower:
                out += am ? u"am" : u"pm";
                break;
            case Kind::MarkerAP:
                out += am ? u"a" : u"p";
                break;
            case Kind::MarkerChinese:
                out += am ? u"上午" : u"下午";
                break;
            default:
                break;
        }
    }
    return out;
}

// "##,_b_y_t_e_s": a byte count in bytes, kb, Mb or Gb.
WideString ByteCount(double value, char16_t decimal) {
    if (value == 0) return u"0 bytes";
    if (value < 1024) return FloatToTextGeneral(std::nearbyint(value), 15, decimal) + u" bytes";
    if (value < 1048576) return FloatToTextFixed(value / 1024, 2, decimal) + u" kb";
    if (value < 1073741824) return FloatToTextFixed(value / 1048576, 2, decimal) + u" Mb";
    return FloatToTextFixed(value / 1073741824, 2, decimal) + u" Gb";
}

// A section whose only tokens are commas counts as one without tokens.
bool HasTokens(const TKtFormatSection& s) {
    for (const TKtFormatToken& t : s.Tokens)
        if (t.Kind != Kind::Comma) return true;
    return false;
}

}  // namespace

WideString GeneralNumberText(double value, int significantDigits) {
    return FloatToTextGeneral(value, significantDigits, Regional().DecimalSeparator);
}

void TKtNumberFormatMask::SetMask(WideStringView source) {
    if (source.size() > kMaxFormatStringLength)
        throw ENumberFormatError(u"format string is too long(255)");
    source_ = WideString(source);
    for (auto& slot : slots_) slot.reset();

    // Sections end at ";" outside double quotes; a fourth ";" ends the scan.
    size_t start = 0;
    int section = 0;
    bool quoted = false;
    for (size_t i = 0; i <= source.size() && section < 4; ++i) {
        const bool end = i == source.size();
        if (!end && source[i] == u'"') quoted = !quoted;
        if (end || (!quoted && source[i] == u';')) {
            WideStringView text = source.substr(start, i - start);
            if (!text.empty()) slots_[static_cast<size_t>(section)] = CompileSection(text, section);
            ++section;
            start = i + 1;
        }
    }
}

bool TKtNumberFormatMask::IsDateTime() const {
    return slots_[0].has_value() && slots_[0]->Has(kSectionDateTime);
}

const TKtFormatSection* TKtNumberFormatMask::Choose(double value, double& rendered) const {
    if (value < 0 && slots_[1]) {
        rendered = std::fabs(value);
        return &*slots_[1];
    }
    rendered = value;
    if (value == 0 && slots_[2]) return &*slots_[2];
    return slots_[0] ? &*slots_[0] : nullptr;
}

WideString TKtNumberFormatMask::FormatValue(double value) const {
    const RegionalSettings& rs = Regional();
    if (source_ == kByteCountFormat) return ByteCount(value, rs.DecimalSeparator);
    double v = value;
    const TKtFormatSection* s = Choose(value, v);
    if (s == nullptr || !HasTokens(*s) || s->Has(kSectionText))
        return FloatToTextGeneral(v, 15, rs.DecimalSeparator);
    if (s->Has(kSectionDateTime)) {
        // A value the calendar cannot show falls back to its general form.
        if (!InDateRange(v)) return FloatToTextGeneral(v, 15, rs.DecimalSeparator);
        return RenderDateTime(*s, v, rs);
    }
    return RenderNumber(*s, v, rs);
}

TColor TKtNumberFormatMask::SectionColor(double value) const {
    double v = value;
    const TKtFormatSection* s = Choose(value, v);
    return s ? s->Color : clNone;
}

}  // namespace plu
