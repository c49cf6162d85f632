// Wide text: the grid suite holds text as UTF-16 (std::u16string), counting
// code units as the file formats and the scale protocol do. UTF-8 appears only
// at the boundaries to the platform (file paths, Qt, the terminal).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace plu {

using WideString = std::u16string;
using WideStringView = std::u16string_view;

// UTF-8 <-> UTF-16. Malformed UTF-8 bytes become U+FFFD; unpaired surrogates
// are written to UTF-8 as U+FFFD.
WideString Utf8ToWide(std::string_view text);
std::string WideToUtf8(WideStringView text);

// Removes leading and trailing characters with codes up to 32 (spaces and
// control characters), as the runtime's Trim does.
WideString Trim(WideStringView text);
WideString TrimLeft(WideStringView text);
WideString TrimRight(WideStringView text);
std::string TrimBytes(std::string_view text);

// Case mapping of single code units: ASCII, Latin-1, Latin Extended-A pairs,
// Greek and Cyrillic. Characters without a case stay as they are.
char16_t ToUpperChar(char16_t c);
char16_t ToLowerChar(char16_t c);
WideString UpperCase(WideStringView text);
WideString LowerCase(WideStringView text);

// Case-insensitive comparison by the mapping above: <0, 0, >0.
int CompareText(WideStringView a, WideStringView b);
bool SameText(WideStringView a, WideStringView b);

bool StartsWith(WideStringView text, WideStringView prefix);
bool EndsWith(WideStringView text, WideStringView suffix);
WideString ReplaceAll(WideStringView text, WideStringView from, WideStringView to);

// Decimal text of an integer (ASCII digits, "-" for negatives).
WideString IntToWide(int64_t value);

// ASCII-only conversions for literals and protocol bytes.
WideString AsciiToWide(std::string_view ascii);

}  // namespace plu
