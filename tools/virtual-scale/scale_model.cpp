#include "virtual-scale/scale_model.h"

#include <sstream>

namespace plu::virtual_scale {

std::string IdentificationBody(const ScaleModel& m) {
    std::string body = m.keys == 5 ? "LNORV-25" : "LNORV-55";
    body += 'X';
    body += static_cast<char>('0' + (m.unitDigit < 0 || m.unitDigit > 9 ? 2 : m.unitDigit));
    body += m.kg ? '1' : '0';
    body += m.lb ? '1' : '0';
    body += m.oz ? '1' : '0';
    body += '0';
    std::string code = m.capacityCode.substr(0, 2);
    if (code.size() < 2) code.insert(0, 2 - code.size(), ' ');
    return body + code;
}

bool ParseUnitName(const std::string& text, int& unitDigit) {
    if (text == "kg") unitDigit = 0;
    else if (text == "lb") unitDigit = 1;
    else if (text == "oz") unitDigit = 2;
    else return false;
    return true;
}

bool ParseUnitList(const std::string& text, ScaleModel& model) {
    bool kg = false, lb = false, oz = false;
    std::istringstream in(text);
    std::string unit;
    while (std::getline(in, unit, ',')) {
        if (unit == "kg") kg = true;
        else if (unit == "lb") lb = true;
        else if (unit == "oz") oz = true;
        else if (!unit.empty()) return false;
    }
    model.kg = kg;
    model.lb = lb;
    model.oz = oz;
    return true;
}

}  // namespace plu::virtual_scale
