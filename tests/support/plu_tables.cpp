#include "support/plu_tables.h"

#include <gtest/gtest.h>

#include <sstream>

namespace plu::testing {

using virtual_scale::PluTable;
using virtual_scale::ScalePlu;

PluTable FullTable() {
    PluTable t;
    t.businessName = "CORNER SHOP";
    t.secondLine = "OPEN (8 TO 20)";
    for (int n = 1; n <= 265; ++n)
        t.plus[static_cast<std::size_t>(n - 1)] =
            ScalePlu{false,
                     "PLU " + std::to_string(n),
                     n % 4 ? "SALT WATER \xC9PICES" : "",
                     static_cast<uint32_t>(n % 254),
                     n % 3,
                     static_cast<uint32_t>(n * 37 + 1),
                     static_cast<uint32_t>(n % 3 == 2 ? n : n * 10),
                     static_cast<uint32_t>(n * 11)};
    return t;
}

std::u16string Latin1(const std::string& bytes) {
    std::u16string text;
    for (char b : bytes) text.push_back(static_cast<char16_t>(static_cast<uint8_t>(b)));
    return text;
}

std::string Describe(const ScalePlu& p) {
    if (p.empty) return "(empty)";
    std::ostringstream s;
    s << p.name << "|" << p.ingredients << "|" << p.life << "|" << p.unitDigit << "|" << p.unitPrice
      << "|" << p.tare << "|" << p.itemCode;
    return s.str();
}

void ExpectScaleHolds(const PluTable& held, const PluTable& table) {
    EXPECT_EQ(held.businessName, table.businessName);
    EXPECT_EQ(held.secondLine, table.secondLine);
    for (std::size_t i = 0; i < table.plus.size(); ++i)
        EXPECT_TRUE(held.plus[i] == table.plus[i])
            << "PLU " << i + 1 << ": " << Describe(held.plus[i]) << " instead of "
            << Describe(table.plus[i]);
}

}  // namespace plu::testing
