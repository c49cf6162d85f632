// PLU tables of the transfer tests: a full table (every PLU filled, texts as
// the scale keeps them: upper case, an accented capital among them, all
// three units), how to describe a PLU in a failure message, and the
// comparison of what a scale holds with the table it should hold.
#pragma once

#include <string>

#include "virtual-scale/plu_table.h"

namespace plu::testing {

virtual_scale::PluTable FullTable();
// The scale's 8-bit texts as the grid shows them (byte value = character).
std::u16string Latin1(const std::string& bytes);
std::string Describe(const virtual_scale::ScalePlu& p);
// Business lines and every PLU of held equal those of table.
void ExpectScaleHolds(const virtual_scale::PluTable& held, const virtual_scale::PluTable& table);

}  // namespace plu::testing
