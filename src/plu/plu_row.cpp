#include "plu/plu_row.h"

#include <optional>
#include <string>

#include "plu/plu_sheet.h"

namespace plu {

namespace {

constexpr int kTareLimits[3][3] = {{3, 6, 96}, {6, 15, 240}, {15, 30, 480}};
constexpr uint32_t kMaxLife = 253;
constexpr uint32_t kMaxItemCode = 99999;
constexpr uint32_t kPriceBelow = 1000000;
// Six hexadecimal digits on the wire.
constexpr uint32_t kMaxWireField = 0xFFFFFF;

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Digits only (at least one), value at most `max`.
std::optional<uint32_t> WholeNumber(WideStringView text, uint32_t max) {
    if (text.empty()) return std::nullopt;
    uint64_t value = 0;
    for (char16_t c : text) {
        if (!IsDigit(c)) return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - u'0');
        if (value > max) return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

// A decimal text split at its point. The integer part is kept as a value
// (saturated far above any limit), the fraction as its digits.
struct Decimal {
    uint64_t whole = 0;
    std::u16string fraction;
};

constexpr uint64_t kSaturated = 1000000000000ULL;

std::optional<Decimal> ParseDecimal(WideStringView text) {
    Decimal d;
    bool point = false;
    bool anyDigit = false;
    for (char16_t c : text) {
        if (c == u'.' || c == u',') {
            if (point) return std::nullopt;
            point = true;
        } else if (IsDigit(c)) {
            anyDigit = true;
            if (point) {
                d.fraction.push_back(c);
            } else if (d.whole < kSaturated) {
                d.whole = d.whole * 10 + static_cast<uint64_t>(c - u'0');
            }
        } else {
            return std::nullopt;
        }
    }
    if (!anyDigit) return std::nullopt;
    return d;
}

bool FractionIsZero(const Decimal& d) {
    for (char16_t c : d.fraction)
        if (c != u'0') return false;
    return true;
}

// The value times 10^decimals, the first dropped digit rounding half up.
uint64_t Scaled(const Decimal& d, int decimals) {
    uint64_t value = d.whole;
    for (int i = 0; i < decimals; ++i) {
        value *= 10;
        if (static_cast<std::size_t>(i) < d.fraction.size())
            value += static_cast<uint64_t>(d.fraction[static_cast<std::size_t>(i)] - u'0');
    }
    if (static_cast<std::size_t>(decimals) < d.fraction.size() &&
        d.fraction[static_cast<std::size_t>(decimals)] >= u'5')
        ++value;
    return value;
}

bool IsBlank(WideStringView text) {
    return Trim(text).empty();
}

}  // namespace

int TareLimit(uint16_t capacityClass, int unitIndex) {
    const int c = capacityClass > 2 ? 2 : capacityClass;
    const int u = unitIndex < 0 ? 0 : (unitIndex > 2 ? 2 : unitIndex);
    return kTareLimits[c][u];
}

PluRowCheck CheckPluRow(const PluRowTexts& t, uint16_t capacityClass) {
    PluRowCheck check;
    if (IsBlank(t.name) && IsBlank(t.ingredients) && IsBlank(t.life) && IsBlank(t.unit) &&
        IsBlank(t.price) && IsBlank(t.tare) && IsBlank(t.itemCode))
        return check;  // an empty PLU

    auto fail = [&](int column) {
        check.kind = PluRowKind::Invalid;
        check.failedColumn = column;
        return check;
    };
    PluRecordFields& f = check.fields;

    const auto life = WholeNumber(Trim(t.life), kMaxLife);
    if (!life) return fail(kColLife);
    f.life = *life;

    const WideString unit = Trim(t.unit);
    if (unit == u"kg")
        f.unitDigit = kUnitKg;
    else if (unit == u"lb")
        f.unitDigit = kUnitLb;
    else if (unit == u"oz")
        f.unitDigit = kUnitOz;
    else
        return fail(kColUnit);

    const auto price = ParseDecimal(Trim(t.price));
    if (!price || price->whole >= kPriceBelow) return fail(kColPrice);
    const uint64_t hundredths = Scaled(*price, 2);
    if (hundredths > kMaxWireField) return fail(kColPrice);
    f.unitPriceDigits = static_cast<uint32_t>(hundredths);

    const auto code = WholeNumber(Trim(t.itemCode), kMaxItemCode);
    if (!code) return fail(kColItemCode);
    f.itemCode = *code;

    const auto tare = ParseDecimal(Trim(t.tare));
    const auto limit = static_cast<uint64_t>(TareLimit(capacityClass, f.unitDigit));
    if (!tare || tare->whole > limit || (tare->whole == limit && !FractionIsZero(*tare)))
        return fail(kColTare);
    f.tareDigits = static_cast<uint32_t>(Scaled(*tare, 3));

    f.productName = t.name;
    f.ingredients = t.ingredients;
    check.kind = PluRowKind::Record;
    return check;
}

}  // namespace plu
