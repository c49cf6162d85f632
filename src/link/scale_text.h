// Text on the scale: one byte per character. Cell texts (UTF-16) become
// scale text by trimming, cutting to a field width, taking the low 8 bits of
// each code unit and upper-casing the ASCII letters; received text goes back
// byte for byte as Latin-1.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/wide_text.h"

namespace plu {

// Field widths of the text fields in the business header and record frames.
constexpr int kNameFieldWidth = 20;
constexpr int kIngredientsFieldWidth = 80;

// Trims characters up to code 32 at both ends, cuts to `width` UTF-16 code
// units when width > 0, then turns each code unit into its low byte with
// "a".."z" upper-cased (accented letters stay as they are: U+00E9 gives 0xE9,
// U+4E2D gives 0x2D). No padding.
std::string ToScaleText(WideStringView text, int width = 0);

// The fixed-width field of a text: ToScaleText cut to width, right-aligned
// with leading spaces ("AB" in 20 bytes is 18 spaces and "AB").
std::string ScaleField(WideStringView text, int width);

// Received text: each byte is the character of the same number (Latin-1),
// then trimmed like ToScaleText's first step.
WideString FromScaleText(std::string_view bytes);

// The bytes a text field may carry on the scale: space, "(", ")", digits,
// "A".."Z" and the accented capitals À Â Æ Ç È É Ê Ë Î Ï Ô Ù Û Ü.
bool IsScaleTextByte(uint8_t byte);
bool IsScaleText(std::string_view bytes);

}  // namespace plu
