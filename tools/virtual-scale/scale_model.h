// Which scale the virtual scale plays: key count, capacity code, capacity
// unit and the units it offers. They make up its identification reply.
#pragma once

#include <string>

namespace plu::virtual_scale {

struct ScaleModel {
    int keys = 5;                    // 5 or 55 preset keys
    std::string capacityCode = "15"; // last two bytes: "6", "15", "30", ...
    int unitDigit = 0;               // capacity unit: 0 kg, 1 lb, 2 oz
    bool kg = true, lb = true, oz = false;
};

// "LNORV-25" (5 keys) or "LNORV-55", "X", the unit digit, the kg, lb and oz
// flags, one unread byte and the capacity code right-aligned in two bytes:
// the default model answers "LNORV-25X0110015".
std::string IdentificationBody(const ScaleModel& model);

// Parses "kg,lb,oz"-style unit lists and "kg"/"lb"/"oz" unit names; false
// for anything else.
bool ParseUnitList(const std::string& text, ScaleModel& model);
bool ParseUnitName(const std::string& text, int& unitDigit);

}  // namespace plu::virtual_scale
