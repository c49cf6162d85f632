// Formatting a number by a style's format index: the special built-ins
// (scientific, fractions, short date and time) and the compiled format
// strings of the format list.
#include <cmath>
#include <memory>
#include <vector>

#include "base/conversions.h"
#include "base/float_text.h"
#include "base/regional_settings.h"
#include "grid/format_list.h"
#include "grid/grid_style.h"
#include "grid/number_format.h"
#include "grid/resource_manager.h"

namespace plu {

namespace {

struct CompiledFormat {
    bool general = false;  // empty string: the general form with 10 digits
    TKtNumberFormatMask mask;
};

// Compiled masks by format index. A list entry never changes once added, so
// a compiled entry stays valid for the whole run and the result is the one
// a fresh compilation would give. Per thread: the formatter has no lock.
const CompiledFormat* Compiled(int index) {
    thread_local std::vector<std::unique_ptr<CompiledFormat>> cache;
    if (index < 0) return nullptr;
    const auto slot = static_cast<size_t>(index);
    if (slot < cache.size() && cache[slot]) return cache[slot].get();
    TKtFormatList& list = ResourceManager().Formats();
    // An index beyond the list reads as General; it is not cached because the
    // list may grow to it later.
    if (slot >= list.Count()) return nullptr;
    auto entry = std::make_unique<CompiledFormat>();
    WideString text = list.Get(slot);
    if (text.empty())
        entry->general = true;
    else
        entry->mask.SetMask(text);  // throws for an overlong string: not cached
    if (cache.size() <= slot) cache.resize(slot + 1);
    cache[slot] = std::move(entry);
    return cache[slot].get();
}

bool InDateRange(double value) {
    return std::isfinite(value) && value > -693594.0 && value < 2958466.0;
}

// A fraction with a denominator up to limit, found by a mediant search.
// Negative values show a minus sign before the fraction of their magnitude.
WideString FractionText(double value, int limit) {
    const char16_t decimal = Regional().DecimalSeparator;
    if (!std::isfinite(value) || value == std::trunc(value))
        return FloatToTextGeneral(value, 15, decimal);
    const bool negative = value < 0;
    double x = std::fabs(value);
    const double whole = std::trunc(x);
    WideString text = negative ? u"-" : u"";
    if (whole > 0) {
        text += FloatToTextGeneral(whole, 15, decimal);
        text.push_back(u' ');
        x -= whole;
    }
    int ln = 0, ld = 1, un = 1, ud = 1;
    int rn = -1, rd = -1;
    while (true) {
        const int d = ld + ud;
        if (d > limit) break;
        const int n = ln + un;
        const double e = d * x - n;
        const double t = d * 0.00001;
        if (e > t) {
            ln = n;
            ld = d;
        } else if (e < -t) {
            un = n;
            ud = d;
        } else {
            rn = n;
            rd = d;
            break;
        }
    }
    if (rd < 0) {
        const double lowerError = std::fabs(ld * x - ln);
        const double upperError = std::fabs(ud * x - un);
        if (lowerError < upperError) {
            rn = ln;
            rd = ld;
        } else {
            rn = un;
            rd = ud;
        }
    }
    text += IntToWide(rn);
    text.push_back(u'/');
    text += IntToWide(rd);
    return text;
}

}  // namespace

WideString FormatNumberByIndex(int formatIndex, double value, TColor& color) {
    const RegionalSettings& rs = Regional();
    switch (formatIndex) {
        case kFormatScientific:
            return FloatToTextExponent(value, 3, 2, rs.DecimalSeparator, true);
        case kFormatFraction1:
            return FractionText(value, 9);
        case kFormatFraction2:
            return FractionText(value, 99);
        case kFormatShortDate:
            if (!InDateRange(value)) return FloatToTextGeneral(value, 15, rs.DecimalSeparator);
            return FormatDateTime(rs.ShortDateFormat, value, rs);
        case kFormatShortTime:
            if (!InDateRange(value)) return FloatToTextGeneral(value, 15, rs.DecimalSeparator);
            return FormatDateTime(rs.ShortTimeFormat, value, rs);
        default:
            break;
    }
    const CompiledFormat* compiled = formatIndex == 0 ? nullptr : Compiled(formatIndex);
    if (compiled == nullptr || compiled->general)
        return FloatToTextGeneral(value, 10, rs.DecimalSeparator);
    TColor section = compiled->mask.SectionColor(value);
    if (section != clNone) color = section;
    return compiled->mask.FormatValue(value);
}

WideString FormatStyleNumber(const TKtGridStyle& style, double value, TColor& color) {
    return FormatNumberByIndex(style.FormatIndex(), value, color);
}

WideString FormatNumberWithMask(WideStringView format, double value, TColor& color) {
    if (format.empty()) return GeneralNumberText(value, 10);
    TKtNumberFormatMask& mask = ResourceManager().Mask();
    if (mask.Source() != format || format.size() > kMaxFormatStringLength) mask.SetMask(format);
    TColor section = mask.SectionColor(value);
    if (section != clNone) color = section;
    return mask.FormatValue(value);
}

bool IsDateTimeFormatIndex(int formatIndex) {
    if (formatIndex == 0) return false;
    const CompiledFormat* compiled = Compiled(formatIndex);
    return compiled != nullptr && !compiled->general && compiled->mask.IsDateTime();
}

bool IsDateTimeStyle(const TKtGridStyle& style) { return IsDateTimeFormatIndex(style.FormatIndex()); }

}  // namespace plu
