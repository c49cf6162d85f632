// The scale's answer to the link poll: "LNORV", the key count at bytes 6-8,
// and at the end the capacity unit digit, three unit flags, one unread byte
// and a two-byte capacity code.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/wide_text.h"

namespace plu {

struct ScaleIdentity {
    uint16_t CapacityClass = 0;  // 0 for code "6", 1 for "15", 2 otherwise
    int unitDigit = 0;           // 0 kg, 1 lb, 2 oz
    int capacity = 6;            // from the capacity table, in the unit of unitDigit
    WideString ModelName;        // "NORV-15kg"
    bool Preset55 = false;       // 55 preset keys; 5 when the body begins "LNORV-25"
    bool UnitKg = false, UnitLb = false, UnitOz = false;
};

// The reply is an identification: it begins with "LNORV".
bool IsIdentification(std::string_view body);

// Decodes an identification body (positions counted from its end: n-6 unit
// digit, n-5..n-3 kg/lb/oz flags, n-1..n capacity code). In a body too short
// to hold a position (fewer than 7 bytes) that position reads as "0".
ScaleIdentity DecodeIdentification(std::string_view body);

// Capacity by class (0..2) and unit digit (0..2): 6/15/240, 15/30/480, 30/60/960.
int CapacityOf(uint16_t capacityClass, int unitDigit);
// "NORV-" + capacity + "kg"/"lb"/"oz".
WideString ModelNameOf(uint16_t capacityClass, int unitDigit);

}  // namespace plu
