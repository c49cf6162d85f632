#include "base/float_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace plu {
namespace {

void StripTrailingZeros(DecimalDigits& d) {
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    if (d.digits.empty()) d.exponent = 0;
}

// Keeps the first `keep` digits of d (keep may be <= 0), rounding half away
// from zero on the digit after them.
DecimalDigits RoundKeep(const DecimalDigits& d, int keep) {
    DecimalDigits r = d;
    if (keep >= static_cast<int>(d.digits.size())) return r;
    if (keep < 0) {
        r.digits.clear();
        r.exponent = 0;
        return r;
    }
    bool up = d.digits[keep] >= '5';
    r.digits.resize(keep);
    if (up) {
        int i = keep - 1;
        while (i >= 0 && r.digits[i] == '9') {
            r.digits[i] = '0';
            --i;
        }
        if (i >= 0) {
            ++r.digits[i];
        } else {
            r.digits.insert(r.digits.begin(), '1');
            ++r.exponent;
        }
    }
    StripTrailingZeros(r);
    return r;
}

WideString Widen(const std::string& s) { return AsciiToWide(s); }

}  // namespace

DecimalDigits ExpandDecimal(double value) {
    DecimalDigits d;
    if (!std::isfinite(value) || value == 0) return d;
    d.negative = std::signbit(value);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17e", std::fabs(value));  // d.ddddddddddddddddde+XX
    std::string mant;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') mant.push_back(*p);
    int exp10 = *p == 'e' ? std::atoi(p + 1) : 0;
    d.digits = mant;
    d.exponent = exp10 + 1;
    StripTrailingZeros(d);
    return d;
}

DecimalDigits RoundSignificant(const DecimalDigits& d, int significant) {
    return RoundKeep(d, significant);
}

DecimalDigits RoundAtPlace(const DecimalDigits& d, int places) {
    if (d.digits.empty()) return d;
    int keep = d.exponent + places;
    if (keep < 0) {
        DecimalDigits z;
        z.negative = d.negative;
        return z;
    }
    if (keep == 0) {
        // Only the first digit decides: 0.5 rounds to 1 at place 0.
        DecimalDigits r;
        r.negative = d.negative;
        if (d.digits[0] >= '5') {
            r.digits = "1";
            r.exponent = d.exponent + 1;
        }
        return r;
    }
    DecimalDigits r = RoundKeep(d, keep);
    r.negative = d.negative;
    return r;
}

WideString FloatToTextGeneral(double value, int precision, char16_t decimalSeparator) {
    if (std::isnan(value)) return u"NAN";
    if (std::isinf(value)) return value < 0 ? u"-INF" : u"INF";
    DecimalDigits d = RoundSignificant(ExpandDecimal(value), precision);
    if (d.digits.empty()) return u"0";
    WideString out;
    if (d.negative) out.push_back(u'-');
    const int n = static_cast<int>(d.digits.size());
    const bool fixed = d.exponent <= precision && std::fabs(value) >= 0.00001;
    if (fixed) {
        if (d.exponent <= 0) {
            out.push_back(u'0');
            out.push_back(decimalSeparator);
            out.append(static_cast<size_t>(-d.exponent), u'0');
            out += Widen(d.digits);
        } else {
            for (int i = 0; i < d.exponent; ++i)
                out.push_back(i < n ? static_cast<char16_t>(d.digits[i]) : u'0');
            if (n > d.exponent) {
                out.push_back(decimalSeparator);
                out += Widen(d.digits.substr(d.exponent));
            }
        }
        return out;
    }
    out.push_back(static_cast<char16_t>(d.digits[0]));
    if (n > 1) {
        out.push_back(decimalSeparator);
        out += Widen(d.digits.substr(1));
    }
    out.push_back(u'E');
    out += IntToWide(d.exponent - 1);
    return out;
}

WideString FloatToTextFixed(double value, int decimals, char16_t decimalSeparator,
                            char16_t thousands) {
    if (std::isnan(value)) return u"NAN";
    if (std::isinf(value)) return value < 0 ? u"-INF" : u"INF";
    if (decimals < 0) decimals = 0;
    DecimalDigits d = RoundAtPlace(ExpandDecimal(value), decimals);
    std::string intPart, fracPart;
    const int n = static_cast<int>(d.digits.size());
    if (d.exponent <= 0) {
        intPart = "0";
    } else {
        for (int i = 0; i < d.exponent; ++i) intPart.push_back(i < n ? d.digits[i] : '0');
    }
    for (int k = 0; k < decimals; ++k) {
        int idx = d.exponent + k;  // digit index of the (k+1)-th place
        fracPart.push_back(idx >= 0 && idx < n ? d.digits[idx] : '0');
    }
    WideString out;
    if (std::signbit(value) && value != 0) out.push_back(u'-');
    if (thousands != 0) {
        const int len = static_cast<int>(intPart.size());
        for (int i = 0; i < len; ++i) {
            if (i > 0 && (len - i) % 3 == 0) out.push_back(thousands);
            out.push_back(static_cast<char16_t>(intPart[i]));
        }
    } else {
        out += Widen(intPart);
    }
    if (decimals > 0) {
        out.push_back(decimalSeparator);
        out += Widen(fracPart);
    }
    return out;
}

WideString FloatToTextExponent(double value, int precision, int minExponentDigits,
                               char16_t decimalSeparator, bool alwaysSign) {
    if (std::isnan(value)) return u"NAN";
    if (std::isinf(value)) return value < 0 ? u"-INF" : u"INF";
    if (precision < 1) precision = 1;
    DecimalDigits d = RoundSignificant(ExpandDecimal(value), precision);
    WideString out;
    if (d.negative && !d.digits.empty()) out.push_back(u'-');
    std::string digits = d.digits.empty() ? std::string("0") : d.digits;
    digits.resize(static_cast<size_t>(precision), '0');
    int exponent = d.digits.empty() ? 0 : d.exponent - 1;
    out.push_back(static_cast<char16_t>(digits[0]));
    if (precision > 1) {
        out.push_back(decimalSeparator);
        out += Widen(digits.substr(1));
    }
    out.push_back(u'E');
    if (exponent < 0)
        out.push_back(u'-');
    else if (alwaysSign)
        out.push_back(u'+');
    std::string e = std::to_string(std::abs(exponent));
    while (static_cast<int>(e.size()) < minExponentDigits) e.insert(e.begin(), '0');
    out += Widen(e);
    return out;
}

}  // namespace plu
