#include "link/identification.h"

#include <string>

#include "base/wide_text.h"

namespace plu {

namespace {

// Byte at 1-based position pos counted as in the layout; '0' where the body
// has no such byte.
char ByteAt(std::string_view body, long pos) {
    if (pos < 1 || pos > static_cast<long>(body.size())) return '0';
    return body[static_cast<std::size_t>(pos - 1)];
}

}  // namespace

bool IsIdentification(std::string_view body) { return body.substr(0, 5) == "LNORV"; }

int CapacityOf(uint16_t capacityClass, int unitDigit) {
    static const int kCapacity[3][3] = {{6, 15, 240}, {15, 30, 480}, {30, 60, 960}};
    const int c = capacityClass > 2 ? 2 : capacityClass;
    const int u = unitDigit < 0 || unitDigit > 2 ? 2 : unitDigit;
    return kCapacity[c][u];
}

WideString ModelNameOf(uint16_t capacityClass, int unitDigit) {
    static const char16_t* const kSuffix[3] = {u"kg", u"lb", u"oz"};
    const int u = unitDigit < 0 || unitDigit > 2 ? 2 : unitDigit;
    return u"NORV-" + IntToWide(CapacityOf(capacityClass, u)) + kSuffix[u];
}

ScaleIdentity DecodeIdentification(std::string_view body) {
    ScaleIdentity id;
    const long n = static_cast<long>(body.size());
    const std::string code = TrimBytes(body.size() >= 2 ? body.substr(body.size() - 2) : body);
    id.CapacityClass = code == "6" ? 0 : code == "15" ? 1 : 2;
    const char unit = ByteAt(body, n - 6);
    id.unitDigit = unit == '0' ? 0 : unit == '1' ? 1 : 2;
    id.capacity = CapacityOf(id.CapacityClass, id.unitDigit);
    id.ModelName = ModelNameOf(id.CapacityClass, id.unitDigit);
    id.UnitKg = ByteAt(body, n - 5) != '0';
    id.UnitLb = ByteAt(body, n - 4) != '0';
    id.UnitOz = ByteAt(body, n - 3) != '0';
    id.Preset55 = body.substr(0, 8) != "LNORV-25";
    return id;
}

}  // namespace plu
