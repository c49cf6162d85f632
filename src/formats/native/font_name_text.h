// Font names in the FONT records of the native grid stream: one byte per
// character in the system's 8-bit code page, at most 31 bytes.
//
// Our 8-bit code page is Windows-1252, which cannot hold the Chinese font
// names the grid suite uses ("宋体" is the PLU sheet's font), and the
// streams this format comes from were written on Chinese systems, in GBK.
// So a name goes out in Windows-1252 when that page holds every character,
// else in GBK (code page 936) when it is made of Chinese characters and
// ASCII, else in Windows-1252 with "?" for what is missing. Reading takes GBK when the bytes are
// well-formed GBK that decodes to Chinese characters (and ASCII), else Windows-1252.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/wide_text.h"

namespace plu {

constexpr size_t kMaxFontNameBytes = 31;

// At most kMaxFontNameBytes bytes, never ending in half a double-byte character.
std::string EncodeFontName(WideStringView name);
WideString DecodeFontName(std::string_view bytes);

}  // namespace plu
