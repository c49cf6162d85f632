// The virtual scale's memory: two business lines and 265 PLUs, kept as the
// scale keeps them (bytes of text, numbers in the units of the wire).
//
// File format (UTF-8 text, one line each; "#" starts a comment line):
//   business<TAB>business name<TAB>second business line
//   <PLU number 1..265><TAB>name<TAB>ingredients<TAB>life days<TAB>unit digit
//     <TAB>unit price in hundredths<TAB>tare<TAB>item code
// The tare is in thousandths of the unit, hundredths for ounces (unit 2).
// PLUs not listed are empty.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace plu::virtual_scale {

constexpr int kPluCount = 265;

struct ScalePlu {
    bool empty = true;
    std::string name;         // up to 20 bytes, trimmed
    std::string ingredients;  // up to 80 bytes, trimmed
    uint32_t life = 0;        // days
    int unitDigit = 0;        // 0 kg, 1 lb, 2 oz
    uint32_t unitPrice = 0;   // hundredths
    uint32_t tare = 0;        // thousandths (hundredths for oz)
    uint32_t itemCode = 0;

    bool operator==(const ScalePlu&) const = default;
};

struct PluTable {
    std::string businessName;  // up to 20 bytes, trimmed
    std::string secondLine;
    std::array<ScalePlu, kPluCount> plus{};  // PLU number n at index n - 1

    bool operator==(const PluTable&) const = default;
};

// A shop with a few PLUs, for demos and tests.
PluTable SamplePluTable();

// Reads the file format above. Throws std::runtime_error naming the file and
// the line for anything it cannot read.
PluTable LoadPluTable(const std::string& path);
// Writes the file format above (replacing the file safely).
void SavePluTable(const PluTable& table, const std::string& path);
// The same to and from text.
PluTable ParsePluTable(const std::string& text, const std::string& origin = "table");
std::string FormatPluTable(const PluTable& table);

}  // namespace plu::virtual_scale
