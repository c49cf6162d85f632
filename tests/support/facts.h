// What the interop scripts print (tests/support/dump_common.py): one fact a
// line, fields separated by tabs, with backslash, tab, newline and carriage
// return escaped inside a field.
#pragma once

#include <string>
#include <vector>

namespace plu::testing {

using Fact = std::vector<std::string>;

// One field with its escapes undone.
std::string UnescapeField(const std::string& field);
// The facts of a script's output; empty lines are none.
std::vector<Fact> Facts(const std::string& text);

}  // namespace plu::testing
